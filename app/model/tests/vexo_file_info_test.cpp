// The working file model on real files: opening single files and companion
// pairs, scanned pages, visible numbering, view slots for every layout, page
// edits with their undo and temporary files, and the end of a working file.
#include "model/vexo_file_info.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ZoDIBImage.h"
#include "model/vexo_dib.h"
#include "platform/syserror.h"
#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace fs = std::filesystem;

namespace {

zoimg::PageImage Page(int shade) {
  zoimg::PageImage img;
  img.width = 16;
  img.height = 8;
  img.bitsPerPixel = 8;
  for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010101u);
  img.pixels.assign(size_t(img.Stride()) * 8, uint8_t(shade));
  return img;
}

// Writes a file of pages pages (one for BMP and JPEG).
void WriteImageFile(const std::string& path, int type, int pages = 1) {
  for (int p = 0; p < pages; ++p) ASSERT_EQ(zoimg::WritePage(path, type, Page(10 * p), 75), zoimg::kOk) << path;
}

void SetMtime(const std::string& path, time_t when) {
  struct timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct Layout : ViewLayoutOwner {
  int layout = 0;
  bool pairs = false;
  int SeparationLayout() const noexcept override { return layout; }
  bool PairDisplay() const noexcept override { return pairs; }
};

struct RecordingSaver : CloseTimeSaver {
  struct Call {
    std::vector<ModifiedFile> flags;
    bool ask;
  };
  std::vector<Call> calls;
  void SaveModifiedFiles(CVEXOFileInfo& model, const std::vector<ModifiedFile>& flags, bool ask) override {
    calls.push_back({flags, ask});
    for (size_t f = 0; f < flags.size(); ++f)
      if (flags[f].Modified()) model.DiscardChanges(int(f), flags[f].side1 == 1, flags[f].side2 == 1);
  }
};

struct RecordingDiskChecker : DiskFreeChecker {
  int answer = 1;
  struct Call {
    std::string source, work;
    uint64_t estimate, threshold;
  };
  std::vector<Call> calls;
  int CheckDiskFree(const std::string& s, const std::string& w, uint64_t e, uint64_t t) override {
    calls.push_back({s, w, e, t});
    return answer;
  }
};

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    m.SetWorkFolder(work);
    m.SetInstance(7);
    m.SetLayoutOwner(&layout);
    fs::create_directories(work);
  }

  std::string File(const std::string& name) const { return dir.File(name); }
  std::string Tiff(const std::string& name, int pages) {
    const std::string p = File(name);
    WriteImageFile(p, zoimg::TIFF_UNCOMPRESSED, pages);
    return p;
  }
  // The temporary files of the work folder, by name.
  std::set<std::string> TempFiles() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(work)) names.insert(e.path().filename().string());
    return names;
  }
  // The visible page numbers' page indices, 1 … Total().
  std::vector<int> Visible() const {
    std::vector<int> v;
    for (int n = 1; n <= m.Total(); ++n) v.push_back(m.PageToIndex(n));
    return v;
  }
  // Makes an edit file for view as the rotate command does and records it.
  int Rotate(int view) {
    std::string path;
    const int n = m.NewEditFile(&path);
    testsupport::WriteFile(path, "edit");
    EXPECT_EQ(m.SaveUndo(view, kUndoRotateCrop), 1);
    EXPECT_EQ(m.SetPageEdit(view, kUndoRotateCrop, n, m.Slot(view).partnerView, -1), 1);
    return n;
  }

  testsupport::TempDir dir;
  std::string work = dir.File("work/");
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scope{presenter};
  Layout layout;
  CVEXOFileInfo m;
};

// ---- opening ----------------------------------------------------------------

TEST_F(ModelTest, OpenFilesSkipsEachFailingFileWithItsMessage) {
  const std::string good = Tiff("good.tif", 3);
  const std::string bmp = File("one.bmp");
  WriteImageFile(bmp, zoimg::BMP_UNCOMPRESSED);
  testsupport::WriteFile(File("notes.txt"), "not an image");
  const std::string tooLong = File(std::string(250, 'y'));  // over 255 with the folder

  ASSERT_EQ(m.OpenFiles({tooLong, File("missing.tif"), good, File("notes.txt"), bmp}, true), 1);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x53, 0x04, 0x39}));
  EXPECT_EQ(presenter.Calls()[0].detail, platform::SystemErrorText(ENAMETOOLONG) + "\n" + tooLong);
  EXPECT_EQ(presenter.Calls()[1].detail, File("missing.tif"));
  EXPECT_EQ(m.Mode(), kModeFiles);
  EXPECT_EQ(m.Total(), 4);
  ASSERT_EQ(m.Files().size(), 2u);
  const VEXO_FILE_NAME_INF& f0 = m.Files()[0];
  EXPECT_EQ(f0.fileType, zoimg::TIFF_UNCOMPRESSED);
  EXPECT_EQ((std::vector<int>{f0.firstPage, f0.lastPage, f0.pageCount}), (std::vector<int>{1, 3, 3}));
  EXPECT_EQ((std::vector<int>{f0.side1FirstPage, f0.side1LastPage, f0.side1PageCount}), (std::vector<int>{1, 3, 3}));
  EXPECT_EQ((std::vector<int>{f0.side2ReadOnly, f0.side2FirstPage, f0.side2LastPage, f0.side2PageCount}),
            (std::vector<int>{-1, -1, -1, -1}));
  EXPECT_EQ(m.Files()[1].fileType, zoimg::BMP_UNCOMPRESSED);
  EXPECT_EQ(m.Files()[1].firstPage, 4);
  const VEXO_FILE_PAGE_INF& p = m.Pages()[3];
  EXPECT_EQ(p.fileIndex, 1);
  EXPECT_EQ(p.pageInFile, 1);
  EXPECT_EQ(p.side1.origin, kOriginFile);
  EXPECT_EQ((std::vector<int>{p.side1.absent, p.side1.viewMode, p.side1.zoom, p.side1.editFile, p.side1.insertFile}),
            (std::vector<int>{0, kViewModeFitWindow, 0, -1, -1}));
  EXPECT_EQ((std::vector<int>{p.side2.absent, p.side2.viewMode, p.side2.zoom, p.side2.scrollX}),
            (std::vector<int>{1, -1, -1, 0}));
  EXPECT_EQ(p.reserved, -1);
}

