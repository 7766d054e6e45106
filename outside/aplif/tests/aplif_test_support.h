// Test helpers: the library bound by name as the program binds it, a
// fixture with its own ScanSet.ini / JobSet.ini, an owner window that
// records the messages posted to it, and drivers for modal dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BelvAplIF.h"
#include "platform/dynlib.h"
#include "platform/ini.h"
#include "platform/message_channel.h"
#include "testsupport/temp_env.h"

namespace aplif_test {

constexpr const char* kVirtualName = "Virtual Sheet Feeder";

inline CAplIFData* Bound() {
  static std::unique_ptr<platform::DynamicLibrary> library = platform::DynamicLibrary::Load("BelvAplIF.so");
  if (!library) return nullptr;
  auto get = library->Function<AplIFGetGlobalDataPtrFn>("AplIFGetGlobalDataPtr");
  return get ? get() : nullptr;
}

class AplIF : public ::testing::Test {
 protected:
  void SetUp() override {
    data = Bound();
    ASSERT_NE(data, nullptr) << platform::DynamicLibrary::LastLoadError();
    scanIni = dir.File("ScanSet.ini");
    jobIni = dir.File("JobSet.ini");
    deviceIni = dir.File("AplDevice.ini");
    ASSERT_GT(data->GetScannerID(kVirtualName), 0);
  }
  void TearDown() override {
    if (data) {
      data->ExitInstance();
      data->ownerWindow = 0;
      data->SetHelpPath(nullptr);
    }
  }

  int32_t Init(int32_t* status = nullptr) {
    return data->InitInstanceForVEXO("Vexo Viewer", 0, 1, 4, 0, jobIni.c_str(), scanIni.c_str(), status);
  }
  int32_t Restart() {
    data->ExitInstance();
    return Init();
  }

  std::vector<std::string> ScanNames() { return Names(true); }
  std::vector<std::string> JobNames() { return Names(false); }
  std::vector<std::string> Names(bool scans) {
    std::vector<std::string> names;
    int32_t pos = scans ? data->ScanGetHeadPosition() : data->FileNamingGetHeadPosition();
    char name[APLIF_NAME_SIZE];
    while (pos > 0 && names.size() <= APLIF_MAX_SETTINGS) {
      const int32_t number = scans ? data->ScanGetNext(&pos, name, sizeof name)
                                   : data->FileNamingGetNext(&pos, name, sizeof name);
      EXPECT_EQ(number, static_cast<int32_t>(names.size()));
      names.emplace_back(name);
    }
    return names;
  }
  std::string Ini(const std::string& file, const std::string& section, const std::string& key) {
    return platform::ini::ReadString(file, section, key, "<missing>");
  }

  testsupport::TempDir dir;
  CAplIFData* data = nullptr;
  std::string scanIni, jobIni, deviceIni;
};

// A native window registered with the message channel as the programs's
// main window is; records what is posted to it.
struct Message {
  uint32_t message;
  uintptr_t wParam;
};

class OwnerWindow {
 public:
  OwnerWindow() {
    widget.resize(640, 480);
    id = static_cast<uint32_t>(widget.winId());
    platform::RegisterMessageTarget(id, [this](uint32_t m, uintptr_t w, intptr_t) {
      received.push_back({m, w});
      return intptr_t{1};
    });
  }
  ~OwnerWindow() { platform::UnregisterMessageTarget(id); }
  // Delivers what is queued.
  const std::vector<Message>& Received() {
    QCoreApplication::processEvents();
    return received;
  }

  QWidget widget;
  uint32_t id = 0;
  std::vector<Message> received;
};

// The visible top-level widget with that dialog id, or object name.
inline QWidget* FindTopLevel(int dialogId, const char* objectName = nullptr) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    if (objectName ? w->objectName() == QLatin1String(objectName) : w->property("ctrlId").toInt() == dialogId)
      return w;
  }
  return nullptr;
}

template <typename T>
T* Control(QWidget* parent, int ctrlId) {
  for (T* child : parent->findChildren<T*>())
    if (child->property("ctrlId").toInt() == ctrlId) return child;
  return nullptr;
}

// Saves a picture of the widget into $VISTEL_SCREENSHOT_DIR when it is set.
inline void Screenshot(QWidget* widget, const QString& name) {
  const char* folder = std::getenv("VISTEL_SCREENSHOT_DIR");
  if (!folder || !*folder || !widget) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  widget->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Ends a modal window that a test failed to end (a Yes/No box ignores close).
inline void ForceClose(QWidget* w) {
  if (auto* box = qobject_cast<QMessageBox*>(w); box && !box->buttons().isEmpty())
    box->buttons().first()->click();
  else
    w->close();
}

// Fails the test and ends any modal window shown while it lives: for calls
// that must show nothing (without it such a call would wait forever).
class NoModalExpected {
 public:
  NoModalExpected() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "unexpected window " << modal->objectName().toStdString();
        ForceClose(modal);
      }
    });
    timer_.start();
  }

 private:
  QTimer timer_;
};

// Runs act on the modal window once it is shown (found by dialog id, or by
// object name). If it never shows, or act leaves it open, it is rejected so
// that the test ends instead of hanging.
inline void WhenShown(std::function<void(QWidget*)> act, int dialogId, const char* objectName = nullptr,
                      int triesLeft = 50) {
  QTimer::singleShot(0, [act = std::move(act), dialogId, objectName, triesLeft]() mutable {
    QWidget* w = FindTopLevel(dialogId, objectName);
    if (!w) {
      if (triesLeft > 0) return WhenShown(std::move(act), dialogId, objectName, triesLeft - 1);
      ADD_FAILURE() << "window " << dialogId << " was not shown";
      if (QWidget* modal = QApplication::activeModalWidget()) ForceClose(modal);
      return;
    }
    QPointer<QWidget> shown(w);
    act(w);
    QTimer::singleShot(0, [shown] {
      if (shown && shown->isVisible()) {
        ADD_FAILURE() << shown->objectName().toStdString() << " was left open";
        ForceClose(shown);
      }
    });
  });
}

}  // namespace aplif_test
