// Displayed size (zoom and fit) and drawing on a QPainter: actual size,
// reduced (grey scaling of 1-bit pages, halftone), enlarged, and the kept
// picture following every change of image, size and mode.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>

#include "dib_fixtures.h"

namespace {

using namespace dibtest;

struct FitCase {
  const char* what;
  QSize image;
  QRect rect;
  int (CDIB::*fit)(const QRect&, int) noexcept;
  QSize shown;
};

TEST(DisplayedSize, FitsKeepTheAspectRatio) {
  const FitCase cases[] = {
      {"A4 portrait in a window", {2480, 3508}, {0, 0, 800, 600}, &CDIB::FitWindow, {424, 600}},
      {"A4 portrait to the width", {2480, 3508}, {0, 0, 800, 600}, &CDIB::FitWidth, {800, 1132}},
      {"A4 portrait to the height", {2480, 3508}, {0, 0, 800, 600}, &CDIB::FitHeight, {424, 600}},
      {"A4 landscape in a window", {3508, 2480}, {0, 0, 800, 600}, &CDIB::FitWindow, {800, 566}},
      {"A4 landscape to the height", {3508, 2480}, {0, 0, 800, 600}, &CDIB::FitHeight, {849, 600}},
      {"same shape as the window", {200, 100}, {10, 20, 400, 200}, &CDIB::FitWindow, {400, 200}},
      {"enlarged into a big window", {100, 50}, {0, 0, 1000, 1000}, &CDIB::FitWindow, {1000, 500}},
      {"a sliver keeps a pixel", {1000, 1}, {0, 0, 10, 10}, &CDIB::FitWindow, {10, 1}},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.what);
    CDIB dib;
    ASSERT_TRUE(Take(dib, MakeImage(c.image.width(), c.image.height(), 1)));
    ASSERT_TRUE((dib.*c.fit)(c.rect, 0));
    EXPECT_EQ(dib.GetShowDIBSize(), c.shown);
    EXPECT_EQ(dib.GetDIBSize(), c.image);
  }
}

TEST(DisplayedSize, ZoomAndFailures) {
  CDIB dib;
  ASSERT_TRUE(Take(dib, MakeImage(100, 50, 8)));
  ASSERT_TRUE(dib.SetZoom(QSize(250, 125), 0));
  EXPECT_EQ(dib.GetShowDIBSize(), QSize(250, 125));
  const struct {
    std::function<int()> call;
    int error;
  } cases[] = {
      {[&] { return dib.SetZoom(QSize(0, 10), 0); }, kDibErrBadArgument},
      {[&] { return dib.FitWindow(QRect(), 0); }, kDibErrBadArgument},
      {[&] { return dib.FitWidth(QRect(0, 0, -5, 10), 0); }, kDibErrBadArgument},
      {[&] { return dib.SetZoomMode(2); }, kDibErrBadArgument},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.call());
    EXPECT_EQ(CDIB::GetErrorInformation(), c.error);
  }
  EXPECT_EQ(dib.GetShowDIBSize(), QSize(250, 125));
  CDIB empty;
  EXPECT_FALSE(empty.FitHeight(QRect(0, 0, 10, 10), 0));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
  EXPECT_EQ(empty.GetShowDIBSize(), QSize(0, 0));
}

QImage Canvas(int w, int h) {
  QImage q(w, h, QImage::Format_RGB32);
  q.fill(qRgb(10, 200, 10));  // neither black, white nor grey
  return q;
}

QImage Paint(CDIB& dib, QSize canvas, QPoint origin, bool halftone) {
  QImage q = Canvas(canvas.width(), canvas.height());
  QPainter p(&q);
  EXPECT_TRUE(dib.DisplayImage(&p, origin, halftone)) << CDIB::GetErrorInformation();
  return q;
}

TEST(DisplayImage, ActualSizeShowsEveryPixelAtEveryDepth) {
  const struct {
    int bpp;
    std::vector<uint32_t> palette;
  } depths[] = {
      {1, {0xFFFFFFu, 0x000000u}},
      {4, {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu, 0x808080u, 0x123456u, 0xFFFFFFu, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {8, GreyPalette()},
      {24, {}},
  };
  for (const auto& d : depths) {
    SCOPED_TRACE(d.bpp);
    PageImage img = MakeImage(7, 3, d.bpp);
    img.palette = d.palette;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x)
        Set(img, x, y,
            d.bpp == 24 ? uint32_t(x * 0x230000 + y * 0x40 + 0x1100) : uint32_t(x + y) % (d.bpp == 1 ? 2 : 7));
    CDIB dib;
    ASSERT_TRUE(Take(dib, img));
    const QImage q = Paint(dib, {12, 8}, {2, 3}, true);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) {
        const uint32_t v = Get(img, x, y);
        const uint32_t want = d.bpp == 24 ? v : d.palette[v];
        EXPECT_EQ(q.pixel(x + 2, y + 3) & 0xFFFFFFu, want) << x << "," << y;
      }
    EXPECT_EQ(q.pixel(1, 3), qRgb(10, 200, 10));
    EXPECT_EQ(q.pixel(9, 3), qRgb(10, 200, 10));
    EXPECT_EQ(q.pixel(2, 6), qRgb(10, 200, 10));
  }
}

// 1-pixel black lines every 4 columns: reduced by 4 every screen pixel
// covers exactly one line column.
PageImage FineLines() {
  PageImage img = MakeImage(64, 64, 1);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; x += 4) Set(img, x, y, 1);
  return img;
}

