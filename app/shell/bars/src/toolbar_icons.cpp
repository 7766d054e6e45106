// The toolbar button pictures. Each glyph is drawn on a 24 × 24 grid (the
// painter is scaled for other sizes): dark outlines, a few flat colours,
// shapes large enough to read at 24 pixels.
#include "shell/toolbar_icons.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

#include "res/menus.h"
#include "shell/command_table.h"

namespace shell {
namespace {

constexpr qreal kGrid = 24.0;

// Colours.
const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kFolder(236, 186, 60);
const QColor kFolderDark(190, 140, 30);
const QColor kDisk(52, 101, 164);
const QColor kMetal(170, 175, 182);
const QColor kMetalDark(110, 115, 122);
const QColor kGreen(46, 139, 62);
const QColor kBlue(30, 100, 200);
const QColor kRed(200, 40, 40);
const QColor kOrange(230, 120, 20);
const QColor kGlass(200, 225, 250);
const QColor kSkin(245, 205, 160);

QPen Outline(qreal width = 1.0) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet with a folded top-right corner.
void Page(QPainter& p, const QRectF& r, const QColor& fill = kPaper) {
  const qreal fold = std::min(r.width(), r.height()) * 0.3;
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(Outline());
  p.setBrush(fill);
  p.drawPath(path);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                            QPointF(r.right(), r.top() + fold)}));
}

// Text lines on a page.
void PageLines(QPainter& p, qreal left, qreal right, qreal top, int count, qreal step = 3.0) {
  p.setPen(QPen(kMetalDark, 1.0));
  for (int i = 0; i < count; ++i) p.drawLine(QPointF(left, top + i * step), QPointF(right, top + i * step));
}

// A straight arrow with a filled head at to.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width = 2.0, qreal head = 4.5) {
  const QPointF d = to - from;
  const qreal length = std::hypot(d.x(), d.y());
  if (length <= 0) return;
  const QPointF u = d / length;
  const QPointF n(-u.y(), u.x());
  const QPointF base = to - u * head;
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(from, base + u * 0.5);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({to, base + n * head * 0.7, base - n * head * 0.7}));
  p.setBrush(Qt::NoBrush);
}

void DoubleArrow(QPainter& p, QPointF a, QPointF b, const QColor& colour) {
  const QPointF mid = (a + b) / 2;
  Arrow(p, mid, a, colour, 2.0, 4.0);
  Arrow(p, mid, b, colour, 2.0, 4.0);
}

// An arc of a circle ending in an arrow head; angles in degrees, counter-
// clockwise positive (mathematical sense, y up).
void CurvedArrow(QPainter& p, QPointF centre, qreal radius, qreal startDeg, qreal spanDeg, const QColor& colour) {
  const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(box, int(startDeg * 16), int(spanDeg * 16));
  const qreal end = (startDeg + spanDeg) * std::numbers::pi / 180.0;
  const QPointF tip(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
  // Direction of travel at the end of the arc.
  const qreal sign = spanDeg >= 0 ? 1.0 : -1.0;
  const QPointF tangent(-std::sin(end) * sign, -std::cos(end) * sign);
  const QPointF normal(-tangent.y(), tangent.x());
  const qreal head = 5.0;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({tip + tangent * head * 0.8, tip - tangent * head * 0.4 + normal * head * 0.75,
                           tip - tangent * head * 0.4 - normal * head * 0.75}));
  p.setBrush(Qt::NoBrush);
}

// A magnifying glass: lens at centre, handle to the bottom right.
void Magnifier(QPainter& p, QPointF centre, qreal radius) {
  const qreal k = radius * 0.7071;
  p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(k + 1, k + 1), centre + QPointF(k + 6, k + 6));
  p.setPen(Outline(1.8));
  p.setBrush(kGlass);
  p.drawEllipse(centre, radius, radius);
  p.setBrush(Qt::NoBrush);
}

// A grid of panes.
void Panes(QPainter& p, const QRectF& r, int rows, int columns) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setPen(QPen(kBlue, 1.5));
  for (int c = 1; c < columns; ++c) {
    const qreal x = r.left() + r.width() * c / columns;
    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
  }
  for (int row = 1; row < rows; ++row) {
    const qreal y = r.top() + r.height() * row / rows;
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
  }
}

