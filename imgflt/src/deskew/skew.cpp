// Skew measurement: SkewFromEdge, SkewFromOneEdge, SkewFromAllEdges.
//
// One edge: the profile of the top (else the bottom) edge also holds part
// of a side edge, and corners, tabs and dog-ears bend it. Many short
// least-squares fits are made along it; their values are sorted and the
// densest cluster within a tolerance that shrinks with the edge length wins,
// so the straight majority of the edge decides and the rest is outvoted.
//
// Four edges: each profile is cut at the page corner and its longer part is
// measured in pieces of about 10 mm; pieces that disagree with the median
// are dropped before the whole part is fitted again. Of the two pairs of
// opposite edges, the one whose edges agree (or are more nearly parallel)
// gives the slope.
#include <algorithm>
#include <cmath>
#include <vector>

#include "deskew/deskew.h"

namespace imgflt::deskew {
namespace {

constexpr double kMaxFitSlope = 0.363970234266202;  // tan 20 degrees
constexpr int32_t kPieceTenths = 100;               // 10 mm pieces of an edge
constexpr double kPieceTolerance = 0.1;             // relative to the median slope
constexpr double kZeroMedianTolerance = 0.1;        // absolute, when the median is 0
constexpr double kMaxErrorPercent = 35.0;           // deviating pieces still refitted
// Two opposite edges count as equal when their slopes differ by less than
// this (about 0.06 degrees, below one working pixel over an A4 width).
constexpr double kEqualSlope = 0.001;

struct LineFit {
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  int64_t n = 0;
  void Add(double x, double y) noexcept {
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
    ++n;
  }
  // dy/dx; false with fewer than two points or a zero denominator.
  bool Slope(double* s) const noexcept {
    const double den = static_cast<double>(n) * sxx - sx * sx;
    if (n < 2 || den == 0) return false;
    *s = (static_cast<double>(n) * sxy - sx * sy) / den;
    return true;
  }
};

// A profile seen as points (index, value) with the entries that belong to
// the edge; index runs along the edge.
struct Side {
  std::vector<int32_t> value;  // kNone where the entry does not count
  bool valid = false;
  double slope = 0;
  double error = 0;  // percentage of deviating pieces
};

double FitRange(const Side& side, int32_t from, int32_t to, int32_t step, bool* ok) noexcept {
  LineFit f;
  for (int32_t i = from; i < to; i += step)
    if (side.value[static_cast<size_t>(i)] != kNone) f.Add(i, side.value[static_cast<size_t>(i)]);
  double s = 0;
  *ok = f.Slope(&s);
  return s;
}

void MeasureSide(Side& side, int32_t corner, int32_t piece) noexcept {
  const auto n = static_cast<int32_t>(side.value.size());
  int32_t first = 0, last = n - 1;
  while (first < n && side.value[static_cast<size_t>(first)] == kNone) ++first;
  while (last >= first && side.value[static_cast<size_t>(last)] == kNone) --last;
  if (first > last) return;
  // Keep the longer part on either side of the corner.
  corner = std::clamp(corner, first, last);
  int32_t p0 = first, p1 = corner;
  if (last - corner > corner - first) p0 = corner, p1 = last;
  const int32_t len = p1 - p0 + 1;

  int32_t pieces = std::max(len / std::max(piece, 1), 0);
  if (pieces % 2 == 0) ++pieces;  // an odd count has a middle for the median
  const int32_t pieceLen = len / pieces;
  if (pieceLen == 0) return;
  std::vector<double> slopes;
  std::vector<bool> fitted;
  try {
    slopes.resize(static_cast<size_t>(pieces));
    fitted.resize(static_cast<size_t>(pieces));
  } catch (...) {
    return;
  }
  std::vector<double> sorted;
  for (int32_t k = 0; k < pieces; ++k) {
    const int32_t a = p0 + k * pieceLen, b = k == pieces - 1 ? p1 + 1 : a + pieceLen;
    bool ok = false;
    slopes[static_cast<size_t>(k)] = FitRange(side, a, b, std::max((b - a) / 10, 1), &ok);
    fitted[static_cast<size_t>(k)] = ok;
    if (ok) try {
        sorted.push_back(slopes[static_cast<size_t>(k)]);
      } catch (...) {
        return;
      }
  }
  if (sorted.empty()) return;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[sorted.size() / 2];
  const double tolerance = median == 0 ? kZeroMedianTolerance : kPieceTolerance * std::fabs(median);
  int32_t deviating = 0;
  for (int32_t k = 0; k < pieces; ++k) {
    const bool off = !fitted[static_cast<size_t>(k)] || std::fabs(slopes[static_cast<size_t>(k)] - median) > tolerance;
    fitted[static_cast<size_t>(k)] = !off;
    deviating += off ? 1 : 0;
  }
  side.error = 100.0 * deviating / pieces;
  int32_t step = std::max(len / 100, 1);
  if (side.error <= kMaxErrorPercent) {
    for (int32_t k = 0; k < pieces; ++k) {
      if (fitted[static_cast<size_t>(k)]) continue;
      const int32_t a = p0 + k * pieceLen, b = k == pieces - 1 ? p1 + 1 : a + pieceLen;
      for (int32_t i = a; i < b; ++i) side.value[static_cast<size_t>(i)] = kNone;
    }
    step = std::max(len / 25, 1);
  }
  bool ok = false;
  side.slope = FitRange(side, p0, p1 + 1, step, &ok);
  side.valid = ok;
}

// Entries of a profile that lie on the page edge: present and not on the
// image border, where the page runs out of the scan.
bool CopySide(const std::vector<int32_t>& profile, int32_t border, Side* side) noexcept {
  try {
    side->value = profile;
  } catch (...) {
    return false;
  }
  for (int32_t& v : side->value)
    if (v == border) v = kNone;
  return true;
}

// The slope of the edge of a pair with the smaller error (the first on ties).
const Side& Better(const Side& a, const Side& b) noexcept { return b.error < a.error ? b : a; }

double Parallelism(double s1, double s2) noexcept {
  return std::fabs((s1 * s2 + 1) / (std::sqrt(s1 * s1 + 1) * std::sqrt(s2 * s2 + 1)));
}

}  // namespace

bool SkewFromEdge(std::span<const Point> points, double* slope) noexcept {
  const auto j = static_cast<int64_t>(points.size());
  if (j <= 31) return false;
  const int64_t half = j / 2;
  int64_t a = j - half;
  const int64_t s = a < 128 ? 1 : a / 64;
  a /= s;
  if (a <= 7) return false;
  int64_t e = half > 31 ? half / 16 : 2;
  int64_t f = half / e;
  if (f < 2) {
    e = half / 2;
    f = 2;
  }
  std::vector<double> values;
  try {
    values.reserve(static_cast<size_t>(a));
  } catch (...) {
    return false;
  }
  for (int64_t i = 0; i < a; ++i) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int64_t k = 0; k < f; ++k) {
      const Point& p = points[static_cast<size_t>(i * s + k * e)];
      sx += p.x;
      sy += p.y;
      sxx += double{1} * p.x * p.x;
      sxy += double{1} * p.x * p.y;
    }
    const double den = static_cast<double>(f) * sxx - sx * sx;
    if (den == 0) continue;
    const double m = (sy * sx - static_cast<double>(f) * sxy) / den;  // minus dy/dx
    if (std::fabs(m) > kMaxFitSlope) continue;
    values.push_back(m);
  }
  const auto k = static_cast<int64_t>(values.size());
  if (k * 10 < 4 * a) return false;
  std::sort(values.begin(), values.end());
  const double delta = 1.5 / static_cast<double>(half);
  int64_t best = 0, bestStart = 0;
  for (int64_t i = 0; i + 3 <= k; ++i) {
    int64_t n = 1;
    while (i + n < k && values[static_cast<size_t>(i + n)] - values[static_cast<size_t>(i)] < delta) ++n;
    if (n > best) best = n, bestStart = i;
  }
  if (best == 0 || best < k / 8) return false;
  double sum = 0;
  for (int64_t i = 0; i < best; ++i) sum += values[static_cast<size_t>(bestStart + i)];
  *slope = sum / static_cast<double>(best);
  return true;
}

