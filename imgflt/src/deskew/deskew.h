// Private header of the deskew and crop family: the working image, the
// page's extreme points and edge profiles, the skew measured from one edge
// or from all four, the page rectangle, and the deskew and crop steps of
// the pipeline. Exported from here (exports.cpp): ImgFltIsSupportDskwCrpEnhMode.
//
// All detection runs on the working image, a 1-bit picture of the scan in
// which the backing is set and the paper clear, usually at half
// resolution; the real image is touched only by the final rotation and cut.
// Coordinates are pixels, x to the right, y down, row 0 at the top; a
// "slope" is minus dy/dx of the top edge (positive when the page is turned
// counter-clockwise on screen), and the angle is arctan(slope).
//
// Every function returns 0 or a result code of Hux_ImgFlt.h; none throws.
// The working image slot is module-wide state: calls run one at a time.
#ifndef IMGFLT_DESKEW_DESKEW_H
#define IMGFLT_DESKEW_DESKEW_H

#include <cstdint>
#include <span>
#include <vector>

#include "Hux_ImgFlt.h"
#include "interface/image.h"

namespace imgflt::deskew {

// Left, top inclusive; right, bottom exclusive.
struct PageRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const noexcept { return right - left; }
  int32_t Height() const noexcept { return bottom - top; }
  bool operator==(const PageRect&) const = default;
};

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

// The page quadrilateral: topmost, bottommost, leftmost, rightmost point.
struct Quad {
  Point t, b, l, r;
};

// left = min x, top = min y, right = max x + 1, bottom = max y + 1.
PageRect BoundingRect(const Quad& q) noexcept;
// t = l = (left, top), b = r = (right - 1, bottom - 1).
Quad RectQuad(const PageRect& r) noexcept;
HUX_CROP_SQUARE ToCropSquare(const Quad& q) noexcept;
Quad FromCropSquare(const HUX_CROP_SQUARE& s) noexcept;

// Millimetre tenths to pixels at `dpi`, (tenths * dpi + 127) / 254.
constexpr int32_t MmTenths(int32_t tenths, uint32_t dpi) noexcept { return TenthsMmToPixels(tenths, dpi); }

// ---- Working image ----

struct WorkingOptions {
  uint8_t blackLevel = 0;     // source values at or below it are backing
  uint8_t wLineLoc = 0;       // 1: strip at the left edge set, 2: at the right
  uint16_t wLineWidth = 0;    // strip width in source pixels
  bool halfResolution = true; // false: 1-bit sources are taken as they are
  bool removeSpecks = false;  // clean-up (a) replaced by speck removal
};

struct WorkingImage {
  ImageBuffer bits;  // 1 bit, set = backing; dpi of the working image
  uint32_t scale = 2;  // source pixels per working pixel (1 or 2)
  // The image it was made from, so that a stale slot is never taken for
  // another image.
  uint32_t sourceWidth = 0, sourceHeight = 0;
  uint8_t sourceBits = 0;
  explicit operator bool() const noexcept { return static_cast<bool>(bits); }
  bool MadeFrom(const ImageView& v) const noexcept {
    return bits && v.width == sourceWidth && v.height == sourceHeight && v.bitsPixel == sourceBits;
  }
};

// Builds the working image of a 1, 4, 8 or 24-bit image: every second pixel
// of every second row (unless halfResolution is off for a 1-bit source),
// set where the pixel is at or below the black level (all three bytes for
// 24 bit, the high nibble against blackLevel / 16 for 4 bit, the set bit for
// 1 bit), the white-line strip set, then the clean-up: short clear runs in
// rows (1.5 mm) closed, or clear specks up to 0.5 mm removed; short clear
// runs in the columns of the top and bottom 4 mm (1 mm) closed.
// Returns 0, 10, 12 (depth, or a source too small to halve).
int32_t BuildWorkingImage(const ImageView& image, const WorkingOptions& options, WorkingImage* out) noexcept;

// Sets every run of clear pixels of at most maxRun in every row (a run is
// ended by a set pixel or the row's end).
void CloseRowGaps(const ImageView& bits, uint32_t maxRun) noexcept;
// In the top `band` rows each column is scanned downwards and the bottom
// `band` rows upwards; a clear run of at most maxRun ended by a set pixel
// is set.
void CloseColumnGaps(const ImageView& bits, uint32_t maxRun, uint32_t band) noexcept;
// Sets every 8-connected component of clear pixels whose bounding box is at
// most maxSize x maxSize. Returns 0 or 10.
int32_t RemoveClearSpecks(const ImageView& bits, uint32_t maxSize) noexcept;

// The module-wide working image slot. The execute entries reset it at their
// start (ResetWorkingImage); deskew fills it and empties it when it ends;
// crop detection reuses what it finds there when it was made from an image
// of the same size and depth, else builds its own and leaves it there.
WorkingImage& WorkingImageSlot() noexcept;
void ResetWorkingImage() noexcept;

// ---- Page points and profiles ----

inline constexpr int32_t kNone = -1;  // profile entry without paper

// Extreme points of the clear pixels within `within` (clipped to the
// image). False when there is no clear pixel.
bool FindExtremePoints(const ImageView& bits, const PageRect& within, Quad* quad) noexcept;

// For every column of `rect` the row of the first clear pixel from the top
// and from the bottom, for every row the column of the first clear pixel
// from the left and the last from the right; kNone without paper.
struct EdgeProfiles {
  PageRect rect;
  std::vector<int32_t> top, bottom;  // indexed by x - rect.left
  std::vector<int32_t> left, right;  // indexed by y - rect.top
};
int32_t BuildProfiles(const ImageView& bits, const PageRect& rect, EdgeProfiles* out) noexcept;

