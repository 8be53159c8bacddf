#include "grid_view.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <cmath>

#include "form_kit.h"
#include "message_box.h"
#include "pasted_cells.h"

namespace vp {

GridView::GridView(QWidget* parent, StringTableModel* model, int defaultColumnWidth, bool border)
    : QTableView(parent), model_(model) {
  model->setParent(this);
  setModel(model);
  if (!border) setFrameShape(QFrame::NoFrame);
  horizontalHeader()->setDefaultSectionSize(defaultColumnWidth);
  horizontalHeader()->setMinimumSectionSize(8);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setMinimumSectionSize(18);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setHighlightSections(false);
  horizontalHeader()->setFixedHeight(18);
  QPalette headerPalette = horizontalHeader()->palette();
  headerPalette.setColor(QPalette::Button, kSkyBlue);
  horizontalHeader()->setPalette(headerPalette);
  verticalHeader()->setPalette(headerPalette);
  setStyleSheet("QHeaderView { background-color: rgb(166, 202, 240); }"
                "QHeaderView::section { background-color: rgb(166, 202, 240); border: 1px solid gray;"
                " border-top: 0px; border-left: 0px; padding: 0px 2px; }"
                "QTableCornerButton::section { background-color: rgb(166, 202, 240); border: 1px solid gray;"
                " border-top: 0px; border-left: 0px; }");
  // No editor delayed after a click on the selected cell: while it waits, typed
  // keys open none, and it opens over them. Typing, F2 and a double click edit.
  setEditTriggers(model->Editable() ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                          QAbstractItemView::AnyKeyPressed
                                    : QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setWordWrap(false);
  setTabKeyNavigation(false);  // Tab goes on to the next control

  // The corner button draws no text of its own.
  corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  if (corner_) corner_->installEventFilter(this);

  // A reset lays the columns out at the default width; the grid then puts back
  // the user's widths and the fitted ones.
  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { sizing_ = true; });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    RestoreWidths();
    sizing_ = false;
  });
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (!sizing_) userWidths_.insert(column, width);
  });
}

void GridView::SetFitToTexts(bool fit) {
  fit_ = fit;
  sizing_ = true;
  RestoreWidths();
  sizing_ = false;
}

namespace {

// Measures the drawn width of many short texts quickly: a text of ASCII
// characters is estimated by the sum of its characters' advances (Qt's layout
// adds nothing between them but kerning, which only narrows), and only the
// widest of a column is laid out in full.
class TextWidths {
 public:
  explicit TextWidths(const QFont& font) : metrics_(font) {
    for (int c = 32; c < 127; ++c) ascii_[c] = metrics_.horizontalAdvance(QChar(c));
  }
  double Estimate(const std::string& text) const {
    double width = 0;
    for (unsigned char c : text) {
      if (c >= 127 || c < 32) return metrics_.horizontalAdvance(QString::fromStdString(text));
      width += ascii_[c];
    }
    return width;
  }
  double Exact(const QString& text) const { return metrics_.horizontalAdvance(text); }

 private:
  QFontMetricsF metrics_;
  double ascii_[127] = {};
};

}  // namespace

QVector<int> GridView::FittedWidths() const {
  const int rows = model_->rowCount(), columns = model_->columnCount();
  const int minimum = horizontalHeader()->defaultSectionSize();
  // What a cell takes beside its text: the item's margins on both sides and
  // the grid line.
  const int cellMargin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
  const TextWidths cells(font());
  // The header's own size hint, once per distinct title (a few hundred
  // columns share a handful of titles).
  QHash<QString, int> headerWidths;
  QVector<int> widths(columns, minimum);
  for (int c = 0; c < columns; ++c) {
    int width = minimum;
    if (!horizontalHeader()->isHidden()) {
      const QString title = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
      auto known = headerWidths.constFind(title);
      if (known == headerWidths.constEnd()) known = headerWidths.insert(title, horizontalHeader()->sectionSizeHint(c));
      width = std::max(width, *known);
    }
    double widest = 0;
    const std::string* widestText = nullptr;
    for (int r = 0; r < rows; ++r) {
      const std::string& text = model_->CellText(r, c);
      if (text.empty()) continue;
      const double estimate = cells.Estimate(text);
      if (estimate > widest) {
        widest = estimate;
        widestText = &text;
      }
    }
    if (widestText)
      widest = std::max(widest, cells.Exact(QString::fromStdString(*widestText)));
    widths[c] = std::max(width, static_cast<int>(std::ceil(widest)) + cellMargin);
  }
  return widths;
}

