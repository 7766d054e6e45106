// CDIB: displayed size, drawing on the screen and printing.
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "dib_impl.h"

namespace {

using dibimage::detail::Fail;
using dibimage::detail::Succeed;

constexpr int kMaxShownSide = 1 << 20;


enum class Fit { kWindow, kWidth, kHeight };

// length × num / den, rounded, at least 1.
int Scaled(int length, int num, int den) noexcept {
  const int64_t v = (int64_t(length) * num * 2 + den) / (int64_t(den) * 2);
  return int(std::clamp<int64_t>(v, 1, kMaxShownSide));
}

QSize FitSize(const QSize& image, const QSize& box, Fit fit) noexcept {
  const int w = image.width(), h = image.height(), bw = box.width(), bh = box.height();
  const bool byWidth = fit == Fit::kWidth || (fit == Fit::kWindow && int64_t(bw) * h <= int64_t(bh) * w);
  if (byWidth) return QSize(bw, Scaled(h, bw, w));
  return QSize(Scaled(w, bh, h), bh);
}

}  // namespace

int CDIB::SetZoom(const QSize& size, int /*reserved*/) noexcept {
  if (!HasImage()) return Fail(kDibErrNoImage);
  if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxShownSide || size.height() > kMaxShownSide)
    return Fail(kDibErrBadArgument);
  d_->shown = size;
  return Succeed();
}

namespace {
template <typename Impl>
int FitInto(Impl* d, bool hasImage, const QRect& rect, Fit fit) noexcept {
  if (!hasImage) return Fail(kDibErrNoImage);
  if (rect.width() <= 0 || rect.height() <= 0 || rect.width() > kMaxShownSide || rect.height() > kMaxShownSide)
    return Fail(kDibErrBadArgument);
  d->shown = FitSize(QSize(d->image->width, d->image->height), rect.size(), fit);
  return Succeed();
}
}  // namespace

int CDIB::FitWindow(const QRect& rect, int /*reserved*/) noexcept {
  return FitInto(d_.get(), HasImage(), rect, Fit::kWindow);
}
int CDIB::FitWidth(const QRect& rect, int /*reserved*/) noexcept {
  return FitInto(d_.get(), HasImage(), rect, Fit::kWidth);
}
int CDIB::FitHeight(const QRect& rect, int /*reserved*/) noexcept {
  return FitInto(d_.get(), HasImage(), rect, Fit::kHeight);
}

int CDIB::SetZoomMode(int mode) noexcept {
  if (mode != kZoomModePlain && mode != kZoomModeGray) return Fail(kDibErrBadArgument);
  if (!Ensure()) return Fail(kDibErrNoMemory);
  d_->zoomMode = mode;
  return Succeed();
}

int CDIB::GetZoomMode() const noexcept { return d_ ? d_->zoomMode : kZoomModePlain; }

const QImage* CDIB::ReducedPicture(const QSize& size, bool halftone) noexcept {
  const bool mono = d_->image->bitsPerPixel == 1;
  const int mode = mono ? d_->zoomMode : kZoomModePlain;
  const bool smooth = !mono && halftone;
  if (!d_->reduced.isNull() && d_->reducedSize == size && d_->reducedMode == mode && d_->reducedHalftone == smooth)
    return &d_->reduced;
  d_->reduced = (mono && mode == kZoomModeGray)
                    ? dibimage::detail::MonoToGrayReduced(*d_->image, size.width(), size.height())
                    : d_->source.scaled(size, Qt::IgnoreAspectRatio,
                                        smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
  if (d_->reduced.isNull()) return nullptr;
  d_->reducedSize = size;
  d_->reducedMode = mode;
  d_->reducedHalftone = smooth;
  return &d_->reduced;
}

int CDIB::DisplayImage(QPainter* painter, const QPoint& origin, bool halftone) noexcept {
  if (painter == nullptr) return Fail(kDibErrBadArgument);
  if (!painter->isActive()) return Fail(kDibErrPaint);
  if (!HasImage()) return Fail(kDibErrNoImage);
  try {
    if (d_->source.isNull()) d_->source = dibimage::detail::ToQImage(*d_->image);
    if (d_->source.isNull()) return Fail(kDibErrNoMemory);
    const QSize shown = d_->shown, size(d_->image->width, d_->image->height);
    if (shown == size) {
      painter->drawImage(origin, d_->source);
    } else if (shown.width() <= size.width() && shown.height() <= size.height()) {
      const QImage* picture = ReducedPicture(shown, halftone);
      if (!picture) return Fail(kDibErrNoMemory);
      painter->drawImage(origin, *picture);
    } else {
      // Enlarged: the painter scales only what it actually paints.
      painter->save();
      painter->setRenderHint(QPainter::SmoothPixmapTransform, halftone && d_->image->bitsPerPixel != 1);
      painter->drawImage(QRect(origin, shown), d_->source);
      painter->restore();
    }
  } catch (...) {
    return Fail(kDibErrNoMemory);
  }
  return Succeed();
}

int CDIB::PrintDIB(QPainter* painter, int mode) noexcept {
  if (painter == nullptr || (mode != kPrintActualSize && mode != kPrintFitPage)) return Fail(kDibErrBadArgument);
  QPaintDevice* device = painter->device();
  if (!painter->isActive() || device == nullptr || device->width() <= 0 || device->height() <= 0)
    return Fail(kDibErrPaint);
  if (!HasImage()) return Fail(kDibErrNoImage);
  try {
    if (d_->source.isNull()) d_->source = dibimage::detail::ToQImage(*d_->image);
    if (d_->source.isNull()) return Fail(kDibErrNoMemory);
    const zoimg::PageImage& image = *d_->image;
    const QSize page(device->width(), device->height());
    QRect target;
    if (mode == kPrintFitPage) {
      const QSize size = FitSize(QSize(image.width, image.height), page, Fit::kWindow);
      target = QRect(QPoint((page.width() - size.width()) / 2, (page.height() - size.height()) / 2), size);
    } else {
      const int xDpi = image.xDpi > 0 ? image.xDpi : kDefaultDpi;
      const int yDpi = image.yDpi > 0 ? image.yDpi : kDefaultDpi;
      target = QRect(0, 0, Scaled(image.width, device->logicalDpiX(), xDpi),
                     Scaled(image.height, device->logicalDpiY(), yDpi));
    }
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, image.bitsPerPixel != 1);
    // 1 bit in the form print engines keep as 1 bit instead of expanding it
    // to colour (a PDF page stays small).
    painter->drawImage(target, image.bitsPerPixel == 1 ? dibimage::detail::MonoForPrinting(image, d_->source)
                                                       : d_->source);
    painter->restore();
  } catch (...) {
    return Fail(kDibErrNoMemory);
  }
  return Succeed();
}
