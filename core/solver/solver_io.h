#pragma once
// What the solver needs from the outside world: where results go, how a
// message is shown, and how a long search reports progress and is stopped.

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace vp {

// (y, theta, M, Q): deflection, slope, bending moment, shear force.
using State = std::array<double, 4>;

// One found frequency with its mode shape.
struct ModeResult {
  int variant = 0;
  int k = 0;         // number of the frequency within the variant, from 1
  double omega = 0;  // the search variable at acceptance
  double F = 0;      // the reported frequency, omega * P[9]
  int n = 0;         // order of the characteristic system, 4 * KZ
  const std::vector<double>* V = nullptr;       // V[1..n-1]: x2..xn
  const std::vector<State>* states = nullptr;   // states[0..KM]: cross-sections 0..KM
  bool fromNullVector = false;  // the reduced system was singular; see ModeShape
  // Its true ordinal (OrdinalAssigner); 0: no natural frequency within a step
  // of it; -1: not counted.
  int ordinal = -1;
};

// What the search would have taken for a frequency, a sign change of the
// determinant or a value it would have accepted, where the frequency count
// shows no natural frequency within a search step that no accepted frequency
// took: rounding noise of the determinant. It takes no number and the walk
// goes on past it.
struct RejectedValue {
  enum class Cause {
    SignChange,         // the sign changed over the step [low, high]; not refined
    RefinedSignChange,  // the refined value of a sign change
    SmallDeterminant,   // |det| < EPS
    ZeroDeterminant,    // det = 0 exactly
  };
  Cause cause = Cause::SignChange;
  double low = 0, high = 0;  // the search variable: the value (low = high), or the step
  double from = 0, to = 0;   // the range the count looked at: a search step beyond both
  bool takenWithin = false;  // natural frequencies lie there, each taken by an accepted one
};

class SolverOutput {
 public:
  virtual ~SolverOutput() = default;
  // Frequency k of a variant has been accepted; its mode is not known yet.
  virtual void FrequencyEntry(int variant, int k, double F) = 0;
  // The mode shape of that frequency.
  virtual void SectionResults(const ModeResult& mode) = 0;
  // The walk of a variant ended at omega, below FK, because no natural
  // frequency lies between omega and FK.
  virtual void WalkEndedEarly(int /*variant*/, double /*omega*/) {}
  // A value the search rejected, in the order met.
  virtual void Rejected(int /*variant*/, const RejectedValue& /*value*/) {}
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

// Where a search stands: written by the thread that computes, at every trial,
// and read by any other thread at any time.
struct SearchProgress {
  std::atomic<int> variant{0};
  std::atomic<double> omega{0};      // the trial frequency (search variable)
  std::atomic<long long> trials{0};  // trials made so far, over all variants
  // The trials the whole search is estimated to take (EstimateSearch); 0 when
  // no estimate could be made. Set before the search starts.
  std::atomic<double> expected{0};

  // One trial at omega (by the computing thread, the only writer).
  void Trial(double at) {
    omega.store(at, std::memory_order_relaxed);
    trials.store(trials.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  }
  // The share of the estimated trials made, in whole percent: at most 99
  // while the search goes on (an estimate is no promise); -1 without one.
  int Percent() const {
    const double total = expected.load(std::memory_order_relaxed);
    if (!(total > 0)) return -1;
    const double share = 100.0 * static_cast<double>(trials.load(std::memory_order_relaxed)) / total;
    return share < 99 ? static_cast<int>(share) : 99;
  }
};

}  // namespace vp