void GridView::RestoreWidths() {
  const int columns = model_->columnCount();
  const QVector<int> fitted = fit_ ? FittedWidths() : QVector<int>();
  QHeaderView* header = horizontalHeader();
  for (int c = 0; c < columns; ++c) {
    const int width = userWidths_.value(c, fit_ ? fitted[c] : header->defaultSectionSize());
    if (header->sectionSize(c) != width) header->resizeSection(c, width);
  }
  // The corner's text shows whole.
  const QString corner = model_->CornerText();
  if (!corner.isEmpty())
    verticalHeader()->setMinimumWidth(QFontMetrics(verticalHeader()->font()).horizontalAdvance(corner) + 12);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Tab in a cell's editor keeps the typed text and goes on to the next
  // control, as Tab does anywhere else in the grid.
  const bool next = hint == QAbstractItemDelegate::EditNextItem, previous = hint == QAbstractItemDelegate::EditPreviousItem;
  QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
  if (next || previous) focusNextPrevChild(next);
  // Enter in the editor: the text is committed, the next cell follows.
  if (hint == QAbstractItemDelegate::SubmitModelCache) MoveToNextCell();
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  if (event->matches(QKeySequence::Paste) && model_->Editable()) {
    Paste();
    return;
  }
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && model_->Editable() && state() != EditingState) {
    MoveToNextCell();
    return;
  }
  QTableView::keyPressEvent(event);
}

void GridView::SelectCell(int col, int row) {
  const QModelIndex cell = model_->IndexOfCell(col, row);
  if (!cell.isValid()) return;
  setFocus();
  setCurrentIndex(cell);
  scrollTo(cell);
}

QString GridView::CellName(const QModelIndex& cell) const {
  const QString column = model_->headerData(cell.column(), Qt::Horizontal, Qt::DisplayRole).toString();
  const QString row = model_->headerData(cell.row(), Qt::Vertical, Qt::DisplayRole).toString();
  if (!column.isEmpty() && !row.isEmpty()) return column + ", " + row;
  if (!column.isEmpty() || !row.isEmpty()) return column + row;
  return QString("строка %1, столбец %2").arg(cell.row() + 1).arg(cell.column() + 1);
}

void GridView::Copy() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  int top = selected[0].row(), bottom = top, left = selected[0].column(), right = left;
  for (const QModelIndex& cell : selected) {
    top = std::min(top, cell.row());
    bottom = std::max(bottom, cell.row());
    left = std::min(left, cell.column());
    right = std::max(right, cell.column());
  }
  CellBlock cells;
  for (int r = top; r <= bottom; ++r) {
    std::vector<std::string>& row = cells.emplace_back();
    for (int c = left; c <= right; ++c) row.push_back(model_->CellText(r, c));
  }
  QGuiApplication::clipboard()->setText(QString::fromStdString(TabSeparatedText(cells)));
}

void GridView::Paste() {
  const QModelIndex at = currentIndex();
  const CellBlock pasted = TabSeparatedCells(QGuiApplication::clipboard()->text().toStdString());
  if (!at.isValid() || pasted.empty()) return;
  const QString pasting = "Вставка из буфера обмена: ";
  // The block from the current cell, or one value into every selected cell.
  std::vector<std::pair<QModelIndex, std::string>> cells;
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (pasted.size() == 1 && pasted[0].size() == 1 && selected.size() > 1) {
    for (const QModelIndex& cell : selected) cells.emplace_back(cell, pasted[0][0]);
  } else {
    size_t width = 0;
    for (const std::vector<std::string>& line : pasted) width = std::max(width, line.size());
    const int rows = model_->rowCount() - at.row(), columns = model_->columnCount() - at.column();
    if (static_cast<int>(pasted.size()) > rows || static_cast<int>(width) > columns) {
      ShowPlainMessage(window(), pasting + QString("%1 × %2 ячеек не помещаются в таблицу от ячейки «%3» (в ней от этой "
                                                   "ячейки %4 × %5). Ничего не вставлено.")
                                               .arg(pasted.size()).arg(width).arg(CellName(at)).arg(rows).arg(columns));
      return;
    }
    for (size_t r = 0; r < pasted.size(); ++r)
      for (size_t c = 0; c < pasted[r].size(); ++c)
        cells.emplace_back(model_->index(at.row() + static_cast<int>(r), at.column() + static_cast<int>(c)), pasted[r][c]);
  }
  const char sep = DecimalSeparator();
  for (auto& [cell, text] : cells)
    if (!PastedNumber(text, sep, text)) {
      ShowPlainMessage(window(), pasting + "ячейка «" + CellName(cell) + "»: «" + QString::fromStdString(text) +
                                     "» не является числом. Ничего не вставлено.");
      return;
    }
  model_->SetCells(cells);
}

void GridView::MoveToNextCell() {
  const QModelIndex at = currentIndex();
  if (!model_->Editable() || !at.isValid()) return;
  int row = at.row(), column = at.column() + 1;
  if (column >= model_->columnCount()) {
    column = 0;
    ++row;
  }
  if (row < model_->rowCount()) setCurrentIndex(model_->index(row, column));
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_ && event->type() == QEvent::Paint) {
    const QString text = model_->CornerText();
    if (!text.isEmpty()) {
      QStyleOptionHeader option;
      option.initFrom(corner_);
      option.rect = corner_->rect();
      option.text = text;
      option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
      option.position = QStyleOptionHeader::OnlyOneSection;
      QPainter painter(corner_);
      corner_->style()->drawControl(QStyle::CE_Header, &option, &painter, corner_);
      return true;
    }
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace vp
