// Left-right mirror (Mirror, MirrorRow) and invert (Invert).
//
// A 1- or 4-bit row is reversed byte by byte with the bits (nibbles) of each
// byte reversed; the pixels then start where the padding of the last byte
// was, so the row is shifted left by the padding width.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

constexpr std::array<uint8_t, 256> MakeBitReverse() {
  std::array<uint8_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned r = 0;
    for (unsigned b = 0; b < 8; ++b)
      if (i & (1u << b)) r |= 0x80u >> b;
    t[i] = static_cast<uint8_t>(r);
  }
  return t;
}
constexpr std::array<uint8_t, 256> kBitReverse = MakeBitReverse();

// Shifts n bytes left by `bits` (1 ... 7) across byte borders, zeros in.
void ShiftLeft(uint8_t* p, size_t n, unsigned bits) noexcept {
  for (size_t i = 0; i + 1 < n; ++i) p[i] = static_cast<uint8_t>((p[i] << bits) | (p[i + 1] >> (8 - bits)));
  p[n - 1] = static_cast<uint8_t>(p[n - 1] << bits);
}

// A 24-bit row reversed from a copy of it (`copy` holds the row and 4
// bytes to spare): one four-byte move per pixel, the fourth byte landing on
// the next pixel, which is written right after; the last goes byte by byte.
void MirrorRow24(uint8_t* row, uint32_t width, uint8_t* copy) noexcept {
  const size_t bytes = size_t{width} * 3;
  std::memcpy(copy, row, bytes);
  const uint8_t* s = copy + bytes - 3;
  uint8_t* d = row;
  for (uint32_t i = 0; i + 1 < width; ++i, d += 3, s -= 3) {
    uint32_t v;
    std::memcpy(&v, s, 4);
    std::memcpy(d, &v, 4);
  }
  d[0] = s[0];
  d[1] = s[1];
  d[2] = s[2];
}

}  // namespace

void MirrorRow(uint8_t* row, uint32_t width, uint8_t bitsPixel) noexcept {
  if (width == 0) return;
  switch (bitsPixel) {
    case 8: std::reverse(row, row + width); break;
    case 24: {
      uint8_t* a = row;
      uint8_t* b = row + (size_t{width} - 1) * 3;
      for (; a < b; a += 3, b -= 3) {
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
        std::swap(a[2], b[2]);
      }
      break;
    }
    case 4: {
      const size_t n = (size_t{width} + 1) / 2;
      std::reverse(row, row + n);
      for (size_t i = 0; i < n; ++i) row[i] = static_cast<uint8_t>((row[i] << 4) | (row[i] >> 4));
      if (width & 1) ShiftLeft(row, n, 4);
      break;
    }
    case 1: {
      const size_t n = (size_t{width} + 7) / 8;
      std::reverse(row, row + n);
      for (size_t i = 0; i < n; ++i) row[i] = kBitReverse[row[i]];
      if (unsigned pad = static_cast<unsigned>(n * 8 - width); pad != 0) ShiftLeft(row, n, pad);
      break;
    }
    default: break;
  }
}

void Mirror(const ImageView& image) noexcept {
  if (image.bitsPixel == 24 && image.width > 1) {
    std::vector<uint8_t> copy;
    try {
      copy.resize(size_t{image.width} * 3 + 4);
    } catch (...) {
      copy.clear();  // without the row copy, pixel pairs are swapped in place
    }
    if (!copy.empty()) {
      for (uint32_t y = 0; y < image.height; ++y) MirrorRow24(image.Row(y), image.width, copy.data());
      return;
    }
  }
  for (uint32_t y = 0; y < image.height; ++y) MirrorRow(image.Row(y), image.width, image.bitsPixel);
}

void Invert(const ImageView& image) noexcept {
  uint8_t* p = image.data;
  size_t n = image.Bytes();
  // Word at a time; the rows are one contiguous block.
  for (; n >= 8; n -= 8, p += 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    w = ~w;
    std::memcpy(p, &w, 8);
  }
  for (; n > 0; --n, ++p) *p = static_cast<uint8_t>(~*p);
}

}  // namespace imgflt::geometry
