// Rotation (right angles exact, any other angle resampled onto an enlarged
// white canvas) and cropping of page images.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "image_ops.h"

namespace dibimage::detail {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The palette index (or 24-bit value) that shows white, or the brightest
// colour when the palette has no white.
uint32_t WhiteValue(const PageImage& image) noexcept {
  if (image.bitsPerPixel == 24) return 0xFFFFFFu;
  uint32_t best = 0, bestLuma = 0;
  for (uint32_t i = 0; i < image.palette.size(); ++i) {
    const uint32_t l = Luma(image.palette[i]);
    if (l > bestLuma || i == 0) best = i, bestLuma = l;
  }
  return best;
}

// One output row of a free rotation: source position of output pixel x is
// (fx0 + x·dxx, fy0 + x·dyx) in source pixel-centre coordinates.
struct RowWalk {
  double fx, fy, dx, dy;
};

void RotateRowNearest(const PageImage& src, uint8_t* out, int32_t outWidth, RowWalk w, uint32_t white) noexcept {
  const int bpp = src.bitsPerPixel;
  const uint32_t stride = src.Stride();
  for (int32_t x = 0; x < outWidth; ++x, w.fx += w.dx, w.fy += w.dy) {
    const double sx = std::floor(w.fx + 0.5), sy = std::floor(w.fy + 0.5);
    uint32_t v = white;
    if (sx >= 0 && sy >= 0 && sx < src.width && sy < src.height)
      v = GetPixel(src.pixels.data() + size_t(sy) * stride, uint32_t(sx), bpp);
    PutPixel(out, uint32_t(x), bpp, v);
  }
}

void RotateRowBilinear(const PageImage& src, uint8_t* out, int32_t outWidth, RowWalk w) noexcept {
  const int channels = src.bitsPerPixel / 8;
  const uint32_t stride = src.Stride();
  const double maxX = src.width - 0.5, maxY = src.height - 0.5;
  for (int32_t x = 0; x < outWidth; ++x, w.fx += w.dx, w.fy += w.dy) {
    uint8_t* o = out + size_t(x) * channels;
    if (w.fx < -0.5 || w.fy < -0.5 || w.fx > maxX || w.fy > maxY) {
      std::memset(o, 0xFF, size_t(channels));
      continue;
    }
    // Inside the page: neighbours beyond its edge repeat the edge pixel.
    const double fx = std::clamp(w.fx, 0.0, double(src.width - 1));
    const double fy = std::clamp(w.fy, 0.0, double(src.height - 1));
    const int32_t x0 = int32_t(fx), y0 = int32_t(fy);
    const int32_t x1 = std::min(x0 + 1, src.width - 1), y1 = std::min(y0 + 1, src.height - 1);
    const uint32_t ax = uint32_t((fx - x0) * 1024.0 + 0.5), ay = uint32_t((fy - y0) * 1024.0 + 0.5);
    const uint8_t* r0 = src.pixels.data() + size_t(y0) * stride;
    const uint8_t* r1 = src.pixels.data() + size_t(y1) * stride;
    for (int c = 0; c < channels; ++c) {
      const uint32_t top = r0[x0 * channels + c] * (1024 - ax) + r0[x1 * channels + c] * ax;
      const uint32_t bottom = r1[x0 * channels + c] * (1024 - ax) + r1[x1 * channels + c] * ax;
      o[c] = uint8_t((top * (1024 - ay) + bottom * ay + (1u << 19)) >> 20);
    }
  }
}

}  // namespace

int32_t MakeLike(const PageImage& image, int32_t width, int32_t height, PageImage* out) noexcept {
  if (width <= 0 || height <= 0) return kDibErrBadArgument;
  PageImage result;
  result.width = width;
  result.height = height;
  result.bitsPerPixel = image.bitsPerPixel;
  result.xDpi = image.xDpi;
  result.yDpi = image.yDpi;
  const uint64_t bytes = uint64_t(result.Stride()) * uint64_t(height);
  if (bytes > CDIB::kMaxImageBytes) return kDibErrNoMemory;
  try {
    result.palette = image.palette;
    result.pixels.assign(size_t(bytes), 0);
  } catch (const std::bad_alloc&) {
    return kDibErrNoMemory;
  }
  *out = std::move(result);
  return zoimg::kOk;
}

