// The recording presenter for tests.
#include "shell/scripted_presenter.h"

#include <utility>

#include "platform/syserror.h"
#include "shell/message_table.h"

namespace shell {

void ScriptedPresenter::QueueResults(std::initializer_list<int> results) {
  results_.insert(results_.end(), results.begin(), results.end());
}

void ScriptedPresenter::QueueResult(int result) { results_.push_back(result); }

std::vector<uint32_t> ScriptedPresenter::Codes() const {
  std::vector<uint32_t> codes;
  for (const Call& call : calls_)
    if (call.kind != Kind::kSystemErrorBox) codes.push_back(call.code);
  return codes;
}

void ScriptedPresenter::Clear() noexcept {
  calls_.clear();
  results_.clear();
}

int ScriptedPresenter::ShowMessage(uint32_t code, std::string_view detail, bool addCode) noexcept {
  return Compose(Kind::kMessage, code, detail, addCode, 0);
}

int ScriptedPresenter::ShowMessageDetailFirst(uint32_t code, std::string_view detail, bool addCode) noexcept {
  return Compose(Kind::kMessageDetailFirst, code, detail, addCode, 0);
}

int ScriptedPresenter::ShowSystemError(int error) noexcept {
  return Compose(Kind::kSystemError, kMsgSystemError, platform::SystemErrorText(error), true, error);
}

int ScriptedPresenter::SystemErrorBox(int error, std::string_view title) noexcept {
  Call call;
  call.kind = Kind::kSystemErrorBox;
  call.error = error;
  call.title = std::string(title.empty() ? kSystemErrorBoxTitle : title);
  call.text = platform::SystemErrorText(error);
  call.style = kSystemErrorBoxStyle;
  return Record(std::move(call));
}

int ScriptedPresenter::Compose(Kind kind, uint32_t code, std::string_view detail, bool addCode, int error) noexcept {
  ComposedMessage message = ComposeMessage(
      code, detail, kind == Kind::kMessageDetailFirst ? DetailPlacement::kBeforeMessage : DetailPlacement::kAfterMessage,
      addCode);
  Call call;
  call.kind = kind;
  call.code = code;
  call.detail = std::string(detail);
  call.addCode = addCode;
  call.error = error;
  call.text = std::move(message.text);
  call.style = message.style;
  call.known = message.known;
  return Record(std::move(call));
}

int ScriptedPresenter::Record(Call call) noexcept {
  if (!call.known) {
    call.result = kResultUnknownCode;
  } else if (results_.empty()) {
    call.result = kResultOk;
  } else {
    call.result = results_.front();
    results_.pop_front();
  }
  calls_.push_back(std::move(call));
  return calls_.back().result;
}

}  // namespace shell
