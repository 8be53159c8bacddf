#include "report_printing.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "completeness_lines.h"
#include "line_printer.h"
#include "plot_painter.h"

namespace vp {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

const QColor kAttentionColour(190, 0, 0);

// A piece of the report as tall as `height` (device units), painted across
// the content's width at a given top.
struct Block {
  double height = 0;
  std::function<void(QPainter&, const QRectF&)> paint;
  bool newPage = false;       // begins a page
  bool keepWithNext = false;  // on the page of the block after it
  std::shared_ptr<Block> header;  // repeated above it when it begins a page (a table's captions)
  double gapAfter = 0;
};

class ReportLayout {
 public:
  ReportLayout(QPagedPaintDevice& device, const CalculationReport& report) : device_(device), report_(report) {
    unit_ = device.logicalDpiY() / 72.0;
    width_ = device.width();
    const QFontMetricsF header(ReportFont(7.5, true), &device);
    contentTop_ = 2 * header.height() + 5 * unit_;
    contentBottom_ = device.height() - QFontMetricsF(ReportFont(7), &device).height() - 5 * unit_;
  }

  void Build();
  void Paint(QPainter& painter);

 private:
  double U(double points) const { return points * unit_; }
  double ContentHeight() const { return contentBottom_ - contentTop_; }

  void Heading(const std::string& text, bool newPage);
  void Subheading(const std::string& text);
  void Paragraph(const std::string& text, double points = 8.5, bool attention = false);
  void Table(const ReportTable& table);
  void Add(Block block) { blocks_.push_back(std::make_shared<Block>(std::move(block))); }
  void PaintHeader(QPainter& p, int page, int pages);

  QPagedPaintDevice& device_;
  const CalculationReport& report_;
  double unit_ = 1, width_ = 0, contentTop_ = 0, contentBottom_ = 0;
  std::vector<std::shared_ptr<Block>> blocks_;
};

void ReportLayout::Heading(const std::string& text, bool newPage) {
  const QFont font = ReportFont(12, true);
  const double h = QFontMetricsF(font, &device_).height();
  Add({h + U(4), [font, text](QPainter& p, const QRectF& r) {
         p.setFont(font);
         p.setPen(Qt::black);
         p.drawText(r, Qt::AlignLeft | Qt::AlignTop, Q(text));
       },
       newPage, true, nullptr, 0});
}

void ReportLayout::Subheading(const std::string& text) {
  const QFont font = ReportFont(9, true);
  const double h = WrappedTextHeight(QFontMetricsF(font, &device_), Q(text), width_);
  Add({h + U(2), [font, text](QPainter& p, const QRectF& r) {
         p.setFont(font);
         p.setPen(Qt::black);
         p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Q(text));
       },
       false, true, nullptr, 0});
}

void ReportLayout::Paragraph(const std::string& text, double points, bool attention) {
  const QFont font = ReportFont(points);
  const QString shown = attention ? "! " + Q(text) : Q(text);
  const double h = WrappedTextHeight(QFontMetricsF(font, &device_), shown, width_);
  Add({h, [font, shown, attention](QPainter& p, const QRectF& r) {
         p.setFont(font);
         p.setPen(attention ? kAttentionColour : QColor(Qt::black));
         p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
       },
       false, false, nullptr, U(1.5)});
}

