// Tests of the deskew and crop family: the working image and its clean-up,
// extreme points, skew from one edge and from all four, the deskew and crop
// steps on generated scans (refused and straightened skews, whole-page and
// all-backing images, margins, fixed sizes), and the accuracy of deskewAngle
// and of the crop rectangle over angles, resolutions and depths.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "deskew/deskew.h"
#include "fixtures.h"
#include "scan_fixture.h"

namespace imgflt::deskew {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
constexpr uint8_t kBlackLevel = 64;

// A 1-bit picture from rows of '#' (set, backing) and '.' (clear, paper).
ImageBuffer Picture(const std::vector<std::string>& rows, uint32_t dpi = 254) {
  ImageView f;
  f.bitsPixel = 1;
  f.dpiX = f.dpiY = dpi;
  ImageBuffer b = ImageBuffer::Create(ImageBuffer::Storage::Scratch, f, static_cast<uint32_t>(rows[0].size()),
                                      static_cast<uint32_t>(rows.size()));
  for (uint32_t y = 0; y < rows.size(); ++y)
    for (uint32_t x = 0; x < rows[y].size(); ++x) SetPixel(b.View(), x, y, rows[y][x] == '#');
  return b;
}

std::vector<std::string> Text(const ImageView& v) {
  std::vector<std::string> rows;
  for (uint32_t y = 0; y < v.height; ++y) {
    std::string r;
    for (uint32_t x = 0; x < v.width; ++x) r += GetPixel(v, x, y) ? '#' : '.';
    rows.push_back(r);
  }
  return rows;
}

HUX_IMG_FILTER_PARAM Record(uint8_t deskew, uint8_t crop) {
  HUX_IMG_FILTER_PARAM p = test::NothingRecord(9);
  p.deskew = deskew;
  p.crop = crop;
  p.blackLevel = kBlackLevel;
  return p;
}

PageRect CropRect(const HUX_IMG_FILTER_PARAM& p) {
  return {static_cast<int32_t>(p.cropSquare.t.x), static_cast<int32_t>(p.cropSquare.t.y),
          static_cast<int32_t>(p.cropSquare.b.x) + 1, static_cast<int32_t>(p.cropSquare.b.y) + 1};
}

// ---- Working image and clean-up ----

TEST(DeskewWorkingImage, EveryDepthMarksTheBacking) {
  // Working pixel i samples source pixel 2i of row 2j; the odd pixels and
  // rows hold the opposite and must not be seen. At 16 dpi (8 in the
  // working image) the clean-up lengths round to 0 and change nothing.
  struct Case {
    uint8_t bits;
    std::vector<uint32_t> pixels;  // the eight sampled values
    std::string expected;
  } cases[] = {
      {8, {0, 40, 64, 65, 200, 255, 63, 66}, "###...#."},
      {24, {0, 0x404040, 0x404041, 0x414040, 0x0AC80A, 0x000040, 0xFFFFFF, 0x1E1E1E}, "##...#.#"},
      {4, {0, 4, 5, 15, 3, 4, 6, 1}, "##..##.#"},  // the high nibble against 64 / 16
      {1, {1, 0, 1, 1, 0, 0, 1, 0}, "#.##..#."},
  };
  for (const Case& c : cases) {
    ImageView f;
    f.bitsPixel = c.bits;
    f.dpiX = f.dpiY = 16;
    ImageBuffer src = ImageBuffer::Create(ImageBuffer::Storage::Scratch, f, 16, 2);
    const uint32_t mask = c.bits == 24 ? 0xFFFFFF : (1u << c.bits) - 1;
    for (uint32_t i = 0; i < 8; ++i) {
      SetPixel(src.View(), 2 * i, 0, c.pixels[i]);
      SetPixel(src.View(), 2 * i + 1, 0, ~c.pixels[i] & mask);
      for (uint32_t x = 0; x < 2; ++x) SetPixel(src.View(), 2 * i + x, 1, ~c.pixels[i] & mask);
    }
    WorkingImage w;
    WorkingOptions o;
    o.blackLevel = kBlackLevel;
    ASSERT_EQ(BuildWorkingImage(src.View(), o, &w), 0);
    ASSERT_EQ(w.bits.View().width, 8u);
    ASSERT_EQ(w.bits.View().height, 1u);
    EXPECT_EQ(w.bits.View().dpiX, 8u);
    EXPECT_EQ(Text(w.bits.View())[0], c.expected) << int(c.bits) << " bit";
  }
}

TEST(DeskewWorkingImage, WideRowsMatchThePlainThreshold) {
  // Rows long enough for the sixteen-pixel groups, with a partial group at
  // the end; at 16 dpi the clean-up changes nothing.
  for (uint8_t bits : {1, 8, 24})
    for (uint32_t width : {32u, 45u, 77u, 250u}) {
      ImageView f;
      f.bitsPixel = bits;
      f.dpiX = f.dpiY = 16;
      ImageBuffer src = ImageBuffer::Create(ImageBuffer::Storage::Scratch, f, width, 6);
      uint32_t seed = width * 31 + bits;
      for (size_t i = 0; i < src.View().Bytes(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        src.View().data[i] = static_cast<uint8_t>((seed >> 24) < 96 ? 10 : seed >> 24);  // many dark bytes
      }
      WorkingImage w;
      WorkingOptions o;
      o.blackLevel = 100;
      ASSERT_EQ(BuildWorkingImage(src.View(), o, &w), 0);
      for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < width / 2; ++x) {
          const uint32_t p = GetPixel(src.View(), 2 * x, 2 * y);
          const bool dark = bits == 1   ? p == 1
                            : bits == 8 ? p <= 100
                                        : ((p & 0xFF) <= 100 && ((p >> 8) & 0xFF) <= 100 && (p >> 16) <= 100);
          ASSERT_EQ(GetPixel(w.bits.View(), x, y), dark ? 1u : 0u) << int(bits) << " bit, width " << width << " at " << x;
        }
    }
}

TEST(DeskewWorkingImage, WhiteLineStripAndFullResolutionForCrop) {
  ImageView f;
  f.bitsPixel = 1;
  f.dpiX = f.dpiY = 16;
  ImageBuffer src = ImageBuffer::Create(ImageBuffer::Storage::Scratch, f, 16, 2);
  WorkingImage w;
  WorkingOptions o;
  o.wLineLoc = 2;
  o.wLineWidth = 6;
  ASSERT_EQ(BuildWorkingImage(src.View(), o, &w), 0);
  EXPECT_EQ(Text(w.bits.View())[0], ".....###") << "6 source pixels: 3 working pixels";
  o.halfResolution = false;
  o.wLineLoc = 1;
  ASSERT_EQ(BuildWorkingImage(src.View(), o, &w), 0);
  EXPECT_EQ(w.scale, 1u);
  EXPECT_EQ(Text(w.bits.View()), (std::vector<std::string>(2, "######..........")));
}

TEST(DeskewWorkingImage, CleanUpTables) {
  struct RowCase {
    std::string row;
    uint32_t maxRun;
    std::string closed;
  } rows[] = {
      {"##..##...##", 2, "######...##"},
      {"...##....", 3, "#####...."},  // a run at the start ends at a set pixel
      {"##.......", 7, "#########"},  // a run ended by the row's end
      {"##.......", 6, "##......."},
      {"#.#.#.#.#", 1, "#########"},
  };
  for (const RowCase& c : rows) {
    ImageBuffer b = Picture({c.row});
    CloseRowGaps(b.View(), c.maxRun);
    EXPECT_EQ(Text(b.View())[0], c.closed) << c.row;
  }
  // Columns: only runs ended by a set pixel inside the band, top band
  // downwards, bottom band upwards.
  ImageBuffer col = Picture({"..#.", "#..#", "##.#", "#...", "#...", ".###", "#.#.", "#.##"});
  CloseColumnGaps(col.View(), 2, 3);
  EXPECT_EQ(Text(col.View()),
            (std::vector<std::string>{"####", "##.#", "##.#", "#...", "#...", ".###", "####", "####"}));
  // Specks: clear components up to 2 x 2 (diagonal neighbours connect).
  ImageBuffer sp = Picture({"#######", "#.###..", "##.####", "#######", "#..#...", "#..#.##"});
  ASSERT_EQ(RemoveClearSpecks(sp.View(), 2), 0);
  EXPECT_EQ(Text(sp.View()), (std::vector<std::string>{"#######", "#######", "#######", "#######",
                                                       "####...", "####.##"}));
}

TEST(DeskewPoints, ExtremePointsAndTheirTieRules) {
  // t: topmost row; its left half of bytes has no paper, so the rightmost
  // paper pixel of the right half. l: x = 1 in rows 2 and 6; row 6 lies in
  // the lower half and replaces row 2. r: x = 14 in rows 1 and 3, both upper
  // half: the first stays.
  ImageBuffer b = Picture({
      "################",
      "###########..#.#",
      "#.#..........###",
      "###..........#.#",
      "###...........##",
      "###.........####",
      "#.#......#######",
      "####..##########",
  });
  Quad q;
  ASSERT_TRUE(FindExtremePoints(b.View(), {0, 0, 16, 8}, &q));
  EXPECT_EQ(q.t, (Point{14, 1}));
  EXPECT_EQ(q.b, (Point{4, 7}));
  EXPECT_EQ(q.l, (Point{1, 6}));
  EXPECT_EQ(q.r, (Point{14, 1}));
  ImageBuffer none = Picture({"####", "####"});
  EXPECT_FALSE(FindExtremePoints(none.View(), {0, 0, 4, 2}, &q));
}

TEST(DeskewSkew, OneEdgeRecoversALineAndRefusesWhatIsNotOne) {
  struct Case {
    double dydx;
    size_t points;
    bool found;
  } cases[] = {{0.05, 400, true}, {-0.3, 400, true}, {0.0, 33, true}, {0.05, 31, false}, {0.4, 400, false}};
  for (const Case& c : cases) {
    std::vector<Point> pts;
    for (size_t i = 0; i < c.points; ++i) {
      const auto x = static_cast<int32_t>(100 + i);
      pts.push_back({x, static_cast<int32_t>(std::lround(500 + c.dydx * x))});
    }
    double slope = 99;
    EXPECT_EQ(SkewFromEdge(pts, &slope), c.found) << c.dydx << ", " << c.points << " points";
    if (c.found) {
      EXPECT_NEAR(slope, -c.dydx, 0.004) << "minus dy/dx";
    }
  }
  // A corner: a long straight edge and a short steep part are outvoted.
  std::vector<Point> corner;
  for (int32_t x = 0; x < 600; ++x) corner.push_back({x, x < 150 ? 900 - 3 * x : 450 + (x - 150) / 10});
  double slope = 0;
  ASSERT_TRUE(SkewFromEdge(corner, &slope));
  EXPECT_NEAR(slope, -0.1, 0.01);
}

// ---- Deskew and crop steps ----

struct Outcome {
  test::Scan scan;
  HUX_IMG_FILTER_PARAM prm;
  PageRect page;
  int32_t deskewRc = -1, cropRc = -1;
};

// Deskew then crop as the pipeline runs them: the crop follows the deskew
// (which then cuts early) unless `apart`.
Outcome DeskewAndCrop(const test::ScanPlan& plan, HUX_IMG_FILTER_PARAM prm, bool allSide = false,
                      bool apart = false) {
  ResetWorkingImage();  // as the execute entries do
  Outcome r{test::MakeScan(plan), prm, {}};
  DeskewPage page;
  const bool cropFollows = prm.crop != IMG_FLT_OFF && !apart;
  r.deskewRc = prm.deskew != IMG_FLT_OFF ? DeskewStep(r.scan.inf, r.prm, allSide, cropFollows, &page) : 0;
  r.page = page.rect;
  if (r.deskewRc == 0 && prm.crop != IMG_FLT_OFF)
    r.cropRc = prm.deskew != IMG_FLT_OFF ? CropStep(r.scan.inf, r.prm, page, false)
                                         : CropStep(r.scan.inf, r.prm, nullptr, false);
  return r;
}

TEST(DeskewStep, CuttingWithTheTurnEqualsTurningThenCutting) {
  for (uint8_t bits : {1, 4, 8, 24})
    for (uint8_t smoothing : {IMG_FLT_OFF, IMG_FLT_ON})
      for (double deg : {-6.5, 2.2}) {
        test::ScanPlan s;
        s.bits = bits;
        s.pageWmm = 60;
        s.pageHmm = 80;
        s.angle = deg * kDegree;
        s.offsetXmm = 4;
        HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_ON, IMG_FLT_ON);
        prm.smoothing = smoothing;
        const Outcome early = DeskewAndCrop(s, prm, false, false);
        const Outcome apart = DeskewAndCrop(s, prm, false, true);
        ASSERT_EQ(early.cropRc, 0);
        ASSERT_EQ(apart.cropRc, 0);
        const std::string what = std::to_string(bits) + " bit, smoothing " + std::to_string(smoothing) + ", " +
                                 std::to_string(deg) + " deg";
        ASSERT_EQ(early.scan.inf.dwWidth, apart.scan.inf.dwWidth) << what;
        ASSERT_EQ(early.scan.inf.dwHeight, apart.scan.inf.dwHeight) << what;
        EXPECT_EQ(0, std::memcmp(&early.prm.cropSquare, &apart.prm.cropSquare, sizeof(HUX_CROP_SQUARE))) << what;
        EXPECT_EQ(early.prm.deskewAngle, apart.prm.deskewAngle) << what;
        EXPECT_NEAR(early.prm.deskewAngle, s.angle, 0.15 * kDegree) << what;
        const size_t bytes = size_t{early.scan.Stride()} * early.scan.inf.dwHeight;
        EXPECT_EQ(0, std::memcmp(early.scan.buffer.data(), apart.scan.buffer.data(), bytes)) << what;
      }
}

