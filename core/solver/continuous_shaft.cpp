#include "continuous_shaft.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <tuple>

#include "fpcheck.h"

namespace vp {

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
// Up to this beta*l a section's entries are power series in (beta l)^4 (the
// closed forms lose digits as beta*l -> 0), and the sweep carries the section
// by its transfer matrix, which is then near the identity: the dynamic
// stiffness of a short section is huge beside its neighbours', and
// eliminating it would cancel away their digits.
constexpr double kShortLimit = 1.5;
// A section within this beta*l of one of its clamped-clamped frequencies is
// cut in halves: near such a pole the elimination cancels digits too.
constexpr double kPoleMargin = 0.25;
// The search stays below the frequency at which some section reaches this
// beta*l: sin and cos still have ten good digits there, and every section of
// that length holds more clamped-clamped frequencies below it than
// ContinuousShaft::kMaxOrdinal.
constexpr double kMaxBetaL = 1e6;
// Relative width at which bisection stops (frequencies that close are one).
constexpr double kBisectionWidth = 1e-13;
// Relative tolerance of the root finder.
constexpr double kRootTolerance = 1e-14;

// sum_k c[k] t^k with c[k] = scale * sign^k / (4k + offset)!, k = 0..7. Eight
// terms reach full precision for t <= kShortLimit^4 (the ninth is below 1e-20
// of the first).
struct Series {
  std::array<double, 8> c{};
  constexpr Series(double scale, double sign, int offset) {
    for (int k = 0; k < 8; ++k) {
      double factorial = 1;
      for (int j = 2; j <= 4 * k + offset; ++j) factorial *= j;
      double power = 1;
      for (int j = 0; j < k; ++j) power *= sign;
      c[k] = scale * power / factorial;
    }
  }
  double operator()(double t) const {
    double sum = c[7];
    for (int k = 6; k >= 0; --k) sum = sum * t + c[k];
    return sum;
  }
};

// With x = beta*l, t = x^4, c = cos x, s = sin x, C = cosh x, S = sinh x and
// Delta = 1 - cC = x^4 * kDelta(t):
//   x^3 (sC + cS) / Delta = k11(t) / kDelta(t)     x^2 sS / Delta = k12 / kDelta
//  -x^3 (S + s) / Delta   = k13 / kDelta            x^2 (C - c) / Delta = k14 / kDelta
//   x (sC - cS) / Delta   = k22 / kDelta            x (S - s) / Delta = k24 / kDelta
constexpr Series k11(2, -4, 1), k12(2, -4, 2), k13(-2, 1, 1), k14(2, 1, 2), k22(4, -4, 3), k24(2, 1, 3),
    kDelta(4, -4, 4);
// The Krylov functions S(x), T(x)/x, U(x)/x^2, V(x)/x^3 as series in t = x^4
// (A. N. Krylov's beam functions: S = (cosh + cos)/2, T = (sinh + sin)/2,
// U = (cosh - cos)/2, V = (sinh - sin)/2).
constexpr Series kS(1, 1, 0), kT(1, 1, 1), kU(1, 1, 2), kV(1, 1, 3);

// For x > kShortLimit: cos, sin, sech, tanh, (1 - cos x cosh x) / cosh x and
// the number of its roots (the clamped-clamped natural frequencies) below x.
struct Hyperbolic {
  double c, s, sech, tanh, delta;
  int below;
};

Hyperbolic HyperbolicAt(double x) {
  Hyperbolic h;
  h.c = std::cos(x);
  h.s = std::sin(x);
  const double q = std::exp(-x), q2 = q * q;  // scaled by cosh x, which would overflow
  h.sech = 2 * q / (1 + q2);
  h.tanh = (1 - q2) / (1 + q2);
  h.delta = h.sech - h.c;
  // Wittrick-Williams (1971): the clamped-clamped frequencies are the roots of
  // cos x cosh x = 1, one per interval of pi; with i = floor(x / pi),
  // i - (1 - (-1)^i sign(delta)) / 2 of them lie below x.
  const double turns = std::floor(x / std::numbers::pi);
  const int i = turns <= 1e9 ? static_cast<int>(turns) : 1000000000;  // NaN too
  if (h.delta == 0) h.delta = (i % 2 == 0 ? -1 : 1) * kEps;  // at a root: as just below it
  h.below = i - (i % 2 == 0 ? (h.delta > 0 ? 0 : 1) : (h.delta > 0 ? 1 : 0));
  return h;
}

int PolesBelow(double x) { return x <= kShortLimit ? 0 : HyperbolicAt(x).below; }

// 2x2 matrices [[a, b], [c, d]].
struct M2 {
  double a, b, c, d;
};
M2 operator*(const M2& x, const M2& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}
M2 operator+(const M2& x, const M2& y) { return {x.a + y.a, x.b + y.b, x.c + y.c, x.d + y.d}; }
std::array<double, 2> operator*(const M2& m, const std::array<double, 2>& v) {
  return {m.a * v[0] + m.b * v[1], m.c * v[0] + m.d * v[1]};
}
M2 Inverse(const M2& m) {
  double det = m.a * m.d - m.b * m.c;
  if (det == 0) det = kEps * (std::fabs(m.a * m.d) + std::fabs(m.b * m.c) + kEps);
  return {m.d / det, -m.b / det, -m.c / det, m.a / det};
}

}  // namespace

