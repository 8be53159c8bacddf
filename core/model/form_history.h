#pragma once
// Undo and redo of the main form's input: the form before each change, kept
// whole (a form is a few hundred short texts).

#include <vector>

#include "main_form_model.h"

namespace vp {

class FormHistory {
 public:
  explicit FormHistory(const TMainFormModel& start) : last_(start) {}

  // After a change: `now` is the form as it is. Consecutive changes of one
  // field (a number other than 0: the keys typed into one edit field) make one
  // step; 0 always starts a step. Nothing is recorded when the input is the
  // same (the mode-shape check box is no part of it).
  void Changed(const TMainFormModel& now, int field = 0);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // The form one step back or forward; its mode-shape check box stays. False
  // when there is no such step.
  bool Undo(TMainFormModel& form);
  bool Redo(TMainFormModel& form);

 private:
  bool Step(std::vector<TMainFormModel>& from, std::vector<TMainFormModel>& to, TMainFormModel& form);

  static constexpr size_t kSteps = 100;
  std::vector<TMainFormModel> undo_, redo_;
  TMainFormModel last_;  // the form as of the last change recorded
  int lastField_ = 0;
};

}  // namespace vp
