// The diagnostic channel.
#include "interface/diagnostics.h"

#include <cstdio>

namespace imgflt {

namespace {

ErrorReporter& Reporter() noexcept {
  static ErrorReporter reporter = nullptr;
  return reporter;
}

}  // namespace

void ReportError(std::string_view text) noexcept {
  if (ErrorReporter r = Reporter(); r != nullptr) {
    r(text);
    return;
  }
  std::fprintf(stderr, "Hux_ImgFlt: %.*s\n", static_cast<int>(text.size()), text.data());
}

ErrorReporter SetErrorReporter(ErrorReporter reporter) noexcept {
  ErrorReporter old = Reporter();
  Reporter() = reporter;
  return old;
}

}  // namespace imgflt
