// Long random sequences of what the commands do to the working file model —
// open, scan, delete, insert by scan, rotate and replace, undo, paging,
// layout and view state — each step checked against a small model of the
// pages kept here: page records, file numbering, modified flags, undo
// record, view slots, the image each slot loads, and the temporary files on
// disk. The seeds are fixed: a failure names its seed and step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/vexo_dib.h"
#include "model/vexo_file_info.h"
#include "model_fixtures.h"
#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace {

using modeltest::DiscardingSaver;
using modeltest::FixedLayout;

constexpr uint32_t kSeeds[] = {1,     2,     3,     5,      8,      13,     21,     34,     55,     89,
                               12345, 31337, 65521, 271828, 314159, 424242, 777777, 900001, 1234567, 7654321};
constexpr int kSteps = 300;

constexpr uint32_t kMsgFileMissing = 0x04;
constexpr uint32_t kMsgOpenFailed = 0x07;
constexpr uint32_t kMsgUnsupported = 0x39;
constexpr uint32_t kMsgBadImageType = 0x4E;

// ---------------------------------------------------------------------------
// Source files, written once per test.

struct PoolFile {
  std::string path;
  int type = 0;
  std::vector<uint32_t> tags;  // one per page
};

struct PoolPair {
  PoolFile main, companion;  // "x.tif" and "x-C.tif"
};

struct Pool {
  testsupport::TempDir dir;
  std::vector<PoolFile> singles;
  std::vector<PoolPair> pairs;
  std::string missing, junk, lonely;  // no file; not an image; a main file without companion
};

uint32_t g_nextTag = 1;

PoolFile MakeFile(const std::string& path, int type, int pages) {
  PoolFile f{path, type, {}};
  for (int i = 0; i < pages; ++i) f.tags.push_back(g_nextTag++);
  EXPECT_TRUE(modeltest::WriteTaggedFile(path, type, f.tags)) << path;
  return f;
}

void MakePool(Pool& pool) {
  const struct {
    const char* name;
    int type;
    int pages;
  } singles[] = {
      {"a.tif", zoimg::TIFF_G4_FAX, 3},        {"b.tif", zoimg::TIFF_UNCOMPRESSED, 1},
      {"c.tif", zoimg::TIFF_G4_FAX, 5},        {"d.tif", zoimg::TIFF_UNCOMPRESSED, 2},
      {"e.tif", zoimg::TIFF_G4_FAX, 4},        {"h.tif", zoimg::TIFF_G4_FAX, 6},
      {"f.bmp", zoimg::BMP_UNCOMPRESSED, 1},   {"g.jpg", zoimg::JPEG, 1},
  };
  for (const auto& s : singles) pool.singles.push_back(MakeFile(pool.dir.File(s.name), s.type, s.pages));
  const struct {
    const char* stem;
    const char* ext;
    int type;
    int mainPages, companionPages;
  } pairs[] = {
      {"p1", ".tif", zoimg::TIFF_G4_FAX, 3, 3},
      {"p2", ".tif", zoimg::TIFF_G4_FAX, 4, 2},  // extra pages without a "-C" side
      {"p3", ".tif", zoimg::TIFF_UNCOMPRESSED, 1, 2},  // an extra page without the main side
      {"p4", ".tif", zoimg::TIFF_G4_FAX, 2, 2},
      {"p5", ".bmp", zoimg::BMP_UNCOMPRESSED, 1, 1},
  };
  for (const auto& p : pairs) {
    PoolPair pp;
    pp.main = MakeFile(pool.dir.File(std::string(p.stem) + p.ext), p.type, p.mainPages);
    pp.companion = MakeFile(pool.dir.File(std::string(p.stem) + "-C" + p.ext), p.type, p.companionPages);
    pool.pairs.push_back(pp);
  }
  pool.missing = pool.dir.File("missing.tif");
  pool.junk = pool.dir.File("junk.tif");
  testsupport::WriteFile(pool.junk, "this is no image file at all, just text");
  pool.lonely = MakeFile(pool.dir.File("lonely.tif"), zoimg::TIFF_G4_FAX, 1).path;
}

// ---------------------------------------------------------------------------
// The reference model.

struct RefSide {
  bool present = false;
  int origin = 0;
  int edit = -1, ins = -1, pageInIns = -1;
  int mode = -1, zoom = -1, sx = 0, sy = 0;
  uint32_t tag = 0;  // the image it shows

  void ResetView() { mode = kViewModeFitWindow, zoom = 0, sx = sy = 0; }
};

RefSide Present(int origin, uint32_t tag) {
  RefSide s;
  s.present = true;
  s.origin = origin;
  s.ResetView();
  s.tag = tag;
  return s;
}

// An absent side of a page opened with its companion keeps the page defaults.
RefSide AbsentOfPair() {
  RefSide s = Present(0, 0);
  s.present = false;
  return s;
}

struct RefPage {
  int file = -1;
  int pageInFile = -1;
  bool deleted = false;
  RefSide side[2];  // [0] side 1, [1] side 2
};

struct RefFile {
  std::string path, path2;
  int type = -1, type2 = -1;
};

struct RefUndo {
  int index = -1;
  int kind = kUndoNone;
  RefPage page;
};

struct FileCounts {
  int first, last, count, first1, last1, count1, first2, last2, count2;
};

const int kViewsOf[7] = {1, 2, 2, 4, 4, 8, 8};
const int kOrder[7][8] = {{0}, {0, 1}, {0, 4}, {0, 1, 4, 5}, {0, 4, 1, 5}, {0, 1, 2, 3, 4, 5, 6, 7},
                          {0, 4, 1, 5, 2, 6, 3, 7}};
const int kPairOrder[7][8] = {{0, 1}, {0, 1}, {0, 4}, {0, 4, 1, 5}, {0, 1, 4, 5}, {0, 4, 1, 5, 2, 6, 3, 7},
                              {0, 1, 4, 5, 2, 3, 6, 7}};

