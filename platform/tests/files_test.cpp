// Tests of the read-only rule: the permission bits count even for a user
// the system lets write anyway (the suite may run as root).
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testsupport/temp_env.h"

namespace {

TEST(IsReadOnlyFile, ByModeAndKind) {
  testsupport::TempDir dir;
  struct Case {
    const char* name;
    int mode;  // −1: not created
    bool readOnly;
  } cases[] = {
      {"writable", 0644, false}, {"owner-writable-only", 0200, false}, {"no-write-bits", 0444, true},
      {"no-bits", 0000, true},   {"missing", -1, false},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File(c.name);
    if (c.mode >= 0) {
      testsupport::WriteFile(path, "x");
      ASSERT_EQ(chmod(path.c_str(), mode_t(c.mode)), 0);
    }
    EXPECT_EQ(platform::IsReadOnlyFile(path), c.readOnly) << c.name;
  }
  EXPECT_FALSE(platform::IsReadOnlyFile(dir.Path())) << "a folder is not a read-only file";
  EXPECT_FALSE(platform::IsReadOnlyFile(""));
}

}  // namespace
