// WaitWithEventsTurning: a nested event loop ended by a timer.
#include "shell/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace shell {

void WaitWithEventsTurning(std::chrono::milliseconds duration) {
  if (duration.count() <= 0) {
    QCoreApplication::processEvents();
    return;
  }
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(duration);
  loop.exec();
}

}  // namespace shell
