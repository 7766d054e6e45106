// libFuzzer target for the command-line parser. The input is the argument
// list after the program name, arguments separated by NUL bytes; any bytes
// at all may be in them. Both entry points must reach the same decision, and
// the decision must hold the rules every caller relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/belv_cmd_line.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameDecision(const CBelvCmdLine& a, const CBelvCmdLine& b) {
  return a.RequestKind() == b.RequestKind() && a.HasHelp() == b.HasHelp() && a.HasScan() == b.HasScan() &&
         a.HasJob() == b.HasJob() && a.HasReadCond() == b.HasReadCond() && a.HasScanFile() == b.HasScanFile() &&
         a.HasScanFileType() == b.HasScanFileType() && a.HasExit() == b.HasExit() &&
         a.JobSettingName() == b.JobSettingName() && a.ScanSettingName() == b.ScanSettingName() &&
         a.ScanFile() == b.ScanFile() && a.ScanFileType() == b.ScanFileType() &&
         a.HasFileList() == b.HasFileList() && a.FileList() == b.FileList() && a.Tokens() == b.Tokens();
}

bool AnySwitch(const CBelvCmdLine& c) {
  return c.HasHelp() || c.HasScan() || c.HasJob() || c.HasReadCond() || c.HasScanFile() || c.HasScanFileType() ||
         c.HasExit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments{"Vistel"};
  while (!rest.empty()) {
    std::size_t nul = rest.find('\0');
    arguments.emplace_back(rest.substr(0, nul));
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  }

  CBelvCmdLine whole;
  whole.ParseCommandLine(arguments);
  CBelvCmdLine perToken;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    CBelvCmdLine::Token t = CBelvCmdLine::SplitArgument(arguments[i]);
    perToken.ParseParam(t.text, t.isSwitch != 0, i + 1 == arguments.size());
  }
  Check(SameDecision(whole, perToken));

  const CBelvCmdLine& c = whole;
  Check(c.Tokens().size() == arguments.size() - 1);
  Check(!c.HasBarCode() && c.BarCodeValue().empty());
  Check(c.RequestKind() >= CBelvCmdLine::kRequestNone && c.RequestKind() <= CBelvCmdLine::kRequestOpenFiles);
  Check((c.RequestKind() == CBelvCmdLine::kRequestScan) == c.HasScan());
  if (c.RequestKind() == CBelvCmdLine::kRequestOpenFiles) {
    Check(!AnySwitch(c) && c.HasFileList());
    std::size_t plain = 0;
    for (const CBelvCmdLine::Token& t : c.Tokens()) {
      if (t.isSwitch == 0) Check(plain < c.FileList().size() && c.FileList()[plain++] == t.text);
    }
    Check(plain == c.FileList().size());
  } else {
    Check(!c.HasFileList() && c.FileList().empty());
  }
  // A value is only held when its switch is, and it is a plain token.
  Check(c.HasJob() || c.JobSettingName().empty());
  Check(c.HasReadCond() || c.ScanSettingName().empty());
  Check(c.HasScanFile() || c.ScanFile().empty());
  Check(c.HasScanFileType() || c.ScanFileType().empty());
  for (const std::string* value : {&c.JobSettingName(), &c.ScanSettingName(), &c.ScanFile(), &c.ScanFileType()}) {
    if (value->empty()) continue;
    bool plainToken = false;
    for (const CBelvCmdLine::Token& t : c.Tokens()) plainToken = plainToken || (t.isSwitch == 0 && t.text == *value);
    Check(plainToken);
  }

  uint32_t command = shell::CmdLineStartCommand(c);
  Check(command == (c.HasScan() ? CBelvCmdLine::kCommandScan : c.HasFileList() ? CBelvCmdLine::kCommandOpen : 0u));
  Check(shell::CmdLineStartupScan(c).has_value() == c.HasScan());

  CBelvCmdLine reset = c;
  bool exitGiven = reset.HasExit();
  Check(shell::FinishCmdLineScan(reset) == (exitGiven ? CBelvCmdLine::kCommandExit : 0u));
  Check(reset.RequestKind() == CBelvCmdLine::kRequestNone && !AnySwitch(reset) && !reset.HasFileList());
  Check(reset.FileList() == c.FileList() && reset.Tokens() == c.Tokens());
  Check(shell::CmdLineStartCommand(reset) == 0 && !shell::TakeCmdLineFiles(reset).has_value());
  return 0;
}
