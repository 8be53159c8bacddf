#pragma once
// The largest run the program takes: 200 sections, 20 spans, 10 supports,
// 20 stiffness variants, 20 frequencies each, entered as text on the main form.

#include <string>

#include "main_form_model.h"

namespace vp::bench {

inline TMainFormModel LargestRunForm() {
  TMainFormModel f;
  f.SetSpinValue(Count::Supports, 10);
  f.SetSpinValue(Count::Sections, 200);
  f.SetSpinValue(Count::Spans, 20);
  f.SetSpinValue(Count::Variants, 20);
  f.Edit3 = "20";
  f.Edit8 = "1";
  f.Edit9 = "5";
  f.Edit10 = "6000";
  f.Edit11 = "1E-10";
  f.Edit12 = "1E-6";
  for (int k = 1; k <= 200; ++k) {
    f.StringGrid1.SetCell(k, 1, "0.005");
    f.StringGrid1.SetCell(k, 2, "0.005");
    f.StringGrid1.SetCell(k, 3, "1");
  }
  for (int j = 1; j <= 20; ++j) f.StringGrid4.SetCell(j - 1, 1, std::to_string(10 * j));
  for (int s = 1; s <= 10; ++s) {
    f.StringGrid3.SetCell(s - 1, 1, std::to_string(200 * s / 11));
    for (int v = 1; v <= 20; ++v) f.StringGrid2.SetCell(v, s, std::to_string(10 * v * v));
  }
  return f;
}

}  // namespace vp::bench