struct Reference {
  std::string folder;
  int instance = 0;
  std::vector<RefFile> files;
  std::vector<RefPage> pages;
  std::optional<RefUndo> undo;
  std::set<int> insertFilesOnDisk;
  int insertEntries = 0;
  int nextEdit = 0;
  int mode = kModeEmpty;
  int firstPage = -1;
  bool pairs = false;
  int layout = 0;

  void Clear() {
    files.clear();
    pages.clear();
    undo.reset();
    insertFilesOnDisk.clear();
    insertEntries = nextEdit = 0;
    mode = kModeEmpty;
    firstPage = -1;
  }

  std::string EditName(int n) const {
    char b[32];
    std::snprintf(b, sizeof b, "%02d%06d.tmp", instance, n);
    return b;
  }
  std::string InsertName(int n) const {
    char b[32];
    std::snprintf(b, sizeof b, "%02dI%05d.tmp", instance, n);
    return b;
  }

  int Live() const {
    return static_cast<int>(std::count_if(pages.begin(), pages.end(), [](const RefPage& p) { return !p.deleted; }));
  }
  int IndexOf(int visible) const {
    int n = 0;
    for (size_t i = 0; i < pages.size(); ++i)
      if (!pages[i].deleted && ++n == visible) return static_cast<int>(i);
    return -1;
  }
  // Live pages up to and including index.
  int NumberAt(int index) const {
    int n = 0;
    for (int i = 0; i <= index && i < static_cast<int>(pages.size()); ++i) n += !pages[size_t(i)].deleted;
    return n;
  }
  int PerScreen() const {
    const int k = kViewsOf[layout];
    return mode == kModePairs ? std::max(1, k / 2) : k;
  }
  int ScreenOf(int n) const {
    n = std::clamp(n, 1, std::max(Live(), 1));
    const int k = PerScreen();
    return ((n + k - 1) / k - 1) * k + 1;
  }

  PageSource Source(const RefPage& p, int side) const {
    const RefSide& s = p.side[side - 1];
    if (!s.present) return {};
    if (s.edit >= 0) return {folder + EditName(s.edit), 1};
    if (s.ins >= 0) return {folder + InsertName(s.ins), s.pageInIns};
    const RefFile& f = files[size_t(p.file)];
    return {side == 2 ? f.path2 : f.path, p.pageInFile};
  }

  // File numbering: one run of records per file, live pages counted.
  std::vector<FileCounts> Counts() const {
    std::vector<FileCounts> c(files.size(), FileCounts{-1, -1, 0, -1, -1, 0, -1, -1, -1});
    int next = 1;
    for (size_t i = 0; i < pages.size();) {
      const int f = pages[i].file;
      int live = 0, l1 = 0, l2 = 0;
      for (; i < pages.size() && pages[i].file == f; ++i) {
        if (pages[i].deleted) continue;
        ++live;
        l1 += pages[i].side[0].present;
        l2 += pages[i].side[1].present;
      }
      FileCounts& fc = c[size_t(f)];
      fc = {next, next + live - 1, live, next, next + l1 - 1, l1, -1, -1, -1};
      if (!files[size_t(f)].path2.empty()) fc.first2 = next, fc.last2 = next + l2 - 1, fc.count2 = l2;
      next += live;
    }
    return c;
  }

  std::vector<ModifiedFile> Modified() const {
    std::vector<ModifiedFile> m(files.size());
    for (const RefPage& p : pages) {
      for (int side = 1; side <= 2; ++side) {
        const RefSide& s = p.side[side - 1];
        if (!s.present) continue;
        int32_t& flag = side == 1 ? m[size_t(p.file)].side1 : m[size_t(p.file)].side2;
        if (!p.deleted) {
          flag = std::max(flag, 0);
          if (s.edit >= 0 || s.ins >= 0) flag = 1;
        } else if (s.ins < 0) {
          flag = 1;
        }
      }
    }
    return m;
  }

  // Edit files named by a live page or by the undo record, and the insert
  // files of insertions not undone.
  std::vector<std::string> ExpectedTempFiles() const {
    std::set<std::string> names;
    auto addEdits = [&](const RefPage& p) {
      for (const RefSide& s : p.side)
        if (s.present && s.edit >= 0) names.insert(EditName(s.edit));
    };
    for (const RefPage& p : pages)
      if (!p.deleted) addEdits(p);
    if (undo) addEdits(undo->page);
    for (int n : insertFilesOnDisk) names.insert(InsertName(n));
    return {names.begin(), names.end()};
  }

  bool FirstFileIsScanOutput() const {
    return !files.empty() && (files[0].path == folder + "VEXO_TEMP.tif" || files[0].path == folder + "VEXO_TEMP-C.tif");
  }

  int ShownType(const RefPage& p, int side) const {
    const RefFile& f = files[size_t(p.file)];
    return side == 2 ? f.type2 : f.type;
  }
  static bool BmpOrJpeg(int t) { return t == zoimg::BMP_UNCOMPRESSED || t == zoimg::JPEG; }
  bool CanInsert(const RefPage& p) const {
    const RefFile& f = files[size_t(p.file)];
    return !BmpOrJpeg(f.type) && (mode != kModePairs || !BmpOrJpeg(f.type2));
  }
  bool CanDelete(const RefPage& p, int side) const {
    if (!CanInsert(p)) return false;
    const FileCounts c = Counts()[size_t(p.file)];
    return (side == 2 ? c.count2 : c.count1) > 1;
  }

  RefUndo MakeUndo(int index, int kind) const {
    RefUndo u{index, kind, pages[size_t(index)]};
    for (RefSide& s : u.page.side)
      if (s.present) s.ResetView();
    return u;
  }
};

struct ExpectedSlot {
  int page = -1, pageIndex = -1, fileIndex = -1, side = -1, partner = -1;
  std::string label;
  PageSource source;
  int mode = -1, zoom = -1, sx = 0, sy = 0;
};