// A sheet-fed scanner: the body with its output slot, a sheet going in.
void Scanner(QPainter& p, bool withSheet = true) {
  if (withSheet) {
    Page(p, QRectF(6.5, 2.5, 11, 12));
    PageLines(p, 8.5, 14.5, 6.5, 2);
  }
  QPainterPath body;
  body.addRoundedRect(QRectF(1.5, 11.5, 21, 9), 2, 2);
  p.setPen(Outline());
  p.setBrush(kMetal);
  p.drawPath(body);
  p.setBrush(kMetalDark);
  p.drawRect(QRectF(5.5, 14.5, 13, 2));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(19.5, 18), 1.2, 1.2);
  p.setBrush(Qt::NoBrush);
}

// A small gear at centre (settings).
void Gear(QPainter& p, QPointF centre, qreal radius) {
  QPainterPath teeth;
  constexpr int kTeeth = 8;
  for (int i = 0; i < kTeeth * 2; ++i) {
    const qreal a = i * std::numbers::pi / kTeeth;
    const qreal r = (i % 2 == 0) ? radius : radius * 0.72;
    const QPointF pt(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    if (i == 0)
      teeth.moveTo(pt);
    else
      teeth.lineTo(pt);
  }
  teeth.closeSubpath();
  p.setPen(Outline());
  p.setBrush(kOrange);
  p.drawPath(teeth);
  p.setBrush(kPaper);
  p.drawEllipse(centre, radius * 0.3, radius * 0.3);
  p.setBrush(Qt::NoBrush);
}

// A stack of sheets with a divider (a job divides a batch into files).
void Stack(QPainter& p, qreal dx = 0, qreal dy = 0) {
  Page(p, QRectF(7.5 + dx, 2.5 + dy, 12, 14));
  Page(p, QRectF(5.5 + dx, 4.5 + dy, 12, 14));
  p.setPen(Outline());
  p.setBrush(kOrange);
  p.drawRect(QRectF(2.5 + dx, 10.5 + dy, 15, 2.5));
  Page(p, QRectF(3.5 + dx, 6.5 + dy, 12, 14));
  PageLines(p, 5.5 + dx, 12.5 + dx, 11.5 + dy, 3);
}

// A list of entries (the setting lists).
void List(QPainter& p, const QColor& bullet) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(QRectF(2.5, 2.5, 19, 19));
  for (int i = 0; i < 4; ++i) {
    const qreal y = 6.5 + i * 4;
    p.setPen(Qt::NoPen);
    p.setBrush(bullet);
    p.drawRect(QRectF(5, y - 1.25, 2.5, 2.5));
    p.setPen(QPen(kInk, 1.4));
    p.drawLine(QPointF(9.5, y), QPointF(i % 2 ? 15.5 : 18.5, y));
  }
  p.setBrush(Qt::NoBrush);
}

// A round badge with a white letter.
void Badge(QPainter& p, QPointF centre, qreal radius, const QColor& fill, const QString& letter) {
  p.setPen(Outline());
  p.setBrush(fill);
  p.drawEllipse(centre, radius, radius);
  QFont font(QStringLiteral("Sans"));
  font.setBold(true);
  font.setPixelSize(int(radius * 1.6));
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter, letter);
}

void Folder(QPainter& p) {
  QPainterPath back;
  back.moveTo(2.5, 5.5);
  back.lineTo(8.5, 5.5);
  back.lineTo(10.5, 7.5);
  back.lineTo(19.5, 7.5);
  back.lineTo(19.5, 19.5);
  back.lineTo(2.5, 19.5);
  back.closeSubpath();
  p.setPen(Outline());
  p.setBrush(kFolderDark);
  p.drawPath(back);
  // The open front, tilted.
  QPainterPath front;
  front.moveTo(2.5, 19.5);
  front.lineTo(6.5, 10.5);
  front.lineTo(22.5, 10.5);
  front.lineTo(18.5, 19.5);
  front.closeSubpath();
  p.setBrush(kFolder);
  p.drawPath(front);
  p.setBrush(Qt::NoBrush);
}

void Disk(QPainter& p, const QRectF& r) {
  QPainterPath body;
  const qreal cut = r.width() * 0.18;
  body.moveTo(r.left(), r.top());
  body.lineTo(r.right() - cut, r.top());
  body.lineTo(r.right(), r.top() + cut);
  body.lineTo(r.right(), r.bottom());
  body.lineTo(r.left(), r.bottom());
  body.closeSubpath();
  p.setPen(Outline());
  p.setBrush(kDisk);
  p.drawPath(body);
  // Shutter and label.
  p.setBrush(kMetal);
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.45, r.height() * 0.3));
  p.setBrush(kPaper);
  p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.55, r.width() * 0.7, r.height() * 0.45));
  p.setBrush(Qt::NoBrush);
}

