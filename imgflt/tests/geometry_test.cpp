// Tests of the geometry family: right-angle and arbitrary rotation against
// the straightforward versions, the rotation step's sizes, fills and
// delivery, mirror and invert tables, resolution change, vertical scan
// change, scanning-resolution choice and 3 x 3 smoothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "Hux_ImgFlt.h"
#include "fixtures.h"
#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

constexpr uint8_t kDepths[] = {1, 4, 8, 24};

ImageView Format(uint8_t bits, uint32_t dpi = 300, uint8_t order = kOrderBGR) {
  ImageView f;
  f.bitsPixel = bits;
  f.orderRGB = order;
  f.dpiX = f.dpiY = dpi;
  return f;
}

// Pseudo-random pixels (padding included) from a seed.
ImageBuffer Random(uint32_t w, uint32_t h, uint8_t bits, uint32_t seed) {
  ImageBuffer b = ImageBuffer::Create(ImageBuffer::Storage::Scratch, Format(bits), w, h);
  uint32_t s = seed * 2654435761u + 1;
  for (size_t i = 0; i < b.View().Bytes(); ++i) {
    s = s * 1664525u + 1013904223u;
    b.View().data[i] = static_cast<uint8_t>(s >> 24);
  }
  return b;
}

ImageBuffer Blank(uint32_t w, uint32_t h, uint8_t bits) {
  return ImageBuffer::Create(ImageBuffer::Storage::Scratch, Format(bits), w, h);
}

// "" when both images hold the same pixels, else where they first differ.
std::string Diff(const ImageView& a, const ImageView& b) {
  if (a.width != b.width || a.height != b.height) return "size differs";
  for (uint32_t y = 0; y < a.height; ++y)
    for (uint32_t x = 0; x < a.width; ++x)
      if (GetPixel(a, x, y) != GetPixel(b, x, y))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): " + std::to_string(GetPixel(a, x, y)) +
               " vs " + std::to_string(GetPixel(b, x, y));
  return "";
}

HUX_IMG_INF Describe(const ImageBuffer& b) {
  HUX_IMG_INF inf{};
  const ImageView& v = b.View();
  inf.pOrgImg = v.data;
  inf.dwWidth = v.width;
  inf.dwHeight = v.height;
  inf.bitsPixel = v.bitsPixel;
  inf.orderRGB = v.orderRGB;
  inf.inLineAlign = inf.outLineAlign = IMG_FLT_MEM_BNDRY32;
  inf.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  inf.imgDpiX = v.dpiX;
  inf.imgDpiY = v.dpiY;
  return inf;
}

// The result a step left in hOutBuff, as a view (locked while it lives).
struct Result {
  explicit Result(HUX_IMG_INF& inf) : lock(inf.hOutBuff) {
    view = Format(inf.bitsPixel, inf.imgDpiX, inf.orderRGB);
    view.data = lock.data() + (inf.dataDIB == IMG_FLT_ON ? DibPrefixBytes(inf.bitsPixel) : 0);
    view.width = inf.dwWidth;
    view.height = inf.dwHeight;
    view.stride = RowStride(inf.dwWidth, inf.bitsPixel);
  }
  GlobalLockGuard lock;
  ImageView view;
};

void FreeResult(HUX_IMG_INF& inf) {
  if (inf.outBuffKind == IMG_FLT_MEMAREA_NEW) {
    EXPECT_EQ(GlobalFree(inf.hOutBuff), nullptr);
  }
  inf.hOutBuff = nullptr;
}

// ---- Right angles ----

TEST(GeometryRightAngle, MatchesReferenceOnEveryDepthAndTurn) {
  for (uint8_t bits : kDepths)
    for (uint32_t turns = 1; turns <= 3; ++turns)
      for (auto [w, h] : {std::pair{1u, 1u}, {13u, 7u}, {64u, 65u}, {131u, 29u}}) {
        ImageBuffer src = Random(w, h, bits, w * 31 + h + bits);
        const bool swap = turns != 2;
        ImageBuffer fast = Blank(swap ? h : w, swap ? w : h, bits), slow = Blank(swap ? h : w, swap ? w : h, bits);
        ASSERT_EQ(RotateRightAngle(src.View(), turns, fast.View()), 0);
        reference::RotateRightAngle(src.View(), turns, slow.View());
        EXPECT_EQ(Diff(fast.View(), slow.View()), "") << int(bits) << " bit, " << turns * 90 << " deg, " << w << "x" << h;
      }
}

