// Right-angle rotation of 1, 4, 8 and 24-bit images (RotateRightAngle).
//
// A quarter turn is a transpose with one of the two sides read in reverse
// row order: 90 writes transposed row r into output row W - 1 - r, 270
// transposes the source read bottom to top. The transpose runs in square
// tiles so that the column reads stay in cache; 1-bit images are moved in
// 8 x 8 bit blocks. A half turn is a row copy mirrored in place.
#include <algorithm>
#include <cstring>
#include <vector>

#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

constexpr uint32_t kTile = 64;  // pixels; two tiles of 24-bit pixels fit L1

// Transposes an 8 x 8 bit matrix held as eight bytes, row 0 in the most
// significant byte, column 0 in each byte's most significant bit.
inline uint64_t Transpose8x8(uint64_t x) noexcept {
  uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x = x ^ t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x = x ^ t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  x = x ^ t ^ (t << 28);
  return x;
}

// Asks for the source lines of the next tile down while this one is moved:
// the column walk defeats the hardware prefetcher, one row per output row.
inline void PrefetchNextTile(const uint8_t* in0, ptrdiff_t inStep, uint32_t inH, uint32_t k0, uint32_t i,
                             size_t offset, size_t bytes) noexcept {
  const uint32_t k = k0 + kTile + i;
  if (k >= inH) return;
  const uint8_t* p = in0 + static_cast<ptrdiff_t>(k) * inStep + offset;
  for (size_t b = 0; b < bytes; b += 64) __builtin_prefetch(p + b);
}

// out row r = column r of the source rows (row k at in0 + k * inStep, each
// `inW` pixels wide, `inH` of them); out rows are `inH` pixels wide.
void TransposeBytes(const uint8_t* in0, ptrdiff_t inStep, uint32_t inW, uint32_t inH,
                    const std::vector<uint8_t*>& out) noexcept {
  for (uint32_t r0 = 0; r0 < inW; r0 += kTile) {
    const uint32_t r1 = std::min(inW, r0 + kTile);
    for (uint32_t k0 = 0; k0 < inH; k0 += kTile) {
      const uint32_t k1 = std::min(inH, k0 + kTile);
      for (uint32_t r = r0; r < r1; ++r) {
        PrefetchNextTile(in0, inStep, inH, k0, r - r0, r0, r1 - r0);
        uint8_t* d = out[r] + k0;
        const uint8_t* s = in0 + static_cast<ptrdiff_t>(k0) * inStep + r;
        for (uint32_t k = k0; k < k1; ++k, ++d, s += inStep) *d = *s;
      }
    }
  }
}

// The same for three-byte pixels. A pixel moves as one four-byte load and
// store; the fourth byte lands on the next pixel of the output row, which
// is written right after, so only a row's last pixel (and the source's last
// column, whose fourth byte may lie past the image) goes byte by byte.
void TransposeTriples(const uint8_t* in0, ptrdiff_t inStep, uint32_t inW, uint32_t inH,
                      const std::vector<uint8_t*>& out) noexcept {
  for (uint32_t r0 = 0; r0 < inW; r0 += kTile) {
    const uint32_t r1 = std::min(inW, r0 + kTile);
    for (uint32_t k0 = 0; k0 < inH; k0 += kTile) {
      const uint32_t k1 = std::min(inH, k0 + kTile);
      for (uint32_t r = r0; r < r1; ++r) {
        PrefetchNextTile(in0, inStep, inH, k0, r - r0, size_t{r0} * 3, size_t{r1 - r0} * 3);
        uint8_t* d = out[r] + size_t{k0} * 3;
        // The output rows are 64 streams at once, more than the hardware
        // follows: their lines two tiles on are asked for too.
        if (k0 + 3 * kTile <= inH)
          for (size_t b = 0; b < kTile * 3; b += 64) __builtin_prefetch(d + 2 * kTile * 3 + b, 1);
        const uint8_t* s = in0 + static_cast<ptrdiff_t>(k0) * inStep + size_t{r} * 3;
        const uint32_t wide = (r + 1 < inW) ? std::min(k1, inH - 1) : k0;
        uint32_t k = k0;
        for (; k < wide; ++k, d += 3, s += inStep) {
          uint32_t v;
          std::memcpy(&v, s, 4);
          std::memcpy(d, &v, 4);
        }
        for (; k < k1; ++k, d += 3, s += inStep) {
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
        }
      }
    }
  }
}