TEST_F(ModelTest, AllFilesFailingLeavesNothingLoaded) {
  testsupport::WriteFile(File("a.tif"), "II*\0garbage");
  ASSERT_EQ(m.OpenFiles({File("a.tif"), File("gone.pdf")}, true), 0);
  EXPECT_EQ(m.Mode(), kModeEmpty);
  EXPECT_TRUE(m.Files().empty());
  EXPECT_EQ(m.FillViewSlots(1), 0);
  EXPECT_EQ(m.Slot(0).page, -1);
}

TEST_F(ModelTest, ReadOnlyFileWarnsOnlyWithTheFlagAndStillOpens) {
  const std::string ro = Tiff("ro.tif", 1);
  ASSERT_EQ(chmod(ro.c_str(), 0444), 0);
  for (bool warn : {true, false}) {
    presenter.Clear();
    m.Clear();
    ASSERT_EQ(m.OpenFiles({ro}, warn), 1);
    EXPECT_EQ(presenter.Codes(), warn ? std::vector<uint32_t>{0x23} : std::vector<uint32_t>{});
    EXPECT_EQ(m.Files()[0].readOnly, 1);
  }
}

TEST_F(ModelTest, UnequalPairLeavesSideOneAbsentOnTheExtraPages) {
  const std::string main = Tiff("scan.tif", 3);
  const std::string comp = Tiff("scan-C.tif", 2);
  // An older companion of another type must lose to the closest one.
  const std::string older = File("scan-c.pdf");
  WriteImageFile(older, zoimg::PDF, 1);
  SetMtime(main, 1000000);
  SetMtime(comp, 1000100);
  SetMtime(older, 2000000);

  ASSERT_EQ(m.OpenFilePairs({main}, true, false), 1);
  EXPECT_TRUE(presenter.Codes().empty());
  EXPECT_EQ(m.Mode(), kModePairs);
  EXPECT_EQ(m.Total(), 3);
  const VEXO_FILE_NAME_INF& f = m.Files()[0];
  EXPECT_EQ(f.path, comp);
  EXPECT_EQ(f.path2, main);
  EXPECT_EQ((std::vector<int>{f.firstPage, f.lastPage, f.pageCount}), (std::vector<int>{1, 3, 3}));
  EXPECT_EQ((std::vector<int>{f.side1FirstPage, f.side1LastPage, f.side1PageCount}), (std::vector<int>{1, 2, 2}));
  EXPECT_EQ((std::vector<int>{f.side2FirstPage, f.side2LastPage, f.side2PageCount}), (std::vector<int>{1, 3, 3}));
  EXPECT_EQ(m.Pages()[2].side1.absent, 1);
  EXPECT_EQ(m.Pages()[2].side1.origin, 0);
  EXPECT_EQ(m.Pages()[2].side2.absent, 0);

  // Choosing the companion finds the same pair.
  m.Clear();
  ASSERT_EQ(m.OpenFilePairs({comp}, true, true), 1);
  EXPECT_EQ(m.Files()[0].path, comp);
  EXPECT_EQ(m.Files()[0].path2, main);

  // The extra page shows an empty "-C" pane beside the main image.
  layout.layout = 1;
  layout.pairs = true;
  ASSERT_EQ(m.FillViewSlots(3), 1);
  EXPECT_EQ(m.Slot(0).page, 3);
  EXPECT_EQ(m.Slot(0).path, "");
  EXPECT_EQ(m.Slot(1).path, main);
  CVexoDIB image;
  const auto shown = m.LoadViewSlot(0, image);
  EXPECT_EQ(shown.label, "");
  EXPECT_EQ(shown.page, 0);
  EXPECT_EQ(m.LoadViewSlot(1, image).label, "3");
}

