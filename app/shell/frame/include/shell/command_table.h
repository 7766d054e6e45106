// The command table of the main window: one QAction per command id, with its
// handler, enable rule and tick rule, and the menus and toolbars built from
// the resource structures. Commands are run and asked for by id, so tests and
// the frame share one path.
//
// Update pass: Update() evaluates every enable and tick rule. The table runs
// it before a pop-up menu opens, after each command and on a short timer
// (for the toolbars); callers run it after they change state the rules read.
//
// GUI thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace shell {

class CommandTable : public QObject {
 public:
  using Handler = std::function<void()>;
  using Rule = std::function<bool()>;

  struct Command {
    Handler handler;  // empty: the command does nothing yet
    Rule enabled;     // empty: always enabled
    Rule checked;     // empty: never ticked (and not checkable)
  };

  explicit CommandTable(QObject* parent = nullptr);
  ~CommandTable() override;

  // Adds or replaces a command. Its action takes the menu text, status
  // prompt and tooltip of its id from the current resources.
  void Set(uint32_t id, Command command);
  bool Has(uint32_t id) const noexcept { return commands_.count(id) != 0; }

  // The action of a command id (created on first use, even for ids without
  // a command: they stay disabled).
  QAction* Action(uint32_t id);

  // Runs the command when its rule allows it; answers whether it ran.
  bool Run(uint32_t id);
  bool IsEnabled(uint32_t id) const;
  bool IsChecked(uint32_t id) const;

  // Evaluates every rule into the actions.
  void Update();

  // Menus and toolbars from the resources (res/menus.h). Pop-ups run the
  // update pass before they open; the bar menus are owned by the bar.
  void BuildMenuBar(QMenuBar* bar, uint32_t menuId);
  std::unique_ptr<QMenu> BuildPopup(uint32_t menuId, QWidget* parent);
  void FillToolBar(QToolBar* bar, uint32_t toolbarId);
  // The pop-up menus built for menu 128, in bar order (for the editing greys).
  const std::vector<QMenu*>& TopMenus() const noexcept { return topMenus_; }

  // Called after the update pass of each pop-up that opens (the frame greys
  // items while editing there).
  std::function<void(QMenu* popup, int topIndex)> afterPopupUpdate;

  // The interval of the toolbar update timer, in milliseconds.
  static constexpr int kUpdateIntervalMs = 200;

 private:
  void FillMenu(QMenu* menu, uint32_t menuId, int top, const void* items, size_t count);

  std::map<uint32_t, Command> commands_;
  std::map<uint32_t, QAction*> actions_;
  std::vector<QMenu*> topMenus_;
  QTimer timer_;
};

}  // namespace shell
