// COpeningLogoDlg and bitmap 198, drawn in code.
#include "shell/opening_logo_dlg.h"

#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <qdrawutil.h>

#include "res/resource_module.h"

namespace shell {
namespace {

// Picture geometry, in bitmap pixels.
constexpr QRectF kScannerBody(34, 104, 132, 62);
constexpr QRectF kSheetIn(60, 22, 80, 96);    // the page going in at the top
constexpr QRectF kSheetOut(60, 156, 80, 62);  // the page coming out below
constexpr QRectF kTextArea(186, 40, 196, 150);
constexpr int kLargestTitlePx = 46, kSmallestTitlePx = 12;

const QColor kSkyTop(0x12, 0x27, 0x47), kSkyBottom(0x1E, 0x5C, 0x8A);
const QColor kOutline(0x0A, 0x18, 0x2C);
const QColor kBeam(0x52, 0xE4, 0xFF);
const QColor kInk(0x9A, 0xA7, 0xB6);

QString ProductName() {
  std::optional<std::string_view> name = res::EnglishResources().String(res::kIdsAppTitle);
  return name ? QString::fromUtf8(name->data(), static_cast<qsizetype>(name->size())) : QString();
}

// A sheet of paper with a few lines of "text" on it.
void DrawSheet(QPainter& p, const QRectF& sheet, bool clipTop) {
  p.setPen(QPen(kOutline, 1.5));
  p.setBrush(QColor(0xFB, 0xFC, 0xFD));
  p.drawRect(sheet);
  p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::FlatCap));
  const qreal left = sheet.left() + 10, right = sheet.right() - 10;
  int line = 0;
  for (qreal y = sheet.top() + (clipTop ? 8 : 14); y < sheet.bottom() - 6; y += 9, ++line) {
    const qreal end = (line % 4 == 3) ? left + (right - left) * 0.55 : right;  // a short last line
    p.drawLine(QPointF(left, y), QPointF(end, y));
  }
}

void DrawScanner(QPainter& p) {
  // The page about to go in, partly inside the body already.
  DrawSheet(p, kSheetIn, false);

  QLinearGradient metal(kScannerBody.topLeft(), kScannerBody.bottomLeft());
  metal.setColorAt(0, QColor(0xF2, 0xF4, 0xF7));
  metal.setColorAt(1, QColor(0xA9, 0xB3, 0xBF));
  p.setPen(QPen(kOutline, 2));
  p.setBrush(metal);
  p.drawRoundedRect(kScannerBody, 10, 10);

  // Feed slot at the top, exit slot at the bottom.
  p.setPen(QPen(kOutline, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(52, 114), QPointF(148, 114));
  p.drawLine(QPointF(52, 156), QPointF(148, 156));

  // The scanning light across the body, with a soft glow.
  for (int i = 3; i >= 1; --i) {
    QColor glow = kBeam;
    glow.setAlpha(40 * (4 - i));
    p.setPen(QPen(glow, 2.0 * i + 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 135), QPointF(150, 135));
  }
  p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(50, 135), QPointF(150, 135));

  // Power lamp.
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(0x3C, 0xD0, 0x70));
  p.drawEllipse(QPointF(154, 146), 3.5, 3.5);

  // The scanned page leaving the exit slot.
  DrawSheet(p, kSheetOut, true);
}

// The largest bold font in which every word fits the area's width and the
// wrapped name fits its height.
QFont TitleFont(const QString& name) {
  QFont font = QGuiApplication::font();
  font.setBold(true);
  const QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (int px = kLargestTitlePx; px >= kSmallestTitlePx; px -= 2) {
    font.setPixelSize(px);
    const QFontMetrics metrics(font);
    bool fits = true;
    for (const QString& word : words) fits = fits && metrics.horizontalAdvance(word) <= kTextArea.width();
    const QRect wrapped =
        metrics.boundingRect(kTextArea.toRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, name);
    if (fits && wrapped.height() <= kTextArea.height()) return font;
  }
  font.setPixelSize(kSmallestTitlePx);
  return font;
}

void DrawTitle(QPainter& p) {
  const QString name = ProductName();
  if (name.isEmpty()) return;
  const QFont font = TitleFont(name);
  p.setFont(font);
  const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
  const QRectF used = p.boundingRect(kTextArea, flags, name);
  p.setPen(QColor(0, 0, 0, 90));  // shadow
  p.drawText(kTextArea.translated(2, 2), flags, name);
  p.setPen(Qt::white);
  p.drawText(kTextArea, flags, name);
  // An accent under the name, as long as its first line.
  const qreal underline = used.bottom() + 8;
  const qreal length = std::min<qreal>(QFontMetricsF(font).horizontalAdvance(name.section(QLatin1Char(' '), 0, 0)),
                                       kTextArea.width());
  p.setPen(QPen(kBeam, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(kTextArea.left() + 2, underline), QPointF(kTextArea.left() + 2 + length, underline));
}

}  // namespace

QImage OpeningLogoBitmap() {
  QImage image(kOpeningLogoWidth, kOpeningLogoHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient sky(0, 0, 0, kOpeningLogoHeight);
  sky.setColorAt(0, kSkyTop);
  sky.setColorAt(1, kSkyBottom);
  p.fillRect(image.rect(), sky);
  DrawScanner(p);
  DrawTitle(p);
  return image;
}

COpeningLogoDlg::COpeningLogoDlg(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), bitmap_(OpeningLogoBitmap()) {
  setObjectName(QStringLiteral("COpeningLogoDlg"));
  setProperty("ctrlId", kDialogId);
  setModal(false);
  const std::string caption = res::DialogText(kDialogId, 0);
  setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  frame_ = std::max(0, style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
  setFixedSize(bitmap_.width() + 2 * frame_, bitmap_.height() + 2 * frame_);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void COpeningLogoDlg::Open() {
  CenterOnScreen();
  show();
  raise();
  repaint();
}

void COpeningLogoDlg::CenterOnScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect placed(QPoint(0, 0), size());
  placed.moveCenter(screen->availableGeometry().center());
  move(placed.topLeft());
}

void COpeningLogoDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (frame_ > 0) qDrawShadePanel(&p, rect(), palette(), false, frame_);
  p.drawImage(QPoint(frame_, frame_), bitmap_);  // 1:1, no scaling
}

void COpeningLogoDlg::focusInEvent(QFocusEvent* event) {
  // Where a palette would be realized again: true-colour displays only need
  // the repaint.
  QDialog::focusInEvent(event);
  update();
}

}  // namespace shell
