// CToolBarEx: hot tracking, the user-interface lock and Alt-drag moving of
// buttons over the toolbar.
#include "shell/toolbar_ex.h"

#include <QActionEvent>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRubberBand>
#include <QToolButton>

#include <algorithm>
#include <vector>

#include "shell/command_table.h"

namespace shell {
namespace {

// Every live CToolBarEx: the places a dragged button can go.
std::vector<CToolBarEx*>& Bars() {
  static std::vector<CToolBarEx*> bars;
  return bars;
}

bool IsLeftButtonEvent(const QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
    default:
      return false;
  }
}

// The pointer both drag cursors start from: tip at (1, 1).
void DrawPointer(QPainter& p) {
  QPainterPath arrow;
  arrow.moveTo(1, 1);
  arrow.lineTo(1, 17);
  arrow.lineTo(5, 13);
  arrow.lineTo(8, 20);
  arrow.lineTo(11, 19);
  arrow.lineTo(8, 12);
  arrow.lineTo(13, 12);
  arrow.closeSubpath();
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(Qt::black);
  p.drawPath(arrow);
}

}  // namespace

CToolBarEx::CToolBarEx(uint32_t toolbarId, CommandTable* commands, QWidget* parent)
    : QToolBar(parent), toolbarId_(toolbarId) {
  setProperty("toolbarId", toolbarId);
  setIconSize(QSize(kButtonSize, kButtonSize));
  setMouseTracking(true);
  hotTimer_.setInterval(kHotTimerMs);
  connect(&hotTimer_, &QTimer::timeout, this, &CToolBarEx::CheckHotButton);
  Bars().push_back(this);
  if (commands) commands->FillToolBar(this, toolbarId);
}

CToolBarEx::~CToolBarEx() {
  if (Dragging()) QApplication::restoreOverrideCursor();
  auto& bars = Bars();
  bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
}

void CToolBarEx::SetHotTracking(bool on) {
  hotTracking_ = on;
  if (!on) SetHot(-1);
}

void CToolBarEx::SetHotTextHighlight(bool on) {
  highlight_ = on;
  if (hot_ >= 0) ShowHotLook(hot_, true);
}

QToolButton* CToolBarEx::ButtonOf(QAction* action) const {
  if (!action || action->isSeparator()) return nullptr;
  return qobject_cast<QToolButton*>(widgetForAction(action));
}

QAction* CToolBarEx::ActionOfCommand(uint32_t commandId) const {
  for (QAction* a : actions()) {
    bool ok = false;
    if (a->property("commandId").toUInt(&ok) == commandId && ok) return a;
  }
  return nullptr;
}

// ---- hot tracking -----------------------------------------------------------

void CToolBarEx::TrackHot(const QPoint& barPos) {
  if (!hotTracking_ || !isEnabled() || Dragging()) return;
  int hit = -1;
  const QList<QAction*> all = actions();
  for (int i = 0; i < all.size(); ++i) {
    QToolButton* button = ButtonOf(all[i]);
    if (button && button->isVisible() && button->geometry().contains(barPos)) {
      if (all[i]->isEnabled()) hit = i;
      break;
    }
  }
  SetHot(hit);
  if (hot_ >= 0 && !hotTimer_.isActive()) hotTimer_.start();
}

void CToolBarEx::CheckHotButton() {
  if (hot_ >= 0 && rect().contains(mapFromGlobal(QCursor::pos())) && hotTracking_) return;
  SetHot(-1);
  hotTimer_.stop();
}

void CToolBarEx::SetHot(int index) {
  if (index == hot_) return;
  const int old = hot_;
  hot_ = index;
  if (old >= 0) ShowHotLook(old, false);
  if (index >= 0) ShowHotLook(index, true);
  emit hotButtonChanged(index);
}

void CToolBarEx::ShowHotLook(int index, bool hot) {
  const QList<QAction*> all = actions();
  if (index < 0 || index >= all.size()) return;
  QToolButton* button = ButtonOf(all[index]);
  if (!button) return;
  if (hot && highlight_) {
    // Only the text roles are set; the rest stays inherited from the bar.
    QPalette palette;
    palette.setColor(QPalette::ButtonText, HotTextColor());
    palette.setColor(QPalette::WindowText, HotTextColor());
    button->setPalette(palette);
  } else {
    button->setPalette(QPalette());
  }
  button->update();
}

// ---- events -------------------------------------------------------------------

void CToolBarEx::actionEvent(QActionEvent* event) {
  QToolBar::actionEvent(event);
  switch (event->type()) {
    case QEvent::ActionAdded:
      if (QToolButton* button = ButtonOf(event->action())) {
        button->installEventFilter(this);
        button->setMouseTracking(true);
      }
      [[fallthrough]];
    case QEvent::ActionRemoved:
      // Indices moved: the old hot index no longer names the same button.
      if (hot_ >= 0) {
        hot_ = -1;
        emit hotButtonChanged(-1);
      }
      break;
    default:
      break;
  }
}

