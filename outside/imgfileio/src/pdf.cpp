// Reading PDF pages: counts and attributes come from the document
// (pdf_document.cpp, qpdf; nothing is rendered). A page that is one image
// is read at the image's own pixels: DCT through the JPEG decoder, CCITT
// through the fax decoder, the other filters' samples unpacked here (1 bit,
// 8-bit grey, RGB, Indexed expanded; /Decode [1 0] honoured). Any other
// page is rendered by poppler at 200 dpi into 24 bits. Writing is in
// pdf_write.cpp.
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "formats.h"
#include "pdf_document.h"

namespace zoimg::detail {

static_assert(pdfdoc::kOk == kOk && pdfdoc::kNoMemory == kErrNoMemory && pdfdoc::kOpen == kErrOpen &&
              pdfdoc::kBadFormat == kErrBadFormat && pdfdoc::kWrite == kErrWrite &&
              pdfdoc::kPageNotFound == kErrPageNotFound && pdfdoc::kMaxBytes == kMaxDecodedBytes);

namespace {

constexpr int32_t kRenderDpi = 200;

// Pixel size of a page rendered at kRenderDpi.
bool RenderSize(const pdfdoc::PagePlan& plan, int32_t* w, int32_t* h) {
  double pw = std::round(plan.widthPt * kRenderDpi / 72.0), ph = std::round(plan.heightPt * kRenderDpi / 72.0);
  if (!(pw >= 1) || !(ph >= 1) || pw > INT32_MAX || ph > INT32_MAX) return false;
  *w = int32_t(pw);
  *h = int32_t(ph);
  return true;
}

uint64_t OutputBytes(int64_t w, int64_t h, int32_t bits) {
  return ((uint64_t(w) * uint64_t(bits) + 31) / 32) * 4 * uint64_t(h);
}

PageImage Blank(int32_t w, int32_t h, int32_t bits) {
  PageImage img;
  img.width = w;
  img.height = h;
  img.bitsPerPixel = bits;
  if (bits == 1) img.palette = {0xFFFFFFu, 0x000000u};
  if (bits == 8)
    for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010101u);
  img.pixels.assign(size_t(OutputBytes(w, h, bits)), 0);
  return img;
}

// --- decoding ----------------------------------------------------------

uint32_t SampleAt(const uint8_t* row, uint64_t index, int bpc) {
  switch (bpc) {
    case 8:
      return row[index];
    case 16:
      return row[index * 2];  // the high byte
    default: {
      const uint64_t bit = index * uint64_t(bpc);
      const uint32_t shift = 8 - uint32_t(bit % 8) - uint32_t(bpc);
      return (row[bit / 8] >> shift) & ((1u << bpc) - 1);
    }
  }
}

uint8_t Scale8(uint32_t v, int bpc) { return bpc >= 8 ? uint8_t(v) : uint8_t(v * 255 / ((1u << bpc) - 1)); }

int32_t UnpackSamples(const pdfdoc::ImagePlan& plan, std::span<const uint8_t> raw, PageImage* out) {
  const uint64_t rowBytes = (uint64_t(plan.width) * uint64_t(plan.comps) * uint64_t(plan.bpc) + 7) / 8;
  if (raw.size() < rowBytes * uint64_t(plan.height)) return kErrBadFormat;
  PageImage img = Blank(plan.width, plan.height, plan.outBits);
  const uint32_t stride = img.Stride();
  for (int32_t y = 0; y < plan.height; ++y) {
    const uint8_t* src = raw.data() + size_t(uint64_t(y) * rowBytes);
    uint8_t* dst = img.pixels.data() + size_t(y) * stride;
    for (int32_t x = 0; x < plan.width; ++x) {
      if (plan.indexed) {
        const uint32_t c = plan.lut[SampleAt(src, uint64_t(x), plan.bpc)];
        if (plan.outBits == 8) {
          dst[x] = uint8_t(c);
        } else {
          dst[3 * x] = uint8_t(c);
          dst[3 * x + 1] = uint8_t(c >> 8);
          dst[3 * x + 2] = uint8_t(c >> 16);
        }
      } else if (plan.outBits == 1) {
        // sample 0 is black, unless /Decode [1 0]
        const bool one = SampleAt(src, uint64_t(x), 1) != 0;
        if (one == plan.invert[0]) dst[x / 8] |= uint8_t(0x80u >> (x % 8));
      } else if (plan.outBits == 8) {
        const uint8_t v = Scale8(SampleAt(src, uint64_t(x), plan.bpc), plan.bpc);
        dst[x] = plan.invert[0] ? uint8_t(255 - v) : v;
      } else {
        for (int c = 0; c < 3; ++c) {
          const uint8_t v = Scale8(SampleAt(src, uint64_t(x) * 3 + uint64_t(c), plan.bpc), plan.bpc);
          dst[3 * x + 2 - c] = plan.invert[c] ? uint8_t(255 - v) : v;
        }
      }
    }
  }
  *out = std::move(img);
  return kOk;
}

int32_t DecodeDct(const pdfdoc::ImagePlan& plan, std::span<const uint8_t> raw, PageImage* out) {
  PageImage img;
  if (int32_t err = DecodeJpeg(raw, &img); err != kOk) return err;
  if (img.width != plan.width || img.height != plan.height || img.bitsPerPixel != plan.outBits) return kErrBadFormat;
  if (plan.invert[0])  // every component's, or the plan would not read it directly
    for (uint8_t& b : img.pixels) b = uint8_t(255 - b);
  *out = std::move(img);
  return kOk;
}

int32_t DecodeFax(const pdfdoc::ImagePlan& plan, std::span<const uint8_t> raw, PageImage* out) {
  PageImage img;
  int32_t err = DecodeCcitt(raw, plan.width, plan.height, plan.k, plan.blackIs1, plan.byteAlign, &img);
  if (err != kOk) return err;
  if (plan.invert[0]) {
    const uint32_t stride = img.Stride();
    for (int32_t y = 0; y < img.height; ++y)
      for (int32_t x = 0; x < img.width; ++x)
        img.pixels[size_t(y) * stride + size_t(x) / 8] ^= uint8_t(0x80u >> (x % 8));
  }
  *out = std::move(img);
  return kOk;
}

// --- rendering ---------------------------------------------------------

void QuietPoppler() {
  static std::once_flag once;
  std::call_once(once, [] { poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr); });
}

