#include "form_history.h"

namespace vp {

void FormHistory::Changed(const TMainFormModel& now, int field) {
  if (SameInput(now, last_)) return;
  if (field == 0 || field != lastField_ || undo_.empty()) {
    if (undo_.size() == kSteps) undo_.erase(undo_.begin());
    undo_.push_back(last_);
  }
  last_ = now;
  lastField_ = field;
  redo_.clear();
}

bool FormHistory::Step(std::vector<TMainFormModel>& from, std::vector<TMainFormModel>& to, TMainFormModel& form) {
  if (from.empty()) return false;
  to.push_back(form);
  const bool modes = form.CheckBox1;
  form = std::move(from.back());
  from.pop_back();
  form.CheckBox1 = modes;
  last_ = form;
  lastField_ = 0;
  return true;
}

bool FormHistory::Undo(TMainFormModel& form) { return Step(undo_, redo_, form); }
bool FormHistory::Redo(TMainFormModel& form) { return Step(redo_, undo_, form); }

}  // namespace vp