TEST(GeometryRightAngle, NinetyMovesTheRightColumnToTheTopRow) {
  // 3 x 2 grey image:  1 2 3 / 4 5 6  turned 90: 3 6 / 2 5 / 1 4.
  ImageBuffer src = Blank(3, 2, 8), dst = Blank(2, 3, 8);
  for (uint32_t i = 0; i < 6; ++i) SetPixel(src.View(), i % 3, i / 3, i + 1);
  ASSERT_EQ(RotateRightAngle(src.View(), 1, dst.View()), 0);
  const uint32_t expected[3][2] = {{3, 6}, {2, 5}, {1, 4}};
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 2; ++x) EXPECT_EQ(GetPixel(dst.View(), x, y), expected[y][x]) << x << "," << y;
}

TEST(GeometryRightAngle, FourQuarterTurnsGiveTheImageBackOnEveryDepth) {
  for (uint8_t bits : kDepths) {
    ImageBuffer src = Random(37, 21, bits, bits);
    ImageBuffer a = Blank(21, 37, bits), b = Blank(37, 21, bits), c = Blank(21, 37, bits), d = Blank(37, 21, bits);
    RotateRightAngle(src.View(), 1, a.View());
    RotateRightAngle(a.View(), 1, b.View());
    RotateRightAngle(b.View(), 1, c.View());
    RotateRightAngle(c.View(), 1, d.View());
    EXPECT_EQ(Diff(src.View(), d.View()), "") << int(bits) << " bit";
  }
}

struct StepCase {
  uint16_t angle;
  uint8_t rotCut;
  uint32_t w, h;
  uint32_t outW, outH;
};

TEST(GeometryRotateStep, ResultSizes) {
  const StepCase cases[] = {
      {9000, IMG_FLT_OFF, 100, 50, 50, 100},  {18000, IMG_FLT_OFF, 100, 50, 100, 50},
      {27000, IMG_FLT_OFF, 100, 50, 50, 100}, {4500, IMG_FLT_OFF, 100, 100, 141, 141},
      {4500, IMG_FLT_ON, 100, 100, 100, 100}, {3000, IMG_FLT_OFF, 200, 100, 223, 187},
      {3000, IMG_FLT_ON, 200, 100, 200, 100},
  };
  for (const StepCase& c : cases)
    for (uint8_t bits : kDepths) {
      ImageBuffer src = Random(c.w, c.h, bits, c.angle);
      HUX_IMG_INF inf = Describe(src);
      HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
      prm.rotCut = c.rotCut;
      ASSERT_EQ(RotateStep(inf, prm, c.angle), 0);
      EXPECT_EQ(inf.outBuffKind, IMG_FLT_MEMAREA_NEW);
      EXPECT_EQ(inf.dwWidth, c.outW) << c.angle << " on " << int(bits) << " bit";
      EXPECT_EQ(inf.dwHeight, c.outH) << c.angle << " on " << int(bits) << " bit";
      EXPECT_GE(GlobalSize(inf.hOutBuff), size_t{RowStride(c.outW, bits)} * c.outH);
      FreeResult(inf);
    }
}

TEST(GeometryRotateStep, RightAngleMatchesTheMoveAndRowOrderTurnsItBack) {
  ImageBuffer src = Random(45, 20, 8, 5);
  ImageBuffer expected = Blank(20, 45, 8), opposite = Blank(20, 45, 8);
  reference::RotateRightAngle(src.View(), 1, expected.View());
  reference::RotateRightAngle(src.View(), 3, opposite.View());
  HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
  for (uint8_t order : {IMG_FLT_UPDOWN_NORMAL, IMG_FLT_UPDOWN_TURNOVER}) {
    HUX_IMG_INF inf = Describe(src);
    inf.dataUpDown = order;
    ASSERT_EQ(RotateStep(inf, prm, 9000), 0);
    Result r(inf);
    EXPECT_EQ(Diff(r.view, order == IMG_FLT_UPDOWN_NORMAL ? expected.View() : opposite.View()), "");
    FreeResult(inf);
  }
}

