#include "results_summary.h"

namespace vp {

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
  mode.states.assign(m.states->begin() + 1, m.states->end());
  mode.solution.assign(m.V->begin() + 1, m.V->begin() + m.n);
  summary_.Variant(m.variant).modes.push_back(std::move(mode));
}

}  // namespace vp
