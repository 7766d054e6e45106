// The toolbar base on real offscreen windows: the lock swallows clicks, hot
// tracking follows the cursor and lets go after it leaves, Alt-drag moves
// buttons within a bar and between bars, and every button has a picture of
// its own.
#include "shell/toolbar_ex.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCursor>
#include <QMainWindow>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bars_test_support.h"
#include "res/menus.h"
#include "shell/command_table.h"
#include "shell/toolbar_icons.h"
#include "shell/toolbars.h"

namespace {

using shell::CToolBarEx;

// Commands that count their runs, for every button of a toolbar resource.
void CountingCommands(shell::CommandTable& table, uint32_t toolbarId, std::map<uint32_t, int>& runs) {
  for (uint32_t id : res::ToolbarButtons(toolbarId))
    if (id != 0) table.Set(id, {[&runs, id] { ++runs[id]; }, {}, {}});
  table.Update();
}

std::vector<uint32_t> CommandsOn(const QToolBar* bar) {
  std::vector<uint32_t> ids;
  for (QAction* a : bar->actions())
    if (!a->isSeparator() && a->property("commandId").isValid()) ids.push_back(a->property("commandId").toUInt());
  return ids;
}

struct LockCase {
  const char* name;
  std::function<CToolBarEx*(shell::CommandTable&)> make;
  uint32_t button;
};

TEST(ToolBarEx, LockedBarsIgnoreClicksOnTheirButtons) {
  const LockCase cases[] = {
      {"View", [](shell::CommandTable& t) { return new shell::CToolBarView1(t); }, 32801},
      {"Page", [](shell::CommandTable& t) { return new shell::CToolBarPage(t); }, 32803},
      {"Scan", [](shell::CommandTable& t) { return new shell::CToolBarScan(t); }, 32809},
      {"PlugIn", [](shell::CommandTable& t) { return new shell::CToolBarPlugIn(t); }, 32894},
  };
  for (const LockCase& c : cases) {
    SCOPED_TRACE(c.name);
    shell::CommandTable table;
    std::map<uint32_t, int> runs;
    QMainWindow frame;
    CToolBarEx* bar = c.make(table);
    frame.addToolBar(bar);
    CountingCommands(table, bar->ToolbarId(), runs);
    bool uiEnabled = false;
    bar->SetUiEnabledRule([&uiEnabled] { return uiEnabled; });
    barstest::ShowAndWait(&frame);

    QAction* action = bar->ActionOfCommand(c.button);
    ASSERT_NE(action, nullptr);
    QToolButton* button = bar->ButtonOf(action);
    ASSERT_NE(button, nullptr);
    QSignalSpy triggered(action, &QAction::triggered);

    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::LeftButton);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_EQ(runs[c.button], 0);
    QTest::mousePress(button, Qt::LeftButton, Qt::AltModifier);
    EXPECT_FALSE(bar->Dragging()) << "no button drag while locked";
    QTest::mouseRelease(button, Qt::LeftButton, Qt::AltModifier);

    uiEnabled = true;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(runs[c.button], 1);
  }
}

class HotTracking : public ::testing::Test {
 protected:
  void SetUp() override {
    bar = new shell::CToolBarView1(table);
    frame.addToolBar(bar);
    frame.setCentralWidget(new QWidget);
    frame.setGeometry(40, 40, 700, 300);
    // 32782 and 32781 have commands (enabled); 32774 between them has none.
    table.Set(32782, {[] {}, {}, {}});
    table.Set(32781, {[] {}, {}, {}});
    table.Update();
    barstest::ShowAndWait(&frame);
  }
  int IndexOf(uint32_t id) { return int(bar->actions().indexOf(bar->ActionOfCommand(id))); }
  // Over the frame's centre, away from every bar.
  QPoint Away() const { return frame.mapToGlobal(frame.rect().center() + QPoint(0, 60)); }
  void MoveOver(uint32_t id) {
    // From elsewhere first: a move to where the cursor already is is no move.
    QCursor::setPos(Away());
    QTest::mouseMove(bar->ButtonOf(bar->ActionOfCommand(id)));
  }
  QColor TextColour(uint32_t id) { return bar->ButtonOf(bar->ActionOfCommand(id))->palette().color(QPalette::ButtonText); }

  shell::CommandTable table;
  QMainWindow frame;
  CToolBarEx* bar = nullptr;
};

