// CBelvPageHeaderDlg: the caption strip above a page pane.
#include "shell/page_header_dlg.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace shell {
namespace {

// Icon 115: a small page, kept hidden in the header.
QPixmap HeaderIconPicture() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 1.5, 9, 13));
  p.setPen(QPen(QColor(110, 115, 122), 1));
  for (int y = 5; y <= 11; y += 3) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
  return picture;
}

}  // namespace

CBelvPageHeaderDlg::CBelvPageHeaderDlg(QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)), icon_(new QLabel(this)) {
  setProperty("ctrlId", kDialogId);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  label_->setProperty("ctrlId", kLabelId);
  label_->setAlignment(Qt::AlignCenter);
  label_->setTextFormat(Qt::PlainText);
  icon_->setProperty("ctrlId", kIconId);
  icon_->setPixmap(HeaderIconPicture());
  icon_->hide();
  resize(sizeHint());
  Layout();
}

void CBelvPageHeaderDlg::SetLabelText(const QString& text) { label_->setText(text); }

QString CBelvPageHeaderDlg::LabelText() const { return label_->text(); }

QSize CBelvPageHeaderDlg::sizeHint() const {
  const QFontMetrics metrics = fontMetrics();
  const int width = kWidthDlu * metrics.averageCharWidth() / 4;
  // The dialog's own height is a little under one line of text; the label
  // must still show its text whole.
  const int height = std::max(kHeightDlu * metrics.height() / 8, metrics.height() + 2);
  return {width, height};
}

void CBelvPageHeaderDlg::Layout() {
  label_->setGeometry(0, 0, width(), height());
  icon_->setGeometry(2, (height() - 16) / 2, 16, 16);
}

void CBelvPageHeaderDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void CBelvPageHeaderDlg::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The height follows the font.
  if (event->type() == QEvent::FontChange) resize(width(), sizeHint().height());
}

}  // namespace shell
