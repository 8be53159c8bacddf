#pragma once
// Independent solutions of the continuous stepped shaft, for the tests:
// - the free-end condition of the state transfer matrices (y, theta, M, Q) in
//   quadruple precision, the Krylov functions summed as power series (no
//   trigonometry, so no loss for short or massless sections);
// - a finite-element model with cubic beam elements and consistent mass;
// - the lumped-mass beam (each section's mass at its left cross-section)
//   solved directly as an eigenproblem.
// Same model as the shaft under test: uniform sections (m spread over l),
// zero-length sections as point masses, springs on deflection, free ends,
// sections 1..SpanEnd[KZ].

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "shaft_model.h"

namespace vp::test {

using Quad = __float128;
inline Quad Abs(Quad x) { return x < 0 ? -x : x; }

struct SectionData {
  double l, m, EI;
};

// A shaft of the given sections with supports {cross-section, stiffness} in
// variant 1 and the spans ending at spanEnds (one span to the last section
// when empty).
inline TShaftModel MakeShaft(const std::vector<SectionData>& sections,
                             const std::vector<std::pair<int, double>>& supports,
                             std::initializer_list<int> spanEnds = {}) {
  TShaftModel m;
  m.KM = static_cast<int>(sections.size());
  m.N = static_cast<int>(supports.size());
  m.KW = 1;
  m.KP = 6;
  for (int i = 1; i <= m.KM; ++i) {
    m.SectionLength[i] = sections[i - 1].l;
    m.SectionMass[i] = sections[i - 1].m;
    m.SectionEI[i] = sections[i - 1].EI;
  }
  for (int s = 1; s <= m.N; ++s) {
    m.SupportSection[s] = supports[s - 1].first;
    m.SupportStiffness[s][1] = supports[s - 1].second;
  }
  if (spanEnds.size() == 0) {
    m.KZ = 1;
    m.SpanEnd[1] = m.KM;
  } else {
    m.KZ = static_cast<int>(spanEnds.size());
    int j = 1;
    for (int e : spanEnds) m.SpanEnd[j++] = e;
  }
  m.ComputeSectionX();
  return m;
}

// A uniform beam (length L, EI, mass per length mu) cut into the given lengths.
inline std::vector<SectionData> Cut(double EI, double mu, const std::vector<double>& lengths) {
  std::vector<SectionData> s;
  for (double l : lengths) s.push_back({l, mu * l, EI});
  return s;
}

class TransferReference {
 public:
  TransferReference(const TShaftModel& model, int variant) : E_(model.SpanEnd[model.KZ]) {
    l_.assign(E_ + 1, 0);
    m_.assign(E_ + 1, 0);
    EI_.assign(E_ + 1, 0);
    spring_.assign(E_ + 1, 0);
    for (int i = 1; i <= E_; ++i) {
      l_[i] = model.SectionLength[i];
      m_[i] = model.SectionMass[i];
      EI_[i] = model.SectionEI[i];
    }
    for (int s = 1; s <= model.N; ++s)
      if (model.SupportSection[s] >= 1 && model.SupportSection[s] <= E_)
        spring_[model.SupportSection[s]] += model.SupportStiffness[s][variant];
    double length = 0, stiffness = 0;
    for (int i = 1; i <= E_; ++i) {
      length += l_[i];
      stiffness = std::max(stiffness, EI_[i]);
    }
    if (length > 0) scale_ = length;
    if (stiffness > 0) stiffness_ = stiffness;
  }

  using State = std::array<Quad, 4>;  // y, theta, M, Q

  // States at cross-sections 0..E for the start (y0, theta0, 0, 0).
  std::vector<State> States(Quad omega, Quad y0, Quad t0) const {
    std::vector<State> out{{y0, t0, 0, 0}};
    State s = out[0];
    for (int i = 1; i <= E_; ++i) {
      Carry(i, omega, s);
      out.push_back(s);
    }
    return out;
  }

