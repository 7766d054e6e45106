// Global atoms: GlobalFindAtom, GlobalAddAtom, GlobalDeleteAtom.
//
// One file per atom in the atom folder, named by the lower-cased string with
// unsafe bytes written as %XX; the file holds the atom's value as four hex
// digits. Values are 0xC000 + a hash of the name, moved on to the next free
// value when another atom already has it. Adding and deleting hold an flock on
// the folder's ".lock" so that two processes never hand out one value twice;
// an atom file appears complete (written under a temporary name, then
// linked), so finding needs no lock.
#include "platform/atoms.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>

namespace platform {
namespace {

constexpr Atom kFirstAtom = 0xC000;
constexpr unsigned kAtomCount = 0x10000u - kFirstAtom;

class Fd {
 public:
  explicit Fd(int fd = -1) noexcept : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

 private:
  int fd_;
};

// The atom folder, created (owner only) when missing; empty on failure. The
// /tmp fallback is shared with other users, so it must be ours and no link.
std::string AtomFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder;
  bool shared = false;
  if (runtime && *runtime == '/') {
    folder = runtime;
    if (folder.back() != '/') folder += '/';
    folder += "vistel-atoms/";
  } else {
    folder = "/tmp/vistel-atoms-" + std::to_string(getuid()) + "/";
    shared = true;
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return {};
  }
  if (shared && (st.st_uid != getuid() || (st.st_mode & 077) != 0)) {
    errno = EACCES;
    return {};
  }
  return folder;
}

// Lower-cased name with '/', '%', control bytes and a leading '.' escaped, so
// every name is one plain file name and none collides with "." or "..".
std::string FileNameOf(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c < 0x20 || c == 0x7F || c == '/' || c == '%' || (i == 0 && c == '.')) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The value stored in an atom file; 0 when the file is missing or not ours.
Atom ReadAtomAt(int dirFd, const char* fileName) noexcept {
  Fd fd(openat(dirFd, fileName, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!fd) return 0;
  std::array<char, 8> text{};
  ssize_t n = read(fd.get(), text.data(), text.size());
  if (n < 4) return 0;
  unsigned value = 0;
  for (int i = 0; i < 4; ++i) {
    char c = text[static_cast<std::size_t>(i)];
    int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
    if (digit < 0) return 0;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  if (n > 4 && text[4] != '\n') return 0;
  return value >= kFirstAtom ? static_cast<Atom>(value) : 0;
}

// Calls fn(fileName, atom) for each atom file; stops when fn returns true.
template <typename Fn>
void ForEachAtom(int dirFd, Fn&& fn) {
  int dupFd = dup(dirFd);
  if (dupFd < 0) return;
  DIR* dir = fdopendir(dupFd);
  if (!dir) {
    close(dupFd);
    return;
  }
  rewinddir(dir);
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;  // ".", "..", the lock, temporaries
    Atom atom = ReadAtomAt(dirFd, entry->d_name);
    if (atom != 0 && fn(entry->d_name, atom)) break;
  }
  closedir(dir);
}

// Open folder plus the exclusive add/delete lock, released with the object.
struct LockedFolder {
  Fd dir;
  Fd lock;
  bool Open(const std::string& folder) {
    dir = Fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return false;
    lock = Fd(openat(dir.get(), ".lock", O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock) return false;
    while (flock(lock.get(), LOCK_EX) != 0)
      if (errno != EINTR) return false;
    return true;
  }
};

unsigned HashOf(const std::string& fileName) noexcept {
  uint32_t h = 2166136261u;
  for (unsigned char c : fileName) h = (h ^ c) * 16777619u;
  return (h ^ (h >> 16)) % kAtomCount;
}

// Writes the atom file under a temporary name, then links it into place so
// that it is never seen half-written. EEXIST when the name was taken.
bool PublishAtom(int dirFd, const std::string& fileName, Atom atom) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string temp = ".new-" + std::to_string(getpid());
  unlinkat(dirFd, temp.c_str(), 0);
  Fd fd(openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!fd) return false;
  char text[5] = {kHex[atom >> 12], kHex[(atom >> 8) & 0xF], kHex[(atom >> 4) & 0xF], kHex[atom & 0xF],
                  '\n'};
  bool ok = write(fd.get(), text, sizeof text) == static_cast<ssize_t>(sizeof text);
  ok = ok && linkat(dirFd, temp.c_str(), dirFd, fileName.c_str(), 0) == 0;
  int saved = errno;
  unlinkat(dirFd, temp.c_str(), 0);
  errno = saved;
  return ok;
}

bool ValidName(std::string_view name) noexcept {
  if (name.empty()) {
    errno = EINVAL;
    return false;
  }
  return true;
}

}  // namespace

Atom GlobalFindAtom(std::string_view name) {
  try {
    if (!ValidName(name)) return 0;
    std::string folder = AtomFolder();
    if (folder.empty()) return 0;
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return 0;
    std::string fileName = FileNameOf(name);
    if (fileName.size() > NAME_MAX) {
      errno = ENAMETOOLONG;
      return 0;
    }
    return ReadAtomAt(dir.get(), fileName.c_str());
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

Atom GlobalAddAtom(std::string_view name) {
  try {
    if (!ValidName(name)) return 0;
    std::string fileName = FileNameOf(name);
    if (fileName.size() > NAME_MAX) {
      errno = ENAMETOOLONG;
      return 0;
    }
    std::string folder = AtomFolder();
    LockedFolder locked;
    if (folder.empty() || !locked.Open(folder)) return 0;
    if (Atom existing = ReadAtomAt(locked.dir.get(), fileName.c_str())) return existing;

    std::string used(kAtomCount, '\0');
    ForEachAtom(locked.dir.get(), [&](const char*, Atom atom) {
      used[atom - kFirstAtom] = 1;
      return false;
    });
    unsigned start = HashOf(fileName);
    for (unsigned step = 0; step < kAtomCount; ++step) {
      unsigned slot = (start + step) % kAtomCount;
      if (used[slot]) continue;
      Atom atom = static_cast<Atom>(kFirstAtom + slot);
      return PublishAtom(locked.dir.get(), fileName, atom) ? atom : 0;
    }
    errno = ENOSPC;
    return 0;
  } catch (...) {
    errno = ENOMEM;
    return 0;
  }
}

Atom GlobalDeleteAtom(Atom atom) {
  try {
    if (atom < kFirstAtom) {
      errno = EINVAL;
      return atom;
    }
    std::string folder = AtomFolder();
    LockedFolder locked;
    if (folder.empty() || !locked.Open(folder)) return atom;
    bool removed = false;
    ForEachAtom(locked.dir.get(), [&](const char* fileName, Atom found) {
      if (found != atom) return false;
      removed = unlinkat(locked.dir.get(), fileName, 0) == 0;
      return true;
    });
    if (!removed) {
      errno = ENOENT;
      return atom;
    }
    return 0;
  } catch (...) {
    errno = ENOMEM;
    return atom;
  }
}

}  // namespace platform
