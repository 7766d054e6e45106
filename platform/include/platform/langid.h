// User default language identifier (LANGID) from the locale.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// LANGID of a locale name such as "de_AT.UTF-8" or "pt_PT@euro"; "C",
// "POSIX", empty and unknown names give 0x0409.
uint16_t LangIdFromLocale(std::string_view localeName) noexcept;

// From LC_ALL, else LC_MESSAGES, else LANG.
uint16_t UserDefaultLangId() noexcept;

constexpr uint16_t PrimaryLangId(uint16_t langId) { return langId & 0x3FF; }
constexpr uint16_t SubLangId(uint16_t langId) { return langId >> 10; }

}  // namespace platform
