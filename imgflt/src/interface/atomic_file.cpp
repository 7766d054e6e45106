// AtomicFile on POSIX file descriptors.
#include "interface/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace imgflt {

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) {
    int saved = errno;
    ::close(fd_);
    ::unlink(temp_.c_str());
    errno = saved;
  }
}

bool AtomicFile::Open(const std::string& path) noexcept {
  try {
    if (path.empty()) {
      errno = ENOENT;
      return false;
    }
    target_ = path;
    temp_ = path + ".XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) return false;
    // mkstemp creates 0600; a written file gets the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    return true;
  } catch (...) {
    errno = ENOMEM;
    return false;
  }
}

bool AtomicFile::Write(const void* data, size_t bytes) noexcept {
  const auto* p = static_cast<const char*>(data);
  while (bytes > 0) {
    ssize_t n = ::write(fd_, p, bytes);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFile::Commit() noexcept {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  if (::fsync(fd_) != 0) return false;
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || ::rename(temp_.c_str(), target_.c_str()) != 0) {
    int saved = errno;
    ::unlink(temp_.c_str());
    errno = saved;
    return false;
  }
  return true;
}

}  // namespace imgflt
