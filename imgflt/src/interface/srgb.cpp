// sRGB decoding table and its application to an image.
#include "interface/srgb.h"

#include <cmath>

#include "geometry/geometry.h"

namespace imgflt {

namespace {

constexpr double kLinearLimit = 0.04045;  // end of the linear segment (normalized)

std::array<uint8_t, 256> BuildTable() noexcept {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    double v = i / 255.0;
    double f = v <= kLinearLimit ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    table[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(255.0 * f));
  }
  return table;
}

}  // namespace

const std::array<uint8_t, 256>& SrgbDecodeTable() noexcept {
  static const std::array<uint8_t, 256> table = BuildTable();
  return table;
}

int32_t SrgbDecode(HUX_IMG_INF& img) noexcept {
  if (img.bitsPixel != 8 && img.bitsPixel != 24) return IMG_FLT_ERR_UNSUPPORTED;
  geometry::CurrentImage current;
  if (int32_t rc = current.Open(img); rc != 0) return rc;
  const ImageView& v = current.View();
  const auto& table = SrgbDecodeTable();
  const size_t used = v.UsedRowBytes();
  for (uint32_t y = 0; y < v.height; ++y) {
    uint8_t* row = v.Row(y);
    for (size_t x = 0; x < used; ++x) row[x] = table[row[x]];
  }
  return 0;
}

}  // namespace imgflt
