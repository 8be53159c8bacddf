#pragma once
// How long the frequency search of a run will take, told before it starts:
// where each variant's walk ends, from the count of its natural frequencies,
// and how long one trial takes on this machine, timed on the model itself.

#include "shaft_model.h"

namespace vp {

struct SearchEstimate {
  bool made = false;  // false: the frequencies of some variant cannot be counted
  double trials = 0;  // trial frequencies over all variants
  double nullVectors = 0;  // mode shapes of frequencies accepted away from a natural one
  double seconds = 0;
};

// The search of variants 1..KW with P as SOB gets it (P[kStart] = F1, the step
// divisor P[5] > 1 set). A walk with FT1 at or above EPSF goes from F1 to the
// KP-th natural frequency above F1, or to the last one up to FK (where it ends
// early), or to FK when none lies there and F1 <= 0; then every frequency found
// is refined in rounds of a few steps until the step falls below EPSF. With
// FT1 below EPSF every search takes two trials and accepts its second, mostly
// no natural frequency, whose mode shape then comes from a null vector (timed
// once). The time is processor time: on a machine busy with other work the
// run takes longer.
SearchEstimate EstimateSearch(const TShaftModel& model, const TSearchParams& P);

// Seconds one trial of SOB (assembly and determinant) takes on this machine,
// timed on variant 1 of the model at frequencies spread over [from, to]; 0 when
// the model cannot be solved.
double SecondsPerTrial(const TShaftModel& model, double from, double to);

// Seconds the mode shape of variant 1 at omega takes; 0 when it fails. Away
// from a natural frequency it is taken from a null vector, which costs far
// more than a trial.
double SecondsPerModeShape(const TShaftModel& model, double omega);

}  // namespace vp
