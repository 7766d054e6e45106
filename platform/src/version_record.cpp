// Version records: finding the ".fileversion" section of an ELF file without
// loading it (FindVersionSection, GetFileVersionInfoSize, ReadVersionRecord),
// parsing its text (ParseVersionRecord) and answering version queries
// (VersionRecord::Query).
//
// Every offset, size and count of the ELF headers comes from the file and is
// checked against the file before it is used; the file itself is read in
// bounded pieces, never as a whole.
#include "platform/version_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;
constexpr uint64_t kMaxSectionBytes = uint64_t{1} << 20;  // larger is no version record
constexpr std::size_t kMaxLines = 1000;
constexpr std::size_t kMaxEntries = 1000;  // translations, strings each

constexpr char kSectionName[] = ".fileversion";  // compared with its NUL
constexpr uint32_t kShtNobits = 8;
constexpr uint16_t kShnXindex = 0xFFFF;
constexpr uint16_t kShnLoreserve = 0xFF00;

// Reads bytes at an offset of the image; false when they are not all there.
class Source {
 public:
  virtual ~Source() = default;
  virtual uint64_t Size() const noexcept = 0;
  virtual bool Read(uint64_t offset, void* out, std::size_t bytes) noexcept = 0;
};

class SpanSource final : public Source {
 public:
  explicit SpanSource(std::span<const uint8_t> bytes) noexcept : bytes_(bytes) {}
  uint64_t Size() const noexcept override { return bytes_.size(); }
  bool Read(uint64_t offset, void* out, std::size_t bytes) noexcept override {
    if (offset > bytes_.size() || bytes > bytes_.size() - offset) return false;
    if (bytes) std::memcpy(out, bytes_.data() + offset, bytes);
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
};

// A file read through one cached window, so walking a section table costs a
// few reads rather than one per entry.
class FileSource final : public Source {
 public:
  FileSource(int fd, uint64_t size) noexcept : fd_(fd), size_(size) {}
  uint64_t Size() const noexcept override { return size_; }
  bool Read(uint64_t offset, void* out, std::size_t bytes) noexcept override {
    if (offset > size_ || bytes > size_ - offset) return false;
    auto* dest = static_cast<uint8_t*>(out);
    while (bytes > 0) {
      if (offset < windowStart_ || offset >= windowStart_ + windowBytes_) {
        if (!Fill(offset)) return false;
      }
      std::size_t from = static_cast<std::size_t>(offset - windowStart_);
      std::size_t n = std::min(bytes, windowBytes_ - from);
      std::memcpy(dest, window_ + from, n);
      dest += n;
      offset += n;
      bytes -= n;
    }
    return true;
  }

 private:
  bool Fill(uint64_t offset) noexcept {
    windowStart_ = offset;
    windowBytes_ = 0;
    std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(sizeof window_, size_ - offset));
    while (windowBytes_ < want) {
      ssize_t n = pread(fd_, window_ + windowBytes_, want - windowBytes_,
                        static_cast<off_t>(offset + windowBytes_));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return windowBytes_ > 0;
      windowBytes_ += static_cast<std::size_t>(n);
    }
    return true;
  }

  int fd_;
  uint64_t size_;
  uint64_t windowStart_ = 0;
  std::size_t windowBytes_ = 0;
  uint8_t window_[16384];
};

struct Location {
  uint64_t offset;
  uint64_t size;
};

class ElfReader {
 public:
  explicit ElfReader(Source& source) noexcept : src_(source) {}

