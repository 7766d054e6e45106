// CVEXOFileInfo: the one model of the open working file. It owns
//
//   - the source files that make up the working file (VEXO_FILE_NAME_INF),
//   - one record per page in display order (VEXO_FILE_PAGE_INF), each with
//     up to two sides: side 1 the "-C" companion image, side 2 the main one,
//   - the temporary page files in the working folder: edit files
//     ("%02d%06d.tmp", one page each) and insert files ("%02dI%05d.tmp", the
//     pages of one insertion scan),
//   - the undo record of the last page operation (one deep),
//   - the eight view slots that tell each pane which page side it shows.
//
// Operations, by group:
//   working file   Clear, OpenFiles, OpenFilePairs, AddScanPage, Finish,
//                  RememberFiles / ReopenFiles, DeleteLeftovers
//   addressing     PageToIndex, GetPageSides, GetPageSource, Renumber,
//                  RenumberFiles, GetModifiedFiles, DiscardChanges
//   view slots     FillViewSlots, ScanPageView, LoadViewSlot, SetViewState,
//                  GetViewState, FirstPageOfScreen
//   page edits     CheckBeforeEdit, CheckReplaceType, NewEditFile, SaveUndo,
//                  SetPageEdit, DeletePage, PrepareInsert, MergeInserted,
//                  Undo, CanDeletePage, CanInsertPage
//
// Numbers: visible page numbers are 1-based and skip deleted pages; pages
// in a file are 1-based; −1 means none. Functions answer 1 for success and 0
// for failure unless said otherwise. Every user-visible failure is a message
// code raised through the message presenter; nothing here throws.
//
// Source files are never written here. The model runs on the GUI thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDIB;
class CVexoDIB;

// Origin flags of a page side.
inline constexpr int32_t kOriginFile = 0x1;
inline constexpr int32_t kOriginScanned = 0x10;
inline constexpr int32_t kOriginReplaced = 0x100;
inline constexpr int32_t kOriginInsertScan = 0x1000;

// Display modes remembered per page side.
inline constexpr int32_t kViewModeZoom = 0;
inline constexpr int32_t kViewModeActualSize = 1;
inline constexpr int32_t kViewModeFitWidth = 2;
inline constexpr int32_t kViewModeFitLength = 3;
inline constexpr int32_t kViewModeFitWindow = 4;

// Model modes.
inline constexpr int32_t kModeEmpty = 0;
inline constexpr int32_t kModeFiles = 1;
inline constexpr int32_t kModeScanned = 2;
inline constexpr int32_t kModePairs = 3;

// Undo kinds.
inline constexpr int32_t kUndoNone = 0;
inline constexpr int32_t kUndoRotateCrop = 1;
inline constexpr int32_t kUndoReplace = 2;
inline constexpr int32_t kUndoDelete = 3;
inline constexpr int32_t kUndoInsertBefore = 4;
inline constexpr int32_t kUndoInsertAfter = 5;

// Insert positions.
inline constexpr int32_t kInsertNone = 0;
inline constexpr int32_t kInsertBefore = 1;
inline constexpr int32_t kInsertAfter = 2;

// One source file (or, during an insertion, one insert temporary file).
struct VEXO_FILE_NAME_INF {
  int32_t fileType = -1;   // type code of the file's first page
  int32_t readOnly = 0;    // 1 if read-only on disk
  int32_t firstPage = -1;  // visible number of its first page
  int32_t lastPage = -1;   // visible number of its last page
  int32_t pageCount = 0;   // pages (of a pair: the larger count; after RenumberFiles: live pages)
  std::string path;        // side-1 file
  int32_t side1ReadOnly = -1, side1FirstPage = -1, side1LastPage = -1, side1PageCount = -1;
  std::string path2;  // side-2 file, empty if none
  int32_t side2ReadOnly = -1, side2FirstPage = -1, side2LastPage = -1, side2PageCount = -1;
};

// One side of a page record.
struct VEXO_PAGE_SIDE_INF {
  int32_t absent = 1;             // 0: the side exists
  int32_t origin = 0;             // kOrigin* flags
  int32_t editFile = -1;          // edit temporary number holding the current image
  int32_t insertFile = -1;        // insert temporary number holding it
  int32_t pageInInsertFile = -1;  // 1-based page in that insert file
  int32_t viewMode = -1;          // kViewMode*
  int32_t zoom = -1;              // hundredths of a percent, for kViewModeZoom
  int32_t scrollX = 0, scrollY = 0;
};

// One page, in display order.
struct VEXO_FILE_PAGE_INF {
  int32_t fileIndex = -1;   // file array index (insert-file array while waiting there)
  int32_t pageInFile = -1;  // 1-based; −1 for pages scanned into an insert file
  int32_t deleted = 0;      // nonzero: skipped everywhere
  VEXO_PAGE_SIDE_INF side1;
  VEXO_PAGE_SIDE_INF side2;
  int32_t reserved = -1;

