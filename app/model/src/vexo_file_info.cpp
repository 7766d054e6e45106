// CVEXOFileInfo: the working file, its page records and temporary files.
// View slots are in view_slots.cpp, page edits and undo in page_edits.cpp.
#include "model/vexo_file_info.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "ZoDIBImage.h"
#include "file_info_detail.h"
#include "platform/files.h"
#include "platform/syserror.h"
#include "shell/message_presenter.h"

namespace fs = std::filesystem;
using namespace model::detail;

namespace {

constexpr uint32_t kMsgFileMissing = 0x04;
constexpr uint32_t kMsgOpenFailed = 0x07;
constexpr uint32_t kMsgReadOnly = 0x23;
constexpr uint32_t kMsgUnsupported = 0x39;
constexpr uint32_t kMsgNameTooLong = 0x53;

bool SupportedType(int type) noexcept {
  switch (type) {
    case zoimg::TIFF_UNCOMPRESSED:
    case zoimg::BMP_UNCOMPRESSED:
    case zoimg::TIFF_G3_FAX:
    case zoimg::TIFF_G4_FAX:
    case zoimg::JPEG:
    case zoimg::TIFF_JPEG:
    case zoimg::PDF:
      return true;
    default:
      return false;
  }
}

// Characters, not bytes: names are UTF-8.
int CharCount(std::string_view s) noexcept {
  int n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

void Show(uint32_t code, std::string_view detail) { shell::Messages().ShowMessage(code, detail, false); }

bool TooLong(const std::string& path) {
  if (CharCount(path) <= CVEXOFileInfo::kMaxPathChars) return false;
  Show(kMsgNameTooLong, platform::SystemErrorText(ENAMETOOLONG) + "\n" + path);
  return true;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(path, ec);
}

// Type and page count of a file; shows the file's message and answers false
// when it cannot be opened.
bool ProbeFile(const std::string& path, int* type, int* count) {
  if (!Exists(path)) {
    Show(kMsgFileMissing, path);
    return false;
  }
  *type = CDIB::GetPageFileType(path, 0);
  if (!SupportedType(*type)) {
    Show(kMsgUnsupported, path);
    return false;
  }
  *count = CDIB::GetTotalPage(path);
  if (*count < 0) {
    Show(kMsgOpenFailed, path);
    return false;
  }
  return true;
}

int ReadOnlyChecked(const std::string& path, bool warn) {
  const bool readOnly = platform::IsReadOnlyFile(path);
  if (readOnly && warn) Show(kMsgReadOnly, path);
  return readOnly ? 1 : 0;
}

std::optional<struct timespec> ModificationTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mtim;
}

// |a − b| as (seconds, nanoseconds), ordered; no overflow for any times.
std::pair<uint64_t, long> Distance(const struct timespec& a, const struct timespec& b) {
  const bool aLater = a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec >= b.tv_nsec);
  const struct timespec& hi = aLater ? a : b;
  const struct timespec& lo = aLater ? b : a;
  uint64_t sec = uint64_t(hi.tv_sec) - uint64_t(lo.tv_sec);
  long nsec = hi.tv_nsec - lo.tv_nsec;
  if (nsec < 0) {
    nsec += 1000000000L;
    --sec;
  }
  return {sec, nsec};
}

VEXO_PAGE_SIDE_INF PresentSide(int origin) noexcept {
  VEXO_PAGE_SIDE_INF s;
  s.absent = 0;
  s.origin = origin;
  s.viewMode = kViewModeFitWindow;
  s.zoom = 0;
  return s;
}

// An absent side of an opened file: view fields −1, −1, 0, 0.
VEXO_PAGE_SIDE_INF AbsentSide() noexcept { return VEXO_PAGE_SIDE_INF{}; }

// An absent side of a pair page keeps the opened page's display defaults.
VEXO_PAGE_SIDE_INF AbsentPairSide() noexcept {
  VEXO_PAGE_SIDE_INF s = PresentSide(0);
  s.absent = 1;
  return s;
}

}  // namespace

