// The global CAplIFData object, its operation table and the one export.
// Every slot checks its arguments, catches everything and answers with the
// codes documented in BelvAplIF.h.
#include <cstring>
#include <string>

#include "BelvAplIF.h"
#include "devices.h"
#include "dialogs.h"
#include "disk_check.h"
#include "instance.h"
#include "maintenance.h"
#include "settings_store.h"

namespace aplif {
namespace {

template <typename F>
int32_t Guarded(F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return APLIF_ERR_INTERNAL;
  }
}

// The status word: errno of a failed file write, else the negative result, else 0.
int32_t WithStatus(int32_t result, int32_t* status, int error = 0) noexcept {
  if (status) *status = error ? error : (result < 0 ? result : 0);
  return result;
}

// Copies s into a caller's buffer of size bytes, cut at a character
// boundary; returns the bytes written.
int32_t CopyOut(const std::string& s, char* buffer, int32_t size) {
  const std::string cut = CutUtf8(s, static_cast<std::size_t>(size) - 1);
  std::memcpy(buffer, cut.data(), cut.size());
  buffer[cut.size()] = '\0';
  return static_cast<int32_t>(cut.size());
}

bool Ready() noexcept { return State().initialized; }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// --- lifecycle ---

// Writes again what a failed write left behind: APLIF_OK or APLIF_ERR_WRITE.
int32_t FlushDirty(Instance& inst) {
  if (!inst.initialized) return APLIF_OK;
  int32_t result = APLIF_OK;
  if (inst.scanDirty && StoreScan(inst) != APLIF_OK) result = APLIF_ERR_WRITE;
  if (inst.jobDirty && StoreJob(inst) != APLIF_OK) result = APLIF_ERR_WRITE;
  return result;
}

int32_t InitInstanceForVEXO(CAplIFData*, const char* title, uint32_t ownerWindow, int32_t callerKind,
                            int32_t interfaceRevision, int32_t options, const char* jobSetIni,
                            const char* scanSetIni, int32_t* status) {
  return Guarded([&] {
    if (!jobSetIni || !*jobSetIni || !scanSetIni || !*scanSetIni || options != 0)
      return WithStatus(APLIF_ERR_BAD_ARGUMENT, status);
    if (interfaceRevision > APLIF_INTERFACE_REVISION) return WithStatus(APLIF_ERR_REVISION, status);
    if (DialogOpen()) return WithStatus(APLIF_ERR_BUSY, status);
    FlushDirty(State());
    Instance fresh;
    fresh.title = title ? title : "";
    fresh.callerKind = callerKind;
    fresh.jobIni = jobSetIni;
    fresh.scanIni = scanSetIni;
    fresh.deviceIni = FolderOf(fresh.scanIni) + kDeviceIniName;
    const int error = LoadSettings(fresh.scanIni, fresh.jobIni, fresh.store);
    fresh.initialized = true;
    State() = std::move(fresh);
    GlobalData().ownerWindow = ownerWindow;
    return WithStatus(error ? 1 : APLIF_OK, status, error);
  });
}

int32_t ExitInstance(CAplIFData*, int32_t* status) {
  return Guarded([&] {
    Instance& inst = State();
    if (!inst.initialized) return WithStatus(APLIF_ERR_NOT_INITIALIZED, status);
    if (DialogOpen()) return WithStatus(APLIF_ERR_BUSY, status);
    const int32_t result = FlushDirty(inst);
    const int error = result == APLIF_OK ? 0 : inst.lastError;
    inst = Instance();
    return WithStatus(result, status, error);
  });
}

int32_t SetHelpPath(CAplIFData*, const char* manualPath) {
  return Guarded([&] {
    HelpPath() = manualPath ? manualPath : "";
    return APLIF_OK;
  });
}

// --- scanning ---

int32_t EntryEventFunc(CAplIFData*, APLIF_EVENT_FUNC, int32_t, int32_t* status) {
  return WithStatus(APLIF_ERR_NOT_AVAILABLE, status);
}

int32_t ScanExecForVEXO(CAplIFData*, int32_t, int32_t, int32_t, int32_t, int32_t, char*, int32_t, int32_t* status) {
  return WithStatus(APLIF_ERR_NOT_AVAILABLE, status);
}

int32_t GetFileName(CAplIFData*, char* buffer, int32_t bufferSize) {
  return Guarded([&] {
    if (!buffer || bufferSize < 1) return APLIF_ERR_BAD_ARGUMENT;
    buffer[0] = '\0';
    if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
    const std::string& file = State().currentPageFile;
    if (file.empty()) return APLIF_ERR_NO_PAGE;
    return CopyOut(file, buffer, bufferSize);
  });
}

bool IsFileTypeCode(int32_t t) noexcept { return t >= -1 && t <= 3; }

int32_t SetScanFileInfoForApl(CAplIFData*, const char* folder, const char* name, const char* extension,
                              int32_t overwriteWarning, int32_t fileType, int32_t digits, int32_t initialNumber,
                              int32_t compressionBW, int32_t compression4, int32_t compression8,
                              int32_t compression24, int32_t jpegQuality, const EACH_FILETYPE* fileTypes,
                              int32_t multiPage, int32_t* status) {
  return Guarded([&] {
    if (!Ready()) return WithStatus(APLIF_ERR_NOT_INITIALIZED, status);
    if (!folder || !name || !extension || !fileTypes || (overwriteWarning != 0 && overwriteWarning != 1) ||
        !IsFileTypeCode(fileType) || digits < 0 || digits > kMaxDigits || initialNumber < 0 ||
        initialNumber > 9999999 || jpegQuality < 1 || jpegQuality > 100 || (multiPage != 0 && multiPage != 1) ||
        !IsFileTypeCode(fileTypes->bwFileType) || !IsFileTypeCode(fileTypes->gray16FileType) ||
        !IsFileTypeCode(fileTypes->gray256FileType) || !IsFileTypeCode(fileTypes->colorFileType))
      return WithStatus(APLIF_ERR_BAD_ARGUMENT, status);
    ScanFileInfo info;
    info.folder = folder;
    info.name = name;
    info.extension = extension;
    info.overwriteWarning = overwriteWarning;
    info.fileType = fileType;
    info.digits = digits;
    info.initialNumber = initialNumber;
    info.compression[0] = compressionBW;
    info.compression[1] = compression4;
    info.compression[2] = compression8;
    info.compression[3] = compression24;
    info.jpegQuality = jpegQuality;
    info.fileTypes = *fileTypes;
    info.multiPage = multiPage;
    State().fileInfo = std::move(info);
    return WithStatus(APLIF_OK, status);
  });
}

int32_t SetCustomizeInfo(CAplIFData*, const APL_CSTM_INF* widths, int32_t* status) {
  return Guarded([&] {
    if (!Ready()) return WithStatus(APLIF_ERR_NOT_INITIALIZED, status);
    if (!widths) return WithStatus(APLIF_ERR_BAD_ARGUMENT, status);
    constexpr int32_t kMaxWidth = 4318;  // tenths of a millimetre: 17 inches
    for (int32_t w : {widths->borderLeft, widths->borderTop, widths->borderRight, widths->borderBottom,
                      widths->shadowLeft, widths->shadowTop, widths->shadowRight, widths->shadowBottom})
      if (w < 0 || w > kMaxWidth) return WithStatus(APLIF_ERR_BAD_ARGUMENT, status);
    State().widths = *widths;
    return WithStatus(APLIF_OK, status);
  });
}

// --- image type ---

int32_t ImageTypeInForce(int32_t jobMode) {
  if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
  const SettingStore& store = State().store;
  const int32_t index = store.ScanInForce(jobMode != 0);
  return index < 0 ? APLIF_ERR_NOT_FOUND : store.scans[index].imageType;
}

int32_t GetImageType(CAplIFData*, int32_t jobMode) { return Guarded([&] { return ImageTypeInForce(jobMode); }); }

int32_t GetCurrentImageType(CAplIFData*, int32_t jobMode) {
  return Guarded([&] { return ImageTypeInForce(jobMode); });
}

int32_t GetBitPixel(CAplIFData*, int32_t jobMode) {
  return Guarded([&] {
    const int32_t type = ImageTypeInForce(jobMode);
    return type < 0 ? type : BitsOfImageType(type);
  });
}

// --- scanners ---

int32_t GetScannerID(CAplIFData*, const char* name) {
  return Guarded([&] {
    if (!name) return APLIF_ERR_BAD_ARGUMENT;
    DeviceRegistry& devices = DeviceRegistry::Instance();
    const DeviceInfo* d = devices.FindByName(name);
    if (!d) return APLIF_ERR_NOT_FOUND;
    const int32_t id = d->id;
    devices.SetCurrent(id);
    return id;
  });
}

int32_t GetCurScannerName(CAplIFData*, char* buffer, int32_t bufferSize) {
  return Guarded([&] {
    if (!buffer || bufferSize < 1) return APLIF_ERR_BAD_ARGUMENT;
    const DeviceInfo* d = DeviceRegistry::Instance().Current();
    return CopyOut(d ? d->name : std::string(), buffer, bufferSize);
  });
}

int32_t CheckEnableScannerID(CAplIFData*, int32_t scannerId, int32_t feature, int32_t option) {
  return Guarded([&] {
    const DeviceInfo* d = DeviceRegistry::Instance().Find(scannerId);
    if (!d) return 0;
    if (feature == APL_FEATURE_SCAN) {
      if (option == -1) return d->scanModes != 0 ? 1 : 0;
      const auto mode = static_cast<uint32_t>(option);
      const bool oneMode = option > 0 && (mode & (mode - 1)) == 0;
      return (oneMode && (d->scanModes & mode) != 0) ? 1 : 0;
    }
    if (feature == APL_FEATURE_USER_SHEET) {
      if (d->userFunctions <= 0) return 0;
      return option == -1 || (option >= 1 && option <= d->userFunctions) ? 1 : 0;
    }
    return 0;
  });
}

int32_t GetToolkitUnit(CAplIFData*) {
  return Guarded([&] { return Ready() ? State().store.unit : APLIF_ERR_NOT_INITIALIZED; });
}

// --- setting lists ---

template <typename List>
int32_t HeadOf(const List& list) {
  if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
  return list.empty() ? 0 : 1;
}

template <typename List>
int32_t NextOf(const List& list, int32_t* position, char* name, int32_t nameSize) {
  if (!position || !name || nameSize < 1) {
    if (position) *position = 0;
    return APLIF_ERR_BAD_ARGUMENT;
  }
  name[0] = '\0';
  const int32_t pos = *position;
  *position = 0;
  if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
  const auto count = static_cast<int32_t>(list.size());
  if (pos < 1 || pos > count) return APLIF_ERR_BAD_ARGUMENT;
  CopyOut(list[pos - 1].name, name, nameSize);
  *position = pos < count ? pos + 1 : 0;
  return pos - 1;
}

int32_t ScanGetHeadPosition(CAplIFData*) { return Guarded([&] { return HeadOf(State().store.scans); }); }

int32_t ScanGetNext(CAplIFData*, int32_t* position, char* name, int32_t nameSize) {
  return Guarded([&] { return NextOf(State().store.scans, position, name, nameSize); });
}

int32_t FileNamingGetHeadPosition(CAplIFData*) { return Guarded([&] { return HeadOf(State().store.jobs); }); }

int32_t FileNamingGetNext(CAplIFData*, int32_t* position, char* name, int32_t nameSize) {
  return Guarded([&] { return NextOf(State().store.jobs, position, name, nameSize); });
}

int32_t GetCurScanSettingNo(CAplIFData*) {
  return Guarded([&] { return Ready() ? State().store.curScan : APLIF_ERR_NOT_INITIALIZED; });
}

int32_t GetCurFileNamingSettingNo(CAplIFData*) {
  return Guarded([&] { return Ready() ? State().store.curJob : APLIF_ERR_NOT_INITIALIZED; });
}

int32_t GetFileNamingSettingCnt(CAplIFData*) {
  return Guarded(
      [&] { return Ready() ? static_cast<int32_t>(State().store.jobs.size()) : APLIF_ERR_NOT_INITIALIZED; });
}

// Makes number current in the scan (job) list and stores the file.
int32_t Select(bool scans, int32_t number) {
  if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
  if (DialogOpen()) return APLIF_ERR_BUSY;
  Instance& inst = State();
  const auto count = static_cast<int32_t>(scans ? inst.store.scans.size() : inst.store.jobs.size());
  if (number < 0 || number >= count) return APLIF_ERR_NOT_FOUND;
  (scans ? inst.store.curScan : inst.store.curJob) = number;
  return scans ? StoreScan(inst) : StoreJob(inst);
}

int32_t SetCurScanSettingNo(CAplIFData*, int32_t number) { return Guarded([&] { return Select(true, number); }); }

int32_t SetCurFileNamingSettingNo(CAplIFData*, int32_t number) {
  return Guarded([&] { return Select(false, number); });
}

int32_t SetCurSameName(CAplIFData*, int32_t kind, const char* name) {
  return Guarded([&] {
    if (kind != APL_KIND_SCAN && kind != APL_KIND_FILE_NAMING) return APLIF_ERR_BAD_ARGUMENT;
    if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
    if (DialogOpen()) return APLIF_ERR_BUSY;
    const SettingStore& store = State().store;
    const std::string wanted = name ? name : "";
    const int32_t index = kind == APL_KIND_SCAN ? store.FindScan(wanted) : store.FindJob(wanted);
    if (index < 0) return 0;
    const int32_t stored = Select(kind == APL_KIND_SCAN, index);
    return stored == APLIF_OK ? 1 : stored;
  });
}

int32_t GetUseSpecifiedReadCond(CAplIFData*, char* name, int32_t nameSize) {
  return Guarded([&] {
    if (!name || nameSize < 1) return APLIF_ERR_BAD_ARGUMENT;
    name[0] = '\0';
    if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
    const SettingStore& store = State().store;
    const int32_t own = store.OwnScanOfCurrentJob();
    if (own < 0) return 0;
    CopyOut(store.scans[own].name, name, nameSize);
    return 1;
  });
}

// --- dialogs ---

// Common entry checks of the dialogs.
template <typename F>
int32_t Dialog(bool needsInstance, F&& run) {
  return Guarded([&] {
    if (needsInstance && !Ready()) return APLIF_ERR_NOT_INITIALIZED;
    if (!HaveGui()) return APLIF_ERR_NO_GUI;
    if (DialogOpen()) return APLIF_ERR_BUSY;
    return run();
  });
}

int32_t ScanSettingForAPL(CAplIFData*) { return Dialog(true, [] { return RunScanSettingDialog(State()); }); }
int32_t ScanSettingListDlg(CAplIFData*) { return Dialog(true, [] { return RunScanListDialog(State()); }); }
int32_t JobScanSetting(CAplIFData*) { return Dialog(true, [] { return RunJobSettingDialog(State()); }); }
int32_t JobScanSettingListDlg(CAplIFData*) { return Dialog(true, [] { return RunJobListDialog(State()); }); }
int32_t ScanSelectDlg(CAplIFData*) { return Dialog(false, [] { return RunScanSelectDialog(); }); }
int32_t PreCheckScannerBaseInfo(CAplIFData*) { return Dialog(true, [] { return ShowScannerInfo(State()); }); }

int32_t DispUserReadCond(CAplIFData*, int32_t function, int32_t* settingNumber) {
  if (settingNumber) *settingNumber = -1;
  if (function < 1 || function > APLIF_USER_READ_CONDS) return APLIF_ERR_BAD_ARGUMENT;
  return Dialog(true, [&] { return RunUserReadCondDialog(State(), function, settingNumber); });
}

// --- maintenance ---

int32_t CheckRollerWarning(CAplIFData*, APL_WARNING_TEXTS* texts) {
  return Guarded([&] {
    if (!texts) return APLIF_ERR_BAD_ARGUMENT;
    if (!Ready()) return APLIF_ERR_NOT_INITIALIZED;
    const DeviceInfo* device = DeviceRegistry::Instance().Current();
    if (!device) return APLIF_ERR_NO_SCANNER;
    if (!HaveGui()) return APLIF_ERR_NO_GUI;
    if (DialogOpen()) return APLIF_ERR_BUSY;
    BusyMark busy;
    return CheckMaintenance(State().deviceIni, *device, *texts, OwnerWidget(),
                            MessageCaption(TextId::kCaptionMaintenance));
  });
}

// --- disk space ---

int32_t InitDiskChkParam(CAplIFData*, APL_DISK_CHK_PARAM* param) {
  return Guarded([&] {
    State().diskParam.reset();
    if (param) std::memset(param, 0, sizeof *param);
    return APLIF_OK;
  });
}

int32_t SetDiskChkParam(CAplIFData*, const APL_DISK_CHK_PARAM* param) {
  return Guarded([&] {
    if (!param || !RootsTerminated(*param)) return APLIF_ERR_BAD_ARGUMENT;
    State().diskParam = *param;
    return APLIF_OK;
  });
}

int32_t CheckDiskFree(CAplIFData*, const APL_DISK_CHK_PARAM* param) {
  return Guarded([&] {
    if (!param) {
      const std::optional<APL_DISK_CHK_PARAM>& stored = State().diskParam;
      return stored ? CheckFreeSpace(*stored) : 1;
    }
    if (!RootsTerminated(*param)) return APLIF_ERR_BAD_ARGUMENT;
    return CheckFreeSpace(*param);
  });
}

constexpr APLIF_OPS kOps = {
    sizeof(APLIF_OPS),
    APLIF_INTERFACE_REVISION,
    InitInstanceForVEXO,
    ExitInstance,
    SetHelpPath,
    EntryEventFunc,
    ScanExecForVEXO,
    GetFileName,
    SetScanFileInfoForApl,
    SetCustomizeInfo,
    GetImageType,
    GetCurrentImageType,
    GetBitPixel,
    GetScannerID,
    GetCurScannerName,
    CheckEnableScannerID,
    GetToolkitUnit,
    ScanGetHeadPosition,
    ScanGetNext,
    FileNamingGetHeadPosition,
    FileNamingGetNext,
    GetCurScanSettingNo,
    SetCurScanSettingNo,
    GetCurFileNamingSettingNo,
    SetCurFileNamingSettingNo,
    GetFileNamingSettingCnt,
    SetCurSameName,
    GetUseSpecifiedReadCond,
    ScanSettingForAPL,
    ScanSettingListDlg,
    JobScanSetting,
    JobScanSettingListDlg,
    ScanSelectDlg,
    PreCheckScannerBaseInfo,
    DispUserReadCond,
    CheckRollerWarning,
    InitDiskChkParam,
    SetDiskChkParam,
    CheckDiskFree,
};

CAplIFData g_data = {0, {}, 0, &kOps};

}  // namespace

CAplIFData& GlobalData() noexcept { return g_data; }

}  // namespace aplif

extern "C" __attribute__((visibility("default"))) CAplIFData* AplIFGetGlobalDataPtr(void) {
  // The registry sets the current scanner id on first use.
  (void)aplif::DeviceRegistry::Instance();
  return &aplif::GlobalData();
}
