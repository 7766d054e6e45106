// Page edits of the working file and their one-deep undo. Edits change only
// page records and temporary files; the source files stay as they are.
#include <algorithm>
#include <filesystem>
#include <vector>
#include <system_error>

#include "ZoDIBImage.h"
#include "file_info_detail.h"
#include "model/vexo_file_info.h"
#include "platform/mounts.h"
#include "shell/message_presenter.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMsgDiskFull = 0x50;
constexpr uint32_t kMsgFileTooLarge = 0x51;
constexpr uint32_t kMsgBadImageType = 0x4E;

uint64_t FileSize(const std::string& path) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<uint64_t>(size);
}

uint64_t UncompressedSize(const CDIB& image) {
  const QSize size = image.GetDIBSize();
  if (size.width() <= 0 || size.height() <= 0) return 0;
  const uint64_t bytesPerRow = uint64_t(size.width()) * uint64_t(image.GetDIBitCount()) / 8;
  return (bytesPerRow + 3) * uint64_t(size.height());
}

void ResetViewState(VEXO_PAGE_SIDE_INF& s) noexcept {
  s.viewMode = kViewModeFitWindow;
  s.zoom = 0;
  s.scrollX = s.scrollY = 0;
}

bool NotBmpOrJpeg(int type) noexcept { return type != zoimg::BMP_UNCOMPRESSED && type != zoimg::JPEG; }

}  // namespace

int CVEXOFileInfo::CheckBeforeEdit(int view, int partnerView, const CDIB* image, const CDIB* partnerImage,
                                   int compDiskSpaceMb) {
  const struct {
    int view;
    const CDIB* image;
  } shown[2] = {{view, image}, {partnerView, partnerImage}};
  for (const auto& [v, img] : shown) {
    const VEXO_FILE_PAGE_INF* page = SlotPage(v);
    if (!page || page->fileIndex < 0 || page->fileIndex >= static_cast<int>(files_.size())) continue;
    const int side = Slot(v).side;
    const VEXO_FILE_NAME_INF& file = files_[static_cast<size_t>(page->fileIndex)];
    const std::string& source = side == 2 ? file.path2 : file.path;
    if (source.empty()) continue;
    const int sidePages = side == 2 ? file.side2PageCount : file.side1PageCount;
    uint64_t estimate = sidePages > 0 ? FileSize(source) : 0;
    for (size_t n = 0; n < insTemps_.size(); ++n) {
      if (insTemps_[n].fileIndex == page->fileIndex && insTemps_[n].side == side)
        estimate += FileSize(InsertFileName(static_cast<int>(n)));
    }
    if (img) estimate += UncompressedSize(*img);
    if (estimate >= kMaxFileBytes) {
      shell::Messages().ShowMessage(kMsgFileTooLarge, false);
      return 0;
    }
    if (diskChecker_) {
      const uint64_t threshold = uint64_t(std::max(compDiskSpaceMb, 0)) * 1048576u;
      if (diskChecker_->CheckDiskFree(platform::MountRootOf(source), platform::MountRootOf(workFolder_), estimate,
                                      threshold) != 1) {
        shell::Messages().ShowMessage(kMsgDiskFull, false);
        return 0;
      }
    }
  }
  return 1;
}

int CVEXOFileInfo::CheckReplaceType(int view, int scannedType) const {
  const VEXO_VIEW_SLOT_INF& s = Slot(view);
  if (s.fileIndex < 0 || s.fileIndex >= static_cast<int>(files_.size())) return 1;
  const VEXO_FILE_NAME_INF& file = files_[static_cast<size_t>(s.fileIndex)];
  const std::string& source = s.side == 2 ? file.path2 : file.path;
  if (source == workFolder_ + std::string(kScanOutputName) || source == workFolder_ + std::string(kScanOutputName2))
    return 1;
  const int fileType = s.side == 2 ? fileTypes2_[static_cast<size_t>(s.fileIndex)] : file.fileType;
  bool fits;
  switch (scannedType) {
    case zoimg::JPEG:
    case zoimg::PDF:
    case zoimg::BMP_UNCOMPRESSED:
      fits = fileType == scannedType;
      break;
    default:
      fits = NotBmpOrJpeg(fileType);
  }
  if (!fits) shell::Messages().ShowMessage(kMsgBadImageType, false);
  return fits ? 1 : 0;
}

