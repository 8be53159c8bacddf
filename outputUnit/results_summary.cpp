#include "results_summary.h"

#include <cstdio>
#include <cstdlib>

#include "numtext.h"

namespace vp {

namespace {

// Six significant digits are enough to say where a frequency lies.
std::string Short(double value, char sep) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", value);
  return GeneralFormat(std::strtod(buf, nullptr), sep);
}

}  // namespace

std::vector<std::string> CompletenessLines(const ResultsSummary& summary, double factor, char sep) {
  std::vector<std::string> lines;
  for (const VariantResult& v : summary.variants) {
    if (!v.solved) continue;
    const CompletenessReport& r = v.completeness;
    std::string line = "Вариант № " + std::to_string(v.variant) + ": ";
    if (!r.checked) {
      lines.push_back(line + "найдено частот: " + std::to_string(v.modes.size()) +
                      "; проверить, все ли частоты диапазона найдены, нельзя (" + r.problem + ").");
      continue;
    }
    line += "найдено " + std::to_string(r.found) + " из " + std::to_string(r.inRange) +
            " собственных частот диапазона от " + Short(r.start * factor, sep) + " до " + Short(r.end * factor, sep) + ".";
    if (v.endedEarly)
      line += " Поиск окончен на частоте " + Short(v.endedAt * factor, sep) +
              ": выше нее до верхней границы диапазона собственных частот нет.";
    if (r.found < r.inRange) {
      line += " Внимание: пропущены частоты в диапазонах ";
      for (size_t i = 0; i < r.missed.size(); ++i)
        line += (i ? ", " : "") + Short(r.missed[i].first * factor, sep) + " - " + Short(r.missed[i].second * factor, sep);
      line += ". Уменьшите шаг по частоте при поиске k-й частоты, чтобы найти их.";
    } else if (r.found > r.inRange) {
      line += " Внимание: найдено больше частот, чем их в диапазоне: часть найденных частот ложные; "
              "уменьшите точность вычисления определителя или шаг по частоте.";
    }
    lines.push_back(line);
  }
  return lines;
}

VariantResult& ResultsSummary::Variant(int v) {
  for (VariantResult& r : variants)
    if (r.variant == v) return r;
  variants.push_back(VariantResult{});
  variants.back().variant = v;
  return variants.back();
}

void SummaryRecorder::SectionResults(const ModeResult& m) {
  ModeData mode;
  mode.omega = m.omega;
  mode.F = m.F;
  mode.states.assign(m.states->begin() + 1, m.states->end());
  mode.solution.assign(m.V->begin() + 1, m.V->begin() + m.n);
  summary_.Variant(m.variant).modes.push_back(std::move(mode));
}

void SummaryRecorder::WalkEndedEarly(int variant, double omega) {
  VariantResult& result = summary_.Variant(variant);
  result.endedEarly = true;
  result.endedAt = omega;
}

}  // namespace vp
