// COpeningLogoDlg: the logo shown while the program starts (dialog 197),
// a frameless window around bitmap 198, centred on the screen.
//
// The bitmap is always the program's own (drawn here), whatever language
// library is loaded later. Runs on the GUI thread.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>

namespace shell {

// Bitmap 198: the product name (string 57344 of the program's own
// resources) over a sheet-fed scanner with a page going through it.
// Always kOpeningLogoWidth × kOpeningLogoHeight pixels.
inline constexpr uint32_t kOpeningLogoBitmapId = 198;
inline constexpr int kOpeningLogoWidth = 400;
inline constexpr int kOpeningLogoHeight = 240;
QImage OpeningLogoBitmap();

class COpeningLogoDlg : public QDialog {
 public:
  static constexpr uint32_t kDialogId = 197;

  // Modeless and frameless; not shown until Open() (or show()).
  explicit COpeningLogoDlg(QWidget* parent = nullptr);

  // Shows the logo, centred on the primary screen's available area, and
  // paints it at once, so it is on screen before start-up goes on.
  void Open();

  // The width of the frame drawn around the bitmap: the style's frame
  // metric. The window is the bitmap plus twice this in each direction and
  // the bitmap's top-left pixel sits at (FrameWidth(), FrameWidth()).
  int FrameWidth() const noexcept { return frame_; }
  const QImage& Bitmap() const noexcept { return bitmap_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void CenterOnScreen();

  QImage bitmap_;
  int frame_ = 0;
};

}  // namespace shell
