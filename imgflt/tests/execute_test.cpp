// The execute exports on real pixels: row order around the filters, the
// memory conventions (hOutBuff blocks, DIB headers, palettes, resolution),
// the multi-output entry, refusals before any pixel changes, and the steps
// whose families this build does not have.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures.h"
#include "interface/execute.h"
#include "interface/srgb.h"

namespace imgflt::test {
namespace {

// A W x H 8-bit page with a distinct value per pixel.
TestImage NumberedPage(uint32_t w, uint32_t h, bool dib = false) {
  TestImage t = MakeImage(w, h, 8, dib);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) t.Row(y)[x] = static_cast<uint8_t>(1 + y * w + x);
  return t;
}

// Rows (used bytes only) of an 8-bit image block.
std::vector<std::vector<uint8_t>> Rows8(const uint8_t* rows, uint32_t w, uint32_t h) {
  std::vector<std::vector<uint8_t>> out;
  for (uint32_t y = 0; y < h; ++y) out.emplace_back(rows + size_t{y} * Stride(w, 8), rows + size_t{y} * Stride(w, 8) + w);
  return out;
}

// The pixels of a result delivered in hOutBuff.
std::vector<std::vector<uint8_t>> ResultRows(const HUX_IMG_INF& inf) {
  EXPECT_EQ(inf.outBuffKind, IMG_FLT_MEMAREA_NEW);
  auto* base = static_cast<uint8_t*>(GlobalLock(inf.hOutBuff));
  EXPECT_NE(base, nullptr);
  uint32_t prefix = inf.dataDIB == IMG_FLT_ON ? 40 + 1024 : 0;
  auto rows = Rows8(base + prefix, inf.dwWidth, inf.dwHeight);
  GlobalUnlock(inf.hOutBuff);
  return rows;
}

TEST(Execute, QuarterTurnRespectsTheCallersRowOrder) {
  const uint32_t w = 5, h = 3;
  TestImage page = NumberedPage(w, h);
  auto P = Rows8(page.Rows(), w, h);
  // A 90-degree turn makes output row j from page column W-1-j, top to bottom.
  std::vector<std::vector<uint8_t>> turned(w, std::vector<uint8_t>(h));
  for (uint32_t j = 0; j < w; ++j)
    for (uint32_t i = 0; i < h; ++i) turned[j][i] = P[i][w - 1 - j];

  for (bool turnover : {false, true}) {
    SCOPED_TRACE(turnover ? "rows bottom-up" : "rows top-down");
    TestImage t = NumberedPage(w, h);
    if (turnover) {
      for (uint32_t y = 0; y < h; ++y) std::memcpy(t.Row(y), P[h - 1 - y].data(), w);
      t.inf.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;
    }
    HUX_IMG_FILTER_PARAM prm = NothingRecord();
    prm.rotAngle = 9000;
    ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
    EXPECT_EQ(t.inf.dataUpDown, turnover ? IMG_FLT_UPDOWN_TURNOVER : IMG_FLT_UPDOWN_NORMAL);
    ASSERT_EQ(t.inf.dwWidth, h);
    ASSERT_EQ(t.inf.dwHeight, w);
    auto got = ResultRows(t.inf);
    if (turnover) std::reverse(got.begin(), got.end());
    EXPECT_EQ(got, turned);
    EXPECT_EQ(GlobalFree(t.inf.hOutBuff), nullptr);
  }
}

TEST(Execute, InPlaceStepsKeepTheResultInTheCallersBuffer) {
  TestImage t = NumberedPage(6, 4);
  auto before = Rows8(t.Rows(), 6, 4);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.invert = IMG_FLT_ON;
  prm.flip_H = IMG_FLT_ON;
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  EXPECT_EQ(t.inf.outBuffKind, IMG_FLT_MEMAREA_ORGN);
  auto after = Rows8(t.Rows(), 6, 4);
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 6; ++x) EXPECT_EQ(after[y][x], static_cast<uint8_t>(~before[y][5 - x]));
}

