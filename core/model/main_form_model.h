#pragma once
// The main input form without its window: the four counts, the six edit
// fields, the four input grids and the mode-shape check box, with the change
// handlers that size and caption the grids. A plain value: the loader fills a
// copy and the copy replaces the form's model only when the whole file was read.

#include <string>

#include "spin_edit.h"
#include "string_table.h"

namespace vp {

enum class Count { Supports, Sections, Spans, Variants };  // SpinEdit1..SpinEdit4

struct TMainFormModel {
  SpinEditState SpinEdit1{1, 10, 1};   // N, "число опор:"
  SpinEditState SpinEdit2{1, 200, 1};  // KM, "число участков,на которые разбит ротор: "
  SpinEditState SpinEdit3{1, 20, 1};   // KZ, "число пролетов,на которые разбит ротор: "
  SpinEditState SpinEdit4{1, 20, 1};   // KW, "число вариантов по жесткости опор:"

  std::string Edit3 = "0";   // KP
  std::string Edit8 = "0";   // F1
  std::string Edit9 = "0";   // FT1
  std::string Edit10 = "0";  // FK
  std::string Edit11 = "0";  // EPS
  std::string Edit12 = "0";  // EPSF

  StringTable StringGrid3{1, 2};  // support grid: row 1, column s-1
  StringTable StringGrid4{1, 2};  // span grid: row 1, column j-1
  StringTable StringGrid1{2, 4};  // section grid: column k, rows 1..3 (l, m, EI)
  StringTable StringGrid2{2, 2};  // stiffness grid: column v, row s

  bool CheckBox1 = false;  // "Рассчитывать формы колебаний"

  TMainFormModel() { FormShow(); }

  SpinEditState& Spin(Count which);
  const SpinEditState& Spin(Count which) const;

  // Typed text: the change handler runs when the text actually changes.
  void SetSpinText(Count which, std::string text);
  // A value set by the loader or the calculator: clamped, then the handler runs
  // when the text changed.
  void SetSpinValue(Count which, int value);
  // Leaving the control clamps it; the handler runs when the text changed.
  void LeaveSpin(Count which);
  void LeaveAllSpins();

  bool operator==(const TMainFormModel&) const = default;

  // Forgets what the grids hold beyond the counts: after a load, no value of
  // an earlier input comes back when a count is raised.
  void ClearBeyondCounts();

  // The form's show: fixed captions, then the four change handlers in the order
  // supports, sections, spans, variants.
  void FormShow();
  void SpinEdit1Change();
  void SpinEdit2Change();
  void SpinEdit3Change();
  void SpinEdit4Change();

 private:
  void Changed(Count which);
  // Grids are sized from the value within the limits, so that a half-typed
  // count never sizes a grid beyond what the form accepts.
  int SizingValue(Count which) const { return Spin(which).ClampedValue(); }
};

}  // namespace vp
