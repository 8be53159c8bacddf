#include "plot_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vp {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

Qt::PenStyle PenStyleOf(PlotLine::Style style) {
  switch (style) {
    case PlotLine::Dashed: return Qt::DashLine;
    case PlotLine::Dotted: return Qt::DotLine;
    case PlotLine::Solid: break;
  }
  return Qt::SolidLine;
}

}  // namespace

double PlotPlace(const PlotAxis& axis, double value, double from, double to) {
  double t;
  if (axis.log) {
    if (!(value > 0) || !(axis.low > 0)) return NAN;
    t = std::log10(value / axis.low) / std::log10(axis.high / axis.low);
  } else {
    t = (value - axis.low) / (axis.high - axis.low);
  }
  return from + t * (to - from);
}

double WrappedTextHeight(const QFontMetricsF& metrics, const QString& text, double width) {
  return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
}

QFont ReportFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void PaintShaft(QPainter& p, const QRectF& a, const ShaftDrawing& d, double u) {
  if (!(d.length > 0)) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  auto X = [&](double x) { return a.left() + a.width() * x / d.length; };
  const double axis = a.top() + 0.36 * a.height();
  const double half = 0.22 * a.height();
  const double ground = a.top() + 0.84 * a.height();
  // Springs first: the boxes cover their upper ends.
  QFont font = ReportFont(7);
  p.setFont(font);
  for (const ShaftDrawing::Spring& spring : d.springs) {
    const double x = X(spring.x), w = 2.6 * u;
    QPainterPath zigzag(QPointF(x, axis));
    const double top = axis + half + 1.5 * u, bottom = ground - 1.5 * u;
    zigzag.lineTo(x, top);
    constexpr int kTurns = 6;
    for (int i = 0; i < kTurns; ++i)
      zigzag.lineTo(x + (i % 2 ? -w : w), top + (bottom - top) * (i + 0.5) / kTurns);
    zigzag.lineTo(x, bottom);
    zigzag.lineTo(x, ground);
    p.setPen(QPen(Qt::black, 0.6 * u));
    p.setBrush(Qt::NoBrush);
    p.drawPath(zigzag);
    p.drawLine(QPointF(x - 5 * u, ground), QPointF(x + 5 * u, ground));
    for (int i = 0; i < 4; ++i) {
      const double hx = x - 5 * u + i * 3 * u;
      p.drawLine(QPointF(hx + 2 * u, ground), QPointF(hx, ground + 2.5 * u));
    }
    QStringList numbers;
    for (int n : spring.numbers) numbers << QString::number(n);
    p.drawText(QRectF(x + w + 1.5 * u, top, 40 * u, bottom - top), Qt::AlignLeft | Qt::AlignVCenter, numbers.join(", "));
  }
  for (const ShaftDrawing::Box& box : d.boxes) {
    const double h = std::max(box.height * half, 0.4 * u);
    p.setPen(QPen(Qt::black, 0.4 * u));
    p.setBrush(box.active ? QColor(176, 196, 222) : QColor(225, 225, 225));
    p.drawRect(QRectF(X(box.x0), axis - h, X(box.x1) - X(box.x0), 2 * h));
  }
  p.setPen(QPen(Qt::black, 0.3 * u, Qt::DashDotLine));
  p.drawLine(QPointF(a.left() - 3 * u, axis), QPointF(a.right() + 3 * u, axis));
  p.setPen(QPen(Qt::black, 0.4 * u));
  p.setBrush(QColor(90, 90, 90));
  for (const ShaftDrawing::Disc& disc : d.discs)
    p.drawRoundedRect(QRectF(X(disc.x) - 1.6 * u, axis - 1.3 * half, 3.2 * u, 2.6 * half), 1.2 * u, 1.2 * u);
  p.restore();
}

