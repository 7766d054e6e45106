// Tests of the movable global memory: refused handles, sizes and flags, lock
// counting, resizing, and use from two threads.
#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

// Fills a block with a pattern that depends on the offset.
void FillPattern(HGLOBAL h, size_t bytes, uint8_t seed) {
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  for (size_t i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(seed + i * 7);
  GlobalUnlock(h);
}

// True when the first bytes hold FillPattern's pattern.
bool HasPattern(HGLOBAL h, size_t bytes, uint8_t seed) {
  auto* p = static_cast<const uint8_t*>(GlobalLock(h));
  if (p == nullptr) return false;
  bool ok = true;
  for (size_t i = 0; i < bytes && ok; ++i) ok = p[i] == static_cast<uint8_t>(seed + i * 7);
  GlobalUnlock(h);
  return ok;
}

TEST(GlobalMemory, RefusesHandlesItDidNotHandOut) {
  HGLOBAL freed = GlobalAlloc(GHND, 16);
  ASSERT_NE(freed, nullptr);
  ASSERT_EQ(GlobalFree(freed), nullptr);

  HGLOBAL live = GlobalAlloc(GHND, 16);
  ASSERT_NE(live, nullptr);
  void* dataAddress = GlobalLock(live);
  ASSERT_NE(dataAddress, nullptr);
  GlobalUnlock(live);

  void* foreign = std::malloc(16);
  int onStack = 0;
  struct Case {
    const char* what;
    HGLOBAL handle;
  } cases[] = {
      {"null", nullptr},
      {"freed (double free)", freed},
      {"data address of a live block", dataAddress},
      {"malloc'd pointer", foreign},
      {"stack address", &onStack},
      {"small integer", reinterpret_cast<HGLOBAL>(uintptr_t{1})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(GlobalLock(c.handle), nullptr);
    EXPECT_EQ(GlobalUnlock(c.handle), 0);
    EXPECT_EQ(GlobalSize(c.handle), 0u);
    EXPECT_EQ(GlobalReAlloc(c.handle, 32, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(c.handle), c.handle);
  }
  // The refusals touched nothing.
  EXPECT_EQ(GlobalSize(live), 16u);
  EXPECT_EQ(GlobalFree(live), nullptr);
  std::free(foreign);
}

TEST(GlobalMemory, AllocatesEverySizeWithItsFlags) {
  struct Case {
    uint32_t flags;
    size_t bytes;
  } cases[] = {
      {GMEM_FIXED, 0}, {GHND, 0}, {GMEM_MOVEABLE, 1}, {GMEM_ZEROINIT, 100}, {GHND, 1u << 20}, {GMEM_FIXED, 4096},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "flags " << c.flags << " bytes " << c.bytes);
    HGLOBAL h = GlobalAlloc(c.flags, c.bytes);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), c.bytes);
    auto* p = static_cast<const uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr) << "a valid block, even of size 0, has an address";
    if (c.flags & GMEM_ZEROINIT) {
      for (size_t i = 0; i < c.bytes; ++i) ASSERT_EQ(p[i], 0) << "at " << i;
    }
    EXPECT_EQ(GlobalUnlock(h), 0);
    EXPECT_EQ(GlobalFree(h), nullptr);
  }
}

