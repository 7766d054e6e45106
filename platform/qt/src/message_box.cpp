// Message boxes: the classic style bits mapped onto QMessageBox with the
// style's own buttons, and the button pressed mapped back to its result.
#include "platform/message_box.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <vector>

namespace platform {
namespace {

struct ButtonDef {
  QMessageBox::StandardButton button;
  int id;
};

std::vector<ButtonDef> ButtonsOf(uint32_t type) {
  switch (type) {
    case kMbOkCancel: return {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
    case kMbAbortRetryIgnore:
      return {{QMessageBox::Abort, kIdAbort}, {QMessageBox::Retry, kIdRetry}, {QMessageBox::Ignore, kIdIgnore}};
    case kMbYesNoCancel:
      return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
    case kMbYesNo: return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
    case kMbRetryCancel: return {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}};
    default: return {{QMessageBox::Ok, kIdOk}};
  }
}

QMessageBox::Icon IconOf(uint32_t style) {
  switch (style & kMbIconMask) {
    case kMbIconStop: return QMessageBox::Critical;
    case kMbIconQuestion: return QMessageBox::Question;
    case kMbIconWarning: return QMessageBox::Warning;
    case kMbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A Yes/No or Abort/Retry/Ignore box has no way out but its buttons: Escape
// and closing the window are swallowed until a button was pressed.
class NoEscape : public QObject {
 public:
  explicit NoEscape(QMessageBox* box) : QObject(box), box_(box) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Cancel)) return true;
    } else if (event->type() == QEvent::Close && watched == box_ && box_->clickedButton() == nullptr) {
      event->ignore();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QMessageBox* box_;
};

// The answer when the box went away without a button (the application quit
// under it): Cancel where there is one, else the answer that does least.
int FallbackResult(uint32_t type) noexcept {
  switch (type) {
    case kMbOkCancel:
    case kMbYesNoCancel:
    case kMbRetryCancel: return kIdCancel;
    case kMbYesNo: return kIdNo;
    case kMbAbortRetryIgnore: return kIdAbort;
    default: return kIdOk;
  }
}

}  // namespace

int ShowMessageBox(QWidget* parent, std::string_view text, std::string_view caption, uint32_t style) {
  const uint32_t type = style & kMbTypeMask;
  try {
    const std::vector<ButtonDef> defs = ButtonsOf(type);
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("vistelMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    box.setIcon(IconOf(style));

    std::vector<QPushButton*> buttons;
    QPushButton* cancel = nullptr;
    for (const auto& d : defs) {
      QPushButton* b = box.addButton(d.button);
      b->setProperty("ctrlId", d.id);
      buttons.push_back(b);
      if (d.id == kIdCancel) cancel = b;
    }
    // A default button past the last one falls back to the first.
    size_t def = (style & kMbDefMask) >> 8;
    box.setDefaultButton(buttons[def < buttons.size() ? def : 0]);

    if (cancel) {
      box.setEscapeButton(cancel);
    } else if (type == kMbYesNo || type == kMbAbortRetryIgnore) {
      box.setWindowFlag(Qt::WindowCloseButtonHint, false);
      box.installEventFilter(new NoEscape(&box));  // owned by the box
    } else {
      box.setEscapeButton(buttons.front());
    }

    box.exec();
    if (QAbstractButton* clicked = box.clickedButton()) {
      bool ok = false;
      int id = clicked->property("ctrlId").toInt(&ok);
      if (ok) return id;
    }
    return FallbackResult(type);
  } catch (...) {
    return FallbackResult(type);
  }
}

}  // namespace platform
