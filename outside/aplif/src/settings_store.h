// The named scan settings (ScanSet.ini) and file naming settings
// (JobSet.ini), their current selections, the measurement unit and the nine
// user read conditions.
//
// ScanSet.ini                         JobSet.ini
//   [ScanSet]  Count Current Unit       [JobSet]  Count Current
//   [ScanSettingN]  (N = 1 … Count)     [JobSettingN]  (N = 1 … Count)
//     Name ImageType Resolution           Name FilePrefix Digits
//     Paper Duplex                        PagesPerFile ReadCond
//   [UserReadCond]  Function1 … Function9 (scan setting names)
//
// ReadCond names the scan setting a job scans with; empty = the current
// scan setting. References are by name: renaming a scan setting renames
// them, deleting one clears them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BelvAplIF.h"

namespace aplif {

// Value ranges; a stored value outside takes the default.
constexpr int32_t kMinResolution = 50, kMaxResolution = 1200, kDefaultResolution = 200;  // dpi
constexpr int32_t kMinDigits = 1, kMaxDigits = 7, kDefaultDigits = 4;
constexpr int32_t kMaxPagesPerFile = 9999;
constexpr std::size_t kMaxNameBytes = APLIF_NAME_SIZE - 1;

struct ScanSetting {
  std::string name;
  int32_t imageType = APL_IMAGE_BW;
  int32_t resolution = kDefaultResolution;
  int32_t paper = APL_PAPER_LETTER;
  bool duplex = false;
  bool operator==(const ScanSetting&) const = default;
};

struct JobSetting {
  std::string name;
  std::string filePrefix = "SCAN";
  int32_t digits = kDefaultDigits;
  int32_t pagesPerFile = 0;  // 0 = a new file at each control sheet only
  std::string readCond;      // own scan setting, by name; empty = none
  bool operator==(const JobSetting&) const = default;
};

enum class NameProblem { kNone, kEmpty, kTooLong, kBadCharacter, kDuplicate };

// Bits per pixel of the main stream of an image type.
int32_t BitsOfImageType(int32_t imageType) noexcept;
// Paper width and length in tenths of a millimetre.
struct PaperSize {
  int32_t width;
  int32_t length;
};
PaperSize PaperSizeOf(int32_t paper) noexcept;
constexpr int32_t kPaperCount = 6;
constexpr int32_t kImageTypeCount = 6;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept;
// s cut to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string CutUtf8(std::string_view s, std::size_t maxBytes);
// A character that a file name cannot hold (control, <>:"|?*\/).
bool HasFileNameBreaker(std::string_view s) noexcept;

class SettingStore {
 public:
  std::vector<ScanSetting> scans;
  int32_t curScan = 0;
  std::vector<JobSetting> jobs;
  int32_t curJob = 0;
  int32_t unit = APL_UNIT_MM;
  std::array<std::string, APLIF_USER_READ_CONDS> userReadCond;

  static SettingStore Defaults();

  int32_t FindScan(std::string_view name) const noexcept;  // -1 when absent
  int32_t FindJob(std::string_view name) const noexcept;
  // Whether name may name a scan (job) setting other than number except.
  NameProblem CheckScanName(std::string_view name, int32_t except) const;
  NameProblem CheckJobName(std::string_view name, int32_t except) const;

  void RenameScan(int32_t index, const std::string& name);
  // Removes a scan setting; references to it are cleared.
  void RemoveScan(int32_t index);
  void RemoveJob(int32_t index);

  // The current job's own scan setting, or -1.
  int32_t OwnScanOfCurrentJob() const noexcept;
  // The scan setting in force, or -1 when there is none.
  int32_t ScanInForce(bool jobMode) const noexcept;
};

// Reads both files into store. A file that is missing or yields no usable
// setting gets the defaults, which are written into it. Returns 0, or the
// errno of a default set that could not be written (the store then holds
// the defaults anyway). A file too large or unreadable is never replaced.
int LoadSettings(const std::string& scanIni, const std::string& jobIni, SettingStore& store);

// Write the whole scan (job) part of the store; false with *error = errno.
bool SaveScanSettings(const std::string& scanIni, const SettingStore& store, int* error);
bool SaveJobSettings(const std::string& jobIni, const SettingStore& store, int* error);

}  // namespace aplif