TEST(DeskewStep, RefusesTwentyFiveDegreesAndStraightensFive) {
  for (double deg : {25.0, -25.0}) {
    test::ScanPlan s;
    s.angle = deg * kDegree;
    const test::Scan before = test::MakeScan(s);
    Outcome r = DeskewAndCrop(s, Record(IMG_FLT_ON, IMG_FLT_OFF));
    ASSERT_EQ(r.deskewRc, 0);
    EXPECT_EQ(r.prm.deskewAngle, 0.0) << deg;
    EXPECT_EQ(r.scan.buffer, before.buffer) << "not rotated";
  }
  for (double deg : {5.0, -5.0}) {
    test::ScanPlan s;
    s.angle = deg * kDegree;
    Outcome r = DeskewAndCrop(s, Record(IMG_FLT_ON, IMG_FLT_ON));
    ASSERT_EQ(r.deskewRc, 0);
    ASSERT_EQ(r.cropRc, 0);
    EXPECT_NEAR(r.prm.deskewAngle, deg * kDegree, 0.15 * kDegree) << "about +-0.087";
    // The cut is the straight page: its first and last rows are paper.
    const test::ExpectedRect e = test::StraightenedPage(r.scan, r.prm.deskewAngle);
    EXPECT_NEAR(r.scan.inf.dwWidth, e.right - e.left, 4);
    EXPECT_NEAR(r.scan.inf.dwHeight, e.bottom - e.top, 4);
  }
}

