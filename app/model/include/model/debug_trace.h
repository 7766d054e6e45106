// Debug trace: the program's debugger-output channel. Trace text goes to a
// process-wide sink; by default standard error, and only while the
// environment variable VISTEL_TRACE is set (and not "0"). Tests capture it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace model {

// Writes text as given (callers end their lines with '\n'). Thread-safe.
void DebugTrace(std::string_view text) noexcept;

using DebugTraceSink = std::function<void(std::string_view)>;

// Replaces the sink and returns the previous one; an empty sink restores the
// default. The sink runs under a lock: it must not trace itself.
DebugTraceSink SetDebugTraceSink(DebugTraceSink sink) noexcept;

// Collects every trace text of its lifetime instead of writing it.
class ScopedTraceCapture {
 public:
  ScopedTraceCapture() noexcept;
  ~ScopedTraceCapture();
  ScopedTraceCapture(const ScopedTraceCapture&) = delete;
  ScopedTraceCapture& operator=(const ScopedTraceCapture&) = delete;

  const std::string& Text() const noexcept { return text_; }
  void Clear() noexcept { text_.clear(); }

 private:
  std::string text_;
  DebugTraceSink previous_;
};

}  // namespace model