TEST_F(HotTracking, TheEnabledButtonUnderTheCursorIsHotUntilTheCursorLeaves) {
  QSignalSpy changes(bar, &CToolBarEx::hotButtonChanged);
  EXPECT_EQ(bar->HotButton(), -1);
  MoveOver(32782);
  EXPECT_EQ(bar->HotButton(), IndexOf(32782));
  MoveOver(32774);
  EXPECT_EQ(bar->HotButton(), -1) << "a disabled button is never hot";
  MoveOver(32781);
  EXPECT_EQ(bar->HotButton(), IndexOf(32781));
  EXPECT_GE(changes.count(), 3);

  // Still over the bar: the timer keeps the hot button.
  QTest::qWait(2 * CToolBarEx::kHotTimerMs);
  EXPECT_EQ(bar->HotButton(), IndexOf(32781));
  // Away from every bar: the timer lets go.
  QCursor::setPos(Away());
  QTest::qWait(2 * CToolBarEx::kHotTimerMs + 50);
  EXPECT_EQ(bar->HotButton(), -1);

  // Off while the bar is disabled (the frame's lock) or tracking is off.
  bar->setEnabled(false);
  MoveOver(32782);
  EXPECT_EQ(bar->HotButton(), -1);
  bar->setEnabled(true);
  bar->SetHotTracking(false);
  MoveOver(32781);
  MoveOver(32782);
  EXPECT_EQ(bar->HotButton(), -1);
}

TEST_F(HotTracking, HighlightingDrawsTheHotButtonsTextBlue) {
  const QColor normal = TextColour(32782);
  ASSERT_NE(normal, CToolBarEx::HotTextColor());
  MoveOver(32782);
  EXPECT_EQ(TextColour(32782), normal) << "no highlight until the owner enables it";
  bar->SetHotTextHighlight(true);
  EXPECT_EQ(TextColour(32782), CToolBarEx::HotTextColor());
  MoveOver(32781);
  EXPECT_EQ(TextColour(32781), CToolBarEx::HotTextColor());
  EXPECT_EQ(TextColour(32782), normal) << "the old hot button is drawn normally again";
  bar->CheckHotButton();  // the cursor is still over the bar
  EXPECT_EQ(TextColour(32781), CToolBarEx::HotTextColor());
  QCursor::setPos(Away());
  bar->CheckHotButton();
  EXPECT_EQ(bar->HotButton(), -1);
  EXPECT_EQ(TextColour(32781), normal);
}

// ---- moving buttons ---------------------------------------------------------

class ButtonDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    view = new shell::CToolBarView1(table);
    page = new shell::CToolBarPage(table);
    frame.addToolBar(view);
    frame.addToolBar(page);
    frame.setCentralWidget(new QWidget);
    frame.setGeometry(20, 20, 780, 300);
    barstest::ShowAndWait(&frame);
  }

  // A point on a button: its left or right edge (inside it).
  static QPoint Edge(CToolBarEx* bar, uint32_t id, bool right) {
    QToolButton* b = bar->ButtonOf(bar->ActionOfCommand(id));
    return b->mapToGlobal(QPoint(right ? b->width() - 3 : 2, b->height() / 2));
  }

  // Alt + press on the button of id, moves to target, releases there.
  // Answers whether the drag cursor said "drop allowed" over target.
  bool Drag(CToolBarEx* source, uint32_t id, const QPoint& target) {
    QToolButton* b = source->ButtonOf(source->ActionOfCommand(id));
    QTest::mousePress(b, Qt::LeftButton, Qt::AltModifier, b->rect().center());
    EXPECT_TRUE(source->Dragging());
    const QPoint local = b->mapFromGlobal(target);
    QTest::mouseMove(b, local);
    const QCursor* shown = QApplication::overrideCursor();
    const bool allowed =
        shown && shown->pixmap().toImage() == CToolBarEx::DragCursorPicture(true).toImage();
    const bool refused =
        shown && shown->pixmap().toImage() == CToolBarEx::DragCursorPicture(false).toImage();
    EXPECT_NE(allowed, refused) << "one of the two drag cursors shows";
    QTest::mouseRelease(b, Qt::LeftButton, Qt::AltModifier, local);
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::processEvents();
    return allowed;
  }

  shell::CommandTable table;
  QMainWindow frame;
  CToolBarEx* view = nullptr;
  CToolBarEx* page = nullptr;
};

