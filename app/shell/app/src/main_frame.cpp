// CMainFrame: creation, commands and their rules, bars, placement, the
// scanner interface's messages and closing.
#include "shell/main_frame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cstdio>

#include "BelvAplIF.h"
#include "model/vexo_file_info.h"
#include "platform/dynlib.h"
#include "platform/ini.h"
#include "platform/message_channel.h"
#include "platform/paths.h"
#include "platform/document_open.h"
#include "platform/window_presence.h"
#include "res/menus.h"
#include "res/resource_module.h"
#include "shell/aplif_disk_checker.h"
#include "shell/belv_app.h"
#include "shell/belv_app_view.h"
#include "shell/splitter_wnd_ex.h"
#include "shell/toolbar_icons.h"
#include "shell/toolbars.h"
#include "shell/belv_doc.h"
#include "shell/frame_placement.h"
#include "shell/message_presenter.h"

namespace {

constexpr const char* kAplIFLibrary = "BelvAplIF.dll";
constexpr const char* kAplIFEntry = "AplIFGetGlobalDataPtr";
constexpr uint32_t kIdsFileName = 111, kIdsPage = 112;
constexpr uint32_t kMsgHelpNoReader = 0x57, kMsgHelpFailed = 0x56, kMsgStandby = 0x7F;
// The title buffer of the frame holds 128 characters.
constexpr size_t kTitleChars = 127;
constexpr int kViewPopup = 4;

QString PagePaneText(int page, int count) {
  char buf[64];
  std::snprintf(buf, sizeof buf, res::StringText(kIdsPage).c_str(), page, count);
  return QString::fromUtf8(buf);
}

}  // namespace

CMainFrame::CMainFrame(CBelvAppApp& app) : app_(app) {
  setObjectName(kWindowClass);
  setAttribute(Qt::WA_DeleteOnClose, false);
}

CMainFrame::~CMainFrame() {
  if (windowId_ != 0) platform::UnregisterMessageTarget(windowId_);
  if (diskChecker_) app_.Document().Model().SetDiskFreeChecker(nullptr);
  if (aplif_) app_.Document().Model().SetLayoutOwner(nullptr);
}

bool CMainFrame::Create() {
  // The scanner interface, bound by name: without it there is no program.
  aplifLibrary_ = platform::DynamicLibrary::Load(kAplIFLibrary);
  if (!aplifLibrary_) return false;
  auto entry = aplifLibrary_->Function<CAplIFData* (*)()>(kAplIFEntry);
  if (!entry) return false;
  aplif_ = entry();
  if (!aplif_) return false;
  const std::string title = CBelvAppApp::Title();
  const std::string program = platform::ProgramFolder();
  int32_t status = 0;
  aplif_->InitInstanceForVEXO(title.c_str(), 0, 1, 4, 0, (program + "JobSet.ini").c_str(),
                              (program + "ScanSet.ini").c_str(), &status);
  aplif_->SetHelpPath(app_.HelpFilePath().c_str());
  app_.Document().Model().SetLayoutOwner(this);
  diskChecker_ = std::make_unique<shell::AplIFDiskChecker>(aplif_);
  app_.Document().Model().SetDiskFreeChecker(diskChecker_.get());
  // The scanner used last, as the settings remember it.
  if (!app_.Settings().scannerName.empty()) aplif_->GetScannerID(app_.Settings().scannerName.c_str());

  windowId_ = static_cast<uint32_t>(winId());
  platform::RegisterMessageTarget(windowId_, [this](uint32_t m, uintptr_t w, intptr_t l) {
    return HandleMessage(m, w, l);
  });

  ApplyPlacement();
  BuildCommands();
  commands_.BuildMenuBar(menuBar(), res::kMenuMain);
  // Editing greys the View pop-up's Separation and Order sub-menus.
  commands_.afterPopupUpdate = [this](QMenu* popup, int top) {
    if (top != kViewPopup) return;
    const QList<QAction*> items = popup->actions();
    for (int position : {9, 10})
      if (position < items.size()) items[position]->setEnabled(Idle());
  };
  CreateBars();
  CreateStatusBar();
  LoadBarState();
  if (app_.Hooks().HasUserFunction()) {
    // The plug-in pop-up joins the menu bar under its own title.
    std::unique_ptr<QMenu> plugIn = commands_.BuildPopup(res::kMenuPlugIn, this);
    menuBar()->addMenu(plugIn.release());
  }
  plugInBar_->setVisible(app_.Hooks().HasUserFunction());

  // The title is exactly the application title: the single-instance check
  // of another start looks for it.
  QString windowTitle = QString::fromStdString(title);
  windowTitle.truncate(kTitleChars);
  setWindowTitle(windowTitle);
  presence_ = std::make_unique<platform::WindowPresence>(this, title);

  order_ = app_.Settings().viewOrder;
  SetLayout(std::clamp(app_.Settings().viewSep, 0, 6));

  // What the command line asked for runs as soon as the event loop starts.
  CBelvCmdLine& cmdLine = app_.CommandLine();
  if (cmdLine.RequestKind() == CBelvCmdLine::kRequestScan) {
    aplif_->SetCurSameName(APL_KIND_SCAN, app_.cmdScanSettingName.c_str());
    aplif_->SetCurSameName(APL_KIND_FILE_NAMING, app_.cmdJobSettingName.c_str());
    FillScanLists();
    app_.cmdScanSettingName.clear();
    app_.cmdJobSettingName.clear();
  }
  if (const uint32_t command = shell::CmdLineStartCommand(cmdLine); command != 0) {
    QMetaObject::invokeMethod(this, [this, command] { commands_.Run(command); }, Qt::QueuedConnection);
  }
  commands_.Update();
  UpdateStatusPanes();
  return true;
}

