// The single-instance check against real atoms, a real window registry and
// real windows: in this process (the check on a worker thread while the GUI
// thread answers) and from a second process started for the test.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/atoms.h"
#include "platform/window_presence.h"
#include "shell/single_instance.h"
#include "testsupport/temp_env.h"

extern char** environ;

namespace shell {
namespace {

using std::chrono::milliseconds;

// Scheduling slack allowed on top of the waits the check itself makes.
constexpr int kSlackMs = 400;

int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Each test gets atoms and a window registry of its own.
class SingleInstanceTest : public testing::Test {
 protected:
  void TearDown() override {
    if (platform::Atom atom = platform::GlobalFindAtom(ApplicationTitle())) platform::GlobalDeleteAtom(atom);
  }

  testsupport::TempDir runtime_;
  testsupport::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.Path()};
};

// Runs the check on a worker thread while this (GUI) thread turns its event
// loop, so that a window of this process can answer the bring-forward
// request.
SingleInstanceResult CheckWhileLoopTurns(const SingleInstanceOptions& options) {
  SingleInstanceResult result;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    result = SingleInstanceCheck(options);
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  worker.join();
  return result;
}

void TurnEventsFor(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST_F(SingleInstanceTest, TitleComesFromTheProgramsOwnResources) { EXPECT_EQ(ApplicationTitle(), "Vexo Viewer"); }

TEST_F(SingleInstanceTest, FirstInstanceAddsTheAtomAndGoesOnWithoutWaiting) {
  ASSERT_EQ(platform::GlobalFindAtom(ApplicationTitle()), 0);
  const auto start = std::chrono::steady_clock::now();
  const SingleInstanceResult result = SingleInstanceCheck();  // 8 rounds of a second, were it to wait
  EXPECT_LT(MsSince(start), kSlackMs);
  EXPECT_EQ(result.decision, StartupDecision::kGoOn);
  EXPECT_FALSE(result.atomExisted);
  EXPECT_EQ(result.roundsSearched, 0);
  EXPECT_EQ(result.atomName, ApplicationTitle());
  ASSERT_NE(result.atom, 0);
  EXPECT_EQ(platform::GlobalFindAtom(ApplicationTitle()), result.atom);

  // Shutdown after a completed start-up removes it.
  EXPECT_TRUE(DeleteInstanceAtom(result.atom));
  EXPECT_EQ(platform::GlobalFindAtom(ApplicationTitle()), 0);
}

TEST_F(SingleInstanceTest, StaleAtomGoesOnAfterEveryRound) {
  const platform::Atom stale = platform::GlobalAddAtom(ApplicationTitle());
  ASSERT_NE(stale, 0);
  const SingleInstanceOptions options{3, milliseconds(100)};
  const auto start = std::chrono::steady_clock::now();
  const SingleInstanceResult result = SingleInstanceCheck(options);
  const int64_t elapsed = MsSince(start);
  EXPECT_EQ(result.decision, StartupDecision::kGoOn);
  EXPECT_TRUE(result.atomExisted);
  EXPECT_EQ(result.atom, stale);
  EXPECT_EQ(result.roundsSearched, 3);
  EXPECT_GE(elapsed, 300);
  EXPECT_LT(elapsed, 300 + kSlackMs);
  EXPECT_EQ(platform::GlobalFindAtom(ApplicationTitle()), stale) << "the check never deletes the atom";
}

// Which windows of a running instance count as that instance.
struct WindowCase {
  const char* name;
  const char* title;
  bool shown;
  bool counts;
};
void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class SingleInstanceWindowTest : public SingleInstanceTest, public testing::WithParamInterface<WindowCase> {};

TEST_P(SingleInstanceWindowTest, FindsOnlyAVisibleWindowOfTheTitle) {
  const WindowCase& c = GetParam();
  ASSERT_NE(platform::GlobalAddAtom(ApplicationTitle()), 0);
  QWidget window;
  window.setWindowTitle(QString::fromUtf8(c.title));
  platform::WindowPresence presence(&window, c.title);
  if (c.shown) {
    window.show();
    window.showMinimized();
  }
  TurnEventsFor(20);

  const SingleInstanceResult result = CheckWhileLoopTurns({2, milliseconds(50)});
  TurnEventsFor(20);
  if (c.counts) {
    EXPECT_EQ(result.decision, StartupDecision::kAnotherInstance);
    EXPECT_EQ(result.roundsSearched, 1);
    EXPECT_TRUE(result.broughtForward);
    EXPECT_FALSE(window.isMinimized()) << "a minimized instance is restored";
  } else {
    EXPECT_EQ(result.decision, StartupDecision::kGoOn);
    EXPECT_EQ(result.roundsSearched, 2);
    EXPECT_EQ(window.isMinimized(), c.shown) << "another window is left alone";
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, SingleInstanceWindowTest,
                         testing::Values(WindowCase{"SameTitle", "Vexo Viewer", true, true},
                                         WindowCase{"TitleInOtherCase", "VEXO VIEWER", true, true},
                                         WindowCase{"Hidden", "Vexo Viewer", false, false},
                                         WindowCase{"LongerTitle", "Vexo Viewer - Scan", true, false}),
                         [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

// A second process running the check.
class Probe {
 public:
  Probe(int rounds, int intervalMs) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    readEnd_ = fds[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    // Its own environment: only what it needs, pointing at this test's atoms
    // and window registry.
    std::vector<std::string> env;
    for (const char* name : {"PATH", "HOME", "TMPDIR", "XDG_RUNTIME_DIR", "ASAN_OPTIONS", "UBSAN_OPTIONS",
                             "LSAN_OPTIONS"}) {
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    env.push_back("LANG=C");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = STARTUP_PROBE_PATH, a1 = std::to_string(rounds), a2 = std::to_string(intervalMs);
    char* argv[] = {path.data(), a1.data(), a2.data(), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
  }
  ~Probe() {
    if (pid_ > 0 && !status_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (readEnd_ >= 0) close(readEnd_);
  }

  bool Started() const { return pid_ > 0; }

  // Not blocking: the exit status once the probe has ended.
  std::optional<int> Ended() {
    if (status_ || pid_ <= 0) return status_;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return status_;
  }

  std::string Output() {
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(readEnd_, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    return out;
  }

 private:
  pid_t pid_ = -1;
  int readEnd_ = -1;
  std::optional<int> status_;
};

int Field(const std::string& output, const std::string& key) {
  const size_t at = output.find(key + "=");
  return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + key.size() + 1);
}

enum class FirstWindowState { kMinimized, kBehindAnother };
void PrintTo(FirstWindowState s, std::ostream* os) {
  *os << (s == FirstWindowState::kMinimized ? "minimized" : "behind another window");
}

class SecondInstanceTest : public SingleInstanceTest, public testing::WithParamInterface<FirstWindowState> {};

TEST_P(SecondInstanceTest, BringsTheFirstForwardWithinOneRoundAndDoesNotStart) {
  constexpr int kRounds = 5, kIntervalMs = 400;
  // This process is the first instance: it takes the atom and shows its
  // window under the application title.
  const SingleInstanceResult first = SingleInstanceCheck();
  ASSERT_EQ(first.decision, StartupDecision::kGoOn);
  ASSERT_NE(first.atom, 0);
  QWidget window;
  window.setWindowTitle(QString::fromStdString(ApplicationTitle()));
  platform::WindowPresence presence(&window, ApplicationTitle());
  window.show();
  QWidget other;
  std::function<bool()> broughtForward = [&] { return !window.isMinimized(); };
  if (GetParam() == FirstWindowState::kMinimized) {
    window.showMinimized();
  } else {
    other.show();
    other.activateWindow();
    TurnEventsFor(50);
    ASSERT_EQ(QApplication::activeWindow(), &other);
    broughtForward = [&] { return QApplication::activeWindow() == &window; };
  }
  TurnEventsFor(20);
  ASSERT_FALSE(broughtForward());

  Probe second(kRounds, kIntervalMs);
  ASSERT_TRUE(second.Started());
  QElapsedTimer clock;
  clock.start();
  qint64 forwardAt = -1;
  std::optional<int> exitCode;
  while (!(exitCode = second.Ended()) && clock.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (forwardAt < 0 && broughtForward()) forwardAt = clock.elapsed();
  }
  if (forwardAt < 0 && broughtForward()) forwardAt = clock.elapsed();
  const std::string output = second.Output();

  ASSERT_TRUE(exitCode.has_value()) << "the second instance did not end";
  EXPECT_EQ(*exitCode, 3) << output;
  EXPECT_NE(output.find("decision=another"), std::string::npos) << output;
  EXPECT_EQ(Field(output, "rounds"), 1) << output;
  EXPECT_EQ(Field(output, "forward"), 1) << output;
  // Found in the first search, which follows the first wait.
  const int elapsed = Field(output, "elapsed_ms");
  EXPECT_GE(elapsed, kIntervalMs) << output;
  EXPECT_LT(elapsed, kIntervalMs + kSlackMs) << output;
  ASSERT_GE(forwardAt, 0) << "the first instance was not brought forward";
  EXPECT_GE(forwardAt, kIntervalMs);
  EXPECT_EQ(platform::GlobalFindAtom(ApplicationTitle()), first.atom) << "an early exit keeps the atom";
}

INSTANTIATE_TEST_SUITE_P(FirstWindow, SecondInstanceTest,
                         testing::Values(FirstWindowState::kMinimized, FirstWindowState::kBehindAnother),
                         [](const testing::TestParamInfo<FirstWindowState>& info) {
                           return std::string(info.param == FirstWindowState::kMinimized ? "Minimized"
                                                                                         : "BehindAnother");
                         });

}  // namespace
}  // namespace shell
