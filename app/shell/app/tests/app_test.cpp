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
#include <QToolBar>
#include <filesystem>

#include "BelvAplIF.h"
#include "ZoImgFileIO.h"
#include "model/vexo_file_info.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "shell/belv_app.h"
#include "shell/belv_doc.h"
#include "shell/main_frame.h"
#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace fs = std::filesystem;

namespace {

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
  zoimg::PageImage img;
  img.width = 8;
  img.height = 8;
  img.bitsPerPixel = 1;
  img.palette = {0xFFFFFF, 0};
  img.pixels.assign(size_t(img.Stride()) * 8, 0);
  ASSERT_EQ(zoimg::WritePage(file, zoimg::TIFF_G4_FAX, img, 75), zoimg::kOk);
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
