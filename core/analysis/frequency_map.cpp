#include "frequency_map.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vp {

double Mac(std::span<const State> a, std::span<const State> b) {
  double ab = 0, aa = 0, bb = 0;
  for (int q = 0; q < 4; ++q) {
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      sab += a[i][q] * b[i][q];
      saa += a[i][q] * a[i][q];
      sbb += b[i][q] * b[i][q];
    }
    if (!(saa > 0 && sbb > 0) || !std::isfinite(saa * sbb)) continue;
    const double w = 1 / std::sqrt(saa) / std::sqrt(sbb);
    ab += w * sab;
    aa += w * saa;
    bb += w * sbb;
  }
  return aa > 0 && bb > 0 ? ab * ab / aa / bb : 0;
}

namespace {

// A mode's states at cross-sections 1..KM, those of the results tables, over
// which the likeness is taken.
std::span<const State> TableStates(const ModeData& mode) {
  return std::span<const State>(mode.states).subspan(mode.states.empty() ? 0 : 1);
}

}  // namespace

FrequencyMap BuildFrequencyMap(const ResultsSummary& summary) {
  std::vector<const VariantResult*> variants;
  for (const VariantResult& v : summary.variants) variants.push_back(&v);
  std::sort(variants.begin(), variants.end(), [](auto* a, auto* b) { return a->variant < b->variant; });

  // Per ordinal, per variant: the mode of that ordinal.
  std::map<int, std::vector<const ModeData*>> modes;
  for (size_t c = 0; c < variants.size(); ++c) {
    const VariantResult& v = *variants[c];
    const std::vector<int>& ordinals = v.completeness.ordinals;
    for (size_t i = 0; i < v.modes.size() && i < ordinals.size(); ++i) {
      if (ordinals[i] <= 0) continue;  // no natural frequency of its own
      auto& row = modes[ordinals[i]];
      row.resize(variants.size(), nullptr);
      row[c] = &v.modes[i];
    }
  }

  FrequencyMap map;
  for (const VariantResult* v : variants) map.variants.push_back(v->variant);
  for (const auto& [ordinal, row] : modes) {
    MapLine line;
    line.ordinal = ordinal;
    for (const ModeData* mode : row) line.frequencies.push_back(mode ? std::optional<double>(mode->F) : std::nullopt);
    for (const VariantResult* v : variants) {
      const std::optional<double> omega = v->ContinuousOfOrdinal(ordinal);
      line.continuous.push_back(omega ? std::optional<double>(*omega * summary.reportFactor) : std::nullopt);
    }
    for (size_t c = 0; c + 1 < row.size(); ++c)
      line.mac.push_back(row[c] && row[c + 1]
                             ? std::optional<double>(Mac(TableStates(*row[c]), TableStates(*row[c + 1])))
                             : std::nullopt);
    map.lines.push_back(std::move(line));
  }
  return map;
}

}  // namespace vp
