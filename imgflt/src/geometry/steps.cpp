// The geometry steps of the pipeline on a descriptor: RotateStep,
// RotateByAngle, MirrorStep, InvertStep, ChangeResolutionStep.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

constexpr uint32_t kFullTurn = 36000;  // hundredths of a degree
constexpr uint32_t kQuarterTurn = 9000;

// Zeroes the bytes of every row past its last pixel's byte.
void ClearPadding(const ImageView& v) noexcept {
  const size_t used = v.UsedRowBytes();
  if (used < v.stride)
    for (uint32_t y = 0; y < v.height; ++y) std::memset(v.Row(y) + used, 0, v.stride - used);
}

}  // namespace

int32_t RotateStep(HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm, uint32_t angle) noexcept {
  angle %= kFullTurn;
  if (angle == 0) return IMG_FLT_SUCCESS;
  if (!IsSupportedDepth(img.bitsPixel)) return IMG_FLT_ERR_ROTATION;
  if (angle % kQuarterTurn != 0) {
    const double radians = -static_cast<double>(angle) / 18000.0 * std::numbers::pi;
    return RotateByAngle(img, radians, false, prm.rotCrvcColor == IMG_FLT_COMP_BLACK,
                         prm.rotCut == IMG_FLT_ON ? RotateFrame::CutToInput : RotateFrame::BoundingBox);
  }
  CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  const ImageView& src = cur.View();
  uint32_t quarters = angle / kQuarterTurn;
  // Rows turned over are moved as they lie in memory: putting them back,
  // turning and turning them over again is the opposite quarter turn.
  if (img.dataUpDown == IMG_FLT_UPDOWN_TURNOVER) quarters = (4 - quarters) & 3;
  const bool swap = (quarters & 1) != 0;
  ImageView format = src;
  if (swap) std::swap(format.dpiX, format.dpiY);
  // Whole bytes of every pixel are written (4 bit merges nibbles into
  // zeroed bytes); only the row padding needs clearing.
  ImageBuffer out = ImageBuffer::Create(ImageBuffer::Storage::Global, format, swap ? src.height : src.width,
                                        swap ? src.width : src.height, ResultPrefixBytes(img, src.bitsPixel),
                                        src.bitsPixel == 4);
  if (!out) return IMG_FLT_ERR_MEMORY;
  ClearPadding(out.View());
  if (int32_t rc = RotateRightAngle(src, quarters, out.View()); rc != IMG_FLT_SUCCESS) return rc;
  return DeliverNewImage(img, cur, std::move(out));
}

int32_t RotateByAngle(HUX_IMG_INF& img, double radians, bool interpolate, bool fillBlack,
                      RotateFrame frame) noexcept {
  CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  const ImageView& src = cur.View();
  const uint32_t fill = FillValue(src, fillBlack);
  const bool bilinear = interpolate && src.bitsPixel != 1;
  if (frame == RotateFrame::InPlace)
    return RotateInPlace(src, MakeRotationMap(src.width, src.height, src.width, src.height, radians), bilinear,
                         fill);

  uint32_t w = src.width, h = src.height;
  RotationMap map;
  if (frame == RotateFrame::BoundingBox) {
    BoundingBoxSize(src.width, src.height, radians, &w, &h);
    if (w == 0 || h == 0) return IMG_FLT_ERR_UNSUPPORTED;
    map = MakeRotationMap(src.width, src.height, w, h, radians);
  } else {
    // The image sits centred on a square canvas; the turned canvas is cut
    // back to the input frame at the same place.
    const uint32_t side = std::max(src.width, src.height);
    map = MakeRotationMap(side, side, side, side, radians, static_cast<int32_t>((side - src.width) / 2),
                          static_cast<int32_t>((side - src.height) / 2));
  }
  ImageBuffer out = ImageBuffer::Create(ImageBuffer::Storage::Global, src, w, h,
                                        ResultPrefixBytes(img, src.bitsPixel));
  if (!out) return IMG_FLT_ERR_MEMORY;
  if (int32_t rc = RotateInto(src, out.View(), map, bilinear, fill); rc != IMG_FLT_SUCCESS) return rc;
  return DeliverNewImage(img, cur, std::move(out));
}

int32_t MirrorStep(HUX_IMG_INF& img) noexcept {
  CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  Mirror(cur.View());
  return IMG_FLT_SUCCESS;
}

int32_t InvertStep(HUX_IMG_INF& img) noexcept {
  CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  Invert(cur.View());
  return IMG_FLT_SUCCESS;
}

int32_t ChangeResolutionStep(HUX_IMG_INF& img, uint32_t dpi, uint32_t strength) noexcept {
  CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  ImageView v = cur.View();
  if (v.bitsPixel != 8 && v.bitsPixel != 24) return IMG_FLT_ERR_CHGRESOLUTION;
  if (dpi == 0 || v.dpiX == 0 || v.dpiY == 0 || strength > 3) return IMG_FLT_ERR_UNSUPPORTED;
  if (dpi > v.dpiX || dpi > v.dpiY) return IMG_FLT_ERR_CHGRESOLUTION;
  uint32_t w = 0, h = 0;
  ResampledSize(v, dpi, &w, &h);
  if (w == 0 || h == 0) return IMG_FLT_ERR_UNSUPPORTED;
  if (strength != 0)
    if (int32_t rc = Smooth3x3(v, strength); rc != IMG_FLT_SUCCESS) return rc;
  if (int32_t rc = ResampleInPlace(v, w, h); rc != IMG_FLT_SUCCESS) return rc;
  v.dpiX = dpi;
  v.dpiY = dpi;
  cur.Commit(img, v, true);
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::geometry