TEST(Execute, RotatedDibGetsAFreshHeaderAndPaletteInHOutBuff) {
  TestImage t = NumberedPage(30, 10, true);
  t.inf.imgDpiX = 200;
  t.inf.imgDpiY = 300;
  // A palette of our own, to see that the result keeps it.
  for (int i = 0; i < 256; ++i) t.buffer[40 + 4 * i + 3] = static_cast<uint8_t>(255 - i);
  const std::vector<uint8_t> original = t.buffer;
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.rotAngle = 27000;
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  EXPECT_EQ(t.buffer, original) << "the caller's block is left alone";
  ASSERT_EQ(t.inf.outBuffKind, IMG_FLT_MEMAREA_NEW);
  EXPECT_EQ(t.inf.dwWidth, 10u);
  EXPECT_EQ(t.inf.dwHeight, 30u);
  EXPECT_EQ(t.inf.imgDpiX, 300u);
  EXPECT_EQ(t.inf.imgDpiY, 200u);
  ASSERT_GE(GlobalSize(t.inf.hOutBuff), size_t{40 + 1024 + 12 * 30});
  auto* dib = static_cast<uint8_t*>(GlobalLock(t.inf.hOutBuff));
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(GetLE32(dib), 40u);
  EXPECT_EQ(GetLE32(dib + 4), 10u);
  EXPECT_EQ(GetLE32(dib + 8), 30u);
  EXPECT_EQ(dib[14], 8);
  EXPECT_EQ(GetLE32(dib + 24), (300u * 10000 + 127) / 254);  // pixels per metre
  EXPECT_EQ(GetLE32(dib + 28), (200u * 10000 + 127) / 254);
  EXPECT_EQ(std::memcmp(dib + 40, original.data() + 40, 1024), 0);
  GlobalUnlock(t.inf.hOutBuff);
  EXPECT_EQ(GlobalFree(t.inf.hOutBuff), nullptr) << "the caller frees the result";
}

TEST(Execute, ResolutionChangeUpdatesSizeAndHeader) {
  TestImage t = NumberedPage(40, 20, true);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.chgResolution = 100;
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  EXPECT_EQ(t.inf.outBuffKind, IMG_FLT_MEMAREA_ORGN);
  EXPECT_EQ(t.inf.dwWidth, 20u);
  EXPECT_EQ(t.inf.dwHeight, 10u);
  EXPECT_EQ(t.inf.imgDpiX, 100u);
  EXPECT_EQ(GetLE32(t.buffer.data() + 4), 20u);
  EXPECT_EQ(GetLE32(t.buffer.data() + 8), 10u);
  EXPECT_EQ(GetLE32(t.buffer.data() + 24), 3937u);
}

TEST(Execute, RefusedRecordChangesNoPixel) {
  for (bool turnover : {false, true}) {
    SCOPED_TRACE(turnover ? "bottom-up" : "top-down");
    TestImage t = MakeImage(33, 7, 4);
    if (turnover) t.inf.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;
    const std::vector<uint8_t> original = t.buffer;
    HUX_IMG_FILTER_PARAM prm = NothingRecord();
    prm.binaryMode = IMG_FLT_HALFTONE;
    prm.invert = IMG_FLT_ON;
    EXPECT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), IMG_FLT_ERR_HALFTONE);
    EXPECT_EQ(t.buffer, original);
    prm.binaryMode = IMG_FLT_THRESHOLD;
    EXPECT_EQ(ExportCheckParam(&t.inf, &prm, IMG_FLT_MASK_EXECUTE), 0) << "fixed threshold is accepted";
  }
}

TEST(Execute, StepsOfFamiliesNotInThisBuildRefuseTheRecord) {
  using Ask = std::function<void(TestImage&, HUX_IMG_FILTER_PARAM&)>;
  struct Case {
    const char* name;
    uint8_t bits;
    Ask ask;
  } cases[] = {
      {"threshold", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_THRESHOLD; }},
      {"sub-areas", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea1.enable = IMG_FLT_ON;
       }},
      {"tone", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.gamma = IMG_FLT_GAMMA_STD; }},
      {"white level", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.whiteLevel = IMG_FLT_ON; }},
      {"saturation", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.saturation = 20; }},
      {"mtf", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.mtf = IMG_FLT_MTF_LOW; }},
      {"colour to grey", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.colortoGray = IMG_FLT_BITSPIXEL8; }},
      {"noise", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.noise_matrix = 2; }},
      {"background", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.backUniform = 1; }},
      {"border removal", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.autoBdrRmvl2 = IMG_FLT_ON; }},
      {"punch holes", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.holeRemoval = IMG_FLT_ON; }},
      {"margin fill", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.marginFill = IMG_FLT_ON; }},
      {"overlay", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.superImpose.string = "A"; }},
      {"orientation", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.autoOrientation = IMG_FLT_ON; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestImage t = MakeImage(400, 50, c.bits, false, 200);
    HUX_IMG_FILTER_PARAM prm = NothingRecord();
    c.ask(t, prm);
    EXPECT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), IMG_FLT_ERR_UNSUPPORTED);
  }
}

