// Test helper: runs work on a plain worker thread while the GUI thread turns
// its event loop, so that the work may wait for the GUI thread.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

namespace platform_qt_test {

// Returns false when the work took longer than the limit; events are still
// handled until it ends, so a worker waiting for the GUI thread is released.
inline bool RunOnWorkerWhileLoopTurns(const std::function<void()>& work, int limitMs = 5000) {
  QEventLoop loop;
  bool inTime = false;
  std::atomic<bool> done{false};
  QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
  std::thread worker([&] {
    work();
    done = true;
    QMetaObject::invokeMethod(&loop, [&] {
      inTime = loop.isRunning();
      loop.quit();
    }, Qt::QueuedConnection);
  });
  loop.exec();
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  return inTime;
}

}  // namespace platform_qt_test
