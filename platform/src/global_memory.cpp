// Movable global memory: GlobalAlloc, GlobalReAlloc, GlobalLock,
// GlobalUnlock, GlobalSize, GlobalFree.
//
// A handle is an opaque token looked up in one process-wide registry, never
// the data address, so a stale, foreign or freed handle is refused instead of
// dereferenced. Tokens are never reused, so a double free is refused too.
//
// Every block behaves as movable, whatever the flags: GlobalLock counts and
// returns the data address, GlobalUnlock counts down. GlobalReAlloc keeps the
// handle (the data may move) and refuses a locked block even with
// GMEM_MOVEABLE, because whoever locked it still holds the old address.
// Size 0 is a real block (GlobalLock gives an address, GlobalSize 0), also
// after resizing to 0; nothing is discarded. GlobalFree frees a block even
// while it is locked.
#include "platform/global_memory.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct Block {
  void* data = nullptr;  // at least one byte, so a locked block has an address
  size_t size = 0;
  unsigned lockCount = 0;
};

class Registry {
 public:
  HGLOBAL Add(void* data, size_t size) noexcept {
    std::lock_guard lock(mutex_);
    try {
      uintptr_t token = NextToken();
      blocks_.emplace(token, Block{data, size, 0});
      return reinterpret_cast<HGLOBAL>(token);
    } catch (...) {
      return nullptr;
    }
  }

  // Runs fn(Block&) under the lock; returns fallback for an unknown handle.
  template <typename Fn, typename R>
  R With(HGLOBAL mem, R fallback, Fn&& fn) noexcept {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(reinterpret_cast<uintptr_t>(mem));
    if (it == blocks_.end()) {
      errno = EINVAL;
      return fallback;
    }
    return fn(it->second);
  }

  // Removes the block and hands back its data; false for an unknown handle.
  bool Remove(HGLOBAL mem, void** data) noexcept {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(reinterpret_cast<uintptr_t>(mem));
    if (it == blocks_.end()) return false;
    *data = it->second.data;
    blocks_.erase(it);
    return true;
  }

 private:
  // Tokens step by 8 from an offset of 4, so no token is ever an aligned
  // address a caller could mistake for data; a wrapped counter skips live ones.
  uintptr_t NextToken() {
    for (;;) {
      uintptr_t token = next_ * 8u + 4u;
      ++next_;
      if (token != 0 && blocks_.find(token) == blocks_.end()) return token;
    }
  }

  std::mutex mutex_;
  std::unordered_map<uintptr_t, Block> blocks_;
  uintptr_t next_ = 1;
};

Registry& TheRegistry() noexcept {
  static Registry registry;
  return registry;
}

constexpr size_t kMaxBytes = static_cast<size_t>(PTRDIFF_MAX);

}  // namespace

extern "C" {

HGLOBAL GlobalAlloc(uint32_t flags, size_t bytes) {
  if (bytes > kMaxBytes) {
    errno = ENOMEM;
    return nullptr;
  }
  size_t actual = bytes == 0 ? 1 : bytes;
  void* data = (flags & GMEM_ZEROINIT) ? std::calloc(1, actual) : std::malloc(actual);
  if (data == nullptr) {
    errno = ENOMEM;
    return nullptr;
  }
  HGLOBAL handle = TheRegistry().Add(data, bytes);
  if (handle == nullptr) {
    std::free(data);
    errno = ENOMEM;
  }
  return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, uint32_t flags) {
  if (bytes > kMaxBytes) {
    errno = ENOMEM;
    return nullptr;
  }
  return TheRegistry().With(mem, HGLOBAL{nullptr}, [&](Block& block) -> HGLOBAL {
    if (block.lockCount != 0) {
      errno = EBUSY;
      return nullptr;
    }
    size_t actual = bytes == 0 ? 1 : bytes;
    void* data = std::realloc(block.data, actual);
    if (data == nullptr) {
      errno = ENOMEM;
      return nullptr;  // realloc left the old block intact
    }
    if ((flags & GMEM_ZEROINIT) && bytes > block.size)
      std::memset(static_cast<uint8_t*>(data) + block.size, 0, bytes - block.size);
    block.data = data;
    block.size = bytes;
    return mem;
  });
}

void* GlobalLock(HGLOBAL mem) {
  return TheRegistry().With(mem, static_cast<void*>(nullptr), [](Block& block) -> void* {
    if (block.lockCount == std::numeric_limits<unsigned>::max()) {
      errno = EOVERFLOW;
      return nullptr;
    }
    ++block.lockCount;
    return block.data;
  });
}

int GlobalUnlock(HGLOBAL mem) {
  return TheRegistry().With(mem, 0, [](Block& block) {
    if (block.lockCount == 0) {
      errno = EINVAL;  // not locked
      return 0;
    }
    --block.lockCount;
    return block.lockCount != 0 ? 1 : 0;
  });
}

size_t GlobalSize(HGLOBAL mem) {
  return TheRegistry().With(mem, size_t{0}, [](Block& block) { return block.size; });
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  void* data = nullptr;
  if (!TheRegistry().Remove(mem, &data)) {
    errno = EINVAL;
    return mem;
  }
  std::free(data);
  return nullptr;
}

}  // extern "C"