TEST_F(ButtonDrag, AltDragMovesAButtonWithinItsBar) {
  // Fit Window dropped on the right half of 1:1: it now follows 1:1.
  EXPECT_TRUE(Drag(view, 32782, Edge(view, 32773, true)));
  std::vector<uint32_t> ids = CommandsOn(view);
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ((std::vector<uint32_t>(ids.begin(), ids.begin() + 4)), (std::vector<uint32_t>{32774, 32781, 32773, 32782}));

  // Back to the front: dropped on the left half of the first button.
  EXPECT_TRUE(Drag(view, 32782, Edge(view, 32774, false)));
  ids = CommandsOn(view);
  EXPECT_EQ(ids.front(), 32782u);
  size_t buttons = 0;
  for (uint32_t id : res::ToolbarButtons(res::kToolbarView)) buttons += id != 0;
  EXPECT_EQ(ids.size(), buttons) << "nothing lost, nothing doubled";
}

TEST_F(ButtonDrag, AltDragMovesAButtonOntoAnotherBar) {
  QSignalSpy moved(page, &CToolBarEx::buttonMoved);
  EXPECT_TRUE(Drag(page, 32803, Edge(view, 32801, false)));
  EXPECT_EQ(CommandsOn(page), (std::vector<uint32_t>{32804}));
  const std::vector<uint32_t> ids = CommandsOn(view);
  const auto at = std::find(ids.begin(), ids.end(), 32803u);
  ASSERT_NE(at, ids.end());
  EXPECT_EQ(*(at + 1), 32801u) << "in front of Zoom In";
  ASSERT_EQ(moved.count(), 1);
  EXPECT_EQ(moved[0][1].value<CToolBarEx*>(), view);
  // The moved button works on its new bar: a second drag takes it back.
  EXPECT_TRUE(Drag(view, 32803, Edge(page, 32804, true)));
  EXPECT_EQ(CommandsOn(page), (std::vector<uint32_t>{32804, 32803}));
}

TEST_F(ButtonDrag, ADropAwayFromEveryBarChangesNothing) {
  const std::vector<uint32_t> before = CommandsOn(view);
  const QPoint away = frame.mapToGlobal(frame.rect().center() + QPoint(0, 60));
  EXPECT_FALSE(Drag(view, 32801, away)) << "the no-drop cursor shows off the bars";
  EXPECT_EQ(CommandsOn(view), before);
  // Dropped onto itself: stays.
  EXPECT_TRUE(Drag(view, 32801, Edge(view, 32801, false)));
  EXPECT_EQ(CommandsOn(view), before);
}

TEST(ToolBarEx, DragCursorsAreTwoDifferentPicturesOf32Pixels) {
  const QImage allowed = CToolBarEx::DragCursorPicture(true).toImage();
  const QImage refused = CToolBarEx::DragCursorPicture(false).toImage();
  EXPECT_EQ(allowed.size(), QSize(32, 32));
  EXPECT_EQ(refused.size(), QSize(32, 32));
  EXPECT_NE(allowed, refused);
  EXPECT_GT(qAlpha(allowed.pixel(2, 4)), 0) << "the pointer's tip is at the hot spot";
}

// ---- button pictures -----------------------------------------------------------

constexpr uint32_t kToolbars[] = {res::kToolbarFile, res::kToolbarScan, res::kToolbarView, res::kToolbarPage,
                                  res::kToolbarPlugIn};

TEST(ToolbarIcons, EveryButtonHasALegiblePictureOfItsOwn) {
  std::vector<std::pair<uint32_t, QImage>> pictures;
  for (uint32_t bar : kToolbars) {
    for (uint32_t id : res::ToolbarButtons(bar)) {
      if (id == 0) continue;
      SCOPED_TRACE(std::to_string(id));
      EXPECT_TRUE(shell::HasToolbarPicture(id));
      const QImage image = shell::ToolbarPicture(id).toImage();
      ASSERT_EQ(image.size(), QSize(24, 24));
      // Legible: a good part of the square is drawn, and it has dark
      // strokes as well as lighter fills.
      int drawn = 0, dark = 0;
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
          const QRgb px = image.pixel(x, y);
          if (qAlpha(px) < 128) continue;
          ++drawn;
          if (qGray(px) < 90) ++dark;
        }
      EXPECT_GT(drawn, 24 * 24 / 6);
      EXPECT_GT(dark, 12);
      EXPECT_GT(drawn - dark, 12);
      pictures.emplace_back(id, image);
    }
  }
  for (size_t i = 0; i < pictures.size(); ++i)
    for (size_t j = i + 1; j < pictures.size(); ++j)
      EXPECT_NE(pictures[i].second, pictures[j].second) << pictures[i].first << " and " << pictures[j].first;

  EXPECT_FALSE(shell::HasToolbarPicture(32818));
  EXPECT_EQ(shell::ToolbarPicture(32818).toImage(), [] {
    QImage blank(24, 24, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    return blank;
  }());
}

