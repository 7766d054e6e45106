// CMainFrame: the program's one main window. Creating it binds the scanner
// interface (BelvAplIF.so, by name), places the window, lays out the
// toolbars, the status bar and the eight page panes, and posts what the
// command line asked for. Every menu and toolbar command goes through its
// command table (id → handler, enable rule, tick rule); the scanner
// interface's private messages arrive through the message channel under
// the window's 32-bit id.
//
// GUI thread only.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/vexo_file_info.h"
#include "shell/command_table.h"

class CAplIFData;
class CBelvAppApp;
class CBelvAppDoc;
class QLabel;
class QToolBar;

namespace shell {
class AplIFDiskChecker;
class CSplitterWndEx;
class CToolBarScan;
}

namespace platform {
class DynamicLibrary;
class WindowPresence;
}

// Command ids of the frame's table.
namespace cmd {
inline constexpr uint32_t kOpen = 32826, kClose = 32818, kSave = 32893, kSavePageAs = 32819, kPrintSetup = 57606,
                          kPrintFit = 32869, kPrintActual = 32870, kExit = 57665, kScan = 32809, kPreScan = 32915,
                          kScanSetting = 32780, kScanSettingList = 32827, kJob = 32880, kJobSetting = 32879,
                          kJobSettingList = 32881, kUserControlSheet = 32775, kUndo = 32884, kCrop = 32875,
                          kRotate90 = 32798, kRotateMinus90 = 32799, kRotate180 = 32867, kRotate = 32868,
                          kZoomIn = 32801, kZoomOut = 32802, kFitWindow = 32782, kFitWidth = 32774,
                          kFitLength = 32781, kActualSize = 32773, kPanWindow = 32785, kSeparation1 = 32787,
                          kSeparation2 = 32788, kSeparation4 = 32789, kSeparation8 = 32813,
                          kOrderHorizontal = 32815, kOrderVertical = 32816, kPrevPage = 32804, kNextPage = 32803,
                          kGoTo = 32886, kReplaceScan = 32882, kInsertPrev = 32890, kInsertNext = 32891,
                          kDeletePage = 32892, kDeleteBlank = 32914, kScrollTool = 32783, kMagnifyTool = 32784,
                          kAppSetting = 32806, kBarFile = 32851, kBarScan = 32854, kBarView = 32852,
                          kBarPage = 32853, kBarFileList = 32866, kSelectScanner = 32876, kHelp = 32807,
                          kAboutImage = 32848, kAbout = 32808, kPlugIn = 32894;
}

// Private window messages.
inline constexpr uint32_t kMsgOwnerQuery = 0x502, kMsgStandbyRefused = 0x510, kMsgPageEvent = 0x511,
                          kMsgScanSettingsChanged = 0x521, kMsgFileNamingChanged = 0x522,
                          kMsgRefreshFileList = 0x523, kMsgScanStarted = 0x551, kMsgScanEnded = 0x552,
                          kMsgRedrawViews = 0x701;

// The frame keeps the separation layout and the pair display, which the
// working file model reads when it lays out its view slots.
class CMainFrame : public QMainWindow, public ViewLayoutOwner {
 public:
  static constexpr const char* kWindowClass = "Norvik_VEXO_Wnd";

  explicit CMainFrame(CBelvAppApp& app);
  ~CMainFrame() override;

  // The creation steps. False (with no message of its own) when the scanner
  // interface cannot be bound: the program then ends.
  bool Create();

  shell::CommandTable& Commands() noexcept { return commands_; }
  CAplIFData* Interface() const noexcept { return aplif_; }
  uint32_t WindowId() const noexcept { return windowId_; }

  // Edit state (0 idle; 1–3 while a page-editing dialog is active).
  int EditState() const noexcept { return editState_; }
  void SetEditState(int state);
  bool Idle() const noexcept { return editState_ == 0; }
  bool UiEnabled() const noexcept { return uiEnabled_; }
  void LockUI();
  void UnlockUI();

  int Layout() const noexcept { return layout_; }
  int Order() const noexcept { return order_; }
  bool PairDisplay() const noexcept override { return pairDisplay_; }
  int SeparationLayout() const noexcept override { return layout_; }
  bool JobMode() const noexcept;
  int ToolMode() const noexcept { return toolMode_; }
  bool Scanning() const noexcept { return scanning_; }
  void SetScanning(bool scanning) noexcept { scanning_ = scanning; }

  // The view index of the active pane that shows a page, or −1.
  int ActiveView() const noexcept;
  bool PageShown() const noexcept { return ActiveView() >= 0; }

  QToolBar* FileBar() const noexcept { return fileBar_; }
  QToolBar* ScanBar() const noexcept { return scanBar_; }
  QToolBar* ViewBar() const noexcept { return viewBar_; }
  QToolBar* PageBar() const noexcept { return pageBar_; }
  QToolBar* PlugInBar() const noexcept { return plugInBar_; }
  shell::CToolBarScan* ScanToolBar() const noexcept { return scanBarEx_; }
  shell::CSplitterWndEx* Panes() const noexcept { return splitter_; }
  QLabel* StatusPane(int index) const noexcept;
  static constexpr int kStatusPanes = 7;

  // Shows the status panes for the page of the active view ("FileName:%s",
  // "Page:%d/%d"); with no page shown the page pane is "Page:0/0" and
  // disabled.
  void UpdateStatusPanes();

  // What the scanner interface's messages do (also reachable directly).
  intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

  // Runs the Help command's opening of the manual; returns the message code
  // shown (0x57, 0x56) or 0.
  uint32_t OpenHelp();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildCommands();
  void CreateBars();
  void CreateStatusBar();
  void ApplyPlacement();
  void SaveBarState();
  void LoadBarState();
  bool ScanRule() const;
  bool ScanSettingListRule();
  void ToggleBar(QToolBar* bar);
  void SetLayout(int layout);
  void FillScanLists();
  std::string BarStateSection() const;

  CBelvAppApp& app_;
  shell::CommandTable commands_;
  std::unique_ptr<platform::DynamicLibrary> aplifLibrary_;
  CAplIFData* aplif_ = nullptr;
  std::unique_ptr<shell::AplIFDiskChecker> diskChecker_;
  uint32_t windowId_ = 0;
  std::unique_ptr<platform::WindowPresence> presence_;

  QToolBar* fileBar_ = nullptr;
  QToolBar* scanBar_ = nullptr;
  QToolBar* viewBar_ = nullptr;
  QToolBar* pageBar_ = nullptr;
  QToolBar* plugInBar_ = nullptr;
  shell::CToolBarScan* scanBarEx_ = nullptr;
  shell::CSplitterWndEx* splitter_ = nullptr;
  std::array<QLabel*, kStatusPanes> panes_{};

  int editState_ = 0;
  int toolMode_ = 2;
  bool panShown_ = false;
  bool prescan_ = false;
  bool uiEnabled_ = true;
  bool scanning_ = false;
  bool pairDisplay_ = false;
  int layout_ = 0;
  int order_ = 1;
};
