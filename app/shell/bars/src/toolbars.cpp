// The Scan toolbar with its two setting lists, and the View, Page and
// plug-in toolbars.
#include "shell/toolbars.h"

#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QMainWindow>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QWidgetAction>

#include <algorithm>

#include "BelvAplIF.h"
#include "res/menus.h"
#include "res/resource_module.h"

namespace shell {
namespace {

// Alternates the frame re-layout passes of every Scan toolbar: each second
// pass queues a further one.
bool relayoutToggle = false;

// A caption from a menu text ("&View" → "View").
QString MenuCaption(uint32_t commandId) {
  QString text = QString::fromStdString(res::MenuText(res::kMenuMain, commandId));
  text.remove(QLatin1Char('&'));
  return text;
}

// The tooltip half of a command's string.
QString TipCaption(uint32_t commandId) {
  const std::string text = res::StringText(commandId);
  const res::CommandTexts halves = res::SplitCommandString(text);
  return QString::fromUtf8(halves.tip.data(), qsizetype(halves.tip.size()));
}

}  // namespace

// ---- Scan toolbar -------------------------------------------------------------

CToolBarScan::CToolBarScan(CommandTable& commands, QWidget* parent)
    : CToolBarEx(kToolbarId, &commands, parent) {
  setObjectName(QStringLiteral("ScanToolBar"));
  setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
  scanList_ = MakeList(kScanSettingListId);
  namingList_ = MakeList(kFileNamingListId);
  PlaceList(kScanSettingListSlot, scanList_);
  PlaceList(kFileNamingListSlot, namingList_);
}

QComboBox* CToolBarScan::MakeList(uint32_t listId) {
  // Owned by its slot action once placed.
  auto* list = new QComboBox;
  list->setProperty("ctrlId", listId);
  list->setObjectName(listId == kScanSettingListId ? QStringLiteral("ScanSettingList")
                                                   : QStringLiteral("FileNamingList"));
  list->setEditable(false);
  list->setFixedWidth(kListWidthMax);
  list->setFocusPolicy(Qt::ClickFocus);
  // activated: only the user's choices, never a fill or a programmatic selection.
  connect(list, &QComboBox::activated, this, [this, listId](int index) { emit listSelectionChanged(listId, index); });
  return list;
}

void CToolBarScan::PlaceList(uint32_t slotCommand, QComboBox* list) {
  auto* slot = new QWidgetAction(this);
  slot->setDefaultWidget(list);
  slot->setProperty("slotOf", slotCommand);
  QAction* button = ActionOfCommand(slotCommand);
  insertAction(button, slot);  // null: at the end
  if (button) removeAction(button);
}

int CToolBarScan::Create(QMainWindow* frame, CAplIFData* aplif) {
  if (!frame) return -1;
  frame_ = frame;
  aplif_ = aplif;
  QString caption = QString::fromStdString(res::StringText(kCaptionStringId));
  if (caption.isEmpty()) caption = QStringLiteral("Job");
  setWindowTitle(caption);
  SetFonts();
  FillScanSettingList();
  FillFileNamingList();
  Layout(false);
  return 0;
}

void CToolBarScan::SetFonts() {
  const QFont font = QApplication::font();
  setFont(font);
  scanList_->setFont(font);
  namingList_->setFont(font);
}

void CToolBarScan::FillScanSettingList() { FillList(scanList_, true); }
void CToolBarScan::FillFileNamingList() { FillList(namingList_, false); }

void CToolBarScan::FillList(QComboBox* list, bool scanSettings) {
  const QSignalBlocker quiet(list);
  list->clear();
  if (!aplif_) return;
  int32_t position = scanSettings ? aplif_->ScanGetHeadPosition() : aplif_->FileNamingGetHeadPosition();
  char name[APLIF_NAME_SIZE];
  // The interface never lists more than APLIF_MAX_SETTINGS; the bound also
  // ends a position chain that would not.
  for (int n = 0; position > 0 && n < APLIF_MAX_SETTINGS; ++n) {
    name[0] = '\0';
    const int32_t number = scanSettings ? aplif_->ScanGetNext(&position, name, sizeof name)
                                        : aplif_->FileNamingGetNext(&position, name, sizeof name);
    if (number < 0) break;
    list->addItem(QString::fromUtf8(name));
  }
  const int32_t current = scanSettings ? aplif_->GetCurScanSettingNo() : aplif_->GetCurFileNamingSettingNo();
  list->setCurrentIndex(current >= 0 && current < list->count() ? current : -1);
}

int CToolBarScan::SelectScanSetting(std::string_view name) {
  const QString text = QString::fromUtf8(name.data(), qsizetype(name.size()));
  int index = scanList_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) index = 0;
  {
    const QSignalBlocker quiet(scanList_);
    scanList_->setCurrentIndex(index);
  }
  if (aplif_) aplif_->SetCurScanSettingNo(index);
  return index;
}