// One uniform section at one frequency. Its dynamic stiffness on
// (y1, theta1, y2, theta2), the forces being (Q1, -M1, -Q2, M2):
//   | d11  d12  d13  d14 |
//   | d12  d22 -d14  d24 |
//   | d13 -d14  d11 -d12 |
//   | d14  d24 -d12  d22 |
// the number of its clamped-clamped natural frequencies below the frequency,
// and for a short section its transfer matrix on (y, theta | M, Q), whose
// blocks are uu (also the force-force block), uf and fu.
struct ContinuousShaft::Section {
  double d11, d12, d13, d14, d22, d24;
  int members = 0;
  bool transfer = false;
  M2 uu{}, uf{}, fu{};

  Section(double l, double EI, double t) {
    double f11, f12, f13, f14, f22, f24;
    const double x = std::sqrt(std::sqrt(t));
    if (x <= kShortLimit) {
      const double delta = kDelta(t);
      f11 = k11(t) / delta;
      f12 = k12(t) / delta;
      f13 = k13(t) / delta;
      f14 = k14(t) / delta;
      f22 = k22(t) / delta;
      f24 = k24(t) / delta;
      transfer = true;
      const double S = kS(t), T = kT(t), U = kU(t), V = kV(t);
      uu = {S, l * T, t / l * V, S};
      uf = {l * l / EI * U, l * l * l / EI * V, l / EI * T, l * l / EI * U};
      fu = {EI * t / (l * l) * U, EI * t / l * V, EI * t / (l * l * l) * T, EI * t / (l * l) * U};
    } else {
      const Hyperbolic h = HyperbolicAt(x);
      members = h.below;
      const double x2 = x * x, x3 = x2 * x;
      f11 = x3 * (h.s + h.c * h.tanh) / h.delta;
      f12 = x2 * h.s * h.tanh / h.delta;
      f13 = -x3 * (h.tanh + h.s * h.sech) / h.delta;
      f14 = x2 * (1 - h.c * h.sech) / h.delta;
      f22 = x * (h.s - h.c * h.tanh) / h.delta;
      f24 = x * (h.tanh - h.s * h.sech) / h.delta;
    }
    const double k1 = EI / l, k2 = k1 / l, k3 = k2 / l;
    d11 = f11 * k3;
    d12 = f12 * k2;
    d13 = f13 * k3;
    d14 = f14 * k2;
    d22 = f22 * k1;
    d24 = f24 * k1;
  }
};

// The shaft at one frequency as a chain of nodes joined by sections, a split
// section having a node of its own in the middle. point[n] = k - m w^2 acts on
// the deflection of node n; link[n] indexes the section from node n to n + 1.
struct ContinuousShaft::Chain {
  std::vector<Section> sections;
  std::vector<double> point;
  std::vector<int> link;
  std::vector<int> nodeAt;  // the shaft's node -> chain node
};

