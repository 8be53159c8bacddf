#include "results_tables.h"

#include <algorithm>
#include <climits>
#include <string>

#include "completeness_lines.h"
#include "numtext.h"

namespace vp {

namespace {

const char* const kQuantityCaptions[4] = {"Смещение:", "Угол поворота:", "Момент:", "Попер. сила:"};
const char* const kSeparatorText = "-----------------";

std::string NextPointer(int k) { return "частота N " + std::to_string(k + 1) + "->"; }
std::string VariantCaption(int v) { return "Вариант № " + std::to_string(v); }

// A column count of the tables' sizes, which KP of 0 or below (as entered)
// makes negative: none then.
int Columns(long long count) { return static_cast<int>(std::clamp<long long>(count, 0, INT_MAX)); }

}  // namespace

ResultsWriter::ResultsWriter(ResultsTables& tables, TNewFormModel& newForm, const TShaftModel& model,
                             bool showModes, ModeShapeDisplay* display, char decimalSeparator)
    : tables_(tables), newForm_(newForm), model_(model), showModes_(showModes && display),
      display_(display), separator_(decimalSeparator) {
  if (!showModes_) return;
  // The shaft of this run under every mode shape it shows.
  newForm_.crossSectionX = CrossSectionX(model_);
  newForm_.shaft = DrawShaft(model_);
}

std::string ResultsWriter::Real(double value) const { return GeneralFormat(value, separator_); }

void ResultsWriter::FrequencyEntry(int v, int k, double F) {
  StringTable& g = tables_.StringGrid1;
  // As many columns as the variant with the most frequencies needs: a later
  // variant that finds fewer must not hide an earlier variant's frequencies.
  g.SetSize(std::max(g.ColCount(), k + 1), model_.KW + 1);
  g.SetCell(k, 0, "Частота № " + std::to_string(k));
  g.SetCell(0, v, VariantCaption(v));
  g.SetCell(k, v, Real(F));
}

void ResultsWriter::ShowModeShape(const ModeResult& mode) {
  const auto& states = *mode.states;
  const int KM = model_.KM;
  newForm_.StringGrid3.SetColCount(KM);
  newForm_.Label2 = "Вариант по жесткости N " + std::to_string(mode.variant);
  newForm_.Label3 = "Частота N " + std::to_string(mode.k);
  if (const std::string note = OrdinalNote(mode.k, mode.ordinal); !note.empty()) newForm_.Label3 += " (" + note + ")";
  newForm_.Label7 = "P= " + Real(mode.F);
  // The chart along the shaft's length from cross-section 0, the table by section.
  newForm_.AddPoint(0, states[0][0], 0xFF0000);
  for (int i = 1; i <= KM; ++i) {
    newForm_.StringGrid3.SetCell(i - 1, 0, Real(i));
    newForm_.StringGrid3.SetCell(i - 1, 1, Real(states[i][0]));
    newForm_.AddPoint(newForm_.crossSectionX[i], states[i][0], 0xFF0000);
  }
  if (companion_) companion_(mode, newForm_);
  // The rest of the run goes on without them when the user says so.
  if (!display_->ShowModeShape(newForm_)) showModes_ = false;
  newForm_.Series1.clear();
  newForm_.Series2.clear();
  newForm_.Label8.clear();
}

void ResultsWriter::SectionResults(const ModeResult& mode) {
  const int v = mode.variant, k = mode.k, n = mode.n;
  const int KM = model_.KM, KP = model_.KP, KW = model_.KW;
  const auto& states = *mode.states;
  const auto& V = *mode.V;

  if (showModes_) ShowModeShape(mode);

  StringTable& g5 = tables_.StringGrid5;
  g5.SetSize(Columns(1LL * KM * KP), 4 * KW);
  for (int i = 1; i <= KM; ++i)
    for (int q = 1; q <= 4; ++q) g5.SetCell((k - 1) * KM + i - 1, 4 * (v - 1) + q - 1, Real(states[i][q - 1]));

  // The odd sections 1, 3, 5, ... are listed; the block's last column points to
  // the next frequency's block. Its section (2*HalfKM+1) lies beyond the shaft,
  // so its coordinate is not written.
  const int half = HalfKM(KM);
  const int H = half + 1;
  const int b = (k - 1) * H + 2;
  const int row0 = 5 * (v - 1) + 1;  // the four quantities are rows row0+1..row0+4
  StringTable& g2 = tables_.StringGrid2;
  StringTable& g3 = tables_.StringGrid3;
  g2.SetSize(half < 1 ? 1 : half, 2);
  g3.SetSize(Columns(1LL * H * KP + 2), 5 * v + 2);
  g3.SetCell(1, 0, "Номер частоты:");
  g3.SetCell(1, 1, "Номер уч-ка:");
  g3.SetCell(0, row0 + 1, VariantCaption(v));
  for (int q = 1; q <= 4; ++q) g3.SetCell(1, row0 + q, kQuantityCaptions[q - 1]);
  g3.SetCell(0, 5 * v + 1, kSeparatorText);
  g3.SetCell(1, 5 * v + 1, kSeparatorText);
  for (int c = 0; c < H; ++c) {
    const int section = 2 * c + 1;
    if (c < half) {
      g2.SetCell(c, 0, Real(section));
      g2.SetCell(c, 1, Real(model_.SectionX[section]));
    }
    g3.SetCell(b + c, 0, "Частота№ " + std::to_string(k));
    g3.SetCell(b + c, 1, Real(section));
    for (int q = 1; q <= 4; ++q)
      g3.SetCell(b + c, row0 + q, c < half ? Real(states[section][q - 1]) : NextPointer(k));
    g3.SetCell(b + c, 5 * v + 1, kSeparatorText);
  }

  StringTable& g4 = tables_.StringGrid4;
  g4.SetSize(Columns(1LL * n * KP), KW + 1);
  g4.SetCell(0, v, VariantCaption(v));
  for (int r = 1; r <= n - 1; ++r) {
    g4.SetCell(n * (k - 1) + r, 0, Real(r));
    g4.SetCell(n * (k - 1) + r, v, Real(V[r]));
  }
  g4.SetCell(n * k, v, NextPointer(k));
}

}  // namespace vp
