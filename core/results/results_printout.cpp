#include "results_printout.h"

#include <algorithm>
#include <vector>

#include "completeness_lines.h"
#include "continuous_lines.h"
#include "numtext.h"
#include "printable.h"

namespace vp {

namespace {

const char* const kHeader =
    "  Номер участка:             Координата уч-ка:               Смещение:                   "
    "Угол поворота:                    Момент:                        Попер. сила:";

std::string Blanks(int count) { return std::string(count, ' '); }

// Characters, not bytes, of UTF-8 text.
size_t Characters(const std::string& text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// A section row in a fixed-pitch font: each value right-aligned under the end
// of its caption in the header (the number, the coordinate, the four
// quantities), so that the decimal points line up; a value too wide for its
// place moves right, two blanks after the one before.
std::string SectionRow(const std::vector<std::string>& values) {
  static const std::vector<size_t> ends = [] {
    std::vector<size_t> at;
    const std::string header = kHeader;
    for (size_t i = 0, c = 0; i < header.size(); ++i) {
      if ((static_cast<unsigned char>(header[i]) & 0xC0) == 0x80) continue;
      ++c;
      if (header[i] == ':') at.push_back(c);
    }
    return at;
  }();
  std::string row;
  size_t width = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    const size_t length = Characters(values[i]);
    const size_t start = std::max(ends[i] >= length ? ends[i] - length : 0, i == 0 ? 0 : width + 2);
    row += Blanks(static_cast<int>(start - width)) + values[i];
    width = start + length;
  }
  return row;
}

}  // namespace

std::string InputFileLine(const std::string& inputFile) {
  return "Файл исходных данных: " + (inputFile.empty() ? std::string("не задан") : Printable(inputFile));
}

std::string PrintoutTitle(const std::string& inputFile, const std::string& date) {
  return "Программа расчета собственных частот и форм колебаний валопровода     Дата: " + date + "     " +
         InputFileLine(inputFile);
}

std::string RunInputName(const ResultsSummary& summary) {
  if (summary.inputFile.empty()) return "";
  return summary.inputFile + (summary.inputEdited ? " (изменено после загрузки)" : "");
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
    const VariantResult* result = nullptr;
    if (summary)
      for (const VariantResult& r : summary->variants)
        if (r.variant == v) result = &r;
    // Where the count gave the found frequencies their true ordinals, a place
    // left empty names the lowest natural frequency not found, not its place.
    const std::vector<int>* ordinals =
        result && result->completeness.checked ? &result->completeness.ordinals : nullptr;
    int unfound = 0;
    const int KP = IntOfText(form.Edit3);
    for (int k = 1; k <= KP; ++k) {
      const std::string& frequency = results.StringGrid1.Cell(k, v);
      if (frequency.empty()) {
        // The upper bound FK on the scale of the reported frequencies P.
        const double factor = summary ? summary->reportFactor : ResultsSummary().reportFactor;
        std::string name = "Частота N " + std::to_string(k);
        if (ordinals) {
          do ++unfound;
          while (std::find(ordinals->begin(), ordinals->end(), unfound) != ordinals->end());
          name = "Собственная частота № " + std::to_string(unfound);
        }
        emit(Blanks(80) + name + " не найдена в диапазоне до " + GeneralFormat(RealOfText(form.Edit10, sep) * factor, sep));
        emit("");
        continue;
      }
      std::string line = Blanks(80) + "Частота N " + std::to_string(k);
      if (ordinals && k <= static_cast<int>(ordinals->size()))
        if (const std::string note = OrdinalNote(k, (*ordinals)[k - 1]); !note.empty()) line += " (" + note + ")";
      line += "  ------   P = " + Fixed5(RealOfText(frequency, sep), sep);
      if (const std::string note = result ? RefinedNote(*result, k, summary->reportFactor, sep) : ""; !note.empty())
        line += " (" + note + ")";
      emit(line);
      emit("");
      emit(kHeader);
      for (int j = 1; j <= half; ++j) {
        const int section = IntOfText(results.StringGrid3.Cell(j + 1, 1));
        const int column = (half + 1) * (k - 1) + j + 1;
        std::vector<std::string> row{std::to_string(section), real(results.StringGrid2, j - 1, 1)};
        for (int q = 1; q <= 4; ++q) row.push_back(real(results.StringGrid3, column, 5 * (v - 1) + 1 + q));
        emit(SectionRow(row));
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
