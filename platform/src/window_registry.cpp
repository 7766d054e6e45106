// The cross-process window registry: one small text file per process in the
// registry folder, written atomically, and the "bring forward" request sent
// over the owner's local socket.
//
// Entry file format (UTF-8, one "key value" pair a line, unknown keys are
// ignored so that later versions may add some):
//   vistel-window 1
//   pid 1234
//   start 987654          process start time (ticks since boot), guards
//                         against a dead instance's pid being reused
//   visible 1
//   minimized 0
//   socket /run/user/1000/vistel-windows/1234.sock
//   title Scan \\ Archive\nsecond line     ("\\", "\n", "\r", "\0" escaped)
#include "platform/window_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {
namespace {

constexpr std::string_view kMagic = "vistel-window 1";
constexpr size_t kMaxEntrySize = 64 * 1024;
constexpr auto kRequestTimeout = std::chrono::seconds(1);

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) noexcept : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded.
  bool Close() noexcept {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

std::mutex& WriteMutex() {
  static std::mutex m;
  return m;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view s) noexcept {
  T value{};
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

std::string Escape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\0': out += "\\0"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    switch (char n = s[++i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '0': out += '\0'; break;
      default:  // not one of ours: keep it as written
        out += '\\';
        out += n;
    }
  }
  return out;
}

struct ProcStat {
  char state = 0;
  uint64_t start = 0;
};

// Reads state and start time from /proc/<pid>/stat; nullopt when /proc does
// not answer (then only kill() decides).
std::optional<ProcStat> ReadProcStat(int pid) {
  std::string path = "/proc/" + std::to_string(pid) + "/stat";
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  char buf[1024];
  ssize_t n;
  do n = ::read(fd.get(), buf, sizeof buf); while (n < 0 && errno == EINTR);
  if (n <= 0) return std::nullopt;
  std::string_view text(buf, static_cast<size_t>(n));
  // The command name may hold spaces and ')': the fields start after the last ')'.
  size_t close = text.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  text.remove_prefix(close + 1);
  // Field 3 (state) is token 0; field 22 (starttime) is token 19.
  std::string_view tokens[20];
  size_t count = 0;
  while (count < 20) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) break;
    text.remove_prefix(b);
    size_t e = text.find(' ');
    tokens[count++] = text.substr(0, e);
    if (e == std::string_view::npos) break;
    text.remove_prefix(e);
  }
  if (count < 20 || tokens[0].empty()) return std::nullopt;
  auto start = ParseNumber<uint64_t>(tokens[19]);
  if (!start) return std::nullopt;
  return ProcStat{tokens[0][0], *start};
}

bool PidExists(int pid) noexcept { return !(::kill(pid, 0) == -1 && errno == ESRCH); }

// False for a dead pid, a zombie, or a pid now held by another process than
// the one that wrote the entry.
bool IsLive(int pid, std::optional<uint64_t> recordedStart) {
  if (!PidExists(pid)) return false;
  auto st = ReadProcStat(pid);
  if (!st) return true;
  if (st->state == 'Z' || st->state == 'X') return false;
  return !recordedStart || *recordedStart == st->start;
}

struct ParsedEntry {
  WindowEntry entry;
  std::optional<uint64_t> start;
};

std::optional<ParsedEntry> ParseEntry(std::string_view text) {
  ParsedEntry out;
  bool first = true, havePid = false;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (first) {
      if (line != kMagic) return std::nullopt;
      first = false;
      continue;
    }
    size_t sp = line.find(' ');
    std::string_view key = line.substr(0, sp);
    std::string_view value = sp == std::string_view::npos ? std::string_view() : line.substr(sp + 1);
    if (key == "pid") {
      auto pid = ParseNumber<int>(value);
      if (!pid || *pid <= 0) return std::nullopt;
      out.entry.pid = *pid;
      havePid = true;
    } else if (key == "start") {
      out.start = ParseNumber<uint64_t>(value);
    } else if (key == "visible") {
      out.entry.visible = value == "1";
    } else if (key == "minimized") {
      out.entry.minimized = value == "1";
    } else if (key == "socket") {
      out.entry.socketPath = Unescape(value);
    } else if (key == "title") {
      out.entry.title = Unescape(value);
    }
  }
  if (first || !havePid) return std::nullopt;
  return out;
}

std::string FormatEntry(const WindowEntry& e, int pid, std::optional<uint64_t> start) {
  std::string s(kMagic);
  s += "\npid " + std::to_string(pid) + '\n';
  if (start) s += "start " + std::to_string(*start) + '\n';
  s += std::string("visible ") + (e.visible ? "1" : "0") + '\n';
  s += std::string("minimized ") + (e.minimized ? "1" : "0") + '\n';
  s += "socket " + Escape(e.socketPath) + '\n';
  s += "title " + Escape(e.title) + '\n';
  return s;
}

bool WriteAll(int fd, std::string_view data) noexcept {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool IsPidName(const char* name) noexcept {
  if (!*name || *name == '0') return false;
  for (const char* p = name; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  return true;
}

bool AsciiEqualIgnoreCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Removes a dead entry unless the file was replaced since it was read.
void RemoveStale(const std::string& path, ino_t readInode) noexcept {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && st.st_ino == readInode) ::unlink(path.c_str());
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

// Polls fd for events until the deadline; false on timeout or error.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) noexcept {
  for (;;) {
    pollfd p{fd, events, 0};
    int rc = ::poll(&p, 1, RemainingMs(deadline));
    if (rc < 0 && errno == EINTR) continue;
    return rc > 0 && (p.revents & (events | POLLHUP)) != 0;
  }
}

bool ConnectUnix(int fd, const std::string& path, std::chrono::steady_clock::time_point deadline) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  for (;;) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) return true;
    if (errno == EINTR) continue;
    if (errno == EAGAIN) {  // the listener's backlog is full: try again shortly
      if (RemainingMs(deadline) == 0) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (errno != EINPROGRESS || !WaitFor(fd, POLLOUT, deadline)) return false;
    int err = 0;
    socklen_t len = sizeof err;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
  }
}

}  // namespace

