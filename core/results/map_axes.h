#pragma once
// The axes of the frequency maps (the map over the stiffness variants and the
// critical-speed map): ticks at round steps or powers of ten, one number
// format for all their labels, and the unit their frequencies are shown in.

#include <string>

namespace vp {

// The span of a logarithmic axis that shows [low, high] (0 < low <= high):
// a bound within half a decade of the power of ten beyond it moves out to
// that power; a span that then holds fewer than two powers of ten widens to
// whole decades, so that at least two are labelled.
struct LogAxisSpan {
  double low, high;
};
LogAxisSpan LogAxisSpanOf(double low, double high);

// A linear axis from `low` to `high` with a tick every `step`, the step 1, 2
// or 5 times a power of ten and both ends multiples of it.
struct AxisTicks {
  double low = 0;
  double high = 1;
  double step = 1;
};
// The ticks of the finest round step that covers [low, high] in at most
// `maxIntervals` steps, of at least `minStep` (an axis of whole numbers: 1).
AxisTicks RoundTicks(double low, double high, int maxIntervals, double minStep = 0);

// The significant digits of an axis's labels from the largest label down to
// the finest digit any label needs (the step of a linear axis, the lowest
// power of ten of a logarithmic one): plain decimals without trailing zeros
// and without an exponent, the same for every label of the axis (6 for 0 to
// 500000 by 100000, 2 for 0 to 2.5 by 0.5, 8 for 0.1 to 1000000).
int AxisLabelDigits(double largest, double finest);
// The same as a printf format ("%.6g"), for a chart's axis.
std::string AxisLabelFormat(double largest, double finest);

// The unit of a map's frequency axis: the reported frequency P, or Hz and rpm
// of it, which are right only when the input is in SI units (omega in rad/s).
enum class FrequencyUnit { P, Hertz, Rpm };
// "Частота, P", "Гц", "об/мин": the choice beside a map.
std::string FrequencyUnitName(FrequencyUnit unit);
// "Частота, P", "Частота, Гц (при единицах СИ)", "Частота, об/мин (при единицах СИ)".
std::string FrequencyAxisTitle(FrequencyUnit unit);
// What a reported frequency (omega times reportFactor) is multiplied by to be in the unit.
double FrequencyUnitScale(FrequencyUnit unit, double reportFactor);

}  // namespace vp
