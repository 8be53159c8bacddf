#pragma once
// Shafts used by several tests.

#include <initializer_list>
#include <string>
#include <vector>

#include "shaft_model.h"
#include "solver_io.h"

namespace vp::test {

// A uniform free-free shaft of length 1, EI = 1 and mass 1 per unit length in
// KM equal sections, one support of stiffness 0, spans ending at spanEnds.
inline TShaftModel UniformFreeFree(int KM, std::initializer_list<int> spanEnds, int KP = 3) {
  TShaftModel m;
  m.N = 1;
  m.KM = KM;
  m.KZ = static_cast<int>(spanEnds.size());
  m.KW = 1;
  m.KP = KP;
  int j = 1;
  for (int e : spanEnds) m.SpanEnd[j++] = e;
  m.SupportSection[1] = 1;
  m.SupportStiffness[1][1] = 0;
  for (int i = 1; i <= KM; ++i) {
    m.SectionLength[i] = 1.0 / KM;
    m.SectionMass[i] = 1.0 / KM;
    m.SectionEI[i] = 1;
  }
  m.ComputeSectionX();
  return m;
}

inline TSearchParams Params(double F1, double FT1, double FK, double EPS, double EPSF) {
  TSearchParams P{};
  P[kStart] = F1;
  P[kStep] = FT1;
  P[kUpper] = FK;
  P[kDetEps] = EPS;
  P[kFreqEps] = EPSF;
  P[kStepDivisor] = 3.0;
  P[kReportFactor] = 100.0;
  P[kFirstStart] = F1;
  return P;
}

struct RecordedMode {
  int variant, k;
  double omega, F;
  std::vector<double> V;
  std::vector<State> states;
  bool fromNullVector;
};

// Records everything the solver reports.
class RecordingOutput : public SolverOutput {
 public:
  void FrequencyEntry(int variant, int k, double F) override { entries.push_back({variant, k, F}); }
  void SectionResults(const ModeResult& m) override {
    modes.push_back({m.variant, m.k, m.omega, m.F, *m.V, *m.states, m.fromNullVector});
  }
  struct Entry {
    int variant, k;
    double F;
  };
  std::vector<Entry> entries;
  std::vector<RecordedMode> modes;
};

class RecordingSink : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

}  // namespace vp::test
