// ExportCheckParam: the documented checks in their order and for their mask
// bits, the range checks of enumerators and pointers, and descriptors the
// library cannot address.
#include <gtest/gtest.h>

#include <functional>

#include "fixtures.h"

namespace imgflt::test {
namespace {

using Setup = std::function<void(TestImage&, HUX_IMG_FILTER_PARAM&)>;

struct Case {
  const char* name;
  uint8_t bits;
  Setup setup;
  int32_t expected;
  uint32_t mask = IMG_FLT_MASK_EXECUTE;
};

void RunCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestImage image = MakeImage(300, 200, c.bits);
    HUX_IMG_FILTER_PARAM prm = NothingRecord();
    c.setup(image, prm);
    HUX_IMG_INF before = image.inf;
    HUX_IMG_FILTER_PARAM prmBefore = prm;
    EXPECT_EQ(ExportCheckParam(&image.inf, &prm, c.mask), c.expected);
    EXPECT_EQ(std::memcmp(&before, &image.inf, sizeof before), 0) << "descriptor changed";
    EXPECT_EQ(std::memcmp(&prmBefore, &prm, sizeof prm), 0) << "record changed";
  }
}

TEST(ParamCheck, DocumentedChecks) {
  RunCases({
      {"nothing asked", 8, [](TestImage&, HUX_IMG_FILTER_PARAM&) {}, 0},
      {"input alignment 16", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.inLineAlign = 16; }, 12},
      {"output alignment 16 with an empty mask", 8,
       [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.outLineAlign = 16; }, 12, 0},
      {"gamma kind 4", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.gamma = 4; }, 1},
      {"gamma on 1 bit", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.gamma = IMG_FLT_GAMMA_STD; }, 1},
      {"gamma on 4 bit", 4, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.gamma = IMG_FLT_GAMMA_CRT; }, 0},
      {"white level on 24 bit", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.whiteLevel = IMG_FLT_ON; }, 2},
      {"white level on 1 bit", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.whiteLevel = IMG_FLT_ON; }, 2},
      {"colortoGray with threshold", 24,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.colortoGray = IMG_FLT_BITSPIXEL8;
       },
       12},
      {"threshold on 1 bit", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_THRESHOLD; }, 3},
      {"threshold on 4 bit", 4, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_THRESHOLD; }, 0},
      {"halftone on 4 bit", 4, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_HALFTONE; }, 4},
      {"halftone kind 6", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_HALFTONE;
         p.halftoneKind = 6;
       },
       4},
      {"sub-area gamma switch 2", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea3.enable = IMG_FLT_ON;
         p.subArea3.gamma = 2;
       },
       5},
      {"sub-area with automatic crop", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea1.enable = IMG_FLT_ON;
         p.crop = IMG_FLT_ON;
       },
       5},
      {"sub-area with specified crop", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea1.enable = IMG_FLT_ON;
         p.crop = IMG_FLT_SPECIFIED;
       },
       0},
      {"sub-area on 4 bit", 4,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea2.enable = IMG_FLT_ON;
       },
       5},
      {"dynamic threshold with sub-area", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_DTH;
         p.subArea2.enable = IMG_FLT_ON;
       },
       6},
      {"dynamic threshold on 1 bit", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_DTH; }, 6},
      {"separation on 4 bit", 4, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = IMG_FLT_ASEPARATION; }, 7},
      {"unknown binary mode", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.binaryMode = 4; }, 12},
      {"noise on grey", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.noise_matrix = 2; }, 8},
      {"noise on thresholded grey", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.noise_matrix = 2;
         p.binaryMode = IMG_FLT_THRESHOLD;
       },
       0},
      {"invert on colour", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.invert = IMG_FLT_ON; }, 9},
      {"invert on thresholded colour", 24,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.invert = IMG_FLT_ON;
         p.binaryMode = IMG_FLT_THRESHOLD;
       },
       0},
      {"saturation on grey", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.saturation = 5; }, 14},
      {"saturation -128 is nothing", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.saturation = -128; }, 0},
      {"colour to grey on 4 bit", 4, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.colortoGray = IMG_FLT_BITSPIXEL8; },
       16},
      {"resolution above the image's", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.chgResolution = 201; }, 20},
      {"resolution in a version 5 record", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.verNo = 5;
         p.chgResolution = 201;
       },
       0},
  });
}