TEST_F(ModelTest, PairWithoutCompanionOrWithBrokenHalfIsSkipped) {
  const std::string lone = Tiff("lone.tif", 1);
  const std::string main = Tiff("b.tif", 1);
  testsupport::WriteFile(File("b-C.tif"), "broken");
  ASSERT_EQ(m.OpenFilePairs({lone, main, File("nothing.tif")}, true, false), 0);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x07, 0x39, 0x07}));
  EXPECT_EQ(presenter.Calls()[0].detail, lone);
  EXPECT_EQ(m.Mode(), kModeEmpty);
}

// ---- numbering --------------------------------------------------------------

TEST_F(ModelTest, VisibleNumbersSkipDeletedPages) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 3)}, false), 1);
  layout.layout = 0;
  m.FillViewSlots(2);
  ASSERT_EQ(m.SaveUndo(0, kUndoDelete), 1);
  ASSERT_EQ(m.DeletePage(0, -1), 1);
  EXPECT_EQ(m.Total(), 2);
  EXPECT_EQ(Visible(), (std::vector<int>{0, 2}));
  EXPECT_EQ(m.PageToIndex(3), -1);
  EXPECT_EQ(m.Renumber(2), 2);
  EXPECT_EQ(m.Files()[0].lastPage, 2);
  EXPECT_EQ(m.Files()[0].pageCount, 2);

  PageSides sides;
  ASSERT_EQ(m.GetPageSides(2, &sides), 1);
  EXPECT_EQ(sides.pageIndex, 2);
  EXPECT_EQ(sides.source1.page, 3);
  EXPECT_EQ(m.GetPageSides(3, &sides), 0);
  PageSource deleted;
  EXPECT_EQ(m.GetPageSource(1, 1, &deleted), 1);
  EXPECT_EQ(deleted.path, "");
  EXPECT_EQ(m.GetPageSource(1, 2, &deleted), 0);

  // Undo brings it back at its place and renumbers what follows.
  int show = 0;
  EXPECT_EQ(m.Undo(&show), kUndoDelete);
  EXPECT_EQ(show, 2);
  EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(m.Files()[0].lastPage, 3);
  EXPECT_EQ(m.Undo(), kUndoNone);
}

TEST_F(ModelTest, ModifiedFilesFollowEditsAndDeletions) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 2), Tiff("b.tif", 2), Tiff("c.tif", 1)}, false), 1);
  layout.layout = 5;
  m.FillViewSlots(1);
  std::vector<ModifiedFile> flags;
  EXPECT_EQ(m.GetModifiedFiles(&flags), 0);
  EXPECT_EQ(flags[0].side1, 0);
  EXPECT_EQ(flags[0].side2, -1);
  Rotate(0);                      // a.tif page 1
  m.SaveUndo(3, kUndoDelete);     // b.tif page 2
  m.DeletePage(3, -1);
  EXPECT_EQ(m.GetModifiedFiles(&flags), 2);
  EXPECT_EQ((std::vector<int>{flags[0].side1, flags[1].side1, flags[2].side1}), (std::vector<int>{1, 1, 0}));
}

// ---- scanned pages ----------------------------------------------------------

