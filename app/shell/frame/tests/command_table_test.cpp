// The command table on real widgets (offscreen): rules decide what runs,
// the update pass carries them into menus and toolbars, and every menu,
// toolbar and pop-up entry of an id is the same command.
#include "shell/command_table.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "res/menus.h"

namespace {

QAction* FindAction(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

TEST(CommandTable, RulesDecideWhatRunsAndTheUpdatePassShowsThem) {
  shell::CommandTable table;
  int opened = 0;
  bool idle = true, job = false;
  table.Set(32826, {[&] { ++opened; }, [&] { return idle; }, {}});
  table.Set(32880, {[&] { job = !job; }, {}, [&] { return job; }});

  EXPECT_TRUE(table.Run(32826));
  idle = false;
  EXPECT_FALSE(table.Run(32826));
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(table.Action(32826)->isEnabled()) << "a refused run refreshes the state";
  EXPECT_FALSE(table.Run(32893)) << "no command for the id";
  EXPECT_FALSE(table.Action(32893)->isEnabled());

  EXPECT_TRUE(table.Run(32880));
  EXPECT_TRUE(table.Action(32880)->isChecked()) << "each command is followed by the update pass";
  job = false;
  table.Update();
  EXPECT_FALSE(table.Action(32880)->isChecked());

  // Triggering the action is running the command.
  idle = true;
  table.Update();
  table.Action(32826)->trigger();
  EXPECT_EQ(opened, 2);
}

TEST(CommandTable, MenusAndToolbarsShareOneActionPerCommand) {
  QMainWindow window;
  shell::CommandTable table;
  bool shown = false;
  int rotations = 0;
  table.Set(32798, {[&] { ++rotations; }, [&] { return shown; }, {}});
  table.BuildMenuBar(window.menuBar(), res::kMenuMain);
  QToolBar* bar = window.addToolBar("View");
  table.FillToolBar(bar, res::kToolbarView);
  std::unique_ptr<QMenu> popup = table.BuildPopup(res::kMenuPageEdit, &window);

  const auto& top = table.TopMenus();
  ASSERT_EQ(top.size(), 8u);
  EXPECT_EQ(top[0]->title(), "&File");
  EXPECT_EQ(table.Action(32826)->text(), "&Open...");
  EXPECT_EQ(table.Action(32826)->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(table.Action(32826)->toolTip(), "Open File");
  EXPECT_TRUE(bar->actions().contains(table.Action(32798)));
  ASSERT_NE(FindAction(top[3], "Rotate  &90"), nullptr);
  EXPECT_EQ(FindAction(top[3], "Rotate  &90"), table.Action(32798));
  // View pop-up: the Separation and Order sub-menus at positions 9 and 10.
  const QList<QAction*> view = top[4]->actions();
  ASSERT_GT(view.size(), 10);
  ASSERT_NE(view[9]->menu(), nullptr);
  EXPECT_EQ(view[9]->text(), "&Separation");
  EXPECT_EQ(view[10]->menu()->actions()[0], table.Action(32815));

  // The pop-up's entry follows the shared command.
  QAction* popupRotate = FindAction(popup.get(), "Rotate  &90");
  ASSERT_NE(popupRotate, nullptr);
  EXPECT_FALSE(popupRotate->isEnabled());
  shown = true;
  emit top[3]->aboutToShow();  // a pop-up opening runs the update pass
  EXPECT_TRUE(table.Action(32798)->isEnabled());
  EXPECT_TRUE(popupRotate->isEnabled());
  popupRotate->trigger();
  EXPECT_EQ(rotations, 1);

  int seen = -1;
  table.afterPopupUpdate = [&](QMenu*, int index) { seen = index; };
  emit top[4]->aboutToShow();
  EXPECT_EQ(seen, 4);
}

}  // namespace
