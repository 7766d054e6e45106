// Whole-file access to the interface's INI files: a settings file is read
// once, edited in memory with the platform's INI text functions (so values
// keep the platform's INI semantics) and written back in one atomic step.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace aplif {

// Largest settings file that is read or rewritten; a larger one is left
// alone (its settings are not read, and it is never replaced).
constexpr std::size_t kMaxProfileBytes = std::size_t{1} << 20;

struct ProfileText {
  bool exists = false;
  int error = 0;  // errno when the file exists but cannot be used (EFBIG when too large)
  std::string text;
};

ProfileText ReadProfileText(const std::string& path);

// New file in the same folder, flushed, renamed over the old one (a
// symbolic link is followed, the old file's permissions kept). On failure
// the old file is unchanged and *error is errno.
bool ReplaceProfileText(const std::string& path, std::string_view text, int* error);

// Value lookups over a file's text.
std::optional<std::string> FindString(std::string_view text, std::string_view section, std::string_view key);
// Integer by the INI rules; missing key → fallback.
int32_t FindInt(std::string_view text, std::string_view section, std::string_view key, int32_t fallback);

// Text edits; a string value is written in quotes so that it reads back
// exactly, blanks and quotes included.
std::string WithString(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value);
std::string WithInt(std::string_view text, std::string_view section, std::string_view key, int64_t value);

}  // namespace aplif
