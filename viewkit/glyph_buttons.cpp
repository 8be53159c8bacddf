#include "glyph_buttons.h"

#include <QPainter>
#include <QPainterPath>

namespace vp {

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

QPushButton* BitBtn(QWidget* parent, const QString& text, QSize size, Glyph glyph, bool bold) {
  QPushButton* button = PlainButton(parent, text, size);
  button->setIcon(GlyphIcon(glyph));
  button->setIconSize(QSize(16, 16));
  if (bold) {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
  }
  return button;
}

QPushButton* PlainButton(QWidget* parent, const QString& text, QSize size) {
  auto* button = new QPushButton(text, parent);
  button->setMinimumSize(size);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  button->setAutoDefault(false);
  return button;
}

}  // namespace vp