namespace {

// Symmetric 2x2 [[a, b], [b, d]]: the dynamic stiffness of everything on one
// side of a node, condensed onto its deflection and slope (an impedance).
struct Sym {
  double a, b, d;
};

struct SweepResult {
  int negatives = 0, members = 0;
  double mantissa = 1;  // the determinant is mantissa * 2^exponent
  long exponent = 0;
  bool finite = true;
};

// The node's 2x2 pivot block P = [[a, b], [b, d]] of a block LDL^T (a scalar
// pivot can vanish where the block does not): its inertia and determinant go
// into `out`; returns P^-1.
M2 Pivot(SweepResult& out, double a, double b, double d) {
  double det = a * d - b * b;
  if (det == 0) det = kEps * (std::fabs(a * d) + b * b + kEps);
  out.finite = out.finite && std::isfinite(det);
  out.negatives += det < 0 ? 1 : a + d < 0 ? 2 : 0;
  int ex;
  out.mantissa = std::frexp(out.mantissa * det, &ex);
  out.exponent += ex;
  return {d / det, -b / det, -b / det, a / det};
}

// A symmetric matrix in units where slopes count as deflections over a
// length, and its magnitude.
Sym Scaled(const Sym& m, double length) { return {m.a, m.b / length, m.d / (length * length)}; }
double Size(const Sym& m) { return std::fabs(m.a) + 2 * std::fabs(m.b) + std::fabs(m.d); }

// The relative error, in units of eps, of the determinant of P (scaled)
// whose entries err by `entryError` (in units of eps).
double DeterminantError(const Sym& P, double entryError) {
  return (entryError * Size(P) + std::fabs(P.a * P.d) + P.b * P.b) / std::fabs(P.a * P.d - P.b * P.b);
}

// What a sweep records at every node, for the mode and for the choice of the
// node where the elimination ends; errors in units of eps, in the units
// where slopes count as deflections over `length`.
struct Record {
  double length = 1;
  std::vector<Sym> R;          // impedance, the node's own spring and mass included
  std::vector<M2> B;           // per link: u(node left behind) = B u(node reached)
  std::vector<double> error;   // of R, absolute
  std::vector<double> product; // of the product of the pivots' determinants before the node, relative
};

// Block LDL^T of the dynamic stiffness matrix from node `begin` to node `end`
// (not pivoted): R is the impedance of the part already swept at the current
// node; the node's pivot block is R plus the near end of the next section,
// and R moves across that section. Short sections are crossed with their
// transfer matrix, the others by eliminating the node. With begin > end the
// sweep runs backwards, in coordinates with the slope's sign turned (each
// uniform section is symmetric, so the same formulas hold). Returns R at
// `end`.
template <class Chain>
Sym SweepPart(const Chain& chain, int begin, int end, SweepResult& out, Record* record = nullptr) {
  const bool mirrored = end < begin;
  Sym R{chain.point[begin], 0, 0};
  const double L = record ? record->length : 1;
  double error = std::fabs(R.a), product = 0;
  for (int from = begin; from != end; from += mirrored ? -1 : 1) {
    const int to = mirrored ? from - 1 : from + 1, link = mirrored ? to : from;
    const auto& s = chain.sections[chain.link[link]];
    out.members += s.members;
    const Sym P{R.a + s.d11, R.b + s.d12, R.d + s.d22};
    const M2 Pi = Pivot(out, P.a, P.b, P.d);
    Sym next;
    M2 B;  // u(from) = B u(to)
    if (s.transfer) {
      // (M, Q) = J R (y, theta) with J = [[0, 1], [-1, 0]]; the state moves
      // by the transfer matrix: R' = J^-1 (fu + uu J R) (uu + uf J R)^-1.
      const M2 JR{R.b, R.d, -R.a, -R.b};
      B = Inverse(s.uu + s.uf * JR);
      const M2 F = s.fu + s.uu * JR;
      const M2 Rn = M2{-F.c, -F.d, F.a, F.b} * B;
      next = {Rn.a, 0.5 * (Rn.b + Rn.c), Rn.d};
    } else {
      // R' = D22 - D12^T P^-1 D12 with D12 = [[d13, d14], [-d14, d24]]; B = -P^-1 D12.
      const M2 D12{s.d13, s.d14, -s.d14, s.d24};
      const M2 C = Pi * D12;
      next = {s.d11 - (D12.a * C.a + D12.c * C.c),
              -s.d12 - 0.5 * (D12.a * C.b + D12.c * C.d + D12.b * C.a + D12.d * C.c),
              s.d22 - (D12.b * C.b + D12.d * C.d)};
      B = {-C.a, -C.b, -C.c, -C.d};
    }
    const Sym arrived{next.a + chain.point[to], next.b, next.d};
    if (record) {
      record->R[from] = R;
      record->B[link] = B;
      record->error[from] = error;
      record->product[from] = product;
      // The pivot's entries err by R's error and their own rounding; an
      // error dR reaches the next node as B^T dR B.
      const double entryError = error + Size(Scaled(R, L)) + Size(Scaled({s.d11, s.d12, s.d22}, L));
      product += DeterminantError(Scaled(P, L), entryError);
      const double gain = std::fabs(B.a) + std::fabs(B.b) / L + std::fabs(B.c) * L + std::fabs(B.d);
      error = gain * gain * entryError + Size(Scaled(arrived, L));
    }
    R = arrived;
  }
  if (record) {
    record->R[end] = R;
    record->error[end] = error;
    record->product[end] = product;
  }
  return R;
}

// The matrix of node n with every other node eliminated, from the impedances
// of both sides (the backward one turned back to the shaft's coordinates).
Sym Condensed(const Sym& left, const Sym& right, double point) {
  return {left.a + right.a - point, left.b - right.b, left.d + right.d};
}

// The whole factorisation, the nodes eliminated from both ends towards node
// `meet`, whose condensed matrix is the last pivot. Any order gives the same
// count and determinant, not the same rounding.
template <class Chain>
SweepResult Sweep(const Chain& chain, int meet) {
  SweepResult out;
  const Sym left = SweepPart(chain, 0, meet, out);
  const Sym right = SweepPart(chain, static_cast<int>(chain.point.size()) - 1, meet, out);
  const Sym G = Condensed(left, right, chain.point[meet]);
  Pivot(out, G.a, G.b, G.d);
  return out;
}

// Records of the sweeps from both ends (the backward one in the turned coordinates).
struct TwoSided {
  Record left, right;
};

template <class Chain>
TwoSided SweepBoth(const Chain& chain, double length) {
  const int nodes = static_cast<int>(chain.point.size());
  TwoSided t;
  for (Record* r : {&t.left, &t.right}) {
    r->length = length;
    r->R.resize(nodes);
    r->B.resize(nodes - 1);
    r->error.resize(nodes);
    r->product.resize(nodes);
  }
  SweepResult ignored;
  SweepPart(chain, 0, nodes - 1, ignored, &t.left);
  SweepPart(chain, nodes - 1, 0, ignored, &t.right);
  return t;
}

// Near a natural frequency, the node at which to end the elimination so that
// the determinant is most accurate: least error of the pivots on the way (a
// nearly singular pivot, where part of the shaft has a natural frequency of
// its own, spoils what follows) and of the last one, the condensed matrix
// R + L, whose determinant is small there.
template <class Chain>
int BestMeetingNode(const Chain& chain, const TwoSided& t) {
  int best = 0;
  double least = std::numeric_limits<double>::infinity();
  const double L = t.left.length;
  for (int n = 0; n < static_cast<int>(chain.point.size()); ++n) {
    const Sym &R = t.left.R[n], &Rm = t.right.R[n];
    const double entryError = t.left.error[n] + t.right.error[n] + Size(Scaled(R, L)) + Size(Scaled(Rm, L)) +
                              std::fabs(chain.point[n]);
    const double error = t.left.product[n] + t.right.product[n] +
                         DeterminantError(Scaled(Condensed(R, Rm, chain.point[n]), L), entryError);
    if (error < least) {
      least = error;
      best = n;
    }
  }
  return best;
}

// Near a natural frequency, the node where the mode is largest: the inverse
// of its condensed matrix is the node's block of the inverse of the whole
// matrix, whose smallest eigenvalue is about |w - w0| / y(n)^2 for the mode y.
template <class Chain>
int LargestModeNode(const Chain& chain, const TwoSided& t) {
  int best = 0;
  double smallest = std::numeric_limits<double>::infinity();
  for (int n = 0; n < static_cast<int>(chain.point.size()); ++n) {
    const Sym G = Scaled(Condensed(t.left.R[n], t.right.R[n], chain.point[n]), t.left.length);
    const double mean = 0.5 * (G.a + G.d), radius = std::hypot(0.5 * (G.a - G.d), G.b);
    const double eigen = std::fabs(G.a * G.d - G.b * G.b) / (std::fabs(mean) + radius);
    if (eigen < smallest) {
      smallest = eigen;
      best = n;
    }
  }
  return best;
}

}  // namespace

