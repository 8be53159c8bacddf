#include "shaft_drawing.h"

#include <algorithm>
#include <cmath>

#include "shaft_geometry.h"

namespace vp {

std::vector<double> CrossSectionX(const TShaftModel& model) {
  std::vector<double> x{0};
  for (int i = 1; i <= model.KM; ++i) x.push_back(model.SectionX[i]);
  return x;
}

ShaftDrawing DrawShaft(const TShaftModel& model) {
  ShaftDrawing d;
  const std::vector<double> x = CrossSectionX(model);
  d.length = x.back();
  const ShaftGeometry shaft(model, 1);
  const int E = shaft.LastCrossSection();
  double tallest = 0;
  for (int i = 1; i <= model.KM; ++i) {
    const double l = model.SectionLength[i], EI = model.SectionEI[i];
    if (l > 0) {
      const double h = EI > 0 && std::isfinite(EI) ? std::pow(EI, 0.25) : 0;
      tallest = std::max(tallest, h);
      d.boxes.push_back({i, x[i - 1], x[i], h, i <= E});
    } else if (model.SectionMass[i] > 0) {
      d.discs.push_back({i, x[i]});
    }
  }
  for (ShaftDrawing::Box& box : d.boxes) box.height = tallest > 0 ? box.height / tallest : 1;
  // Supports in the order of their numbers, gathered per cross-section.
  std::vector<ShaftGeometry::Support> supports = shaft.Supports();
  std::stable_sort(supports.begin(), supports.end(),
                   [](const auto& a, const auto& b) { return a.crossSection < b.crossSection; });
  for (size_t s = 0; s < supports.size(); ++s) {
    if (s == 0 || supports[s].crossSection != supports[s - 1].crossSection)
      d.springs.push_back({{}, x[supports[s].crossSection]});
    d.springs.back().numbers.push_back(supports[s].number);
  }
  return d;
}

std::vector<double> NodesOf(const std::vector<double>& x, const std::vector<double>& y) {
  double largest = 0;
  for (double v : y) largest = std::max(largest, std::fabs(v));
  const double zero = 1e-9 * largest;
  std::vector<double> nodes;
  if (largest == 0) return nodes;
  int last = -1;  // the last place with a value beyond zero
  for (int i = 0; i < static_cast<int>(std::min(x.size(), y.size())); ++i) {
    if (std::fabs(y[i]) <= zero) continue;
    if (last >= 0 && (y[i] > 0) != (y[last] > 0)) {
      if (i == last + 1)
        nodes.push_back(x[last] + (x[i] - x[last]) * y[last] / (y[last] - y[i]));
      else
        nodes.push_back(0.5 * (x[last + 1] + x[i - 1]));
    }
    last = i;
  }
  return nodes;
}

}  // namespace vp
