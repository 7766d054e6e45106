// The program started in a temporary program folder (offscreen): what the
// main window looks like after start-up, the commands' rules in the states
// that matter, and what closing writes to AppData.ini. One run of the real
// executable shows that a missing scanner interface ends start-up quietly.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <optional>
#include <QToolBar>
#include <filesystem>

#include "BelvAplIF.h"
#include "ZoImgFileIO.h"
#include "model/vexo_file_info.h"
#include "platform/atoms.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/window_registry.h"
#include "shell/belv_app.h"
#include "shell/belv_app_view.h"
#include "shell/splitter_wnd_ex.h"
#include "shell/belv_doc.h"
#include "shell/main_frame.h"
#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace fs = std::filesystem;

namespace {

// A G4 TIFF of blank 16 × 16 pages.
void WriteBlankTiff(const std::string& path, int pages) {
  zoimg::PageImage img;
  img.width = 16;
  img.height = 16;
  img.bitsPerPixel = 1;
  img.palette = {0xFFFFFF, 0};
  img.pixels.assign(size_t(img.Stride()) * 16, 0);
  for (int p = 0; p < pages; ++p) ASSERT_EQ(zoimg::WritePage(path, zoimg::TIFF_G4_FAX, img, 75), zoimg::kOk);
}

class AppTest : public ::testing::Test {
 protected:
  std::string Ini() const { return program.File("AppData.ini"); }
  std::string Read(const char* section, const char* key) const {
    return platform::ini::ReadString(Ini(), section, key, "<missing>");
  }

  testsupport::TempDir program;
  testsupport::ScopedEnv programDir{"VISTEL_PROGRAM_DIR", program.Path()};
  testsupport::ScopedEnv lang{"LC_ALL", "C"};
  CBelvAppApp app;

 protected:
  // No logo time and a short search: these tests are not about start-up time.
  AppTest() {
    app.logoTime = std::chrono::milliseconds(0);
    app.instanceSearch = {2, std::chrono::milliseconds(50)};
  }
};

TEST_F(AppTest, StartsWithItsWindowAndWritesTheSettingsWhenClosed) {
  testsupport::WriteFile(Ini(),
                         "[Option]\nCompJpeg-Q=0\n[Scanner]\njob=-1\n"
                         "[Window]\nleft=2000\ntop=100\nright=2600\nbottom=700\nViewSep=5\nViewOrder=0\n");
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CMainFrame* frame = app.Frame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->objectName(), "Norvik_VEXO_Wnd");
  EXPECT_EQ(frame->windowTitle(), "Vexo Viewer");
  EXPECT_NE(frame->Interface(), nullptr);
  EXPECT_EQ(frame->Interface()->ownerWindow, frame->WindowId());
  EXPECT_NE(frame->WindowId(), 0u);
  EXPECT_EQ(frame->menuBar()->actions().size(), 8);
  EXPECT_EQ(frame->Layout(), 5);
  EXPECT_EQ(frame->Order(), 0);
  EXPECT_TRUE(frame->JobMode());
  // The off-screen left edge moved the window to x = 0, keeping its width.
  EXPECT_EQ(frame->geometry().left(), 0);
  EXPECT_EQ(frame->geometry().width(), 600);
  // Status bar: seven panes; no page shown.
  for (int i = 0; i < CMainFrame::kStatusPanes; ++i) EXPECT_NE(frame->StatusPane(i), nullptr) << i;
  EXPECT_EQ(frame->StatusPane(2)->text(), "Page:0/0");
  EXPECT_FALSE(frame->StatusPane(2)->isEnabled());
  EXPECT_EQ(frame->StatusPane(1)->text(), "FileName:");
  EXPECT_TRUE(fs::is_directory(program.File("Image")));

  frame->close();
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_EQ(Read("Option", "CompJpeg-Q"), "75");
  EXPECT_EQ(Read("Scanner", "job"), "1");
  EXPECT_EQ(Read("Window", "left"), "0");
  EXPECT_EQ(Read("Window", "right"), "600");
  EXPECT_EQ(Read("Window", "ViewSep"), "5");
  EXPECT_EQ(Read("Customize-Image", "BorderRemoval-Left"), "3.00");
  EXPECT_EQ(Read("Scanner", "Name"), "Virtual Sheet Feeder");
  EXPECT_NE(Read((Ini() + "-BarState").c_str(), "State"), "<missing>");
}

