// ExportWriteFilterParam: the 2224-byte block in the 32-bit layout, the
// trailing parts and their length, and what the caller's records keep.
#include <gtest/gtest.h>

#include <testsupport/temp_env.h>

#include "fixtures.h"
#include "interface/record_bytes.h"

namespace imgflt::test {
namespace {

constexpr size_t kImgAt = 64, kPrmAt = 160;

uint32_t Le32(const std::string& s, size_t at) { return GetLE32(reinterpret_cast<const uint8_t*>(s.data()) + at); }
uint16_t Le16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

TEST(ParamFile, LengthFollowsTheTrailingParts) {
  struct Case {
    const char* text;
    const char* font;
    bool withImage;
    bool withCim;
    uint32_t textFlag;
  } cases[] = {
      {nullptr, nullptr, false, false, 0},
      {"", "Sans", true, false, 0},
      {"Confidential", nullptr, false, true, 1},
      {"Seite 1 von 2", "DejaVu Sans Mono", true, true, 1},
  };
  testsupport::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text != nullptr ? c.text : "(null)");
    TestImage image = MakeImage(10, 10, 8);
    HUX_IMG_FILTER_PARAM prm = NothingRecord();
    prm.superImpose.string = c.text;
    prm.superImpose.fontName = c.font;
    CIM_INFO cim{};
    cim.mngKind = COLOR_EXTRACT;
    std::string path = dir.File("record.par");
    ASSERT_EQ(ExportWriteFilterParam(path.c_str(), c.withImage ? &image.inf : nullptr, &prm,
                                     c.withCim ? &cim : nullptr),
              1);
    std::string file = testsupport::ReadFile(path);
    size_t textLength = c.text != nullptr ? std::strlen(c.text) : 0;
    size_t fontLength = c.font != nullptr ? std::strlen(c.font) : 0;
    ASSERT_EQ(file.size(), 2224 + 4 + 4 + textLength + 4 + fontLength + 4 + 480);
    EXPECT_EQ(file.substr(0, 15), std::string("HuxImgFlt_Data\0", 15));
    EXPECT_EQ(file.substr(14, 50), std::string(50, '\0'));
    if (!c.withImage) {
      EXPECT_EQ(file.substr(kImgAt, 96), std::string(96, '\0'));
    }
    size_t at = 2224;
    EXPECT_EQ(Le32(file, at), c.textFlag);
    EXPECT_EQ(Le32(file, at + 4), textLength);
    EXPECT_EQ(file.substr(at + 8, textLength), std::string(c.text != nullptr ? c.text : ""));
    at += 8 + textLength;
    EXPECT_EQ(Le32(file, at), fontLength);
    EXPECT_EQ(file.substr(at + 4, fontLength), std::string(c.font != nullptr ? c.font : ""));
    at += 4 + fontLength;
    EXPECT_EQ(Le32(file, at), c.withCim ? 1u : 0u);
    EXPECT_EQ(static_cast<uint8_t>(file[at + 4]), c.withCim ? COLOR_EXTRACT : 0);
  }
}

