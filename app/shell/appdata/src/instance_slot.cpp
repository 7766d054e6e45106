// The instance slot of the shared block NRVK_SCAN_INF.
#include "shell/instance_slot.h"

#include <cstring>
#include <utility>

#include "platform/shared_block.h"

namespace shell {

InstanceSlot::InstanceSlot(const std::string& blockName) {
  block_ = platform::SharedBlock::Open(blockName, kScanInfoBlockSize);
  if (!block_) return;
  uint8_t* data = block_->Data();
  if (block_->Created()) std::memset(data, 0, kScanInfoBlockSize);
  for (int i = 0; i < kInstanceSlotCount; ++i) {
    if (data[i] == 0) {
      data[i] = 1;
      number_ = i;
      return;
    }
  }
  // Every slot taken: nothing of ours is in the block, so it is not held.
  block_.reset();
}

InstanceSlot::~InstanceSlot() { Release(); }

InstanceSlot::InstanceSlot(InstanceSlot&& other) noexcept
    : block_(std::move(other.block_)), number_(std::exchange(other.number_, kNoInstanceSlot)) {}

InstanceSlot& InstanceSlot::operator=(InstanceSlot&& other) noexcept {
  if (this != &other) {
    Release();
    block_ = std::move(other.block_);
    number_ = std::exchange(other.number_, kNoInstanceSlot);
  }
  return *this;
}

void InstanceSlot::Release() noexcept {
  if (!block_ || number_ == kNoInstanceSlot) return;
  uint8_t* data = block_->Data();
  data[number_] = 0;
  number_ = kNoInstanceSlot;
  int taken = 0;
  for (int i = 0; i < kInstanceSlotCount; ++i)
    if (data[i] != 0) ++taken;
  if (taken == 0) {
    std::memset(data + kScanInfoValueOffset, 0, sizeof(uint32_t));
    block_.reset();
  }
}

}  // namespace shell
