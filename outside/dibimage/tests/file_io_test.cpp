// Loading and writing through the codecs: round trips for every type and
// depth, appending, the forwarded file queries, and their errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "dib_fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace dibtest;

// Random pixels for the lossless types; flat 16-pixel blocks for JPEG data.
PageImage Fixture(int bpp, bool lossy) {
  PageImage img = MakeImage(64, 40, bpp, 300, 200);
  std::mt19937 rng(static_cast<uint32_t>(bpp));
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const uint32_t block = uint32_t((x / 16) * 7 + (y / 16) * 3);
      const uint32_t v = lossy ? (bpp == 24 ? block * 0x0B1D29u : block * 23u) : rng();
      Set(img, x, y, v & MaxValue(bpp));
    }
  return img;
}

// Mean absolute difference per channel.
double MeanDiff(const PageImage& a, const PageImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const uint32_t p = Get(a, x, y), q = Get(b, x, y);
      for (int s = 0; s < (a.bitsPerPixel == 24 ? 24 : 8); s += 8)
        sum += std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF));
    }
  return sum / (double(a.width) * a.height * (a.bitsPerPixel == 24 ? 3 : 1));
}

struct RoundTrip {
  int type;
  int bpp;
  bool lossy;
  bool appends;
  const char* ext;
};

const RoundTrip kRoundTrips[] = {
    {zoimg::TIFF_UNCOMPRESSED, 1, false, true, "tif"}, {zoimg::TIFF_UNCOMPRESSED, 4, false, true, "tif"},
    {zoimg::TIFF_UNCOMPRESSED, 8, false, true, "tif"}, {zoimg::TIFF_UNCOMPRESSED, 24, false, true, "tif"},
    {zoimg::TIFF_G3_FAX, 1, false, true, "tif"},       {zoimg::TIFF_G4_FAX, 1, false, true, "tif"},
    {zoimg::TIFF_JPEG, 8, true, true, "tif"},          {zoimg::TIFF_JPEG, 24, true, true, "tif"},
    {zoimg::BMP_UNCOMPRESSED, 1, false, false, "bmp"}, {zoimg::BMP_UNCOMPRESSED, 4, false, false, "bmp"},
    {zoimg::BMP_UNCOMPRESSED, 8, false, false, "bmp"}, {zoimg::BMP_UNCOMPRESSED, 24, false, false, "bmp"},
    {zoimg::JPEG, 8, true, false, "jpg"},              {zoimg::JPEG, 24, true, false, "jpg"},
    {zoimg::PDF, 1, false, true, "pdf"},               {zoimg::PDF, 8, true, true, "pdf"},
    {zoimg::PDF, 24, true, true, "pdf"},
};

TEST(Files, LoadAndWriteRoundTripEveryTypeAndDepth) {
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE("type " + std::to_string(c.type) + " bpp " + std::to_string(c.bpp));
    testsupport::TempDir dir;
    const PageImage original = Fixture(c.bpp, c.lossy);
    const std::string src = dir.File(std::string("src.") + c.ext), dst = dir.File(std::string("dst.") + c.ext);
    ASSERT_EQ(zoimg::WritePage(src, c.type, original, 95), zoimg::kOk);

    CDIB dib;
    ASSERT_TRUE(dib.LoadDIBObject(src, 1)) << CDIB::GetErrorInformation();
    EXPECT_EQ(CDIB::GetErrorInformation(), 0);
    EXPECT_EQ(dib.GetDIBitCount(), c.bpp);
    EXPECT_EQ(dib.GetDIBSize(), QSize(64, 40));
    EXPECT_EQ(dib.GetShowDIBSize(), QSize(64, 40));
    RESOLUTION r;
    ASSERT_TRUE(dib.GetDIBResolution(&r));
    EXPECT_EQ(r.xDpi, 300);
    EXPECT_EQ(r.yDpi, 200);
    if (c.lossy)
      EXPECT_LT(MeanDiff(*dib.GetPageImage(), original), 4.0);
    else
      EXPECT_TRUE(SamePixels(*dib.GetPageImage(), original));

    dib.SetJpegQuality(95);
    ASSERT_TRUE(dib.Write2File(dst, c.type)) << CDIB::GetErrorInformation();
    PageImage back;
    ASSERT_EQ(zoimg::ReadPage(dst, 1, &back), zoimg::kOk);
    if (c.lossy)
      EXPECT_LT(MeanDiff(back, original), 5.0);
    else
      EXPECT_TRUE(SamePixels(back, original));
    EXPECT_EQ(CDIB::GetPageFileType(dst, 0), c.type);

    int bpp = 0, w = 0, h = 0, xd = 0, yd = 0, comp = -1;
    EXPECT_GE(CDIB::GetImageFileAttributes(dst, 1, &bpp, &w, &h, &xd, &yd, &comp), 0);
    EXPECT_EQ(bpp, c.bpp);
    EXPECT_EQ(QSize(w, h), QSize(64, 40));

    ASSERT_TRUE(dib.Write2File(dst, c.type));
    EXPECT_EQ(CDIB::GetTotalPage(dst), c.appends ? 2 : 1);
  }
}

TEST(Files, JpegQualityReachesTheWriter) {
  testsupport::TempDir dir;
  PageImage img = MakeImage(96, 96, 8);
  std::mt19937 rng(5);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) Set(img, x, y, rng() & 0xFF);
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  auto sizeAt = [&](int q, const std::string& name) {
    dib.SetJpegQuality(q);
    EXPECT_TRUE(dib.Write2File(dir.File(name), zoimg::JPEG));
    return testsupport::ReadFile(dir.File(name)).size();
  };
  const size_t low = sizeAt(10, "q10.jpg"), high = sizeAt(95, "q95.jpg");
  const size_t standard = sizeAt(CDIB::kDefaultJpegQuality, "q75.jpg");
  EXPECT_LT(low, standard);
  EXPECT_LT(standard, high);
  EXPECT_EQ(sizeAt(0, "q0.jpg"), standard);  // out of range: the default
  EXPECT_EQ(sizeAt(101, "q101.jpg"), standard);
}

