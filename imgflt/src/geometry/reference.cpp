// The straightforward geometry: one pixel at a time through GetPixel and
// SetPixel, positions multiplied out for every pixel, no tiles, no spans.
// Slow on purpose; the tests hold the optimised versions to these results.
#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/geometry.h"

namespace imgflt::geometry::reference {
namespace {

uint32_t Channel(uint32_t pixel, int k) noexcept { return (pixel >> (8 * k)) & 0xFFu; }

}  // namespace

void RotateRightAngle(const ImageView& src, uint32_t quarterTurns, const ImageView& dst) noexcept {
  const uint32_t w = src.width, h = src.height;
  for (uint32_t j = 0; j < dst.height; ++j)
    for (uint32_t k = 0; k < dst.width; ++k) {
      uint32_t v = 0;
      switch (quarterTurns & 3) {
        case 0: v = GetPixel(src, k, j); break;
        case 1: v = GetPixel(src, w - 1 - j, k); break;          // row j = column W-1-j
        case 2: v = GetPixel(src, w - 1 - k, h - 1 - j); break;
        default: v = GetPixel(src, j, h - 1 - k); break;         // row j = column j
      }
      SetPixel(dst, k, j, v);
    }
}

void RotateInto(const ImageView& src, const ImageView& dst, const RotationMap& map, bool interpolate,
                uint32_t fill) noexcept {
  const int64_t w = src.width, h = src.height;
  const bool bilinear = interpolate && src.bitsPixel != 1;
  const uint32_t maxValue = src.bitsPixel == 4 ? 15 : 255;
  for (int64_t y = 0; y < dst.height; ++y)
    for (int64_t x = 0; x < dst.width; ++x) {
      const int64_t sx = map.x0 + x * map.c - y * map.s;
      const int64_t sy = map.y0 + x * map.s + y * map.c;
      const int64_t nx = static_cast<int64_t>(std::floor(sx / 8192.0));
      const int64_t ny = static_cast<int64_t>(std::floor(sy / 8192.0));
      uint32_t v = fill;
      if (nx >= 0 && nx < w && ny >= 0 && ny < h) {
        if (!bilinear) {
          v = GetPixel(src, static_cast<uint32_t>(nx), static_cast<uint32_t>(ny));
        } else {
          // Sample between the four nearest pixel centres, edges repeated.
          const double px = (sx - 4096) / 8192.0, py = (sy - 4096) / 8192.0;
          const int64_t ix = static_cast<int64_t>(std::floor(px)), iy = static_cast<int64_t>(std::floor(py));
          const uint64_t fx = static_cast<uint64_t>((sx - 4096) - ix * 8192) / 8;
          const uint64_t fy = static_cast<uint64_t>((sy - 4096) - iy * 8192) / 8;
          const auto x0 = static_cast<uint32_t>(std::max<int64_t>(ix, 0));
          const auto x1 = static_cast<uint32_t>(std::min<int64_t>(ix + 1, w - 1));
          const auto y0 = static_cast<uint32_t>(std::max<int64_t>(iy, 0));
          const auto y1 = static_cast<uint32_t>(std::min<int64_t>(iy + 1, h - 1));
          const int channels = src.bitsPixel == 24 ? 3 : 1;
          v = 0;
          for (int k = 0; k < channels; ++k) {
            const uint64_t p00 = Channel(GetPixel(src, x0, y0), k), p01 = Channel(GetPixel(src, x1, y0), k);
            const uint64_t p10 = Channel(GetPixel(src, x0, y1), k), p11 = Channel(GetPixel(src, x1, y1), k);
            const uint64_t top = p00 * (1024 - fx) + p01 * fx;
            const uint64_t bottom = p10 * (1024 - fx) + p11 * fx;
            const uint64_t r = std::min<uint64_t>((top * (1024 - fy) + bottom * fy + (1u << 19)) >> 20, maxValue);
            v |= static_cast<uint32_t>(r) << (8 * k);
          }
        }
      }
      SetPixel(dst, static_cast<uint32_t>(x), static_cast<uint32_t>(y), v);
    }
}

int32_t RotateInPlace(const ImageView& image, const RotationMap& map, bool interpolate,
                      uint32_t fill) noexcept {
  std::vector<uint8_t> copy;
  try {
    copy.assign(image.data, image.data + image.Bytes());
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  ImageView src = image;
  src.data = copy.data();
  reference::RotateInto(src, image, map, interpolate, fill);
  return IMG_FLT_SUCCESS;
}

void Mirror(const ImageView& image) noexcept {
  std::vector<uint32_t> row;
  try {
    row.resize(image.width);
  } catch (...) {
    return;
  }
  for (uint32_t y = 0; y < image.height; ++y) {
    for (uint32_t x = 0; x < image.width; ++x) row[x] = GetPixel(image, image.width - 1 - x, y);
    for (uint32_t x = 0; x < image.width; ++x) SetPixel(image, x, y, row[x]);
    // Pixels past the width inside the last used byte are padding: clear.
    if (image.bitsPixel < 8)
      for (uint32_t x = image.width; x % (8 / image.bitsPixel) != 0; ++x) SetPixel(image, x, y, 0);
  }
}

int32_t ResampleInPlace(ImageView& image, uint32_t newW, uint32_t newH) noexcept {
  if (newW == image.width && newH == image.height) return IMG_FLT_SUCCESS;
  std::vector<uint8_t> copy;
  try {
    copy.assign(image.data, image.data + image.Bytes());
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  ImageView src = image;
  src.data = copy.data();
  ImageView dst = image;
  dst.width = newW;
  dst.height = newH;
  dst.stride = RowStride(newW, image.bitsPixel);
  for (uint32_t j = 0; j < newH; ++j) {
    for (uint32_t i = 0; i < newW; ++i) {
      uint32_t sx = static_cast<uint32_t>(std::floor(static_cast<double>(image.width) / newW * (i + 0.5)));
      uint32_t sy = static_cast<uint32_t>(std::floor(static_cast<double>(image.height) / newH * (j + 0.5)));
      SetPixel(dst, i, j, GetPixel(src, std::min(sx, image.width - 1), std::min(sy, image.height - 1)));
    }
    for (size_t b = dst.UsedRowBytes(); b < dst.stride; ++b) dst.Row(j)[b] = 0;
  }
  image = dst;
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::geometry::reference
