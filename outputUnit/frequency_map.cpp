#include "frequency_map.h"

#include <algorithm>
#include <tuple>

namespace vp {

double Mac(const std::vector<State>& a, const std::vector<State>& b) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    ab += a[i][0] * b[i][0];
    aa += a[i][0] * a[i][0];
    bb += b[i][0] * b[i][0];
  }
  return aa > 0 && bb > 0 ? ab * ab / (aa * bb) : 0;
}

std::vector<MapLine> BuildFrequencyMap(const ResultsSummary& summary) {
  std::vector<const VariantResult*> variants;
  for (const VariantResult& v : summary.variants) variants.push_back(&v);
  std::sort(variants.begin(), variants.end(), [](auto* a, auto* b) { return a->variant < b->variant; });

  std::vector<MapLine> lines;
  std::vector<const ModeData*> lastShape;  // per line: its mode in the previous variant, or null
  for (const VariantResult* v : variants) {
    const auto& modes = v->modes;
    // Pairs of a continuing line and a mode of this variant, most alike first.
    std::vector<std::tuple<double, int, int>> pairs;
    for (size_t l = 0; l < lines.size(); ++l)
      if (lastShape[l])
        for (size_t m = 0; m < modes.size(); ++m) {
          const double mac = Mac(lastShape[l]->states, modes[m].states);
          if (mac >= kSameModeMac) pairs.emplace_back(mac, static_cast<int>(l), static_cast<int>(m));
        }
    std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
    std::vector<int> lineOfMode(modes.size(), -1);
    std::vector<bool> lineTaken(lines.size(), false);
    for (const auto& [mac, l, m] : pairs)
      if (!lineTaken[l] && lineOfMode[m] < 0) {
        lineTaken[l] = true;
        lineOfMode[m] = l;
      }
    std::vector<const ModeData*> nextShape(lines.size(), nullptr);
    for (size_t m = 0; m < modes.size(); ++m) {
      const int k = static_cast<int>(m) + 1;
      int l = lineOfMode[m];
      if (l < 0) {
        const bool first = v == variants.front();
        const std::string from = std::to_string(v->variant);
        lines.push_back({"Частота № " + std::to_string(k) + (first ? "" : " (с варианта " + from + ")"),
                         "№ " + std::to_string(k) + (first ? "" : " (в. " + from + ")"), {}});
        nextShape.push_back(nullptr);
        l = static_cast<int>(lines.size()) - 1;
      }
      MapLine& line = lines[l];
      const bool changed = !line.points.empty() && line.points.back().k != k;
      line.points.push_back({v->variant, modes[m].F, k, changed});
      nextShape[l] = &modes[m];
    }
    lastShape = std::move(nextShape);
  }
  return lines;
}

}  // namespace vp
