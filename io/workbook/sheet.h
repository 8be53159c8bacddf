#pragma once
// One worksheet as read from a workbook file: the cells within a fixed window
// of rows and columns. Cells beyond the window are dropped while reading, so a
// sheet claiming a million rows costs no more memory than the window holds.

#include <cstddef>
#include <map>
#include <string>
#include <utility>

namespace vp {

// Uncalculated: a formula saved without its result (the file's writer left the
// calculation to the spreadsheet program that opens it).
enum class CellKind { Empty, Number, Text, Boolean, Error, Uncalculated };

struct SheetCell {
  CellKind kind = CellKind::Empty;
  double number = 0;  // Number; Boolean as 0 or 1
  std::string text;   // Text (UTF-8); Error as its code, such as "#DIV/0!", or a damaged value as written
  bool formula = false;  // the value is a formula's saved result
};

class Sheet {
 public:
  // Rows 1..maxRow and columns 1..maxCol are kept.
  Sheet(int maxRow, int maxCol) : maxRow_(maxRow), maxCol_(maxCol) {}

  int MaxRow() const { return maxRow_; }
  int MaxCol() const { return maxCol_; }
  bool Holds(int row, int col) const { return row >= 1 && row <= maxRow_ && col >= 1 && col <= maxCol_; }

  // The sheet's name in its workbook.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // The cell at (row, col), 1-based; an empty cell where nothing was stored.
  const SheetCell& Cell(int row, int col) const;
  int StoredCount() const { return static_cast<int>(cells_.size()); }
  // The bytes of all texts stored (texts, error codes).
  size_t TextBytes() const { return textBytes_; }

  // Cells outside the window are ignored. A number that is not finite (only a
  // damaged file holds one) is stored as the error "#NUM!".
  void SetNumber(int row, int col, double value);
  void SetText(int row, int col, std::string text);
  void SetBoolean(int row, int col, bool value);
  void SetError(int row, int col, std::string code);
  void SetUncalculated(int row, int col);
  // The cell stored at (row, col), if any, holds a formula's result.
  void MarkFormula(int row, int col);

  // The workbook says that its formulas' saved results may be out of date
  // (marked for recalculation when it is opened).
  bool FormulasStale() const { return formulasStale_; }
  void SetFormulasStale() { formulasStale_ = true; }

 private:
  void Store(int row, int col, SheetCell cell);

  int maxRow_, maxCol_;
  std::string name_;
  size_t textBytes_ = 0;
  bool formulasStale_ = false;
  std::map<std::pair<int, int>, SheetCell> cells_;  // (row, col)
};

// The A1-style name of a cell: column letters, then the row ("B5", "AB12").
std::string CellName(int row, int col);

}  // namespace vp
