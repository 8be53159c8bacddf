#pragma once
// The cells and sizes of one grid. Cells are addressed (column, row) from 0.
// Text written outside the current counts is kept and shows again when the
// counts grow, as a string grid does; shrinking the counts loses nothing.

#include <string>
#include <vector>

namespace vp {

class StringTable {
 public:
  StringTable() = default;
  StringTable(int colCount, int rowCount) { SetSize(colCount, rowCount); }

  int ColCount() const { return colCount_; }
  int RowCount() const { return rowCount_; }
  // Negative counts are taken as 0.
  void SetColCount(int count) { colCount_ = count < 0 ? 0 : count; }
  void SetRowCount(int count) { rowCount_ = count < 0 ? 0 : count; }
  void SetSize(int colCount, int rowCount) {
    SetColCount(colCount);
    SetRowCount(rowCount);
  }

  // The stored text, visible or not; empty where nothing was written.
  const std::string& Cell(int col, int row) const;
  // Throws std::out_of_range for a negative address.
  void SetCell(int col, int row, std::string text);

  // Forgets every cell's text; the counts stay.
  void ClearCells() { rows_.clear(); }
  // Forgets the text of the cells outside the current counts.
  void ClearBeyondCounts();

  bool operator==(const StringTable& other) const;

 private:
  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<std::vector<std::string>> rows_;  // rows_[row][col], ragged
};

}  // namespace vp
