// Window registry: entry round trip, dead and reused pids, order, title
// lookup, hostile entry files, and the bring-forward request over a socket.
#include "platform/window_registry.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "testsupport/temp_env.h"

namespace {

namespace fs = std::filesystem;
using platform::WindowEntry;

// Every test gets its own empty registry folder.
class WindowRegistryTest : public testing::Test {
 protected:
  testsupport::TempDir dir_;
  testsupport::ScopedEnv runtime_{"XDG_RUNTIME_DIR", dir_.Path()};

  std::string EntryPath(int pid) const { return platform::WindowRegistryFolder() + std::to_string(pid); }
};

// A child process that registers an entry and stays alive until it is told
// to go; it then ends without unregistering, as a crashed instance would.
class ChildWindow {
 public:
  explicit ChildWindow(const WindowEntry& entry) {
    int ready[2], cmd[2];
    if (pipe2(ready, O_CLOEXEC) != 0 || pipe2(cmd, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(cmd[1]);
      for (;;) {
        char ok = platform::RegisterWindow(entry) ? 'y' : 'n';
        if (write(ready[1], &ok, 1) != 1) _exit(1);
        char c;
        if (read(cmd[0], &c, 1) != 1) _exit(0);
      }
    }
    close(ready[1]);
    close(cmd[0]);
    readyFd_ = ready[0];
    cmdFd_ = cmd[1];
    registered_ = WaitReady();
  }
  ~ChildWindow() {
    Exit();
    if (readyFd_ >= 0) close(readyFd_);
  }
  ChildWindow(const ChildWindow&) = delete;
  ChildWindow& operator=(const ChildWindow&) = delete;

  bool registered() const { return registered_; }
  int pid() const { return pid_; }
  bool Reregister() { return write(cmdFd_, "r", 1) == 1 && WaitReady(); }
  // Ends the child and reaps it, so its pid is dead.
  void Exit() {
    if (cmdFd_ >= 0) close(cmdFd_);
    cmdFd_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }

 private:
  bool WaitReady() {
    char c = 0;
    return read(readyFd_, &c, 1) == 1 && c == 'y';
  }
  int pid_ = -1, readyFd_ = -1, cmdFd_ = -1;
  bool registered_ = false;
};

// Entries written at once can share a coarse file time stamp; keep them apart.
void NextTick() { std::this_thread::sleep_for(std::chrono::milliseconds(15)); }

std::vector<int> Pids(const std::vector<WindowEntry>& entries) {
  std::vector<int> pids;
  for (const auto& e : entries) pids.push_back(e.pid);
  return pids;
}

TEST_F(WindowRegistryTest, FolderFollowsRuntimeDirElseTmpPerUser) {
  EXPECT_EQ(platform::WindowRegistryFolder(), dir_.Path() + "vistel-windows/");
  std::string fallback = "/tmp/vistel-windows-" + std::to_string(getuid()) + "/";
  {
    testsupport::ScopedEnv unset("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(platform::WindowRegistryFolder(), fallback);
  }
  {
    testsupport::ScopedEnv empty("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(platform::WindowRegistryFolder(), fallback);
  }
}

TEST_F(WindowRegistryTest, FolderThatIsALinkIsRefused) {
  testsupport::TempDir elsewhere;
  fs::create_symlink(elsewhere.Path(), dir_.Path() + "vistel-windows");
  EXPECT_EQ(platform::EnsureWindowRegistryFolder(), "");
  EXPECT_FALSE(platform::RegisterWindow({0, "Vistel", true, false, ""}));
  EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
}

TEST_F(WindowRegistryTest, EntryRoundTripsEveryField) {
  const WindowEntry cases[] = {
      {0, "Vistel", true, false, "/run/a.sock"},
      {0, "two\nlines\r\nand more", false, true, "/run/with space/b.sock"},
      {0, "back\\slash and a literal \\n", true, true, "/run/x\\n/c.sock"},
      {0, std::string("nul\0inside", 10), true, false, ""},
      {0, "Ünïcödé 文書 — scan", true, false, "/run/ü.sock"},
      {0, "", true, false, ""},
      {0, "ends in a backslash\\", false, false, "/s"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    ASSERT_TRUE(platform::RegisterWindow(c));
    auto list = platform::ListWindows();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].pid, getpid());
    EXPECT_EQ(list[0].title, c.title);
    EXPECT_EQ(list[0].visible, c.visible);
    EXPECT_EQ(list[0].minimized, c.minimized);
    EXPECT_EQ(list[0].socketPath, c.socketPath);
  }
  // Atomic replacement leaves no temporary file behind.
  size_t files = 0;
  for (const auto& f : fs::directory_iterator(platform::WindowRegistryFolder())) ++files, (void)f;
  EXPECT_EQ(files, 1u);
  platform::UnregisterWindow();
  EXPECT_TRUE(platform::ListWindows().empty());
  EXPECT_FALSE(fs::exists(EntryPath(getpid())));
}

TEST_F(WindowRegistryTest, DeadInstanceIsSkippedAndItsEntryRemoved) {
  ChildWindow alive({0, "Alive", true, false, ""});
  ChildWindow crashed({0, "Crashed", true, false, ""});
  ASSERT_TRUE(alive.registered());
  ASSERT_TRUE(crashed.registered());
  int deadPid = crashed.pid();
  crashed.Exit();
  ASSERT_TRUE(fs::exists(EntryPath(deadPid)));

  EXPECT_EQ(Pids(platform::ListWindows()), std::vector<int>{alive.pid()});
  EXPECT_FALSE(fs::exists(EntryPath(deadPid)));
  EXPECT_FALSE(platform::FindWindowByTitle("Crashed", nullptr));
}

TEST_F(WindowRegistryTest, EntryOfAnEarlierProcessWithTheSamePidIsStale) {
  ASSERT_TRUE(platform::RegisterWindow({0, "Vistel", true, false, ""}));
  std::string path = EntryPath(getpid());
  std::string text = testsupport::ReadFile(path);
  size_t at = text.find("\nstart ");
  ASSERT_NE(at, std::string::npos) << text;
  size_t end = text.find('\n', at + 1);
  testsupport::WriteFile(path, text.substr(0, at) + "\nstart 1" + text.substr(end));

  EXPECT_TRUE(platform::ListWindows().empty());
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(WindowRegistryTest, MostRecentlyRegisteredFirst) {
  ChildWindow a({0, "Same", true, false, ""});
  NextTick();
  ChildWindow b({0, "Same", true, false, ""});
  NextTick();
  ChildWindow c({0, "Other", true, false, ""});
  ASSERT_TRUE(a.registered() && b.registered() && c.registered());
  EXPECT_EQ(Pids(platform::ListWindows()), (std::vector<int>{c.pid(), b.pid(), a.pid()}));

  WindowEntry found;
  ASSERT_TRUE(platform::FindWindowByTitle("same", &found));
  EXPECT_EQ(found.pid, b.pid());

  NextTick();
  ASSERT_TRUE(a.Reregister());
  EXPECT_EQ(Pids(platform::ListWindows()), (std::vector<int>{a.pid(), c.pid(), b.pid()}));
  ASSERT_TRUE(platform::FindWindowByTitle("SAME", &found));
  EXPECT_EQ(found.pid, a.pid());
}

TEST_F(WindowRegistryTest, FindWindowByTitleMatchesVisibleTitlesIgnoringAsciiCase) {
  ChildWindow scan({0, "Vistel - Scan", true, true, "/s1"});
  ChildWindow hidden({0, "Hidden One", false, false, "/s2"});
  ChildWindow untitled({0, "", true, false, "/s3"});
  ChildWindow umlaut({0, "Über", true, false, "/s4"});
  ASSERT_TRUE(scan.registered() && hidden.registered() && untitled.registered() && umlaut.registered());

  struct Case {
    const char* query;
    int expectPid;  // 0: not found
  } const cases[] = {
      {"Vistel - Scan", scan.pid()},
      {"vISTEL - sCAN", scan.pid()},  // minimized windows are still visible ones
      {"Vistel", 0},
      {"Vistel - Scan ", 0},
      {"hidden one", 0},  // invisible
      {"", 0},            // an empty title never matches
      {"ÜBER", umlaut.pid()},
      {"über", 0},  // only ASCII letters fold
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    WindowEntry found;
    bool ok = platform::FindWindowByTitle(c.query, &found);
    EXPECT_EQ(ok, c.expectPid != 0);
    if (ok) {
      EXPECT_EQ(found.pid, c.expectPid);
    }
  }
  WindowEntry found;
  ASSERT_TRUE(platform::FindWindowByTitle("VISTEL - SCAN", &found));
  EXPECT_EQ(found.socketPath, "/s1");
  EXPECT_TRUE(found.minimized);
}

TEST_F(WindowRegistryTest, HostileEntryFilesAreSkippedNotFatal) {
  std::string folder = platform::EnsureWindowRegistryFolder();
  ASSERT_FALSE(folder.empty());
  std::string self = std::to_string(getpid());
  std::string parent = std::to_string(getppid());
  struct Case {
    const char* what;
    std::string name;
    std::string content;
  } const cases[] = {
      {"garbage", self, "\x01\x02 not an entry"},
      {"empty", self, ""},
      {"no pid line", self, "vistel-window 1\ntitle X\nvisible 1\n"},
      {"pid differs from name", self, "vistel-window 1\npid " + parent + "\ntitle X\nvisible 1\n"},
      {"pid not a number", self, "vistel-window 1\npid 12x\ntitle X\nvisible 1\n"},
      {"too large", self, "vistel-window 1\npid " + self + "\ntitle " + std::string(100000, 'a') + "\n"},
      {"newer version", self, "vistel-window 2\npid " + self + "\ntitle X\nvisible 1\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::WriteFile(folder + c.name, c.content);
    EXPECT_TRUE(platform::ListWindows().empty());
    EXPECT_TRUE(fs::exists(folder + c.name));  // a live process's file is left alone
  }
  fs::remove(folder + self);

  // Other names in the folder are not entries: sockets, temporaries, folders.
  testsupport::WriteFile(folder + self + ".sock", "x");
  testsupport::WriteFile(folder + "." + self + ".tmp", "x");
  fs::create_directory(folder + parent);
  ASSERT_TRUE(platform::RegisterWindow({0, "Vistel", true, false, ""}));
  EXPECT_EQ(Pids(platform::ListWindows()), std::vector<int>{getpid()});
  EXPECT_TRUE(fs::exists(folder + self + ".sock"));
}

// A one-shot listener that reads the request and answers as told.
class FakeOwner {
 public:
  using Behaviour = std::function<void(int client)>;
  FakeOwner(std::string path, Behaviour behaviour) : path_(std::move(path)) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path_.c_str(), sizeof addr.sun_path - 1);
    listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && listen(fd_, 4) == 0;
    if (!listening_) return;
    thread_ = std::thread([this, behaviour] {
      int client = accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      char buf[64];
      ssize_t n = read(client, buf, sizeof buf);
      if (n > 0) request_.assign(buf, static_cast<size_t>(n));
      behaviour(client);
      close(client);
    });
  }
  ~FakeOwner() {
    if (thread_.joinable()) {
      shutdown(fd_, SHUT_RDWR);  // releases accept() when nobody connected
      thread_.join();
    }
    close(fd_);
    unlink(path_.c_str());
  }
  bool listening() const { return listening_; }
  // Valid after the request returned.
  std::string Request() {
    if (thread_.joinable()) thread_.join();
    return request_;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool listening_ = false;
  std::thread thread_;
  std::string request_;
};

void Say(int fd, const char* text) { ASSERT_EQ(write(fd, text, strlen(text)), static_cast<ssize_t>(strlen(text))); }

TEST_F(WindowRegistryTest, BringForwardNeedsTheOwnersConfirmation) {
  using namespace std::chrono;
  struct Case {
    const char* what;
    FakeOwner::Behaviour behaviour;
    bool expected;
  } const cases[] = {
      {"confirms", [](int fd) { Say(fd, "ok\n"); }, true},
      {"confirms in pieces",
       [](int fd) {
         Say(fd, "o");
         std::this_thread::sleep_for(milliseconds(20));
         Say(fd, "k\n");
       },
       true},
      {"refuses", [](int fd) { Say(fd, "no\n"); }, false},
      {"answers without a line end", [](int fd) { Say(fd, "ok"); }, false},
      {"answers more than ok", [](int fd) { Say(fd, "okay\n"); }, false},
      {"hangs up", [](int) {}, false},
      {"never answers", [](int) { std::this_thread::sleep_for(milliseconds(1500)); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::TempDir sockDir;
    FakeOwner owner(sockDir.File("w.sock"), c.behaviour);
    ASSERT_TRUE(owner.listening());
    auto t0 = steady_clock::now();
    EXPECT_EQ(platform::RequestBringForward({1, "W", true, false, sockDir.File("w.sock")}), c.expected);
    EXPECT_LT(steady_clock::now() - t0, milliseconds(1300));
    EXPECT_EQ(owner.Request(), "raise\n");
  }
}

TEST_F(WindowRegistryTest, BringForwardWithoutListenerFails) {
  const std::string paths[] = {"", dir_.File("nobody.sock"), "/" + std::string(200, 'x')};
  for (const auto& p : paths) EXPECT_FALSE(platform::RequestBringForward({1, "W", true, false, p})) << p;
  // A stale socket file whose owner is gone.
  std::string stale = dir_.File("stale.sock");
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, stale.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  close(fd);  // bound but never listening
  EXPECT_FALSE(platform::RequestBringForward({1, "W", true, false, stale}));
}

}  // namespace
