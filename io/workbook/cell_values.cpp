#include "cell_values.h"

#include <cmath>

#include "errors.h"
#include "numtext.h"

namespace vp {

namespace {

// The cell's content as the user sees it in the sheet.
std::string Shown(const SheetCell& cell, char decimalSeparator) {
  switch (cell.kind) {
    case CellKind::Number: return GeneralFormat(cell.number, decimalSeparator);
    case CellKind::Boolean: return cell.number != 0 ? "ИСТИНА" : "ЛОЖЬ";
    default: return cell.text;
  }
}

[[noreturn]] void Fail(const Sheet& sheet, int row, int col, char decimalSeparator, ErrorCode code) {
  const SheetCell& cell = sheet.Cell(row, col);
  if (cell.kind == CellKind::Uncalculated) code = ErrorCode::CellUncalculated;
  Raise(Error{code, 0, 0, CellName(row, col), Shown(cell, decimalSeparator), sheet.Name()});
}

// The cell as a real, or false when it holds neither a number nor a numeric text.
bool TryReal(const SheetCell& cell, char decimalSeparator, double& value) {
  switch (cell.kind) {
    case CellKind::Empty:
      value = 0;
      return true;
    case CellKind::Number:
      value = cell.number;
      return true;
    case CellKind::Text:
      return TryRealOfText(cell.text, decimalSeparator, value);
    default:
      return false;
  }
}

}  // namespace

double CellAsReal(const Sheet& sheet, int row, int col, char decimalSeparator) {
  double value = 0;
  if (!TryReal(sheet.Cell(row, col), decimalSeparator, value))
    Fail(sheet, row, col, decimalSeparator, ErrorCode::CellNotNumber);
  return value;
}

int CellAsInteger(const Sheet& sheet, int row, int col, char decimalSeparator) {
  double value = 0;
  if (!TryReal(sheet.Cell(row, col), decimalSeparator, value))
    Fail(sheet, row, col, decimalSeparator, ErrorCode::CellNotInteger);
  const double rounded = std::nearbyint(value);  // the default rounding: a half to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
    Fail(sheet, row, col, decimalSeparator, ErrorCode::CellBeyondInteger);
  return static_cast<int>(rounded);
}

}  // namespace vp
