// The working folder: which configured folders are kept and which fall
// back to the default, the write probe and its message, an unreportable
// temporary folder, the value written back, and the leftover clean-up.
#include "shell/work_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "appdata_fixture.h"
#include "platform/ini.h"
#include "shell/app_settings.h"
#include "shell/instance_slot.h"
#include "testsupport/temp_env.h"

namespace {

namespace fs = std::filesystem;

class WorkFolderTest : public appdata_test::StartupFixture {
 protected:
  // Files of a folder whose names begin with prefix.
  static std::vector<std::string> FilesStarting(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
      std::string name = e.path().filename().string();
      if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    return names;
  }
};

TEST_F(WorkFolderTest, DefaultIsTheTemporaryFolderPlusVexoTmp) {
  EXPECT_EQ(shell::DefaultWorkFolder(), fs::path(std::getenv("TMPDIR")).string() + "/VEXO_TMP/");
}

TEST_F(WorkFolderTest, KeepsFoldersOnFixedDrivesOnly) {
  const std::string def = shell::DefaultWorkFolder();
  struct Case {
    std::string configured;
    std::string expected;
    int messages;  // system errors shown
  } cases[] = {
      {"", def, 0},
      {Folder("fixed") + "work/", Folder("fixed") + "work/", 0},
      {Folder("fixed") + "noslash", Folder("fixed") + "noslash/", 0},
      {Folder("ram") + "work/", def, 0},            // RAM disk
      {Folder("share") + "work/", def, 0},          // network share
      {Folder("cd") + "work/", def, 0},             // CD-ROM
      {"relative/work/", def, 0},                   // no drive of its own
      {Folder("fixed") + "no/such/parent/", def, 1},  // fixed, but cannot be created
  };
  for (const Case& c : cases) {
    presenter_.Clear();
    EXPECT_EQ(shell::ChooseWorkFolder(c.configured), c.expected) << c.configured;
    EXPECT_TRUE(fs::is_directory(c.expected)) << c.configured;
    EXPECT_TRUE(FilesStarting(c.expected, "TMP").empty()) << "probe left behind in " << c.expected;
    ASSERT_EQ(presenter_.Calls().size(), std::size_t(c.messages)) << c.configured;
    if (c.messages) {
      EXPECT_EQ(presenter_.Calls()[0].kind, shell::ScriptedPresenter::Kind::kSystemError);
      EXPECT_EQ(presenter_.Calls()[0].error, ENOENT);
    }
  }
  EXPECT_FALSE(fs::exists(Folder("ram") + "work"));
}

TEST_F(WorkFolderTest, FolderOnARamDiskIsWrittenBackEmpty) {
  const std::string ini = shell::AppDataIniPath();
  testsupport::WriteFile(ini, "[File]\nImageTempPath=" + Folder("ram") + "\n");
  shell::AppSettings settings = shell::ReadAppSettings(ini);
  const std::string work = shell::ChooseWorkFolder(settings.imageTempPath);
  EXPECT_EQ(work, shell::DefaultWorkFolder());
  ASSERT_TRUE(shell::WriteAppSettings(ini, settings, work));
  EXPECT_EQ(platform::ini::ReadString(ini, "File", "ImageTempPath", "?"), "");
  EXPECT_TRUE(presenter_.Calls().empty());
}

TEST_F(WorkFolderTest, WriteProbeReportsTheSystemError) {
  EXPECT_TRUE(shell::TestWriteFolder(Folder("fixed")));
  EXPECT_TRUE(FilesStarting(Folder("fixed"), "TMP").empty());
  EXPECT_TRUE(presenter_.Calls().empty());

  EXPECT_FALSE(shell::TestWriteFolder(Folder("absent")));
  ASSERT_EQ(presenter_.Codes(), std::vector<uint32_t>{0x03});
  EXPECT_EQ(presenter_.Calls()[0].error, ENOENT);
}

TEST_F(WorkFolderTest, UnreportableTemporaryFolderLeavesTheFolderAsItWas) {
  std::string deep = base_;
  while (deep.size() <= shell::kTempFolderBufferSize) deep += std::string(60, 't') + "/";
  fs::create_directories(deep);
  testsupport::ScopedEnv tmp("TMPDIR", deep);
  ASSERT_EQ(shell::DefaultWorkFolder(), "");

  // Nothing configured: the initial folder, neither created nor probed.
  EXPECT_EQ(shell::ChooseWorkFolder(""), "/tmp/");
  ASSERT_EQ(presenter_.Calls().size(), 1u);
  EXPECT_EQ(presenter_.Calls()[0].kind, shell::ScriptedPresenter::Kind::kSystemError);
  EXPECT_EQ(presenter_.Calls()[0].error, ENAMETOOLONG);

  // A folder that would be replaced stays, and is still created and probed.
  presenter_.Clear();
  const std::string ram = Folder("ram") + "kept/";
  EXPECT_EQ(shell::ChooseWorkFolder(ram), ram);
  EXPECT_TRUE(fs::is_directory(ram));
  EXPECT_EQ(presenter_.Calls().size(), 1u);
  EXPECT_FALSE(shell::ImageTempPathToStore(ram).has_value());
}

TEST_F(WorkFolderTest, StoredValueComparesIgnoringCase) {
  const std::string def = shell::DefaultWorkFolder();
  std::string other = def;
  for (char& c : other) c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
  EXPECT_EQ(shell::ImageTempPathToStore(def), "");
  EXPECT_EQ(shell::ImageTempPathToStore(other), "");
  EXPECT_EQ(shell::ImageTempPathToStore(Folder("fixed")), Folder("fixed"));
  EXPECT_EQ(shell::ImageTempPathToStore(def + "sub/"), def + "sub/");
}

TEST_F(WorkFolderTest, CreatesTheImageFolderBesideTheProgram) {
  EXPECT_TRUE(shell::CreateImageFolder());
  EXPECT_TRUE(fs::is_directory(program_ + "Image"));
  EXPECT_TRUE(shell::CreateImageFolder());  // an existing folder is no error
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", Folder("absent") + "program/");
  EXPECT_FALSE(shell::CreateImageFolder());
}

}  // namespace
