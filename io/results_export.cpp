#include "results_export.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "continuous_comparison.h"
#include "continuous_lines.h"
#include "frequency_map.h"
#include "input_sheet.h"
#include "messages.h"
#include "numtext.h"
#include "ordinal_palette.h"
#include "results_printout.h"
#include "workbook_writer.h"

namespace vp {

namespace {

const Rgb kTitleFill{223, 123, 123};

struct Counts {
  int N, KM, KZ, KW, KP;
};

class Export {
 public:
  Export(const TMainFormModel& mainForm, const TInputFormModel& inputForm, const ResultsTables& results,
         const ResultsSummary* summary, const StiffnessMapChart* stiffnessMap, char sep)
      : main_(mainForm), input_(inputForm), results_(results), summary_(summary), stiffnessMap_(stiffnessMap), sep_(sep) {
    c_.N = main_.Spin(Count::Supports).Value();
    c_.KM = main_.Spin(Count::Sections).Value();
    c_.KZ = main_.Spin(Count::Spans).Value();
    c_.KW = main_.Spin(Count::Variants).Value();
    c_.KP = IntOfText(main_.Edit3);
    halfKM_ = HalfKM(c_.KM);
  }

  void Build(WorkbookWriter& book) {
    InputSheet(book.AddWorksheet("Исходные данные"));
    for (int v = 1; v <= c_.KW; ++v) VariantSheet(book.AddWorksheet("Вариант по жесткости №" + std::to_string(v)), v);
    WorksheetWriter& aux = book.AddWorksheet("вспомогательная");
    AuxiliarySheet(aux);
    ChartSheetWriter* lastChart = nullptr;
    for (int v = 1; v <= c_.KW; ++v)
      for (int k = 1; k <= c_.KP; ++k) {
        if (!Found(v, k)) continue;
        const int row = 4 * (v - 1) + 1;
        const std::string vk = std::to_string(v) + "_" + std::to_string(k);
        LineChart chart{aux.Name(), row, (k - 1) * c_.KM + 1, k * c_.KM,
                        "Форма колебаний № " + std::to_string(v) + " Частота № " + std::to_string(k),
                        "Номера участков", "Смещение", true};
        lastChart = &book.AddLineChartSheet("Форма колебаний" + vk, chart);
      }
    if (summary_) FrequencyMap(book, aux);
    if (stiffnessMap_) StiffnessMap(book, aux, *stiffnessMap_);
    // Wide enough to show every number whole, titles running on to the right.
    aux.AutoFitColumns(1, std::max(aux.LastCol(), 1));
    // Each sheet added becomes the active one, so the workbook opens on the last
    // mode chart.
    if (lastChart) lastChart->Activate();
    else aux.Activate();
  }

 private:
  double Real(const std::string& text) const { return RealOfText(text, sep_); }

  // A frequency a variant did not find leaves its cell in the frequency table empty.
  bool Found(int v, int k) const { return !results_.StringGrid1.Cell(k, v).empty(); }

  void InputSheet(WorksheetWriter& s) {
    InputSheetValues in;
    in.N = c_.N;
    in.KM = c_.KM;
    in.KZ = c_.KZ;
    in.KW = c_.KW;
    in.KP = c_.KP;
    in.F1 = Real(main_.Edit8);
    in.FK = Real(main_.Edit10);
    in.FT1 = Real(main_.Edit9);
    in.EPS = Real(main_.Edit11);
    in.EPSF = Real(main_.Edit12);
    in.supportSection = [this](int i) { return Real(input_.StringGrid1.Cell(i - 1, 0)); };
    in.spanEnd = [this](int j) { return Real(input_.StringGrid2.Cell(j - 1, 0)); };
    in.section = [this](int i, int q) { return Real(input_.StringGrid3.Cell(i - 1, q)); };
    in.stiffness = [this](int n, int w) { return Real(input_.StringGrid4.Cell(w, n)); };
    WriteInputSheet(s, in);
  }