void ReportLayout::Table(const ReportTable& table) {
  if (!table.title.empty()) Subheading(table.title);
  // Columns as wide as their widest text, the font made smaller where the
  // table would not fit across the page.
  double points = 8;
  std::vector<double> widths;
  for (;;) {
    const QFontMetricsF fm(ReportFont(points), &device_), bold(ReportFont(points, true), &device_);
    widths.assign(table.captions.size(), 0);
    for (size_t c = 0; c < table.captions.size(); ++c) widths[c] = bold.horizontalAdvance(Q(table.captions[c]));
    for (const auto& row : table.rows)
      for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
        widths[c] = std::max(widths[c], fm.horizontalAdvance(Q(row[c])));
    double total = 0;
    for (double& w : widths) total += (w += U(8) * points / 8);
    if (total <= width_ || points <= 5.5) {
      // Leftover room shared out, up to half as wide again.
      const double spare = std::min(width_ - total, total * 0.5);
      if (spare > 0)
        for (double& w : widths) w += spare * w / total;
      break;
    }
    points = std::max(5.5, points * width_ / total);
  }
  const QFont font = ReportFont(points), bold = ReportFont(points, true);
  const double rowHeight = QFontMetricsF(font, &device_).height() + U(3);
  auto row = [widths, rowHeight, this](const std::vector<std::string>& cells, const QFont& f, bool caption,
                                       bool marked) {
    return [=, u = unit_](QPainter& p, const QRectF& r) {
      p.setFont(f);
      double x = r.left();
      for (size_t c = 0; c < widths.size(); ++c) {
        p.setPen(marked ? kAttentionColour : QColor(Qt::black));
        const QRectF cell(x + 3 * u, r.top(), widths[c] - 6 * u, rowHeight);
        if (c < cells.size())
          p.drawText(cell, (caption ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter, Q(cells[c]));
        x += widths[c];
      }
      p.setPen(QPen(caption ? QColor(Qt::black) : kReportGridColour, (caption ? 0.6 : 0.3) * u));
      p.drawLine(QPointF(r.left(), r.top() + rowHeight), QPointF(x, r.top() + rowHeight));
    };
  };
  auto header = std::make_shared<Block>(Block{rowHeight, row(table.captions, bold, true, false), false, true, nullptr, 0});
  blocks_.push_back(header);
  for (size_t i = 0; i < table.rows.size(); ++i) {
    const bool marked = std::find(table.markedRows.begin(), table.markedRows.end(), static_cast<int>(i)) !=
                        table.markedRows.end();
    Add({rowHeight, row(table.rows[i], font, false, marked), false, false, header, 0});
  }
  blocks_.back()->gapAfter = U(6);
}

void ReportLayout::Build() {
  const CalculationReport& r = report_;
  Heading("Исходные данные", false);
  for (const std::string& line : r.inputLines) Paragraph(line);
  if (r.shaft.length > 0) {
    Subheading("Схема вала (в масштабе по длине)");
    PlotAxis axis = r.shaftAxis;
    const double height = U(95);
    Add({height, [axis, shaft = r.shaft, this](QPainter& p, const QRectF& area) {
           // The shaft above its own x axis, at one scale.
           p.save();
           const QRectF plotArea(area.left() + U(8), area.top(), area.width() - U(16), area.height());
           const double labels = QFontMetricsF(ReportFont(7), p.device()).height() * 2 + U(4);
           PaintShaft(p, QRectF(plotArea.left(), plotArea.top(), plotArea.width(), plotArea.height() - labels), shaft, unit_);
           // The axis: a line with ticks and labels under the drawing.
           const double y = plotArea.bottom() - labels + U(2);
           p.setPen(QPen(Qt::black, 0.5 * unit_));
           p.drawLine(QPointF(plotArea.left(), y), QPointF(plotArea.right(), y));
           p.setFont(ReportFont(7));
           const QFontMetricsF fm(ReportFont(7), p.device());
           for (const PlotTick& tick : axis.ticks) {
             const double x = PlotPlace(axis, tick.value, plotArea.left(), plotArea.right());
             if (!(x >= plotArea.left() - U(0.1) && x <= plotArea.right() + U(0.1))) continue;
             p.drawLine(QPointF(x, y), QPointF(x, y + U(2.5)));
             p.drawText(QRectF(x - U(40), y + U(3), U(80), fm.height()), Qt::AlignHCenter | Qt::AlignTop, Q(tick.label));
           }
           p.drawText(QRectF(plotArea.left(), y + U(3) + fm.height(), plotArea.width(), fm.height()),
                      Qt::AlignHCenter | Qt::AlignTop, Q(axis.title));
           p.restore();
         },
         false, false, nullptr, U(6)});
  }
  for (const ReportTable& table : r.inputTables) Table(table);

  Heading("Результаты", false);
  for (const std::string& line : r.warnings) Paragraph(line, 8.5, true);
  for (const std::string& line : r.resultNotes) Paragraph(line, 7.5);
  for (const ReportVariant& variant : r.variants) {
    Subheading(variant.heading);
    if (!variant.frequencies.rows.empty()) Table(variant.frequencies);
    for (const std::string& line : variant.notes) Paragraph(line, 8, NeedsAttention(line));
    if (!blocks_.empty()) blocks_.back()->gapAfter = U(8);
  }

  if (!r.modes.empty()) {
    Heading("Формы колебаний", true);
    Paragraph("Смещение отнесено к наибольшему по модулю; сплошная линия - расчетная модель вала (массы "
              "сосредоточены в сечениях), штриховая - непрерывная модель; треугольники - опоры, кружки - узлы.",
              7.5);
    const double rowHeight = (ContentHeight() - U(40)) / 3;
    const double gap = U(12);
    for (size_t i = 0; i < r.modes.size(); i += 2) {
      Add({rowHeight, [this, i, gap](QPainter& p, const QRectF& area) {
             const double w = (area.width() - gap) / 2;
             for (size_t k = i; k < i + 2 && k < report_.modes.size(); ++k)
               PaintPlot(p, QRectF(area.left() + (k - i) * (w + gap), area.top(), w, area.height() - U(8)), report_.modes[k], unit_);
           },
           false, false, nullptr, 0});
    }
  }
  for (const ReportPlot& map : r.maps) {
    Heading(map.title, true);
    const double height = std::min(width_ * 0.95, ContentHeight() - U(40));
    Add({height, [this, &map](QPainter& p, const QRectF& area) {
           ReportPlot shown = map;
           shown.title.clear();  // the heading says it
           PaintPlot(p, area, shown, unit_);
         },
         false, false, nullptr, U(6)});
  }
  if (!r.mapNotes.empty()) Heading("Карта частот", r.maps.empty());
  for (const std::string& line : r.mapNotes) Paragraph(line);
  Add({U(6), [](QPainter&, const QRectF&) {}, false, true, nullptr, 0});
  Paragraph(r.closing, 7.5);
}

void ReportLayout::PaintHeader(QPainter& p, int page, int pages) {
  const QFont bold = ReportFont(7.5, true), font = ReportFont(7.5);
  const QFontMetricsF fm(bold, &device_);
  p.setPen(Qt::black);
  p.setFont(font);
  const QString time = Q(report_.runTime);
  const double timeWidth = QFontMetricsF(font, &device_).horizontalAdvance(time);
  p.drawText(QRectF(0, 0, width_, fm.height()), Qt::AlignRight | Qt::AlignTop, time);
  p.setFont(bold);
  p.drawText(QRectF(0, 0, width_ - timeWidth - U(8), fm.height()), Qt::AlignLeft | Qt::AlignTop,
             fm.elidedText(Q(report_.title), Qt::ElideRight, width_ - timeWidth - U(8)));
  p.setFont(font);
  p.drawText(QRectF(0, fm.height(), width_, fm.height()), Qt::AlignLeft | Qt::AlignTop,
             QFontMetricsF(font, &device_).elidedText(Q(report_.inputFile), Qt::ElideMiddle, width_));
  p.setPen(QPen(Qt::black, 0.5 * unit_));
  p.drawLine(QPointF(0, 2 * fm.height() + U(1.5)), QPointF(width_, 2 * fm.height() + U(1.5)));
  const QFont small = ReportFont(7);
  p.setFont(small);
  p.drawText(QRectF(0, device_.height() - QFontMetricsF(small, &device_).height(), width_, QFontMetricsF(small, &device_).height()),
             Qt::AlignHCenter | Qt::AlignBottom, QString("Стр. %1 из %2").arg(page).arg(pages));
}

void ReportLayout::Paint(QPainter& p) {
  // Blocks to pages: a block that does not fit begins the next page (with the
  // whole run of blocks kept with it), a table's row there under its captions.
  struct Placed {
    const Block* block;
    double top;
  };
  std::vector<std::vector<Placed>> pages(1);
  double y = contentTop_;
  auto newPage = [&] {
    pages.emplace_back();
    y = contentTop_;
  };
  for (size_t i = 0; i < blocks_.size(); ++i) {
    const Block& b = *blocks_[i];
    if (b.newPage && !pages.back().empty()) newPage();
    double need = b.height;
    for (size_t j = i; blocks_[j]->keepWithNext && j + 1 < blocks_.size(); ++j)
      need += blocks_[j]->gapAfter + blocks_[j + 1]->height;
    need = std::min(need, ContentHeight());
    if (y + need > contentBottom_ + 0.01 && !pages.back().empty()) {
      newPage();
      if (b.header) {
        pages.back().push_back({b.header.get(), y});
        y += b.header->height;
      }
    }
    pages.back().push_back({&b, y});
    y += b.height + b.gapAfter;
  }
  const int count = static_cast<int>(pages.size());
  for (int n = 0; n < count; ++n) {
    if (n > 0 && !device_.newPage()) throw PrintError("Не удалось начать новую страницу отчета.");
    PaintHeader(p, n + 1, count);
    for (const Placed& placed : pages[n]) placed.block->paint(p, QRectF(0, placed.top, width_, placed.block->height));
  }
}

}  // namespace

void PrintCalculationReport(QPagedPaintDevice& device, const CalculationReport& report) {
  ReportLayout layout(device, report);
  layout.Build();
  QPainter painter;
  if (!painter.begin(&device)) throw PrintError("Не удалось начать печать отчета. Файл недоступен для записи.");
  layout.Paint(painter);
  if (!painter.end()) throw PrintError("Не удалось закончить печать отчета.");
}

ReportSource ReportSourceOf(const std::string& inputFile, const std::string& runTime) {
  return ReportSource{inputFile, runTime, VP_VERSION, VP_COMMIT};
}

}  // namespace vp
