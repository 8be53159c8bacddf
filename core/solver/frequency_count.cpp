#include "frequency_count.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "fpcheck.h"

namespace vp {

FrequencyCounter::FrequencyCounter(const TShaftModel& model, int variant)
    : FrequencyCounter(ShaftGeometry(model, variant)) {}

FrequencyCounter::FrequencyCounter(const ShaftGeometry& shaft) {
  fault_ = shaft.Fault();
  if (fault_) return;
  // The sections 1..E take part.
  const int E = shaft.LastCrossSection();
  nodes_.assign(shaft.Nodes(), Node{});
  for (int i = 1; i <= E; ++i) {
    nodes_[shaft.NodeOf(i - 1)].mass += shaft.Mass(i);  // the section's mass at its left cross-section
    if (shaft.Joined(i)) continue;
    Node& right = nodes_[shaft.NodeOf(i)];
    right.length = shaft.Length(i);
    right.EI = shaft.EI(i);
    right.section = i;
    if (!std::isfinite(12 * (right.EI / right.length))) {
      fault_ = Error{ErrorCode::SectionBeyondArithmetic, i};
      return;
    }
  }
  int held = 0, places = 0;  // places where a spring holds the shaft; where a mass or a spring does
  bool negative = false;
  for (int n = 0; n < shaft.Nodes(); ++n) {
    nodes_[n].spring = shaft.SpringAt(n);
    held += nodes_[n].spring != 0;
    places += nodes_[n].mass > 0 || nodes_[n].spring > 0;
    negative = negative || nodes_[n].spring < 0;
  }
  // The count holds only when K is positive definite on the motions that move
  // no mass. With no negative spring K is zero only on the rigid motions that
  // no spring resists (see below), which two places held by a mass or a spring
  // stop; with a negative spring, the pivots of K with the massive deflections
  // held tell.
  int section = 0;
  if (negative ? Negatives(1, 0, true, &section) != 0 : places < 2) {
    fault_ = section > 0 ? Error{ErrorCode::SectionBeyondArithmetic, section} : Error{ErrorCode::MasslessPartsFree};
    return;
  }
  // With springs of no negative stiffness K is positive semi-definite and its
  // null space is the rigid motions y = a + b x that no spring resists: one
  // spring place leaves one of them, two or more none. That is exact, where a
  // count at a small frequency would depend on how small.
  atOrBelowZero_ = negative ? Negatives(1, 0) : 2 - std::min(held, 2);
}

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
// A pivot of the held stiffness that is at most this share of the terms it was
// formed of is a zero in rounding, not a stiffness.
constexpr double kSingular = 1e-12;

// A symmetric 2x2 block over one node's (y, theta), with the size of the
// largest term summed into its yy and tt entries (to tell a zero from rounding).
struct Block {
  double yy = 0, yt = 0, tt = 0;
  double syy = 0, stt = 0;
};

// The pivots of one factorisation as they come.
class Pivots {
 public:
  explicit Pivots(bool hold) : hold_(hold) {}
  // The pivot `value`, formed of terms of at most `size`; an exact zero is
  // taken as a positive pivot at the level of rounding.
  double Take(double value, double size) {
    if (hold_ && !(value > kSingular * size)) failed_ = true;
    if (value == 0) value = kEps * (size > 0 ? size : 1);
    negatives_ += value < 0;
    return value;
  }
  int Negatives() const { return negatives_; }
  bool Failed() const { return failed_; }

 private:
  bool hold_;
  bool failed_ = false;
  int negatives_ = 0;
};

double Largest(std::initializer_list<double> values) {
  double largest = 0;
  for (double v : values) largest = std::max(largest, std::fabs(v));
  return largest;
}

// Eliminates the unknowns (x1, x2) of a 2x2 pivot block [[a11, a12], [a12, a22]]
// (a11 formed of terms of at most s11, a22 of at most s22) coupled to the
// next node by the rows h1, h2 (each over the next node's y, theta): takes
// its pivots and returns the block h^T A^-1 h it takes from the next node.
Block EliminatePair(Pivots& pivots, double a11, double a12, double a22, double s11, double s22,
                    const double (&h1)[2], const double (&h2)[2]) {
  const double d1 = pivots.Take(a11, s11);
  const double f = a12 / d1;
  const double d2 = pivots.Take(a22 - f * a12, std::max(s22, std::fabs(f * a12)));
  const double x1[2] = {h1[0], h1[1]}, x2[2] = {h2[0] - f * h1[0], h2[1] - f * h1[1]};
  Block b;
  b.yy = x1[0] * (x1[0] / d1) + x2[0] * (x2[0] / d2);
  b.yt = x1[0] * (x1[1] / d1) + x2[0] * (x2[1] / d2);
  b.tt = x1[1] * (x1[1] / d1) + x2[1] * (x2[1] / d2);
  return b;
}

}  // namespace