struct ContinuousShaft::Point {
  double omega = 0;
  int count = 0;    // natural frequencies below omega
  int members = 0;  // of them, clamped-clamped frequencies of single sections
  double mantissa = 0;  // the determinant is mantissa * 2^exponent
  long exponent = 0;
  bool finite = true;  // false: beyond the reach of the arithmetic
};

// Trial frequencies evaluated during one search, ascending; the first is 0,
// below which the rigid-body motions are counted by definition.
class ContinuousShaft::Search {
 public:
  explicit Search(const ContinuousShaft& shaft) : shaft_(shaft) {
    Point zero;
    zero.count = shaft.rigid_;
    points_.push_back(zero);
  }
  Point At(double omega) {
    auto it = Find(omega);
    if (it != points_.end() && it->omega == omega) return *it;
    const Point p = shaft_.Evaluate(omega);
    points_.insert(it, p);
    return p;
  }
  // Keeps the count of a point evaluated otherwise.
  void Add(const Point& p) {
    auto it = Find(p.omega);
    if (it == points_.end() || it->omega != p.omega) points_.insert(it, p);
  }
  const std::vector<Point>& Points() const { return points_; }

 private:
  std::vector<Point>::iterator Find(double omega) {
    return std::lower_bound(points_.begin(), points_.end(), omega,
                            [](const Point& p, double w) { return p.omega < w; });
  }
  const ContinuousShaft& shaft_;
  std::vector<Point> points_;
};

