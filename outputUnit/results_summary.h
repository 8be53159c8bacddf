#pragma once
// The results of a run as numbers, beside their text in the results tables:
// every frequency and mode at full precision, and per variant the check of
// how many natural frequencies the searched range holds. The batch command's
// JSON, the completeness lines and the frequency map read it.

#include <string>
#include <vector>

#include "frequency_count.h"
#include "solver_io.h"

namespace vp {

struct ModeData {
  double omega = 0;  // the search variable
  double F = 0;      // the reported frequency
  std::vector<State> states;     // cross-sections 1..KM
  std::vector<double> solution;  // V[1..n-1]
};

struct VariantResult {
  int variant = 0;
  bool solved = false;  // the search ran to its end
  std::vector<ModeData> modes;
  CompletenessReport completeness;
  // The walk ended below FK at endedAt (search variable): no natural frequency
  // lies between there and FK.
  bool endedEarly = false;
  double endedAt = 0;
};

struct ResultsSummary {
  std::vector<VariantResult> variants;  // in the order solved
  double reportFactor = 100;            // reported frequency = search variable times this

  VariantResult& Variant(int v);  // the entry of variant v, added when missing
};

// The check of a solved variant in lines of text: how many natural
// frequencies the sweep found and how many its range holds, or why that cannot
// be counted; where the walk ended early, where and why; where it passed over
// some, the ranges in which they lie and what to change; which accepted
// frequencies are no natural frequencies, and why. Nothing for a variant that
// was not solved.
std::vector<std::string> CompletenessLines(const VariantResult& variant, double reportFactor, char decimalSeparator);
// The lines of every variant in turn.
std::vector<std::string> CompletenessLines(const ResultsSummary& summary, double reportFactor, char decimalSeparator);

// Records every mode the solver reports into the summary.
class SummaryRecorder : public SolverOutput {
 public:
  explicit SummaryRecorder(ResultsSummary& summary) : summary_(summary) {}
  void FrequencyEntry(int, int, double) override {}
  void SectionResults(const ModeResult& mode) override;
  void WalkEndedEarly(int variant, double omega) override;

 private:
  ResultsSummary& summary_;
};

}  // namespace vp
