#include "form_reading.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "errors.h"
#include "numtext.h"
#include "shaft_geometry.h"

namespace vp {

int IntField(const std::string& field, const std::string& text, FormPlace place) {
  int value = 0;
  if (!TryIntOfText(text, value)) {
    Error error{ErrorCode::FieldNotInteger, 0, 0, field, text};
    error.place = place;
    Raise(error);
  }
  return value;
}

double RealField(const std::string& field, const std::string& text, char sep, FormPlace place) {
  double value = 0;
  if (!TryRealOfText(text, sep, value)) {
    Error error{ErrorCode::FieldNotReal, 0, 0, field, text, OtherSeparatorOf(text, sep) ? std::string(1, sep) : ""};
    error.place = place;
    Raise(error);
  }
  return value;
}

namespace {

std::string Real(double value, char sep) { return GeneralFormat(value, sep); }

void ReadFields(const TMainFormModel& form, TShaftModel& model, TSearchParams& P, char sep) {
  // 1. Counts.
  model.N = form.SpinEdit1.Value();
  model.KM = form.SpinEdit2.Value();
  model.KP = IntField("Число собственных частот, подлежащих определению", form.Edit3, {.field = 3});
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
  for (int i = 0; i < 5; ++i) P[i] = RealField(fields[i].first, *fields[i].second, sep, {.field = 8 + i});
  // 3. Support sections.
  for (int s = 1; s <= model.N; ++s)
    model.SupportSection[s] = IntField("Номера сечений, к которым привязаны опоры, опора " + std::to_string(s),
                                       form.StringGrid3.Cell(s - 1, 1), {.grid = 3, .col = s - 1, .row = 1});
  // 4. Span ends.
  for (int j = 1; j <= model.KZ; ++j)
    model.SpanEnd[j] = IntField("Номера сечений, ограничивающих пролеты справа, пролет " + std::to_string(j),
                                form.StringGrid4.Cell(j - 1, 1), {.grid = 4, .col = j - 1, .row = 1});
  // 5. Sections.
  const char* rows[] = {"длина", "масса", "жесткость"};
  for (int k = 1; k <= model.KM; ++k) {
    double* targets[] = {&model.SectionLength[k], &model.SectionMass[k], &model.SectionEI[k]};
    for (int r = 1; r <= 3; ++r)
      *targets[r - 1] = RealField("Характеристики участков, участок " + std::to_string(k) + ", " + rows[r - 1],
                                  form.StringGrid1.Cell(k, r), sep, {.grid = 1, .col = k, .row = r});
  }
  // 6. Support stiffnesses.
  for (int s = 1; s <= model.N; ++s)
    for (int v = 1; v <= model.KW; ++v)
      model.SupportStiffness[s][v] = RealField(
          "Варианты по жесткости опор, опора " + std::to_string(s) + ", вариант " + std::to_string(v),
          form.StringGrid2.Cell(v, s), sep, {.grid = 2, .col = v, .row = s});
}

}  // namespace

std::optional<Error> CheckSearchLimits(const TShaftModel& model, const TSearchParams& P, char sep) {
  // The field at fault: Edit8..Edit12 for the search's parameters, Edit3 for KP.
  const auto at = [](Error error, int field) {
    error.place.field = field;
    return error;
  };
  // A step of 0 or below never walks towards FK, and its "frequencies" are made up.
  if (!(P[kStep] > 0)) return at(Error{ErrorCode::StepNotPositive, 0, P[kStep], "", Real(P[kStep], sep)}, 9);
  if (!(P[kFreqEps] > 0))
    return at(Error{ErrorCode::PrecisionNotPositive, 0, P[kFreqEps], "", Real(P[kFreqEps], sep)}, 12);
  // The search compares the step with kPrepareStepFactor * EPSF.
  if (P[kFreqEps] > DBL_MAX / kPrepareStepFactor)
    return at(Error{ErrorCode::PrecisionTooLarge, 0, P[kFreqEps], "", Real(P[kFreqEps], sep)}, 12);
  // Frequencies from F1 to FK are reported 100 times larger, which must stay a number.
  if (std::fabs(P[kStart]) > DBL_MAX / kReportFactorValue)
    return at(Error{ErrorCode::StartTooLarge, 0, P[kStart], "", Real(P[kStart], sep)}, 8);
  if (std::fabs(P[kUpper]) > DBL_MAX / kReportFactorValue)
    return at(Error{ErrorCode::UpperTooLarge, 0, P[kUpper], "", Real(P[kUpper], sep)}, 10);
  // A range whose top lies below its start holds nothing to search.
  if (P[kUpper] < P[kStart])
    return at(Error{ErrorCode::UpperBelowStart, 0, P[kUpper], "", Real(P[kUpper], sep), Real(P[kStart], sep)}, 10);
  if (model.KP > kMaxFrequencies)
    return at(Error{ErrorCode::TooManyFrequencies, model.KP, 0, "", "", std::to_string(kMaxFrequencies)}, 3);
  std::optional<Error> spanEnd = SpanEndFault(model);
  if (spanEnd) spanEnd->place = {.grid = 4, .col = spanEnd->number - 1, .row = 1};
  return spanEnd;
}

std::optional<Error> CheckSections(const TShaftModel& model, char sep) {
  for (int k = 1; k <= model.KM; ++k) {
    const std::pair<const char*, double> values[] = {{"длина", model.SectionLength[k]}, {"жесткость", model.SectionEI[k]}};
    for (const auto& [name, value] : values)
      if (value < 0) {
        Error error{ErrorCode::SectionNegative, k, value,
                    "Характеристики участков, участок " + std::to_string(k) + ", " + name, Real(value, sep)};
        error.place = {.grid = 1, .col = k, .row = name == std::string("длина") ? 1 : 3};
        return error;
      }
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
