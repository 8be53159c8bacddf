// The frequency search on a grid of uniform shafts, not part of CI (a minute
// or two): 100-200 sections at four scales of units, free or on one or two
// supports of four stiffnesses, in one or two spans, KP = 25 from F1 = FT1 up
// to FK = 1E9. Every run goes through the program's calculation run; the
// campaign counts the runs that fail, the accepted values that are no natural
// frequencies (no natural frequency within a step, by the count), the values
// the search rejected, and sets the frequencies found beside the count and
// the continuous shaft. VP_CAMPAIGN_LIST=1 lists every run.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "calculation_run.h"
#include "form_fixtures.h"

using namespace vp;
using namespace vp::test;

namespace {

struct Scale {
  const char* name;
  double length, EI, massPerLength;
};

// Steel shafts in three systems of units, and the dimensionless beam.
const Scale kScales[] = {
    {"1, EI 1, m 1", 1, 1, 1},
    {"steel 10 m, d 0.1 m, SI", 10, 1.03e6, 61.6},
    {"steel 10 m, d 0.1 m, MPa-mm", 10, 1.03e3, 0.0616},
    {"steel 50 m, d 0.5 m, SI", 50, 6.44e8, 1541},
};

struct Case {
  const Scale* scale;
  int KM, spans;
  std::vector<int> supports;  // cross-sections
  double stiffness;           // of each, in EI / L^3
};

struct Ui : RunUi {
  std::string error;
  bool ConfirmEcho(const TInputFormModel&) override { return true; }
  ModeShapeDisplay* ModeDisplay() override { return nullptr; }
  void ShowResults() override {}
  void ShowInputError(const std::string& detail) override { error = detail; }
  void ShowInterrupted() override { error = "interrupted"; }
  void ShowMessage(const std::string&) override {}
};

std::vector<Case> Grid() {
  std::vector<Case> cases;
  for (const Scale& scale : kScales)
    for (int KM = 100; KM <= 200; KM += 25)
      for (int spans = 1; spans <= 2; ++spans) {
        cases.push_back({&scale, KM, spans, {}, 0});
        const std::vector<std::vector<int>> layouts{{KM / 2}, {1, KM}, {KM / 4, 3 * KM / 4}};
        for (const std::vector<int>& supports : layouts)
          for (double stiffness : {1e2, 1e4, 1e6, 1e8}) cases.push_back({&scale, KM, spans, supports, stiffness});
      }
  return cases;
}

}  // namespace

int main() {
  const bool list = std::getenv("VP_CAMPAIGN_LIST") != nullptr;
  int runs = 0, failed = 0, accepted = 0, noise = 0, rejected = 0, allNoise = 0, found = 0, inRange = 0;
  int withContinuous = 0, beyondOnePercent = 0, missedRuns = 0;
  for (const Case& c : Grid()) {
    const Scale& s = *c.scale;
    // A tenth of the pinned-pinned beam's first frequency.
    const double step = std::pow(std::numbers::pi / s.length, 2) * std::sqrt(s.EI / s.massPerLength) / 10;
    ProgramState st;
    st.form = UniformShaftForm(c.KM, s.length, s.EI, s.massPerLength, c.supports, c.stiffness * s.EI / std::pow(s.length, 3),
                               c.spans == 2 ? std::vector<int>{c.KM / 2, c.KM} : std::vector<int>{c.KM}, 25, step, 1e9);
    Ui ui;
    const RunOutcome outcome = RunCalculation(st, ui, '.');
    ++runs;
    std::string line;
    if (outcome != RunOutcome::Completed) {
      ++failed;
      line = "FAILED: " + ui.error;
      for (const VariantResult& v : st.summary.variants) line += " after " + std::to_string(v.modes.size()) + " values";
    } else {
      const VariantResult& v = st.summary.variants.at(0);
      const CompletenessReport& r = v.completeness;
      const int confirmed = r.Confirmed(), values = static_cast<int>(v.modes.size());
      accepted += values;
      noise += values - confirmed;
      allNoise += values > 0 && confirmed == 0;
      rejected += v.rejectedTotal;
      found += confirmed;
      inRange += r.inRange;
      missedRuns += !r.missed.empty();
      for (size_t i = 0; i < v.modes.size() && i < v.continuous.sameOrdinal.size(); ++i) {
        if (!v.continuous.sameOrdinal[i]) continue;
        ++withContinuous;
        beyondOnePercent += std::fabs(v.modes[i].omega / *v.continuous.sameOrdinal[i] - 1) > 0.01;
      }
      line = "accepted " + std::to_string(values) + ", no natural frequency " + std::to_string(values - confirmed) +
             ", rejected " + std::to_string(v.rejectedTotal) + ", in range " + std::to_string(r.inRange) +
             ", missed " + std::to_string(r.missed.size());
    }
    if (list)
      std::printf("%-28s KM %3d spans %d supports %zu k %-6g: %s\n", s.name, c.KM, c.spans, c.supports.size(),
                  c.stiffness, line.c_str());
  }
  std::printf("runs %d, failed %d\n", runs, failed);
  std::printf("accepted values %d, of them no natural frequency %d; runs with no natural frequency at all %d\n",
              accepted, noise, allNoise);
  std::printf("rejected values %d\n", rejected);
  std::printf("natural frequencies found %d of %d in the ranges searched; runs that passed some over %d\n", found,
              inRange, missedRuns);
  std::printf("found beside the continuous shaft's of the same ordinal %d, of them off by more than 1 %% %d\n",
              withContinuous, beyondOnePercent);
  return 0;
}