ContinuousShaft::ContinuousShaft(const TShaftModel& model, int variant)
    : ContinuousShaft(ShaftGeometry(model, variant)) {}

ContinuousShaft::ContinuousShaft(const TShaftModel& model, CommonStiffness stiffness)
    : ContinuousShaft(ShaftGeometry(model, stiffness.k)) {}

ContinuousShaft::ContinuousShaft(const ShaftGeometry& shaft) {
  const KeepExceptionFlags keep;
  fault_ = shaft.Fault();
  if (fault_) return;
  E_ = shaft.LastCrossSection();
  // Per node its point masses (sections of zero length) and springs; per beam
  // between neighbouring nodes its kind.
  std::map<std::tuple<double, double, double>, int> kindOf;
  const int nodes = shaft.Nodes();
  nodeOf_.assign(E_ + 1, 0);
  nodeMass_.assign(nodes, 0.0);
  nodeSpring_.assign(nodes, 0.0);
  double totalLength = 0, totalMass = 0, totalStiffnessLength = 0;
  for (int i = 1; i <= E_; ++i) {
    const double l = shaft.Length(i), m = shaft.Mass(i), EI = shaft.EI(i);
    nodeOf_[i] = shaft.NodeOf(i);
    totalMass += m;
    if (shaft.Joined(i)) {
      nodeMass_[nodeOf_[i]] += m;
      continue;
    }
    const double t = m / EI * l * l * l;
    // Beyond this scale of stiffness the products of the elimination leave the
    // range of doubles, and the count goes wrong.
    const double stiffness = EI / (l * l * l);
    if (!(stiffness >= 1e-150 && stiffness <= 1e150) || !std::isfinite(t)) {
      fault_ = Error{ErrorCode::SectionBeyondArithmetic, i};
      return;
    }
    auto [it, added] = kindOf.try_emplace({l, m, EI}, static_cast<int>(kinds_.size()));
    if (added) kinds_.push_back({l, EI, t});
    beamKind_.push_back(it->second);
    totalLength += l;
    totalStiffnessLength += EI * l;
    distributedMass_ = distributedMass_ || m > 0;
  }
  // A negative spring makes a motion unstable, which has no frequency.
  for (const ShaftGeometry::Support& support : shaft.Supports())
    if (support.k < 0) {
      fault_ = Error{ErrorCode::NegativeSupportStiffness, support.number, support.k};
      return;
    }
  for (int n = 0; n < nodes; ++n) nodeSpring_[n] = shaft.SpringAt(n);

  // Rigid-body motions (deflection a + b*x) that the springs leave free; each
  // must carry mass, or the shaft has a motion of no mass and no stiffness.
  std::vector<int> springNodes;
  for (int n = 0; n < nodes; ++n) {
    if (nodeSpring_[n] > 0) springNodes.push_back(n);
    if (nodeMass_[n] > 0) ++massiveNodes_;
  }
  rigid_ = springNodes.empty() ? 2 : springNodes.size() == 1 ? 1 : 0;
  bool massless = nodes == 1;  // a single point turns with neither stiffness nor inertia
  if (rigid_ == 2) massless = massless || !(distributedMass_ || massiveNodes_ >= 2);
  if (rigid_ == 1) {
    bool inertia = distributedMass_;
    for (int n = 0; n < nodes; ++n) inertia = inertia || (nodeMass_[n] > 0 && n != springNodes[0]);
    massless = massless || !inertia;
  }
  if (massless) {
    fault_ = Error{ErrorCode::MasslessPartsFree};
    return;
  }

  // The first bending frequency of a uniform free-free shaft of this length,
  // mass and mean stiffness: where the search for the lowest ones begins.
  // 22.37 = 4.730^2, 4.730 the first root of cos(x) cosh(x) = 1.
  if (totalMass > 0 && totalLength > 0) {
    const double guess =
        22.37 / (totalLength * totalLength) * std::sqrt(totalStiffnessLength / totalMass);
    if (std::isfinite(guess) && guess > 0) omegaGuess_ = guess;
  }
  omegaCap_ = 1e150;
  for (const SectionKind& kind : kinds_)
    if (kind.t > 0) omegaCap_ = std::min(omegaCap_, kMaxBetaL * kMaxBetaL / std::sqrt(kind.t));
  for (double m : nodeMass_)
    if (m > 0) omegaCap_ = std::min(omegaCap_, std::sqrt(1e300 / m));
  slopeScale_ = beamKind_.empty() ? 1.0 : totalLength / static_cast<double>(beamKind_.size());
}

