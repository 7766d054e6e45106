// Private header of ZoDIBImage: what a CDIB holds.
#pragma once

#include <QImage>
#include <QSize>
#include <memory>

#include "ZoDIBImage.h"
#include "image_ops.h"

struct CDIB::Impl {
  std::shared_ptr<const zoimg::PageImage> image;  // null: empty object
  QSize shown;                                    // displayed size
  int zoomMode = kZoomModePlain;
  int jpegQuality = kDefaultJpegQuality;

  // Pictures for drawing, dropped whenever the image changes. source shows
  // the image's pixels (it may refer to them, so it goes before image).
  QImage source;
  QImage reduced;  // the image at reducedSize, made for reducedMode/halftone
  QSize reducedSize;
  int reducedMode = -1;
  bool reducedHalftone = false;

  void DropPictures() noexcept {
    reduced = QImage();
    reducedSize = QSize();
    source = QImage();
  }
  void SetImage(std::shared_ptr<const zoimg::PageImage> next) noexcept {
    DropPictures();
    image = std::move(next);
    shown = image ? QSize(image->width, image->height) : QSize();
  }
  ~Impl() { DropPictures(); }
};
