// The rotation engine for any angle: MakeRotationMap, BoundingBoxSize,
// FillValue, RotateInto, RotateInPlace and RotateInPlaceWindow (deskew
// mode).
//
// Every output pixel samples the source through the inverse rotation, in
// 13-bit fixed point with pixel centres at half-pixel positions. The map is
// affine and exact in integers, so stepping along a row (adding c and s)
// gives the same positions as multiplying out; per row the span of output
// pixels whose sample lies inside the source is solved for in advance and
// only the ends take the fill. Bilinear samples use 10-bit weights.
//
// Nearest samples of a small turn (deskew's range) are consecutive pixels
// of one source row between two events, a change of source row or a
// repeated column, so they are copied a run at a time; the results are the
// pixel-at-a-time ones (the tests compare them with the reference).
//
// In place, output rows are made top to bottom: rows above the current one
// have already been overwritten, so the engine keeps a ring of the original
// rows as far back as the map can reach and reads them through a row table.
// A window of the output can be made the same way straight to the buffer's
// start, as a turn followed by a cut.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

constexpr int kFracBits = 13;
constexpr int64_t kOne = int64_t{1} << kFracBits;  // 1.0
constexpr int64_t kHalf = kOne / 2;
constexpr int kWeightShift = 3;  // 13-bit fraction to 10-bit weight
constexpr int64_t kWeightOne = 1024;