std::vector<char> ContinuousShaft::SplitNear(double low, double high, bool* clear) const {
  std::vector<char> split(kinds_.size(), 0);
  if (clear) *clear = true;
  for (size_t k = 0; k < kinds_.size(); ++k) {
    const double r = std::sqrt(std::sqrt(kinds_[k].t));
    const double a = r * std::sqrt(low), b = r * std::sqrt(high);  // beta*l at low and high
    if (PolesBelow(b + kPoleMargin) == PolesBelow(std::max(0.0, a - kPoleMargin))) continue;
    split[k] = 1;
    if (clear && PolesBelow(b / 2 + kPoleMargin) != PolesBelow(std::max(0.0, a / 2 - kPoleMargin))) *clear = false;
  }
  return split;
}

ContinuousShaft::Chain ContinuousShaft::ChainAt(double omega, const std::vector<char>& split) const {
  Chain chain;
  const double w2 = omega * omega;
  std::vector<int> half(kinds_.size(), -1);
  for (size_t k = 0; k < kinds_.size(); ++k) {
    const SectionKind& kind = kinds_[k];
    chain.sections.emplace_back(kind.l, kind.EI, kind.t * w2);
  }
  for (size_t k = 0; k < kinds_.size(); ++k)
    if (split[k]) {
      half[k] = static_cast<int>(chain.sections.size());
      chain.sections.emplace_back(kinds_[k].l / 2, kinds_[k].EI, kinds_[k].t * w2 / 16);
    }
  const int nodes = static_cast<int>(nodeMass_.size());
  for (int n = 0; n < nodes; ++n) {
    chain.nodeAt.push_back(static_cast<int>(chain.point.size()));
    chain.point.push_back(nodeSpring_[n] - w2 * nodeMass_[n]);
    if (n + 1 == nodes) break;
    const int kind = beamKind_[n];
    if (half[kind] < 0) {
      chain.link.push_back(kind);
    } else {
      chain.link.push_back(half[kind]);
      chain.point.push_back(0);
      chain.link.push_back(half[kind]);
    }
  }
  return chain;
}

ContinuousShaft::Point ContinuousShaft::Evaluate(double omega, const std::vector<char>& split, int meet) const {
  Point p;
  p.omega = omega;
  if (!(omega > 0) || !(omega <= omegaCap_)) {
    p.finite = false;
    return p;
  }
  const Chain chain = ChainAt(omega, split);
  const SweepResult r = Sweep(chain, meet >= 0 ? meet : static_cast<int>(chain.point.size()) - 1);
  p.count = r.negatives + r.members;
  p.members = r.members;
  p.mantissa = r.mantissa;
  p.exponent = r.exponent;
  p.finite = r.finite;
  return p;
}

ContinuousShaft::Point ContinuousShaft::Evaluate(double omega) const {
  return Evaluate(omega, SplitNear(omega, omega), -1);
}

int ContinuousShaft::CountBelow(double omega) const {
  const KeepExceptionFlags keep;
  if (fault_) return -1;
  if (!(omega > 0)) return 0;
  const Point p = Evaluate(omega);
  return p.finite ? p.count : -1;
}

std::optional<double> ContinuousShaft::Frequency(int ordinal) const {
  const std::vector<OrdinalFrequency> found = Frequencies(ordinal, ordinal);
  if (found.empty()) return std::nullopt;
  return found.front().omega;
}

std::vector<OrdinalFrequency> ContinuousShaft::Frequencies(int first, int last) const {
  return Frequencies(first, last, {});
}

std::vector<OrdinalFrequency> ContinuousShaft::Frequencies(int first, int last,
                                                           const std::vector<double>& trials) const {
  const KeepExceptionFlags keep;
  if (fault_) return {};
  Search search(*this);
  for (double w : trials)
    if (w > 0 && w <= omegaCap_) search.At(w);
  return Solve(search, first, last);
}

