#pragma once
// Arithmetic faults of the calculation (division by zero, invalid operation,
// overflow) are detected from the floating-point status flags: a region of
// arithmetic starts with ClearFaults() and ends with HasFault().

#include <cfenv>

namespace vp {

inline constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

inline void ClearFaults() { std::feclearexcept(kFaultFlags); }
inline bool HasFault() { return std::fetestexcept(kFaultFlags) != 0; }

}  // namespace vp
