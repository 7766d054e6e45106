// The pipeline's order, conditions, version gates and temporary record
// values (the postponed MTF with its temporary colortoGray, the tone step
// without gamma and brightness before thresholding, the saved blackLevel).
#include "interface/pipeline.h"

#include "interface/param_check.h"

namespace imgflt {

namespace {

constexpr bool Has(uint32_t mask, uint32_t bits) noexcept { return (mask & bits) != 0; }
constexpr bool IsOn(uint8_t v) noexcept { return v == IMG_FLT_ON; }
constexpr uint32_t kToneBits = IMG_FLT_STEP_GAMMA | IMG_FLT_STEP_BRIGHT | IMG_FLT_STEP_CONTRAST;
constexpr uint32_t kBinaryStepBits = IMG_FLT_STEP_SRGB | kToneBits | IMG_FLT_STEP_BINARIZE;
constexpr uint16_t kNoDetectedAngle = 0xFFFF;
constexpr uint32_t kFullTurn = 36000;  // hundredths of a degree

class Pipeline {
 public:
  Pipeline(PipelineRun& run, StepRunner& steps) noexcept : run_(run), steps_(steps) {}

  int32_t Execute() noexcept {
    if (int32_t rc = PrepareRun(Img(), Prm(), run_.mask); rc != 0) return rc;
    steps_.BeginRun();
    if (int32_t rc = Geometry(); rc != 0) return rc;
    if (int32_t rc = Colour(); rc != 0) return rc;
    // Steps 12-14 may change blackLevel; the caller gets its own value back.
    const uint8_t blackLevel = Prm().blackLevel;
    int32_t rc = BinaryAndCleanUp();
    Prm().blackLevel = blackLevel;
    if (rc != 0) return rc;
    return Finish();
  }

 private:
  HUX_IMG_INF& Img() noexcept { return *run_.img; }
  HUX_IMG_FILTER_PARAM& Prm() noexcept { return *run_.prm; }
  bool Bit(uint32_t bits) const noexcept { return Has(run_.mask, bits); }
  uint16_t Ver() noexcept { return Prm().verNo; }

  int32_t Call(Step step) noexcept {
    StepCall call{Img(), Prm()};
    call.cim = run_.cim;
    call.clbw = run_.clbw;
    return steps_.Run(step, call);
  }