TEST(Files, PageCopyAppendsOnePageUnchanged) {
  testsupport::TempDir dir;
  const std::string src = dir.File("two.tif"), dst = dir.File("copy.tif");
  const PageImage first = Fixture(1, false), second = Fixture(8, false);
  ASSERT_EQ(zoimg::WritePage(src, zoimg::TIFF_G4_FAX, first, 75), zoimg::kOk);
  ASSERT_EQ(zoimg::WritePage(src, zoimg::TIFF_UNCOMPRESSED, second, 75), zoimg::kOk);
  EXPECT_EQ(CDIB::GetTotalPage(src), 2);
  EXPECT_EQ(CDIB::GetPageFileType(src, 1), zoimg::TIFF_G4_FAX);
  EXPECT_EQ(CDIB::GetPageFileType(src, 2), zoimg::TIFF_UNCOMPRESSED);

  ASSERT_TRUE(CDIB::TIFF_PageCopy(dst, src, 2));
  EXPECT_EQ(CDIB::GetTotalPage(dst), 1);
  CDIB dib;
  ASSERT_TRUE(dib.LoadDIBObject(dst, 1));
  EXPECT_TRUE(SamePixels(*dib.GetPageImage(), second));

  EXPECT_FALSE(CDIB::TIFF_PageCopy(dst, src, 3));
  EXPECT_EQ(CDIB::GetErrorInformation(), zoimg::kErrPageNotFound);
  EXPECT_EQ(CDIB::GetTotalPage(dst), 1);
}

TEST(Files, Errors) {
  testsupport::TempDir dir;
  const std::string good = dir.File("good.tif"), broken = dir.File("broken.tif");
  ASSERT_EQ(zoimg::WritePage(good, zoimg::TIFF_UNCOMPRESSED, Fixture(8, false), 75), zoimg::kOk);
  testsupport::WriteFile(broken, "this is not a page of any image file");

  CDIB dib;
  ASSERT_TRUE(dib.LoadDIBObject(good, 1));
  const struct {
    std::string path;
    int page;
    int error;
  } loads[] = {
      {dir.File("missing.tif"), 1, zoimg::kErrOpen},
      {broken, 1, zoimg::kErrBadFormat},
      {good, 2, zoimg::kErrPageNotFound},
  };
  for (const auto& c : loads) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(dib.LoadDIBObject(c.path, c.page));
    EXPECT_EQ(CDIB::GetErrorInformation(), c.error);
    EXPECT_EQ(dib.GetDIBSize(), QSize(64, 40));  // a failed load keeps the page shown
  }

  EXPECT_LT(CDIB::GetTotalPage(dir.File("missing.tif")), 0);
  EXPECT_EQ(CDIB::GetErrorInformation(), zoimg::kErrOpen);
  EXPECT_LT(CDIB::GetImageFileAttributes(broken, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(CDIB::GetErrorInformation(), zoimg::kErrBadFormat);

  EXPECT_FALSE(dib.Write2File(dir.File("no/such/folder/x.tif"), zoimg::TIFF_UNCOMPRESSED));
  EXPECT_EQ(CDIB::GetErrorInformation(), zoimg::kErrCreate);
  ASSERT_TRUE(Take(dib, Fixture(4, false)));
  EXPECT_FALSE(dib.Write2File(dir.File("x.jpg"), zoimg::JPEG));
  EXPECT_EQ(CDIB::GetErrorInformation(), zoimg::kErrBitsPerPixel);

  CDIB empty;
  EXPECT_FALSE(empty.Write2File(dir.File("empty.tif"), zoimg::TIFF_UNCOMPRESSED));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
  RESOLUTION r;
  EXPECT_FALSE(empty.GetDIBResolution(&r));
  EXPECT_EQ(empty.GetDIBSize(), QSize(0, 0));
  EXPECT_EQ(empty.GetDIBitCount(), 0);
  EXPECT_TRUE(empty.GetDIBPalette().empty());
}

TEST(Files, ClearAndShare) {
  CDIB view, pan;
  ASSERT_TRUE(Take(view, Fixture(8, false)));
  ASSERT_TRUE(view.SetZoom(QSize(32, 20), 0));
  ASSERT_TRUE(pan.ShareImage(view));
  EXPECT_EQ(pan.GetPageImage(), view.GetPageImage());  // no copy
  EXPECT_EQ(pan.GetShowDIBSize(), QSize(64, 40));
  // The view moves on; the pan window still holds the old page intact.
  const PageImage before = *pan.GetPageImage();
  ASSERT_TRUE(view.RotateImage(9000, 0, 0));
  view.ClearDIBObject();
  EXPECT_FALSE(view.HasImage());
  EXPECT_EQ(view.GetShowDIBSize(), QSize(0, 0));
  EXPECT_TRUE(SamePixels(*pan.GetPageImage(), before));
  EXPECT_FALSE(pan.ShareImage(view));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
}

TEST(Errors, MemoryErrorsAreRecognised) {
  const struct {
    int e;
    bool mem;
  } cases[] = {{kDibErrNoMemory, true}, {zoimg::kErrNoMemory, true}, {kDibErrNoImage, false},
               {zoimg::kErrOpen, false}, {0, false}, {10, false}};
  for (const auto& c : cases) EXPECT_EQ(CDIB::IsMemError(c.e), c.mem) << c.e;
}

}  // namespace
