#include "mode_shape.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "errors.h"
#include "fpcheck.h"
#include "minv3.h"

namespace vp {

namespace {

// A propagated state and the solved one agree when they differ by less than
// this share of the shaft's own scale of that quantity.
constexpr double kMatchTolerance = 1e-4;
// A deflection at the left end below this share of the largest deflection
// cannot serve to scale the mode.
constexpr double kNegligibleDeflection = 1e-6;

bool AllFinite(const std::vector<double>& v) {
  return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

}  // namespace

std::vector<SolutionUnknown> SolutionUnknowns(const TShaftModel& model) {
  const int KZ = std::clamp(model.KZ, 0, kMaxSpans);
  if (KZ == 0) return {};
  std::vector<SolutionUnknown> unknowns{{1, 0}};
  for (int j = 1; j <= KZ; ++j)
    for (int q = 0; q < (j < KZ ? 4 : 2); ++q) unknowns.push_back({q, model.SpanEnd[j]});
  return unknowns;
}

ModeShape::ModeShape(const ShaftLayout& layout)
    : layout_(layout), n_(layout.n()), m_(layout.n() - 1), B_(m_ * m_, 0.0), R_(4, 0.0),
      V_(n_ + 2, 0.0), states_(layout.KM() + 1, State{}), L_(m_), M_(m_), work_(n_ * n_, 0.0) {}

void ModeShape::Prepare(MatrixView A) {
  for (int r = 1; r <= m_; ++r) {
    if (r <= 3) R_[r - 1] = -A(r + 1, 1);
    for (int c = 1; c <= m_; ++c) B_[(c - 1) * m_ + (r - 1)] = A(r + 1, c + 1);
  }
}

void ModeShape::Propagate(double y0, double omega) {
  State s{y0, V_[1], 0, 0};
  states_[0] = s;
  int j = 1;
  const int KZ = layout_.KZ();
  for (int i = 1; i <= layout_.KM(); ++i) {
    layout_.Carry(i, omega, s);
    states_[i] = s;
    if (j <= KZ && layout_.SpanEnd(j) == i) {
      s = {V_[4 * j - 2], V_[4 * j - 1], V_[4 * j], V_[4 * j + 1]};
      ++j;
    }
  }
}

// The dropped first equation says that the deflection carried to the end of
// span 1 equals the solved one; the other three quantities there are solved
// equations too. Compare all four against the shaft's scale of each.
bool ModeShape::MatchesFirstEquation() const {
  const int end1 = layout_.KZ() >= 1 ? layout_.SpanEnd(1) : 0;
  if (end1 < 1 || end1 > layout_.KM()) return true;
  State scale{1, 0, 0, 0};
  for (int i = 1; i <= layout_.KM(); ++i)
    for (int q = 0; q < 4; ++q) scale[q] = std::max(scale[q], std::fabs(states_[i][q]));
  for (int q = 1; q < 4; ++q)
    if (scale[q] == 0) scale[q] = 1;
  const State& carried = states_[end1];
  for (int q = 0; q < 4; ++q) {
    const double solved = V_[2 + q];
    if (!(std::fabs(carried[q] - solved) <= kMatchTolerance * scale[q])) return false;
  }
  return true;
}

void ModeShape::Compute(double omega, const StopFlag* stop) {
  usedNullVector_ = false;
  ClearFaults();
  double D = 0;
  MINV3(m_, m_ * m_, D, B_.data(), L_.data(), M_.data());
  for (int r = 1; r <= m_; ++r) {
    double sum = 0;
    for (int c = 1; c <= 3; ++c) sum += B_[(c - 1) * m_ + (r - 1)] * R_[c - 1];
    V_[r] = sum;
  }
  bool ok = D != 0 && !HasFault();
  if (ok) {
    Propagate(1, omega);
    ok = !HasFault() && MatchesFirstEquation();
  }
  if (ok) return;
  ThrowIfStopped(stop);
  ComputeFromNullVector(omega);
}

void ModeShape::ComputeFromNullVector(double omega) {
  usedNullVector_ = true;
  ClearFaults();
  MatrixView A{work_.data(), n_};
  layout_.Assemble(omega, A);
  if (HasFault()) Raise(Error{ErrorCode::ModeShapeArithmetic});

  // Columns scaled to a largest entry in [1/2, 1), so that unknowns of different
  // kinds (deflections, slopes, moments, forces) weigh alike; a zero column is
  // itself a null direction. The scales are powers of two: scaling is exact, and
  // the result is the same bits wherever the arithmetic is IEEE's (a library
  // function such as hypot may round differently on another system).
  Eigen::MatrixXd a(n_, n_);
  Eigen::VectorXd scale(n_);
  int zeroColumn = -1;
  for (int c = 1; c <= n_; ++c) {
    double largest = 0;
    for (int r = 1; r <= n_; ++r) largest = std::max(largest, std::fabs(A(r, c)));
    if (largest == 0 && zeroColumn < 0) zeroColumn = c - 1;
    int exponent = 0;
    std::frexp(largest, &exponent);
    scale[c - 1] = std::ldexp(1.0, -std::clamp(exponent, -1021, 1023));  // finite either way
    for (int r = 1; r <= n_; ++r) a(r - 1, c - 1) = A(r, c) * scale[c - 1];
  }
  Eigen::VectorXd x;
  if (zeroColumn >= 0) {
    x = Eigen::VectorXd::Unit(n_, zeroColumn);
  } else {
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeFullV);
    x = svd.matrixV().col(n_ - 1).cwiseProduct(scale);
  }

  std::fill(V_.begin(), V_.end(), 0.0);
  for (int r = 1; r <= n_ - 1; ++r) V_[r] = x[r];
  Propagate(x[0], omega);

  // Deflection 1 at the left end where it is not negligible, else the largest deflection 1.
  double yMax = 0, yAtMax = 0;
  for (int i = 1; i <= layout_.KM(); ++i)
    if (std::fabs(states_[i][0]) > yMax) {
      yMax = std::fabs(states_[i][0]);
      yAtMax = states_[i][0];
    }
  const double reference = std::fabs(x[0]) > kNegligibleDeflection * yMax ? x[0] : yAtMax;
  if (reference == 0) Raise(Error{ErrorCode::ModeShapeZero});
  for (int r = 1; r <= n_ - 1; ++r) V_[r] = x[r] / reference;
  Propagate(x[0] / reference, omega);
  ClearFaults();

  bool finite = AllFinite(V_);
  for (int i = 1; i <= layout_.KM() && finite; ++i)
    for (double q : states_[i]) finite = finite && std::isfinite(q);
  if (!finite) Raise(Error{ErrorCode::ModeShapeArithmetic});
}

}  // namespace vp
