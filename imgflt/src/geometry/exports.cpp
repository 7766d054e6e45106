// Exports of the geometry family (C linkage): ImgFltChangeFilterResolution,
// ImgFltChangeResolutionVerticalScan, ImgFltGetLcmScanDpi,
// ImgFltSmoothFilter3x3.
#include <cmath>

#include "Hux_ImgFlt.h"
#include "geometry/geometry.h"

using namespace imgflt;
using namespace imgflt::geometry;

namespace {

constexpr int32_t kBaseDpi = 100;
constexpr int32_t kHighDpi = 600;
constexpr int32_t kMiddleDpi = 300;

}  // namespace

/* Resamples the current image to `dpi` in both directions, smoothing first
 * with a kernel chosen from the distance to the source resolution (a 600-dpi
 * image going below 300 dpi passes through 300 dpi with the strongest
 * kernel).
 *   [in,out] img  descriptor; dwWidth, dwHeight, imgDpiX, imgDpiY and a DIB
 *                 header get the new values; the rows stay in their buffer
 *   [in]     dpi  target resolution
 * Returns 0 (also when dpi equals both resolutions: nothing is done); 20 for
 * a 1- or 4-bit image or a dpi above imgDpiX or imgDpiY; 12 for a null or
 * unusable descriptor or dpi 0; 10 when scratch memory is short. */
HUX_IMGFLT_EXPORT int32_t ImgFltChangeFilterResolution(HUX_IMG_INF* img, uint16_t dpi) {
  if (img == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  if (dpi == img->imgDpiX && dpi == img->imgDpiY) return IMG_FLT_SUCCESS;
  int32_t d = kBaseDpi;
  if (img->imgDpiX == kHighDpi) {
    d = kMiddleDpi;
    if (dpi < kMiddleDpi) {
      if (int32_t rc = ChangeResolutionStep(*img, kMiddleDpi, 1); rc != IMG_FLT_SUCCESS) return rc;
      d = kBaseDpi;
    }
  }
  const int64_t e = img->imgDpiX;
  const int64_t f = 3 * int64_t{dpi} - 3 * int64_t{d};
  uint32_t strength = 2;
  if (f >= 2 * (e - d))
    strength = 3;
  else if (f < e - d)
    strength = 1;
  return ChangeResolutionStep(*img, dpi, strength);
}

/* Changes the number of rows to match a new vertical resolution.
 *   [in,out] img     descriptor; the buffer must hold the larger of the old
 *                    and new images (an hOutBuff block is grown when short)
 *   [in]     dpi     new vertical resolution
 *   [in]     method  1: nearest row; 2: rows interpolated when rows are
 *                    added (1-bit rows and removals as method 1)
 * Returns 0 (also when dpi equals imgDpiY); 12 for a null or unusable
 * descriptor, a method other than 1 or 2, imgDpiY 0 or a result without
 * rows; 10 when memory is short. */
HUX_IMGFLT_EXPORT int32_t ImgFltChangeResolutionVerticalScan(HUX_IMG_INF* img, uint16_t dpi, uint16_t method) {
  if (img == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  if (dpi == img->imgDpiY) return IMG_FLT_SUCCESS;
  if ((method != 1 && method != 2) || img->imgDpiY == 0) return IMG_FLT_ERR_UNSUPPORTED;
  const double rows = std::floor(static_cast<double>(dpi) * img->dwHeight / img->imgDpiY + 0.5);
  if (rows < 1 || rows > UINT32_MAX) return IMG_FLT_ERR_UNSUPPORTED;
  const uint32_t count = static_cast<uint32_t>(rows);
  if (count > img->dwHeight && img->outBuffKind == IMG_FLT_MEMAREA_NEW && img->hOutBuff != nullptr) {
    const uint64_t need = uint64_t{RowStride(img->dwWidth, img->bitsPixel)} * count +
                          ResultPrefixBytes(*img, img->bitsPixel);
    if (need > static_cast<uint64_t>(PTRDIFF_MAX)) return IMG_FLT_ERR_UNSUPPORTED;
    if (GlobalSize(img->hOutBuff) < need &&
        GlobalReAlloc(img->hOutBuff, static_cast<size_t>(need), GMEM_MOVEABLE) == nullptr)
      return IMG_FLT_ERR_MEMORY;
  }
  CurrentImage cur;
  if (int32_t rc = cur.Open(*img); rc != IMG_FLT_SUCCESS) return rc;
  ImageView v = cur.View();
  if (int32_t rc = VerticalScanInPlace(v, count, method); rc != IMG_FLT_SUCCESS) return rc;
  v.dpiY = dpi;
  cur.Commit(*img, v, true);
  return IMG_FLT_SUCCESS;
}

/* The resolution at which to scan so that `dpi` can be reached well.
 *   [in] scannerModel  SCANNER_MODEL_* (model 6 scans down to 150 dpi, the
 *                      others down to 200)
 *   [in] dpi           requested output resolution
 *   [in] ratio         scale in thousandths applied to dpi
 * Returns the scanning resolution: dpi itself below the model's minimum,
 * else between the minimum and 600, the candidate near dpi * ratio / 1000
 * whose least common multiple with dpi is largest. */
HUX_IMGFLT_EXPORT int32_t ImgFltGetLcmScanDpi(uint8_t scannerModel, uint32_t dpi, uint32_t ratio) {
  return static_cast<int32_t>(LcmScanDpi(scannerModel, dpi, ratio));
}

/* 3 x 3 smoothing of an 8- or 24-bit image in place; the first and last row
 * and column are kept.
 *   [in,out] img       descriptor
 *   [in]     strength  1 (strongest) ... 3 (weakest)
 * Returns 0; 12 for a null or unusable descriptor, another depth or
 * strength; 10 when the two-row buffer cannot be allocated. */
HUX_IMGFLT_EXPORT int32_t ImgFltSmoothFilter3x3(HUX_IMG_INF* img, uint16_t strength) {
  if (img == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  CurrentImage cur;
  if (int32_t rc = cur.Open(*img); rc != IMG_FLT_SUCCESS) return rc;
  return Smooth3x3(cur.View(), strength);
}
