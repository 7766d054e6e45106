// The deskew and crop steps of the pipeline: DeskewStep, CropStep.
#include <algorithm>
#include <cmath>

#include "deskew/deskew.h"
#include "geometry/geometry.h"

namespace imgflt::deskew {
namespace {

constexpr double kMaxSkew = 0.3490658503988659;  // radians, 20 degrees
constexpr double kStraight = 1.0 / 16384;        // sine and cosine tolerance of "no turn"
constexpr int32_t kMinPageTenths = 10;           // 1 mm: smaller is no page
constexpr int32_t kMinCropTenths = 100;          // 10 mm: smallest page rectangle
constexpr int32_t kSpecifiedSlackTenths = 25;    // 2.5 mm around a given cropSquare

PageRect WholeImage(const ImageView& v) noexcept {
  return {0, 0, static_cast<int32_t>(v.width), static_cast<int32_t>(v.height)};
}

Point Clamp(Point p, const ImageView& v) noexcept {
  return {std::clamp(p.x, 0, static_cast<int32_t>(v.width) - 1), std::clamp(p.y, 0, static_cast<int32_t>(v.height) - 1)};
}

// Working coordinates to full resolution: the quadrilateral grows by one
// pixel on every side, the coordinates along each edge moving away from the
// image's centre line.
Quad ScaleQuad(Quad q, int32_t scale, const ImageView& v) noexcept {
  for (Point* p : {&q.t, &q.b, &q.l, &q.r}) *p = {p->x * scale, p->y * scale};
  const int32_t cx = static_cast<int32_t>(v.width) / 2, cy = static_cast<int32_t>(v.height) / 2;
  auto away = [](int32_t c, int32_t centre) { return c < centre ? c - 1 : c + 1; };
  q.t = {away(q.t.x, cx), q.t.y - 1};
  q.b = {away(q.b.x, cx), q.b.y + 1};
  q.l = {q.l.x - 1, away(q.l.y, cy)};
  q.r = {q.r.x + 1, away(q.r.y, cy)};
  for (Point* p : {&q.t, &q.b, &q.l, &q.r}) *p = Clamp(*p, v);
  return q;
}

// A working pixel covers `scale` source pixels, the last one whatever the
// halving left over: working bound b (exclusive) of n back to the source's
// bound of `full`.
int32_t BackToSource(int32_t b, int32_t scale, int32_t n, int32_t full) noexcept {
  return b >= n ? full : std::min(b * scale, full);
}

bool IsStraight(double angle) noexcept {
  return std::fabs(std::sin(angle)) < kStraight && std::fabs(std::cos(angle) - 1) < kStraight;
}

// The rectangle grown by a margin (shrunk when negative); a margin wider
// than any image is held to one, which the fitting that follows makes the
// same result.
PageRect Grow(PageRect r, int32_t dx, int32_t dy) noexcept {
  constexpr int32_t kFar = 1 << 26;
  dx = std::clamp(dx, -kFar, kFar);
  dy = std::clamp(dy, -kFar, kFar);
  return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

// Margin in pixels at `dpi`; the product cannot overflow in 64 bits.
int32_t MarginPixels(int32_t tenths, uint32_t dpi) noexcept {
  const int64_t p = int64_t{tenths} * dpi;
  const int64_t px = (p + (tenths < 0 ? -127 : 127)) / 254;
  return static_cast<int32_t>(std::clamp<int64_t>(px, -(int64_t{1} << 30), int64_t{1} << 30));
}

// Keeps the size, centred on `on`, inside the image.
PageRect CentreOn(PageRect r, const PageRect& on, const ImageView& v) noexcept {
  const int32_t w = r.Width(), h = r.Height();
  r.left = on.left + (on.Width() - w) / 2;
  r.top = on.top + (on.Height() - h) / 2;
  r.right = r.left + w;
  r.bottom = r.top + h;
  return FitRect(r, 0, 0, v.width, v.height);
}

}  // namespace

int32_t DeskewStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, bool allSideDetect, PageRect* page) noexcept {
  DeskewPage found;
  const int32_t rc = DeskewStep(img, prm, allSideDetect, false, &found);
  if (page != nullptr) *page = found.rect;
  return rc;
}

int32_t DeskewStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, bool allSideDetect, bool cropFollows,
                   DeskewPage* page) noexcept {
  geometry::CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  ImageView real = cur.View();
  const PageRect whole = WholeImage(real);
  if (page != nullptr) *page = DeskewPage{whole, false};
  const bool automatic = prm.deskew == IMG_FLT_ON;
  if (!automatic && !std::isfinite(prm.deskewAngle)) return IMG_FLT_ERR_UNSUPPORTED;

  // The working image lives until this step ends, whatever the path.
  struct SlotGuard {
    ~SlotGuard() { ResetWorkingImage(); }
  } guard;
  WorkingImage& work = WorkingImageSlot();
  WorkingOptions options;
  options.blackLevel = prm.blackLevel;
  options.wLineLoc = prm.wLineLoc;
  options.wLineWidth = prm.wLineWidth;
  if (int32_t rc = BuildWorkingImage(real, options, &work); rc != IMG_FLT_SUCCESS) return rc;
  const ImageView wv = work.bits.View();
  const auto scale = static_cast<int32_t>(work.scale);

  Quad extremes;
  if (!FindExtremePoints(wv, WholeImage(wv), &extremes)) {
    if (automatic) prm.deskewAngle = 0;
    return IMG_FLT_SUCCESS;
  }
  const PageRect bounds = BoundingRect(extremes);
  if (bounds.Width() < MmTenths(kMinPageTenths, wv.dpiX) || bounds.Height() < MmTenths(kMinPageTenths, wv.dpiY)) {
    if (automatic) prm.deskewAngle = 0;
    return IMG_FLT_SUCCESS;
  }
  EdgeProfiles profiles;
  if (int32_t rc = BuildProfiles(wv, bounds, &profiles); rc != IMG_FLT_SUCCESS) return rc;

  double angle = 0;
  if (automatic) {
    double slope = 0;
    const bool found = allSideDetect
                           ? SkewFromAllEdges(profiles, extremes, wv.width, wv.height, wv.dpiX, wv.dpiY, &slope)
                           : SkewFromOneEdge(profiles, wv.height, &slope);
    if (found) angle = std::atan(slope);
    const double steepest = static_cast<double>(real.width) / real.height;
    if (!found || std::fabs(angle) > kMaxSkew || std::tan(std::fabs(angle)) > steepest) angle = 0;
    prm.deskewAngle = 0;
  } else {
    angle = prm.deskewAngle;
  }

  // The page is found on the turned working image; the real image is
  // turned once the page rectangle is known, so that when the crop step
  // follows the turn can write the page straight to the buffer's start.
  Quad quad = ScaleQuad(RefineQuad(profiles, extremes, angle), scale, real);
  const bool turn = !IsStraight(angle);
  if (turn) {
    auto workMap = geometry::MakeRotationMap(wv.width, wv.height, wv.width, wv.height, -angle);
    if (int32_t rc = geometry::RotateInPlace(wv, workMap, false, 1); rc != IMG_FLT_SUCCESS) return rc;
    for (Point* p : {&quad.t, &quad.b, &quad.l, &quad.r})
      *p = Clamp(RotatePoint(*p, real.width, real.height, -angle), real);
  }

  // Search rectangle, then the page inside it with the backing trimmed.
  int32_t minW = MmTenths(kMinCropTenths, real.dpiX), minH = MmTenths(kMinCropTenths, real.dpiY);
  const PageRect given = BoundingRect(FromCropSquare(prm.cropSquare));
  if (prm.crop == IMG_FLT_OFF) {
    minW = static_cast<int32_t>(std::min<uint32_t>(prm.fixedSize.cx, real.width));
    minH = static_cast<int32_t>(std::min<uint32_t>(prm.fixedSize.cy, real.height));
  } else if (prm.crop == IMG_FLT_SPECIFIED) {
    minW = given.Width() + MmTenths(kSpecifiedSlackTenths, real.dpiX);
    minH = given.Height() + MmTenths(kSpecifiedSlackTenths, real.dpiY);
  }
  const PageRect search = FitRect(BoundingRect(quad), minW, minH, real.width, real.height);
  const PageRect halved{search.left / scale, search.top / scale, (search.right + scale - 1) / scale,
                        (search.bottom + scale - 1) / scale};
  const PageRect trimmed = TrimBacking(wv, halved);
  PageRect rect{trimmed.left * scale, trimmed.top * scale,
                BackToSource(trimmed.right, scale, static_cast<int32_t>(wv.width), whole.right),
                BackToSource(trimmed.bottom, scale, static_cast<int32_t>(wv.height), whole.bottom)};

  if (prm.verNo >= 8 && prm.crop == IMG_FLT_ON && prm.cropMargin != 0)
    rect = Grow(rect, MarginPixels(prm.cropMargin, real.dpiX), MarginPixels(prm.cropMargin, real.dpiY));
  rect = FitRect(rect, MmTenths(kMinCropTenths, real.dpiX), MmTenths(kMinCropTenths, real.dpiY), real.width,
                 real.height);
  if (prm.crop == IMG_FLT_SPECIFIED) rect = CentreOn(rect, given, real);

  bool cut = false;
  if (turn) {
    // Backing black into the corners; the page inside is turned straight.
    const bool bilinear = prm.smoothing == IMG_FLT_ON && real.bitsPixel != 1;
    const uint32_t black = geometry::FillValue(real, true);
    auto realMap = geometry::MakeRotationMap(real.width, real.height, real.width, real.height, -angle);
    cut = cropFollows && prm.crop != IMG_FLT_OFF && rect != whole;
    const int32_t rc =
        cut ? geometry::RotateInPlaceWindow(real, realMap, bilinear, black, static_cast<uint32_t>(rect.left),
                                            static_cast<uint32_t>(rect.top), static_cast<uint32_t>(rect.Width()),
                                            static_cast<uint32_t>(rect.Height()))
            : geometry::RotateInPlace(real, realMap, bilinear, black);
    if (rc != IMG_FLT_SUCCESS) return rc;
    if (cut) cur.Commit(img, real, false);
    prm.deskewAngle = angle;
  }

  if (prm.crop == IMG_FLT_OFF && prm.fixedSize.cx != 0 && prm.fixedSize.cy != 0) {
    const uint32_t cx = std::min(prm.fixedSize.cx, real.width), cy = std::min(prm.fixedSize.cy, real.height);
    if (int32_t rc = CutFixedSize(real, rect, cx, cy, prm.fixedPosition); rc != IMG_FLT_SUCCESS) return rc;
    cur.Commit(img, real, false);
    prm.cropSquare = ToCropSquare(quad);
    rect = WholeImage(real);
  }
  if (page != nullptr) *page = DeskewPage{rect, cut};
  return IMG_FLT_SUCCESS;
}