int64_t FloorDiv(int64_t a, int64_t b) noexcept {  // b > 0
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Output pixels x in [0, n) with 0 <= start + x * step < limit, as [lo, hi).
void InsideSpan(int64_t start, int64_t step, int64_t limit, uint32_t n, int64_t* lo,
                int64_t* hi) noexcept {
  int64_t a = 0, b = n;
  if (step == 0) {
    if (start < 0 || start >= limit) b = 0;
  } else if (step > 0) {
    a = -FloorDiv(start, step);                // smallest x with start + x*step >= 0
    if (start + a * step < 0) ++a;
    b = FloorDiv(limit - start - 1, step) + 1;  // largest x with start + x*step <= limit-1, plus 1
  } else {
    b = FloorDiv(start, -step) + 1;                // start + x*step >= 0
    a = FloorDiv(start - limit, -step) + 1;        // start + x*step < limit
  }
  *lo = std::clamp<int64_t>(a, 0, n);
  *hi = std::clamp<int64_t>(b, 0, n);
  if (*hi < *lo) *hi = *lo;
}

struct Source {
  const uint8_t* const* rows;
  int64_t w;
  int64_t h;
  uint32_t stride;
};

inline uint32_t Lerp(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy,
                     uint32_t maxValue) noexcept {
  uint64_t top = uint64_t{p00} * (kWeightOne - fx) + uint64_t{p01} * fx;
  uint64_t bottom = uint64_t{p10} * (kWeightOne - fx) + uint64_t{p11} * fx;
  uint64_t v = (top * (kWeightOne - fy) + bottom * fy + (uint64_t{1} << 19)) >> 20;
  return static_cast<uint32_t>(std::min<uint64_t>(v, maxValue));
}

// Neighbours and weights of a bilinear sample at fixed-point (X, Y).
struct Bilinear {
  int64_t x0, x1, y0, y1;
  uint32_t fx, fy;
};

inline Bilinear Neighbours(const Source& src, int64_t X, int64_t Y) noexcept {
  int64_t px = X - kHalf, py = Y - kHalf;
  int64_t ix = px >> kFracBits, iy = py >> kFracBits;
  Bilinear b;
  b.fx = static_cast<uint32_t>((px & (kOne - 1)) >> kWeightShift);
  b.fy = static_cast<uint32_t>((py & (kOne - 1)) >> kWeightShift);
  b.x0 = std::max<int64_t>(ix, 0);
  b.x1 = std::min<int64_t>(ix + 1, src.w - 1);
  b.y0 = std::max<int64_t>(iy, 0);
  b.y1 = std::min<int64_t>(iy + 1, src.h - 1);
  return b;
}

inline uint32_t Nibble(const uint8_t* row, int64_t x) noexcept {
  return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
}

// Up to 8 bytes from p, the first in the most significant byte, never
// reading at or past `end`.
inline uint64_t LoadBE(const uint8_t* p, const uint8_t* end) noexcept {
  if (end - p >= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
  }
  uint64_t v = 0;
  for (int i = 0; p + i < end; ++i) v |= uint64_t{p[i]} << (56 - 8 * i);
  return v;
}

// ORs the top n bits of v (n <= 57) into the row at bit `pos`.
inline void PutBits(uint8_t* d, int64_t pos, uint64_t v, int64_t n) noexcept {
  const int64_t off = pos & 7;
  v >>= off;
  uint8_t* p = d + (pos >> 3);
  for (int64_t k = 0, bytes = (off + n + 7) >> 3; k < bytes; ++k) p[k] |= static_cast<uint8_t>(v >> (56 - 8 * k));
}

// Where, along an output row, the nearest samples leave one source row (Y
// crosses a multiple of 8192, every 8192 / |s| pixels) or take the same
// source column twice (the fraction of X, losing 8192 - c per pixel, wraps;
// every 8192 / (8192 - c) pixels). Between two such events the samples are
// consecutive pixels of one source row. Needs 0 < c <= 8192.
class RunEvents {
 public:
  RunEvents(int64_t c, int64_t s) noexcept : s_(s), as_(s < 0 ? -s : s), d_(kOne - c) {
    if (as_ != 0) qs_ = kOne / as_, invS_ = 1.0 / static_cast<double>(as_);
    if (d_ != 0) qd_ = kOne / d_, invD_ = 1.0 / static_cast<double>(d_);
  }
  // Pixels until the source row changes, from source position Y.
  int64_t ToRowChange(int64_t Y) const noexcept {
    if (as_ == 0) return INT64_MAX / 4;
    const int64_t f = s_ > 0 ? (Y & (kOne - 1)) : kOne - 1 - (Y & (kOne - 1));
    return Steps(f, as_, qs_, invS_);
  }
  // Pixels until the source column repeats, from source position X.
  int64_t ToColumnRepeat(int64_t X) const noexcept {
    if (d_ == 0) return INT64_MAX / 4;
    return Steps(kOne - 1 - (X & (kOne - 1)), d_, qd_, invD_);
  }

 private:
  // Smallest k >= 1 with f + k * step >= 8192, for 0 <= f < 8192. Right
  // after an event f < step and k is q or q + 1; otherwise estimated with
  // the reciprocal and corrected.
  static int64_t Steps(int64_t f, int64_t step, int64_t q, double inv) noexcept {
    if (f < step) return f + q * step >= kOne ? q : q + 1;
    int64_t k = std::max<int64_t>(1, static_cast<int64_t>(static_cast<double>(kOne - f) * inv));
    while (f + k * step < kOne) ++k;
    while (k > 1 && f + (k - 1) * step >= kOne) --k;
    return k;
  }
  int64_t s_, as_, d_;
  int64_t qs_ = 0, qd_ = 0;
  double invS_ = 0, invD_ = 0;
};

// Writes a 1-bit row from bit `from` on, whole 64-bit words at a time; the
// bits before `from` in its byte are kept.
class BitAppender {
 public:
  BitAppender(uint8_t* row, int64_t from) noexcept : row_(row), pos_(from & ~int64_t{7}), count_(from - pos_) {
    if (count_ != 0) acc_ = (uint64_t{row[pos_ >> 3]} << 56) & (~uint64_t{0} << (64 - count_));
  }
  // The top n bits of v (n <= 57, the rest clear).
  void Append(uint64_t v, int64_t n) noexcept {
    acc_ |= v >> count_;
    if (count_ + n < 64) {
      count_ += n;
      return;
    }
    const uint64_t word = __builtin_bswap64(acc_);
    std::memcpy(row_ + (pos_ >> 3), &word, 8);
    const int64_t spill = count_ + n - 64;
    acc_ = spill != 0 ? v << (64 - count_) : 0;
    pos_ += 64;
    count_ = spill;
  }
  void Finish() noexcept {
    for (int64_t k = 0; k < (count_ + 7) >> 3; ++k) row_[(pos_ >> 3) + k] = static_cast<uint8_t>(acc_ >> (56 - 8 * k));
  }

 private:
  uint8_t* row_;
  int64_t pos_;    // bit position of acc_'s top bit, a multiple of 8
  int64_t count_;  // bits held
  uint64_t acc_ = 0;
};

// Nearest samples of a turn below 90 degrees in runs of consecutive source
// pixels: the same pixels as one at a time, copied a run at a time.
void NearestRuns(const Source& src, uint8_t bits, uint8_t* d, int64_t n, int64_t lo, int64_t hi, int64_t X,
                 int64_t Y, int64_t c, int64_t s) noexcept {
  const RunEvents events(c, s);
  int64_t x = lo;
  int64_t nextRow = x + events.ToRowChange(Y), nextColumn = x + events.ToColumnRepeat(X);
  // Runs are short (8192 / |s| pixels), so bytes move in 16-byte pieces
  // that may run past the run's end: the next run overwrites the excess.
  // Near the end of either row the copy is exact.
  const int64_t bpp = bits / 8;
  const int64_t dstEnd = n * bpp, srcEnd = src.stride;
  BitAppender bitsOut(d, lo);
  const int64_t prefetchStep = (s > 0 ? -8 : 8) * bpp * std::max<int64_t>(1, kOne / std::max<int64_t>(1, std::abs(s)));
  while (x < hi) {
    int64_t end = std::min({nextRow, nextColumn, hi});
    const uint8_t* row = src.rows[Y >> kFracBits];
    const int64_t sx = X >> kFracBits;
    if (bits == 1) {
      end = std::min(end, x + 57);
      const int64_t len = end - x;
      const uint64_t v = (LoadBE(row + (sx >> 3), row + srcEnd) << (sx & 7)) & (~uint64_t{0} << (64 - len));
      bitsOut.Append(v, len);
    } else {
      const int64_t bytes = (end - x) * bpp, so = sx * bpp;
      uint8_t* dp = d + x * bpp;
      const uint8_t* sp = row + so;
      const int64_t padded = (bytes + 15) & ~int64_t{15};
      // The next output rows take the neighbouring pieces of the same
      // source rows, on the side the turn moves to: ask for them now, as
      // the many interleaved row walks defeat the hardware prefetcher.
      __builtin_prefetch(sp + prefetchStep);
      if (x * bpp + padded <= dstEnd && so + padded <= srcEnd) {
        for (int64_t i = 0; i < bytes; i += 16) std::memcpy(dp + i, sp + i, 16);
      } else {
        std::memcpy(dp, sp, static_cast<size_t>(bytes));
      }
    }
    X += (end - x) * c;
    Y += (end - x) * s;
    x = end;
    if (x == nextRow) nextRow = x + events.ToRowChange(Y);
    if (x == nextColumn) nextColumn = x + events.ToColumnRepeat(X);
  }
  if (bits == 1) bitsOut.Finish();
}

// Sets or clears bits [x0, x1) of a row.
void FillBits(uint8_t* d, int64_t x0, int64_t x1, bool set) noexcept {
  for (; x0 < x1 && (x0 & 7) != 0; ++x0)
    d[x0 >> 3] = static_cast<uint8_t>(set ? d[x0 >> 3] | (0x80u >> (x0 & 7)) : d[x0 >> 3] & ~(0x80u >> (x0 & 7)));
  if (x1 - x0 >= 8) {
    std::memset(d + (x0 >> 3), set ? 0xFF : 0, static_cast<size_t>((x1 - x0) >> 3));
    x0 += (x1 - x0) & ~int64_t{7};
  }
  for (; x0 < x1; ++x0)
    d[x0 >> 3] = static_cast<uint8_t>(set ? d[x0 >> 3] | (0x80u >> (x0 & 7)) : d[x0 >> 3] & ~(0x80u >> (x0 & 7)));
}

// One output row of `n` pixels starting at source position (X, Y).
void RotateRow(const Source& src, uint8_t bits, uint8_t* d, uint32_t n, int64_t X, int64_t Y,
               int64_t c, int64_t s, bool interpolate, uint32_t fill) noexcept {
  int64_t ax, bx, ay, by;
  InsideSpan(X, c, src.w * kOne, n, &ax, &bx);
  InsideSpan(Y, s, src.h * kOne, n, &ay, &by);
  const int64_t lo = std::max(ax, ay);
  const int64_t hi = std::max(lo, std::min(bx, by));
  X += lo * c;
  Y += lo * s;
  const uint8_t f0 = static_cast<uint8_t>(fill), f1 = static_cast<uint8_t>(fill >> 8),
                f2 = static_cast<uint8_t>(fill >> 16);
  // Turns up to about 26 degrees either way (deskew's range) run-copy.
  if (!interpolate && c > 0 && 2 * std::abs(s) <= c && bits != 4) {
    if (bits == 1) {
      std::memset(d, 0, (size_t{n} + 7) / 8);
      FillBits(d, 0, lo, fill & 1);
      NearestRuns(src, bits, d, n, lo, hi, X, Y, c, s);
      FillBits(d, hi, n, fill & 1);
      return;
    }
    // The fill right of the runs comes after them: a run's last piece may
    // reach past its end.
    const int64_t bpp = bits / 8;
    const bool flat = bits == 8 || (f0 == f1 && f1 == f2);
    if (flat) {
      std::memset(d, f0, static_cast<size_t>(lo * bpp));
    } else {
      for (int64_t x = 0; x < lo; ++x) d[3 * x] = f0, d[3 * x + 1] = f1, d[3 * x + 2] = f2;
    }
    NearestRuns(src, bits, d, n, lo, hi, X, Y, c, s);
    if (flat) {
      std::memset(d + hi * bpp, f0, static_cast<size_t>((n - hi) * bpp));
    } else {
      for (int64_t x = hi; x < n; ++x) d[3 * x] = f0, d[3 * x + 1] = f1, d[3 * x + 2] = f2;
    }
    return;
  }

  if (bits == 8) {
    std::memset(d, f0, static_cast<size_t>(lo));
    if (!interpolate) {
      for (int64_t x = lo; x < hi; ++x, X += c, Y += s) d[x] = src.rows[Y >> kFracBits][X >> kFracBits];
    } else {
      for (int64_t x = lo; x < hi; ++x, X += c, Y += s) {
        Bilinear b = Neighbours(src, X, Y);
        const uint8_t* r0 = src.rows[b.y0];
        const uint8_t* r1 = src.rows[b.y1];
        d[x] = static_cast<uint8_t>(Lerp(r0[b.x0], r0[b.x1], r1[b.x0], r1[b.x1], b.fx, b.fy, 255));
      }
    }
    std::memset(d + hi, f0, static_cast<size_t>(n - hi));
    return;
  }
  if (bits == 24) {
    for (int64_t x = 0; x < lo; ++x) {
      d[3 * x] = f0;
      d[3 * x + 1] = f1;
      d[3 * x + 2] = f2;
    }
    if (!interpolate) {
      uint8_t* o = d + 3 * lo;
      for (int64_t x = lo; x < hi; ++x, X += c, Y += s, o += 3) {
        const uint8_t* p = src.rows[Y >> kFracBits] + 3 * (X >> kFracBits);
        o[0] = p[0];
        o[1] = p[1];
        o[2] = p[2];
      }
    } else {
      for (int64_t x = lo; x < hi; ++x, X += c, Y += s) {
        Bilinear b = Neighbours(src, X, Y);
        const uint8_t* r0 = src.rows[b.y0];
        const uint8_t* r1 = src.rows[b.y1];
        for (int k = 0; k < 3; ++k)
          d[3 * x + k] = static_cast<uint8_t>(Lerp(r0[3 * b.x0 + k], r0[3 * b.x1 + k], r1[3 * b.x0 + k],
                                                   r1[3 * b.x1 + k], b.fx, b.fy, 255));
      }
    }
    for (int64_t x = hi; x < n; ++x) {
      d[3 * x] = f0;
      d[3 * x + 1] = f1;
      d[3 * x + 2] = f2;
    }
    return;
  }
  if (bits == 4) {
    auto put = [d](int64_t x, uint32_t v) {
      uint8_t& o = d[x >> 1];
      o = (x & 1) ? static_cast<uint8_t>((o & 0xF0) | v) : static_cast<uint8_t>((o & 0x0F) | (v << 4));
    };
    for (int64_t x = 0; x < lo; ++x) put(x, fill & 0x0F);
    for (int64_t x = lo; x < hi; ++x, X += c, Y += s) {
      if (!interpolate) {
        put(x, Nibble(src.rows[Y >> kFracBits], X >> kFracBits));
      } else {
        Bilinear b = Neighbours(src, X, Y);
        const uint8_t* r0 = src.rows[b.y0];
        const uint8_t* r1 = src.rows[b.y1];
        put(x, Lerp(Nibble(r0, b.x0), Nibble(r0, b.x1), Nibble(r1, b.x0), Nibble(r1, b.x1), b.fx, b.fy, 15));
      }
    }
    for (int64_t x = hi; x < n; ++x) put(x, fill & 0x0F);
    if (n & 1) d[n >> 1] &= 0xF0;  // padding nibble clear, as in a fresh buffer
    return;
  }
  // 1 bit: always the nearest sample; eight pixels are gathered per byte.
  const uint32_t fb = fill & 1;
  uint32_t acc = 0;
  int64_t x = 0;
  auto push = [&](uint32_t bit) {
    acc = (acc << 1) | bit;
    if ((x & 7) == 7) {
      d[x >> 3] = static_cast<uint8_t>(acc);
      acc = 0;
    }
    ++x;
  };
  while (x < lo) push(fb);
  for (; x < hi; X += c, Y += s) {
    const uint8_t* r = src.rows[Y >> kFracBits];
    const int64_t sx = X >> kFracBits;
    push((r[sx >> 3] >> (7 - (sx & 7))) & 1u);
  }
  while (x < n) push(fb);
  if ((n & 7) != 0) d[n >> 3] = static_cast<uint8_t>(acc << (8 - (n & 7)));
}

}  // namespace