TEST(GeometryRotateStep, DibKeepsPaletteAndGetsTheNewSizeAndAnOldResultIsFreed) {
  test::TestImage t = test::MakeImage(30, 10, 8, true, 300);
  t.inf.imgDpiY = 150;
  HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
  ASSERT_EQ(RotateStep(t.inf, prm, 9000), 0);
  HGLOBAL first = t.inf.hOutBuff;
  {
    GlobalLockGuard g(first);
    EXPECT_EQ(test::GetLE32(g.data() + 4), 10u);
    EXPECT_EQ(test::GetLE32(g.data() + 8), 30u);
    EXPECT_EQ(0, std::memcmp(g.data() + 40, t.buffer.data() + 40, 1024)) << "palette copied";
  }
  // A quarter turn swaps the two resolutions.
  EXPECT_EQ(t.inf.imgDpiX, 150u);
  EXPECT_EQ(t.inf.imgDpiY, 300u);
  ASSERT_EQ(RotateStep(t.inf, prm, 18000), 0);
  EXPECT_NE(t.inf.hOutBuff, first);
  EXPECT_EQ(GlobalSize(first), 0u) << "the previous result block is freed";
  FreeResult(t.inf);
}

TEST(GeometryRotateStep, RefusesAnUnknownDepthAndZeroAngleDoesNothing) {
  ImageBuffer src = Random(8, 8, 8, 1);
  HUX_IMG_INF inf = Describe(src);
  HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
  EXPECT_EQ(RotateStep(inf, prm, 0), 0);
  EXPECT_EQ(inf.outBuffKind, IMG_FLT_MEMAREA_ORGN);
  inf.bitsPixel = 16;
  EXPECT_EQ(RotateStep(inf, prm, 9000), IMG_FLT_ERR_ROTATION);
  EXPECT_EQ(RotateStep(inf, prm, 4500), IMG_FLT_ERR_ROTATION);
}

// ---- Any angle ----

TEST(GeometryRotateEngine, MatchesReferenceOnEveryDepthAngleAndMode) {
  const double angles[] = {0.004, 0.0873, -0.2269, 0.7854, 1.9, -3.0};
  for (uint8_t bits : kDepths)
    for (double a : angles)
      for (bool interpolate : {false, true}) {
        ImageBuffer src = Random(53, 37, bits, bits + 7);
        uint32_t w = 0, h = 0;
        BoundingBoxSize(53, 37, a, &w, &h);
        ImageBuffer fast = Blank(w, h, bits), slow = Blank(w, h, bits);
        const RotationMap map = MakeRotationMap(53, 37, w, h, a);
        const uint32_t fill = FillValue(src.View(), a > 0);
        ASSERT_EQ(RotateInto(src.View(), fast.View(), map, interpolate, fill), 0);
        reference::RotateInto(src.View(), slow.View(), map, interpolate, fill);
        EXPECT_EQ(Diff(fast.View(), slow.View()), "") << int(bits) << " bit, " << a << " rad, bilinear " << interpolate;
      }
}

TEST(GeometryRotateEngine, InPlaceMatchesReferenceForDeskewAngles) {
  const double angles[] = {0.35, -0.35, 0.0873, -0.01, 0.0005};
  for (uint8_t bits : kDepths)
    for (double a : angles)
      for (bool interpolate : {false, true})
        for (auto [w, h] : {std::pair{97u, 61u}, {40u, 150u}}) {
          ImageBuffer fast = Random(w, h, bits, w + bits), slow = Random(w, h, bits, w + bits);
          const RotationMap map = MakeRotationMap(w, h, w, h, a);
          ASSERT_EQ(RotateInPlace(fast.View(), map, interpolate, FillValue(fast.View(), true)), 0);
          ASSERT_EQ(reference::RotateInPlace(slow.View(), map, interpolate, FillValue(slow.View(), true)), 0);
          EXPECT_EQ(Diff(fast.View(), slow.View()), "") << int(bits) << " bit, " << a << " rad, " << w << "x" << h;
        }
}

TEST(GeometryRotateEngine, QuarterTurnThroughTheEngineEqualsTheRightAngleMove) {
  // Positive radians turn the page counter-clockwise, like the 90-degree move.
  for (uint8_t bits : kDepths) {
    ImageBuffer src = Random(24, 16, bits, 3), engine = Blank(16, 24, bits), move = Blank(16, 24, bits);
    RotateInto(src.View(), engine.View(), MakeRotationMap(24, 16, 16, 24, std::numbers::pi / 2), false, 0);
    reference::RotateRightAngle(src.View(), 1, move.View());
    EXPECT_EQ(Diff(engine.View(), move.View()), "") << int(bits) << " bit";
  }
}

