// Page rectangles and cuts: FitRect, TrimBacking, CutInPlace, CutFixedSize.
//
// Cuts work in place: output row j comes from source row top + j >= j and
// output rows are no wider than source rows, so copying front to back never
// overwrites a byte that is still to be read.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "deskew/bits.h"
#include "deskew/deskew.h"
#include "geometry/geometry.h"

namespace imgflt::deskew {
namespace {

int32_t CountSet(const uint8_t* row, int32_t x0, int32_t x1) noexcept {
  int32_t n = 0;
  while (x0 < x1 && (x0 & 7) != 0) n += bits::Test(row, x0++);
  while (x1 - x0 >= 64) {
    uint64_t v;
    std::memcpy(&v, row + (x0 >> 3), 8);
    n += std::popcount(v);
    x0 += 64;
  }
  while (x1 - x0 >= 8) {
    n += std::popcount(static_cast<unsigned>(row[x0 >> 3]));
    x0 += 8;
  }
  while (x0 < x1) n += bits::Test(row, x0++);
  return n;
}

// Backing when at most (n + 64) / 128 of the n pixels are paper.
bool MostlyBacking(int32_t set, int32_t n) noexcept { return set >= n - (n + 64) / 128; }

// Copies pixels [x0, x0 + n) of `src` to the start of `dst` (dst <= src in
// memory, or a different row), clearing the padding bits of the last byte.
void ExtractPixels(uint8_t* dst, const uint8_t* src, uint32_t srcBytes, int32_t x0, uint32_t n,
                   uint8_t bitsPixel) noexcept {
  if (n == 0) return;
  if (bitsPixel >= 8) {
    const size_t bpp = bitsPixel / 8;
    std::memmove(dst, src + size_t(x0) * bpp, size_t{n} * bpp);
    return;
  }
  const uint32_t bitStart = static_cast<uint32_t>(x0) * bitsPixel;
  const uint32_t bitCount = n * bitsPixel;
  const uint32_t b = bitStart >> 3, sh = bitStart & 7;
  const uint32_t bytes = (bitCount + 7) / 8;
  for (uint32_t k = 0; k < bytes; ++k) {
    const uint32_t hi = b + k < srcBytes ? src[b + k] : 0;
    const uint32_t lo = b + k + 1 < srcBytes ? src[b + k + 1] : 0;
    dst[k] = static_cast<uint8_t>(sh == 0 ? hi : (hi << sh) | (lo >> (8 - sh)));
  }
  if (uint32_t pad = bytes * 8 - bitCount; pad != 0) dst[bytes - 1] &= static_cast<uint8_t>(0xFFu << pad);
}

}  // namespace

PageRect FitRect(PageRect r, int32_t minW, int32_t minH, uint32_t imageW, uint32_t imageH) noexcept {
  const auto w = static_cast<int32_t>(imageW), h = static_cast<int32_t>(imageH);
  minW = std::min(minW, w);
  minH = std::min(minH, h);
  if (r.Width() < minW) {
    r.left -= (minW - r.Width()) / 2;
    r.right = r.left + minW;
  }
  if (r.Height() < minH) {
    r.top -= (minH - r.Height()) / 2;
    r.bottom = r.top + minH;
  }
  if (r.Width() > w) {
    r.left += (r.Width() - w) / 2;
    r.right = r.left + w;
  }
  if (r.Height() > h) {
    r.top += (r.Height() - h) / 2;
    r.bottom = r.top + h;
  }
  if (r.left < 0) r.right -= r.left, r.left = 0;
  if (r.right > w) r.left -= r.right - w, r.right = w;
  if (r.top < 0) r.bottom -= r.top, r.top = 0;
  if (r.bottom > h) r.top -= r.bottom - h, r.bottom = h;
  return r;
}

PageRect TrimBacking(const ImageView& v, PageRect s) noexcept {
  s.left = std::clamp(s.left, 0, static_cast<int32_t>(v.width));
  s.right = std::clamp(s.right, s.left, static_cast<int32_t>(v.width));
  s.top = std::clamp(s.top, 0, static_cast<int32_t>(v.height));
  s.bottom = std::clamp(s.bottom, s.top, static_cast<int32_t>(v.height));
  const int32_t h = s.Height();
  auto columnBacking = [&](int32_t x) {
    int32_t n = 0;
    for (int32_t y = s.top; y < s.bottom; ++y) n += bits::Test(v.Row(static_cast<uint32_t>(y)), x);
    return MostlyBacking(n, h);
  };
  while (s.left < s.right && columnBacking(s.left)) ++s.left;
  while (s.right > s.left && columnBacking(s.right - 1)) --s.right;
  const int32_t w = s.Width();
  auto rowBacking = [&](int32_t y) {
    return MostlyBacking(CountSet(v.Row(static_cast<uint32_t>(y)), s.left, s.right), w);
  };
  while (s.top < s.bottom && rowBacking(s.top)) ++s.top;
  while (s.bottom > s.top && rowBacking(s.bottom - 1)) --s.bottom;
  return s;
}

void CutInPlace(ImageView& image, const PageRect& r) noexcept {
  const auto w = static_cast<uint32_t>(r.Width()), h = static_cast<uint32_t>(r.Height());
  const uint32_t stride = RowStride(w, image.bitsPixel);
  ImageView out = image;
  out.width = w;
  out.height = h;
  out.stride = stride;
  const size_t used = out.UsedRowBytes();
  for (uint32_t j = 0; j < h; ++j) {
    uint8_t* d = image.data + size_t{j} * stride;
    ExtractPixels(d, image.Row(static_cast<uint32_t>(r.top) + j), image.stride, r.left, w, image.bitsPixel);
    std::memset(d + used, 0, stride - used);
  }
  image = out;
}

int32_t CutFixedSize(ImageView& image, const PageRect& page, uint32_t cx, uint32_t cy,
                     uint8_t position) noexcept {
  const auto fw = static_cast<int32_t>(cx);
  int32_t left = page.left;
  if (position == IMG_FLT_FIXED_RIGHT)
    left = page.right - fw;
  else if (position != IMG_FLT_FIXED_LEFT)
    left = page.left + (page.Width() - fw) / 2;
  const int32_t top = page.top;
  // What of the frame shows the page: [a, b) in frame columns.
  const int32_t a = std::clamp(page.left - left, 0, fw);
  const int32_t b = std::clamp(page.right - left, a, fw);
  std::vector<uint8_t> row;
  try {
    row.resize(image.stride);
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  ImageView out = image;
  out.width = cx;
  out.height = cy;
  out.stride = RowStride(cx, image.bitsPixel);
  const uint32_t black = geometry::FillValue(image, true);
  for (uint32_t j = 0; j < cy; ++j) {
    const int32_t y = top + static_cast<int32_t>(j);
    const bool onPage = y >= page.top && y < page.bottom && b > a;
    if (onPage) std::memcpy(row.data(), image.Row(static_cast<uint32_t>(y)), image.stride);
    uint8_t* d = image.data + size_t{j} * out.stride;
    std::memset(d, 0, out.stride);
    if (image.bitsPixel >= 8 && (black == 0 || image.bitsPixel == 8)) {
      std::memset(d, static_cast<int>(black & 0xFF), out.UsedRowBytes());
      if (onPage) {
        const size_t bpp = image.bitsPixel / 8;
        std::memcpy(d + size_t(a) * bpp, row.data() + size_t(left + a) * bpp, size_t(b - a) * bpp);
      }
      continue;
    }
    ImageView src = image;
    src.data = row.data();
    src.height = 1;
    ImageView dst = out;
    dst.data = d;
    dst.height = 1;
    for (int32_t x = 0; x < fw; ++x) {
      const bool inside = onPage && x >= a && x < b;
      SetPixel(dst, static_cast<uint32_t>(x), 0,
               inside ? GetPixel(src, static_cast<uint32_t>(left + x), 0) : black);
    }
  }
  image = out;
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::deskew
