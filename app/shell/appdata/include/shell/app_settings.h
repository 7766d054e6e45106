// The program's settings file AppData.ini: every value it keeps, how each is
// read (defaults, the few corrections applied on reading) and how the set
// is written back at shutdown, in a fixed order.
//
//   AppSettings                  every value of the file
//   DefaultAppSettings           the values before the first reading
//   ReadAppSettings              start-up reading
//   AppSettingsWrites            the shutdown writes, in order (pure)
//   WriteAppSettings             applies them to the file
//   Read/WriteScanSaveOptions    the keys the scan save dialog owns
//   Read/WriteMaintenanceWarnings  the six texts kept for the scanner interface
//   Read/WriteRecentFileList     the recent-file list
//   ReadWidth / FormatWidth      the decimal width keys, locale-proof
//   AppDataIniPath, ScanSetIniPath, JobSetIniPath
//
// Reading never fails: a missing file, section or key gives its default and
// malformed text gives what the integer and decimal readers make of it.
// Everything here runs on the GUI thread (the width functions switch the
// process locale).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// Profile strings are read through a buffer of this size.
inline constexpr std::size_t kProfileStringSize = 4096;
// The last folders of the Open, Scan, Save As and Job dialogs live in
// buffers of this size.
inline constexpr std::size_t kFolderBufferSize = 264;
inline constexpr int kRecentFileCount = 4;
// Default of a width key that is missing or empty (millimetres).
inline constexpr double kDefaultWidth = 3.0;
inline constexpr int32_t kDefaultJpegQuality = 75;

inline constexpr std::string_view kAppDataIniName = "AppData.ini";
inline constexpr std::string_view kRecentFileSection = "Recent File List";

// Main window rectangle in screen coordinates; all four 0 means maximized.
struct WindowRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  bool IsMaximized() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// What the main window stores as its placement when it closes: nothing new
// while minimized, all zeros while maximized, else its rectangle.
WindowRect PlacementToStore(const WindowRect& stored, const WindowRect& frame, bool minimized,
                            bool maximized) noexcept;

// Section SimpleScan, the options of the scan save dialog (read and written
// by that dialog only).
struct ScanSaveOptions {
  int32_t overWriteCheck = 1;  // not 0: warn on file overwrite
  int32_t filePageMode = 0;    // 0 = multi-page, else single page
  int32_t initialNumber = 1;
  int32_t digit = 3;
  friend bool operator==(const ScanSaveOptions&, const ScanSaveOptions&) = default;
};

// Section DispWarning: CleanRoller, ReplaceRoller, FrReplaceLamp,
// BkReplaceLamp, FrCleanPlare, BkCleanPlate, in this order. Their content
// belongs to the scanner interface.
using MaintenanceWarnings = std::array<std::string, 6>;
inline constexpr std::array<std::string_view, 6> kMaintenanceWarningKeys = {
    "CleanRoller", "ReplaceRoller", "FrReplaceLamp", "BkReplaceLamp", "FrCleanPlare", "BkCleanPlate"};

// Section "Recent File List", keys File1 … File4 (an empty entry is unused).
using RecentFiles = std::array<std::string, kRecentFileCount>;

struct AppSettings {
  // [Scanner]
  std::string scannerName;  // Name; written from the interface's current scanner
  bool jobMode = false;     // job; any non-zero value reads as on

  // [File]
  std::string openFilePath;    // OpenFilePath (kFolderBufferSize)
  int32_t openFileExt = 0;     // OpenFileExt
  std::string scanFilePath;    // ScanFilePath (kFolderBufferSize)
  int32_t scanFileExt = 0;     // ScanFileExt
  std::string saveAsFilePath;  // SaveAsFilePath (kFolderBufferSize)
  int32_t saveAsFileExt = 0;   // SaveAsFileExt
  std::string imageTempPath;   // ImageTempPath as read; empty = the default working folder

  // [Job]
  std::string jobFilePath;  // JobFilePath (kFolderBufferSize)

  // [Window]
  WindowRect window;      // left, top, right, bottom
  int32_t viewSep = 0;    // ViewSep, separation layout 0 … 6
  int32_t viewOrder = 1;  // ViewOrder, 1 = horizontal, 0 = vertical

  // [Option]
  int32_t zoomStep = 10;                   // ZoomStep
  bool dispGrayScale = true;               // DispGrayScale; only 1 reads as on
  bool supportContinueforJobScan = true;   // SupportContinueforJobScan; only 1 reads as on
  int32_t compTiff1BitBW = 2;              // CompTiff1BitBW
  int32_t compTiff4BitGR = 0;              // CompTiff4BitGR
  int32_t compTiff8BitGR = 0;              // CompTiff8BitGR
  int32_t compTiff24BitCLR = 3;            // CompTiff24BitCLR
  int32_t compJpegQ = kDefaultJpegQuality; // CompJpeg-Q, 1 … 100; outside reads as 75
  int32_t compDiskSpace = 1;               // CompDiskSpace, megabytes

