#include "profile_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/ini.h"

namespace aplif {
namespace {

struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Release() {
    int f = fd;
    fd = -1;
    return f;
  }
};

std::string Resolved(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      std::string r = real;
      std::free(real);
      return r;
    }
  }
  return path;
}

}  // namespace

ProfileText ReadProfileText(const std::string& path) {
  ProfileText out;
  // Non-blocking: a FIFO in the file's place must not hang the reader.
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.fd < 0) {
    if (errno != ENOENT) {
      out.exists = true;
      out.error = errno;
    }
    return out;
  }
  out.exists = true;
  struct stat st {};
  if (fstat(fd.fd, &st) != 0) {
    out.error = errno;
    return out;
  }
  if (!S_ISREG(st.st_mode)) {
    out.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return out;
  }
  char buffer[16384];
  for (;;) {
    ssize_t n = read(fd.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      out.error = errno;
      out.text.clear();
      return out;
    }
    if (n == 0) break;
    if (out.text.size() + static_cast<std::size_t>(n) > kMaxProfileBytes) {
      out.error = EFBIG;
      out.text.clear();
      return out;
    }
    out.text.append(buffer, static_cast<std::size_t>(n));
  }
  return out;
}

bool ReplaceProfileText(const std::string& file, std::string_view text, int* error) {
  if (file.empty()) {
    if (error) *error = EINVAL;
    return false;
  }
  const bool ok = platform::ini::ReplaceFileText(Resolved(file), text);
  if (error) *error = ok ? 0 : errno;
  return ok;
}

std::optional<std::string> FindString(std::string_view text, std::string_view section, std::string_view key) {
  return platform::ini::FindValue(text, section, key);
}

int32_t FindInt(std::string_view text, std::string_view section, std::string_view key, int32_t fallback) {
  std::optional<std::string> v = platform::ini::FindValue(text, section, key);
  return v ? platform::ini::ParseInt(*v) : fallback;
}

std::string WithString(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return platform::ini::WithValue(text, section, key, std::string_view(quoted));
}

std::string WithInt(std::string_view text, std::string_view section, std::string_view key, int64_t value) {
  return platform::ini::WithValue(text, section, key, std::to_string(value));
}

}  // namespace aplif