  // The frequencies by true ordinal below the mode shapes on the auxiliary
  // sheet, for any number of variants: one row per ordinal and one column per
  // variant, a table each of the reported frequencies, their Hz and rpm and the
  // continuous shaft's frequencies of the same ordinals. With two or more
  // variants, the MAC of neighbouring variants' shapes, for the chart the
  // pieces of each line between variants of a low MAC, and the chart "Карта
  // частот" with the continuous shaft's frequencies as thin dotted companions.
  void FrequencyMap(WorkbookWriter& book, WorksheetWriter& aux) {
    const vp::FrequencyMap map = BuildFrequencyMap(*summary_);
    if (map.lines.empty()) return;
    const int V = static_cast<int>(map.variants.size());
    const int L = static_cast<int>(map.lines.size());
    const int top = 4 * c_.KW + 2;
    aux.WriteTitle(top, 1, "Частоты по истинным номерам: варианты по жесткости опор");
    aux.WriteText(top + 1, 1, "Вариант:");
    for (int c = 0; c < V; ++c) aux.WriteNumber(top + 1, 2 + c, map.variants[c]);
    // A table of L rows from `first`: per ordinal, the frequencies of `column`
    // (as reported) in the unit of `unit`.
    const double factor = summary_->reportFactor;
    auto table = [&](int first, std::vector<std::optional<double>> MapLine::*column, const std::string& label,
                     const std::string& suffix, const std::function<double(double)>& unit) {
      for (int n = 0; n < L; ++n) {
        const MapLine& line = map.lines[n];
        aux.WriteText(first + n, 1, label + std::to_string(line.ordinal) + suffix);
        for (int c = 0; c < V; ++c)
          if (const std::optional<double>& F = (line.*column)[c]) aux.WriteNumber(first + n, 2 + c, unit(*F));
      }
    };
    const auto reported = [](double F) { return F; };
    const int fRow = top + 2, cRow = fRow + 3 * (L + 1);
    table(fRow, &MapLine::frequencies, "Частота № ", "", reported);
    table(fRow + L + 1, &MapLine::frequencies, "Частота № ", ", Гц", [&](double F) { return Hertz(F / factor); });
    table(fRow + 2 * (L + 1), &MapLine::frequencies, "Частота № ", ", об/мин",
          [&](double F) { return Rpm(F / factor); });
    auto hasContinuous = [](const MapLine& line) {
      return std::any_of(line.continuous.begin(), line.continuous.end(), [](const auto& F) { return F.has_value(); });
    };
    if (std::any_of(map.lines.begin(), map.lines.end(), hasContinuous))
      table(cRow, &MapLine::continuous, "Непрерывная модель № ", "", reported);
    if (!map.Drawn()) return;

    const int macTop = aux.LastRow() + 2;
    aux.WriteTitle(macTop, 1,
                   "MAC форм соседних вариантов (ниже " + GeneralFormat(kLowMac, sep_) + " - форма изменилась):");
    aux.WriteText(macTop + 1, 1, "Варианты:");
    for (int c = 0; c + 1 < V; ++c)
      aux.WriteText(macTop + 1, 3 + c, std::to_string(map.variants[c]) + " - " + std::to_string(map.variants[c + 1]));
    LineChart chart{aux.Name(), fRow, 2, V + 1, "Карта частот", "Вариант по жесткости опор", "Частота", true};
    chart.categoriesRow = top + 1;
    chart.markers = true;
    int lowRow = macTop + L + 3;
    std::vector<ChartSeries> companions, lowPieces;
    for (int n = 0; n < L; ++n) {
      const MapLine& line = map.lines[n];
      const std::string name = "Частота № " + std::to_string(line.ordinal);
      const OrdinalRgb rgb = OrdinalColourRgb(n);
      const Rgb colour{rgb.r, rgb.g, rgb.b};
      aux.WriteText(macTop + 2 + n, 1, name);
      bool low = false;
      for (int c = 0; c + 1 < V; ++c) {
        if (!line.mac[c]) continue;
        aux.WriteNumber(macTop + 2 + n, 3 + c, *line.mac[c]);
        if (*line.mac[c] >= kLowMac) continue;
        // Both ends of the piece, so that the chart draws it.
        aux.WriteNumber(lowRow, 2 + c, *line.frequencies[c]);
        aux.WriteNumber(lowRow, 3 + c, *line.frequencies[c + 1]);
        low = true;
      }
      if (low) {
        const std::string lowName = "№ " + std::to_string(line.ordinal) + ": MAC < " + GeneralFormat(kLowMac, sep_);
        aux.WriteText(lowRow, 1, lowName);
        lowPieces.push_back({lowRow, 2, V + 1, lowName, true});
        ++lowRow;
      }
      if (hasContinuous(line)) companions.push_back({cRow + n, 2, V + 1, "", false, true, colour});
      if (n == 0) {
        chart.firstName = name;
        chart.firstColour = colour;
      } else {
        chart.more.push_back({fRow + n, 2, V + 1, name, false, false, colour});
      }
    }
    chart.more.insert(chart.more.end(), companions.begin(), companions.end());
    chart.more.insert(chart.more.end(), lowPieces.begin(), lowPieces.end());
    if (!companions.empty()) chart.title = "Карта частот (пунктиром - непрерывная модель вала)";
    book.AddLineChartSheet("Карта частот", chart);
  }

