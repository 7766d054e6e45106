// Scanned pages: packed DIBs (both row orders, every depth, lying headers)
// and JPEG streams handed over by the scanner.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "dib_fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace dibtest;

PageImage Random(int w, int h, int bpp) {
  PageImage img = MakeImage(w, h, bpp, 300, 300);
  std::mt19937 rng(uint32_t(w * 31 + bpp));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Set(img, x, y, rng() & MaxValue(bpp));
  return img;
}

TEST(SetScanDIBObject, TakesEveryDepthInBothRowOrders) {
  for (int bpp : {1, 4, 8, 24}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + (topDown ? " top-down" : " bottom-up"));
      const PageImage img = Random(37, 11, bpp);
      const std::vector<uint8_t> dib = PackDib(img, topDown);
      CDIB obj;
      ASSERT_TRUE(obj.SetScanDIBObject(dib.data(), dib.size(), 0, 0));
      const PageImage& got = *obj.GetPageImage();
      EXPECT_TRUE(SamePixels(got, img));
      EXPECT_EQ(got.pixels, img.pixels);  // padding cleared, rows in page order
      EXPECT_EQ(obj.GetDIBitCount(), bpp);
      EXPECT_EQ(obj.GetPalletSize(), int(img.palette.size() * 4));
      RESOLUTION r;
      ASSERT_TRUE(obj.GetDIBResolution(&r));
      EXPECT_EQ(r.xDpi, 300);  // 11811 pixels per metre
      EXPECT_EQ(r.unit, kResolutionUnitInch);
      EXPECT_EQ(obj.GetShowDIBSize(), QSize(37, 11));
    }
  }
}

TEST(SetScanDIBObject, OneBitWithBlackFirstIsInvertedToSetBitsBlack) {
  PageImage img = MakeImage(10, 2, 1);
  Set(img, 3, 0, 1);  // in the scanner's palette {black, white}: bit set = white
  const std::vector<uint8_t> dib = PackDib(img, false, {0x000000u, 0xFFFFFFu});
  CDIB obj;
  ASSERT_TRUE(obj.SetScanDIBObject(dib.data(), dib.size(), 0, 0));
  const PageImage& got = *obj.GetPageImage();
  EXPECT_EQ(got.palette, (std::vector<uint32_t>{0xFFFFFFu, 0x000000u}));
  EXPECT_EQ(Get(got, 3, 0), 0u);
  EXPECT_EQ(Get(got, 4, 0), 1u);
  EXPECT_EQ(Get(got, 0, 1), 1u);
  EXPECT_EQ(got.pixels[1] & 0x3F, 0);  // padding after pixel 9 stays clear
}

TEST(SetScanDIBObject, FitsTheDisplayedSizeToTheClientArea) {
  const std::vector<uint8_t> dib = PackDib(MakeImage(400, 200, 8), false);
  CDIB obj;
  ASSERT_TRUE(obj.SetScanDIBObject(dib.data(), dib.size(), 100, 100));
  EXPECT_EQ(obj.GetShowDIBSize(), QSize(100, 50));
}

TEST(SetScanDIBObject, RefusesLyingHeaders) {
  const std::vector<uint8_t> good = PackDib(Random(33, 7, 8), false);
  const size_t bitsAt = 40 + 256 * 4;
  const struct {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> spoil;
  } cases[] = {
      {"shorter than a header", [](auto& d) { d.resize(39); }},
      {"header size below 40", [](auto& d) { PutU32(d, 0, 12); }},
      {"header size beyond the buffer", [](auto& d) { PutU32(d, 0, 0x10000); }},
      {"zero width", [](auto& d) { PutU32(d, 4, 0); }},
      {"negative width", [](auto& d) { PutU32(d, 4, uint32_t(-33)); }},
      {"zero height", [](auto& d) { PutU32(d, 8, 0); }},
      {"most negative height", [](auto& d) { PutU32(d, 8, 0x80000000u); }},
      {"huge width", [](auto& d) { PutU32(d, 4, 0x7FFFFFFF); }},
      {"huge height", [](auto& d) { PutU32(d, 8, 0x7FFFFFFF); }},
      {"two planes", [](auto& d) { d[12] = 2; }},
      {"16 bits", [](auto& d) { d[14] = 16; }},
      {"run-length compressed", [](auto& d) { PutU32(d, 16, 1); }},
      {"more colours than 8 bits hold", [](auto& d) { PutU32(d, 32, 257); }},
      {"pixel rows cut short", [](auto& d) { d.pop_back(); }},
      {"image size below the rows", [](auto& d) { PutU32(d, 20, 33); }},
      {"palette beyond the buffer", [bitsAt](auto& d) { d.resize(bitsAt - 4); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> dib = good;
    c.spoil(dib);
    CDIB obj;
    ASSERT_TRUE(Take(obj, MakeImage(5, 5, 1)));
    EXPECT_FALSE(obj.SetScanDIBObject(dib.data(), dib.size(), 0, 0));
    EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadScanBitmap);
    EXPECT_EQ(obj.GetDIBSize(), QSize(5, 5));  // the previous image is kept
  }
  CDIB obj;
  EXPECT_FALSE(obj.SetScanDIBObject(nullptr, 100, 0, 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadScanBitmap);
}

TEST(SetScanDIBObject, AcceptsShortPalettesAndZeroImageSize) {
  PageImage img = MakeImage(6, 3, 8);
  Set(img, 2, 1, 1);
  std::vector<uint8_t> dib = PackDib(img, true, {0x000000u, 0xFF0000u});  // two colours used
  PutU32(dib, 20, 0);
  CDIB obj;
  ASSERT_TRUE(obj.SetScanDIBObject(dib.data(), dib.size(), 0, 0));
  const PageImage& got = *obj.GetPageImage();
  ASSERT_EQ(got.palette.size(), 256u);
  EXPECT_EQ(got.palette[1], 0xFF0000u);
  EXPECT_EQ(Get(got, 2, 1), 1u);
}

TEST(SetScanJPEGObject, DecodesAScannedStream) {
  testsupport::TempDir dir;
  PageImage img = MakeImage(64, 48, 24, 300, 300);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) Set(img, x, y, x < 32 ? 0x2040C0u : 0xF0F0F0u);
  const std::string path = dir.File("scan.jpg");
  ASSERT_EQ(zoimg::WritePage(path, zoimg::JPEG, img, 90), zoimg::kOk);
  const std::string data = testsupport::ReadFile(path);

  CDIB obj;
  ASSERT_TRUE(obj.SetScanJPEGObject(data.data(), data.size(), 32, 32));
  EXPECT_EQ(obj.GetDIBSize(), QSize(64, 48));
  EXPECT_EQ(obj.GetDIBitCount(), 24);
  EXPECT_EQ(obj.GetShowDIBSize(), QSize(32, 24));
  const uint32_t left = Get(*obj.GetPageImage(), 8, 24);
  EXPECT_NEAR(int(left >> 16), 0x20, 8);
  EXPECT_NEAR(int(left & 0xFF), 0xC0, 8);

  const std::string broken = data.substr(0, 20) + std::string(200, '\x55');
  EXPECT_FALSE(obj.SetScanJPEGObject(broken.data(), broken.size(), 0, 0));
  EXPECT_GT(CDIB::GetErrorInformation(), 30000);
  EXPECT_LT(CDIB::GetErrorInformation(), 40000);
  EXPECT_EQ(obj.GetDIBSize(), QSize(64, 48));
  EXPECT_FALSE(obj.SetScanJPEGObject(nullptr, 0, 0, 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
}

}  // namespace
