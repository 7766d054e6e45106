/* BelvAplIF: the scanner application interface. One process-wide object,
 * CAplIFData, holds the owner window and the current scanner and reaches
 * the library's operations through a table of C function pointers, so a
 * program that binds the library by name at run time (dlopen, then the
 * export AplIFGetGlobalDataPtr) calls every operation through the inline
 * members below without linking against the library.
 *
 * Export: AplIFGetGlobalDataPtr.
 *
 * Operations (members of CAplIFData, slots of APLIF_OPS), by section:
 *   lifecycle        InitInstanceForVEXO, ExitInstance, SetHelpPath
 *   scanning         EntryEventFunc, ScanExecForVEXO (not available yet),
 *                    GetFileName, SetScanFileInfoForApl, SetCustomizeInfo
 *   image type       GetImageType, GetCurrentImageType, GetBitPixel
 *   scanners         GetScannerID, GetCurScannerName, CheckEnableScannerID,
 *                    GetToolkitUnit
 *   setting lists    ScanGetHeadPosition, ScanGetNext,
 *                    FileNamingGetHeadPosition, FileNamingGetNext,
 *                    GetCurScanSettingNo, SetCurScanSettingNo,
 *                    GetCurFileNamingSettingNo, SetCurFileNamingSettingNo,
 *                    GetFileNamingSettingCnt, SetCurSameName,
 *                    GetUseSpecifiedReadCond
 *   dialogs (modal)  ScanSettingForAPL, ScanSettingListDlg, JobScanSetting,
 *                    JobScanSettingListDlg, ScanSelectDlg,
 *                    PreCheckScannerBaseInfo, DispUserReadCond
 *   maintenance      CheckRollerWarning
 *   disk space       InitDiskChkParam, SetDiskChkParam, CheckDiskFree
 *
 * Files. Scan settings live in the ScanSet.ini and file naming (job)
 * settings in the JobSet.ini whose paths InitInstanceForVEXO receives; the
 * page counters behind the maintenance warnings live in AplDevice.ini in
 * the folder of ScanSet.ini. A missing file, or one that yields no usable
 * setting, gets the default set written into it (lines of other sections
 * are kept); one that cannot be read, or is larger than 1 MiB, is never
 * replaced: the defaults are used in memory and InitInstanceForVEXO
 * answers 1. Every write replaces a file atomically. Reading is forgiving: a count above APLIF_MAX_SETTINGS reads
 * that many, a missing [ScanSettingN] / [JobSettingN] section is skipped, a
 * name is trimmed and cut to APLIF_NAME_SIZE - 1 bytes (at a character
 * boundary), an empty name or one that repeats an earlier name ignoring
 * case is skipped, and a value out of its range takes its default.
 *
 * Results. Every operation returns a 32-bit result; a negative one is an
 * APLIF_ERR_* code. Operations taking an int32_t* status write it when it is
 * not null: 0 on success, errno when a file could not be written, else the
 * negative result. Nothing throws. All operations run on the GUI thread of
 * the caller's QApplication; calls must not overlap.
 *
 * Records are pointer-free and have the same layout on every build. The
 * global object's fixed fields lie before its one pointer, so their offsets
 * hold everywhere; the pointer's offset and the object's size are those of
 * a 32-bit build only where pointers are 4 bytes. The header compiles as C
 * (records and object layout only) so that a -m32 C compile proves them. */
#ifndef BELVAPLIF_H
#define BELVAPLIF_H

#include <stddef.h>
#include <stdint.h>

/* ---- Results --------------------------------------------------------- */

#define APLIF_OK 0
#define APLIF_ERR_NOT_INITIALIZED (-1) /* InitInstanceForVEXO has not succeeded */
#define APLIF_ERR_BAD_ARGUMENT (-2)    /* null pointer, bad buffer size, value out of range */
#define APLIF_ERR_NOT_FOUND (-3)       /* no setting or scanner of that number or name */
#define APLIF_ERR_WRITE (-4)           /* a settings file could not be written (status: errno) */
#define APLIF_ERR_NO_SCANNER (-5)      /* no scanner is current */
#define APLIF_ERR_NOT_AVAILABLE (-6)   /* the operation is not offered by this library */
#define APLIF_ERR_NO_GUI (-7)          /* a dialog was asked for without a QApplication */
#define APLIF_ERR_DISK_QUERY (-8)      /* the free space of a root could not be read */
#define APLIF_ERR_REVISION (-9)        /* the caller needs a newer interface revision */
#define APLIF_ERR_INTERNAL (-10)       /* out of memory or another unexpected failure */
#define APLIF_ERR_NO_PAGE (-11)        /* no page file is being delivered */
#define APLIF_ERR_BUSY (-12)           /* a dialog of the interface is already open */