TEST(DeskewStep, SpecifiedZeroTurnsNothingButFindsThePage) {
  test::ScanPlan s;
  s.offsetXmm = 7;
  const test::Scan before = test::MakeScan(s);
  HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_SPECIFIED, IMG_FLT_ON);
  prm.deskewAngle = 0;
  Outcome r = DeskewAndCrop(s, prm);
  ASSERT_EQ(r.deskewRc, 0);
  EXPECT_EQ(r.prm.deskewAngle, 0.0);
  const test::ExpectedRect e = test::StraightenedPage(before, 0);
  EXPECT_NEAR(r.page.left, e.left, 2);
  EXPECT_NEAR(r.page.top, e.top, 2);
  EXPECT_NEAR(r.page.right, e.right, 2);
  EXPECT_NEAR(r.page.bottom, e.bottom, 2);
  ASSERT_EQ(r.cropRc, 0);
  EXPECT_EQ(CropRect(r.prm), r.page);
}

TEST(DeskewStep, AllBackingAndWholePageImages) {
  for (uint8_t bits : {1, 8, 24}) {
    // Entirely backing: a page too small to see.
    test::ScanPlan s;
    s.bits = bits;
    s.pageWmm = s.pageHmm = 0.01;
    s.marginMm = 40;
    const test::Scan before = test::MakeScan(s);
    Outcome r = DeskewAndCrop(s, Record(IMG_FLT_ON, IMG_FLT_ON));
    ASSERT_EQ(r.deskewRc, 0);
    ASSERT_EQ(r.cropRc, 0);
    EXPECT_EQ(r.scan.buffer, before.buffer) << int(bits) << " bit";
    EXPECT_EQ(r.scan.inf.dwWidth, before.inf.dwWidth);
    // Crop alone on an all-backing image.
    Outcome c = DeskewAndCrop(s, Record(IMG_FLT_OFF, IMG_FLT_ON));
    ASSERT_EQ(c.cropRc, 0);
    EXPECT_EQ(c.scan.buffer, before.buffer);
    // The page fills the whole scan.
    test::ScanPlan full;
    full.bits = bits;
    full.marginMm = -2;
    for (uint8_t deskew : {IMG_FLT_ON, IMG_FLT_OFF}) {
      Outcome w = DeskewAndCrop(full, Record(deskew, IMG_FLT_ON));
      ASSERT_EQ(w.cropRc, 0);
      const uint32_t width = w.scan.inf.dwWidth, height = w.scan.inf.dwHeight;
      EXPECT_EQ(width, test::MakeScan(full).inf.dwWidth) << int(bits) << " bit, deskew " << int(deskew);
      const HUX_CROP_SQUARE& q = w.prm.cropSquare;
      EXPECT_EQ(q.t.x, 0u);
      EXPECT_EQ(q.t.y, 0u);
      EXPECT_EQ(q.l.x, 0u);
      EXPECT_EQ(q.l.y, 0u);
      EXPECT_EQ(q.b.x, width - 1);
      EXPECT_EQ(q.b.y, height - 1);
      EXPECT_EQ(q.r.x, width - 1);
      EXPECT_EQ(q.r.y, height - 1);
    }
  }
}