  // M and Q at the free right end vanish for a non-zero start: this 2x2
  // determinant is zero exactly at the natural frequencies (an entire function
  // of omega, without poles). The two solutions are orthonormalised after
  // every section (a change of basis with a positive determinant, which keeps
  // the sign), so that stiff springs do not make them parallel.
  Quad Determinant(Quad omega) const {
    State a{1, 0, 0, 0}, b{0, 1, 0, 0};
    for (int i = 1; i <= E_; ++i) {
      Carry(i, omega, a);
      Carry(i, omega, b);
      const Quad na = Norm(a);
      for (Quad& v : a) v /= na;
      const Quad ab = Dot(a, b);
      for (int k = 0; k < 4; ++k) b[k] -= ab * a[k];
      const Quad nb = Norm(b);
      for (Quad& v : b) v /= nb;
    }
    return a[2] * b[3] - b[2] * a[3];
  }

  // The root between lo and hi, where the determinant changes sign.
  double Root(double lo, double hi) const {
    Quad a = lo, b = hi;
    const bool negativeAtA = Determinant(a) < 0;
    for (int i = 0; i < 120 && b - a > Abs(b) * Quad(1e-30); ++i) {
      const Quad mid = (a + b) / 2;
      ((Determinant(mid) < 0) == negativeAtA ? a : b) = mid;
    }
    return static_cast<double>((a + b) / 2);
  }

  bool ChangesSign(double lo, double hi) const { return (Determinant(lo) < 0) != (Determinant(hi) < 0); }

  // The roots below omegaMax: sign changes on a grid of the given number of
  // steps, each refined.
  std::vector<double> Roots(double omegaMin, double omegaMax, int steps) const {
    std::vector<double> roots;
    double previous = omegaMin;
    for (int i = 1; i <= steps; ++i) {
      const double w = omegaMin + (omegaMax - omegaMin) * i / steps;
      if (ChangesSign(previous, w)) roots.push_back(Root(previous, w));
      previous = w;
    }
    return roots;
  }

  // Deflection and slope at cross-sections 0..E of the mode at omega (a root),
  // scaled so that the largest deflection is +1.
  std::pair<std::vector<double>, std::vector<double>> Mode(double omega) const {
    const State a = States(omega, 1, 0).back(), b = States(omega, 0, 1).back();
    // (y0, theta0) annihilates the larger row of [[Ma, Mb], [Qa, Qb]].
    const bool momentRow = Abs(a[2]) + Abs(b[2]) > Abs(a[3]) + Abs(b[3]);
    const Quad y0 = momentRow ? b[2] : b[3], t0 = momentRow ? -a[2] : -a[3];
    const std::vector<State> states = States(omega, y0, t0);
    Quad largest = 0;
    for (const State& s : states)
      if (Abs(s[0]) > Abs(largest)) largest = s[0];
    std::vector<double> y, theta;
    for (const State& s : states) {
      y.push_back(static_cast<double>(s[0] / largest));
      theta.push_back(static_cast<double>(s[1] / largest));
    }
    return {y, theta};
  }

 private:
  // Through section i, then the springs at cross-section i.
  void Carry(int i, Quad omega, State& s) const {
    const Quad l = l_[i], m = m_[i], EI = EI_[i];
    if (l > 0) {
      const Quad t = m * omega * omega * l * l * l / EI;
      const std::array<Quad, 4> k = Krylov(t);
      const State a = s;
      s[0] = k[0] * a[0] + l * k[1] * a[1] + l * l / EI * k[2] * a[2] + l * l * l / EI * k[3] * a[3];
      s[1] = t / l * k[3] * a[0] + k[0] * a[1] + l / EI * k[1] * a[2] + l * l / EI * k[2] * a[3];
      s[2] = EI * t / (l * l) * k[2] * a[0] + EI * t / l * k[3] * a[1] + k[0] * a[2] + l * k[1] * a[3];
      s[3] = EI * t / (l * l * l) * k[1] * a[0] + EI * t / (l * l) * k[2] * a[1] + t / l * k[3] * a[2] + k[0] * a[3];
    } else {
      s[3] += m * omega * omega * s[0];
    }
    s[3] -= Quad(spring_[i]) * s[0];
  }
  // An inner product in which all four components weigh alike: y, L theta,
  // L^2 M / EI and L^3 Q / EI for a length L and a stiffness EI of the shaft.
  Quad Dot(const State& a, const State& b) const {
    const Quad L2 = scale_ * scale_, c = L2 / stiffness_;
    return a[0] * b[0] + L2 * a[1] * b[1] + c * c * a[2] * b[2] + c * c * L2 * a[3] * b[3];
  }
  Quad Norm(const State& a) const {
    const Quad n2 = Dot(a, a);
    Quad r = 1;  // square root by Newton's method (no quadmath library needed)
    for (Quad x = n2; x > 4; x /= 4) r *= 2;
    for (Quad x = n2; x < Quad(0.25); x *= 4) r /= 2;
    for (int k = 0; k < 12; ++k) r = (r + n2 / r) / 2;
    return r;
  }

