#pragma once
// The frequency search for one support-stiffness variant.

#include "shaft_model.h"
#include "solver_io.h"

namespace vp {

struct SolverContext {
  const TShaftModel& model;
  SolverOutput& output;
  MessageSink& messages;
  ProgressFn progress;  // may be empty
};

// Walks the frequency axis from P[0] in steps P[1] up to P[2], refines every
// sign change of the characteristic determinant (step divided by P[5]) and
// accepts a frequency when |det| < P[3] or the step is below P[4]; reports
// omega * P[9]. Stops after KP frequencies or past P[2]; P[0] is left where the
// search ended. Writes every frequency and mode through ctx.output.
// Throws CalcError on a zero pivot or an arithmetic fault, CancelledError when
// the progress callback asks to stop.
void SOB(TSearchParams& P, int& VariantNo, const SolverContext& ctx);

// How many trials pass between two calls of the progress callback.
inline constexpr int kProgressInterval = 4096;

}  // namespace vp
