#pragma once
// Results tables filled as a run with given counts leaves them, for printing.

#include <string>

#include "main_form_model.h"
#include "numtext.h"
#include "results_tables.h"

namespace vp::test {

// Frequency k of variant v is 100 v + k + 0.123456789; quantity q (1..4) of
// listed section s is s + q / 10; the coordinate of section s is s / 2. Each
// variant found `found` frequencies (all KP when negative).
inline void FillResults(TMainFormModel& form, ResultsTables& results, int KM, int KW, int KP, int found = -1) {
  form.SetSpinValue(Count::Sections, KM);
  form.SetSpinValue(Count::Variants, KW);
  form.Edit3 = std::to_string(KP);
  if (found < 0) found = KP;
  const int half = HalfKM(KM);
  for (int v = 1; v <= KW; ++v)
    for (int k = 1; k <= found; ++k) {
      results.StringGrid1.SetCell(k, v, GeneralFormat(100 * v + k + 0.123456789, '.'));
      for (int c = 0; c <= half; ++c) {
        results.StringGrid3.SetCell((half + 1) * (k - 1) + c + 2, 1, std::to_string(2 * c + 1));
        for (int q = 1; q <= 4; ++q)
          results.StringGrid3.SetCell((half + 1) * (k - 1) + c + 2, 5 * (v - 1) + 1 + q,
                                      GeneralFormat(2 * c + 1 + q / 10.0, '.'));
      }
    }
  for (int c = 0; c < half; ++c) results.StringGrid2.SetCell(c, 1, GeneralFormat((2 * c + 1) * 0.5, '.'));
}

}  // namespace vp::test