// ---- commands -----------------------------------------------------------------

bool CMainFrame::JobMode() const noexcept { return app_.Settings().jobMode; }

int CMainFrame::ActiveView() const noexcept {
  if (!splitter_) return -1;
  const int pane = splitter_->ActiveView();
  const shell::CBelvAppView* view = pane >= 0 ? splitter_->View(pane) : nullptr;
  return view && view->Page() > 0 ? pane : -1;
}

bool CMainFrame::ScanRule() const {
  return aplif_ && Idle() && aplif_->CheckEnableScannerID(aplif_->curScannerId, APL_FEATURE_SCAN, -1) != 0;
}

bool CMainFrame::ScanSettingListRule() {
  if (!aplif_ || !Idle() || aplif_->GetFileNamingSettingCnt() <= 0) return false;
  char name[APLIF_NAME_SIZE] = {};
  const bool ownSetting = aplif_->GetUseSpecifiedReadCond(name, sizeof name) != 0 && name[0] != '\0';
  if (ownSetting && JobMode()) {
    // The job's own scan setting is the current one, and the list shows it.
    if (scanBarEx_ && scanBarEx_->ScanSettingList()->currentText() != QString::fromUtf8(name)) {
      aplif_->SetCurSameName(APL_KIND_SCAN, name);
      scanBarEx_->SelectScanSetting(name);
    }
    return false;
  }
  return true;
}

