#pragma once
// The bending-stiffness calculator without its window: section and disc counts,
// modulus and bore fields, the diameter, disc and result rows, and the handlers
// that size the rows, compute EI of each section (raised for discs by the
// nomogram) and transfer the results into the main form.

#include <array>
#include <optional>
#include <string>

#include "errors.h"
#include "main_form_model.h"
#include "spin_edit.h"
#include "string_table.h"

namespace vp {

enum class JestkCount { Sections, Discs };  // SpinEdit1, SpinEdit2

// The units of the modulus and the lengths (diameters, bore, disc widths), and
// so of the EI transferred. The first is the scaling of EI by 10^-9: E in МПа
// and lengths in мм give EI in кН·м², which goes with masses in т, lengths in м
// and support stiffnesses in кН/м; the second, SI, transfers EI unscaled.
enum class JestkUnits { MegapascalMillimetre, PascalMetre };

struct JestkUnitTexts {
  const char* modulus;    // beside E
  const char* length;     // beside the bore, the diameters and the disc widths
  const char* stiffness;  // beside the results: the unit of EI and what goes with it
  double divisor;         // EI is shown and transferred divided by this
};
const JestkUnitTexts& UnitTexts(JestkUnits units);

struct TMainFormJestkModel {
  // Working tables of one calculation hold this many sections and discs; the
  // spin edits clamp their counts to 0..kMaxCount.
  static constexpr int kMaxCount = 200;

  // Disc-influence nomogram: ratio b/d and factor k at each knot, exactly as tabled.
  static constexpr int kKnots = 40;
  static const std::array<double, kKnots> kNomRatio;
  static const std::array<double, kKnots> kNomFactor;

  bool Visible = false;  // the window is modeless and only hides when closed

  SpinEditState SpinEdit1{0, kMaxCount, 0};  // n, "Число участков:"
  std::string Edit1;                         // E, "Модуль упругости:"
  std::string Edit2;                         // d0, "Диаметр центрального свеления:"
  bool CheckBox1 = false;                    // "Учитывать влияние дисков"
  JestkUnits Units = JestkUnits::MegapascalMillimetre;  // set through SetUnits
  // SpinEdit2, StringGrid2, StringGrid3, Label6, Label7 and Label9 are shown
  // exactly while CheckBox1 is ticked; Bevel3 is raised then, lowered otherwise.
  bool DiscControlsVisible = false;
  bool Bevel3Raised = false;
  SpinEditState SpinEdit2{0, kMaxCount, 0};  // m, "Число участков с дисками:"

  StringTable StringGrid1{1, 1};  // diameters, column i-1 is section i
  StringTable StringGrid2{1, 1};  // section number of disc j in column j-1
  StringTable StringGrid3{1, 1};  // width of disc j in column j-1
  StringTable StringGrid4{1, 1};  // EI of section i in column i-1, computed: not edited by hand

  bool operator==(const TMainFormJestkModel&) const = default;

  // The counts as the handlers use them: the integer of the spin edit's text
  // (0 when it is not an integer) within 0..kMaxCount.
  int SectionCount() const { return SpinEdit1.ClampedValue(); }
  int DiscCount() const { return SpinEdit2.ClampedValue(); }

  SpinEditState& Spin(JestkCount which) {
    return which == JestkCount::Sections ? SpinEdit1 : SpinEdit2;
  }
  // Typed text: the change handler runs when the text actually changes.
  void SetSpinText(JestkCount which, std::string text);
  // A value set from code: clamped, then the handler runs when the text changed.
  void SetSpinValue(JestkCount which, int value);
  // Leaving the control clamps it; the handler runs when the text changed.
  void LeaveSpin(JestkCount which);
  // Ticks or unticks the check box; its click handler runs on a change.
  void SetCheckBox1(bool checked);

  // Opening from the main form's "Расчет жесткосткостей": shown modeless, then
  // the section count is set to the main form's KM.
  void Open(const TMainFormModel& mainForm);

  void SpinEdit1Change();  // StringGrid1 gets n columns (at least one)
  void SpinEdit2Change();  // StringGrid2 and StringGrid3 get m columns (at least one)
  void CheckBox1Click();

  // "Расчет": EI of every section from the diameters, the bore and the modulus,
  // written as EI divided by the units' divisor in the general format into
  // StringGrid4. Each section's result is written before the next diameter is
  // read, so a failure leaves the earlier sections freshly computed and the
  // later cells as they were. Throws Failure (FieldNotReal, naming the field)
  // for a text that is not a number and CalcError for a disc on a zero
  // diameter, a negative width-to-diameter ratio or an overflow.
  void BitBtn1Click(char decimalSeparator);

  // Another choice of units: the results shown were taken in the old ones and
  // are cleared.
  void SetUnits(JestkUnits units);

  // "Передать": computes EI from the fields as they are now (a failure throws
  // as "Расчет" does and transfers nothing), then sets the main form's section
  // count to n (the main form clamps it to its own limits), copies result cells
  // 1..n into row 3 of its section grid, and hides the calculator.
  void BitBtn2Click(TMainFormModel& mainForm, char decimalSeparator);
  // What "Передать" would lose: the main form's sections beyond n, when it has
  // more (ErrorCode::TransferShrinks), asked about before the transfer.
  std::optional<Error> TransferLoss(const TMainFormModel& mainForm) const;

  // "Вернуться".
  void BitBtn3Click() { Visible = false; }

  // The factor k for a ratio b/d, linear between knots, exactly the knot's
  // factor at a knot, the last knot's factor above the last ratio. A negative
  // ratio (or NaN) has no factor: returns false and leaves k unchanged.
  static bool Nomogramma(double ratio, double& k);

 private:
  void Changed(JestkCount which);
};

}  // namespace vp
