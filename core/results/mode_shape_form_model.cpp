#include "mode_shape_form_model.h"

#include <algorithm>

namespace vp {

void TNewFormModel::AddPoint(double x, double y, unsigned color) {
  auto at = std::upper_bound(Series1.begin(), Series1.end(), x,
                             [](double value, const ChartPoint& p) { return value < p.x; });
  Series1.insert(at, ChartPoint{x, y, color});
}

}  // namespace vp
