// Tests of the system error texts: known numbers, unknown ones, and the
// last error of the calling thread.
#include "platform/syserror.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace {

TEST(SystemErrorText, KnownAndUnknownNumbers) {
  struct Case {
    int error;
    const char* text;
  } cases[] = {
      {ENOENT, "No such file or directory"}, {ENAMETOOLONG, "File name too long"},
      {EACCES, "Permission denied"},         {0, "Success"},
      {99999, "Unknown error 99999"},        {-5, "Unknown error -5"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SystemErrorText(c.error), c.text) << c.error;
}

TEST(LastError, IsThisThreadsErrno) {
  errno = EACCES;
  int other = 0;
  std::thread([&] {
    errno = ENOSPC;
    other = platform::LastError();
  }).join();
  EXPECT_EQ(other, ENOSPC);
  EXPECT_EQ(platform::LastError(), EACCES);
}

}  // namespace