std::vector<ExpectedSlot> ExpectedSlots(const Reference& ref) {
  std::vector<ExpectedSlot> shownSlots(kViewCount);
  if (ref.firstPage < 1) return shownSlots;
  const int k = kViewsOf[ref.layout];
  auto fill = [&](int view, int visible, int side, bool pairLabel, int partner) {
    const int index = ref.IndexOf(visible);
    const RefPage& p = ref.pages[size_t(index)];
    const RefSide& s = p.side[side - 1];
    ExpectedSlot& e = shownSlots[size_t(view)];
    e.page = visible;
    e.pageIndex = index;
    e.fileIndex = p.file;
    e.side = side;
    e.partner = partner;
    e.label = std::to_string(visible) + (pairLabel && side == 1 ? "-C" : "");
    e.source = ref.Source(p, side);
    e.mode = s.mode, e.zoom = s.zoom, e.sx = s.sx, e.sy = s.sy;
  };
  const int live = ref.Live();
  if (ref.mode != kModePairs) {
    for (int i = 0; i < k && ref.firstPage + i <= live; ++i) fill(kOrder[ref.layout][i], ref.firstPage + i, 1, false, -1);
  } else {
    const int* order = kPairOrder[ref.layout];
    for (int j = 0; j < std::max(1, k / 2) && ref.firstPage + j <= live; ++j) {
      fill(order[2 * j], ref.firstPage + j, 1, true, order[2 * j + 1]);
      fill(order[2 * j + 1], ref.firstPage + j, 2, true, order[2 * j]);
    }
  }
  return shownSlots;
}

// ---------------------------------------------------------------------------
// One random sequence.

class Sequence {
 public:
  Sequence(uint32_t seed, const Pool& pool, modeltest::TaggedTiffWriter& writer, shell::ScriptedPresenter& presenter)
      : rng_(seed), pool_(pool), writer_(writer), presenter_(presenter) {
    ref_.folder = work_.Path();
    ref_.instance = Pick(0, 99);
    model_.SetWorkFolder(work_.Path());
    model_.SetInstance(ref_.instance);
    model_.SetLayoutOwner(&layout_);
    model_.SetSaver(&saver_);
    presenter_.Clear();
  }

  void Run() {
    for (step_ = 0; step_ < kSteps; ++step_) {
      const int r = Pick(0, 99);
      if (ref_.Live() == 0 || r < 5) {
        Open();
      } else if (r < 10) {
        Scan();
      } else if (r < 25) {
        Delete();
      } else if (r < 37) {
        Insert();
      } else if (r < 57) {
        Edit();
      } else if (r < 72) {
        Undo();
      } else if (r < 82) {
        SetViewState();
      } else {
        Page();
      }
      WritePending();
      if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return;
      Check();
      if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return;
    }
    op_ = "final Finish";
    EndWorkingFile(false);
  }

  const std::string& Op() const { return op_; }
  int Step() const { return step_; }
  int Instance() const { return ref_.instance; }

 private:
  int Pick(int lo, int hi) { return lo + static_cast<int>(rng_() % uint32_t(hi - lo + 1)); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }

  void SetLayout(int layout) {
    // Pairs are never shown in one view: the views switch to two first.
    if (ref_.pairs && layout == 0) layout = 1;
    ref_.layout = layout_.layout = layout;
  }
  void SetPairs(bool pairs) { ref_.pairs = layout_.pairs = pairs; }

  void ExpectCodes(std::vector<uint32_t> codes) { expected_.insert(expected_.end(), codes.begin(), codes.end()); }

  // FillViewSlots as the views refresh after a command.
  void Fill(int first) {
    const int live = ref_.Live();
    EXPECT_EQ(model_.FillViewSlots(first), live > 0 ? 1 : 0) << op_;
    if (live > 0) ref_.firstPage = std::clamp(first, 1, live);
  }
  void Refresh() { Fill(ref_.firstPage < 1 ? 1 : ref_.firstPage); }

  // A random view showing a page (any side, present or not); −1 for none.
  int FilledView() {
    std::vector<int> views;
    for (int v = 0; v < kViewCount; ++v)
      if (model_.Slot(v).side != -1) views.push_back(v);
    return views.empty() ? -1 : views[size_t(Pick(0, int(views.size()) - 1))];
  }
  RefPage& SlotPage(int view) { return ref_.pages[size_t(ref_.IndexOf(ExpectedSlots(ref_)[size_t(view)].page))]; }

  // A new page of the file at path, as the scanner or an edit writes it; the
  // files are written when the step ends, before anything reads them.
  uint32_t AddWrittenPage(const std::string& path) {
    const uint32_t tag = g_nextTag++;
    pending_[path].push_back(tag);
    return tag;
  }
  void WritePending() {
    for (const auto& [path, tags] : pending_) {
      EXPECT_TRUE(writer_.Write(path, tags)) << path;
      std::erase_if(loadedTags_, [&](const auto& entry) { return entry.first.first == path; });
    }
    pending_.clear();
  }

  // Finish with the save prompts, as every command that ends the working
  // file does; afterwards no temporary file of this instance is left.
  void EndWorkingFile(bool ask) {
    const std::vector<ModifiedFile> flags = ref_.Modified();
    const bool prompts = !ref_.files.empty() && !ref_.FirstFileIsScanOutput() &&
                         std::any_of(flags.begin(), flags.end(), [](const ModifiedFile& m) { return m.Modified(); });
    saver_.calls.clear();
    model_.Finish(ask);
    if (prompts) {
      EXPECT_EQ(saver_.calls.size(), 1u) << op_;
      if (saver_.calls.size() == 1) {
        EXPECT_EQ(saver_.calls[0].ask, ask);
        ASSERT_EQ(saver_.calls[0].flags.size(), flags.size());
        for (size_t f = 0; f < flags.size(); ++f) {
          EXPECT_EQ(saver_.calls[0].flags[f].side1, flags[f].side1) << "file " << f;
          EXPECT_EQ(saver_.calls[0].flags[f].side2, flags[f].side2) << "file " << f;
        }
      }
    } else {
      EXPECT_TRUE(saver_.calls.empty()) << op_ << ": save prompts for an unmodified or scanned-output file";
    }
    EXPECT_EQ(modeltest::TempFileNames(work_.Path()), std::vector<std::string>{}) << op_ << ": left after Finish";
    CheckCodes();
  }

