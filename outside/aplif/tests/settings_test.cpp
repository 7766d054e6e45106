// Scan and file naming settings through the interface: the default set,
// persistence across a restart, hostile files, selection by name and the
// image type of the setting in force.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "aplif_test_support.h"

using namespace std::string_literals;
using aplif_test::AplIF;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

const std::vector<std::string> kDefaultScans = {"Letter", "A4 300 dpi colour", "B&W 200 dpi duplex",
                                                "B&W + colour 300 dpi"};
const std::vector<std::string> kDefaultJobs = {"Single pages", "Invoices"};

}  // namespace

TEST_F(AplIF, WritesTheDefaultSetWhenTheFilesAreMissingAndReadsItBackAfterARestart) {
  int32_t status = -1;
  ASSERT_EQ(Init(&status), APLIF_OK);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ScanNames(), kDefaultScans);
  EXPECT_EQ(JobNames(), kDefaultJobs);
  EXPECT_EQ(Ini(scanIni, "ScanSet", "Count"), "4");
  EXPECT_EQ(Ini(scanIni, "ScanSetting2", "Name"), "A4 300 dpi colour");
  EXPECT_EQ(Ini(scanIni, "ScanSetting2", "ImageType"), "3");
  EXPECT_EQ(Ini(scanIni, "ScanSetting2", "Resolution"), "300");
  EXPECT_EQ(Ini(scanIni, "UserReadCond", "Function1"), "Letter");
  EXPECT_EQ(Ini(jobIni, "JobSetting2", "ReadCond"), "B&W 200 dpi duplex");
  EXPECT_EQ(data->GetToolkitUnit(), APL_UNIT_MM);

  ASSERT_EQ(data->SetCurScanSettingNo(2), APLIF_OK);
  ASSERT_EQ(data->SetCurFileNamingSettingNo(1), APLIF_OK);
  ASSERT_EQ(Restart(), APLIF_OK);
  EXPECT_EQ(ScanNames(), kDefaultScans);
  EXPECT_EQ(JobNames(), kDefaultJobs);
  EXPECT_EQ(data->GetCurScanSettingNo(), 2);
  EXPECT_EQ(data->GetCurFileNamingSettingNo(), 1);
  EXPECT_EQ(data->GetFileNamingSettingCnt(), 2);
}

TEST_F(AplIF, KeepsOtherLinesOfTheFileWhenStoringASelection) {
  WriteFile(scanIni,
            "; kept comment\n[Site]\nOwner=Front desk\n[ScanSet]\nCount=2\nCurrent=0\n"
            "[ScanSetting1]\nName=One\n[ScanSetting2]\nName=Two\n");
  ASSERT_EQ(Init(), APLIF_OK);
  ASSERT_EQ(data->SetCurScanSettingNo(1), APLIF_OK);
  const std::string text = ReadFile(scanIni);
  EXPECT_NE(text.find("; kept comment"), std::string::npos);
  EXPECT_EQ(Ini(scanIni, "Site", "Owner"), "Front desk");
  EXPECT_EQ(Ini(scanIni, "ScanSet", "Current"), "1");
  EXPECT_EQ(data->SetCurScanSettingNo(2), APLIF_ERR_NOT_FOUND);
  EXPECT_EQ(data->SetCurScanSettingNo(-1), APLIF_ERR_NOT_FOUND);
  EXPECT_EQ(data->GetCurScanSettingNo(), 1);
}

struct HostileCase {
  const char* label;
  std::string scanText;
  std::vector<std::string> names;  // what is read
  int32_t current;
  bool defaultsWritten;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.label; }

class HostileScanSet : public AplIF, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileScanSet, ReadsWhatIsUsableWithoutCrashing) {
  const HostileCase& c = GetParam();
  WriteFile(scanIni, c.scanText);
  ASSERT_EQ(Init(), APLIF_OK);
  EXPECT_EQ(ScanNames(), c.names);
  EXPECT_EQ(data->GetCurScanSettingNo(), c.current);
  if (c.defaultsWritten) {
    EXPECT_EQ(Ini(scanIni, "ScanSet", "Count"), "4");
  }
  // What was read survives a restart unchanged.
  ASSERT_EQ(data->SetCurScanSettingNo(data->GetCurScanSettingNo()), APLIF_OK);
  ASSERT_EQ(Restart(), APLIF_OK);
  EXPECT_EQ(ScanNames(), c.names);
}