TEST_F(AppTest, MaximizedWindowWritesZeros) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  EXPECT_TRUE(app.Frame()->windowState() & Qt::WindowMaximized) << "no stored rectangle";
  app.Frame()->close();
  app.ExitInstance();
  for (const char* key : {"left", "top", "right", "bottom"}) EXPECT_EQ(Read("Window", key), "0") << key;
}

TEST_F(AppTest, CommandRulesFollowTheState) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CMainFrame& f = *app.Frame();
  shell::CommandTable& c = f.Commands();
  CAplIFData* aplif = f.Interface();
  ASSERT_GT(aplif->GetScannerID("Virtual Sheet Feeder"), 0);

  struct Case {
    uint32_t id;
    bool idle;     // enabled while idle, with the virtual scanner current
    bool editing;  // enabled while a page-editing dialog is active
  } cases[] = {
      {cmd::kOpen, true, false},         {cmd::kScan, true, false},         {cmd::kScanSetting, true, false},
      {cmd::kSeparation4, true, false},  {cmd::kOrderVertical, true, false}, {cmd::kScrollTool, true, false},
      {cmd::kExit, true, true},          {cmd::kHelp, true, true},           {cmd::kSelectScanner, true, true},
      {cmd::kAppSetting, true, true},    {cmd::kClose, false, false},        {cmd::kSave, false, false},
      {cmd::kUndo, false, false},        {cmd::kRotate90, false, false},     {cmd::kDeletePage, false, false},
      {cmd::kNextPage, false, false},    {cmd::kPrevPage, false, false},     {cmd::kGoTo, false, false},
      {cmd::kPlugIn, false, false},      {cmd::kJobSetting, false, false},   {cmd::kJobSettingList, false, false},
  };
  for (int editState : {0, 1}) {
    f.SetEditState(editState);
    for (const Case& k : cases) EXPECT_EQ(c.IsEnabled(k.id), editState ? k.editing : k.idle) << k.id << " edit " << editState;
  }
  // The View pop-up's sub-menus follow the edit state when it opens.
  QMenu* view = f.Commands().TopMenus()[4];
  f.SetEditState(2);
  emit view->aboutToShow();
  EXPECT_FALSE(view->actions()[9]->isEnabled());
  EXPECT_FALSE(view->actions()[10]->isEnabled());
  f.SetEditState(0);
  emit view->aboutToShow();
  EXPECT_TRUE(view->actions()[9]->isEnabled());

  // Job mode opens the job commands; the setting command needs a scanner.
  EXPECT_FALSE(f.JobMode());
  ASSERT_TRUE(c.Run(cmd::kJob));
  EXPECT_TRUE(c.IsChecked(cmd::kJob));
  EXPECT_TRUE(c.IsEnabled(cmd::kJobSetting));
  EXPECT_TRUE(c.IsEnabled(cmd::kJobSettingList));
  aplif->curScannerId = 0;
  EXPECT_FALSE(c.IsEnabled(cmd::kJobSetting));
  EXPECT_FALSE(c.IsEnabled(cmd::kScan)) << "no scanner, no scan";

  // Separation and order: the twin layouts, with their ticks.
  ASSERT_TRUE(c.Run(cmd::kSeparation4));
  EXPECT_EQ(f.Layout(), 3);
  ASSERT_TRUE(c.Run(cmd::kOrderVertical));
  EXPECT_EQ(f.Layout(), 4);
  EXPECT_TRUE(c.IsChecked(cmd::kSeparation4));
  EXPECT_TRUE(c.IsChecked(cmd::kOrderVertical));
  ASSERT_TRUE(c.Run(cmd::kSeparation8));
  EXPECT_EQ(f.Layout(), 6);
  ASSERT_TRUE(c.Run(cmd::kSeparation1));
  EXPECT_EQ(f.Layout(), 0);
  ASSERT_TRUE(c.Run(cmd::kOrderHorizontal));
  EXPECT_EQ(f.Layout(), 0) << "one view has no twin";
  EXPECT_EQ(f.Order(), 1);

  // The interface's messages.
  EXPECT_EQ(f.HandleMessage(kMsgOwnerQuery, 0, 0), 1);
  f.close();
  app.ExitInstance();
}