void Printer(QPainter& p) {
  Page(p, QRectF(6.5, 2.5, 11, 9));
  p.setPen(Outline());
  p.setBrush(kMetal);
  p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 1.5, 1.5);
  p.setBrush(kPaper);
  p.drawRect(QRectF(6.5, 15.5, 11, 6));
  PageLines(p, 8.5, 15.5, 18, 2, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(18.5, 12), 1.1, 1.1);
  p.setBrush(Qt::NoBrush);
}

// The frame of a window with a title bar.
void WindowFrame(QPainter& p, const QRectF& r) {
  p.setPen(Outline());
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setBrush(kBlue);
  p.drawRect(QRectF(r.left(), r.top(), r.width(), 3.5));
  p.setBrush(Qt::NoBrush);
}

void Hand(QPainter& p) {
  p.setPen(Outline());
  p.setBrush(kSkin);
  // Fingers, then the palm over their roots, then the thumb.
  const qreal tops[] = {5.0, 3.0, 3.5, 6.0};
  for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(6.5 + i * 3.3, tops[i], 3.2, 11), 1.6, 1.6);
  QPainterPath palm;
  palm.addRoundedRect(QRectF(6.5, 11.5, 13, 10), 3.5, 3.5);
  p.drawPath(palm);
  QPainterPath thumb;
  thumb.moveTo(7.5, 17.5);
  thumb.lineTo(3.0, 12.5);
  thumb.quadTo(2.5, 10.0, 5.0, 10.5);
  thumb.lineTo(9.0, 14.0);
  p.drawPath(thumb);
  p.setBrush(Qt::NoBrush);
}

void Plug(QPainter& p) {
  p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9, 2.5), QPointF(9, 8));
  p.drawLine(QPointF(15, 2.5), QPointF(15, 8));
  p.setPen(Outline());
  p.setBrush(kGreen);
  QPainterPath body;
  body.moveTo(5.5, 7.5);
  body.lineTo(18.5, 7.5);
  body.lineTo(18.5, 12.5);
  body.quadTo(18.5, 17.5, 12, 17.5);
  body.quadTo(5.5, 17.5, 5.5, 12.5);
  body.closeSubpath();
  p.drawPath(body);
  p.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath cable;
  cable.moveTo(12, 17.5);
  cable.cubicTo(12, 21.5, 17, 20, 20.5, 22);
  p.drawPath(cable);
}

// A page seen from the side of its arrows (previous / next).
void PageTurn(QPainter& p, bool next) {
  Page(p, QRectF(5.5, 2.5, 13, 19));
  PageLines(p, 7.5, 13.5, 6.5, 2);
  const qreal y = 14.5;
  p.setPen(Outline());
  p.setBrush(kGreen);
  QPolygonF arrow = next ? QPolygonF({QPointF(10, y - 6), QPointF(22, y), QPointF(10, y + 6)})
                         : QPolygonF({QPointF(14, y - 6), QPointF(2, y), QPointF(14, y + 6)});
  p.drawPolygon(arrow);
  p.setBrush(Qt::NoBrush);
}

// A 2 × 2 grid of panes with the path the pages take through it.
void Order(QPainter& p, bool horizontal) {
  p.setPen(Outline());
  p.setBrush(kGlass);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) p.drawRect(QRectF(2.5 + c * 10, 2.5 + r * 10, 9, 9));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (horizontal) {
    path.moveTo(5, 7);
    path.lineTo(19, 7);
    path.lineTo(5, 17);
    path.lineTo(16, 17);
  } else {
    path.moveTo(7, 5);
    path.lineTo(7, 19);
    path.lineTo(17, 5);
    path.lineTo(17, 16);
  }
  p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.drawPath(path);
  if (horizontal)
    Arrow(p, QPointF(15, 17), QPointF(21, 17), kRed, 1.8, 4.5);
  else
    Arrow(p, QPointF(17, 15), QPointF(17, 21), kRed, 1.8, 4.5);
}

