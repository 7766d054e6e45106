// Free disk space from statvfs, of the folder or else of its mount root.
#include "platform/disk.h"

#include <sys/statvfs.h>

#include <string>

#include "platform/mounts.h"

namespace platform {
namespace {

std::optional<uint64_t> FreeBytesOf(const std::string& path) noexcept {
  struct statvfs st {};
  if (path.empty() || statvfs(path.c_str(), &st) != 0) return std::nullopt;
  uint64_t bytes = 0;
  if (__builtin_mul_overflow(static_cast<uint64_t>(st.f_bfree), static_cast<uint64_t>(st.f_frsize), &bytes))
    return UINT64_MAX;
  return bytes;
}

}  // namespace

std::optional<uint64_t> FreeDiskBytes(std::string_view folder) noexcept {
  try {
    if (folder.empty() || folder.find('\0') != std::string_view::npos) return std::nullopt;
    if (auto bytes = FreeBytesOf(std::string(folder))) return bytes;
    // A folder not made yet (or not reachable) is asked through its root.
    return FreeBytesOf(MountRootOf(folder));
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace platform