// With a page in the active pane: the page commands, the availability of
// Delete Page, and the status panes of that page.
TEST_F(AppTest, PageShownInTheActivePane) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CMainFrame& f = *app.Frame();
  CVEXOFileInfo& model = app.Document().Model();
  const std::string one = program.File("one.tif"), three = program.File("three.tif");
  WriteBlankTiff(one, 1);
  WriteBlankTiff(three, 3);
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scope(presenter);
  model.Clear();
  ASSERT_EQ(model.OpenFiles({one, three}, false), 1);
  ASSERT_TRUE(f.Commands().Run(cmd::kSeparation2));
  model.FillViewSlots(2);  // pages 2 and 3: three.tif pages 1 and 2
  app.Document().SetCounters(model.Total(), 2);
  shell::CSplitterWndEx* panes = f.Panes();
  for (int v : {0, 1}) {
    panes->View(v)->SetPage(model.Slot(v).page);
    panes->View(v)->LoadImage(model.Slot(v).path, model.Slot(v).pageInPath);
  }
  f.Commands().Update();
  EXPECT_FALSE(f.Commands().IsEnabled(cmd::kRotate90)) << "no pane is active";
  panes->SetActiveView(1);
  for (uint32_t id : {cmd::kRotate90, cmd::kZoomIn, cmd::kFitWindow, cmd::kCrop, cmd::kDeletePage, cmd::kInsertPrev,
                      cmd::kSavePageAs, cmd::kPrevPage, cmd::kNextPage, cmd::kGoTo, cmd::kSave, cmd::kClose})
    EXPECT_TRUE(f.Commands().IsEnabled(id)) << id;
  EXPECT_EQ(f.StatusPane(1)->text(), "FileName:three.tif");
  EXPECT_EQ(f.StatusPane(2)->text(), "Page:2/3");
  EXPECT_TRUE(f.StatusPane(2)->isEnabled());

  // The single page of one.tif cannot be deleted; nor is there a next screen.
  model.FillViewSlots(1);
  app.Document().SetCounters(model.Total(), 1);
  panes->View(0)->SetPage(1);
  panes->SetActiveView(0);
  EXPECT_FALSE(f.Commands().IsEnabled(cmd::kDeletePage));
  EXPECT_TRUE(f.Commands().IsEnabled(cmd::kInsertNext));
  EXPECT_FALSE(f.Commands().IsEnabled(cmd::kPrevPage));
  EXPECT_EQ(f.StatusPane(2)->text(), "Page:1/1");
  EXPECT_TRUE(presenter.Calls().empty());
  model.Clear();
  f.close();
  app.ExitInstance();
}

// ExtFunc.ini: a section needs both names; a user function brings the
// plug-in menu and toolbar. Any exported function stands in for a hook here.
TEST_F(AppTest, ExtensionHooksFromExtFuncIni) {
  testsupport::WriteFile(program.File("ExtFunc.ini"),
                         "[ScanStart]\nDLLNAME=platform.so\n"
                         "[PageEnd]\nDLLNAME=platform.so\nFUNCNAME=NoSuchFunction\n"
                         "[ScanEnd]\nDLLNAME=missing.dll\nFUNCNAME=GlobalAlloc\n"
                         "[UserSpecified]\nDLLNAME=platform.dll\nFUNCNAME=_GlobalAlloc@8\n");
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  EXPECT_EQ(app.Hooks().Function(shell::CExtHooks::kScanStart), nullptr);
  EXPECT_EQ(app.Hooks().Function(shell::CExtHooks::kPageEnd), nullptr);
  EXPECT_EQ(app.Hooks().Function(shell::CExtHooks::kScanEnd), nullptr);
  EXPECT_NE(app.Hooks().Function(shell::CExtHooks::kUserSpecified), nullptr);
  CMainFrame& f = *app.Frame();
  EXPECT_EQ(f.menuBar()->actions().size(), 9) << "the plug-in pop-up joins the bar";
  EXPECT_EQ(f.menuBar()->actions().back()->text(), "&Plug In");
  EXPECT_FALSE(f.PlugInBar()->isHidden());
  EXPECT_TRUE(f.Commands().IsEnabled(cmd::kPlugIn));
  f.close();
  app.ExitInstance();
  EXPECT_EQ(app.Hooks().Function(shell::CExtHooks::kUserSpecified), nullptr) << "unloaded at exit";
}