TEST(ParamCheck, OrderOfTheChecksDecidesTheCode) {
  auto everything = [](TestImage& i, HUX_IMG_FILTER_PARAM& p) {
    i.inf.bitsPixel = 1;
    p.gamma = IMG_FLT_GAMMA_STD;          // 1
    p.whiteLevel = IMG_FLT_ON;            // 2
    p.binaryMode = IMG_FLT_THRESHOLD;     // 3
    p.invert = IMG_FLT_ON;                // passes on 1 bit
    p.saturation = 3;                     // 14
    p.colortoGray = IMG_FLT_BITSPIXEL8;   // 12 inside the binarization check, 16 alone
    p.chgResolution = 999;                // 20
  };
  RunCases({
      {"all bits", 1, everything, 1},
      {"without gamma", 1, everything, 2, IMG_FLT_MASK_EXECUTE & ~IMG_FLT_STEP_GAMMA},
      {"without white level", 1, everything, 12,
       IMG_FLT_MASK_EXECUTE & ~(IMG_FLT_STEP_GAMMA | IMG_FLT_STEP_WHITELEVEL)},
      {"then saturation", 1, everything, 14,
       IMG_FLT_MASK_EXECUTE & ~(IMG_FLT_STEP_GAMMA | IMG_FLT_STEP_WHITELEVEL | IMG_FLT_STEP_BINARIZE)},
      {"then colour to grey", 1, everything, 16, IMG_FLT_STEP_COLORTOGRAY | IMG_FLT_STEP_CHGRESOLUTION},
      {"then resolution", 1, everything, 20, IMG_FLT_STEP_CHGRESOLUTION},
      {"no bit: only alignment", 1, everything, 0, 0},
  });
}

TEST(ParamCheck, EnumeratorsOutsideTheirListsForTheStepsThatReadThem) {
  RunCases({
      {"deskew 3", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.deskew = 3; }, 12},
      {"deskew 3 without the deskew bit", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.deskew = 3; }, 0,
       IMG_FLT_MASK_MULTI_OUTPUT},
      {"crop 3", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.crop = 3; }, 12},
      {"fixed position 3", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.deskew = IMG_FLT_ON;
         p.fixedPosition = 3;
       },
       12},
      {"fixed position 3 in a version 1 record (cleared before use)", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.verNo = 1;
         p.deskew = IMG_FLT_ON;
         p.fixedPosition = 3;
       },
       0},
      {"fixed position 3 without deskew", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.fixedPosition = 3; }, 0},
      {"rotation 36000", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.rotAngle = 36000; }, 12},
      {"rotation 36000 in a version 4 record", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.verNo = 4;
         p.rotAngle = 36000;
       },
       0},
      {"corner colour 2", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.rotAngle = 4500;
         p.rotCrvcColor = 2;
       },
       12},
      {"corner colour 2 without a rotation", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.rotCrvcColor = 2; }, 0},
      {"mtf 6", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.mtf = 6; }, 12},
      {"colour to grey 5", 24, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.colortoGray = 5; }, 12},
      {"dropout colour 4", 24,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.colortoGray = IMG_FLT_BITSPIXEL8;
         p.led = 4;
       },
       12},
      {"noise size 7", 1, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.noise_matrix = 7; }, 12},
      {"noise kind 2", 1,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.noise_matrix = 1;
         p.noise_kind = 2;
       },
       12},
      {"invert 2", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.invert = 2; }, 12},
      {"mirror 2", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.flip_H = 2; }, 12},
      {"dynamic threshold level 5", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_DTH;
         p.dth_level = 5;
       },
       12},
      {"custom dither without its matrix", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_HALFTONE;
         p.halftoneKind = IMG_FLT_CUSTOM_DITHER;
       },
       4},
      {"sub-area in fixed-threshold only modes", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.subArea1.enable = IMG_FLT_ON;
         p.subArea1.binaryMode = IMG_FLT_DTH;
       },
       5},
      {"overlay text direction 4", 8,
       [](TestImage&, HUX_IMG_FILTER_PARAM& p) {
         p.superImpose.string = "text";
         p.superImpose.strDir = 4;
       },
       12},
      {"orientation switch 2", 8, [](TestImage&, HUX_IMG_FILTER_PARAM& p) { p.autoOrientation = 2; }, 12},
  });
}