TEST(Execute, NullAndUnaddressableArgumentsAreRefused) {
  TestImage t = MakeImage(8, 8, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  EXPECT_EQ(HUX_ImgFlt_Execute(nullptr, &prm), 12);
  EXPECT_EQ(HUX_ImgFlt_Execute(&t.inf, nullptr), 12);
  HGLOBAL small = GlobalAlloc(GHND, 63);
  t.inf.outBuffKind = IMG_FLT_MEMAREA_NEW;
  t.inf.hOutBuff = small;
  t.inf.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;
  prm.invert = IMG_FLT_ON;
  EXPECT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 12);
  EXPECT_EQ(t.inf.hOutBuff, small) << "a refused claim is left to its owner";
  GlobalFree(small);
}

TEST(ReversUpBottom, SwapsRowsOfTheCurrentImage) {
  for (uint32_t h : {1u, 2u, 5u}) {
    SCOPED_TRACE(h);
    TestImage t = NumberedPage(3, h, true);
    auto before = Rows8(t.Rows(), 3, h);
    ASSERT_EQ(ImgFltReversUpBottom(&t.inf), 0);
    auto after = Rows8(t.Rows(), 3, h);
    std::reverse(before.begin(), before.end());
    EXPECT_EQ(after, before);
  }
  // An image that lives in hOutBuff is reversed there.
  TestImage t = NumberedPage(3, 2);
  HGLOBAL h = GlobalAlloc(GHND, 8);
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  std::memcpy(p, "abc\0def\0", 8);
  GlobalUnlock(h);
  t.inf.outBuffKind = IMG_FLT_MEMAREA_NEW;
  t.inf.hOutBuff = h;
  ASSERT_EQ(ImgFltReversUpBottom(&t.inf), 0);
  p = static_cast<uint8_t*>(GlobalLock(h));
  EXPECT_EQ(std::memcmp(p, "def\0abc\0", 8), 0);
  GlobalUnlock(h);
  GlobalFree(h);
  EXPECT_EQ(ImgFltReversUpBottom(nullptr), 12);
}

TEST(ExecuteMulti, EveryOutputIsAHandleEvenWhenNothingChangedItsSize) {
  for (bool turnover : {false, true}) {
    SCOPED_TRACE(turnover ? "bottom-up" : "top-down");
    TestImage src = NumberedPage(7, 5, true);
    if (turnover) src.inf.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;
    const std::vector<uint8_t> original = src.buffer;
    HUX_IMG_FILTER_PARAM plain = NothingRecord(), inverted = NothingRecord(), turned = NothingRecord();
    inverted.invert = IMG_FLT_ON;
    turned.rotAngle = 18000;
    HUX_IMG_FILTER_PARAM* prms[] = {&plain, &inverted, &turned};
    HUX_IMG_INF outs[3];
    std::memset(outs, 0xAB, sizeof outs);
    ASSERT_EQ(HUX_ImgFlt_Execute_Multi(&src.inf, prms, nullptr, outs, 3), 0);
    EXPECT_EQ(src.buffer, original);
    auto srcRows = Rows8(src.Rows(), 7, 5);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(outs[i].outBuffKind, IMG_FLT_MEMAREA_NEW);
      EXPECT_EQ(outs[i].pOrgImg, nullptr);
      EXPECT_EQ(outs[i].dataUpDown, src.inf.dataUpDown);
      EXPECT_EQ(outs[i].reserved32[0], src.inf.reserved32[0]);
      ASSERT_NE(outs[i].hOutBuff, nullptr);
      auto rows = ResultRows(outs[i]);
      for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 7; ++x) {
          uint8_t expected = i == 0 ? srcRows[y][x]
                             : i == 1 ? static_cast<uint8_t>(~srcRows[y][x])
                                      : srcRows[4 - y][6 - x];
          ASSERT_EQ(rows[y][x], expected) << x << "," << y;
        }
      EXPECT_EQ(GlobalFree(outs[i].hOutBuff), nullptr);
    }
  }
}

TEST(ExecuteMulti, SharedGeometryRunsOnceOnTheSource) {
  TestImage src = NumberedPage(40, 20);
  HUX_IMG_FILTER_PARAM first = NothingRecord(), second = NothingRecord();
  first.chgResolution = 100;  // shared: the source is resampled once
  first.flip_H = IMG_FLT_ON;  // per output
  second.chgResolution = 50;  // per output: not a step of the outputs
  HUX_IMG_FILTER_PARAM* prms[] = {&first, &second};
  HUX_IMG_INF outs[2]{};
  ASSERT_EQ(HUX_ImgFlt_Execute_Multi(&src.inf, prms, nullptr, outs, 2), 0);
  EXPECT_EQ(src.inf.dwWidth, 20u);
  for (const HUX_IMG_INF& o : outs) {
    EXPECT_EQ(o.dwWidth, 20u);
    EXPECT_EQ(o.imgDpiX, 100u);
  }
  auto a = ResultRows(outs[0]), b = ResultRows(outs[1]);
  for (uint32_t y = 0; y < 10; ++y)
    for (uint32_t x = 0; x < 20; ++x) EXPECT_EQ(a[y][x], b[y][19 - x]);
  for (const HUX_IMG_INF& o : outs) GlobalFree(o.hOutBuff);
}