std::vector<OrdinalFrequency> ContinuousShaft::FrequenciesIn(double low, double high, int maxCount, int* total) const {
  const KeepExceptionFlags keep;
  if (total) *total = -1;  // until counted
  if (fault_) return {};
  if (!(high > low) || !(high > 0)) {  // no positive frequency lies there
    if (total) *total = 0;
    return {};
  }
  Search search(*this);
  const double lo = std::max(low, 0.0), hi = std::min(high, omegaCap_);
  int below = rigid_;
  if (lo > 0) {
    const Point p = search.At(lo);
    if (!p.finite) return {};
    below = std::max(below, p.count);
  }
  const Point p = search.At(hi);
  if (!p.finite) return {};
  // The count does not reach above the cap.
  if (total && hi == high) *total = std::max(0, p.count - below);
  if (maxCount <= 0) return {};
  const int first = below - rigid_ + 1;
  const int last = std::min(p.count - rigid_, first + std::min(maxCount, kMaxOrdinal) - 1);
  std::vector<OrdinalFrequency> found = Solve(search, first, last);
  for (OrdinalFrequency& f : found) f.omega = std::clamp(f.omega, lo, hi);
  return found;
}

namespace {

// Brent's method on f between a and b, f(a) and f(b) of opposite signs, until
// the bracket is narrower than `tolerance` relative; f returns nullopt where it
// cannot be evaluated. Returns the best estimate and the other end of the
// final bracket.
struct Bracket {
  double best, other;
};
template <class F>
std::optional<Bracket> Brent(double a, double fa, double b, double fb, double tolerance, F f) {
  double c = b, fc = fb, d = b - a, e = d;
  for (int iteration = 0; iteration < 200; ++iteration) {
    if ((fb > 0) == (fc > 0)) {
      c = a;
      fc = fa;
      d = e = b - a;
    }
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const double tol = 2 * kEps * std::fabs(b) + 0.5 * tolerance * std::fabs(b);
    const double xm = 0.5 * (c - b);
    if (std::fabs(xm) <= tol || fb == 0) return Bracket{b, c};
    if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
      // Inverse quadratic interpolation, or the secant when a == c.
      const double s = fb / fa;
      double p, q;
      if (a == c) {
        p = 2 * xm * s;
        q = 1 - s;
      } else {
        const double qa = fa / fc, r = fb / fc;
        p = s * (2 * xm * qa * (qa - r) - (b - a) * (r - 1));
        q = (qa - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      p = std::fabs(p);
      if (2 * p < std::min(3 * xm * q - std::fabs(tol * q), std::fabs(e * q))) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol ? d : std::copysign(tol, xm);
    const std::optional<double> next = f(b);
    if (!next) return std::nullopt;
    fb = *next;
  }
  return Bracket{b, c};
}

}  // namespace

std::optional<double> ContinuousShaft::Converge(Search& search, const std::vector<char>& split, const Point& L,
                                                const Point& H) const {
  // The determinant, the elimination meeting at the node where the mode is
  // largest (elsewhere its last pivot is a small difference of large numbers):
  // that node picked in the middle of the bracket, then again near the root.
  double low = L.omega, high = H.omega;
  std::optional<double> root;
  for (const double tolerance : {1e-7, kRootTolerance}) {
    const Chain chain = ChainAt(root ? *root : 0.5 * (low + high), split);
    const int meet = BestMeetingNode(chain, SweepBoth(chain, slopeScale_));
    const Point a = Evaluate(low, split, meet), b = Evaluate(high, split, meet);
    if (!a.finite || !b.finite || a.members != b.members || (a.mantissa > 0) == (b.mantissa > 0))
      return std::nullopt;  // bisection goes on
    auto value = [reference = a.exponent](const Point& q) {
      return std::ldexp(q.mantissa, static_cast<int>(std::clamp(q.exponent - reference, -1000L, 1000L)));
    };
    auto f = [&](double w) -> std::optional<double> {
      const Point q = Evaluate(w, split, meet);
      search.Add(q);
      if (!q.finite) return std::nullopt;
      return value(q);
    };
    const std::optional<Bracket> bracket = Brent(low, value(a), high, value(b), tolerance, f);
    if (!bracket) return std::nullopt;
    root = bracket->best;
    low = std::min(bracket->best, bracket->other);
    high = std::max(bracket->best, bracket->other);
    if (low == high) break;
  }
  return root;
}

std::vector<OrdinalFrequency> ContinuousShaft::Solve(Search& search, int first, int last) const {
  std::vector<OrdinalFrequency> found;
  first = std::max(first, 1);
  last = std::min(last, kMaxOrdinal);
  // A shaft whose mass is all in point masses has one frequency per massive
  // node, the rigid-body ones included.
  if (!distributedMass_) last = std::min(last, massiveNodes_ - rigid_);
  if (first > last) return found;

  // A trial frequency above the last ordinal: doubling from the highest known.
  const int top = rigid_ + last;
  int reached = rigid_;
  for (const Point& p : search.Points())
    if (p.finite) reached = std::max(reached, p.count);
  for (double w = std::min(std::max(omegaGuess_, search.Points().back().omega), omegaCap_); reached < top;
       w = std::min(2 * w, omegaCap_)) {
    const Point p = search.At(w);
    if (!p.finite) break;
    reached = std::max(reached, p.count);
    if (w >= omegaCap_) break;
  }
  last = std::min(last, reached - rigid_);

  for (int ordinal = first; ordinal <= last; ++ordinal) {
    const int target = rigid_ + ordinal;  // the count just above the frequency
    std::optional<double> omega;
    for (int step = 0; step < 500 && !omega; ++step) {
      // H: the lowest point counting the target; L: the highest below it that does not.
      const std::vector<Point>& points = search.Points();
      size_t h = 0;
      while (h < points.size() && !(points[h].finite && points[h].count >= target)) ++h;
      if (h == 0 || h == points.size()) break;
      size_t l = h - 1;  // the point at 0 counts the rigid-body motions only
      while (l > 0 && !(points[l].finite && points[l].count < target)) --l;
      const Point L = points[l], H = points[h];
      if (H.omega - L.omega <= kBisectionWidth * H.omega) {
        omega = L.omega > 0 ? 0.5 * (L.omega + H.omega) : H.omega;  // frequencies this close are one
        break;
      }
      if (L.omega > 0 && L.count == target - 1 && H.count == target) {
        // One frequency between L and H. With the sections near their poles
        // split, in the same way all over [L, H], and no pole left there, the
        // determinant changes sign once in it.
        bool clear = false;
        const std::vector<char> split = SplitNear(L.omega, H.omega, &clear);
        if (clear) omega = Converge(search, split, L, H);
        if (omega) break;
      }
      // Bisection, geometric while the bracket spans orders of magnitude.
      const double mid = L.omega == 0 ? 0.5 * H.omega
                         : H.omega > 4 * L.omega ? std::sqrt(L.omega * H.omega)
                                                 : 0.5 * (L.omega + H.omega);
      if (!search.At(mid).finite) break;
    }
    if (!omega) break;
    found.push_back({ordinal, *omega});
  }
  return found;
}

ContinuousMode ContinuousShaft::Mode(double omega) const {
  const KeepExceptionFlags keep;
  ContinuousMode mode;
  if (fault_ || !(omega > 0) || !(omega <= omegaCap_)) return mode;
  // At a natural frequency the condensed matrix of every node is singular.
  // Where the mode is largest (found a hair off the frequency, where the
  // matrices are not singular to rounding) its null vector is carried to both
  // ends through the recorded B's, so that nothing grows on the way.
  const std::vector<char> split = SplitNear(omega, omega);
  const Chain off = ChainAt(omega * (1 + 1e-9), split);
  const int best = LargestModeNode(off, SweepBoth(off, slopeScale_));
  const Chain chain = ChainAt(omega, split);
  const TwoSided t = SweepBoth(chain, slopeScale_);
  const int nodes = static_cast<int>(chain.point.size());
  const Sym G = Scaled(Condensed(t.left.R[best], t.right.R[best], chain.point[best]), slopeScale_);
  // Orthogonal to the larger row; back from (y, length * theta) to (y, theta).
  std::array<double, 2> null = std::fabs(G.a) >= std::fabs(G.d) ? std::array<double, 2>{-G.b, G.a}
                                                                  : std::array<double, 2>{-G.d, G.b};
  null[1] /= slopeScale_;
  const std::vector<M2>& B = t.left.B;
  const std::vector<M2>& Bm = t.right.B;
  std::vector<std::array<double, 2>> u(nodes);
  u[best] = null;
  for (int n = best - 1; n >= 0; --n) u[n] = B[n] * u[n + 1];
  for (int n = best + 1; n < nodes; ++n) {
    const std::array<double, 2> m = Bm[n - 1] * std::array<double, 2>{u[n - 1][0], -u[n - 1][1]};
    u[n] = {m[0], -m[1]};
  }
  mode.y.resize(E_ + 1);
  mode.theta.resize(E_ + 1);
  double largest = 0;
  for (int c = 0; c <= E_; ++c) {
    const std::array<double, 2>& v = u[chain.nodeAt[nodeOf_[c]]];
    mode.y[c] = v[0];
    mode.theta[c] = v[1];
    if (std::fabs(v[0]) > std::fabs(largest)) largest = v[0];
  }
  if (largest == 0)
    for (double t : mode.theta)
      if (std::fabs(t) > std::fabs(largest)) largest = t;
  for (std::vector<double>* v : {&mode.y, &mode.theta})
    for (double& a : *v) {
      a = largest != 0 ? a / largest : 0;
      if (!std::isfinite(a)) a = 0;
    }
  return mode;
}

}  // namespace vp
