#pragma once
// The natural frequencies across the stiffness variants, one line per true
// ordinal. Along any path between two stiffness variants the k-th natural
// frequency of the symmetric problem K - w^2 M is a continuous branch (the k-th
// eigenvalue is a continuous function of K by the Courant-Fischer minimax
// characterisation, which also makes it rise when springs stiffen), so the
// frequencies of one ordinal belong together; a frequency the sweep passed
// over leaves a gap in its line instead of shifting the others. Between
// neighbouring variants the likeness of the same-ordinal mode shapes (MAC, the
// modal assurance criterion of R. J. Allemang and D. L. Brown, 1982) is
// kept as information: a low value shows that the shape changed strongly (the
// branches veer). Beside each line, the continuous shaft's frequencies of the
// same ordinal.

#include <optional>
#include <span>
#include <vector>

#include "results_summary.h"

namespace vp {

struct MapLine {
  int ordinal = 0;
  std::vector<std::optional<double>> frequencies;  // per variant of the map: F, or none
  std::vector<std::optional<double>> mac;          // per pair of neighbouring variants, when both have F
  std::vector<std::optional<double>> continuous;   // per variant: the continuous shaft's F of the ordinal, or none
};

struct FrequencyMap {
  std::vector<int> variants;   // the variant numbers, ascending
  std::vector<MapLine> lines;  // ascending by ordinal

  // Only two or more variants make a map to draw.
  bool Drawn() const { return variants.size() >= 2 && !lines.empty(); }
};

// Below this MAC the shapes of one ordinal in neighbouring variants differ strongly.
inline constexpr double kLowMac = 0.8;

// The likeness of two mode shapes on the whole state, between 0 and 1 and
// independent of each shape's scale and sign. Each quantity (deflection,
// slope, moment, shear force) is weighed by the size it has in the two shapes,
// so that none dominates by its units: with per quantity q the sums
// ab_q = a_q.b_q, aa_q, bb_q and w_q = 1 / sqrt(aa_q bb_q),
// MAC = (sum w_q ab_q)^2 / ((sum w_q aa_q)(sum w_q bb_q)).
// A quantity that is zero in either shape is left out; 0 when nothing is left.
double Mac(std::span<const State> a, std::span<const State> b);

// The map of every variant of the summary from the ordinals of its check; a
// variant whose check could not count has no frequency on any line.
FrequencyMap BuildFrequencyMap(const ResultsSummary& summary);

}  // namespace vp
