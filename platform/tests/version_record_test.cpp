// Tests of the version records: the records the build writes into its own
// binaries, ELF images built here in every class and byte order, truncated
// and lying headers, files that are no ELF image, and hostile record texts.
#include "platform/version_record.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using namespace std::string_literals;

namespace {

const char kFileVersionQuery[] = "\\StringFileInfo\\040904B0\\FileVersion";

std::string BinFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

Bytes ReadBytes(const std::string& path) {
  std::string text = testsupport::ReadFile(path);
  return Bytes(text.begin(), text.end());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  testsupport::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::span<const uint8_t> Span(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Writes unsigned fields in either byte order.
struct Writer {
  Bytes& out;
  bool big;
  void Put(std::size_t at, uint64_t value, std::size_t width) {
    if (out.size() < at + width) out.resize(at + width);
    for (std::size_t i = 0; i < width; ++i)
      out[at + (big ? width - 1 - i : i)] = static_cast<uint8_t>(value >> (8 * i));
  }
};

// A relocatable ELF image with the sections given, then ".shstrtab", then
// the section header table. The offsets are kept for the lying-header cases.
struct ElfImage {
  struct Section {
    std::string name;
    uint32_t type;  // 1 PROGBITS, 8 NOBITS
    std::string data;
  };
  bool wide = true;
  bool big = false;
  bool extendedCount = false;   // e_shnum 0, the count in section 0's size
  bool extendedStrndx = false;  // e_shstrndx SHN_XINDEX, the index in section 0's link
  std::vector<Section> sections;

  Bytes bytes;
  std::size_t shoff = 0, entsize = 0, shnum = 0, strndx = 0, strtabOffset = 0, strtabSize = 0;

  std::size_t HeaderOf(std::size_t index) const { return shoff + index * entsize; }
  // Byte offsets of section header fields.
  std::size_t NameField(std::size_t i) const { return HeaderOf(i); }
  std::size_t TypeField(std::size_t i) const { return HeaderOf(i) + 4; }
  std::size_t OffsetField(std::size_t i) const { return HeaderOf(i) + (wide ? 24 : 16); }
  std::size_t SizeField(std::size_t i) const { return HeaderOf(i) + (wide ? 32 : 20); }
  std::size_t LinkField(std::size_t i) const { return HeaderOf(i) + (wide ? 40 : 24); }
  std::size_t Width() const { return wide ? 8 : 4; }
  std::size_t ShoffField() const { return wide ? 0x28 : 0x20; }
  std::size_t ShentsizeField() const { return wide ? 0x3A : 0x2E; }
  std::size_t ShnumField() const { return wide ? 0x3C : 0x30; }
  std::size_t ShstrndxField() const { return wide ? 0x3E : 0x32; }

  const Bytes& Build() {
    bytes.assign(wide ? 64 : 52, 0);
    Writer w{bytes, big};
    std::memcpy(bytes.data(), "\x7F" "ELF", 4);
    bytes[4] = wide ? 2 : 1;
    bytes[5] = big ? 2 : 1;
    bytes[6] = 1;
    w.Put(16, 1, 2);  // relocatable
    w.Put(20, 1, 4);
    w.Put(wide ? 52 : 40, bytes.size(), 2);

    std::string strtab(1, '\0');
    std::vector<std::pair<std::size_t, std::size_t>> placed;  // offset, name
    for (const Section& s : sections) {
      placed.emplace_back(bytes.size(), strtab.size());
      strtab += s.name + '\0';
      if (s.type != 8) bytes.insert(bytes.end(), s.data.begin(), s.data.end());
    }
    std::size_t strtabName = strtab.size();
    strtab += ".shstrtab";
    strtab += '\0';
    strtabOffset = bytes.size();
    strtabSize = strtab.size();
    bytes.insert(bytes.end(), strtab.begin(), strtab.end());
    while (bytes.size() % 8) bytes.push_back(0);

    shoff = bytes.size();
    entsize = wide ? 64 : 40;
    shnum = sections.size() + 2;
    strndx = shnum - 1;
    bytes.resize(shoff + shnum * entsize, 0);
    auto header = [&](std::size_t i, uint64_t name, uint64_t type, uint64_t offset, uint64_t size) {
      w.Put(NameField(i), name, 4);
      w.Put(TypeField(i), type, 4);
      w.Put(OffsetField(i), offset, Width());
      w.Put(SizeField(i), size, Width());
    };
    for (std::size_t i = 0; i < sections.size(); ++i)
      header(i + 1, placed[i].second, sections[i].type, placed[i].first, sections[i].data.size());
    header(strndx, strtabName, 3, strtabOffset, strtabSize);

    w.Put(ShoffField(), shoff, Width());
    w.Put(ShentsizeField(), entsize, 2);
    w.Put(ShnumField(), extendedCount ? 0 : shnum, 2);
    w.Put(ShstrndxField(), extendedStrndx ? 0xFFFF : strndx, 2);
    if (extendedCount) w.Put(SizeField(0), shnum, Width());
    if (extendedStrndx) w.Put(LinkField(0), strndx, 4);
    return bytes;
  }
  void Put(std::size_t at, uint64_t value, std::size_t width) { Writer{bytes, big}.Put(at, value, width); }
};

const std::string kRecordText =
    "VISTEL-VERSION-RECORD 1\n"
    "FixedFileVersion 2.5.0.17\n"
    "FixedProductVersion 2.5.0.0\n"
    "Translation 0409 04B0\n"
    "Translation 0407 04E4\n"
    "String 040904B0 FileVersion=2.5.0.17\n"
    "String 040904B0 ProductName=Vistel test\n"
    "String 040704E4 FileVersion=zwei\n";

ElfImage ImageWithRecord(bool wide, bool big) {
  ElfImage image;
  image.wide = wide;
  image.big = big;
  image.sections = {{".text", 1, "\x90\x90\x90\x90"},
                    {".bss", 8, std::string(64, '\0')},
                    {".fileversion", 1, kRecordText + '\0'},
                    {".comment", 1, "made here"}};
  return image;
}
constexpr std::size_t kRecordSection = 3;  // index of ".fileversion" in ImageWithRecord

std::string Text(std::optional<std::span<const uint8_t>> section) {
  return section ? std::string(section->begin(), section->end()) : std::string("<none>");
}

TEST(VersionRecordFiles, TheBuildsOwnBinariesCarryTheProjectVersion) {
  struct Case {
    std::string path;
    const char* originalName;
  } cases[] = {{"/proc/self/exe", "platform_tests"}, {BinFolder() + "platform.so", "platform.so"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_GT(platform::GetFileVersionInfoSize(c.path), 0u);
    auto record = platform::ReadVersionRecord(c.path);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->Query(kFileVersionQuery), VISTEL_TEST_PROJECT_VERSION);
    EXPECT_EQ(record->Query("\\"), VISTEL_TEST_PROJECT_VERSION);
    EXPECT_EQ(record->Query("\\VarFileInfo\\Translation"), "040904B0");
    EXPECT_EQ(record->Query("\\StringFileInfo\\040904b0\\OriginalFilename"), c.originalName);
    EXPECT_EQ(record->Query("\\StringFileInfo\\040904B0\\ProductName"), "Vistel");
  }
}

TEST(VersionRecordFiles, FilesWithoutARecordHaveSizeZero) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("text.txt"), "VISTEL-VERSION-RECORD 1\nFixedFileVersion 1.0.0.1\n");
  testsupport::WriteFile(dir.File("empty"), "");
  ElfImage plain;
  plain.sections = {{".text", 1, "code"}};
  WriteBytes(dir.File("plain.o"), plain.Build());
  ElfImage notRecord;
  notRecord.sections = {{".fileversion", 1, std::string("hello\0", 6)}};
  WriteBytes(dir.File("other.o"), notRecord.Build());
  ElfImage oversized;
  oversized.sections = {{".fileversion", 1, "VISTEL-VERSION-RECORD 1\n" + std::string(1 << 20, ' ')}};
  WriteBytes(dir.File("oversized.o"), oversized.Build());
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  {
    // Sparse, so it costs no space: over the size limit by one byte.
    int fd = open(dir.File("huge").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (off_t{1} << 30) + 1), 0);
    close(fd);
  }
  for (const char* name : {"text.txt", "empty", "plain.o", "other.o", "oversized.o", "fifo", "huge", "missing", ""}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform::GetFileVersionInfoSize(dir.File(name)), 0u);
    EXPECT_FALSE(platform::ReadVersionRecord(dir.File(name)).has_value());
  }
}

