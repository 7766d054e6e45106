// A main window's presence for other instances: its entry in the window
// registry, kept current from the window's own events, and a local socket
// that answers "raise" by restoring or raising the window.
#include "platform/window_presence.h"

#include <unistd.h>

#include <QEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

#include "platform/window_registry.h"

namespace platform {
namespace {

constexpr qint64 kMaxRequestLine = 64;

}  // namespace

struct WindowPresence::Impl : QObject {
  Impl(QWidget* w, std::string t) : window(w), title(std::move(t)) {
    std::string folder = EnsureWindowRegistryFolder();
    if (!folder.empty()) {
      std::string path = folder + std::to_string(::getpid()) + ".sock";
      QString qpath = QString::fromStdString(path);
      QLocalServer::removeServer(qpath);  // left by a crashed process that had our pid
      server.setSocketOptions(QLocalServer::UserAccessOption);
      if (server.listen(qpath)) socketPath = std::move(path);
    }
    connect(&server, &QLocalServer::newConnection, this, &Impl::OnConnection);
    if (window) {
      window->installEventFilter(this);
      connect(window, &QObject::destroyed, this, [] { UnregisterWindow(); });
    }
  }

  ~Impl() override {
    if (window) window->removeEventFilter(this);
    server.close();
    UnregisterWindow();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window) return false;
    switch (event->type()) {
      case QEvent::WindowTitleChange:
        try {
          title = window->windowTitle().toStdString();
        } catch (...) {
        }
        Update();
        break;
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::WindowStateChange: Update(); break;
      default: break;
    }
    return false;
  }

  void Update() noexcept {
    if (!window) return;
    try {
      RegisterWindow({0, title, window->isVisible(), window->isMinimized(), socketPath});
    } catch (...) {
    }
  }

  void OnConnection() {
    while (QLocalSocket* s = server.nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      connect(s, &QLocalSocket::readyRead, this, [this, s] { OnReadable(s); });
      OnReadable(s);  // the request may have arrived with the connection
    }
  }

  void OnReadable(QLocalSocket* s) {
    while (s->canReadLine()) {
      QByteArray line = s->readLine(kMaxRequestLine + 1);
      if (line != "raise\n") {
        s->abort();
        return;
      }
      BringForward();
      s->write("ok\n");
      s->flush();
    }
    if (s->bytesAvailable() > kMaxRequestLine) s->abort();  // no line end in sight
  }

  // Restores a minimized window to its earlier (normal or maximized) state,
  // then raises and activates it.
  void BringForward() {
    if (!window) return;
    if (window->isMinimized()) {
      window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
      window->show();
    }
    window->raise();
    window->activateWindow();
  }

  QPointer<QWidget> window;
  std::string title;
  std::string socketPath;
  QLocalServer server;
};

WindowPresence::WindowPresence(QWidget* window, std::string title)
    : impl_(std::make_unique<Impl>(window, std::move(title))) {
  impl_->Update();
}

WindowPresence::~WindowPresence() = default;

void WindowPresence::Update() { impl_->Update(); }

}  // namespace platform
