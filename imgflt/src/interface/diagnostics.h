// The library's diagnostic channel for failures it cannot return as more
// than 0 (the bitmap writer). The library has no user interface of its own,
// so the report goes to standard error unless a reporter is installed
// (tests install one to see the text).
#ifndef IMGFLT_INTERFACE_DIAGNOSTICS_H
#define IMGFLT_INTERFACE_DIAGNOSTICS_H

#include <string_view>

namespace imgflt {

using ErrorReporter = void (*)(std::string_view text);

// Reports a failure text (UTF-8).
void ReportError(std::string_view text) noexcept;

// Installs a reporter (null: standard error); returns the previous one.
ErrorReporter SetErrorReporter(ErrorReporter reporter) noexcept;

}  // namespace imgflt

#endif