  std::optional<Location> FindSection(const char* wanted, std::size_t wantedBytes) noexcept {
    uint8_t ident[16];
    if (!src_.Read(0, ident, sizeof ident)) return std::nullopt;
    if (std::memcmp(ident, "\x7F" "ELF", 4) != 0 || ident[6] != 1) return std::nullopt;
    if (ident[4] != 1 && ident[4] != 2) return std::nullopt;
    if (ident[5] != 1 && ident[5] != 2) return std::nullopt;
    wide_ = ident[4] == 2;
    big_ = ident[5] == 2;

    uint64_t shoff = 0;
    uint16_t shentsize = 0, shnum16 = 0, shstrndx16 = 0;
    if (wide_) {
      if (!U64(0x28, shoff) || !U16(0x3A, shentsize) || !U16(0x3C, shnum16) || !U16(0x3E, shstrndx16))
        return std::nullopt;
    } else {
      uint32_t off32 = 0;
      if (!U32(0x20, off32) || !U16(0x2E, shentsize) || !U16(0x30, shnum16) || !U16(0x32, shstrndx16))
        return std::nullopt;
      shoff = off32;
    }
    if (shoff == 0 || shentsize != (wide_ ? 64 : 40)) return std::nullopt;
    shoff_ = shoff;
    entsize_ = shentsize;
    if (shoff_ > src_.Size() || src_.Size() - shoff_ < entsize_) return std::nullopt;

    // Section 0 carries the real count and string table index when they do
    // not fit the header's 16-bit fields.
    Section zero;
    if (!ReadSection(0, zero)) return std::nullopt;
    uint64_t shnum = shnum16 != 0 ? shnum16 : zero.size;
    uint64_t shstrndx = shstrndx16 == kShnXindex ? zero.link : shstrndx16;
    if (shstrndx16 >= kShnLoreserve && shstrndx16 != kShnXindex) return std::nullopt;
    if (shnum == 0 || shnum > (src_.Size() - shoff_) / entsize_) return std::nullopt;
    if (shstrndx == 0 || shstrndx >= shnum) return std::nullopt;

    Section strtab;
    if (!ReadSection(shstrndx, strtab) || strtab.type == kShtNobits || !InFile(strtab) || strtab.size == 0)
      return std::nullopt;
    // A table ending in NUL terminates every name that starts inside it.
    uint8_t last = 0xFF;
    if (!src_.Read(strtab.offset + strtab.size - 1, &last, 1) || last != 0) return std::nullopt;

    for (uint64_t i = 1; i < shnum; ++i) {
      Section s;
      if (!ReadSection(i, s) || s.name >= strtab.size) return std::nullopt;
      if (strtab.size - s.name < wantedBytes) continue;
      char name[sizeof kSectionName];
      if (wantedBytes > sizeof name || !src_.Read(strtab.offset + s.name, name, wantedBytes)) return std::nullopt;
      if (std::memcmp(name, wanted, wantedBytes) != 0) continue;
      if (s.type == kShtNobits || !InFile(s)) return std::nullopt;
      return Location{s.offset, s.size};
    }
    return std::nullopt;
  }

 private:
  struct Section {
    uint32_t name = 0;
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t link = 0;
  };

  bool InFile(const Section& s) const noexcept {
    return s.offset <= src_.Size() && s.size <= src_.Size() - s.offset;
  }

  bool ReadSection(uint64_t index, Section& s) noexcept {
    uint64_t at = shoff_ + index * entsize_;  // index is below the checked count
    if (wide_) {
      return U32(at, s.name) && U32(at + 4, s.type) && U64(at + 24, s.offset) && U64(at + 32, s.size) &&
             U32(at + 40, s.link);
    }
    uint32_t off = 0, size = 0;
    if (!U32(at, s.name) || !U32(at + 4, s.type) || !U32(at + 16, off) || !U32(at + 20, size) ||
        !U32(at + 24, s.link))
      return false;
    s.offset = off;
    s.size = size;
    return true;
  }

  template <typename T>
  bool Uint(uint64_t at, T& value) noexcept {
    uint8_t b[sizeof(T)];
    if (!src_.Read(at, b, sizeof b)) return false;
    value = 0;
    for (std::size_t i = 0; i < sizeof b; ++i)
      value = static_cast<T>((value << 8) | b[big_ ? i : sizeof b - 1 - i]);
    return true;
  }
  bool U16(uint64_t at, uint16_t& v) noexcept { return Uint(at, v); }
  bool U32(uint64_t at, uint32_t& v) noexcept { return Uint(at, v); }
  bool U64(uint64_t at, uint64_t& v) noexcept { return Uint(at, v); }

  Source& src_;
  bool wide_ = false;
  bool big_ = false;
  uint64_t shoff_ = 0;
  uint64_t entsize_ = 0;
};

std::optional<Location> LocateVersionSection(Source& source) noexcept {
  return ElfReader(source).FindSection(kSectionName, sizeof kSectionName);
}

// Opens a regular file of at most kMaxFileBytes; -1 otherwise.
int OpenImage(const std::string& path, uint64_t& size) noexcept {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
      static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
    close(fd);
    return -1;
  }
  size = static_cast<uint64_t>(st.st_size);
  return fd;
}

// The section's bytes when the file has a version section of sane size.
std::optional<std::vector<uint8_t>> ReadSectionOf(const std::string& path) {
  uint64_t size = 0;
  int fd = OpenImage(path, size);
  if (fd < 0) return std::nullopt;
  std::optional<std::vector<uint8_t>> out;
  {
    FileSource source(fd, size);
    std::optional<Location> where = LocateVersionSection(source);
    if (where && where->size <= kMaxSectionBytes) {
      std::vector<uint8_t> bytes(static_cast<std::size_t>(where->size));
      if (source.Read(where->offset, bytes.data(), bytes.size())) out = std::move(bytes);
    }
  }
  close(fd);
  return out;
}

// ---- the text ----

