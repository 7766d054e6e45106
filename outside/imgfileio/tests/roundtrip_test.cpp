// Round trips of every file type and depth: what we write reads back with
// the same pixels (exact when lossless, close for JPEG), resolution and
// attributes, and the independent tools describe it the same way.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ZoImgFileIO.h"
#include "fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace zoimg;
using fixtures::Colours;

struct Case {
  const char* name;
  int32_t type;
  int bits;
  Colours colours;
  const char* ext;
  const char* tiffScheme;  // tiffinfo's name of the compression
};

const Case kCases[] = {
    {"TiffNone1", TIFF_UNCOMPRESSED, 1, Colours::kGrey, "tif", "None"},
    {"TiffNone4Grey", TIFF_UNCOMPRESSED, 4, Colours::kGrey, "tif", "None"},
    {"TiffNone4Palette", TIFF_UNCOMPRESSED, 4, Colours::kPalette, "tif", "None"},
    {"TiffNone8Grey", TIFF_UNCOMPRESSED, 8, Colours::kGrey, "tif", "None"},
    {"TiffNone8Palette", TIFF_UNCOMPRESSED, 8, Colours::kPalette, "tif", "None"},
    {"TiffNone24", TIFF_UNCOMPRESSED, 24, Colours::kGrey, "tif", "None"},
    {"TiffG3", TIFF_G3_FAX, 1, Colours::kGrey, "tif", "CCITT Group 3"},
    {"TiffG4", TIFF_G4_FAX, 1, Colours::kGrey, "tif", "CCITT Group 4"},
    {"TiffJpeg8", TIFF_JPEG, 8, Colours::kGrey, "tif", "JPEG"},
    {"TiffJpeg24", TIFF_JPEG, 24, Colours::kGrey, "tif", "JPEG"},
    {"Bmp1", BMP_UNCOMPRESSED, 1, Colours::kGrey, "bmp", nullptr},
    {"Bmp4", BMP_UNCOMPRESSED, 4, Colours::kPalette, "bmp", nullptr},
    {"Bmp8Grey", BMP_UNCOMPRESSED, 8, Colours::kGrey, "bmp", nullptr},
    {"Bmp8Palette", BMP_UNCOMPRESSED, 8, Colours::kPalette, "bmp", nullptr},
    {"Bmp24", BMP_UNCOMPRESSED, 24, Colours::kGrey, "bmp", nullptr},
    {"Jpeg8", JPEG, 8, Colours::kGrey, "jpg", nullptr},
    {"Jpeg24", JPEG, 24, Colours::kGrey, "jpg", nullptr},
};

class RoundTrip : public ::testing::TestWithParam<Case> {};