// Block elimination node by node: r is what node n carries, its own mass and
// spring and what the shaft left of it passes on. Through the element to node
// n + 1 (length l, sigma = s EI / l) the node's unknowns are eliminated in one
// of two exact ways, the one that keeps the digits:
// - in the node's own coordinates, where r outweighs the element: as in any
//   banded LDL^T, with the element matrix sigma [[12/l^2, 6/l, -12/l^2, 6/l], ...];
// - where the element outweighs r, in its deformation coordinates (Argyris'
//   natural modes of a beam) u = (y_b - y_a) / l - theta_a, d = theta_b - theta_a,
//   over which its stiffness is sigma [[12, -6], [-6, 4]], free of rigid motion: node a is
//   (y_a, theta_a) = Q (u, d) - P (y_b, theta_b) with Q = [[-l, l], [0, -1]]
//   and the rigid transport P = [[-1, l], [0, -1]], so the pivots are those of
//   sigma [[12, -6], [-6, 4]] + Q^T r Q and node b takes P^T r P less the
//   coupling through them. The stiff element's EI / l^3 never appears.
int FrequencyCounter::Negatives(double s, double lambda, bool hold, int* section) const {
  Pivots pivots(hold);
  Block r;
  for (size_t n = 0; n < nodes_.size(); ++n) {
    const Node& node = nodes_[n];
    const bool held = hold && node.mass > 0;  // its deflection is no unknown
    if (held) {
      r.yy = r.yt = r.syy = 0;
    } else {
      r.yy += s * node.spring - lambda * node.mass;
      r.syy = std::max(r.syy, Largest({s * node.spring, lambda * node.mass}));
    }
    if (n + 1 == nodes_.size()) {
      if (held)
        pivots.Take(r.tt, r.stt);
      else
        EliminatePair(pivots, r.yy, r.yt, r.tt, r.syy, r.stt, {0, 0}, {0, 0});
      break;
    }
    const Node& next = nodes_[n + 1];
    const bool nextHeld = hold && next.mass > 0;
    const double l = next.length, sigma = s * (next.EI / l);
    Block out;
    if (held) {
      // Only theta_a: the element's rows over it, eliminated in node coordinates.
      const double d = pivots.Take(4 * sigma + r.tt, std::max(4 * sigma, r.stt));
      const double h[2] = {-6 * sigma / l, 2 * sigma};
      out.tt = 4 * sigma - h[1] * (h[1] / d);
      out.stt = 4 * sigma;
      if (!nextHeld) {
        out.yy = 12 * sigma / l / l - h[0] * (h[0] / d);
        out.yt = -6 * sigma / l - h[0] * (h[1] / d);
        out.syy = 12 * sigma / l / l;
      }
    } else {
      const double g11 = l * l * r.yy, g12 = l * (r.yt - l * r.yy), g22 = l * (l * r.yy - r.yt) - (l * r.yt - r.tt);
      const double sg22 = l * l * r.syy + 2 * l * std::fabs(r.yt) + r.stt;
      if (12 * sigma > Largest({g11, g12, g22})) {
        const double h1[2] = {l * r.yy, g12}, h2[2] = {r.yt - l * r.yy, g22};
        const Block c = EliminatePair(pivots, 12 * sigma + g11, -6 * sigma + g12, 4 * sigma + g22,
                                      std::max(12 * sigma, l * l * r.syy), std::max(4 * sigma, sg22), h1, h2);
        out = {r.yy - c.yy, r.yt - l * r.yy - c.yt, g22 - c.tt, std::max(r.syy, std::fabs(c.yy)),
               std::max(sg22, std::fabs(c.tt))};
      } else {
        const double k = 12 * sigma / l / l, m = 6 * sigma / l;
        const double h1[2] = {-k, m}, h2[2] = {-m, 2 * sigma};
        const Block c = EliminatePair(pivots, k + r.yy, m + r.yt, 4 * sigma + r.tt, std::max(k, r.syy),
                                      std::max(4 * sigma, r.stt), h1, h2);
        out = {k - c.yy, -m - c.yt, 4 * sigma - c.tt, std::max(k, std::fabs(c.yy)), std::max(4 * sigma, std::fabs(c.tt))};
      }
    }
    if (hold && !(std::isfinite(out.yy) && std::isfinite(out.yt) && std::isfinite(out.tt))) {
      if (section) *section = next.section;
      return -1;
    }
    r = out;
  }
  if (hold) return pivots.Failed() ? -1 : 0;
  return pivots.Negatives();
}

