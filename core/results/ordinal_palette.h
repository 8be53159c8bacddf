#pragma once
// The colour of the line of each frequency ordinal on the maps, the same on
// every chart: in the windows, on paper and in the exported workbook.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace vp {

struct OrdinalRgb {
  uint8_t r, g, b;
};

// The n-th line (from 0): twenty colours chosen far apart from each other
// and from black (the marks) and white (the background), then colours of hues
// a golden angle apart, darker and lighter by turns, so that no two lines of a
// map share a colour.
inline OrdinalRgb OrdinalColourRgb(size_t n) {
  static constexpr OrdinalRgb kColours[] = {
      {31, 119, 180}, {214, 39, 40},  {44, 160, 44},   {255, 127, 14}, {148, 103, 189}, {140, 86, 75},  {23, 190, 207},
      {227, 119, 194}, {188, 189, 34}, {0, 0, 128},    {240, 0, 255},  {0, 0, 255},     {0, 90, 60},    {0, 105, 255},
      {255, 0, 120},  {150, 105, 0},  {150, 165, 105}, {165, 0, 165},  {150, 15, 75},   {0, 180, 135}};
  if (n < std::size(kColours)) return kColours[n];
  const double hue = std::fmod(static_cast<double>(n) * 137.50776405003785, 360.0) / 60;
  const double value = n % 2 ? 0.6 : 0.85, chroma = value * 0.85, low = value - chroma;
  const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(hue)) {
    case 0: r = chroma, g = x; break;
    case 1: r = x, g = chroma; break;
    case 2: g = chroma, b = x; break;
    case 3: g = x, b = chroma; break;
    case 4: r = x, b = chroma; break;
    default: r = chroma, b = x; break;
  }
  auto byte = [low](double c) { return static_cast<uint8_t>(std::lround(255 * (c + low))); };
  return {byte(r), byte(g), byte(b)};
}

// The same as 0xRRGGBB.
inline unsigned OrdinalColourValue(size_t n) {
  const OrdinalRgb c = OrdinalColourRgb(n);
  return (unsigned(c.r) << 16) | (unsigned(c.g) << 8) | c.b;
}

}  // namespace vp
