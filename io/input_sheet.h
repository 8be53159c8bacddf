#pragma once
// The input as a worksheet, in the cell layout the loader reads: counts and
// search parameters in B1..B10, support sections in row 11, span ends in row
// 12, section lengths, masses and stiffnesses in rows 16..18 and support
// stiffnesses from row 22, with the captions in column A. Both the results
// workbook and a saved input file use it.

#include <functional>

#include "workbook_writer.h"

namespace vp {

struct InputSheetValues {
  int N = 0, KM = 0, KZ = 0, KW = 0, KP = 0;
  double F1 = 0, FK = 0, FT1 = 0, EPS = 0, EPSF = 0;
  // Read in the order the sheet is written; each may throw to stop it.
  std::function<double(int s)> supportSection;
  std::function<double(int j)> spanEnd;
  std::function<double(int k, int q)> section;  // q = 1 length, 2 mass, 3 stiffness
  std::function<double(int s, int v)> stiffness;
};

void WriteInputSheet(WorksheetWriter& sheet, const InputSheetValues& values);

}  // namespace vp
