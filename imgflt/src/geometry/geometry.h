// Private header of the geometry family: rotation by right angles and by any
// angle, mirror, invert, resolution change, scanning-resolution choice and
// 3 x 3 smoothing. Exported from here (with C linkage, in exports.cpp):
// ImgFltChangeFilterResolution, ImgFltChangeResolutionVerticalScan,
// ImgFltGetLcmScanDpi, ImgFltSmoothFilter3x3.
//
// Three layers:
//   - the current image of a descriptor (CurrentImage, DeliverNewImage):
//     where its rows are, and how a changed size or a new block is written
//     back into the descriptor and its DIB header;
//   - pipeline steps on a descriptor and its filter record (RotateStep,
//     MirrorStep, InvertStep, ChangeResolutionStep, RotateByAngle);
//   - the algorithms on ImageView, with the straightforward versions in
//     namespace reference kept as the oracle that the tests compare with,
//     bit for bit.
// Every function returns 0 or a result code of Hux_ImgFlt.h; none throws.
// No threads: calls run on the caller's thread, one at a time.
#ifndef IMGFLT_GEOMETRY_GEOMETRY_H
#define IMGFLT_GEOMETRY_GEOMETRY_H

#include <cstdint>

#include "Hux_ImgFlt.h"
#include "interface/image.h"

namespace imgflt::geometry {

// ---- The current image of a descriptor ----

// The pixels a descriptor currently names: hOutBuff (locked while this
// object lives) when outBuffKind is IMG_FLT_MEMAREA_NEW, else pOrgImg; the
// rows start after the 40-byte header and palette when dataDIB is on.
// The largest side the filters take, in pixels: far beyond any scan, and
// small enough that sums of coordinates never overflow.
inline constexpr uint32_t kMaxSide = 1u << 24;

class CurrentImage {
 public:
  CurrentImage() noexcept = default;
  CurrentImage(const CurrentImage&) = delete;
  CurrentImage& operator=(const CurrentImage&) = delete;
  ~CurrentImage() { Close(); }

  // Checks the descriptor and locates its rows. Returns 0; 12 for a null
  // buffer, an unknown depth, zero width or height, a side above kMaxSide,
  // a stride that does not fit 32 bits, an outBuffKind other than ORGN/NEW,
  // or an hOutBuff whose block is smaller than the image it claims.
  int32_t Open(HUX_IMG_INF& img) noexcept;

  const ImageView& View() const noexcept { return view_; }
  // The DIB header (followed by the palette), or null for bare rows.
  uint8_t* DibHeader() const noexcept { return header_; }

  // After an in-place change (crop, resampling, vertical scan): writes the
  // view's width, height, depth and resolution into the descriptor and the
  // DIB header. The rows must already lie at View().data with the stride of
  // the new width.
  // `resolution`: the dpi changed, so the header's pixels per metre too.
  void Commit(HUX_IMG_INF& img, const ImageView& changed, bool resolution) noexcept;

  // Unlocks hOutBuff; the view is empty afterwards.
  void Close() noexcept;