TEST(DeskewStep, NegativeMarginShrinksToTenMillimetresAtLeast) {
  struct Case {
    double pageMm;
    uint8_t deskew;
    int32_t expectedPx;  // at 300 dpi
  } cases[] = {
      {30, IMG_FLT_ON, 236},  {8, IMG_FLT_ON, 118},  // 20 mm; 10 mm = (100 * 300 + 127) / 254
      {30, IMG_FLT_OFF, 236}, {8, IMG_FLT_OFF, 118},
  };
  for (const Case& c : cases) {
    test::ScanPlan s;
    s.dpi = 300;
    s.pageWmm = c.pageMm;
    s.pageHmm = 60;
    s.text = false;
    HUX_IMG_FILTER_PARAM prm = Record(c.deskew, IMG_FLT_ON);
    prm.cropMargin = -50;
    Outcome r = DeskewAndCrop(s, prm);
    ASSERT_EQ(r.cropRc, 0);
    EXPECT_NEAR(static_cast<int32_t>(r.scan.inf.dwWidth), c.expectedPx, 2) << c.pageMm << " mm, deskew " << int(c.deskew);
    EXPECT_NEAR(static_cast<int32_t>(r.scan.inf.dwHeight), 591, 2) << "60 - 10 mm";
    // Record versions before 8 know no margin; deskew still keeps 10 mm.
    prm.verNo = 7;
    Outcome old = DeskewAndCrop(s, prm);
    const double page = test::MmToPx(c.pageMm, 300);
    EXPECT_NEAR(old.scan.inf.dwWidth, c.deskew == IMG_FLT_ON ? std::max(page, 118.0) : page, 2);
  }
}