/* Revision of the operation table; InitInstanceForVEXO refuses a caller
 * that asks for a newer one. */
#define APLIF_INTERFACE_REVISION 4

/* ---- Private window messages to the owner window ---------------------- */
/* Posted (queued) through the platform message channel to the window id in
 * CAplIFData::ownerWindow; nothing is posted while it is 0. */
#define APLIF_MSG_OWNER_QUERY 0x502u           /* sent; the owner answers 1 */
#define APLIF_MSG_SCAN_SETTINGS_CHANGED 0x521u /* wParam: current scan setting number */
#define APLIF_MSG_FILE_NAMING_CHANGED 0x522u   /* wParam: current file naming setting number */
#define APLIF_MSG_REFRESH_FILE_LIST 0x523u     /* refresh the file list bar */
#define APLIF_MSG_SCAN_STARTED 0x551u
#define APLIF_MSG_SCAN_ENDED 0x552u            /* lParam: page count and status (with the scan) */
#define APLIF_MSG_REDRAW_VIEWS 0x701u

/* ---- Values ----------------------------------------------------------- */

#define APLIF_NAME_SIZE 64        /* setting and scanner names: 63 bytes of UTF-8 + NUL */
#define APLIF_MAX_SETTINGS 100    /* most scan settings, and most file naming settings */
#define APLIF_USER_READ_CONDS 9   /* user read conditions (control sheet functions 1..9) */
#define APLIF_FILE_NAME_SIZE 255  /* GetFileName buffer */
#define APLIF_JOB_FOLDER_SIZE 264 /* ScanExecForVEXO job folder buffer */
#define APLIF_WARNING_TEXT_SIZE 256

/* Image types of a scan setting. 4 and 5 deliver two streams: a black and
 * white main stream and a companion in 8-bit gray (4) or 24-bit colour (5). */
#define APL_IMAGE_BW 0
#define APL_IMAGE_GRAY16 1
#define APL_IMAGE_GRAY256 2
#define APL_IMAGE_COLOR 3
#define APL_IMAGE_BW_GRAY 4
#define APL_IMAGE_BW_COLOR 5

/* Paper sizes of a scan setting. */
#define APL_PAPER_LETTER 0 /* 215.9 x 279.4 mm */
#define APL_PAPER_LEGAL 1  /* 215.9 x 355.6 mm */
#define APL_PAPER_A3 2     /* 297 x 420 mm */
#define APL_PAPER_A4 3     /* 210 x 297 mm */
#define APL_PAPER_A5 4     /* 148 x 210 mm */
#define APL_PAPER_B5 5     /* 182 x 257 mm (JIS) */

/* Measurement unit (GetToolkitUnit). */
#define APL_UNIT_MM 0
#define APL_UNIT_INCH 1

/* SetCurSameName kinds. */
#define APL_KIND_FILE_NAMING 0
#define APL_KIND_SCAN 1

/* CheckEnableScannerID features. */
#define APL_FEATURE_SCAN 0      /* option: a scan mode (1, 2, 4, 8, 16) or -1 */
#define APL_FEATURE_USER_SHEET 1 /* option: a function number 1..9 or -1 */

/* The built-in device: a virtual sheet feeder, duplex, 50..600 dpi, with
 * all nine user control sheet functions. */
#define APL_SCANNER_ID_VIRTUAL_FEEDER 18

/* ---- Dialogs and their controls ---------------------------------------- */
/* Each dialog carries its id, and each control its control id, as the Qt
 * property "ctrlId"; the dialog's object name is its operation's name. */
#define APL_DLG_SCAN_SETTING 3001      /* ScanSettingForAPL */
#define APL_DLG_SCAN_SETTING_LIST 3002 /* ScanSettingListDlg */
#define APL_DLG_JOB_SETTING 3003       /* JobScanSetting */
#define APL_DLG_JOB_SETTING_LIST 3004  /* JobScanSettingListDlg */
#define APL_DLG_SCAN_SELECT 3005       /* ScanSelectDlg */
#define APL_DLG_USER_READ_COND 3007    /* DispUserReadCond */
/* PreCheckScannerBaseInfo and the maintenance warnings are platform message
 * boxes (object name "vistelMessageBox", buttons by result id). */

