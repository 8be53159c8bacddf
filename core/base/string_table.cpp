#include "string_table.h"

#include <algorithm>
#include <stdexcept>

namespace vp {

namespace {
const std::string kEmpty;
}

const std::string& StringTable::Cell(int col, int row) const {
  if (row < 0 || col < 0 || row >= static_cast<int>(rows_.size())) return kEmpty;
  const auto& cells = rows_[row];
  return col < static_cast<int>(cells.size()) ? cells[col] : kEmpty;
}

void StringTable::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0) throw std::out_of_range("StringTable: negative cell address");
  if (row >= static_cast<int>(rows_.size())) {
    if (text.empty()) return;
    rows_.resize(row + 1);
  }
  auto& cells = rows_[row];
  if (col >= static_cast<int>(cells.size())) {
    if (text.empty()) return;
    cells.resize(col + 1);
  }
  cells[col] = std::move(text);
}

void StringTable::ClearBeyondCounts() {
  if (rows_.size() > static_cast<size_t>(rowCount_)) rows_.resize(rowCount_);
  for (std::vector<std::string>& row : rows_)
    if (row.size() > static_cast<size_t>(colCount_)) row.resize(colCount_);
}

bool StringTable::operator==(const StringTable& other) const {
  if (colCount_ != other.colCount_ || rowCount_ != other.rowCount_) return false;
  const size_t rows = std::max(rows_.size(), other.rows_.size());
  for (size_t r = 0; r < rows; ++r) {
    size_t cols = 0;
    if (r < rows_.size()) cols = rows_[r].size();
    if (r < other.rows_.size()) cols = std::max(cols, other.rows_[r].size());
    for (size_t c = 0; c < cols; ++c)
      if (Cell(static_cast<int>(c), static_cast<int>(r)) != other.Cell(static_cast<int>(c), static_cast<int>(r)))
        return false;
  }
  return true;
}

}  // namespace vp
