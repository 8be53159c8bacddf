// The worker of the maps: a new request stops the one being computed and only
// the latest result comes back, a stop brings nothing back, Finish() hands
// the latest result over without the event loop.

#include "latest_request_worker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QtCore/qtestsupport_core.h>
#include <atomic>

using namespace vp;

namespace {

// Results come back through the event loop of the thread that made the worker.
void NeedEventLoop() {
  static int argc = 1;
  static char name[] = "test_latest_request_worker";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

// A job that computes `value`: when `untilStopped`, not before its stop flag
// is raised (so that it is stopped while computing); otherwise at once, and
// then the owner waits until it has ended (so that it is stopped with its
// result on the way back).
struct Job {
  std::atomic<bool> started = false, ended = false;
  std::function<int(const StopFlag&)> Compute(int value, bool untilStopped) {
    return [this, value, untilStopped](const StopFlag& stop) {
      started = true;
      while (untilStopped && !stop.Requested()) QThread::msleep(1);
      ended = true;
      return value;
    };
  }
  void AwaitOnTheWay(bool untilStopped) {
    while (!(untilStopped ? started : ended)) QThread::msleep(1);
    if (!untilStopped) QThread::msleep(20);  // its result posted, the event loop not run
  }
};

}  // namespace

TEST(LatestRequestWorker, ANewRequestSupersedesTheOneBeforeAndAStopBringsNothingBack) {
  NeedEventLoop();
  for (const bool untilStopped : {true, false})
    for (const bool stopped : {false, true}) {
      std::vector<int> delivered;
      LatestRequestWorker<int> worker([&](int value) { delivered.push_back(value); });
      Job first;
      worker.Request(first.Compute(1, untilStopped));
      first.AwaitOnTheWay(untilStopped);
      if (stopped)
        worker.Stop();
      else
        worker.Request([](const StopFlag&) { return 2; });
      EXPECT_TRUE(QTest::qWaitFor([&] { return !worker.Busy() && first.ended; }));
      QCoreApplication::processEvents();
      EXPECT_EQ(delivered, stopped ? std::vector<int>{} : std::vector<int>{2}) << untilStopped;
    }
}

TEST(LatestRequestWorker, FinishHandsTheLatestResultOverAtOnce) {
  NeedEventLoop();
  std::vector<int> delivered;
  LatestRequestWorker<int> worker([&](int value) { delivered.push_back(value); });
  worker.Request([](const StopFlag&) {
    QThread::msleep(20);
    return 3;
  });
  EXPECT_TRUE(worker.Busy());
  worker.Finish();
  EXPECT_FALSE(worker.Busy());
  EXPECT_EQ(delivered, std::vector<int>{3});
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, std::vector<int>{3});  // once
}
