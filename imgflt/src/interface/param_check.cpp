// The parameter check. The documented checks come first and in their order,
// so that a record with several faults gets the same code as before; the
// range checks of enumerators and pointers come after them and only for the
// steps of the mask (fields of later record versions only when verNo reads
// them), then the descriptor itself.
#include "interface/param_check.h"

#include <initializer_list>

#include "interface/descriptor.h"
#include "interface/pipeline.h"

namespace imgflt {

namespace {

constexpr int32_t kUnsupported = IMG_FLT_ERR_UNSUPPORTED;

constexpr bool Has(uint32_t mask, uint32_t bit) noexcept { return (mask & bit) != 0; }
constexpr bool IsSwitch(uint8_t v) noexcept { return v == IMG_FLT_OFF || v == IMG_FLT_ON; }
constexpr bool IsOn(uint8_t v) noexcept { return v == IMG_FLT_ON; }
constexpr bool IsDepth(uint8_t bits, std::initializer_list<uint8_t> depths) noexcept {
  for (uint8_t d : depths)
    if (bits == d) return true;
  return false;
}
constexpr bool IsBinaryMode(uint8_t v) noexcept {
  return v == IMG_FLT_THRESHOLD || v == IMG_FLT_HALFTONE || v == IMG_FLT_DTH || v == IMG_FLT_ASEPARATION ||
         v == IMG_FLT_BINARY_OFF;
}

const SUBAREA_PARAM* SubAreas(const HUX_IMG_FILTER_PARAM& prm, int i) noexcept {
  return i == 0 ? &prm.subArea1 : i == 1 ? &prm.subArea2 : &prm.subArea3;
}

// Code 5: an enabled sub-area whose gamma switch is neither off nor on, or
// sub-areas on a 1- or 4-bit image or with automatic crop. A sub-area whose
// own switch, mode or halftone kind is outside its list is invalid too.
int32_t CheckSubAreas(const HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm) noexcept {
  if (!AnySubAreaEnabled(prm)) return 0;
  for (int i = 0; i < 3; ++i) {
    const SUBAREA_PARAM& s = *SubAreas(prm, i);
    if (s.enable != IMG_FLT_OFF && !IsSwitch(s.gamma)) return IMG_FLT_ERR_SUBAREA;
  }
  if (img.bitsPixel == 1 || img.bitsPixel == 4 || prm.crop == IMG_FLT_ON) return IMG_FLT_ERR_SUBAREA;
  for (int i = 0; i < 3; ++i) {
    const SUBAREA_PARAM& s = *SubAreas(prm, i);
    if (s.enable == IMG_FLT_OFF) continue;
    if (!IsSwitch(s.enable)) return IMG_FLT_ERR_SUBAREA;
    if (s.binaryMode != IMG_FLT_THRESHOLD && s.binaryMode != IMG_FLT_HALFTONE) return IMG_FLT_ERR_SUBAREA;
    if (s.binaryMode == IMG_FLT_HALFTONE &&
        (s.halftoneKind > IMG_FLT_CUSTOM_DITHER ||
         (s.halftoneKind == IMG_FLT_CUSTOM_DITHER && s.pCustomDither == nullptr)))
      return IMG_FLT_ERR_SUBAREA;
  }
  return 0;
}

int32_t CheckDocumented(const HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept {
  const uint8_t bits = img.bitsPixel;
  const bool binarize = prm.binaryMode != IMG_FLT_BINARY_OFF;

  if (img.inLineAlign != IMG_FLT_MEM_BNDRY32 || img.outLineAlign != IMG_FLT_MEM_BNDRY32) return kUnsupported;

  if (Has(mask, IMG_FLT_STEP_GAMMA) && prm.gamma != IMG_FLT_GAMMA_OFF) {
    if (!IsDepth(bits, {4, 8, 24}) || prm.gamma > IMG_FLT_GAMMA_CRT) return IMG_FLT_ERR_GAMMA;
  }

  if (Has(mask, IMG_FLT_STEP_WHITELEVEL) && IsOn(prm.whiteLevel) && (bits == 1 || bits == 24))
    return IMG_FLT_ERR_WHITELEVEL;

  if (Has(mask, IMG_FLT_STEP_BINARIZE) && binarize) {
    if (prm.colortoGray != IMG_FLT_OFF) return kUnsupported;
    if (prm.binaryMode == IMG_FLT_THRESHOLD && !IsDepth(bits, {4, 8, 24})) return IMG_FLT_ERR_THRESHOLD;
    if (prm.binaryMode == IMG_FLT_HALFTONE && (!IsDepth(bits, {8, 24}) || prm.halftoneKind > IMG_FLT_CUSTOM_DITHER))
      return IMG_FLT_ERR_HALFTONE;
    if (int32_t rc = CheckSubAreas(img, prm); rc != 0) return rc;
    const bool subAreas = AnySubAreaEnabled(prm);
    if (prm.binaryMode == IMG_FLT_DTH && (!IsDepth(bits, {4, 8, 24}) || subAreas)) return IMG_FLT_ERR_DTH;
    if (prm.binaryMode == IMG_FLT_ASEPARATION && (!IsDepth(bits, {8, 24}) || subAreas))
      return IMG_FLT_ERR_ASEPARATION;
    if (!IsBinaryMode(prm.binaryMode)) return kUnsupported;
  }

  if (Has(mask, IMG_FLT_STEP_NOISE) && prm.noise_matrix != 0 && bits != 1 && !binarize) return IMG_FLT_ERR_NOISE;

  if (Has(mask, IMG_FLT_STEP_INVERT) && IsOn(prm.invert)) {
    if (bits == 24) {
      if (!binarize) return IMG_FLT_ERR_INVERT;
    } else if (!IsDepth(bits, {1, 4, 8})) {
      return IMG_FLT_ERR_INVERT;
    }
  }

  if (Has(mask, IMG_FLT_STEP_SATURATION) && ToneValueSet(prm.saturation) && bits != 24)
    return IMG_FLT_ERR_SATURATION;

  if (Has(mask, IMG_FLT_STEP_COLORTOGRAY) && prm.colortoGray != IMG_FLT_OFF) {
    if (!IsDepth(bits, {8, 24}) || binarize) return IMG_FLT_ERR_COLORTOGRAY;
  }

  if (Has(mask, IMG_FLT_STEP_CHGRESOLUTION) && prm.verNo >= 6 && prm.chgResolution != 0 &&
      (prm.chgResolution > img.imgDpiX || prm.chgResolution > img.imgDpiY))
    return IMG_FLT_ERR_CHGRESOLUTION;
  return 0;
}

// Values outside their lists, and pointers a step would follow, for the
// steps of the mask whose fields the record's version makes readable.
int32_t CheckRanges(const HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept {
  const uint16_t ver = prm.verNo;
  const bool deskews = Has(mask, IMG_FLT_STEP_DESKEW) && prm.deskew != IMG_FLT_OFF;
  const bool crops = Has(mask, IMG_FLT_STEP_CROP) && prm.crop != IMG_FLT_OFF;
  if (deskews) {
    if (prm.deskew > IMG_FLT_SPECIFIED || !IsSwitch(prm.smoothing)) return kUnsupported;
    if (ver >= 2 && prm.fixedPosition > IMG_FLT_FIXED_RIGHT) return kUnsupported;
  }
  if (crops && prm.crop > IMG_FLT_SPECIFIED) return kUnsupported;
  if ((deskews || crops) && prm.detectionLevel > IMG_FLT_DETECT_ENHANCED) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_ROTATION)) {
    if (ver >= 5 && prm.rotAngle > 35999) return kUnsupported;
    if (RotationAngle(prm) != 0 && (!IsSwitch(prm.rotCut) || prm.rotCrvcColor > IMG_FLT_COMP_WHITE))
      return kUnsupported;
  }
  if (Has(mask, IMG_FLT_STEP_ORIENTATION) && ver >= 9 && !IsSwitch(prm.autoOrientation)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_WHITELEVEL) && !IsSwitch(prm.whiteLevel)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_MTF) && prm.mtf > IMG_FLT_MTF_SMOOTH) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_COLORTOGRAY) && prm.colortoGray != IMG_FLT_OFF) {
    if (prm.colortoGray != IMG_FLT_BITSPIXEL4 && prm.colortoGray != IMG_FLT_BITSPIXEL8) return kUnsupported;
    if (prm.led > IMG_FLT_DROPOUT_BLUE) return kUnsupported;
  }
  if (Has(mask, IMG_FLT_STEP_BINARIZE) && prm.binaryMode != IMG_FLT_BINARY_OFF) {
    if (Has(mask, IMG_FLT_STEP_SRGB) && !IsSwitch(prm.sRGB)) return kUnsupported;
    if (prm.binaryMode == IMG_FLT_DTH && prm.dth_level > 4) return kUnsupported;
    if (prm.binaryMode == IMG_FLT_HALFTONE && prm.halftoneKind == IMG_FLT_CUSTOM_DITHER &&
        prm.pCustomDither == nullptr)
      return IMG_FLT_ERR_HALFTONE;
  }
  if (Has(mask, IMG_FLT_STEP_NOISE) && prm.noise_matrix != 0 &&
      (prm.noise_matrix > 6 || prm.noise_kind > IMG_FLT_RMVNS_BLACK))
    return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_BORDER) && !IsSwitch(ver >= 9 ? prm.autoBdrRmvl2 : prm.autoBdrRmvl))
    return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_HOLEREMOVAL) && ver >= 7 && !IsSwitch(prm.holeRemoval)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_MARGINFILL) && ver >= 9 && !IsSwitch(prm.marginFill)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_INVERT) && !IsSwitch(prm.invert)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_MIRROR) && !IsSwitch(prm.flip_H)) return kUnsupported;
  if (Has(mask, IMG_FLT_STEP_OVERLAY) && ver >= 7 && prm.superImpose.string != nullptr) {
    const SUPERIMPOSE_PARAM& s = prm.superImpose;
    if (s.drawMode > IMG_FLT_SI_XOR || s.strAngle > IMG_FLT_ANGLE_270 || s.strDir > STR_DIR_RIGHT_TO_LEFT ||
        !IsSwitch(s.bold))
      return kUnsupported;
  }
  return 0;
}

}  // namespace

bool AnySubAreaEnabled(const HUX_IMG_FILTER_PARAM& prm) noexcept {
  return prm.subArea1.enable != IMG_FLT_OFF || prm.subArea2.enable != IMG_FLT_OFF ||
         prm.subArea3.enable != IMG_FLT_OFF;
}

int32_t CheckParam(const HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept {
  if (int32_t rc = CheckDocumented(img, prm, mask); rc != 0) return rc;
  if (int32_t rc = CheckRanges(prm, mask); rc != 0) return rc;
  return CheckDescriptor(img);
}

}  // namespace imgflt