  VEXO_PAGE_SIDE_INF& Side(int side) noexcept { return side == 2 ? side2 : side1; }
  const VEXO_PAGE_SIDE_INF& Side(int side) const noexcept { return side == 2 ? side2 : side1; }
};

// One insert temporary file; its index in the array is its number.
struct VEXO_INS_FILE_INFO {
  int32_t zero = 0;
  int32_t fileIndex = -1;  // the file the inserted pages belong to
  int32_t side = 1;        // 1 or 2
};

// The undo record: the page as it was before the operation.
struct VEXO_FILE_PAGE_UNDOINF {
  int32_t pageIndex = -1;
  int32_t kind = kUndoNone;
  VEXO_FILE_PAGE_INF page;
};

// What one pane shows. Indices 0–7 form two rows of four, 0–3 on top.
struct VEXO_VIEW_SLOT_INF {
  int32_t page = -1;        // visible page number, −1 when empty
  std::string label;        // "%d", or "%d-C" for side 1 in pair mode
  std::string path;         // file to load from
  int32_t fileIndex = -1;
  int32_t pageInPath = -1;  // 1-based page in path
  int32_t pageIndex = -1;
  int32_t side = -1;        // 1 or 2; −1 when empty
  int32_t viewMode = -1, zoom = -1, scrollX = 0, scrollY = 0;
  int32_t partnerView = -1;  // pair mode: the view showing the other side
};

inline constexpr int kViewCount = 8;

// Per-file modified flags: −1 no live page on that side, 0 unchanged,
// 1 modified.
struct ModifiedFile {
  int32_t side1 = -1;
  int32_t side2 = -1;
  bool Modified() const noexcept { return side1 == 1 || side2 == 1; }
};

// A page side resolved to the image that shows it.
struct PageSource {
  std::string path;  // empty: no image (absent side, deleted page)
  int32_t page = -1;
};

struct ViewState {
  int32_t mode = 0, zoom = 0, scrollX = 0, scrollY = 0;
};

// Both sides of a visible page.
struct PageSides {
  PageSource source1, source2;
  ViewState state1, state2;
  int32_t fileIndex = -1;
  int32_t pageIndex = -1;
};

class CVEXOFileInfo;

// The separation layout (0–6) and whether pages are shown in pairs belong to
// the document views; the model reads them through this when it lays out
// slots and takes scanned pages.
class ViewLayoutOwner {
 public:
  virtual ~ViewLayoutOwner() = default;
  virtual int SeparationLayout() const noexcept = 0;  // 0 … 6
  virtual bool PairDisplay() const noexcept = 0;
};

// The close-time save prompts for modified files. Finish hands them every
// modified file; for each, the implementer saves or discards and ends with
// DiscardChanges for the file's modified sides.
class CloseTimeSaver {
 public:
  virtual ~CloseTimeSaver() = default;
  // ask false: save every modified file without asking.
  virtual void SaveModifiedFiles(CVEXOFileInfo& model, const std::vector<ModifiedFile>& flags, bool ask) = 0;
};

// The scanner interface's free-space check: 1 when both drives have room
// for estimate bytes beyond threshold bytes.
class DiskFreeChecker {
 public:
  virtual ~DiskFreeChecker() = default;
  virtual int CheckDiskFree(const std::string& sourceDrive, const std::string& workDrive, uint64_t estimate,
                            uint64_t threshold) = 0;
};

class CVEXOFileInfo {
 public:
  static constexpr int kMaxPathChars = 255;
  static constexpr int kMaxInsertFiles = 99999;
  static constexpr uint64_t kMaxFileBytes = uint64_t(1) << 31;
  static constexpr std::string_view kScanOutputName = "VEXO_TEMP.tif";
  static constexpr std::string_view kScanOutputName2 = "VEXO_TEMP-C.tif";

  CVEXOFileInfo() noexcept;
  virtual ~CVEXOFileInfo();
  CVEXOFileInfo(const CVEXOFileInfo&) = delete;
  CVEXOFileInfo& operator=(const CVEXOFileInfo&) = delete;

  // ---- environment (set by start-up and the views) -------------------------
  // The working folder ends in '/'; the instance slot is 0 … 99.
  void SetWorkFolder(std::string folder);
  const std::string& WorkFolder() const noexcept { return workFolder_; }
  void SetInstance(int instance) noexcept { instance_ = instance; }
  int Instance() const noexcept { return instance_; }
  // Not owned; null: one view, no pairs.
  void SetLayoutOwner(const ViewLayoutOwner* owner) noexcept { layoutOwner_ = owner; }
  // Not owned; null: Finish discards the changes of modified files.
  void SetSaver(CloseTimeSaver* saver) noexcept { saver_ = saver; }
  // Not owned; null: every free-space check passes.
  void SetDiskFreeChecker(DiskFreeChecker* checker) noexcept { diskChecker_ = checker; }
  // Kept by the scan commands: the last scan was a prescan.
  void SetLastScanWasPrescan(bool prescan) noexcept { lastScanPrescan_ = prescan; }