void TransposeNibbles(const std::vector<const uint8_t*>& in, uint32_t inW, uint32_t inH,
                      const std::vector<uint8_t*>& out) noexcept {
  for (uint32_t r0 = 0; r0 < inW; r0 += kTile) {
    uint32_t r1 = std::min(inW, r0 + kTile);
    for (uint32_t k0 = 0; k0 < inH; k0 += kTile) {
      uint32_t k1 = std::min(inH, k0 + kTile);
      for (uint32_t r = r0; r < r1; ++r) {
        uint8_t* d = out[r];
        const uint32_t byte = r >> 1;
        const unsigned shift = (r & 1) ? 0 : 4;
        for (uint32_t k = k0; k < k1; ++k) {
          uint8_t v = static_cast<uint8_t>((in[k][byte] >> shift) & 0x0F);
          uint8_t& b = d[k >> 1];
          b = (k & 1) ? static_cast<uint8_t>((b & 0xF0) | v) : static_cast<uint8_t>((b & 0x0F) | (v << 4));
        }
      }
    }
  }
}

void TransposeBits(const std::vector<const uint8_t*>& in, uint32_t inW, uint32_t inH,
                   const std::vector<uint8_t*>& out) noexcept {
  const uint32_t inBytes = (inW + 7) / 8;
  for (uint32_t kb = 0; kb * 8 < inH; ++kb) {
    const uint32_t rows = std::min<uint32_t>(8, inH - kb * 8);
    for (uint32_t xb = 0; xb < inBytes; ++xb) {
      uint64_t x = 0;
      for (uint32_t i = 0; i < rows; ++i) x |= uint64_t{in[kb * 8 + i][xb]} << (56 - 8 * i);
      x = Transpose8x8(x);
      const uint32_t cols = std::min<uint32_t>(8, inW - xb * 8);
      // Bits of rows past inH are zero, so the padding of the last byte is clear.
      for (uint32_t c = 0; c < cols; ++c) out[xb * 8 + c][kb] = static_cast<uint8_t>(x >> (56 - 8 * c));
    }
  }
}

}  // namespace

int32_t RotateRightAngle(const ImageView& src, uint32_t quarterTurns, const ImageView& dst) noexcept {
  const uint32_t w = src.width, h = src.height;
  quarterTurns &= 3;
  if (quarterTurns == 0) {
    CopyRows(dst, src);
    return IMG_FLT_SUCCESS;
  }
  if (quarterTurns == 2) {
    const size_t used = src.UsedRowBytes();
    for (uint32_t j = 0; j < h; ++j) {
      std::memcpy(dst.Row(j), src.Row(h - 1 - j), used);
      MirrorRow(dst.Row(j), w, src.bitsPixel);
    }
    return IMG_FLT_SUCCESS;
  }
  std::vector<const uint8_t*> in;
  std::vector<uint8_t*> out;
  try {
    in.resize(h);
    out.resize(w);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  for (uint32_t k = 0; k < h; ++k) in[k] = quarterTurns == 3 ? src.Row(h - 1 - k) : src.Row(k);
  for (uint32_t r = 0; r < w; ++r) out[r] = quarterTurns == 1 ? dst.Row(w - 1 - r) : dst.Row(r);
  const ptrdiff_t step = quarterTurns == 3 ? -static_cast<ptrdiff_t>(src.stride) : static_cast<ptrdiff_t>(src.stride);
  switch (src.bitsPixel) {
    case 1: TransposeBits(in, w, h, out); break;
    case 4: TransposeNibbles(in, w, h, out); break;
    case 8: TransposeBytes(in[0], step, w, h, out); break;
    default: TransposeTriples(in[0], step, w, h, out); break;
  }
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::geometry
