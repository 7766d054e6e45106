// A presenter for tests of any module: records every message raised, with
// the text the production presenter would show, and answers each with the
// button the test queued.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "shell/message_presenter.h"

namespace shell {

class ScriptedPresenter : public MessagePresenter {
 public:
  enum class Kind { kMessage, kMessageDetailFirst, kSystemError, kSystemErrorBox };

  struct Call {
    Kind kind = Kind::kMessage;
    uint32_t code = 0;   // 0x03 for kSystemError, 0 for kSystemErrorBox
    std::string detail;  // the system's text for kSystemError
    bool addCode = false;
    int error = 0;       // the error number of the two system-error kinds
    std::string title;   // kSystemErrorBox: the title shown (the default when none was given)
    std::string text;    // what the box would show
    uint32_t style = 0;  // the box style it would have
    bool known = true;   // false: the code is not in the table
    int result = 0;      // what the call returned
  };

  // Answers for the next calls, in order. With none queued a call answers
  // kResultOk. A code missing from the table answers kResultUnknownCode, as
  // in production, and takes no queued answer (no button was asked).
  void QueueResults(std::initializer_list<int> results);
  void QueueResult(int result);

  const std::vector<Call>& Calls() const noexcept { return calls_; }
  // The codes of the message calls (and 0x03 of ShowSystemError), in order.
  std::vector<uint32_t> Codes() const;
  void Clear() noexcept;

  using MessagePresenter::ShowMessage;
  using MessagePresenter::SystemErrorBox;
  int ShowMessage(uint32_t code, std::string_view detail, bool addCode) noexcept override;
  int ShowMessageDetailFirst(uint32_t code, std::string_view detail, bool addCode) noexcept override;
  int ShowSystemError(int error) noexcept override;
  int SystemErrorBox(int error, std::string_view title) noexcept override;

 private:
  int Record(Call call) noexcept;
  int Compose(Kind kind, uint32_t code, std::string_view detail, bool addCode, int error) noexcept;

  std::deque<int> results_;
  std::vector<Call> calls_;
};

}  // namespace shell
