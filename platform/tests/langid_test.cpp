// Tests of the language identifiers: the table with its country variants,
// language defaults, locale name decorations, and which variable counts.
#include "platform/langid.h"

#include <gtest/gtest.h>

#include "testsupport/temp_env.h"

namespace {

TEST(LangIdFromLocale, Table) {
  struct Case {
    const char* locale;
    uint16_t langId;
  } cases[] = {
      {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
      {"de_DE", 0x0407}, {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"de_LU", 0x1007}, {"de_LI", 0x1407},
      {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A},
      {"es_US", 0x540A}, {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
      {"fr_LU", 0x140C}, {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"ja_JP", 0x0411}, {"ko_KR", 0x0412},
      {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"ru_RU", 0x0419}, {"en_US", 0x0409}, {"en_GB", 0x0809},
      {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
      // A language without its country, or with one the table lacks.
      {"de", 0x0407}, {"de_XX", 0x0407}, {"pt", 0x0416}, {"fr_XX", 0x040C}, {"ja", 0x0411},
      {"zh", 0x0804}, {"en_XX", 0x0409},
      // Decorations and spellings.
      {"de_AT.UTF-8", 0x0C07}, {"pt_BR@x", 0x0416}, {"pt_PT.ISO-8859-1@euro", 0x0816},
      {"DE_at", 0x0C07}, {"de-AT", 0x0C07}, {"de_AT.", 0x0C07}, {"zh_HK.Big5-HKSCS", 0x0C04},
      // The neutral and unknown names.
      {"C", 0x0409}, {"POSIX", 0x0409}, {"C.UTF-8", 0x0409}, {"", 0x0409}, {"xx_YY", 0x0409},
      {"_AT", 0x0409}, {"@euro", 0x0409}, {"deu", 0x0409},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::LangIdFromLocale(c.locale), c.langId) << c.locale;
  EXPECT_EQ(platform::PrimaryLangId(0x0C07), 0x07);
  EXPECT_EQ(platform::SubLangId(0x0C07), 0x03);
}

TEST(UserDefaultLangId, FirstNonEmptyVariable) {
  struct Case {
    std::optional<std::string> lcAll, lcMessages, lang;
    uint16_t langId;
  } cases[] = {
      {"de_AT.UTF-8", "fr_FR", "ja_JP", 0x0C07},
      {"", "fr_CA", "ja_JP", 0x0C0C},
      {std::nullopt, "fr_CA", "ja_JP", 0x0C0C},
      {std::nullopt, "", "ja_JP.UTF-8", 0x0411},
      {std::nullopt, std::nullopt, "pt_PT", 0x0816},
      {"C", "de_DE", "de_DE", 0x0409},
      {std::nullopt, std::nullopt, std::nullopt, 0x0409},
      {"", "", "", 0x0409},
  };
  for (const Case& c : cases) {
    testsupport::ScopedEnv all("LC_ALL", c.lcAll);
    testsupport::ScopedEnv messages("LC_MESSAGES", c.lcMessages);
    testsupport::ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(platform::UserDefaultLangId(), c.langId)
        << c.lcAll.value_or("-") << " " << c.lcMessages.value_or("-") << " " << c.lang.value_or("-");
  }
}

}  // namespace