int CVEXOFileInfo::SaveUndo(int view, int kind) {
  const VEXO_FILE_PAGE_INF* page = SlotPage(view);
  if (!page) return 0;
  VEXO_FILE_PAGE_UNDOINF record;
  record.pageIndex = Slot(view).pageIndex;
  record.kind = kind;
  record.page = *page;
  for (int side = 1; side <= 2; ++side) {
    if (record.page.Side(side).absent == 0) ResetViewState(record.page.Side(side));
  }
  // Nothing can restore the old record's edit files any more.
  for (const VEXO_FILE_PAGE_UNDOINF& old : undo_) {
    for (int side = 1; side <= 2; ++side) {
      const VEXO_PAGE_SIDE_INF& s = old.page.Side(side);
      if (s.absent == 0 && s.editFile >= 0 && !EditFileInUse(s.editFile) &&
          !(record.page.Side(side).absent == 0 && record.page.Side(side).editFile == s.editFile))
        DeleteTempFile(EditFileName(s.editFile));
    }
  }
  undo_.assign(1, record);
  return 1;
}

int CVEXOFileInfo::SetPageEdit(int view, int kind, int editFile, int partnerView, int partnerEditFile) {
  const struct {
    int view;
    int editFile;
  } edits[2] = {{view, editFile}, {partnerView, partnerEditFile}};
  int done = 0;
  for (const auto& [v, number] : edits) {
    VEXO_FILE_PAGE_INF* page = SlotPage(v);
    if (!page || number < 0) continue;
    VEXO_PAGE_SIDE_INF& s = page->Side(slots_[v].side);
    if (s.absent != 0) continue;  // nothing shows there to be replaced
    s.editFile = number;
    if (kind == kUndoReplace) s.origin |= kOriginReplaced;
    ResetViewState(s);
    // The pane shows the new image when it is refreshed.
    VEXO_VIEW_SLOT_INF& slot = slots_[v];
    slot.path = EditFileName(number);
    slot.pageInPath = 1;
    slot.viewMode = s.viewMode;
    slot.zoom = s.zoom;
    slot.scrollX = slot.scrollY = 0;
    ++done;
  }
  return done > 0 ? 1 : 0;
}

int CVEXOFileInfo::DeletePage(int view, int partnerView) {
  VEXO_FILE_PAGE_INF* page = SlotPage(view);
  if (!page) return 0;
  page->deleted = -1;
  ResetViewState(page->Side(slots_[view].side));
  if (VEXO_FILE_PAGE_INF* partner = SlotPage(partnerView); partner == page)
    ResetViewState(page->Side(slots_[partnerView].side));
  RenumberFiles();
  return 1;
}

int CVEXOFileInfo::PrepareInsert(int view, int where) {
  const VEXO_FILE_PAGE_INF* page = SlotPage(view);
  if (!page || (where != kInsertBefore && where != kInsertAfter)) return -1;
  const bool pairs = Pairs();
  if (insTemps_.size() + (pairs ? 2 : 1) > static_cast<size_t>(kMaxInsertFiles)) return -1;
  const VEXO_VIEW_SLOT_INF& s = slots_[view];
  const int number = where == kInsertBefore ? s.page - 1 : s.page;
  insertAnchorPage_ = s.page;
  insertAnchorIndex_ = s.pageIndex;
  insertAfterImages_ = number * (pairs ? 2 : 1);
  countBase_ = number;
  insertFileIndex_ = page->fileIndex;
  insertFileType_ =
      page->fileIndex >= 0 && page->fileIndex < static_cast<int>(files_.size()) ? files_[size_t(page->fileIndex)].fileType : -1;
  insertSlotFile_ = s.fileIndex;
  insertMode_ = where;
  insTemps_.push_back({0, insertFileIndex_, 1});
  insTemp1_ = static_cast<int>(insTemps_.size()) - 1;
  insTemp2_ = -1;
  if (pairs) {
    insTemps_.push_back({0, insertFileIndex_, 2});
    insTemp2_ = static_cast<int>(insTemps_.size()) - 1;
  }
  insFiles_.clear();
  insPages_.clear();
  ResetScanFiles();
  return where == kInsertBefore ? s.page : s.page + 1;
}

int CVEXOFileInfo::MergeInserted(int where) {
  if (insPages_.empty() || insertAnchorIndex_ < 0) return 0;
  const size_t anchor = std::min(static_cast<size_t>(insertAnchorIndex_), pages_.size());
  const size_t at = where == kInsertBefore ? anchor : std::min(anchor + 1, pages_.size());
  for (VEXO_FILE_PAGE_INF& p : insPages_) p.fileIndex = insertFileIndex_;
  const int last = countBase_ + static_cast<int>(insPages_.size());
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), insPages_.begin(), insPages_.end());
  insPages_.clear();
  insFiles_.clear();
  insertAnchorIndex_ = insertAnchorPage_ = insertAfterImages_ = -1;
  countBase_ = 0;
  ResetScanFiles();
  RenumberFiles();
  return last;
}

