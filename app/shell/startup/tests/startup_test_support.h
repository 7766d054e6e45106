// Helpers of the start-up tests: controls by id, modal windows driven from
// a zero-delay timer, and screenshots.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace startup_test {

template <typename W = QWidget>
W* FindById(QWidget* root, uint32_t id) {
  for (W* w : root->findChildren<W*>()) {
    const QVariant v = w->property("ctrlId");
    if (v.isValid() && v.toUInt() == id) return w;
  }
  return nullptr;
}

// A visible top-level window by object name.
inline QWidget* FindWindow(const char* objectName) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->objectName() == QLatin1String(objectName)) return w;
  return nullptr;
}

// Runs act on the modal window named objectName once it is up. If act
// leaves it open (a failed check), the window is closed so that the test
// fails, not hangs.
inline void WhenModal(const char* objectName, std::function<void(QDialog*)> act) {
  QTimer::singleShot(0, [objectName, act] {
    auto* dialog = qobject_cast<QDialog*>(FindWindow(objectName));
    if (!dialog || QApplication::activeModalWidget() != dialog) {
      ADD_FAILURE() << "no modal window " << objectName;
      if (dialog) dialog->done(0);
      return;
    }
    act(dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << objectName << " is still open";
      dialog->done(0);
    }
  });
}

inline void Press(QWidget* window, uint32_t id) {
  auto* button = FindById<QAbstractButton>(window, id);
  ASSERT_NE(button, nullptr) << "button " << id;
  button->click();
}

// Saves a picture of the widget into $VISTEL_SCREENSHOT_DIR when it is set.
inline void Screenshot(QWidget* widget, const QString& name) {
  const char* folder = std::getenv("VISTEL_SCREENSHOT_DIR");
  if (!folder || !*folder || !widget) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  widget->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace startup_test
