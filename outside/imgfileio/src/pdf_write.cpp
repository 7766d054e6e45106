// Writing PDF pages: each page image becomes a page of its own, appended
// to a new or existing file. A 1-bit page is one CCITT Group 4 image, an
// 8-bit grey page a DeviceGray JPEG, a 24-bit page a DeviceRGB JPEG at the
// quality given. 4- and 8-bit palette pages are converted first: to 8-bit
// grey when every palette entry is grey, else to 24 bits. The page is the
// image's size at its resolution (200 dpi where the image has none).
//
// qpdf reads the existing file and writes it whole with the new page
// (pdf_document.cpp) into a staged file beside it, which replaces it only
// when complete; a file qpdf cannot read stays as it is (kErrBadFormat).
#include <sys/stat.h>

#include <new>

#include "files.h"
#include "formats.h"
#include "pdf_document.h"

namespace zoimg::detail {
namespace {

constexpr int32_t kDefaultDpi = 200;

// A palette page as the grey or colour page it shows.
PageImage Expand(const PageImage& src) {
  bool grey = true;
  for (uint32_t c : src.palette) grey = grey && c == (c & 0xFF) * 0x010101u;
  PageImage out;
  out.width = src.width;
  out.height = src.height;
  out.bitsPerPixel = grey ? 8 : 24;
  out.xDpi = src.xDpi;
  out.yDpi = src.yDpi;
  if (grey)
    for (uint32_t i = 0; i < 256; ++i) out.palette.push_back(i * 0x010101u);
  const uint32_t outStride = out.Stride(), srcStride = src.Stride();
  out.pixels.assign(size_t(outStride) * size_t(out.height), 0);
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.pixels.data() + size_t(y) * srcStride;
    uint8_t* d = out.pixels.data() + size_t(y) * outStride;
    for (int32_t x = 0; x < src.width; ++x) {
      const uint32_t index = src.bitsPerPixel == 8 ? s[x] : (x % 2 ? s[x / 2] & 0x0F : s[x / 2] >> 4);
      const uint32_t c = index < src.palette.size() ? src.palette[index] : 0;
      if (grey) {
        d[x] = uint8_t(c);
      } else {
        d[3 * x] = uint8_t(c);
        d[3 * x + 1] = uint8_t(c >> 8);
        d[3 * x + 2] = uint8_t(c >> 16);
      }
    }
  }
  return out;
}

// The page's image, encoded, and its size on the page.
int32_t Encode(const PageImage& image, int32_t quality, pdfdoc::NewImage* out) {
  out->width = image.width;
  out->height = image.height;
  out->widthPt = double(image.width) * 72.0 / (image.xDpi > 0 ? image.xDpi : kDefaultDpi);
  out->heightPt = double(image.height) * 72.0 / (image.yDpi > 0 ? image.yDpi : kDefaultDpi);
  if (image.bitsPerPixel == 1) {
    out->ccitt = true;
    return EncodeG4(image, &out->data);
  }
  const bool palette = image.bitsPerPixel == 4 || (image.bitsPerPixel == 8 && !image.IsGray());
  const PageImage expanded = palette ? Expand(image) : PageImage();
  const PageImage& src = palette ? expanded : image;
  out->rgb = src.bitsPerPixel == 24;
  return EncodeJpeg(src, quality, &out->data);
}

}  // namespace

int32_t PdfWritePage(const std::string& path, const PageImage& image, int32_t jpegQuality) noexcept {
  if (!image.IsValid()) return Fail(kErrInvalidImage);
  try {
    struct stat st {};
    const bool existing = ::stat(path.c_str(), &st) == 0;
    if (existing && !S_ISREG(st.st_mode)) return Fail(kErrOpen);
    pdfdoc::NewImage encoded;
    if (int32_t err = Encode(image, jpegQuality, &encoded); err != kOk) return Fail(err);
    StagedFile staged;
    if (int32_t err = staged.Create(path); err != kOk) return Fail(err);
    int32_t err = pdfdoc::AppendImagePage(path, existing, encoded, [&](const uint8_t* data, size_t size) {
      return staged.Write(std::span<const uint8_t>(data, size)) == kOk;
    });
    if (err == kOk) err = staged.Commit();
    return err == kOk ? kOk : Fail(err);
  } catch (const std::bad_alloc&) {
    return Fail(kErrNoMemory);
  } catch (...) {
    return Fail(kErrWrite);
  }
}

}  // namespace zoimg::detail