bool IsHex(char c) noexcept {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::optional<uint16_t> Hex4(std::string_view s) noexcept {
  if (s.size() != 4) return std::nullopt;
  unsigned v = 0;
  for (char c : s) {
    if (!IsHex(c)) return std::nullopt;
    v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return static_cast<uint16_t>(v);
}

std::optional<std::array<uint16_t, 4>> ParseVersion(std::string_view s) noexcept {
  std::array<uint16_t, 4> parts{};
  for (std::size_t i = 0; i < 4; ++i) {
    std::size_t n = 0;
    uint32_t v = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9') {
      v = v * 10 + static_cast<uint32_t>(s[n] - '0');
      if (v > 0xFFFF) return std::nullopt;
      ++n;
    }
    if (n == 0) return std::nullopt;
    parts[i] = static_cast<uint16_t>(v);
    s.remove_prefix(n);
    if (i < 3) {
      if (s.empty() || s[0] != '.') return std::nullopt;
      s.remove_prefix(1);
    }
  }
  if (!s.empty()) return std::nullopt;
  return parts;
}

// Splits "Keyword rest" at the first space.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) noexcept {
  std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), line.substr(space + 1)};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

void ParseLine(std::string_view line, VersionRecord& record) {
  auto [keyword, rest] = SplitWord(line);
  if (keyword == "FixedFileVersion" || keyword == "FixedProductVersion") {
    if (auto v = ParseVersion(rest))
      (keyword == "FixedFileVersion" ? record.fileVersion : record.productVersion) = *v;
  } else if (keyword == "Translation") {
    auto [language, codePage] = SplitWord(rest);
    auto l = Hex4(language);
    auto c = Hex4(codePage);
    if (l && c && record.translations.size() < kMaxEntries) record.translations.emplace_back(*l, *c);
  } else if (keyword == "String") {
    auto [block, pair] = SplitWord(rest);
    std::size_t eq = pair.find('=');
    if (block.size() != 8 || !Hex4(block.substr(0, 4)) || !Hex4(block.substr(4)) || eq == 0 ||
        eq == std::string_view::npos || record.strings.size() >= kMaxEntries)
      return;
    record.strings.push_back({std::string(block), std::string(pair.substr(0, eq)), std::string(pair.substr(eq + 1))});
  }
}

}  // namespace

std::optional<std::span<const uint8_t>> FindVersionSection(std::span<const uint8_t> elf) {
  SpanSource source(elf);
  std::optional<Location> where = LocateVersionSection(source);
  if (!where) return std::nullopt;
  return elf.subspan(static_cast<std::size_t>(where->offset), static_cast<std::size_t>(where->size));
}

std::optional<VersionRecord> ParseVersionRecord(std::span<const uint8_t> section) {
  try {
    std::string_view text(reinterpret_cast<const char*>(section.data()), section.size());
    text = text.substr(0, text.find('\0'));
    auto nextLine = [&text] {
      std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      return line;
    };
    if (nextLine() != "VISTEL-VERSION-RECORD 1") return std::nullopt;
    VersionRecord record;
    for (std::size_t lines = 1; !text.empty() && lines < kMaxLines; ++lines) ParseLine(nextLine(), record);
    return record;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<std::string> VersionRecord::Query(std::string_view path) const {
  try {
    char buffer[32];
    if (path == "\\") {
      std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", fileVersion[0], fileVersion[1], fileVersion[2],
                    fileVersion[3]);
      return std::string(buffer);
    }
    if (path.empty() || path[0] != '\\') return std::nullopt;
    path.remove_prefix(1);
    std::size_t sep = path.find('\\');
    std::string_view root = path.substr(0, sep);
    std::string_view tail = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
    if (EqualsIgnoringCase(root, "VarFileInfo")) {
      if (!EqualsIgnoringCase(tail, "Translation") || translations.empty()) return std::nullopt;
      std::snprintf(buffer, sizeof buffer, "%04X%04X", translations[0].first, translations[0].second);
      return std::string(buffer);
    }
    if (EqualsIgnoringCase(root, "StringFileInfo") && sep != std::string_view::npos) {
      std::size_t nameSep = tail.find('\\');
      if (nameSep == std::string_view::npos) return std::nullopt;
      std::string_view block = tail.substr(0, nameSep);
      std::string_view name = tail.substr(nameSep + 1);
      for (const String& s : strings)
        if (EqualsIgnoringCase(s.block, block) && s.name == name) return s.value;
    }
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

uint32_t GetFileVersionInfoSize(const std::string& path) {
  try {
    std::optional<std::vector<uint8_t>> bytes = ReadSectionOf(path);
    if (!bytes || !ParseVersionRecord(*bytes)) return 0;
    return static_cast<uint32_t>(bytes->size());
  } catch (...) {
    return 0;
  }
}

std::optional<VersionRecord> ReadVersionRecord(const std::string& path) {
  try {
    std::optional<std::vector<uint8_t>> bytes = ReadSectionOf(path);
    if (!bytes) return std::nullopt;
    return ParseVersionRecord(*bytes);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace platform
