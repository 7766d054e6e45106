// The sRGB decoding applied before a binarization when the record asks for
// it (pipeline step 12): every byte of an 8- or 24-bit image through one
// 256-entry table.
#ifndef IMGFLT_INTERFACE_SRGB_H
#define IMGFLT_INTERFACE_SRGB_H

#include <array>
#include <cstdint>

#include "Hux_ImgFlt.h"

namespace imgflt {

// Entry i = round(255 * f(i / 255)), f the sRGB transfer function: v / 12.92
// up to 0.04045, else ((v + 0.055) / 1.055)^2.4.
const std::array<uint8_t, 256>& SrgbDecodeTable() noexcept;

// Maps the current image of an 8- or 24-bit descriptor. 0, or 12 for another
// depth or a descriptor that cannot be addressed.
int32_t SrgbDecode(HUX_IMG_INF& img) noexcept;

}  // namespace imgflt

#endif
