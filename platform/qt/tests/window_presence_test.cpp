// Window presence: the registry entry follows the window, a raise request
// from another connection restores or activates it, bad requests are
// refused, and nothing is left behind once the presence is gone.
#include "platform/window_presence.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "platform/window_registry.h"
#include "run_loop.h"
#include "testsupport/temp_env.h"

namespace {

namespace fs = std::filesystem;
using platform::WindowEntry;
using platform::WindowPresence;
using platform_qt_test::RunOnWorkerWhileLoopTurns;

class WindowPresenceTest : public testing::Test {
 protected:
  testsupport::TempDir dir_;
  testsupport::ScopedEnv runtime_{"XDG_RUNTIME_DIR", dir_.Path()};

  static std::optional<WindowEntry> OwnEntry() {
    for (auto& e : platform::ListWindows())
      if (e.pid == getpid()) return e;
    return std::nullopt;
  }

  // Sends a raise request from a worker while this thread serves it.
  static bool RaiseFromAnotherConnection(const WindowEntry& entry) {
    bool ok = false;
    EXPECT_TRUE(RunOnWorkerWhileLoopTurns([&] { ok = platform::RequestBringForward(entry); }));
    return ok;
  }
};

// Writes raw bytes to the socket and returns all it answers until it closes
// (or a second passes).
std::string Exchange(const std::string& path, const std::string& data) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size())) {
    char buf[256];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 1000) > 0) {
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) break;
      reply.append(buf, static_cast<size_t>(n));
    }
  } else {
    reply = "<no connection>";
  }
  close(fd);
  return reply;
}

TEST_F(WindowPresenceTest, EntryFollowsTheWindowAndGoesWithThePresence) {
  QWidget window;
  window.setWindowTitle("Vistel");
  auto presence = std::make_unique<WindowPresence>(&window, "Vistel");

  auto entry = OwnEntry();
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->title, "Vistel");
  EXPECT_FALSE(entry->visible);
  EXPECT_EQ(entry->socketPath, platform::WindowRegistryFolder() + std::to_string(getpid()) + ".sock");
  EXPECT_TRUE(fs::exists(entry->socketPath));

  struct Step {
    const char* what;
    std::function<void()> act;
    const char* title;
    bool visible, minimized;
  } const steps[] = {
      {"shown", [&] { window.show(); }, "Vistel", true, false},
      {"renamed", [&] { window.setWindowTitle("Vistel - Größe <1>.tif"); }, "Vistel - Größe <1>.tif", true, false},
      {"minimized", [&] { window.showMinimized(); }, "Vistel - Größe <1>.tif", true, true},
      {"restored", [&] { window.showNormal(); }, "Vistel - Größe <1>.tif", true, false},
      {"hidden", [&] { window.hide(); }, "Vistel - Größe <1>.tif", false, false},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    QCoreApplication::processEvents();
    entry = OwnEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title, s.title);
    EXPECT_EQ(entry->visible, s.visible);
    EXPECT_EQ(entry->minimized, s.minimized);
    std::string upper = s.title;
    for (char& ch : upper)
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    EXPECT_EQ(platform::FindWindowByTitle(upper, nullptr), s.visible);
  }

  std::string socket = entry->socketPath;
  presence.reset();
  EXPECT_FALSE(OwnEntry());
  EXPECT_FALSE(fs::exists(socket));
  EXPECT_FALSE(platform::RequestBringForward(*entry));
}

TEST_F(WindowPresenceTest, RaiseRequestRestoresAMinimizedWindowToItsEarlierState) {
  for (bool maximized : {false, true}) {
    SCOPED_TRACE(maximized ? "was maximized" : "was normal");
    QWidget window;
    window.setWindowTitle("Vistel");
    window.resize(320, 200);
    WindowPresence presence(&window, "Vistel");
    window.show();
    if (maximized) window.showMaximized();
    window.showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.windowState() & Qt::WindowMinimized);

    WindowEntry entry;
    ASSERT_TRUE(platform::FindWindowByTitle("vistel", &entry));
    ASSERT_TRUE(entry.minimized);
    EXPECT_TRUE(RaiseFromAnotherConnection(entry));
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(window.windowState().testFlag(Qt::WindowMaximized), maximized);
    EXPECT_TRUE(window.isVisible());
    auto after = OwnEntry();
    ASSERT_TRUE(after);
    EXPECT_FALSE(after->minimized);
  }
}

TEST_F(WindowPresenceTest, RaiseRequestActivatesAWindowBehindAnother) {
  QWidget window, other;
  window.setWindowTitle("Vistel");
  WindowPresence presence(&window, "Vistel");
  window.show();
  other.show();
  other.activateWindow();
  auto settle = [](auto done) {
    for (int i = 0; i < 100 && !done(); ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  settle([&] { return QApplication::activeWindow() == &other; });
  if (QApplication::activeWindow() != &other) GTEST_SKIP() << "this platform does not activate windows";

  WindowEntry entry;
  ASSERT_TRUE(platform::FindWindowByTitle("Vistel", &entry));
  EXPECT_TRUE(RaiseFromAnotherConnection(entry));
  settle([&] { return QApplication::activeWindow() == &window; });
  EXPECT_EQ(QApplication::activeWindow(), &window);
}

TEST_F(WindowPresenceTest, OnlyARaiseLineIsAnswered) {
  QWidget window;
  WindowPresence presence(&window, "Vistel");
  window.showMinimized();
  auto entry = OwnEntry();
  ASSERT_TRUE(entry);
  struct Case {
    const char* what;
    std::string request;
    std::string reply;
    bool minimizedAfter;
  } const cases[] = {
      {"unknown command", "bogus\n", "", true},
      {"raise with trailing text", "raise now\n", "", true},
      {"endless line", std::string(200, 'r'), "", true},
      {"two raises", "raise\nraise\n", "ok\nok\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string reply;
    ASSERT_TRUE(RunOnWorkerWhileLoopTurns([&] { reply = Exchange(entry->socketPath, c.request); }));
    // A refused request is cut off; good ones are answered until the client
    // stops waiting for more.
    EXPECT_EQ(reply, c.reply);
    EXPECT_EQ(window.isMinimized(), c.minimizedAfter);
  }
}

TEST_F(WindowPresenceTest, StaleSocketFileOfAnEarlierProcessIsReplaced) {
  std::string folder = platform::EnsureWindowRegistryFolder();
  ASSERT_FALSE(folder.empty());
  std::string stale = folder + std::to_string(getpid()) + ".sock";
  testsupport::WriteFile(stale, "left over");
  QWidget window;
  WindowPresence presence(&window, "Vistel");
  window.showMinimized();
  auto entry = OwnEntry();
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->socketPath, stale);
  EXPECT_TRUE(RaiseFromAnotherConnection(*entry));
  EXPECT_FALSE(window.isMinimized());
}

}  // namespace
