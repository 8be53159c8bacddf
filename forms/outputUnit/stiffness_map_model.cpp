#include "stiffness_map_model.h"

#include "messages.h"
#include "numtext.h"
#include "printable.h"

namespace vp {

void StiffnessMapModel::SetShaft(const TShaftModel& model, double reportFactor, char decimalSeparator) {
  if (hasShaft_ && model == shaft_ && reportFactor == factor_ && decimalSeparator == sep_) return;
  worker_.Stop();
  hasShaft_ = true;
  shaft_ = model;
  factor_ = reportFactor;
  sep_ = decimalSeparator;
  message_.clear();
  chart_ = ChartStiffnessMap(shaft_, std::nullopt, factor_);
  requested_ = DefaultStiffnessMapRange(shaft_);
  if (requested_)
    ShowRange(*requested_);
  else
    lowText = highText = pointsText = "";
}

void StiffnessMapModel::ShowRange(const StiffnessMapRange& range) {
  lowText = StiffnessText(range.low, sep_);
  highText = StiffnessText(range.high, sep_);
  pointsText = std::to_string(range.points);
}

std::optional<StiffnessMapRange> StiffnessMapModel::Edited() {
  StiffnessMapRange range{0, 0, 0, StiffnessMapOrdinals(shaft_)};
  const std::string points = Trimmed(pointsText);
  if (!TryRealOfText(lowText, sep_, range.low)) {
    message_ = "нижняя граница жесткости опор: '" + Printable(lowText) + "' - не число";
  } else if (!TryRealOfText(highText, sep_, range.high)) {
    message_ = "верхняя граница жесткости опор: '" + Printable(highText) + "' - не число";
  } else if (!TryIntOfText(points, range.points)) {
    message_ = "число точек карты: '" + Printable(pointsText) + "' - не целое число";
  } else {
    const std::optional<Error> fault = StiffnessMapRangeFault(range);
    message_ = fault ? vp::Message(*fault) : "";
  }
  if (!message_.empty()) {
    // What was asked for on the way to this is no longer wanted.
    requested_.reset();
    worker_.Stop();
    return std::nullopt;
  }
  if (requested_ && *requested_ == range) return std::nullopt;
  requested_ = range;
  worker_.Stop();
  ResumeComputing();
  return Pending();
}

void StiffnessMapModel::Accept(StiffnessMapChart chart) {
  if (!requested_ || !(chart.range == *requested_)) return;
  chart_ = std::move(chart);
  if (drawn_) drawn_();
}

std::optional<StiffnessMapRange> StiffnessMapModel::Pending() const {
  if (!requested_ || *requested_ == chart_.range) return std::nullopt;
  return requested_;
}

void StiffnessMapModel::StopComputing() { worker_.Stop(); }

void StiffnessMapModel::ResumeComputing() {
  const std::optional<StiffnessMapRange> range = Pending();
  if (!range || worker_.Busy()) return;
  worker_.Request([shaft = shaft_, range = *range, factor = factor_](const StopFlag& stop) {
    return ChartStiffnessMap(shaft, range, factor, &stop);
  });
}

void StiffnessMapModel::Settle() {
  worker_.Finish();
  if (const std::optional<StiffnessMapRange> range = Pending()) Accept(ChartStiffnessMap(shaft_, *range, factor_));
}

}  // namespace vp
