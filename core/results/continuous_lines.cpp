#include "continuous_lines.h"

#include <algorithm>
#include <cmath>

#include "completeness_lines.h"
#include "messages.h"
#include "numtext.h"

namespace vp {

namespace {

const char* const kAdvice =
    "Внимание: отличие больше 1 % (знак !) - участки слишком длинные: разбейте вал на большее число более коротких "
    "участков.";

std::string Unsolvable(const VariantResult& v) {
  return "Вариант № " + std::to_string(v.variant) + ": непрерывная модель вала не рассчитана: " + Message(*v.continuous.problem) +
         ".";
}

// (lumped - continuous) / continuous.
double Difference(double lumped, double continuous) { return (lumped - continuous) / continuous; }
bool Large(double difference) { return !(std::fabs(difference) <= kLargeDifference); }

// A relative difference in per cent with its sign and two decimals.
std::string Percent(double difference, char sep) {
  const std::string text = FixedFormat(100 * difference, 2, sep);
  return text[0] == '-' ? text : "+" + text;
}
std::string Mark(double difference) { return Large(difference) ? std::string(" ") + kLargeDifferenceMark : ""; }
// "отличие -1.06 % !" of the lumped frequency from the continuous one (search variable).
std::string DifferenceText(double lumped, double continuous, char sep) {
  const double difference = Difference(lumped, continuous);
  return "отличие " + Percent(difference, sep) + " %" + Mark(difference);
}

// "97.6888 Гц, 5861.33 об/мин" of the search variable omega.
std::string HertzAndRpm(double omega, char sep) {
  return SixDigits(Hertz(omega), sep) + " Гц, " + SixDigits(Rpm(omega), sep) + " об/мин";
}

// The true ordinal of found frequency i; 0 where it has none.
int OrdinalOf(const VariantResult& v, size_t i) {
  return i < v.completeness.ordinals.size() ? v.completeness.ordinals[i] : 0;
}

std::string FrequencyName(const VariantResult& v, size_t i) {
  const int ordinal = OrdinalOf(v, i);
  std::string name = "Частота № " + std::to_string(i + 1);
  if (ordinal > 0 && ordinal != static_cast<int>(i) + 1) name += " (" + OrdinalNote(static_cast<int>(i) + 1, ordinal) + ")";
  return name;
}

// Why a found frequency of this true ordinal (0: none) has nothing to compare with.
std::string NoCounterpart(int ordinal) {
  return ordinal > 0 ? "собственной частоты № " + std::to_string(ordinal) + " в диапазоне нет"
                     : "нет (номер собственной частоты не определен)";
}
std::string NoCounterpart(const VariantResult& v, size_t i) { return NoCounterpart(OrdinalOf(v, i)); }

bool AnyLarge(const VariantResult& v) {
  for (size_t i = 0; i < v.modes.size() && i < v.continuous.sameOrdinal.size(); ++i)
    if (v.continuous.sameOrdinal[i] && Large(Difference(v.modes[i].omega, *v.continuous.sameOrdinal[i]))) return true;
  return false;
}

}  // namespace

std::optional<std::string> NoContinuousReason(const VariantResult& v, size_t i) {
  const ContinuousComparison& c = v.continuous;
  if (i < c.sameOrdinal.size() && c.sameOrdinal[i]) return std::nullopt;
  if (c.problem) return "не вычислена: " + Message(*c.problem);
  return OrdinalOf(v, i) > 0 ? "вне диапазона" : "не вычислена: номер собственной частоты не определен";
}

std::vector<std::string> ContinuousLines(const VariantResult& v, double factor, char sep) {
  const ContinuousComparison& c = v.continuous;
  if (!c.made) return {};
  if (c.problem) return {Unsolvable(v)};
  const std::string count = c.inRange.size() < static_cast<size_t>(kMaxContinuousInRange)
                                ? std::to_string(c.inRange.size())
                                : "не менее " + std::to_string(kMaxContinuousInRange);
  std::vector<std::string> lines{"Вариант № " + std::to_string(v.variant) +
                                 ": непрерывная модель вала (масса каждого участка распределена по его длине), "
                                 "собственных частот в диапазоне от " +
                                 SixDigits(c.low * factor, sep) + " до " + SixDigits(c.high * factor, sep) + ": " +
                                 count + "; Гц и об/мин - при единицах СИ."};
  for (size_t i = 0; i < v.modes.size() && i < c.sameOrdinal.size(); ++i) {
    const ModeData& mode = v.modes[i];
    std::string line = FrequencyName(v, i) + ": P = " + Fixed5(mode.F, sep) + " (" + HertzAndRpm(mode.omega, sep) +
                       "); непрерывная модель: ";
    if (const std::optional<double>& omega = c.sameOrdinal[i])
      line += "P = " + Fixed5(*omega * factor, sep) + " (" + HertzAndRpm(*omega, sep) + "); " +
              DifferenceText(mode.omega, *omega, sep);
    else
      line += NoCounterpart(v, i);
    lines.push_back(line);
  }
  if (AnyLarge(v)) lines.push_back(kAdvice);
  return lines;
}

std::vector<std::string> VariantNotes(const ResultsSummary& summary, int variant, char sep) {
  std::vector<std::string> lines = WarningLines(summary);
  for (const VariantResult& v : summary.variants) {
    if (v.variant != variant) continue;
    for (std::string& line : CompletenessLines(v, summary.reportFactor, sep)) lines.push_back(std::move(line));
    for (std::string& line : ContinuousLines(v, summary.reportFactor, sep)) lines.push_back(std::move(line));
  }
  return lines;
}

StringTable ContinuousTable(const ResultsSummary& summary, char sep, std::vector<int>* markedRows) {
  static const char* const kCaptions[] = {"Вариант", "Частота", "Гц*",     "об/мин*",
                                          "Непрерывная модель", "Гц*", "об/мин*", "Отличие, %"};
  StringTable table(static_cast<int>(std::size(kCaptions)), 1);
  for (int c = 0; c < table.ColCount(); ++c) table.SetCell(c, 0, kCaptions[c]);
  if (markedRows) markedRows->clear();
  int row = 1;
  for (const VariantResult& v : summary.variants) {
    const ContinuousComparison& c = v.continuous;
    if (!c.made) continue;
    for (size_t i = 0; i < v.modes.size() && i < c.sameOrdinal.size(); ++i, ++row) {
      table.SetRowCount(row + 1);
      table.SetCell(0, row, "Вариант № " + std::to_string(v.variant));
      table.SetCell(1, row, FrequencyName(v, i));
      table.SetCell(2, row, SixDigits(Hertz(v.modes[i].omega), sep));
      table.SetCell(3, row, SixDigits(Rpm(v.modes[i].omega), sep));
      const std::optional<double>& omega = c.sameOrdinal[i];
      if (!omega) {
        table.SetCell(4, row, c.problem ? "не рассчитана" : NoCounterpart(v, i));
        continue;
      }
      const double difference = Difference(v.modes[i].omega, *omega);
      table.SetCell(4, row, GeneralFormat(*omega * summary.reportFactor, sep));
      table.SetCell(5, row, SixDigits(Hertz(*omega), sep));
      table.SetCell(6, row, SixDigits(Rpm(*omega), sep));
      table.SetCell(7, row, Percent(difference, sep) + Mark(difference));
      if (markedRows && Large(difference)) markedRows->push_back(row);
    }
  }
  return table;
}

std::vector<std::string> ContinuousNotes(const ResultsSummary& summary) {
  std::vector<std::string> lines;
  bool large = false;
  for (const VariantResult& v : summary.variants) {
    if (v.continuous.made && v.continuous.problem) lines.push_back(Unsolvable(v));
    large = large || AnyLarge(v);
  }
  if (large) lines.push_back(kAdvice);
  return lines;
}

std::vector<std::string> ContinuousNotes(const VariantResult& v) {
  std::vector<std::string> lines;
  if (v.continuous.made && v.continuous.problem) lines.push_back(Unsolvable(v));
  if (AnyLarge(v)) lines.push_back(kAdvice);
  return lines;
}

const std::vector<std::string>& FrequencyRowCaptions() {
  static const std::vector<std::string> captions{"№",   "Собственная №", "P",          "Гц*",
                                                 "об/мин*", "Непрерывная модель, P", "Отличие, %"};
  return captions;
}

std::vector<std::vector<std::string>> FrequencyRows(const VariantResult& v, double factor, char sep,
                                                    std::vector<int>* markedRows) {
  std::vector<std::vector<std::string>> rows;
  for (size_t i = 0; i < v.modes.size(); ++i) {
    const ModeData& mode = v.modes[i];
    const int ordinal = OrdinalOf(v, i);
    std::string P = GeneralFormat(mode.F, sep);
    if (const std::string note = RefinedNote(v, static_cast<int>(i) + 1, factor, sep); !note.empty())
      P += " (" + note + ")";
    std::vector<std::string> row{std::to_string(i + 1), ordinal > 0 ? std::to_string(ordinal) : "не определен", P,
                                 SixDigits(Hertz(mode.omega), sep), SixDigits(Rpm(mode.omega), sep)};
    const std::optional<double> omega =
        i < v.continuous.sameOrdinal.size() ? v.continuous.sameOrdinal[i] : std::optional<double>();
    if (omega) {
      const double difference = Difference(mode.omega, *omega);
      row.push_back(GeneralFormat(*omega * factor, sep));
      row.push_back(Percent(difference, sep) + Mark(difference));
      if (markedRows && Large(difference)) markedRows->push_back(static_cast<int>(i));
    } else {
      row.push_back(v.continuous.made ? *NoContinuousReason(v, i) : "");
      row.push_back("");
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string ContinuousModeNote(const VariantResult& v, size_t i, double factor, char sep) {
  const std::optional<double> omega =
      i < v.continuous.sameOrdinal.size() ? v.continuous.sameOrdinal[i] : std::optional<double>();
  if (!omega) return "Непрерывная модель: " + (v.continuous.made ? *NoContinuousReason(v, i) : NoCounterpart(v, i));
  return "Непрерывная модель (штрихом): P = " + GeneralFormat(*omega * factor, sep) + ", " +
         DifferenceText(i < v.modes.size() ? v.modes[i].omega : 0, *omega, sep);
}

ContinuousModeLine::ContinuousModeLine(const ContinuousShaft& shaft, double low, double high, double reportFactor,
                                       char decimalSeparator)
    : shaft_(shaft), low_(low), high_(high), factor_(reportFactor), sep_(decimalSeparator) {}

void ContinuousModeLine::Add(const ModeResult& mode, TNewFormModel& form) {
  const int ordinal = std::max(mode.ordinal, 0);
  form.Series2.clear();
  if (shaft_.Fault()) {
    form.Label8 = "Непрерывная модель вала не рассчитана: " + Message(*shaft_.Fault());
    return;
  }
  const std::optional<double> omega = FrequencyOfOrdinalIn(shaft_, ordinal, low_, high_);
  if (!omega) {
    form.Label8 = "Непрерывная модель: " + NoCounterpart(ordinal);
    return;
  }
  form.Label8 = "Непрерывная модель:\nP= " + GeneralFormat(*omega * factor_, sep_) + "\n" + HertzAndRpm(*omega, sep_) +
                "\n(при единицах СИ)\n" + DifferenceText(mode.omega, *omega, sep_);
  const ContinuousMode shape = shaft_.Mode(*omega);
  const int last = std::min(static_cast<int>(shape.y.size()), static_cast<int>(mode.states->size())) - 1;
  std::vector<double> lumped;
  for (int i = 0; i <= last; ++i) lumped.push_back((*mode.states)[i][0]);
  const double scale = CompanionScale(lumped, shape.y);
  if (scale == 0) return;
  for (int i = 0; i <= last && i < static_cast<int>(form.crossSectionX.size()); ++i)
    form.Series2.push_back(ChartPoint{form.crossSectionX[i], scale * shape.y[i], kContinuousColour});
}

}  // namespace vp
