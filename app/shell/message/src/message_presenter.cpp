// Composing message texts, the current presenter of the process and the
// production presenter over a message box sink.
#include "shell/message_presenter.h"

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "platform/syserror.h"
#include "res/resource_module.h"
#include "shell/message_table.h"

namespace shell {
namespace {

constexpr std::string_view kReadErrorText = "Message File Read Error\n(Code:ffffffff)";
constexpr std::string_view kTableErrorFallback = "System Error (Message TBL)";
constexpr uint32_t kPlainOkStyle = 0;        // no icon, OK
constexpr int32_t kNoHelpContext = 0;
constexpr int kResultAbort = 3;

// The answer of a user who declines the box (see Messages()).
int DeclineResult(uint32_t style) noexcept {
  switch (style & 0xF) {
    case 0x1:  // OK/Cancel
    case 0x3:  // Yes/No/Cancel
    case 0x5:  // Retry/Cancel
      return kResultCancel;
    case 0x2: return kResultAbort;
    case 0x4: return kResultNo;
    default: return kResultOk;
  }
}

// The fall-back before a presenter is installed: texts go to stderr.
class StderrSink final : public MessageBoxSink {
 public:
  int Show(const std::string& text, const std::string& caption, uint32_t style, int32_t) override {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    return DeclineResult(style);
  }
};

MessagePresenter& FallbackPresenter() noexcept {
  static StderrSink sink;
  static TableMessagePresenter presenter(sink);
  return presenter;
}

std::atomic<MessagePresenter*> g_current{nullptr};

}  // namespace

std::string CodeText(uint32_t code) noexcept {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "(Code:%08x)", static_cast<unsigned>(code));
  return buffer;
}

ComposedMessage ComposeMessage(uint32_t code, std::string_view detail, DetailPlacement placement,
                               bool addCode) noexcept {
  ComposedMessage out;
  const MessageEntry* entry = FindMessageEntry(code);
  if (entry == nullptr) {
    const MessageEntry* tableError = FindMessageEntry(kMsgTableError);
    std::optional<std::string> text = tableError ? res::LoadString(tableError->stringId) : std::nullopt;
    out.text = text ? *text : std::string(kTableErrorFallback);
    out.text += "\n" + CodeText(kMsgTableError) + "\n" + CodeText(code);
    out.style = kPlainOkStyle;
    out.helpContext = kNoHelpContext;
    out.known = false;
    return out;
  }

  out.style = entry->style;
  out.helpContext = entry->helpContext;
  out.known = true;
  std::optional<std::string> message = res::LoadString(entry->stringId);
  if (!message) {
    out.text = std::string(kReadErrorText) + "\n\n" + CodeText(code);
    return out;
  }
  if (detail.empty()) {
    out.text = std::move(*message);
  } else if (placement == DetailPlacement::kAfterMessage) {
    out.text = std::move(*message);
    out.text += "\n\n";
    out.text += detail;
  } else {
    out.text = std::string(detail);
    out.text += "\n";
    out.text += *message;
  }
  if (addCode) out.text += "\n\n" + CodeText(code);
  return out;
}

void SetMessagePresenter(MessagePresenter* presenter) noexcept { g_current.store(presenter); }

MessagePresenter& Messages() noexcept {
  MessagePresenter* current = g_current.load();
  return current != nullptr ? *current : FallbackPresenter();
}

ScopedMessagePresenter::ScopedMessagePresenter(MessagePresenter& presenter) noexcept
    : previous_(g_current.exchange(&presenter)) {}

ScopedMessagePresenter::~ScopedMessagePresenter() { g_current.store(previous_); }

TableMessagePresenter::TableMessagePresenter(MessageBoxSink& sink) noexcept : sink_(sink) {}

void TableMessagePresenter::SetUnknownCodeHook(std::function<void()> hook) { unknownCodeHook_ = std::move(hook); }

int TableMessagePresenter::ShowMessage(uint32_t code, std::string_view detail, bool addCode) noexcept {
  return Present(code, detail, DetailPlacement::kAfterMessage, addCode);
}

int TableMessagePresenter::ShowMessageDetailFirst(uint32_t code, std::string_view detail, bool addCode) noexcept {
  return Present(code, detail, DetailPlacement::kBeforeMessage, addCode);
}

int TableMessagePresenter::ShowSystemError(int error) noexcept {
  return ShowMessage(kMsgSystemError, platform::SystemErrorText(error), true);
}

int TableMessagePresenter::SystemErrorBox(int error, std::string_view title) noexcept {
  const std::string caption(title.empty() ? kSystemErrorBoxTitle : title);
  return ShowBox(platform::SystemErrorText(error), caption, kSystemErrorBoxStyle, kNoHelpContext);
}

int TableMessagePresenter::Present(uint32_t code, std::string_view detail, DetailPlacement placement,
                                   bool addCode) noexcept {
  const ComposedMessage message = ComposeMessage(code, detail, placement, addCode);
  const int result = ShowBox(message.text, res::StringText(res::kIdsAppTitle), message.style, message.helpContext);
  if (message.known) return result;
  if (unknownCodeHook_) {
    try {
      unknownCodeHook_();
    } catch (...) {
      // The box has been shown; a failing hook must not take the caller down.
    }
  }
  return kResultUnknownCode;
}

int TableMessagePresenter::ShowBox(const std::string& text, const std::string& caption, uint32_t style,
                                   int32_t helpContext) noexcept {
  try {
    return sink_.Show(text, caption, style, helpContext);
  } catch (...) {
    return DeclineResult(style);
  }
}

}  // namespace shell