void CMainFrame::BuildCommands() {
  auto idle = [this] { return Idle(); };
  auto page = [this] { return PageShown(); };
  auto always = shell::CommandTable::Rule{};
  const CVEXOFileInfo& model = app_.Document().Model();

  commands_.Set(cmd::kOpen, {{}, idle, {}});
  // Close and Crop are only on menus, which editing greys.
  commands_.Set(cmd::kClose, {{}, [this, &model] { return Idle() && !model.Pages().empty(); }, {}});
  commands_.Set(cmd::kSave, {{}, [&model] { return model.Total() > 0; }, {}});
  commands_.Set(cmd::kSavePageAs, {{}, [this, &model] {
                                     const int v = ActiveView();
                                     return v >= 0 && model.Slot(v).pageIndex >= 0;
                                   }, {}});
  commands_.Set(cmd::kPrintSetup, {{}, always, {}});
  commands_.Set(cmd::kPrintFit, {{}, page, {}});
  commands_.Set(cmd::kPrintActual, {{}, page, {}});
  commands_.Set(cmd::kExit, {[this] { close(); }, always, {}});

  commands_.Set(cmd::kScan, {{}, [this] { return ScanRule(); }, {}});
  commands_.Set(cmd::kPreScan, {[this] { prescan_ = true; }, [this] { return ScanRule(); }, {}});
  commands_.Set(cmd::kScanSetting, {[this] { aplif_->ScanSettingForAPL(); }, [this] { return ScanRule(); }, {}});
  commands_.Set(cmd::kScanSettingList,
                {[this] { aplif_->ScanSettingListDlg(); }, [this] { return ScanSettingListRule(); }, {}});
  commands_.Set(cmd::kJob, {[this] { app_.Settings().jobMode = !app_.Settings().jobMode; },
                            [this] {
                              return aplif_ && Idle() &&
                                     aplif_->CheckEnableScannerID(aplif_->curScannerId, APL_FEATURE_SCAN, -1) != 0;
                            },
                            [this] { return JobMode(); }});
  commands_.Set(cmd::kJobSetting, {[this] {
                                     if (!aplif_ || aplif_->curScannerId <= 0) return;
                                     LockUI();
                                     aplif_->JobScanSetting();
                                     UnlockUI();
                                   },
                                   [this] { return aplif_ && aplif_->curScannerId > 0 && JobMode(); }, {}});
  commands_.Set(cmd::kJobSettingList,
                {[this] { aplif_->JobScanSettingListDlg(); },
                 [this] { return aplif_ && Idle() && aplif_->GetFileNamingSettingCnt() > 0 && JobMode(); }, {}});
  commands_.Set(cmd::kUserControlSheet,
                {{}, [this] {
                   return aplif_ && Idle() &&
                          aplif_->CheckEnableScannerID(aplif_->curScannerId, APL_FEATURE_USER_SHEET, -1) != 0;
                 }, {}});

  commands_.Set(cmd::kUndo, {{}, [&model] { return model.HasUndo(); }, {}});
  commands_.Set(cmd::kCrop, {{}, [this] { return Idle() && PageShown(); }, {}});
  for (uint32_t id : {cmd::kRotate90, cmd::kRotateMinus90, cmd::kRotate180, cmd::kRotate, cmd::kZoomIn,
                      cmd::kZoomOut, cmd::kFitWindow, cmd::kFitWidth, cmd::kFitLength, cmd::kActualSize,
                      cmd::kDeleteBlank, cmd::kAboutImage, cmd::kReplaceScan})
    commands_.Set(id, {{}, page, {}});
  commands_.Set(cmd::kPanWindow, {{}, page, [this] { return panShown_; }});

  commands_.Set(cmd::kSeparation1, {[this] { SetLayout(0); }, [this] { return Idle() && !pairDisplay_; },
                                    [this] { return layout_ == 0; }});
  const struct {
    uint32_t id;
    int views;  // layouts 2k−1 (horizontal) and 2k (vertical)
  } separations[] = {{cmd::kSeparation2, 1}, {cmd::kSeparation4, 2}, {cmd::kSeparation8, 3}};
  for (const auto& s : separations) {
    const int k = s.views;
    commands_.Set(s.id, {[this, k] { SetLayout(order_ == 1 ? 2 * k - 1 : 2 * k); }, idle,
                         [this, k] { return layout_ == 2 * k - 1 || layout_ == 2 * k; }});
  }
  for (int order : {1, 0}) {
    commands_.Set(order == 1 ? cmd::kOrderHorizontal : cmd::kOrderVertical,
                  {[this, order] {
                     if (order_ == order) return;
                     order_ = order;
                     // The twin layout: 1↔2, 3↔4, 5↔6.
                     if (layout_ != 0) SetLayout(order == 1 ? (layout_ + 1) / 2 * 2 - 1 : (layout_ + 1) / 2 * 2);
                   },
                   idle, [this, order] { return order_ == order; }});
  }
  commands_.Set(cmd::kPrevPage, {{}, [this] { return app_.Document().FirstPage() > 1; }, {}});
  commands_.Set(cmd::kNextPage, {{}, [this, &model] {
                                   const int first = app_.Document().FirstPage();
                                   return first >= 1 && first + model.PagesPerScreen() <= app_.Document().Total();
                                 }, {}});
  commands_.Set(cmd::kGoTo, {{}, [this] { return app_.Document().Total() > 1; }, {}});
  commands_.Set(cmd::kInsertPrev, {{}, [this, &model] { return PageShown() && model.CanInsertPage(ActiveView()); }, {}});
  commands_.Set(cmd::kInsertNext, {{}, [this, &model] { return PageShown() && model.CanInsertPage(ActiveView()); }, {}});
  commands_.Set(cmd::kDeletePage, {{}, [this, &model] { return PageShown() && model.CanDeletePage(ActiveView()); }, {}});
  commands_.Set(cmd::kScrollTool, {[this] { toolMode_ = 2; }, idle, [this] { return toolMode_ == 2; }});
  commands_.Set(cmd::kMagnifyTool, {[this] { toolMode_ = 1; }, idle, [this] { return toolMode_ == 1; }});
  commands_.Set(cmd::kAppSetting, {{}, always, {}});
  commands_.Set(cmd::kSelectScanner, {[this] {
                                        if (aplif_) aplif_->ScanSelectDlg();
                                      },
                                      always, {}});
  commands_.Set(cmd::kHelp, {[this] { OpenHelp(); }, always, {}});
  commands_.Set(cmd::kAbout, {[this] { app_.ShowAbout(); }, always, {}});
  commands_.Set(cmd::kPlugIn, {{}, [this] { return app_.Hooks().HasUserFunction(); }, {}});
}

