// Tests of the free disk space: an existing folder, a folder not made yet
// (asked through its mount root), and folders nothing answers for.
#include "platform/disk.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include "testsupport/temp_env.h"

namespace {

TEST(FreeDiskBytes, FolderThenMountRoot) {
  testsupport::TempDir dir;
  struct statvfs st {};
  ASSERT_EQ(statvfs(dir.Path().c_str(), &st), 0);
  const uint64_t expected = static_cast<uint64_t>(st.f_bfree) * st.f_frsize;
  // Other tests write meanwhile: allow some drift.
  const uint64_t slack = uint64_t{256} << 20;

  for (const std::string& folder : {dir.Path(), dir.File("not/made/yet/")}) {
    std::optional<uint64_t> bytes = platform::FreeDiskBytes(folder);
    ASSERT_TRUE(bytes.has_value()) << folder;
    EXPECT_LT(*bytes > expected ? *bytes - expected : expected - *bytes, slack) << folder;
  }
}

TEST(FreeDiskBytes, NothingAnswers) {
  testsupport::TempDir dir;
  testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", dir.File("missing"));
  EXPECT_FALSE(platform::FreeDiskBytes(dir.File("not/made/")).has_value());
  EXPECT_FALSE(platform::FreeDiskBytes("").has_value());
  EXPECT_FALSE(platform::FreeDiskBytes(std::string_view("/\0x", 3)).has_value());
}

}  // namespace
