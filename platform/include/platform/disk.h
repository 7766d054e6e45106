// Free disk space.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Free bytes (f_bfree × f_frsize) of the file system of folder; when the
// folder cannot be queried, of its mount root. Empty when neither answers.
std::optional<uint64_t> FreeDiskBytes(std::string_view folder) noexcept;

}  // namespace platform
