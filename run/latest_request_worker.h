#pragma once
// Work redone as its input changes (a map redrawn as its range is typed), on a
// thread of its own: the latest request wins. A new request stops the one
// being computed, which is then dropped, and is computed next; Stop() drops
// the one being computed. Only the latest request's result comes back, on the
// thread that made the worker: through its event loop, or at once with
// Finish(). The worker knows nothing of what it computes.

#include <functional>
#include <memory>

#include "stop_flag.h"

namespace vp {

class LatestRequests {
 public:
  // Computes on the worker's thread, looking at the stop flag; returns what
  // hands its result over on the owner's thread. A job that throws (a stop)
  // hands over nothing.
  using Job = std::function<std::function<void()>(const StopFlag& stop)>;

  LatestRequests();
  // Stops the job being computed and waits for its end; nothing more comes back.
  ~LatestRequests();
  LatestRequests(const LatestRequests&) = delete;
  LatestRequests& operator=(const LatestRequests&) = delete;

  // Computes `job` next, stopping the one being computed: only this one's result comes back.
  void Request(Job job);
  // Stops the job being computed; no result comes back of what was requested so far.
  void Stop();
  // True while the latest request's result is still to come back.
  bool Busy() const;
  // Waits until the latest request is computed and hands its result over now.
  void Finish();

 private:
  struct Shared;
  std::unique_ptr<Shared> shared_;
};

// A LatestRequests whose results are of one type, handed to `deliver`.
template <class Result>
class LatestRequestWorker {
 public:
  explicit LatestRequestWorker(std::function<void(Result)> deliver) : deliver_(std::move(deliver)) {}

  void Request(std::function<Result(const StopFlag&)> compute) {
    requests_.Request([this, compute = std::move(compute)](const StopFlag& stop) -> std::function<void()> {
      auto result = std::make_shared<Result>(compute(stop));
      return [this, result] { deliver_(std::move(*result)); };
    });
  }
  void Stop() { requests_.Stop(); }
  bool Busy() const { return requests_.Busy(); }
  void Finish() { requests_.Finish(); }

 private:
  std::function<void(Result)> deliver_;
  LatestRequests requests_;  // destroyed first: no result comes back after
};

}  // namespace vp
