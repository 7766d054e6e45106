// Window messages: queued posts in order, synchronous sends on the GUI thread
// and from workers, unknown and unregistered targets.
#include "platform/message_channel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "run_loop.h"

namespace {

using platform::WindowHandle;
using platform_qt_test::RunOnWorkerWhileLoopTurns;

struct Received {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  std::thread::id thread;
  bool operator==(const Received& o) const {
    return message == o.message && wParam == o.wParam && lParam == o.lParam && thread == o.thread;
  }
};

// Registers a recording handler on the GUI thread; answers wParam + lParam.
class MessageChannelTest : public testing::Test {
 protected:
  static constexpr WindowHandle kWindow = 0x4711;

  void SetUp() override { Listen(kWindow, log_); }
  void TearDown() override {
    platform::UnregisterMessageTarget(kWindow);
    QCoreApplication::processEvents();
  }

  void Listen(WindowHandle window, std::vector<Received>& log) {
    platform::RegisterMessageTarget(window, [this, &log](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
      std::lock_guard lock(mutex_);
      log.push_back({m, w, l, std::this_thread::get_id()});
      return static_cast<intptr_t>(w + static_cast<uintptr_t>(l));  // wraps, as the values may be extreme
    });
  }

  std::vector<Received> Log() {
    std::lock_guard lock(mutex_);
    return log_;
  }