TEST(GeometryRotateEngine, NoTurnCopiesAndInterpolationStaysWithinNeighbours) {
  ImageBuffer src = Random(31, 17, 24, 9), out = Blank(31, 17, 24);
  RotateInto(src.View(), out.View(), MakeRotationMap(31, 17, 31, 17, 0.0), true, 0);
  EXPECT_EQ(Diff(src.View(), out.View()), "");
  // A constant image stays constant under bilinear turns (weights sum to 1).
  ImageBuffer flat = Blank(40, 40, 8), turned = Blank(40, 40, 8);
  std::memset(flat.View().data, 200, flat.View().Bytes());
  RotateInto(flat.View(), turned.View(), MakeRotationMap(40, 40, 40, 40, 0.3), true, 0);
  EXPECT_EQ(GetPixel(turned.View(), 20, 20), 200u);
  EXPECT_EQ(GetPixel(turned.View(), 0, 0), 0u) << "corner uncovered: fill";
}

struct FillCase {
  uint8_t bits;
  uint8_t order;
  bool black;
  uint32_t value;
};

TEST(GeometryRotateStep, FillsTheUncoveredCorners) {
  const FillCase cases[] = {
      {1, kOrderRGB, true, 1},  {1, kOrderRGB, false, 0},         {4, kOrderRGB, true, 0},
      {4, kOrderRGB, false, 15}, {8, kOrderRGB, true, 0},          {8, kOrderRGB, false, 255},
      {24, kOrderBGR, true, 0}, {24, kOrderBGR, false, 0xFFFFFF}, {24, kOrderYCC, true, 0x808080},
      {24, kOrderYCC, false, 0x808080},
  };
  for (const FillCase& c : cases)
    for (uint8_t cut : {IMG_FLT_OFF, IMG_FLT_ON}) {
      ImageBuffer src = Random(60, 60, c.bits, 2);
      HUX_IMG_INF inf = Describe(src);
      inf.orderRGB = c.order;
      HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
      prm.rotCut = cut;
      prm.rotCrvcColor = c.black ? IMG_FLT_COMP_BLACK : IMG_FLT_COMP_WHITE;
      ASSERT_EQ(RotateStep(inf, prm, 4500), 0);
      Result r(inf);
      EXPECT_EQ(GetPixel(r.view, 0, 0), c.value) << int(c.bits) << " bit, order " << int(c.order);
      EXPECT_EQ(GetPixel(r.view, r.view.width - 1, r.view.height - 1), c.value);
      FreeResult(inf);
    }
}

TEST(GeometryRotateStep, CutToInputMatchesTheSquareCanvasCutBack) {
  // The canvas route built by hand: centred on a max(W, H) square, turned
  // on it, cut back at the same place.
  const uint32_t w = 41, h = 26, side = 41, ox = 0, oy = (side - h) / 2;
  ImageBuffer src = Random(w, h, 8, 12), canvas = Blank(side, side, 8), turned = Blank(side, side, 8);
  std::memset(canvas.View().data, 255, canvas.View().Bytes());
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) SetPixel(canvas.View(), x + ox, y + oy, GetPixel(src.View(), x, y));
  const double radians = -3000 / 18000.0 * std::numbers::pi;
  reference::RotateInto(canvas.View(), turned.View(), MakeRotationMap(side, side, side, side, radians), false, 255);
  HUX_IMG_INF inf = Describe(src);
  HUX_IMG_FILTER_PARAM prm = test::NothingRecord();
  prm.rotCut = IMG_FLT_ON;
  prm.rotCrvcColor = IMG_FLT_COMP_WHITE;
  ASSERT_EQ(RotateStep(inf, prm, 3000), 0);
  Result r(inf);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      ASSERT_EQ(GetPixel(r.view, x, y), GetPixel(turned.View(), x + ox, y + oy)) << x << "," << y;
  FreeResult(inf);
}

// ---- Mirror and invert ----

