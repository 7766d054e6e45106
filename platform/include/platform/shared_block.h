// Named shared memory block whose lifetime follows its openers: it is gone
// (zero-filled when next opened) once no process holds it, even when a
// holder crashed. POSIX shared memory "/<name>-<uid>" plus a companion lock
// file on which every opener holds a shared flock; an opener that can take
// the lock exclusively is alone and (re)creates the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class SharedBlock {
 public:
  // Opens or creates the block "name" of size bytes. Returns null when the
  // block cannot be opened or created (errno set).
  static std::unique_ptr<SharedBlock> Open(const std::string& name, std::size_t size);

  ~SharedBlock();  // releases the hold; the last holder unlinks the block
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;

  // True when this opener found no other holder and zero-filled the block.
  bool Created() const noexcept;
  uint8_t* Data() noexcept;
  std::size_t Size() const noexcept;

 private:
  SharedBlock() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