void DrawGlyph(QPainter& p, uint32_t id) {
  switch (id) {
    case 32826:  // Open File
      Folder(p);
      break;
    case 32893:  // Save
      Disk(p, QRectF(3.5, 3.5, 17, 17));
      break;
    case 32819:  // Save Page As
      Page(p, QRectF(2.5, 1.5, 12, 15));
      PageLines(p, 4.5, 10.5, 6.5, 2);
      Disk(p, QRectF(10.5, 10.5, 12, 12));
      break;
    case 32869:  // Print (Fit Page)
      Printer(p);
      break;
    case 32848:  // About Image: a picture with an information badge
      p.setPen(Outline());
      p.setBrush(QColor(150, 200, 240));
      p.drawRect(QRectF(1.5, 3.5, 17, 14));
      p.setBrush(kGreen);
      p.drawPolygon(QPolygonF({QPointF(1.5, 17.5), QPointF(7, 9), QPointF(11, 14), QPointF(13.5, 11.5),
                               QPointF(18.5, 17.5)}));
      Badge(p, QPointF(17, 17), 6, kBlue, QStringLiteral("i"));
      break;
    case 32807:  // Help
      Badge(p, QPointF(12, 12), 10, kBlue, QStringLiteral("?"));
      break;
    case 32809:  // Execute Scan
      Scanner(p);
      Arrow(p, QPointF(12, 21.5), QPointF(12, 23.8), kGreen, 2.0, 2.3);
      break;
    case 32827:  // Scan Settings List
      List(p, kBlue);
      break;
    case 32780:  // Scan Setting
      Scanner(p);
      Gear(p, QPointF(17.5, 6.5), 6);
      break;
    case 32915:  // Pre Scan: the scanner with a preview eye
      Scanner(p);
      p.setPen(Outline());
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(12, 7.5), 7.5, 4);
      p.setBrush(kBlue);
      p.drawEllipse(QPointF(12, 7.5), 2.5, 2.5);
      p.setBrush(Qt::NoBrush);
      break;
    case 32880:  // Job (automatic divide)
      Stack(p);
      break;
    case 32881:  // Job Setting List
      List(p, kOrange);
      break;
    case 32879:  // Job Setting
      Stack(p, -1.5, 1.5);
      Gear(p, QPointF(17.5, 6.5), 6);
      break;
    case 32775:  // User Control Sheet Setting: a sheet with patch bars
      Page(p, QRectF(3.5, 1.5, 15, 21));
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      for (int i = 0; i < 4; ++i) p.drawRect(QRectF(6 + i * 2.6, 5, i % 2 ? 1.2 : 1.8, 10));
      p.setBrush(Qt::NoBrush);
      Gear(p, QPointF(17.5, 17.5), 6);
      break;
    case 32782:  // Fit Window
      p.setPen(Outline());
      p.setBrush(kPaper);
      p.drawRect(QRectF(2.5, 2.5, 19, 19));
      Arrow(p, QPointF(9, 9), QPointF(4, 4), kBlue, 1.8, 4);
      Arrow(p, QPointF(15, 9), QPointF(20, 4), kBlue, 1.8, 4);
      Arrow(p, QPointF(9, 15), QPointF(4, 20), kBlue, 1.8, 4);
      Arrow(p, QPointF(15, 15), QPointF(20, 20), kBlue, 1.8, 4);
      break;
    case 32774:  // Fit Width
      p.setPen(Outline());
      p.setBrush(kPaper);
      p.drawRect(QRectF(2.5, 4.5, 19, 15));
      p.setPen(QPen(kInk, 2));
      p.drawLine(QPointF(3.5, 8), QPointF(3.5, 16));
      p.drawLine(QPointF(20.5, 8), QPointF(20.5, 16));
      DoubleArrow(p, QPointF(4.5, 12), QPointF(19.5, 12), kBlue);
      break;
    case 32781:  // Fit Length
      p.setPen(Outline());
      p.setBrush(kPaper);
      p.drawRect(QRectF(4.5, 2.5, 15, 19));
      p.setPen(QPen(kInk, 2));
      p.drawLine(QPointF(8, 3.5), QPointF(16, 3.5));
      p.drawLine(QPointF(8, 20.5), QPointF(16, 20.5));
      DoubleArrow(p, QPointF(12, 4.5), QPointF(12, 19.5), kBlue);
      break;
    case 32773: {  // 1:1
      QFont font(QStringLiteral("Sans"));
      font.setBold(true);
      font.setPixelSize(13);
      p.setFont(font);
      p.setPen(Outline());
      p.setBrush(kPaper);
      p.drawRect(QRectF(1.5, 4.5, 21, 15));
      p.setPen(kInk);
      p.drawText(QRectF(0, 4, 24, 16), Qt::AlignCenter, QStringLiteral("1:1"));
      break;
    }
    case 32801:  // Zoom In
    case 32802:  // Zoom Out
      Magnifier(p, QPointF(10, 10), 7);
      p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(6, 10), QPointF(14, 10));
      if (id == 32801) p.drawLine(QPointF(10, 6), QPointF(10, 14));
      break;
    case 32799:  // Rotate -90: a quarter turn clockwise
      Page(p, QRectF(7.5, 8.5, 10, 13));
      CurvedArrow(p, QPointF(12, 13), 9, 150, -120, kGreen);
      break;
    case 32798:  // Rotate 90: a quarter turn counter-clockwise
      Page(p, QRectF(6.5, 8.5, 10, 13));
      CurvedArrow(p, QPointF(12, 13), 9, 30, 120, kGreen);
      break;
    case 32787:  // 1 Image View
      Panes(p, QRectF(3.5, 3.5, 17, 17), 1, 1);
      break;
    case 32788:  // 2 Images View
      Panes(p, QRectF(1.5, 4.5, 21, 15), 1, 2);
      break;
    case 32789:  // 4 Images View
      Panes(p, QRectF(2.5, 2.5, 19, 19), 2, 2);
      break;
    case 32813:  // 8 Images View
      Panes(p, QRectF(0.5, 4.5, 23, 15), 2, 4);
      break;
    case 32815:  // Horizontal View Order
      Order(p, true);
      break;
    case 32816:  // Vertical View Order
      Order(p, false);
      break;
    case 32783:  // Scroll Tool
      Hand(p);
      break;
    case 32784:  // Magnify Tool: the glass over a marked area
      p.setPen(QPen(kRed, 1.2, Qt::DashLine));
      p.drawRect(QRectF(1.5, 1.5, 14, 14));
      Magnifier(p, QPointF(10, 10), 6);
      break;
    case 32785:  // Pan Window: a small window with the shown part marked
      WindowFrame(p, QRectF(1.5, 2.5, 21, 19));
      p.setPen(QPen(kRed, 1.8));
      p.drawRect(QRectF(7, 9, 9, 8));
      break;
    case 32804:  // Prev. Page
      PageTurn(p, false);
      break;
    case 32803:  // Next Page
      PageTurn(p, true);
      break;
    case 32894:  // Plug In Function
      Plug(p);
      break;
    default:
      break;
  }
}

