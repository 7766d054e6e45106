#include "shell/belv_cmd_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

struct Case {
  const char* name;
  Strings args;  // after the program name
  int32_t kind = CBelvCmdLine::kRequestNone;
  uint32_t command = 0;
  Strings given;  // switches present after parsing
  std::string job, readCond, scanFile, scanFileType;
  bool fileListFlag = false;
  Strings files;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name << ' ' << testing::PrintToString(c.args); }

Strings WithProgram(const Strings& args) {
  Strings all{"/opt/vistel/Vistel"};
  all.insert(all.end(), args.begin(), args.end());
  return all;
}

Strings GivenSwitches(const CBelvCmdLine& c) {
  const bool has[] = {c.HasHelp(),         c.HasScan(), c.HasJob(),  c.HasReadCond(), c.HasScanFile(),
                      c.HasScanFileType(), c.HasExit(), c.HasBarCode()};
  Strings given;
  for (std::size_t i = 0; i < CBelvCmdLine::kSwitchNames.size(); ++i) {
    if (has[i]) given.emplace_back(CBelvCmdLine::kSwitchNames[i]);
  }
  return given;
}

void ExpectDecided(const CBelvCmdLine& c, const Case& k) {
  EXPECT_EQ(c.RequestKind(), k.kind);
  EXPECT_EQ(shell::CmdLineStartCommand(c), k.command);
  EXPECT_EQ(GivenSwitches(c), k.given);
  EXPECT_EQ(c.JobSettingName(), k.job);
  EXPECT_EQ(c.ScanSettingName(), k.readCond);
  EXPECT_EQ(c.ScanFile(), k.scanFile);
  EXPECT_EQ(c.ScanFileType(), k.scanFileType);
  EXPECT_FALSE(c.HasBarCode());
  EXPECT_EQ(c.BarCodeValue(), "");
  EXPECT_EQ(c.HasFileList(), k.fileListFlag);
  EXPECT_EQ(c.FileList(), k.files);
}

class CmdLineTable : public testing::TestWithParam<Case> {};

// Through the whole-line entry, as the application calls it.
TEST_P(CmdLineTable, ParseCommandLine) {
  CBelvCmdLine c;
  c.ParseCommandLine(WithProgram(GetParam().args));
  ExpectDecided(c, GetParam());
  EXPECT_EQ(c.Tokens().size(), GetParam().args.size());
}

// Token by token through the per-token entry: the same decision.
TEST_P(CmdLineTable, ParseParamPerToken) {
  const Case& k = GetParam();
  CBelvCmdLine c;
  for (std::size_t i = 0; i < k.args.size(); ++i) {
    CBelvCmdLine::Token t = CBelvCmdLine::SplitArgument(k.args[i]);
    c.ParseParam(t.text, t.isSwitch != 0, i + 1 == k.args.size());
  }
  ExpectDecided(c, k);
}

const uint32_t kScan = CBelvCmdLine::kCommandScan;
const uint32_t kOpen = CBelvCmdLine::kCommandOpen;
const int32_t kNone = CBelvCmdLine::kRequestNone;
const int32_t kScanKind = CBelvCmdLine::kRequestScan;
const int32_t kOpenKind = CBelvCmdLine::kRequestOpenFiles;