namespace model::detail {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix) noexcept {
  return s.size() >= prefix.size() && EqualsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix) noexcept {
  return s.size() >= suffix.size() && EqualsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

std::vector<std::string> FilesWithPrefix(const std::string& folder, std::string_view prefix,
                                         std::string_view suffix) {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (it->is_directory(fec)) continue;
    const std::string name = it->path().filename().string();
    if (name.size() < prefix.size() + suffix.size()) continue;
    if (StartsWithIgnoreCase(name, prefix) && EndsWithIgnoreCase(name, suffix)) found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

void RemoveFile(const std::string& path) noexcept {
  std::error_code ec;
  fs::remove(path, ec);
}

}  // namespace model::detail

CVEXOFileInfo::CVEXOFileInfo() noexcept { Clear(); }

CVEXOFileInfo::~CVEXOFileInfo() = default;

CVEXOFileInfo& FileInfo() noexcept {
  static CVEXOFileInfo model;
  return model;
}

void CVEXOFileInfo::SetWorkFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  workFolder_ = std::move(folder);
}

int CVEXOFileInfo::Clear() noexcept {
  files_.clear();
  pages_.clear();
  insFiles_.clear();
  insPages_.clear();
  insTemps_.clear();
  undo_.clear();
  fileTypes2_.clear();
  for (int v = 0; v < kViewCount; ++v) EmptySlot(v);
  total_ = 0;
  countBase_ = 0;
  nextEdit_ = 0;
  mode_ = kModeEmpty;
  firstPage_ = -1;
  insertAnchorPage_ = insertAfterImages_ = -1;
  insertMode_ = kInsertNone;
  insertFileType_ = insertSlotFile_ = insertAnchorIndex_ = insertFileIndex_ = -1;
  insTemp1_ = insTemp2_ = -1;
  ResetScanFiles();
  return 1;
}

void CVEXOFileInfo::ResetScanFiles() noexcept {
  scanPath1_.clear();
  scanPath2_.clear();
  scanPages1_ = scanPages2_ = 0;
}

int CVEXOFileInfo::OpenFiles(const std::vector<std::string>& paths, bool warnReadOnly) {
  total_ = 0;
  countBase_ = 0;
  for (const std::string& path : paths) {
    if (TooLong(path)) continue;
    int type = -1, count = -1;
    if (!ProbeFile(path, &type, &count)) continue;
    const int fileIndex = static_cast<int>(files_.size());
    for (int p = 1; p <= count; ++p) {
      VEXO_FILE_PAGE_INF page;
      page.fileIndex = fileIndex;
      page.pageInFile = p;
      page.side1 = PresentSide(kOriginFile);
      page.side2 = AbsentSide();
      pages_.push_back(page);
    }
    VEXO_FILE_NAME_INF file;
    file.fileType = type;
    file.readOnly = ReadOnlyChecked(path, warnReadOnly);
    file.firstPage = total_ + 1;
    file.lastPage = file.firstPage + count - 1;
    file.pageCount = count;
    file.path = path;
    file.side1ReadOnly = file.readOnly;
    file.side1FirstPage = file.firstPage;
    file.side1LastPage = file.lastPage;
    file.side1PageCount = count;
    files_.push_back(std::move(file));
    fileTypes2_.push_back(-1);
    total_ += count;
  }
  mode_ = pages_.empty() ? kModeEmpty : kModeFiles;
  return pages_.empty() ? 0 : 1;
}