TEST(VersionRecordElf, FindsTheSectionInEveryClassAndByteOrder) {
  testsupport::TempDir dir;
  for (bool wide : {false, true})
    for (bool big : {false, true})
      for (int extended = 0; extended < 4; ++extended) {
        SCOPED_TRACE(testing::Message() << (wide ? "ELF64 " : "ELF32 ") << (big ? "big" : "little")
                                        << " extended " << extended);
        ElfImage image = ImageWithRecord(wide, big);
        image.extendedCount = extended & 1;
        image.extendedStrndx = extended & 2;
        const Bytes& bytes = image.Build();
        EXPECT_EQ(Text(platform::FindVersionSection(bytes)), kRecordText + '\0');
        WriteBytes(dir.File("image.o"), bytes);
        EXPECT_EQ(platform::GetFileVersionInfoSize(dir.File("image.o")), kRecordText.size() + 1);
        auto record = platform::ReadVersionRecord(dir.File("image.o"));
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->Query(kFileVersionQuery), "2.5.0.17");
      }
}

TEST(VersionRecordElf, LyingSectionTablesGiveNothing) {
  struct Case {
    const char* what;
    std::function<void(ElfImage&)> lie;
  } cases[] = {
      {"name offset past the string table",
       [](ElfImage& e) { e.Put(e.NameField(kRecordSection), e.strtabSize, 4); }},
      {"name offset far past the string table",
       [](ElfImage& e) { e.Put(e.NameField(kRecordSection), 0xFFFFFFFF, 4); }},
      {"string table not NUL-terminated", [](ElfImage& e) { e.bytes[e.strtabOffset + e.strtabSize - 1] = 'x'; }},
      {"string table past the end", [](ElfImage& e) { e.Put(e.SizeField(e.strndx), e.bytes.size(), e.Width()); }},
      {"string table without bytes", [](ElfImage& e) { e.Put(e.TypeField(e.strndx), 8, 4); }},
      {"section without bytes", [](ElfImage& e) { e.Put(e.TypeField(kRecordSection), 8, 4); }},
      {"section offset past the end",
       [](ElfImage& e) { e.Put(e.OffsetField(kRecordSection), e.bytes.size() + 1, e.Width()); }},
      {"section size past the end",
       [](ElfImage& e) { e.Put(e.SizeField(kRecordSection), e.bytes.size(), e.Width()); }},
      {"section offset + size wraps",
       [](ElfImage& e) { e.Put(e.SizeField(kRecordSection), ~uint64_t{0} >> (e.wide ? 0 : 32), e.Width()); }},
      {"string table index out of range", [](ElfImage& e) { e.Put(e.ShstrndxField(), e.shnum, 2); }},
      {"string table index reserved", [](ElfImage& e) { e.Put(e.ShstrndxField(), 0xFF00, 2); }},
      {"string table index 0", [](ElfImage& e) { e.Put(e.ShstrndxField(), 0, 2); }},
      {"extended index out of range",
       [](ElfImage& e) {
         e.Put(e.ShstrndxField(), 0xFFFF, 2);
         e.Put(e.LinkField(0), 0xFFFFFFFF, 4);
       }},
      {"extended count 0", [](ElfImage& e) { e.Put(e.ShnumField(), 0, 2); }},
      {"extended count past the end",
       [](ElfImage& e) {
         e.Put(e.ShnumField(), 0, 2);
         e.Put(e.SizeField(0), e.shnum + 1, e.Width());
       }},
      {"entry size too small", [](ElfImage& e) { e.Put(e.ShentsizeField(), e.entsize - 1, 2); }},
      {"entry size too large", [](ElfImage& e) { e.Put(e.ShentsizeField(), e.entsize + 8, 2); }},
      {"no section table", [](ElfImage& e) { e.Put(e.ShoffField(), 0, e.Width()); }},
      {"bad class", [](ElfImage& e) { e.bytes[4] = 3; }},
      {"bad byte order", [](ElfImage& e) { e.bytes[5] = 0; }},
  };
  for (bool wide : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (wide ? "ELF64: " : "ELF32: ") << c.what);
      ElfImage image = ImageWithRecord(wide, wide);
      image.Build();
      ASSERT_TRUE(platform::FindVersionSection(image.bytes).has_value());
      c.lie(image);
      EXPECT_FALSE(platform::FindVersionSection(image.bytes).has_value()) << Text(platform::FindVersionSection(image.bytes));
    }
}

