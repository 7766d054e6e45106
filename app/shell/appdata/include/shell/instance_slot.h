// The instance slot: one of 100 bytes of the shared block NRVK_SCAN_INF
// that every running instance (and other users of the block) share. The
// slot number tells this instance's temporary files from the others'.
//
// Block layout (104 bytes):
//   0 … 99   one byte per slot: 0 = free, non-zero = taken
//   100      32-bit value kept by other users of the block; set to 0 only
//            when the last taken slot is released
//
// The bytes are shared without a lock, as every user of the block does:
// the first free byte is taken by a plain read followed by a plain write.
// Runs on the GUI thread.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {
class SharedBlock;
}

namespace shell {

inline constexpr char kScanInfoBlockName[] = "NRVK_SCAN_INF";
inline constexpr std::size_t kScanInfoBlockSize = 104;
inline constexpr int kInstanceSlotCount = 100;
inline constexpr std::size_t kScanInfoValueOffset = 100;

// The number an instance without a slot of its own uses. "%02d" makes it
// "-1", which no slot's leftover pattern ("NN*.tmp") matches, so such an
// instance never deletes another instance's files, nor they its own.
inline constexpr int kNoInstanceSlot = -1;

class InstanceSlot {
 public:
  // Opens (or creates) the block and takes its first free slot. Without the
  // block, or with all 100 slots taken, the instance has no slot: Number()
  // is kNoInstanceSlot, the block is not held and nothing is released.
  // Tests pass a block name of their own.
  explicit InstanceSlot(const std::string& blockName = kScanInfoBlockName);
  ~InstanceSlot();  // Release()
  InstanceSlot(InstanceSlot&&) noexcept;
  InstanceSlot& operator=(InstanceSlot&&) noexcept;
  InstanceSlot(const InstanceSlot&) = delete;
  InstanceSlot& operator=(const InstanceSlot&) = delete;

  // 0 … 99, or kNoInstanceSlot.
  int Number() const noexcept { return number_; }
  bool HasSlot() const noexcept { return number_ != kNoInstanceSlot; }
  // True while this instance holds the block open.
  bool HoldsBlock() const noexcept { return block_ != nullptr; }

  // Shutdown: clears this instance's byte and counts the slots still taken.
  // When none is left it sets the 32-bit value at offset 100 to 0 and closes
  // the block; otherwise the block stays held until this object ends, as a
  // handle kept to the end of the process would. Afterwards Number() is
  // kNoInstanceSlot and later calls do nothing.
  void Release() noexcept;

 private:
  std::unique_ptr<platform::SharedBlock> block_;
  int number_ = kNoInstanceSlot;
};

}  // namespace shell