int CVEXOFileInfo::OpenFilePairs(const std::vector<std::string>& paths, bool warnReadOnly, bool namesAreCompanions) {
  total_ = 0;
  countBase_ = 0;
  // Each folder is listed once, however many files of it are chosen.
  std::map<std::string, std::vector<std::string>> listings;
  for (const std::string& chosen : paths) {
    const std::optional<struct timespec> chosenTime = ModificationTime(chosen);
    if (!chosenTime) {
      Show(kMsgOpenFailed, chosen);
      continue;
    }
    // The stem without its extension (and without "-C" for a companion).
    const fs::path chosenPath(chosen);
    const std::string folder = chosenPath.has_parent_path() ? chosenPath.parent_path().string() + "/" : "";
    std::string stem = chosenPath.filename().string();
    if (const size_t dot = stem.rfind('.'); dot != std::string::npos && dot > 0) stem.resize(dot);
    if (namesAreCompanions) {
      stem.resize(stem.size() >= 2 ? stem.size() - 2 : 0);
    } else {
      stem += "-C";
    }
    std::string match;
    std::pair<uint64_t, long> best{};
    auto listing = listings.find(folder);
    if (listing == listings.end()) listing = listings.emplace(folder, FilesWithPrefix(folder, "", "")).first;
    const std::string prefix = stem + ".";
    for (const std::string& candidate : listing->second) {
      if (!StartsWithIgnoreCase(fs::path(candidate).filename().string(), prefix)) continue;
      const std::optional<struct timespec> t = ModificationTime(candidate);
      if (!t) continue;
      const std::pair<uint64_t, long> d = Distance(*t, *chosenTime);
      if (match.empty() || d < best) {
        match = candidate;
        best = d;
      }
    }
    if (match.empty()) {
      Show(kMsgOpenFailed, chosen);
      continue;
    }
    const std::string& companion = namesAreCompanions ? chosen : match;
    const std::string& main = namesAreCompanions ? match : chosen;

    if (TooLong(main)) continue;
    int type1 = -1, count1 = -1, type2 = -1, count2 = -1;
    if (!ProbeFile(companion, &type1, &count1)) continue;
    if (!ProbeFile(main, &type2, &count2)) continue;

    const int count = std::max(count1, count2);
    const int fileIndex = static_cast<int>(files_.size());
    for (int p = 1; p <= count; ++p) {
      VEXO_FILE_PAGE_INF page;
      page.fileIndex = fileIndex;
      page.pageInFile = p;
      page.side1 = p <= count1 ? PresentSide(kOriginFile) : AbsentPairSide();
      page.side2 = p <= count2 ? PresentSide(kOriginFile) : AbsentPairSide();
      pages_.push_back(page);
    }
    VEXO_FILE_NAME_INF file;
    file.fileType = type1;
    file.side1ReadOnly = ReadOnlyChecked(companion, warnReadOnly);
    file.side2ReadOnly = ReadOnlyChecked(main, warnReadOnly);
    file.readOnly = file.side1ReadOnly;
    file.firstPage = total_ + 1;
    file.lastPage = file.firstPage + count - 1;
    file.pageCount = count;
    file.path = companion;
    file.side1FirstPage = file.firstPage;
    file.side1LastPage = file.firstPage + count1 - 1;
    file.side1PageCount = count1;
    file.path2 = main;
    file.side2FirstPage = file.firstPage;
    file.side2LastPage = file.firstPage + count2 - 1;
    file.side2PageCount = count2;
    files_.push_back(std::move(file));
    fileTypes2_.push_back(type2);
    total_ += count;
  }
  mode_ = pages_.empty() ? kModeEmpty : kModePairs;
  return pages_.empty() ? 0 : 1;
}