TEST(GeometryMirror, MatchesReferenceForEveryDepthAndWidth) {
  for (uint8_t bits : kDepths)
    for (uint32_t w = 1; w <= 19; ++w) {
      ImageBuffer fast = Random(w, 3, bits, w), slow = Random(w, 3, bits, w);
      Mirror(fast.View());
      reference::Mirror(slow.View());
      EXPECT_EQ(Diff(fast.View(), slow.View()), "") << int(bits) << " bit, width " << w;
      // The padding bits inside the last used byte come out clear.
      for (uint32_t y = 0; y < 3; ++y)
        EXPECT_EQ(0, std::memcmp(fast.View().Row(y), slow.View().Row(y), fast.View().UsedRowBytes()));
    }
}

struct MirrorCase {
  uint8_t bits;
  uint32_t width;
  std::vector<uint8_t> row, mirrored;  // used bytes
};

TEST(GeometryMirror, RowTable) {
  const MirrorCase cases[] = {
      {1, 10, {0x80, 0x00}, {0x00, 0x40}},        // pixel 0 -> 9, padding clear
      {1, 10, {0x80, 0x3F}, {0x00, 0x40}},        // set padding bits do not come in
      {1, 8, {0xC1}, {0x83}},
      {1, 12, {0xF0, 0x10}, {0x80, 0xF0}},
      {4, 3, {0x12, 0x30}, {0x32, 0x10}},         // nibbles 1 2 3 -> 3 2 1
      {4, 4, {0x12, 0x34}, {0x43, 0x21}},
      {8, 3, {1, 2, 3}, {3, 2, 1}},
      {24, 2, {1, 2, 3, 4, 5, 6}, {4, 5, 6, 1, 2, 3}},  // byte order inside a pixel kept
  };
  for (const MirrorCase& c : cases) {
    std::vector<uint8_t> row = c.row;
    MirrorRow(row.data(), c.width, c.bits);
    EXPECT_EQ(row, c.mirrored) << int(c.bits) << " bit, width " << c.width;
  }
}

TEST(GeometryInvert, ComplementsEveryRowByteAndLeavesTheHeader) {
  for (uint8_t bits : kDepths) {
    test::TestImage t = test::MakeImage(13, 5, bits, true);
    const std::vector<uint8_t> before = t.buffer;
    ASSERT_EQ(InvertStep(t.inf), 0);
    EXPECT_EQ(0, std::memcmp(t.buffer.data(), before.data(), t.prefix)) << "header and palette untouched";
    for (size_t i = t.prefix; i < before.size(); ++i) ASSERT_EQ(t.buffer[i], static_cast<uint8_t>(~before[i]));
  }
}

TEST(GeometryMirror, StepWorksInTheCurrentBuffer) {
  test::TestImage t = test::MakeImage(10, 2, 1);
  t.Row(0)[0] = 0x80;
  t.Row(0)[1] = 0x00;
  ASSERT_EQ(MirrorStep(t.inf), 0);
  EXPECT_EQ(t.Row(0)[0], 0x00);
  EXPECT_EQ(t.Row(0)[1], 0x40);
  t.inf.bitsPixel = 2;
  EXPECT_EQ(MirrorStep(t.inf), IMG_FLT_ERR_UNSUPPORTED);
}

// ---- Resolution ----

TEST(GeometryResolution, A4At300To200) {
  test::TestImage t = test::MakeImage(2550, 3300, 8, true, 300);
  ASSERT_EQ(ChangeResolutionStep(t.inf, 200, 0), 0);
  EXPECT_EQ(t.inf.dwWidth, 1700u);
  EXPECT_EQ(t.inf.dwHeight, 2200u);
  EXPECT_EQ(t.inf.imgDpiX, 200u);
  EXPECT_EQ(t.inf.imgDpiY, 200u);
  EXPECT_EQ(t.inf.outBuffKind, IMG_FLT_MEMAREA_ORGN) << "in place";
  EXPECT_EQ(test::GetLE32(t.buffer.data() + 4), 1700u);
  EXPECT_EQ(test::GetLE32(t.buffer.data() + 8), 2200u);
  EXPECT_EQ(test::GetLE32(t.buffer.data() + 24), 7874u) << "(200 * 10000 + 127) / 254";
  EXPECT_EQ(test::GetLE32(t.buffer.data() + 28), 7874u);
}

