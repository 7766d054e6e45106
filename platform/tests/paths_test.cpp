// Tests of the folders (overrides, fallbacks, buffer limits), temporary file
// names (pattern, exclusivity, collisions) and the path helpers.
#include "platform/paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// stem + four upper-case hex digits + ".tmp"
bool IsTempName(const std::string& name, const std::string& stem) {
  if (name.size() != stem.size() + 8 || name.compare(0, stem.size(), stem) != 0) return false;
  for (std::size_t i = stem.size(); i < stem.size() + 4; ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i])) && (name[i] < 'A' || name[i] > 'F')) return false;
  return name.compare(stem.size() + 4, 4, ".tmp") == 0;
}

TEST(ProgramFolder, OverrideAndExecutable) {
  {
    testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", "/opt/vistel");
    EXPECT_EQ(platform::ProgramFolder(), "/opt/vistel/");
  }
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", std::nullopt);
  EXPECT_EQ(platform::ProgramFolder(), fs::read_symlink("/proc/self/exe").parent_path().string() + "/");
}

TEST(ProgramFolder, SlashAndBufferSize) {
  struct Case {
    const char* folder;
    bool slash;
    std::size_t size;
    const char* expected;
  } cases[] = {
      {"/opt/vistel/", true, 0, "/opt/vistel/"}, {"/opt/vistel/", false, 0, "/opt/vistel"},
      {"/opt/vistel", true, 13, "/opt/vistel/"}, {"/opt/vistel", true, 12, "/opt/vistel"},
      {"/opt/vistel/", true, 6, "/opt/"},        {"/opt/vistel/", false, 5, "/opt"},
      {"/opt/vistel/", true, 1, ""},             {"/", false, 0, "/"},
  };
  for (const Case& c : cases) {
    testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", c.folder);
    EXPECT_EQ(platform::ProgramFolder(c.slash, c.size), c.expected) << c.folder << " " << c.size;
  }
}

TEST(TempFolder, EnvironmentAndBufferSize) {
  testsupport::TempDir dir;
  std::string folder = dir.Path();                       // ends in '/'
  std::string bare = folder.substr(0, folder.size() - 1);
  testsupport::WriteFile(dir.File("file"), "");
  struct Case {
    std::optional<std::string> tmpdir;
    std::size_t size;
    std::string expected;
  } cases[] = {
      {bare, 0, folder},
      {folder, 0, folder},
      {folder, folder.size() + 1, folder},
      {folder, folder.size(), ""},
      {dir.File("missing"), 0, "/tmp/"},
      {dir.File("file"), 0, "/tmp/"},
      {"", 0, "/tmp/"},
      {std::nullopt, 0, "/tmp/"},
      {std::nullopt, 6, "/tmp/"},
      {std::nullopt, 5, ""},
  };
  for (const Case& c : cases) {
    testsupport::ScopedEnv tmp("TMPDIR", c.tmpdir);
    EXPECT_EQ(platform::TempFolder(c.size), c.expected) << c.tmpdir.value_or("(unset)") << " " << c.size;
  }
}

TEST(Folders, WindowsAndSystem) {
  {
    testsupport::ScopedEnv windows("VISTEL_WINDOWS_DIR", "/x/win");
    testsupport::ScopedEnv system("VISTEL_SYSTEM_DIR", "/x/sys/");
    EXPECT_EQ(platform::WindowsFolder(), "/x/win/");
    EXPECT_EQ(platform::SystemFolder(), "/x/sys/");
  }
  testsupport::ScopedEnv windows("VISTEL_WINDOWS_DIR", std::nullopt);
  testsupport::ScopedEnv system("VISTEL_SYSTEM_DIR", std::nullopt);
  EXPECT_EQ(platform::WindowsFolder(), "/etc/");
  std::string libc = platform::SystemFolder();
  ASSERT_FALSE(libc.empty());
  EXPECT_EQ(libc.back(), '/');
  EXPECT_TRUE(fs::exists(libc + "libc.so.6")) << libc;
}

