// Private-profile (INI) files: the line model, lookups and edits over the
// file text, and the atomic replacement of the file on writes.
#include "platform/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace platform::ini {
namespace {

// Settings files are small; anything beyond this is not one. Reads use the
// first part, writes refuse (EFBIG) rather than drop the rest.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) noexcept {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string_view Unquote(std::string_view v) noexcept {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// One line of the text: where it begins, its content and its line break
// ("\n", "\r\n", or "" for a last line without one).
struct Line {
  std::size_t begin = 0;
  std::string_view content;
  std::string_view eol;
  std::size_t End() const noexcept { return begin + content.size() + eol.size(); }
};

class LineReader {
 public:
  explicit LineReader(std::string_view text) noexcept : text_(text) {}
  bool Next(Line& line) noexcept {
    if (pos_ >= text_.size()) return false;
    std::size_t nl = text_.find('\n', pos_);
    line.begin = pos_;
    if (nl == std::string_view::npos) {
      line.content = text_.substr(pos_);
      line.eol = {};
      pos_ = text_.size();
      return true;
    }
    std::size_t end = (nl > pos_ && text_[nl - 1] == '\r') ? nl - 1 : nl;
    line.content = text_.substr(pos_, end - pos_);
    line.eol = text_.substr(end, nl + 1 - end);
    pos_ = nl + 1;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

enum class Kind { kOther, kHeader, kKey };

struct Parsed {
  Kind kind = Kind::kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // trimmed and unquoted
};

// "[name]" (up to the last ']') is a header; "key=value" a key; a line
// starting with ';', a blank line and anything else carry no key.
Parsed Interpret(std::string_view content) noexcept {
  if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
  std::string_view t = Trim(content);
  if (t.empty() || t.front() == ';') return {};
  if (t.front() == '[') {
    std::size_t close = t.rfind(']');
    if (close != std::string_view::npos) return {Kind::kHeader, Trim(t.substr(1, close - 1)), {}};
  }
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return {};
  return {Kind::kKey, key, Unquote(Trim(t.substr(eq + 1)))};
}

bool HasLineBreak(std::string_view s) noexcept { return s.find_first_of("\r\n") != std::string_view::npos; }

bool WritableKey(std::string_view key) noexcept {
  return !key.empty() && key.front() != '[' && key.front() != ';' &&
         key.find('=') == std::string_view::npos && !HasLineBreak(key);
}

// The line break new lines get: the one the text already uses.
std::string_view LineBreakStyle(std::string_view text) noexcept {
  std::size_t nl = text.find('\n');
  return (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

struct Fd {
  int fd = -1;
  explicit Fd(int f) noexcept : fd(f) {}
  ~Fd() {
    if (fd >= 0) close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Release() noexcept {
    int f = fd;
    fd = -1;
    return f;
  }
};

// The profile's path: a bare name lives in the Windows folder; a symbolic
// link is followed so that the write replaces its target, not the link.
std::string ProfilePath(const std::string& file) {
  std::string path = file.find('/') == std::string::npos ? WindowsFolder() + file : file;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      path = real;
      std::free(real);
    }
  }
  return path;
}

struct FileText {
  bool exists = false;
  bool tooLarge = false;
  mode_t mode = 0;
  std::string text;
};

// Reads the whole file; a missing file is an empty, non-existing text.
// False (errno set) when the file exists but cannot be read.
bool ReadFileText(const std::string& path, FileText& out) {
  // Non-blocking so that a FIFO in the file's place cannot hang the reader.
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.fd < 0) {
    if (errno == ENOENT) return true;
    return false;
  }
  struct stat st {};
  if (fstat(fd.fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  out.exists = true;
  out.mode = st.st_mode;
  std::size_t expected = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  out.text.reserve(std::min(expected, kMaxFileBytes) + 1);
  char buffer[65536];
  while (out.text.size() <= kMaxFileBytes) {
    ssize_t n = read(fd.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    out.text.append(buffer, static_cast<std::size_t>(n));
  }
  if (out.text.size() > kMaxFileBytes) {
    out.tooLarge = true;
    out.text.resize(kMaxFileBytes);
  }
  return true;
}

bool WriteAll(int fd, std::string_view data) noexcept {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string TempNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned mix = static_cast<unsigned>(getpid()) * 2654435761u ^ static_cast<unsigned>(now.tv_nsec) ^
                 (counter.fetch_add(1) * 0x9E3779B9u);
  char name[32];
  std::snprintf(name, sizeof name, ".ini-%08x.tmp", mix);
  return folder + name;
}

// New file in the same folder, flushed, then renamed over the old one; the
// old file stays as it was on any failure.
bool ReplaceFile(const std::string& path, std::string_view text, std::optional<mode_t> mode) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
  std::string temp;
  Fd fd(-1);
  for (int attempt = 0; attempt < 100 && fd.fd < 0; ++attempt) {
    temp = TempNameIn(folder);
    fd.fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd.fd < 0 && errno != EEXIST) return false;
  }
  if (fd.fd < 0) return false;
  // Keep the old file's permissions; a failure leaves the umask's.
  if (mode) (void)fchmod(fd.fd, *mode & 07777);
  bool ok = WriteAll(fd.fd, text) && fsync(fd.fd) == 0 && close(fd.Release()) == 0 &&
            rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    int error = errno;
    unlink(temp.c_str());
    errno = error;
    return false;
  }
  // The rename itself is made durable by flushing the folder; a failure here
  // leaves a complete file either way, so it is not reported.
  Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) fsync(dir.fd);
  return true;
}

}  // namespace

bool ReplaceFileText(const std::string& path, std::string_view text) noexcept {
  try {
    if (path.empty() || path.find('\0') != std::string::npos) {
      errno = EINVAL;
      return false;
    }
    struct stat old {};
    const bool existed = stat(path.c_str(), &old) == 0;
    return ReplaceFile(path, text, existed ? std::optional<mode_t>(old.st_mode) : std::nullopt);
  } catch (...) {
    errno = ENOMEM;
    return false;
  }
}

namespace {

template <typename Edit>
bool EditFile(const std::string& file, Edit edit) noexcept {
  try {
    if (file.empty() || file.find('\0') != std::string::npos) {
      errno = EINVAL;
      return false;
    }
    std::string path = ProfilePath(file);
    FileText old;
    if (!ReadFileText(path, old)) return false;
    if (old.tooLarge) {
      errno = EFBIG;
      return false;
    }
    std::string text = edit(old.text);
    if (text == old.text && (old.exists || text.empty())) return true;
    return ReplaceFile(path, text, old.exists ? std::optional<mode_t>(old.mode) : std::nullopt);
  } catch (...) {
    errno = ENOMEM;
    return false;
  }
}

std::optional<std::string> ReadValue(const std::string& file, std::string_view section, std::string_view key) {
  if (file.empty() || file.find('\0') != std::string::npos) return std::nullopt;
  FileText content;
  if (!ReadFileText(ProfilePath(file), content)) return std::nullopt;
  return FindValue(content.text, section, key);
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) noexcept {
  try {
    section = Trim(section);
    key = Trim(key);
    if (key.empty()) return std::nullopt;
    bool inSection = false;
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
      Parsed p = Interpret(line.content);
      if (p.kind == Kind::kHeader) {
        // Only the first section of that name counts.
        if (inSection) return std::nullopt;
        inSection = EqualsIgnoringCase(p.name, section);
      } else if (p.kind == Kind::kKey && inSection && EqualsIgnoringCase(p.name, key)) {
        return std::string(p.value);
      }
    }
    return std::nullopt;
  } catch (...) {
    return std::nullopt;
  }
}

namespace {

std::string WithValueImpl(std::string_view text, std::string_view section, std::string_view key,
                          std::optional<std::string_view> value) {
  section = Trim(section);
  key = Trim(key);
  if (!WritableKey(key) || HasLineBreak(section)) return std::string(text);
  if (value) value = value->substr(0, value->find_first_of("\r\n"));
  const std::string_view eol = LineBreakStyle(text);

  // Pass 1: where the first matching section is, its matching key lines
  // and the end of its last key line.
  bool found = false, inSection = false;
  Line lastKey;
  std::vector<Line> matches;
  std::string_view storedKey;
  LineReader reader(text);
  Line line;
  while (reader.Next(line)) {
    Parsed p = Interpret(line.content);
    if (p.kind == Kind::kHeader) {
      if (inSection) break;
      if (EqualsIgnoringCase(p.name, section)) {
        found = inSection = true;
        lastKey = line;
      }
    } else if (p.kind == Kind::kKey && inSection) {
      lastKey = line;
      if (EqualsIgnoringCase(p.name, key)) {
        if (matches.empty()) storedKey = p.name;
        matches.push_back(line);
        if (value) break;  // a write touches the first one only
      }
    }
  }

  std::string out;
  if (!value) {
    // Delete every line of the key in that section.
    if (matches.empty()) return std::string(text);
    out.reserve(text.size());
    std::size_t pos = 0;
    for (const Line& m : matches) {
      out.append(text.substr(pos, m.begin - pos));
      pos = m.End();
    }
    out.append(text.substr(pos));
    return out;
  }

  std::string newLine;
  if (!matches.empty()) {
    const Line& m = matches.front();
    newLine.append(storedKey).append("=").append(*value).append(m.eol.empty() ? eol : m.eol);
    out.reserve(text.size() + newLine.size());
    out.append(text.substr(0, m.begin)).append(newLine).append(text.substr(m.End()));
    return out;
  }
  newLine.append(key).append("=").append(*value).append(eol);
  if (found) {
    // After the section's last key (or its header), so that comments and
    // blank lines before the next section stay with that section.
    out.reserve(text.size() + newLine.size() + eol.size());
    out.append(text.substr(0, lastKey.End()));
    if (lastKey.eol.empty()) out.append(eol);
    out.append(newLine).append(text.substr(lastKey.End()));
    return out;
  }
  out.reserve(text.size() + section.size() + newLine.size() + 3 * eol.size() + 2);
  out.append(text);
  if (!out.empty()) {
    if (out.back() != '\n') out.append(eol);
    // A blank line between sections, unless the text ends with one.
    std::string_view last = std::string_view(out).substr(0, out.size() - 1);
    if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
    if (!last.empty() && last.back() != '\n') out.append(eol);
  }
  out.append("[").append(section).append("]").append(eol).append(newLine);
  return out;
}

std::string WithoutSectionImpl(std::string_view text, std::string_view section) {
  section = Trim(section);
  std::string out;
  out.reserve(text.size());
  bool skipping = false;
  LineReader reader(text);
  Line line;
  while (reader.Next(line)) {
    Parsed p = Interpret(line.content);
    if (p.kind == Kind::kHeader) skipping = EqualsIgnoringCase(p.name, section);
    if (!skipping) out.append(text.substr(line.begin, line.End() - line.begin));
  }
  return out;
}

// The text unchanged, when even that cannot be had an empty one.
std::string Unchanged(std::string_view text) noexcept {
  try {
    return std::string(text);
  } catch (...) {
    return std::string();
  }
}

}  // namespace

std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::optional<std::string_view> value) noexcept {
  try {
    return WithValueImpl(text, section, key, value);
  } catch (...) {
    return Unchanged(text);
  }
}

