// Message presentation: composing a message code's text, the one interface
// every module raises messages through, the process-wide current presenter
// and the production presenter that shows composed texts through a box sink.
//
//   ComposeMessage          the text, style and help context of a code
//   MessagePresenter        the interface (ShowMessage, ShowSystemError, ...)
//   SetMessagePresenter / Messages / ScopedMessagePresenter
//   MessageBoxSink          where the production presenter shows a box
//   TableMessagePresenter   the production presenter
//
// All of it runs on the GUI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace shell {

// Message box results.
constexpr int kResultOk = 1, kResultCancel = 2, kResultRetry = 4, kResultYes = 6, kResultNo = 7;
// ShowMessage's answer for a code that the table does not hold.
constexpr int kResultUnknownCode = -1;

// Where a detail text goes relative to the message text.
enum class DetailPlacement {
  kAfterMessage,   // message, blank line, detail
  kBeforeMessage,  // detail, line feed, message (file paths of questions)
};

struct ComposedMessage {
  std::string text;
  uint32_t style = 0;
  int32_t helpContext = 0;
  bool known = false;  // false: the code is not in the table
};

// Builds what ShowMessage shows for code. The message string comes from the
// current resource module only, so a language module lacking it gives the
// "Message File Read Error" text. An unknown code gives the message-table
// error text with both codes, style 0 (plain OK), known = false.
ComposedMessage ComposeMessage(uint32_t code, std::string_view detail, DetailPlacement placement,
                               bool addCode) noexcept;

// "(Code:%08x)".
std::string CodeText(uint32_t code) noexcept;

// SystemErrorBox: its title when the caller gives none, and its style
// (warning icon, OK).
inline constexpr std::string_view kSystemErrorBoxTitle = "Windows Sytem Error";
inline constexpr uint32_t kSystemErrorBoxStyle = 0x30;

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;

  // Shows code with the detail after the message; returns the button
  // (kResultOk ...), or kResultUnknownCode when the table lacks the code.
  virtual int ShowMessage(uint32_t code, std::string_view detail, bool addCode) noexcept = 0;
  // The same with the detail before the message.
  virtual int ShowMessageDetailFirst(uint32_t code, std::string_view detail, bool addCode) noexcept = 0;
  // The system's text for error shown as the detail of code 0x03, with the
  // code added; returns the button.
  virtual int ShowSystemError(int error) noexcept = 0;
  // The system's text for error in a plain warning box (OK) titled title,
  // or kSystemErrorBoxTitle when title is empty; returns the button.
  virtual int SystemErrorBox(int error, std::string_view title) noexcept = 0;

  // Conveniences; a derived class brings them in with
  // `using MessagePresenter::ShowMessage;` (and SystemErrorBox).
  int ShowMessage(uint32_t code, bool addCode) noexcept { return ShowMessage(code, std::string_view(), addCode); }
  // A string literal would silently become the add-code flag here.
  int ShowMessage(uint32_t code, const char* detail) = delete;
  int SystemErrorBox(int error) noexcept { return SystemErrorBox(error, std::string_view()); }
};

// The current presenter of the process. Not owned: the installer keeps it
// alive while installed; null restores the fall-back. The fall-back is for
// code running before the program installs its presenter (and for tools):
// it writes each composed text with its caption to standard error and
// answers as a user who declines (Cancel where the box has it, No for
// Yes/No, else OK), so nothing is shown silently and nothing is agreed to.
void SetMessagePresenter(MessagePresenter* presenter) noexcept;
MessagePresenter& Messages() noexcept;

// Installs a presenter for a scope and restores the previous one.
class ScopedMessagePresenter {
 public:
  explicit ScopedMessagePresenter(MessagePresenter& presenter) noexcept;
  ~ScopedMessagePresenter();
  ScopedMessagePresenter(const ScopedMessagePresenter&) = delete;
  ScopedMessagePresenter& operator=(const ScopedMessagePresenter&) = delete;

 private:
  MessagePresenter* previous_;
};

// Shows one box and returns the button pressed (kResultOk ...).
class MessageBoxSink {
 public:
  virtual ~MessageBoxSink() = default;
  virtual int Show(const std::string& text, const std::string& caption, uint32_t style, int32_t helpContext) = 0;
};

// The production presenter: composes from the table, captions every message
// with the application title and shows it through the sink (not owned).
class TableMessagePresenter : public MessagePresenter {
 public:
  explicit TableMessagePresenter(MessageBoxSink& sink) noexcept;

  using MessagePresenter::ShowMessage;
  using MessagePresenter::SystemErrorBox;
  int ShowMessage(uint32_t code, std::string_view detail, bool addCode) noexcept override;
  int ShowMessageDetailFirst(uint32_t code, std::string_view detail, bool addCode) noexcept override;
  int ShowSystemError(int error) noexcept override;
  int SystemErrorBox(int error, std::string_view title) noexcept override;

  // Called after the box of an unknown code (the shell resets its pending
  // command-line request there). Empty: nothing is called.
  void SetUnknownCodeHook(std::function<void()> hook);

 private:
  int Present(uint32_t code, std::string_view detail, DetailPlacement placement, bool addCode) noexcept;
  int ShowBox(const std::string& text, const std::string& caption, uint32_t style, int32_t helpContext) noexcept;

  MessageBoxSink& sink_;
  std::function<void()> unknownCodeHook_;
};

}  // namespace shell