int32_t CToolBarScan::ApplyListSelection(uint32_t listId) {
  if (listId != kScanSettingListId && listId != kFileNamingListId) return APLIF_ERR_BAD_ARGUMENT;
  if (!aplif_) return APLIF_ERR_NOT_AVAILABLE;
  if (listId == kScanSettingListId) return aplif_->SetCurScanSettingNo(scanList_->currentIndex());
  return aplif_->SetCurFileNamingSettingNo(namingList_->currentIndex());
}

int CToolBarScan::ListWidth() const { return scanList_->maximumWidth(); }

QWidget* CToolBarScan::Frame() const { return frame_ ? static_cast<QWidget*>(frame_.data()) : parentWidget(); }

void CToolBarScan::Layout(bool relayoutFrame) {
  QWidget* frame = Frame();
  if (frame && frame->isMinimized()) return;

  const int width = isFloating() ? kListWidthFloating : DockedListWidth();
  scanList_->setFixedWidth(width);
  namingList_->setFixedWidth(width);
  if (!relayoutFrame) return;

  layout()->invalidate();
  updateGeometry();
  if (isFloating()) {
    adjustSize();
  } else if (frame && frame->layout()) {
    frame->layout()->invalidate();
    frame->layout()->activate();
  }
  if (!relayoutToggle) {
    relayoutToggle = true;
  } else {
    relayoutToggle = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
          SetFonts();
          Layout(true);
        },
        Qt::QueuedConnection);
  }
}

int CToolBarScan::DockedListWidth() {
  QWidget* frame = Frame();
  if (!frame) return kListWidthMax;

  // This bar without its lists: buttons, separators, handle and margins.
  layout()->invalidate();
  const int own = sizeHint().width() - scanList_->maximumWidth() - namingList_->maximumWidth();

  // The other bars docked in the same row.
  int others = 0;
  if (auto* mainWindow = qobject_cast<QMainWindow*>(frame)) {
    const Qt::ToolBarArea area = mainWindow->toolBarArea(this);
    const QRect row = geometry();
    for (QToolBar* bar : mainWindow->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
      if (bar == this || bar->isHidden() || bar->isFloating() || mainWindow->toolBarArea(bar) != area) continue;
      const int middle = bar->geometry().center().y();
      if (middle >= row.top() && middle <= row.bottom()) others += bar->sizeHint().width();
    }
  }
  const int space = frame->width() - others - own;
  return std::clamp(space / 2, kListWidthMin, kListWidthMax);
}

// ---- View, Page and plug-in toolbars -------------------------------------------

CToolBarView1::CToolBarView1(CommandTable& commands, QWidget* parent) : CToolBarEx(kToolbarId, &commands, parent) {
  setObjectName(QStringLiteral("ViewToolBar"));
  setWindowTitle(MenuCaption(32852));  // the "Toolbar Disp." entry of the bar
}

CToolBarPage::CToolBarPage(CommandTable& commands, QWidget* parent) : CToolBarEx(kToolbarId, &commands, parent) {
  setObjectName(QStringLiteral("PageToolBar"));
  setWindowTitle(MenuCaption(32853));
}

CToolBarPlugIn::CToolBarPlugIn(CommandTable& commands, QWidget* parent)
    : CToolBarEx(kToolbarId, &commands, parent) {
  setObjectName(QStringLiteral("PlugInToolBar"));
  setWindowTitle(TipCaption(32894));
}

}  // namespace shell
