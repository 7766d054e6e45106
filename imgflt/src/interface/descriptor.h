// What the pipeline needs to know about a caller's HUX_IMG_INF before it
// touches a pixel, and the row-order conversion of the execute entries:
//   CheckDescriptor  can the descriptor be addressed at all (12 if not);
//   ImageBlockBytes  bytes of the block the current image lives in;
//   ReverseRows      swaps rows i and height-1-i of the current image.
// The current image itself and the delivery of new result blocks are the
// geometry family's CurrentImage and DeliverNewImage. Nothing here throws.
#ifndef IMGFLT_INTERFACE_DESCRIPTOR_H
#define IMGFLT_INTERFACE_DESCRIPTOR_H

#include <cstdint>

#include "Hux_ImgFlt.h"

namespace imgflt {

// 0 when the descriptor names an image the library can work on: depth 1, 4,
// 8 or 24, non-zero width, height and resolutions, a stride and a total
// block size (header, palette and rows) that fit 32 bits, known dataDIB,
// dataUpDown, orderRGB and outBuffKind values, pOrgImg present for ORGN, and
// for NEW an hOutBuff the platform knows whose block holds the image. Else
// 12. Line alignment is the parameter check's business.
int32_t CheckDescriptor(const HUX_IMG_INF& inf) noexcept;

// Header and palette (when dataDIB is on) plus stride × height; 0 for an
// unknown depth or a size that does not fit 32 bits.
uint64_t ImageBlockBytes(const HUX_IMG_INF& inf) noexcept;

// Reverses the row order of the descriptor's current image in place through
// a one-row scratch block. 0; 10 when the scratch row cannot be allocated;
// 12 for a descriptor CheckDescriptor refuses.
int32_t ReverseRows(HUX_IMG_INF& inf) noexcept;

}  // namespace imgflt

#endif