  void StartWorkingFile() {
    EndWorkingFile(true);
    model_.Clear();
    ref_.Clear();
  }

  // ---- steps ---------------------------------------------------------------

  void Open() {
    op_ = "open";
    StartWorkingFile();
    const bool pairs = Chance(30);
    SetPairs(pairs);
    SetLayout(Pick(0, 6));
    std::vector<std::string> paths;
    int added = 0;
    if (!pairs) {
      std::vector<size_t> order(pool_.singles.size());
      for (size_t i = 0; i < order.size(); ++i) order[i] = i;
      std::shuffle(order.begin(), order.end(), rng_);
      order.resize(size_t(Pick(1, 4)));
      std::vector<int> chosen(order.begin(), order.end());
      if (Chance(10)) chosen.push_back(-1);
      if (Chance(10)) chosen.push_back(-2);
      std::shuffle(chosen.begin(), chosen.end(), rng_);
      for (int c : chosen) {
        if (c < 0) {
          paths.push_back(c == -1 ? pool_.missing : pool_.junk);
          ExpectCodes({c == -1 ? kMsgFileMissing : kMsgUnsupported});
          continue;
        }
        const PoolFile& f = pool_.singles[size_t(c)];
        paths.push_back(f.path);
        const int fi = static_cast<int>(ref_.files.size());
        ref_.files.push_back({f.path, "", f.type, -1});
        for (size_t p = 0; p < f.tags.size(); ++p) {
          RefPage page;
          page.file = fi;
          page.pageInFile = static_cast<int>(p) + 1;
          page.side[0] = Present(kOriginFile, f.tags[p]);
          ref_.pages.push_back(page);
          ++added;
        }
      }
      op_ = "OpenFiles";
      EXPECT_EQ(model_.OpenFiles(paths, true), added > 0 ? 1 : 0);
      ref_.mode = added > 0 ? kModeFiles : kModeEmpty;
    } else {
      const bool companions = Chance(50);
      std::vector<int> chosen;
      for (int i = 0; i < static_cast<int>(pool_.pairs.size()); ++i) chosen.push_back(i);
      std::shuffle(chosen.begin(), chosen.end(), rng_);
      chosen.resize(size_t(Pick(1, 3)));
      if (Chance(10)) chosen.insert(chosen.begin() + Pick(0, int(chosen.size())), -1);
      for (int c : chosen) {
        if (c < 0) {
          // A main file without companion; a chosen companion is looked up
          // among main files, which a lonely main file is not.
          paths.push_back(companions ? pool_.dir.File("lonely-C.tif") : pool_.lonely);
          ExpectCodes({kMsgOpenFailed});
          continue;
        }
        const PoolPair& pp = pool_.pairs[size_t(c)];
        paths.push_back(companions ? pp.companion.path : pp.main.path);
        const int fi = static_cast<int>(ref_.files.size());
        ref_.files.push_back({pp.companion.path, pp.main.path, pp.companion.type, pp.main.type});
        const size_t n1 = pp.companion.tags.size(), n2 = pp.main.tags.size();
        for (size_t p = 0; p < std::max(n1, n2); ++p) {
          RefPage page;
          page.file = fi;
          page.pageInFile = static_cast<int>(p) + 1;
          page.side[0] = p < n1 ? Present(kOriginFile, pp.companion.tags[p]) : AbsentOfPair();
          page.side[1] = p < n2 ? Present(kOriginFile, pp.main.tags[p]) : AbsentOfPair();
          ref_.pages.push_back(page);
          ++added;
        }
      }
      op_ = companions ? "OpenFilePairs by companions" : "OpenFilePairs";
      EXPECT_EQ(model_.OpenFilePairs(paths, true, companions), added > 0 ? 1 : 0);
      ref_.mode = added > 0 ? kModePairs : kModeEmpty;
    }
    Fill(1);
  }

  void Scan() {
    op_ = "scan";
    StartWorkingFile();
    const bool pairs = Chance(30);
    SetPairs(pairs);
    SetLayout(Pick(0, 6));
    const int target = Pick(0, 2);  // 0 scan output, 1 one file, 2 a file per page
    const int type = zoimg::TIFF_UNCOMPRESSED;
    const int pages = Pick(1, 8);
    const int scanNo = ++scans_;
    auto name = [&](int page, bool companion) {
      const std::string c = companion ? "-C" : "";
      if (target == 0) return work_.File("VEXO_TEMP" + c + ".tif");
      char b[48];
      if (target == 1) {
        std::snprintf(b, sizeof b, "scan%03d%s.tif", scanNo, c.c_str());
      } else {
        std::snprintf(b, sizeof b, "scan%03d_%02d%s.tif", scanNo, page, c.c_str());
      }
      return work_.File(b);
    };
    const bool prescan = target == 0 && Chance(50);
    std::string last1, last2;
    for (int p = 1; p <= pages; ++p) {
      // Side 1 ("-C" in pairs) first, then its side 2.
      const std::string path1 = name(p, pairs);
      const uint32_t tag1 = AddWrittenPage(path1);
      int newFile = -1;
      op_ = "AddScanPage side 1";
      EXPECT_EQ(model_.AddScanPage(path1, pairs ? 64 : Pick(0, 1), type, &newFile), 1);
      EXPECT_EQ(newFile, path1 != last1 ? 1 : 0) << op_;
      if (path1 != last1) {
        ref_.files.push_back({path1, "", type, -1});
        fileScanPages_ = 0;
      }
      last1 = path1;
      RefPage page;
      page.file = static_cast<int>(ref_.files.size()) - 1;
      page.pageInFile = ++fileScanPages_;
      page.side[0] = Present(kOriginScanned, tag1);
      ref_.pages.push_back(page);
      if (pairs) {
        const std::string path2 = name(p, false);
        const uint32_t tag2 = AddWrittenPage(path2);
        op_ = "AddScanPage side 2";
        EXPECT_EQ(model_.AddScanPage(path2, 0, type, &newFile), 1);
        EXPECT_EQ(newFile, path2 != last2 ? 1 : 0) << op_;
        if (path2 != last2) ref_.files.back().path2 = path2, ref_.files.back().type2 = type;
        last2 = path2;
        ref_.pages.back().side[1] = Present(kOriginScanned, tag2);
      }
    }
    ref_.mode = pairs ? kModePairs : kModeScanned;
    model_.SetLastScanWasPrescan(prescan);
    op_ = "scan end";
    EXPECT_EQ(model_.Renumber(0), 1);
    Fill(1);
  }