void PaintPlot(QPainter& p, const QRectF& area, const ReportPlot& plot, double u) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QFont titleFont = ReportFont(8, true), font = ReportFont(7);
  const QFontMetricsF tm(titleFont, p.device()), fm(font, p.device());
  double top = area.top();
  if (!plot.title.empty()) {
    p.setFont(titleFont);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), top, area.width(), tm.height()), Qt::AlignLeft | Qt::AlignTop,
               tm.elidedText(Q(plot.title), Qt::ElideRight, area.width()));
    top += tm.height() + 2 * u;
  }
  // The legend in rows, then the notes, at the bottom.
  const double sample = 14 * u, gap = 3 * u;
  std::vector<double> entryWidths;
  for (const PlotLegendEntry& entry : plot.legend)
    entryWidths.push_back(sample + gap + fm.horizontalAdvance(Q(entry.text)) + 3 * gap);
  const std::vector<std::vector<size_t>> legendRows = LegendRows(entryWidths, area.width());
  double notesHeight = 0;
  for (const std::string& note : plot.notes) notesHeight += WrappedTextHeight(fm, Q(note), area.width());
  const double legendHeight = legendRows.size() * fm.height();
  double bottom = area.bottom() - notesHeight - legendHeight - (notesHeight + legendHeight > 0 ? 2 * u : 0);

  double labelWidth = 0;
  for (const PlotTick& tick : plot.y.ticks) labelWidth = std::max(labelWidth, fm.horizontalAdvance(Q(tick.label)));
  const double lastLabel = plot.x.ticks.empty() ? 0 : fm.horizontalAdvance(Q(plot.x.ticks.back().label)) / 2;
  QRectF r;
  r.setLeft(area.left() + labelWidth + 3 * u + (plot.y.title.empty() ? 0 : fm.height() + 2 * u));
  r.setRight(area.right() - std::max(4 * u, lastLabel));
  r.setTop(top + fm.height() / 2);
  r.setBottom(bottom - fm.height() - 2 * u - (plot.x.title.empty() ? 0 : fm.height()));
  auto X = [&](double x) { return PlotPlace(plot.x, x, r.left(), r.right()); };
  auto Y = [&](double y) { return PlotPlace(plot.y, y, r.bottom(), r.top()); };

  // Grid and tick labels.
  p.setFont(font);
  for (const PlotTick& tick : plot.x.ticks) {
    const double x = X(tick.value);
    if (!(x >= r.left() - 0.01 * u && x <= r.right() + 0.01 * u)) continue;
    p.setPen(QPen(kReportGridColour, 0.3 * u));
    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    p.setPen(Qt::black);
    p.drawText(QRectF(x - 40 * u, r.bottom() + 1.5 * u, 80 * u, fm.height()), Qt::AlignHCenter | Qt::AlignTop, Q(tick.label));
  }
  for (const PlotTick& tick : plot.y.ticks) {
    const double y = Y(tick.value);
    if (!(y >= r.top() - 0.01 * u && y <= r.bottom() + 0.01 * u)) continue;
    p.setPen(QPen(kReportGridColour, 0.3 * u));
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    p.setPen(Qt::black);
    p.drawText(QRectF(r.left() - labelWidth - 2 * u, y - fm.height() / 2, labelWidth, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, Q(tick.label));
  }
  if (!plot.x.title.empty())
    p.drawText(QRectF(r.left(), r.bottom() + 1.5 * u + fm.height(), r.width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
               Q(plot.x.title));
  if (!plot.y.title.empty()) {
    p.save();
    p.translate(area.left(), r.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-r.height() / 2, 0, r.height(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
               fm.elidedText(Q(plot.y.title), Qt::ElideRight, r.height()));
    p.restore();
  }
  const double zero = plot.y.log ? NAN : Y(0);
  const bool zeroShown = zero >= r.top() && zero <= r.bottom();
  if (zeroShown) {
    p.setPen(QPen(QColor(120, 120, 120), 0.5 * u));
    p.drawLine(QPointF(r.left(), zero), QPointF(r.right(), zero));
  }

  p.save();
  p.setClipRect(r.adjusted(-0.5 * u, -0.5 * u, 0.5 * u, 0.5 * u));
  for (const PlotLine& line : plot.lines) {
    QPen pen(QColor::fromRgb(line.rgb), 0.7 * line.width * u, PenStyleOf(line.style), Qt::FlatCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPolygonF piece;
    auto flush = [&] {
      if (piece.size() > 1) p.drawPolyline(piece);
      piece.clear();
    };
    for (size_t i = 0; i < line.x.size() && i < line.y.size(); ++i) {
      const QPointF at(X(line.x[i]), Y(line.y[i]));
      if (std::isfinite(at.x()) && std::isfinite(at.y()))
        piece << at;
      else
        flush();
    }
    flush();
    if (line.points) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor::fromRgb(line.rgb));
      for (size_t i = 0; i < line.x.size() && i < line.y.size(); ++i)
        p.drawEllipse(QPointF(X(line.x[i]), Y(line.y[i])), (0.4 + 0.5 * line.width) * u, (0.4 + 0.5 * line.width) * u);
    }
  }
  // Marks: diamonds, the last of a tagged set a dot with its tag.
  p.setPen(QPen(Qt::black, 0.4 * u));
  for (const PlotMarks& marks : plot.marks)
    for (size_t i = 0; i < marks.x.size() && i < marks.y.size(); ++i) {
      const QPointF at(X(marks.x[i]), Y(marks.y[i]));
      if (!std::isfinite(at.x()) || !std::isfinite(at.y())) continue;
      p.setBrush(Qt::black);
      if (marks.tag.empty() || i + 1 < marks.x.size()) {
        const double r = 2.6 * u;
        p.drawPolygon(QPolygonF{at + QPointF(0, -r), at + QPointF(r, 0), at + QPointF(0, r), at + QPointF(-r, 0)});
        continue;
      }
      p.drawEllipse(at, 1.5 * u, 1.5 * u);
      p.drawText(at + QPointF(2.5 * u, -2 * u), Q(marks.tag));
    }
  p.restore();
  // Supports: triangles under the zero line (or the frame's bottom); nodes: rings on it.
  const double base = zeroShown ? zero : r.bottom();
  p.setPen(QPen(Qt::black, 0.4 * u));
  p.setBrush(QColor(60, 60, 60));
  for (double s : plot.supports) {
    const double x = X(s);
    if (!std::isfinite(x)) continue;
    p.drawPolygon(QPolygonF{QPointF(x, base), QPointF(x - 2.6 * u, base + 4.5 * u), QPointF(x + 2.6 * u, base + 4.5 * u)});
  }
  p.setBrush(Qt::white);
  for (double n : plot.nodes)
    if (std::isfinite(X(n))) p.drawEllipse(QPointF(X(n), base), 1.8 * u, 1.8 * u);
  p.setPen(QPen(Qt::black, 0.5 * u));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);

  // Legend and notes.
  double y = bottom + 2 * u;
  for (const std::vector<size_t>& row : legendRows) {
    double x = area.left();
    for (size_t i : row) {
      const PlotLegendEntry& entry = plot.legend[i];
      p.setPen(QPen(QColor::fromRgb(entry.rgb), 1.4 * u, PenStyleOf(entry.style)));
      p.drawLine(QPointF(x, y + fm.height() / 2), QPointF(x + sample, y + fm.height() / 2));
      p.setPen(Qt::black);
      const QString text = Q(entry.text);
      p.drawText(QRectF(x + sample + gap, y, area.width(), fm.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
      x += sample + gap + fm.horizontalAdvance(text) + 3 * gap;
    }
    y += fm.height();
  }
  p.setPen(Qt::black);
  for (const std::string& note : plot.notes) {
    const double h = WrappedTextHeight(fm, Q(note), area.width());
    p.drawText(QRectF(area.left(), y, area.width(), h), Qt::TextWordWrap, Q(note));
    y += h;
  }
  p.restore();
}

}  // namespace vp