TEST(GlobalMemory, RefusesAbsurdSizes) {
  for (size_t bytes : {static_cast<size_t>(PTRDIFF_MAX) + 1, SIZE_MAX}) {
    EXPECT_EQ(GlobalAlloc(GHND, bytes), nullptr);
    HGLOBAL h = GlobalAlloc(GHND, 8);
    ASSERT_NE(h, nullptr);
    FillPattern(h, 8, 3);
    EXPECT_EQ(GlobalReAlloc(h, bytes, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(h), 8u);
    EXPECT_TRUE(HasPattern(h, 8, 3));
    EXPECT_EQ(GlobalFree(h), nullptr);
  }
}

TEST(GlobalMemory, CountsLocks) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 10);
  ASSERT_NE(h, nullptr);
  void* first = GlobalLock(h);
  void* second = GlobalLock(h);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_NE(first, static_cast<void*>(h)) << "handles are tokens, not data addresses";
  EXPECT_EQ(GlobalUnlock(h), 1);
  EXPECT_EQ(GlobalUnlock(h), 0);
  EXPECT_EQ(GlobalUnlock(h), 0) << "unlocking an unlocked block";
  EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, ReAllocKeepsContentAndZeroFillsGrowth) {
  struct Case {
    size_t from;
    size_t to;
    uint32_t flags;
  } cases[] = {
      {64, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT},
      {64, 4096, GMEM_MOVEABLE},
      {4096, 64, GMEM_MOVEABLE},
      {100, 0, GMEM_MOVEABLE},
      {0, 300, GHND},
      {1u << 16, 1u << 20, GMEM_ZEROINIT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to << " flags " << c.flags);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, c.from);
    ASSERT_NE(h, nullptr);
    FillPattern(h, c.from, 11);
    ASSERT_EQ(GlobalReAlloc(h, c.to, c.flags), h) << "the handle stays the same";
    EXPECT_EQ(GlobalSize(h), c.to);
    EXPECT_TRUE(HasPattern(h, std::min(c.from, c.to), 11));
    if ((c.flags & GMEM_ZEROINIT) && c.to > c.from) {
      auto* p = static_cast<const uint8_t*>(GlobalLock(h));
      for (size_t i = c.from; i < c.to; ++i) ASSERT_EQ(p[i], 0) << "at " << i;
      GlobalUnlock(h);
    }
    EXPECT_EQ(GlobalFree(h), nullptr);
  }
}

TEST(GlobalMemory, ReAllocRefusesALockedBlockWhateverTheFlags) {
  for (uint32_t flags : {GMEM_FIXED, GMEM_MOVEABLE, GHND}) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 32);
    ASSERT_NE(h, nullptr);
    FillPattern(h, 32, 5);
    void* held = GlobalLock(h);
    EXPECT_EQ(GlobalReAlloc(h, 1u << 20, flags), nullptr);
    EXPECT_EQ(GlobalSize(h), 32u);
    EXPECT_EQ(GlobalLock(h), held) << "the holder's address is still valid";
    GlobalUnlock(h);
    GlobalUnlock(h);
    EXPECT_TRUE(HasPattern(h, 32, 5));
    EXPECT_EQ(GlobalReAlloc(h, 64, flags), h) << "unlocked again, it may move";
    EXPECT_EQ(GlobalFree(h), nullptr);
  }
}

TEST(GlobalMemory, TwoThreadsAllocateAndFreeTogether) {
  constexpr int kRounds = 5000;
  std::vector<HGLOBAL> kept[2];
  bool intact[2] = {true, true};
  auto work = [&](int id) {
    std::vector<HGLOBAL> live;
    for (int i = 0; i < kRounds; ++i) {
      size_t bytes = 1 + static_cast<size_t>(i % 97);
      HGLOBAL h = GlobalAlloc(GHND, bytes);
      if (h == nullptr) {
        intact[id] = false;
        return;
      }
      auto* p = static_cast<uint8_t*>(GlobalLock(h));
      std::memset(p, id + 1, bytes);
      GlobalUnlock(h);
      live.push_back(h);
      if (i % 3 == 2) {  // free an older one after checking it was not touched
        HGLOBAL old = live[live.size() / 2];
        live.erase(live.begin() + static_cast<std::ptrdiff_t>(live.size() / 2));
        auto* q = static_cast<const uint8_t*>(GlobalLock(old));
        for (size_t k = 0; q && k < GlobalSize(old); ++k) intact[id] = intact[id] && q[k] == id + 1;
        GlobalUnlock(old);
        intact[id] = intact[id] && GlobalFree(old) == nullptr;
      }
    }
    kept[id] = std::move(live);
  };
  std::thread a(work, 0);
  std::thread b(work, 1);
  a.join();
  b.join();
  EXPECT_TRUE(intact[0]);
  EXPECT_TRUE(intact[1]);
  std::set<HGLOBAL> distinct(kept[0].begin(), kept[0].end());
  distinct.insert(kept[1].begin(), kept[1].end());
  EXPECT_EQ(distinct.size(), kept[0].size() + kept[1].size());
  for (auto& list : kept)
    for (HGLOBAL h : list) EXPECT_EQ(GlobalFree(h), nullptr);
}

}  // namespace