int CVEXOFileInfo::AddScanPage(const std::string& path, int attribute, int fileType, int* newFile) {
  if (newFile) *newFile = 0;
  mode_ = Pairs() ? kModePairs : kModeScanned;
  const bool inserting = insertMode_ != kInsertNone;
  std::vector<VEXO_FILE_NAME_INF>& fileArray = inserting ? insFiles_ : files_;
  std::vector<VEXO_FILE_PAGE_INF>& pageArray = inserting ? insPages_ : pages_;

  if (mode_ != kModePairs || attribute != 0) {
    // A new page: side 1 (the only side of a single stream).
    ++total_;
    if (!EqualsIgnoreCase(path, scanPath1_) || fileArray.empty()) {
      VEXO_FILE_NAME_INF file;
      file.fileType = fileType;
      file.readOnly = 0;
      file.firstPage = file.lastPage = total_;
      file.pageCount = 1;
      file.path = path;
      file.side1ReadOnly = 0;
      file.side1FirstPage = file.side1LastPage = total_;
      file.side1PageCount = 1;
      fileArray.push_back(std::move(file));
      if (!inserting) fileTypes2_.push_back(-1);
      scanPath1_ = path;
      scanPages1_ = 1;
      if (newFile) *newFile = 1;
    } else {
      ++scanPages1_;
      VEXO_FILE_NAME_INF& file = fileArray.back();
      file.lastPage = file.side1LastPage = total_;
      file.pageCount = file.side1PageCount = scanPages1_;
    }
    VEXO_FILE_PAGE_INF page;
    page.fileIndex = static_cast<int>(fileArray.size()) - 1;
    page.side1 = PresentSide(inserting ? kOriginInsertScan : kOriginScanned);
    page.side2 = AbsentSide();
    if (inserting) {
      page.pageInFile = -1;
      page.side1.insertFile = insTemp1_;
      page.side1.pageInInsertFile = scanPages1_;
    } else {
      page.pageInFile = scanPages1_;
    }
    pageArray.push_back(page);
    return 1;
  }

  // Pair mode, attribute 0: side 2 of the newest page.
  if (pageArray.empty() || fileArray.empty()) return 0;  // a side 2 with no side 1 before it
  VEXO_FILE_NAME_INF& file = fileArray.back();
  if (!EqualsIgnoreCase(path, scanPath2_)) {
    scanPath2_ = path;
    scanPages2_ = 1;
    file.path2 = path;
    if (!inserting) fileTypes2_.back() = fileType;
    if (newFile) *newFile = 1;
  } else {
    ++scanPages2_;
  }
  file.side2ReadOnly = file.readOnly;
  file.side2FirstPage = file.firstPage;
  file.side2LastPage = file.lastPage;
  file.side2PageCount = file.pageCount;
  VEXO_PAGE_SIDE_INF& side = pageArray.back().side2;
  side = PresentSide(inserting ? kOriginInsertScan : kOriginScanned);
  if (inserting) {
    side.insertFile = insTemp2_;
    side.pageInInsertFile = scanPages2_;
  }
  return 1;
}

int CVEXOFileInfo::PageToIndex(int visiblePage) const noexcept {
  if (visiblePage < 1) return -1;
  int n = 0;
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i].deleted == 0 && ++n == visiblePage) return static_cast<int>(i);
  }
  return -1;
}

int CVEXOFileInfo::ResolveSide(const VEXO_FILE_PAGE_INF& page, int side, PageSource* out) const {
  *out = PageSource{};
  const VEXO_PAGE_SIDE_INF& s = page.Side(side);
  if (s.absent != 0) return 0;
  if (s.editFile >= 0) {
    out->path = EditFileName(s.editFile);
    out->page = 1;
  } else if (s.insertFile >= 0) {
    out->path = InsertFileName(s.insertFile);
    out->page = s.pageInInsertFile;
  } else if (page.fileIndex >= 0 && page.fileIndex < static_cast<int>(files_.size())) {
    const VEXO_FILE_NAME_INF& file = files_[static_cast<size_t>(page.fileIndex)];
    out->path = side == 2 ? file.path2 : file.path;
    out->page = page.pageInFile;
  }
  return 1;
}

int CVEXOFileInfo::GetPageSides(int visiblePage, PageSides* out) const {
  *out = PageSides{};
  if (visiblePage < 1 || visiblePage > total_) return 0;
  const int index = PageToIndex(visiblePage);
  if (index < 0) return 0;
  const VEXO_FILE_PAGE_INF& page = pages_[static_cast<size_t>(index)];
  ResolveSide(page, 1, &out->source1);
  ResolveSide(page, 2, &out->source2);
  out->state1 = {page.side1.viewMode, page.side1.zoom, page.side1.scrollX, page.side1.scrollY};
  out->state2 = {page.side2.viewMode, page.side2.zoom, page.side2.scrollX, page.side2.scrollY};
  out->fileIndex = page.fileIndex;
  out->pageIndex = index;
  return 1;
}

