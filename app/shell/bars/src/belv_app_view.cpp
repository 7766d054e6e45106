// CBelvAppView: a page pane drawing its image object.
#include "shell/belv_app_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace shell {

CBelvAppView::CBelvAppView(int viewIndex, QWidget* parent)
    : QAbstractScrollArea(parent), viewIndex_(std::clamp(viewIndex, 0, kViewCount - 1)) {
  setProperty("viewIndex", viewIndex_);
  setFrameShape(QFrame::StyledPanel);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Mid);
  viewport()->setAutoFillBackground(true);
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setSingleStep(16);
  UpdateScrollRange();
}

CBelvAppView::~CBelvAppView() = default;

int CBelvAppView::LoadImage(const std::string& path, int page) {
  const int ok = dib_.LoadForDisplay(path, page);
  ImageChanged();
  return ok;
}

void CBelvAppView::ClearImage() {
  dib_.ClearDIBObject();
  ImageChanged();
}

void CBelvAppView::ImageChanged() {
  imageState_ = dib_.HasImage() ? kImageLoaded : kImageNone;
  UpdateScrollRange();
  viewport()->update();
}

void CBelvAppView::UpdateScrollRange() {
  const QSize client = viewport()->size();
  const QSize shown = imageState_ == kImageLoaded ? dib_.GetShowDIBSize() : QSize();
  horizontalScrollBar()->setRange(0, std::max(0, shown.width() - client.width()));
  verticalScrollBar()->setRange(0, std::max(0, shown.height() - client.height()));
  horizontalScrollBar()->setPageStep(std::max(1, client.width()));
  verticalScrollBar()->setPageStep(std::max(1, client.height()));
}

QPoint CBelvAppView::ImageOrigin() const {
  const QSize client = viewport()->size();
  const QSize shown = dib_.GetShowDIBSize();
  // Centred while it fits, else scrolled.
  const int x = shown.width() <= client.width() ? (client.width() - shown.width() + 1) / 2
                                                : -horizontalScrollBar()->value();
  const int y = shown.height() <= client.height() ? (client.height() - shown.height() + 1) / 2
                                                  : -verticalScrollBar()->value();
  return {x, y};
}

void CBelvAppView::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  emit captionChanged(viewIndex_, caption_);
}

void CBelvAppView::SetActive(bool active) { active_ = active; }

void CBelvAppView::SetHalftone(bool halftone) {
  halftone_ = halftone;
  viewport()->update();
}

void CBelvAppView::paintEvent(QPaintEvent*) {
  if (imageState_ != kImageLoaded) return;
  QPainter painter(viewport());
  dib_.DisplayImage(&painter, ImageOrigin(), halftone_);
}

void CBelvAppView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void CBelvAppView::mousePressEvent(QMouseEvent* event) {
  QAbstractScrollArea::mousePressEvent(event);
  emit clicked(viewIndex_);
}

void CBelvAppView::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace shell