RotationMap MakeRotationMap(uint32_t srcW, uint32_t srcH, uint32_t dstW, uint32_t dstH, double radians,
                            int32_t shiftX, int32_t shiftY) noexcept {
  RotationMap m;
  m.c = std::llround(std::cos(radians) * static_cast<double>(kOne));
  m.s = std::llround(std::sin(radians) * static_cast<double>(kOne));
  // Output pixel centre (x + 1/2) relative to the output centre, turned back
  // onto the source centre; the constant part is rounded down once here.
  const int64_t ox = kHalf - int64_t{dstW} * kHalf;
  const int64_t oy = kHalf - int64_t{dstH} * kHalf;
  const int64_t kx = ox * m.c - oy * m.s;
  const int64_t ky = ox * m.s + oy * m.c;
  m.x0 = int64_t{srcW} * kHalf + (kx >> kFracBits);
  m.y0 = int64_t{srcH} * kHalf + (ky >> kFracBits);
  // Both frames shifted by (shiftX, shiftY): output (x, y) is frame pixel
  // (x + shiftX, y + shiftY) and the source lies shiftX, shiftY into its frame.
  m.x0 += int64_t{shiftX} * m.c - int64_t{shiftY} * m.s - int64_t{shiftX} * kOne;
  m.y0 += int64_t{shiftX} * m.s + int64_t{shiftY} * m.c - int64_t{shiftY} * kOne;
  return m;
}