TEST(DeskewStep, FixedSizeCutAtThePagePosition) {
  struct Case {
    uint8_t position;
    int32_t pageLeftInCut;  // where the page's left edge lands in the 1000-pixel cut
  } cases[] = {{IMG_FLT_FIXED_RIGHT, 1000 - 945}, {IMG_FLT_FIXED_LEFT, 0}, {IMG_FLT_FIXED_CENTER, (1000 - 945) / 2}};
  for (const Case& c : cases) {
    test::ScanPlan s;
    s.dpi = 300;
    s.pageWmm = 80;  // 945 pixels
    s.pageHmm = 100;
    s.angle = 3 * kDegree;
    HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_ON, IMG_FLT_OFF);
    prm.fixedSize = {1000, 1400};
    prm.fixedPosition = c.position;
    Outcome r = DeskewAndCrop(s, prm);
    ASSERT_EQ(r.deskewRc, 0);
    ASSERT_EQ(r.scan.inf.dwWidth, 1000u);
    ASSERT_EQ(r.scan.inf.dwHeight, 1400u);
    // Find the paper's horizontal extent in the middle row of the page.
    const uint32_t y = 600;
    const uint8_t* row = r.scan.Row(y);
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < 1000; ++x)
      if (row[x] > 150) {
        if (first < 0) first = x;
        last = x;
      }
    EXPECT_NEAR(first, c.pageLeftInCut, 3) << "position " << int(c.position);
    EXPECT_NEAR(last, c.pageLeftInCut + 944, 3) << "position " << int(c.position);
    EXPECT_EQ(r.scan.Row(1390)[500], 0) << "below the page: black fill";
  }
}

