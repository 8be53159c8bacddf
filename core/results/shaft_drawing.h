#pragma once
// The shaft drawn to scale along its length, as the mode-shape window and the
// calculation report show it above the mode shapes, and the places where a
// mode shape changes its sign.

#include <vector>

#include "shaft_model.h"

namespace vp {

// x in the input's length units from cross-section 0; heights relative to
// the tallest section, 1.
struct ShaftDrawing {
  struct Box {
    int section;
    double x0, x1;
    double height;  // EI^(1/4) over the largest EI^(1/4) of the sections drawn
    bool active;    // within 1..E: after E a section takes no part
  };
  struct Disc {  // a section of length 0 with a mass: a point mass
    int section;
    double x;
  };
  struct Spring {  // the supports acting at one cross-section
    std::vector<int> numbers;
    double x;
  };
  double length = 0;  // x of cross-section KM
  std::vector<Box> boxes;
  std::vector<Disc> discs;
  std::vector<Spring> springs;  // ascending in x
};

// The drawing of the model's sections and of the supports that act (at
// cross-sections 1..E).
ShaftDrawing DrawShaft(const TShaftModel& model);

// x of cross-sections 0..KM: 0, then the right ends of the sections.
std::vector<double> CrossSectionX(const TShaftModel& model);

// Where y (at the ascending places x) changes its sign: between two
// neighbours of opposite signs by linear interpolation; across a run of zeros
// (below 1e-9 of the largest |y|) between opposite signs, the middle of the run.
// A run of zeros at either end is no change of sign.
std::vector<double> NodesOf(const std::vector<double>& x, const std::vector<double>& y);

}  // namespace vp
