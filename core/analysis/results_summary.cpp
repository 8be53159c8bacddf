#include "results_summary.h"

namespace vp {

std::optional<double> VariantResult::ContinuousOfOrdinal(int ordinal) const {
  for (const OrdinalFrequency& f : continuous.inRange)
    if (f.ordinal == ordinal) return f.omega;
  const std::vector<int>& ordinals = completeness.ordinals;
  for (size_t i = 0; i < ordinals.size() && i < continuous.sameOrdinal.size(); ++i)
    if (ordinals[i] == ordinal && continuous.sameOrdinal[i]) return continuous.sameOrdinal[i];
  return std::nullopt;
}

VariantResult& ResultsSummary::Variant(int v) {
  for (VariantResult& r : variants)
    if (r.variant == v) return r;
  variants.push_back(VariantResult{});
  variants.back().variant = v;
  return variants.back();
}

void SummaryRecorder::SectionResults(const ModeResult& m) {
  ModeData mode;
  mode.omega = m.omega;
  mode.F = m.F;
  mode.states = *m.states;
  mode.solution.assign(m.V->begin() + 1, m.V->begin() + m.n);
  summary_.Variant(m.variant).modes.push_back(std::move(mode));
}

void SummaryRecorder::WalkEndedEarly(int variant, double omega) {
  VariantResult& result = summary_.Variant(variant);
  result.endedEarly = true;
  result.endedAt = omega;
}

void SummaryRecorder::Rejected(int variant, const RejectedValue& value) {
  VariantResult& result = summary_.Variant(variant);
  if (result.rejectedTotal++ < kMaxRejectedKept) result.rejected.push_back(value);
}

}  // namespace vp
