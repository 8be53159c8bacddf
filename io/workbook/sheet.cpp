#include "sheet.h"

#include <cmath>

namespace vp {

const SheetCell& Sheet::Cell(int row, int col) const {
  static const SheetCell empty;
  auto it = cells_.find({row, col});
  return it == cells_.end() ? empty : it->second;
}

void Sheet::Store(int row, int col, SheetCell cell) {
  if (!Holds(row, col)) return;
  SheetCell& stored = cells_[{row, col}];
  textBytes_ = textBytes_ - stored.text.size() + cell.text.size();
  stored = std::move(cell);
}

void Sheet::SetNumber(int row, int col, double value) {
  if (!std::isfinite(value)) return SetError(row, col, "#NUM!");
  Store(row, col, {CellKind::Number, value, {}});
}

void Sheet::SetText(int row, int col, std::string text) {
  Store(row, col, {CellKind::Text, 0, std::move(text)});
}

void Sheet::SetBoolean(int row, int col, bool value) {
  Store(row, col, {CellKind::Boolean, value ? 1.0 : 0.0, {}});
}

void Sheet::SetError(int row, int col, std::string code) {
  Store(row, col, {CellKind::Error, 0, std::move(code)});
}

void Sheet::SetUncalculated(int row, int col) { Store(row, col, {CellKind::Uncalculated, 0, {}}); }

void Sheet::MarkFormula(int row, int col) {
  auto it = cells_.find({row, col});
  if (it != cells_.end()) it->second.formula = true;
}

std::string CellName(int row, int col) {
  std::string letters;
  for (int c = col; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), char('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

}  // namespace vp
