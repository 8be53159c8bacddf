#include "form_kit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>

namespace vp {

void InstallFontSubstitutes() {
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  QFont::insertSubstitution("MS Sans Serif", "DejaVu Sans");
}

QFont FormFont(int pointSize) { return QFont("MS Sans Serif", pointSize); }

void StyleForm(QWidget* form, int fontPixelHeight) {
  QPalette palette = form->palette();
  palette.setColor(QPalette::Window, kSkyBlue);
  form->setPalette(palette);
  form->setAutoFillBackground(true);
  QFont font = FormFont();
  if (fontPixelHeight > 0) font.setPixelSize(fontPixelHeight);
  form->setFont(font);
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, bool bold, int wrapWidth) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  if (wrapWidth > 0) {
    label->setWordWrap(true);
    label->setFixedWidth(wrapWidth);
  }
  label->adjustSize();
  label->move(x, y);
  return label;
}

QFrame* Bevel(QWidget* parent, const QRect& geometry, bool raised) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
  frame->setLineWidth(1);
  frame->setGeometry(geometry);
  frame->lower();
  return frame;
}

GridView::GridView(QWidget* parent, StringTableModel* model, const QRect& geometry, int defaultColumnWidth,
                   bool border)
    : QTableView(parent), model_(model) {
  model->setParent(this);
  setModel(model);
  setGeometry(geometry);
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
                " border-top: 0px; border-left: 0px; padding: 0px 2px; }");
  setEditTriggers(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsEditable)
                      ? QAbstractItemView::AllEditTriggers
                      : QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setWordWrap(false);
}

void GridView::Refresh(bool fit) {
  model_->Refresh();
  if (!fit) return;
  const QFontMetrics metrics(font());
  const QFontMetrics headerMetrics(horizontalHeader()->font());
  const int rows = model_->rowCount(), columns = model_->columnCount();
  const int minimum = horizontalHeader()->defaultSectionSize();
  for (int c = 0; c < columns; ++c) {
    int width = minimum;
    if (horizontalHeader()->isVisible())
      width = std::max(width, headerMetrics.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 8);
    // Measuring the longest text of a column is enough: the cells hold numbers.
    QString longest;
    for (int r = 0; r < rows; ++r) {
      QString text = model_->data(model_->index(r, c), Qt::DisplayRole).toString();
      if (text.size() > longest.size()) longest = std::move(text);
    }
    width = std::max(width, metrics.horizontalAdvance(longest) + 8);
    horizontalHeader()->resizeSection(c, width);
  }
}

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  connect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::Typed);
}

void SpinEdit::SetText(const QString& text) {
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

QString SpinEdit::Text() const { return lineEdit()->text(); }

void SpinEdit::stepBy(int steps) { emit Stepped(steps); }

void SpinEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractSpinBox::focusOutEvent(event);
  emit Left();
}

namespace {

QPixmap DrawGlyph(Glyph glyph) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (glyph) {
    case Glyph::Ok:
      p.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
      break;
    case Glyph::Cancel:
      p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
      p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
      break;
    case Glyph::Retry: {
      p.setPen(QPen(QColor(0, 70, 170), 2, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 290 * 16);
      p.setBrush(QColor(0, 70, 170));
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({QPointF(9, 0.5), QPointF(14.5, 3), QPointF(9.5, 6.5)}));
      break;
    }
    case Glyph::Print:
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(150, 150, 150));
      p.drawRect(QRectF(1.5, 6.5, 13, 6));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 10.5, 7, 4));
      break;
    case Glyph::Open:
      p.setPen(QPen(QColor(120, 90, 0), 1));
      p.setBrush(QColor(240, 200, 60));
      p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6, 3.5), QPointF(7.5, 5), QPointF(14.5, 5),
                               QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
      break;
    case Glyph::Save:
      p.setPen(QPen(QColor(20, 40, 110), 1));
      p.setBrush(QColor(60, 90, 170));
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(QRectF(4.5, 9.5, 7, 5));
      break;
    case Glyph::Calculator:
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(QColor(220, 220, 220));
      p.drawRect(QRectF(2.5, 1.5, 11, 13));
      p.setBrush(QColor(120, 200, 120));
      p.drawRect(QRectF(4.5, 3.5, 7, 3));
      p.setBrush(Qt::black);
      for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) p.drawRect(QRectF(4.5 + 2.5 * c, 8.5 + 2.5 * r, 1, 1));
      break;
    case Glyph::Next:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0, 128, 0));
      p.drawPolygon(QPolygonF({QPointF(1.5, 6), QPointF(8.5, 6), QPointF(8.5, 2.5), QPointF(14.5, 8),
                               QPointF(8.5, 13.5), QPointF(8.5, 10), QPointF(1.5, 10)}));
      break;
    case Glyph::Exit:
      p.setPen(QPen(QColor(90, 50, 10), 1));
      p.setBrush(QColor(170, 110, 50));
      p.drawRect(QRectF(2.5, 1.5, 8, 13));
      p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(14.5, 8));
      p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
      p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
      break;
  }
  return pixmap;
}

}  // namespace

QIcon GlyphIcon(Glyph glyph) { return QIcon(DrawGlyph(glyph)); }

QPushButton* BitBtn(QWidget* parent, const QString& text, const QRect& geometry, Glyph glyph, bool bold) {
  auto* button = PlainButton(parent, text, geometry);
  button->setIcon(GlyphIcon(glyph));
  button->setIconSize(QSize(16, 16));
  if (bold) {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
  }
  return button;
}

QPushButton* PlainButton(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

void ShowPlainMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  box.exec();
}

void ReportError(QWidget* parent, const std::exception& error) {
  ShowPlainMessage(parent, QString::fromUtf8(error.what()));
}

char DecimalSeparator() {
  // The default locale is the system's unless a test has set another.
  const QString point = QLocale().decimalPoint();
  const char c = point.isEmpty() ? '.' : point.at(0).toLatin1();
  return c == 0 ? '.' : c;
}

}  // namespace vp
