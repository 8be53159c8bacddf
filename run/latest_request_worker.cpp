#include "latest_request_worker.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>
#include <utility>

namespace vp {

struct LatestRequests::Shared {
  mutable QMutex mutex;
  QWaitCondition changed;
  QObject owner;  // on the owner's thread: results come back through its event loop
  std::unique_ptr<QThread> thread;
  bool quit = false;
  quint64 latest = 0;  // the number of the latest request; a stop takes one too
  Job next;            // the latest request, not started yet
  quint64 running = 0;  // the number of the job being computed, 0: none
  std::shared_ptr<StopFlag> stop;  // its stop flag
  std::function<void()> ready;     // the latest request's result, not handed over yet

  bool Busy() const { return next || (running != 0 && running == latest) || ready; }
  // Drops what was requested so far.
  void Supersede() {
    ++latest;
    next = nullptr;
    ready = nullptr;
    if (stop) stop->Request();
    changed.wakeAll();
  }

  // The worker's thread: computes the requests as they come.
  void Loop() {
    QMutexLocker lock(&mutex);
    for (;;) {
      while (!next && !quit) changed.wait(&mutex);
      if (quit) return;
      const Job job = std::exchange(next, nullptr);
      const quint64 id = running = latest;
      const std::shared_ptr<StopFlag> flag = stop = std::make_shared<StopFlag>();
      lock.unlock();
      std::function<void()> result;
      try {
        result = job(*flag);
      } catch (...) {  // stopped
      }
      lock.relock();
      running = 0;
      stop.reset();
      if (result && id == latest) {
        ready = std::move(result);
        QMetaObject::invokeMethod(&owner, [this] { HandOver(); }, Qt::QueuedConnection);
      }
      changed.wakeAll();
    }
  }

  // The owner's thread: the latest request's result, if it has come.
  void HandOver() {
    QMutexLocker lock(&mutex);
    const std::function<void()> result = std::exchange(ready, nullptr);
    lock.unlock();
    if (result) result();
  }
};

LatestRequests::LatestRequests() : shared_(new Shared) {}

LatestRequests::~LatestRequests() {
  {
    QMutexLocker lock(&shared_->mutex);
    shared_->quit = true;
    shared_->Supersede();
  }
  if (shared_->thread) shared_->thread->wait();
}

void LatestRequests::Request(Job job) {
  Shared& s = *shared_;
  QMutexLocker lock(&s.mutex);
  s.Supersede();
  s.next = std::move(job);
  if (!s.thread) {
    s.thread.reset(QThread::create([&s] { s.Loop(); }));
    s.thread->start();
  }
}

void LatestRequests::Stop() {
  QMutexLocker lock(&shared_->mutex);
  shared_->Supersede();
}

bool LatestRequests::Busy() const {
  QMutexLocker lock(&shared_->mutex);
  return shared_->Busy();
}

void LatestRequests::Finish() {
  Shared& s = *shared_;
  {
    QMutexLocker lock(&s.mutex);
    while (s.next || (s.running != 0 && s.running == s.latest)) s.changed.wait(&s.mutex);
  }
  s.HandOver();
}

}  // namespace vp
