// Version records of the build's binaries: the ELF section ".fileversion"
// written at build time (cmake/fileversion.c.in), read from the file
// without loading it. The section is text of our own format:
//
//   VISTEL-VERSION-RECORD 1
//   FixedFileVersion 1.0.0.1          (four 16-bit parts)
//   FixedProductVersion 1.0.0.1
//   Translation 0409 04B0             (language, code page; one or more)
//   String 040904B0 FileVersion=1.0.0.1
//
// A file without the section, or with a section that is not a version
// record, has no version information (size 0).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct VersionRecord {
  std::array<uint16_t, 4> fileVersion{};     // most significant first
  std::array<uint16_t, 4> productVersion{};
  std::vector<std::pair<uint16_t, uint16_t>> translations;  // language, code page
  // (block "%04X%04X", name, value) in file order
  struct String {
    std::string block;
    std::string name;
    std::string value;
  };
  std::vector<String> strings;

  // "\\StringFileInfo\\040904B0\\FileVersion"-style query; block matches
  // ignoring case. Empty when absent.
  std::optional<std::string> Query(std::string_view path) const;
};

// Finds the section ".fileversion" in an ELF image (32 or 64 bit, little or
// big endian). Bounds are checked; a truncated or lying header gives nothing.
std::optional<std::span<const uint8_t>> FindVersionSection(std::span<const uint8_t> elf);

// Parses section text; nothing when it is not a version record.
std::optional<VersionRecord> ParseVersionRecord(std::span<const uint8_t> section);

// GetFileVersionInfoSize: the section's size, 0 when there is none.
uint32_t GetFileVersionInfoSize(const std::string& path);

// Reads the record of a file.
std::optional<VersionRecord> ReadVersionRecord(const std::string& path);

}  // namespace platform
