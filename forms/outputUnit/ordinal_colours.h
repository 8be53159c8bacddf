#pragma once
// The colour of the line of each frequency ordinal on the maps, the same on
// every chart.

#include <QColor>
#include <iterator>

namespace vp {

// The n-th line (from 0).
inline QColor OrdinalColour(size_t n) {
  static const QColor kColours[] = {QColor(31, 119, 180), QColor(214, 39, 40),   QColor(44, 160, 44),
                                    QColor(255, 127, 14), QColor(148, 103, 189), QColor(140, 86, 75),
                                    QColor(23, 190, 207), QColor(227, 119, 194), QColor(188, 189, 34),
                                    QColor(0, 0, 128)};
  return kColours[n % std::size(kColours)];
}

}  // namespace vp
