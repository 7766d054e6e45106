// Process-wide state of the interface: the global object, and what
// InitInstanceForVEXO set up until ExitInstance. GUI thread only.
#pragma once

#include <optional>
#include <string>

#include "BelvAplIF.h"
#include "settings_store.h"

namespace aplif {

// Output naming and widths handed over for the next scan.
struct ScanFileInfo {
  std::string folder, name, extension;
  int32_t overwriteWarning = 0, fileType = 0, digits = 0, initialNumber = 0;
  int32_t compression[4] = {};
  int32_t jpegQuality = 75;
  EACH_FILETYPE fileTypes{};
  int32_t multiPage = 1;
};

struct Instance {
  bool initialized = false;
  std::string title;
  int32_t callerKind = 0;
  std::string scanIni, jobIni, deviceIni;
  SettingStore store;
  std::optional<ScanFileInfo> fileInfo;
  std::optional<APL_CSTM_INF> widths;
  std::optional<APL_DISK_CHK_PARAM> diskParam;
  std::string currentPageFile;  // set while a page is delivered
  // A file whose last write failed; ExitInstance tries again.
  bool scanDirty = false, jobDirty = false;
  int lastError = 0;  // errno of the last failed write
};

CAplIFData& GlobalData() noexcept;
Instance& State() noexcept;
// Not cleared by ExitInstance.
std::string& HelpPath() noexcept;

// Write the scan (job) part of the store: APLIF_OK, or APLIF_ERR_WRITE with
// lastError set and the file marked for another try.
int32_t StoreScan(Instance& inst);
int32_t StoreJob(Instance& inst);

// Name of the page counter file, in the folder of ScanSet.ini.
constexpr const char* kDeviceIniName = "AplDevice.ini";

}  // namespace aplif