  void Delete() {
    op_ = "delete";
    const int view = FilledView();
    if (view < 0) return;
    const VEXO_VIEW_SLOT_INF slot = model_.Slot(view);
    const int index = ref_.IndexOf(slot.page);
    const bool can = ref_.CanDelete(ref_.pages[size_t(index)], slot.side);
    EXPECT_EQ(model_.CanDeletePage(view), can) << "view " << view << " page " << slot.page << " side " << slot.side;
    if (!can) return;
    op_ = "SaveUndo delete";
    EXPECT_EQ(model_.SaveUndo(view, kUndoDelete), 1);
    ref_.undo = ref_.MakeUndo(index, kUndoDelete);
    op_ = "DeletePage";
    EXPECT_EQ(model_.DeletePage(view, slot.partnerView), 1);
    RefPage& page = ref_.pages[size_t(index)];
    page.deleted = true;
    page.side[slot.side - 1].ResetView();
    if (slot.partnerView >= 0) page.side[model_.Slot(slot.partnerView).side - 1].ResetView();
    Fill(ref_.ScreenOf(std::min(slot.page, ref_.Live())));
  }

  void Insert() {
    op_ = "insert";
    const int view = FilledView();
    if (view < 0) return;
    const VEXO_VIEW_SLOT_INF slot = model_.Slot(view);
    const int anchor = ref_.IndexOf(slot.page);
    const bool can = ref_.CanInsert(ref_.pages[size_t(anchor)]);
    EXPECT_EQ(model_.CanInsertPage(view), can) << "view " << view << " page " << slot.page;
    if (!can) return;
    EXPECT_EQ(model_.CheckBeforeEdit(view, slot.partnerView, nullptr, nullptr, 0), 1);
    const int where = Chance(50) ? kInsertBefore : kInsertAfter;
    const int after = where == kInsertBefore ? slot.page - 1 : slot.page;
    op_ = where == kInsertBefore ? "PrepareInsert before" : "PrepareInsert after";
    EXPECT_EQ(model_.PrepareInsert(view, where), after + 1);
    EXPECT_EQ(model_.InsertMode(), where);
    EXPECT_EQ(model_.CountBase(), after);
    const int t1 = ref_.insertEntries, t2 = ref_.pairs ? t1 + 1 : -1;
    EXPECT_EQ(model_.InsertTemp1(), t1);
    EXPECT_EQ(model_.InsertTemp2(), t2);
    ref_.insertEntries += ref_.pairs ? 2 : 1;
    EXPECT_EQ(model_.InsertTempFiles().size(), size_t(ref_.insertEntries));
    if (model_.InsertTempFiles().size() == size_t(ref_.insertEntries)) {
      const VEXO_INS_FILE_INFO& e = model_.InsertTempFiles()[size_t(t1)];
      EXPECT_EQ(e.fileIndex, slot.fileIndex);
      EXPECT_EQ(e.side, 1);
      if (t2 >= 0) {
        EXPECT_EQ(model_.InsertTempFiles()[size_t(t2)].side, 2);
      }
    }
    if (::testing::Test::HasFailure()) return;

    // The scanner writes the insert files; every image arrives as a page event.
    const int count = Chance(15) ? 0 : Pick(1, 4);
    const int type = zoimg::TIFF_UNCOMPRESSED;
    const std::string name1 = work_.File(ref_.InsertName(t1));
    const std::string name2 = t2 >= 0 ? work_.File(ref_.InsertName(t2)) : "";
    std::vector<RefPage> inserted;
    for (int i = 1; i <= count; ++i) {
      RefPage p;
      p.file = slot.fileIndex;
      int newFile = -1;
      op_ = "AddScanPage insert side 1";
      const uint32_t tag1 = AddWrittenPage(name1);
      EXPECT_EQ(model_.AddScanPage(name1, ref_.pairs ? 64 : 0, type, &newFile), 1);
      EXPECT_EQ(newFile, i == 1 ? 1 : 0) << op_;
      p.side[0] = Present(kOriginInsertScan, tag1);
      p.side[0].ins = t1;
      p.side[0].pageInIns = i;
      if (t2 >= 0) {
        op_ = "AddScanPage insert side 2";
        const uint32_t tag2 = AddWrittenPage(name2);
        EXPECT_EQ(model_.AddScanPage(name2, 0, type, &newFile), 1);
        EXPECT_EQ(newFile, i == 1 ? 1 : 0) << op_;
        p.side[1] = Present(kOriginInsertScan, tag2);
        p.side[1].ins = t2;
        p.side[1].pageInIns = i;
      }
      inserted.push_back(p);
    }
    EXPECT_EQ(model_.InsertPages().size(), size_t(count));
    op_ = "MergeInserted";
    const int last = model_.MergeInserted(where);
    EXPECT_EQ(last, count > 0 ? after + count : 0);
    if (count > 0) {
      ref_.mode = ref_.pairs ? kModePairs : kModeScanned;
      const size_t at = size_t(where == kInsertBefore ? anchor : anchor + 1);
      ref_.pages.insert(ref_.pages.begin() + std::ptrdiff_t(at), inserted.begin(), inserted.end());
      ref_.insertFilesOnDisk.insert(t1);
      if (t2 >= 0) ref_.insertFilesOnDisk.insert(t2);
      // The view showing the last inserted page records the undo step.
      Fill(ref_.ScreenOf(after + count));
      std::vector<int> showing;
      for (int v = 0; v < kViewCount; ++v)
        if (model_.Slot(v).page == after + count) showing.push_back(v);
      EXPECT_FALSE(showing.empty()) << "no view shows the last inserted page " << after + count;
      if (!showing.empty()) {
        op_ = "SaveUndo insert";
        const int kind = where == kInsertBefore ? kUndoInsertBefore : kUndoInsertAfter;
        EXPECT_EQ(model_.SaveUndo(showing[size_t(Pick(0, int(showing.size()) - 1))], kind), 1);
        ref_.undo = ref_.MakeUndo(int(at) + count - 1, kind);
      }
    }
    op_ = "EndInsert";
    model_.EndInsert();
    EXPECT_EQ(model_.InsertMode(), kInsertNone);
    EXPECT_EQ(model_.CountBase(), 0);
    if (count == 0) Refresh();
  }

