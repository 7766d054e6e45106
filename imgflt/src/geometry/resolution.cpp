// Resolution change and its helpers: Smooth3x3, ResampledSize,
// ResampleInPlace, VerticalScanInPlace, LcmScanDpi.
//
// Resampling only ever shrinks (targets above the input resolution are
// refused before), so output row j and column i always come from a source
// position at or after their own and the work can be done in place front
// to back. The vertical scan change may also add rows; it then writes from
// the last row to the first for the same reason.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "geometry/geometry.h"

namespace imgflt::geometry {
namespace {

// Smoothing kernels, weights summing to 256: centre, each edge neighbour,
// each corner neighbour, for strengths 1 (strongest) to 3 (weakest).
struct Kernel {
  uint32_t centre, edge, corner;
};
constexpr Kernel kKernels[3] = {{68, 31, 16}, {128, 21, 11}, {192, 11, 5}};

constexpr uint32_t kMinScanDpiModel6 = 150;  // dpi
constexpr uint32_t kMinScanDpi = 200;        // dpi, every other model
constexpr uint32_t kMaxScanDpi = 600;        // dpi

uint32_t BytesPerPixel(uint8_t bits) noexcept { return bits == 24 ? 3 : 1; }

}  // namespace

int32_t Smooth3x3(const ImageView& image, uint32_t strength) noexcept {
  if ((image.bitsPixel != 8 && image.bitsPixel != 24) || strength < 1 || strength > 3)
    return IMG_FLT_ERR_UNSUPPORTED;
  if (image.width < 3 || image.height < 3) return IMG_FLT_SUCCESS;  // edges only
  const Kernel k = kKernels[strength - 1];
  const size_t bpp = BytesPerPixel(image.bitsPixel);
  const size_t rowBytes = size_t{image.width} * bpp;
  std::vector<uint8_t> buffer;
  try {
    buffer.resize(2 * rowBytes);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  // The result of row y is held back until row y + 1 has been computed, so
  // every sum reads unsmoothed rows only.
  for (uint32_t y = 1; y + 1 < image.height; ++y) {
    uint8_t* out = buffer.data() + (y & 1) * rowBytes;
    const uint8_t* up = image.Row(y - 1);
    const uint8_t* mid = image.Row(y);
    const uint8_t* down = image.Row(y + 1);
    std::memcpy(out, mid, rowBytes);  // first and last column stay
    for (size_t i = bpp; i < rowBytes - bpp; ++i) {
      uint32_t sum = k.centre * mid[i] +
                     k.edge * (uint32_t{up[i]} + down[i] + mid[i - bpp] + mid[i + bpp]) +
                     k.corner * (uint32_t{up[i - bpp]} + up[i + bpp] + down[i - bpp] + down[i + bpp]);
      out[i] = static_cast<uint8_t>(std::min<uint32_t>(sum >> 8, 255));
    }
    if (y >= 2) std::memcpy(image.Row(y - 1), buffer.data() + ((y - 1) & 1) * rowBytes, rowBytes);
  }
  const uint32_t last = image.height - 2;
  std::memcpy(image.Row(last), buffer.data() + (last & 1) * rowBytes, rowBytes);
  return IMG_FLT_SUCCESS;
}

void ResampledSize(const ImageView& image, uint32_t dpi, uint32_t* newW, uint32_t* newH) noexcept {
  *newW = static_cast<uint32_t>(std::floor(static_cast<double>(image.width) * dpi / image.dpiX + 0.5));
  *newH = static_cast<uint32_t>(std::floor(static_cast<double>(image.height) * dpi / image.dpiY + 0.5));
}

int32_t ResampleInPlace(ImageView& image, uint32_t newW, uint32_t newH) noexcept {
  if (newW == image.width && newH == image.height) return IMG_FLT_SUCCESS;
  if (newW == 0 || newH == 0 || newW > image.width || newH > image.height) return IMG_FLT_ERR_UNSUPPORTED;
  const uint32_t bpp = BytesPerPixel(image.bitsPixel);
  std::vector<uint32_t> column;
  try {
    column.resize(newW);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  const double fx = static_cast<double>(image.width) / newW, fy = static_cast<double>(image.height) / newH;
  for (uint32_t i = 0; i < newW; ++i)
    column[i] = std::min(static_cast<uint32_t>(std::floor(fx * (i + 0.5))), image.width - 1) * bpp;
  const uint32_t newStride = RowStride(newW, image.bitsPixel);
  const size_t used = size_t{newW} * bpp;
  for (uint32_t j = 0; j < newH; ++j) {
    const uint32_t r = std::min(static_cast<uint32_t>(std::floor(fy * (j + 0.5))), image.height - 1);
    const uint8_t* s = image.Row(r);
    uint8_t* d = image.data + size_t{j} * newStride;
    if (bpp == 1) {
      for (uint32_t i = 0; i < newW; ++i) d[i] = s[column[i]];
    } else {
      for (uint32_t i = 0; i < newW; ++i, d += 3) {
        const uint8_t* p = s + column[i];
        d[0] = p[0];
        d[1] = p[1];
        d[2] = p[2];
      }
      d = image.data + size_t{j} * newStride;
    }
    std::memset(d + used, 0, newStride - used);
  }
  image.width = newW;
  image.height = newH;
  image.stride = newStride;
  return IMG_FLT_SUCCESS;
}

int32_t VerticalScanInPlace(ImageView& image, uint32_t newHeight, uint32_t method) noexcept {
  const uint32_t h = image.height;
  if (newHeight == 0 || h == 0) return IMG_FLT_ERR_UNSUPPORTED;
  std::vector<double> position;
  try {
    position.resize(newHeight);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  for (uint32_t i = 0; i < newHeight; ++i) position[i] = static_cast<double>(h) / newHeight * i;
  const bool grow = newHeight > h;
  const bool blend = method == 2 && grow && image.bitsPixel != 1;
  const size_t bytes = image.stride;
  auto make = [&](uint32_t i) {
    const double p = position[i];
    uint8_t* d = image.Row(i);
    if (!blend) {
      const uint32_t r = std::min(static_cast<uint32_t>(std::floor(p + 0.5)), h - 1);
      if (r != i) std::memmove(d, image.Row(r), bytes);
      return;
    }
    const uint32_t r0 = std::min(static_cast<uint32_t>(std::floor(p)), h - 1);
    const uint32_t r1 = std::min(r0 + 1, h - 1);
    const uint32_t w = static_cast<uint32_t>(std::floor((p - std::floor(p)) * 1024));
    const uint8_t* s0 = image.Row(r0);
    const uint8_t* s1 = image.Row(r1);
    if (image.bitsPixel == 4) {
      for (size_t b = 0; b < bytes; ++b) {
        uint32_t hi = ((s0[b] >> 4) * (1024 - w) + (s1[b] >> 4) * w) / 1024;
        uint32_t lo = ((s0[b] & 0x0Fu) * (1024 - w) + (s1[b] & 0x0Fu) * w) / 1024;
        d[b] = static_cast<uint8_t>((hi << 4) | lo);
      }
    } else {
      for (size_t b = 0; b < bytes; ++b) d[b] = static_cast<uint8_t>((s0[b] * (1024 - w) + s1[b] * w) / 1024);
    }
  };
  // Output row i reads at or before row i when rows are added, at or after
  // it when they are removed.
  if (grow) {
    for (uint32_t i = newHeight; i-- > 0;) make(i);
  } else {
    for (uint32_t i = 0; i < newHeight; ++i) make(i);
  }
  image.height = newHeight;
  return IMG_FLT_SUCCESS;
}

uint32_t LcmScanDpi(uint8_t scannerModel, uint32_t dpi, uint32_t ratio) noexcept {
  const uint32_t m = scannerModel == SCANNER_MODEL_6 ? kMinScanDpiModel6 : kMinScanDpi;
  if (dpi < m) return dpi;
  const uint64_t t = (uint64_t{dpi} * ratio + 500) / 1000;
  if (t < m) return m;
  if (t > kMaxScanDpi) return kMaxScanDpi;
  uint64_t best = m;
  uint64_t chosen = 0;
  for (uint64_t i = t - 5; i <= t + 4; ++i) {
    const uint64_t l = std::lcm(i, uint64_t{dpi});
    if (l > best) {
      best = l;
      chosen = i;
    }
  }
  if (chosen > kMaxScanDpi) return kMaxScanDpi;
  if (chosen < m) return m;
  return static_cast<uint32_t>(chosen);
}

}  // namespace imgflt::geometry
