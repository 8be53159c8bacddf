#pragma once
// The calculation part of a run on a thread of its own. What must happen on
// the thread that started it (a mode-shape window, a message) the work hands
// over and waits for; that thread carries it out in Serve(). Any thread may
// read the progress and stop the work.

#include <functional>
#include <memory>
#include <string>

#include "solver_io.h"
#include "stop_flag.h"

namespace vp {

class CalculationWorker {
 public:
  // Starts `work` on a thread of its own; it must not throw. `expectedTrials`
  // is what the search is estimated to take (0: not known), for the progress.
  explicit CalculationWorker(std::function<void(CalculationWorker&)> work, double expectedTrials = 0);
  // Stops the work, if it is still on, and waits for its end.
  ~CalculationWorker();
  CalculationWorker(const CalculationWorker&) = delete;
  CalculationWorker& operator=(const CalculationWorker&) = delete;

  // Any thread: the work ends at its next look at the flag; what it handed
  // over and the starting thread has not taken yet is dropped.
  void Stop();
  const StopFlag& StopRequest() const { return stop_; }
  // Written by the work, read by any thread.
  SearchProgress& Progress() { return progress_; }

  // The starting thread: carries out what the work handed over, if anything,
  // and tells whether the work has ended. A call made while a task is being
  // carried out (from an event loop the task runs) does nothing.
  bool Serve();
  // The starting thread: true while Serve carries out a task.
  bool Serving() const;
  // The starting thread: blocks until there is something to serve, the work
  // has ended or `ms` milliseconds have passed (negative: no limit).
  void WaitForNews(long long ms = -1);
  // Called on the work's thread whenever there is something new to serve
  // (also at once when there is already); an event loop wakes up with it.
  void SetWakeUp(std::function<void()> wakeUp);

  // The work's thread: has `task` carried out on the starting thread and
  // returns when it is done, throwing what it threw. Throws Failure (Interrupted)
  // when a stop comes first.
  void HandOver(const std::function<void()>& task);

 private:
  struct Shared;  // what both threads use, under its mutex
  StopFlag stop_;
  SearchProgress progress_;
  std::unique_ptr<Shared> shared_;
};

// What the progress window says while the worker computes: the variant and
// the trial frequency (reported, omega times `reportFactor`) in the general format.
std::string ProgressText(const SearchProgress& progress, double reportFactor, char decimalSeparator);

}  // namespace vp