  void Edit() {
    const int view = FilledView();
    if (view < 0 || model_.Slot(view).path.empty()) return;  // an empty pane has nothing to edit
    const VEXO_VIEW_SLOT_INF slot = model_.Slot(view);
    const int partner = slot.partnerView >= 0 && !model_.Slot(slot.partnerView).path.empty() ? slot.partnerView : -1;
    const int kind = Chance(70) ? kUndoRotateCrop : kUndoReplace;
    op_ = kind == kUndoRotateCrop ? "rotate" : "replace";
    RefPage& page = SlotPage(view);
    EXPECT_EQ(model_.CheckBeforeEdit(view, partner, nullptr, nullptr, 0), 1);
    if (kind == kUndoReplace) {
      const int scanned = Chance(70) ? zoimg::TIFF_G4_FAX : (Chance(50) ? zoimg::BMP_UNCOMPRESSED : zoimg::JPEG);
      const int fileType = ref_.ShownType(page, slot.side);
      const std::string& source = slot.side == 2 ? ref_.files[size_t(page.file)].path2 : ref_.files[size_t(page.file)].path;
      const bool scanOutput = source == work_.File("VEXO_TEMP.tif") || source == work_.File("VEXO_TEMP-C.tif");
      const bool fits = scanOutput || (scanned == zoimg::TIFF_G4_FAX ? !Reference::BmpOrJpeg(fileType) : fileType == scanned);
      EXPECT_EQ(model_.CheckReplaceType(view, scanned), fits ? 1 : 0) << "scanned " << scanned << " into " << fileType;
      if (!fits) {
        ExpectCodes({kMsgBadImageType});
        return;
      }
    }
    if (kind == kUndoRotateCrop && Chance(10)) {
      // A crop records the undo step before it writes; when the write fails
      // the page stays as it was, and its current edit file stays in use.
      op_ = "crop failing to write";
      std::string path;
      EXPECT_EQ(model_.NewEditFile(&path), ref_.nextEdit++);
      EXPECT_EQ(model_.SaveUndo(view, kUndoRotateCrop), 1);
      ref_.undo = ref_.MakeUndo(ref_.IndexOf(slot.page), kUndoRotateCrop);
      Refresh();
      return;
    }
    // The new images go to fresh edit files, one per side shown.
    int numbers[2] = {-1, -1};
    uint32_t tags[2] = {0, 0};
    const int views[2] = {view, partner};
    for (int i = 0; i < 2; ++i) {
      if (views[i] < 0) continue;
      std::string path;
      numbers[i] = model_.NewEditFile(&path);
      EXPECT_EQ(numbers[i], ref_.nextEdit);
      EXPECT_EQ(path, work_.File(ref_.EditName(ref_.nextEdit)));
      ++ref_.nextEdit;
      tags[i] = AddWrittenPage(path);
    }
    op_ += ": SaveUndo";
    EXPECT_EQ(model_.SaveUndo(view, kind), 1);
    ref_.undo = ref_.MakeUndo(ref_.IndexOf(slot.page), kind);
    op_ += ", SetPageEdit";
    EXPECT_EQ(model_.SetPageEdit(view, kind, numbers[0], partner, numbers[1]), 1);
    for (int i = 0; i < 2; ++i) {
      if (views[i] < 0) continue;
      RefSide& s = page.side[model_.Slot(views[i]).side - 1];
      s.edit = numbers[i];
      s.tag = tags[i];
      s.ResetView();
      if (kind == kUndoReplace) s.origin |= kOriginReplaced;
      EXPECT_EQ(model_.Slot(views[i]).path, work_.File(ref_.EditName(numbers[i]))) << "view " << views[i];
    }
    Refresh();
  }