  const std::thread::id gui_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::vector<Received> log_;
};

TEST_F(MessageChannelTest, PostIsQueuedUntilTheLoopRunsAndKeepsOrder) {
  constexpr uintptr_t kBigW = std::numeric_limits<uintptr_t>::max();
  constexpr intptr_t kMinL = std::numeric_limits<intptr_t>::min();
  EXPECT_TRUE(platform::PostWindowMessage(kWindow, 0x502, 1, 2));
  EXPECT_TRUE(platform::PostWindowMessage(kWindow, 0x510, 3, -4));
  EXPECT_TRUE(platform::PostWindowMessage(kWindow, 0x511, kBigW, kMinL));
  EXPECT_TRUE(Log().empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(Log(), (std::vector<Received>{{0x502, 1, 2, gui_}, {0x510, 3, -4, gui_}, {0x511, kBigW, kMinL, gui_}}));
}

TEST_F(MessageChannelTest, SendOnTheGuiThreadIsADirectCall) {
  EXPECT_TRUE(platform::PostWindowMessage(kWindow, 0x521, 0, 0));
  EXPECT_EQ(platform::SendWindowMessage(kWindow, 0x701, 40, 2), 42);
  // The send ran at once, ahead of the message still queued.
  EXPECT_EQ(Log(), (std::vector<Received>{{0x701, 40, 2, gui_}}));
  QCoreApplication::processEvents();
  EXPECT_EQ(Log().size(), 2u);
}

TEST_F(MessageChannelTest, SendFromAWorkerWaitsForTheGuiThread) {
  intptr_t result = 0;
  size_t seenWhenReturned = 0;
  ASSERT_TRUE(RunOnWorkerWhileLoopTurns([&] {
    EXPECT_TRUE(platform::PostWindowMessage(kWindow, 0x551, 1, 0));
    result = platform::SendWindowMessage(kWindow, 0x552, 5, 7);
    seenWhenReturned = Log().size();
  }));
  EXPECT_EQ(result, 12);
  EXPECT_EQ(seenWhenReturned, 2u);  // both were handled before the send returned
  EXPECT_EQ(Log(), (std::vector<Received>{{0x551, 1, 0, gui_}, {0x552, 5, 7, gui_}}));
}

TEST_F(MessageChannelTest, ManyWorkersSendingAtOnceEachGetTheirOwnAnswer) {
  constexpr int kWorkers = 3, kSends = 100;
  std::atomic<int> wrong{0};
  ASSERT_TRUE(RunOnWorkerWhileLoopTurns([&] {
    std::vector<std::thread> workers;
    for (int t = 0; t < kWorkers; ++t)
      workers.emplace_back([&, t] {
        for (int i = 0; i < kSends; ++i)
          if (platform::SendWindowMessage(kWindow, 0x523, static_cast<uintptr_t>(t * 1000), i) != t * 1000 + i)
            ++wrong;
      });
    for (auto& w : workers) w.join();
  }));
  EXPECT_EQ(wrong, 0);
  auto log = Log();
  EXPECT_EQ(log.size(), static_cast<size_t>(kWorkers * kSends));
  for (const auto& r : log) EXPECT_EQ(r.thread, gui_);
}

TEST_F(MessageChannelTest, UnknownHandleIsRefused) {
  for (WindowHandle h : {WindowHandle{0}, WindowHandle{0x1234}}) {
    EXPECT_FALSE(platform::PostWindowMessage(h, 0x502, 1, 1));
    EXPECT_EQ(platform::SendWindowMessage(h, 0x502, 1, 1), 0);
  }
  bool worker = true;
  intptr_t sent = -1;
  ASSERT_TRUE(RunOnWorkerWhileLoopTurns([&] {
    worker = platform::PostWindowMessage(0x1234, 0x502, 1, 1);
    sent = platform::SendWindowMessage(0x1234, 0x502, 1, 1);
  }));
  EXPECT_FALSE(worker);
  EXPECT_EQ(sent, 0);
  // Handle 0 names no window and cannot be registered.
  std::vector<Received> none;
  Listen(0, none);
  EXPECT_FALSE(platform::PostWindowMessage(0, 0x502, 1, 1));
  QCoreApplication::processEvents();
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(Log().empty());
}

TEST_F(MessageChannelTest, QueuedMessagesOfAnUnregisteredTargetAreDropped) {
  ASSERT_TRUE(platform::PostWindowMessage(kWindow, 0x502, 1, 1));
  platform::UnregisterMessageTarget(kWindow);
  EXPECT_FALSE(platform::PostWindowMessage(kWindow, 0x502, 2, 2));
  // A new window that happens to get the same handle does not inherit them.
  std::vector<Received> newcomer;
  Listen(kWindow, newcomer);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(newcomer.empty());
}

TEST_F(MessageChannelTest, ReplacedHandlerReceivesWhatIsAlreadyQueued) {
  ASSERT_TRUE(platform::PostWindowMessage(kWindow, 0x510, 1, 1));
  std::vector<Received> replacement;
  Listen(kWindow, replacement);
  QCoreApplication::processEvents();
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(replacement.size(), 1u);
}

TEST_F(MessageChannelTest, HandlerMayUnregisterItsOwnWindow) {
  int calls = 0;
  platform::RegisterMessageTarget(kWindow, [&](uint32_t, uintptr_t, intptr_t) -> intptr_t {
    ++calls;
    platform::UnregisterMessageTarget(kWindow);
    return 0;
  });
  ASSERT_TRUE(platform::PostWindowMessage(kWindow, 0x502, 0, 0));
  ASSERT_TRUE(platform::PostWindowMessage(kWindow, 0x502, 0, 0));
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(calls, 1);
}

TEST_F(MessageChannelTest, WorkerWaitingOnAWindowThatGoesAwayIsReleased) {
  intptr_t result = -1;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    result = platform::SendWindowMessage(kWindow, 0x522, 1, 1);
    done = true;
  });
  // The GUI thread is busy while the send waits in its queue; then the
  // window goes away before the loop gets to it.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  platform::UnregisterMessageTarget(kWindow);
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done && std::chrono::steady_clock::now() < limit) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  ASSERT_TRUE(done);
  worker.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(MessageChannelTest, ThrowingHandlerAnswersZero) {
  platform::RegisterMessageTarget(kWindow, [](uint32_t, uintptr_t, intptr_t) -> intptr_t {
    throw std::runtime_error("handler failed");
  });
  EXPECT_EQ(platform::SendWindowMessage(kWindow, 0x502, 1, 1), 0);
  intptr_t fromWorker = -1;
  ASSERT_TRUE(RunOnWorkerWhileLoopTurns([&] { fromWorker = platform::SendWindowMessage(kWindow, 0x502, 1, 1); }));
  EXPECT_EQ(fromWorker, 0);
  ASSERT_TRUE(platform::PostWindowMessage(kWindow, 0x502, 1, 1));
  QCoreApplication::processEvents();
}

}  // namespace
