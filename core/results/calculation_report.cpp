#include "calculation_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "completeness_lines.h"
#include "continuous_comparison.h"
#include "continuous_lines.h"
#include "numtext.h"
#include "printable.h"
#include "results_printout.h"

namespace vp {

namespace {

constexpr unsigned kModeColour = 0xD00000;

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) text += (i ? separator : "") + parts[i];
  return text;
}

std::string StiffnessesOf(const TShaftModel& m, int v, char sep) {
  std::vector<std::string> values;
  for (int s = 1; s <= m.N; ++s) values.push_back(GeneralFormat(m.SupportStiffness[s][v], sep));
  return values.empty() ? "опор нет" : "жесткости опор " + Join(values, "; ");
}

// A coordinate summed from the sections' lengths, to 12 significant digits,
// which hide the rounding of the sums (0.725, not 0.725000000000001).
std::string Coordinate(double x, char sep) { return Digits(x, 12, sep); }

std::vector<ReportTable> InputTables(const TShaftModel& m, const std::vector<double>& x, char sep) {
  std::vector<ReportTable> tables;
  for (int first = 1; m.N > 0 && first <= std::max(1, m.KW); first += kReportVariantsPerTable) {
    const int last = std::min(m.KW, first + kReportVariantsPerTable - 1);
    ReportTable supports{"Опоры: сечение и жесткость по вариантам", {"Опора", "Сечение", "x"}, {}, {}};
    if (m.KW > kReportVariantsPerTable)
      supports.title += " " + std::to_string(first) + "-" + std::to_string(last);
    for (int v = first; v <= last; ++v) supports.captions.push_back("Вариант " + std::to_string(v));
    for (int s = 1; s <= m.N; ++s) {
      const int at = m.SupportSection[s];
      std::vector<std::string> row{std::to_string(s), std::to_string(at),
                                   at >= 0 && at <= m.KM ? Coordinate(x[at], sep) : "вне вала"};
      for (int v = first; v <= last; ++v) row.push_back(GeneralFormat(m.SupportStiffness[s][v], sep));
      supports.rows.push_back(std::move(row));
    }
    tables.push_back(std::move(supports));
  }
  ReportTable spans{"Пролеты", {"Пролет", "Сечение конца", "x конца"}, {}, {}};
  for (int j = 1; j <= m.KZ; ++j) {
    const int at = m.SpanEnd[j];
    spans.rows.push_back(
        {std::to_string(j), std::to_string(at), at >= 0 && at <= m.KM ? Coordinate(x[at], sep) : "вне вала"});
  }
  tables.push_back(std::move(spans));
  // The longest table last.
  ReportTable sections{"Участки вала", {"№", "Длина l", "Масса m", "Жесткость EI", "x правого конца"}, {}, {}};
  for (int k = 1; k <= m.KM; ++k)
    sections.rows.push_back({std::to_string(k), GeneralFormat(m.SectionLength[k], sep),
                             GeneralFormat(m.SectionMass[k], sep), GeneralFormat(m.SectionEI[k], sep),
                             Coordinate(x[k], sep)});
  tables.push_back(std::move(sections));
  return tables;
}

ReportPlot ModePlot(const ShaftDrawing& drawing, const std::vector<double>& x, const VariantResult& v, size_t i,
                    double factor, char sep) {
  const ModeData& mode = v.modes[i];
  const int ordinal = i < v.completeness.ordinals.size() ? v.completeness.ordinals[i] : 0;
  ReportPlot plot;
  plot.title = "Вариант № " + std::to_string(v.variant) + ", частота № " + std::to_string(i + 1);
  if (ordinal > 0 && ordinal != static_cast<int>(i) + 1) plot.title += " (собственная № " + std::to_string(ordinal) + ")";
  if (ordinal == 0 && v.completeness.checked) plot.title += " (не собственная)";
  plot.title += ": P = " + GeneralFormat(mode.F, sep);
  // The deflections of cross-sections 0..KM, the largest one +1.
  PlotLine lumped{{}, {}, kModeColour, PlotLine::Solid, 1.6, false, ""};
  double largest = 0;
  for (size_t c = 0; c < mode.states.size() && c < x.size(); ++c)
    if (std::fabs(mode.states[c][0]) > std::fabs(largest)) largest = mode.states[c][0];
  for (size_t c = 0; c < mode.states.size() && c < x.size(); ++c) {
    lumped.x.push_back(x[c]);
    lumped.y.push_back(largest != 0 ? mode.states[c][0] / largest : 0);
  }
  plot.nodes = NodesOf(lumped.x, lumped.y);
  // The continuous shaft's mode of the same ordinal, over cross-sections 0..E.
  if (i < v.continuous.sameOrdinalModes.size() && v.continuous.sameOrdinalModes[i]) {
    const ContinuousMode& shape = *v.continuous.sameOrdinalModes[i];
    const size_t n = std::min(shape.y.size(), lumped.y.size());
    const double scale =
        CompanionScale(std::vector<double>(lumped.y.begin(), lumped.y.begin() + n), std::vector<double>(shape.y.begin(), shape.y.begin() + n));
    if (scale != 0) {
      PlotLine continuous{{}, {}, kContinuousColour, PlotLine::Dashed, 1.4, false, ""};
      for (size_t c = 0; c < n; ++c) {
        continuous.x.push_back(x[c]);
        continuous.y.push_back(scale * shape.y[c]);
      }
      plot.continuousNodes = NodesOf(continuous.x, continuous.y);
      plot.lines.push_back(std::move(continuous));
    }
  }
  plot.lines.insert(plot.lines.begin(), std::move(lumped));
  double low = -1, high = 1;
  for (const PlotLine& line : plot.lines)
    for (double y : line.y) low = std::min(low, y), high = std::max(high, y);
  plot.x = RoundPlotAxis("x", RoundTicks(0, drawing.length > 0 ? drawing.length : 1, 6), sep);
  if (drawing.length > 0) plot.x.high = drawing.length;
  plot.y = RoundPlotAxis("", RoundTicks(low, high, 6), sep);
  for (const ShaftDrawing::Spring& spring : drawing.springs) plot.supports.push_back(spring.x);
  auto nodes = [sep](const std::vector<double>& at, bool first) {
    std::vector<std::string> texts;
    for (double node : at) texts.push_back(SixDigits(node, sep));
    if (texts.empty()) return std::string(first ? "Узлов нет" : "узлов нет");
    return (first ? "Узлы: x = " : "узлы: x = ") + Join(texts, "; ");
  };
  // The lumped masses stand at cross-sections, so the mode's nodes may lie up
  // to half a section from the continuous shaft's.
  plot.notes.push_back(nodes(plot.nodes, true));
  plot.notes.push_back(ContinuousModeNote(v, i, factor, sep));
  if (plot.lines.size() > 1) plot.notes.back() += "; " + nodes(plot.continuousNodes, false);
  return plot;
}

}  // namespace

