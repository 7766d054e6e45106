// The debug trace sink.
#include "model/debug_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace model {
namespace {

std::mutex g_mutex;
DebugTraceSink g_sink;  // empty: the default

bool TraceEnabled() noexcept {
  const char* v = std::getenv("VISTEL_TRACE");
  return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
}

}  // namespace

void DebugTrace(std::string_view text) noexcept {
  std::lock_guard lock(g_mutex);
  if (g_sink) {
    try {
      g_sink(text);
    } catch (...) {
      // A failing sink loses the line; tracing never breaks the caller.
    }
    return;
  }
  if (TraceEnabled()) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
}

DebugTraceSink SetDebugTraceSink(DebugTraceSink sink) noexcept {
  std::lock_guard lock(g_mutex);
  std::swap(g_sink, sink);
  return sink;
}

ScopedTraceCapture::ScopedTraceCapture() noexcept {
  previous_ = SetDebugTraceSink([this](std::string_view text) { text_.append(text); });
}

ScopedTraceCapture::~ScopedTraceCapture() { SetDebugTraceSink(std::move(previous_)); }

}  // namespace model
