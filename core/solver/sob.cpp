#include "sob.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "characteristic.h"
#include "errors.h"
#include "fpcheck.h"
#include "frequency_count.h"
#include "mode_shape.h"
#include "numtext.h"

namespace vp {

void CheckCapacities(const TShaftModel& m, int v) {
  if (m.N < 0 || m.N > kMaxSupports || m.KM < 1 || m.KM > kMaxSections || m.KZ < 1 ||
      m.KZ > kMaxSpans || v < 1 || v > kMaxVariants)
    Raise(Error{ErrorCode::ProblemSize});
  if (const std::optional<Error> error = SpanEndFault(m)) Raise(*error);
}

namespace {

// Refined steps past a bracket after which its sign change counts as noise.
constexpr int kLostBracketSteps = 12;

bool OppositeSigns(double a, double b) { return (a < 0 && b > 0) || (a > 0 && b < 0); }

// The walk of SOB; throws Failure.
void Walk(TSearchParams& P, int& VariantNo, const SolverContext& ctx) {
  const TShaftModel& model = ctx.model;
  const int v = VariantNo;
  CheckCapacities(model, v);

  ClearFaults();
  const ShaftLayout layout(model, v);
  // A fault in the section data shows at the first trial, as it would when the
  // coefficients were computed there.
  const bool layoutFault = HasFault();
  const int n = layout.n();
  std::vector<double> storage(n * n, 0.0);
  const MatrixView A{storage.data(), n};
  ModeShape mode(layout);
  // An arithmetic fault at a trial, named by its reported frequency.
  const auto Fault = [&](double omega) {
    return Failure(Error{ErrorCode::TrialArithmetic, v, omega * P[kReportFactor], "",
                         GeneralFormat(omega * P[kReportFactor], ctx.decimalSeparator)});
  };

  // The natural frequencies the accepted ones take, where the count can be made.
  std::optional<OrdinalAssigner> ordinals;
  if (ctx.counter) ordinals.emplace(*ctx.counter, P[kStep]);

  if (ctx.progress) ctx.progress->variant.store(v, std::memory_order_relaxed);
  int k = 1;
  while (true) {
    double omega = P[kStart];
    double h = P[kStep];
    bool first = true;
    bool refining = false;
    int stepsSinceBracket = 0;
    double prevdet = 0;
    bool preparedHere = false;

    // Nothing left for the walk to find between here and FK.
    if (ctx.counter && omega <= P[kUpper] && !MayHoldFrequency(*ctx.counter, omega, P[kUpper])) {
      P[kStart] = omega;
      ctx.output.WalkEndedEarly(v, omega);
      return;
    }

    // Trial loop: ends with an accepted omega (break) or past FK (return).
    while (true) {
      if (omega > P[kUpper]) {
        P[kStart] = omega;
        return;
      }
      ThrowIfStopped(ctx.stop);
      if (ctx.progress) ctx.progress->Trial(omega);

      ClearFaults();
      if (layoutFault) {
        const int i = layout.FaultySection();
        if (i > 0)
          Raise(Error{model.SectionEI[i] == 0 ? ErrorCode::SectionZeroStiffness : ErrorCode::SectionArithmetic, i});
        throw Fault(omega);
      }
      layout.Assemble(omega, A);
      preparedHere = kPrepareStepFactor * P[kFreqEps] >= h;
      if (preparedHere) mode.Prepare(A);
      double det = 0;
      int exponent = 0;
      CharacteristicDeterminant(A, n, det, exponent);
      if (HasFault()) throw Fault(omega);

      if (first) {
        prevdet = det;
        first = false;
        omega = omega + h;
        continue;
      }
      // An exact zero of the determinant is a natural frequency whatever EPS says;
      // passing over it would lose the bracket for good.
      bool accept = std::fabs(det) < P[kDetEps] || h < P[kFreqEps] || det == 0;
      // A step that no longer moves omega forward: a refinement has reached the
      // resolution of the arithmetic and is accepted; a forward walk can never
      // reach FK and ends as if it had.
      if (!accept && !(omega + h > omega)) {
        if (!refining) {
          P[kStart] = omega;
          return;
        }
        accept = true;
      }
      // What no natural frequency within a step stands behind, that no accepted
      // frequency took, is rounding noise: a sign change over a step with none
      // is not refined, a value with none not accepted (but with FT1 below EPSF
      // every second trial is accepted whatever the determinant, as the user
      // asked). Neither takes a number, and the walk goes on past it.
      bool signChange = OppositeSigns(prevdet, det);
      std::optional<RejectedValue> noise;
      const auto Noise = [&](RejectedValue::Cause cause, double low) {
        noise = RejectedValue{cause, low, omega, low - ordinals->Window(low), omega + ordinals->Window(omega),
                              ordinals->AnyWithin(low, omega)};
      };
      if (ordinals && accept && (refining || !(h < P[kFreqEps])) && !ordinals->Reaches(omega, omega)) {
        using enum RejectedValue::Cause;
        Noise(refining ? RefinedSignChange : det == 0 ? ZeroDeterminant : SmallDeterminant, omega);
        accept = refining = signChange = false;
        h = P[kStep];
      } else if (ordinals && !accept && signChange && !ordinals->Reaches(omega - h, omega)) {
        Noise(RejectedValue::Cause::SignChange, omega - h);
        signChange = false;
      }
      if (accept) break;
      if (signChange) {
        omega = omega - h;
        h = h / P[kStepDivisor];
        omega = omega + h;
        refining = true;
        stepsSinceBracket = 0;
      } else {
        prevdet = det;
        omega = omega + h;
        // The refined walk meets the bracket's right end again within about
        // P[5] steps. Far beyond it, the sign change was rounding noise of a
        // determinant that only touches zero: go on with the ordinary step
        // instead of crawling to FK with the refined one.
        if (refining && ++stepsSinceBracket > kLostBracketSteps) {
          refining = false;
          h = P[kStep];
        }
      }
      if (noise) {
        ctx.output.Rejected(v, *noise);
        // Nothing left for the walk to find up to FK.
        if (omega <= P[kUpper] && !MayHoldFrequency(*ctx.counter, omega, P[kUpper])) {
          P[kStart] = omega;
          ctx.output.WalkEndedEarly(v, omega);
          return;
        }
      }
    }

    // Accept omega as frequency number k.
    const int ordinal = ordinals ? ordinals->Next(omega) : -1;
    ClearFaults();
    if (!preparedHere) {
      layout.Assemble(omega, A);
      mode.Prepare(A);
    }
    const double F = omega * P[kReportFactor];
    if (HasFault()) throw Fault(omega);
    ctx.output.FrequencyEntry(v, k, F);
    const int found = k;
    k = k + 1;
    P[kStart] = omega + 0.01;
    mode.Compute(omega, ctx.stop);
    ModeResult result;
    result.variant = v;
    result.k = found;
    result.omega = omega;
    result.F = F;
    result.n = n;
    result.V = &mode.V();
    result.states = &mode.States();
    result.fromNullVector = mode.UsedNullVector();
    result.ordinal = ordinal;
    ctx.output.SectionResults(result);
    if (k > model.KP) {
      P[kStart] = omega;
      return;
    }
  }
}

}  // namespace

std::optional<Error> SOB(TSearchParams& P, int& VariantNo, const SolverContext& ctx) {
  try {
    Walk(P, VariantNo, ctx);
  } catch (const Failure& failure) {
    return failure.error();
  }
  return std::nullopt;
}

}  // namespace vp
