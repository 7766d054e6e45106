// The pipeline's order, mask bits, version gates and temporary record values,
// watched through a recording step runner (no filter touches a pixel).
#include <gtest/gtest.h>

#include <functional>

#include "fixtures.h"
#include "interface/pipeline.h"

namespace imgflt::test {
namespace {

// Every step but the colour/monochrome decision, which needs its context.
constexpr uint32_t kAll = 0xFFFFFF & ~IMG_FLT_STEP_DISTIN_CLBW;

struct Scene {
  TestImage image = MakeImage(400, 300, 8, false, 200);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  CIM_INFO cim{};
  RecordingSteps steps;

  int32_t Run(uint32_t mask, CIM_INFO* withCim = nullptr, ClbwContext* clbw = nullptr) {
    PipelineRun run{&image.inf, &prm, withCim, clbw, mask};
    return RunPipeline(run, steps);
  }
};

// An 8-bit page asking for every step an 8-bit page may have.
void EveryGreyStep(Scene& s) {
  HUX_IMG_FILTER_PARAM& p = s.prm;
  p.deskew = IMG_FLT_ON;
  p.crop = IMG_FLT_ON;
  p.autoOrientation = IMG_FLT_ON;
  p.chgResolution = 100;
  s.cim.mngKind = COLOR_CONVERT;
  p.backUniform = 4;
  p.whiteLevel = IMG_FLT_ON;
  p.mtf = IMG_FLT_MTF_LOW;
  p.colortoGray = IMG_FLT_BITSPIXEL8;
  p.gamma = IMG_FLT_GAMMA_STD;
  p.autoBdrRmvl2 = IMG_FLT_ON;
  p.holeRemoval = IMG_FLT_ON;
  p.marginFill = IMG_FLT_ON;
  p.invert = IMG_FLT_ON;
  p.flip_H = IMG_FLT_ON;
  p.superImpose.string = "Page 1";
  p.rotAngle = 9000;
}

// A 24-bit page that is thresholded, with the colour-only steps.
void ThresholdedColour(Scene& s) {
  s.image = MakeImage(400, 300, 24, false, 200);
  HUX_IMG_FILTER_PARAM& p = s.prm;
  p.saturation = 12;
  p.mtf = IMG_FLT_MTF_HIGH;
  p.binaryMode = IMG_FLT_THRESHOLD;
  p.sRGB = IMG_FLT_ON;
  p.contrast = 20;
  p.noise_matrix = 2;
  p.invert = IMG_FLT_ON;
}

void SubAreas(Scene& s) {
  s.prm.binaryMode = IMG_FLT_THRESHOLD;
  s.prm.gamma = IMG_FLT_GAMMA_STD;
  s.prm.sRGB = IMG_FLT_ON;
  s.prm.subArea2.enable = IMG_FLT_ON;
  s.prm.subArea2.binaryMode = IMG_FLT_HALFTONE;
}

TEST(PipelineOrder, StepsRunInTheirFixedOrder) {
  struct Case {
    const char* name;
    std::function<void(Scene&)> setup;
    std::vector<Step> expected;
  } cases[] = {
      {"grey page, every step",
       EveryGreyStep,
       {Step::Deskew, Step::Crop, Step::Orientation, Step::ChangeResolution, Step::ColorManagement,
        Step::BackUniformTwo, Step::WhiteLevel, Step::ColorToGray, Step::Mtf, Step::Tone, Step::BorderRemoval,
        Step::HoleRemoval, Step::MarginFill, Step::Invert, Step::Mirror, Step::Overlay, Step::Rotate}},
      {"thresholded colour page",
       ThresholdedColour,
       {Step::Saturation, Step::ColorToGray, Step::Mtf, Step::Srgb, Step::Tone, Step::Binarize, Step::Noise,
        Step::Invert}},
      {"sub-areas do the whole binarization step", SubAreas, {Step::SubAreaBinarize}},
      {"nothing asked", [](Scene&) {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene s;
    c.setup(s);
    ASSERT_EQ(s.Run(kAll, &s.cim), 0);
    EXPECT_EQ(s.steps.Steps(), c.expected);
  }
}

TEST(PipelineOrder, EachMaskBitGatesItsStep) {
  struct Case {
    uint32_t bit;
    Step step;
  } cases[] = {
      {IMG_FLT_STEP_DESKEW, Step::Deskew},          {IMG_FLT_STEP_CROP, Step::Crop},
      {IMG_FLT_STEP_ORIENTATION, Step::Orientation}, {IMG_FLT_STEP_CHGRESOLUTION, Step::ChangeResolution},
      {IMG_FLT_STEP_COLORMNG, Step::ColorManagement}, {IMG_FLT_STEP_BACKUNIFORM, Step::BackUniformTwo},
      {IMG_FLT_STEP_WHITELEVEL, Step::WhiteLevel},  {IMG_FLT_STEP_COLORTOGRAY, Step::ColorToGray},
      {IMG_FLT_STEP_MTF, Step::Mtf},                {IMG_FLT_STEP_BORDER, Step::BorderRemoval},
      {IMG_FLT_STEP_HOLEREMOVAL, Step::HoleRemoval}, {IMG_FLT_STEP_MARGINFILL, Step::MarginFill},
      {IMG_FLT_STEP_INVERT, Step::Invert},          {IMG_FLT_STEP_MIRROR, Step::Mirror},
      {IMG_FLT_STEP_OVERLAY, Step::Overlay},        {IMG_FLT_STEP_ROTATION, Step::Rotate},
  };
  Scene all;
  EveryGreyStep(all);
  ASSERT_EQ(all.Run(kAll, &all.cim), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(StepName(c.step));
    Scene s;
    EveryGreyStep(s);
    ASSERT_EQ(s.Run(kAll & ~c.bit, &s.cim), 0);
    std::vector<Step> expected;
    for (Step step : all.steps.Steps())
      if (step != c.step) expected.push_back(step);
    EXPECT_EQ(s.steps.Steps(), expected);
  }
}

TEST(PipelineOrder, FirstFailingStepEndsTheRun) {
  Scene s;
  EveryGreyStep(s);
  s.steps.failAt = Step::Invert;
  s.steps.failCode = IMG_FLT_ERR_INVERT;
  EXPECT_EQ(s.Run(kAll, &s.cim), IMG_FLT_ERR_INVERT);
  EXPECT_EQ(s.steps.Steps().back(), Step::Invert);
  EXPECT_FALSE(s.steps.Ran(Step::Rotate));
}

TEST(PipelineOrder, RefusedRecordRunsNoStep) {
  Scene s;
  EveryGreyStep(s);
  s.image = MakeImage(400, 300, 4);
  s.prm.colortoGray = IMG_FLT_OFF;
  s.prm.binaryMode = IMG_FLT_HALFTONE;
  EXPECT_EQ(s.Run(kAll, &s.cim), IMG_FLT_ERR_HALFTONE);
  EXPECT_TRUE(s.steps.calls.empty());
}

TEST(PipelineVersions, OldRecordLosesLaterFieldsAndGatedSteps) {
  Scene s;
  EveryGreyStep(s);
  s.prm.verNo = 1;
  s.prm.fixedPosition = IMG_FLT_FIXED_RIGHT;
  s.prm.contrast = 30;
  ASSERT_EQ(s.Run(kAll, &s.cim), 0);
  EXPECT_EQ(s.prm.fixedPosition, IMG_FLT_FIXED_CENTER);
  EXPECT_EQ(s.prm.contrast, 0);
  for (Step gated : {Step::Rotate, Step::ChangeResolution, Step::BackUniform, Step::BackUniformTwo, Step::Overlay,
                     Step::HoleRemoval, Step::Orientation, Step::ColorManagement, Step::MarginFill,
                     Step::BorderRemoval})
    EXPECT_FALSE(s.steps.Ran(gated)) << StepName(gated);
  EXPECT_TRUE(s.steps.Ran(Step::Deskew));
  EXPECT_TRUE(s.steps.Ran(Step::Invert));
}

TEST(PipelineVersions, EachGateOpensAtItsVersion) {
  struct Case {
    const char* name;
    std::function<void(HUX_IMG_FILTER_PARAM&)> ask;
    uint16_t first;  // first version that runs it
    Step step;
  } cases[] = {
      {"rotation", [](HUX_IMG_FILTER_PARAM& p) { p.rotAngle = 9000; }, 5, Step::Rotate},
      {"resolution", [](HUX_IMG_FILTER_PARAM& p) { p.chgResolution = 100; }, 6, Step::ChangeResolution},
      {"background", [](HUX_IMG_FILTER_PARAM& p) { p.backUniform = 1; }, 6, Step::BackUniform},
      {"two-level background", [](HUX_IMG_FILTER_PARAM& p) { p.backUniform = 4; }, 9, Step::BackUniformTwo},
      {"overlay", [](HUX_IMG_FILTER_PARAM& p) { p.superImpose.string = "x"; }, 7, Step::Overlay},
      {"holes", [](HUX_IMG_FILTER_PARAM& p) { p.holeRemoval = IMG_FLT_ON; }, 7, Step::HoleRemoval},
      {"orientation", [](HUX_IMG_FILTER_PARAM& p) { p.autoOrientation = IMG_FLT_ON; }, 9, Step::Orientation},
      {"margin fill", [](HUX_IMG_FILTER_PARAM& p) { p.marginFill = IMG_FLT_ON; }, 9, Step::MarginFill},
      {"border removal 2", [](HUX_IMG_FILTER_PARAM& p) { p.autoBdrRmvl2 = IMG_FLT_ON; }, 9, Step::BorderRemoval},
      // The old switches work only before version 9.
      {"old margin", [](HUX_IMG_FILTER_PARAM& p) { p.borderInterval = 5; }, 0, Step::MarginFill},
      {"old border removal", [](HUX_IMG_FILTER_PARAM& p) { p.autoBdrRmvl = IMG_FLT_ON; }, 0, Step::BorderRemoval},
  };
  for (const Case& c : cases) {
    for (uint16_t ver = 0; ver <= 9; ++ver) {
      SCOPED_TRACE(std::string(c.name) + " at version " + std::to_string(ver));
      Scene s;
      s.prm.verNo = ver;
      c.ask(s.prm);
      s.cim.mngKind = COLOR_NONE;
      ASSERT_EQ(s.Run(kAll), 0);
      bool old = c.first == 0;
      bool expected = old ? ver < 9 : ver >= c.first;
      EXPECT_EQ(s.steps.Ran(c.step), expected);
    }
  }
  // Version 6 to 8 take any backUniform as the one-level variant.
  Scene s;
  s.prm.verNo = 8;
  s.prm.backUniform = 4;
  ASSERT_EQ(s.Run(kAll), 0);
  EXPECT_EQ(s.steps.Steps(), std::vector<Step>{Step::BackUniform});
}

TEST(PipelineRotation, DetectedAngleAddsAndFullTurnReducesToNothing) {
  struct Case {
    uint16_t rotAngle;
    uint16_t detected;  // written by the orientation step
    uint8_t autoOrientation;
    uint32_t expected;  // 0: no rotation
  } cases[] = {
      {27000, 9000, IMG_FLT_ON, 0},     {27000, 18000, IMG_FLT_ON, 9000}, {9000, 0xFFFF, IMG_FLT_ON, 9000},
      {9000, 9000, IMG_FLT_OFF, 9000},  {0, 27000, IMG_FLT_ON, 27000},    {35999, 1, IMG_FLT_ON, 0},
      {0, 0, IMG_FLT_ON, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rotAngle) + " + " + std::to_string(c.detected));
    Scene s;
    s.prm.rotAngle = c.rotAngle;
    s.prm.autoOrientation = c.autoOrientation;
    uint16_t detected = c.detected;
    s.steps.act = [detected](Step step, StepCall& call) {
      if (step == Step::Orientation) call.prm.detectedAngle = detected;
    };
    s.prm.detectedAngle = c.autoOrientation == IMG_FLT_ON ? 0xFFFF : c.detected;
    ASSERT_EQ(s.Run(kAll), 0);
    const Seen* rotate = s.steps.Find(Step::Rotate);
    if (c.expected == 0) {
      EXPECT_EQ(rotate, nullptr);
    } else {
      ASSERT_NE(rotate, nullptr);
      EXPECT_EQ(rotate->angle, c.expected);
    }
  }
}

TEST(PipelineWhiteLevel, NarrowPageIsSkippedWithoutError) {
  // 300 dpi: 20.1 mm is 300 * 201 / 254 = 237 pixels.
  struct Case {
    uint32_t width;
    bool runs;
  } cases[] = {{236, false}, {237, true}, {2480, true}, {1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    Scene s;
    s.image = MakeImage(c.width, 20, 8, false, 300);
    s.prm.whiteLevel = IMG_FLT_ON;
    ASSERT_EQ(s.Run(kAll), 0);
    EXPECT_EQ(s.steps.Ran(Step::WhiteLevel), c.runs);
  }
}

TEST(PipelineMtf, PostponedOntoGreyAndColortoGrayRestored) {
  struct Case {
    const char* name;
    uint8_t bits;
    uint8_t colortoGray;
    uint8_t binaryMode;
    std::vector<Step> expected;
    uint8_t grayDuringStep11;  // colortoGray the grey conversion saw
    uint8_t bitsAtMtf;
  } cases[] = {
      {"colour page kept colour", 24, IMG_FLT_OFF, IMG_FLT_BINARY_OFF, {Step::Mtf}, 0, 24},
      {"thresholded colour page", 24, IMG_FLT_OFF, IMG_FLT_THRESHOLD,
       {Step::ColorToGray, Step::Mtf, Step::Binarize}, IMG_FLT_BITSPIXEL8, 8},
      {"colour page made grey", 24, IMG_FLT_BITSPIXEL8, IMG_FLT_BINARY_OFF, {Step::ColorToGray, Step::Mtf},
       IMG_FLT_BITSPIXEL8, 8},
      {"grey page", 8, IMG_FLT_OFF, IMG_FLT_BINARY_OFF, {Step::Mtf}, 0, 8},
      {"grey page thresholded", 8, IMG_FLT_OFF, IMG_FLT_THRESHOLD, {Step::Mtf, Step::Binarize}, 0, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scene s;
    s.image = MakeImage(64, 32, c.bits);
    s.prm.mtf = IMG_FLT_MTF_MEDIUM;
    s.prm.colortoGray = c.colortoGray;
    s.prm.binaryMode = c.binaryMode;
    s.steps.act = [](Step step, StepCall& call) {
      if (step == Step::ColorToGray) call.img.bitsPixel = 8;  // what the conversion does
    };
    ASSERT_EQ(s.Run(kAll), 0);
    EXPECT_EQ(s.steps.Steps(), c.expected);
    if (const Seen* gray = s.steps.Find(Step::ColorToGray)) {
      EXPECT_EQ(gray->colortoGray, c.grayDuringStep11);
    }
    EXPECT_EQ(s.steps.Find(Step::Mtf)->bitsPixel, c.bitsAtMtf);
    EXPECT_EQ(s.prm.colortoGray, c.colortoGray);
  }
}

TEST(PipelineMtf, TemporaryGrayIsRestoredWhenTheConversionFails) {
  Scene s;
  s.image = MakeImage(64, 32, 24);
  s.prm.mtf = IMG_FLT_MTF_LOW;
  s.prm.binaryMode = IMG_FLT_THRESHOLD;
  s.steps.failAt = Step::ColorToGray;
  s.steps.failCode = IMG_FLT_ERR_UNSUPPORTED;
  EXPECT_EQ(s.Run(kAll), IMG_FLT_ERR_UNSUPPORTED);
  EXPECT_EQ(s.prm.colortoGray, IMG_FLT_OFF);
  EXPECT_FALSE(s.steps.Ran(Step::Mtf));
}

TEST(PipelineTone, ThresholdLikeModesGetContrastOnly) {
  struct Case {
    uint8_t binaryMode;
    bool contrastOnly;
  } cases[] = {{IMG_FLT_THRESHOLD, true},  {IMG_FLT_DTH, true},         {IMG_FLT_ASEPARATION, true},
               {IMG_FLT_HALFTONE, false}, {IMG_FLT_BINARY_OFF, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.binaryMode));
    Scene s;
    s.prm.binaryMode = c.binaryMode;
    s.prm.gamma = IMG_FLT_GAMMA_CRT;
    s.prm.bright = 40;
    s.prm.contrast = -20;
    ASSERT_EQ(s.Run(kAll), 0);
    const Seen* tone = s.steps.Find(Step::Tone);
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(tone->gamma, c.contrastOnly ? IMG_FLT_GAMMA_OFF : IMG_FLT_GAMMA_CRT);
    EXPECT_EQ(tone->bright, c.contrastOnly ? 0 : 40);
    EXPECT_EQ(tone->contrast, -20);
    EXPECT_EQ(s.prm.gamma, IMG_FLT_GAMMA_CRT);
    EXPECT_EQ(s.prm.bright, 40);
  }
}

TEST(PipelineTone, NothingValuesDoNotRunTheToneStep) {
  for (int8_t v : {int8_t{0}, int8_t{-128}}) {
    Scene s;
    s.prm.bright = v;
    s.prm.contrast = v;
    ASSERT_EQ(s.Run(kAll), 0);
    EXPECT_FALSE(s.steps.Ran(Step::Tone));
  }
}

TEST(PipelineBlackLevel, RestoredAfterStepsTwelveToFourteenWhateverHappens) {
  for (bool fail : {false, true}) {
    SCOPED_TRACE(fail ? "noise fails" : "all pass");
    Scene s;
    s.prm.binaryMode = IMG_FLT_THRESHOLD;
    s.prm.noise_matrix = 3;
    s.prm.blackLevel = 77;
    s.steps.act = [](Step step, StepCall& call) {
      if (step == Step::Binarize) call.prm.blackLevel = 5;
    };
    if (fail) {
      s.steps.failAt = Step::Noise;
      s.steps.failCode = IMG_FLT_ERR_MEMORY;
    }
    EXPECT_EQ(s.Run(kAll), fail ? IMG_FLT_ERR_MEMORY : 0);
    EXPECT_EQ(s.prm.blackLevel, 77);
  }
}

TEST(PipelineClbw, MissingContextFailsAfterDeskewAndCrop) {
  Scene s;
  s.prm.deskew = IMG_FLT_ON;
  s.prm.crop = IMG_FLT_ON;
  EXPECT_EQ(s.Run(IMG_FLT_MASK_EXECUTE_CLBW), IMG_FLT_ERR_DISTIN);
  EXPECT_EQ(s.steps.Steps(), (std::vector<Step>{Step::Deskew, Step::Crop}));
}

TEST(PipelineClbw, DecisionSwitchesRecordAndCarriesGeometry) {
  for (bool monochrome : {false, true}) {
    SCOPED_TRACE(monochrome ? "monochrome" : "colour");
    Scene s;
    s.image = MakeImage(64, 32, 24);
    s.prm.deskew = IMG_FLT_ON;
    HUX_IMG_FILTER_PARAM mono = NothingRecord();
    HUX_IMG_FILTER_PARAM colour = NothingRecord();
    colour.flip_H = IMG_FLT_ON;
    mono.invert = IMG_FLT_ON;
    mono.binaryMode = IMG_FLT_THRESHOLD;
    int distin = 0, result = 0;
    ClbwContext ctx{&mono, &colour, &distin, &result};
    s.steps.act = [monochrome](Step step, StepCall& call) {
      if (step == Step::Deskew) {
        call.prm.deskewAngle = 0.05;
        call.prm.cropSquare.r = {40, 30};
      }
      if (step == Step::DistinClbw) call.monochrome = monochrome;
    };
    PipelineRun run{&s.image.inf, &s.prm, nullptr, &ctx, IMG_FLT_MASK_EXECUTE_CLBW};
    ASSERT_EQ(RunPipeline(run, s.steps), 0);
    HUX_IMG_FILTER_PARAM& used = monochrome ? mono : colour;
    EXPECT_EQ(run.prm, &used);
    EXPECT_DOUBLE_EQ(used.deskewAngle, 0.05);
    EXPECT_EQ(used.cropSquare.r.x, 40u);
    EXPECT_EQ(s.steps.Ran(Step::Mirror), !monochrome);
    EXPECT_EQ(s.steps.Ran(Step::Binarize), monochrome);
  }
}

TEST(PipelineClbw, SwitchedRecordIsCheckedAgain) {
  Scene s;
  s.image = MakeImage(64, 32, 24);
  HUX_IMG_FILTER_PARAM mono = NothingRecord();
  HUX_IMG_FILTER_PARAM colour = NothingRecord();
  colour.whiteLevel = IMG_FLT_ON;  // refused on 24 bit
  int distin = 0, result = 0;
  ClbwContext ctx{&mono, &colour, &distin, &result};
  PipelineRun run{&s.image.inf, &s.prm, nullptr, &ctx, IMG_FLT_MASK_EXECUTE_CLBW};
  EXPECT_EQ(RunPipeline(run, s.steps), IMG_FLT_ERR_WHITELEVEL);
  EXPECT_EQ(s.steps.Steps(), std::vector<Step>{Step::DistinClbw});
}

}  // namespace
}  // namespace imgflt::test