  // ---- working file ---------------------------------------------------------
  int Clear() noexcept;
  // Opens each path as a single file. Result 1 when any page was added
  // (mode 1), else 0 (mode 0).
  int OpenFiles(const std::vector<std::string>& paths, bool warnReadOnly);
  // Opens each path with its "-C" companion; namesAreCompanions: the paths
  // are the "-C" files. Result as OpenFiles (mode 3).
  int OpenFilePairs(const std::vector<std::string>& paths, bool warnReadOnly, bool namesAreCompanions);
  // Appends one scanned image; newFile is set to 1 when it started a file.
  int AddScanPage(const std::string& path, int attribute, int fileType, int* newFile);
  // Forgets the current scan files, so the next image starts a file.
  void ResetScanFiles() noexcept;
  // Ends the working file: save prompts (ask: whether to ask), undo record,
  // insert files and the prescan clean-up. The records stay until Clear.
  void Finish(bool ask);
  // Deletes this instance's temporary files in the working folder (start-up).
  void DeleteLeftovers() const;
  void RememberFiles(int activeSide, int activePage);
  struct Reopened {
    int result = 0;  // 1 when the remembered files were opened again
    bool pairs = false;
    int side = 1;    // side and page to show
    int page = 0;
  };
  // Clears the model and reopens the remembered files without read-only
  // warnings; on success the slots are filled from page 1. Nothing remembered:
  // result 0 and the model untouched.
  Reopened ReopenFiles();
  const std::vector<std::string>& RememberedFiles() const noexcept { return rememberedFiles_; }

  // ---- addressing -----------------------------------------------------------
  int PageToIndex(int visiblePage) const noexcept;
  int GetPageSides(int visiblePage, PageSides* out) const;
  // path empty for an absent side or a deleted page; result 0 for an absent side.
  int GetPageSource(int pageIndex, int side, PageSource* out) const;
  // Visible number of pageIndex; recounts the total.
  int Renumber(int pageIndex) noexcept;
  void RenumberFiles() noexcept;
  // Number of modified files; flags gets one entry per file.
  int GetModifiedFiles(std::vector<ModifiedFile>* flags) const;
  // Deletes the edit temporary files of the file's pages for the sides
  // given and points those sides back at the file.
  void DiscardChanges(int fileIndex, bool side1, bool side2);

  // ---- view slots -----------------------------------------------------------
  int FillViewSlots(int firstPage) noexcept;
  int ScanPageView(int attribute) const noexcept;
  struct SlotImage {
    std::string label;
    int page = 0;
  };
  // Loads the slot's image into image; message 7 and a cleared image when it
  // cannot be loaded.
  SlotImage LoadViewSlot(int view, CVexoDIB& image) const;
  void SetViewState(int view, int mode, int zoom, int scrollX, int scrollY) noexcept;
  ViewState GetViewState(int view) const noexcept;
  int FirstPageOfScreen(int visiblePage) const noexcept;
  // Views per screen of the current layout (halved in pair mode).
  int PagesPerScreen() const noexcept;

  // ---- page edits -----------------------------------------------------------
  enum class EditKind { kRotateCrop, kReplace, kInsert };
  // The checks before an edit that writes temporary files, for the page side
  // in view (and in partnerView, −1 for none). image/partnerImage: the views'
  // images, counted for rotate and crop (may be null). compDiskSpaceMb: the
  // free-space setting. Shows 0x51 or 0x50 and answers 0 to abandon.
  int CheckBeforeEdit(int view, int partnerView, const CDIB* image, const CDIB* partnerImage,
                      int compDiskSpaceMb);
  // Replace by rescan: whether an image of scannedType suits the page in
  // view; shows 0x4e and answers 0 when it does not.
  int CheckReplaceType(int view, int scannedType) const;
  // Hands out the next edit temporary number (creating the working folder)
  // and its file name.
  int NewEditFile(std::string* path);
  std::string EditFileName(int number) const;
  std::string InsertFileName(int number) const;

  int SaveUndo(int view, int kind);
  int SetPageEdit(int view, int kind, int editFile, int partnerView, int partnerEditFile);
  int DeletePage(int view, int partnerView);
  // Page number to show, or −1 when no insertion can start (99 999 insert
  // files exist, or the view shows no page).
  int PrepareInsert(int view, int where);
  // Visible number of the last inserted page; 0 when no page arrived (the
  // insertion is then abandoned). The insert mode stays until EndInsert.
  int MergeInserted(int where);
  void EndInsert() noexcept;
  // The kind undone, or kUndoNone. pageToShow (may be null) gets the visible
  // page to go to afterwards. After a rotate/crop or replace the slots of the
  // restored page's screen are filled again.
  int Undo(int* pageToShow = nullptr);
  // Command availability for the page shown in view.
  bool CanDeletePage(int view) const noexcept;
  bool CanInsertPage(int view) const noexcept;