TEST(DeskewStep, CropDetectionIgnoresLightSpecksInTheBacking) {
  for (bool specks : {false, true}) {
    test::ScanPlan s;
    s.dpi = 200;
    test::Scan scan = test::MakeScan(s);
    // A light speck of 3 x 3 pixels (0.4 mm) 6 mm left of the page.
    const int32_t x0 = static_cast<int32_t>(scan.cx - scan.halfW - test::MmToPx(6, 200));
    const int32_t y0 = static_cast<int32_t>(scan.cy);
    for (int32_t y = y0; y < y0 + 3; ++y)
      for (int32_t x = x0; x < x0 + 3; ++x) scan.buffer[size_t(y) * scan.Stride() + size_t(x)] = 240;
    HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_OFF, IMG_FLT_ON);
    ResetWorkingImage();
    ASSERT_EQ(CropStep(scan.inf, prm, nullptr, specks), 0);
    ResetWorkingImage();
    const test::ExpectedRect e = test::StraightenedPage(test::MakeScan(s), 0);
    const PageRect got = CropRect(prm);
    EXPECT_NEAR(got.left, e.left, 2) << "speck removal " << specks;
    EXPECT_NEAR(got.right, e.right, 2);
  }
}

TEST(DeskewStep, RefusesWhatItCannotAddress) {
  test::ScanPlan s;
  test::Scan scan = test::MakeScan(s);
  HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_ON, IMG_FLT_ON);
  PageRect page;
  scan.inf.bitsPixel = 16;
  EXPECT_EQ(DeskewStep(scan.inf, prm, false, &page), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(CropStep(scan.inf, prm, nullptr, false), IMG_FLT_ERR_UNSUPPORTED);
  scan.inf.bitsPixel = 8;
  prm.deskew = IMG_FLT_SPECIFIED;
  prm.deskewAngle = std::nan("");
  EXPECT_EQ(DeskewStep(scan.inf, prm, false, &page), IMG_FLT_ERR_UNSUPPORTED);
  // A specified crop that misses the image entirely.
  prm = Record(IMG_FLT_OFF, IMG_FLT_SPECIFIED);
  prm.cropSquare = ToCropSquare(RectQuad({5000, 5000, 6000, 6000}));
  EXPECT_EQ(CropStep(scan.inf, prm, nullptr, false), IMG_FLT_ERR_UNSUPPORTED);
}

TEST(DeskewStep, DibHeaderFollowsTheCut) {
  test::ScanPlan s;
  s.angle = -2 * kDegree;
  test::Scan scan = test::MakeScan(s);
  // Put the scan behind a DIB header and grey palette.
  std::vector<uint8_t> dib(40 + 1024 + scan.buffer.size());
  test::PutLE32(dib.data(), 40);
  test::PutLE32(dib.data() + 4, scan.inf.dwWidth);
  test::PutLE32(dib.data() + 8, scan.inf.dwHeight);
  dib[12] = 1;
  dib[14] = 8;
  std::memcpy(dib.data() + 1064, scan.buffer.data(), scan.buffer.size());
  scan.inf.pOrgImg = dib.data();
  scan.inf.dataDIB = IMG_FLT_ON;
  HUX_IMG_FILTER_PARAM prm = Record(IMG_FLT_ON, IMG_FLT_ON);
  PageRect page;
  ASSERT_EQ(DeskewStep(scan.inf, prm, false, &page), 0);
  ASSERT_EQ(CropStep(scan.inf, prm, &page, false), 0);
  EXPECT_EQ(test::GetLE32(dib.data() + 4), scan.inf.dwWidth);
  EXPECT_EQ(test::GetLE32(dib.data() + 8), scan.inf.dwHeight);
  EXPECT_NEAR(scan.inf.dwWidth, test::MmToPx(100, 200), 4);
}

// ---- Accuracy on generated scans ----

