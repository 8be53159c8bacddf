#pragma once
// The critical-speed map window's state: the range the user types, its check,
// the map last drawn and the worker that computes the next one.

#include <functional>
#include <optional>
#include <string>

#include "latest_request_worker.h"
#include "shaft_model.h"
#include "stiffness_map_chart.h"

namespace vp {

// The map window's state. The range is typed into three fields; a new good
// range is computed on the model's worker, away from the screen's thread, a
// range typed meanwhile stopping it and following; its map is kept when it
// comes back. A bad range leaves the map as it was and a message saying why.
class StiffnessMapModel {
 public:
  // The shaft of the latest run. Another shaft than the one mapped so far
  // (or the first one) brings back the default range and its map, computed
  // here; the same shaft keeps the range and map the user set.
  void SetShaft(const TShaftModel& model, double reportFactor, char decimalSeparator);

  // The fields as typed: the lower and upper support stiffness and the
  // number of points.
  std::string lowText, highText, pointsText;

  // Reads the fields. When they give a good range that differs from the one
  // last asked for, computes it on the worker and returns it; otherwise
  // returns nothing, Message() saying what is wrong with them (empty when
  // nothing is). Bad fields drop the range asked for before: the map drawn stays.
  std::optional<StiffnessMapRange> Edited();
  // The range asked for and not drawn yet, if any.
  std::optional<StiffnessMapRange> Pending() const;
  // True while the worker computes the pending range.
  bool Computing() const { return worker_.Busy(); }
  // Stops the worker (the window closed); the range stays asked for.
  void StopComputing();
  // Has the worker compute the pending range, when it does not already.
  void ResumeComputing();
  // The map of the pending range, here and now: the worker's, waited for,
  // or computed on this thread when the worker has stopped.
  void Settle();
  // Called on the model's thread whenever a new map is kept.
  void SetOnDrawn(std::function<void()> drawn) { drawn_ = std::move(drawn); }

  const StiffnessMapChart& Chart() const { return chart_; }  // the map drawn
  const std::string& Message() const { return message_; }
  const TShaftModel& Shaft() const { return shaft_; }
  double ReportFactor() const { return factor_; }
  char DecimalSeparator() const { return sep_; }

 private:
  void ShowRange(const StiffnessMapRange& range);
  // Keeps the map when it is of the range last asked for.
  void Accept(StiffnessMapChart chart);

  bool hasShaft_ = false;
  TShaftModel shaft_;
  double factor_ = 100;
  char sep_ = '.';
  std::optional<StiffnessMapRange> requested_;
  StiffnessMapChart chart_;
  std::string message_;
  std::function<void()> drawn_;
  // Last: stopped before the rest goes.
  LatestRequestWorker<StiffnessMapChart> worker_{[this](StiffnessMapChart chart) { Accept(std::move(chart)); }};
};

}  // namespace vp
