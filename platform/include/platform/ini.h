// Private-profile (INI) files: reading and writing keys with the semantics
// the settings files were made with. Sections and keys match ignoring ASCII
// case; values are trimmed and lose one pair of matching surrounding quotes;
// a missing key gives the default. Writes keep every other line, comment and
// the order, and replace the file atomically (new file, flush, rename).
//
// A file name without any '/' names a file in WindowsFolder(), as a bare
// profile name does on the system the files come from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::ini {

// Reads a string. The result is truncated to bufferSize - 1 characters, as a
// caller's buffer of bufferSize bytes would hold it (0 = no limit).
std::string ReadString(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue, std::size_t bufferSize = 0) noexcept;

// Reads an integer: optional sign and the leading decimal digits; no digits
// gives 0; a missing key gives defaultValue. Values outside 32 bits wrap as
// the 32-bit reader they stand for would.
int32_t ReadInt(const std::string& file, std::string_view section, std::string_view key,
                int32_t defaultValue) noexcept;

// Parses an integer value text as ReadInt does (exposed for tests and callers
// that read a string first).
int32_t ParseInt(std::string_view text) noexcept;

// Writes a key. A null value (std::nullopt) deletes the key. Creates the file
// and the section when missing. Returns false when the file cannot be written
// (errno tells why); the old file is then unchanged. A value is cut at its
// first line break; a key that cannot stand on a line of its own (empty, or
// holding '=' or a line break, or beginning with '[' or ';') and a section
// holding a line break are refused with EINVAL.
bool WriteString(const std::string& file, std::string_view section, std::string_view key,
                 std::optional<std::string_view> value) noexcept;

// Replaces a whole file with text the way every write here does: a new file
// in the same folder, flushed, renamed over the old one, whose permissions it
// keeps. Returns false (errno tells why) with the old file unchanged. For
// callers that edit a file's text themselves.
bool ReplaceFileText(const std::string& path, std::string_view text) noexcept;

// Deletes a whole section (every section of that name). Returns false when
// the file cannot be written.
bool DeleteSection(const std::string& file, std::string_view section) noexcept;

// Pure forms over the file's text, used by the functions above and by tests.
// With a name WriteString would refuse, WithValue returns the text unchanged.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) noexcept;
std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::optional<std::string_view> value) noexcept;
std::string WithoutSection(std::string_view text, std::string_view section) noexcept;

}  // namespace platform::ini