int CVEXOFileInfo::GetPageSource(int pageIndex, int side, PageSource* out) const {
  *out = PageSource{};
  if (pageIndex < 0 || pageIndex >= static_cast<int>(pages_.size())) return 0;
  const VEXO_FILE_PAGE_INF& page = pages_[static_cast<size_t>(pageIndex)];
  if (page.Side(side).absent != 0) return 0;
  if (page.deleted != 0) return 1;
  return ResolveSide(page, side, out);
}

int CVEXOFileInfo::Renumber(int pageIndex) noexcept {
  int live = 0, number = 0;
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i].deleted == 0) ++live;
    if (static_cast<int>(i) == pageIndex) number = live;
  }
  total_ = live;
  return number;
}

void CVEXOFileInfo::RenumberFiles() noexcept {
  int next = 1;
  size_t i = 0;
  while (i < pages_.size()) {
    const int fileIndex = pages_[i].fileIndex;
    int live = 0, live1 = 0, live2 = 0;
    for (; i < pages_.size() && pages_[i].fileIndex == fileIndex; ++i) {
      const VEXO_FILE_PAGE_INF& p = pages_[i];
      if (p.deleted != 0) continue;
      ++live;
      live1 += p.side1.absent == 0;
      live2 += p.side2.absent == 0;
    }
    if (fileIndex < 0 || fileIndex >= static_cast<int>(files_.size())) continue;
    VEXO_FILE_NAME_INF& f = files_[static_cast<size_t>(fileIndex)];
    f.firstPage = next;
    f.lastPage = next + live - 1;
    f.pageCount = live;
    f.side1FirstPage = next;
    f.side1LastPage = next + live1 - 1;
    f.side1PageCount = live1;
    // A file opened without a companion keeps its "no side 2" marks.
    if (!f.path2.empty()) {
      f.side2FirstPage = next;
      f.side2LastPage = next + live2 - 1;
      f.side2PageCount = live2;
    }
    next += live;
  }
  total_ = next - 1;
}

int CVEXOFileInfo::GetModifiedFiles(std::vector<ModifiedFile>* flags) const {
  flags->assign(files_.size(), ModifiedFile{});
  for (const VEXO_FILE_PAGE_INF& page : pages_) {
    if (page.fileIndex < 0 || page.fileIndex >= static_cast<int>(files_.size())) continue;
    ModifiedFile& m = (*flags)[static_cast<size_t>(page.fileIndex)];
    for (int side = 1; side <= 2; ++side) {
      const VEXO_PAGE_SIDE_INF& s = page.Side(side);
      if (s.absent != 0) continue;
      int32_t& flag = side == 1 ? m.side1 : m.side2;
      if (page.deleted == 0) {
        if (flag == -1) flag = 0;
        if (s.editFile >= 0 || s.insertFile >= 0) flag = 1;
      } else if (s.insertFile < 0) {
        flag = 1;
      }
    }
  }
  return static_cast<int>(std::count_if(flags->begin(), flags->end(), [](const ModifiedFile& m) { return m.Modified(); }));
}

void CVEXOFileInfo::DiscardChanges(int fileIndex, bool side1, bool side2) {
  for (VEXO_FILE_PAGE_INF& page : pages_) {
    if (page.fileIndex != fileIndex) continue;
    for (int side = 1; side <= 2; ++side) {
      if (!(side == 1 ? side1 : side2)) continue;
      VEXO_PAGE_SIDE_INF& s = page.Side(side);
      if (s.editFile < 0) continue;
      RemoveFile(EditFileName(s.editFile));
      s.editFile = -1;
    }
  }
}

std::string CVEXOFileInfo::EditFileName(int number) const {
  char name[32];
  std::snprintf(name, sizeof name, "%02d%06d.tmp", instance_, number);
  return workFolder_ + name;
}

