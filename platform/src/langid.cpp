// Locale names to Windows language identifiers (LANGID): a table of the
// languages and country variants the program knows, with each language's
// default for a country the table lacks.
#include "platform/langid.h"

#include <cstdlib>

namespace platform {
namespace {

constexpr uint16_t kEnglishUs = 0x0409;

struct Country {
  const char* language;  // lower case
  const char* country;   // upper case
  uint16_t langId;
};

constexpr Country kCountries[] = {
    {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404},
    {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07}, {"de", "LU", 0x1007},
    {"de", "LI", 0x1407},
    {"es", "MX", 0x080A}, {"es", "ES", 0x0C0A}, {"es", "GT", 0x100A}, {"es", "CR", 0x140A},
    {"es", "PA", 0x180A}, {"es", "DO", 0x1C0A}, {"es", "VE", 0x200A}, {"es", "CO", 0x240A},
    {"es", "PE", 0x280A}, {"es", "AR", 0x2C0A}, {"es", "EC", 0x300A}, {"es", "CL", 0x340A},
    {"es", "UY", 0x380A}, {"es", "PY", 0x3C0A}, {"es", "BO", 0x400A}, {"es", "SV", 0x440A},
    {"es", "HN", 0x480A}, {"es", "NI", 0x4C0A}, {"es", "PR", 0x500A}, {"es", "US", 0x540A},
    {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"fr", "MC", 0x180C},
    {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"ja", "JP", 0x0411},
    {"ko", "KR", 0x0412},
    {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816},
    {"ru", "RU", 0x0419}, {"ru", "MD", 0x0819},
    {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "JM", 0x2009},
    {"en", "BZ", 0x2809}, {"en", "TT", 0x2C09}, {"en", "ZW", 0x3009}, {"en", "PH", 0x3409},
    {"en", "IN", 0x4009}, {"en", "MY", 0x4409}, {"en", "SG", 0x4809},
    {"nl", "NL", 0x0413}, {"nl", "BE", 0x0813},
    {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D},
    {"nb", "NO", 0x0414}, {"nn", "NO", 0x0814},
};

struct Language {
  const char* language;
  uint16_t langId;
};

// A language without a known country: its main variant. Chinese defaults
// to the simplified script of China, the most common one.
constexpr Language kLanguages[] = {
    {"zh", 0x0804}, {"de", 0x0407}, {"es", 0x0C0A}, {"fr", 0x040C}, {"it", 0x0410}, {"ja", 0x0411},
    {"ko", 0x0412}, {"pt", 0x0416}, {"ru", 0x0419}, {"en", 0x0409}, {"nl", 0x0413}, {"sv", 0x041D},
    {"nb", 0x0414}, {"nn", 0x0814}, {"no", 0x0414}, {"da", 0x0406}, {"fi", 0x040B}, {"pl", 0x0415},
    {"cs", 0x0405}, {"hu", 0x040E}, {"el", 0x0408}, {"tr", 0x041F}, {"ar", 0x0401}, {"he", 0x040D},
    {"th", 0x041E},
};

char Lower(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool Equals(std::string_view text, const char* word, char (*fold)(char)) noexcept {
  std::size_t i = 0;
  for (; word[i] != '\0'; ++i)
    if (i >= text.size() || fold(text[i]) != word[i]) return false;
  return i == text.size();
}

}  // namespace

uint16_t LangIdFromLocale(std::string_view name) noexcept {
  // language[_COUNTRY][.codeset][@modifier]; "-" is taken for "_" too.
  name = name.substr(0, name.find_first_of(".@"));
  std::size_t sep = name.find_first_of("_-");
  std::string_view language = name.substr(0, sep);
  std::string_view country = sep == std::string_view::npos ? std::string_view() : name.substr(sep + 1);
  for (const Country& c : kCountries)
    if (Equals(language, c.language, Lower) && Equals(country, c.country, Upper)) return c.langId;
  for (const Language& l : kLanguages)
    if (Equals(language, l.language, Lower)) return l.langId;
  return kEnglishUs;  // "C", "POSIX", empty and unknown names
}

uint16_t UserDefaultLangId() noexcept {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return LangIdFromLocale(value);
  }
  return kEnglishUs;
}

}  // namespace platform
