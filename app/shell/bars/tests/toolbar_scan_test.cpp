// The Scan toolbar against the real scanner interface library (bound by
// name, with its own ScanSet.ini / JobSet.ini in the test folder): filling
// and selecting the two lists, the user's choice reaching the frame, and
// the lists' widths and places on the bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bars_test_support.h"
#include "res/menus.h"
#include "shell/command_table.h"
#include "shell/toolbar_icons.h"
#include "shell/toolbars.h"
#include "testsupport/temp_env.h"

namespace {

using shell::CToolBarScan;

class ScanBar : public ::testing::Test {
 protected:
  void SetUp() override {
    aplif = barstest::BoundInterface();
    ASSERT_NE(aplif, nullptr) << platform::DynamicLibrary::LastLoadError();
    const std::string scanIni = dir.File("ScanSet.ini"), jobIni = dir.File("JobSet.ini");
    ASSERT_GE(aplif->InitInstanceForVEXO("Vexo Viewer", 0, 1, APLIF_INTERFACE_REVISION, 0, jobIni.c_str(),
                                         scanIni.c_str()),
              0);
    scanNames = Names(true);
    namingNames = Names(false);
    ASSERT_GE(scanNames.size(), 3u);
    ASSERT_GE(namingNames.size(), 2u);
    shell::SetToolbarIcons(table);
    file = frame.addToolBar(QStringLiteral("File"));
    file->setIconSize(QSize(24, 24));
    table.FillToolBar(file, res::kToolbarFile);
    bar = new CToolBarScan(table);
    frame.addToolBar(bar);
    frame.setCentralWidget(new QWidget);
  }
  void TearDown() override {
    if (aplif) aplif->ExitInstance();
  }

  std::vector<QString> Names(bool scans) {
    std::vector<QString> names;
    int32_t pos = scans ? aplif->ScanGetHeadPosition() : aplif->FileNamingGetHeadPosition();
    char name[APLIF_NAME_SIZE];
    while (pos > 0 && names.size() <= APLIF_MAX_SETTINGS) {
      scans ? aplif->ScanGetNext(&pos, name, sizeof name) : aplif->FileNamingGetNext(&pos, name, sizeof name);
      names.push_back(QString::fromUtf8(name));
    }
    return names;
  }
  static std::vector<QString> Items(const QComboBox* list) {
    std::vector<QString> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i));
    return items;
  }
  // Resizes the frame and lets the bar follow, as the frame's size handler does.
  int ListWidthAt(int frameWidth) {
    frame.resize(frameWidth, 300);
    QApplication::processEvents();
    bar->Layout(true);
    QApplication::processEvents();
    return bar->ListWidth();
  }

  testsupport::TempDir dir;
  CAplIFData* aplif = nullptr;
  std::vector<QString> scanNames, namingNames;
  shell::CommandTable table;
  QMainWindow frame;
  QToolBar* file = nullptr;
  CToolBarScan* bar = nullptr;
};

TEST_F(ScanBar, CreateFillsBothListsAndSelectsTheCurrentSettings) {
  EXPECT_EQ(bar->Create(nullptr, aplif), -1);
  ASSERT_EQ(aplif->SetCurScanSettingNo(2), 0);
  ASSERT_EQ(aplif->SetCurFileNamingSettingNo(1), 0);
  QSignalSpy changes(bar, &CToolBarScan::listSelectionChanged);
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("Job"));
  EXPECT_EQ(Items(bar->ScanSettingList()), scanNames);
  EXPECT_EQ(Items(bar->FileNamingList()), namingNames);
  EXPECT_EQ(bar->ScanSettingList()->currentIndex(), 2);
  EXPECT_EQ(bar->FileNamingList()->currentIndex(), 1);

  // The interface's settings changed: refilling follows them.
  ASSERT_EQ(aplif->SetCurScanSettingNo(0), 0);
  ASSERT_EQ(aplif->SetCurFileNamingSettingNo(0), 0);
  bar->FillScanSettingList();
  bar->FillFileNamingList();
  EXPECT_EQ(bar->ScanSettingList()->currentIndex(), 0);
  EXPECT_EQ(bar->FileNamingList()->currentIndex(), 0);
  EXPECT_EQ(Items(bar->ScanSettingList()), scanNames) << "emptied before refilling";
  EXPECT_EQ(changes.count(), 0) << "filling is not the user's choice";

  // Without an interface the lists stay empty.
  CToolBarScan lonely(table);
  EXPECT_EQ(lonely.Create(&frame, nullptr), 0);
  EXPECT_EQ(lonely.ScanSettingList()->count(), 0);
  EXPECT_EQ(lonely.ApplyListSelection(CToolBarScan::kScanSettingListId), APLIF_ERR_NOT_AVAILABLE);
}