std::string CVEXOFileInfo::InsertFileName(int number) const {
  char name[32];
  std::snprintf(name, sizeof name, "%02dI%05d.tmp", instance_, number);
  return workFolder_ + name;
}

int CVEXOFileInfo::NewEditFile(std::string* path) {
  std::error_code ec;
  fs::create_directories(workFolder_, ec);
  const int number = nextEdit_++;
  if (path) *path = EditFileName(number);
  return number;
}

void CVEXOFileInfo::DeleteTempFile(const std::string& path) const { RemoveFile(path); }

void CVEXOFileInfo::DeleteInstanceTempFiles() const {
  char prefix[8];
  std::snprintf(prefix, sizeof prefix, "%02d", instance_);
  for (const std::string& f : FilesWithPrefix(workFolder_, prefix, ".tmp")) RemoveFile(f);
}

void CVEXOFileInfo::DeleteLeftovers() const { DeleteInstanceTempFiles(); }

bool CVEXOFileInfo::FirstFileIsScanOutput() const {
  if (files_.empty()) return false;
  const std::string& first = files_.front().path;
  return first == workFolder_ + std::string(kScanOutputName) || first == workFolder_ + std::string(kScanOutputName2);
}

void CVEXOFileInfo::Finish(bool ask) {
  if (files_.empty()) return;
  if (FirstFileIsScanOutput()) {
    DeleteInstanceTempFiles();
    return;
  }
  std::vector<ModifiedFile> flags;
  if (GetModifiedFiles(&flags) > 0) {
    if (saver_) {
      saver_->SaveModifiedFiles(*this, flags, ask);
    } else {
      for (size_t f = 0; f < flags.size(); ++f) {
        if (flags[f].Modified()) DiscardChanges(static_cast<int>(f), flags[f].side1 == 1, flags[f].side2 == 1);
      }
    }
  }
  // The undo record's edit files that no live page uses any more.
  for (const VEXO_FILE_PAGE_UNDOINF& u : undo_) {
    for (int side = 1; side <= 2; ++side) {
      const VEXO_PAGE_SIDE_INF& s = u.page.Side(side);
      if (s.absent == 0 && s.editFile >= 0 && !EditFileInUse(s.editFile)) DeleteTempFile(EditFileName(s.editFile));
    }
  }
  undo_.clear();
  for (size_t n = 0; n < insTemps_.size(); ++n) DeleteTempFile(InsertFileName(static_cast<int>(n)));
  insTemps_.clear();
  if (lastScanPrescan_) DeleteInstanceTempFiles();
}

bool CVEXOFileInfo::EditFileInUse(int number) const noexcept {
  for (const VEXO_FILE_PAGE_INF& p : pages_) {
    if (p.deleted != 0) continue;
    if ((p.side1.absent == 0 && p.side1.editFile == number) || (p.side2.absent == 0 && p.side2.editFile == number))
      return true;
  }
  return false;
}

void CVEXOFileInfo::RememberFiles(int activeSide, int activePage) {
  rememberedFiles_.clear();
  for (const VEXO_FILE_NAME_INF& f : files_) rememberedFiles_.push_back(f.path);
  rememberedMode_ = mode_;
  rememberedSide_ = activeSide == 2 ? 2 : 1;
  rememberedPage_ = activePage;
}

CVEXOFileInfo::Reopened CVEXOFileInfo::ReopenFiles() {
  Reopened r;
  if (rememberedFiles_.empty()) return r;
  const std::vector<std::string> files = rememberedFiles_;
  Clear();
  r.pairs = rememberedMode_ == kModePairs;
  r.result = r.pairs ? OpenFilePairs(files, false, true) : OpenFiles(files, false);
  if (r.result == 0) {
    total_ = 0;
    firstPage_ = 0;
    return r;
  }
  FillViewSlots(1);
  r.side = rememberedSide_;
  r.page = std::clamp(rememberedPage_, 1, std::max(total_, 1));
  return r;
}
