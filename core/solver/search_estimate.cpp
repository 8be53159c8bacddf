#include "search_estimate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "characteristic.h"
#include "fpcheck.h"
#include "frequency_count.h"
#include "mode_shape.h"
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

// Above the rounding-sized frequencies of rigid-body motion (0 in exact
// arithmetic; they grow with the number of sections) and below the elastic
// ones: a millionth of the highest natural frequency, found by steps of four
// decades and then by bisection. 0 when the count overflows first.
double RigidBodyBound(const FrequencyCounter& counter) {
  ClearFaults();
  int total = 0;
  double top = 0;  // the first step with every frequency below it
  for (double x = 1e-20; x < 1e150; x *= 1e4) {
    const int count = counter.CountBelow(x);
    if (HasFault()) break;
    if (count > total) {
      total = count;
      top = x;
    }
  }
  if (top == 0) return 0;
  double a = top / 1e4, b = top;
  while (b > 1.1 * a) {
    const double mid = std::sqrt(a * b);
    (counter.CountBelow(mid) >= total ? b : a) = mid;
  }
  ClearFaults();
  return 1e-6 * b;
}

struct Walk {
  double end = 0;  // where the forward walk ends
  int found = 0;   // natural frequencies on the way
};

// Where the walk of one variant ends; false when the count overflows.
bool WalkOf(const FrequencyCounter& counter, const TSearchParams& P, int wanted, double rigidBound, Walk& walk) {
  const double F1 = P[kStart], FK = P[kUpper];
  const double low = std::max(F1, rigidBound);
  ClearFaults();
  const int below = counter.CountBelow(low);
  walk.found = std::min(wanted, counter.CountBelow(FK) - below);
  if (walk.found <= 0)
    walk = {F1 > 0 && F1 >= rigidBound ? F1 : FK, 0};  // ends at once, or only at FK
  else
    walk.end = FrequencyWithCount(counter, below + walk.found, low, FK);
  return !HasFault();
}

}  // namespace

SearchEstimate EstimateSearch(const TShaftModel& model, const TSearchParams& P) {
  SearchEstimate estimate;
  const double F1 = P[kStart], FT1 = P[kStep], FK = P[kUpper], EPSF = P[kFreqEps];
  const int wanted = std::max(model.KP, 1);
  double from = F1, to = F1;  // the range the walks cover
  double rigidBound = -1;     // of variant 1, for all: springs hardly move it
  for (int v = 1; v <= model.KW; ++v) {
    const FrequencyCounter counter(model, v);
    if (counter.Fault()) return {};
    if (F1 > FK) continue;  // the first trial is already beyond FK
    if (F1 + FT1 > FK) {    // the first trial only records, the second is beyond FK
      estimate.trials += 1;
      continue;
    }
    if (!(F1 + FT1 > F1)) {  // a step below the resolution of F1: the walk ends at its second trial
      estimate.trials += 2;
      continue;
    }
    if (FT1 < EPSF) {       // the second trial of every search is accepted
      estimate.trials += 2.0 * wanted;
      estimate.nullVectors += wanted;
      to = std::max(to, F1 + wanted * (FT1 + 0.01));
      continue;
    }
    if (rigidBound < 0) rigidBound = RigidBodyBound(counter);
    Walk walk;
    if (!WalkOf(counter, P, wanted, rigidBound, walk)) return {};
    // Per frequency: rounds of division of the step until it is below EPSF, each
    // ending on average halfway through the bracket; then the acceptance and the
    // first trial of the next search.
    const double rounds = std::ceil((std::log(FT1) - std::log(EPSF)) / std::log(P[kStepDivisor]));  // FT1 / EPSF may overflow
    estimate.trials += (walk.end - F1) / FT1 + 1 + walk.found * (rounds * (P[kStepDivisor] + 1) / 2 + 2);
    to = std::max(to, walk.end);
  }
  if (estimate.trials == 0) return {true, 0, 0, 0};
  const double perTrial = SecondsPerTrial(model, from, std::min(to, FK));
  if (!(perTrial > 0)) return {};
  estimate.made = true;
  estimate.seconds = estimate.trials * perTrial;
  if (estimate.nullVectors > 0) estimate.seconds += estimate.nullVectors * SecondsPerModeShape(model, F1 + FT1);
  return estimate;
}

double SecondsPerModeShape(const TShaftModel& model, double omega) {
  using Clock = std::chrono::steady_clock;
  constexpr int kRepeats = 3;  // the median of these
  std::vector<double> seconds;
  try {
    CheckCapacities(model, 1);
    const ShaftLayout layout(model, 1);
    const int n = layout.n();
    std::vector<double> storage(n * n, 0.0);
    ModeShape mode(layout);
    for (int i = 0; i < kRepeats; ++i) {
      const Clock::time_point start = Clock::now();
      layout.Assemble(omega, MatrixView{storage.data(), n});
      mode.Prepare(MatrixView{storage.data(), n});
      mode.Compute(omega);
      seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
  } catch (const Failure&) {
    return 0;
  }
  ClearFaults();
  std::sort(seconds.begin(), seconds.end());
  return seconds[kRepeats / 2];
}

double SecondsPerTrial(const TShaftModel& model, double from, double to) {
  using Clock = std::chrono::steady_clock;
  // Short batches, of which the median is taken: a batch in which another
  // program had the processor does not count.
  constexpr int kBatch = 16, kBatches = 31, kPoints = 256;
  std::vector<double> batchSeconds;
  try {
    CheckCapacities(model, 1);
    const ShaftLayout layout(model, 1);
    const int n = layout.n();
    std::vector<double> storage(n * n, 0.0);
    for (int batch = 0, done = 0; batch < kBatches; ++batch) {
      const Clock::time_point start = Clock::now();
      for (int i = 0; i < kBatch; ++i, ++done) {
        layout.Assemble(from + (to - from) * (done % kPoints + 0.5) / kPoints, MatrixView{storage.data(), n});
        double det = 0;
        int exponent = 0;
        CharacteristicDeterminant(MatrixView{storage.data(), n}, n, det, exponent);
      }
      batchSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
  } catch (const Failure&) {
    return 0;
  }
  ClearFaults();
  std::nth_element(batchSeconds.begin(), batchSeconds.begin() + kBatches / 2, batchSeconds.end());
  return batchSeconds[kBatches / 2] / kBatch;
}

}  // namespace vp