TEST(CreateTempFileName, NamesAndCreatesExclusively) {
  testsupport::TempDir dir;
  struct Case {
    std::string prefix;
    std::string stem;
  } cases[] = {
      {"VEXO", "VEX"}, {"ab", "ab"}, {"", ""}, {"\xC3\xA4\xC3\xB6\xC3\xBCx", "\xC3\xA4\xC3\xB6\xC3\xBC"},
  };
  std::set<std::string> seen;
  for (const Case& c : cases) {
    for (int i = 0; i < 50; ++i) {
      std::string name = platform::CreateTempFileName(dir.Path(), c.prefix);
      ASSERT_FALSE(name.empty()) << c.prefix;
      EXPECT_TRUE(IsTempName(name, dir.Path() + c.stem)) << name;
      EXPECT_TRUE(seen.insert(name).second) << "handed out twice: " << name;
      EXPECT_EQ(fs::file_size(name), 0u);
    }
  }
  // The folder without its slash names the same files.
  std::string bare = dir.Path().substr(0, dir.Path().size() - 1);
  EXPECT_EQ(platform::CreateTempFileName(bare, "q").rfind(dir.Path() + "q", 0), 0u);
}

TEST(CreateTempFileName, WalksPastTakenNamesAndFailsWhenAllAre) {
  testsupport::TempDir dir;
  for (unsigned n = 1; n <= 0xFFFF; ++n) {
    if (n == 0xABC) continue;
    char name[16];
    std::snprintf(name, sizeof name, "t%04X.tmp", n);
    int fd = open(dir.File(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0) << name;
    close(fd);
  }
  EXPECT_EQ(platform::CreateTempFileName(dir.Path(), "t"), dir.File("t0ABC.tmp"));
  errno = 0;
  EXPECT_EQ(platform::CreateTempFileName(dir.Path(), "t"), "");
  EXPECT_EQ(errno, EEXIST);
}

TEST(CreateTempFileName, Failures) {
  testsupport::TempDir dir;
  struct Case {
    std::string folder;
    std::string prefix;
    int error;
  } cases[] = {
      {dir.File("missing/"), "abc", ENOENT},
      {"", "abc", EINVAL},
      {dir.Path(), "a/b", EINVAL},
      {dir.Path(), "a\0b"s, EINVAL},
  };
  for (const Case& c : cases) {
    errno = 0;
    EXPECT_EQ(platform::CreateTempFileName(c.folder, c.prefix), "") << c.folder << " " << c.prefix;
    EXPECT_EQ(errno, c.error) << c.folder << " " << c.prefix;
  }
}

TEST(Paths, IsValidPathName) {
  struct Case {
    std::string path;
    bool valid;
  } cases[] = {
      {"/home/a.tif", true},   {"/", true},           {"/a b/c.d", true},  {"/\xC3\xA4/\xC3\xB6.tif", true},
      {"//x//y/", true},       {"/a/../b", true},     {"relative/a", false}, {"", false},
      {"./a", false},          {"/a/b:c", false},     {"/a\\b", false},    {"/a|b", false},
      {"/a?b", false},         {"/a*b", false},       {"/a<b", false},     {"/a>b", false},
      {"/a\"b", false},        {"/a\tb", false},      {"/a\nb", false},    {"/a\x7f", false},
      {"/a\0b"s, false},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::IsValidPathName(c.path), c.valid) << c.path;
}

TEST(Paths, JoinPath) {
  struct Case {
    const char* folder;
    const char* name;
    const char* expected;
  } cases[] = {
      {"/a", "b", "/a/b"},   {"/a/", "b", "/a/b"}, {"/a//", "/b", "/a/b"}, {"/", "b", "/b"},
      {"", "b", "b"},        {"/a", "", "/a/"},    {"a", "b/c", "a/b/c"},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::JoinPath(c.folder, c.name), c.expected) << c.folder << "+" << c.name;
}

}  // namespace