  // [SimpleScan]
  int32_t binFileType = 0;  // BinFileType
  int32_t gr4FileType = 0;  // Gr4FileType
  int32_t gr8FileType = 0;  // Gr8FileType
  int32_t crFileType = 2;   // CRFileType
  ScanSaveOptions scanSave;  // OverWriteCheck, FilePageMode, InitialNumber, Digit

  // [DispWarning]
  MaintenanceWarnings dispWarning;

  // [Customize-Image], widths in millimetres
  int32_t unit = 0;  // Unit, 0 = mm, 1 = inches; default by language (DefaultUnit)
  double borderRemovalLeft = kDefaultWidth;    // BorderRemoval-Left
  double borderRemovalRight = kDefaultWidth;   // BorderRemoval-Right
  double borderRemovalTop = kDefaultWidth;     // BorderRemoval-Top
  double borderRemovalBottom = kDefaultWidth;  // BorderRemoval-Bottom
  double removeShadowLeft = kDefaultWidth;     // RemoveShadow-Left
  double removeShadowRight = kDefaultWidth;    // RemoveShadow-Right
  double removeShadowTop = kDefaultWidth;      // RemoveShadow-Top
  double removeShadowBottom = kDefaultWidth;   // RemoveShadow-Bottom

  // [Special]
  std::string displayHalftone;  // DisplayHalftone; "OFF" turns halftone display off

  // [Recent File List]
  RecentFiles recentFiles;

  friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// The halftone flag of the page views: on unless DisplayHalftone reads "OFF".
bool DisplayHalftoneOn(const AppSettings& settings) noexcept;

// Unit's default: inches (1) for English (United States) and English
// (Canada), millimetres (0) for every other language.
int32_t DefaultUnit(uint16_t langId) noexcept;

// The values before the first reading, Unit by langId.
AppSettings DefaultAppSettings(uint16_t langId);

// Reads every key of iniPath. The four TIFF compression codes, the four
// simple-scan file types and the three file type indexes are read with the
// value they have in `current` as the default; every other key has its own
// fixed default (Unit: DefaultUnit(langId)).
AppSettings ReadAppSettings(const std::string& iniPath, const AppSettings& current, uint16_t langId);
// The same from DefaultAppSettings of the user default language.
AppSettings ReadAppSettings(const std::string& iniPath);

// One key to write; written in the order of the list.
struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
  friend bool operator==(const IniEntry&, const IniEntry&) = default;
};

// The shutdown writes, in order: Scanner/Name, the File folders and type
// indexes, Job/JobFilePath, Scanner/job, the Window values, the Option
// values, File/ImageTempPath (from workFolder, see ImageTempPathToStore;
// left out when the temporary folder cannot be reported), the four
// simple-scan file types, Customize-Image/Unit and the eight widths ("%.2f",
// always with a dot). The caller puts the interface's current scanner name
// and the frame's current layout and view order into `settings` first.
std::vector<IniEntry> AppSettingsWrites(const AppSettings& settings, const std::string& workFolder);

// Writes AppSettingsWrites to iniPath. Every key is tried; false when any
// write failed (the file then keeps what it had for that key).
bool WriteAppSettings(const std::string& iniPath, const AppSettings& settings, const std::string& workFolder);

ScanSaveOptions ReadScanSaveOptions(const std::string& iniPath);
bool WriteScanSaveOptions(const std::string& iniPath, const ScanSaveOptions& options);

MaintenanceWarnings ReadMaintenanceWarnings(const std::string& iniPath);
// Writes back only the texts that are not empty.
bool WriteMaintenanceWarnings(const std::string& iniPath, const MaintenanceWarnings& texts);

RecentFiles ReadRecentFileList(const std::string& iniPath);
// Replaces the section: the non-empty entries are written under their own
// numbers, the empty ones are left out.
bool WriteRecentFileList(const std::string& iniPath, const RecentFiles& files);

// A width key of Customize-Image: empty or missing gives kDefaultWidth,
// otherwise the decimal number the text begins with (none: 0; beyond the
// range of a double: kDefaultWidth). Read under the "C" locale, which is
// set back to the user default ("") afterwards.
double ReadWidth(const std::string& iniPath, std::string_view key);
// The decimal number a text begins with, as ReadWidth takes it (pure).
double ParseWidth(std::string_view text) noexcept;
// "%.2f" under the "C" locale, which is set back to the user default.
std::string FormatWidth(double value);

// Program folder + AppData.ini, ScanSet.ini, JobSet.ini.
std::string AppDataIniPath();
std::string ScanSetIniPath();
std::string JobSetIniPath();

}  // namespace shell
