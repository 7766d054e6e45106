// The cursor pictures 105, 137 and 138, drawn in code, and the list of six.
#include "shell/app_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <span>

namespace shell {
namespace {

struct CursorResource {
  uint32_t id;
  QPoint hotSpot;
  QPainterPath (*shape)();
};

QPainterPath RoundedRect(qreal x, qreal y, qreal w, qreal h, qreal r) {
  QPainterPath path;
  path.addRoundedRect(QRectF(x, y, w, h), r, r);
  return path;
}

// The open hand: four spread fingers, the thumb and the palm.
QPainterPath OpenHand() {
  QPainterPath hand = RoundedRect(8.5, 13, 19, 13.5, 5);
  const qreal fingerLeft[] = {9.5, 14, 18.5, 23};
  const qreal fingerTop[] = {6, 3.5, 4.5, 8};
  for (int i = 0; i < 4; ++i) hand = hand.united(RoundedRect(fingerLeft[i], fingerTop[i], 4.5, 16 - fingerTop[i], 2.25));
  QPainterPath thumb = RoundedRect(-2.25, -8, 4.5, 11, 2.25);
  QTransform toPalm;
  toPalm.translate(10.5, 20.5);
  toPalm.rotate(-50);
  return hand.united(toPalm.map(thumb));
}

// The grabbing hand: the fingers curled over the palm.
QPainterPath GrabbingHand() {
  QPainterPath hand = RoundedRect(8, 12, 20, 14, 5.5);
  for (qreal x : {11.0, 15.5, 20.0, 24.5}) {
    QPainterPath knuckle;
    knuckle.addEllipse(QPointF(x, 12.5), 2.6, 2.6);
    hand = hand.united(knuckle);
  }
  return hand.united(RoundedRect(5, 16, 6, 7, 3));  // the thumb along the side
}

// The magnifying glass: the lens ring and the handle.
QPainterPath Magnifier() {
  QPainterPath glass;
  glass.addEllipse(QPointF(12, 12), 8.5, 8.5);
  QPainterPath handle = RoundedRect(-2.5, 0, 5, 12, 2.5);
  QTransform toLens;
  toLens.translate(18, 18);
  toLens.rotate(-45);
  return glass.united(toLens.map(handle));
}


QPixmap Picture(const CursorResource& r) {
  QPixmap pixmap(kCursorPictureSize, kCursorPictureSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = r.shape();
  // A white halo first, so the outline shows on dark pages too.
  p.strokePath(shape, QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (r.id == kIdcMagnify) {
    p.fillPath(shape, Qt::black);
    p.setBrush(QColor(255, 255, 255, 210));  // the lens
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 12), 6, 6);
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));  // a "+": zooming in
    p.drawLine(QPointF(9, 12), QPointF(15, 12));
    p.drawLine(QPointF(12, 9), QPointF(12, 15));
    return pixmap;
  }
  p.fillPath(shape, Qt::white);
  p.strokePath(shape, QPen(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap));
  // The gaps between the fingers, which the united outline does not show.
  struct Gap {
    qreal x, top, bottom;
  };
  static constexpr Gap kOpenGaps[] = {{14, 9, 18}, {18.5, 7.5, 18}, {23, 11, 18}};
  static constexpr Gap kGrabGaps[] = {{13.25, 11.5, 15.5}, {17.75, 11.5, 15.5}, {22.25, 11.5, 15.5}};
  for (const Gap& g : (r.id == kIdcScroll ? std::span<const Gap>(kOpenGaps) : std::span<const Gap>(kGrabGaps)))
    p.drawLine(QPointF(g.x, g.top), QPointF(g.x, g.bottom));
  return pixmap;
}

constexpr CursorResource kCursorResources[] = {
    {kIdcMagnify, QPoint(12, 12), &Magnifier},
    {kIdcScroll, QPoint(16, 16), &OpenHand},
    {kIdcScrollDrag, QPoint(16, 17), &GrabbingHand},
};

}  // namespace

std::optional<QCursor> LoadCursorResource(uint32_t id) {
  for (const CursorResource& r : kCursorResources)
    if (r.id == id) return QCursor(Picture(r), r.hotSpot.x(), r.hotSpot.y());
  return std::nullopt;
}

CAppCursors::CAppCursors()
    : cursors_{QCursor(Qt::ArrowCursor),   *LoadCursorResource(kIdcMagnify),    QCursor(Qt::SizeAllCursor),
               *LoadCursorResource(kIdcScroll), *LoadCursorResource(kIdcScrollDrag), QCursor(Qt::WaitCursor)} {}

}  // namespace shell
