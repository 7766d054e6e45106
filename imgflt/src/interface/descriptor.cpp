// Descriptor checks and the row-order conversion.
#include "interface/descriptor.h"

#include <cstring>

#include "geometry/geometry.h"
#include "interface/image.h"

namespace imgflt {

uint64_t ImageBlockBytes(const HUX_IMG_INF& inf) noexcept {
  uint32_t stride = RowStride(inf.dwWidth, inf.bitsPixel);
  if (stride == 0) return 0;
  uint32_t prefix = inf.dataDIB == IMG_FLT_ON ? DibPrefixBytes(inf.bitsPixel) : 0;
  uint64_t bytes = uint64_t{stride} * inf.dwHeight + prefix;
  return bytes > UINT32_MAX ? 0 : bytes;
}

int32_t CheckDescriptor(const HUX_IMG_INF& inf) noexcept {
  if (!IsSupportedDepth(inf.bitsPixel) || inf.dwWidth == 0 || inf.dwHeight == 0) return IMG_FLT_ERR_UNSUPPORTED;
  if (inf.imgDpiX == 0 || inf.imgDpiY == 0) return IMG_FLT_ERR_UNSUPPORTED;
  if (inf.dataDIB > IMG_FLT_ON || inf.dataUpDown > IMG_FLT_UPDOWN_TURNOVER || inf.orderRGB > IMG_FLT_COLOR_YCC)
    return IMG_FLT_ERR_UNSUPPORTED;
  uint64_t bytes = ImageBlockBytes(inf);
  if (bytes == 0) return IMG_FLT_ERR_UNSUPPORTED;
  if (inf.outBuffKind == IMG_FLT_MEMAREA_ORGN) return inf.pOrgImg != nullptr ? 0 : IMG_FLT_ERR_UNSUPPORTED;
  if (inf.outBuffKind != IMG_FLT_MEMAREA_NEW) return IMG_FLT_ERR_UNSUPPORTED;
  // GlobalSize is 0 for a handle the platform does not know.
  return GlobalSize(inf.hOutBuff) >= bytes ? 0 : IMG_FLT_ERR_UNSUPPORTED;
}

int32_t ReverseRows(HUX_IMG_INF& inf) noexcept {
  if (int32_t rc = CheckDescriptor(inf); rc != 0) return rc;
  geometry::CurrentImage current;
  if (int32_t rc = current.Open(inf); rc != 0) return rc;
  const ImageView& v = current.View();
  GlobalBlock scratch = GlobalBlock::Allocate(v.stride, false);
  if (!scratch) return IMG_FLT_ERR_MEMORY;
  for (uint32_t i = 0; i < v.height / 2; ++i) {
    uint8_t* a = v.Row(i);
    uint8_t* b = v.Row(v.height - 1 - i);
    std::memcpy(scratch.data(), a, v.stride);
    std::memcpy(a, b, v.stride);
    std::memcpy(b, scratch.data(), v.stride);
  }
  return 0;
}

}  // namespace imgflt
