// CToolBarEx: the base of the main window's View, Page, Scan and plug-in
// toolbars. Over a plain toolbar it adds
//   - hot tracking: the enabled button under the mouse is the hot button; a
//     250 ms timer clears it once the cursor has left the bar. While the
//     owner turns highlighting on, the hot button's text is drawn in blue;
//   - the lock: left-button presses and releases on the bar and its buttons
//     are swallowed while the user-interface-enabled rule says no;
//   - moving buttons: Alt + left press on a button drags it (with our own
//     drag cursors and a drag frame); releasing over a CToolBarEx moves the
//     button there, within its own bar or onto another one.
// The buttons are the command table's actions (one action per command id);
// a bar never makes actions of its own.
//
// GUI thread only.
#pragma once

#include <QColor>
#include <QCursor>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <cstdint>
#include <functional>
#include <memory>

class QActionEvent;
class QRubberBand;
class QToolButton;

namespace shell {

class CommandTable;

class CToolBarEx : public QToolBar {
  Q_OBJECT

 public:
  static constexpr int kHotTimerMs = 250;
  static constexpr int kButtonSize = 24;     // pixels, square
  static constexpr int kDragCursorSize = 32;  // pixels, square

  // With commands, the bar is filled with toolbar resource toolbarId
  // (res/menus.h) from the table's actions.
  CToolBarEx(uint32_t toolbarId, CommandTable* commands, QWidget* parent = nullptr);
  ~CToolBarEx() override;

  uint32_t ToolbarId() const noexcept { return toolbarId_; }

  // The user-interface-enabled flag of the frame; an empty rule (the
  // default) means always enabled.
  void SetUiEnabledRule(std::function<bool()> rule) { uiEnabled_ = std::move(rule); }
  bool UiEnabled() const { return !uiEnabled_ || uiEnabled_(); }

  // Hot tracking (on by default). Turning it off clears the hot button.
  void SetHotTracking(bool on);
  bool HotTracking() const noexcept { return hotTracking_; }
  // Index of the hot button in actions(), -1 for none.
  int HotButton() const noexcept { return hot_; }
  // The timer's check: clears the hot button and stops the timer when the
  // cursor is no longer over the bar.
  void CheckHotButton();

  // Blue text on the hot button (off by default; the frame decides).
  void SetHotTextHighlight(bool on);
  bool HotTextHighlight() const noexcept { return highlight_; }
  static QColor HotTextColor() { return QColor(0, 0, 255); }

  // The tool button showing action on this bar (null for separators, lists
  // and actions the bar does not hold).
  QToolButton* ButtonOf(QAction* action) const;
  // The action of a command id on this bar, null when it is not here.
  QAction* ActionOfCommand(uint32_t commandId) const;

  // Moves action (a button of this bar) in front of before on target
  // (null: to the end). Answers whether it moved; dropping a button in
  // front of itself or of its right neighbour leaves it where it is.
  bool MoveButton(QAction* action, CToolBarEx* target, QAction* before);
  bool Dragging() const noexcept { return drag_.action != nullptr; }

  // The two drag cursor pictures: a button outline where a drop is
  // possible, a barred circle where it is not. Hot spot at (0, 0).
  static QPixmap DragCursorPicture(bool dropAllowed);
  static QCursor DragCursor(bool dropAllowed);

 signals:
  void hotButtonChanged(int index);
  void buttonMoved(QAction* action, CToolBarEx* target);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void actionEvent(QActionEvent* event) override;

 private:
  struct DropPlace {
    CToolBarEx* bar = nullptr;  // null: not a place to drop
    QAction* before = nullptr;  // null: at the end of bar
  };
  struct DragState {
    QAction* action = nullptr;
    QPoint grabOffset;  // cursor position inside the button
    QSize buttonSize;
    bool dropAllowed = false;
  };

  bool ButtonMouseEvent(QToolButton* button, QEvent* event);
  void TrackHot(const QPoint& barPos);
  void SetHot(int index);
  void ShowHotLook(int index, bool hot);
  void BeginDrag(QToolButton* button, const QPoint& buttonPos);
  void UpdateDrag(const QPoint& globalPos);
  void EndDrag(const QPoint& globalPos);
  DropPlace DropPlaceAt(const QPoint& globalPos) const;

  uint32_t toolbarId_;
  std::function<bool()> uiEnabled_;
  bool hotTracking_ = true;
  bool highlight_ = false;
  int hot_ = -1;
  QTimer hotTimer_;
  DragState drag_;
  std::unique_ptr<QRubberBand> dragFrame_;
};

}  // namespace shell
