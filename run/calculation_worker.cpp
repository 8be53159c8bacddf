#include "calculation_worker.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <exception>
#include <utility>

#include "numtext.h"

namespace vp {

struct CalculationWorker::Shared {
  QMutex mutex;
  QWaitCondition changed;
  const std::function<void()>* task = nullptr;  // handed over, not done yet
  bool taken = false;                            // the starting thread is carrying it out
  std::exception_ptr taskError;
  bool ended = false;
  bool serving = false;  // the starting thread's own
  std::function<void()> wakeUp;
  std::unique_ptr<QThread> thread;

  bool HasNews(const StopFlag& stop) const { return ended || (task && !taken && !stop.Requested()); }
  void Notify() {
    changed.wakeAll();
    if (wakeUp) wakeUp();
  }
};

CalculationWorker::CalculationWorker(std::function<void(CalculationWorker&)> work, double expectedTrials)
    : shared_(new Shared) {
  progress_.expected.store(expectedTrials, std::memory_order_relaxed);
  shared_->thread.reset(QThread::create([this, work = std::move(work)] {
    work(*this);
    QMutexLocker lock(&shared_->mutex);
    shared_->ended = true;
    shared_->Notify();
  }));
  shared_->thread->start();
}

CalculationWorker::~CalculationWorker() {
  Stop();
  shared_->thread->wait();
}

void CalculationWorker::Stop() {
  stop_.Request();
  QMutexLocker lock(&shared_->mutex);
  shared_->changed.wakeAll();
}

bool CalculationWorker::Serving() const { return shared_->serving; }

bool CalculationWorker::Serve() {
  Shared& s = *shared_;
  if (s.serving) return false;
  QMutexLocker lock(&s.mutex);
  if (s.task && !s.taken && !stop_.Requested()) {
    s.taken = true;
    const std::function<void()>& task = *s.task;
    lock.unlock();
    s.serving = true;
    std::exception_ptr error;
    try {
      task();
    } catch (...) {
      error = std::current_exception();
    }
    s.serving = false;
    lock.relock();
    s.taskError = error;
    s.task = nullptr;
    s.taken = false;
    s.changed.wakeAll();
  }
  return s.ended;
}

void CalculationWorker::WaitForNews(long long ms) {
  const QDeadlineTimer deadline(ms < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(ms));
  QMutexLocker lock(&shared_->mutex);
  while (!shared_->HasNews(stop_))
    if (!shared_->changed.wait(&shared_->mutex, deadline)) return;
}

void CalculationWorker::SetWakeUp(std::function<void()> wakeUp) {
  QMutexLocker lock(&shared_->mutex);
  shared_->wakeUp = std::move(wakeUp);
  if (shared_->wakeUp && shared_->HasNews(stop_)) shared_->wakeUp();
}

void CalculationWorker::HandOver(const std::function<void()>& task) {
  Shared& s = *shared_;
  QMutexLocker lock(&s.mutex);
  ThrowIfStopped(&stop_);
  s.task = &task;
  s.taskError = nullptr;
  s.Notify();
  // Done (Serve clears the task), or dropped: stopped before it was taken.
  while (s.task && (s.taken || !stop_.Requested())) s.changed.wait(&s.mutex);
  s.task = nullptr;
  if (s.taskError) std::rethrow_exception(std::exchange(s.taskError, nullptr));
  ThrowIfStopped(&stop_);
}

std::string ProgressText(const SearchProgress& progress, double reportFactor, char decimalSeparator) {
  const double F = progress.omega.load(std::memory_order_relaxed) * reportFactor;
  return "Вариант по жесткости № " + std::to_string(progress.variant.load(std::memory_order_relaxed)) +
         "\nпробная частота " + GeneralFormat(F, decimalSeparator);
}

}  // namespace vp
