#pragma once
// The colour of the line of each frequency ordinal on the maps, the same on
// every chart.

#include <QColor>

#include "ordinal_palette.h"

namespace vp {

// The n-th line (from 0).
inline QColor OrdinalColour(size_t n) {
  const OrdinalRgb c = OrdinalColourRgb(n);
  return QColor(c.r, c.g, c.b);
}

}  // namespace vp