  // The critical-speed map below everything else on the auxiliary sheet: the
  // stiffnesses in one row and the frequencies of each ordinal in the rows
  // below; then the variants on the map, a column per mark (its stiffness,
  // frequency and variant); then the variants not on it. Charted on "Карта
  // критических скоростей" with logarithmic axes spanning what the window shows.
  void StiffnessMap(WorkbookWriter& book, WorksheetWriter& aux, const StiffnessMapChart& map) {
    int row = aux.LastRow() + 2;
    if (!map.Drawn()) {
      aux.WriteTitle(row, 1, "Карта критических скоростей не построена: " +
                                (map.problem ? Message(*map.problem) : std::string("у вала нет собственных частот")));
      return;
    }
    aux.WriteTitle(row++, 1, "Карта критических скоростей: частоты при одной жесткости всех опор");
    const int points = static_cast<int>(map.stiffness.size());
    const int kRow = row++;
    aux.WriteText(kRow, 1, "Жесткость опор:");
    for (int i = 0; i < points; ++i) aux.WriteNumber(kRow, 2 + i, map.stiffness[i]);
    const LogAxisSpan x = StiffnessAxisSpan(map), y = FrequencyAxisSpan(map);
    ScatterChart chart{aux.Name(), "Карта критических скоростей", "Жесткость опор", "Частота", {},
                       true, true, x.low, x.high, y.low, y.high};
    for (const StiffnessMapCurve& curve : map.curves) {
      const std::string name = "Частота № " + std::to_string(curve.ordinal);
      aux.WriteText(row, 1, name);
      for (int i = 0; i < points; ++i) aux.WriteNumber(row, 2 + i, curve.F[i]);
      chart.series.push_back({kRow, row++, 2, points + 1, name});
    }
    if (!map.marks.empty()) {
      aux.WriteTitle(++row, 1, "Варианты на карте:");
      const int vRow = row + 1, kMarkRow = row + 2, fRow = row + 3;
      aux.WriteText(vRow, 1, "Вариант:");
      aux.WriteText(kMarkRow, 1, "Жесткость опор:");
      aux.WriteText(fRow, 1, "Частота:");
      int col = 2;
      for (const StiffnessMapMark& mark : map.marks) {
        const int first = col;
        for (double F : mark.F) {
          aux.WriteNumber(vRow, col, mark.variant);
          aux.WriteNumber(kMarkRow, col, mark.stiffness);
          aux.WriteNumber(fRow, col++, F);
        }
        if (col > first) chart.series.push_back({kMarkRow, fRow, first, col - 1, VariantMarkName(mark, sep_), true});
      }
      row = fRow + 1;
    }
    for (const UnmappedVariant& variant : map.unmapped) aux.WriteTitle(row++, 1, UnmappedLine(variant, sep_));
    book.AddScatterChartSheet("Карта критических скоростей", chart);
  }

