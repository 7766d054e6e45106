// The current image of a descriptor (CurrentImage) and how results are
// written back into it: WriteDibHeader, ResultPrefixBytes, DeliverNewImage.
#include <cstring>

#include "geometry/geometry.h"
#include "interface/dib_header.h"

namespace imgflt::geometry {

int32_t CurrentImage::Open(HUX_IMG_INF& img) noexcept {
  Close();
  if (!IsSupportedDepth(img.bitsPixel) || img.dwWidth == 0 || img.dwHeight == 0 || img.dwWidth > kMaxSide ||
      img.dwHeight > kMaxSide)
    return IMG_FLT_ERR_UNSUPPORTED;
  uint32_t stride = RowStride(img.dwWidth, img.bitsPixel);
  if (stride == 0) return IMG_FLT_ERR_UNSUPPORTED;
  uint32_t prefix = img.dataDIB == IMG_FLT_ON ? DibPrefixBytes(img.bitsPixel) : 0;
  uint64_t need = uint64_t{stride} * img.dwHeight + prefix;
  if (need > static_cast<uint64_t>(PTRDIFF_MAX)) return IMG_FLT_ERR_UNSUPPORTED;

  uint8_t* base = nullptr;
  if (img.outBuffKind == IMG_FLT_MEMAREA_NEW) {
    if (img.hOutBuff == nullptr || GlobalSize(img.hOutBuff) < need) return IMG_FLT_ERR_UNSUPPORTED;
    base = static_cast<uint8_t*>(GlobalLock(img.hOutBuff));
    if (base == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
    locked_ = img.hOutBuff;
  } else if (img.outBuffKind == IMG_FLT_MEMAREA_ORGN) {
    base = static_cast<uint8_t*>(img.pOrgImg);
    if (base == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  } else {
    return IMG_FLT_ERR_UNSUPPORTED;
  }
  header_ = prefix != 0 ? base : nullptr;
  view_.data = base + prefix;
  view_.width = img.dwWidth;
  view_.height = img.dwHeight;
  view_.stride = stride;
  view_.bitsPixel = img.bitsPixel;
  view_.orderRGB = img.orderRGB;
  view_.dpiX = img.imgDpiX;
  view_.dpiY = img.imgDpiY;
  return IMG_FLT_SUCCESS;
}

void CurrentImage::Commit(HUX_IMG_INF& img, const ImageView& changed, bool resolution) noexcept {
  img.dwWidth = changed.width;
  img.dwHeight = changed.height;
  img.bitsPixel = changed.bitsPixel;
  img.imgDpiX = changed.dpiX;
  img.imgDpiY = changed.dpiY;
  if (header_ != nullptr) WriteDibHeader(header_, changed, resolution);
  view_.width = changed.width;
  view_.height = changed.height;
  view_.stride = changed.stride;
  view_.dpiX = changed.dpiX;
  view_.dpiY = changed.dpiY;
}

void CurrentImage::Close() noexcept {
  if (locked_ != nullptr) GlobalUnlock(locked_);
  locked_ = nullptr;
  header_ = nullptr;
  view_ = ImageView{};
}

void WriteDibHeader(uint8_t* header, const ImageView& image, bool resolution) noexcept {
  dib::Put32(header, dib::kWidth, image.width);
  // A negative height marks a top-down DIB; keep the caller's convention.
  const auto oldHeight = static_cast<int32_t>(dib::Get32(header, dib::kHeight));
  const auto h = static_cast<int32_t>(image.height);
  dib::Put32(header, dib::kHeight, static_cast<uint32_t>(oldHeight < 0 ? -h : h));
  dib::Put16(header, dib::kBitCount, image.bitsPixel);
  dib::Put32(header, dib::kSizeImage, static_cast<uint32_t>(image.Bytes()));
  if (resolution) {
    dib::Put32(header, dib::kXPelsPerMeter, static_cast<uint32_t>(PixelsPerMetre(image.dpiX)));
    dib::Put32(header, dib::kYPelsPerMeter, static_cast<uint32_t>(PixelsPerMetre(image.dpiY)));
  }
}

uint32_t ResultPrefixBytes(const HUX_IMG_INF& img, uint8_t bitsPixel) noexcept {
  return img.dataDIB == IMG_FLT_ON ? DibPrefixBytes(bitsPixel) : 0;
}

int32_t DeliverNewImage(HUX_IMG_INF& img, CurrentImage& from, ImageBuffer&& result) noexcept {
  if (!result || !result.IsGlobal()) return IMG_FLT_ERR_UNSUPPORTED;
  const ImageView out = result.View();
  if (result.PrefixBytes() != ResultPrefixBytes(img, out.bitsPixel)) return IMG_FLT_ERR_UNSUPPORTED;
  bool resolution = out.dpiX != img.imgDpiX || out.dpiY != img.imgDpiY;
  if (result.PrefixBytes() != 0) {
    uint8_t* prefix = result.Prefix();
    if (from.DibHeader() != nullptr && from.View().bitsPixel == out.bitsPixel) {
      std::memcpy(prefix, from.DibHeader(), result.PrefixBytes());
    } else {
      std::memset(prefix, 0, result.PrefixBytes());
      dib::Put32(prefix, dib::kSize, kDibHeaderBytes);
      dib::Put16(prefix, dib::kPlanes, 1);
      resolution = true;
    }
    WriteDibHeader(prefix, out, resolution);
  }
  from.Close();
  if (img.outBuffKind == IMG_FLT_MEMAREA_NEW && img.hOutBuff != nullptr) GlobalFree(img.hOutBuff);
  img.dwWidth = out.width;
  img.dwHeight = out.height;
  img.bitsPixel = out.bitsPixel;
  img.imgDpiX = out.dpiX;
  img.imgDpiY = out.dpiY;
  img.hOutBuff = result.ReleaseGlobal();
  img.outBuffKind = IMG_FLT_MEMAREA_NEW;
  return IMG_FLT_SUCCESS;
}

}  // namespace imgflt::geometry
