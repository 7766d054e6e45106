// Tests of the INI files: lookups (case, trimming, quotes, duplicates, line
// breaks), integer parsing, edits that keep the rest of the file, and the
// file forms: creation, truncation, atomic replacement and hostile input.
#include "platform/ini.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using platform::ini::FindValue;
using platform::ini::WithValue;

namespace {

TEST(IniFind, Lookups) {
  struct Case {
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  } cases[] = {
      {"[Main]\nKey=v\n", "main", "KEY", "v"},
      {"[MAIN]\nkey=v\n", "Main", "Key", "v"},
      {"[s]\n  key \t=  \t value \t\n", "s", "key", "value"},
      {"[ s ]\nk=v\n", "s", "k", "v"},
      {"[s]\nk=v\n", " s\t", " k ", "v"},
      {"[s]\nk=\"  a b \"\n", "s", "k", "  a b "},
      {"[s]\nk='x'\n", "s", "k", "x"},
      {"[s]\nk=\"x'\n", "s", "k", "\"x'"},
      {"[s]\nk=\"\n", "s", "k", "\""},
      {"[s]\nk=\"\"x\"\"\n", "s", "k", "\"x\""},
      {"[s]\nk= \" q \" \n", "s", "k", " q "},
      {"[s]\nk=\n", "s", "k", ""},
      {"[s]\nk=a=b\n", "s", "k", "a=b"},
      {"[s]\nmy key=1\n", "s", "my key", "1"},
      {"[s]\nk=v\n", "s", "other", std::nullopt},
      {"[s]\nk=v\n", "t", "k", std::nullopt},
      {"[t]\nk=v\n[s]\n", "s", "k", std::nullopt},
      {"[s]\r\nk=v\r\n", "s", "k", "v"},
      {"[s]\r\nk=v\r", "s", "k", "v"},
      {"[s]\nk=v", "s", "k", "v"},
      // The first section of a name wins, even without the key.
      {"[s]\na=1\n[t]\n[S]\na=2\nb=3\n", "s", "a", "1"},
      {"[s]\na=1\n[t]\n[S]\na=2\nb=3\n", "s", "b", std::nullopt},
      {"[s]\nk=1\nk=2\n", "s", "k", "1"},
      {"[s]\n;k=1\n", "s", "k", std::nullopt},
      {"[s]\n  ; k=1\nk=2\n", "s", "k", "2"},
      {"[s]\nk\nk=2\n", "s", "k", "2"},
      {"k=1\n[s]\n", "s", "k", std::nullopt},
      {"[s\nk=1\n", "s", "k", std::nullopt},
      {"[a]b]\nk=1\n", "a]b", "k", "1"},
      {"[]\nk=1\n", "", "k", "1"},
      {"[s]\n=1\n", "s", "", std::nullopt},
      {"[s]\nk=a\0b\n"s, "s", "k", "a\0b"s},
      {"[s]\0\nk=1\n"s, "s", "k", "1"},  // text after the ']' is ignored
      {"\0[s]\nk=1\n"s, "s", "k", std::nullopt},
      {"", "s", "k", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindValue(c.text, c.section, c.key), c.expected) << testing::PrintToString(c.text);
}

TEST(IniParseInt, SignAndLeadingDigits) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"-1", -1},          {"12abc", 12},        {"abc", 0},
      {"+7", 7},           {"  42 ", 42},        {"\t-3\t", -3},
      {"", 0},             {"-", 0},             {"+-5", 0},
      {"- 5", 0},          {"007", 7},           {"1 2", 1},
      {"0x10", 0},         {"2147483647", INT32_MAX},
      {"2147483648", INT32_MIN},                 {"-2147483648", INT32_MIN},
      {"4294967295", -1},  {"4294967296", 0},    {"4294967297", 1},
      {"99999999999", 1215752191},               {"-4294967295", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::ini::ParseInt(c.text), c.expected) << c.text;
}