TEST_F(ModelTest, ScannedPagesStartFilesByPathIgnoringCase) {
  const std::string scan = work + "VEXO_TEMP.tif";
  int newFile = -1;
  ASSERT_EQ(m.AddScanPage(scan, 1, zoimg::TIFF_G4_FAX, &newFile), 1);
  EXPECT_EQ(newFile, 1);
  ASSERT_EQ(m.AddScanPage(work + "vexo_temp.TIF", 1, zoimg::TIFF_G4_FAX, &newFile), 1);
  EXPECT_EQ(newFile, 0);
  ASSERT_EQ(m.AddScanPage(File("second.tif"), 1, zoimg::TIFF_G4_FAX, &newFile), 1);
  EXPECT_EQ(newFile, 1);
  EXPECT_EQ(m.Mode(), kModeScanned);
  EXPECT_EQ(m.Total(), 3);
  ASSERT_EQ(m.Files().size(), 2u);
  EXPECT_EQ((std::vector<int>{m.Files()[0].firstPage, m.Files()[0].lastPage, m.Files()[0].pageCount}),
            (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(m.Files()[1].firstPage, 3);
  EXPECT_EQ(m.Pages()[1].pageInFile, 2);
  EXPECT_EQ(m.Pages()[2].pageInFile, 1);
  EXPECT_EQ(m.Pages()[2].side1.origin, kOriginScanned);
}

TEST_F(ModelTest, PairScanPutsAttributeZeroImagesOnSideTwo) {
  layout.layout = 3;
  layout.pairs = true;
  const std::string s1 = work + "VEXO_TEMP-C.tif", s2 = work + "VEXO_TEMP.tif";
  std::vector<int> views;
  for (int page = 0; page < 3; ++page) {
    m.AddScanPage(s1, 1, zoimg::TIFF_JPEG, nullptr);
    views.push_back(m.ScanPageView(1));
    m.AddScanPage(s2, 0, zoimg::TIFF_JPEG, nullptr);
    views.push_back(m.ScanPageView(0));
  }
  EXPECT_EQ(m.Mode(), kModePairs);
  EXPECT_EQ(m.Total(), 3);
  // Pairs stand one above the other; the third pair starts a new screen.
  EXPECT_EQ(views, (std::vector<int>{0, 4, 1, 5, 0, 4}));
  const VEXO_FILE_NAME_INF& f = m.Files()[0];
  EXPECT_EQ(f.path, s1);
  EXPECT_EQ(f.path2, s2);
  EXPECT_EQ((std::vector<int>{f.side2FirstPage, f.side2LastPage, f.side2PageCount}), (std::vector<int>{1, 3, 3}));
  PageSource src;
  m.GetPageSource(2, 2, &src);
  EXPECT_EQ(src.path, s2);
  EXPECT_EQ(src.page, 3);
}

TEST_F(ModelTest, FifthScannedPageInFourViewsStartsANewScreen) {
  layout.layout = 4;
  std::vector<int> views;
  for (int i = 0; i < 6; ++i) {
    m.AddScanPage(work + "VEXO_TEMP.tif", 1, zoimg::TIFF_G4_FAX, nullptr);
    views.push_back(m.ScanPageView(1));
  }
  EXPECT_EQ(views, (std::vector<int>{0, 4, 1, 5, 0, 4}));
  layout.layout = 0;
  EXPECT_EQ(m.ScanPageView(1), 0);
}

// ---- view slots -------------------------------------------------------------

TEST_F(ModelTest, OrderTablesForEveryLayoutAndMode) {
  // Eight single pages and eight pairs.
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 8)}, false), 1);
  const std::string main = Tiff("p.tif", 8);
  Tiff("p-C.tif", 8);
  CVEXOFileInfo pairs;
  pairs.SetLayoutOwner(&layout);
  ASSERT_EQ(pairs.OpenFilePairs({main}, false, false), 1);

  struct Case {
    int layout;
    std::vector<int> single;  // view of the i-th page
    std::vector<int> pair;    // views of the i-th image ("-C" side first)
  } cases[] = {
      {0, {0}, {}},
      {1, {0, 1}, {0, 1}},
      {2, {0, 4}, {0, 4}},
      {3, {0, 1, 4, 5}, {0, 4, 1, 5}},
      {4, {0, 4, 1, 5}, {0, 1, 4, 5}},
      {5, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 4, 1, 5, 2, 6, 3, 7}},
      {6, {0, 4, 1, 5, 2, 6, 3, 7}, {0, 1, 4, 5, 2, 3, 6, 7}},
  };
  for (const Case& c : cases) {
    layout.layout = c.layout;
    layout.pairs = false;
    ASSERT_EQ(m.FillViewSlots(1), 1);
    std::vector<int> views(8, -1);
    for (int v = 0; v < 8; ++v)
      if (m.Slot(v).page > 0) views[size_t(m.Slot(v).page - 1)] = v;
    views.resize(c.single.size());
    EXPECT_EQ(views, c.single) << "layout " << c.layout;
    EXPECT_EQ(m.Slot(c.single.back()).label, std::to_string(c.single.size()));
    if (c.pair.empty()) continue;
    layout.pairs = true;
    ASSERT_EQ(pairs.FillViewSlots(1), 1);
    std::vector<int> images(8, -1);
    for (int v = 0; v < 8; ++v) {
      const VEXO_VIEW_SLOT_INF& s = pairs.Slot(v);
      if (s.page < 1) continue;
      images[size_t(2 * (s.page - 1) + (s.side - 1))] = v;
      EXPECT_EQ(s.label, std::to_string(s.page) + (s.side == 1 ? "-C" : "")) << "layout " << c.layout;
      EXPECT_EQ(pairs.Slot(s.partnerView).partnerView, v);
    }
    images.resize(c.pair.size());
    EXPECT_EQ(images, c.pair) << "pairs, layout " << c.layout;
  }
}

TEST_F(ModelTest, LastScreenEmptiesTheSlotsItDoesNotUse) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 10)}, false), 1);
  layout.layout = 5;
  ASSERT_EQ(m.FillViewSlots(9), 1);
  EXPECT_EQ(m.Slot(0).page, 9);
  EXPECT_EQ(m.Slot(1).page, 10);
  EXPECT_EQ(m.Slot(1).pageInPath, 10);
  for (int v = 2; v < 8; ++v) {
    const VEXO_VIEW_SLOT_INF& s = m.Slot(v);
    EXPECT_EQ((std::vector<int>{s.page, s.side, s.pageIndex, s.fileIndex, s.pageInPath, s.partnerView, s.viewMode,
                                s.zoom, s.scrollX}),
              (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 0}))
        << v;
    EXPECT_TRUE(s.label.empty() && s.path.empty());
  }
  EXPECT_EQ(m.FillViewSlots(99), 1);
  EXPECT_EQ(m.FirstPage(), 10);
  EXPECT_EQ(m.FillViewSlots(-3), 1);
  EXPECT_EQ(m.FirstPage(), 1);
}

