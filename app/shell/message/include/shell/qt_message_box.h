// The production message box sink: the platform's Qt message box, parented
// to the window the getter names when the box opens.
#pragma once

#include <functional>

#include "shell/message_presenter.h"

class QWidget;

namespace shell {

class QtMessageBoxSink : public MessageBoxSink {
 public:
  // parent may be empty or answer null: the box then has no parent window.
  explicit QtMessageBoxSink(std::function<QWidget*()> parent = {});

  // The help context is not used: there is no help viewer to open.
  int Show(const std::string& text, const std::string& caption, uint32_t style, int32_t helpContext) override;

 private:
  std::function<QWidget*()> parent_;
};

}  // namespace shell
