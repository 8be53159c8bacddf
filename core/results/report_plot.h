#pragma once
// Line charts with every decision taken (ranges, ticks and their labels,
// colours, styles, what the legend says), painted by the calculation report
// and shown by the windows: the frequency map over the stiffness variants and
// the critical-speed map are made here once for both.

#include <string>
#include <vector>

#include "frequency_map.h"
#include "map_axes.h"
#include "stiffness_map_chart.h"

namespace vp {

// A line chart with all its decisions taken: ranges, ticks and their labels,
// colours and styles. Log axes place their ticks on a logarithmic scale.
struct PlotLine {
  enum Style { Solid, Dashed, Dotted };
  std::vector<double> x, y;
  unsigned rgb = 0;
  Style style = Solid;
  double width = 1;     // in pixels of a window; on paper 0.7 points each
  bool points = false;  // a dot at each point
  std::string name;     // in the legend; empty: not there
};
struct PlotTick {
  double value;
  std::string label;
};
struct PlotAxis {
  std::string title;
  bool log = false;
  double low = 0, high = 1;
  std::vector<PlotTick> ticks;
};
// Points marked apart from the lines: in a window in black of `shape`, named
// in the legend; on paper as diamonds, the last one, when there is a tag, a
// dot with the tag beside it.
struct PlotMarks {
  enum Shape { Diamond, Square, Triangle, Circle, Star, Pentagon };
  std::vector<double> x, y;
  Shape shape = Diamond;
  std::string name;  // in a window's legend; empty: not there
  std::string tag;   // on paper
};
struct PlotLegendEntry {
  std::string text;
  unsigned rgb;
  PlotLine::Style style;
};
struct ReportPlot {
  std::string title;
  PlotAxis x, y;
  std::vector<PlotLine> lines;
  std::vector<PlotMarks> marks;
  std::vector<double> supports;  // x of the supports, marked under the axis
  std::vector<double> nodes;     // x of the nodes, marked on the zero line
  std::vector<double> continuousNodes;  // of the continuous shaft's mode beside a mode shape
  std::vector<PlotLegendEntry> legend;
  std::vector<std::string> notes;  // below the plot
};

// A legend's entries of the given widths in rows no wider than `available`:
// the indices of each row's entries, in order; an entry wider than a row
// stands alone in its own.
std::vector<std::vector<size_t>> LegendRows(const std::vector<double>& widths, double available);

// A linear axis ticked at round steps, every label in one format.
PlotAxis RoundPlotAxis(const std::string& title, const AxisTicks& ticks, char decimalSeparator);
// A logarithmic axis ticked at the powers of ten of its span.
PlotAxis LogPlotAxis(const std::string& title, const LogAxisSpan& span, char decimalSeparator);

// The frequency map of two or more variants (FrequencyMap::Drawn): per ordinal
// a colour, its line in pieces between the variants that have the frequency,
// a piece between shapes that differ (MAC below kLowMac) dashed with its
// middle marked; after all pieces, the continuous shaft's companions dotted.
// Frequencies in `unit`.
ReportPlot FrequencyMapPlot(const FrequencyMap& map, FrequencyUnit unit, double reportFactor, char decimalSeparator);

// The critical-speed map (StiffnessMapChart::Drawn) on logarithmic axes: a
// line per ordinal, the frequencies of each variant on the map marked (a
// shape each, tagged "В1", "В2", ...), the range and the variants in the
// notes. Frequencies in `unit`.
ReportPlot StiffnessMapPlot(const StiffnessMapChart& chart, FrequencyUnit unit, double reportFactor,
                            char decimalSeparator);

}  // namespace vp