// Offsets in the build's platform.so, an ELF64 little-endian image on the
// usual build hosts; read here independently of the reader under test.
struct RealImage {
  Bytes bytes;
  uint64_t shoff = 0;
  uint16_t shnum = 0, strndx = 0;
  std::size_t versionHeader = 0;  // offset of the ".fileversion" section header
  uint64_t strtabSize = 0;

  template <typename T>
  T At(std::size_t offset) const {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
  }
  bool Load() {
    bytes = ReadBytes(BinFolder() + "platform.so");
    if (bytes.size() < 64 || bytes[4] != 2 || bytes[5] != 1) return false;
    shoff = At<uint64_t>(0x28);
    shnum = At<uint16_t>(0x3C);
    strndx = At<uint16_t>(0x3E);
    uint64_t strtabOffset = At<uint64_t>(shoff + strndx * 64u + 24);
    strtabSize = At<uint64_t>(shoff + strndx * 64u + 32);
    for (uint16_t i = 1; i < shnum; ++i) {
      uint32_t name = At<uint32_t>(shoff + i * 64u);
      if (std::strcmp(reinterpret_cast<const char*>(bytes.data() + strtabOffset + name), ".fileversion") == 0)
        versionHeader = shoff + i * 64u;
    }
    return versionHeader != 0;
  }
  void Put(std::size_t at, uint64_t value, std::size_t width) { Writer{bytes, false}.Put(at, value, width); }
};

