#include "input_sheet.h"

#include <string>

namespace vp {

void WriteInputSheet(WorksheetWriter& s, const InputSheetValues& in) {
  static const char* const kLabels[] = {
      "число опор:",
      "число участков,на которые разбит ротор:",
      "число пролетов,на которые разбит ротор:",
      "число вариантов по жесткости опор:",
      "число собственных частот, подлежащих определению:",
      "частота начала диапазона поиска собств. частот:",
      "верхняя граница диапазона по частоте:",
      "шаг по частоте при поиске k-й частоты:",
      "точность вычисления определителя:",
      "точность вычисления k-й собственной частоты:",
  };
  const double values[] = {double(in.N), double(in.KM), double(in.KZ), double(in.KW), double(in.KP),
                           in.F1,        in.FK,         in.FT1,        in.EPS,        in.EPSF};
  for (int r = 1; r <= 10; ++r) {
    s.WriteText(r, 1, kLabels[r - 1]);
    s.WriteNumber(r, 2, values[r - 1]);
  }
  s.WriteText(11, 1, "номера сечений,к которым привязаны опоры:");
  for (int i = 1; i <= in.N; ++i) s.WriteNumber(11, 1 + i, in.supportSection(i));
  s.WriteText(12, 1, "номера сечений,ограничивающих пролеты справа:");
  for (int j = 1; j <= in.KZ; ++j) s.WriteNumber(12, 1 + j, in.spanEnd(j));
  s.WriteText(14, 1, "характеристики участков валопровода:");
  s.WriteText(15, 1, "Номер участка:");
  s.WriteText(16, 1, "Длина(l):");
  s.WriteText(17, 1, "Масса(m):");
  s.WriteText(18, 1, "Жесткость(El):");  // Latin E and l
  s.AutoFitColumns(1, 1);
  for (int i = 1; i <= in.KM; ++i) {
    s.WriteNumber(15, 1 + i, i);
    for (int q = 1; q <= 3; ++q) s.WriteNumber(15 + q, 1 + i, in.section(i, q));
  }
  s.WriteText(20, 1, "варианты по жесткости опор:");
  for (int n = 1; n <= in.N; ++n) {
    s.WriteText(21 + n, 1, "Опора " + std::to_string(n));
    for (int w = 1; w <= in.KW; ++w) {
      s.WriteText(21, 1 + w, "Вариант " + std::to_string(w));
      s.WriteNumber(21 + n, 1 + w, in.stiffness(n, w));
    }
  }
}

}  // namespace vp