constexpr uint32_t kDrawn[] = {32826, 32893, 32819, 32869, 32848, 32807, 32809, 32827, 32780, 32915,
                               32880, 32881, 32879, 32775, 32782, 32774, 32781, 32773, 32801, 32802,
                               32799, 32798, 32787, 32788, 32789, 32813, 32815, 32816, 32783, 32784,
                               32785, 32804, 32803, 32894};

// Desktop theme names for commands that only the menus show.
const char* ThemeName(uint32_t id) {
  switch (id) {
    case 32818: return "document-close";
    case 32870: return "document-print";
    case 57606: return "document-print-preview";
    case 57665: return "application-exit";
    case 32884: return "edit-undo";
    case 32867: return "object-flip-vertical";
    case 32868: return "object-rotate-right";
    case 32875: return "transform-crop";
    case 32886: return "go-jump";
    case 32892: return "edit-delete";
    case 32806: return "preferences-system";
    case 32808: return "help-about";
    case 32876: return "scanner";
    default: return nullptr;
  }
}

}  // namespace

bool HasToolbarPicture(uint32_t commandId) noexcept {
  for (uint32_t id : kDrawn)
    if (id == commandId) return true;
  return false;
}

QPixmap ToolbarPicture(uint32_t commandId, int size) {
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  if (!HasToolbarPicture(commandId)) return picture;
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size / kGrid, size / kGrid);
  DrawGlyph(p, commandId);
  return picture;
}

QIcon ToolbarIcon(uint32_t commandId) {
  if (HasToolbarPicture(commandId)) {
    QIcon icon;
    icon.addPixmap(ToolbarPicture(commandId, kToolbarPictureSize));
    icon.addPixmap(ToolbarPicture(commandId, 2 * kToolbarPictureSize));
    return icon;
  }
  if (const char* name = ThemeName(commandId)) return QIcon::fromTheme(QString::fromLatin1(name));
  return {};
}

void SetToolbarIcons(CommandTable& commands) {
  for (uint32_t bar : {res::kToolbarFile, res::kToolbarScan, res::kToolbarView, res::kToolbarPage,
                       res::kToolbarPlugIn})
    for (uint32_t id : res::ToolbarButtons(bar))
      if (id != 0) commands.Action(id)->setIcon(ToolbarIcon(id));
}

}  // namespace shell
