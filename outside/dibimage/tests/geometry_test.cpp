// Rotation and cropping of CDIB images at every depth.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "dib_fixtures.h"

namespace {

using namespace dibtest;

// The six-pixel fixture "abc / def" and a value for each letter per depth.
std::map<char, uint32_t> Letters(int bpp) {
  switch (bpp) {
    case 1: return {{'a', 1}, {'b', 1}, {'c', 0}, {'d', 0}, {'e', 0}, {'f', 1}};
    case 4: return {{'a', 1}, {'b', 2}, {'c', 3}, {'d', 4}, {'e', 5}, {'f', 6}};
    case 8: return {{'a', 10}, {'b', 20}, {'c', 30}, {'d', 40}, {'e', 50}, {'f', 60}};
    default:
      return {{'a', 0x112233}, {'b', 0x445566}, {'c', 0x778899}, {'d', 0xAABBCC}, {'e', 0xDDEEFF}, {'f', 0x102030}};
  }
}

PageImage FromRows(const std::vector<std::string>& rows, int bpp) {
  const auto values = Letters(bpp);
  PageImage img = MakeImage(int(rows[0].size()), int(rows.size()), bpp);
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) Set(img, int(x), int(y), values.at(rows[y][x]));
  return img;
}

struct QuarterCase {
  int angle;
  std::vector<std::string> expected;  // of "abc" / "def"
};

const QuarterCase kQuarterCases[] = {
    {9000, {"cf", "be", "ad"}},         // counter-clockwise: the right edge on top
    {18000, {"fed", "cba"}},
    {27000, {"da", "eb", "fc"}},        // clockwise
    {-9000, {"da", "eb", "fc"}},
    {45000, {"cf", "be", "ad"}},
    {36000, {"abc", "def"}},
    {0, {"abc", "def"}},
};

TEST(RotateImage, RightAnglesMovePixelsExactlyAtEveryDepth) {
  for (int bpp : {1, 4, 8, 24}) {
    for (const QuarterCase& c : kQuarterCases) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + " angle " + std::to_string(c.angle));
      CDIB dib;
      ASSERT_TRUE(Take(dib, FromRows({"abc", "def"}, bpp)));
      ASSERT_TRUE(dib.RotateImage(c.angle, 0, 0));
      EXPECT_TRUE(SamePixels(*dib.GetPageImage(), FromRows(c.expected, bpp)));
      EXPECT_EQ(dib.GetDIBitCount(), bpp);
      EXPECT_EQ(dib.GetDIBPalette().size(), DefaultPalette(bpp).size());
    }
  }
}

TEST(RotateImage, RightAnglesAreLosslessAcrossByteBoundaries) {
  std::mt19937 rng(7);
  for (int bpp : {1, 4, 8, 24}) {
    SCOPED_TRACE(bpp);
    PageImage img = MakeImage(13, 5, bpp, 300, 200);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) Set(img, x, y, rng() & MaxValue(bpp));
    CDIB dib;
    ASSERT_TRUE(Take(dib, img));
    ASSERT_TRUE(dib.RotateImage(9000, 0, 0));
    EXPECT_EQ(dib.GetDIBSize(), QSize(5, 13));
    RESOLUTION r;
    ASSERT_TRUE(dib.GetDIBResolution(&r));
    EXPECT_EQ(r.xDpi, 200);
    EXPECT_EQ(r.yDpi, 300);
    // Marker check: source top-right (12, 0) is the top-left after 90°.
    EXPECT_EQ(Get(*dib.GetPageImage(), 0, 0), Get(img, 12, 0));
    for (int turn : {18000, 9000}) ASSERT_TRUE(dib.RotateImage(turn, 0, 0));
    // Back where it started: the same bytes, row padding included.
    EXPECT_EQ(dib.GetPageImage()->pixels, img.pixels);
    EXPECT_EQ(dib.GetDIBSize(), QSize(13, 5));
  }
}

TEST(RotateImage, KeepsTheZoomFactorOfTheDisplayedSize) {
  CDIB dib;
  ASSERT_TRUE(Take(dib, MakeImage(200, 100, 8)));
  ASSERT_TRUE(dib.SetZoom(QSize(100, 50), 0));
  ASSERT_TRUE(dib.RotateImage(9000, 0, 0));
  EXPECT_EQ(dib.GetShowDIBSize(), QSize(50, 100));
}