  // Steps 1-5.
  int32_t Geometry() noexcept {
    if (Bit(IMG_FLT_STEP_DESKEW) && Prm().deskew != IMG_FLT_OFF)
      if (int32_t rc = Call(Step::Deskew); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_CROP) && Prm().crop != IMG_FLT_OFF)
      if (int32_t rc = Call(Step::Crop); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_ORIENTATION) && Ver() >= 9 && IsOn(Prm().autoOrientation))
      if (int32_t rc = Call(Step::Orientation); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_DISTIN_CLBW))
      if (int32_t rc = DistinClbw(); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_CHGRESOLUTION) && Ver() >= 6 && Prm().chgResolution != 0)
      if (int32_t rc = Call(Step::ChangeResolution); rc != 0) return rc;
    return 0;
  }

  // Step 4: decide, switch to the matching record, carry the geometry over.
  int32_t DistinClbw() noexcept {
    ClbwContext* ctx = run_.clbw;
    if (ctx == nullptr || ctx->monochrome == nullptr || ctx->colour == nullptr || ctx->distin == nullptr ||
        ctx->result == nullptr)
      return IMG_FLT_ERR_DISTIN;
    StepCall call{Img(), Prm()};
    call.clbw = ctx;
    if (int32_t rc = steps_.Run(Step::DistinClbw, call); rc != 0) return rc;
    HUX_IMG_FILTER_PARAM* next = call.monochrome ? ctx->monochrome : ctx->colour;
    if (next != run_.prm) {
      next->deskewAngle = Prm().deskewAngle;
      next->cropSquare = Prm().cropSquare;
      run_.prm = next;
    }
    return CheckParam(Img(), Prm(), run_.mask);
  }

  // Steps 6-11.
  int32_t Colour() noexcept {
    if (Bit(IMG_FLT_STEP_COLORMNG) && Ver() >= 7 && run_.cim != nullptr && run_.cim->mngKind != COLOR_NONE)
      if (int32_t rc = Call(Step::ColorManagement); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_BACKUNIFORM)) {
      if (Ver() >= 9 && (Prm().backUniform & 4) != 0) {
        if (int32_t rc = Call(Step::BackUniformTwo); rc != 0) return rc;
      } else if (Ver() >= 6 && Prm().backUniform != 0) {
        if (int32_t rc = Call(Step::BackUniform); rc != 0) return rc;
      }
    }
    // At least 20.1 mm wide: imgDpiX * 201 / 254 pixels, integer division.
    if (Bit(IMG_FLT_STEP_WHITELEVEL) && IsOn(Prm().whiteLevel) &&
        uint64_t{Img().dwWidth} >= uint64_t{Img().imgDpiX} * 201 / 254)
      if (int32_t rc = Call(Step::WhiteLevel); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_SATURATION) && ToneValueSet(Prm().saturation))
      if (int32_t rc = Call(Step::Saturation); rc != 0) return rc;

    // Step 10: MTF runs on the colour page only when nothing will reduce it;
    // otherwise after colour to grey, on grey (a 24-bit page that will be
    // binarized is turned grey for that, just for step 11).
    bool mtfPostponed = false;
    if (Bit(IMG_FLT_STEP_MTF) && Prm().mtf != IMG_FLT_MTF_OFF) {
      if (Img().bitsPixel == 24 && Prm().colortoGray == IMG_FLT_OFF && Prm().binaryMode == IMG_FLT_BINARY_OFF) {
        if (int32_t rc = Call(Step::Mtf); rc != 0) return rc;
      } else {
        mtfPostponed = true;
      }
    }
    const uint8_t colortoGray = Prm().colortoGray;
    const bool temporaryGray =
        mtfPostponed && Img().bitsPixel == 24 && Prm().binaryMode != IMG_FLT_BINARY_OFF;
    if (temporaryGray) Prm().colortoGray = IMG_FLT_BITSPIXEL8;
    int32_t rc = 0;
    if (Bit(IMG_FLT_STEP_COLORTOGRAY) && Prm().colortoGray != IMG_FLT_OFF) rc = Call(Step::ColorToGray);
    if (temporaryGray) Prm().colortoGray = colortoGray;
    if (rc != 0) return rc;
    if (mtfPostponed) return Call(Step::Mtf);
    return 0;
  }

  // Steps 12-14.
  int32_t BinaryAndCleanUp() noexcept {
    if (Bit(kBinaryStepBits)) {
      if (AnySubAreaEnabled(Prm())) {
        if (Bit(IMG_FLT_STEP_BINARIZE))
          if (int32_t rc = Call(Step::SubAreaBinarize); rc != 0) return rc;
      } else if (int32_t rc = ToneAndBinarize(); rc != 0) {
        return rc;
      }
    }
    if (Bit(IMG_FLT_STEP_NOISE) && Prm().noise_matrix != 0)
      if (int32_t rc = Call(Step::Noise); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_BORDER) && (Ver() >= 9 ? IsOn(Prm().autoBdrRmvl2) : IsOn(Prm().autoBdrRmvl)))
      if (int32_t rc = Call(Step::BorderRemoval); rc != 0) return rc;
    return 0;
  }

  int32_t ToneAndBinarize() noexcept {
    HUX_IMG_FILTER_PARAM& p = Prm();
    const bool binarize = p.binaryMode != IMG_FLT_BINARY_OFF;
    if (Bit(IMG_FLT_STEP_SRGB) && binarize && IsOn(p.sRGB) && (Img().bitsPixel == 8 || Img().bitsPixel == 24))
      if (int32_t rc = Call(Step::Srgb); rc != 0) return rc;
    if (Bit(kToneBits) && (p.gamma != IMG_FLT_GAMMA_OFF || ToneValueSet(p.bright) || ToneValueSet(p.contrast))) {
      // Before a threshold-like binarization only the contrast is applied.
      const bool contrastOnly =
          p.binaryMode == IMG_FLT_THRESHOLD || p.binaryMode == IMG_FLT_DTH || p.binaryMode == IMG_FLT_ASEPARATION;
      const uint8_t gamma = p.gamma;
      const int8_t bright = p.bright;
      if (contrastOnly) {
        p.gamma = IMG_FLT_GAMMA_OFF;
        p.bright = 0;
      }
      int32_t rc = Call(Step::Tone);
      if (contrastOnly) {
        p.gamma = gamma;
        p.bright = bright;
      }
      if (rc != 0) return rc;
    }
    if (Bit(IMG_FLT_STEP_BINARIZE) && binarize)
      if (int32_t rc = Call(Step::Binarize); rc != 0) return rc;
    return 0;
  }

  // Steps 15-20.
  int32_t Finish() noexcept {
    if (Bit(IMG_FLT_STEP_HOLEREMOVAL) && Ver() >= 7 && IsOn(Prm().holeRemoval))
      if (int32_t rc = Call(Step::HoleRemoval); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_MARGINFILL) && (Ver() >= 9 ? IsOn(Prm().marginFill) : Prm().borderInterval != 0))
      if (int32_t rc = Call(Step::MarginFill); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_INVERT) && IsOn(Prm().invert))
      if (int32_t rc = Call(Step::Invert); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_MIRROR) && IsOn(Prm().flip_H))
      if (int32_t rc = Call(Step::Mirror); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_OVERLAY) && Ver() >= 7 && Prm().superImpose.string != nullptr)
      if (int32_t rc = Call(Step::Overlay); rc != 0) return rc;
    if (Bit(IMG_FLT_STEP_ROTATION)) {
      uint32_t angle = RotationAngle(Prm());
      if (angle != 0) {
        StepCall call{Img(), Prm()};
        call.angle = angle;
        if (int32_t rc = steps_.Run(Step::Rotate, call); rc != 0) return rc;
      }
    }
    return 0;
  }

  PipelineRun& run_;
  StepRunner& steps_;
};

}  // namespace

