// CBelvCmdLine: token collection, the decision at the last token, reset,
// and the helpers that turn the decision into commands.
#include "shell/belv_cmd_line.h"

#include <cstddef>
#include <iterator>

namespace {

char LowerAscii(char c) noexcept {
  // Bytes above 0x7F (UTF-8 or not) are left alone, so the comparison never
  // depends on the locale.
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// Index of the switch names in CBelvCmdLine::kSwitchNames.
enum SwitchIndex : std::size_t { kHelp, kScan, kJob, kReadCond, kScanFile, kScanFileType, kExit, kBarCode };

}  // namespace

bool CBelvCmdLine::IsSwitchName(std::string_view name) noexcept {
  for (std::string_view known : kSwitchNames) {
    if (EqualsIgnoringCase(name, known)) return true;
  }
  return false;
}

CBelvCmdLine::Token CBelvCmdLine::SplitArgument(std::string_view argument) {
  if (!argument.empty()) {
    std::string_view rest = argument.substr(1);
    if (argument.front() == '-' || (argument.front() == '/' && IsSwitchName(rest))) {
      return Token{1, std::string(rest)};
    }
  }
  return Token{0, std::string(argument)};
}

void CBelvCmdLine::ParseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) return;  // the program alone: nothing asked
  tokens_.reserve(tokens_.size() + arguments.size() - 1);
  // Same steps as ParseParam, without copying each token twice.
  for (std::size_t i = 1; i < arguments.size(); ++i) tokens_.push_back(SplitArgument(arguments[i]));
  Decide();
}

void CBelvCmdLine::ParseParam(std::string_view param, bool isSwitch, bool isLast) {
  tokens_.push_back(Token{isSwitch ? 1 : 0, std::string(param)});
  if (isLast) Decide();
}

void CBelvCmdLine::Decide() {
  Reset();
  fileList_.clear();

  bool* const flags[] = {&help_, &scan_, &job_, &readCond_, &scanFile_, &scanFileType_, &exit_, &barCode_};
  std::string* const values[] = {nullptr, nullptr, &jobSettingName_, &scanSettingName_,
                                 &scanFileName_, &scanFileTypeName_, nullptr, &barCodeValue_};
  static_assert(std::size(flags) == kSwitchNames.size() && std::size(values) == kSwitchNames.size());

  bool anySwitch = false;
  for (std::size_t s = 0; s < kSwitchNames.size(); ++s) {
    for (std::size_t t = 0; t < tokens_.size(); ++t) {
      if (tokens_[t].isSwitch == 0 || !EqualsIgnoringCase(tokens_[t].text, kSwitchNames[s])) continue;
      // The first occurrence counts; a value is the next token unless that
      // is a switch itself, and a missing value leaves the switch present.
      *flags[s] = true;
      anySwitch = true;
      if (values[s] != nullptr && t + 1 < tokens_.size() && tokens_[t + 1].isSwitch == 0) {
        *values[s] = tokens_[t + 1].text;
      }
      if (s == kScan) requestKind_ = kRequestScan;
      break;
    }
  }

  if (!anySwitch && !tokens_.empty()) {
    requestKind_ = kRequestOpenFiles;
    for (const Token& token : tokens_) {
      if (token.isSwitch == 0) fileList_.push_back(token.text);
    }
    fileListFlag_ = true;
  }

  barCode_ = false;
  barCodeValue_.clear();
}

void CBelvCmdLine::Reset() noexcept {
  requestKind_ = kRequestNone;
  help_ = scan_ = job_ = readCond_ = scanFile_ = scanFileType_ = exit_ = barCode_ = false;
  jobSettingName_.clear();
  scanSettingName_.clear();
  scanFileName_.clear();
  scanFileTypeName_.clear();
  barCodeValue_.clear();
  fileListFlag_ = false;
}

namespace shell {

uint32_t CmdLineStartCommand(const CBelvCmdLine& cmdLine) noexcept {
  switch (cmdLine.RequestKind()) {
    case CBelvCmdLine::kRequestScan:
      return CBelvCmdLine::kCommandScan;
    case CBelvCmdLine::kRequestOpenFiles:
      return cmdLine.HasFileList() ? CBelvCmdLine::kCommandOpen : 0;
    default:
      return 0;
  }
}

std::optional<CmdLineScanStart> CmdLineStartupScan(const CBelvCmdLine& cmdLine) {
  if (cmdLine.RequestKind() != CBelvCmdLine::kRequestScan) return std::nullopt;
  return CmdLineScanStart{cmdLine.ScanSettingName(), cmdLine.JobSettingName(), cmdLine.HasJob()};
}

std::optional<std::vector<std::string>> TakeCmdLineFiles(CBelvCmdLine& cmdLine) {
  if (cmdLine.RequestKind() != CBelvCmdLine::kRequestOpenFiles) return std::nullopt;
  std::vector<std::string> files = cmdLine.FileList();
  cmdLine.Reset();
  return files;
}

uint32_t FinishCmdLineScan(CBelvCmdLine& cmdLine) noexcept {
  // Exit must be read before the reset clears it.
  bool exitAfterScan = cmdLine.HasExit();
  cmdLine.Reset();
  return exitAfterScan ? CBelvCmdLine::kCommandExit : 0;
}

}  // namespace shell
