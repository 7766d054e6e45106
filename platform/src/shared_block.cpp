// SharedBlock: a named POSIX shared memory block whose lifetime follows its
// openers, as a page-file backed mapping's would.
//
// Two companion files in $XDG_RUNTIME_DIR (else /tmp):
//   "<name>-<uid>.lock"  every holder keeps a shared flock on it for as long
//                        as it holds the block; whoever can take it
//                        exclusively holds it alone.
//   "<name>-<uid>.gate"  taken exclusively around the whole open and the
//                        whole close, so that a closer's "am I the last?"
//                        test and its unlink cannot interleave with an
//                        opener's "am I alone?" test and its shm_open.
// The kernel drops both locks when a holder dies, so a crashed holder never
// keeps the block alive: the next sole opener replaces it with a zeroed one.
#include "platform/shared_block.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {
namespace {

class Fd {
 public:
  explicit Fd(int fd = -1) noexcept : fd_(fd) {}
  ~Fd() { Reset(); }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  void Reset() noexcept {
    if (fd_ >= 0) {
      int saved = errno;
      close(fd_);
      errno = saved;
    }
    fd_ = -1;
  }

 private:
  int fd_;
};

bool Lock(int fd, int operation) noexcept {
  while (flock(fd, operation) != 0)
    if (errno != EINTR) return false;
  return true;
}

// Holds the gate exclusively for its lifetime.
class GateHold {
 public:
  explicit GateHold(Fd gate) noexcept : gate_(std::move(gate)) {
    held_ = gate_ && Lock(gate_.get(), LOCK_EX);
  }
  ~GateHold() {
    if (held_) flock(gate_.get(), LOCK_UN);
  }
  GateHold(const GateHold&) = delete;
  GateHold& operator=(const GateHold&) = delete;
  bool Held() const noexcept { return held_; }

 private:
  Fd gate_;
  bool held_ = false;
};

std::string CompanionFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = (runtime && *runtime == '/') ? std::string(runtime) : std::string("/tmp");
  if (folder.back() != '/') folder += '/';
  return folder;
}

Fd OpenCompanion(const std::string& path) noexcept {
  return Fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
}

}  // namespace

struct SharedBlock::Impl {
  std::string shmName;  // "/<name>-<uid>"
  std::string gatePath;
  Fd lock;  // holds the shared flock while the block is held
  uint8_t* data = nullptr;
  std::size_t size = 0;
  bool created = false;

  ~Impl() {
    if (data) munmap(data, size);
    if (!lock) return;
    GateHold gate(OpenCompanion(gatePath));
    // Without the gate an opener could be between its own checks; leaving the
    // object in place is then the safe side (the next sole opener replaces it).
    if (gate.Held() && flock(lock.get(), LOCK_EX | LOCK_NB) == 0) shm_unlink(shmName.c_str());
    lock.Reset();
  }

  // Called with the gate held and the lock file open.
  bool Attach(std::size_t bytes) noexcept {
    bool alone = flock(lock.get(), LOCK_EX | LOCK_NB) == 0;
    if (!alone && errno != EWOULDBLOCK) return false;
    Fd shm;
    bool recreated = false;  // missing although others hold it: not ours to call created
    if (alone) {
      // Whatever is left under the name belonged to holders that are gone: a
      // new object is zero-filled by ftruncate.
      shm_unlink(shmName.c_str());
      shm = Fd(shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
      created = true;
    } else {
      if (!Lock(lock.get(), LOCK_SH)) return false;
      shm = Fd(shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0600));
      if (!shm && errno == ENOENT) {
        shm = Fd(shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        recreated = true;
      }
    }
    if (!shm) return false;
    struct stat st {};
    if (fstat(shm.get(), &st) != 0) return false;
    // Growing zero-fills the new bytes; a larger object is simply mapped in part.
    if (static_cast<std::size_t>(st.st_size) < bytes && ftruncate(shm.get(), static_cast<off_t>(bytes)) != 0)
      return false;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, shm.get(), 0);
    if (mapped == MAP_FAILED) return false;
    data = static_cast<uint8_t*>(mapped);
    size = bytes;
    if (recreated) std::memset(data, 0, size);
    // flock conversion is not atomic, but the gate keeps every other opener
    // and closer out until it is done.
    return !alone || Lock(lock.get(), LOCK_SH);
  }
};

std::unique_ptr<SharedBlock> SharedBlock::Open(const std::string& name, std::size_t size) {
  try {
    if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos ||
        size == 0 || size > static_cast<std::size_t>(PTRDIFF_MAX)) {
      errno = EINVAL;
      return nullptr;
    }
    std::string stem = name + "-" + std::to_string(getuid());
    if (stem.size() + 6 > NAME_MAX) {
      errno = ENAMETOOLONG;
      return nullptr;
    }
    std::unique_ptr<SharedBlock> block(new SharedBlock());
    block->impl_ = std::make_unique<Impl>();
    Impl& impl = *block->impl_;
    std::string folder = CompanionFolder();
    impl.shmName = "/" + stem;
    impl.gatePath = folder + stem + ".gate";
    {
      GateHold gate(OpenCompanion(impl.gatePath));
      if (!gate.Held()) return nullptr;
      impl.lock = OpenCompanion(folder + stem + ".lock");
      if (!impl.lock || !impl.Attach(size)) {
        int saved = errno;
        impl.lock.Reset();  // not a holder: the destructor must not unlink
        if (impl.data) munmap(impl.data, impl.size);
        impl.data = nullptr;
        errno = saved;
        return nullptr;
      }
    }
    return block;
  } catch (...) {
    errno = ENOMEM;
    return nullptr;
  }
}

SharedBlock::~SharedBlock() = default;

bool SharedBlock::Created() const noexcept { return impl_->created; }
uint8_t* SharedBlock::Data() noexcept { return impl_->data; }
std::size_t SharedBlock::Size() const noexcept { return impl_->size; }

}  // namespace platform