int32_t CropStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, const DeskewPage& deskewPage,
                 bool removeSpecks) noexcept {
  if (!deskewPage.cut) return CropStep(img, prm, &deskewPage.rect, removeSpecks);
  // The deskew step already left only the page: what is left to do is the
  // record, the rectangle in the turned image's frame.
  prm.cropSquare = ToCropSquare(RectQuad(deskewPage.rect));
  return IMG_FLT_SUCCESS;
}

int32_t CropStep(HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, const PageRect* deskewPage,
                 bool removeSpecks) noexcept {
  geometry::CurrentImage cur;
  if (int32_t rc = cur.Open(img); rc != IMG_FLT_SUCCESS) return rc;
  ImageView real = cur.View();
  const PageRect whole = WholeImage(real);

  Quad quad;
  if (deskewPage != nullptr) {
    quad = RectQuad(*deskewPage);
  } else if (prm.crop == IMG_FLT_SPECIFIED) {
    quad = FromCropSquare(prm.cropSquare);
  } else {
    WorkingImage& work = WorkingImageSlot();
    if (!work.MadeFrom(real)) {
      WorkingOptions options;
      options.blackLevel = prm.blackLevel;
      options.wLineLoc = prm.wLineLoc;
      options.wLineWidth = prm.wLineWidth;
      options.halfResolution = false;
      options.removeSpecks = removeSpecks;
      if (int32_t rc = BuildWorkingImage(real, options, &work); rc != IMG_FLT_SUCCESS) return rc;
    }
    const ImageView wv = work.bits.View();
    const auto scale = static_cast<int32_t>(work.scale);
    Quad found;
    const bool any = FindExtremePoints(wv, WholeImage(wv), &found);
    const PageRect b = BoundingRect(found);
    if (!any || b.Width() < MmTenths(kMinPageTenths, wv.dpiX) || b.Height() < MmTenths(kMinPageTenths, wv.dpiY)) {
      prm.cropSquare = ToCropSquare(RectQuad(whole));  // no page: nothing to cut
      return IMG_FLT_SUCCESS;
    }
    // Back to full resolution, covering the last working pixel's block.
    const PageRect up{b.left * scale, b.top * scale,
                      BackToSource(b.right, scale, static_cast<int32_t>(wv.width), whole.right),
                      BackToSource(b.bottom, scale, static_cast<int32_t>(wv.height), whole.bottom)};
    for (Point* p : {&found.t, &found.b, &found.l, &found.r}) *p = {p->x * scale, p->y * scale};
    found.b.y = up.bottom - 1;
    found.r.x = up.right - 1;
    quad = found;
    if (prm.verNo >= 8 && prm.cropMargin != 0) {
      PageRect r = Grow(BoundingRect(quad), MarginPixels(prm.cropMargin, real.dpiX),
                        MarginPixels(prm.cropMargin, real.dpiY));
      r = FitRect(r, MmTenths(kMinCropTenths, real.dpiX), MmTenths(kMinCropTenths, real.dpiY), real.width,
                  real.height);
      quad = RectQuad(r);
    }
  }

  if (std::abs(quad.r.x - quad.l.x) + 1 == whole.right && std::abs(quad.b.y - quad.t.y) + 1 == whole.bottom) {
    prm.cropSquare = ToCropSquare(RectQuad(whole));
    return IMG_FLT_SUCCESS;
  }
  PageRect r = BoundingRect(quad);
  r.left = std::clamp(r.left, 0, whole.right);
  r.right = std::clamp(r.right, 0, whole.right);
  r.top = std::clamp(r.top, 0, whole.bottom);
  r.bottom = std::clamp(r.bottom, 0, whole.bottom);
  if (r.Width() <= 0 || r.Height() <= 0) return IMG_FLT_ERR_UNSUPPORTED;
  CutInPlace(real, r);
  cur.Commit(img, real, false);
  prm.cropSquare = ToCropSquare(RectQuad(r));
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::deskew