TEST(VersionRecordElf, TruncatedAndLyingCopiesOfARealBinaryGiveNothing) {
  RealImage real;
  if (!real.Load()) GTEST_SKIP() << "not an ELF64 little-endian build";
  ASSERT_TRUE(platform::FindVersionSection(real.bytes).has_value());

  std::vector<std::pair<std::string, Bytes>> broken;
  for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{16}, std::size_t{63}, std::size_t{64},
                          static_cast<std::size_t>(real.shoff), static_cast<std::size_t>(real.shoff) + 100,
                          real.versionHeader + 30, real.bytes.size() - 1})
    broken.emplace_back("cut at " + std::to_string(cut),
                        Bytes(real.bytes.begin(), real.bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
  struct Lie {
    const char* what;
    std::size_t at;
    uint64_t value;
    std::size_t width;
  } lies[] = {
      {"e_shoff past the end", 0x28, real.bytes.size() + 1, 8},
      {"e_shoff at the last byte", 0x28, real.bytes.size() - 1, 8},
      {"e_shoff huge", 0x28, ~uint64_t{0} - 8, 8},
      {"huge e_shnum", 0x3C, 0xFEFF, 2},
      {"e_shstrndx SHN_XINDEX without extension", 0x3E, 0xFFFF, 2},
      {"name offset outside the string table", real.versionHeader, real.strtabSize + 1, 4},
      {"section offset huge", real.versionHeader + 24, ~uint64_t{0} - 4, 8},
  };
  for (const Lie& lie : lies) {
    RealImage copy = real;
    copy.Put(lie.at, lie.value, lie.width);
    broken.emplace_back(lie.what, std::move(copy.bytes));
  }
  testsupport::TempDir dir;
  for (const auto& [what, bytes] : broken) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(platform::FindVersionSection(bytes).has_value());
    WriteBytes(dir.File("broken"), bytes);
    EXPECT_EQ(platform::GetFileVersionInfoSize(dir.File("broken")), 0u);
  }
}

