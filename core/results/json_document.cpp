#include "json_document.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include <algorithm>
#include <functional>

#include "completeness_lines.h"
#include "continuous_comparison.h"
#include "continuous_lines.h"
#include "frequency_map.h"
#include "messages.h"
#include "mode_shape.h"
#include "numtext.h"
#include "printable.h"

namespace vp {

namespace {

// Text from anywhere (a file's contents among it): ill-formed UTF-8 is
// replaced, so that the document stays valid.
QJsonValue Text(const std::string& text) { return QString::fromStdString(ValidUtf8(text)); }

template <typename Items, typename Format>
QJsonArray Array(const Items& items, Format&& format) {
  QJsonArray array;
  for (const auto& item : items) array.append(format(item));
  return array;
}

QJsonArray Numbers(const std::vector<double>& values) {
  return Array(values, [](double value) { return value; });
}

// Each value as `format` gives it; null where there is none.
template <typename Format = std::identity>
QJsonArray NumbersOrNull(const std::vector<std::optional<double>>& values, Format format = {}) {
  return Array(values,
               [&](const std::optional<double>& value) { return value ? QJsonValue(format(*value)) : QJsonValue(); });
}

void AddError(QJsonObject& document, const std::string& error, const std::string& errorCode) {
  if (!error.empty()) document["error"] = Text(error);
  if (!errorCode.empty()) document["error_code"] = Text(errorCode);
}

// The check of one solved variant: how many natural frequencies its range
// holds, the ranges of those passed over and the accepted frequencies that
// are none; or why it could not be counted.
void AddCompleteness(QJsonObject& json, const VariantResult& v, double factor) {
  const CompletenessReport& r = v.completeness;
  if (!r.checked) {
    json["check_problem"] = Text(r.problem ? Message(*r.problem) : "");
    return;
  }
  json["frequencies_in_range"] = r.inRange;
  json["lumped_in_range_total"] = r.inWholeRange;
  json["missed"] = Array(r.missed, [&](const std::pair<double, double>& range) {
    return QJsonArray{range.first * factor, range.second * factor};
  });
  QJsonArray doubtful;
  for (size_t i = 0; i < r.ordinals.size() && i < v.modes.size(); ++i)
    if (r.ordinals[i] == 0) doubtful.append(v.modes[i].F);
  json["doubtful"] = doubtful;
  // What the walk rejected as rounding noise of the determinant.
  json["rejected"] = Array(v.rejected, [&](const RejectedValue& value) {
    return QJsonObject{{"P", value.high * factor}, {"reason", Text(RejectedReason(value, factor, '.'))}};
  });
  json["rejected_total"] = v.rejectedTotal;
  // The natural frequencies the count refined the sweep's values to, where
  // they lie farther off than EPSF.
  if (std::any_of(r.refined.begin(), r.refined.end(), [](const std::optional<double>& f) { return f.has_value(); }))
    json["refined_frequencies"] = NumbersOrNull(r.refined, [&](double omega) { return omega * factor; });
}

// Hz and rpm of the found frequencies, and the continuous shaft's frequencies
// of the same ordinals (null where none, with the reason) and in the range
// searched with their count; or why it cannot be solved.
void AddContinuous(QJsonObject& json, const VariantResult& v, double factor) {
  json["hz"] = Array(v.modes, [](const ModeData& m) { return Hertz(m.omega); });
  json["rpm"] = Array(v.modes, [](const ModeData& m) { return Rpm(m.omega); });
  const ContinuousComparison& c = v.continuous;
  if (!c.made) return;
  if (c.problem) json["continuous_problem"] = Text(Message(*c.problem));
  json["continuous_frequencies"] = NumbersOrNull(c.sameOrdinal, [&](double omega) { return omega * factor; });
  json["continuous_hz"] = NumbersOrNull(c.sameOrdinal, Hertz);
  json["continuous_rpm"] = NumbersOrNull(c.sameOrdinal, Rpm);
  QJsonArray reasons;
  for (size_t i = 0; i < c.sameOrdinal.size(); ++i) {
    const std::optional<std::string> reason = NoContinuousReason(v, i);
    reasons.append(reason ? Text(*reason) : QJsonValue());
  }
  json["continuous_reasons"] = reasons;
  json["continuous_in_range"] = Array(c.inRange, [&](const OrdinalFrequency& f) { return f.omega * factor; });
  json["continuous_in_range_total"] = c.inRangeTotal >= 0 ? QJsonValue(c.inRangeTotal) : QJsonValue();
  json["continuous_in_range_truncated"] = c.inRangeTotal > std::ssize(c.inRange);
}

QJsonObject VariantJson(const VariantResult& v, double factor) {
  QJsonObject json;
  json["variant"] = v.variant;
  json["frequencies"] = Array(v.modes, [](const ModeData& m) { return m.F; });
  json["modes"] = Array(v.modes, [](const ModeData& m) {
    return QJsonObject{{"frequency", m.F},
                       {"states", Array(m.states, [](const State& s) { return QJsonArray{s[0], s[1], s[2], s[3]}; })},
                       {"solution", Numbers(m.solution)}};
  });
  if (v.solved) AddCompleteness(json, v, factor);
  // The trial point where the walk ended, not a frequency; also under its
  // former name for one release.
  if (v.endedEarly) {
    json["walk_ended_at"] = v.endedAt * factor;
    json["ended_early_at"] = v.endedAt * factor;
  }
  AddContinuous(json, v, factor);
  return json;
}

// The frequencies by true ordinal across the variants, with the likeness of
// neighbouring variants' shapes.
QJsonArray FrequencyMapJson(const ResultsSummary& summary) {
  return Array(BuildFrequencyMap(summary).lines, [](const MapLine& line) {
    return QJsonObject{{"ordinal", line.ordinal},
                       {"frequencies", NumbersOrNull(line.frequencies)},
                       {"mac", NumbersOrNull(line.mac)}};
  });
}

// The critical-speed map: the frequencies of each ordinal at every stiffness,
// or why there is no map.
QJsonObject StiffnessMapJson(const StiffnessMapChart& map) {
  if (map.problem) return {{"problem", Text(Message(*map.problem))}};
  return {{"stiffness", Numbers(map.stiffness)},
          {"lines", Array(map.curves, [](const StiffnessMapCurve& curve) {
             return QJsonObject{{"ordinal", curve.ordinal}, {"frequencies", Numbers(curve.F)}};
           })}};
}

}  // namespace

QJsonObject ResultsJson(const TShaftModel& model, const ResultsSummary& summary, const StiffnessMapChart* stiffnessMap,
                        const std::string& error, const std::string& errorCode) {
  QJsonObject document;
  const double factor = summary.reportFactor;
  document["units_note"] = Text("Значения в Гц и об/мин верны, только если исходные данные заданы в единицах СИ; "
                                "выводимая частота равна " + GeneralFormat(factor, '.') +
                                "·ω, где ω - круговая частота (в рад/с при единицах СИ).");
  // Cross-sections 0..KM, as the states of a mode; none before anything was solved.
  QJsonArray sectionX, unknowns;
  if (!summary.variants.empty()) {
    sectionX.append(0);
    for (int k = 1; k <= std::min(model.KM, kMaxSections); ++k) sectionX.append(model.SectionX[k]);
    static const char* const kQuantities[] = {"y", "theta", "M", "Q"};
    unknowns = Array(SolutionUnknowns(model), [](const SolutionUnknown& u) {
      return QJsonObject{{"quantity", kQuantities[u.quantity]}, {"cross_section", u.crossSection}};
    });
  }
  document["section_x"] = sectionX;
  document["solution_unknowns"] = unknowns;
  document["variants"] = Array(summary.variants, [&](const VariantResult& v) { return VariantJson(v, factor); });
  // With one variant there is no map.
  if (summary.variants.size() >= 2) document["frequency_map"] = FrequencyMapJson(summary);
  if (stiffnessMap) document["stiffness_map"] = StiffnessMapJson(*stiffnessMap);
  // The supports that take no part, by number, with their sentences.
  QJsonArray inactive, warnings;
  for (const Error& warning : summary.warnings) {
    if (warning.code == ErrorCode::InactiveSupport) inactive.append(warning.number);
    warnings.append(Text(Message(warning)));
  }
  if (!inactive.isEmpty()) document["inactive_supports"] = inactive;
  if (!warnings.isEmpty()) document["warnings"] = warnings;
  AddError(document, error, errorCode);
  return document;
}

void AddLoadWarnings(QJsonObject& document, const std::vector<Warning>& warnings) {
  for (const Warning& warning : warnings)
    if (warning.code == WarningCode::EmptyCellsReadAsZero)
      document["empty_cells"] = Array(warning.cells, [](const std::string& cell) { return Text(cell); });
}

QJsonObject LoadFailureJson(const std::string& error, const std::string& errorCode) {
  QJsonObject document;
  AddError(document, error, errorCode);
  return document;
}

// QJsonDocument writes doubles in their shortest round-trip form (a negative
// zero as 0), numbers that are not finite as null, and non-ASCII text as UTF-8.
std::string JsonText(const QJsonObject& document) {
  return QJsonDocument(document).toJson(QJsonDocument::Compact).append('\n').toStdString();
}

}  // namespace vp