struct CanvasCase {
  int w, h, angle, ow, oh;
};

TEST(RotateImage, FreeAnglesEnlargeTheCanvas) {
  const CanvasCase cases[] = {
      {100, 100, 4500, 141, 141},
      {100, 50, 4500, 106, 106},
      {100, 50, 3000, 112, 93},
      {100, 50, -3000, 112, 93},
      {100, 50, 13500, 106, 106},
  };
  for (const CanvasCase& c : cases) {
    SCOPED_TRACE(c.angle);
    CDIB dib;
    ASSERT_TRUE(Take(dib, MakeImage(c.w, c.h, 8)));
    ASSERT_TRUE(dib.RotateImage(c.angle, 0, 0));
    EXPECT_EQ(dib.GetDIBSize(), QSize(c.ow, c.oh));
  }
}

TEST(RotateImage, FreeAnglesFillUncoveredCornersWithWhite) {
  // The page is black at every depth; 45° leaves the canvas corners open.
  const struct {
    int bpp;
    uint32_t black, white;
  } depths[] = {{1, 1, 0}, {4, 0, 15}, {8, 0, 255}, {24, 0, 0xFFFFFF}};
  for (const auto& d : depths) {
    SCOPED_TRACE(d.bpp);
    PageImage img = MakeImage(100, 100, d.bpp);
    Fill(img, d.black);
    CDIB dib;
    ASSERT_TRUE(Take(dib, img));
    ASSERT_TRUE(dib.RotateImage(4500, 0, 0));
    const PageImage& out = *dib.GetPageImage();
    ASSERT_EQ(out.width, 141);
    for (auto [x, y] : {std::pair{0, 0}, {140, 0}, {0, 140}, {140, 140}, {20, 5}}) EXPECT_EQ(Get(out, x, y), d.white);
    for (auto [x, y] : {std::pair{70, 70}, {70, 3}, {3, 70}, {137, 70}, {70, 137}}) EXPECT_EQ(Get(out, x, y), d.black);
  }
}

TEST(RotateImage, FreeAnglesTurnTheSameWayAsRightAngles) {
  PageImage img = MakeImage(60, 40, 1);
  for (int y = 5; y < 15; ++y)
    for (int x = 40; x < 55; ++x) Set(img, x, y, 1);
  CDIB exact, free;
  ASSERT_TRUE(Take(exact, img));
  ASSERT_TRUE(Take(free, img));
  ASSERT_TRUE(exact.RotateImage(9000, 0, 0));
  ASSERT_TRUE(free.RotateImage(8990, 0, 0));
  ASSERT_EQ(free.GetDIBSize(), exact.GetDIBSize());
  int differ = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x) differ += Get(*exact.GetPageImage(), x, y) != Get(*free.GetPageImage(), x, y);
  EXPECT_LT(differ, 20);  // of 150 black pixels: only the block's edges move
}

TEST(RotateImage, FreeAnglesInterpolateOnlyGreyAndColour) {
  const struct {
    int bpp;
    std::vector<uint32_t> palette;
    bool interpolated;
  } cases[] = {
      {8, GreyPalette(), true},
      {24, {}, true},
      {4, DefaultPalette(4), false},
      {8, std::vector<uint32_t>(256, 0x336699u), false},  // a colour palette: indexes are not levels
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bpp);
    PageImage img = MakeImage(40, 40, c.bpp);
    if (!c.palette.empty()) img.palette = c.palette;
    for (int y = 0; y < 40; ++y)
      for (int x = 20; x < 40; ++x) Set(img, x, y, MaxValue(c.bpp));
    CDIB dib;
    ASSERT_TRUE(Take(dib, img));
    ASSERT_TRUE(dib.RotateImage(1000, 0, 0));
    std::set<uint32_t> values;
    const PageImage& out = *dib.GetPageImage();
    for (int y = 0; y < out.height; ++y)
      for (int x = 0; x < out.width; ++x) values.insert(Get(out, x, y));
    bool between = false;
    for (uint32_t v : values) between |= v != 0 && v != MaxValue(c.bpp) && v != 255u;
    EXPECT_EQ(between, c.interpolated);
  }
}

