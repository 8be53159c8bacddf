#pragma once
// Shows a StringTable in a QTableView. A grid's first fixed row becomes the
// horizontal header and its fixed columns the vertical header, so they stay
// in view while the cells scroll, as a string grid's fixed cells do.

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "string_table.h"

namespace vp {

class StringTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  StringTableModel(StringTable* table, int fixedRows, int fixedCols, bool editable, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  // Writes texts into cells of the model, in one change: one dataChanged over
  // the cells, the edited handler once.
  void SetCells(const std::vector<std::pair<QModelIndex, std::string>>& cells);

  // The table changed behind the model's back (sizes or text): show it again.
  // A table as last shown is left alone: nothing is signalled, and a view
  // keeps its current cell, selection and column widths.
  void Refresh();
  // Called after the user edited a cell.
  void SetEditedHandler(std::function<void()> handler) { edited_ = std::move(handler); }

  StringTable* Table() const { return table_; }
  bool Editable() const { return editable_; }
  // The model's index of the table's cell (col, row); invalid for a fixed cell.
  QModelIndex IndexOfCell(int col, int row) const { return index(row - fixedRows_, col - fixedCols_); }
  // The text of a cell in the model's coordinates, without a copy.
  const std::string& CellText(int row, int column) const;
  // What the fixed cells above the vertical header hold ("Номер частоты:").
  QString CornerText() const;

 private:
  QString FixedColumnsText(int row) const;

  StringTable* table_;
  int fixedRows_, fixedCols_;
  bool editable_;
  StringTable shown_;  // the table as the last refresh showed it (at first none)
  std::function<void()> edited_;
};

}  // namespace vp