struct Accuracy {
  int runs = 0;
  double angleSum = 0, angleWorst = 0;  // degrees
  double rectSum = 0, rectWorst = 0;    // pixels, worst edge of the crop rectangle
  void Add(double angleErr, double rectErr) {
    ++runs;
    angleSum += angleErr;
    angleWorst = std::max(angleWorst, angleErr);
    rectSum += rectErr;
    rectWorst = std::max(rectWorst, rectErr);
  }
};

void Measure(const test::ScanPlan& plan, bool allSide, Accuracy* acc) {
  Outcome r = DeskewAndCrop(plan, Record(IMG_FLT_ON, IMG_FLT_ON), allSide);
  ASSERT_EQ(r.deskewRc, 0);
  ASSERT_EQ(r.cropRc, 0);
  const test::ExpectedRect e = test::StraightenedPage(r.scan, r.prm.deskewAngle);
  const PageRect got = CropRect(r.prm);
  const double rectErr = std::max({std::fabs(got.left - e.left), std::fabs(got.top - e.top),
                                   std::fabs(got.right - e.right), std::fabs(got.bottom - e.bottom)});
  acc->Add(std::fabs(r.prm.deskewAngle - plan.angle) / kDegree, rectErr);
}

struct AccuracyCase {
  uint32_t dpi;
  uint8_t bits;
  bool allSide;
};

class DeskewAccuracy : public ::testing::TestWithParam<AccuracyCase> {};

// A few angles per resolution and depth on a 100 x 140 mm page. Stated
// tolerances: the angle within 0.1 degree, every crop edge within 1 mm.
TEST_P(DeskewAccuracy, FewAnglesWithinTolerance) {
  const AccuracyCase c = GetParam();
  Accuracy acc;
  for (double deg : {-17.0, -4.5, 0.7, 11.0}) {
    test::ScanPlan s;
    s.dpi = c.dpi;
    s.bits = c.bits;
    s.angle = deg * kDegree;
    s.seed = static_cast<uint32_t>(deg * 10 + 100);
    Measure(s, c.allSide, &acc);
  }
  const double mm = 25.4 / c.dpi;
  std::printf("[accuracy] %u dpi %2u bit %s: angle mean %.3f worst %.3f deg; crop mean %.2f worst %.2f px (%.2f mm)\n",
              c.dpi, c.bits, c.allSide ? "4 edges" : "1 edge ", acc.angleSum / acc.runs, acc.angleWorst,
              acc.rectSum / acc.runs, acc.rectWorst, acc.rectWorst * mm);
  EXPECT_LT(acc.angleWorst, 0.1);
  EXPECT_LT(acc.rectWorst * mm, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Deskew, DeskewAccuracy,
                         ::testing::Values(AccuracyCase{200, 8, false}, AccuracyCase{200, 1, false},
                                           AccuracyCase{200, 24, false}, AccuracyCase{300, 24, false},
                                           AccuracyCase{200, 8, true}, AccuracyCase{300, 1, true}));

// The full sweep, run by hand (--gtest_also_run_disabled_tests): A4 pages,
// every degree from -19 to 19, at 200, 300 and 600 dpi in 1, 8 and 24 bit,
// both methods. Prints the table of mean and worst errors.
TEST(DeskewAccuracySweep, DISABLED_AllAnglesResolutionsAndDepths) {
  for (bool allSide : {false, true})
    for (uint32_t dpi : {200u, 300u, 600u})
      for (uint8_t bits : {1, 8, 24}) {
        Accuracy acc;
        for (int deg = -19; deg <= 19; ++deg) {
          test::ScanPlan s;
          s.dpi = dpi;
          s.bits = bits;
          s.pageWmm = 210;
          s.pageHmm = 297;
          s.angle = (deg + 0.37 * ((deg * 7) % 3)) * kDegree;  // off the whole degrees too
          s.seed = static_cast<uint32_t>(deg + 40);
          Measure(s, allSide, &acc);
        }
        const double mm = 25.4 / dpi;
        std::printf("%s %3u dpi %2u bit: angle mean %.4f worst %.4f deg | crop mean %.2f px worst %.2f px (%.2f mm)\n",
                    allSide ? "4 edges" : "1 edge ", dpi, bits, acc.angleSum / acc.runs, acc.angleWorst,
                    acc.rectSum / acc.runs, acc.rectWorst, acc.rectWorst * mm);
      }
}

}  // namespace
}  // namespace imgflt::deskew
