// CBelvAppView: one page pane. It owns the image object of the page it
// shows and draws it at its displayed size, centred while it is smaller
// than the client area and scrolled otherwise; an empty pane draws nothing
// and has no scroll range. Exactly one pane of the splitter is active; a
// mouse press on a pane asks for it to become the active one.
//
// The document (paging, zoom, fit, the mouse tools) drives the pane through
// Dib() and ImageChanged().
//
// GUI thread only.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QString>
#include <string>

#include "model/vexo_dib.h"

namespace shell {

class CBelvAppView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kImageNone = -1;
  static constexpr int kImageLoaded = 1;
  static constexpr int kViewCount = 8;

  // viewIndex 0 … 7: 0–3 the top row of the pane grid, 4–7 the bottom row.
  explicit CBelvAppView(int viewIndex, QWidget* parent = nullptr);
  ~CBelvAppView() override;

  int ViewIndex() const noexcept { return viewIndex_; }

  // The visible page number shown (1-based; 0 none).
  int Page() const noexcept { return page_; }
  void SetPage(int page) noexcept { page_ = page; }

  // kImageNone or kImageLoaded.
  int ImageState() const noexcept { return imageState_; }
  CVexoDIB& Dib() noexcept { return dib_; }
  const CVexoDIB& Dib() const noexcept { return dib_; }

  // Loads page (1-based) of a file; on failure the image object reports it
  // (message 7) and the pane is empty. Returns 1 or 0.
  int LoadImage(const std::string& path, int page);
  // Empties the pane.
  void ClearImage();
  // After the image object changed (loaded, taken from the scanner, zoomed,
  // fitted): takes its state, adjusts the scroll range, repaints.
  void ImageChanged();

  // Where the image's top-left corner is drawn, in viewport coordinates.
  QPoint ImageOrigin() const;

  // The caption label shown in the pane's header.
  const QString& Caption() const noexcept { return caption_; }
  void SetCaption(const QString& caption);

  bool IsActive() const noexcept { return active_; }
  void SetActive(bool active);

  // Area-averaged reduction of grey and colour images (on by default).
  bool Halftone() const noexcept { return halftone_; }
  void SetHalftone(bool halftone);

 signals:
  // A mouse button went down on the pane.
  void clicked(int viewIndex);
  void captionChanged(int viewIndex, const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void UpdateScrollRange();

  const int viewIndex_;
  int page_ = 0;
  int imageState_ = kImageNone;
  CVexoDIB dib_;
  QString caption_;
  bool active_ = false;
  bool halftone_ = true;
};

}  // namespace shell