TEST(ParamCheck, DescriptorsTheLibraryCannotAddress) {
  RunCases({
      {"zero width", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.dwWidth = 0; }, 12},
      {"zero height", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.dwHeight = 0; }, 12},
      {"depth 2", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.bitsPixel = 2; }, 12},
      {"stride beyond 32 bits", 24, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.dwWidth = 0xFFFFFFF0u; }, 12},
      {"block beyond 32 bits", 8,
       [](TestImage& i, HUX_IMG_FILTER_PARAM&) {
         i.inf.dwWidth = 0x10000;
         i.inf.dwHeight = 0x10000;
       },
       12},
      {"zero horizontal dpi", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.imgDpiX = 0; }, 12},
      {"zero vertical dpi", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.imgDpiY = 0; }, 12},
      {"null pOrgImg", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.pOrgImg = nullptr; }, 12},
      {"buffer kind 2", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.outBuffKind = 2; }, 12},
      {"dataDIB 2", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.dataDIB = 2; }, 12},
      {"row order 2", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.dataUpDown = 2; }, 12},
      {"colour order 3", 24, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.orderRGB = 3; }, 12},
      {"hOutBuff null", 8, [](TestImage& i, HUX_IMG_FILTER_PARAM&) { i.inf.outBuffKind = IMG_FLT_MEMAREA_NEW; }, 12},
      {"hOutBuff not a handle", 8,
       [](TestImage& i, HUX_IMG_FILTER_PARAM&) {
         i.inf.outBuffKind = IMG_FLT_MEMAREA_NEW;
         i.inf.hOutBuff = i.buffer.data();
       },
       12},
      {"documented code comes first", 1,
       [](TestImage& i, HUX_IMG_FILTER_PARAM& p) {
         i.inf.dwWidth = 0;
         p.binaryMode = IMG_FLT_THRESHOLD;
       },
       3},
  });
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  TestImage image = MakeImage(8, 8, 8);
  EXPECT_EQ(ExportCheckParam(nullptr, &prm, IMG_FLT_MASK_EXECUTE), 12);
  EXPECT_EQ(ExportCheckParam(&image.inf, nullptr, IMG_FLT_MASK_EXECUTE), 12);
}

TEST(ParamCheck, HOutBuffMustHoldTheImage) {
  TestImage image = MakeImage(30, 20, 8, true);  // 32 * 20 rows + 1064 prefix
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  const size_t need = 32 * 20 + 40 + 1024;
  for (size_t size : {need - 1, need, need + 100}) {
    SCOPED_TRACE(size);
    HGLOBAL h = GlobalAlloc(GHND, size);
    ASSERT_NE(h, nullptr);
    image.inf.outBuffKind = IMG_FLT_MEMAREA_NEW;
    image.inf.hOutBuff = h;
    EXPECT_EQ(ExportCheckParam(&image.inf, &prm, IMG_FLT_MASK_EXECUTE), size >= need ? 0 : 12);
    GlobalFree(h);
  }
}

}  // namespace
}  // namespace imgflt::test