TEST(VersionRecordText, HostileTextsGiveNothingOrAValidPartialRecord) {
  const std::string head = "VISTEL-VERSION-RECORD 1\n";
  std::string manyStrings = head;
  for (int i = 0; i < 5000; ++i) manyStrings += "String 040904B0 N" + std::to_string(i) + "=v\n";
  std::string manyTranslations = head;
  for (int i = 0; i < 5000; ++i) manyTranslations += "Translation 0409 04B0\n";
  struct Case {
    const char* what;
    std::string text;
    bool valid;
    const char* query;
    const char* answer;  // null: absent
  } cases[] = {
      {"empty", "", false, "\\", nullptr},
      {"wrong version", "VISTEL-VERSION-RECORD 2\n", false, "\\", nullptr},
      {"wrong case", "vistel-version-record 1\n", false, "\\", nullptr},
      {"leading blank line", "\n" + head, false, "\\", nullptr},
      {"NUL inside the first line", "VISTEL-VERSION\0-RECORD 1\n"s, false, "\\", nullptr},
      {"first line only, no newline", "VISTEL-VERSION-RECORD 1", true, "\\", "0.0.0.0"},
      {"CR LF lines", "VISTEL-VERSION-RECORD 1\r\nFixedFileVersion 1.2.3.4\r\n", true, "\\", "1.2.3.4"},
      {"largest parts", head + "FixedFileVersion 65535.0.65535.7\n", true, "\\", "65535.0.65535.7"},
      {"part too large", head + "FixedFileVersion 65536.1.1.1\n", true, "\\", "0.0.0.0"},
      {"part overflowing 64 bits", head + "FixedFileVersion 99999999999999999999999.1.1.1\n", true, "\\",
       "0.0.0.0"},
      {"three parts", head + "FixedFileVersion 1.2.3\n", true, "\\", "0.0.0.0"},
      {"five parts", head + "FixedFileVersion 1.2.3.4.5\n", true, "\\", "0.0.0.0"},
      {"empty part", head + "FixedFileVersion 1..3.4\n", true, "\\", "0.0.0.0"},
      {"sign", head + "FixedFileVersion -1.2.3.4\n", true, "\\", "0.0.0.0"},
      {"later line wins", head + "FixedFileVersion 1.0.0.0\nFixedFileVersion 3.0.0.0\n", true, "\\", "3.0.0.0"},
      {"text ends at NUL", head + "FixedFileVersion 1.2.3.4\n\0FixedFileVersion 9.9.9.9\n"s, true, "\\", "1.2.3.4"},
      {"translation lower-case hex", head + "Translation 0409 04b0\n", true, "\\VarFileInfo\\Translation",
       "040904B0"},
      {"translation short field", head + "Translation 409 04B0\n", true, "\\VarFileInfo\\Translation", nullptr},
      {"translation not hex", head + "Translation 04G9 04B0\n", true, "\\VarFileInfo\\Translation", nullptr},
      {"translation one field", head + "Translation 0409\n", true, "\\VarFileInfo\\Translation", nullptr},
      {"translation extra field", head + "Translation 0409 04B0 1\n", true, "\\VarFileInfo\\Translation",
       nullptr},
      {"value holding '='", head + "String 040904B0 A=b=c\n", true, "\\StringFileInfo\\040904B0\\A", "b=c"},
      {"empty value", head + "String 040904B0 A=\n", true, "\\StringFileInfo\\040904B0\\A", ""},
      {"empty name", head + "String 040904B0 =x\n", true, "\\StringFileInfo\\040904B0\\", nullptr},
      {"no '='", head + "String 040904B0 A\n", true, "\\StringFileInfo\\040904B0\\A", nullptr},
      {"short block", head + "String 0409 A=x\n", true, "\\StringFileInfo\\0409\\A", nullptr},
      {"block not hex", head + "String 0409X4B0 A=x\n", true, "\\StringFileInfo\\0409X4B0\\A", nullptr},
      {"unknown lines", head + "Colour blue\n\n   \nString 040904B0 A=x\n", true, "\\StringFileInfo\\040904B0\\A",
       "x"},
      {"binary after the first line", head + "\xFF\xFE\x01\x02\n\x80String"s, true, "\\",
       "0.0.0.0"},
      {"strings beyond the cap are dropped", manyStrings, true, "\\StringFileInfo\\040904B0\\N4000", nullptr},
      {"strings within the cap are kept", manyStrings, true, "\\StringFileInfo\\040904B0\\N10", "v"},
      {"many translations", manyTranslations, true, "\\VarFileInfo\\Translation", "040904B0"},
      {"one very long line", head + "String 040904B0 Long=" + std::string(1 << 20, 'z'), true,
       "\\StringFileInfo\\040904B0\\Other", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto record = platform::ParseVersionRecord(Span(c.text));
    ASSERT_EQ(record.has_value(), c.valid);
    if (!record) continue;
    EXPECT_LE(record->strings.size(), 1000u);
    EXPECT_LE(record->translations.size(), 1000u);
    auto answer = record->Query(c.query);
    if (c.answer) {
      EXPECT_EQ(answer, std::string(c.answer));
    } else {
      EXPECT_FALSE(answer.has_value()) << *answer;
    }
  }
}

TEST(VersionRecordText, Queries) {
  auto record = platform::ParseVersionRecord(Span(kRecordText));
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->productVersion, (std::array<uint16_t, 4>{2, 5, 0, 0}));
  struct Case {
    const char* path;
    const char* answer;
  } cases[] = {
      {"\\", "2.5.0.17"},
      {"\\VarFileInfo\\Translation", "040904B0"},
      {"\\varfileinfo\\translation", "040904B0"},
      {"\\StringFileInfo\\040904B0\\FileVersion", "2.5.0.17"},
      {"\\StringFileInfo\\040904b0\\ProductName", "Vistel test"},
      {"\\StringFileInfo\\040704E4\\FileVersion", "zwei"},
      {"\\StringFileInfo\\040904B0\\fileversion", nullptr},
      {"\\StringFileInfo\\040904B0\\FileVersion\\", nullptr},
      {"\\StringFileInfo\\040904B0", nullptr},
      {"\\StringFileInfo", nullptr},
      {"\\StringFileInfo\\04090000\\FileVersion", nullptr},
      {"\\VarFileInfo", nullptr},
      {"StringFileInfo\\040904B0\\FileVersion", nullptr},
      {"", nullptr},
      {"\\\\", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto answer = record->Query(c.path);
    if (c.answer) {
      EXPECT_EQ(answer, std::string(c.answer));
    } else {
      EXPECT_FALSE(answer.has_value()) << *answer;
    }
  }
  platform::VersionRecord empty;
  EXPECT_FALSE(empty.Query("\\VarFileInfo\\Translation").has_value());
}

}  // namespace