TEST(GeometryResolution, ResampleMatchesReference) {
  for (uint8_t bits : {8, 24})
    for (auto [nw, nh] : {std::pair{97u, 61u}, {50u, 30u}, {13u, 61u}, {1u, 1u}, {100u, 61u}}) {
      ImageBuffer fast = Random(100, 61, static_cast<uint8_t>(bits), nw), slow = Random(100, 61, static_cast<uint8_t>(bits), nw);
      ImageView a = fast.View(), b = slow.View();
      ASSERT_EQ(ResampleInPlace(a, nw, nh), 0);
      ASSERT_EQ(reference::ResampleInPlace(b, nw, nh), 0);
      EXPECT_EQ(Diff(a, b), "") << int(bits) << " bit to " << nw << "x" << nh;
    }
}

TEST(GeometryResolution, RefusalsAndTheirCodes) {
  struct Case {
    uint8_t bits;
    uint32_t dpi, dpiX, dpiY, strength;
    int32_t rc;
  } cases[] = {
      {1, 200, 300, 300, 0, IMG_FLT_ERR_CHGRESOLUTION}, {4, 200, 300, 300, 0, IMG_FLT_ERR_CHGRESOLUTION},
      {8, 400, 300, 300, 0, IMG_FLT_ERR_CHGRESOLUTION}, {8, 250, 300, 200, 0, IMG_FLT_ERR_CHGRESOLUTION},
      {8, 0, 300, 300, 0, IMG_FLT_ERR_UNSUPPORTED},    {24, 200, 300, 300, 4, IMG_FLT_ERR_UNSUPPORTED},
      {8, 1, 300, 300, 0, IMG_FLT_ERR_UNSUPPORTED},    {24, 300, 300, 300, 0, 0},
  };
  for (const Case& c : cases) {
    test::TestImage t = test::MakeImage(100, 100, c.bits, false, c.dpiX);
    t.inf.imgDpiY = c.dpiY;
    const std::vector<uint8_t> before = t.buffer;
    EXPECT_EQ(ChangeResolutionStep(t.inf, c.dpi, c.strength), c.rc) << int(c.bits) << " bit to " << c.dpi;
    if (c.rc != 0) {
      EXPECT_EQ(t.buffer, before) << "refused before any pixel changes";
    }
  }
}

TEST(GeometryResolution, FilterResolutionSmoothsByDistance) {
  // 600 -> 200: through 300 with strength 1, then 300 -> 200 with strength 2
  // (f = 300 is between e - d = 200 and 2 (e - d) = 400).
  test::TestImage t = test::MakeImage(120, 90, 24, false, 600);
  test::TestImage manual = t;
  manual.inf.pOrgImg = manual.buffer.data();
  ASSERT_EQ(ImgFltChangeFilterResolution(&t.inf, 200), 0);
  ASSERT_EQ(ChangeResolutionStep(manual.inf, 300, 1), 0);
  ASSERT_EQ(ChangeResolutionStep(manual.inf, 200, 2), 0);
  EXPECT_EQ(t.inf.dwWidth, 40u);
  EXPECT_EQ(t.buffer, manual.buffer);
  // 300 -> 290 is close to the source: the weakest kernel, 3.
  test::TestImage u = test::MakeImage(120, 90, 8, false, 300), v = u;
  v.inf.pOrgImg = v.buffer.data();
  ASSERT_EQ(ImgFltChangeFilterResolution(&u.inf, 290), 0);
  ASSERT_EQ(ChangeResolutionStep(v.inf, 290, 3), 0);
  EXPECT_EQ(u.buffer, v.buffer);
  // The same resolution: nothing, even for a depth that cannot be resampled.
  test::TestImage same = test::MakeImage(16, 16, 1, false, 300);
  const std::vector<uint8_t> before = same.buffer;
  EXPECT_EQ(ImgFltChangeFilterResolution(&same.inf, 300), 0);
  EXPECT_EQ(same.buffer, before);
  EXPECT_EQ(ImgFltChangeFilterResolution(nullptr, 300), IMG_FLT_ERR_UNSUPPORTED);
}

