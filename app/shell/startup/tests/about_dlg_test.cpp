// The About box: the program's own version, and "More..." through the
// version display library loaded by name — the real one from the build's
// program folder, a recording stand-in put into a program folder of the
// test's own, and libraries that cannot serve.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "ZoVerDisp.h"
#include "shell/about_dlg.h"
#include "startup_test_support.h"
#include "testsupport/temp_env.h"

namespace shell {
namespace {

using startup_test::FindById;
using startup_test::FindWindow;
using startup_test::Press;
using startup_test::WhenModal;

const std::vector<std::string> kRelatedLibraries = {"BelvAplIF.so",  "ZoScan.so",        "ZoImgFileIO.so",
                                                    "ZoDIBImage.so", "ZoVerDisp.so",     "QelScnCommUI.so",
                                                    "Hux_ImgFlt.so"};

std::string Shown(QDialog* dialog, uint32_t id) {
  auto* label = FindById<QLabel>(dialog, id);
  return label ? label->text().toStdString() : std::string("<no control>");
}

// A program folder of the test's own holding a file under the version
// display library's name.
struct ProgramFolder {
  explicit ProgramFolder(const std::string& libraryFile) {
    std::filesystem::copy_file(libraryFile, Library());
  }
  std::string Library() const { return folder.File("ZoVerDisp.so"); }

  testsupport::TempDir folder;
  testsupport::ScopedEnv env{"VISTEL_PROGRAM_DIR", folder.Path()};
};

// Whether the library at path is loaded in this process now.
bool IsLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

struct RecordedCall {
  int32_t calls = 0, show = 0, count = 0, langId = 0;
  RELATION_LIB_INFO records[16]{};
};

RecordedCall ReadRecorder(const std::string& path) {
  RecordedCall call;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return call;
  using Fn = int32_t (*)(int32_t*, int32_t*, int32_t*, RELATION_LIB_INFO*, int32_t);
  if (auto fn = reinterpret_cast<Fn>(dlsym(handle, "FixtureLastCall")))
    call.calls = fn(&call.show, &call.count, &call.langId, call.records, 16);
  dlclose(handle);
  return call;
}

bool AllZero(const char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

TEST(AboutBox, ShowsTheProgramsVersionAndItsTexts) {
  CAboutDlg dialog(nullptr, {}, 1033);
  EXPECT_EQ(Shown(&dialog, CAboutDlg::kIdcVersion), VISTEL_TEST_PROJECT_VERSION);
  EXPECT_EQ(Shown(&dialog, CAboutDlg::kIdcAppName), "Vexo Viewer");
  EXPECT_EQ(Shown(&dialog, CAboutDlg::kIdcCopyright), "Copyright (C) 2026 Norvik Imaging");
  EXPECT_EQ(dialog.windowTitle().toStdString(), "About Vexo Viewer");
  auto* ok = FindById<QPushButton>(&dialog, CAboutDlg::kIdcOk);
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(FindById<QPushButton>(&dialog, CAboutDlg::kIdcMore)->text().toStdString(), "&More...");
}

// The language decides the eighth record and the dialog language.
struct LanguageCase {
  const char* name;
  uint16_t userLangId;
  const char* resourceLibrary;  // nullptr: none
  int32_t listLangId;
};
void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.name; }

class AboutBoxLanguageTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(AboutBoxLanguageTest, MoreHandsTheRelatedLibrariesToTheLoadedLibrary) {
  const LanguageCase& c = GetParam();
  ProgramFolder program(STARTUP_RECORDER_PATH);
  ASSERT_FALSE(IsLoaded(program.Library()));

