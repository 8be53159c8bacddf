#pragma once
// Arithmetic faults of the calculation (division by zero, invalid operation,
// overflow) are detected from the floating-point status flags: a region of
// arithmetic starts with ClearFaults() and ends with HasFault().

#include <cfenv>

#include "platform.h"

namespace vp {

inline constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

inline void ClearFaults() { std::feclearexcept(kFaultFlags); }
inline bool HasFault() { return std::fetestexcept(kFaultFlags) != 0; }

// While it lives, the arithmetic it encloses leaves the floating-point
// exception flags as it found them (a NaN compared raises "invalid").
class KeepExceptionFlags {
 public:
  KeepExceptionFlags() : saved_(platform::SaveFpFlags()) {}
  ~KeepExceptionFlags() { platform::RestoreFpFlags(saved_); }
  KeepExceptionFlags(const KeepExceptionFlags&) = delete;
  KeepExceptionFlags& operator=(const KeepExceptionFlags&) = delete;

 private:
  platform::FpFlags saved_;
};

}  // namespace vp
