// libFuzzer target for the INI text functions. The input is
// "section NUL key NUL file text" (missing parts are empty); every function
// must cope with any of it, and a write of a plain key must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ini.h"

namespace {

std::string_view TakeField(std::string_view& rest) {
  std::size_t nul = rest.find('\0');
  std::string_view field = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  return field;
}

// Keys and sections the round trip holds for: letters, digits, '_' and
// '.', so that nothing about them is trimmed, quoted or refused.
bool Plain(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string_view section = TakeField(rest);
  std::string_view key = TakeField(rest);
  std::string_view text = rest;

  using namespace platform::ini;
  std::optional<std::string> found = FindValue(text, section, key);
  if (found) (void)ParseInt(*found);
  (void)ParseInt(text);
  (void)ParseInt(section);
  (void)WithoutSection(text, section);

  // Any value, even one with line breaks, must not break the text apart.
  std::string edited = WithValue(text, section, key, key);
  (void)FindValue(edited, section, key);
  (void)WithValue(text, section, key, std::nullopt);

  if (Plain(section) && Plain(key)) {
    std::string written = WithValue(text, section, key, "v-123");
    Check(FindValue(written, section, key) == std::optional<std::string>("v-123"));
    Check(ParseInt(*FindValue(WithValue(written, section, key, "-42"), section, key)) == -42);
    std::string removed = WithValue(written, section, key, std::nullopt);
    Check(!FindValue(removed, section, key).has_value());
    Check(!FindValue(WithoutSection(written, section), section, key).has_value());
  }
  return 0;
}