int32_t RotateQuarterTurns(const PageImage& image, int quarterTurns, PageImage* out) noexcept {
  const int32_t w = image.width, h = image.height;
  const bool swap = quarterTurns != 2;
  PageImage result;
  if (int32_t e = MakeLike(image, swap ? h : w, swap ? w : h, &result); e != zoimg::kOk) return e;
  if (swap) std::swap(result.xDpi, result.yDpi);
  const int bpp = image.bitsPerPixel;
  const uint32_t inStride = image.Stride(), outStride = result.Stride();
  const uint8_t* in = image.pixels.data();
  for (int32_t oy = 0; oy < result.height; ++oy) {
    uint8_t* row = result.pixels.data() + size_t(oy) * outStride;
    for (int32_t ox = 0; ox < result.width; ++ox) {
      int32_t sx, sy;
      if (quarterTurns == 1) {  // the right edge becomes the top
        sx = w - 1 - oy, sy = ox;
      } else if (quarterTurns == 2) {
        sx = w - 1 - ox, sy = h - 1 - oy;
      } else {  // the left edge becomes the top
        sx = oy, sy = h - 1 - ox;
      }
      PutPixel(row, uint32_t(ox), bpp, GetPixel(in + size_t(sy) * inStride, uint32_t(sx), bpp));
    }
  }
  *out = std::move(result);
  return zoimg::kOk;
}

QSize RotatedCanvas(int32_t width, int32_t height, int32_t angle) noexcept {
  const double a = angle / 18000.0 * kPi;
  const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
  const double ow = std::round(width * c + height * s), oh = std::round(width * s + height * c);
  return QSize(int(std::max(1.0, std::min(ow, 2e9))), int(std::max(1.0, std::min(oh, 2e9))));
}

int32_t RotateFree(const PageImage& image, int32_t angle, PageImage* out) noexcept {
  const QSize canvas = RotatedCanvas(image.width, image.height, angle);
  PageImage result;
  if (int32_t e = MakeLike(image, canvas.width(), canvas.height(), &result); e != zoimg::kOk) return e;

  // Counter-clockwise on the page (y grows downwards): an output point o
  // relative to the centre comes from s = (o.x cos − o.y sin, o.x sin + o.y cos).
  const double a = angle / 18000.0 * kPi;
  const double c = std::cos(a), s = std::sin(a);
  const double ocx = result.width / 2.0, ocy = result.height / 2.0;
  const double scx = image.width / 2.0 - 0.5, scy = image.height / 2.0 - 0.5;
  const bool bilinear = image.bitsPerPixel == 24 || (image.bitsPerPixel == 8 && image.IsGray());
  const uint32_t white = WhiteValue(image);
  const uint32_t outStride = result.Stride();
  for (int32_t oy = 0; oy < result.height; ++oy) {
    const double rx = 0.5 - ocx, ry = oy + 0.5 - ocy;
    const RowWalk walk{rx * c - ry * s + scx, rx * s + ry * c + scy, c, s};
    uint8_t* row = result.pixels.data() + size_t(oy) * outStride;
    if (bilinear)
      RotateRowBilinear(image, row, result.width, walk);
    else
      RotateRowNearest(image, row, result.width, walk, white);
  }
  *out = std::move(result);
  return zoimg::kOk;
}

int32_t CropImage(const PageImage& image, int32_t x, int32_t y, int32_t width, int32_t height,
                  PageImage* out) noexcept {
  PageImage result;
  if (int32_t e = MakeLike(image, width, height, &result); e != zoimg::kOk) return e;
  const int bpp = image.bitsPerPixel;
  const uint32_t inStride = image.Stride(), outStride = result.Stride();
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* in = image.pixels.data() + size_t(y + row) * inStride;
    uint8_t* o = result.pixels.data() + size_t(row) * outStride;
    if (bpp >= 8) {
      std::memcpy(o, in + size_t(x) * (bpp / 8), size_t(width) * (bpp / 8));
    } else {
      for (int32_t i = 0; i < width; ++i) PutPixel(o, uint32_t(i), bpp, GetPixel(in, uint32_t(x + i), bpp));
    }
  }
  *out = std::move(result);
  return zoimg::kOk;
}

}  // namespace dibimage::detail