const std::string kLong(200, 'x');
std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileScanSet,
    ::testing::Values(
        HostileCase{"AbsurdCount",
                    "[ScanSet]\nCount=2147483647\nCurrent=1\n[ScanSetting1]\nName=A\n[ScanSetting2]\nName=B\n",
                    {"A", "B"}, 1, false},
        HostileCase{"NegativeCount", "[ScanSet]\nCount=-5\n[ScanSetting1]\nName=A\n", kDefaultScans, 0, true},
        HostileCase{"MissingSections",
                    "[ScanSet]\nCount=4\n[ScanSetting1]\nName=A\n[ScanSetting3]\nName=C\n"
                    "[ScanSetting4]\nImageType=3\n",
                    {"A", "C"}, 0, false},
        HostileCase{"DuplicateNamesIgnoringCase",
                    "[ScanSet]\nCount=3\n[ScanSetting1]\nName=Letter\n[ScanSetting2]\nName=LETTER\n"
                    "[ScanSetting3]\nName=Legal\n",
                    {"Letter", "Legal"}, 0, false},
        HostileCase{"OverLongNamesCutAtACharacter",
                    "[ScanSet]\nCount=2\n[ScanSetting1]\nName=" + kLong + "\n[ScanSetting2]\nName=" +
                        Repeat("\xC3\xA9", 40) + "\n",
                    {std::string(63, 'x'), Repeat("\xC3\xA9", 31)}, 0, false},
        HostileCase{"CurrentOutOfRange", "[ScanSet]\nCount=1\nCurrent=50\n[ScanSetting1]\nName=A\n", {"A"}, 0,
                    false},
        HostileCase{"EmptyNamesOnly", "[ScanSet]\nCount=2\n[ScanSetting1]\nName=\n[ScanSetting2]\nName=\"\"\n",
                    kDefaultScans, 0, true},
        HostileCase{"NotAnIniFile", "\x00\xff\x01garbage\n=\n[\n"s, kDefaultScans, 0, true}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.label); });

TEST_F(AplIF, ValuesOutOfRangeTakeTheirDefaults) {
  WriteFile(scanIni,
            "[ScanSet]\nCount=1\nUnit=7\n[ScanSetting1]\nName=Odd\nImageType=9\nResolution=99999\nPaper=-1\n");
  ASSERT_EQ(Init(), APLIF_OK);
  EXPECT_EQ(data->GetImageType(0), APL_IMAGE_BW);
  EXPECT_EQ(data->GetBitPixel(0), 1);
  EXPECT_EQ(data->GetToolkitUnit(), APL_UNIT_MM);
}

