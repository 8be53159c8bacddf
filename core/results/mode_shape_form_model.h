#pragma once
// What the mode-shape form shows for one frequency: the table of deflections
// by section, the three heading lines, the points of the chart's series along
// the shaft's length and the drawing of the shaft above them.

#include <string>
#include <vector>

#include "shaft_drawing.h"
#include "string_table.h"

namespace vp {

struct ChartPoint {
  double x = 0;
  double y = 0;
  unsigned color = 0xFF0000;  // RGB
};

struct TNewFormModel {
  StringTable StringGrid3{1, 2};  // row 0: section numbers, row 1: deflections
  std::string Label2 = "Вариант по жесткости №";
  std::string Label3 = "Частота №";
  std::string Label7;
  std::vector<ChartPoint> Series1;  // kept in ascending order of x, the coordinate of the cross-section
  // The shaft of the run, and x of its cross-sections 0..KM.
  ShaftDrawing shaft;
  std::vector<double> crossSectionX;
  // Beside the mode: the continuous shaft's deflections at the same
  // cross-sections, scaled to Series1 (empty when there are none), and what
  // they are (its frequency and the difference; or why there is no line).
  std::vector<ChartPoint> Series2;
  std::string Label8;

  // Adds a point, keeping the series in ascending order of x (equal x in
  // insertion order).
  void AddPoint(double x, double y, unsigned color);
};

// Shows the mode-shape form modally and returns when the user closes it:
// false when the user wants to see no more mode shapes of this run.
class ModeShapeDisplay {
 public:
  virtual ~ModeShapeDisplay() = default;
  virtual bool ShowModeShape(const TNewFormModel& form) = 0;
};

}  // namespace vp