TEST(RotateImage, GreyInteriorKeepsItsLevel) {
  PageImage img = MakeImage(50, 50, 8);
  Fill(img, 100);
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  ASSERT_TRUE(dib.RotateImage(3000, 0, 0));
  const PageImage& out = *dib.GetPageImage();
  for (int d = -15; d <= 15; d += 5) EXPECT_EQ(Get(out, out.width / 2 + d, out.height / 2 - d), 100u);
}

TEST(RotateImage, Failures) {
  CDIB empty;
  EXPECT_FALSE(empty.RotateImage(9000, 0, 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);

  // 30000 × 1 at 45° needs a canvas of 21214² × 3 bytes, beyond the limit.
  CDIB wide;
  ASSERT_TRUE(Take(wide, MakeImage(30000, 1, 24)));
  EXPECT_FALSE(wide.RotateImage(4500, 0, 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoMemory);
  EXPECT_TRUE(CDIB::IsMemError(CDIB::GetErrorInformation()));
  EXPECT_EQ(wide.GetDIBSize(), QSize(30000, 1));
  EXPECT_TRUE(wide.RotateImage(18000, 0, 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), 0);
}

PageImage Pattern(int bpp) {
  PageImage img = MakeImage(20, 10, bpp, 200, 300);
  std::mt19937 rng(3);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) Set(img, x, y, rng() & MaxValue(bpp));
  return img;
}

TEST(Crop, KeepsTheRectangleClippedToTheImage) {
  const struct {
    QRect rect, kept;
  } cases[] = {
      {QRect(3, 2, 9, 5), QRect(3, 2, 9, 5)},
      {QRect(-5, -5, 10, 10), QRect(0, 0, 5, 5)},
      {QRect(15, 7, 100, 100), QRect(15, 7, 5, 3)},
      {QRect(0, 0, 20, 10), QRect(0, 0, 20, 10)},
  };
  for (int bpp : {1, 4, 8, 24}) {
    const PageImage img = Pattern(bpp);
    for (const auto& c : cases) {
      SCOPED_TRACE("bpp " + std::to_string(bpp) + " x " + std::to_string(c.rect.x()));
      CDIB dib;
      ASSERT_TRUE(Take(dib, img));
      ASSERT_TRUE(dib.SetZoom(QSize(10, 5), 0));
      ASSERT_TRUE(dib.Crop(c.rect));
      const PageImage& out = *dib.GetPageImage();
      ASSERT_EQ(dib.GetDIBSize(), c.kept.size());
      EXPECT_EQ(dib.GetShowDIBSize(), c.kept.size());
      EXPECT_EQ(out.xDpi, 200);
      EXPECT_EQ(out.yDpi, 300);
      bool same = true;
      for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) same &= Get(out, x, y) == Get(img, c.kept.x() + x, c.kept.y() + y);
      EXPECT_TRUE(same);
      // Row padding stays clear, so equal images have equal bytes.
      if (bpp < 8) {
        const int used = out.width * bpp;
        const uint8_t* lastRow = out.pixels.data() + size_t(out.height - 1) * out.Stride();
        if (used % 8) {
          EXPECT_EQ(lastRow[used / 8] & (0xFF >> (used % 8)), 0);
        }
      }
    }
  }
}

TEST(Crop, Failures) {
  const struct {
    QRect rect;
    int error;
  } cases[] = {
      {QRect(30, 0, 5, 5), kDibErrEmptyCrop},
      {QRect(-10, -10, 10, 10), kDibErrEmptyCrop},
      {QRect(2, 2, 0, 5), kDibErrBadArgument},
      {QRect(), kDibErrBadArgument},
  };
  for (const auto& c : cases) {
    CDIB dib;
    ASSERT_TRUE(Take(dib, Pattern(8)));
    EXPECT_FALSE(dib.Crop(c.rect));
    EXPECT_EQ(CDIB::GetErrorInformation(), c.error);
    EXPECT_EQ(dib.GetDIBSize(), QSize(20, 10));
  }
  CDIB empty;
  EXPECT_FALSE(empty.Crop(QRect(0, 0, 5, 5)));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
}

}  // namespace
