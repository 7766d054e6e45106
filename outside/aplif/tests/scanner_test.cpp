// The global object as the program sees it: field offsets of the live
// object, scanner selection, feature checks, the operation table guard and
// the scan hand-over arguments.
#include <cstring>

#include "aplif_test_support.h"

using aplif_test::AplIF;
using aplif_test::kVirtualName;

TEST_F(AplIF, TheCurrentScannerIdLivesAtItsFixedOffset) {
  int32_t atOffset = 0;
  std::memcpy(&atOffset, reinterpret_cast<const unsigned char*>(data) + 35368, sizeof atOffset);
  EXPECT_EQ(atOffset, APL_SCANNER_ID_VIRTUAL_FEEDER);
  ASSERT_EQ(Init(), APLIF_OK);
  const uint32_t owner = 0x1234567u;
  ASSERT_EQ(data->InitInstanceForVEXO("t", owner, 1, 4, 0, jobIni.c_str(), scanIni.c_str()), APLIF_OK);
  uint32_t first = 0;
  std::memcpy(&first, data, sizeof first);
  EXPECT_EQ(first, owner);
}

TEST_F(AplIF, SelectsScannersByNameIgnoringCase) {
  char name[APLIF_NAME_SIZE];
  EXPECT_EQ(data->GetScannerID("virtual SHEET feeder"), APL_SCANNER_ID_VIRTUAL_FEEDER);
  EXPECT_EQ(data->GetCurScannerName(name, sizeof name), static_cast<int32_t>(std::strlen(kVirtualName)));
  EXPECT_STREQ(name, kVirtualName);
  EXPECT_EQ(data->GetScannerID("No Such Scanner"), APLIF_ERR_NOT_FOUND);
  EXPECT_EQ(data->GetScannerID(""), APLIF_ERR_NOT_FOUND);
  EXPECT_EQ(data->GetScannerID(nullptr), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(data->curScannerId, APL_SCANNER_ID_VIRTUAL_FEEDER);
  EXPECT_EQ(data->GetCurScannerName(name, 8), 7);
  EXPECT_STREQ(name, "Virtual");
  EXPECT_EQ(data->GetCurScannerName(name, 0), APLIF_ERR_BAD_ARGUMENT);
}

TEST_F(AplIF, CheckEnableScannerIdByFeatureAndOption) {
  struct Case {
    int32_t id, feature, option, expected;
  };
  const int32_t v = APL_SCANNER_ID_VIRTUAL_FEEDER;
  const Case cases[] = {
      {v, APL_FEATURE_SCAN, -1, 1},       {v, APL_FEATURE_SCAN, 2, 1},        {v, APL_FEATURE_SCAN, 16, 1},
      {v, APL_FEATURE_SCAN, 3, 0},        {v, APL_FEATURE_SCAN, 32, 0},       {v, APL_FEATURE_SCAN, 0, 0},
      {v, APL_FEATURE_USER_SHEET, -1, 1}, {v, APL_FEATURE_USER_SHEET, 9, 1},  {v, APL_FEATURE_USER_SHEET, 10, 0},
      {v, 7, -1, 0},                      {0, APL_FEATURE_SCAN, -1, 0},       {25, APL_FEATURE_SCAN, -1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(data->CheckEnableScannerID(c.id, c.feature, c.option), c.expected)
        << c.id << "/" << c.feature << "/" << c.option;
}

TEST(AplIFHeader, ASlotTheLibraryLacksAnswersNotAvailable) {
  // An object whose table ends before GetImageType, as an older library's would.
  CAplIFData* live = aplif_test::Bound();
  ASSERT_NE(live, nullptr);
  APLIF_OPS shorter = *live->ops;
  shorter.size = static_cast<uint32_t>(offsetof(APLIF_OPS, GetImageType));
  CAplIFData old{};
  old.ops = &shorter;
  EXPECT_EQ(old.GetImageType(0), APLIF_ERR_NOT_AVAILABLE);
  EXPECT_EQ(old.CheckDiskFree(nullptr), APLIF_ERR_NOT_AVAILABLE);
  EXPECT_EQ(old.SetHelpPath(nullptr), APLIF_OK);  // within the table
  CAplIFData none{};
  EXPECT_EQ(none.GetScannerID(kVirtualName), APLIF_ERR_NOT_AVAILABLE);
}

TEST_F(AplIF, TheScanItselfIsNotOfferedYet) {
  ASSERT_EQ(Init(), APLIF_OK);
  int32_t status = 0;
  EXPECT_EQ(data->EntryEventFunc([](const void*) { return int32_t{0}; }, 0, &status), APLIF_ERR_NOT_AVAILABLE);
  EXPECT_EQ(status, APLIF_ERR_NOT_AVAILABLE);
  char folder[APLIF_JOB_FOLDER_SIZE] = "/tmp/";
  EXPECT_EQ(data->ScanExecForVEXO(1, 0, 1, 0, 1, folder, 1), APLIF_ERR_NOT_AVAILABLE);
  char file[APLIF_FILE_NAME_SIZE] = "x";
  EXPECT_EQ(data->GetFileName(file, sizeof file), APLIF_ERR_NO_PAGE);
  EXPECT_STREQ(file, "");
}

TEST_F(AplIF, ScanHandOverArgumentsAreChecked) {
  ASSERT_EQ(Init(), APLIF_OK);
  const EACH_FILETYPE types{0, 0, 2, 2};
  auto info = [&](int32_t overwrite, int32_t fileType, int32_t digits, int32_t initial, int32_t quality,
                  const EACH_FILETYPE* t, int32_t multi) {
    return data->SetScanFileInfoForApl("/tmp/", "doc", "tif", overwrite, fileType, digits, initial, 1, 5, 5, 5,
                                       quality, t, multi);
  };
  EXPECT_EQ(info(0, 0, 3, 1, 75, &types, 0), APLIF_OK);
  EXPECT_EQ(info(0, -1, 0, 0, 1, &types, 1), APLIF_OK);
  EXPECT_EQ(info(2, 0, 3, 1, 75, &types, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(info(0, 4, 3, 1, 75, &types, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(info(0, 0, 8, 1, 75, &types, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(info(0, 0, 3, 10000000, 75, &types, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(info(0, 0, 3, 1, 0, &types, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(info(0, 0, 3, 1, 75, nullptr, 0), APLIF_ERR_BAD_ARGUMENT);
  const EACH_FILETYPE badTypes{0, 0, 9, 2};
  EXPECT_EQ(info(0, 0, 3, 1, 75, &badTypes, 0), APLIF_ERR_BAD_ARGUMENT);

  APL_CSTM_INF widths{10, 10, 10, 10, 0, 0, 0, 4318};
  EXPECT_EQ(data->SetCustomizeInfo(&widths), APLIF_OK);
  widths.shadowTop = -1;
  int32_t status = 0;
  EXPECT_EQ(data->SetCustomizeInfo(&widths, &status), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(status, APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(data->SetCustomizeInfo(nullptr), APLIF_ERR_BAD_ARGUMENT);
}