int32_t Render(const std::string& path, int32_t page, const pdfdoc::PagePlan& plan, PageImage* out) {
  int32_t w = 0, h = 0;
  if (!RenderSize(plan, &w, &h)) return kErrBadFormat;
  if (OutputBytes(w, h, 24) > kMaxDecodedBytes) return kErrNoMemory;
  QuietPoppler();
  std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path));
  if (!doc || doc->is_locked() || page > doc->pages()) return kErrBadFormat;
  std::unique_ptr<poppler::page> p(doc->create_page(page - 1));
  if (!p) return kErrBadFormat;
  poppler::page_renderer renderer;
  renderer.set_image_format(poppler::image::format_bgr24);
  renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
  renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
  // The size is ours, from the same boxes as the page's attributes.
  poppler::image shown = renderer.render_page(p.get(), kRenderDpi, kRenderDpi, 0, 0, w, h);
  if (!shown.is_valid() || shown.format() != poppler::image::format_bgr24 || shown.width() != w ||
      shown.height() != h || shown.bytes_per_row() < 3 * w)
    return kErrBadFormat;
  PageImage img = Blank(w, h, 24);
  const uint32_t stride = img.Stride();
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(img.pixels.data() + size_t(y) * stride, shown.const_data() + size_t(y) * size_t(shown.bytes_per_row()),
                size_t(w) * 3);
  img.xDpi = img.yDpi = kRenderDpi;
  *out = std::move(img);
  return kOk;
}

}  // namespace

int32_t PdfPageCount(const std::string& path) noexcept {
  int32_t n = pdfdoc::PageCount(path);
  return n < 0 ? -Fail(-n) : n;
}

int32_t PdfPageInfo(const std::string& path, int32_t page, PageInfo* info) noexcept {
  if (info == nullptr) return Fail(kErrBadString);
  pdfdoc::PagePlan plan;
  if (int32_t err = pdfdoc::Describe(path, page, &plan); err != kOk) return Fail(err);
  PageInfo got;
  got.type = PDF;
  if (plan.direct) {
    got.bitsPerPixel = plan.image.outBits;
    got.width = plan.image.width;
    got.height = plan.image.height;
    got.xDpi = plan.image.xDpi;
    got.yDpi = plan.image.yDpi;
  } else {
    if (!RenderSize(plan, &got.width, &got.height)) return Fail(kErrBadFormat);
    got.bitsPerPixel = 24;
    got.xDpi = got.yDpi = kRenderDpi;
  }
  *info = got;
  return kOk;
}

int32_t PdfReadPage(const std::string& path, int32_t page, PageImage* out) noexcept {
  if (out == nullptr) return Fail(kErrBadString);
  try {
    pdfdoc::PagePlan plan;
    std::vector<uint8_t> data;
    if (int32_t err = pdfdoc::Fetch(path, page, &plan, &data); err != kOk) return Fail(err);
    if (!plan.direct) {
      int32_t err = Render(path, page, plan, out);
      return err == kOk ? kOk : Fail(err);
    }
    const pdfdoc::ImagePlan& image = plan.image;
    int32_t err = image.codec == pdfdoc::Codec::kDct     ? DecodeDct(image, data, out)
                  : image.codec == pdfdoc::Codec::kCcitt ? DecodeFax(image, data, out)
                                                         : UnpackSamples(image, data, out);
    if (err != kOk) return Fail(err);
    out->xDpi = image.xDpi;
    out->yDpi = image.yDpi;
    return kOk;
  } catch (const std::bad_alloc&) {
    return Fail(kErrNoMemory);
  } catch (...) {
    return Fail(kErrBadFormat);
  }
}

}  // namespace zoimg::detail