TEST(GeometrySmooth, KernelWeightsAndKeptBorder) {
  const uint32_t centre[3] = {68, 128, 192}, edge[3] = {31, 21, 11}, corner[3] = {16, 11, 5};
  for (uint32_t s = 1; s <= 3; ++s) {
    // A single bright pixel spreads exactly the kernel (times 255 / 256).
    ImageBuffer img = Blank(7, 7, 8);
    SetPixel(img.View(), 3, 3, 255);
    ASSERT_EQ(Smooth3x3(img.View(), s), 0);
    EXPECT_EQ(GetPixel(img.View(), 3, 3), centre[s - 1] * 255 / 256);
    EXPECT_EQ(GetPixel(img.View(), 3, 2), edge[s - 1] * 255 / 256);
    EXPECT_EQ(GetPixel(img.View(), 4, 4), corner[s - 1] * 255 / 256);
    EXPECT_EQ(GetPixel(img.View(), 1, 1), 0u);
  }
  // Border rows and columns stay; each channel of 24-bit is its own.
  ImageBuffer rgb = Random(9, 6, 24, 4);
  ImageBuffer before = Random(9, 6, 24, 4);
  ASSERT_EQ(Smooth3x3(rgb.View(), 2), 0);
  for (uint32_t x = 0; x < 9; ++x) {
    EXPECT_EQ(GetPixel(rgb.View(), x, 0), GetPixel(before.View(), x, 0));
    EXPECT_EQ(GetPixel(rgb.View(), x, 5), GetPixel(before.View(), x, 5));
  }
  for (uint32_t y = 0; y < 6; ++y) EXPECT_EQ(GetPixel(rgb.View(), 8, y), GetPixel(before.View(), 8, y));
  // Only unsmoothed values enter a sum: compare one interior byte by hand.
  const ImageView b = before.View();
  auto at = [&](uint32_t x, uint32_t y) { return uint32_t{b.Row(y)[x * 3 + 1]}; };
  const uint32_t sum = 128 * at(4, 3) + 21 * (at(4, 2) + at(4, 4) + at(3, 3) + at(5, 3)) +
                       11 * (at(3, 2) + at(5, 2) + at(3, 4) + at(5, 4));
  EXPECT_EQ(rgb.View().Row(3)[4 * 3 + 1], sum >> 8);
}