TEST_F(ModelTest, FirstPageOfScreen) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 14)}, false), 1);
  layout.layout = 6;
  EXPECT_EQ(m.FirstPageOfScreen(11), 9);
  EXPECT_EQ(m.FirstPageOfScreen(8), 1);
  EXPECT_EQ(m.FirstPageOfScreen(99), 9);
  const std::string main = Tiff("p.tif", 14);
  Tiff("p-C.tif", 14);
  m.Clear();
  ASSERT_EQ(m.OpenFilePairs({main}, false, false), 1);
  layout.pairs = true;
  EXPECT_EQ(m.FirstPageOfScreen(11), 9);
  EXPECT_EQ(m.FirstPageOfScreen(13), 13);
  EXPECT_EQ(m.FirstPageOfScreen(12), 9);
}

TEST_F(ModelTest, ViewStateStaysWithThePageSide) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 4)}, false), 1);
  layout.layout = 1;
  m.FillViewSlots(1);
  m.SetViewState(1, kViewModeZoom, 25000, 30, 40);
  m.FillViewSlots(3);
  EXPECT_EQ(m.GetViewState(1).zoom, 0);
  m.FillViewSlots(1);
  const ViewState s = m.GetViewState(1);
  EXPECT_EQ((std::vector<int>{s.mode, s.zoom, s.scrollX, s.scrollY}), (std::vector<int>{0, 25000, 30, 40}));
  EXPECT_EQ(m.GetViewState(8).zoom, 0);
  m.SetViewState(9, 1, 2, 3, 4);  // ignored
}

TEST_F(ModelTest, UnloadableSlotImageShowsMessageSevenAndClearsTheImage) {
  const std::string a = Tiff("a.tif", 1);
  ASSERT_EQ(m.OpenFiles({a}, false), 1);
  m.FillViewSlots(1);
  CVexoDIB image;
  auto shown = m.LoadViewSlot(0, image);
  EXPECT_EQ(shown.label, "1");
  EXPECT_TRUE(image.HasImage());
  testsupport::WriteFile(a, "gone bad");
  shown = m.LoadViewSlot(0, image);
  EXPECT_EQ(shown.page, 0);
  EXPECT_FALSE(image.HasImage());
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x07}));
}

// ---- edits and undo ---------------------------------------------------------

TEST_F(ModelTest, TwoRotationsThenUndoKeepsTheFirstRotation) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 2)}, false), 1);
  m.FillViewSlots(1);
  const int first = Rotate(0);
  const int second = Rotate(0);
  EXPECT_EQ(m.Pages()[0].side1.editFile, second);
  EXPECT_EQ(m.Slot(0).path, m.EditFileName(second));
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"07000000.tmp", "07000001.tmp"}));

  int show = 0;
  EXPECT_EQ(m.Undo(&show), kUndoRotateCrop);
  EXPECT_EQ(show, 1);
  EXPECT_EQ(m.Pages()[0].side1.editFile, first);
  EXPECT_EQ(m.Slot(0).path, m.EditFileName(first)) << "the screen is laid out again";
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"07000000.tmp"}));
  EXPECT_EQ(m.Undo(), kUndoNone);
  EXPECT_EQ(m.Pages()[0].side1.editFile, first);

  // A third rotation drops the file only the old undo record named.
  Rotate(0);
  Rotate(0);
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"07000002.tmp", "07000003.tmp"}));
}

TEST_F(ModelTest, ReplaceMarksTheSideAndUndoRemovesTheMark) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 1)}, false), 1);
  m.FillViewSlots(1);
  std::string path;
  const int n = m.NewEditFile(&path);
  testsupport::WriteFile(path, "rescanned");
  m.SaveUndo(0, kUndoReplace);
  m.SetPageEdit(0, kUndoReplace, n, -1, -1);
  EXPECT_EQ(m.Pages()[0].side1.origin, kOriginFile | kOriginReplaced);
  EXPECT_EQ(m.Undo(), kUndoReplace);
  EXPECT_EQ(m.Pages()[0].side1.origin, kOriginFile);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(ModelTest, ReplaceTypeMustSuitThePagesFile) {
  const std::string tif = Tiff("a.tif", 1), pdf = File("b.pdf"), jpg = File("c.jpg"), bmp = File("d.bmp");
  WriteImageFile(pdf, zoimg::PDF);
  WriteImageFile(jpg, zoimg::JPEG);
  WriteImageFile(bmp, zoimg::BMP_UNCOMPRESSED);
  ASSERT_EQ(m.OpenFiles({tif, pdf, jpg, bmp}, false), 1);
  m.AddScanPage(work + "VEXO_TEMP.tif", 1, zoimg::TIFF_G4_FAX, nullptr);  // appended scan output
  layout.layout = 5;
  m.FillViewSlots(1);
  const int scanned[] = {zoimg::TIFF_G4_FAX, zoimg::PDF, zoimg::JPEG, zoimg::BMP_UNCOMPRESSED};
  // fits[view][scanned type]
  const int fits[5][4] = {{1, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}};
  for (int v = 0; v < 5; ++v) {
    for (int t = 0; t < 4; ++t) {
      presenter.Clear();
      EXPECT_EQ(m.CheckReplaceType(v, scanned[t]), fits[v][t]) << v << " " << t;
      EXPECT_EQ(presenter.Codes(), fits[v][t] ? std::vector<uint32_t>{} : std::vector<uint32_t>{0x4E});
    }
  }
}

