#pragma once
// The colour of the line of each frequency ordinal on the maps, the same on
// every chart: in the windows, on paper and in the exported workbook.

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace vp {

struct OrdinalRgb {
  uint8_t r, g, b;
};

// The n-th line (from 0).
inline OrdinalRgb OrdinalColourRgb(size_t n) {
  static constexpr OrdinalRgb kColours[] = {{31, 119, 180}, {214, 39, 40},   {44, 160, 44},  {255, 127, 14},
                                            {148, 103, 189}, {140, 86, 75},  {23, 190, 207}, {227, 119, 194},
                                            {188, 189, 34},  {0, 0, 128}};
  return kColours[n % std::size(kColours)];
}

// The same as 0xRRGGBB.
inline unsigned OrdinalColourValue(size_t n) {
  const OrdinalRgb c = OrdinalColourRgb(n);
  return (unsigned(c.r) << 16) | (unsigned(c.g) << 8) | c.b;
}

}  // namespace vp
