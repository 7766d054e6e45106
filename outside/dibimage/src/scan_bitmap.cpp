// Packed DIBs handed over by the scanner: header, palette and rows checked
// against the buffer size, then turned into a top-down PageImage.
#include <cstring>
#include <new>

#include "image_ops.h"

namespace dibimage::detail {
namespace {

uint32_t U32(const uint8_t* p) noexcept {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t U16(const uint8_t* p) noexcept { return uint16_t(p[0] | (p[1] << 8)); }

constexpr uint32_t kMinHeader = 40;
constexpr uint32_t kMaxHeader = 124;  // BITMAPV5HEADER

int32_t DpiOf(int32_t pelsPerMeter) noexcept {
  if (pelsPerMeter <= 0) return 0;
  return int32_t((int64_t(pelsPerMeter) * 254 + 5000) / 10000);
}

// Clears the bits after the last pixel of every row, so that equal
// images have equal bytes.
void ClearRowPadding(PageImage& image) noexcept {
  const uint32_t stride = image.Stride();
  const uint64_t usedBits = uint64_t(image.width) * uint32_t(image.bitsPerPixel);
  const uint32_t fullBytes = uint32_t(usedBits / 8);
  const uint32_t restBits = uint32_t(usedBits % 8);
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = image.pixels.data() + size_t(y) * stride;
    uint32_t from = fullBytes;
    if (restBits) row[from++] &= uint8_t(0xFF << (8 - restBits));
    if (from < stride) std::memset(row + from, 0, stride - from);
  }
}

}  // namespace

int32_t ParsePackedDib(std::span<const uint8_t> dib, PageImage* out) noexcept {
  if (dib.data() == nullptr || dib.size() < kMinHeader) return kDibErrBadScanBitmap;
  const uint8_t* h = dib.data();
  const uint32_t headerSize = U32(h);
  const int32_t width = int32_t(U32(h + 4));
  const int32_t rawHeight = int32_t(U32(h + 8));
  const uint16_t planes = U16(h + 12);
  const uint16_t bits = U16(h + 14);
  const uint32_t compression = U32(h + 16);
  const uint32_t sizeImage = U32(h + 20);
  const int32_t xPels = int32_t(U32(h + 24));
  const int32_t yPels = int32_t(U32(h + 28));
  const uint32_t clrUsed = U32(h + 32);

  if (headerSize < kMinHeader || headerSize > kMaxHeader || headerSize > dib.size()) return kDibErrBadScanBitmap;
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return kDibErrBadScanBitmap;
  if (planes != 1 || compression != 0) return kDibErrBadScanBitmap;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return kDibErrBadScanBitmap;

  const uint32_t maxColours = bits == 24 ? 256u : (1u << bits);
  const uint32_t colours = (clrUsed == 0 && bits != 24) ? maxColours : clrUsed;
  if (colours > maxColours) return kDibErrBadScanBitmap;

  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  const uint64_t stride = ((uint64_t(uint32_t(width)) * bits + 31) / 32) * 4;
  const uint64_t need = stride * uint64_t(uint32_t(height));
  const uint64_t bitsOffset = uint64_t(headerSize) + uint64_t(colours) * 4;
  if (bitsOffset > dib.size() || need > dib.size() - bitsOffset) return kDibErrBadScanBitmap;
  if (sizeImage != 0 && sizeImage < need) return kDibErrBadScanBitmap;
  if (need > CDIB::kMaxImageBytes) return kDibErrNoMemory;

  try {
    PageImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    image.xDpi = DpiOf(xPels);
    image.yDpi = DpiOf(yPels);
    if (bits != 24) {
      image.palette.assign(maxColours, 0u);
      const uint8_t* pal = h + headerSize;
      for (uint32_t i = 0; i < colours; ++i)
        image.palette[i] = uint32_t(pal[4 * i]) | (uint32_t(pal[4 * i + 1]) << 8) | (uint32_t(pal[4 * i + 2]) << 16);
    }
    image.pixels.resize(size_t(need));
    const uint8_t* src = h + bitsOffset;
    for (int32_t y = 0; y < height; ++y) {
      const int32_t from = topDown ? y : height - 1 - y;
      std::memcpy(image.pixels.data() + size_t(y) * stride, src + size_t(from) * stride, size_t(stride));
    }
    if (bits == 1) {
      // Set bits are black: invert when the scanner's palette says otherwise.
      if (Luma(image.palette[0]) < Luma(image.palette[1]))
        for (uint8_t& b : image.pixels) b = uint8_t(~b);
      image.palette = {0xFFFFFFu, 0x000000u};
    }
    ClearRowPadding(image);
    *out = std::move(image);
    return zoimg::kOk;
  } catch (const std::bad_alloc&) {
    return kDibErrNoMemory;
  }
}

}  // namespace dibimage::detail
