#pragma once
// A request from another thread that a long computation stop. The computation
// looks at it between its steps and then throws Failure (ErrorCode::Interrupted).

#include <atomic>

#include "errors.h"

namespace vp {

class StopFlag {
 public:
  void Request() { requested_.store(true, std::memory_order_relaxed); }
  bool Requested() const { return requested_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
};

// Throws when a stop has been requested; `stop` may be null (never).
inline void ThrowIfStopped(const StopFlag* stop) {
  if (stop && stop->Requested()) Raise(Error{ErrorCode::Interrupted});
}

}  // namespace vp
