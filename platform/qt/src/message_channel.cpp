// Window messages: a process-wide table of message targets, each a handler
// bound to the thread that registered it. Posted messages travel as queued
// calls on that thread's event loop; sent ones are direct calls on that
// thread, or a queued call the sender waits for.
#include "platform/message_channel.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct Target {
  QObject* context = nullptr;  // lives on the registering thread; only used under the table lock
  QThread* thread = nullptr;
  std::atomic<bool> alive{true};
  std::mutex handlerMutex;
  MessageHandler handler;

  MessageHandler Handler() {
    std::lock_guard lock(handlerMutex);
    return handler;
  }
};

// How many handlers run on this thread right now: a target unregistered from
// inside a handler may be the one whose queued call is running.
thread_local int deliveryDepth = 0;

// Runs the current handler unless the target was unregistered meanwhile.
intptr_t Deliver(Target& target, uint32_t message, uintptr_t wParam, intptr_t lParam) noexcept {
  struct Depth {
    Depth() { ++deliveryDepth; }
    ~Depth() { --deliveryDepth; }
  } depth;
  try {
    if (!target.alive.load()) return 0;
    MessageHandler h = target.Handler();
    return h ? h(message, wParam, lParam) : 0;
  } catch (...) {
    return 0;  // a handler's exception must not unwind through the event loop
  }
}

// What a waiting sender gets back. The last copy of the call that carries it
// completes it with 0 if the call never ran (its target went away first).
struct Reply {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  intptr_t result = 0;

  void Complete(intptr_t value) {
    {
      std::lock_guard lock(m);
      if (done) return;
      done = true;
      result = value;
    }
    cv.notify_all();
  }
  intptr_t Wait() {
    std::unique_lock lock(m);
    cv.wait(lock, [this] { return done; });
    return result;
  }
};

struct ReplyGuard {
  explicit ReplyGuard(std::shared_ptr<Reply> r) : reply(std::move(r)) {}
  ~ReplyGuard() { reply->Complete(0); }
  ReplyGuard(const ReplyGuard&) = delete;
  ReplyGuard& operator=(const ReplyGuard&) = delete;
  std::shared_ptr<Reply> reply;
};

class Table {
 public:
  ~Table() {
    // Targets nobody unregistered; by now only the main thread runs.
    for (auto& [handle, target] : targets_) delete target->context;
  }

  void Register(WindowHandle window, MessageHandler handler) {
    std::unique_lock lock(mutex_);
    auto it = targets_.find(window);
    if (it != targets_.end() && it->second->thread == QThread::currentThread()) {
      // Same window, new handler: messages already queued reach the new one.
      std::lock_guard hl(it->second->handlerMutex);
      it->second->handler = std::move(handler);
      return;
    }
    auto target = std::make_shared<Target>();
    target->thread = QThread::currentThread();
    target->handler = std::move(handler);
    target->context = new QObject;  // deleted by Retire() or ~Table()
    std::shared_ptr<Target> old;
    if (it != targets_.end()) {
      old = std::move(it->second);
      it->second = std::move(target);
    } else {
      targets_.emplace(window, std::move(target));
    }
    lock.unlock();
    if (old) Retire(*old);
  }

  void Unregister(WindowHandle window) {
    std::shared_ptr<Target> old;
    {
      std::lock_guard lock(mutex_);
      auto it = targets_.find(window);
      if (it == targets_.end()) return;
      old = std::move(it->second);
      targets_.erase(it);
    }
    Retire(*old);
  }

  // Queues a call on the target's thread; the table lock keeps the context
  // alive while the call is handed over.
  template <typename Call>
  bool Queue(WindowHandle window, Call&& call) {
    std::lock_guard lock(mutex_);
    auto it = targets_.find(window);
    if (it == targets_.end()) return false;
    std::shared_ptr<Target> target = it->second;
    return QMetaObject::invokeMethod(
        target->context, [target, call = std::forward<Call>(call)]() mutable { call(*target); },
        Qt::QueuedConnection);
  }

  std::shared_ptr<Target> Find(WindowHandle window) {
    std::lock_guard lock(mutex_);
    auto it = targets_.find(window);
    return it == targets_.end() ? nullptr : it->second;
  }

 private:
  // Called with no lock held, after the target left the table: no new call
  // can reach its context, and queued ones are dropped with it.
  static void Retire(Target& target) {
    target.alive = false;
    if (target.thread == QThread::currentThread() && deliveryDepth == 0)
      delete target.context;
    else
      target.context->deleteLater();
    target.context = nullptr;
  }

  std::mutex mutex_;
  std::map<WindowHandle, std::shared_ptr<Target>> targets_;
};

Table& Targets() {
  static Table table;
  return table;
}

}  // namespace

void RegisterMessageTarget(WindowHandle window, MessageHandler handler) {
  try {
    if (window == 0) return;
    if (!handler) {
      Targets().Unregister(window);
      return;
    }
    Targets().Register(window, std::move(handler));
  } catch (...) {
  }
}

void UnregisterMessageTarget(WindowHandle window) {
  try {
    Targets().Unregister(window);
  } catch (...) {
  }
}

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  try {
    return Targets().Queue(window, [=](Target& t) { Deliver(t, message, wParam, lParam); });
  } catch (...) {
    return false;
  }
}

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  try {
    std::shared_ptr<Target> target = Targets().Find(window);
    if (!target) return 0;
    if (target->thread == QThread::currentThread()) return Deliver(*target, message, wParam, lParam);

    auto reply = std::make_shared<Reply>();
    auto guard = std::make_shared<ReplyGuard>(reply);
    bool queued = Targets().Queue(window, [=, guard = std::move(guard)](Target& t) {
      guard->reply->Complete(Deliver(t, message, wParam, lParam));
    });
    if (!queued) return 0;
    return reply->Wait();
  } catch (...) {
    return 0;
  }
}

}  // namespace platform
