#include "report_plot.h"

#include <algorithm>
#include <cmath>

#include "numtext.h"
#include "ordinal_palette.h"

namespace vp {

namespace {

constexpr unsigned kBlack = 0x000000;

}  // namespace

std::vector<std::vector<size_t>> LegendRows(const std::vector<double>& widths, double available) {
  std::vector<std::vector<size_t>> rows;
  double rowWidth = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    if (rows.empty() || rowWidth + widths[i] > available) rows.emplace_back(), rowWidth = 0;
    rows.back().push_back(i);
    rowWidth += widths[i];
  }
  return rows;
}

PlotAxis RoundPlotAxis(const std::string& title, const AxisTicks& t, char sep) {
  PlotAxis axis{title, false, t.low, t.high, {}};
  const int digits = AxisLabelDigits(std::max(std::fabs(t.low), std::fabs(t.high)), t.step);
  const int steps = static_cast<int>(std::lround((t.high - t.low) / t.step));
  for (int i = 0; i <= steps; ++i) {
    const double value = t.low + i * t.step;
    axis.ticks.push_back({value, SignificantFormat(std::fabs(value) < 1e-12 * t.step ? 0.0 : value, digits, sep)});
  }
  return axis;
}

PlotAxis LogPlotAxis(const std::string& title, const LogAxisSpan& span, char sep) {
  PlotAxis axis{title, true, span.low, span.high, {}};
  const int digits = AxisLabelDigits(span.high, span.low);
  for (double e = std::ceil(std::log10(span.low) - 1e-9); e <= std::log10(span.high) + 1e-9; ++e)
    axis.ticks.push_back({PowerOfTen(e), SignificantFormat(PowerOfTen(e), digits, sep)});
  return axis;
}

ReportPlot FrequencyMapPlot(const FrequencyMap& map, FrequencyUnit unit, double factor, char sep) {
  const double scale = FrequencyUnitScale(unit, factor);
  ReportPlot plot;
  plot.title = "Карта частот по вариантам жесткости опор";
  std::vector<PlotLine> companions;
  PlotMarks changed;  // the middles of the dashed pieces
  double top = 0;
  for (size_t n = 0; n < map.lines.size(); ++n) {
    const MapLine& line = map.lines[n];
    const unsigned colour = OrdinalColourValue(n);
    const std::string name = "№ " + std::to_string(line.ordinal);
    plot.legend.push_back({name, colour, PlotLine::Solid});
    bool named = false;
    // A piece of the line; the first one names it.
    auto piece = [&](PlotLine::Style style) -> PlotLine& {
      plot.lines.push_back({{}, {}, colour, style, 2, true, named ? "" : name});
      named = true;
      return plot.lines.back();
    };
    PlotLine* current = nullptr;
    for (size_t c = 0; c < line.frequencies.size(); ++c) {
      if (!line.frequencies[c]) {
        current = nullptr;
        continue;
      }
      const double x = map.variants[c], F = *line.frequencies[c] * scale;
      top = std::max(top, F);
      if (c > 0 && line.mac[c - 1] && *line.mac[c - 1] < kLowMac) {
        const double x0 = map.variants[c - 1], F0 = *line.frequencies[c - 1] * scale;
        PlotLine& dashed = piece(PlotLine::Dashed);
        dashed.x = {x0, x};
        dashed.y = {F0, F};
        changed.x.push_back(0.5 * (x0 + x));
        changed.y.push_back(0.5 * (F0 + F));
        current = nullptr;
      }
      if (!current) current = &piece(PlotLine::Solid);
      current->x.push_back(x);
      current->y.push_back(F);
    }
    // Its companion, thin and dotted, in pieces between the variants that have it.
    PlotLine* companion = nullptr;
    for (size_t c = 0; c < line.continuous.size(); ++c) {
      if (!line.continuous[c]) {
        companion = nullptr;
        continue;
      }
      if (!companion) {
        companions.push_back({{}, {}, colour, PlotLine::Dotted, 1.2, true, ""});
        companion = &companions.back();
      }
      companion->x.push_back(map.variants[c]);
      companion->y.push_back(*line.continuous[c] * scale);
      top = std::max(top, *line.continuous[c] * scale);
    }
    // The next ordinal's pieces may move the lines: no pointer outlives its ordinal.
  }
  for (PlotLine& companion : companions) plot.lines.push_back(std::move(companion));
  if (!companions.empty()) plot.legend.push_back({"непрерывная модель", kBlack, PlotLine::Dotted});
  if (!changed.x.empty()) {
    // A legend label is rich text in a window: no "<" in it.
    changed.name = "форма изменилась (MAC ниже " + GeneralFormat(kLowMac, sep) + ")";
    plot.legend.push_back({changed.name, kBlack, PlotLine::Dashed});
    plot.marks.push_back(std::move(changed));
  }
  // Variants labelled at a round step of whole numbers, with a margin, so that
  // the points of the first and last variants are whole.
  plot.x = RoundPlotAxis("Вариант по жесткости опор", RoundTicks(map.variants.front(), map.variants.back(), 10, 1), sep);
  const double margin = std::max(0.1, 0.03 * (map.variants.back() - map.variants.front()));
  plot.x.low = map.variants.front() - margin;
  plot.x.high = map.variants.back() + margin;
  plot.y = RoundPlotAxis(FrequencyAxisTitle(unit), RoundTicks(0, top > 0 ? top * 1.05 : 1, 8), sep);
  return plot;
}

ReportPlot StiffnessMapPlot(const StiffnessMapChart& chart, FrequencyUnit unit, double factor, char sep) {
  static constexpr PlotMarks::Shape kShapes[] = {PlotMarks::Diamond, PlotMarks::Square, PlotMarks::Triangle,
                                                 PlotMarks::Circle,  PlotMarks::Star,   PlotMarks::Pentagon};
  const double scale = FrequencyUnitScale(unit, factor);
  ReportPlot plot;
  plot.title = "Карта критических скоростей";
  for (size_t n = 0; n < chart.curves.size(); ++n) {
    const unsigned colour = OrdinalColourValue(n);
    const std::string name = "№ " + std::to_string(chart.curves[n].ordinal);
    PlotLine curve{chart.stiffness, {}, colour, PlotLine::Solid, 2, false, name};
    for (double F : chart.curves[n].F) curve.y.push_back(F * scale);
    plot.lines.push_back(std::move(curve));
    plot.legend.push_back({name, colour, PlotLine::Solid});
  }
  plot.notes.push_back(StiffnessMapRangeLine(chart.range, sep));
  for (size_t m = 0; m < chart.marks.size(); ++m) {
    const StiffnessMapMark& mark = chart.marks[m];
    const std::string tag = "В" + std::to_string(mark.variant);
    PlotMarks marks{std::vector<double>(mark.F.size(), mark.stiffness), {}, kShapes[m % std::size(kShapes)],
                    VariantMarkName(mark, sep), tag};
    for (double F : mark.F) marks.y.push_back(F * scale);
    plot.marks.push_back(std::move(marks));
    plot.notes.push_back(tag + ": " + VariantMarkName(mark, sep));
  }
  for (const UnmappedVariant& variant : chart.unmapped) plot.notes.push_back(UnmappedLine(variant, sep));
  plot.x = LogPlotAxis("Жесткость опор", StiffnessAxisSpan(chart), sep);
  plot.y = LogPlotAxis(FrequencyAxisTitle(unit), FrequencyAxisSpan(chart, scale), sep);
  return plot;
}

}  // namespace vp