std::string WindowRegistryFolder() {
  try {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) {
      std::string folder = runtime;
      if (folder.back() != '/') folder += '/';
      return folder + "vistel-windows/";
    }
    return "/tmp/vistel-windows-" + std::to_string(::getuid()) + "/";
  } catch (...) {
    return {};
  }
}

std::string EnsureWindowRegistryFolder() {
  try {
    std::string folder = WindowRegistryFolder();
    if (folder.empty()) return {};
    std::string bare = folder.substr(0, folder.size() - 1);
    if (::mkdir(bare.c_str(), 0700) != 0 && errno != EEXIST) return {};
    // In the shared /tmp fallback somebody else could have made the folder
    // (or a link) first; use it only when it is really ours.
    struct stat st;
    if (::lstat(bare.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return {};
    return folder;
  } catch (...) {
    return {};
  }
}

bool RegisterWindow(const WindowEntry& entry) {
  try {
    std::lock_guard lock(WriteMutex());
    std::string folder = EnsureWindowRegistryFolder();
    if (folder.empty()) return false;
    int pid = static_cast<int>(::getpid());
    std::optional<uint64_t> start;
    if (auto st = ReadProcStat(pid)) start = st->start;
    std::string data = FormatEntry(entry, pid, start);
    std::string target = folder + std::to_string(pid);
    std::string temp = folder + "." + std::to_string(pid) + ".tmp";
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd) return false;
    bool ok = WriteAll(fd.get(), data);
    ok = fd.Close() && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

void UnregisterWindow() {
  try {
    std::lock_guard lock(WriteMutex());
    std::string path = WindowRegistryFolder() + std::to_string(::getpid());
    ::unlink(path.c_str());
  } catch (...) {
  }
}

std::vector<WindowEntry> ListWindows() {
  struct Found {
    WindowEntry entry;
    timespec mtime;
  };
  try {
    std::string folder = WindowRegistryFolder();
    std::vector<Found> found;
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir) return {};
    std::unique_ptr<DIR, int (*)(DIR*)> dirGuard(dir, ::closedir);
    while (dirent* d = ::readdir(dir)) {
      if (!IsPidName(d->d_name)) continue;
      auto pid = ParseNumber<int>(d->d_name);
      if (!pid) continue;
      std::string path = folder + d->d_name;
      UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
      struct stat st;
      if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      if (!PidExists(*pid)) {
        RemoveStale(path, st.st_ino);
        continue;
      }
      if (st.st_size <= 0 || static_cast<uint64_t>(st.st_size) > kMaxEntrySize) continue;
      std::string text(static_cast<size_t>(st.st_size), '\0');
      ssize_t n;
      do n = ::pread(fd.get(), text.data(), text.size(), 0); while (n < 0 && errno == EINTR);
      if (n <= 0) continue;
      text.resize(static_cast<size_t>(n));
      auto parsed = ParseEntry(text);
      if (!parsed || parsed->entry.pid != *pid) continue;  // not ours to judge: leave it
      if (!IsLive(*pid, parsed->start)) {
        RemoveStale(path, st.st_ino);
        continue;
      }
      found.push_back({std::move(parsed->entry), st.st_mtim});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
      if (a.mtime.tv_sec != b.mtime.tv_sec) return a.mtime.tv_sec > b.mtime.tv_sec;
      if (a.mtime.tv_nsec != b.mtime.tv_nsec) return a.mtime.tv_nsec > b.mtime.tv_nsec;
      return a.entry.pid > b.entry.pid;
    });
    std::vector<WindowEntry> out;
    out.reserve(found.size());
    for (auto& f : found) out.push_back(std::move(f.entry));
    return out;
  } catch (...) {
    return {};
  }
}

bool FindWindowByTitle(std::string_view title, WindowEntry* found) {
  try {
    if (title.empty()) return false;
    for (auto& e : ListWindows()) {
      if (!e.visible || e.title.empty() || !AsciiEqualIgnoreCase(e.title, title)) continue;
      if (found) *found = std::move(e);
      return true;
    }
    return false;
  } catch (...) {
    return false;
  }
}

bool RequestBringForward(const WindowEntry& entry) {
  try {
    auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd || !ConnectUnix(fd.get(), entry.socketPath, deadline)) return false;
    std::string_view request = "raise\n";
    while (!request.empty()) {
      ssize_t n = ::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        if (!WaitFor(fd.get(), POLLOUT, deadline)) return false;
        continue;
      }
      if (n <= 0) return false;
      request.remove_prefix(static_cast<size_t>(n));
    }
    std::string reply;
    while (reply.find('\n') == std::string::npos) {
      if (reply.size() > 64 || !WaitFor(fd.get(), POLLIN, deadline)) return false;
      char buf[64];
      ssize_t n = ::recv(fd.get(), buf, sizeof buf, 0);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) return false;
      reply.append(buf, static_cast<size_t>(n));
    }
    return reply.compare(0, reply.find('\n') + 1, "ok\n") == 0;
  } catch (...) {
    return false;
  }
}

}  // namespace platform
