#include "search_estimate.h"

#include <algorithm>
#include <cmath>

#include "fpcheck.h"
#include "frequency_count.h"
#include "sob.h"

namespace vp {

namespace {

// The smallest x in (a, b] with CountBelow(x) >= count, to a thousandth of x;
// the ratio of the bounds is halved while they are orders of magnitude apart.
double FrequencyWithCount(const FrequencyCounter& counter, int count, double a, double b) {
  for (int step = 0; step < 200 && b - a > 1e-3 * b; ++step) {
    const double mid = a > 0 && b > 4 * a ? std::sqrt(a * b) : 0.5 * (a + b);
    (counter.CountBelow(mid) >= count ? b : a) = mid;
  }
  return b;
}

struct Walk {
  double end = 0;  // where the forward walk ends
  int found = 0;   // natural frequencies on the way
};

// Where the walk of one variant ends; false when the count overflows.
bool WalkOf(const FrequencyCounter& counter, const TSearchParams& P, int wanted, Walk& walk) {
  const double F1 = P[kStart], FK = P[kUpper];
  double low = std::max(F1, 0.0);
  for (int pass = 0; pass < 2; ++pass) {
    ClearFaults();
    const int below = counter.CountBelow(low);
    walk.found = std::min(wanted, counter.CountBelow(FK) - below);
    if (walk.found <= 0) {
      walk = {F1 > 0 ? F1 : FK, 0};
    } else {
      walk.end = FrequencyWithCount(counter, below + walk.found, low, FK);
    }
    if (HasFault()) return false;
    // Rigid-body motion, at 0 in exact arithmetic, comes out at rounding-sized
    // frequencies; as in CheckCompleteness, they lie below 1e-5 of the range.
    if (walk.found <= 0 || low >= 1e-5 * walk.end) break;
    low = 1e-5 * walk.end;
  }
  return true;
}

}  // namespace

SearchEstimate EstimateSearch(const TShaftModel& model, const TSearchParams& P) {
  SearchEstimate estimate;
  const double F1 = P[kStart], FT1 = P[kStep], FK = P[kUpper], EPSF = P[kFreqEps];
  const int wanted = std::max(model.KP, 1);
  double from = F1, to = F1;  // the range the walks cover
  for (int v = 1; v <= model.KW; ++v) {
    const FrequencyCounter counter(model, v);
    if (!counter.Problem().empty()) return {};
    if (F1 > FK) continue;  // the first trial is already beyond FK
    if (FT1 < EPSF) {       // the second trial of every search is accepted
      estimate.trials += 2.0 * wanted;
      to = std::max(to, F1 + wanted * (FT1 + 0.01));
      continue;
    }
    Walk walk;
    if (!WalkOf(counter, P, wanted, walk)) return {};
    const double rounds = std::ceil(std::log(FT1 / EPSF) / std::log(P[kStepDivisor])) + 1;
    estimate.trials += (walk.end - F1) / FT1 + 1 + walk.found * rounds * (P[kStepDivisor] + 1);
    to = std::max(to, walk.end);
  }
  if (estimate.trials == 0) return {true, 0, 0};
  const double perTrial = SecondsPerTrial(model, from, std::min(to, FK));
  if (!(perTrial > 0)) return {};
  estimate.made = true;
  estimate.seconds = estimate.trials * perTrial;
  return estimate;
}

}  // namespace vp