TEST(GeometrySmooth, ExportRefusesOtherDepthsAndStrengths) {
  test::TestImage t = test::MakeImage(8, 8, 8);
  EXPECT_EQ(ImgFltSmoothFilter3x3(&t.inf, 0), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(ImgFltSmoothFilter3x3(&t.inf, 4), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(ImgFltSmoothFilter3x3(&t.inf, 1), 0);
  test::TestImage one = test::MakeImage(8, 8, 1);
  EXPECT_EQ(ImgFltSmoothFilter3x3(&one.inf, 1), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(ImgFltSmoothFilter3x3(nullptr, 1), IMG_FLT_ERR_UNSUPPORTED);
}

// ---- Vertical scan ----

TEST(GeometryVerticalScan, RowsChosenAndInterpolated) {
  // 4 rows of 8 bit, values 0, 100, 200, 40 in every byte, scanned at 100 dpi.
  auto image = [](uint8_t bits) {
    test::TestImage t = test::MakeImage(8, 4, bits, false, 100);
    t.buffer.resize(t.buffer.size() * 3);  // room for the larger image
    t.inf.pOrgImg = t.buffer.data();
    const uint8_t values[4] = {0, 100, 200, 40};
    const uint32_t stride = test::Stride(8, bits);
    for (uint32_t y = 0; y < 4; ++y) std::memset(t.buffer.data() + y * stride, values[y], stride);
    return t;
  };
  // Method 1, 100 -> 150 dpi: 6 rows at p = 0, 2/3, 4/3, 2, 8/3, 10/3.
  test::TestImage m1 = image(8);
  ASSERT_EQ(ImgFltChangeResolutionVerticalScan(&m1.inf, 150, 1), 0);
  EXPECT_EQ(m1.inf.dwHeight, 6u);
  EXPECT_EQ(m1.inf.imgDpiY, 150u);
  EXPECT_EQ(m1.inf.imgDpiX, 100u);
  const uint8_t nearest[6] = {0, 100, 100, 200, 40, 40};
  for (uint32_t y = 0; y < 6; ++y) EXPECT_EQ(m1.Row(y)[3], nearest[y]) << "row " << y;
  // Method 2 interpolates: row 1 is 0 * (1024 - 682) / 1024 + 100 * 682 / 1024.
  test::TestImage m2 = image(8);
  ASSERT_EQ(ImgFltChangeResolutionVerticalScan(&m2.inf, 150, 2), 0);
  const uint8_t blended[6] = {0, 66, 133, 200, 93, 40};
  for (uint32_t y = 0; y < 6; ++y) EXPECT_EQ(m2.Row(y)[3], blended[y]) << "row " << y;
  // 4-bit: each nibble on its own (0x0F and 0x64 give 0x?? per nibble).
  test::TestImage n = image(4);
  n.Row(0)[0] = 0x0F;
  n.Row(1)[0] = 0x64;
  ASSERT_EQ(ImgFltChangeResolutionVerticalScan(&n.inf, 150, 2), 0);
  EXPECT_EQ(n.Row(1)[0], static_cast<uint8_t>((((6 * 682) / 1024) << 4) | ((15 * 342 + 4 * 682) / 1024)));
  // Removing rows: method 2 is method 1. 100 -> 50 dpi keeps rows 0 and 2.
  for (uint16_t method : {1, 2}) {
    test::TestImage s = image(8);
    ASSERT_EQ(ImgFltChangeResolutionVerticalScan(&s.inf, 50, method), 0);
    EXPECT_EQ(s.inf.dwHeight, 2u);
    EXPECT_EQ(s.Row(0)[0], 0);
    EXPECT_EQ(s.Row(1)[0], 200);
  }
}

TEST(GeometryVerticalScan, NothingAtTheSameResolutionAndBadArguments) {
  test::TestImage t = test::MakeImage(8, 4, 8, false, 100);
  const std::vector<uint8_t> before = t.buffer;
  EXPECT_EQ(ImgFltChangeResolutionVerticalScan(&t.inf, 100, 7), 0) << "same dpi: not even the method is read";
  EXPECT_EQ(t.buffer, before);
  EXPECT_EQ(ImgFltChangeResolutionVerticalScan(&t.inf, 50, 3), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(ImgFltChangeResolutionVerticalScan(&t.inf, 1, 1), IMG_FLT_ERR_UNSUPPORTED) << "no rows left";
  EXPECT_EQ(ImgFltChangeResolutionVerticalScan(nullptr, 50, 1), IMG_FLT_ERR_UNSUPPORTED);
}

TEST(GeometryVerticalScan, GrowsAShortResultBlock) {
  ImageBuffer src = Random(10, 10, 1, 3);
  ImageBuffer copy = Random(10, 10, 1, 3);
  HUX_IMG_INF inf = Describe(src);
  inf.imgDpiY = 100;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, src.View().Bytes());
  std::memcpy(GlobalLock(h), src.View().data, src.View().Bytes());
  GlobalUnlock(h);
  inf.hOutBuff = h;
  inf.outBuffKind = IMG_FLT_MEMAREA_NEW;
  ASSERT_EQ(ImgFltChangeResolutionVerticalScan(&inf, 300, 2), 0);
  EXPECT_EQ(inf.dwHeight, 30u);
  EXPECT_GE(GlobalSize(h), size_t{4} * 30);
  Result r(inf);
  for (uint32_t y = 0; y < 30; ++y)  // 1 bit: the nearest row
    for (uint32_t x = 0; x < 10; ++x) ASSERT_EQ(GetPixel(r.view, x, y), GetPixel(copy.View(), x, std::min(9u, (y + 1) / 3)));
  FreeResult(inf);
}

// ---- Scanning resolution ----

TEST(GeometryLcmScanDpi, Table) {
  struct Case {
    uint8_t model;
    uint32_t dpi, ratio, expected;
  } cases[] = {
      {SCANNER_MODEL_1, 150, 1000, 150},  // below the minimum: as asked
      {SCANNER_MODEL_6, 100, 1000, 100},
      {SCANNER_MODEL_6, 160, 500, 150},   // target 80: the model's minimum
      {SCANNER_MODEL_1, 200, 500, 200},
      {SCANNER_MODEL_1, 400, 2000, 600},  // target 800: capped
      {SCANNER_MODEL_1, 300, 1000, 301},  // lcm(301, 300) = 90300 is the largest near 300
      {SCANNER_MODEL_1, 200, 1000, 203},  // lcm(203, 200) = 40600 beats 201 and 199
  };
  for (const Case& c : cases)
    EXPECT_EQ(ImgFltGetLcmScanDpi(c.model, c.dpi, c.ratio), static_cast<int32_t>(c.expected))
        << "model " << int(c.model) << ", " << c.dpi << " dpi, ratio " << c.ratio;
}

}  // namespace
}  // namespace imgflt::geometry