TEST_F(AppTest, LockedInterfaceDisablesTheWindowAndItsBars) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CMainFrame& f = *app.Frame();
  f.LockUI();
  EXPECT_FALSE(f.UiEnabled());
  EXPECT_FALSE(f.isEnabled());
  EXPECT_FALSE(f.ViewBar()->isEnabled());
  f.UnlockUI();
  EXPECT_TRUE(f.UiEnabled());
  EXPECT_TRUE(f.PageBar()->isEnabled());
  f.close();
  app.ExitInstance();
}

TEST_F(AppTest, HelpWithoutAReaderOrWithoutTheManual) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  EXPECT_EQ(app.HelpFilePath(), program.File("VEXO_ENG.pdf"));
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scope(presenter);
  // A desktop that knows no application for the manual's type.
  const std::string bin = program.File("bin/");
  fs::create_directories(bin);
  testsupport::WriteFile(bin + "xdg-mime", "#!/bin/sh\nexit 0\n");
  ASSERT_EQ(chmod((bin + "xdg-mime").c_str(), 0755), 0);
  testsupport::ScopedEnv path("PATH", bin);
  testsupport::WriteFile(app.HelpFilePath(), "%PDF-1.4\n");
  EXPECT_EQ(app.Frame()->OpenHelp(), 0x57u);
  fs::remove(app.HelpFilePath());
  EXPECT_EQ(app.Frame()->OpenHelp(), 0x56u);
  ASSERT_EQ(presenter.Calls().size(), 2u);
  for (const auto& call : presenter.Calls()) {
    EXPECT_EQ(call.detail, app.HelpFilePath());
    EXPECT_TRUE(call.addCode);
  }
  app.Frame()->close();
  app.ExitInstance();
}

TEST_F(AppTest, EditChecksAskTheScannerInterfaceForFreeSpace) {
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CVEXOFileInfo& model = app.Document().Model();
  const std::string file = program.File("a.tif");
  WriteBlankTiff(file, 1);
  model.Clear();
  ASSERT_EQ(model.OpenFiles({file}, false), 1);
  model.FillViewSlots(1);
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scope(presenter);
  EXPECT_EQ(model.CheckBeforeEdit(0, -1, nullptr, nullptr, 1), 1);
  // No disk has a thousand terabytes to spare.
  EXPECT_EQ(model.CheckBeforeEdit(0, -1, nullptr, nullptr, 1 << 30), 0);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{0x50}));
  model.Clear();
  app.Frame()->close();
  app.ExitInstance();
}

// The main window in layouts 0, 3 and 5 with pages in its panes, saved for
// a look when VISTEL_SCREENSHOT_DIR names a folder.
TEST_F(AppTest, ScreenshotsOfTheMainWindow) {
  const char* shots = std::getenv("VISTEL_SCREENSHOT_DIR");
  if (!shots || !*shots) GTEST_SKIP() << "VISTEL_SCREENSHOT_DIR not set";
  testsupport::WriteFile(Ini(), "[Window]\nleft=0\ntop=0\nright=1280\nbottom=800\n");
  ASSERT_TRUE(app.InitInstance({"Vistel"}));
  CMainFrame& f = *app.Frame();
  const std::string file = program.File("pages.tif");
  for (int p = 0; p < 8; ++p) {
    zoimg::PageImage img;
    img.width = 850;
    img.height = 1100;
    img.bitsPerPixel = 8;
    for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010101u);
    img.pixels.assign(size_t(img.Stride()) * size_t(img.height), 250);
    for (int y = 100 + p * 20; y < 1000; y += 40)  // lines of "text"
      for (int x = 100; x < 750; ++x) img.pixels[size_t(y) * size_t(img.Stride()) + size_t(x)] = 40;
    ASSERT_EQ(zoimg::WritePage(file, zoimg::TIFF_UNCOMPRESSED, img, 75), zoimg::kOk);
  }
  fs::create_directories(shots);
  for (uint32_t command : {cmd::kSeparation1, cmd::kSeparation4, cmd::kSeparation8}) {
    ASSERT_TRUE(f.Commands().Run(command));
    for (int v = 0; v < 8; ++v) {
      shell::CBelvAppView* view = f.Panes()->View(v);
      view->LoadImage(file, v + 1);
      view->SetCaption(QString::number(v + 1));
    }
    f.Panes()->SetActiveView(0);
    QApplication::processEvents();
    const QString name = QStringLiteral("%1/main_window_layout%2.png").arg(shots).arg(f.Layout());
    EXPECT_TRUE(f.grab().save(name)) << name.toStdString();
  }
  f.close();
  app.ExitInstance();
}

