#pragma once
// The input echo form without its window: the ten value labels and the four
// grids, filled by the calculation run from the model exactly as it was read.
// The grids keep their contents after the form closes: the results workbook
// export reads its input sheet from them.

#include <array>
#include <string>
#include <vector>

#include "string_table.h"

namespace vp {

struct TInputFormModel {
  // Label1..Label10: "N = ", "KM = ", "KP = ", "KW = ", "MZ = ", "F1 = ", "FT1 = ",
  // "FK = ", "EPS = ", "EPSF = " each followed by its value. Index 0 is Label1.
  std::array<std::string, 10> Labels;

  StringTable StringGrid1{1, 1};  // support sections, row 0, column s-1
  StringTable StringGrid2{1, 1};  // span ends, row 0, column j-1
  StringTable StringGrid3{1, 4};  // sections: column k-1; row 0 caption, rows 1..3 l, m, EI
  StringTable StringGrid4{2, 2};  // stiffness: column v, row s; captions in row 0 and column 0
  // Below the grids: what in the data takes no part in the calculation.
  std::vector<std::string> Notes;
};

}  // namespace vp