#define APL_IDC_OK 1
#define APL_IDC_CANCEL 2
#define APL_IDC_HELP 9                /* shown when SetHelpPath gave a manual */
#define APL_IDC_ERROR 1099            /* label: why OK or a list button was refused */
#define APL_IDC_NAME 1101             /* line edit: setting name (both editors) */
#define APL_IDC_IMAGE_TYPE 1102       /* combo: APL_IMAGE_*, item index = type */
#define APL_IDC_RESOLUTION 1103       /* spin box: dpi */
#define APL_IDC_PAPER 1104            /* combo: APL_PAPER_*, item index = code */
#define APL_IDC_DUPLEX 1105           /* check box */
#define APL_IDC_UNIT 1106             /* combo: APL_UNIT_* (scan setting, user read condition) */
#define APL_IDC_LIST 1201             /* list widget: settings or scanners */
#define APL_IDC_LIST_NAME 1202        /* line edit: name for Add and Rename */
#define APL_IDC_ADD 1203              /* button: add a copy of the selected setting */
#define APL_IDC_RENAME 1204           /* button */
#define APL_IDC_DELETE 1205           /* button */
#define APL_IDC_FILE_PREFIX 1302      /* line edit: output file name prefix */
#define APL_IDC_DIGITS 1303           /* spin box: 1..7 digits of the file number */
#define APL_IDC_PAGES_PER_FILE 1304   /* spin box: 0 = divide at control sheets only */
#define APL_IDC_USE_OWN_SETTING 1305  /* check box: the job uses its own scan setting */
#define APL_IDC_OWN_SETTING 1306      /* combo: scan setting names */
#define APL_IDC_FUNCTION_LABEL 1501   /* label: "Function #n" */
#define APL_IDC_READ_COND 1502        /* combo: item 0 = none, then the scan settings */

/* ---- Records ------------------------------------------------------------ */

/* Border and shadow removal widths for the next scan, in tenths of a
 * millimetre (one decimal, rounded). */
typedef struct APL_CSTM_INF {
  int32_t borderLeft;
  int32_t borderTop;
  int32_t borderRight;
  int32_t borderBottom;
  int32_t shadowLeft;
  int32_t shadowTop;
  int32_t shadowRight;
  int32_t shadowBottom;
} APL_CSTM_INF;

/* Output file type code per image type of the page. */
typedef struct EACH_FILETYPE {
  int32_t bwFileType;      /* black and white */
  int32_t gray16FileType;  /* 16-level gray */
  int32_t gray256FileType; /* 256-level gray */
  int32_t colorFileType;   /* colour */
} EACH_FILETYPE;

/* Disk check parameters: up to two targets and the working folder. Roots
 * are NUL-terminated UTF-8 paths (mount points); an empty root is not
 * checked. */
typedef struct APL_DISK_CHK_PARAM {
  uint64_t threshold;     /* bytes that must stay free on every checked root */
  uint64_t expectedSize1; /* size of the first target's file after the operation */
  uint64_t expectedSize2; /* the same for the second target */
  char root1[512];        /* root of the first target */
  char root2[512];        /* root of the second target */
  char workRoot[512];     /* root of the working folder */
} APL_DISK_CHK_PARAM;

/* The six maintenance warning texts, kept by the caller between runs. Each
 * holds "<scanner id>:<counter generation>:<pages when last warned>" or is
 * empty; the caller stores every non-empty text back. */
typedef struct APL_WARNING_TEXTS {
  char cleanRoller[APLIF_WARNING_TEXT_SIZE];
  char replaceRoller[APLIF_WARNING_TEXT_SIZE];
  char frReplaceLamp[APLIF_WARNING_TEXT_SIZE];
  char bkReplaceLamp[APLIF_WARNING_TEXT_SIZE];
  char frCleanPlate[APLIF_WARNING_TEXT_SIZE];
  char bkCleanPlate[APLIF_WARNING_TEXT_SIZE];
} APL_WARNING_TEXTS;

/* Page callback of a scan. Its event record comes with the scan. */
typedef int32_t (*APLIF_EVENT_FUNC)(const void* eventRecord);

/* ---- Operation table ---------------------------------------------------- */

typedef struct CAplIFData CAplIFData;

