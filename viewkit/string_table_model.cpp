#include "string_table_model.h"

namespace vp {

StringTableModel::StringTableModel(StringTable* table, int fixedRows, int fixedCols, bool editable, QObject* parent)
    : QAbstractTableModel(parent), table_(table), fixedRows_(fixedRows), fixedCols_(fixedCols), editable_(editable) {}

int StringTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, table_->RowCount() - fixedRows_);
}

int StringTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, table_->ColCount() - fixedCols_);
}

QVariant StringTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return QString::fromStdString(table_->Cell(index.column() + fixedCols_, index.row() + fixedRows_));
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (fixedRows_ == 0) return {};
    return QString::fromStdString(table_->Cell(section + fixedCols_, 0));
  }
  return FixedColumnsText(section + fixedRows_);
}

QString StringTableModel::FixedColumnsText(int row) const {
  // Several fixed columns share the vertical header; equal neighbours show once.
  QString text;
  std::string previous;
  for (int c = 0; c < fixedCols_; ++c) {
    const std::string& cell = table_->Cell(c, row);
    if (cell.empty() || cell == previous) continue;
    if (!text.isEmpty()) text += "  ";
    text += QString::fromStdString(cell);
    previous = cell;
  }
  return text;
}

QString StringTableModel::CornerText() const { return fixedRows_ > 0 ? FixedColumnsText(0) : QString(); }

const std::string& StringTableModel::CellText(int row, int column) const {
  return table_->Cell(column + fixedCols_, row + fixedRows_);
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex& index) const {
  // No flags outside the cells, as Qt's views expect.
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (editable_ && index.isValid()) f |= Qt::ItemIsEditable;
  return f;
}

bool StringTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  // Only a cell of this model's current size, from an editor.
  if (!editable_ || role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
  const std::string text = value.toString().toStdString();
  const int col = index.column() + fixedCols_, row = index.row() + fixedRows_;
  if (table_->Cell(col, row) == text) return false;
  table_->SetCell(col, row, text);
  shown_.SetCell(col, row, text);
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  if (edited_) edited_();
  return true;
}

void StringTableModel::SetCells(const std::vector<std::pair<QModelIndex, std::string>>& cells) {
  if (cells.empty()) return;
  QModelIndex first = cells[0].first, last = first;
  for (const auto& [cell, text] : cells) {
    table_->SetCell(cell.column() + fixedCols_, cell.row() + fixedRows_, text);
    shown_.SetCell(cell.column() + fixedCols_, cell.row() + fixedRows_, text);
    first = index(std::min(first.row(), cell.row()), std::min(first.column(), cell.column()));
    last = index(std::max(last.row(), cell.row()), std::max(last.column(), cell.column()));
  }
  emit dataChanged(first, last, {Qt::DisplayRole, Qt::EditRole});
  if (edited_) edited_();
}

void StringTableModel::Refresh() {
  if (*table_ == shown_) return;
  beginResetModel();
  shown_ = *table_;
  endResetModel();
}

}  // namespace vp