void CMainFrame::SetEditState(int state) {
  editState_ = state;
  commands_.Update();
}

void CMainFrame::SetLayout(int layout) {
  layout_ = std::clamp(layout, 0, 6);
  if (splitter_) splitter_->Arrange(layout_);
}

void CMainFrame::FillScanLists() {
  if (!scanBarEx_) return;
  scanBarEx_->FillScanSettingList();
  scanBarEx_->FillFileNamingList();
}

// ---- bars ---------------------------------------------------------------------

void CMainFrame::CreateBars() {
  setDockNestingEnabled(true);
  auto uiEnabled = [this] { return uiEnabled_; };
  fileBar_ = new QToolBar(this);
  fileBar_->setObjectName(QStringLiteral("FileToolBar"));
  fileBar_->setWindowTitle(QString::fromStdString(res::MenuText(res::kMenuMain, res::PopupKey(0))).remove('&'));
  commands_.FillToolBar(fileBar_, res::kToolbarFile);
  scanBarEx_ = new shell::CToolBarScan(commands_, this);
  scanBar_ = scanBarEx_;
  viewBar_ = new shell::CToolBarView1(commands_, this);
  pageBar_ = new shell::CToolBarPage(commands_, this);
  plugInBar_ = new shell::CToolBarPlugIn(commands_, this);
  for (QToolBar* bar : {fileBar_, scanBar_, viewBar_, pageBar_, plugInBar_}) bar->setIconSize(QSize(24, 24));
  for (QToolBar* bar : {scanBar_, viewBar_, pageBar_, plugInBar_})
    static_cast<shell::CToolBarEx*>(bar)->SetUiEnabledRule(uiEnabled);
  shell::SetToolbarIcons(commands_);
  // One row at the top: File, Scan, View, Page, Plug-in.
  for (QToolBar* bar : {fileBar_, scanBar_, viewBar_, pageBar_, plugInBar_}) addToolBar(Qt::TopToolBarArea, bar);
  scanBarEx_->Create(this, aplif_);
  connect(scanBarEx_, &shell::CToolBarScan::listSelectionChanged, this,
          [this](uint32_t listId, int) { scanBarEx_->ApplyListSelection(listId); });

  splitter_ = new shell::CSplitterWndEx(this);
  setCentralWidget(splitter_);
  connect(splitter_, &shell::CSplitterWndEx::activeViewChanged, this, [this] {
    UpdateStatusPanes();
    commands_.Update();
  });

  const struct {
    uint32_t id;
    QToolBar* bar;
  } toggles[] = {{cmd::kBarFile, fileBar_}, {cmd::kBarScan, scanBar_}, {cmd::kBarView, viewBar_}, {cmd::kBarPage, pageBar_}};
  for (const auto& t : toggles) {
    QToolBar* bar = t.bar;
    commands_.Set(t.id, {[this, bar] { ToggleBar(bar); }, {}, [bar] { return bar->isVisible(); }});
  }
  commands_.Set(cmd::kBarFileList, {{}, {}, [] { return false; }});
}

void CMainFrame::ToggleBar(QToolBar* bar) { bar->setVisible(!bar->isVisible()); }

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  for (int i = 0; i < kStatusPanes; ++i) {
    panes_[size_t(i)] = new QLabel(bar);
    panes_[size_t(i)]->setObjectName(QStringLiteral("statusPane%1").arg(i));
  }
  bar->addWidget(panes_[0]);
  // The file name pane stretches to fill.
  bar->addPermanentWidget(panes_[1], 1);
  for (int i = 2; i < kStatusPanes; ++i) bar->addPermanentWidget(panes_[size_t(i)]);
}

QLabel* CMainFrame::StatusPane(int index) const noexcept {
  return index >= 0 && index < kStatusPanes ? panes_[size_t(index)] : nullptr;
}

