// System error numbers and their texts.
#pragma once

#include <string>

namespace platform {

// The system's text for an error number (strerror), never empty.
std::string SystemErrorText(int error) noexcept;

// The calling thread's last error number (errno).
int LastError() noexcept;

}  // namespace platform