std::string WithoutSection(std::string_view text, std::string_view section) noexcept {
  try {
    return WithoutSectionImpl(text, section);
  } catch (...) {
    return Unchanged(text);
  }
}

int32_t ParseInt(std::string_view text) noexcept {
  text = Trim(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

std::string ReadString(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue, std::size_t bufferSize) noexcept {
  try {
    std::optional<std::string> value = ReadValue(file, section, key);
    std::string result = value ? std::move(*value) : std::string(defaultValue);
    if (bufferSize != 0 && result.size() > bufferSize - 1) result.resize(bufferSize - 1);
    return result;
  } catch (...) {
    return std::string();
  }
}

int32_t ReadInt(const std::string& file, std::string_view section, std::string_view key,
                int32_t defaultValue) noexcept {
  try {
    std::optional<std::string> value = ReadValue(file, section, key);
    return value ? ParseInt(*value) : defaultValue;
  } catch (...) {
    return defaultValue;
  }
}

bool WriteString(const std::string& file, std::string_view section, std::string_view key,
                 std::optional<std::string_view> value) noexcept {
  if (!WritableKey(Trim(key)) || HasLineBreak(section)) {
    errno = EINVAL;
    return false;
  }
  return EditFile(file, [&](const std::string& text) { return WithValueImpl(text, section, key, value); });
}

bool DeleteSection(const std::string& file, std::string_view section) noexcept {
  return EditFile(file, [&](const std::string& text) { return WithoutSectionImpl(text, section); });
}

}  // namespace platform::ini
