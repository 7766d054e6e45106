// Where the paper is in the working image: FindExtremePoints,
// BuildProfiles, RefineQuad, RotatePoint, and the quadrilateral and
// rectangle conversions (BoundingRect, RectQuad, ToCropSquare,
// FromCropSquare).
#include <algorithm>
#include <bit>
#include <cmath>

#include "deskew/bits.h"
#include "deskew/deskew.h"

namespace imgflt::deskew {
namespace {

// The bits of byte b that lie in [x0, x1).
uint8_t ByteMask(int32_t b, int32_t x0, int32_t x1) noexcept {
  uint32_t mask = 0xFF;
  if (b * 8 < x0) mask &= 0xFFu >> (x0 - b * 8);
  if (b * 8 + 8 > x1) mask &= (0xFFu << (b * 8 + 8 - x1)) & 0xFF;
  return static_cast<uint8_t>(mask);
}

// Clear (paper) bits of byte `b` of a row that lie in [x0, x1).
uint8_t ClearBits(const uint8_t* row, int32_t b, int32_t x0, int32_t x1) noexcept {
  return static_cast<uint8_t>(~row[b] & ByteMask(b, x0, x1));
}

// Largest x in [x0, x1) whose bit is clear, or kNone.
int32_t LastClear(const uint8_t* row, int32_t x0, int32_t x1) noexcept {
  if (x1 <= x0) return kNone;
  for (int32_t b = (x1 - 1) >> 3; b >= (x0 >> 3); --b)
    if (uint8_t c = ClearBits(row, b, x0, x1); c != 0) return b * 8 + 7 - std::countr_zero(c);
  return kNone;
}

int32_t FirstClear(const uint8_t* row, int32_t x0, int32_t x1, uint32_t stride) noexcept {
  if (x1 <= x0) return kNone;
  int32_t x = bits::Next(row, x0, x1, false, stride);
  return x < x1 ? x : kNone;
}

// The x the topmost (bottommost) point takes in its row: the first paper
// pixel in the left half of the row's bytes, else the last in the right half.
int32_t RowPointX(const uint8_t* row, int32_t x0, int32_t x1, uint32_t stride) noexcept {
  const int32_t first = x0 >> 3, last = (x1 - 1) >> 3;
  const int32_t split = std::clamp((first + (last - first + 1) / 2) * 8, x0, x1);
  int32_t x = FirstClear(row, x0, split, stride);
  return x != kNone ? x : LastClear(row, split, x1);
}

// Leftmost (fromLeft) or rightmost clear pixel by byte columns; among equal
// x a row in the lower half of the rectangle replaces an earlier one.
bool SidePoint(const ImageView& v, const PageRect& r, bool fromLeft, Point* p) noexcept {
  const int32_t first = r.left >> 3, last = (r.right - 1) >> 3;
  const int32_t mid = r.top + (r.bottom - r.top) / 2;
  for (int32_t k = 0; k <= last - first; ++k) {
    const int32_t b = fromLeft ? first + k : last - k;
    bool found = false;
    for (int32_t y = r.top; y < r.bottom; ++y) {
      const uint8_t c = ClearBits(v.Row(static_cast<uint32_t>(y)), b, r.left, r.right);
      if (c == 0) continue;
      const int32_t x = fromLeft ? b * 8 + std::countl_zero(c) : b * 8 + 7 - std::countr_zero(c);
      const bool better = !found || (fromLeft ? x < p->x : x > p->x);
      if (better || (x == p->x && y >= mid)) *p = {x, y};
      found = true;
    }
    if (found) return true;
  }
  return false;
}

}  // namespace

PageRect BoundingRect(const Quad& q) noexcept {
  PageRect r;
  r.left = std::min({q.t.x, q.b.x, q.l.x, q.r.x});
  r.top = std::min({q.t.y, q.b.y, q.l.y, q.r.y});
  r.right = std::max({q.t.x, q.b.x, q.l.x, q.r.x}) + 1;
  r.bottom = std::max({q.t.y, q.b.y, q.l.y, q.r.y}) + 1;
  return r;
}

Quad RectQuad(const PageRect& r) noexcept {
  const Point tl{r.left, r.top}, br{r.right - 1, r.bottom - 1};
  return {tl, br, tl, br};
}

HUX_CROP_SQUARE ToCropSquare(const Quad& q) noexcept {
  auto pt = [](Point p) {
    return HUX_POINT{static_cast<uint32_t>(std::max(p.x, 0)), static_cast<uint32_t>(std::max(p.y, 0))};
  };
  return {pt(q.t), pt(q.b), pt(q.l), pt(q.r)};
}

Quad FromCropSquare(const HUX_CROP_SQUARE& s) noexcept {
  // Values beyond any image are clipped later; keep them where sums of a
  // few of them cannot overflow.
  static constexpr uint32_t kFar = 1u << 28;
  auto pt = [](HUX_POINT p) {
    return Point{static_cast<int32_t>(std::min(p.x, kFar)), static_cast<int32_t>(std::min(p.y, kFar))};
  };
  return {pt(s.t), pt(s.b), pt(s.l), pt(s.r)};
}

bool FindExtremePoints(const ImageView& v, const PageRect& within, Quad* quad) noexcept {
  PageRect r;
  r.left = std::max(within.left, 0);
  r.top = std::max(within.top, 0);
  r.right = std::min(within.right, static_cast<int32_t>(v.width));
  r.bottom = std::min(within.bottom, static_cast<int32_t>(v.height));
  if (r.left >= r.right || r.top >= r.bottom) return false;

  int32_t top = kNone;
  for (int32_t y = r.top; y < r.bottom && top == kNone; ++y)
    if (FirstClear(v.Row(static_cast<uint32_t>(y)), r.left, r.right, v.stride) != kNone) top = y;
  if (top == kNone) return false;
  int32_t bottom = top;
  for (int32_t y = r.bottom - 1; y > top; --y)
    if (FirstClear(v.Row(static_cast<uint32_t>(y)), r.left, r.right, v.stride) != kNone) {
      bottom = y;
      break;
    }
  quad->t = {RowPointX(v.Row(static_cast<uint32_t>(top)), r.left, r.right, v.stride), top};
  quad->b = {RowPointX(v.Row(static_cast<uint32_t>(bottom)), r.left, r.right, v.stride), bottom};
  SidePoint(v, r, true, &quad->l);
  SidePoint(v, r, false, &quad->r);
  return true;
}

int32_t BuildProfiles(const ImageView& v, const PageRect& rect, EdgeProfiles* out) noexcept {
  const int32_t w = rect.Width(), h = rect.Height();
  out->rect = rect;
  try {
    out->top.assign(static_cast<size_t>(std::max(w, 0)), kNone);
    out->bottom.assign(static_cast<size_t>(std::max(w, 0)), kNone);
    out->left.assign(static_cast<size_t>(std::max(h, 0)), kNone);
    out->right.assign(static_cast<size_t>(std::max(h, 0)), kNone);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  if (w <= 0 || h <= 0) return IMG_FLT_SUCCESS;

  // Top and bottom: rows from the edge inwards, eight columns per byte,
  // until every column has met the paper; `open` keeps the columns still
  // looking, [lo, hi] the bytes that have any.
  const int32_t first = rect.left >> 3, last = (rect.right - 1) >> 3;
  std::vector<uint8_t> open;
  try {
    open.resize(static_cast<size_t>(last - first + 1));
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  auto columns = [&](std::vector<int32_t>& prof, int32_t y0, int32_t step) {
    for (int32_t b = first; b <= last; ++b) open[static_cast<size_t>(b - first)] = ByteMask(b, rect.left, rect.right);
    int32_t lo = first, hi = last;
    for (int32_t k = 0, y = y0; k < h && lo <= hi; ++k, y += step) {
      const uint8_t* row = v.Row(static_cast<uint32_t>(y));
      for (int32_t b = lo; b <= hi; ++b) {
        uint8_t& o = open[static_cast<size_t>(b - first)];
        uint8_t c = static_cast<uint8_t>(~row[b] & o);
        o = static_cast<uint8_t>(o & ~c);
        while (c != 0) {
          const int32_t bit = std::countl_zero(c);
          c = static_cast<uint8_t>(c & ~(0x80u >> bit));
          prof[static_cast<size_t>(b * 8 + bit - rect.left)] = y;
        }
      }
      while (lo <= hi && open[static_cast<size_t>(lo - first)] == 0) ++lo;
      while (hi >= lo && open[static_cast<size_t>(hi - first)] == 0) --hi;
    }
  };
  columns(out->top, rect.top, 1);
  columns(out->bottom, rect.bottom - 1, -1);
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* row = v.Row(static_cast<uint32_t>(y));
    out->left[static_cast<size_t>(y - rect.top)] = FirstClear(row, rect.left, rect.right, v.stride);
    out->right[static_cast<size_t>(y - rect.top)] = LastClear(row, rect.left, rect.right);
  }
  return IMG_FLT_SUCCESS;
}

Quad RefineQuad(const EdgeProfiles& p, const Quad& extremes, double angle) noexcept {
  const double c = std::cos(angle), s = std::sin(angle);
  Quad q = extremes;
  double minV = 0, maxV = 0, minU = 0, maxU = 0;
  bool any = false;
  auto consider = [&](Point pt) {
    const double u = pt.x * c - pt.y * s;
    const double v = pt.y * c + pt.x * s;
    if (!any || v < minV) minV = v, q.t = pt;
    if (!any || v > maxV) maxV = v, q.b = pt;
    if (!any || u < minU) minU = u, q.l = pt;
    if (!any || u > maxU) maxU = u, q.r = pt;
    any = true;
  };
  for (Point e : {extremes.t, extremes.b, extremes.l, extremes.r}) consider(e);
  for (size_t i = 0; i < p.top.size(); ++i) {
    const int32_t x = p.rect.left + static_cast<int32_t>(i);
    if (p.top[i] != kNone) consider({x, p.top[i]});
    if (p.bottom[i] != kNone) consider({x, p.bottom[i]});
  }
  for (size_t i = 0; i < p.left.size(); ++i) {
    const int32_t y = p.rect.top + static_cast<int32_t>(i);
    if (p.left[i] != kNone) consider({p.left[i], y});
    if (p.right[i] != kNone) consider({p.right[i], y});
  }
  return q;
}

Point RotatePoint(Point p, uint32_t w, uint32_t h, double radians) noexcept {
  // The engine samples output (x, y) at centre + R(radians)(x - centre) in
  // pixel-centre coordinates; a source point therefore lands at the inverse.
  const double c = std::cos(radians), s = std::sin(radians);
  const double cx = w / 2.0, cy = h / 2.0;
  const double dx = p.x + 0.5 - cx, dy = p.y + 0.5 - cy;
  const double x = cx + dx * c + dy * s - 0.5;
  const double y = cy - dx * s + dy * c - 0.5;
  return {static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
}

}  // namespace imgflt::deskew
