// ZoImgFileIO's public functions: the page image checks, the calling
// thread's last error, format sniffing by content and the dispatch to the
// TIFF, BMP, JPEG and PDF codecs.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "codecs.h"
#include "files.h"

namespace zoimg {

bool PageImage::IsValid() const noexcept {
  if (width <= 0 || height <= 0) return false;
  std::size_t colours = 0;
  switch (bitsPerPixel) {
    case 1: colours = 2; break;
    case 4: colours = 16; break;
    case 8: colours = 256; break;
    case 24: colours = 0; break;
    default: return false;
  }
  if (palette.size() != colours) return false;
  uint64_t stride = ((uint64_t(width) * uint64_t(bitsPerPixel) + 31u) / 32u) * 4u;
  if (stride > UINT32_MAX) return false;
  return pixels.size() == stride * uint64_t(height);
}

bool PageImage::IsGray() const noexcept {
  if (bitsPerPixel != 8 || palette.size() != 256) return false;
  for (uint32_t i = 0; i < 256; ++i) {
    if (palette[i] != i * 0x010101u) return false;
  }
  return true;
}

namespace {

thread_local int32_t tLastError = kOk;

int32_t Succeed(int32_t value = kOk) noexcept {
  tLastError = kOk;
  return value;
}

}  // namespace

namespace detail {

int32_t Fail(int32_t err) noexcept {
  tLastError = err;
  return err;
}

Format Sniff(std::span<const uint8_t> head) noexcept {
  auto starts = [&](std::string_view magic) {
    return head.size() >= magic.size() && std::memcmp(head.data(), magic.data(), magic.size()) == 0;
  };
  using namespace std::string_view_literals;
  if (starts("II*\0"sv) || starts("MM\0*"sv) || starts("II+\0"sv) || starts("MM\0+"sv)) return Format::kTiff;
  if (starts("BM"sv)) return Format::kBmp;
  if (starts("\xFF\xD8\xFF"sv)) return Format::kJpeg;
  // Some writers put a few bytes before the PDF header; readers look for it
  // within the first kilobyte.
  std::string_view text(reinterpret_cast<const char*>(head.data()), std::min<std::size_t>(head.size(), 1024));
  if (text.find("%PDF-"sv) != std::string_view::npos) return Format::kPdf;
  return Format::kUnknown;
}

int32_t MemoryTotalPage(std::span<const uint8_t> file) noexcept {
  PageInfo info;
  int32_t err = kErrBadFormat;
  switch (Sniff(file)) {
    case Format::kTiff: return TiffPageCount(file);
    case Format::kBmp: err = BmpPageInfo(file, &info); break;
    case Format::kJpeg: err = JpegPageInfo(file, &info); break;
    default: break;
  }
  return err == kOk ? 1 : -err;
}

int32_t MemoryPageInfo(std::span<const uint8_t> file, int32_t page, PageInfo* info) noexcept {
  Format format = Sniff(file);
  if (format == Format::kTiff) return TiffPageInfo(file, page, info);
  if (format != Format::kBmp && format != Format::kJpeg) return kErrBadFormat;
  // The single-page formats are checked as a whole before the page number,
  // so that a broken file never answers "page not found".
  int32_t err = format == Format::kBmp ? BmpPageInfo(file, info) : JpegPageInfo(file, info);
  if (err != kOk) return err;
  return page == 1 ? kOk : kErrPageNotFound;
}

int32_t MemoryReadPage(std::span<const uint8_t> file, int32_t page, PageImage* out) noexcept {
  Format format = Sniff(file);
  if (format == Format::kTiff) return TiffReadPage(file, page, out);
  if (format != Format::kBmp && format != Format::kJpeg) return kErrBadFormat;
  PageInfo info;
  int32_t err = format == Format::kBmp ? BmpPageInfo(file, &info) : JpegPageInfo(file, &info);
  if (err != kOk) return err;
  if (page != 1) return kErrPageNotFound;
  return format == Format::kBmp ? BmpReadPage(file, out) : DecodeJpeg(file, out);
}

}  // namespace detail

namespace {

using detail::Fail;
using detail::Format;

// Maps the file and tells its format. kOk or an error code.
int32_t OpenInput(const std::string& path, detail::MappedFile* file, Format* format) noexcept {
  int32_t err = file->Open(path);
  if (err != kOk) return err;
  *format = detail::Sniff(file->Bytes());
  return kOk;
}

// Page facts of any supported file. kOk or an error code.
int32_t PageFacts(const std::string& path, int32_t page, detail::PageInfo* info) noexcept {
  detail::MappedFile file;
  Format format = Format::kUnknown;
  int32_t err = OpenInput(path, &file, &format);
  if (err != kOk) return err;
  if (format == Format::kPdf) return detail::PdfPageInfo(path, page, info);
  return detail::MemoryPageInfo(file.Bytes(), page, info);
}

}  // namespace

int32_t GetPageFileType(const std::string& path, int32_t page) noexcept {
  try {
    if (page < 0) return -Fail(kErrPageNotFound);
    detail::MappedFile file;
    Format format = Format::kUnknown;
    int32_t err = OpenInput(path, &file, &format);
    if (err != kOk) return -Fail(err);
    if (format == Format::kUnknown) {
      Fail(kErrBadFormat);
      return UNKNOWN_TYPE;
    }
    if (format == Format::kPdf && page == 0) {
      int32_t pages = detail::PdfPageCount(path);
      if (pages < 0) return -Fail(-pages);
      return Succeed(PDF);
    }
    // A TIFF file as a whole is the type of its first page.
    detail::PageInfo info;
    err = format == Format::kPdf ? detail::PdfPageInfo(path, page, &info)
                                 : detail::MemoryPageInfo(file.Bytes(), page == 0 ? 1 : page, &info);
    if (err != kOk) return -Fail(err);
    return Succeed(info.type);
  } catch (...) {
    return -Fail(kErrNoMemory);
  }
}

int32_t GetTotalPage(const std::string& path) noexcept {
  try {
    detail::MappedFile file;
    Format format = Format::kUnknown;
    int32_t err = OpenInput(path, &file, &format);
    if (err != kOk) return -Fail(err);
    int32_t pages = format == Format::kPdf ? detail::PdfPageCount(path) : detail::MemoryTotalPage(file.Bytes());
    if (pages < 0) return -Fail(-pages);
    return Succeed(pages);
  } catch (...) {
    return -Fail(kErrNoMemory);
  }
}

int32_t GetImageFileAttributes(const std::string& path, int32_t page, int32_t* bitsPerPixel, int32_t* width,
                               int32_t* height, int32_t* xDpi, int32_t* yDpi, int32_t* compression) noexcept {
  try {
    if (page < 1) return -Fail(kErrPageNotFound);
    detail::PageInfo info;
    int32_t err = PageFacts(path, page, &info);
    if (err != kOk) return -Fail(err);
    if (bitsPerPixel) *bitsPerPixel = info.bitsPerPixel;
    if (width) *width = info.width;
    if (height) *height = info.height;
    if (xDpi) *xDpi = info.xDpi;
    if (yDpi) *yDpi = info.yDpi;
    if (compression) *compression = info.type;
    return Succeed();
  } catch (...) {
    return -Fail(kErrNoMemory);
  }
}

int32_t TIFF_PageCopy(const std::string& dst, const std::string& src, int32_t page) noexcept {
  try {
    if (dst.empty()) return (Fail(kErrBadString), 0);
    detail::MappedFile file;
    Format format = Format::kUnknown;
    int32_t err = OpenInput(src, &file, &format);
    if (err == kOk && format != Format::kTiff) err = kErrBadFormat;
    if (err == kOk) err = detail::TiffCopyPage(dst, file.Bytes(), page);
    if (err != kOk) return (Fail(err), 0);
    return Succeed(1);
  } catch (...) {
    return (Fail(kErrNoMemory), 0);
  }
}

int32_t ReadPage(const std::string& path, int32_t page, PageImage* out) noexcept {
  try {
    if (out == nullptr) return Fail(kErrBadString);
    if (page < 1) return Fail(kErrPageNotFound);
    detail::MappedFile file;
    Format format = Format::kUnknown;
    int32_t err = OpenInput(path, &file, &format);
    if (err != kOk) return Fail(err);
    // Decoded into a page of its own: a failure leaves *out as it was.
    PageImage image;
    err = format == Format::kPdf ? detail::PdfReadPage(path, page, &image)
                                 : detail::MemoryReadPage(file.Bytes(), page, &image);
    if (err != kOk) return Fail(err);
    *out = std::move(image);
    return Succeed();
  } catch (...) {
    return Fail(kErrNoMemory);
  }
}

int32_t WritePage(const std::string& path, int32_t type, const PageImage& image, int32_t jpegQuality) noexcept {
  try {
    if (path.empty() || path.find('\0') != std::string::npos) return Fail(kErrBadString);
    if (!image.IsValid()) return Fail(kErrInvalidImage);
    // Out-of-range qualities are taken as the nearest valid one.
    int32_t quality = std::clamp(jpegQuality, 1, 100);
    int32_t err = kErrCompression;
    switch (type) {
      case TIFF_UNCOMPRESSED:
      case TIFF_G3_FAX:
      case TIFF_G4_FAX:
      case TIFF_JPEG: err = detail::TiffWritePage(path, type, image, quality); break;
      case BMP_UNCOMPRESSED: err = detail::BmpWritePage(path, image); break;
      case JPEG: err = detail::JpegWritePage(path, image, quality); break;
      case PDF: err = detail::PdfWritePage(path, image, quality); break;
      default: break;
    }
    return err == kOk ? Succeed() : Fail(err);
  } catch (...) {
    return Fail(kErrNoMemory);
  }
}

int32_t DecodeJpegMemory(std::span<const uint8_t> data, PageImage* out) noexcept {
  try {
    if (out == nullptr) return Fail(kErrBadString);
    PageImage image;
    int32_t err = detail::DecodeJpeg(data, &image);
    if (err != kOk) return Fail(err);
    *out = std::move(image);
    return Succeed();
  } catch (...) {
    return Fail(kErrNoMemory);
  }
}

int32_t LastError() noexcept { return tLastError; }

}  // namespace zoimg