TEST_F(ModelTest, InsertThreePagesThenUndoRemovesThemAndTheirFile) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 3)}, false), 1);
  layout.layout = 3;
  m.FillViewSlots(1);
  // Insert before page 2 (view 1).
  ASSERT_EQ(m.PrepareInsert(1, kInsertBefore), 2);
  EXPECT_EQ(m.CountBase(), 1);
  const std::string ins = m.InsertFileName(m.InsertTemp1());
  EXPECT_EQ(fs::path(ins).filename(), "07I00000.tmp");
  std::vector<int> views;
  for (int i = 0; i < 3; ++i) {
    WriteImageFile(ins, zoimg::TIFF_UNCOMPRESSED);
    m.AddScanPage(ins, 1, zoimg::TIFF_UNCOMPRESSED, nullptr);
    views.push_back(m.ScanPageView(1));
  }
  EXPECT_EQ(views, (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(m.Pages().size(), 3u) << "inserted pages wait apart";
  const int last = m.MergeInserted(kInsertBefore);
  EXPECT_EQ(last, 4);
  EXPECT_EQ(m.Total(), 6);
  EXPECT_EQ(m.Files()[0].lastPage, 6);
  m.FillViewSlots(m.FirstPageOfScreen(last));
  ASSERT_EQ(m.Slot(5).page, 4);
  ASSERT_EQ(m.SaveUndo(5, kUndoInsertBefore), 1);
  m.EndInsert();
  PageSource src;
  m.GetPageSource(m.PageToIndex(3), 1, &src);
  EXPECT_EQ(src.path, ins);
  EXPECT_EQ(src.page, 2);
  std::vector<ModifiedFile> flags;
  EXPECT_EQ(m.GetModifiedFiles(&flags), 1);

  int show = 0;
  EXPECT_EQ(m.Undo(&show), kUndoInsertBefore);
  EXPECT_EQ(show, 2);
  EXPECT_EQ(m.Total(), 3);
  EXPECT_EQ(Visible(), (std::vector<int>{0, 4, 5}));
  EXPECT_FALSE(fs::exists(ins));
  EXPECT_EQ(m.GetModifiedFiles(&flags), 0);
}

TEST_F(ModelTest, UndoOfAPairInsertionThatStoppedBetweenTheSidesOfItsLastSheet) {
  const std::string main = Tiff("p.tif", 2);
  Tiff("p-C.tif", 2);
  ASSERT_EQ(m.OpenFilePairs({main}, false, false), 1);
  layout.layout = 3;
  layout.pairs = true;
  m.FillViewSlots(1);
  ASSERT_EQ(m.PrepareInsert(0, kInsertAfter), 2);
  const std::string ins1 = m.InsertFileName(m.InsertTemp1()), ins2 = m.InsertFileName(m.InsertTemp2());
  for (const std::string& f : {ins1, ins2}) WriteImageFile(f, zoimg::TIFF_UNCOMPRESSED);
  m.AddScanPage(ins1, 1, zoimg::TIFF_UNCOMPRESSED, nullptr);
  m.AddScanPage(ins2, 0, zoimg::TIFF_UNCOMPRESSED, nullptr);
  m.AddScanPage(ins1, 1, zoimg::TIFF_UNCOMPRESSED, nullptr);  // the scan stopped here
  ASSERT_EQ(m.MergeInserted(kInsertAfter), 3);
  m.FillViewSlots(m.FirstPageOfScreen(3));
  ASSERT_EQ(m.Slot(0).page, 3);
  ASSERT_EQ(m.SaveUndo(0, kUndoInsertAfter), 1);
  m.EndInsert();
  EXPECT_EQ(m.Total(), 4);

  EXPECT_EQ(m.Undo(), kUndoInsertAfter);
  EXPECT_EQ(m.Total(), 2);
  EXPECT_EQ(Visible(), (std::vector<int>{0, 3}));
  EXPECT_FALSE(fs::exists(ins1));
  EXPECT_FALSE(fs::exists(ins2));
}

TEST_F(ModelTest, InsertAfterTheLastPageGoesToTheEnd) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 2), Tiff("b.tif", 1)}, false), 1);
  layout.layout = 1;
  m.FillViewSlots(1);
  ASSERT_EQ(m.PrepareInsert(1, kInsertAfter), 3);
  const std::string ins = m.InsertFileName(m.InsertTemp1());
  WriteImageFile(ins, zoimg::TIFF_UNCOMPRESSED);
  m.AddScanPage(ins, 1, zoimg::TIFF_UNCOMPRESSED, nullptr);
  EXPECT_EQ(m.MergeInserted(kInsertAfter), 3);
  m.EndInsert();
  EXPECT_EQ(m.Pages()[2].fileIndex, 0);
  EXPECT_EQ(m.Pages()[2].side1.origin, kOriginInsertScan);
  EXPECT_EQ((std::vector<int>{m.Files()[0].lastPage, m.Files()[1].firstPage, m.Total()}),
            (std::vector<int>{3, 4, 4}));
  // No page arrived: nothing is merged.
  m.FillViewSlots(1);
  ASSERT_GT(m.PrepareInsert(0, kInsertBefore), 0);
  EXPECT_EQ(m.MergeInserted(kInsertBefore), 0);
  m.EndInsert();
  EXPECT_EQ(m.Total(), 4);
}

