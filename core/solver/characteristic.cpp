#include "characteristic.h"

#include <algorithm>
#include <cmath>

#include "opred.h"

namespace vp {

ShaftLayout::ShaftLayout(const ShaftGeometry& shaft)
    : KM_(shaft.KM()), KZ_(shaft.KZ()), sections_(KM_ + 1), supportsBegin_(KM_ + 2, 0), spanEnd_(KZ_ + 1, 0) {
  for (int i = 1; i <= KM_; ++i) {
    Section& s = sections_[i];
    s.l = shaft.Length(i);
    s.m = shaft.Mass(i);
    s.a = s.l / shaft.EI(i);
    s.e = s.a * s.l / 2;
    s.f = s.e * s.l / 3;
  }
  // Supports grouped by cross-section, keeping their order within one section.
  for (int i = 1; i <= KM_; ++i) {
    supportsBegin_[i] = static_cast<int>(stiffness_.size());
    for (double k : shaft.SupportsAt(i)) stiffness_.push_back(k);
  }
  supportsBegin_[KM_ + 1] = static_cast<int>(stiffness_.size());
  for (int j = 1; j <= KZ_; ++j) spanEnd_[j] = shaft.SpanEnd(j);
}

ShaftLayout::ShaftLayout(const TShaftModel& model, int variant) : ShaftLayout(ShaftGeometry(model, variant)) {}

namespace {

struct Coefficients {
  double l, a, e, f, b, c, d, g;
};

// Carries one state (column) through a section with the given coefficients.
inline void ApplySection(const Coefficients& k, double& y, double& t, double& M, double& Q) {
  const double y0 = y, t0 = t, M0 = M, Q0 = Q;
  y = k.g * y0 + k.l * t0 + k.e * M0 + k.f * Q0;
  t = k.d * y0 + t0 + k.a * M0 + k.e * Q0;
  M = k.c * y0 + M0 + k.l * Q0;
  Q = k.b * y0 + Q0;
}

Coefficients CoefficientsAt(double l, double m, double a, double e, double f, double omega) {
  Coefficients k;
  k.l = l;
  k.a = a;
  k.e = e;
  k.f = f;
  k.b = m * omega * omega;
  k.c = k.b * l;
  k.d = k.c * a / 2;
  k.g = k.d * l / 3 + 1;
  return k;
}

}  // namespace

int ShaftLayout::FaultySection() const {
  for (int i = 1; i <= KM_; ++i) {
    const Section& s = sections_[i];
    if (!std::isfinite(s.a) || !std::isfinite(s.e) || !std::isfinite(s.f)) return i;
  }
  return 0;
}

void ShaftLayout::Carry(int i, double omega, State& s) const {
  const Section& sec = sections_[i];
  ApplySection(CoefficientsAt(sec.l, sec.m, sec.a, sec.e, sec.f, omega), s[0], s[1], s[2], s[3]);
  for (int p = supportsBegin_[i]; p < supportsBegin_[i + 1]; ++p) s[3] = s[3] - stiffness_[p] * s[0];
}

void ShaftLayout::Assemble(double omega, MatrixView A) const {
  const int n = 4 * KZ_;
  for (int r = 1; r <= n; ++r) std::fill_n(&A(r, 1), n, 0.0);

  double U[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  int j = 1;
  for (int i = 1; i <= KM_; ++i) {
    const Section& sec = sections_[i];
    const Coefficients k = CoefficientsAt(sec.l, sec.m, sec.a, sec.e, sec.f, omega);
    for (int col = 0; col < 4; ++col) ApplySection(k, U[0][col], U[1][col], U[2][col], U[3][col]);
    for (int p = supportsBegin_[i]; p < supportsBegin_[i + 1]; ++p) {
      const double k = stiffness_[p];
      for (int col = 0; col < 4; ++col) U[3][col] = U[3][col] - k * U[0][col];
    }
    if (j <= KZ_ && spanEnd_[j] == i) {
      const int r0 = 4 * (j - 1);
      if (j == 1) {
        for (int r = 1; r <= 4; ++r)
          for (int c = 1; c <= 2; ++c) A(r, c) = -U[r - 1][c - 1];
      } else {
        for (int r = 1; r <= 4; ++r)
          for (int c = 1; c <= 4; ++c) A(r0 + r, r0 - 2 + c) = -U[r - 1][c - 1];
      }
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) U[r][c] = r == c ? 1.0 : 0.0;
      ++j;
    }
  }
  for (int r = 1; r <= n - 2; ++r) A(r, r + 2) = 1;
}

void CharacteristicDeterminant(MatrixView A, int n, double& mantissa, int& exponent) {
  // Rows exchanged within eight below the diagonal; right of it each row
  // reaches two columns (the +1 entries).
  constexpr int kBand = 8, kUpperBand = 2;
  OPRED(A.data, n, kBand, mantissa, exponent, A.stride, kUpperBand);
}

}  // namespace vp
