// Helpers of the toolbar and pane tests: screenshots, packed bitmaps drawn
// by the test, and the scanner interface bound by name as the program
// binds it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BelvAplIF.h"
#include "platform/dynlib.h"

namespace barstest {

// Saves a picture of the widget into $VISTEL_SCREENSHOT_DIR when it is set.
inline void Screenshot(QWidget* widget, const QString& name) {
  const char* folder = std::getenv("VISTEL_SCREENSHOT_DIR");
  if (!folder || !*folder || !widget) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  widget->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Shows a top-level widget and waits until it can be painted and hit.
inline void ShowAndWait(QWidget* widget) {
  widget->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
  QApplication::processEvents();
}

// A packed 24-bit DIB (40-byte header, bottom-up rows) of image, as the
// scanner hands bitmaps over.
inline std::vector<uint8_t> PackedDib(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB888);
  const int w = image.width(), h = image.height();
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> dib(40 + size_t(stride) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = uint8_t(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, uint32_t(w));
  put32(8, uint32_t(h));
  dib[12] = 1;   // planes
  dib[14] = 24;  // bits per pixel
  put32(20, uint32_t(stride * h));
  put32(24, 7874);  // 200 dpi in pixels per metre
  put32(28, 7874);
  for (int y = 0; y < h; ++y) {
    const uchar* src = image.constScanLine(y);
    uint8_t* dst = dib.data() + 40 + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  return dib;
}

// The interface library, bound by name once per process.
inline CAplIFData* BoundInterface() {
  static std::unique_ptr<platform::DynamicLibrary> library = platform::DynamicLibrary::Load("BelvAplIF.so");
  if (!library) return nullptr;
  auto get = library->Function<AplIFGetGlobalDataPtrFn>("AplIFGetGlobalDataPtr");
  return get ? get() : nullptr;
}

}  // namespace barstest