void CMainFrame::UpdateStatusPanes() {
  if (!panes_[1]) return;
  const int view = ActiveView();
  if (view < 0) {
    char buf[300];
    std::snprintf(buf, sizeof buf, res::StringText(kIdsFileName).c_str(), "");
    panes_[1]->setText(QString::fromUtf8(buf));
    panes_[2]->setText(PagePaneText(0, 0));
    panes_[2]->setEnabled(false);
    return;
  }
  // The page's place among the live pages of its own source file.
  const CVEXOFileInfo& model = app_.Document().Model();
  const VEXO_VIEW_SLOT_INF& slot = model.Slot(view);
  int position = 0, count = 0;
  const auto& pages = model.Pages();
  for (size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].deleted != 0 || pages[i].fileIndex != slot.fileIndex) continue;
    ++count;
    if (static_cast<int>(i) <= slot.pageIndex) position = count;
  }
  std::string name;
  if (slot.fileIndex >= 0 && slot.fileIndex < static_cast<int>(model.Files().size())) {
    const VEXO_FILE_NAME_INF& file = model.Files()[size_t(slot.fileIndex)];
    name = QFileInfo(QString::fromStdString(slot.side == 2 ? file.path2 : file.path)).fileName().toStdString();
  }
  char buf[600];
  std::snprintf(buf, sizeof buf, res::StringText(kIdsFileName).c_str(), name.c_str());
  panes_[1]->setText(QString::fromUtf8(buf));
  panes_[2]->setText(PagePaneText(position, count));
  panes_[2]->setEnabled(true);
}

// ---- placement and bar state --------------------------------------------------

void CMainFrame::ApplyPlacement() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const shell::Placement p = shell::PlaceFrame(app_.Settings().window, available.width(), available.height());
  if (p.maximized) {
    setWindowState(windowState() | Qt::WindowMaximized);
    return;
  }
  setGeometry(QRect(QPoint(p.rect.left, p.rect.top), QPoint(p.rect.right - 1, p.rect.bottom - 1)));
}

std::string CMainFrame::BarStateSection() const { return app_.AppDataIni() + "-BarState"; }

void CMainFrame::SaveBarState() {
  platform::ini::WriteString(app_.AppDataIni(), BarStateSection(), "State", saveState().toBase64().toStdString());
}

void CMainFrame::LoadBarState() {
  const std::string ini = app_.AppDataIni();
  if (ini.empty() || !QFileInfo::exists(QString::fromStdString(ini))) return;
  const std::string state = platform::ini::ReadString(ini, BarStateSection(), "State", "");
  if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

// ---- locking ------------------------------------------------------------------

void CMainFrame::LockUI() {
  uiEnabled_ = false;
  setEnabled(false);
  for (QToolBar* bar : {fileBar_, scanBar_, viewBar_, pageBar_})
    if (bar) bar->setEnabled(false);
}

void CMainFrame::UnlockUI() {
  for (QToolBar* bar : {fileBar_, scanBar_, viewBar_, pageBar_})
    if (bar) bar->setEnabled(true);
  setEnabled(true);
  uiEnabled_ = true;
}

// ---- messages, help, closing --------------------------------------------------

intptr_t CMainFrame::HandleMessage(uint32_t message, uintptr_t, intptr_t) {
  switch (message) {
    case kMsgOwnerQuery:
      return 1;
    case kMsgStandbyRefused:
      shell::Messages().ShowMessage(kMsgStandby, false);
      return 0;
    case kMsgScanSettingsChanged:
    case kMsgFileNamingChanged:
      FillScanLists();
      commands_.Update();
      return 0;
    case kMsgRedrawViews:
      if (splitter_)
        for (int i = 0; i < 8; ++i) splitter_->View(i)->viewport()->update();
      return 0;
    default:
      return 0;
  }
}

uint32_t CMainFrame::OpenHelp() {
  const std::string& manual = app_.HelpFilePath();
  const int result = platform::OpenDocument(manual);
  if (result > 32) return 0;
  const uint32_t code = result == platform::kOpenNoAssociation ? kMsgHelpNoReader : kMsgHelpFailed;
  shell::Messages().ShowMessage(code, manual, true);
  return code;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  app_.Document().Model().Finish(true);
  SaveBarState();
  shell::WindowRect current;
  const QRect r = geometry();
  current = {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  app_.Settings().window =
      shell::PlacementToStore(app_.Settings().window, current, isMinimized(), isMaximized());
  app_.Settings().viewSep = layout_;
  app_.Settings().viewOrder = order_;
  event->accept();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (scanBarEx_ && !isMinimized()) scanBarEx_->Layout(false);
}