const char* StepName(Step step) noexcept {
  switch (step) {
    case Step::Deskew: return "Deskew";
    case Step::Crop: return "Crop";
    case Step::Orientation: return "Orientation";
    case Step::DistinClbw: return "DistinClbw";
    case Step::ChangeResolution: return "ChangeResolution";
    case Step::ColorManagement: return "ColorManagement";
    case Step::BackUniform: return "BackUniform";
    case Step::BackUniformTwo: return "BackUniformTwo";
    case Step::WhiteLevel: return "WhiteLevel";
    case Step::Saturation: return "Saturation";
    case Step::Mtf: return "Mtf";
    case Step::ColorToGray: return "ColorToGray";
    case Step::SubAreaBinarize: return "SubAreaBinarize";
    case Step::Srgb: return "Srgb";
    case Step::Tone: return "Tone";
    case Step::Binarize: return "Binarize";
    case Step::Noise: return "Noise";
    case Step::BorderRemoval: return "BorderRemoval";
    case Step::HoleRemoval: return "HoleRemoval";
    case Step::MarginFill: return "MarginFill";
    case Step::Invert: return "Invert";
    case Step::Mirror: return "Mirror";
    case Step::Overlay: return "Overlay";
    case Step::Rotate: return "Rotate";
  }
  return "?";
}

uint32_t RotationAngle(const HUX_IMG_FILTER_PARAM& prm) noexcept {
  uint32_t angle = prm.verNo >= 5 ? prm.rotAngle : 0;
  if (prm.verNo >= 9 && IsOn(prm.autoOrientation) && prm.detectedAngle != kNoDetectedAngle) {
    angle += prm.detectedAngle;
    if (angle >= kFullTurn) angle -= kFullTurn;
  }
  // Both parts are below a full turn in a valid record; an out-of-range
  // detectedAngle must still not ask the rotation for more than one turn.
  return angle % kFullTurn;
}

int32_t PrepareRun(const HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept {
  if (prm.verNo < 2) {
    prm.fixedPosition = IMG_FLT_FIXED_CENTER;
    prm.contrast = 0;
  }
  return CheckParam(img, prm, mask);
}

int32_t RunPipeline(PipelineRun& run, StepRunner& steps) noexcept {
  if (run.img == nullptr || run.prm == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  return Pipeline(run, steps).Execute();
}

}  // namespace imgflt