/* Slots are only ever appended; size tells which ones a library has. */
typedef struct APLIF_OPS {
  uint32_t size;     /* sizeof(APLIF_OPS) of the library */
  uint32_t revision; /* APLIF_INTERFACE_REVISION of the library */
  int32_t (*InitInstanceForVEXO)(CAplIFData*, const char* title, uint32_t ownerWindow, int32_t callerKind,
                                 int32_t interfaceRevision, int32_t options, const char* jobSetIni,
                                 const char* scanSetIni, int32_t* status);
  int32_t (*ExitInstance)(CAplIFData*, int32_t* status);
  int32_t (*SetHelpPath)(CAplIFData*, const char* manualPath);
  int32_t (*EntryEventFunc)(CAplIFData*, APLIF_EVENT_FUNC callback, int32_t flags, int32_t* status);
  int32_t (*ScanExecForVEXO)(CAplIFData*, int32_t scanMode, int32_t flag, int32_t param1, int32_t param2,
                             int32_t param3, char* jobFolder, int32_t continueOption, int32_t* status);
  int32_t (*GetFileName)(CAplIFData*, char* buffer, int32_t bufferSize);
  int32_t (*SetScanFileInfoForApl)(CAplIFData*, const char* folder, const char* name, const char* extension,
                                   int32_t overwriteWarning, int32_t fileType, int32_t digits,
                                   int32_t initialNumber, int32_t compressionBW, int32_t compression4,
                                   int32_t compression8, int32_t compression24, int32_t jpegQuality,
                                   const EACH_FILETYPE* fileTypes, int32_t multiPage, int32_t* status);
  int32_t (*SetCustomizeInfo)(CAplIFData*, const APL_CSTM_INF* widths, int32_t* status);
  int32_t (*GetImageType)(CAplIFData*, int32_t jobMode);
  int32_t (*GetCurrentImageType)(CAplIFData*, int32_t jobMode);
  int32_t (*GetBitPixel)(CAplIFData*, int32_t jobMode);
  int32_t (*GetScannerID)(CAplIFData*, const char* name);
  int32_t (*GetCurScannerName)(CAplIFData*, char* buffer, int32_t bufferSize);
  int32_t (*CheckEnableScannerID)(CAplIFData*, int32_t scannerId, int32_t feature, int32_t option);
  int32_t (*GetToolkitUnit)(CAplIFData*);
  int32_t (*ScanGetHeadPosition)(CAplIFData*);
  int32_t (*ScanGetNext)(CAplIFData*, int32_t* position, char* name, int32_t nameSize);
  int32_t (*FileNamingGetHeadPosition)(CAplIFData*);
  int32_t (*FileNamingGetNext)(CAplIFData*, int32_t* position, char* name, int32_t nameSize);
  int32_t (*GetCurScanSettingNo)(CAplIFData*);
  int32_t (*SetCurScanSettingNo)(CAplIFData*, int32_t number);
  int32_t (*GetCurFileNamingSettingNo)(CAplIFData*);
  int32_t (*SetCurFileNamingSettingNo)(CAplIFData*, int32_t number);
  int32_t (*GetFileNamingSettingCnt)(CAplIFData*);
  int32_t (*SetCurSameName)(CAplIFData*, int32_t kind, const char* name);
  int32_t (*GetUseSpecifiedReadCond)(CAplIFData*, char* name, int32_t nameSize);
  int32_t (*ScanSettingForAPL)(CAplIFData*);
  int32_t (*ScanSettingListDlg)(CAplIFData*);
  int32_t (*JobScanSetting)(CAplIFData*);
  int32_t (*JobScanSettingListDlg)(CAplIFData*);
  int32_t (*ScanSelectDlg)(CAplIFData*);
  int32_t (*PreCheckScannerBaseInfo)(CAplIFData*);
  int32_t (*DispUserReadCond)(CAplIFData*, int32_t function, int32_t* settingNumber);
  int32_t (*CheckRollerWarning)(CAplIFData*, APL_WARNING_TEXTS* texts);
  int32_t (*InitDiskChkParam)(CAplIFData*, APL_DISK_CHK_PARAM* param);
  int32_t (*SetDiskChkParam)(CAplIFData*, const APL_DISK_CHK_PARAM* param);
  int32_t (*CheckDiskFree)(CAplIFData*, const APL_DISK_CHK_PARAM* param);
} APLIF_OPS;

/* ---- The global object -------------------------------------------------- */

#define APLIF_DATA_RESERVED_BYTES 35364

#ifdef __cplusplus
#define APLIF_CALL(slot, ...)                                                                   \
  ((ops != nullptr && ops->size >= offsetof(APLIF_OPS, slot) + sizeof(ops->slot) && ops->slot) \
       ? ops->slot(this __VA_OPT__(, ) __VA_ARGS__)                                             \
       : APLIF_ERR_NOT_AVAILABLE)
#endif

struct CAplIFData {
  /* Owner window (32-bit native window id, 0 = none). Set by
   * InitInstanceForVEXO; the caller may store its main window here later. */
  uint32_t ownerWindow;
  uint8_t reserved[APLIF_DATA_RESERVED_BYTES];
  /* Current scanner id (0 = none). Written by the library only. */
  int32_t curScannerId;
  /* The library's operations; never null in the library's object. */
  const APLIF_OPS* ops;

#ifdef __cplusplus
  /* --- lifecycle --- */

