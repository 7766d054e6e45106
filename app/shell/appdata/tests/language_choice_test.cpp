// The language table, the help manual fall-back, loading a real language
// library, the program location rule over a fixture mount table, and the
// related-library records with their language identifier.
#include "shell/language_choice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "appdata_fixture.h"
#include "platform/langid.h"
#include "res/resource_module.h"
#include "testsupport/temp_env.h"

namespace {

namespace fs = std::filesystem;

std::string BinFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

struct LanguageCase {
  uint16_t langId;
  const char* library;  // "" = none
  const char* manual;
  int32_t aboutLangId;
};

const LanguageCase kLanguages[] = {
    {0x0804, "Res_CHN.so", "VEXO_CHN.pdf", 2052},  // Chinese (PRC)
    {0x0404, "Res_CHT.so", "VEXO_CHT.pdf", 1028},  // Chinese (Taiwan)
    {0x0C04, "", "VEXO_ENG.pdf", 1033},            // Chinese (Hong Kong)
    {0x1004, "", "VEXO_ENG.pdf", 1033},            // Chinese (Singapore)
    {0x0407, "Res_DEU.so", "VEXO_DEU.pdf", 0x07},
    {0x0C07, "Res_DEU.so", "VEXO_DEU.pdf", 0x07},  // German (Austria)
    {0x0C0A, "Res_ESP.so", "VEXO_ESP.pdf", 0x0A},
    {0x080C, "Res_FRA.so", "VEXO_FRA.pdf", 0x0C},  // French (Belgium)
    {0x0410, "Res_ITA.so", "VEXO_ITA.pdf", 0x10},
    {0x0411, "Res_JPN.so", "VEXO_JPN.pdf", 0x0411},
    {0x0412, "", "VEXO_KOR.pdf", 1033},
    {0x0416, "Res_POR.so", "VEXO_PTB.pdf", 1046},  // Portuguese (Brazil)
    {0x0816, "", "VEXO_ENG.pdf", 1033},            // Portuguese (Portugal)
    {0x0419, "Res_RUS.so", "VEXO_RUS.pdf", 0x0419},
    {0x0409, "", "VEXO_ENG.pdf", 1033},
    {0x041D, "", "VEXO_ENG.pdf", 1033},  // Swedish
    {0x0000, "", "VEXO_ENG.pdf", 1033},
};

TEST(LanguageChoice, TableGivesLibraryManualAndAboutLanguage) {
  for (const LanguageCase& c : kLanguages) {
    SCOPED_TRACE(testing::Message() << std::hex << c.langId);
    shell::LanguageChoice choice = shell::ChooseLanguage(c.langId);
    EXPECT_EQ(choice.resourceLibrary, c.library);
    EXPECT_EQ(choice.helpManual, c.manual);
    EXPECT_EQ(shell::RelationLibraryLangId(c.langId), c.aboutLangId);
    EXPECT_EQ(shell::RelationLibraryRecords(choice).size(), *c.library ? 8u : 7u);
  }
}

TEST(LanguageChoice, KoreanUserGetsSevenRecordsIn1033) {
  testsupport::ScopedEnv lcAll("LC_ALL", "ko_KR.UTF-8");
  const uint16_t langId = platform::UserDefaultLangId();
  ASSERT_EQ(langId, 0x0412);
  shell::LanguageChoice choice = shell::ChooseLanguage(langId);
  EXPECT_EQ(choice.resourceLibrary, "");
  EXPECT_EQ(choice.helpManual, "VEXO_KOR.pdf");
  EXPECT_EQ(shell::RelationLibraryRecords(choice).size(), 7u);
  EXPECT_EQ(shell::RelationLibraryLangId(langId), 1033);
}

TEST(LanguageChoice, RecordsAreZeroFilledWithKindTwoAndTheNameAtByte68) {
  const char* expected[] = {"BelvAplIF.so",    "ZoScan.so",     "ZoImgFileIO.so", "ZoDIBImage.so",
                            "ZoVerDisp.so",    "QelScnCommUI.so", "Hux_ImgFlt.so", "Res_JPN.so"};
  std::vector<RELATION_LIB_INFO> records = shell::RelationLibraryRecords(shell::ChooseLanguage(0x0411));
  ASSERT_EQ(records.size(), 8u);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&records[i]);
    int32_t kind;
    std::memcpy(&kind, bytes, sizeof kind);
    EXPECT_EQ(kind, 2) << i;
    const char* name = reinterpret_cast<const char*>(bytes + 68);
    EXPECT_STREQ(name, expected[i]);
    std::size_t end = 68 + std::strlen(expected[i]);
    for (std::size_t b = 4; b < sizeof(RELATION_LIB_INFO); ++b) {
      if (b < 68 || b >= end) {
        ASSERT_EQ(bytes[b], 0) << "record " << i << " byte " << b;
      }
    }
  }
}

