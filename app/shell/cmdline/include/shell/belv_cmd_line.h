// CBelvCmdLine: the program's command line. Another program starts Vistel
// to scan unattended or to open image files; this object collects every
// token and, at the last one, decides what was asked. The application, the
// main frame, the scan command and the open command read the result.
//
//   Switch          Value        Effect
//   Help            none         accepted; no action
//   Scan            none         request kind 1: scan after start
//   Job             next token   job mode on; the value names the job setting
//   ReadCond        next token   names the scan setting
//   ScanFile        next token   output file of the scan
//   ScanFileType    next token   "tif" or "pdf"
//   Exit            none         close the program after the scan
//   BarCode         next token   accepted and discarded
//
// A token beginning with "-" is a switch. One beginning with "/" is a switch
// only when the rest is one of the eight names, because "/" also begins every
// absolute path here: "/Scan" is a switch, "/home/a.tif" a file. Names match
// ignoring ASCII case. Any other token is plain. With none of the eight
// switches given, every plain token is a file to open (request kind 2);
// once a switch is given, plain tokens are only switch values.
//
// Plain C++ (no Qt): the caller hands over QCoreApplication::arguments() as
// UTF-8 strings. Tokens are taken as bytes; nothing about them is trusted.
// Runs on the GUI thread.
//
// Free helpers (namespace shell), pure functions of the parsed state:
//   CmdLineStartCommand   the command the main frame posts at creation
//   CmdLineStartupScan    what start-up copies from a scan request
//   TakeCmdLineFiles      the open command's files, resetting the request
//   FinishCmdLineScan     reset after a completed scan, and the Exit command
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CBelvCmdLine {
 public:
  // Request kinds.
  static constexpr int32_t kRequestNone = 0;
  static constexpr int32_t kRequestScan = 1;
  static constexpr int32_t kRequestOpenFiles = 2;

  // Command ids the command line leads to.
  static constexpr uint32_t kCommandScan = 32809;   // "Scan"
  static constexpr uint32_t kCommandOpen = 32826;   // "Open..."
  static constexpr uint32_t kCommandExit = 57665;   // "Exit Application"

  // The switch names in the order they are looked for.
  static constexpr std::array<std::string_view, 8> kSwitchNames = {
      "Help", "Scan", "Job", "ReadCond", "ScanFile", "ScanFileType", "Exit", "BarCode"};

  // One collected token: its text without the switch character.
  struct Token {
    int32_t isSwitch = 0;
    std::string text;
    bool operator==(const Token&) const = default;
  };

  // True when name is one of the eight switch names, ignoring ASCII case.
  static bool IsSwitchName(std::string_view name) noexcept;
  // Classifies one command-line argument as it was typed.
  static Token SplitArgument(std::string_view argument);

  // Parses a whole command line. arguments[0] is the program, as
  // QCoreApplication::arguments() gives it; the rest are the tokens. With
  // no token nothing is asked (request kind 0). Meant to run once: a second
  // call adds its tokens to those held and decides again over all of them.
  void ParseCommandLine(const std::vector<std::string>& arguments);
  // The per-token step: param is the token without its switch character,
  // isSwitch tells whether it had one; at the last token the request is
  // decided.
  void ParseParam(std::string_view param, bool isSwitch, bool isLast);

  // Clears the request kind, every switch flag and value and the file-list
  // flag. The file list and the tokens stay.
  void Reset() noexcept;

  int32_t RequestKind() const noexcept { return requestKind_; }
  bool HasHelp() const noexcept { return help_; }
  bool HasScan() const noexcept { return scan_; }
  bool HasJob() const noexcept { return job_; }
  bool HasReadCond() const noexcept { return readCond_; }
  bool HasScanFile() const noexcept { return scanFile_; }
  bool HasScanFileType() const noexcept { return scanFileType_; }
  bool HasExit() const noexcept { return exit_; }
  // Always false after parsing: a bar code is accepted and dropped.
  bool HasBarCode() const noexcept { return barCode_; }

  // Value after Job: the job setting to select (empty when none followed).
  const std::string& JobSettingName() const noexcept { return jobSettingName_; }
  // Value after ReadCond: the scan setting to select.
  const std::string& ScanSettingName() const noexcept { return scanSettingName_; }
  // Value after ScanFile: the output file of the scan.
  const std::string& ScanFile() const noexcept { return scanFileName_; }
  // Value after ScanFileType: "tif" or "pdf" as typed (checked by the scan).
  const std::string& ScanFileType() const noexcept { return scanFileTypeName_; }
  // Always empty after parsing.
  const std::string& BarCodeValue() const noexcept { return barCodeValue_; }

  bool HasFileList() const noexcept { return fileListFlag_; }
  // Plain tokens in command-line order, when no switch was given.
  const std::vector<std::string>& FileList() const noexcept { return fileList_; }
  // Every token in command-line order.
  const std::vector<Token>& Tokens() const noexcept { return tokens_; }

 private:
  void Decide();

  std::vector<Token> tokens_;
  int32_t requestKind_ = kRequestNone;
  bool scan_ = false;
  bool job_ = false;
  bool readCond_ = false;
  bool scanFile_ = false;
  bool scanFileType_ = false;
  bool exit_ = false;
  bool barCode_ = false;
  bool help_ = false;
  std::string jobSettingName_;
  std::string scanSettingName_;
  std::string scanFileName_;
  std::string scanFileTypeName_;
  std::string barCodeValue_;
  bool fileListFlag_ = false;
  std::vector<std::string> fileList_;
};

namespace shell {

// The command the main frame posts to itself while it is created:
// CBelvCmdLine::kCommandScan for a scan request, kCommandOpen for a request
// to open files that carries the file-list flag, 0 for nothing.
uint32_t CmdLineStartCommand(const CBelvCmdLine& cmdLine) noexcept;

// What start-up takes from a scan request: the two names for the
// application's command-line strings and job mode (on exactly when Job was
// given, overriding the stored setting). No value when no scan is asked,
// so the stored job mode stays.
struct CmdLineScanStart {
  std::string scanSettingName;
  std::string jobSettingName;
  bool jobMode = false;
  bool operator==(const CmdLineScanStart&) const = default;
};
std::optional<CmdLineScanStart> CmdLineStartupScan(const CBelvCmdLine& cmdLine);

// For the open command: when the command line asked to open files, returns
// its file list and resets the request, so the dialog is skipped once and
// later Open commands behave as without a command line. Otherwise no value
// and nothing changes.
std::optional<std::vector<std::string>> TakeCmdLineFiles(CBelvCmdLine& cmdLine);

// After a completed command-line scan: resets the request and returns
// CBelvCmdLine::kCommandExit when Exit was given (to be posted), else 0.
uint32_t FinishCmdLineScan(CBelvCmdLine& cmdLine) noexcept;

}  // namespace shell