  /* Starts the interface: takes the owner window, reads ScanSet.ini and
   * JobSet.ini (writing the default set where a file is missing or holds no
   * usable setting) and remembers title as the caption of its messages.
   *   [in] title              caption text, UTF-8; null = empty
   *   [in] ownerWindow        native window id of the owner, 0 = none
   *   [in] callerKind         1 = the viewer; recorded
   *   [in] interfaceRevision  the revision the caller was built for (4)
   *   [in] options            0; other values are refused
   *   [in] jobSetIni          path of JobSet.ini, not null or empty
   *   [in] scanSetIni         path of ScanSet.ini, not null or empty
   *   [out] status            optional
   * Returns 0; 1 when running on defaults that could not be written (status
   * = errno); APLIF_ERR_BAD_ARGUMENT; APLIF_ERR_REVISION; APLIF_ERR_BUSY.
   * A second call ends the running instance as ExitInstance does, then
   * starts afresh from the files. */
  int32_t InitInstanceForVEXO(const char* title, uint32_t ownerWindowId, int32_t callerKind,
                              int32_t interfaceRevision, int32_t options, const char* jobSetIni,
                              const char* scanSetIni, int32_t* status = nullptr) {
    return APLIF_CALL(InitInstanceForVEXO, title, ownerWindowId, callerKind, interfaceRevision, options,
                      jobSetIni, scanSetIni, status);
  }
  /* Stores the current selections and forgets the settings; every settings
   * operation then answers APLIF_ERR_NOT_INITIALIZED. The owner window and
   * the current scanner are kept.
   * A file whose last write failed is written again.
   * Returns 0; APLIF_ERR_WRITE (status = errno); APLIF_ERR_BUSY;
   * APLIF_ERR_NOT_INITIALIZED. */
  int32_t ExitInstance(int32_t* status = nullptr) { return APLIF_CALL(ExitInstance, status); }
  /* [in] manualPath  help manual opened by the dialogs' Help button; null or
   * empty hides the button. Returns 0. */
  int32_t SetHelpPath(const char* manualPath) { return APLIF_CALL(SetHelpPath, manualPath); }

  /* --- scanning --- */

  /* Registers the page callback of the next scan. Not available in this
   * library: returns APLIF_ERR_NOT_AVAILABLE. */
  int32_t EntryEventFunc(APLIF_EVENT_FUNC callback, int32_t flags, int32_t* status = nullptr) {
    return APLIF_CALL(EntryEventFunc, callback, flags, status);
  }
  /* Runs a scan (modes 1 plain, 2 job, 4 prescan, 8 replace, 16 insert).
   * jobFolder is an APLIF_JOB_FOLDER_SIZE buffer or null. Not available in
   * this library: returns APLIF_ERR_NOT_AVAILABLE. */
  int32_t ScanExecForVEXO(int32_t scanMode, int32_t flag, int32_t param1, int32_t param2, int32_t param3,
                          char* jobFolder, int32_t continueOption, int32_t* status = nullptr) {
    return APLIF_CALL(ScanExecForVEXO, scanMode, flag, param1, param2, param3, jobFolder, continueOption,
                      status);
  }
  /* [out] buffer  path of the page file being delivered, NUL-terminated, or
   *               empty; bufferSize ≥ 1 (APLIF_FILE_NAME_SIZE is enough).
   * Returns the path's length; APLIF_ERR_NO_PAGE outside a page callback;
   * APLIF_ERR_BAD_ARGUMENT; APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetFileName(char* buffer, int32_t bufferSize) { return APLIF_CALL(GetFileName, buffer, bufferSize); }
  /* Output naming of the next scan.
   *   [in] folder, name, extension  UTF-8, not null (may be empty)
   *   [in] overwriteWarning         0 or 1
   *   [in] fileType                 0 TIFF, 1 BMP, 2 JPEG, 3 PDF, -1 by image type
   *   [in] digits, initialNumber    0..7 digits; 0..9999999
   *   [in] compressionBW … 24       TIFF compression codes for 1, 4, 8, 24 bits
   *   [in] jpegQuality              1..100
   *   [in] fileTypes                per-image-type file types, not null
   *   [in] multiPage                1 = all pages in one file
   * Returns 0; APLIF_ERR_BAD_ARGUMENT (nothing changed); APLIF_ERR_NOT_INITIALIZED. */
  int32_t SetScanFileInfoForApl(const char* folder, const char* name, const char* extension,
                                int32_t overwriteWarning, int32_t fileType, int32_t digits,
                                int32_t initialNumber, int32_t compressionBW, int32_t compression4,
                                int32_t compression8, int32_t compression24, int32_t jpegQuality,
                                const EACH_FILETYPE* fileTypes, int32_t multiPage, int32_t* status = nullptr) {
    return APLIF_CALL(SetScanFileInfoForApl, folder, name, extension, overwriteWarning, fileType, digits,
                      initialNumber, compressionBW, compression4, compression8, compression24, jpegQuality,
                      fileTypes, multiPage, status);
  }
  /* [in] widths  border and shadow widths of the next scan, each 0..4318
   * (431.8 mm). Returns 0; APLIF_ERR_BAD_ARGUMENT; APLIF_ERR_NOT_INITIALIZED. */
  int32_t SetCustomizeInfo(const APL_CSTM_INF* widths, int32_t* status = nullptr) {
    return APLIF_CALL(SetCustomizeInfo, widths, status);
  }

