// System error texts (strerror_r, so that threads do not share a buffer).
#include "platform/syserror.h"

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// strerror_r comes in two forms; each overload takes the result of one.
[[maybe_unused]] const char* ErrorTextResult(int result, const char* buffer) noexcept {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorTextResult(const char* result, const char*) noexcept { return result; }

}  // namespace

std::string SystemErrorText(int error) noexcept {
  try {
    char buffer[256] = {};
    const char* text = ErrorTextResult(strerror_r(error, buffer, sizeof buffer), buffer);
    if (text && *text) return text;
    return "Unknown error " + std::to_string(error);
  } catch (...) {
    return std::string();
  }
}

int LastError() noexcept { return errno; }

}  // namespace platform
