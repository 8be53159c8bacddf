#include "results_printout.h"

#include <cstdio>

#include "continuous_lines.h"
#include "numtext.h"

namespace vp {

namespace {

const char* const kHeader =
    "  Номер участка:             Координата уч-ка:               Смещение:                   "
    "Угол поворота:                    Момент:                        Попер. сила:";

std::string Blanks(int count) { return std::string(count, ' '); }

}  // namespace

std::string Fixed5(double value, char sep) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.5f", value);
  std::string text = buf;
  if (text.find_first_of("123456789") == std::string::npos && text[0] == '-') text.erase(0, 1);
  const size_t point = text.find('.');
  if (point != std::string::npos) text[point] = sep;
  return text;
}

void WritePrintout(const TMainFormModel& form, const ResultsTables& results, char sep,
                   const std::function<void(const std::string&)>& emit, const ResultsSummary* summary) {
  const int KW = form.SpinEdit4.Value();
  const int KM = form.SpinEdit2.Value();
  const int half = HalfKM(KM);
  auto real = [&](const StringTable& grid, int col, int row) { return Fixed5(RealOfText(grid.Cell(col, row), sep), sep); };
  for (int v = 1; v <= KW; ++v) {
    emit(Blanks(85) + "Вариант по жесткости N " + std::to_string(v));
    emit("");
    const int KP = IntOfText(form.Edit3);
    for (int k = 1; k <= KP; ++k) {
      const std::string& frequency = results.StringGrid1.Cell(k, v);
      if (frequency.empty()) {
        // The upper bound FK on the scale of the reported frequencies P.
        const double factor = summary ? summary->reportFactor : ResultsSummary().reportFactor;
        emit(Blanks(80) + "Частота N " + std::to_string(k) + " не найдена в диапазоне до " +
             GeneralFormat(RealOfText(form.Edit10, sep) * factor, sep));
        emit("");
        continue;
      }
      emit(Blanks(80) + "Частота N " + std::to_string(k) + "  ------   P = " +
           Fixed5(RealOfText(frequency, sep), sep));
      emit("");
      emit(kHeader);
      for (int j = 1; j <= half; ++j) {
        const int section = IntOfText(results.StringGrid3.Cell(j + 1, 1));
        const int column = (half + 1) * (k - 1) + j + 1;
        std::string row = Blanks(12) + std::to_string(section) + Blanks(section <= 9 ? 32 : 30);
        row += real(results.StringGrid2, j - 1, 1);
        for (int q = 1; q <= 4; ++q) row += Blanks(28) + real(results.StringGrid3, column, 5 * (v - 1) + 1 + q);
        emit(row);
      }
      emit("");
    }
    if (summary) {
      const std::vector<std::string> lines = VariantNotes(*summary, v, sep);
      for (const std::string& line : lines) emit(line);
      if (!lines.empty()) emit("");
    }
    emit("");
  }
}

}  // namespace vp