TEST_F(ModelTest, InsertTemporaryNumbersEndAt99999Entries) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 1)}, false), 1);
  m.FillViewSlots(1);
  for (int i = 0; i < CVEXOFileInfo::kMaxInsertFiles; ++i) {
    ASSERT_EQ(m.PrepareInsert(0, kInsertAfter), 2) << i;
    m.EndInsert();
  }
  EXPECT_EQ(m.InsertTempFiles().size(), 99999u);
  EXPECT_EQ(fs::path(m.InsertFileName(99998)).filename(), "07I99998.tmp");
  EXPECT_EQ(m.PrepareInsert(0, kInsertAfter), -1);
  EXPECT_EQ(m.InsertMode(), kInsertNone);
}

TEST_F(ModelTest, DeleteAndInsertAvailability) {
  const std::string one = Tiff("one.tif", 1), two = Tiff("two.tif", 2), jpg = File("c.jpg"), bmp = File("d.bmp");
  WriteImageFile(jpg, zoimg::JPEG);
  WriteImageFile(bmp, zoimg::BMP_UNCOMPRESSED);
  ASSERT_EQ(m.OpenFiles({one, two, jpg, bmp}, false), 1);
  layout.layout = 5;
  m.FillViewSlots(1);
  // views: one.tif, two.tif p1, two.tif p2, c.jpg, d.bmp, empty
  const bool del[] = {false, true, true, false, false, false};
  const bool ins[] = {true, true, true, false, false, false};
  for (int v = 0; v < 6; ++v) {
    EXPECT_EQ(m.CanDeletePage(v), del[v]) << v;
    EXPECT_EQ(m.CanInsertPage(v), ins[v]) << v;
  }
}

TEST_F(ModelTest, ChecksBeforeAnEditCountFileInsertsAndImage) {
  const std::string a = Tiff("a.tif", 2);
  ASSERT_EQ(m.OpenFiles({a}, false), 1);
  RecordingDiskChecker disk;
  m.SetDiskFreeChecker(&disk);
  m.FillViewSlots(1);
  ASSERT_GT(m.PrepareInsert(0, kInsertAfter), 0);
  const std::string ins = m.InsertFileName(m.InsertTemp1());
  testsupport::WriteFile(ins, std::string(1000, 'i'));
  m.EndInsert();
  CVexoDIB image;
  ASSERT_EQ(image.LoadDIBObject(a, 1), 1);  // 16 × 8 × 8 bits: (16 + 3) × 8

  EXPECT_EQ(m.CheckBeforeEdit(0, -1, &image, nullptr, 5), 1);
  ASSERT_EQ(disk.calls.size(), 1u);
  EXPECT_EQ(disk.calls[0].estimate, fs::file_size(a) + 1000 + 19 * 8);
  EXPECT_EQ(disk.calls[0].threshold, 5u * 1048576u);
  EXPECT_FALSE(disk.calls[0].source.empty());
  EXPECT_FALSE(disk.calls[0].work.empty());

  disk.answer = 0;
  EXPECT_EQ(m.CheckBeforeEdit(0, -1, nullptr, nullptr, 1), 0);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x50}));

  // A sparse insert file brings the estimate to 2 GB.
  ASSERT_EQ(truncate(ins.c_str(), off_t(CVEXOFileInfo::kMaxFileBytes)), 0);
  presenter.Clear();
  disk.calls.clear();
  EXPECT_EQ(m.CheckBeforeEdit(0, -1, nullptr, nullptr, 1), 0);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x51}));
  EXPECT_TRUE(disk.calls.empty());
}

// ---- temporary files and the end of a working file --------------------------

