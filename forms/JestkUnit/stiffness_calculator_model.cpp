#include "stiffness_calculator_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "errors.h"
#include "form_reading.h"
#include "numtext.h"

namespace vp {

const JestkUnitTexts& UnitTexts(JestkUnits units) {
  static const JestkUnitTexts kScaled{"МПа", "мм", "кН·м² (к массам в т, длинам в м, жесткости опор в кН/м)", 1e9};
  static const JestkUnitTexts kSi{"Па", "м", "Н·м² (к массам в кг, длинам в м, жесткости опор в Н/м)", 1};
  return units == JestkUnits::PascalMetre ? kSi : kScaled;
}

const std::array<double, TMainFormJestkModel::kKnots> TMainFormJestkModel::kNomRatio = {
    0,        0.022222, 0.044444, 0.066666, 0.088888, 0.111111, 0.133333, 0.155555,
    0.177777, 0.2,      0.225,    0.25,     0.275,    0.3,      0.325,    0.35,
    0.375,    0.4,      0.422222, 0.444444, 0.466666, 0.488888, 0.511111, 0.533333,
    0.555555, 0.577777, 0.6,      0.625,    0.65,     0.675,    0.7,      0.725,
    0.75,     0.775,    0.8,      0.822222, 0.844444, 0.866666, 0.888888, 0.911111};

const std::array<double, TMainFormJestkModel::kKnots> TMainFormJestkModel::kNomFactor = {
    1.044444, 1.088888, 1.2,       1.3,      1.375,    1.45,     1.525,     1.6,
    1.668571, 1.714286, 1.782857,  1.851429, 1.897143, 1.942857, 2,         2.055555,
    2.11111,  2.155555, 2.199999,  2.222222, 2.255555, 2.299999, 2.333333,  2.366666,
    2.4,      2.433333, 2.455555,  2.488888, 2.5111111, 2.533333, 2.544444, 2.56666,
    2.577777, 2.588888, 2.599999,  2.605555, 2.6111111, 2.616667, 2.622222, 2.616667};

bool TMainFormJestkModel::Nomogramma(double ratio, double& k) {
  if (!(ratio >= 0)) return false;
  // Beyond the last knot the curve has levelled off: its last factor holds.
  if (ratio >= kNomRatio[kKnots - 1]) {
    k = kNomFactor[kKnots - 1];
    return true;
  }
  for (int i = 0; i + 1 < kKnots; ++i) {
    if (ratio == kNomRatio[i]) {
      k = kNomFactor[i];
      return true;
    }
    if (ratio > kNomRatio[i] && ratio < kNomRatio[i + 1]) {
      k = kNomFactor[i] +
          (ratio - kNomRatio[i]) / (kNomRatio[i + 1] - kNomRatio[i]) * (kNomFactor[i + 1] - kNomFactor[i]);
      return true;
    }
  }
  return false;  // not reached: the knots cover [0, last ratio)
}

void TMainFormJestkModel::Changed(JestkCount which) {
  if (which == JestkCount::Sections)
    SpinEdit1Change();
  else
    SpinEdit2Change();
}

void TMainFormJestkModel::SetSpinText(JestkCount which, std::string text) {
  if (Spin(which).SetText(std::move(text))) Changed(which);
}

void TMainFormJestkModel::SetSpinValue(JestkCount which, int value) {
  if (Spin(which).SetValue(value)) Changed(which);
}

void TMainFormJestkModel::LeaveSpin(JestkCount which) {
  if (Spin(which).Leave()) Changed(which);
}

void TMainFormJestkModel::SetCheckBox1(bool checked) {
  if (checked == CheckBox1) return;
  CheckBox1 = checked;
  CheckBox1Click();
}

void TMainFormJestkModel::Open(const TMainFormModel& mainForm) {
  Visible = true;
  SetSpinValue(JestkCount::Sections, mainForm.SpinEdit2.Value());
}

void TMainFormJestkModel::SpinEdit1Change() { StringGrid1.SetColCount(std::max(SectionCount(), 1)); }

void TMainFormJestkModel::SpinEdit2Change() {
  const int m = std::max(DiscCount(), 1);
  StringGrid2.SetColCount(m);
  StringGrid3.SetColCount(m);
}

void TMainFormJestkModel::CheckBox1Click() {
  DiscControlsVisible = CheckBox1;
  Bevel3Raised = CheckBox1;
}

namespace {

std::string SectionText(int i) { return "участка " + std::to_string(i); }

void RequireFinite(double value, int section) {
  if (!std::isfinite(value)) throw CalcError("Переполнение при расчете жесткости " + SectionText(section));
}

}  // namespace

void TMainFormJestkModel::BitBtn1Click(char decimalSeparator) {
  const double d0 = RealField("Диаметр центрального свеления", Edit2, decimalSeparator, {.field = 2});
  const double E = RealField("Модуль упругости", Edit1, decimalSeparator, {.field = 1});
  const int n = SectionCount();
  const int m = DiscCount();
  StringGrid4.SetColCount(std::max(n, 1));

  std::vector<double> discSection(m), discWidth(m);
  for (int j = 0; j < m; ++j) {
    const std::string disc = ", диск " + std::to_string(j + 1);
    discSection[j] =
        RealField("Номера участков с дисками" + disc, StringGrid2.Cell(j, 0), decimalSeparator, {.grid = 2, .col = j});
    discWidth[j] = RealField("Ширина дисков" + disc, StringGrid3.Cell(j, 0), decimalSeparator, {.grid = 3, .col = j});
  }

  const double d04 = ((d0 * d0) * d0) * d0;
  for (int i = 1; i <= n; ++i) {
    const double d = RealField("Диаметры ротора, участок " + std::to_string(i), StringGrid1.Cell(i - 1, 0),
                               decimalSeparator, {.grid = 1, .col = i - 1});
    const double d4 = ((d * d) * d) * d;
    double EI = (d4 - d04) * std::numbers::pi * E / 64;
    RequireFinite(EI, i);
    for (int j = 0; j < m; ++j) {
      if (discSection[j] != static_cast<double>(i)) continue;
      if (d == 0) throw CalcError("Деление на ноль: у " + SectionText(i) + " с диском диаметр равен 0");
      const double ratio = discWidth[j] / d;
      RequireFinite(ratio, i);
      double k = 0;
      if (!Nomogramma(ratio, k))
        throw CalcError("Отрицательное отношение ширины диска к диаметру " + SectionText(i) + ": " +
                        GeneralFormat(ratio, decimalSeparator));
      EI = (EI + k * EI) / 2;
      RequireFinite(EI, i);
    }
    StringGrid4.SetCell(i - 1, 0, GeneralFormat(EI / UnitTexts(Units).divisor, decimalSeparator));
  }
}

std::optional<Error> TMainFormJestkModel::TransferLoss(const TMainFormModel& mainForm) const {
  const int before = mainForm.SpinEdit2.ClampedValue();
  const int after = mainForm.SpinEdit2.Clamped(SectionCount());
  if (after >= before) return std::nullopt;
  return Error{ErrorCode::TransferShrinks, after, 0, "", std::to_string(before)};
}

void TMainFormJestkModel::SetUnits(JestkUnits units) {
  if (units == Units) return;
  Units = units;
  for (int i = 0; i < StringGrid4.ColCount(); ++i) StringGrid4.SetCell(i, 0, "");
}

void TMainFormJestkModel::BitBtn2Click(TMainFormModel& mainForm, char decimalSeparator) {
  BitBtn1Click(decimalSeparator);
  const int n = SectionCount();
  mainForm.SetSpinValue(Count::Sections, n);
  for (int i = 1; i <= n; ++i) mainForm.StringGrid1.SetCell(i, 3, StringGrid4.Cell(i - 1, 0));
  Visible = false;
}

}  // namespace vp