TEST(ParamFile, FieldsSitAtTheirThirtyTwoBitOffsets) {
  TestImage image = MakeImage(1234, 567, 24, false, 300);
  image.inf.imgDpiY = 150;
  image.inf.reserved32[63] = 0x5A;
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.deskewAngle = -0.125;
  prm.rotAngle = 27000;
  prm.cropSquare.r = {0x11223344u, 7};
  prm.subArea2.dwHeight = 0xA1B2C3D4u;
  prm.subArea3.threshold = 0x77;
  prm.blackLevel = 100;
  prm.borderInterval = -2;
  prm.chgResolution = 150;
  prm.superImpose.fontSize = 0x1234;
  prm.superImpose.bold = IMG_FLT_ON;
  DTH_PARAM dth[5] = {};
  prm.pDthPrmTbl = dth;
  prm.cropMargin = -50;
  prm.bdrRmvlArea[3] = 0xCAFEu;
  prm.orientationLcid = 1041;
  prm.detectedAngle = 9000;
  prm.idrError = -7;
  CIM_INFO cim{};
  cim.mngKind = COLOR_MASK;
  cim.outJudgedClNo = -1;
  cim.srcColor[7].Vhigh = 0xEE;
  cim.judgeRect.bottom = -3;
  cim.jdgDiffPixel1st2nd = 0x01020304u;
  testsupport::TempDir dir;
  std::string path = dir.File("fields.par");
  ASSERT_EQ(ExportWriteFilterParam(path.c_str(), &image.inf, &prm, &cim), 1);
  std::string f = testsupport::ReadFile(path);

  EXPECT_EQ(Le32(f, kImgAt + 0), 1u) << "a set pointer is written as 1";
  EXPECT_EQ(Le32(f, kImgAt + 4), 1234u);
  EXPECT_EQ(Le32(f, kImgAt + 8), 567u);
  EXPECT_EQ(f[kImgAt + 12], 24);
  EXPECT_EQ(f[kImgAt + 14], 1) << "dataUpDown is written as 1";
  EXPECT_EQ(image.inf.dataUpDown, IMG_FLT_UPDOWN_NORMAL) << "the caller's record keeps its value";
  EXPECT_EQ(Le32(f, kImgAt + 20), 0u) << "null handle";
  EXPECT_EQ(Le32(f, kImgAt + 24), 300u);
  EXPECT_EQ(Le32(f, kImgAt + 28), 150u);
  EXPECT_EQ(static_cast<uint8_t>(f[kImgAt + 95]), 0x5A);

  double angle = 0;
  std::memcpy(&angle, f.data() + kPrmAt + 16, 8);
  EXPECT_EQ(angle, -0.125);
  EXPECT_EQ(Le16(f, kPrmAt + 0), 9);
  EXPECT_EQ(Le16(f, kPrmAt + 26), 27000);
  EXPECT_EQ(Le32(f, kPrmAt + 28 + 24), 0x11223344u);
  EXPECT_EQ(Le32(f, kPrmAt + 1188 + 16), 0xA1B2C3D4u);
  EXPECT_EQ(static_cast<uint8_t>(f[kPrmAt + 1536 + 283]), 0x77);
  EXPECT_EQ(static_cast<uint8_t>(f[kPrmAt + 833]), IMG_FLT_BINARY_OFF);
  EXPECT_EQ(static_cast<uint8_t>(f[kPrmAt + 1891]), 100);
  EXPECT_EQ(Le16(f, kPrmAt + 1892), 0xFFFE);
  EXPECT_EQ(Le16(f, kPrmAt + 1914), 150);
  EXPECT_EQ(Le16(f, kPrmAt + 1916 + 20), 0x1234);
  EXPECT_EQ(f[kPrmAt + 1916 + 25], 1);
  EXPECT_EQ(Le32(f, kPrmAt + 1956), 1u);
  EXPECT_EQ(Le32(f, kPrmAt + 1964), static_cast<uint32_t>(-50));
  EXPECT_EQ(Le32(f, kPrmAt + 1968), 0u);
  EXPECT_EQ(Le32(f, kPrmAt + 2000), 0xCAFEu);
  EXPECT_EQ(Le32(f, kPrmAt + 2040), 1041u);
  EXPECT_EQ(Le16(f, kPrmAt + 2044), 9000);
  EXPECT_EQ(Le32(f, kPrmAt + 2048), static_cast<uint32_t>(-7));

  const size_t cimAt = 2224 + 4 + 4 + 4 + 4;
  EXPECT_EQ(Le16(f, cimAt + 2), 0xFFFF);
  EXPECT_EQ(static_cast<uint8_t>(f[cimAt + 256 + 7 * 8 + 7]), 0xEE);
  EXPECT_EQ(Le32(f, cimAt + 348 + 12), static_cast<uint32_t>(-3));
  EXPECT_EQ(Le32(f, cimAt + 404), 0x01020304u);
}

TEST(ParamFile, SameRecordsGiveTheSameFile) {
  testsupport::TempDir dir;
  TestImage a = MakeImage(10, 10, 8), b = MakeImage(10, 10, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  std::string text1 = "same text", text2 = "same text";
  prm.superImpose.string = text1.c_str();
  ASSERT_EQ(ExportWriteFilterParam(dir.File("a.par").c_str(), &a.inf, &prm, nullptr), 1);
  prm.superImpose.string = text2.c_str();  // another address, same content
  ASSERT_EQ(ExportWriteFilterParam(dir.File("b.par").c_str(), &b.inf, &prm, nullptr), 1);
  EXPECT_EQ(testsupport::ReadFile(dir.File("a.par")), testsupport::ReadFile(dir.File("b.par")));
}

TEST(ParamFile, FailuresReturnZeroAndKeepTheOldFile) {
  testsupport::TempDir dir;
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  EXPECT_EQ(ExportWriteFilterParam(dir.File("missing/x.par").c_str(), nullptr, &prm, nullptr), 0);
  EXPECT_EQ(ExportWriteFilterParam(nullptr, nullptr, &prm, nullptr), 0);
  EXPECT_EQ(ExportWriteFilterParam(dir.File("y.par").c_str(), nullptr, nullptr, nullptr), 0);
  // A longer old file is replaced as a whole, never left with a stale tail.
  std::string path = dir.File("z.par");
  testsupport::WriteFile(path, std::string(5000, 'x'));
  ASSERT_EQ(ExportWriteFilterParam(path.c_str(), nullptr, &prm, nullptr), 1);
  EXPECT_EQ(testsupport::ReadFile(path).size(), 2224u + 16 + 480);
}

}  // namespace
}  // namespace imgflt::test
