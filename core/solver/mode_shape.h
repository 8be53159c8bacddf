#pragma once
// The reduced system (deflection at the left end fixed to 1, the first
// equation dropped) and the mode shape at a found frequency.

#include <vector>

#include "characteristic.h"
#include "stop_flag.h"

namespace vp {

// One entry of the solution V: quantity `quantity` of a State (0 y, 1 theta,
// 2 M, 3 Q) at cross-section `crossSection`, after the supports there.
struct SolutionUnknown {
  int quantity, crossSection;
};

// What V[1..n-1] = x2..xn hold, in order. The unknowns of the characteristic
// system are y and theta at cross-section 0 (x1, x2; M = Q = 0 at the free
// end), the four quantities at the end of every span but the last, and y and
// theta at the end of the last (M = Q = 0 there); the reduced system fixes x1.
std::vector<SolutionUnknown> SolutionUnknowns(const TShaftModel& model);

class ModeShape {
 public:
  explicit ModeShape(const ShaftLayout& layout);

  // Copies A[2..n][2..n] column by column into B and -A[2..4][1] into R.
  void Prepare(MatrixView A);

  // Inverts B, solves for V and carries the state along the shaft at omega.
  // Where that solve is undefined (a singular reduced matrix, or a solution
  // that misses the dropped first equation) the mode is taken from a null
  // vector of the characteristic matrix at omega instead.
  // Throws Failure when no finite mode comes out, and (ErrorCode::Interrupted)
  // when `stop` (may be null) is requested before the null vector, the long
  // part, is computed.
  void Compute(double omega, const StopFlag* stop = nullptr);

  // V[1..n-1] = x2..xn; entries above n-1 are 0.
  const std::vector<double>& V() const { return V_; }
  // States[0..KM]: (y, theta, M, Q) at cross-sections 0..KM.
  const std::vector<State>& States() const { return states_; }
  // True when the last mode came from the null vector.
  bool UsedNullVector() const { return usedNullVector_; }

  const std::vector<double>& B() const { return B_; }
  const std::vector<double>& R() const { return R_; }

 private:
  void Propagate(double y0, double omega);
  bool MatchesFirstEquation() const;
  void ComputeFromNullVector(double omega);

  const ShaftLayout& layout_;
  int n_, m_;
  std::vector<double> B_;     // m*m, column by column
  std::vector<double> R_;     // 3 right-hand sides (entry 4 of the old layout is always 0)
  std::vector<double> V_;     // [0..n+1], V_[0] unused
  std::vector<State> states_; // [0..KM]
  std::vector<int> L_, M_;
  std::vector<double> work_;  // n*n characteristic matrix for the null vector
  bool usedNullVector_ = false;
};

}  // namespace vp