const Case kCases[] = {
    {.name = "NoArguments", .args = {}},
    {.name = "OpensTwoFiles", .args = {"a.tif", "b.tif"}, .kind = kOpenKind, .command = kOpen,
     .fileListFlag = true, .files = {"a.tif", "b.tif"}},
    {.name = "HelpBlocksOpening", .args = {"/Help", "a.tif"}, .given = {"Help"}},
    {.name = "ScanLetterExit", .args = {"/Scan", "/ReadCond", "Letter", "/Exit"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "ReadCond", "Exit"}, .readCond = "Letter"},
    {.name = "JobWithoutName", .args = {"/Job", "/Scan"}, .kind = kScanKind, .command = kScan,
     .given = {"Scan", "Job"}},
    {.name = "ReadCondValueIsASwitch", .args = {"/ReadCond", "/Scan"}, .kind = kScanKind, .command = kScan,
     .given = {"Scan", "ReadCond"}},
    {.name = "BarCodeDropped", .args = {"/BarCode", "123", "a.tif"}},
    {.name = "BarCodeAloneAsksNothing", .args = {"/BarCode"}},
    {.name = "EverySwitchWithValues",
     .args = {"/Job", "Batch", "/ReadCond", "Letter", "/Scan", "/ScanFile", "out.tif", "/ScanFileType", "tif",
              "/Exit", "/BarCode", "X1", "/Help"},
     .kind = kScanKind, .command = kScan,
     .given = {"Help", "Scan", "Job", "ReadCond", "ScanFile", "ScanFileType", "Exit"},
     .job = "Batch", .readCond = "Letter", .scanFile = "out.tif", .scanFileType = "tif"},
    // Where a switch stands on the line does not matter.
    {.name = "ScanLastOfAll",
     .args = {"/Exit", "/ScanFileType", "pdf", "/ScanFile", "out.pdf", "/Job", "J", "/Scan"},
     .kind = kScanKind, .command = kScan, .given = {"Scan", "Job", "ScanFile", "ScanFileType", "Exit"},
     .job = "J", .scanFile = "out.pdf", .scanFileType = "pdf"},
    {.name = "FirstOccurrenceCounts", .args = {"/ReadCond", "A", "/ReadCond", "B", "/Scan", "/Job", "J1", "/Job"},
     .kind = kScanKind, .command = kScan, .given = {"Scan", "Job", "ReadCond"}, .job = "J1", .readCond = "A"},
    {.name = "FirstOccurrenceWithoutValue", .args = {"/ReadCond", "/ReadCond", "B", "/Scan"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "ReadCond"}},
    {.name = "ValueMissingAtEnd", .args = {"/Scan", "/ScanFile"}, .kind = kScanKind, .command = kScan,
     .given = {"Scan", "ScanFile"}},
    {.name = "ValueWithoutScanAsksNothing", .args = {"/ReadCond", "Letter"}, .given = {"ReadCond"},
     .readCond = "Letter"},
    // A value is a plain token even when it spells a switch name.
    {.name = "ValueSpellsSwitchName", .args = {"/ReadCond", "Scan"}, .given = {"ReadCond"}, .readCond = "Scan"},
    {.name = "SwitchAsValueStillCounts", .args = {"/Scan", "/ScanFile", "/Exit"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "ScanFile", "Exit"}},
    // "/" begins absolute paths: a switch only for the eight names.
    {.name = "AbsolutePathAsValue", .args = {"/Scan", "/ScanFile", "/home/u/out.pdf", "/ScanFileType", "pdf"},
     .kind = kScanKind, .command = kScan, .given = {"Scan", "ScanFile", "ScanFileType"},
     .scanFile = "/home/u/out.pdf", .scanFileType = "pdf"},
    {.name = "AbsolutePathsOpened", .args = {"/home/u/a.tif", "/Scanner", "/scan.tif", "/"}, .kind = kOpenKind,
     .command = kOpen, .fileListFlag = true, .files = {"/home/u/a.tif", "/Scanner", "/scan.tif", "/"}},
    {.name = "DashSwitches", .args = {"-scan", "-READCOND", "Letter", "-eXiT"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "ReadCond", "Exit"}, .readCond = "Letter"},
    {.name = "SlashSwitchesIgnoreCase", .args = {"/SCAN", "/readcond", "Letter", "/job", "J"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "Job", "ReadCond"}, .job = "J", .readCond = "Letter"},
    // "-" always makes a switch; an unknown one neither blocks opening nor is opened.
    {.name = "UnknownDashSwitchSkipped", .args = {"-geometry", "a.tif", "-x.tif"}, .kind = kOpenKind,
     .command = kOpen, .fileListFlag = true, .files = {"a.tif"}},
    {.name = "UnknownDashSwitchIsNoValue", .args = {"/Scan", "/ReadCond", "-Letter"}, .kind = kScanKind,
     .command = kScan, .given = {"Scan", "ReadCond"}},
    {.name = "SwitchNamePrefixIsNoSwitch", .args = {"-Sca", "-ScanFiles", "x"}, .kind = kOpenKind,
     .command = kOpen, .fileListFlag = true, .files = {"x"}},
    {.name = "FileNamesWithSpaces", .args = {"/home/u/My Scans/page 1.tif", "b c.tif"}, .kind = kOpenKind,
     .command = kOpen, .fileListFlag = true, .files = {"/home/u/My Scans/page 1.tif", "b c.tif"}},
    {.name = "ValueWithSpaces", .args = {"/Scan", "/ReadCond", "A4 Duplex 300", "/ScanFile", "/tmp/my out.tif"},
     .kind = kScanKind, .command = kScan, .given = {"Scan", "ReadCond", "ScanFile"},
     .readCond = "A4 Duplex 300", .scanFile = "/tmp/my out.tif"},
    {.name = "EmptyTokens", .args = {"", "a.tif", "-"}, .kind = kOpenKind, .command = kOpen, .fileListFlag = true,
     .files = {"", "a.tif"}},
    {.name = "EmptyValue", .args = {"/Scan", "/Job", ""}, .kind = kScanKind, .command = kScan,
     .given = {"Scan", "Job"}},
    {.name = "NonUtf8Bytes", .args = {"/Sc\xe1n", "\xff\xfe.tif", "-Scan\xc3"}, .kind = kOpenKind,
     .command = kOpen, .fileListFlag = true, .files = {"/Sc\xe1n", "\xff\xfe.tif"}},
    {.name = "HelpDoesNotStopScan", .args = {"/Help", "/Scan"}, .kind = kScanKind, .command = kScan,
     .given = {"Help", "Scan"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, CmdLineTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(CmdLineTokens, KeepOrderAndLoseOnlyTheSwitchCharacter) {
  CBelvCmdLine c;
  c.ParseCommandLine({"Vistel", "/ScanFile", "/home/a.tif", "-Exit", "-x", "b"});
  const std::vector<CBelvCmdLine::Token> expected = {
      {1, "ScanFile"}, {0, "/home/a.tif"}, {1, "Exit"}, {1, "x"}, {0, "b"}};
  EXPECT_EQ(c.Tokens(), expected);
}

class CmdLineParsed : public testing::Test {
 protected:
  CBelvCmdLine Parsed(const Strings& args) {
    CBelvCmdLine c;
    c.ParseCommandLine(WithProgram(args));
    return c;
  }
};

TEST_F(CmdLineParsed, ResetClearsTheRequestButKeepsFileListAndTokens) {
  CBelvCmdLine scan = Parsed({"/Job", "J", "/ReadCond", "R", "/Scan", "/ScanFile", "f", "/ScanFileType", "pdf",
                              "/Exit", "/Help"});
  scan.Reset();
  EXPECT_EQ(scan.RequestKind(), CBelvCmdLine::kRequestNone);
  EXPECT_EQ(GivenSwitches(scan), Strings{});
  EXPECT_EQ(scan.JobSettingName() + scan.ScanSettingName() + scan.ScanFile() + scan.ScanFileType(), "");
  EXPECT_EQ(shell::CmdLineStartCommand(scan), 0u);
  EXPECT_EQ(scan.Tokens().size(), 11u);

  CBelvCmdLine open = Parsed({"a.tif", "b.tif"});
  open.Reset();
  EXPECT_EQ(open.RequestKind(), CBelvCmdLine::kRequestNone);
  EXPECT_FALSE(open.HasFileList());
  EXPECT_EQ(open.FileList(), (Strings{"a.tif", "b.tif"}));
  EXPECT_EQ(shell::CmdLineStartCommand(open), 0u);
}

TEST_F(CmdLineParsed, StartupScanCopiesNamesAndJobMode) {
  struct Row {
    Strings args;
    std::optional<shell::CmdLineScanStart> expected;
  } rows[] = {
      {{"/Scan", "/ReadCond", "Letter", "/Exit"}, shell::CmdLineScanStart{"Letter", "", false}},
      {{"/Job", "/Scan"}, shell::CmdLineScanStart{"", "", true}},
      {{"/Scan", "/Job", "Batch", "/ReadCond", "A4"}, shell::CmdLineScanStart{"A4", "Batch", true}},
      // No scan asked: nothing is copied and the stored job mode stays.
      {{"/Job", "Batch", "/ReadCond", "A4"}, std::nullopt},
      {{"a.tif"}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(shell::CmdLineStartupScan(Parsed(row.args)), row.expected) << testing::PrintToString(row.args);
  }
}

TEST_F(CmdLineParsed, OpenCommandTakesTheFilesOnce) {
  CBelvCmdLine c = Parsed({"/home/u/a b.tif", "c.tif"});
  EXPECT_EQ(shell::TakeCmdLineFiles(c), (Strings{"/home/u/a b.tif", "c.tif"}));
  EXPECT_EQ(c.RequestKind(), CBelvCmdLine::kRequestNone);
  EXPECT_FALSE(c.HasFileList());
  // A later Open shows its dialog again.
  EXPECT_EQ(shell::TakeCmdLineFiles(c), std::nullopt);
  EXPECT_EQ(shell::CmdLineStartCommand(c), 0u);
}

TEST_F(CmdLineParsed, OpenCommandLeavesAScanRequestAlone) {
  CBelvCmdLine c = Parsed({"/Scan", "/ReadCond", "Letter"});
  EXPECT_EQ(shell::TakeCmdLineFiles(c), std::nullopt);
  EXPECT_EQ(c.RequestKind(), CBelvCmdLine::kRequestScan);
  EXPECT_EQ(c.ScanSettingName(), "Letter");
}

TEST_F(CmdLineParsed, FinishedScanResetsAndAsksForExitOnlyWhenGiven) {
  CBelvCmdLine withExit = Parsed({"/Scan", "/ReadCond", "Letter", "/Exit"});
  EXPECT_EQ(shell::FinishCmdLineScan(withExit), CBelvCmdLine::kCommandExit);
  EXPECT_EQ(withExit.RequestKind(), CBelvCmdLine::kRequestNone);
  EXPECT_FALSE(withExit.HasExit());
  EXPECT_EQ(shell::CmdLineStartCommand(withExit), 0u);

  CBelvCmdLine noExit = Parsed({"/Scan", "/ScanFile", "out.tif"});
  EXPECT_EQ(shell::FinishCmdLineScan(noExit), 0u);
  EXPECT_EQ(noExit.RequestKind(), CBelvCmdLine::kRequestNone);
  EXPECT_EQ(noExit.ScanFile(), "");
}

// Hostile lines: many tokens and very long ones are handled in linear time
// and kept whole.
TEST_F(CmdLineParsed, HugeLinesStayLinearAndWhole) {
  const std::size_t count = 200000;
  Strings many(count, "page.tif");
  many.back() = "/Scan";
  Strings longValue = {"/ScanFile", std::string(1 << 20, 'x'), "/Scan"};

  auto start = std::chrono::steady_clock::now();
  CBelvCmdLine scan = Parsed(many);
  CBelvCmdLine open = Parsed(Strings(count, "page.tif"));
  CBelvCmdLine longOne = Parsed(longValue);
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(scan.RequestKind(), CBelvCmdLine::kRequestScan);
  EXPECT_TRUE(scan.FileList().empty());
  EXPECT_EQ(open.FileList().size(), count);
  EXPECT_EQ(longOne.ScanFile().size(), std::size_t{1} << 20);
  // Generous even for sanitizer builds; a quadratic search takes minutes.
  EXPECT_LT(seconds, 20.0);
}

}  // namespace
