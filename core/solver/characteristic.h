#pragma once
// Section and support transfer relations and the assembly of the
// characteristic matrix of order n = 4 * KZ for one trial frequency.

#include <vector>

#include "shaft_geometry.h"
#include "shaft_model.h"
#include "solver_io.h"

namespace vp {

// Row-major view of an n x n matrix with 1-based indices.
struct MatrixView {
  double* data;
  int stride;
  double& operator()(int r, int c) const { return data[(r - 1) * stride + (c - 1)]; }
};

// The determinant of the characteristic matrix of order n that Assemble left
// in A (destroyed): mantissa * 10^exponent, OPRED within the matrix's band.
void CharacteristicDeterminant(MatrixView A, int n, double& mantissa, int& exponent);

// The shaft of one variant as the solver reads it at every trial: the
// frequency-independent section coefficients, computed once per search, and
// the support springs per cross-section.
//
// Section relation of section i (l, m, EI) at frequency omega, in this order:
//   a = l/EI, b = m*omega*omega, c = b*l, d = c*a/2, e = a*l/2, f = e*l/3,
//   g = d*l/3 + 1;
//   y' = g*y + l*theta + e*M + f*Q     theta' = d*y + theta + a*M + e*Q
//   M' = c*y + M + l*Q                 Q' = b*y + Q
// a point mass m at the left end followed by a massless uniform beam.
// Support relation at cross-section i: Q -= k*y for every support there, in order.
class ShaftLayout {
 public:
  explicit ShaftLayout(const ShaftGeometry& shaft);
  ShaftLayout(const TShaftModel& model, int variant);

  int KM() const { return KM_; }
  int KZ() const { return KZ_; }
  int n() const { return 4 * KZ_; }

  // Builds the characteristic matrix at omega into A (n x n, row stride >= n).
  void Assemble(double omega, MatrixView A) const;

  // Carries a state through section i, then the supports at cross-section i.
  void Carry(int i, double omega, State& s) const;
  int SpanEnd(int j) const { return spanEnd_[j]; }
  // The first section whose coefficients are not finite numbers (EI = 0), or 0.
  int FaultySection() const;

 private:
  struct Section {
    double l, m, a, e, f;  // a = l/EI, e = a*l/2, f = e*l/3
  };
  int KM_, KZ_;
  std::vector<Section> sections_;         // [1..KM]
  std::vector<int> supportsBegin_;        // [0..KM+1): index into stiffness_
  std::vector<double> stiffness_;         // per cross-section, supports in order
  std::vector<int> spanEnd_;              // [1..KZ]
};

}  // namespace vp