// Runs the built program with its own program folder and runtime folder.
class VistelProcess {
 public:
  VistelProcess(const std::string& programDir, const std::string& runtimeDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VISTEL_PROGRAM_DIR", QString::fromStdString(programDir));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtimeDir));
    env.insert("LC_ALL", "C");
    process.setProcessEnvironment(env);
  }
  void Start() { process.start(QString::fromStdString(platform::ProgramFolder() + "Vistel"), {}); }
  QProcess process;
};

// Waits until a window titled "Vexo Viewer" is registered; the time taken.
std::optional<std::chrono::milliseconds> WaitForWindow(std::chrono::milliseconds limit) {
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < limit) {
    platform::WindowEntry e;
    if (platform::FindWindowByTitle("Vexo Viewer", &e))
      return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    QThread::msleep(20);
  }
  return std::nullopt;
}

TEST(VistelProgram, SecondStartBringsTheFirstForwardAndLeavesTheSettingsAlone) {
  testsupport::TempDir program, runtime;
  testsupport::ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path());
  VistelProcess first(program.Path(), runtime.Path());
  first.Start();
  ASSERT_TRUE(WaitForWindow(std::chrono::seconds(20))) << "the first instance did not open its window";
  ASSERT_FALSE(fs::exists(program.File("AppData.ini")));

  VistelProcess second(program.Path(), runtime.Path());
  const auto start = std::chrono::steady_clock::now();
  second.Start();
  ASSERT_TRUE(second.process.waitForFinished(10000));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(second.process.exitCode(), 1);
  EXPECT_LT(took, std::chrono::milliseconds(3000)) << "found within about one round";
  EXPECT_FALSE(fs::exists(program.File("AppData.ini"))) << "the second start wrote settings";

  first.process.terminate();  // closes the window as a logout would
  ASSERT_TRUE(first.process.waitForFinished(10000));
  EXPECT_EQ(first.process.exitCode(), 0);
  EXPECT_TRUE(fs::exists(program.File("AppData.ini")));
}

TEST(VistelProgram, StaleAtomDelaysStartUpAboutEightSeconds) {
  testsupport::TempDir program, runtime;
  testsupport::ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path());
  // Left behind by an instance that crashed.
  ASSERT_NE(platform::GlobalAddAtom("Vexo Viewer"), 0);
  VistelProcess vistel(program.Path(), runtime.Path());
  vistel.Start();
  const auto took = WaitForWindow(std::chrono::seconds(30));
  ASSERT_TRUE(took) << "a stale atom must not block the program";
  EXPECT_GE(*took, std::chrono::milliseconds(7500));
  vistel.process.terminate();
  ASSERT_TRUE(vistel.process.waitForFinished(10000));
  EXPECT_EQ(platform::GlobalFindAtom("Vexo Viewer"), 0) << "a completed start deletes its atom at exit";
}

// The real program in a copy of the build's folder without BelvAplIF.so:
// it ends at once, shows nothing (a box would never be answered here) and
// leaves AppData.ini as it was.
TEST(VistelProgram, MissingScannerInterfaceEndsStartUpQuietly) {
  testsupport::TempDir dir;
  const fs::path bin = fs::path(platform::ProgramFolder());
  for (const auto& e : fs::directory_iterator(bin)) {
    const std::string name = e.path().filename().string();
    if (e.is_regular_file() && name != "BelvAplIF.so" && (name == "Vistel" || e.path().extension() == ".so"))
      fs::copy_file(e.path(), dir.File(name));
  }
  ASSERT_TRUE(fs::exists(dir.File("Vistel")));
  testsupport::WriteFile(dir.File("AppData.ini"), "[Option]\nCompJpeg-Q=0\n");
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.remove("VISTEL_PROGRAM_DIR");
  p.setProcessEnvironment(env);
  p.start(QString::fromStdString(dir.File("Vistel")), {});
  ASSERT_TRUE(p.waitForFinished(20000)) << "start-up did not end";
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_EQ(testsupport::ReadFile(dir.File("AppData.ini")), "[Option]\nCompJpeg-Q=0\n");
  EXPECT_FALSE(p.readAllStandardError().contains("Vexo Viewer")) << "a message was raised";
}

}  // namespace