  // sum_k t^k / (4k + j)!, j = 0..3: S(x), T(x)/x, U(x)/x^2, V(x)/x^3 for t = x^4.
  static std::array<Quad, 4> Krylov(Quad t) {
    std::array<Quad, 4> sums{};
    for (int j = 0; j < 4; ++j) {
      Quad term = 1;
      for (int i = 2; i <= j; ++i) term /= i;
      Quad sum = 0;
      for (int k = 0; k < 1000; ++k) {
        sum += term;
        const int n = 4 * k + j;
        term = term * t / (Quad(n + 1) * (n + 2) * (n + 3) * (n + 4));
        if (Abs(term) < Quad(1e-36) * Abs(sum)) break;
      }
      sums[j] = sum;
    }
    return sums;
  }

  int E_;
  std::vector<double> l_, m_, EI_, spring_;
  Quad scale_ = 1, stiffness_ = 1;  // a length and a bending stiffness of the shaft
};

// Natural frequencies of the finite-element model with `perSection` cubic
// elements per section (every section of non-zero length must have mass),
// ascending, rigid-body zeros included.
inline std::vector<double> FiniteElementFrequencies(const TShaftModel& model, int variant, int perSection) {
  const int E = model.SpanEnd[model.KZ];
  std::vector<int> nodeOf(E + 1, 0);
  int nodes = 1;
  for (int i = 1; i <= E; ++i) nodeOf[i] = model.SectionLength[i] > 0 ? (nodes += perSection) - 1 : nodes - 1;
  const int n = 2 * nodes;
  Eigen::MatrixXd K = Eigen::MatrixXd::Zero(n, n), M = Eigen::MatrixXd::Zero(n, n);
  for (int i = 1; i <= E; ++i) {
    if (model.SectionLength[i] == 0) {
      M(2 * nodeOf[i], 2 * nodeOf[i]) += model.SectionMass[i];
      continue;
    }
    const double l = model.SectionLength[i] / perSection, EI = model.SectionEI[i];
    const double mu = model.SectionMass[i] / model.SectionLength[i];
    Eigen::Matrix4d k, m;
    k << 12, 6 * l, -12, 6 * l, 6 * l, 4 * l * l, -6 * l, 2 * l * l, -12, -6 * l, 12, -6 * l, 6 * l, 2 * l * l,
        -6 * l, 4 * l * l;
    m << 156, 22 * l, 54, -13 * l, 22 * l, 4 * l * l, 13 * l, -3 * l * l, 54, 13 * l, 156, -22 * l, -13 * l,
        -3 * l * l, -22 * l, 4 * l * l;
    k *= EI / (l * l * l);
    m *= mu * l / 420;
    for (int e = 0; e < perSection; ++e) {
      const int at = 2 * (nodeOf[i - 1] + e);
      K.block<4, 4>(at, at) += k;
      M.block<4, 4>(at, at) += m;
    }
  }
  for (int s = 1; s <= model.N; ++s)
    if (model.SupportSection[s] >= 1 && model.SupportSection[s] <= E)
      K(2 * nodeOf[model.SupportSection[s]], 2 * nodeOf[model.SupportSection[s]]) +=
          model.SupportStiffness[s][variant];
  Eigen::GeneralizedSelfAdjointEigenSolver<Eigen::MatrixXd> solver(K, M, Eigen::EigenvaluesOnly);
  std::vector<double> omegas;
  for (int i = 0; i < n; ++i) omegas.push_back(std::sqrt(std::max(0.0, solver.eigenvalues()[i])));
  return omegas;
}

// The natural frequencies of the lumped-mass beam, solved directly: a section
// of length 0 ties its right cross-section rigidly to its left one (y and
// theta taken over), the massless unknowns are condensed out, then a symmetric
// eigenproblem. Every eigenvalue, rigid-body ones (near 0) and those of
// negative springs (as -sqrt(-lambda)) included, in ascending order.
inline std::vector<double> LumpedFrequencies(const TShaftModel& m, int variant) {
  const int E = m.SpanEnd[m.KZ];
  const int full = 2 * (E + 1);
  Eigen::MatrixXd K = Eigen::MatrixXd::Zero(full, full);
  Eigen::VectorXd M = Eigen::VectorXd::Zero(full);
  for (int i = 1; i <= E; ++i) {
    M[2 * (i - 1)] += m.SectionMass[i];
    const double l = m.SectionLength[i];
    if (l == 0) continue;
    const double c = m.SectionEI[i] / (l * l * l);
    Eigen::Matrix4d e;
    e << 12, 6 * l, -12, 6 * l, 6 * l, 4 * l * l, -6 * l, 2 * l * l, -12, -6 * l, 12, -6 * l, 6 * l, 2 * l * l,
        -6 * l, 4 * l * l;
    K.block(2 * (i - 1), 2 * (i - 1), 4, 4) += c * e;
  }
  for (int s = 1; s <= m.N; ++s)
    if (m.SupportSection[s] >= 1 && m.SupportSection[s] <= E)
      K(2 * m.SupportSection[s], 2 * m.SupportSection[s]) += m.SupportStiffness[s][variant];
  // The rigid ties: u_full = T u, one pair of unknowns per cross-section that
  // does not follow a section of length 0.
  std::vector<int> free;
  for (int i = 0; i <= E; ++i)
    if (i == 0 || m.SectionLength[i] != 0) free.push_back(i);
  Eigen::MatrixXd T = Eigen::MatrixXd::Zero(full, 2 * free.size());
  for (int i = 0, f = -1; i <= E; ++i) {
    if (i == 0 || m.SectionLength[i] != 0) ++f;
    T(2 * i, 2 * f) = T(2 * i + 1, 2 * f + 1) = 1;
  }
  K = T.transpose() * K * T;
  const Eigen::VectorXd mass = T.transpose() * M.asDiagonal() * T * Eigen::VectorXd::Ones(T.cols());
  const int n = static_cast<int>(T.cols());
  std::vector<int> a, c;
  for (int i = 0; i < n; ++i) (mass[i] > 0 ? a : c).push_back(i);
  auto sub = [&](const std::vector<int>& r, const std::vector<int>& s) {
    Eigen::MatrixXd out(r.size(), s.size());
    for (size_t i = 0; i < r.size(); ++i)
      for (size_t j = 0; j < s.size(); ++j) out(i, j) = K(r[i], s[j]);
    return out;
  };
  Eigen::MatrixXd reduced = sub(a, a) - sub(a, c) * sub(c, c).ldlt().solve(sub(c, a));
  Eigen::VectorXd root(a.size());
  for (size_t i = 0; i < a.size(); ++i) root[i] = 1 / std::sqrt(mass[a[i]]);
  reduced = root.asDiagonal() * reduced * root.asDiagonal();
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(reduced);
  std::vector<double> omegas;
  for (int i = 0; i < solver.eigenvalues().size(); ++i) {
    const double lambda = solver.eigenvalues()[i];
    omegas.push_back(lambda >= 0 ? std::sqrt(lambda) : -std::sqrt(-lambda));
  }
  return omegas;
}

// Free-free and clamped-clamped uniform beams: beta*L of the first modes.
inline constexpr double kFreeFreeBetaL[] = {4.730040744862704, 7.853204624095838, 10.995607838001671,
                                            14.137165491257464, 17.278759657399480};

// omega of a uniform beam (length L, EI, mass per length mu) at beta*L = x.
inline double BeamOmega(double x, double L, double EI, double mu) { return x * x / (L * L) * std::sqrt(EI / mu); }

}  // namespace vp::test