class LanguageFiles : public appdata_test::StartupFixture {
 protected:
  ~LanguageFiles() override { res::SetCurrentResources(nullptr); }
};

TEST_F(LanguageFiles, MissingManualFallsBackToEnglish) {
  const shell::LanguageChoice korean = shell::ChooseLanguage(0x0412);
  EXPECT_EQ(shell::HelpFilePath(program_, korean), program_ + "VEXO_ENG.pdf");
  testsupport::WriteFile(program_ + "VEXO_KOR.pdf", "%PDF-1.4\n");
  EXPECT_EQ(shell::HelpFilePath(program_, korean), program_ + "VEXO_KOR.pdf");
  fs::create_directory(program_ + "VEXO_DEU.pdf");  // a folder is no manual
  EXPECT_EQ(shell::HelpFilePath(program_, shell::ChooseLanguage(0x0407)), program_ + "VEXO_ENG.pdf");
}

TEST_F(LanguageFiles, LoadsTheLanguageLibraryFromTheProgramFolder) {
  const shell::LanguageChoice german = shell::ChooseLanguage(0x0407);
  shell::LanguageSetup none = shell::ApplyLanguageChoice(program_, german);
  EXPECT_FALSE(none.resourceLibraryLoaded);
  EXPECT_EQ(res::CurrentResources().LangId(), 0x0409);
  EXPECT_EQ(none.helpFilePath, program_ + "VEXO_ENG.pdf");

  ASSERT_TRUE(fs::exists(BinFolder() + "Res_DEU.so")) << "the German library is built beside the tests";
  fs::copy_file(BinFolder() + "Res_DEU.so", program_ + "Res_DEU.so");
  testsupport::WriteFile(program_ + "VEXO_DEU.pdf", "%PDF-1.4\n");
  shell::LanguageSetup setup = shell::ApplyLanguageChoice(program_, german);
  EXPECT_TRUE(setup.resourceLibraryLoaded);
  EXPECT_EQ(res::CurrentResources().LangId(), 0x0407);
  EXPECT_EQ(setup.helpFilePath, program_ + "VEXO_DEU.pdf");

  // A file that is no library leaves the English resources.
  res::SetCurrentResources(nullptr);
  testsupport::WriteFile(program_ + "Res_JPN.so", "not a library");
  EXPECT_FALSE(shell::ApplyLanguageChoice(program_, shell::ChooseLanguage(0x0411)).resourceLibraryLoaded);
  EXPECT_EQ(res::CurrentResources().LangId(), 0x0409);
}

TEST(ProgramLocation, DriveTypeRule) {
  struct Case {
    int32_t type;
    bool allowed;
  } cases[] = {{0, false}, {1, false}, {2, true}, {3, true}, {4, false},
               {5, false}, {6, false}, {7, true}, {100, true}, {-1, false}};
  for (const Case& c : cases) EXPECT_EQ(shell::ProgramLocationAllowed(c.type), c.allowed) << c.type;
}

TEST_F(LanguageFiles, ProgramLocationFollowsTheMountTable) {
  struct Case {
    std::string folder;
    bool allowed;
  } cases[] = {
      {program_, true},            {Folder("fixed"), true},   {Folder("ram") + "prog/", false},
      {Folder("share"), false},    {Folder("cd"), false},     {"relative/prog", false},
  };
  for (const Case& c : cases) EXPECT_EQ(shell::CheckProgramLocation(c.folder), c.allowed) << c.folder;

  testsupport::ScopedEnv unreadable("VISTEL_MOUNTINFO", Folder("absent") + "mountinfo");
  EXPECT_FALSE(shell::CheckProgramLocation(program_));
}

TEST(FileVersion, TextOfTheRunningBinary) {
  EXPECT_EQ(shell::FileVersionText("/proc/self/exe"), std::string(VISTEL_TEST_PROJECT_VERSION));
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("plain.txt"), "no version here");
  EXPECT_FALSE(shell::FileVersionText(dir.File("plain.txt")).has_value());
}

}  // namespace