  int BlockRow(int k) const { return (k - 1) * (halfKM_ + 2) + 2; }

  void VariantSheet(WorksheetWriter& s, int v) {
    for (int k = 1; k <= c_.KP; ++k) {
      const int n = BlockRow(k);
      s.MergeText(n, 2, 3, "Частота №" + std::to_string(k), &kTitleFill);
      s.MergeText(n, 4, 5, "P= " + results_.StringGrid1.Cell(k, v), &kTitleFill);
    }
    static const char* const kHeader[] = {"Номер уч-ка:", "Координата уч-ка:", "Смещение:",
                                          "Угол поворота:", "Момент:", "Попер. сила:"};
    for (int k = 1; k <= c_.KP; ++k) {
      if (!Found(v, k)) continue;
      const int r = BlockRow(k);
      for (int col = 1; col <= 6; ++col) s.WriteText(r + 1, col, kHeader[col - 1]);
      s.AutoFitColumns(1, 6);
      for (int j = 1; j <= halfKM_; ++j) {
        const int row = r + 1 + j;
        // The section numbers and coordinates of the first block serve every block.
        s.WriteNumber(row, 1, IntOfText(results_.StringGrid3.Cell(j + 1, 1)));
        s.WriteNumber(row, 2, Real(results_.StringGrid2.Cell(j - 1, 1)));
        const int col = (halfKM_ + 1) * (k - 1) + j + 1;
        for (int q = 1; q <= 4; ++q)
          s.WriteNumber(row, 2 + q, Real(results_.StringGrid3.Cell(col, 5 * (v - 1) + 1 + q)));
      }
    }
    // Below the blocks after an empty row, the input file, the check of how
    // complete the variant's search was and the comparison with the continuous shaft.
    if (summary_) {
      int row = BlockRow(std::max(c_.KP, 0) + 1) + 1;
      s.WriteText(row++, 1, InputFileLine(RunInputName(*summary_)));
      for (const std::string& line : VariantNotes(*summary_, v, sep_)) s.WriteText(row++, 1, line);
    }
  }

  void AuxiliarySheet(WorksheetWriter& s) {
    const long long columns = 1LL * c_.KM * c_.KP;  // KP as entered may be the smallest integer
    for (int c = 1; c <= columns; ++c) {
      const int k = (c - 1) / c_.KM + 1;
      for (int r = 1; r <= 4 * c_.KW; ++r) {
        const int v = (r - 1) / 4 + 1;
        if (Found(v, k)) s.WriteNumber(r, c, Real(results_.StringGrid5.Cell(c - 1, r - 1)));
      }
    }
  }

  const TMainFormModel& main_;
  const TInputFormModel& input_;
  const ResultsTables& results_;
  const ResultsSummary* summary_;
  const StiffnessMapChart* stiffnessMap_;
  char sep_;
  Counts c_{};
  int halfKM_ = 0;
};

}  // namespace

std::optional<Error> ExportResultsWorkbook(const std::string& path, const TMainFormModel& mainForm,
                                           const TInputFormModel& inputForm, const ResultsTables& results,
                                           char decimalSeparator, const ResultsSummary* summary,
                                           const StiffnessMapChart* stiffnessMap) {
  try {
    Export exporter(mainForm, inputForm, results, summary, stiffnessMap, decimalSeparator);
    WorkbookWriter book(path);
    exporter.Build(book);
    book.Save();
  } catch (const Failure& failure) {
    return failure.error();
  }
  return std::nullopt;
}

}  // namespace vp
