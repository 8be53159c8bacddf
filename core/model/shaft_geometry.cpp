#include "shaft_geometry.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "fpcheck.h"

namespace vp {

namespace {

std::vector<double> VariantStiffness(const TShaftModel& model, int variant) {
  std::vector<double> k(std::clamp(model.N, 0, kMaxSupports) + 1, 0.0);
  if (variant >= 1 && variant <= kMaxVariants)
    for (size_t s = 1; s < k.size(); ++s) k[s] = model.SupportStiffness[s][variant];
  return k;
}

// E: the largest span end within 1..KM, 0 when there is none.
int ShaftEnd(const TShaftModel& model) {
  const int KM = std::clamp(model.KM, 0, kMaxSections);
  int E = 0;
  for (int j = 1; j <= std::clamp(model.KZ, 0, kMaxSpans); ++j) E = std::max(E, std::min(model.SpanEnd[j], KM));
  return E;
}

}  // namespace

std::vector<InactiveSupport> InactiveSupports(const TShaftModel& model) {
  const int E = ShaftEnd(model);
  std::vector<InactiveSupport> inactive;
  for (int s = 1; s <= std::clamp(model.N, 0, kMaxSupports); ++s)
    if (model.SupportSection[s] < 1 || model.SupportSection[s] > E) inactive.push_back({s, model.SupportSection[s], E});
  return inactive;
}

std::optional<Error> SpanEndFault(const TShaftModel& model) {
  for (int j = 1; j <= std::clamp(model.KZ, 0, kMaxSpans); ++j) {
    const int end = model.SpanEnd[j];
    if (end < 1 || end > model.KM)
      return Error{ErrorCode::SpanEndOutOfRange, j, double(end), "", std::to_string(end), std::to_string(model.KM)};
    if (j > 1 && end <= model.SpanEnd[j - 1])
      return Error{ErrorCode::SpanEndNotIncreasing, j, double(end), "", std::to_string(end),
                   std::to_string(model.SpanEnd[j - 1])};
  }
  return std::nullopt;
}

ShaftGeometry::ShaftGeometry(const TShaftModel& model, int variant)
    : ShaftGeometry(model, VariantStiffness(model, variant)) {
  if (variant < 1 || variant > kMaxVariants) fault_ = Error{ErrorCode::NoSuchVariant, variant};
}

ShaftGeometry::ShaftGeometry(const TShaftModel& model, double commonStiffness)
    : ShaftGeometry(model, std::vector<double>(std::clamp(model.N, 0, kMaxSupports) + 1, commonStiffness)) {}

ShaftGeometry::ShaftGeometry(const TShaftModel& model, const std::vector<double>& stiffness)
    : model_(model), KM_(std::clamp(model.KM, 0, kMaxSections)), KZ_(std::clamp(model.KZ, 0, kMaxSpans)) {
  const KeepExceptionFlags keep;  // its checks compare what may be a NaN
  supports_.resize(KM_ + 1);
  for (size_t s = 1; s < stiffness.size(); ++s) {
    const int at = model.SupportSection[s];
    if (at >= 1 && at <= KM_) supports_[at].push_back(stiffness[s]);
  }
  E_ = ShaftEnd(model);
  if (E_ < 1) {
    E_ = 0;
    fault_ = Error{ErrorCode::NoSpanOnShaft};
    return;
  }
  nodeOf_.assign(E_ + 1, 0);
  for (int i = 1; i <= E_; ++i) {
    const double l = Length(i), m = Mass(i), EI = this->EI(i);
    if (!(l >= 0) || !std::isfinite(l)) {
      fault_ = Error{ErrorCode::SectionLength, i, l};
      return;
    }
    if (!(m >= 0) || !std::isfinite(m)) {
      fault_ = Error{ErrorCode::SectionMass, i, m};
      return;
    }
    if (l > 0 && (!(EI > 0) || !std::isfinite(EI))) {
      fault_ = Error{ErrorCode::SectionStiffness, i, EI};
      return;
    }
    nodeOf_[i] = nodeOf_[i - 1] + (Joined(i) ? 0 : 1);
  }
  spring_.assign(Nodes(), 0.0);
  for (size_t s = 1; s < stiffness.size(); ++s) {
    const int at = model.SupportSection[s];
    if (at < 1 || at > E_) continue;
    double& spring = spring_[nodeOf_[at]];
    if (!std::isfinite(stiffness[s]) || !std::isfinite(spring + stiffness[s])) {
      fault_ = Error{ErrorCode::SupportStiffnessNotFinite, static_cast<int>(s), stiffness[s]};
      return;
    }
    spring += stiffness[s];
    active_.push_back({static_cast<int>(s), at, stiffness[s]});
  }
}

}  // namespace vp