  bool checked = false;
  WhenModal("CAboutDlg", [&](QDialog* dialog) {
    EXPECT_TRUE(IsLoaded(program.Library())) << "loaded before the box opens";
    EXPECT_EQ(Shown(dialog, CAboutDlg::kIdcVersion), VISTEL_TEST_PROJECT_VERSION);
    auto* more = FindById<QPushButton>(dialog, CAboutDlg::kIdcMore);
    ASSERT_NE(more, nullptr);
    EXPECT_TRUE(more->isEnabled());
    Press(dialog, CAboutDlg::kIdcMore);
    EXPECT_EQ(static_cast<CAboutDlg*>(dialog)->LastMoreResult(), std::optional<int32_t>(ZOVERDISP_OK));

    const RecordedCall call = ReadRecorder(program.Library());
    std::vector<std::string> expected = kRelatedLibraries;
    if (c.resourceLibrary) expected.push_back(c.resourceLibrary);
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.show, 1);
    EXPECT_EQ(call.langId, c.listLangId);
    ASSERT_EQ(call.count, static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      const RELATION_LIB_INFO& r = call.records[i];
      EXPECT_EQ(r.folderKind, ZOVERDISP_FOLDER_PROGRAM) << i;
      EXPECT_TRUE(AllZero(r.subFolder, sizeof r.subFolder)) << i;
      EXPECT_EQ(std::string(r.fileName, strnlen(r.fileName, sizeof r.fileName)), expected[i]) << i;
      const size_t used = std::strlen(r.fileName) + 1;
      EXPECT_TRUE(AllZero(r.fileName + used, sizeof r.fileName - used)) << i << ": zero-filled after the name";
      EXPECT_TRUE(AllZero(r.version, sizeof r.version)) << i << ": no version before the call";
    }
    checked = true;
    Press(dialog, CAboutDlg::kIdcOk);
  });
  ShowAboutBox(c.userLangId);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(IsLoaded(program.Library())) << "freed after the box closes";
}

INSTANTIATE_TEST_SUITE_P(Languages, AboutBoxLanguageTest,
                         testing::Values(LanguageCase{"German", 0x0407, "Res_DEU.so", 0x07},
                                         LanguageCase{"ChineseSimplified", 0x0804, "Res_CHN.so", 2052},
                                         LanguageCase{"Korean", 0x0412, nullptr, 1033},
                                         LanguageCase{"EnglishUS", 0x0409, nullptr, 1033}),
                         [](const testing::TestParamInfo<LanguageCase>& info) { return std::string(info.param.name); });

TEST(AboutBox, MoreShowsTheRealVersionList) {
  // The program folder is the build's: the real library beside this test.
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", std::nullopt);
  std::vector<std::pair<std::string, std::string>> rows;
  bool listSeen = false;
  WhenModal("CAboutDlg", [&](QDialog* about) {
    startup_test::Screenshot(about, QStringLiteral("about_box"));
    // The list is modal inside the click; read and close it from there.
    WhenModal("CDllVersionDlg", [&](QDialog* list) {
      listSeen = true;
      startup_test::Screenshot(list, QStringLiteral("about_box_more"));
      if (auto* tree = FindById<QTreeWidget>(list, 22003)) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
          rows.emplace_back(tree->topLevelItem(i)->text(0).toStdString(), tree->topLevelItem(i)->text(1).toStdString());
      }
      Press(list, 1);
    });
    Press(about, CAboutDlg::kIdcMore);
    EXPECT_EQ(static_cast<CAboutDlg*>(about)->LastMoreResult(), std::optional<int32_t>(ZOVERDISP_OK));
    Press(about, CAboutDlg::kIdcOk);
  });
  ShowAboutBox(0x0409);

  ASSERT_TRUE(listSeen);
  ASSERT_EQ(rows.size(), kRelatedLibraries.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].first, kRelatedLibraries[i]) << i;
  // The list library itself lies in the program folder and carries the
  // build's version.
  EXPECT_EQ(rows[4].second, VISTEL_TEST_PROJECT_VERSION);
}

// A library that cannot serve leaves "More..." disabled; the box works.
TEST(AboutBox, LibraryWithoutTheExportDisablesMore) {
  ProgramFolder program(STARTUP_NOEXPORT_PATH);
  bool checked = false;
  WhenModal("CAboutDlg", [&](QDialog* dialog) {
    EXPECT_TRUE(IsLoaded(program.Library()));
    auto* more = FindById<QPushButton>(dialog, CAboutDlg::kIdcMore);
    ASSERT_NE(more, nullptr);
    EXPECT_FALSE(more->isEnabled());
    EXPECT_EQ(Shown(dialog, CAboutDlg::kIdcVersion), VISTEL_TEST_PROJECT_VERSION);
    checked = true;
    Press(dialog, CAboutDlg::kIdcOk);
  });
  ShowAboutBox(0x0409);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(IsLoaded(program.Library()));
}

// The build's own library always lies on the loader's path beside this test,
// so a missing one is asked for by a name nobody has.
TEST(AboutBox, MissingLibraryDisablesMore) {
  const VersionDisplayLibrary missing("NoSuchVersionDisplay.so");
  EXPECT_EQ(missing.Function(), nullptr);
  CAboutDlg dialog(missing.Function(), {}, 1033);
  auto* more = FindById<QPushButton>(&dialog, CAboutDlg::kIdcMore);
  ASSERT_NE(more, nullptr);
  EXPECT_FALSE(more->isEnabled());
  more->click();  // a disabled button does nothing
  EXPECT_FALSE(dialog.LastMoreResult().has_value());

  const VersionDisplayLibrary present;  // the build's one
  EXPECT_NE(present.Function(), nullptr);
}

}  // namespace
}  // namespace shell