TEST(ExecuteMulti, ColourJudgementIsRefusedBeforeAnyWork) {
  TestImage src = NumberedPage(7, 5);
  src.inf.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;
  const std::vector<uint8_t> original = src.buffer;
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  CIM_INFO plain{}, judge{};
  judge.mngKind = COLOR_JUDGE_CONVERT;
  HUX_IMG_FILTER_PARAM* prms[] = {&prm, &prm};
  CIM_INFO* cims[] = {&plain, &judge};
  HUX_IMG_INF outs[2];
  std::memset(outs, 0xCD, sizeof outs);
  EXPECT_EQ(HUX_ImgFlt_Execute_Multi(&src.inf, prms, cims, outs, 2), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(src.buffer, original);
  for (const HUX_IMG_INF& o : outs) {
    EXPECT_EQ(o.pOrgImg, nullptr);
    EXPECT_EQ(o.hOutBuff, nullptr);
  }
}

TEST(ExecuteMulti, AFailingOutputFreesEveryOutput) {
  TestImage src = NumberedPage(7, 5);
  HUX_IMG_FILTER_PARAM ok = NothingRecord(), failing = NothingRecord();
  failing.flip_H = IMG_FLT_ON;
  HUX_IMG_FILTER_PARAM* prms[] = {&ok, &ok, &failing};
  HUX_IMG_INF outs[3]{};
  RecordingSteps steps;
  HGLOBAL firstOutput = nullptr;
  steps.failAt = Step::Mirror;
  steps.failCode = IMG_FLT_ERR_MEMORY;
  steps.act = [&](Step step, StepCall&) {
    if (step == Step::Mirror) firstOutput = outs[0].hOutBuff;
  };
  EXPECT_EQ(ExecuteMulti(&src.inf, prms, nullptr, outs, 3, steps), IMG_FLT_ERR_MEMORY);
  ASSERT_NE(firstOutput, nullptr);
  EXPECT_EQ(GlobalSize(firstOutput), 0u) << "freed (no longer a known handle)";
  for (const HUX_IMG_INF& o : outs) {
    EXPECT_EQ(o.pOrgImg, nullptr);
    EXPECT_EQ(o.hOutBuff, nullptr);
  }
}

TEST(ExecuteMulti, MasksOfTheSourceAndTheOutputs) {
  TestImage src = NumberedPage(50, 20);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.deskew = IMG_FLT_ON;
  prm.crop = IMG_FLT_ON;
  prm.chgResolution = 100;
  prm.invert = IMG_FLT_ON;
  HUX_IMG_FILTER_PARAM* prms[] = {&prm, &prm};
  HUX_IMG_INF outs[2]{};
  RecordingSteps steps;
  ASSERT_EQ(ExecuteMulti(&src.inf, prms, nullptr, outs, 2, steps), 0);
  EXPECT_EQ(steps.Steps(), (std::vector<Step>{Step::Deskew, Step::Crop, Step::ChangeResolution, Step::Invert,
                                               Step::Invert}));
  for (const HUX_IMG_INF& o : outs) GlobalFree(o.hOutBuff);
  EXPECT_EQ(HUX_ImgFlt_Execute_Multi(&src.inf, nullptr, nullptr, nullptr, 0), 0);
  EXPECT_EQ(HUX_ImgFlt_Execute_Multi(&src.inf, prms, nullptr, nullptr, 2), 12);
  EXPECT_EQ(HUX_ImgFlt_Execute_Multi(nullptr, prms, nullptr, outs, 2), 12);
}

TEST(Srgb, DecodingTableAndItsUse) {
  const auto& table = SrgbDecodeTable();
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[10], 1);     // linear segment: 255 * (10/255) / 12.92
  EXPECT_EQ(table[128], 55);   // 255 * ((128/255 + 0.055) / 1.055)^2.4
  EXPECT_EQ(table[255], 255);
  for (int i = 1; i < 256; ++i) EXPECT_LE(table[i - 1], table[i]);
  TestImage t = MakeImage(5, 2, 24);
  const std::vector<uint8_t> before = t.buffer;
  ASSERT_EQ(SrgbDecode(t.inf), 0);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 15; ++x) EXPECT_EQ(t.Row(y)[x], table[before[y * 16 + x]]);
  TestImage one = MakeImage(5, 2, 1);
  EXPECT_EQ(SrgbDecode(one.inf), 12);
}

}  // namespace
}  // namespace imgflt::test
