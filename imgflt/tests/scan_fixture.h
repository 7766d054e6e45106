// Generated sheet-fed scans with a known answer: a light page with lines of
// dark "words" on a dark backing, turned by a known angle, at any
// resolution, in 1, 4, 8 or 24 bit; and where the page must end up once it is
// straightened.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Hux_ImgFlt.h"

namespace imgflt::test {

struct ScanPlan {
  uint32_t dpi = 200;
  double pageWmm = 100, pageHmm = 140;
  double angle = 0;                    // radians, the page turned counter-clockwise on screen
  double offsetXmm = 0, offsetYmm = 0; // page centre from the scan centre
  double marginMm = 12;                // backing around the turned page
  uint8_t bits = 8;
  bool text = true;
  uint32_t seed = 1;
};

struct Scan {
  std::vector<uint8_t> buffer;
  HUX_IMG_INF inf{};
  ScanPlan plan;
  // Page centre and half sizes in pixels of the scan as generated, and its
  // size then (the descriptor follows what the steps make of it).
  double cx = 0, cy = 0, halfW = 0, halfH = 0;
  uint32_t width = 0, height = 0;
  uint32_t Stride() const { return (inf.bitsPixel * inf.dwWidth + 31) / 32 * 4; }
  const uint8_t* Row(uint32_t y) const { return buffer.data() + size_t{y} * Stride(); }
};

inline double MmToPx(double mm, uint32_t dpi) { return mm * dpi / 25.4; }

inline uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Word runs of one text line, in page millimetres, from a per-line seed.
inline bool OnText(double u, double v, const ScanPlan& s) {
  const double top = 20, left = 15, pitch = 6.0, thick = 1.6;
  if (u < left || u > s.pageWmm - left || v < top || v > s.pageHmm - 20) return false;
  const double lineV = v - top;
  if (std::fmod(lineV, pitch) > thick) return false;
  const uint32_t line = static_cast<uint32_t>(lineV / pitch);
  // Words 4 ... 20 mm with 2.5 mm gaps; the line ends somewhere past half.
  double x = left;
  uint32_t k = 0;
  const double end = s.pageWmm - left - (Hash(line, 0, s.seed) % 40);
  while (x < end) {
    const double word = 4 + Hash(line, ++k, s.seed) % 16;
    if (u >= x && u < std::min(x + word, end)) return true;
    x += word + 2.5;
  }
  return false;
}

inline Scan MakeScan(const ScanPlan& s) {
  Scan scan;
  scan.plan = s;
  const double pw = MmToPx(s.pageWmm, s.dpi), ph = MmToPx(s.pageHmm, s.dpi);
  const double c = std::cos(s.angle), sn = std::sin(s.angle);
  const double bw = std::fabs(pw * c) + std::fabs(ph * sn), bh = std::fabs(pw * sn) + std::fabs(ph * c);
  const double margin = MmToPx(s.marginMm, s.dpi);
  const double ox = MmToPx(std::fabs(s.offsetXmm), s.dpi), oy = MmToPx(std::fabs(s.offsetYmm), s.dpi);
  const auto w = static_cast<uint32_t>(bw + 2 * (margin + ox)), h = static_cast<uint32_t>(bh + 2 * (margin + oy));
  const uint32_t stride = (s.bits * w + 31) / 32 * 4;
  scan.buffer.assign(size_t{stride} * h, 0);
  scan.cx = w / 2.0 + MmToPx(s.offsetXmm, s.dpi);
  scan.cy = h / 2.0 + MmToPx(s.offsetYmm, s.dpi);
  scan.halfW = pw / 2;
  scan.halfH = ph / 2;
  scan.width = w;
  scan.height = h;
  const double mmPerPx = 25.4 / s.dpi;
  for (uint32_t y = 0; y < h; ++y) {
    uint8_t* row = scan.buffer.data() + size_t{y} * stride;
    for (uint32_t x = 0; x < w; ++x) {
      // Undo the page turn: page coordinates relative to its centre.
      const double dx = x + 0.5 - scan.cx, dy = y + 0.5 - scan.cy;
      const double u = dx * c - dy * sn, v = dx * sn + dy * c;
      // Edge coverage from the distance to the page border (about 1 pixel of blur).
      const double inside = std::min(scan.halfW - std::fabs(u), scan.halfH - std::fabs(v));
      const double cover = std::clamp(inside + 0.5, 0.0, 1.0);
      const uint32_t n = Hash(x, y, s.seed);
      const double backing = 18 + n % 14;
      double paper = 226 + (n >> 8) % 22;
      if (s.text && cover > 0 && OnText((u + scan.halfW) * mmPerPx, (v + scan.halfH) * mmPerPx, s))
        paper = 35 + (n >> 16) % 25;
      const double g = backing + (paper - backing) * cover;
      const auto grey = static_cast<uint8_t>(std::clamp(g, 0.0, 255.0));
      if (s.bits == 8) {
        row[x] = grey;
      } else if (s.bits == 24) {
        // A warm paper, a neutral backing; blue, green, red.
        row[3 * x] = static_cast<uint8_t>(std::clamp(g - 6 * cover, 0.0, 255.0));
        row[3 * x + 1] = grey;
        row[3 * x + 2] = static_cast<uint8_t>(std::clamp(g + 5 * cover, 0.0, 255.0));
      } else if (s.bits == 4) {
        row[x >> 1] |= static_cast<uint8_t>((x & 1) ? grey >> 4 : grey & 0xF0);
      } else if (grey < 128) {
        row[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7));  // set = black
      }
    }
  }
  HUX_IMG_INF& inf = scan.inf;
  inf.pOrgImg = scan.buffer.data();
  inf.dwWidth = w;
  inf.dwHeight = h;
  inf.bitsPixel = s.bits;
  inf.orderRGB = IMG_FLT_COLOR_BGR;
  inf.inLineAlign = inf.outLineAlign = IMG_FLT_MEM_BNDRY32;
  inf.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  inf.imgDpiX = inf.imgDpiY = s.dpi;
  return scan;
}

// Where the straightened page should lie after a turn by -angle about the
// scan centre: left, top, right, bottom in (fractional) pixels.
struct ExpectedRect {
  double left, top, right, bottom;
};

inline ExpectedRect StraightenedPage(const Scan& scan, double appliedAngle) {
  const double w = scan.width, h = scan.height;
  const double c = std::cos(appliedAngle), s = std::sin(appliedAngle);
  const double dx = scan.cx - w / 2, dy = scan.cy - h / 2;
  // The engine turns by -angle, counter-clockwise positive on screen.
  const double x = w / 2 + dx * c - dy * s, y = h / 2 + dx * s + dy * c;
  return {x - scan.halfW, y - scan.halfH, x + scan.halfW, y + scan.halfH};
}

}  // namespace imgflt::test
