#pragma once
// The critical-speed map window's state: the range the user types, its check
// and the map last drawn.

#include <optional>
#include <string>

#include "shaft_model.h"
#include "stiffness_map_chart.h"

namespace vp {

// The map window's state. The range is typed into three fields; a new good
// range is handed out to be computed (the window does it away from the
// screen's thread) and its map accepted when it comes back; a bad one leaves
// the map as it was and a message saying why.
class StiffnessMapModel {
 public:
  // The shaft of the latest run. Another shaft than the one mapped so far
  // (or the first one) brings back the default range and its map, computed
  // here; the same shaft keeps the range and map the user set.
  void SetShaft(const TShaftModel& model, double reportFactor, char decimalSeparator);

  // The fields as typed: the lower and upper support stiffness and the
  // number of points.
  std::string lowText, highText, pointsText;

  // Reads the fields. Returns a range to compute when they give a good one
  // that differs from the one last asked for; otherwise nothing, Message()
  // saying what is wrong with them (empty when nothing is). Bad fields drop
  // the range asked for before: the map drawn stays.
  std::optional<StiffnessMapRange> Edited();
  // The map of a range comes back: kept and true when it is the range last
  // asked for, dropped otherwise.
  bool Accept(StiffnessMapChart chart);
  // The range asked for and not drawn yet, if any.
  std::optional<StiffnessMapRange> Pending() const;
  // Computes the pending range here and now.
  void Settle();

  const StiffnessMapChart& Chart() const { return chart_; }  // the map drawn
  const std::string& Message() const { return message_; }
  const TShaftModel& Shaft() const { return shaft_; }
  double ReportFactor() const { return factor_; }
  char DecimalSeparator() const { return sep_; }

 private:
  void ShowRange(const StiffnessMapRange& range);

  bool hasShaft_ = false;
  TShaftModel shaft_;
  double factor_ = 100;
  char sep_ = '.';
  std::optional<StiffnessMapRange> requested_;
  StiffnessMapChart chart_;
  std::string message_;
};

}  // namespace vp