  void Undo() {
    op_ = "Undo";
    const std::optional<RefUndo> u = ref_.undo;
    ref_.undo.reset();
    int show = -1;
    const int kind = model_.Undo(&show);
    EXPECT_EQ(kind, u ? u->kind : kUndoNone);
    if (!u) {
      EXPECT_EQ(show, 0);
      Refresh();
      return;
    }
    RefPage& page = ref_.pages[size_t(u->index)];
    switch (u->kind) {
      case kUndoRotateCrop:
      case kUndoReplace:
        page = u->page;
        break;
      case kUndoDelete:
        page = u->page;
        page.deleted = false;
        break;
      default: {
        const int ins1 = u->page.side[0].ins, ins2 = u->page.side[1].ins;
        for (int i = u->index; i >= 0; --i) {
          RefPage& p = ref_.pages[size_t(i)];
          if (p.side[0].ins != ins1 || p.side[1].ins != ins2) break;
          p.deleted = true;
        }
        ref_.insertFilesOnDisk.erase(ins1);
        ref_.insertFilesOnDisk.erase(ins2);
      }
    }
    const int number = ref_.NumberAt(u->index);
    EXPECT_EQ(show, std::clamp(u->kind == kUndoInsertBefore ? number + 1 : number, 1, ref_.Live()));
    if (u->kind == kUndoRotateCrop || u->kind == kUndoReplace) {
      // The model lays the restored page's screen out again itself.
      ref_.firstPage = ref_.ScreenOf(number);
      EXPECT_EQ(model_.FirstPage(), ref_.firstPage);
    } else {
      Fill(ref_.ScreenOf(show));
    }
    if (Chance(20)) {
      op_ = "second Undo";
      EXPECT_EQ(model_.Undo(&show), kUndoNone);
      EXPECT_EQ(show, 0);
    }
  }

  void SetViewState() {
    op_ = "SetViewState";
    const int view = FilledView();
    if (view < 0) return;
    const int mode = Pick(0, 4), zoom = Pick(100, 80000), x = Pick(0, 500), y = Pick(0, 500);
    RefPage& page = SlotPage(view);
    model_.SetViewState(view, mode, zoom, x, y);
    RefSide& s = page.side[model_.Slot(view).side - 1];
    s.mode = mode, s.zoom = zoom, s.sx = x, s.sy = y;
    const ViewState got = model_.GetViewState(view);
    EXPECT_EQ(got.mode, mode);
    EXPECT_EQ(got.zoom, zoom);
    EXPECT_EQ(got.scrollX, x);
    EXPECT_EQ(got.scrollY, y);
  }

  void Page() {
    op_ = "page";
    if (Chance(40)) {
      SetLayout(Pick(0, 6));
      op_ = "layout " + std::to_string(ref_.layout);
    }
    const int live = ref_.Live();
    const int n = Pick(1, std::max(live, 1) + 2);
    EXPECT_EQ(model_.FirstPageOfScreen(n), ref_.ScreenOf(n)) << "page " << n;
    Fill(Chance(70) ? ref_.ScreenOf(n) : Pick(-1, live + 2));
  }

  // ---- checks after every step --------------------------------------------

  void CheckCodes() {
    EXPECT_EQ(presenter_.Codes(), expected_) << op_;
    presenter_.Clear();
    expected_.clear();
  }

  static void ExpectSide(const VEXO_PAGE_SIDE_INF& got, const RefSide& want, const std::string& what) {
    EXPECT_EQ(got.absent == 0, want.present) << what;
    EXPECT_EQ(got.origin, want.origin) << what;
    EXPECT_EQ(got.editFile, want.edit) << what;
    EXPECT_EQ(got.insertFile, want.ins) << what;
    EXPECT_EQ(got.pageInInsertFile, want.pageInIns) << what;
    EXPECT_EQ(got.viewMode, want.mode) << what;
    EXPECT_EQ(got.zoom, want.zoom) << what;
    EXPECT_EQ(got.scrollX, want.sx) << what;
    EXPECT_EQ(got.scrollY, want.sy) << what;
  }
  static void ExpectPage(const VEXO_FILE_PAGE_INF& got, const RefPage& want, const std::string& what) {
    EXPECT_EQ(got.fileIndex, want.file) << what;
    EXPECT_EQ(got.pageInFile, want.pageInFile) << what;
    EXPECT_EQ(got.deleted != 0, want.deleted) << what;
    EXPECT_EQ(got.reserved, -1) << what;
    ExpectSide(got.side1, want.side[0], what + " side 1");
    ExpectSide(got.side2, want.side[1], what + " side 2");
  }

