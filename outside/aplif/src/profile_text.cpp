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

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
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
  auto fail = [&](int e) {
    if (error) *error = e;
    return false;
  };
  if (file.empty()) return fail(EINVAL);
  const std::string path = Resolved(file);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
  struct stat old {};
  const bool hadFile = stat(path.c_str(), &old) == 0;
  static unsigned counter = 0;
  std::string temp;
  Fd fd(-1);
  for (int attempt = 0; attempt < 100 && fd.fd < 0; ++attempt) {
    char name[40];
    std::snprintf(name, sizeof name, ".aplif-%d-%u.tmp", static_cast<int>(getpid()), counter++);
    temp = folder + name;
    fd.fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd.fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd.fd < 0) return fail(EEXIST);
  if (hadFile) (void)fchmod(fd.fd, old.st_mode & 07777);
  const bool ok = WriteAll(fd.fd, text) && fsync(fd.fd) == 0 && close(fd.Release()) == 0 &&
                  rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int e = errno;
    unlink(temp.c_str());
    return fail(e);
  }
  Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) fsync(dir.fd);
  if (error) *error = 0;
  return true;
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