void BoundingBoxSize(uint32_t w, uint32_t h, double radians, uint32_t* outW, uint32_t* outH) noexcept {
  const double c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
  *outW = static_cast<uint32_t>(std::llround(w * c + h * s));
  *outH = static_cast<uint32_t>(std::llround(w * s + h * c));
}

uint32_t FillValue(const ImageView& image, bool fillBlack) noexcept {
  switch (image.bitsPixel) {
    case 1: return fillBlack ? 1u : 0u;  // a set bit is black
    case 4: return fillBlack ? 0u : 15u;
    case 8: return fillBlack ? 0u : 255u;
    default:
      if (image.orderRGB == kOrderYCC) return 0x808080u;
      return fillBlack ? 0u : 0xFFFFFFu;
  }
}

int32_t RotateInto(const ImageView& src, const ImageView& dst, const RotationMap& map, bool interpolate,
                   uint32_t fill) noexcept {
  if (map.IsIdentityTurn() && src.width == dst.width && src.height == dst.height && map.x0 == kHalf &&
      map.y0 == kHalf) {
    CopyRows(dst, src);
    return IMG_FLT_SUCCESS;
  }
  // The row table is small next to the image; rows are read through it so
  // that the in-place mode can redirect overwritten rows.
  std::vector<const uint8_t*> rows;
  try {
    rows.resize(src.height);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  for (uint32_t y = 0; y < src.height; ++y) rows[y] = src.Row(y);
  const Source s{rows.data(), src.width, src.height, src.stride};
  for (uint32_t y = 0; y < dst.height; ++y)
    RotateRow(s, src.bitsPixel, dst.Row(y), dst.width, map.x0 - int64_t{y} * map.s,
              map.y0 + int64_t{y} * map.c, map.c, map.s, interpolate, fill);
  return IMG_FLT_SUCCESS;
}

int32_t RotateInPlaceWindow(ImageView& image, const RotationMap& map, bool interpolate, uint32_t fill,
                            uint32_t left, uint32_t top, uint32_t width, uint32_t height) noexcept {
  const uint32_t w = image.width, h = image.height;
  if (w == 0 || h == 0 || width == 0 || height == 0 || left + width > w || top + height > h)
    return IMG_FLT_ERR_UNSUPPORTED;
  const bool whole = left == 0 && top == 0 && width == w && height == h;
  if (whole && map.IsIdentityTurn() && map.x0 == kHalf && map.y0 == kHalf) return IMG_FLT_SUCCESS;

  // How far above an output row its samples can reach (bilinear takes one
  // row more above). The reach is affine in x and y, so the corners bound it.
  int64_t reach = 0;
  for (int64_t y : {int64_t{0}, int64_t{h} - 1})
    for (int64_t x : {int64_t{0}, int64_t{w} - 1}) {
      int64_t sy = map.y0 + x * map.s + y * map.c;
      reach = std::max(reach, y - ((sy - kHalf) >> kFracBits));
    }
  const uint32_t band = static_cast<uint32_t>(std::min<int64_t>(reach + 2, h));

  std::vector<const uint8_t*> rows;
  std::vector<uint8_t> saved;
  try {
    rows.resize(h);
    saved.resize(size_t{band} * image.stride);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  for (uint32_t y = 0; y < h; ++y) rows[y] = image.Row(y);
  const Source s{rows.data(), w, h, image.stride};
  const uint32_t outStride = RowStride(width, image.bitsPixel);
  const size_t used = (size_t{width} * image.bitsPixel + 7) / 8;
  // Output row j goes to the buffer's row j of the window's stride, which
  // lies within source rows up to its own source row top + j: those have
  // all been saved by then. Rows above top - band are never sampled.
  const uint32_t first = top > band ? top - band : 0;
  for (uint32_t y = first; y < top + height; ++y) {
    // The original row moves to the ring first, for this row and the rows
    // below that still sample it; the slot it takes held a row no later
    // output can reach.
    uint8_t* slot = saved.data() + size_t{y % band} * image.stride;
    std::memcpy(slot, image.Row(y), image.stride);
    rows[y] = slot;
    if (y < top) continue;
    uint8_t* d = image.data + size_t{y - top} * outStride;
    RotateRow(s, image.bitsPixel, d, width, map.x0 + int64_t{left} * map.c - int64_t{y} * map.s,
              map.y0 + int64_t{left} * map.s + int64_t{y} * map.c, map.c, map.s, interpolate, fill);
    std::memset(d + used, 0, outStride - used);
  }
  image.width = width;
  image.height = height;
  image.stride = outStride;
  return IMG_FLT_SUCCESS;
}

int32_t RotateInPlace(const ImageView& image, const RotationMap& map, bool interpolate,
                      uint32_t fill) noexcept {
  if (image.width == 0 || image.height == 0) return IMG_FLT_SUCCESS;
  ImageView v = image;
  return RotateInPlaceWindow(v, map, interpolate, fill, 0, 0, image.width, image.height);
}

}  // namespace imgflt::geometry
