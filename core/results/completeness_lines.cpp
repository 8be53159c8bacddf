#include "completeness_lines.h"

#include <algorithm>

#include "messages.h"
#include "numtext.h"

namespace vp {

std::string OrdinalNote(int k, int ordinal) {
  if (ordinal < 0 || ordinal == k) return "";
  return ordinal > 0 ? "собственная № " + std::to_string(ordinal) : "не собственная";
}

std::string RefinedNote(const VariantResult& v, int k, double factor, char sep) {
  const std::vector<std::optional<double>>& refined = v.completeness.refined;
  if (k < 1 || k > static_cast<int>(refined.size()) || !refined[k - 1]) return "";
  return "уточнено: " + Digits(*refined[k - 1] * factor, 12, sep);
}


std::string RejectedReason(const RejectedValue& r, double factor, char sep) {
  const auto P = [&](double omega) { return SixDigits(omega * factor, sep); };
  std::string what;
  switch (r.cause) {
    case RejectedValue::Cause::SignChange: what = "смена знака определителя на шаге от " + P(r.low) + " до " + P(r.high); break;
    case RejectedValue::Cause::RefinedSignChange: what = "уточненная смена знака определителя"; break;
    case RejectedValue::Cause::SmallDeterminant: what = "определитель по модулю меньше точности его вычисления"; break;
    case RejectedValue::Cause::ZeroDeterminant: what = "определитель равен нулю"; break;
  }
  return what + ", а собственных частот от " + P(r.from) + " до " + P(r.to) + (r.takenWithin ? ", кроме уже найденных," : "") +
         " нет";
}

std::vector<std::string> CompletenessLines(const VariantResult& v, double factor, char sep) {
  if (!v.solved) return {};
  const CompletenessReport& r = v.completeness;
  const std::string variant = "Вариант № " + std::to_string(v.variant) + ": ";
  if (!r.checked)
    return {variant + "найдено частот: " + std::to_string(v.modes.size()) +
            "; проверить, все ли частоты диапазона найдены, нельзя (" + (r.problem ? Message(*r.problem) : "") + ")."};
  std::vector<std::string> lines{variant + "найдено " + std::to_string(r.Confirmed()) + " из " +
                                 std::to_string(r.inRange) + " собственных частот диапазона от " +
                                 SixDigits(r.start * factor, sep) + " до " + SixDigits(r.end * factor, sep) + "."};
  if (v.endedEarly)
    lines.back() += " Поиск окончен на частоте " + SixDigits(v.endedAt * factor, sep) +
                    ": выше нее до верхней границы диапазона собственных частот нет.";
  if (!r.missed.empty()) {
    std::string line = std::string(kAttention) + "пропущены частоты в диапазонах ";
    for (size_t i = 0; i < r.missed.size(); ++i)
      line += (i ? "; " : "") + SixDigits(r.missed[i].first * factor, sep) + " - " + SixDigits(r.missed[i].second * factor, sep);
    line += r.stepBelowPrecision
                ? ". Шаг по частоте при поиске k-й частоты меньше точности вычисления k-й собственной частоты: "
                  "задайте шаг больше точности, чтобы найти их."
                : ". Уменьшите шаг по частоте при поиске k-й частоты, чтобы найти их.";
    lines.push_back(line);
  }
  std::string numbers, values;
  int doubtful = 0;
  for (size_t i = 0; i < r.ordinals.size() && i < v.modes.size(); ++i)
    if (r.ordinals[i] == 0) {
      numbers += (doubtful ? ", N " : "N ") + std::to_string(i + 1);
      values += (doubtful ? "; " : "") + SixDigits(v.modes[i].F, sep);
      ++doubtful;
    }
  if (doubtful > 0) {
    std::string line = kAttention + std::string(doubtful == 1 ? "частота " : "частоты ") + numbers + " (P = " +
                       values + (doubtful == 1 ? ") не является собственной частотой" : ") не являются собственными частотами") +
                       ": вблизи " + (doubtful == 1 ? "нее" : "них") + " собственных частот нет. ";
    line += r.stepBelowPrecision
                ? "Шаг по частоте при поиске k-й частоты меньше точности вычисления k-й собственной частоты, "
                  "и частота принимается на втором же шаге поиска, где бы она ни была."
                : "Определитель там на уровне ошибок округления: частота принята по его малости или по смене "
                  "знака, вызванной округлением.";
    lines.push_back(line);
  }
  if (v.rejectedTotal > 0) {
    constexpr int kListed = 10;
    lines.push_back("Отклонено значений: " + std::to_string(v.rejectedTotal) +
                    " (ошибки округления определителя: собственной частоты в пределах шага поиска у них нет); "
                    "номеров частот они не получили, поиск продолжен за ними. Ошибки округления тем меньше, чем "
                    "короче пролеты: разбейте вал на большее число пролетов, чтобы найти и частоты, скрытые ими.");
    const int listed = std::min(static_cast<int>(v.rejected.size()), kListed);
    for (int i = 0; i < listed; ++i)
      lines.push_back("  P = " + SixDigits(v.rejected[i].high * factor, sep) + ": " +
                      RejectedReason(v.rejected[i], factor, sep) + ".");
    if (v.rejectedTotal > listed) lines.push_back("  и еще " + std::to_string(v.rejectedTotal - listed) + ".");
  }
  for (int k = 1; k <= static_cast<int>(v.modes.size()); ++k) {
    const std::string note = RefinedNote(v, k, factor, sep);
    if (note.empty()) continue;
    lines.push_back(kAttention + std::string("частота N ") + std::to_string(k) + " (P = " +
                    GeneralFormat(v.modes[k - 1].F, sep) + ") неточна, " + note + " - собственная частота № " +
                    std::to_string(r.ordinals[k - 1]) + ", найденная по числу собственных частот; принятая частота " +
                    "отличается от нее больше, чем на точность вычисления k-й собственной частоты.");
  }
  return lines;
}

StringTable FrequenciesWithOrdinals(const StringTable& frequencies, const ResultsSummary& summary, char sep) {
  StringTable table = frequencies;
  for (const VariantResult& v : summary.variants) {
    if (!v.completeness.checked || v.variant >= table.RowCount()) continue;
    const std::vector<int>& ordinals = v.completeness.ordinals;
    for (int k = 1; k <= static_cast<int>(ordinals.size()) && k < table.ColCount(); ++k) {
      const std::string& text = table.Cell(k, v.variant);
      const int ordinal = ordinals[k - 1];
      std::string notes = OrdinalNote(k, ordinal);
      if (const std::string refined = RefinedNote(v, k, summary.reportFactor, sep); !refined.empty())
        notes += (notes.empty() ? "" : "; ") + refined;
      if (text.empty() || notes.empty()) continue;
      table.SetCell(k, v.variant, text + " (" + notes + ")");
    }
  }
  return table;
}

std::vector<std::string> WarningLines(const ResultsSummary& summary) {
  std::vector<std::string> lines;
  for (const Error& warning : summary.warnings) lines.push_back(Message(warning));
  return lines;
}

std::vector<std::string> CompletenessLines(const ResultsSummary& summary, double factor, char sep) {
  std::vector<std::string> lines;
  for (const VariantResult& v : summary.variants)
    for (std::string& line : CompletenessLines(v, factor, sep)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace vp