TEST(DisplayImage, ReducedOneBitPagesTurnGreyInGreyMode) {
  CDIB dib;
  ASSERT_TRUE(Take(dib, FineLines()));
  ASSERT_TRUE(dib.FitWindow(QRect(0, 0, 16, 16), 0));

  ASSERT_TRUE(dib.SetZoomMode(CDIB::kZoomModeGray));
  QImage grey = Paint(dib, {16, 16}, {0, 0}, true);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_NEAR(GreyAt(grey, x, y), 191, 1) << x << "," << y;

  // Plain mode samples: every screen pixel is the black line or the white
  // paper beside it, whole columns vanishing or doubling.
  ASSERT_TRUE(dib.SetZoomMode(CDIB::kZoomModePlain));
  QImage plain = Paint(dib, {16, 16}, {0, 0}, true);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int g = GreyAt(plain, x, y);
      EXPECT_TRUE(g == 0 || g == 255) << g;
    }

  // Back to grey at the same size: the kept picture follows the mode.
  ASSERT_TRUE(dib.SetZoomMode(CDIB::kZoomModeGray));
  EXPECT_NEAR(GreyAt(Paint(dib, {16, 16}, {0, 0}, true), 5, 5), 191, 1);
}

TEST(DisplayImage, GreyModeAveragesUnevenBoxes) {
  // 10 × 10 all black but the top-left 5 × 5 block, shown at 3 × 3: box
  // edges 0, 3, 6, 10; the corner screen pixel is white, the far one black.
  PageImage img = MakeImage(10, 10, 1);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) Set(img, x, y, (x < 5 && y < 5) ? 0 : 1);
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  ASSERT_TRUE(dib.SetZoomMode(CDIB::kZoomModeGray));
  ASSERT_TRUE(dib.SetZoom(QSize(3, 3), 0));
  const QImage q = Paint(dib, {3, 3}, {0, 0}, false);
  EXPECT_EQ(GreyAt(q, 0, 0), 255);
  EXPECT_EQ(GreyAt(q, 2, 2), 0);
  EXPECT_NEAR(GreyAt(q, 1, 0), 170, 1);  // columns 3-5, rows 0-2: 6 of 9 white
  EXPECT_NEAR(GreyAt(q, 1, 1), 113, 1);  // columns 3-5, rows 3-5: 4 of 9 white
  EXPECT_NEAR(GreyAt(q, 2, 0), 0, 1);    // columns 6-9: black
}

TEST(DisplayImage, HalftoneAveragesReducedGreyImages) {
  PageImage img = MakeImage(32, 32, 8);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Set(img, x, y, (x + y) % 2 ? 255 : 0);
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  ASSERT_TRUE(dib.SetZoom(QSize(16, 16), 0));
  EXPECT_NEAR(GreyAt(Paint(dib, {16, 16}, {0, 0}, true), 7, 7), 128, 3);
  const int sampled = GreyAt(Paint(dib, {16, 16}, {0, 0}, false), 7, 7);
  EXPECT_TRUE(sampled == 0 || sampled == 255) << sampled;
}

TEST(DisplayImage, EnlargedPixelsBecomeBlocks) {
  PageImage img = MakeImage(2, 2, 8);
  Set(img, 0, 0, 0);
  Set(img, 1, 0, 255);
  Set(img, 0, 1, 255);
  Set(img, 1, 1, 0);
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  ASSERT_TRUE(dib.SetZoom(QSize(8, 8), 0));
  const QImage q = Paint(dib, {10, 10}, {1, 1}, false);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(GreyAt(q, x + 1, y + 1), ((x < 4) == (y < 4)) ? 0 : 255) << x << "," << y;
  EXPECT_EQ(q.pixel(9, 9), qRgb(10, 200, 10));
}

TEST(DisplayImage, KeptPictureFollowsTheImage) {
  PageImage img = MakeImage(40, 40, 1);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) Set(img, x, y, 1);  // black top half
  CDIB dib;
  ASSERT_TRUE(Take(dib, img));
  ASSERT_TRUE(dib.SetZoomMode(CDIB::kZoomModeGray));
  ASSERT_TRUE(dib.SetZoom(QSize(10, 10), 0));
  EXPECT_EQ(GreyAt(Paint(dib, {10, 10}, {0, 0}, true), 5, 1), 0);
  ASSERT_TRUE(dib.RotateImage(18000, 0, 0));
  EXPECT_EQ(GreyAt(Paint(dib, {10, 10}, {0, 0}, true), 5, 1), 255);
  ASSERT_TRUE(dib.SetZoom(QSize(20, 20), 0));
  EXPECT_EQ(GreyAt(Paint(dib, {20, 20}, {0, 0}, true), 5, 15), 0);
}

TEST(DisplayImage, Failures) {
  CDIB dib;
  QImage q = Canvas(4, 4);
  {
    QPainter p(&q);
    EXPECT_FALSE(dib.DisplayImage(&p, {0, 0}, true));
    EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
  }
  ASSERT_TRUE(Take(dib, MakeImage(4, 4, 8)));
  EXPECT_FALSE(dib.DisplayImage(nullptr, {0, 0}, true));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
  QPainter idle;
  EXPECT_FALSE(dib.DisplayImage(&idle, {0, 0}, true));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrPaint);
}

}  // namespace
