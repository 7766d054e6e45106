// Folders of the program, the user's temporary files, the "Windows" and
// "system" folders, temporary file names and path checks.
#include "platform/paths.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gnu/libc-version.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

constexpr char kFallbackSystemFolder[] = "/usr/lib/x86_64-linux-gnu/";

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// A set, non-empty environment variable, else nullptr.
const char* EnvValue(const char* name) noexcept {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}

std::string FolderOf(const std::string& file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return "./";
  return file.substr(0, slash + 1);
}

std::string ExecutableFolderOrThrow() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) return FolderOf(std::string(buffer, static_cast<std::size_t>(n)));
  // No procfs: the working folder is the best guess left.
  if (getcwd(buffer, sizeof buffer)) return WithSlash(buffer);
  return "./";
}

bool IsDirectory(const char* path) noexcept {
  struct stat st {};
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// Bytes of the first `count` UTF-8 code points of text (a lead byte and
// the continuation bytes that follow it count as one).
std::size_t Utf8PrefixBytes(std::string_view text, std::size_t count) noexcept {
  std::size_t i = 0;
  while (i < text.size() && count > 0) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    --count;
  }
  return i;
}

bool ForbiddenInName(unsigned char c) noexcept {
  if (c < 0x20 || c == 0x7F) return true;
  switch (c) {
    case '<': case '>': case ':': case '"': case '|': case '?': case '*': case '\\':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string ProgramFolder() noexcept {
  try {
    if (const char* dir = EnvValue("VISTEL_PROGRAM_DIR")) return WithSlash(dir);
    return ExecutableFolderOrThrow();
  } catch (...) {
    return {};
  }
}

std::string ExecutableFolder() noexcept {
  try {
    return ExecutableFolderOrThrow();
  } catch (...) {
    return {};
  }
}

std::string ProgramFolder(bool trailingSlash, std::size_t bufferSize) noexcept {
  try {
    std::string folder = ProgramFolder();
    // The root keeps its slash: "" is not a folder.
    if (!trailingSlash && folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (bufferSize != 0 && folder.size() > bufferSize - 1) folder.resize(bufferSize - 1);
    return folder;
  } catch (...) {
    return {};
  }
}

std::string TempFolder(std::size_t bufferSize) noexcept {
  try {
    const char* dir = EnvValue("TMPDIR");
    std::string folder = (dir && IsDirectory(dir)) ? WithSlash(dir) : std::string("/tmp/");
    if (bufferSize != 0 && folder.size() > bufferSize - 1) return {};
    return folder;
  } catch (...) {
    return {};
  }
}

std::string WindowsFolder() noexcept {
  try {
    if (const char* dir = EnvValue("VISTEL_WINDOWS_DIR")) return WithSlash(dir);
    return "/etc/";
  } catch (...) {
    return {};
  }
}

std::string SystemFolder() noexcept {
  try {
    if (const char* dir = EnvValue("VISTEL_SYSTEM_DIR")) return WithSlash(dir);
    // A symbol only the C library defines: sanitizer runtimes intercept the
    // common ones (malloc, strlen) and would answer with their own file.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&gnu_get_libc_version), &info) != 0 && info.dli_fname &&
        info.dli_fname[0] == '/') {
      std::string folder = FolderOf(info.dli_fname);
      if (char* real = realpath(folder.c_str(), nullptr)) {
        folder = WithSlash(real);
        std::free(real);
      }
      return folder;
    }
    return kFallbackSystemFolder;
  } catch (...) {
    return {};
  }
}

std::string CreateTempFileName(std::string_view folder, std::string_view prefix) noexcept {
  try {
    if (folder.empty() || folder.find('\0') != std::string_view::npos ||
        prefix.find('\0') != std::string_view::npos || prefix.find('/') != std::string_view::npos) {
      errno = EINVAL;
      return {};
    }
    std::string stem = WithSlash(std::string(folder));
    stem.append(prefix.substr(0, Utf8PrefixBytes(prefix, 3)));

    // Start somewhere different in every call and process, so that callers
    // rarely walk over each other's names.
    static std::atomic<unsigned> calls{0};
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned start = static_cast<unsigned>(getpid()) * 2654435761u ^
                     static_cast<unsigned>(now.tv_nsec) ^ (calls.fetch_add(1) * 40503u);
    for (unsigned attempt = 0; attempt < 0xFFFFu; ++attempt) {
      // 1..FFFF: the unique number is never 0.
      unsigned unique = (start + attempt) % 0xFFFFu + 1;
      char digits[8];
      std::snprintf(digits, sizeof digits, "%04X", unique);
      std::string name = stem + digits + ".tmp";
      // Private: temporary files hold scanned pages.
      int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) {
        close(fd);
        return name;
      }
      if (errno != EEXIST) return {};
    }
    errno = EEXIST;
    return {};
  } catch (...) {
    errno = ENOMEM;
    return {};
  }
}

bool IsValidPathName(std::string_view path) noexcept {
  if (path.empty() || path.front() != '/') return false;
  for (char c : path)
    if (c != '/' && ForbiddenInName(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string JoinPath(std::string_view folder, std::string_view name) noexcept {
  try {
    if (folder.empty()) return std::string(name);
    while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    std::string joined(folder);
    joined += '/';
    joined.append(name);
    return joined;
  } catch (...) {
    return {};
  }
}

}  // namespace platform