// Widths and heights that are no multiple of 8 or 16 catch row padding and
// partial JPEG blocks; different x and y resolutions catch a swap.
TEST_P(RoundTrip, WritesReadsAndDescribesThePage) {
  const Case& c = GetParam();
  testsupport::TempDir dir;
  const std::string path = dir.File(std::string("page.") + c.ext);
  PageImage page = fixtures::MakePage(c.bits, 203, 157, 300, c.colours);
  page.yDpi = 200;
  ASSERT_EQ(WritePage(path, c.type, page, 90), kOk);
  EXPECT_EQ(LastError(), kOk);

  EXPECT_EQ(GetTotalPage(path), 1);
  EXPECT_EQ(GetPageFileType(path, 0), c.type);
  EXPECT_EQ(GetPageFileType(path, 1), c.type);
  int32_t bits = 0, w = 0, h = 0, x = 0, y = 0, comp = -1;
  ASSERT_EQ(GetImageFileAttributes(path, 1, &bits, &w, &h, &x, &y, &comp), 0);
  EXPECT_EQ(bits, c.bits);
  EXPECT_EQ(w, 203);
  EXPECT_EQ(h, 157);
  EXPECT_EQ(x, 300);
  EXPECT_EQ(y, 200);
  EXPECT_EQ(comp, c.type);

  PageImage back;
  ASSERT_EQ(ReadPage(path, 1, &back), kOk);
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(back.xDpi, 300);
  EXPECT_EQ(back.yDpi, 200);
  if (c.type == JPEG || c.type == TIFF_JPEG) {
    EXPECT_EQ(back.bitsPerPixel, c.bits);
    EXPECT_EQ(back.IsGray(), c.bits == 8);
    EXPECT_GT(fixtures::Psnr(page, back), 30.0);
  } else {
    EXPECT_TRUE(fixtures::SamePixels(page, back));
  }

  // The independent tools read the same facts from the file.
  if (c.tiffScheme != nullptr) {
    const std::string info = fixtures::Shell("tiffinfo " + fixtures::Quote(path));
    EXPECT_NE(info.find(std::string("Compression Scheme: ") + c.tiffScheme + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Bits/Sample: " + std::to_string(c.bits == 24 ? 8 : c.bits)), std::string::npos) << info;
    EXPECT_NE(info.find("Resolution: 300, 200 pixels/inch"), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  } else {
    int status = -1;
    const std::string out = fixtures::Shell("identify -format '%m %w %h %x %y %U' " + fixtures::Quote(path), &status);
    ASSERT_EQ(status, 0) << out;
    char format[16] = {}, units[32] = {};
    int iw = 0, ih = 0;
    double rx = 0, ry = 0;
    ASSERT_EQ(sscanf(out.c_str(), "%15s %d %d %lf %lf %31s", format, &iw, &ih, &rx, &ry, units), 6) << out;
    EXPECT_EQ(std::string(format).substr(0, c.type == JPEG ? 4 : 3), c.type == JPEG ? "JPEG" : "BMP") << out;
    EXPECT_EQ(iw, 203);
    EXPECT_EQ(ih, 157);
    const double toDpi = std::string(units) == "PixelsPerCentimeter" ? 2.54 : 1.0;
    EXPECT_EQ(std::lround(rx * toDpi), 300) << out;
    EXPECT_EQ(std::lround(ry * toDpi), 200) << out;
  }
}

INSTANTIATE_TEST_SUITE_P(AllTypes, RoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// A page without resolution stays without one; BMP and JPEG replace the old
// file instead of appending.
TEST(RoundTripTest, NoResolutionAndReplacingFormats) {
  testsupport::TempDir dir;
  for (int32_t type : {TIFF_G4_FAX, BMP_UNCOMPRESSED, JPEG}) {
    const std::string path = dir.File("p" + std::to_string(type));
    const int bits = type == JPEG ? 8 : 1;
    ASSERT_EQ(WritePage(path, type, fixtures::MakePage(bits, 40, 30, 0), 80), kOk);
    ASSERT_EQ(WritePage(path, type, fixtures::MakePage(bits, 50, 20, 0), 80), kOk);
    PageImage back;
    ASSERT_EQ(ReadPage(path, type == TIFF_G4_FAX ? 2 : 1, &back), kOk);
    EXPECT_EQ(back.width, 50);
    EXPECT_EQ(back.xDpi, 0);
    EXPECT_EQ(back.yDpi, 0);
    EXPECT_EQ(GetTotalPage(path), type == TIFF_G4_FAX ? 2 : 1) << type;
  }
}

// A 1-bit page whose palette says black first is stored so that it still
// looks the same.
TEST(RoundTripTest, InvertedOneBitPaletteKeepsItsLook) {
  testsupport::TempDir dir;
  PageImage page = fixtures::MakePage(1, 64, 16);
  page.palette = {0x000000, 0xFFFFFF};
  for (int32_t type : {TIFF_UNCOMPRESSED, TIFF_G4_FAX, BMP_UNCOMPRESSED}) {
    const std::string path = dir.File("inv" + std::to_string(type));
    ASSERT_EQ(WritePage(path, type, page, 0), kOk);
    PageImage back;
    ASSERT_EQ(ReadPage(path, 1, &back), kOk);
    EXPECT_EQ(back.palette, (std::vector<uint32_t>{0xFFFFFF, 0x000000}));
    for (int y = 0; y < page.height; ++y) {
      std::vector<uint8_t> want = fixtures::Row(page, y);
      for (uint8_t& b : want) b = uint8_t(~b);
      EXPECT_EQ(fixtures::Row(back, y), want) << type << " row " << y;
    }
  }
}

TEST(RoundTripTest, JpegMemoryStreamDecodes) {
  testsupport::TempDir dir;
  const std::string path = dir.File("m.jpg");
  const PageImage page = fixtures::MakePage(24, 120, 90, 150);
  ASSERT_EQ(WritePage(path, JPEG, page, 95), kOk);
  const std::string bytes = testsupport::ReadFile(path);
  PageImage back;
  ASSERT_EQ(DecodeJpegMemory({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, &back), kOk);
  EXPECT_GT(fixtures::Psnr(page, back), 35.0);
  EXPECT_EQ(back.xDpi, 150);
}

// Higher quality gives a larger, closer stream.
TEST(RoundTripTest, JpegQualityIsApplied) {
  testsupport::TempDir dir;
  const PageImage page = fixtures::MakePage(8, 200, 200);
  std::size_t size[2] = {};
  double psnr[2] = {};
  int q[2] = {20, 95};
  for (int i = 0; i < 2; ++i) {
    const std::string path = dir.File("q" + std::to_string(q[i]) + ".jpg");
    ASSERT_EQ(WritePage(path, JPEG, page, q[i]), kOk);
    size[i] = testsupport::ReadFile(path).size();
    PageImage back;
    ASSERT_EQ(ReadPage(path, 1, &back), kOk);
    psnr[i] = fixtures::Psnr(page, back);
  }
  EXPECT_LT(size[0], size[1]);
  EXPECT_LT(psnr[0], psnr[1]);
}

}  // namespace
