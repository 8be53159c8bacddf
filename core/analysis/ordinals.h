#pragma once
// True ordinals of the frequencies a sweep accepted and the check of how many
// natural frequencies its range holds, from the frequency count of the lumped
// shaft (FrequencyCounter).

#include <optional>
#include <utility>
#include <vector>

#include "frequency_count.h"
#include "stop_flag.h"

namespace vp {

// What the sweep of one variant was asked to do (search variable).
struct SweepSettings {
  double start = 0;      // F1
  double end = 0;        // where the sweep stopped looking: FK, or just past its last frequency
  double step = 0;       // FT1
  double precision = 0;  // EPSF
  double upper = 0;      // FK, the top of the range asked for, also where the sweep stopped below it
};

struct CompletenessReport {
  bool checked = false;
  std::optional<Error> problem;  // why the check could not be made
  int found = 0;        // frequencies the sweep accepted
  int inRange = 0;      // natural frequencies between the start and the end of the sweep
  int inWholeRange = 0; // natural frequencies between the start and `upper`, searched or not
  double start = 0, end = 0;  // the range searched (search variable)
  // Frequencies of the shaft (search variable) that the sweep passed over,
  // each isolated to within the resolution, as intervals [low, high].
  std::vector<std::pair<double, double>> missed;
  // Per accepted frequency, in the order found: its true ordinal, one plus the
  // number of non-zero natural frequencies below it; 0 when no natural
  // frequency lies within a search step of it (the frequency is doubtful).
  std::vector<int> ordinals;
  bool stepBelowPrecision = false;  // FT1 < EPSF: every second trial is accepted
  // Per accepted frequency, in the order found: the natural frequency it took
  // (search variable), bisected on the count to a 1e-12 share of it, where that
  // lies farther than EPSF from it (the determinant was rounding noise there);
  // none elsewhere.
  std::vector<std::optional<double>> refined;

  // Accepted frequencies with a natural frequency of their own.
  int Confirmed() const;
};

// Counts the natural frequencies in the range searched (frequencies of
// rigid-body motion at 0 excluded), gives every accepted frequency (search
// variable, in the order found) the natural frequency it brackets (as
// OrdinalAssigner does), refines it where the sweep's value lies off it and,
// where some are left over, locates them. Looks at
// `stop` (may be null) before each frequency it places or locates.
CompletenessReport CheckCompleteness(const TShaftModel& model, int variant, const SweepSettings& sweep,
                                     const std::vector<double>& found, const StopFlag* stop = nullptr);

}  // namespace vp