TEST(ToolbarIcons, TheFrameSetsThemOnTheTableActions) {
  shell::CommandTable table;
  shell::SetToolbarIcons(table);
  for (uint32_t bar : kToolbars)
    for (uint32_t id : res::ToolbarButtons(bar)) {
      if (id == 0) continue;
      const QIcon icon = table.Action(id)->icon();
      ASSERT_FALSE(icon.isNull()) << id;
      EXPECT_EQ(icon.pixmap(QSize(24, 24)).toImage(), shell::ToolbarPicture(id).toImage()) << id;
      EXPECT_EQ(icon.pixmap(QSize(48, 48)).toImage(), shell::ToolbarPicture(id, 48).toImage()) << id;
    }
}

TEST(ToolbarIcons, ScreenshotOfTheFiveToolbars) {
  shell::CommandTable table;
  shell::SetToolbarIcons(table);
  for (uint32_t bar : kToolbars)
    for (uint32_t id : res::ToolbarButtons(bar))
      if (id != 0) table.Set(id, {[] {}, {}, {}});
  table.Update();
  QMainWindow frame;
  QToolBar* file = frame.addToolBar(QStringLiteral("File"));
  file->setIconSize(QSize(24, 24));
  table.FillToolBar(file, res::kToolbarFile);
  auto* scan = new shell::CToolBarScan(table);
  frame.addToolBar(scan);
  scan->Create(&frame, nullptr);
  frame.addToolBarBreak();
  auto* view = new shell::CToolBarView1(table);
  auto* page = new shell::CToolBarPage(table);
  auto* plugIn = new shell::CToolBarPlugIn(table);
  frame.addToolBar(view);
  frame.addToolBar(page);
  frame.addToolBar(plugIn);
  frame.setCentralWidget(new QWidget);
  frame.resize(1100, 200);
  barstest::ShowAndWait(&frame);
  scan->Layout(true);
  QApplication::processEvents();
  barstest::Screenshot(file, QStringLiteral("toolbar_file"));
  barstest::Screenshot(scan, QStringLiteral("toolbar_scan"));
  barstest::Screenshot(view, QStringLiteral("toolbar_view"));
  barstest::Screenshot(page, QStringLiteral("toolbar_page"));
  barstest::Screenshot(plugIn, QStringLiteral("toolbar_plugin"));
  barstest::Screenshot(&frame, QStringLiteral("toolbars_frame"));
  // Every button of the four bars is on show (no overflow) at this width.
  for (CToolBarEx* bar : {static_cast<CToolBarEx*>(scan), static_cast<CToolBarEx*>(view),
                          static_cast<CToolBarEx*>(page), static_cast<CToolBarEx*>(plugIn)})
    for (QAction* a : bar->actions())
      if (!a->isSeparator()) {
        EXPECT_TRUE(bar->widgetForAction(a)->isVisible()) << bar->objectName().toStdString();
      }
  // Pictures at 48 for a closer look.
  QImage sheet(48 * 12, 48 * 3, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::white);
  {
    QPainter p(&sheet);
    int n = 0;
    for (uint32_t bar : kToolbars)
      for (uint32_t id : res::ToolbarButtons(bar))
        if (id != 0 && n < 36) {
          p.drawPixmap((n % 12) * 48, (n / 12) * 48, shell::ToolbarPicture(id, 48));
          ++n;
        }
  }
  if (const char* folder = std::getenv("VISTEL_SCREENSHOT_DIR"); folder && *folder)
    sheet.save(QString::fromLocal8Bit(folder) + QStringLiteral("/toolbar_pictures_48.png"));
}

}  // namespace
