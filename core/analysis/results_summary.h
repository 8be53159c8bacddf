#pragma once
// The results of a run as numbers, beside their text in the results tables:
// every frequency and mode at full precision, and per variant the check of
// how many natural frequencies the searched range holds and the comparison
// with the continuous shaft. The frequency map, the completeness lines and
// the batch command's JSON read it.

#include <optional>
#include <string>
#include <vector>

#include "continuous_shaft.h"
#include "ordinals.h"
#include "solver_io.h"

namespace vp {

// The continuous shaft (ContinuousShaft) of a solved variant beside the
// frequencies its sweep found, compared by true ordinal.
struct ContinuousComparison {
  bool made = false;    // the variant was solved and compared
  std::optional<Error> problem;  // why the continuous shaft cannot be solved
  double low = 0, high = 0;  // the range compared: F1 and FK (search variable)
  // Per found frequency, in the order found: the continuous shaft's natural
  // frequency (search variable) of the same true ordinal; none where the found
  // one has no ordinal or the shaft has no frequency of that ordinal in [low, high].
  std::vector<std::optional<double>> sameOrdinal;
  // Per found frequency: the continuous shaft's mode at its sameOrdinal
  // frequency; none where that is none.
  std::vector<std::optional<ContinuousMode>> sameOrdinalModes;
  // Every natural frequency of the continuous shaft in [low, high], ascending,
  // the lowest kMaxContinuousInRange of them.
  std::vector<OrdinalFrequency> inRange;
  // How many [low, high] holds, listed or not; -1 when not counted.
  int inRangeTotal = -1;
};

inline constexpr int kMaxRejectedKept = 100;

struct ModeData {
  double omega = 0;  // the search variable
  double F = 0;      // the reported frequency
  std::vector<State> states;     // cross-sections 0..KM
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
  // What the walk rejected as rounding noise, in the order met: the first
  // kMaxRejectedKept values, and how many there were in all.
  std::vector<RejectedValue> rejected;
  int rejectedTotal = 0;
  ContinuousComparison continuous;

  // The continuous shaft's frequency of a true ordinal (search variable), as
  // far as the comparison knows it.
  std::optional<double> ContinuousOfOrdinal(int ordinal) const;
};

struct ResultsSummary {
  std::vector<VariantResult> variants;  // in the order solved
  // What the input holds that takes no part in the calculation (supports
  // outside the shaft), found before computing.
  std::vector<Error> warnings;
  double reportFactor = 100;            // reported frequency = search variable times this
  // The file the input was last loaded from or saved to (empty: none), and
  // whether the input the run read differs from it: the documents say so.
  std::string inputFile;
  bool inputEdited = false;

  VariantResult& Variant(int v);  // the entry of variant v, added when missing
};

// Records every mode the solver reports into the summary.
class SummaryRecorder : public SolverOutput {
 public:
  explicit SummaryRecorder(ResultsSummary& summary) : summary_(summary) {}
  void FrequencyEntry(int, int, double) override {}
  void SectionResults(const ModeResult& mode) override;
  void WalkEndedEarly(int variant, double omega) override;
  void Rejected(int variant, const RejectedValue& value) override;

 private:
  ResultsSummary& summary_;
};

}  // namespace vp
