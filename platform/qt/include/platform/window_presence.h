// Makes a main window findable by other instances and lets them bring it
// forward: registers it in the window registry and answers requests on a
// local socket by restoring (when minimized) or raising and activating it.
#pragma once

#include <memory>
#include <string>

class QWidget;

namespace platform {

class WindowPresence {
 public:
  // title is registered until the window's own title changes; from then on
  // the registry follows the window's title. The socket listens at
  // "<registry folder>/<pid>.sock".
  WindowPresence(QWidget* window, std::string title);
  ~WindowPresence();
  WindowPresence(const WindowPresence&) = delete;
  WindowPresence& operator=(const WindowPresence&) = delete;

  // Re-registers after the title or visibility changed (also done on the
  // window's show, hide and state-change events).
  void Update();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
