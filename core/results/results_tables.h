#pragma once
// The results of a calculation as text, as the results form shows them, and
// the writer through which the solver fills them. The results form, the
// printout and the export read these tables; the same results as numbers, with
// the checks made on them, are kept beside them (ResultsSummary).

#include <functional>

#include "mode_shape_form_model.h"
#include "shaft_model.h"
#include "solver_io.h"
#include "string_table.h"

namespace vp {

struct ResultsTables {
  StringTable StringGrid1{2, 2};  // frequencies: column k, row v
  StringTable StringGrid2{1, 2};  // listed sections: numbers (row 0) and coordinates (row 1)
  StringTable StringGrid3{3, 5};  // y, theta, M, Q per variant, frequency and listed section
  StringTable StringGrid4{1, 2};  // solution vectors (not shown)
  StringTable StringGrid5{1, 4};  // every section's state (not shown)

  // Back to the state before any calculation: no text, the initial sizes.
  void Clear() { *this = ResultsTables(); }
};

// Writes each found frequency and mode into the tables and, when mode shapes
// are asked for, fills the mode-shape form and shows it through the display.
class ResultsWriter : public SolverOutput {
 public:
  ResultsWriter(ResultsTables& tables, TNewFormModel& newForm, const TShaftModel& model,
                bool showModes, ModeShapeDisplay* display, char decimalSeparator);

  void FrequencyEntry(int variant, int k, double F) override;
  void SectionResults(const ModeResult& mode) override;

  // Called for every mode shape shown, once the form holds it and before it is
  // shown: adds what goes beside it (the continuous shaft's line). None by default.
  using ModeCompanion = std::function<void(const ModeResult&, TNewFormModel&)>;
  void SetModeCompanion(ModeCompanion companion) { companion_ = std::move(companion); }

 private:
  std::string Real(double value) const;
  void ShowModeShape(const ModeResult& mode);

  ResultsTables& tables_;
  TNewFormModel& newForm_;
  const TShaftModel& model_;
  bool showModes_;
  ModeShapeDisplay* display_;
  char separator_;
  ModeCompanion companion_;
};

}  // namespace vp