  /* --- image type of the setting in force --- */

  /* [in] jobMode  non-zero: the current file naming setting's own scan
   * setting when it has one (GetUseSpecifiedReadCond), else the current
   * scan setting; 0: the current scan setting.
   * Returns APL_IMAGE_*; APLIF_ERR_NOT_FOUND (no setting); APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetImageType(int32_t jobMode) { return APLIF_CALL(GetImageType, jobMode); }
  /* The image type of the page being delivered; while no scan runs, the same
   * as GetImageType. */
  int32_t GetCurrentImageType(int32_t jobMode) { return APLIF_CALL(GetCurrentImageType, jobMode); }
  /* Bits per pixel of the main stream of the setting in force (jobMode as
   * for GetImageType): 1, 4, 8 or 24; 1 for the two-stream types. */
  int32_t GetBitPixel(int32_t jobMode) { return APLIF_CALL(GetBitPixel, jobMode); }

  /* --- scanners --- */

  /* Selects the known scanner of that name (ignoring case) and returns its
   * id (> 0), also stored in curScannerId. Works before InitInstanceForVEXO.
   * Returns APLIF_ERR_NOT_FOUND (selection unchanged); APLIF_ERR_BAD_ARGUMENT
   * for a null name. */
  int32_t GetScannerID(const char* name) { return APLIF_CALL(GetScannerID, name); }
  /* [out] buffer  name of the current scanner, NUL-terminated, truncated to
   * bufferSize - 1 bytes; empty when none is current. Returns the length
   * written; APLIF_ERR_BAD_ARGUMENT (null buffer, size < 1). */
  int32_t GetCurScannerName(char* buffer, int32_t bufferSize) {
    return APLIF_CALL(GetCurScannerName, buffer, bufferSize);
  }
  /* Returns 1 when scannerId is a known scanner that offers the feature
   * (APL_FEATURE_*) with the option (-1 = any), else 0. */
  int32_t CheckEnableScannerID(int32_t scannerId, int32_t feature, int32_t option) {
    return APLIF_CALL(CheckEnableScannerID, scannerId, feature, option);
  }
  /* Returns the measurement unit of the settings dialogs, APL_UNIT_MM or
   * APL_UNIT_INCH; APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetToolkitUnit() { return APLIF_CALL(GetToolkitUnit); }

  /* --- setting lists --- */
  /* Positions are cookies: > 0 names an entry, 0 is the end of the list. */