TEST(IniEdit, WithValueKeepsTheRest) {
  struct Case {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
    std::string expected;
  } cases[] = {
      {"replace keeps comments and order", "; head\n[a]\nx=1\n; note\ny=2\n\n[b]\nz=3\n", "a", "y", "9",
       "; head\n[a]\nx=1\n; note\ny=9\n\n[b]\nz=3\n"},
      {"replace keeps the stored key's spelling", "[A]\n  MyKey = old\n", "a", "mykey", "new", "[A]\nMyKey=new\n"},
      {"replace the first of duplicate keys", "[a]\nk=1\nk=2\n", "a", "k", "3", "[a]\nk=3\nk=2\n"},
      {"add after the section's last key", "[a]\nx=1\n\n; about b\n[b]\n", "a", "y", "2",
       "[a]\nx=1\ny=2\n\n; about b\n[b]\n"},
      {"add to a section without keys", "[a]\n[b]\n", "a", "y", "2", "[a]\ny=2\n[b]\n"},
      {"add to the first of duplicate sections", "[a]\n[A]\nx=1\n", "A", "x", "2", "[a]\nx=2\n[A]\nx=1\n"},
      {"new section after a blank line", "[a]\nx=1\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"new section, text ends blank", "[a]\nx=1\n\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"new section in an empty text", "", " b ", " k ", "v", "[b]\nk=v\n"},
      {"no final newline, add key", "[a]\nx=1", "a", "y", "2", "[a]\nx=1\ny=2\n"},
      {"no final newline, replace key", "[a]\nx=1", "a", "x", "2", "[a]\nx=2\n"},
      {"no final newline, new section", "[a]\nx=1", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"CRLF text keeps its style", "[a]\r\nx=1\r\n", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
      {"CRLF text, new section", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n"},
      {"empty value", "[a]\nx=1\n", "a", "x", "", "[a]\nx=\n"},
      {"value cut at a line break", "[a]\n", "a", "x", "1\n[evil]\nk=v", "[a]\nx=1\n"},
      {"delete a key", "[a]\nx=1\ny=2\n", "a", "x", std::nullopt, "[a]\ny=2\n"},
      {"delete every copy in the first section", "[a]\nx=1\nX=2\n[a]\nx=3\n", "a", "x", std::nullopt,
       "[a]\n[a]\nx=3\n"},
      {"delete a missing key", "[a]\ny=2\n", "a", "x", std::nullopt, "[a]\ny=2\n"},
      {"delete in a missing section", "[a]\nx=1\n", "b", "x", std::nullopt, "[a]\nx=1\n"},
      {"delete the last line without newline", "[a]\nx=1", "a", "x", std::nullopt, "[a]\n"},
      {"refused key with '='", "[a]\n", "a", "x=y", "1", "[a]\n"},
      {"refused empty key", "[a]\n", "a", " ", "1", "[a]\n"},
      {"refused key starting '['", "[a]\n", "a", "[k]", "1", "[a]\n"},
      {"refused key starting ';'", "[a]\n", "a", ";k", "1", "[a]\n"},
      {"refused section with a line break", "", "a\nb", "k", "1", ""},
      {"garbage lines kept", "\x01\xff\xfe\n[a]\n\x7fjunk\0\n"s, "a", "k", "v",
       "\x01\xff\xfe\n[a]\nk=v\n\x7fjunk\0\n"s},
  };
  for (const Case& c : cases) {
    std::optional<std::string_view> value;
    if (c.value) value = *c.value;
    EXPECT_EQ(WithValue(c.text, c.section, c.key, value), c.expected) << c.name;
  }
}

TEST(IniEdit, WithoutSectionRemovesEveryCopy) {
  const std::string text = "top=1\n[a]\nx=1\n; a's\n[b]\ny=2\n[A]\nz=3\n";
  EXPECT_EQ(platform::ini::WithoutSection(text, "a"), "top=1\n[b]\ny=2\n");
  EXPECT_EQ(platform::ini::WithoutSection(text, "c"), text);
}

// Drops the calling thread's right to ignore file permissions (a root test
// run has it), so that a read-only folder is read-only here too.
class WithoutPermissionOverride {
 public:
  WithoutPermissionOverride() {
    header_.version = _LINUX_CAPABILITY_VERSION_3;
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    changed_ = syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutPermissionOverride() {
    if (changed_) syscall(SYS_capset, &header_, saved_);
  }
  WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
  WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

 private:
  __user_cap_header_struct header_{};
  __user_cap_data_struct saved_[2]{};
  bool changed_ = false;
};

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class IniFile : public testing::Test {
 protected:
  testsupport::TempDir dir_;
  std::string file_ = dir_.File("settings.ini");
};

TEST_F(IniFile, ReadsWithDefaultsAndTruncation) {
  testsupport::WriteFile(file_, "[Options]\nName = \"abcdef\"\nCount=12abc\nEmpty=\nBad=x\n");
  struct Case {
    const char* key;
    const char* defaultValue;
    std::size_t bufferSize;
    const char* expected;
  } cases[] = {
      {"name", "d", 0, "abcdef"},   {"name", "d", 100, "abcdef"}, {"name", "d", 7, "abcdef"},
      {"name", "d", 6, "abcde"},    {"name", "d", 4, "abc"},      {"name", "d", 1, ""},
      {"missing", "dflt", 0, "dflt"}, {"missing", "dflt", 3, "df"}, {"empty", "d", 0, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::ini::ReadString(file_, "OPTIONS", c.key, c.defaultValue, c.bufferSize), c.expected)
        << c.key << " " << c.bufferSize;

  EXPECT_EQ(platform::ini::ReadInt(file_, "options", "count", 5), 12);
  EXPECT_EQ(platform::ini::ReadInt(file_, "options", "bad", 5), 0);
  EXPECT_EQ(platform::ini::ReadInt(file_, "options", "empty", 5), 0);
  EXPECT_EQ(platform::ini::ReadInt(file_, "options", "missing", 5), 5);
  EXPECT_EQ(platform::ini::ReadInt(dir_.File("none.ini"), "options", "count", -9), -9);
  EXPECT_EQ(platform::ini::ReadString(dir_.Path(), "options", "name", "dir"), "dir");
}

TEST_F(IniFile, BareNameLivesInTheWindowsFolder) {
  testsupport::ScopedEnv windows("VISTEL_WINDOWS_DIR", dir_.Path());
  ASSERT_TRUE(platform::ini::WriteString("Filter.ini", "s", "k", "v"));
  EXPECT_EQ(testsupport::ReadFile(dir_.File("Filter.ini")), "[s]\nk=v\n");
  EXPECT_EQ(platform::ini::ReadString("Filter.ini", "s", "k", ""), "v");
}

TEST_F(IniFile, WritesCreateEditAndDelete) {
  // Deleting from a missing file creates nothing.
  EXPECT_TRUE(platform::ini::WriteString(file_, "s", "k", std::nullopt));
  EXPECT_FALSE(fs::exists(file_));

  ASSERT_TRUE(platform::ini::WriteString(file_, "Main", "Key", "v1"));
  EXPECT_EQ(testsupport::ReadFile(file_), "[Main]\nKey=v1\n");

  testsupport::WriteFile(file_, "; keep me\n[Main]\nKey=v1\n\n; other\n[Other]\nx=1\n");
  ASSERT_TRUE(platform::ini::WriteString(file_, "main", "key", "v2"));
  ASSERT_TRUE(platform::ini::WriteString(file_, "main", "second", "2"));
  EXPECT_EQ(testsupport::ReadFile(file_), "; keep me\n[Main]\nKey=v2\nsecond=2\n\n; other\n[Other]\nx=1\n");
  EXPECT_EQ(platform::ini::ReadInt(file_, "MAIN", "SECOND", 0), 2);

  ASSERT_TRUE(platform::ini::WriteString(file_, "main", "key", std::nullopt));
  EXPECT_EQ(platform::ini::ReadString(file_, "main", "key", "gone"), "gone");
  ASSERT_TRUE(platform::ini::DeleteSection(file_, "other"));
  // A comment above a header is the previous section's last line: it stays.
  EXPECT_EQ(testsupport::ReadFile(file_), "; keep me\n[Main]\nsecond=2\n\n; other\n");
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"settings.ini"});
}

TEST_F(IniFile, WriteKeepsPermissionsAndFollowsLinks) {
  testsupport::WriteFile(file_, "[s]\nk=1\n");
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                  fs::perm_options::replace);
  std::string link = dir_.File("link.ini");
  fs::create_symlink(file_, link);
  ASSERT_TRUE(platform::ini::WriteString(link, "s", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(testsupport::ReadFile(file_), "[s]\nk=2\n");
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFile, FailedWritesLeaveTheOldFile) {
  const std::string old = "[s]\nk=old\n";
  testsupport::WriteFile(file_, old);

  errno = 0;
  EXPECT_FALSE(platform::ini::WriteString(dir_.File("missing/x.ini"), "s", "k", "v"));
  EXPECT_EQ(errno, ENOENT);

  errno = 0;
  EXPECT_FALSE(platform::ini::WriteString(file_, "s", "a=b", "v"));
  EXPECT_EQ(errno, EINVAL);

  errno = 0;
  EXPECT_FALSE(platform::ini::WriteString(dir_.Path(), "s", "k", "v"));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(testsupport::ReadFile(file_), old);
}

TEST_F(IniFile, ReadOnlyFolderFailsTheWrite) {
  const std::string old = "; c\n[s]\nk=old\n";
  testsupport::WriteFile(file_, old);
  fs::permissions(dir_.Path(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  WithoutPermissionOverride dropped;
  std::string probe = dir_.File("probe");
  if (int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600); fd >= 0) {
    close(fd);
    unlink(probe.c_str());
    GTEST_SKIP() << "permissions are not enforced for this user";
  }

  errno = 0;
  EXPECT_FALSE(platform::ini::WriteString(file_, "s", "k", "new"));
  EXPECT_EQ(errno, EACCES);
  EXPECT_FALSE(platform::ini::DeleteSection(file_, "s"));
  EXPECT_EQ(testsupport::ReadFile(file_), old);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"settings.ini"});
}

TEST_F(IniFile, WriteCutShortLeavesTheOldFile) {
  // A file size limit makes the new file's write fail half way, whoever runs
  // the test.
  const std::string old = "[s]\nk=old\n";
  testsupport::WriteFile(file_, old);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  errno = 0;
  bool written = platform::ini::WriteString(file_, "s", "k", std::string(200, 'x'));
  int error = errno;
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(testsupport::ReadFile(file_), old);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"settings.ini"});
}

