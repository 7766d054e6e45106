// The parameter check that starts every pipeline run and ExportCheckParam:
// a filter record against an image descriptor, for the steps of a mask,
// without touching a pixel or a field.
#ifndef IMGFLT_INTERFACE_PARAM_CHECK_H
#define IMGFLT_INTERFACE_PARAM_CHECK_H

#include <cstdint>

#include "Hux_ImgFlt.h"

namespace imgflt {

// The record's documented checks in their order (line alignment; gamma;
// white level; binarization; noise; invert; saturation; colour to grey;
// resolution change), each for its mask bit, first failure returned; then,
// for the steps of the mask, the record's enumerators and pointers the
// steps read (12 for a value outside its list, 4 and 5 where the halftone
// and sub-area codes say so); then CheckDescriptor (12).
int32_t CheckParam(const HUX_IMG_INF& img, const HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept;

// True when any of the three sub-areas is switched on.
bool AnySubAreaEnabled(const HUX_IMG_FILTER_PARAM& prm) noexcept;

// "Nothing" values of the signed tone fields: 0 and -128.
constexpr bool ToneValueSet(int8_t v) noexcept { return v != 0 && v != -128; }

}  // namespace imgflt

#endif