  /* Returns the position of the first scan setting, 0 when there is none;
   * APLIF_ERR_NOT_INITIALIZED. */
  int32_t ScanGetHeadPosition() { return APLIF_CALL(ScanGetHeadPosition); }
  /* [in,out] position  entry to read; advanced to the next one (0 at the end)
   * [out]    name      the entry's name, truncated to nameSize - 1 bytes
   * Returns the entry's setting number (0-based); APLIF_ERR_BAD_ARGUMENT for
   * a null pointer, nameSize < 1 or a position that names no entry (then
   * *position = 0 and name is empty); APLIF_ERR_NOT_INITIALIZED. */
  int32_t ScanGetNext(int32_t* position, char* name, int32_t nameSize) {
    return APLIF_CALL(ScanGetNext, position, name, nameSize);
  }
  /* The same over the file naming (job) settings. */
  int32_t FileNamingGetHeadPosition() { return APLIF_CALL(FileNamingGetHeadPosition); }
  int32_t FileNamingGetNext(int32_t* position, char* name, int32_t nameSize) {
    return APLIF_CALL(FileNamingGetNext, position, name, nameSize);
  }
  /* Returns the current scan setting number (0-based); APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetCurScanSettingNo() { return APLIF_CALL(GetCurScanSettingNo); }
  /* Makes setting number current and stores it in ScanSet.ini.
   * Returns 0; APLIF_ERR_NOT_FOUND; APLIF_ERR_WRITE (current in memory
   * anyway; ExitInstance tries again); APLIF_ERR_BUSY while a dialog of the
   * interface is open; APLIF_ERR_NOT_INITIALIZED. */
  int32_t SetCurScanSettingNo(int32_t number) { return APLIF_CALL(SetCurScanSettingNo, number); }
  /* The same for the file naming settings (JobSet.ini). */
  int32_t GetCurFileNamingSettingNo() { return APLIF_CALL(GetCurFileNamingSettingNo); }
  int32_t SetCurFileNamingSettingNo(int32_t number) { return APLIF_CALL(SetCurFileNamingSettingNo, number); }
  /* Returns the number of file naming settings; APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetFileNamingSettingCnt() { return APLIF_CALL(GetFileNamingSettingCnt); }
  /* Makes the setting of that name current (ignoring case; not trimmed).
   *   [in] kind  APL_KIND_SCAN (1) or APL_KIND_FILE_NAMING (0)
   *   [in] name  UTF-8; null or empty matches nothing
   * Returns 1 found and selected; 0 not found (selection unchanged);
   * APLIF_ERR_BAD_ARGUMENT (other kind); APLIF_ERR_WRITE; APLIF_ERR_BUSY;
   * APLIF_ERR_NOT_INITIALIZED. */
  int32_t SetCurSameName(int32_t kind, const char* name) { return APLIF_CALL(SetCurSameName, kind, name); }
  /* [out] name  the current file naming setting's own scan setting name,
   * truncated to nameSize - 1 bytes; empty when it has none (or names a
   * scan setting that does not exist).
   * Returns 1 when it has one, 0 when not; APLIF_ERR_BAD_ARGUMENT;
   * APLIF_ERR_NOT_INITIALIZED. */
  int32_t GetUseSpecifiedReadCond(char* name, int32_t nameSize) {
    return APLIF_CALL(GetUseSpecifiedReadCond, name, nameSize);
  }

  /* --- dialogs: modal, parented to the owner window when it is a widget --- */
  /* Each returns 1 when OK stored the changes, 0 when cancelled;
   * APLIF_ERR_NO_GUI; APLIF_ERR_BUSY; APLIF_ERR_NOT_INITIALIZED;
   * APLIF_ERR_WRITE (the changes stay in memory). */

  /* Edits the current scan setting: name, image type, resolution, paper,
   * duplex, and the measurement unit. Posts APLIF_MSG_SCAN_SETTINGS_CHANGED. */
  int32_t ScanSettingForAPL() { return APLIF_CALL(ScanSettingForAPL); }
  /* Adds, renames and deletes scan settings and chooses the current one.
   * Renames and deletions follow into the file naming settings and the user
   * read conditions. Posts APLIF_MSG_SCAN_SETTINGS_CHANGED (and
   * APLIF_MSG_FILE_NAMING_CHANGED when a file naming setting followed). */
  int32_t ScanSettingListDlg() { return APLIF_CALL(ScanSettingListDlg); }
  /* Edits the current file naming setting: name, file prefix, digits, pages
   * per file, its own scan setting. APLIF_ERR_NO_SCANNER when no scanner is
   * current. Posts APLIF_MSG_FILE_NAMING_CHANGED. */
  int32_t JobScanSetting() { return APLIF_CALL(JobScanSetting); }
  /* Adds, renames and deletes file naming settings and chooses the current
   * one. Posts APLIF_MSG_FILE_NAMING_CHANGED. */
  int32_t JobScanSettingListDlg() { return APLIF_CALL(JobScanSettingListDlg); }
  /* Chooses the current scanner among the known ones (curScannerId follows).
   * Works before InitInstanceForVEXO. */
  int32_t ScanSelectDlg() { return APLIF_CALL(ScanSelectDlg); }
  /* Shows the current scanner's name, id and page counters in an
   * information box. Returns 1 when a scanner is current (it can scan), 0
   * when none is (the box says so); APLIF_ERR_NO_GUI; APLIF_ERR_NOT_INITIALIZED. */
  int32_t PreCheckScannerBaseInfo() { return APLIF_CALL(PreCheckScannerBaseInfo); }
  /* Chooses the scan setting that user control sheet function n selects,
   * and the measurement unit.
   *   [in]  function       1..9
   *   [out] settingNumber  optional: the scan setting number the function now
   *                        selects, -1 for none (also after Cancel)
   * APLIF_ERR_BAD_ARGUMENT for another function number. */
  int32_t DispUserReadCond(int32_t function, int32_t* settingNumber = nullptr) {
    return APLIF_CALL(DispUserReadCond, function, settingNumber);
  }