CalculationReport BuildCalculationReport(const TShaftModel& m, const TSearchParams& P, const ResultsSummary& summary,
                                         const StiffnessMapChart* stiffnessMap, FrequencyUnit unit,
                                         const ReportSource& source, char sep) {
  CalculationReport r;
  const double factor = summary.reportFactor;
  r.title = "Программа расчета собственных частот и форм колебаний валопровода";
  r.inputFile = InputFileLine(source.inputFile);
  r.runTime = "Расчет: " + source.runTime;
  r.inputLines = {
      "Число опор: " + std::to_string(m.N) + "; число участков: " + std::to_string(m.KM) +
          "; число пролетов: " + std::to_string(m.KZ) + "; число вариантов по жесткости опор: " + std::to_string(m.KW) +
          "; число собственных частот, подлежащих определению: " + std::to_string(m.KP) + ".",
      "Поиск частот: начало диапазона F1 = " + GeneralFormat(P[kFirstStart], sep) +
          ", шаг FT1 = " + GeneralFormat(P[kStep], sep) + ", верхняя граница FK = " + GeneralFormat(P[kUpper], sep) +
          ", точность определителя EPS = " + GeneralFormat(P[kDetEps], sep) +
          ", точность частоты EPSF = " + GeneralFormat(P[kFreqEps], sep) + "; частота P = " +
          GeneralFormat(factor, sep) + " * (частота поиска)."};
  const std::vector<double> x = CrossSectionX(m);
  r.inputTables = InputTables(m, x, sep);
  r.shaft = DrawShaft(m);
  r.shaftAxis = RoundPlotAxis("x - координата вдоль вала в единицах длины исходных данных",
                          RoundTicks(0, r.shaft.length > 0 ? r.shaft.length : 1, 10), sep);
  if (r.shaft.length > 0) r.shaftAxis.high = r.shaft.length;  // the drawing's scale

  r.warnings = WarningLines(summary);
  r.resultNotes = {"* Гц и об/мин - при единицах СИ (частота поиска в рад/с). Отличие - частоты P от частоты "
                   "непрерывной модели того же номера собственной частоты, знак ! - больше 1 %."};
  for (const VariantResult& v : summary.variants) {
    ReportVariant variant;
    variant.heading = "Вариант по жесткости № " + std::to_string(v.variant) + ": " + StiffnessesOf(m, v.variant, sep);
    variant.frequencies.captions = FrequencyRowCaptions();
    variant.frequencies.rows = FrequencyRows(v, factor, sep, &variant.frequencies.markedRows);
    variant.notes = CompletenessLines(v, factor, sep);
    for (std::string& line : ContinuousNotes(v)) variant.notes.push_back(std::move(line));
    if (v.modes.empty()) variant.notes.insert(variant.notes.begin(), "Частоты не найдены.");
    r.variants.push_back(std::move(variant));
    // Its mode shapes, with the continuous shaft's beside them.
    for (size_t i = 0; i < v.modes.size(); ++i) r.modes.push_back(ModePlot(r.shaft, x, v, i, factor, sep));
  }

  const FrequencyMap map = BuildFrequencyMap(summary);
  if (map.Drawn())
    r.maps.push_back(FrequencyMapPlot(map, unit, factor, sep));
  else if (map.variants.size() >= 2)
    r.mapNotes.push_back("Карта частот не построена: ни одной найденной частоте не сопоставлена собственная частота "
                         "вала (см. проверку полноты поиска частот).");
  if (stiffnessMap && stiffnessMap->Drawn())
    r.maps.push_back(StiffnessMapPlot(*stiffnessMap, unit, factor, sep));
  r.closing = "Отчет составлен программой расчета собственных частот и форм колебаний валопровода, версия " +
              source.version + " (сборка " + (source.commit.empty() ? std::string("не указана") : source.commit) + ").";
  return r;
}

}  // namespace vp
