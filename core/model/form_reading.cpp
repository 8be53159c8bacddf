#include "form_reading.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "errors.h"
#include "numtext.h"
#include "shaft_geometry.h"

namespace vp {

namespace {

std::string Real(double value, char sep) { return GeneralFormat(value, sep); }

int IntField(const std::string& field, const std::string& text) {
  int value = 0;
  if (!TryIntOfText(text, value)) Raise(Error{ErrorCode::FieldNotInteger, 0, 0, field, text});
  return value;
}

// A number written with the other decimal separator names the one in use (detail).
double RealField(const std::string& field, const std::string& text, char sep) {
  double value = 0;
  if (!TryRealOfText(text, sep, value))
    Raise(Error{ErrorCode::FieldNotReal, 0, 0, field, text, OtherSeparatorOf(text, sep) ? std::string(1, sep) : ""});
  return value;
}

void ReadFields(const TMainFormModel& form, TShaftModel& model, TSearchParams& P, char sep) {
  // 1. Counts.
  model.N = form.SpinEdit1.Value();
  model.KM = form.SpinEdit2.Value();
  model.KP = IntField("Число собственных частот, подлежащих определению", form.Edit3);
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
  for (int i = 0; i < 5; ++i) P[i] = RealField(fields[i].first, *fields[i].second, sep);
  // 3. Support sections.
  for (int s = 1; s <= model.N; ++s)
    model.SupportSection[s] = IntField("Номера сечений, к которым привязаны опоры, опора " + std::to_string(s),
                                       form.StringGrid3.Cell(s - 1, 1));
  // 4. Span ends.
  for (int j = 1; j <= model.KZ; ++j)
    model.SpanEnd[j] = IntField("Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(j),
                                form.StringGrid4.Cell(j - 1, 1));
  // 5. Sections.
  const char* rows[] = {"длина", "масса", "жесткость"};
  for (int k = 1; k <= model.KM; ++k) {
    double* targets[] = {&model.SectionLength[k], &model.SectionMass[k], &model.SectionEI[k]};
    for (int r = 1; r <= 3; ++r)
      *targets[r - 1] = RealField("Характеристики участков, участок " + std::to_string(k) + ", " + rows[r - 1],
                                  form.StringGrid1.Cell(k, r), sep);
  }
  // 6. Support stiffnesses.
  for (int s = 1; s <= model.N; ++s)
    for (int v = 1; v <= model.KW; ++v)
      model.SupportStiffness[s][v] = RealField(
          "Варианты по жесткости опор, опора " + std::to_string(s) + ", вариант " + std::to_string(v),
          form.StringGrid2.Cell(v, s), sep);
}

}  // namespace

std::optional<Error> CheckSearchLimits(const TShaftModel& model, const TSearchParams& P, char sep) {
  // A step of 0 or below never walks towards FK, and its "frequencies" are made up.
  if (!(P[kStep] > 0)) return Error{ErrorCode::StepNotPositive, 0, P[kStep], "", Real(P[kStep], sep)};
  if (!(P[kFreqEps] > 0)) return Error{ErrorCode::PrecisionNotPositive, 0, P[kFreqEps], "", Real(P[kFreqEps], sep)};
  // The search compares the step with 15 * EPSF.
  if (P[kFreqEps] > DBL_MAX / 15) return Error{ErrorCode::PrecisionTooLarge, 0, P[kFreqEps], "", Real(P[kFreqEps], sep)};
  // Frequencies from F1 to FK are reported 100 times larger, which must stay a number.
  if (std::fabs(P[kStart]) > DBL_MAX / kReportFactorValue)
    return Error{ErrorCode::StartTooLarge, 0, P[kStart], "", Real(P[kStart], sep)};
  if (std::fabs(P[kUpper]) > DBL_MAX / kReportFactorValue)
    return Error{ErrorCode::UpperTooLarge, 0, P[kUpper], "", Real(P[kUpper], sep)};
  // A range whose top lies below its start holds nothing to search.
  if (P[kUpper] < P[kStart])
    return Error{ErrorCode::UpperBelowStart, 0, P[kUpper], "", Real(P[kUpper], sep), Real(P[kStart], sep)};
  if (model.KP > kMaxFrequencies)
    return Error{ErrorCode::TooManyFrequencies, model.KP, 0, "", "", std::to_string(kMaxFrequencies)};
  return SpanEndFault(model);
}

std::optional<Error> CheckSections(const TShaftModel& model, char sep) {
  for (int k = 1; k <= model.KM; ++k) {
    const std::pair<const char*, double> values[] = {{"длина", model.SectionLength[k]}, {"жесткость", model.SectionEI[k]}};
    for (const auto& [name, value] : values)
      if (value < 0)
        return Error{ErrorCode::SectionNegative, k, value,
                     "Характеристики участков, участок " + std::to_string(k) + ", " + name, Real(value, sep)};
  }
  return std::nullopt;
}

std::vector<Error> InactiveSupportFindings(const TShaftModel& model) {
  std::vector<Error> findings;
  for (const InactiveSupport& s : InactiveSupports(model))
    findings.push_back(Error{ErrorCode::InactiveSupport, s.number, 0, "", std::to_string(s.crossSection),
                             std::to_string(s.lastCrossSection)});
  return findings;
}

std::optional<Error> NegativeMassFinding(const TShaftModel& model, char sep) {
  std::optional<Error> finding;
  for (int k = 1; k <= model.KM; ++k) {
    if (!(model.SectionMass[k] < 0)) continue;
    if (!finding) finding = Error{ErrorCode::NegativeMass, k, 0, "", Real(model.SectionMass[k], sep)};
    finding->value += 1;
  }
  return finding;
}

std::optional<Error> ReadForm(const TMainFormModel& form, TShaftModel& model, TSearchParams& P, char sep) {
  try {
    ReadFields(form, model, P, sep);
  } catch (const Failure& failure) {
    return failure.error();
  }
  return std::nullopt;
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
