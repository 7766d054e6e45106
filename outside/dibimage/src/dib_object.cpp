// CDIB: files, scanned images, editing, image facts and errors.
#include <new>

#include "dib_impl.h"

namespace dibimage::detail {
namespace {
thread_local int32_t t_lastError = 0;
}
void SetLastError(int32_t error) noexcept { t_lastError = error; }
int32_t LastError() noexcept { return t_lastError; }
}  // namespace dibimage::detail

namespace {

using dibimage::detail::Fail;
using dibimage::detail::SetLastError;
using dibimage::detail::Succeed;
using zoimg::PageImage;

// A codec call failed: its own last error, else what it returned.
int32_t CodecError(int32_t returned) noexcept {
  const int32_t e = zoimg::LastError();
  if (e != zoimg::kOk) return e;
  if (returned < -1) return -returned;
  return returned > 0 ? returned : zoimg::kErrBadFormat;
}

std::shared_ptr<const PageImage> Share(PageImage&& image) noexcept {
  try {
    return std::make_shared<const PageImage>(std::move(image));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

CDIB::CDIB() noexcept = default;
CDIB::~CDIB() = default;

// ---- files ----------------------------------------------------------------

int CDIB::GetPageFileType(const std::string& path, int page) noexcept {
  const int32_t type = zoimg::GetPageFileType(path, page);
  SetLastError(type < 0 ? CodecError(type) : 0);
  return type;
}

int CDIB::GetTotalPage(const std::string& path) noexcept {
  const int32_t pages = zoimg::GetTotalPage(path);
  SetLastError(pages < 0 ? CodecError(pages) : 0);
  return pages;
}

int CDIB::GetImageFileAttributes(const std::string& path, int page, int* bitsPerPixel, int* width, int* height,
                                 int* xDpi, int* yDpi, int* compression) noexcept {
  const int32_t r = zoimg::GetImageFileAttributes(path, page, bitsPerPixel, width, height, xDpi, yDpi, compression);
  SetLastError(r < 0 ? CodecError(r) : 0);
  return r;
}

int CDIB::TIFF_PageCopy(const std::string& dst, const std::string& src, int page) noexcept {
  if (zoimg::TIFF_PageCopy(dst, src, page) == 0) return Fail(CodecError(0));
  return Succeed();
}

int CDIB::LoadDIBObject(const std::string& path, int page) noexcept {
  if (!Ensure()) return Fail(kDibErrNoMemory);
  PageImage image;
  if (const int32_t e = zoimg::ReadPage(path, page, &image); e != zoimg::kOk) return Fail(CodecError(e));
  auto shared = Share(std::move(image));
  if (!shared) return Fail(kDibErrNoMemory);
  d_->SetImage(std::move(shared));
  return Succeed();
}

void CDIB::SetJpegQuality(int quality) noexcept {
  if (!Ensure()) return;
  d_->jpegQuality = (quality >= 1 && quality <= 100) ? quality : kDefaultJpegQuality;
}

int CDIB::Write2File(const std::string& path, int type) noexcept {
  if (!HasImage()) return Fail(kDibErrNoImage);
  if (const int32_t e = zoimg::WritePage(path, type, *d_->image, d_->jpegQuality); e != zoimg::kOk)
    return Fail(CodecError(e));
  return Succeed();
}

// ---- scanner --------------------------------------------------------------

int CDIB::TakeScanned(zoimg::PageImage&& image, int clientWidth, int clientHeight) noexcept {
  auto shared = Share(std::move(image));
  if (!shared) return Fail(kDibErrNoMemory);
  d_->SetImage(std::move(shared));
  if (clientWidth > 0 && clientHeight > 0) FitWindow(QRect(0, 0, clientWidth, clientHeight), 0);
  return Succeed();
}

int CDIB::SetScanDIBObject(const void* dib, size_t size, int clientWidth, int clientHeight) noexcept {
  if (!Ensure()) return Fail(kDibErrNoMemory);
  PageImage image;
  const int32_t e = dibimage::detail::ParsePackedDib(
      std::span<const uint8_t>(static_cast<const uint8_t*>(dib), dib ? size : 0), &image);
  if (e != zoimg::kOk) return Fail(e);
  return TakeScanned(std::move(image), clientWidth, clientHeight);
}

int CDIB::SetScanJPEGObject(const void* data, size_t size, int clientWidth, int clientHeight) noexcept {
  if (!Ensure()) return Fail(kDibErrNoMemory);
  if (data == nullptr || size == 0) return Fail(kDibErrBadArgument);
  PageImage image;
  const int32_t e = zoimg::DecodeJpegMemory(std::span<const uint8_t>(static_cast<const uint8_t*>(data), size), &image);
  if (e != zoimg::kOk) return Fail(CodecError(e));
  return TakeScanned(std::move(image), clientWidth, clientHeight);
}

// ---- editing --------------------------------------------------------------

int CDIB::ReplaceImage(zoimg::PageImage&& image, bool keepZoom) noexcept {
  const QSize oldSize = GetDIBSize(), oldShown = d_->shown;
  auto shared = Share(std::move(image));
  if (!shared) return Fail(kDibErrNoMemory);
  d_->SetImage(std::move(shared));
  if (keepZoom && oldSize.width() > 0 && oldShown.isValid()) {
    const double f = double(oldShown.width()) / oldSize.width();
    d_->shown = QSize(std::max(1, int(d_->image->width * f + 0.5)), std::max(1, int(d_->image->height * f + 0.5)));
  }
  return Succeed();
}

int CDIB::RotateImage(int angle, int /*x*/, int /*y*/) noexcept {
  if (!HasImage()) return Fail(kDibErrNoImage);
  const int32_t a = ((angle % 36000) + 36000) % 36000;
  if (a == 0) return Succeed();
  PageImage rotated;
  const int32_t e = (a % 9000 == 0) ? dibimage::detail::RotateQuarterTurns(*d_->image, a / 9000, &rotated)
                                    : dibimage::detail::RotateFree(*d_->image, a, &rotated);
  if (e != zoimg::kOk) return Fail(e);
  return ReplaceImage(std::move(rotated), true);
}

int CDIB::Crop(const QRect& rect) noexcept {
  if (!HasImage()) return Fail(kDibErrNoImage);
  if (rect.isEmpty()) return Fail(kDibErrBadArgument);
  const QRect inside = rect.normalized().intersected(QRect(0, 0, d_->image->width, d_->image->height));
  if (inside.isEmpty()) return Fail(kDibErrEmptyCrop);
  PageImage cropped;
  const int32_t e =
      dibimage::detail::CropImage(*d_->image, inside.x(), inside.y(), inside.width(), inside.height(), &cropped);
  if (e != zoimg::kOk) return Fail(e);
  return ReplaceImage(std::move(cropped), false);
}

int CDIB::DetectBlankPage(int ratio, bool* isBlank) noexcept {
  if (!HasImage()) return Fail(kDibErrNoImage);
  if (isBlank == nullptr || ratio < 0) return Fail(kDibErrBadArgument);
  dibimage::detail::InkCount count;
  if (const int32_t e = dibimage::detail::CountInk(*d_->image, &count); e != zoimg::kOk) return Fail(e);
  *isBlank = count.ink * 10000u <= uint64_t(ratio) * count.examined;
  return Succeed();
}

// ---- image facts ----------------------------------------------------------

const zoimg::PageImage* CDIB::GetPageImage() const noexcept { return d_ ? d_->image.get() : nullptr; }

QSize CDIB::GetDIBSize() const noexcept {
  const PageImage* image = GetPageImage();
  return image ? QSize(image->width, image->height) : QSize(0, 0);
}

QSize CDIB::GetShowDIBSize() const noexcept { return HasImage() ? d_->shown : QSize(0, 0); }

int CDIB::GetDIBitCount() const noexcept {
  const PageImage* image = GetPageImage();
  return image ? image->bitsPerPixel : 0;
}

int CDIB::GetDIBResolution(RESOLUTION* resolution) const noexcept {
  const PageImage* image = GetPageImage();
  if (!image) return Fail(kDibErrNoImage);
  if (!resolution) return Fail(kDibErrBadArgument);
  resolution->xDpi = image->xDpi;
  resolution->yDpi = image->yDpi;
  resolution->unit = (image->xDpi > 0 && image->yDpi > 0) ? kResolutionUnitInch : kResolutionUnitNone;
  return Succeed();
}

std::span<const uint32_t> CDIB::GetDIBPalette() const noexcept {
  const PageImage* image = GetPageImage();
  return image ? std::span<const uint32_t>(image->palette) : std::span<const uint32_t>();
}

int CDIB::GetPalletSize() const noexcept { return int(GetDIBPalette().size() * 4); }

int CDIB::ShareImage(const CDIB& other) noexcept {
  if (!other.HasImage()) return Fail(kDibErrNoImage);
  if (!Ensure()) return Fail(kDibErrNoMemory);
  if (&other != this) d_->SetImage(other.d_->image);
  return Succeed();
}

void CDIB::ClearDIBObject() noexcept {
  if (d_) d_->SetImage(nullptr);
}

// ---- errors ---------------------------------------------------------------

int CDIB::GetErrorInformation() noexcept { return dibimage::detail::LastError(); }

bool CDIB::IsMemError(int e) noexcept { return e == kDibErrNoMemory || e == zoimg::kErrNoMemory; }

bool CDIB::Ensure() noexcept {
  if (d_) return true;
  try {
    d_ = std::make_unique<Impl>();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}