 private:
  ImageView view_;
  uint8_t* header_ = nullptr;
  HGLOBAL locked_ = nullptr;
};

// Writes width, height (keeping the sign of a top-down header), bit count,
// image size and, with `resolution`, both resolutions in pixels per metre
// into a 40-byte DIB header.
void WriteDibHeader(uint8_t* header, const ImageView& image, bool resolution) noexcept;

// The rows a DIB result needs in front: header and palette when the
// descriptor is a DIB of `bitsPixel`, else nothing.
uint32_t ResultPrefixBytes(const HUX_IMG_INF& img, uint8_t bitsPixel) noexcept;

// Hands a result that was built in a new global buffer to the descriptor:
// copies the input's DIB header and palette into the buffer's prefix when
// dataDIB is on (then corrects size and depth), frees a previous hOutBuff,
// stores the block in hOutBuff with outBuffKind = IMG_FLT_MEMAREA_NEW and
// updates dwWidth, dwHeight, bitsPixel and the resolution. `from` is the
// current image the result was made from; it must still be open.
// Returns 0; 12 when the buffer is not global or its prefix does not match.
int32_t DeliverNewImage(HUX_IMG_INF& img, CurrentImage& from, ImageBuffer&& result) noexcept;

// ---- Pipeline steps ----

// Rotation step: `angle` in hundredths of a degree, 0 ... 35999 (the caller
// adds detectedAngle and reduces by 36000). 0 does nothing. 9000, 18000 and
// 27000 turn the page by right angles (the move is made in memory order:
// rows turned over by dataUpDown are put back first and turned over again
// after). Any other angle rotates by -angle / 100 degrees with nearest
// samples, bounding box or, with rotCut on, cut back to the input size,
// corners filled as rotCrvcColor says. The result is delivered in hOutBuff.
// Returns 0, 10 (memory), 12 (image), 19 (depth not 1, 4, 8, 24).
int32_t RotateStep(HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm, uint32_t angle) noexcept;

// How RotateByAngle frames its output.
enum class RotateFrame {
  BoundingBox,  // round(|W cos| + |H sin|) x round(|W sin| + |H cos|), new block
  CutToInput,   // rotated on a max(W, H) square, cut back to W x H, new block
  InPlace,      // deskew mode: same size, in the current buffer
};

// Rotates the current image by `radians` (positive turns the page
// counter-clockwise as seen with row 0 at the top) about its centre.
// interpolate: bilinear for 4, 8, 24 bit (1 bit is always nearest).
// fillBlack: uncovered corners black, else white (YCC 24-bit: 128).
// A new frame is delivered in hOutBuff; InPlace changes the current buffer.
// Returns 0, 10, 12 (image or depth).
int32_t RotateByAngle(HUX_IMG_INF& img, double radians, bool interpolate, bool fillBlack,
                      RotateFrame frame) noexcept;

// Mirror step (left to right), 1, 4, 8, 24 bit. Returns 0, 12.
int32_t MirrorStep(HUX_IMG_INF& img) noexcept;
// Invert step: every byte of every row complemented. Returns 0, 12.
int32_t InvertStep(HUX_IMG_INF& img) noexcept;

// Resolution change to `dpi` with smoothing kernel `strength` (0: none,
// 1 ... 3) first; in place, 8 and 24 bit. Afterwards dwWidth, dwHeight,
// imgDpiX and imgDpiY (and a DIB header) hold the new values.
// Returns 0; 20 for 1 or 4 bit or a dpi above imgDpiX or imgDpiY; 12 for
// dpi 0, a zero input resolution, a result of zero size, or strength > 3;
// 10 (smoothing scratch).
int32_t ChangeResolutionStep(HUX_IMG_INF& img, uint32_t dpi, uint32_t strength) noexcept;

// ---- Algorithms on views ----

// Right angles: quarterTurns 1 (90), 2 (180), 3 (270); dst must have the
// rotated size and the same depth. Output row j of 90 is source column
// W - 1 - j read top to bottom. Returns 0 or 10 (row tables).
int32_t RotateRightAngle(const ImageView& src, uint32_t quarterTurns, const ImageView& dst) noexcept;

// The fixed-point inverse map of the rotation engine (13 fraction bits):
// output pixel (x, y) samples the source at
//   sx = x0 + x * c - y * s,  sy = y0 + x * s + y * c
// in source pixel units scaled by 8192, pixel i covering [i, i + 1) * 8192.
struct RotationMap {
  int64_t x0 = 0;
  int64_t y0 = 0;
  int64_t c = 8192;  // round(cos * 8192)
  int64_t s = 0;     // round(sin * 8192)
  bool IsIdentityTurn() const noexcept { return c == 8192 && s == 0; }
};

// The map that turns a srcW x srcH image by `radians` about its centre into
// a dstW x dstH frame centred on it; the shift moves both frames by the
// same number of pixels first (the canvas of CutToInput).
RotationMap MakeRotationMap(uint32_t srcW, uint32_t srcH, uint32_t dstW, uint32_t dstH,
                            double radians, int32_t shiftX = 0, int32_t shiftY = 0) noexcept;

// Output size of RotateFrame::BoundingBox.
void BoundingBoxSize(uint32_t w, uint32_t h, double radians, uint32_t* outW, uint32_t* outH) noexcept;

// Fill value as GetPixel returns it: 1 bit black = 1; 4 bit 0 / 15;
// 8 bit 0 / 255; 24 bit 0 / 255 in each byte, 128 for YCC.
uint32_t FillValue(const ImageView& image, bool fillBlack) noexcept;

// Rotation engine between two buffers of the same depth; `fill` as
// FillValue gives it. Returns 0 or 10 (row table).
int32_t RotateInto(const ImageView& src, const ImageView& dst, const RotationMap& map,
                   bool interpolate, uint32_t fill) noexcept;
// Deskew mode: same size, computed in place with a band of saved rows.
// Returns 0 or 10.
int32_t RotateInPlace(const ImageView& image, const RotationMap& map, bool interpolate,
                      uint32_t fill) noexcept;
// Deskew mode cut at once to a window of the turned image: the window's
// rows end up at the buffer's start with the window's stride (padding
// cleared), as a turn followed by a cut would leave them; `image` gets the
// window's size. Returns 0, 10, 12 (window outside the image or empty).
int32_t RotateInPlaceWindow(ImageView& image, const RotationMap& map, bool interpolate, uint32_t fill,
                            uint32_t left, uint32_t top, uint32_t width, uint32_t height) noexcept;

void Mirror(const ImageView& image) noexcept;
// One row of `width` pixels reversed in place (used bytes only; for 1 and
// 4 bit the freed padding bits of the last byte come out clear).
void MirrorRow(uint8_t* row, uint32_t width, uint8_t bitsPixel) noexcept;
void Invert(const ImageView& image) noexcept;

// 3 x 3 smoothing of 8- and 24-bit rows, first and last row and column
// kept. Returns 0, 10, 12 (depth or strength not 1 ... 3).
int32_t Smooth3x3(const ImageView& image, uint32_t strength) noexcept;

// Nearest-neighbour resampling in place to newW x newH (not larger than the
// input, not 0), 8 and 24 bit; `image` gets the new size and stride, the
// padding of the new rows is cleared. The same size leaves the rows as they
// are. Returns 0, 10 (column table), 12 (size).
int32_t ResampleInPlace(ImageView& image, uint32_t newW, uint32_t newH) noexcept;

// New size of a resolution change: floor(W * dpi / dpiX + 0.5) and the same
// for the height. Both resolutions must not be 0.
void ResampledSize(const ImageView& image, uint32_t dpi, uint32_t* newW, uint32_t* newH) noexcept;

// Vertical scan change of the rows in place, method 1 (nearest row) or 2
// (rows interpolated when added). The buffer must hold
// max(height, newHeight) rows. Returns 0 or 10.
int32_t VerticalScanInPlace(ImageView& image, uint32_t newHeight, uint32_t method) noexcept;

// Resolution at which to scan for an output of `dpi` (ImgFltGetLcmScanDpi).
uint32_t LcmScanDpi(uint8_t scannerModel, uint32_t dpi, uint32_t ratio) noexcept;

// The straightforward versions: same contracts, same results.
namespace reference {
void RotateRightAngle(const ImageView& src, uint32_t quarterTurns, const ImageView& dst) noexcept;
void RotateInto(const ImageView& src, const ImageView& dst, const RotationMap& map,
                bool interpolate, uint32_t fill) noexcept;
// In place through a full copy of the image. Returns 0 or 10.
int32_t RotateInPlace(const ImageView& image, const RotationMap& map, bool interpolate,
                      uint32_t fill) noexcept;
void Mirror(const ImageView& image) noexcept;
int32_t ResampleInPlace(ImageView& image, uint32_t newW, uint32_t newH) noexcept;
}  // namespace reference

}  // namespace imgflt::geometry

#endif