bool CToolBarEx::event(QEvent* event) {
  // The bar itself (handle, gaps): the lock swallows its left clicks too,
  // so a locked bar cannot be torn off either.
  if (IsLeftButtonEvent(event) && !UiEnabled()) return true;
  if (event->type() == QEvent::MouseMove) TrackHot(static_cast<QMouseEvent*>(event)->position().toPoint());
  return QToolBar::event(event);
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* event) {
  if (auto* button = qobject_cast<QToolButton*>(watched); button && button->parentWidget() == this)
    return ButtonMouseEvent(button, event);
  return QToolBar::eventFilter(watched, event);
}

bool CToolBarEx::ButtonMouseEvent(QToolButton* button, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (Dragging()) {
        UpdateDrag(me->globalPosition().toPoint());
        return true;
      }
      TrackHot(button->mapTo(this, me->position().toPoint()));
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton) return false;
      if (!UiEnabled()) return true;
      if (event->type() == QEvent::MouseButtonPress && me->modifiers().testFlag(Qt::AltModifier)) {
        BeginDrag(button, me->position().toPoint());
        return true;
      }
      return false;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::LeftButton) return false;
      if (Dragging()) {
        // May delete button (moved away): nothing touches it afterwards.
        EndDrag(me->globalPosition().toPoint());
        return true;
      }
      return !UiEnabled();
    }
    default:
      return false;
  }
}

// ---- moving buttons -----------------------------------------------------------

void CToolBarEx::BeginDrag(QToolButton* button, const QPoint& buttonPos) {
  SetHot(-1);
  drag_.action = button->defaultAction();
  if (!drag_.action) return;
  drag_.grabOffset = buttonPos;
  drag_.buttonSize = button->size();
  drag_.dropAllowed = true;
  dragFrame_ = std::make_unique<QRubberBand>(QRubberBand::Rectangle);
  QApplication::setOverrideCursor(DragCursor(true));
  UpdateDrag(button->mapToGlobal(buttonPos));
}

void CToolBarEx::UpdateDrag(const QPoint& globalPos) {
  const bool allowed = DropPlaceAt(globalPos).bar != nullptr;
  if (allowed != drag_.dropAllowed) {
    drag_.dropAllowed = allowed;
    QApplication::changeOverrideCursor(DragCursor(allowed));
  }
  if (dragFrame_) {
    dragFrame_->setGeometry(QRect(globalPos - drag_.grabOffset, drag_.buttonSize));
    dragFrame_->show();
  }
}

void CToolBarEx::EndDrag(const QPoint& globalPos) {
  const DropPlace place = DropPlaceAt(globalPos);
  QAction* action = drag_.action;
  drag_ = {};
  dragFrame_.reset();
  QApplication::restoreOverrideCursor();
  if (place.bar) MoveButton(action, place.bar, place.before);
}

CToolBarEx::DropPlace CToolBarEx::DropPlaceAt(const QPoint& globalPos) const {
  for (CToolBarEx* bar : Bars()) {
    if (!bar->isVisible()) continue;
    const QPoint local = bar->mapFromGlobal(globalPos);
    if (!bar->rect().contains(local)) continue;
    // A bar that already holds the command cannot take a second button of it.
    if (bar != this && bar->actions().contains(drag_.action)) return {};
    DropPlace place{bar, nullptr};
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    for (QAction* a : bar->actions()) {
      const QWidget* w = bar->widgetForAction(a);
      if (!w || !w->isVisible()) continue;  // in the overflow menu
      const QPoint centre = w->geometry().center();
      if (horizontal ? local.x() < centre.x() : local.y() < centre.y()) {
        place.before = a;
        break;
      }
    }
    return place;
  }
  return {};
}

bool CToolBarEx::MoveButton(QAction* action, CToolBarEx* target, QAction* before) {
  if (!action || !target || !actions().contains(action) || action->isSeparator()) return false;
  if (before == action) return false;
  if (target == this) {
    const QList<QAction*> all = actions();
    const qsizetype at = all.indexOf(action);
    const QAction* next = at + 1 < all.size() ? all[at + 1] : nullptr;
    if (before == next) return false;
  } else if (target->actions().contains(action)) {
    return false;
  }
  if (before && !target->actions().contains(before)) before = nullptr;
  removeAction(action);
  target->insertAction(before, action);
  emit buttonMoved(action, target);
  return true;
}

QPixmap CToolBarEx::DragCursorPicture(bool dropAllowed) {
  QPixmap picture(kDragCursorSize, kDragCursorSize);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  if (dropAllowed) {
    // The outline of a button being carried, below and right of the tip.
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(QRectF(12.5, 14.5, 18, 16));
    p.setPen(QPen(QColor(0, 90, 200), 2));
    p.drawLine(QPointF(17, 22.5), QPointF(26, 22.5));
    p.drawLine(QPointF(21.5, 18), QPointF(21.5, 27));
  } else {
    // A barred circle: no drop here.
    p.setPen(QPen(QColor(200, 0, 0), 3));
    p.setBrush(QColor(255, 255, 255, 200));
    const QRectF circle(14.5, 14.5, 15, 15);
    p.drawEllipse(circle);
    p.drawLine(circle.topLeft() + QPointF(2.5, 2.5), circle.bottomRight() - QPointF(2.5, 2.5));
  }
  DrawPointer(p);
  return picture;
}

QCursor CToolBarEx::DragCursor(bool dropAllowed) { return QCursor(DragCursorPicture(dropAllowed), 1, 1); }

}  // namespace shell
