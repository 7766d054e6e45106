// Free space checks against the real file system of the test folder.
#include <cstring>
#include <limits>

#include "aplif_test_support.h"
#include "platform/disk.h"

using aplif_test::AplIF;

namespace {

APL_DISK_CHK_PARAM Param(uint64_t threshold, const std::string& root1, uint64_t size1 = 0,
                         const std::string& root2 = "", uint64_t size2 = 0, const std::string& work = "") {
  APL_DISK_CHK_PARAM p;
  std::memset(&p, 0, sizeof p);
  p.threshold = threshold;
  p.expectedSize1 = size1;
  p.expectedSize2 = size2;
  std::strncpy(p.root1, root1.c_str(), sizeof p.root1 - 1);
  std::strncpy(p.root2, root2.c_str(), sizeof p.root2 - 1);
  std::strncpy(p.workRoot, work.c_str(), sizeof p.workRoot - 1);
  return p;
}

constexpr uint64_t kHuge = std::numeric_limits<uint64_t>::max() / 2;

}  // namespace

TEST_F(AplIF, CheckDiskFreeComparesEachRootWithThresholdPlusExpectedSizes) {
  const std::string root = dir.Path();
  const std::optional<uint64_t> free = platform::FreeDiskBytes(root);
  ASSERT_TRUE(free.has_value());
  ASSERT_GT(*free, uint64_t{1} << 20) << "the test folder's disk is full";
  // Sizes of 60 % each: one fits, two on the same root do not.
  const uint64_t part = *free / 10 * 6;
  struct Case {
    const char* label;
    APL_DISK_CHK_PARAM param;
    int32_t expected;
  };
  const Case cases[] = {
      {"small threshold", Param(1 << 20, root), 1},
      {"threshold that cannot be met", Param(kHuge, root), 0},
      {"threshold plus a size that cannot be met", Param(1 << 20, root, kHuge), 0},
      {"no root means no check", Param(kHuge, ""), 1},
      {"one target of 60 %", Param(0, root, part), 1},
      {"two targets of 60 % on one root add up", Param(0, root, part, root, part), 0},
      {"the working folder root needs the threshold", Param(kHuge, "", 0, "", 0, root), 0},
      {"sizes saturate instead of wrapping", Param(2, root, std::numeric_limits<uint64_t>::max() - 1), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(data->CheckDiskFree(&c.param), c.expected) << c.label;
}

TEST_F(AplIF, StoredDiskParametersAreCheckedWhenNoneAreGiven) {
  APL_DISK_CHK_PARAM p;
  std::memset(&p, 0x5A, sizeof p);
  EXPECT_EQ(data->InitDiskChkParam(&p), APLIF_OK);
  const APL_DISK_CHK_PARAM zero{};
  EXPECT_EQ(std::memcmp(&p, &zero, sizeof p), 0);
  EXPECT_EQ(data->CheckDiskFree(nullptr), 1);  // nothing stored

  const APL_DISK_CHK_PARAM full = Param(kHuge, dir.Path());
  ASSERT_EQ(data->SetDiskChkParam(&full), APLIF_OK);
  EXPECT_EQ(data->CheckDiskFree(nullptr), 0);
  ASSERT_EQ(data->InitDiskChkParam(nullptr), APLIF_OK);
  EXPECT_EQ(data->CheckDiskFree(nullptr), 1);
}

TEST_F(AplIF, DiskParametersWithAnUnterminatedRootAreRefused) {
  APL_DISK_CHK_PARAM p = Param(0, dir.Path());
  std::memset(p.root2, 'x', sizeof p.root2);
  EXPECT_EQ(data->SetDiskChkParam(&p), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(data->CheckDiskFree(&p), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(data->SetDiskChkParam(nullptr), APLIF_ERR_BAD_ARGUMENT);
}