TEST_F(ScanBar, SelectingByNameTakesTheExactNameOrEntryZero) {
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  const QString second = scanNames[2];
  struct Case {
    std::string name;
    int expected;
  };
  const Case cases[] = {
      {second.toStdString(), 2},
      {scanNames[1].toStdString(), 1},
      {second.toUpper().toStdString(), 0},       // the lookup is exact, case and all
      {second.toStdString() + " ", 0},           // and not trimmed
      {"No such setting", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(aplif->SetCurScanSettingNo(int32_t(scanNames.size()) - 1), 0);
    EXPECT_EQ(bar->SelectScanSetting(c.name), c.expected);
    EXPECT_EQ(bar->ScanSettingList()->currentIndex(), c.expected);
    EXPECT_EQ(aplif->GetCurScanSettingNo(), c.expected) << "the interface is told";
  }
}

TEST_F(ScanBar, TheUsersChoiceReachesTheFrame) {
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  // The frame's handler: hand the list's selection to the interface.
  std::vector<std::pair<uint32_t, int>> seen;
  QObject::connect(bar, &CToolBarScan::listSelectionChanged, [&](uint32_t id, int index) {
    seen.emplace_back(id, index);
    EXPECT_EQ(bar->ApplyListSelection(id), 0);
  });
  barstest::ShowAndWait(&frame);

  struct Case {
    QComboBox* list;
    uint32_t id;
    std::function<int32_t()> current;
  };
  const Case cases[] = {
      {bar->ScanSettingList(), CToolBarScan::kScanSettingListId, [this] { return aplif->GetCurScanSettingNo(); }},
      {bar->FileNamingList(), CToolBarScan::kFileNamingListId,
       [this] { return aplif->GetCurFileNamingSettingNo(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    seen.clear();
    ASSERT_EQ(c.list->currentIndex(), 0);
    ASSERT_EQ(c.current(), 0);
    c.list->setFocus();
    QTest::keyClick(c.list, Qt::Key_Down);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(c.id, 1));
    EXPECT_EQ(c.current(), 1);
  }
  EXPECT_EQ(bar->ApplyListSelection(0x1234), APLIF_ERR_BAD_ARGUMENT);
}

TEST_F(ScanBar, TheListsSitInTheSlotsOfTheirButtons) {
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  frame.resize(1400, 300);
  barstest::ShowAndWait(&frame);
  bar->Layout(true);
  QApplication::processEvents();

  EXPECT_EQ(bar->ActionOfCommand(CToolBarScan::kScanSettingListSlot), nullptr) << "no button: a list";
  EXPECT_EQ(bar->ActionOfCommand(CToolBarScan::kFileNamingListSlot), nullptr);
  struct Case {
    QComboBox* list;
    uint32_t id;
    uint32_t slot;
    uint32_t after;   // the button to its left
    uint32_t before;  // the button to its right
  };
  const Case cases[] = {
      {bar->ScanSettingList(), CToolBarScan::kScanSettingListId, 32827, 32809, 32780},
      {bar->FileNamingList(), CToolBarScan::kFileNamingListId, 32881, 32880, 32879},
  };
  const QList<QAction*> actions = bar->actions();
  const auto ids = res::ToolbarButtons(res::kToolbarScan);
  ASSERT_EQ(size_t(actions.size()), ids.size()) << "one place per entry of the resource";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(c.list->property("ctrlId").toUInt(), c.id);
    const auto at = std::find(ids.begin(), ids.end(), c.slot) - ids.begin();
    EXPECT_EQ(bar->widgetForAction(actions[at]), c.list) << "in the slot's place";
    const QRect list = c.list->geometry();
    EXPECT_EQ(list.width(), bar->ListWidth());
    EXPECT_GE(list.left(), bar->ButtonOf(bar->ActionOfCommand(c.after))->geometry().right());
    EXPECT_LE(list.right(), bar->ButtonOf(bar->ActionOfCommand(c.before))->geometry().left());
    EXPECT_TRUE(c.list->isVisible());
  }
  barstest::Screenshot(&frame, QStringLiteral("scan_toolbar_docked_wide"));
}

TEST_F(ScanBar, DockedListsFollowTheFrameWidthWithin150And240) {
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  frame.resize(400, 300);
  barstest::ShowAndWait(&frame);

  EXPECT_EQ(ListWidthAt(400), CToolBarScan::kListWidthMin) << "a narrow frame";
  barstest::Screenshot(&frame, QStringLiteral("scan_toolbar_docked_narrow"));
  EXPECT_EQ(ListWidthAt(2400), CToolBarScan::kListWidthMax) << "a wide frame";

  int previous = 0;
  bool between = false;
  for (int width = 400; width <= 2400; width += 50) {
    const int w = ListWidthAt(width);
    EXPECT_GE(w, CToolBarScan::kListWidthMin) << width;
    EXPECT_LE(w, CToolBarScan::kListWidthMax) << width;
    EXPECT_GE(w, previous) << "wider frame, no narrower lists (" << width << ")";
    between |= w > CToolBarScan::kListWidthMin && w < CToolBarScan::kListWidthMax;
    previous = w;
  }
  EXPECT_TRUE(between) << "the width follows the space left, not just its two limits";
  EXPECT_EQ(bar->FileNamingList()->width(), bar->ScanSettingList()->width());

  // A minimized frame leaves the lists alone.
  ListWidthAt(400);
  frame.showMinimized();
  QApplication::processEvents();
  if (frame.isMinimized()) {
    frame.resize(2400, 300);
    bar->Layout(false);
    EXPECT_EQ(bar->ListWidth(), CToolBarScan::kListWidthMin);
  }
}

TEST_F(ScanBar, AFloatingBarShowsItsLists240Wide) {
  ASSERT_EQ(bar->Create(&frame, aplif), 0);
  frame.resize(400, 300);
  barstest::ShowAndWait(&frame);
  ASSERT_EQ(ListWidthAt(400), CToolBarScan::kListWidthMin);

  // Torn off the frame: a window of its own.
  frame.removeToolBar(bar);
  bar->setParent(nullptr);
  std::unique_ptr<CToolBarScan> floating(bar);
  floating->show();
  ASSERT_TRUE(floating->isFloating());
  floating->Layout(true);
  QApplication::processEvents();
  EXPECT_EQ(floating->ListWidth(), CToolBarScan::kListWidthFloating);
  EXPECT_EQ(floating->ScanSettingList()->width(), CToolBarScan::kListWidthFloating);
  EXPECT_GE(floating->width(), 2 * CToolBarScan::kListWidthFloating) << "the bar grew to hold them";
  barstest::Screenshot(floating.get(), QStringLiteral("scan_toolbar_floating"));
}

}  // namespace
