// Runs the plain C caller (tests/c_caller.c), which uses only the public
// header and the shared library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

TEST(CCaller, RunsTheExportsFromPlainC) {
  int status = std::system(IMGFLT_C_CALLER);
  ASSERT_NE(status, -1);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "see the caller's output above";
}

}  // namespace
