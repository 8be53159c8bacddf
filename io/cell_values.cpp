#include "cell_values.h"

#include <cmath>

#include "errors.h"
#include "numtext.h"
#include "printable.h"

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

[[noreturn]] void Fail(const Sheet& sheet, int row, int col, char decimalSeparator, const char* what) {
  const std::string where = sheet.Name().empty() ? "" : "лист «" + Printable(sheet.Name()) + "», ";
  const SheetCell& cell = sheet.Cell(row, col);
  const std::string problem =
      cell.kind == CellKind::Uncalculated
          ? "формула не вычислена (в файле нет ее значения); откройте книгу в программе электронных таблиц и "
            "сохраните ее заново"
          : "значение «" + Printable(Shown(cell, decimalSeparator)) + "» " + what;
  throw ConversionError("Ошибка в книге: " + where + "ячейка " + CellName(row, col) + ": " + problem);
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
    Fail(sheet, row, col, decimalSeparator, "не является числом");
  return value;
}

int CellAsInteger(const Sheet& sheet, int row, int col, char decimalSeparator) {
  double value = 0;
  if (!TryReal(sheet.Cell(row, col), decimalSeparator, value))
    Fail(sheet, row, col, decimalSeparator, "не является целым числом");
  const double rounded = std::nearbyint(value);  // the default rounding: a half to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
    Fail(sheet, row, col, decimalSeparator, "выходит за пределы целых чисел");
  return static_cast<int>(rounded);
}

}  // namespace vp
