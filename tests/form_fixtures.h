#pragma once
// Main forms filled as a user would, for the run, loader and printout tests.

#include <string>
#include <vector>

#include "main_form_model.h"
#include "numtext.h"

namespace vp::test {

// A uniform free-free shaft of length 1 (EI = 1, mass 1 per length) in KM
// sections, spans ending at spanEnds, one support of stiffness 0 at section 1
// in every one of KW variants; F1 = 1, FT1 = 1, FK = 100, EPS = 1e-10, EPSF = 1e-6.
inline TMainFormModel FreeFreeForm(int KM, const std::vector<int>& spanEnds, int KP, int KW = 1, char sep = '.') {
  TMainFormModel f;
  f.SetSpinValue(Count::Supports, 1);
  f.SetSpinValue(Count::Sections, KM);
  f.SetSpinValue(Count::Spans, static_cast<int>(spanEnds.size()));
  f.SetSpinValue(Count::Variants, KW);
  f.Edit3 = std::to_string(KP);
  f.Edit8 = "1";
  f.Edit9 = "1";
  f.Edit10 = "100";
  f.Edit11 = "1E-10";
  f.Edit12 = "1E-6";
  f.StringGrid3.SetCell(0, 1, "1");
  for (size_t j = 0; j < spanEnds.size(); ++j) f.StringGrid4.SetCell(static_cast<int>(j), 1, std::to_string(spanEnds[j]));
  const std::string piece = GeneralFormat(1.0 / KM, sep);
  for (int k = 1; k <= KM; ++k) {
    f.StringGrid1.SetCell(k, 1, piece);
    f.StringGrid1.SetCell(k, 2, piece);
    f.StringGrid1.SetCell(k, 3, "1");
  }
  for (int v = 1; v <= KW; ++v) f.StringGrid2.SetCell(v, 1, "0");
  return f;
}

}  // namespace vp::test
