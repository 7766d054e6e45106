// Tests of the shared block's lifetime across processes: holders see each
// other's writes, the block is zeroed once nobody holds it (also after a
// holder was killed), a live holder keeps it, and concurrent openers and
// closers never end up on different blocks.
#include "platform/shared_block.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

constexpr std::size_t kSize = 104;

// One pipe; both ends closed with the object.
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() {
    if (pipe(fds) != 0) fds[0] = fds[1] = -1;
  }
  ~Pipe() {
    for (int fd : fds)
      if (fd >= 0) close(fd);
  }
  bool Send() const { return write(fds[1], "x", 1) == 1; }
  bool Wait() const {
    char c;
    return read(fds[0], &c, 1) == 1;
  }
};

bool AllZero(const uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != 0) return false;
  return true;
}

// Forks body; the child leaves with body's result and runs no atexit handlers.
template <typename Body>
pid_t Spawn(Body body) {
  pid_t pid = fork();
  if (pid == 0) {
    int rc = 99;
    try {
      rc = body();
    } catch (...) {
    }
    _exit(rc);
  }
  return pid;
}

// Exit code of a child; -1 when it did not exit normally.
int Reap(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

class SharedBlockTest : public testing::Test {
 protected:
  // A name of its own, as test processes run side by side.
  SharedBlockTest()
      : name_(std::string("VistelTest") + std::to_string(getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name()) {}
  ~SharedBlockTest() override { shm_unlink(("/" + name_ + "-" + std::to_string(getuid())).c_str()); }

  std::unique_ptr<platform::SharedBlock> Open() const { return platform::SharedBlock::Open(name_, kSize); }

  std::string name_;
};

TEST_F(SharedBlockTest, RefusesBadArguments) {
  struct Case {
    std::string name;
    std::size_t size;
  } cases[] = {{"", kSize}, {"a/b", kSize}, {name_, 0}, {std::string(300, 'n'), kSize}};
  for (const Case& c : cases) {
    errno = 0;
    EXPECT_EQ(platform::SharedBlock::Open(c.name, c.size), nullptr) << c.name << " " << c.size;
    EXPECT_NE(errno, 0);
  }
}

TEST_F(SharedBlockTest, TwoProcessesSeeEachOthersWrites) {
  auto block = Open();
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(block->Created());
  EXPECT_EQ(block->Size(), kSize);
  EXPECT_TRUE(AllZero(block->Data(), kSize));
  EXPECT_TRUE(std::filesystem::exists(std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + name_ + "-" +
                                      std::to_string(getuid()) + ".lock"));
  std::memcpy(block->Data(), "parent", 7);

  int rc = Reap(Spawn([&] {
    auto mine = Open();  // its own mapping, not the one fork inherited
    if (!mine || mine->Created()) return 1;
    if (std::memcmp(mine->Data(), "parent", 7) != 0) return 2;
    std::memcpy(mine->Data() + 50, "child", 6);
    return 0;
  }));
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(std::memcmp(block->Data() + 50, "child", 6), 0);
}

TEST_F(SharedBlockTest, IsZeroedOnceEveryHolderHasClosed) {
  auto block = Open();
  ASSERT_NE(block, nullptr);
  std::memset(block->Data(), 0x5A, kSize);
  int rc = Reap(Spawn([&] {
    auto mine = Open();
    if (!mine || mine->Created()) return 1;
    std::memset(mine->Data(), 0xA5, kSize);
    return 0;  // closes before leaving
  }));
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(block->Data()[0], 0xA5);
  block.reset();

  auto next = Open();
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(next->Created());
  EXPECT_TRUE(AllZero(next->Data(), kSize));
}

TEST_F(SharedBlockTest, AKilledHolderLeavesNothingBehind) {
  Pipe ready;
  pid_t pid = Spawn([&] {
    auto mine = Open();
    if (!mine) return 1;
    volatile uint8_t* data = mine->Data();
    for (std::size_t i = 0; i < kSize; ++i) data[i] = 0xEE;
    ready.Send();
    for (uint8_t n = 0;; ++n) data[n % kSize] = static_cast<uint8_t>(n | 1);  // until killed
  });
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(ready.Wait());
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));

  auto block = Open();
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(block->Created());
  EXPECT_TRUE(AllZero(block->Data(), kSize));
}

TEST_F(SharedBlockTest, ALiveHolderKeepsTheContent) {
  Pipe ready, done;
  pid_t pid = Spawn([&] {
    auto mine = Open();
    if (!mine || !mine->Created()) return 1;
    std::memcpy(mine->Data(), "held", 5);
    ready.Send();
    return done.Wait() ? 0 : 2;
  });
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(ready.Wait());
  auto block = Open();
  ASSERT_NE(block, nullptr);
  EXPECT_FALSE(block->Created());
  EXPECT_EQ(std::memcmp(block->Data(), "held", 5), 0);
  done.Send();
  ASSERT_EQ(Reap(pid), 0);

  // The child is gone, but this process still holds the block.
  auto second = Open();
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(second->Created());
  EXPECT_EQ(std::memcmp(second->Data(), "held", 5), 0);
}

// While a process holds the block, the name must lead to the very object it
// mapped: a closer may not unlink it and an opener may not replace it. Each
// child writes a token into its own slot through its mapping and reads it
// back through a fresh mapping of the name.
TEST_F(SharedBlockTest, ConcurrentOpenersAndClosersAgreeOnOneBlock) {
  constexpr int kChildren = 3;
  constexpr int kRounds = 300;
  const std::string shmName = "/" + name_ + "-" + std::to_string(getuid());
  auto nameShows = [&](std::size_t offset, uint64_t token) {
    int fd = shm_open(shmName.c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    void* view = mmap(nullptr, kSize, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (view == MAP_FAILED) return false;
    uint64_t seen = 0;
    std::memcpy(&seen, static_cast<const uint8_t*>(view) + offset, sizeof seen);
    munmap(view, kSize);
    return seen == token;
  };
  pid_t pids[kChildren];
  for (int child = 0; child < kChildren; ++child) {
    pids[child] = Spawn([&] {
      int faults = 0;
      const std::size_t offset = 8 * static_cast<std::size_t>(child);
      for (uint64_t round = 1; round <= kRounds; ++round) {
        auto mine = Open();
        if (!mine) return 100;
        uint64_t token = (static_cast<uint64_t>(getpid()) << 20) | round;
        std::memcpy(mine->Data() + offset, &token, sizeof token);
        if (!nameShows(offset, token)) ++faults;
      }
      return faults > 99 ? 99 : faults;
    });
    ASSERT_GT(pids[child], 0);
  }
  for (pid_t pid : pids) EXPECT_EQ(Reap(pid), 0);
}

}  // namespace
