// Blank page measurement: ink pixels inside the margins, judged against the
// page's own background, with isolated specks discounted (see CDIB).
#include <algorithm>
#include <array>
#include <new>
#include <vector>

#include "image_ops.h"

namespace dibimage::detail {

int32_t CountInk(const PageImage& image, InkCount* out) noexcept {
  const int32_t mx = image.width * CDIB::kBlankMarginPercent / 100;
  const int32_t my = image.height * CDIB::kBlankMarginPercent / 100;
  const int32_t iw = image.width - 2 * mx, ih = image.height - 2 * my;
  const int bpp = image.bitsPerPixel;
  const uint32_t stride = image.Stride();

  // Luminance of every palette entry (1, 4, 8 bit).
  std::array<uint8_t, 256> lut{};
  for (size_t i = 0; i < image.palette.size() && i < lut.size(); ++i) lut[i] = uint8_t(Luma(image.palette[i]));

  std::vector<uint8_t> mask;
  try {
    mask.resize(size_t(iw) * size_t(ih));
  } catch (const std::bad_alloc&) {
    return kDibErrNoMemory;
  }
  std::array<uint64_t, 256> histogram{};
  for (int32_t y = 0; y < ih; ++y) {
    const uint8_t* row = image.pixels.data() + size_t(y + my) * stride;
    uint8_t* m = mask.data() + size_t(y) * iw;
    for (int32_t x = 0; x < iw; ++x) {
      const uint32_t v = GetPixel(row, uint32_t(x + mx), bpp);
      const uint8_t l = bpp == 24 ? uint8_t(Luma(v)) : lut[v & 0xFF];
      m[x] = l;
      ++histogram[l];
    }
  }
  const int background = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
  for (uint8_t& v : mask) {
    const int diff = v > background ? v - background : background - v;
    v = diff > CDIB::kBlankInkDelta ? 1 : 0;
  }

  // An ink pixel counts when at least 2 of its 8 neighbours are ink.
  uint64_t ink = 0;
  for (int32_t y = 0; y < ih; ++y) {
    const uint8_t* m = mask.data() + size_t(y) * iw;
    const uint8_t* above = y > 0 ? m - iw : nullptr;
    const uint8_t* below = y + 1 < ih ? m + iw : nullptr;
    for (int32_t x = 0; x < iw; ++x) {
      if (!m[x]) continue;
      const int32_t l = x > 0 ? x - 1 : x, r = x + 1 < iw ? x + 1 : x;
      int n = (l != x ? m[l] : 0) + (r != x ? m[r] : 0);
      for (const uint8_t* nb : {above, below}) {
        if (!nb) continue;
        n += nb[x] + (l != x ? nb[l] : 0) + (r != x ? nb[r] : 0);
      }
      if (n >= 2) ++ink;
    }
  }
  out->ink = ink;
  out->examined = uint64_t(iw) * uint64_t(ih);
  return zoimg::kOk;
}

}  // namespace dibimage::detail
