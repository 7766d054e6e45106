// Test fixtures of the image object library: page images made by code,
// packed DIBs as a scanner hands them over, and pixel readers.
#pragma once

#include <QImage>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ZoDIBImage.h"
#include "ZoImgFileIO.h"

namespace dibtest {

using zoimg::PageImage;

inline std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = i * 0x010101u;
  return p;
}

inline std::vector<uint32_t> DefaultPalette(int bpp) {
  switch (bpp) {
    case 1: return {0xFFFFFFu, 0x000000u};
    case 4: {
      std::vector<uint32_t> p(16);
      for (uint32_t i = 0; i < 16; ++i) p[i] = (i * 17u) * 0x010101u;
      return p;
    }
    case 8: return GreyPalette();
    default: return {};
  }
}

// A blank image: every pixel value 0 (1 bit: white; 4/8 bit: palette 0;
// 24 bit: black) unless fill is given.
inline PageImage MakeImage(int w, int h, int bpp, int xDpi = 300, int yDpi = 300) {
  PageImage img;
  img.width = w;
  img.height = h;
  img.bitsPerPixel = bpp;
  img.xDpi = xDpi;
  img.yDpi = yDpi;
  img.palette = DefaultPalette(bpp);
  img.pixels.assign(size_t(img.Stride()) * size_t(h), 0);
  return img;
}

// Pixel value: 1 bit 0/1, 4/8 bit index, 24 bit 0x00RRGGBB.
inline uint32_t Get(const PageImage& img, int x, int y) {
  const uint8_t* row = img.pixels.data() + size_t(y) * img.Stride();
  switch (img.bitsPerPixel) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xFu;
    case 8: return row[x];
    default: return row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
  }
}

inline void Set(PageImage& img, int x, int y, uint32_t v) {
  uint8_t* row = img.pixels.data() + size_t(y) * img.Stride();
  switch (img.bitsPerPixel) {
    case 1: {
      const uint8_t bit = uint8_t(0x80u >> (x % 8));
      row[x / 8] = uint8_t(v ? row[x / 8] | bit : row[x / 8] & ~bit);
      break;
    }
    case 4: {
      const int shift = x % 2 ? 0 : 4;
      row[x / 2] = uint8_t((row[x / 2] & ~(0xF << shift)) | ((v & 0xF) << shift));
      break;
    }
    case 8: row[x] = uint8_t(v); break;
    default:
      row[3 * x] = uint8_t(v);
      row[3 * x + 1] = uint8_t(v >> 8);
      row[3 * x + 2] = uint8_t(v >> 16);
  }
}

inline void Fill(PageImage& img, uint32_t v) {
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) Set(img, x, y, v);
}

// The largest value of a depth: black for 1 bit, white for the default
// palettes and 24 bit.
inline uint32_t MaxValue(int bpp) { return bpp == 24 ? 0xFFFFFFu : (1u << bpp) - 1u; }

inline uint32_t PelsPerMeter(int dpi) { return uint32_t((dpi * 10000 + 127) / 254); }

// A packed DIB (BITMAPINFOHEADER, palette, rows) of img, bottom-up unless
// topDown; palette entries as given (the image's palette when empty).
inline std::vector<uint8_t> PackDib(const PageImage& img, bool topDown, std::vector<uint32_t> palette = {}) {
  if (palette.empty()) palette = img.palette;
  std::vector<uint8_t> out(40 + palette.size() * 4 + img.pixels.size());
  auto u32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  u32(0, 40);
  u32(4, uint32_t(img.width));
  u32(8, uint32_t(topDown ? -img.height : img.height));
  out[12] = 1;
  out[14] = uint8_t(img.bitsPerPixel);
  u32(20, uint32_t(img.pixels.size()));
  u32(24, PelsPerMeter(img.xDpi));
  u32(28, PelsPerMeter(img.yDpi));
  u32(32, uint32_t(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) u32(40 + 4 * i, palette[i]);
  const size_t bits = 40 + palette.size() * 4, stride = img.Stride();
  for (int y = 0; y < img.height; ++y) {
    const int from = topDown ? y : img.height - 1 - y;
    std::memcpy(out.data() + bits + size_t(y) * stride, img.pixels.data() + size_t(from) * stride, stride);
  }
  return out;
}

inline void PutU32(std::vector<uint8_t>& dib, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) dib[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// Same geometry, depth and pixel values.
inline bool SamePixels(const PageImage& a, const PageImage& b) {
  if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel) return false;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (Get(a, x, y) != Get(b, x, y)) return false;
  return true;
}

// A CDIB holding img (through a packed DIB, as the scanner hands pages over).
inline bool Take(CDIB& dib, const PageImage& img) {
  const std::vector<uint8_t> packed = PackDib(img, true);
  return dib.SetScanDIBObject(packed.data(), packed.size(), 0, 0) != 0;
}

// Grey level of a painted QImage pixel.
inline int GreyAt(const QImage& q, int x, int y) { return qGray(q.pixel(x, y)); }

}  // namespace dibtest