void CVEXOFileInfo::EndInsert() noexcept {
  insertMode_ = kInsertNone;
  insertAnchorIndex_ = insertAnchorPage_ = insertAfterImages_ = -1;
  insertFileType_ = insertSlotFile_ = insertFileIndex_ = -1;
  insTemp1_ = insTemp2_ = -1;
  countBase_ = 0;
  insPages_.clear();
  insFiles_.clear();
  ResetScanFiles();
}

int CVEXOFileInfo::Undo(int* pageToShow) {
  if (pageToShow) *pageToShow = 0;
  if (undo_.empty()) return kUndoNone;
  const VEXO_FILE_PAGE_UNDOINF u = undo_.front();
  undo_.clear();
  if (u.pageIndex < 0 || u.pageIndex >= static_cast<int>(pages_.size())) return kUndoNone;
  VEXO_FILE_PAGE_INF& page = pages_[static_cast<size_t>(u.pageIndex)];
  switch (u.kind) {
    case kUndoRotateCrop:
    case kUndoReplace:
      // The newer images go; the side that kept its image keeps its file.
      for (int side = 1; side <= 2; ++side) {
        const VEXO_PAGE_SIDE_INF& now = page.Side(side);
        if (now.absent == 0 && now.editFile >= 0 && now.editFile != u.page.Side(side).editFile)
          DeleteTempFile(EditFileName(now.editFile));
      }
      page = u.page;
      break;
    case kUndoDelete:
      page = u.page;
      page.deleted = 0;
      break;
    case kUndoInsertBefore:
    case kUndoInsertAfter: {
      // Inserted pages always have side 1; a scan that stopped between the
      // two sides of its last sheet leaves that page without side 2, so the
      // walk goes by the side-1 insert file.
      const int ins1 = u.page.side1.insertFile;
      if (ins1 < 0) break;  // a record without insert files would walk over pages read from files
      std::vector<int> numbers;
      for (int i = u.pageIndex; i >= 0; --i) {
        VEXO_FILE_PAGE_INF& p = pages_[static_cast<size_t>(i)];
        if (p.side1.insertFile != ins1) break;
        p.deleted = -1;
        for (int side = 1; side <= 2; ++side) {
          const int n = p.Side(side).insertFile;
          if (n >= 0 && std::find(numbers.begin(), numbers.end(), n) == numbers.end()) numbers.push_back(n);
        }
      }
      for (int n : numbers)
        if (!InsertFileInUse(n)) DeleteTempFile(InsertFileName(n));
      break;
    }
    default:
      return kUndoNone;
  }
  const int number = Renumber(u.pageIndex);
  if (u.kind == kUndoRotateCrop || u.kind == kUndoReplace) {
    FillViewSlots(FirstPageOfScreen(number));
  } else {
    RenumberFiles();
  }
  if (pageToShow) {
    const int target = u.kind == kUndoInsertBefore ? number + 1 : number;
    *pageToShow = std::clamp(target, total_ > 0 ? 1 : 0, total_);
  }
  return u.kind;
}

bool CVEXOFileInfo::CanInsertPage(int view) const noexcept {
  const VEXO_VIEW_SLOT_INF& s = Slot(view);
  if (s.page < 1 || s.fileIndex < 0 || s.fileIndex >= static_cast<int>(files_.size())) return false;
  if (!NotBmpOrJpeg(files_[static_cast<size_t>(s.fileIndex)].fileType)) return false;
  return mode_ != kModePairs || NotBmpOrJpeg(fileTypes2_[static_cast<size_t>(s.fileIndex)]);
}

bool CVEXOFileInfo::CanDeletePage(int view) const noexcept {
  if (!CanInsertPage(view)) return false;
  const VEXO_VIEW_SLOT_INF& s = Slot(view);
  const VEXO_FILE_NAME_INF& file = files_[static_cast<size_t>(s.fileIndex)];
  return (s.side == 2 ? file.side2PageCount : file.side1PageCount) > 1;
}

bool CVEXOFileInfo::InsertFileInUse(int number) const noexcept {
  for (const VEXO_FILE_PAGE_INF& p : pages_) {
    if (p.deleted != 0) continue;
    if ((p.side1.absent == 0 && p.side1.insertFile == number) || (p.side2.absent == 0 && p.side2.insertFile == number))
      return true;
  }
  return false;
}
