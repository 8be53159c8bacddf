#pragma once
// The frequency search for one support-stiffness variant.

#include <optional>

#include "errors.h"
#include "shaft_model.h"
#include "solver_io.h"
#include "stop_flag.h"

namespace vp {

class FrequencyCounter;

struct SolverContext {
  const TShaftModel& model;
  SolverOutput& output;
  SearchProgress* progress = nullptr;  // written at every trial; may be null
  // The count of the variant's natural frequencies, when it can be made: the
  // walk then rejects what would take no natural frequency of its own
  // (SolverOutput::Rejected) and ends once none lies between where it stands
  // and FK (SolverOutput::WalkEndedEarly). Without it the walk goes on to FK.
  const FrequencyCounter* counter = nullptr;
  char decimalSeparator = '.';  // of the numbers in messages
  const StopFlag* stop = nullptr;  // looked at before every trial; may be null
};

// Walks the frequency axis from P[0] in steps P[1] up to P[2], refines every
// sign change of the characteristic determinant (step divided by P[5]) and
// accepts a frequency when |det| < P[3] or the step is below P[4]; reports
// omega * P[9]. Stops after KP frequencies or past P[2] (or earlier, see
// SolverContext::counter); P[0] is left where the search ended. Writes every
// frequency and mode through ctx.output. Returns what ended it early: a model
// that CheckCapacities refuses, an arithmetic fault, or ErrorCode::Interrupted
// once ctx.stop is requested (what was written stays).
[[nodiscard]] std::optional<Error> SOB(TSearchParams& P, int& VariantNo, const SolverContext& ctx);

// Throws Failure when variant v of the model does not fit the solver's tables
// (ErrorCode::ProblemSize) or its span ends do not close the spans.
void CheckCapacities(const TShaftModel& model, int v);

}  // namespace vp
