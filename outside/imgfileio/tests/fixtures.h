// Test fixtures of ZoImgFileIO: pages drawn in code, page comparisons,
// running the independent command-line tools, and small TIFF helpers on
// libtiff itself.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ZoImgFileIO.h"

namespace fixtures {

enum class Colours { kGrey, kPalette };

inline std::vector<uint32_t> GreyPalette(int bits) {
  std::vector<uint32_t> p(std::size_t(1) << bits);
  const uint32_t step = 255u / uint32_t(p.size() - 1);
  for (uint32_t i = 0; i < p.size(); ++i) p[i] = i * step * 0x010101u;
  return p;
}

inline std::vector<uint32_t> ColourPalette(int bits) {
  std::vector<uint32_t> p(std::size_t(1) << bits);
  for (uint32_t i = 0; i < p.size(); ++i) p[i] = ((i * 37u) & 0xFF) << 16 | ((i * 91u + 20) & 0xFF) << 8 | ((255 - i * 13u) & 0xFF);
  return p;
}

// Text-like bars over a gradient: what a scanned page looks like to a codec.
inline bool Ink(int x, int y) {
  const int line = y / 12, inLine = y % 12;
  return inLine >= 2 && inLine < 9 && ((x / 3 + line * 5) % 11) < 7 && (x / 40 + line) % 6 != 0;
}

inline zoimg::PageImage MakePage(int bits, int width, int height, int dpi = 300, Colours colours = Colours::kGrey) {
  zoimg::PageImage img;
  img.width = width;
  img.height = height;
  img.bitsPerPixel = bits;
  img.xDpi = img.yDpi = dpi;
  if (bits == 1) img.palette = {0xFFFFFF, 0x000000};
  if (bits == 4 || bits == 8) img.palette = colours == Colours::kGrey ? GreyPalette(bits) : ColourPalette(bits);
  img.pixels.assign(std::size_t(img.Stride()) * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = img.pixels.data() + std::size_t(y) * img.Stride();
    for (int x = 0; x < width; ++x) {
      const bool ink = Ink(x, y);
      const int grey = ink ? 20 + (x % 7) : 255 - (x * 200) / width;
      switch (bits) {
        case 1:
          if (ink) row[x / 8] |= uint8_t(0x80 >> (x % 8));
          break;
        case 4: row[x / 2] |= uint8_t((grey >> 4) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = uint8_t(grey); break;
        default:
          row[3 * x] = uint8_t(ink ? 60 : (y * 255) / height);
          row[3 * x + 1] = uint8_t(ink ? 40 : grey);
          row[3 * x + 2] = uint8_t(ink ? 50 : (x * 255) / width);
      }
    }
  }
  return img;
}

// The meaningful bits of row y (the padding is left out).
inline std::vector<uint8_t> Row(const zoimg::PageImage& img, int y) {
  const std::size_t bits = std::size_t(img.width) * img.bitsPerPixel;
  std::vector<uint8_t> r(img.pixels.begin() + std::ptrdiff_t(y) * img.Stride(),
                         img.pixels.begin() + std::ptrdiff_t(y) * img.Stride() + std::ptrdiff_t((bits + 7) / 8));
  if (bits % 8) r.back() &= uint8_t(0xFF << (8 - bits % 8));
  return r;
}

// Same size, depth, palette and pixels.
inline ::testing::AssertionResult SamePixels(const zoimg::PageImage& a, const zoimg::PageImage& b) {
  if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel)
    return ::testing::AssertionFailure() << "shape " << a.width << "x" << a.height << "x" << a.bitsPerPixel << " vs "
                                         << b.width << "x" << b.height << "x" << b.bitsPerPixel;
  if (a.palette != b.palette) return ::testing::AssertionFailure() << "palettes differ";
  for (int y = 0; y < a.height; ++y)
    if (Row(a, y) != Row(b, y)) return ::testing::AssertionFailure() << "row " << y << " differs";
  return ::testing::AssertionSuccess();
}

// Peak signal-to-noise ratio of the grey or colour samples (dB).
inline double Psnr(const zoimg::PageImage& a, const zoimg::PageImage& b) {
  if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel) return 0;
  double sum = 0;
  std::size_t n = 0;
  const int bytes = a.bitsPerPixel / 8;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width * bytes; ++x, ++n) {
      const double d = double(a.pixels[std::size_t(y) * a.Stride() + x]) - b.pixels[std::size_t(y) * b.Stride() + x];
      sum += d * d;
    }
  return sum == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / (sum / double(n)));
}

// Standard output of a shell command; *status gets its exit status.
inline std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  std::size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = pclose(p);
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// A binary PGM (8 bit) or PPM (24 bit, from BGR) of the page, for the tools.
inline void WritePnm(const std::string& path, const zoimg::PageImage& img) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fprintf(f, "P%d\n%d %d\n255\n", img.bitsPerPixel == 24 ? 6 : 5, img.width, img.height);
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = img.pixels.data() + std::size_t(y) * img.Stride();
    for (int x = 0; x < img.width; ++x) {
      if (img.bitsPerPixel == 24) {
        const uint8_t rgb[3] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
        fwrite(rgb, 1, 3, f);
      } else {
        fwrite(row + x, 1, 1, f);
      }
    }
  }
  fclose(f);
}

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

inline TiffPtr OpenTiff(const std::string& path, const char* mode = "r") {
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
  return TiffPtr(TIFFOpen(path.c_str(), mode));
}

// The raw (still compressed) bytes of every strip or tile of a page.
inline std::vector<std::vector<uint8_t>> RawStriles(const std::string& path, int page) {
  std::vector<std::vector<uint8_t>> out;
  TiffPtr t = OpenTiff(path);
  if (!t || !TIFFSetDirectory(t.get(), tdir_t(page - 1))) return out;
  const bool tiled = TIFFIsTiled(t.get());
  const uint32_t n = tiled ? TIFFNumberOfTiles(t.get()) : TIFFNumberOfStrips(t.get());
  for (uint32_t i = 0; i < n; ++i) {
    std::vector<uint8_t> b(TIFFGetStrileByteCount(t.get(), i));
    const tmsize_t got = tiled ? TIFFReadRawTile(t.get(), i, b.data(), tmsize_t(b.size()))
                               : TIFFReadRawStrip(t.get(), i, b.data(), tmsize_t(b.size()));
    if (got != tmsize_t(b.size())) return {};
    out.push_back(std::move(b));
  }
  return out;
}

inline uint32_t TiffTag(const std::string& path, int page, uint32_t tag) {
  TiffPtr t = OpenTiff(path);
  uint32_t v32 = 0;
  uint16_t v16 = 0;
  if (!t || !TIFFSetDirectory(t.get(), tdir_t(page - 1))) return 0xFFFFFFFF;
  const TIFFField* f = TIFFFieldWithTag(t.get(), tag);
  if (f && TIFFFieldDataType(f) == TIFF_SHORT) return TIFFGetField(t.get(), tag, &v16) ? v16 : 0xFFFFFFFF;
  return TIFFGetField(t.get(), tag, &v32) ? v32 : 0xFFFFFFFF;
}

}  // namespace fixtures
