#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>

namespace platform {

bool IsReadOnlyFile(std::string_view path) noexcept {
  const std::string p(path);
  struct stat st {};
  if (p.empty() || ::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  struct statvfs vfs {};
  if (::statvfs(p.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0) return true;
  const int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return true;
  ::close(fd);
  return false;
}

}  // namespace platform