  // ---- state ----------------------------------------------------------------
  int Mode() const noexcept { return mode_; }
  int Total() const noexcept { return total_; }
  int FirstPage() const noexcept { return firstPage_; }
  int CountBase() const noexcept { return countBase_; }
  int InsertMode() const noexcept { return insertMode_; }
  int PrintSide() const noexcept { return printSide_; }
  void SetPrintSide(int side) noexcept { printSide_ = side == 2 ? 2 : 1; }
  int ActiveSide() const noexcept { return activeSide_; }
  void SetActiveSide(int side) noexcept { activeSide_ = side == 2 ? 2 : 1; }
  int NextEditNumber() const noexcept { return nextEdit_; }
  const std::vector<VEXO_FILE_NAME_INF>& Files() const noexcept { return files_; }
  const std::vector<VEXO_FILE_PAGE_INF>& Pages() const noexcept { return pages_; }
  const std::vector<VEXO_FILE_NAME_INF>& InsertFiles() const noexcept { return insFiles_; }
  const std::vector<VEXO_FILE_PAGE_INF>& InsertPages() const noexcept { return insPages_; }
  const std::vector<VEXO_INS_FILE_INFO>& InsertTempFiles() const noexcept { return insTemps_; }
  const std::vector<VEXO_FILE_PAGE_UNDOINF>& UndoRecords() const noexcept { return undo_; }
  bool HasUndo() const noexcept { return !undo_.empty(); }
  const VEXO_VIEW_SLOT_INF& Slot(int view) const noexcept;
  int InsertTemp1() const noexcept { return insTemp1_; }
  int InsertTemp2() const noexcept { return insTemp2_; }

 private:
  int ResolveSide(const VEXO_FILE_PAGE_INF& page, int side, PageSource* out) const;
  void FillSlot(int view, int pageIndex, int visiblePage, int side, bool pairLabel, int partner);
  void EmptySlot(int view) noexcept;
  VEXO_FILE_PAGE_INF* SlotPage(int view) noexcept;
  int Layout() const noexcept;
  bool Pairs() const noexcept;
  void DeleteTempFile(const std::string& path) const;
  void DeleteInstanceTempFiles() const;
  bool FirstFileIsScanOutput() const;
  bool EditFileInUse(int number) const noexcept;
  bool InsertFileInUse(int number) const noexcept;

  // remembered state for reopening after a save
  int rememberedSide_ = 1;
  int rememberedPage_ = 0;
  std::vector<std::string> rememberedFiles_;
  int rememberedMode_ = kModeEmpty;
  // insertion state
  int insertAnchorPage_ = -1;    // visible number of the page shown
  int insertAfterImages_ = -1;   // number of the page after which pages go, in images
  int countBase_ = 0;            // the same in pages; 0 outside an insertion
  int insertMode_ = kInsertNone;
  int insertFileType_ = -1;
  int insertSlotFile_ = -1;      // file index of the active slot
  int insertAnchorIndex_ = -1;   // page index of the anchor
  int insertFileIndex_ = -1;     // file index of inserted pages
  int insTemp1_ = -1, insTemp2_ = -1;
  int firstPage_ = -1;
  VEXO_VIEW_SLOT_INF slots_[kViewCount];
  int total_ = 0;
  int printSide_ = 1;
  std::string scanPath1_, scanPath2_;
  int scanPages1_ = 0, scanPages2_ = 0;
  int nextEdit_ = 0;
  int activeSide_ = 1;
  int mode_ = kModeEmpty;
  std::vector<VEXO_FILE_NAME_INF> files_;
  std::vector<VEXO_FILE_PAGE_INF> pages_;
  std::vector<VEXO_FILE_NAME_INF> insFiles_;
  std::vector<VEXO_FILE_PAGE_INF> insPages_;
  std::vector<VEXO_INS_FILE_INFO> insTemps_;
  std::vector<VEXO_FILE_PAGE_UNDOINF> undo_;
  // Type of each file's side-2 file (−1 without one), beside files_.
  std::vector<int32_t> fileTypes2_;

  std::string workFolder_ = "/tmp/";
  int instance_ = 0;
  const ViewLayoutOwner* layoutOwner_ = nullptr;
  CloseTimeSaver* saver_ = nullptr;
  DiskFreeChecker* diskChecker_ = nullptr;
  bool lastScanPrescan_ = false;
};

// The process-wide model.
CVEXOFileInfo& FileInfo() noexcept;
