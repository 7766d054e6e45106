// AppData.ini: reading every key with its default and corrections, and the
// ordered shutdown writes.
#include "shell/app_settings.h"

#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ini.h"
#include "platform/langid.h"
#include "platform/paths.h"
#include "shell/work_folder.h"

namespace shell {
namespace {

namespace ini = platform::ini;

constexpr uint16_t kLangEnglishUs = 0x0409;
constexpr uint16_t kLangEnglishCanada = 0x1009;

// The eight width keys of Customize-Image, in the order they are written.
struct WidthKey {
  const char* key;
  double AppSettings::*member;
};
constexpr WidthKey kWidthKeys[] = {
    {"BorderRemoval-Left", &AppSettings::borderRemovalLeft},
    {"BorderRemoval-Right", &AppSettings::borderRemovalRight},
    {"BorderRemoval-Top", &AppSettings::borderRemovalTop},
    {"BorderRemoval-Bottom", &AppSettings::borderRemovalBottom},
    {"RemoveShadow-Left", &AppSettings::removeShadowLeft},
    {"RemoveShadow-Right", &AppSettings::removeShadowRight},
    {"RemoveShadow-Top", &AppSettings::removeShadowTop},
    {"RemoveShadow-Bottom", &AppSettings::removeShadowBottom},
};

// The "C" locale for the scope; the user default ("") afterwards, whatever
// the locale was before.
class CLocaleScope {
 public:
  CLocaleScope() { std::setlocale(LC_ALL, "C"); }
  ~CLocaleScope() { std::setlocale(LC_ALL, ""); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;
};

std::string Str(const std::string& file, const char* section, const char* key, std::size_t size = kProfileStringSize) {
  return ini::ReadString(file, section, key, "", size);
}

int32_t Int(const std::string& file, const char* section, const char* key, int32_t def) {
  return ini::ReadInt(file, section, key, def);
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

WindowRect PlacementToStore(const WindowRect& stored, const WindowRect& frame, bool minimized,
                            bool maximized) noexcept {
  if (minimized) return stored;
  if (maximized) return WindowRect{};
  return frame;
}

bool DisplayHalftoneOn(const AppSettings& settings) noexcept { return settings.displayHalftone != "OFF"; }

int32_t DefaultUnit(uint16_t langId) noexcept {
  return (langId == kLangEnglishUs || langId == kLangEnglishCanada) ? 1 : 0;
}

AppSettings DefaultAppSettings(uint16_t langId) {
  AppSettings s;
  s.unit = DefaultUnit(langId);
  return s;
}

double ParseWidth(std::string_view text) noexcept {
  // The longest prefix of the form [space][sign]digits[.digits][e[sign]digits]:
  // only plain decimals count, so "inf", "nan" and hexadecimal text read as
  // having no number.
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t intDigits = 0, fracDigits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++intDigits;
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    while (j < text.size() && IsDigit(text[j])) ++j, ++fracDigits;
    if (intDigits + fracDigits > 0) i = j;
  }
  if (intDigits + fracDigits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < text.size() && IsDigit(text[j])) ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  try {
    std::string number(text.substr(start, i - start));
    // The "C" rules whatever the process locale is, so that this stays pure.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    if (cLocale == locale_t(0)) return kDefaultWidth;
    double value = strtod_l(number.c_str(), nullptr, cLocale);
    // A width beyond the range of a double is no width.
    return std::isfinite(value) ? value : kDefaultWidth;
  } catch (...) {
    return kDefaultWidth;
  }
}

double ReadWidth(const std::string& iniPath, std::string_view key) {
  CLocaleScope c;
  std::string text = ini::ReadString(iniPath, "Customize-Image", key, "", kProfileStringSize);
  if (text.empty()) return kDefaultWidth;
  return ParseWidth(text);
}

std::string FormatWidth(double value) {
  CLocaleScope c;
  int n = std::snprintf(nullptr, 0, "%.2f", value);
  if (n <= 0) return "0.00";
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.2f", value);
  text.resize(static_cast<std::size_t>(n));
  return text;
}

AppSettings ReadAppSettings(const std::string& iniPath, const AppSettings& current, uint16_t langId) {
  const std::string& f = iniPath;
  AppSettings s = DefaultAppSettings(langId);

  s.scannerName = Str(f, "Scanner", "Name");
  s.jobMode = Int(f, "Scanner", "job", 0) != 0;

  s.openFilePath = Str(f, "File", "OpenFilePath", kFolderBufferSize);
  s.openFileExt = Int(f, "File", "OpenFileExt", current.openFileExt);
  s.scanFilePath = Str(f, "File", "ScanFilePath", kFolderBufferSize);
  s.scanFileExt = Int(f, "File", "ScanFileExt", current.scanFileExt);
  s.saveAsFilePath = Str(f, "File", "SaveAsFilePath", kFolderBufferSize);
  s.saveAsFileExt = Int(f, "File", "SaveAsFileExt", current.saveAsFileExt);
  s.imageTempPath = Str(f, "File", "ImageTempPath");
  s.jobFilePath = Str(f, "Job", "JobFilePath", kFolderBufferSize);

  s.window.left = Int(f, "Window", "left", 0);
  s.window.top = Int(f, "Window", "top", 0);
  s.window.right = Int(f, "Window", "right", 0);
  s.window.bottom = Int(f, "Window", "bottom", 0);
  s.viewSep = Int(f, "Window", "ViewSep", 0);
  s.viewOrder = Int(f, "Window", "ViewOrder", 1);

  s.zoomStep = Int(f, "Option", "ZoomStep", 10);
  s.dispGrayScale = Int(f, "Option", "DispGrayScale", 1) == 1;
  s.supportContinueforJobScan = Int(f, "Option", "SupportContinueforJobScan", 1) == 1;
  s.compTiff1BitBW = Int(f, "Option", "CompTiff1BitBW", current.compTiff1BitBW);
  s.compTiff4BitGR = Int(f, "Option", "CompTiff4BitGR", current.compTiff4BitGR);
  s.compTiff8BitGR = Int(f, "Option", "CompTiff8BitGR", current.compTiff8BitGR);
  s.compTiff24BitCLR = Int(f, "Option", "CompTiff24BitCLR", current.compTiff24BitCLR);
  s.compJpegQ = Int(f, "Option", "CompJpeg-Q", kDefaultJpegQuality);
  if (s.compJpegQ < 1 || s.compJpegQ > 100) s.compJpegQ = kDefaultJpegQuality;
  s.compDiskSpace = Int(f, "Option", "CompDiskSpace", 1);

  s.binFileType = Int(f, "SimpleScan", "BinFileType", current.binFileType);
  s.gr4FileType = Int(f, "SimpleScan", "Gr4FileType", current.gr4FileType);
  s.gr8FileType = Int(f, "SimpleScan", "Gr8FileType", current.gr8FileType);
  s.crFileType = Int(f, "SimpleScan", "CRFileType", current.crFileType);
  s.scanSave = ReadScanSaveOptions(f);

  s.dispWarning = ReadMaintenanceWarnings(f);

  s.unit = Int(f, "Customize-Image", "Unit", DefaultUnit(langId));
  for (const WidthKey& w : kWidthKeys) s.*w.member = ReadWidth(f, w.key);

  s.displayHalftone = Str(f, "Special", "DisplayHalftone");
  s.recentFiles = ReadRecentFileList(f);
  return s;
}

AppSettings ReadAppSettings(const std::string& iniPath) {
  uint16_t langId = platform::UserDefaultLangId();
  return ReadAppSettings(iniPath, DefaultAppSettings(langId), langId);
}

std::vector<IniEntry> AppSettingsWrites(const AppSettings& s, const std::string& workFolder) {
  std::vector<IniEntry> w;
  auto put = [&w](const char* section, const char* key, std::string value) {
    w.push_back({section, key, std::move(value)});
  };
  auto num = [](int32_t v) { return std::to_string(v); };
  auto flag = [](bool v) { return std::string(v ? "1" : "0"); };

  put("Scanner", "Name", s.scannerName);
  put("File", "OpenFilePath", s.openFilePath);
  put("File", "OpenFileExt", num(s.openFileExt));
  put("File", "ScanFilePath", s.scanFilePath);
  put("File", "ScanFileExt", num(s.scanFileExt));
  put("File", "SaveAsFilePath", s.saveAsFilePath);
  put("File", "SaveAsFileExt", num(s.saveAsFileExt));
  put("Job", "JobFilePath", s.jobFilePath);
  put("Scanner", "job", flag(s.jobMode));
  put("Window", "left", num(s.window.left));
  put("Window", "top", num(s.window.top));
  put("Window", "right", num(s.window.right));
  put("Window", "bottom", num(s.window.bottom));
  put("Window", "ViewSep", num(s.viewSep));
  put("Window", "ViewOrder", num(s.viewOrder));
  put("Option", "ZoomStep", num(s.zoomStep));
  put("Option", "DispGrayScale", flag(s.dispGrayScale));
  put("Option", "SupportContinueforJobScan", flag(s.supportContinueforJobScan));
  put("Option", "CompTiff1BitBW", num(s.compTiff1BitBW));
  put("Option", "CompTiff4BitGR", num(s.compTiff4BitGR));
  put("Option", "CompTiff8BitGR", num(s.compTiff8BitGR));
  put("Option", "CompTiff24BitCLR", num(s.compTiff24BitCLR));
  put("Option", "CompJpeg-Q", num(s.compJpegQ));
  put("Option", "CompDiskSpace", num(s.compDiskSpace));
  if (std::optional<std::string> temp = ImageTempPathToStore(workFolder)) put("File", "ImageTempPath", *temp);
  put("SimpleScan", "BinFileType", num(s.binFileType));
  put("SimpleScan", "Gr4FileType", num(s.gr4FileType));
  put("SimpleScan", "Gr8FileType", num(s.gr8FileType));
  put("SimpleScan", "CRFileType", num(s.crFileType));
  put("Customize-Image", "Unit", num(s.unit));
  for (const WidthKey& k : kWidthKeys) put("Customize-Image", k.key, FormatWidth(s.*k.member));
  return w;
}

bool WriteAppSettings(const std::string& iniPath, const AppSettings& settings, const std::string& workFolder) {
  bool ok = true;
  for (const IniEntry& e : AppSettingsWrites(settings, workFolder))
    ok = ini::WriteString(iniPath, e.section, e.key, e.value) && ok;
  return ok;
}

ScanSaveOptions ReadScanSaveOptions(const std::string& iniPath) {
  ScanSaveOptions o;
  o.overWriteCheck = Int(iniPath, "SimpleScan", "OverWriteCheck", 1);
  o.filePageMode = Int(iniPath, "SimpleScan", "FilePageMode", 0);
  o.initialNumber = Int(iniPath, "SimpleScan", "InitialNumber", 1);
  o.digit = Int(iniPath, "SimpleScan", "Digit", 3);
  return o;
}

bool WriteScanSaveOptions(const std::string& iniPath, const ScanSaveOptions& o) {
  bool ok = ini::WriteString(iniPath, "SimpleScan", "OverWriteCheck", std::to_string(o.overWriteCheck));
  ok = ini::WriteString(iniPath, "SimpleScan", "FilePageMode", std::to_string(o.filePageMode)) && ok;
  ok = ini::WriteString(iniPath, "SimpleScan", "InitialNumber", std::to_string(o.initialNumber)) && ok;
  ok = ini::WriteString(iniPath, "SimpleScan", "Digit", std::to_string(o.digit)) && ok;
  return ok;
}

MaintenanceWarnings ReadMaintenanceWarnings(const std::string& iniPath) {
  MaintenanceWarnings texts;
  for (std::size_t i = 0; i < texts.size(); ++i)
    texts[i] = ini::ReadString(iniPath, "DispWarning", kMaintenanceWarningKeys[i], "", kProfileStringSize);
  return texts;
}

bool WriteMaintenanceWarnings(const std::string& iniPath, const MaintenanceWarnings& texts) {
  bool ok = true;
  for (std::size_t i = 0; i < texts.size(); ++i)
    if (!texts[i].empty()) ok = ini::WriteString(iniPath, "DispWarning", kMaintenanceWarningKeys[i], texts[i]) && ok;
  return ok;
}

RecentFiles ReadRecentFileList(const std::string& iniPath) {
  RecentFiles files;
  for (int i = 0; i < kRecentFileCount; ++i)
    files[std::size_t(i)] =
        ini::ReadString(iniPath, kRecentFileSection, "File" + std::to_string(i + 1), "", kProfileStringSize);
  return files;
}

bool WriteRecentFileList(const std::string& iniPath, const RecentFiles& files) {
  bool ok = ini::DeleteSection(iniPath, kRecentFileSection);
  for (int i = 0; i < kRecentFileCount; ++i) {
    const std::string& name = files[std::size_t(i)];
    if (!name.empty()) ok = ini::WriteString(iniPath, kRecentFileSection, "File" + std::to_string(i + 1), name) && ok;
  }
  return ok;
}

std::string AppDataIniPath() { return platform::ProgramFolder() + std::string(kAppDataIniName); }
std::string ScanSetIniPath() { return platform::ProgramFolder() + "ScanSet.ini"; }
std::string JobSetIniPath() { return platform::ProgramFolder() + "JobSet.ini"; }

}  // namespace shell
