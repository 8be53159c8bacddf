#include "form_reading.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "errors.h"
#include "numtext.h"

namespace vp {

namespace {

// Runs a conversion; a failure is reported with the place it came from.
template <typename F>
auto At(const std::string& place, F&& convert) {
  try {
    return convert();
  } catch (const ConversionError& e) {
    throw AppError(place + ": " + e.what());
  }
}

std::string Real(double value, char sep) { return GeneralFormat(value, sep); }

}  // namespace

void CheckSearchLimits(const TShaftModel& model, const TSearchParams& P, char sep) {
  // A step of 0 or below never walks towards FK, and its "frequencies" are made up.
  if (!(P[kStep] > 0))
    throw AppError("Шаг по частоте при поиске k-й частоты должен быть больше нуля (FT1 = " + Real(P[kStep], sep) + ")");
  if (!(P[kFreqEps] > 0))
    throw AppError("Точность вычисления k-й собственной частоты должна быть больше нуля (EPSF = " +
                   Real(P[kFreqEps], sep) + ")");
  // The search compares the step with 15 * EPSF.
  if (P[kFreqEps] > DBL_MAX / 15)
    throw AppError("Точность вычисления k-й собственной частоты слишком велика (EPSF = " + Real(P[kFreqEps], sep) + ")");
  // Frequencies from F1 to FK are reported 100 times larger, which must stay a number.
  if (std::fabs(P[kStart]) > DBL_MAX / kReportFactorValue)
    throw AppError("Частота начала диапазона поиска собств. частот слишком велика по модулю (F1 = " +
                   Real(P[kStart], sep) + ")");
  if (std::fabs(P[kUpper]) > DBL_MAX / kReportFactorValue)
    throw AppError("Верхняя граница диапазона по частоте слишком велика по модулю (FK = " + Real(P[kUpper], sep) + ")");
  if (model.KP > kMaxFrequencies)
    throw AppError("Число собственных частот не должно превышать " + std::to_string(kMaxFrequencies) +
                   " (KP = " + std::to_string(model.KP) + ")");
  for (int j = 1; j <= model.KZ; ++j) {
    const int end = model.SpanEnd[j];
    const std::string place = "Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(j) + ": ";
    if (end < 1 || end > model.KM)
      throw AppError(place + "номер " + std::to_string(end) + " вне пределов от 1 до " + std::to_string(model.KM));
    if (j > 1 && end <= model.SpanEnd[j - 1])
      throw AppError(place + "номер " + std::to_string(end) + " должен быть больше номера предыдущего пролета (" +
                     std::to_string(model.SpanEnd[j - 1]) + ")");
  }
}

void ReadForm(const TMainFormModel& form, TShaftModel& model, TSearchParams& P, char sep) {
  // 1. Counts.
  model.N = form.SpinEdit1.Value();
  model.KM = form.SpinEdit2.Value();
  model.KP = At("Число собственных частот, подлежащих определению", [&] { return IntOfText(form.Edit3); });
  model.KW = form.SpinEdit4.Value();
  model.KZ = form.SpinEdit3.Value();
  // 2. Search parameters.
  const std::pair<const char*, const std::string*> fields[] = {
      {"Частота начала диапазона поиска собств. частот", &form.Edit8},
      {"Шаг по частоте при поиске k-й частоты", &form.Edit9},
      {"Верхняя граница диапазона по частоте", &form.Edit10},
      {"Точность вычисления определителя", &form.Edit11},
      {"Точность вычисления k-й собственной частоты", &form.Edit12},
  };
  for (int i = 0; i < 5; ++i) P[i] = At(fields[i].first, [&] { return RealOfText(*fields[i].second, sep); });
  // 3. Support sections.
  for (int s = 1; s <= model.N; ++s)
    model.SupportSection[s] = At("Номера сечений, к которым привязаны опоры, опора " + std::to_string(s),
                                 [&] { return IntOfText(form.StringGrid3.Cell(s - 1, 1)); });
  // 4. Span ends.
  for (int j = 1; j <= model.KZ; ++j)
    model.SpanEnd[j] = At("Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(j),
                          [&] { return IntOfText(form.StringGrid4.Cell(j - 1, 1)); });
  // 5. Sections.
  const char* rows[] = {"длина", "масса", "жесткость"};
  for (int k = 1; k <= model.KM; ++k) {
    double* targets[] = {&model.SectionLength[k], &model.SectionMass[k], &model.SectionEI[k]};
    for (int r = 1; r <= 3; ++r)
      *targets[r - 1] = At("Характеристики участков, участок " + std::to_string(k) + ", " + rows[r - 1],
                           [&] { return RealOfText(form.StringGrid1.Cell(k, r), sep); });
  }
  // 6. Support stiffnesses.
  for (int s = 1; s <= model.N; ++s)
    for (int v = 1; v <= model.KW; ++v)
      model.SupportStiffness[s][v] =
          At("Варианты по жесткости опор, опора " + std::to_string(s) + ", вариант " + std::to_string(v),
             [&] { return RealOfText(form.StringGrid2.Cell(v, s), sep); });
}

void FillEcho(const TShaftModel& m, const TSearchParams& P, TInputFormModel& echo, char sep) {
  echo.Labels = {"N = " + std::to_string(m.N),      "KM = " + std::to_string(m.KM),
                 "KP = " + std::to_string(m.KP),    "KW = " + std::to_string(m.KW),
                 "MZ = " + std::to_string(m.KZ),    "F1 = " + Real(P[0], sep),
                 "FT1 = " + Real(P[1], sep),        "FK = " + Real(P[2], sep),
                 "EPS = " + Real(P[3], sep),        "EPSF = " + Real(P[4], sep)};
  echo.StringGrid1.SetColCount(m.N);
  echo.StringGrid2.SetColCount(m.KZ);
  echo.StringGrid3.SetColCount(m.KM);
  echo.StringGrid4.SetSize(m.KW + 1, m.N + 1);
  for (int s = 1; s <= m.N; ++s) echo.StringGrid1.SetCell(s - 1, 0, std::to_string(m.SupportSection[s]));
  for (int j = 1; j <= m.KZ; ++j) echo.StringGrid2.SetCell(j - 1, 0, std::to_string(m.SpanEnd[j]));
  for (int k = 1; k <= m.KM; ++k) {
    echo.StringGrid3.SetCell(k - 1, 0, "Участок " + std::to_string(k));
    echo.StringGrid3.SetCell(k - 1, 1, Real(m.SectionLength[k], sep));
    echo.StringGrid3.SetCell(k - 1, 2, Real(m.SectionMass[k], sep));
    echo.StringGrid3.SetCell(k - 1, 3, Real(m.SectionEI[k], sep));
  }
  for (int s = 1; s <= m.N; ++s) {
    echo.StringGrid4.SetCell(0, s, "Опора " + std::to_string(s));
    for (int v = 1; v <= m.KW; ++v) {
      echo.StringGrid4.SetCell(v, 0, "Вариант " + std::to_string(v));
      echo.StringGrid4.SetCell(v, s, Real(m.SupportStiffness[s][v], sep));
    }
  }
}

}  // namespace vp