int FrequencyCounter::CountBelow(double omega) const {
  // Above 1, K / omega^2 - M: omega^2 and omega^2 times a mass cannot overflow.
  // Beyond every natural frequency (omega infinite at the limit) that leaves
  // -M: every unknown with a mass counts.
  omega = std::fabs(omega);
  if (omega <= 1) return Negatives(1, omega * omega, false);
  return Negatives(1 / omega / omega, 1, false);
}

std::pair<int, int> OrdinalAssigner::Within(double low, double high) const {
  // The determinant is even in omega: a range below 0 stands for its mirror.
  const double from = low > 0 ? low : high < 0 ? -high : 0, to = std::max(std::fabs(low), std::fabs(high));
  return {std::max(counter_.AtOrBelowZero(), counter_.CountBelow(from)), counter_.CountBelow(to)};
}

std::vector<int> OrdinalAssigner::Free(double low, double high) const {
  std::vector<int> indices;
  for (auto [i, last] = Within(low, high); i < last; ++i)
    if (std::find(taken_.begin(), taken_.end(), i) == taken_.end()) indices.push_back(i);
  return indices;
}

namespace {

// The count resolves a frequency to a few units of its last digits, no finer.
double Resolved(double omega) { return std::max(kCountResolution * std::fabs(omega), 1e-200); }

}  // namespace

double OrdinalAssigner::Window(double omega) const { return std::max(step_, Resolved(omega)); }

bool OrdinalAssigner::Reaches(double low, double high) const {
  return std::isfinite(low) && std::isfinite(high) && !Free(low - Window(low), high + Window(high)).empty();
}

bool OrdinalAssigner::AnyWithin(double low, double high) const {
  if (!(std::isfinite(low) && std::isfinite(high))) return false;
  const auto [first, last] = Within(low - Window(low), high + Window(high));
  return first < last;
}

int OrdinalAssigner::Next(double omega) {
  if (!Reaches(omega, omega)) return 0;
  const double floor = Resolved(omega), window = Window(omega);
  const auto Around = [&](double d) { return Free(omega - d, omega + d); };
  // The nearest of them: widen from the resolution until one is within
  // reach, then narrow down to it.
  double empty = 0, full = window;
  for (double d = floor; d < window; d *= 2) {
    if (!Around(d).empty()) {
      full = d;
      break;
    }
    empty = d;
  }
  for (int step = 0; step < 60 && full - empty > floor; ++step) {
    const double mid = 0.5 * (empty + full);
    (Around(mid).empty() ? empty : full) = mid;
  }
  const int index = Around(full).front();
  taken_.push_back(index);
  reach_ = full;
  return index - counter_.AtOrBelowZero() + 1;
}

bool MayHoldFrequency(const FrequencyCounter& counter, double low, double high) {
  if (!(low > 0)) return true;
  ClearFaults();
  const int inside = counter.CountBelow(high * (1 + 1e-6)) - counter.CountBelow(low * (1 - 1e-6));
  const bool fault = HasFault();
  ClearFaults();
  return fault || inside > 0;
}

}  // namespace vp
