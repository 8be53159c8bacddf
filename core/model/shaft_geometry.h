#pragma once
// The shaft of one stiffness variant as cross-sections: the one set of rules
// by which the characteristic determinant, the frequency count and the
// continuous shaft read the model.
//
// - Cross-sections are 0..KM; section i lies between cross-sections i-1 and i.
// - The shaft ends at E, the last cross-section that closes a span (the
//   largest span end within 1..KM); sections after E take no part in the
//   count and the continuous shaft.
// - A section of length 0 (a disc entered as a point mass) joins its two
//   cross-sections into one place, a node; its EI is not used.
// - Support s acts at its cross-section when that lies in 1..KM: on the
//   deflection there, after the section that ends there. At cross-section 0,
//   or beyond KM, it does not act.
// - Sections 1..E must have a length of at least 0, a mass of at least 0 and,
//   with a length above 0, an EI above 0; support stiffnesses must be numbers.
// Counts are taken within the tables' capacities.

#include <optional>
#include <vector>

#include "errors.h"
#include "shaft_model.h"

namespace vp {

// Support s stands at cross-section `crossSection`, outside 1..E, where it
// takes no part in the calculation; E is `lastCrossSection`.
struct InactiveSupport {
  int number, crossSection, lastCrossSection;
};
std::vector<InactiveSupport> InactiveSupports(const TShaftModel& model);

// The first span end that does not rise within 1..KM, if any: a span that
// never closes leaves the characteristic matrix singular at every frequency.
std::optional<Error> SpanEndFault(const TShaftModel& model);

class ShaftGeometry {
 public:
  // The support stiffnesses of variant `variant` (1..kMaxVariants).
  ShaftGeometry(const TShaftModel& model, int variant);
  // One stiffness given to every support.
  ShaftGeometry(const TShaftModel& model, double commonStiffness);

  // The first thing in the model that breaks the rules above, if any.
  const std::optional<Error>& Fault() const { return fault_; }

  int KM() const { return KM_; }
  int KZ() const { return KZ_; }
  int SpanEnd(int j) const { return model_.SpanEnd[j]; }
  int LastCrossSection() const { return E_; }  // E; 0 when no span closes on the shaft

  double Length(int i) const { return model_.SectionLength[i]; }
  double Mass(int i) const { return model_.SectionMass[i]; }
  double EI(int i) const { return model_.SectionEI[i]; }
  bool Joined(int i) const { return model_.SectionLength[i] == 0; }

  // The stiffnesses of the supports at cross-section i (1..KM), in the order
  // of their numbers.
  const std::vector<double>& SupportsAt(int i) const { return supports_[i]; }

  // Nodes: the distinct places of cross-sections 0..E, numbered from 0 along
  // the shaft. Valid when there is no fault.
  int Nodes() const { return E_ < 1 ? 0 : nodeOf_[E_] + 1; }
  int NodeOf(int crossSection) const { return nodeOf_[crossSection]; }
  // The support stiffnesses at a node, summed in the order of the supports'
  // numbers.
  double SpringAt(int node) const { return spring_[node]; }

  // The supports at cross-sections 1..E, in the order of their numbers.
  struct Support {
    int number, crossSection;
    double k;
  };
  const std::vector<Support>& Supports() const { return active_; }

 private:
  ShaftGeometry(const TShaftModel& model, const std::vector<double>& stiffness);

  const TShaftModel& model_;
  int KM_ = 0, KZ_ = 0, E_ = 0;
  std::vector<std::vector<double>> supports_;  // [0..KM]
  std::vector<int> nodeOf_;                    // [0..E]
  std::vector<double> spring_;                 // per node
  std::vector<Support> active_;
  std::optional<Error> fault_;
};

}  // namespace vp
