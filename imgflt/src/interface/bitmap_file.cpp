// ExportMyWriteImage: a packed DIB (the caller's, or the image's own buffer)
// written as a BMP file that any reader takes: 14-byte file header, the
// 40-byte header and palette, the rows.
#include <cerrno>
#include <cstring>
#include <string>

#include "Hux_ImgFlt.h"
#include "geometry/geometry.h"
#include "interface/atomic_file.h"
#include "interface/descriptor.h"
#include "interface/diagnostics.h"
#include "interface/dib_header.h"
#include "interface/image.h"
#include "platform/syserror.h"

namespace imgflt {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;

struct DibGeometry {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bits = 0;
  uint32_t paletteBytes = 0;
  uint32_t stride = 0;
};

// The header's own description of the DIB; false when it is not an
// uncompressed 1/4/8/24-bit DIB with a 40-byte header.
bool ReadGeometry(const uint8_t* dib, DibGeometry* g) noexcept {
  if (dib::Get32(dib, dib::kSize) != kDibHeaderBytes || dib::Get32(dib, dib::kCompression) != 0) return false;
  int32_t width = static_cast<int32_t>(dib::Get32(dib, dib::kWidth));
  int32_t height = static_cast<int32_t>(dib::Get32(dib, dib::kHeight));
  g->bits = dib::Get16(dib, dib::kBitCount);
  if (width <= 0 || height == 0 || height == INT32_MIN || !IsSupportedDepth(g->bits)) return false;
  g->width = static_cast<uint32_t>(width);
  g->height = static_cast<uint32_t>(height < 0 ? -height : height);
  uint32_t used = dib::Get32(dib, dib::kClrUsed);
  uint32_t maxEntries = g->bits == 24 ? 256 : 1u << g->bits;
  uint32_t entries = used != 0 ? used : (g->bits == 24 ? 0 : maxEntries);
  if (entries > maxEntries) return false;
  g->paletteBytes = 4 * entries;
  g->stride = RowStride(g->width, g->bits);
  return g->stride != 0 && uint64_t{g->stride} * g->height + g->paletteBytes + kFileHeaderBytes + kDibHeaderBytes <=
                               UINT32_MAX;
}

int32_t Fail(const char* path, const char* what, int error) noexcept {
  try {
    std::string text = path != nullptr ? path : "(null)";
    text += ": ";
    text += what != nullptr ? what : platform::SystemErrorText(error);
    ReportError(text);
  } catch (...) {
  }
  return 0;
}

int32_t WriteBitmap(const HUX_IMG_INF& img, const char* path, uint8_t* dib, const DibGeometry& g,
                    uint32_t reverse) noexcept {
  dib::Put32(dib, dib::kXPelsPerMeter, static_cast<uint32_t>(PixelsPerMetre(img.imgDpiX)));
  dib::Put32(dib, dib::kYPelsPerMeter, static_cast<uint32_t>(PixelsPerMetre(img.imgDpiY)));
  uint8_t fileHeader[kFileHeaderBytes] = {'B', 'M'};
  dib::Put32(fileHeader, 2, g.stride * g.height + g.paletteBytes + kFileHeaderBytes + kDibHeaderBytes);
  dib::Put32(fileHeader, 10, g.paletteBytes + kFileHeaderBytes + kDibHeaderBytes);
  AtomicFile file;
  if (!file.Open(path)) return Fail(path, nullptr, errno);
  bool ok = file.Write(fileHeader, sizeof fileHeader) && file.Write(dib, kDibHeaderBytes + g.paletteBytes);
  const uint8_t* rows = dib + kDibHeaderBytes + g.paletteBytes;
  for (uint32_t i = 0; ok && i < g.height; ++i) {
    uint32_t y = reverse == 1 ? g.height - 1 - i : i;
    ok = file.Write(rows + size_t{y} * g.stride, g.stride);
  }
  if (!ok || !file.Commit()) return Fail(path, nullptr, errno);
  return 1;
}

}  // namespace

}  // namespace imgflt

using namespace imgflt;

HUX_IMGFLT_EXPORT int32_t ExportMyWriteImage(const HUX_IMG_INF* img, const char* path, void* dib, uint32_t reverse) {
  if (img == nullptr || path == nullptr) return Fail(path, "no image descriptor or file name", 0);
  DibGeometry g;
  if (dib != nullptr) {
    auto* bytes = static_cast<uint8_t*>(dib);
    if (!ReadGeometry(bytes, &g)) return Fail(path, "not an uncompressed DIB", 0);
    return WriteBitmap(*img, path, bytes, g, reverse);
  }
  // The image's own buffer: it must be a DIB whose header agrees with the
  // descriptor, so no row is read beyond the block.
  if (img->dataDIB != IMG_FLT_ON || CheckDescriptor(*img) != 0) return Fail(path, "the image holds no DIB", 0);
  HUX_IMG_INF current = *img;
  geometry::CurrentImage image;
  if (image.Open(current) != 0 || image.DibHeader() == nullptr) return Fail(path, "the image holds no DIB", 0);
  uint8_t* header = image.DibHeader();
  if (!ReadGeometry(header, &g) || g.width != img->dwWidth || g.height != img->dwHeight || g.bits != img->bitsPixel ||
      g.paletteBytes != 4 * PaletteEntries(g.bits))
    return Fail(path, "the DIB header does not match the image", 0);
  return WriteBitmap(*img, path, header, g, reverse);
}