TEST_F(IniFile, HostileFilesGiveDefinedResults) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  struct Case {
    const char* name;
    std::string text;
    std::optional<std::string> before;  // value of [s] k before the write
  } cases[] = {
      {"binary garbage", binary, std::nullopt},
      {"NUL bytes", "\0[s]\nk=1\n[s]\n\0k=2\nk=\0\0\nk=3\n"s, "\0\0"s},
      {"1 MB line", "[s]\nk=" + std::string(1 << 20, 'a') + "\n", std::string(1 << 20, 'a')},
      {"1 MB without newline", std::string(1 << 20, '['), std::nullopt},
      {"no final newline", "[s]\nk=1", "1"},
      {"duplicate sections", "[s]\nj=0\n[S]\nk=2\n[s]\nk=3\n", std::nullopt},
      {"only line breaks", std::string(10000, '\n') + std::string(100, '\r'), std::nullopt},
  };
  for (const Case& c : cases) {
    testsupport::WriteFile(file_, c.text);
    EXPECT_EQ(FindValue(c.text, "s", "k"), c.before) << c.name;
    std::string before = c.before.value_or("none");
    EXPECT_EQ(platform::ini::ReadString(file_, "s", "k", "none"), before) << c.name;
    ASSERT_TRUE(platform::ini::WriteString(file_, "s", "k", "written")) << c.name;
    EXPECT_EQ(platform::ini::ReadString(file_, "s", "k", ""), "written") << c.name;
    ASSERT_TRUE(platform::ini::WriteString(file_, "s", "k", std::nullopt)) << c.name;
    EXPECT_EQ(platform::ini::ReadString(file_, "s", "k", "gone"), "gone") << c.name;
  }
}

}  // namespace

// A whole-file replacement keeps the file's permissions; a folder that does
// not exist fails and creates nothing.
TEST(IniReplaceFileText, KeepsModeAndFailsCleanly) {
  testsupport::TempDir dir;
  const std::string path = dir.File("whole.ini");
  testsupport::WriteFile(path, "old\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(platform::ini::ReplaceFileText(path, "[A]\nk=v\n"));
  EXPECT_EQ(testsupport::ReadFile(path), "[A]\nk=v\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_FALSE(platform::ini::ReplaceFileText(dir.File("no/such/folder.ini"), "x"));
  EXPECT_FALSE(platform::ini::ReplaceFileText("", "x"));
}
