#pragma once
// The natural frequencies across the stiffness variants: one line per mode,
// followed from variant to variant by the likeness of its deflection shape
// (the modal assurance criterion), not only by its number, with the points
// where a mode's number within its variant changes marked.

#include <string>
#include <vector>

#include "results_summary.h"

namespace vp {

struct MapPoint {
  int variant = 0;
  double F = 0;          // the reported frequency
  int k = 0;             // the frequency's number within its variant
  bool orderChanged = false;  // its number differs from the line's previous point
};

struct MapLine {
  std::string name;       // "Частота № k", or "... (с варианта v)" for a line that starts later
  std::string shortName;  // "№ k", or "№ k (в. v)", for a small legend
  std::vector<MapPoint> points;  // in increasing variant
};

// Shapes alike beyond this MAC are the same mode in neighbouring variants.
inline constexpr double kSameModeMac = 0.5;

// MAC of two deflection shapes: (a.b)^2 / ((a.a)(b.b)); 0 for a zero shape.
double Mac(const std::vector<State>& a, const std::vector<State>& b);

std::vector<MapLine> BuildFrequencyMap(const ResultsSummary& summary);

}  // namespace vp