TEST_F(ModelTest, TemporaryNamesAndLeftoverCleanUp) {
  std::string path;
  EXPECT_EQ(m.NewEditFile(&path), 0);
  EXPECT_EQ(path, work + "07000000.tmp");
  EXPECT_EQ(m.NewEditFile(&path), 1);
  EXPECT_EQ(m.InsertFileName(12), work + "07I00012.tmp");
  m.Clear();
  EXPECT_EQ(m.NextEditNumber(), 0);

  const std::vector<std::string> gone = {"07000001.tmp", "07I00001.TMP", "07abc.Tmp", "07.tmp", "07x.tmp.tmp"};
  const std::vector<std::string> kept = {"17000001.tmp", "70000001.tmp", "7000001.tmp",   "x07000001.tmp",
                                         "07000001.tif", "07000001.tmpx", "-1000001.tmp", "VEXO_TEMP.tif"};
  for (const auto& n : gone) testsupport::WriteFile(work + n, "x");
  for (const auto& n : kept) testsupport::WriteFile(work + n, "x");
  fs::create_directories(work + "07dir.tmp");
  m.DeleteLeftovers();
  for (const auto& n : gone) EXPECT_FALSE(fs::exists(work + n)) << n;
  for (const auto& n : kept) EXPECT_TRUE(fs::exists(work + n)) << n;
  EXPECT_TRUE(fs::is_directory(work + "07dir.tmp"));

  // An instance without a slot has leftovers of its own only.
  m.SetInstance(-1);
  m.DeleteLeftovers();
  EXPECT_FALSE(fs::exists(work + "-1000001.tmp"));
  EXPECT_TRUE(fs::exists(work + "17000001.tmp"));
  m.SetWorkFolder(dir.File("absent/"));
  m.DeleteLeftovers();  // a missing folder is nothing to clean
}

TEST_F(ModelTest, FinishRunsThePromptsThenDropsUndoAndInsertFiles) {
  ASSERT_EQ(m.OpenFiles({Tiff("a.tif", 2), Tiff("b.tif", 1)}, false), 1);
  RecordingSaver saver;
  m.SetSaver(&saver);
  layout.layout = 3;
  m.FillViewSlots(1);
  Rotate(0);
  Rotate(0);  // the undo record names the first rotation's file
  ASSERT_GT(m.PrepareInsert(4, kInsertAfter), 0);
  testsupport::WriteFile(m.InsertFileName(m.InsertTemp1()), "x");
  m.EndInsert();
  testsupport::WriteFile(work + "08000000.tmp", "another instance");
  m.Finish(true);
  ASSERT_EQ(saver.calls.size(), 1u);
  EXPECT_TRUE(saver.calls[0].ask);
  EXPECT_EQ(saver.calls[0].flags[0].side1, 1);
  EXPECT_EQ(saver.calls[0].flags[1].side1, 0);
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"08000000.tmp"}));
  EXPECT_FALSE(m.HasUndo());
  EXPECT_TRUE(m.InsertTempFiles().empty());
}

TEST_F(ModelTest, FinishOfScanOutputOrPrescanDeletesOnlyThisInstancesFiles) {
  for (bool prescan : {false, true}) {
    m.Clear();
    presenter.Clear();
    const std::string scan = work + "VEXO_TEMP.tif";
    const std::string other = Tiff("other.tif", 1);
    if (prescan) {
      ASSERT_EQ(m.OpenFiles({other}, false), 1);
    } else {
      m.AddScanPage(scan, 1, zoimg::TIFF_G4_FAX, nullptr);
    }
    m.SetLastScanWasPrescan(prescan);
    for (const char* name : {"07000009.tmp", "07I00000.tmp", "07x.TMP", "31000000.tmp"})
      testsupport::WriteFile(work + name, "x");
    RecordingSaver saver;
    m.SetSaver(&saver);
    m.Finish(false);
    EXPECT_EQ(TempFiles(), (std::set<std::string>{"31000000.tmp"})) << prescan;
    fs::remove(work + "31000000.tmp");
    m.SetSaver(nullptr);
  }
  // A name that only differs in case is not the scan output.
  m.Clear();
  m.SetLastScanWasPrescan(false);
  m.AddScanPage(work + "vexo_temp.tif", 1, zoimg::TIFF_G4_FAX, nullptr);
  testsupport::WriteFile(work + "07000009.tmp", "x");
  m.Finish(false);
  EXPECT_EQ(TempFiles(), (std::set<std::string>{"07000009.tmp"}));
}

TEST_F(ModelTest, ReopenAfterSaveShowsTheRememberedPageClamped) {
  const std::string main = Tiff("p.tif", 3);
  Tiff("p-C.tif", 3);
  ASSERT_EQ(m.OpenFilePairs({main}, false, false), 1);
  layout.layout = 1;
  layout.pairs = true;
  m.RememberFiles(2, 3);
  ASSERT_EQ(m.RememberedFiles(), (std::vector<std::string>{File("p-C.tif")}));
  // The file became shorter meanwhile.
  fs::remove(main);
  fs::remove(File("p-C.tif"));
  Tiff("p.tif", 2);
  Tiff("p-C.tif", 2);
  const auto r = m.ReopenFiles();
  EXPECT_EQ(r.result, 1);
  EXPECT_TRUE(r.pairs);
  EXPECT_EQ(r.side, 2);
  EXPECT_EQ(r.page, 2);
  EXPECT_EQ(m.Mode(), kModePairs);
  EXPECT_EQ(m.Slot(0).page, 1);
  EXPECT_EQ(m.Files()[0].path2, main);

  fs::remove(main);
  EXPECT_EQ(m.ReopenFiles().result, 0);
  EXPECT_EQ(m.Total(), 0);
  EXPECT_EQ(m.FirstPage(), 0);
}

}  // namespace