  /* --- maintenance --- */

  /* For each of the six items whose page counter of the current scanner
   * reached its limit: unless this text says the operator was warned for
   * the same scanner and counter generation less than a tenth of the limit
   * ago, shows a Yes/No warning. Yes (the maintenance was done) resets the
   * counter and starts a new generation; No leaves it. The item's text is
   * then rewritten. Items the scanner does not have are left alone.
   *   [in,out] texts  the six texts (hostile content reads as "not warned")
   * Returns the number of warnings shown; APLIF_ERR_BAD_ARGUMENT;
   * APLIF_ERR_NOT_INITIALIZED; APLIF_ERR_NO_SCANNER (texts unchanged);
   * APLIF_ERR_WRITE (a reset could not be stored; the texts are updated). */
  int32_t CheckRollerWarning(APL_WARNING_TEXTS* texts) { return APLIF_CALL(CheckRollerWarning, texts); }

  /* --- disk space --- */

  /* Forgets the stored disk check parameters and, when param is not null,
   * zero-fills it. Returns 0. */
  int32_t InitDiskChkParam(APL_DISK_CHK_PARAM* param) { return APLIF_CALL(InitDiskChkParam, param); }
  /* Stores a copy of the parameters for the next scan's checks.
   * Returns 0; APLIF_ERR_BAD_ARGUMENT (null, or a root without its NUL). */
  int32_t SetDiskChkParam(const APL_DISK_CHK_PARAM* param) { return APLIF_CALL(SetDiskChkParam, param); }
  /* Checks free space: every non-empty root must have more free bytes than
   * the threshold plus the expected sizes of the targets on it (targets
   * with the same root string add up; the working folder's root needs the
   * threshold only).
   *   [in] param  the parameters; null = the stored ones
   * Returns 1 space enough (also when no root is given); 0 not enough;
   * APLIF_ERR_DISK_QUERY; APLIF_ERR_BAD_ARGUMENT. */
  int32_t CheckDiskFree(const APL_DISK_CHK_PARAM* param) { return APLIF_CALL(CheckDiskFree, param); }
#endif
};

#ifdef __cplusplus
#undef APLIF_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's one object; never null. */
CAplIFData* AplIFGetGlobalDataPtr(void);
typedef CAplIFData* (*AplIFGetGlobalDataPtrFn)(void);

#ifdef __cplusplus
}
#endif

/* ---- Layout checks -------------------------------------------------------- */

#ifdef __cplusplus
#define APLIF_ASSERT(c, m) static_assert(c, m)
#else
#define APLIF_ASSERT(c, m) _Static_assert(c, m)
#endif
APLIF_ASSERT(offsetof(CAplIFData, ownerWindow) == 0, "owner window is the first field");
APLIF_ASSERT(offsetof(CAplIFData, curScannerId) == 35368, "current scanner id at 35368");
APLIF_ASSERT(sizeof(APL_CSTM_INF) == 32, "APL_CSTM_INF is 32 bytes");
APLIF_ASSERT(offsetof(APL_CSTM_INF, shadowLeft) == 16, "shadow widths at 16");
APLIF_ASSERT(sizeof(EACH_FILETYPE) == 16, "EACH_FILETYPE is 16 bytes");
APLIF_ASSERT(offsetof(EACH_FILETYPE, colorFileType) == 12, "colour file type at 12");
APLIF_ASSERT(sizeof(APL_DISK_CHK_PARAM) == 1560, "disk check record is 1560 bytes");
APLIF_ASSERT(offsetof(APL_DISK_CHK_PARAM, expectedSize1) == 8, "first expected size at 8");
APLIF_ASSERT(offsetof(APL_DISK_CHK_PARAM, expectedSize2) == 16, "second expected size at 16");
APLIF_ASSERT(offsetof(APL_DISK_CHK_PARAM, root1) == 24, "first root at 24");
APLIF_ASSERT(offsetof(APL_DISK_CHK_PARAM, root2) == 536, "second root at 536");
APLIF_ASSERT(offsetof(APL_DISK_CHK_PARAM, workRoot) == 1048, "working folder root at 1048");
APLIF_ASSERT(sizeof(APL_WARNING_TEXTS) == 6 * APLIF_WARNING_TEXT_SIZE, "six warning texts");
#if UINTPTR_MAX == 0xFFFFFFFFu
APLIF_ASSERT(offsetof(CAplIFData, ops) == 35372, "operation table pointer at 35372");
APLIF_ASSERT(sizeof(CAplIFData) == 35376, "CAplIFData is 35376 bytes on a 32-bit build");
#endif
#undef APLIF_ASSERT

#endif /* BELVAPLIF_H */