// ---- Skew ----

// Slope of one edge from its profile points (x ascending): many short
// least-squares fits, the densest cluster of their values averaged. False
// when the edge gives no reliable slope (too few points or fits).
bool SkewFromEdge(std::span<const Point> points, double* slope) noexcept;

// The default method: the top edge, else the bottom edge. Points touching
// the image border do not belong to an edge. False when both fail.
bool SkewFromOneEdge(const EdgeProfiles& p, uint32_t imageH, double* slope) noexcept;

// All four edges, each cut at its corner, measured in 10 mm pieces and
// refitted without the deviating ones, then combined by which pair of
// opposite edges agrees best. False when no pair is valid.
bool SkewFromAllEdges(const EdgeProfiles& p, const Quad& extremes, uint32_t imageW, uint32_t imageH,
                      uint32_t dpiX, uint32_t dpiY, double* slope) noexcept;

// The quadrilateral for an angle: of the profile points and the extreme
// points, the ones with the smallest and largest coordinates once turned
// straight by the angle.
Quad RefineQuad(const EdgeProfiles& p, const Quad& extremes, double angle) noexcept;

// ---- Rectangles ----

// Where a point (pixel) of a w x h image lands when the image is rotated
// by `radians` about its centre (the rotation engine's frame).
Point RotatePoint(Point p, uint32_t w, uint32_t h, double radians) noexcept;

// Widens each side of r that is shorter than minW / minH, centred on r;
// then cuts a side longer than the image to it, centred, and shifts r into
// the image.
PageRect FitRect(PageRect r, int32_t minW, int32_t minH, uint32_t imageW, uint32_t imageH) noexcept;

// Trims backing columns from both sides of `search` (in working pixels),
// then backing rows between the remaining columns: a line is backing when
// at most (n + 64) / 128 of its n pixels are paper.
PageRect TrimBacking(const ImageView& bits, PageRect search) noexcept;

// Moves the rectangle's rows to the start of the buffer and clips the
// image to it (the rectangle must lie inside the image).
void CutInPlace(ImageView& image, const PageRect& r) noexcept;

// Cuts a cx x cy frame out of the image in place: the frame starts at the
// page's top and, horizontally, at its left (IMG_FLT_FIXED_LEFT), ends at
// its right (IMG_FLT_FIXED_RIGHT) or is centred on it; whatever of the frame
// lies outside the page is black. cx, cy no larger than the image.
// Returns 0 or 10.
int32_t CutFixedSize(ImageView& image, const PageRect& page, uint32_t cx, uint32_t cy,
                     uint8_t position) noexcept;

// ---- Pipeline steps ----

// What the deskew step hands to the crop step of the same run.
struct DeskewPage {
  PageRect rect;     // the page rectangle in the frame of the turned image
  bool cut = false;  // the turn already left only that rectangle
};

// Deskew step (deskew on or specified): finds the page, measures the skew
// (from all four edges when allSideDetect, which the caller reads from the
// tuning file when the step runs) or takes deskewAngle, rotates the image
// in place by it (bilinear with smoothing on, corners black) and finds the
// page rectangle, with cropMargin when crop is on and verNo >= 8. With crop
// off and both fixedSize values set, the image is cut to that size and
// cropSquare gets the page quadrilateral. deskewAngle gets the angle
// applied (0 when an automatic skew is refused: no slope, above 20 degrees,
// or steeper than the image's width / height).
//   [in,out] img          descriptor (pixels changed in place; the size
//                         only by a fixed-size cut or a cut made for the
//                         crop, below)
//   [in,out] prm          filter record
//   [in]     cropFollows  the crop step of this run will follow with the
//                         returned page (its mask bit is set and crop is not
//                         off): the turn then writes only the page rectangle,
//                         to the buffer's start, and page->cut says so; the
//                         result after the crop step is the same as turning
//                         and cutting apart, one full-page copy faster
//   [out]    page         page rectangle for the crop step (the whole image
//                         when no page is found); may be null
// Returns 0; 10 (memory); 12 (image or depth).
int32_t DeskewStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, bool allSideDetect, bool cropFollows,
                   DeskewPage* page) noexcept;
// The same without the early cut (cropFollows false); page gets the rect.
int32_t DeskewStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, bool allSideDetect, PageRect* page) noexcept;

// Crop step (crop on or specified): the page is deskewPage when the deskew
// step ran in this run (pass its rectangle; null otherwise), else cropSquare
// when crop is specified, else found on a working image (at full resolution
// for 1-bit images; speck removal instead of run closing when
// removeSpecks, the tuning file's choice, read by the caller), widened by
// cropMargin when verNo >= 8. A page covering the whole image cuts nothing.
// cropSquare gets the rectangle kept, in rectangle form.
//   [in,out] img  descriptor (rows moved to the buffer start, size updated)
//   [in,out] prm  filter record
// Returns 0; 10; 12 (image or depth).
int32_t CropStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, const PageRect* deskewPage,
                 bool removeSpecks) noexcept;
// The crop after DeskewStep(..., cropFollows, &page): when page.cut the
// image is already the page and only cropSquare is written.
int32_t CropStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, const DeskewPage& deskewPage,
                 bool removeSpecks) noexcept;

}  // namespace imgflt::deskew

#endif
