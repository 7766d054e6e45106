// Private header of ZoDIBImage: the pixel operations behind CDIB, each a
// pure function from one PageImage to a new one (or to a measurement), and
// the thread's last error.
#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ZoDIBImage.h"
#include "ZoImgFileIO.h"

namespace dibimage::detail {

using zoimg::PageImage;

// Last error of the calling thread.
void SetLastError(int32_t error) noexcept;
int32_t LastError() noexcept;
// The results of CDIB's int operations.
inline int Succeed() noexcept {
  SetLastError(0);
  return 1;
}
inline int Fail(int32_t error) noexcept {
  SetLastError(error);
  return 0;
}

// ---- pixels ---------------------------------------------------------------
inline uint32_t GetPixel(const uint8_t* row, uint32_t x, int bpp) noexcept {
  switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8: return row[x];
    default: return row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
  }
}
// ORs the value in for 1 and 4 bit: the target row must start cleared.
inline void PutPixel(uint8_t* row, uint32_t x, int bpp, uint32_t v) noexcept {
  switch (bpp) {
    case 1: row[x >> 3] = uint8_t(row[x >> 3] | (v << (7 - (x & 7)))); break;
    case 4: row[x >> 1] = uint8_t(row[x >> 1] | (v << ((x & 1) ? 0 : 4))); break;
    case 8: row[x] = uint8_t(v); break;
    default:
      row[3 * x] = uint8_t(v);
      row[3 * x + 1] = uint8_t(v >> 8);
      row[3 * x + 2] = uint8_t(v >> 16);
  }
}
// Luminance 0 … 255 of 0x00RRGGBB.
inline uint32_t Luma(uint32_t rgb) noexcept {
  return (((rgb >> 16) & 0xFFu) * 77u + ((rgb >> 8) & 0xFFu) * 150u + (rgb & 0xFFu) * 29u + 128u) >> 8;
}

// A new image of the given geometry with image's depth, palette and
// resolution, its pixels cleared. kOk or kDibErrNoMemory.
int32_t MakeLike(const PageImage& image, int32_t width, int32_t height, PageImage* out) noexcept;

// ---- scanned bitmaps (scan_bitmap.cpp) ------------------------------------
// Packed DIB → image; kOk, kDibErrBadScanBitmap or kDibErrNoMemory.
int32_t ParsePackedDib(std::span<const uint8_t> dib, PageImage* out) noexcept;

// ---- geometry (geometry.cpp) ----------------------------------------------
// quarterTurns 1, 2, 3: counter-clockwise by 90°, 180°, 270°.
int32_t RotateQuarterTurns(const PageImage& image, int quarterTurns, PageImage* out) noexcept;
// Any angle (hundredths of a degree, counter-clockwise) on an enlarged
// canvas with white fill.
int32_t RotateFree(const PageImage& image, int32_t angle, PageImage* out) noexcept;
// The canvas RotateFree makes.
QSize RotatedCanvas(int32_t width, int32_t height, int32_t angle) noexcept;
// Copies the rectangle (already inside the image, not empty).
int32_t CropImage(const PageImage& image, int32_t x, int32_t y, int32_t width, int32_t height,
                  PageImage* out) noexcept;

// ---- blank pages (blank_page.cpp) -----------------------------------------
struct InkCount {
  uint64_t ink = 0;       // counted ink pixels (specks excluded)
  uint64_t examined = 0;  // pixels inside the margins
};
int32_t CountInk(const PageImage& image, InkCount* out) noexcept;

// ---- Qt pictures (render.cpp) ---------------------------------------------
// A QImage showing image's pixels: wraps them where Qt has the format (the
// image must outlive it), converts 4 bit to 8-bit indexed.
QImage ToQImage(const PageImage& image);
// A 1-bit picture for print engines: index 0 black, index 1 white (the
// form they take as a bitmap), or source itself for other palettes.
QImage MonoForPrinting(const PageImage& image, const QImage& source);
// 1-bit image reduced to width × height (each at most the image's) as 8-bit
// grey by area averaging over integer pixel boxes.
QImage MonoToGrayReduced(const PageImage& image, int width, int height);

}  // namespace dibimage::detail