  void Check() {
    const int live = ref_.Live();
    EXPECT_EQ(model_.Total(), live);
    EXPECT_EQ(model_.Mode(), ref_.mode);
    EXPECT_EQ(model_.NextEditNumber(), ref_.nextEdit);
    EXPECT_EQ(model_.InsertTempFiles().size(), size_t(ref_.insertEntries));
    EXPECT_EQ(model_.InsertMode(), kInsertNone);

    // Page records and visible numbering.
    ASSERT_EQ(model_.Pages().size(), ref_.pages.size());
    for (size_t i = 0; i < ref_.pages.size(); ++i) ExpectPage(model_.Pages()[i], ref_.pages[i], "page record " + std::to_string(i));
    for (int v = 0; v <= live + 1; ++v) EXPECT_EQ(model_.PageToIndex(v), ref_.IndexOf(v)) << "PageToIndex(" << v << ")";
    for (int v = 1; v <= live; ++v) {
      PageSides sides;
      ASSERT_EQ(model_.GetPageSides(v, &sides), 1) << "GetPageSides(" << v << ")";
      const RefPage& p = ref_.pages[size_t(ref_.IndexOf(v))];
      EXPECT_EQ(sides.pageIndex, ref_.IndexOf(v));
      EXPECT_EQ(sides.fileIndex, p.file);
      const PageSource s1 = ref_.Source(p, 1), s2 = ref_.Source(p, 2);
      EXPECT_EQ(sides.source1.path, s1.path) << "page " << v;
      EXPECT_EQ(sides.source1.page, s1.page) << "page " << v;
      EXPECT_EQ(sides.source2.path, s2.path) << "page " << v;
      EXPECT_EQ(sides.source2.page, s2.page) << "page " << v;
    }
    PageSides none;
    EXPECT_EQ(model_.GetPageSides(live + 1, &none), 0);

    // File records: paths, types and the numbering of their live pages.
    ASSERT_EQ(model_.Files().size(), ref_.files.size());
    const std::vector<FileCounts> counts = ref_.Counts();
    for (size_t f = 0; f < ref_.files.size(); ++f) {
      const VEXO_FILE_NAME_INF& got = model_.Files()[f];
      const RefFile& want = ref_.files[f];
      const FileCounts& c = counts[f];
      const std::string what = "file " + std::to_string(f);
      EXPECT_EQ(got.path, want.path) << what;
      EXPECT_EQ(got.path2, want.path2) << what;
      EXPECT_EQ(got.fileType, want.type) << what;
      EXPECT_EQ(got.readOnly, 0) << what;
      EXPECT_EQ(got.side1ReadOnly, 0) << what;
      EXPECT_EQ(got.side2ReadOnly, want.path2.empty() ? -1 : 0) << what;
      EXPECT_EQ((std::vector<int>{got.firstPage, got.lastPage, got.pageCount}), (std::vector<int>{c.first, c.last, c.count}))
          << what;
      EXPECT_EQ((std::vector<int>{got.side1FirstPage, got.side1LastPage, got.side1PageCount}),
                (std::vector<int>{c.first1, c.last1, c.count1}))
          << what;
      EXPECT_EQ((std::vector<int>{got.side2FirstPage, got.side2LastPage, got.side2PageCount}),
                (std::vector<int>{c.first2, c.last2, c.count2}))
          << what;
    }

    // Modified flags.
    std::vector<ModifiedFile> flags;
    const std::vector<ModifiedFile> want = ref_.Modified();
    EXPECT_EQ(model_.GetModifiedFiles(&flags),
              std::count_if(want.begin(), want.end(), [](const ModifiedFile& m) { return m.Modified(); }));
    ASSERT_EQ(flags.size(), want.size());
    for (size_t f = 0; f < want.size(); ++f) {
      EXPECT_EQ(flags[f].side1, want[f].side1) << "modified flag side 1 of file " << f;
      EXPECT_EQ(flags[f].side2, want[f].side2) << "modified flag side 2 of file " << f;
    }

    // The undo record.
    ASSERT_EQ(model_.UndoRecords().size(), ref_.undo ? 1u : 0u);
    if (ref_.undo) {
      EXPECT_EQ(model_.UndoRecords()[0].pageIndex, ref_.undo->index);
      EXPECT_EQ(model_.UndoRecords()[0].kind, ref_.undo->kind);
      ExpectPage(model_.UndoRecords()[0].page, ref_.undo->page, "undo record");
    }

    // View slots, and that each one shows the right image.
    EXPECT_EQ(model_.FirstPage(), ref_.firstPage);
    const std::vector<ExpectedSlot> shownSlots = ExpectedSlots(ref_);
    for (int v = 0; v < kViewCount; ++v) {
      const VEXO_VIEW_SLOT_INF& got = model_.Slot(v);
      const ExpectedSlot& e = shownSlots[size_t(v)];
      const std::string what = "slot " + std::to_string(v);
      EXPECT_EQ(got.page, e.page) << what;
      EXPECT_EQ(got.label, e.label) << what;
      EXPECT_EQ(got.side, e.side) << what;
      EXPECT_EQ(got.pageIndex, e.pageIndex) << what;
      EXPECT_EQ(got.fileIndex, e.fileIndex) << what;
      EXPECT_EQ(got.path, e.source.path) << what;
      EXPECT_EQ(got.pageInPath, e.source.page) << what;
      EXPECT_EQ(got.partnerView, e.partner) << what;
      EXPECT_EQ((std::vector<int>{got.viewMode, got.zoom, got.scrollX, got.scrollY}),
                (std::vector<int>{e.mode, e.zoom, e.sx, e.sy}))
          << what;
      if (e.source.path.empty()) continue;
      // A page is read once until the test writes its file again; a missing
      // temporary file is caught below.
      const auto key = std::make_pair(got.path, got.pageInPath);
      auto known = loadedTags_.find(key);
      if (known == loadedTags_.end()) {
        CVexoDIB image;
        const CVEXOFileInfo::SlotImage shown = model_.LoadViewSlot(v, image);
        EXPECT_EQ(shown.label, e.label) << what;
        EXPECT_EQ(shown.page, e.page) << what;
        uint32_t tag = 0;
        EXPECT_TRUE(image.HasImage() && modeltest::ReadTag(*image.GetPageImage(), &tag)) << what << " loads no image";
        if (::testing::Test::HasFailure()) return;
        known = loadedTags_.emplace(key, tag).first;
      }
      const RefSide& s = ref_.pages[size_t(e.pageIndex)].side[e.side - 1];
      EXPECT_EQ(known->second, s.tag) << what << " shows another image than " << e.source.path << " page "
                                      << e.source.page;
    }

    // Temporary files on disk.
    EXPECT_EQ(modeltest::TempFileNames(work_.Path()), ref_.ExpectedTempFiles());
    CheckCodes();
  }

  std::mt19937 rng_;
  const Pool& pool_;
  modeltest::TaggedTiffWriter& writer_;
  shell::ScriptedPresenter& presenter_;
  testsupport::TempDir work_;
  std::map<std::string, std::vector<uint32_t>> pending_;
  std::map<std::pair<std::string, int>, uint32_t> loadedTags_;  // (path, page) → tag read
  CVEXOFileInfo model_;
  FixedLayout layout_;
  DiscardingSaver saver_;
  Reference ref_;
  std::vector<uint32_t> expected_;
  std::string op_;
  int step_ = 0;
  int scans_ = 0;
  int fileScanPages_ = 0;
};

TEST(CVEXOFileInfoRandom, SequencesAgreeWithPageModel) {
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scoped(presenter);
  Pool pool;
  MakePool(pool);
  testsupport::TempDir templates;
  modeltest::TaggedTiffWriter writer(templates.Path());
  ASSERT_FALSE(::testing::Test::HasFailure()) << "source files not written";
  for (uint32_t seed : kSeeds) {
    Sequence s(seed, pool, writer, presenter);
    s.Run();
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << "seed " << seed << ", step " << s.Step() << " (" << s.Op() << "), instance " << s.Instance();
      return;
    }
  }
}

}  // namespace
