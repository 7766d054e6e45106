// The message box sink over the platform's Qt message box.
#include "shell/qt_message_box.h"

#include <utility>

#include "platform/message_box.h"

namespace shell {

QtMessageBoxSink::QtMessageBoxSink(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}

int QtMessageBoxSink::Show(const std::string& text, const std::string& caption, uint32_t style, int32_t) {
  QWidget* parent = parent_ ? parent_() : nullptr;
  return platform::ShowMessageBox(parent, text, caption, style);
}

}  // namespace shell
