#pragma once
// The calculation report as content, without painting: what was computed,
// from what, with what result, with pictures. Its header; the input (counts,
// search parameters, tables, the drawing of the shaft); per variant the table
// of frequencies and every note the results window shows; the mode shapes
// along the shaft's length with their nodes; the maps; the closing line.
// The printing layer lays it out on A4 pages.

#include <string>
#include <vector>

#include "frequency_map.h"
#include "map_axes.h"
#include "report_plot.h"
#include "results_summary.h"
#include "shaft_drawing.h"
#include "shaft_model.h"
#include "stiffness_map_chart.h"

namespace vp {

struct ReportTable {
  std::string title;
  std::vector<std::string> captions;
  std::vector<std::vector<std::string>> rows;  // as many cells as captions
  std::vector<int> markedRows;                 // to be shown in red
};

struct ReportVariant {
  std::string heading;  // "Вариант по жесткости № 1: жесткости опор ..."
  ReportTable frequencies;
  std::vector<std::string> notes;  // completeness, the continuous shaft; NeedsAttention ones in red
};

struct CalculationReport {
  std::string title;      // the program's title
  std::string inputFile;  // "Файл исходных данных: ..."
  std::string runTime;    // "Расчет: 07.12.2026 19:30"
  // Исходные данные
  std::vector<std::string> inputLines;  // the counts and the search parameters
  std::vector<ReportTable> inputTables;  // sections, supports (by groups of variants), span ends
  ShaftDrawing shaft;
  PlotAxis shaftAxis;  // x under the drawing
  // Результаты
  std::vector<std::string> warnings;  // of the input, before the variants
  std::vector<std::string> resultNotes;  // what the columns mean
  std::vector<ReportVariant> variants;
  // Формы колебаний, several to a page
  std::vector<ReportPlot> modes;
  // Карта частот and Карта критических скоростей, where drawn, and why not otherwise.
  std::vector<ReportPlot> maps;
  std::vector<std::string> mapNotes;
  std::string closing;
};

// Stiffness columns per table of supports: more variants make more tables.
inline constexpr int kReportVariantsPerTable = 8;

struct ReportSource {
  std::string inputFile;  // empty: none
  std::string runTime;    // when the run ended, as the user reads dates
  std::string version, commit;
};

// The report of a completed run. `stiffnessMap` is the critical-speed map to
// show (none: no such page); `unit` the frequency axes' unit of both maps.
CalculationReport BuildCalculationReport(const TShaftModel& model, const TSearchParams& params,
                                         const ResultsSummary& summary, const StiffnessMapChart* stiffnessMap,
                                         FrequencyUnit unit, const ReportSource& source, char decimalSeparator);

}  // namespace vp