bool SkewFromOneEdge(const EdgeProfiles& p, uint32_t imageH, double* slope) noexcept {
  std::vector<Point> pts;
  auto edge = [&](const std::vector<int32_t>& prof, int32_t border) {
    pts.clear();
    try {
      for (size_t i = 0; i < prof.size(); ++i)
        if (prof[i] != kNone && prof[i] != border) pts.push_back({p.rect.left + static_cast<int32_t>(i), prof[i]});
    } catch (...) {
      return false;
    }
    return SkewFromEdge(pts, slope);
  };
  return edge(p.top, 0) || edge(p.bottom, static_cast<int32_t>(imageH) - 1);
}

bool SkewFromAllEdges(const EdgeProfiles& p, const Quad& extremes, uint32_t imageW, uint32_t imageH,
                      uint32_t dpiX, uint32_t dpiY, double* slope) noexcept {
  Side top, bottom, left, right;
  if (!CopySide(p.top, 0, &top) || !CopySide(p.bottom, static_cast<int32_t>(imageH) - 1, &bottom) ||
      !CopySide(p.left, 0, &left) || !CopySide(p.right, static_cast<int32_t>(imageW) - 1, &right))
    return false;
  const int32_t pieceX = MmTenths(kPieceTenths, dpiX), pieceY = MmTenths(kPieceTenths, dpiY);
  MeasureSide(top, extremes.t.x - p.rect.left, pieceX);
  MeasureSide(bottom, extremes.b.x - p.rect.left, pieceX);
  MeasureSide(left, extremes.l.y - p.rect.top, pieceY);
  MeasureSide(right, extremes.r.y - p.rect.top, pieceY);

  // Horizontal slopes are dy/dx of the top and bottom edges, vertical ones
  // dx/dy of the left and right edges, which for the same page turn have
  // the opposite sign.
  const bool horizontal = top.valid && bottom.valid;
  const bool vertical = left.valid && right.valid;
  double s = 0;
  if (horizontal && std::fabs(top.slope - bottom.slope) < kEqualSlope) {
    s = Better(top, bottom).slope;
  } else if (vertical && std::fabs(left.slope - right.slope) < kEqualSlope) {
    s = -Better(left, right).slope;
  } else if (!horizontal && !vertical) {
    return false;
  } else if (horizontal && vertical) {
    if (Parallelism(left.slope, right.slope) >= Parallelism(top.slope, bottom.slope))
      s = -Better(left, right).slope;
    else
      s = Better(top, bottom).slope;
  } else if (vertical) {
    s = -Better(left, right).slope;
  } else {
    s = Better(top, bottom).slope;
  }
  *slope = -s;  // the same sense as the one-edge method
  return true;
}

}  // namespace imgflt::deskew
