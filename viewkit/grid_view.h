#pragma once
// The string grid every window shows its tables in, over a StringTableModel.

#include <QHash>
#include <QTableView>
#include <QVector>

#include "string_table_model.h"

namespace vp {

// A string grid: row height 18, user-sized columns, fixed cells in sky blue;
// the fixed cells above the vertical header show in its corner. A column the
// user sized by hand keeps that width whenever the table is shown again; with
// fitting on, the other columns widen (never below the default width) so that
// every text shows whole. In an editable grid Enter moves on as in a
// spreadsheet: it commits the cell being edited and goes to the next cell to
// the right, at a row's end to the first cell of the next row. Ctrl+C copies
// the selected cells as tab-separated text; in an editable grid (whose cells
// hold numbers) Ctrl+V pastes such text from the current cell, or one value
// into every selected cell, numbers with either decimal separator, as one
// change; a value that is no number or a block that does not fit pastes
// nothing and says why.
class GridView : public QTableView {
  Q_OBJECT
 public:
  GridView(QWidget* parent, StringTableModel* model, int defaultColumnWidth, bool border = true);
  StringTableModel* Model() const { return model_; }
  void SetFitToTexts(bool fit);
  // Shows the table again where it changed (StringTableModel::Refresh).
  void Refresh() { model_->Refresh(); }
  // Makes the table's cell (col, row) the current one, in view, with the focus.
  void SelectCell(int col, int row);
  void Copy() const;
  void Paste();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  // "Участок 3, Длина(l)": a cell by its captions, or by its row and column.
  QString CellName(const QModelIndex& cell) const;
  void RestoreWidths();
  QVector<int> FittedWidths() const;
  void MoveToNextCell();

  StringTableModel* model_;
  QWidget* corner_ = nullptr;
  bool fit_ = false;
  bool sizing_ = false;  // widths set by the grid itself, not by the user
  QHash<int, int> userWidths_;
};

}  // namespace vp
