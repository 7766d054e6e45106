// The four toolbars built on CToolBarEx: Scan (134) with its scan setting
// and file naming setting lists, View (151), Page (153) and plug-in (239).
// The main frame creates, docks, shows, hides, locks and saves them; their
// buttons are the command table's actions.
//
// GUI thread only.
#pragma once

#include <QPointer>
#include <cstdint>
#include <string_view>

#include "shell/toolbar_ex.h"

class QComboBox;
class QMainWindow;
class QWidgetAction;
struct CAplIFData;

namespace shell {

// The Scan toolbar. Two drop-down lists sit in the slots of the buttons
// 32827 (scan setting list) and 32881 (file naming setting list): on this
// bar those two commands are lists, not buttons (the menu keeps them).
//
// List widths: 240 pixels while the bar floats; docked, the share of the
// frame's client width that the other bars of its row and this bar's own
// buttons leave, split between the two lists and kept within 150 … 240.
class CToolBarScan : public CToolBarEx {
  Q_OBJECT

 public:
  static constexpr uint32_t kToolbarId = 134;
  static constexpr uint32_t kScanSettingListId = 0x803B;  // control ids
  static constexpr uint32_t kFileNamingListId = 0x8071;
  static constexpr uint32_t kScanSettingListSlot = 32827;  // command ids of the slots
  static constexpr uint32_t kFileNamingListSlot = 32881;
  static constexpr uint32_t kCaptionStringId = 508;  // "Job"
  static constexpr int kListWidthFloating = 240;     // pixels
  static constexpr int kListWidthMin = 150;
  static constexpr int kListWidthMax = 240;

  explicit CToolBarScan(CommandTable& commands, QWidget* parent = nullptr);

  // Finishes the bar for frame: caption (string 508, "Job" when missing),
  // fonts, both lists filled from the scanner interface aplif (may be null:
  // the lists stay empty), lay-out. The frame docks the bar (top or bottom).
  // Returns 0, or -1 when frame is null.
  int Create(QMainWindow* frame, CAplIFData* aplif);
  void SetInterface(CAplIFData* aplif) noexcept { aplif_ = aplif; }

  // Refill a list from the interface and select its current setting
  // (GetCurScanSettingNo / GetCurFileNamingSettingNo). Filling is not a
  // user's change: listSelectionChanged is not emitted.
  void FillScanSettingList();
  void FillFileNamingList();

  // Selects the scan setting of exactly that name (UTF-8; entry 0 when the
  // list has no such entry) and makes it current in the interface
  // (SetCurScanSettingNo). Returns the index selected.
  int SelectScanSetting(std::string_view name);

  // Hands a list's current selection to the interface (SetCurScanSettingNo
  // or SetCurFileNamingSettingNo): what the frame does on
  // listSelectionChanged. Returns the interface's result,
  // APLIF_ERR_NOT_AVAILABLE without an interface, APLIF_ERR_BAD_ARGUMENT for
  // another control id.
  int32_t ApplyListSelection(uint32_t listId);

  // Sizes the lists for the bar's place (floating or docked in the frame);
  // does nothing while the frame is minimized. With relayoutFrame the bar's
  // size and the frame's layout are recomputed; every second such pass
  // (program-wide) queues one more pass that sets the fonts again, so the
  // frame settles on the lists' final widths.
  void Layout(bool relayoutFrame);

  QComboBox* ScanSettingList() const noexcept { return scanList_; }
  QComboBox* FileNamingList() const noexcept { return namingList_; }
  // The width the lists have now.
  int ListWidth() const;

 signals:
  // The user chose another entry of a list (control id, new index).
  void listSelectionChanged(uint32_t listId, int index);

 private:
  QComboBox* MakeList(uint32_t listId);
  void PlaceList(uint32_t slotCommand, QComboBox* list);
  void FillList(QComboBox* list, bool scanSettings);
  void SetFonts();
  int DockedListWidth();
  QWidget* Frame() const;

  QPointer<QMainWindow> frame_;
  CAplIFData* aplif_ = nullptr;
  QComboBox* scanList_ = nullptr;
  QComboBox* namingList_ = nullptr;
};

// View toolbar (151): fit, zoom, rotate, separation, order, tools, pan window.
class CToolBarView1 : public CToolBarEx {
  Q_OBJECT
 public:
  static constexpr uint32_t kToolbarId = 151;
  explicit CToolBarView1(CommandTable& commands, QWidget* parent = nullptr);
};

// Page toolbar (153): previous and next page.
class CToolBarPage : public CToolBarEx {
  Q_OBJECT
 public:
  static constexpr uint32_t kToolbarId = 153;
  explicit CToolBarPage(CommandTable& commands, QWidget* parent = nullptr);
};

// Plug-in toolbar (239): the user function of the extension hooks.
class CToolBarPlugIn : public CToolBarEx {
  Q_OBJECT
 public:
  static constexpr uint32_t kToolbarId = 239;
  explicit CToolBarPlugIn(CommandTable& commands, QWidget* parent = nullptr);
};

}  // namespace shell