TEST_F(AplIF, AFileThatCannotBeReadIsNeverReplaced) {
  ASSERT_EQ(mkdir(scanIni.c_str(), 0700), 0);  // a folder where the file should be
  int32_t status = 0;
  EXPECT_EQ(Init(&status), 1);
  EXPECT_EQ(status, EISDIR);
  EXPECT_EQ(ScanNames(), kDefaultScans);  // running on defaults
  EXPECT_EQ(data->SetCurScanSettingNo(1), APLIF_ERR_WRITE);
  EXPECT_EQ(data->GetCurScanSettingNo(), 1);
  struct stat st {};
  ASSERT_EQ(stat(scanIni.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(data->ExitInstance(), APLIF_ERR_WRITE);  // the retry at exit fails as well
}

TEST_F(AplIF, EnumerationReportsBadPositionsAndTruncatesNames) {
  ASSERT_EQ(Init(), APLIF_OK);
  char name[4];
  int32_t pos = data->ScanGetHeadPosition();
  ASSERT_GT(pos, 0);
  EXPECT_EQ(data->ScanGetNext(&pos, name, sizeof name), 0);
  EXPECT_STREQ(name, "Let");
  pos = 99;
  EXPECT_EQ(data->ScanGetNext(&pos, name, sizeof name), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(pos, 0);
  EXPECT_STREQ(name, "");
  pos = 1;
  EXPECT_EQ(data->FileNamingGetNext(&pos, name, 0), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(data->FileNamingGetNext(nullptr, name, sizeof name), APLIF_ERR_BAD_ARGUMENT);
}

TEST_F(AplIF, OperationsNeedAStartedInstance) {
  char name[APLIF_NAME_SIZE];
  EXPECT_EQ(data->ScanGetHeadPosition(), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->GetCurScanSettingNo(), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->SetCurSameName(APL_KIND_SCAN, "Letter"), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->GetImageType(0), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->GetUseSpecifiedReadCond(name, sizeof name), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->ScanSettingForAPL(), APLIF_ERR_NOT_INITIALIZED);
  EXPECT_EQ(data->ExitInstance(), APLIF_ERR_NOT_INITIALIZED);

  struct Args {
    const char* job;
    const char* scan;
    int32_t revision;
    int32_t options;
    int32_t expected;
  };
  const std::string job = jobIni, scan = scanIni;
  for (const Args& a : {Args{nullptr, scan.c_str(), 4, 0, APLIF_ERR_BAD_ARGUMENT},
                        Args{job.c_str(), "", 4, 0, APLIF_ERR_BAD_ARGUMENT},
                        Args{job.c_str(), scan.c_str(), 4, 1, APLIF_ERR_BAD_ARGUMENT},
                        Args{job.c_str(), scan.c_str(), APLIF_INTERFACE_REVISION + 1, 0, APLIF_ERR_REVISION}}) {
    int32_t status = 0;
    EXPECT_EQ(data->InitInstanceForVEXO("t", 0, 1, a.revision, a.options, a.job, a.scan, &status), a.expected);
    EXPECT_EQ(status, a.expected);
  }
  EXPECT_EQ(data->ScanGetHeadPosition(), APLIF_ERR_NOT_INITIALIZED);
}

struct NameCase {
  int32_t kind;
  const char* name;
  int32_t result;
  int32_t current;  // afterwards
};

TEST_F(AplIF, SetCurSameNameSelectsByNameIgnoringCase) {
  ASSERT_EQ(Init(), APLIF_OK);
  const NameCase scanCases[] = {
      {APL_KIND_SCAN, "B&W 200 dpi duplex", 1, 2},
      {APL_KIND_SCAN, "a4 300 DPI Colour", 1, 1},
      {APL_KIND_SCAN, "A4", 0, 1},
      {APL_KIND_SCAN, " Letter", 0, 1},  // not trimmed
      {APL_KIND_SCAN, "", 0, 1},
      {APL_KIND_SCAN, nullptr, 0, 1},
      {2, "Letter", APLIF_ERR_BAD_ARGUMENT, 1},
  };
  for (const NameCase& c : scanCases) {
    EXPECT_EQ(data->SetCurSameName(c.kind, c.name), c.result) << (c.name ? c.name : "(null)");
    EXPECT_EQ(data->GetCurScanSettingNo(), c.current) << (c.name ? c.name : "(null)");
  }
  EXPECT_EQ(data->SetCurSameName(APL_KIND_FILE_NAMING, "INVOICES"), 1);
  EXPECT_EQ(data->GetCurFileNamingSettingNo(), 1);
  EXPECT_EQ(data->SetCurSameName(APL_KIND_FILE_NAMING, "Letter"), 0);  // a scan setting's name
  EXPECT_EQ(data->GetCurFileNamingSettingNo(), 1);
  ASSERT_EQ(Restart(), APLIF_OK);
  EXPECT_EQ(data->GetCurScanSettingNo(), 1);
  EXPECT_EQ(data->GetCurFileNamingSettingNo(), 1);
}

TEST_F(AplIF, ImageTypeAndBitDepthOfEachTypeWithTwoStreamsForFourAndFive) {
  std::string text = "[ScanSet]\nCount=6\n";
  for (int t = 0; t < 6; ++t)
    text += "[ScanSetting" + std::to_string(t + 1) + "]\nName=T" + std::to_string(t) +
            "\nImageType=" + std::to_string(t) + "\n";
  WriteFile(scanIni, text);
  ASSERT_EQ(Init(), APLIF_OK);
  struct Expect {
    int32_t type;
    int32_t bits;
    bool twoStreams;
  };
  const Expect expected[] = {{APL_IMAGE_BW, 1, false},     {APL_IMAGE_GRAY16, 4, false},
                             {APL_IMAGE_GRAY256, 8, false}, {APL_IMAGE_COLOR, 24, false},
                             {APL_IMAGE_BW_GRAY, 1, true},  {APL_IMAGE_BW_COLOR, 1, true}};
  for (int t = 0; t < 6; ++t) {
    ASSERT_EQ(data->SetCurScanSettingNo(t), APLIF_OK);
    const int32_t type = data->GetImageType(0);
    EXPECT_EQ(type, expected[t].type);
    EXPECT_EQ(type == 4 || type == 5, expected[t].twoStreams);
    EXPECT_EQ(data->GetCurrentImageType(0), expected[t].type);
    EXPECT_EQ(data->GetBitPixel(0), expected[t].bits);
  }
}

TEST_F(AplIF, JobModeUsesTheJobsOwnScanSettingWhenItHasOne) {
  ASSERT_EQ(Init(), APLIF_OK);
  ASSERT_EQ(data->SetCurSameName(APL_KIND_SCAN, "B&W + colour 300 dpi"), 1);
  char name[APLIF_NAME_SIZE];

  ASSERT_EQ(data->SetCurSameName(APL_KIND_FILE_NAMING, "Invoices"), 1);
  EXPECT_EQ(data->GetUseSpecifiedReadCond(name, sizeof name), 1);
  EXPECT_STREQ(name, "B&W 200 dpi duplex");
  EXPECT_EQ(data->GetImageType(1), APL_IMAGE_BW);        // the job's own setting
  EXPECT_EQ(data->GetImageType(0), APL_IMAGE_BW_COLOR);  // the current scan setting

  ASSERT_EQ(data->SetCurSameName(APL_KIND_FILE_NAMING, "Single pages"), 1);
  EXPECT_EQ(data->GetUseSpecifiedReadCond(name, sizeof name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(data->GetImageType(1), APL_IMAGE_BW_COLOR);
}

TEST_F(AplIF, AJobNamingAMissingScanSettingHasNoOwnSetting) {
  WriteFile(jobIni, "[JobSet]\nCount=1\n[JobSetting1]\nName=J\nReadCond=Gone\nDigits=99\nFilePrefix=a/b\n");
  ASSERT_EQ(Init(), APLIF_OK);
  char name[APLIF_NAME_SIZE];
  EXPECT_EQ(data->GetUseSpecifiedReadCond(name, sizeof name), 0);
  EXPECT_EQ(data->GetImageType(1), data->GetImageType(0));
}
