// The instance slot in real shared memory: the first free byte is taken,
// another process takes the next one, slot 99 is found behind 99 taken
// ones, a full block gives no slot, and releasing touches only this slot's
// byte until the last slot goes, which clears offset 100 and closes the
// block. The test itself plays "another user of the block" through a
// second handle, writing the bytes as the block's layout says.
#include "shell/instance_slot.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "platform/shared_block.h"

namespace {

using shell::InstanceSlot;

class InstanceSlotTest : public testing::Test {
 protected:
  // A block name of its own: test processes run side by side.
  InstanceSlotTest()
      : name_(std::string("VistelSlotTest") + std::to_string(getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name()) {}
  ~InstanceSlotTest() override { shm_unlink(("/" + name_ + "-" + std::to_string(getuid())).c_str()); }

  // The other user's handle on the block.
  std::unique_ptr<platform::SharedBlock> OtherUser() const {
    return platform::SharedBlock::Open(name_, shell::kScanInfoBlockSize);
  }
  static uint32_t ValueAt100(platform::SharedBlock& block) {
    uint32_t v;
    std::memcpy(&v, block.Data() + shell::kScanInfoValueOffset, sizeof v);
    return v;
  }
  static void SetValueAt100(platform::SharedBlock& block, uint32_t v) {
    std::memcpy(block.Data() + shell::kScanInfoValueOffset, &v, sizeof v);
  }

  std::string name_;
};

TEST_F(InstanceSlotTest, AnotherProcessTakesTheNextFreeSlot) {
  InstanceSlot mine(name_);
  ASSERT_EQ(mine.Number(), 0);
  EXPECT_TRUE(mine.HasSlot());
  EXPECT_TRUE(mine.HoldsBlock());

  pid_t pid = fork();
  if (pid == 0) {
    int rc = 200;
    {
      InstanceSlot child(name_);
      rc = child.Number();
    }  // released by its owner
    _exit(rc);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);

  auto other = OtherUser();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Data()[0], 1);
  EXPECT_EQ(other->Data()[1], 0);  // the child gave its slot back
  // A freed slot is the first free one again.
  EXPECT_EQ(InstanceSlot(name_).Number(), 1);
}

TEST_F(InstanceSlotTest, FindsSlot99BehindNinetyNineTakenOnesAndLeavesThemAlone) {
  auto other = OtherUser();
  ASSERT_NE(other, nullptr);
  std::array<uint8_t, shell::kScanInfoBlockSize> before{};
  for (int i = 0; i < 99; ++i) other->Data()[i] = uint8_t(i % 250 + 1);
  SetValueAt100(*other, 0xA5A5A5A5u);
  std::memcpy(before.data(), other->Data(), before.size());

  InstanceSlot slot(name_);
  ASSERT_EQ(slot.Number(), 99);
  EXPECT_EQ(other->Data()[99], 1);

  slot.Release();
  EXPECT_EQ(slot.Number(), shell::kNoInstanceSlot);
  EXPECT_EQ(std::memcmp(other->Data(), before.data(), before.size()), 0);
  EXPECT_EQ(ValueAt100(*other), 0xA5A5A5A5u);  // other slots are still taken
  EXPECT_TRUE(slot.HoldsBlock());
  slot.Release();  // a second release changes nothing
  EXPECT_EQ(std::memcmp(other->Data(), before.data(), before.size()), 0);
}

TEST_F(InstanceSlotTest, FullBlockGivesNoSlotAndReleasesNothing) {
  auto other = OtherUser();
  ASSERT_NE(other, nullptr);
  std::memset(other->Data(), 1, shell::kInstanceSlotCount);
  other->Data()[42] = 0x7F;
  SetValueAt100(*other, 77);
  {
    InstanceSlot slot(name_);
    EXPECT_EQ(slot.Number(), shell::kNoInstanceSlot);
    EXPECT_FALSE(slot.HasSlot());
    EXPECT_FALSE(slot.HoldsBlock());
  }
  for (int i = 0; i < shell::kInstanceSlotCount; ++i) EXPECT_EQ(other->Data()[i], i == 42 ? 0x7F : 1) << i;
  EXPECT_EQ(ValueAt100(*other), 77u);
}

TEST_F(InstanceSlotTest, LastInstanceClearsOffset100AndClosesTheBlock) {
  auto other = OtherUser();
  ASSERT_NE(other, nullptr);
  SetValueAt100(*other, 0x12345678u);
  InstanceSlot slot(name_);
  ASSERT_EQ(slot.Number(), 0);
  EXPECT_EQ(ValueAt100(*other), 0x12345678u);  // taking a slot leaves it

  slot.Release();
  EXPECT_EQ(ValueAt100(*other), 0u);
  EXPECT_FALSE(slot.HoldsBlock());
  EXPECT_EQ(other->Data()[0], 0);
  EXPECT_EQ(other->Data()[shell::kScanInfoBlockSize - 1], 0);
}

TEST_F(InstanceSlotTest, OwnerReleasesWhenItEnds) {
  auto other = OtherUser();
  ASSERT_NE(other, nullptr);
  other->Data()[0] = 1;  // some other instance
  SetValueAt100(*other, 5);
  {
    InstanceSlot first(name_);
    ASSERT_EQ(first.Number(), 1);
    InstanceSlot moved(std::move(first));
    EXPECT_EQ(moved.Number(), 1);
    EXPECT_EQ(first.Number(), shell::kNoInstanceSlot);  // moved-from: no slot
  }
  EXPECT_EQ(other->Data()[1], 0);
  EXPECT_EQ(other->Data()[0], 1);
  EXPECT_EQ(ValueAt100(*other), 5u);
}

}  // namespace
