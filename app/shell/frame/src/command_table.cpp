#include "shell/command_table.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "res/menus.h"
#include "res/resource_module.h"

namespace shell {
namespace {

// A menu text's accelerator half ("\tCtrl+O") is shown by the action's
// shortcut instead.
QString MenuLabel(uint32_t menuId, uint32_t key) {
  QString text = QString::fromStdString(res::MenuText(menuId, key));
  if (const qsizetype tab = text.indexOf('\t'); tab >= 0) text.truncate(tab);
  return text;
}

}  // namespace

CommandTable::CommandTable(QObject* parent) : QObject(parent) {
  timer_.setInterval(kUpdateIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &CommandTable::Update);
  timer_.start();
}

CommandTable::~CommandTable() = default;

void CommandTable::Set(uint32_t id, Command command) {
  const bool checkable = static_cast<bool>(command.checked);
  commands_[id] = std::move(command);
  Action(id)->setCheckable(checkable);
}

QAction* CommandTable::Action(uint32_t id) {
  if (auto it = actions_.find(id); it != actions_.end()) return it->second;
  auto* action = new QAction(this);
  action->setProperty("commandId", id);
  const std::string text = res::StringText(id);
  const res::CommandTexts halves = res::SplitCommandString(text);
  action->setStatusTip(QString::fromUtf8(halves.prompt.data(), qsizetype(halves.prompt.size())));
  action->setToolTip(QString::fromUtf8(halves.tip.data(), qsizetype(halves.tip.size())));
  action->setText(MenuLabel(res::kMenuMain, id));
  if (action->text().isEmpty()) action->setText(action->toolTip());
  for (const res::Accelerator& a : res::Accelerators())
    if (a.commandId == id) action->setShortcut(QKeySequence(QString::fromLatin1(a.keys)));
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, id] { Run(id); });
  actions_[id] = action;
  return action;
}

bool CommandTable::IsEnabled(uint32_t id) const {
  const auto it = commands_.find(id);
  if (it == commands_.end()) return false;
  return !it->second.enabled || it->second.enabled();
}

bool CommandTable::IsChecked(uint32_t id) const {
  const auto it = commands_.find(id);
  return it != commands_.end() && it->second.checked && it->second.checked();
}

bool CommandTable::Run(uint32_t id) {
  if (!IsEnabled(id)) {
    Update();  // the action showed a stale state
    return false;
  }
  // A copy: the handler may replace its own command.
  const Handler handler = commands_[id].handler;
  if (handler) handler();
  Update();
  return true;
}

void CommandTable::Update() {
  for (auto& [id, action] : actions_) {
    action->setEnabled(IsEnabled(id));
    if (action->isCheckable()) action->setChecked(IsChecked(id));
  }
}

void CommandTable::FillMenu(QMenu* menu, uint32_t menuId, int top, const void* itemsPtr, size_t count) {
  const auto* items = static_cast<const res::MenuItem*>(itemsPtr);
  for (size_t i = 0; i < count; ++i) {
    const res::MenuItem& item = items[i];
    switch (item.kind) {
      case res::MenuItem::Kind::kSeparator:
        menu->addSeparator();
        break;
      case res::MenuItem::Kind::kCommand: {
        QAction* action = Action(item.commandId);
        if (menuId != res::kMenuMain) {
          // The same command under another menu's text: its own action,
          // triggering the shared one.
          auto* alias = new QAction(MenuLabel(menuId, item.commandId), menu);
          alias->setProperty("commandId", item.commandId);
          alias->setEnabled(action->isEnabled());
          connect(alias, &QAction::triggered, action, &QAction::trigger);
          connect(action, &QAction::changed, alias, [alias, action] { alias->setEnabled(action->isEnabled()); });
          menu->addAction(alias);
        } else {
          menu->addAction(action);
        }
        break;
      }
      case res::MenuItem::Kind::kPopup: {
        QMenu* sub = menu->addMenu(MenuLabel(menuId, res::SubmenuKey(uint32_t(top), uint32_t(i))));
        FillMenu(sub, menuId, top, item.items.data(), item.items.size());
        break;
      }
    }
  }
}

void CommandTable::BuildMenuBar(QMenuBar* bar, uint32_t menuId) {
  const auto top = res::MenuStructure(menuId);
  topMenus_.clear();
  for (size_t t = 0; t < top.size(); ++t) {
    QMenu* menu = bar->addMenu(MenuLabel(menuId, res::PopupKey(uint32_t(t))));
    menu->setProperty("popupIndex", int(t));
    FillMenu(menu, menuId, int(t), top[t].items.data(), top[t].items.size());
    connect(menu, &QMenu::aboutToShow, this, [this, menu, t] {
      Update();
      if (afterPopupUpdate) afterPopupUpdate(menu, int(t));
    });
    topMenus_.push_back(menu);
  }
}

std::unique_ptr<QMenu> CommandTable::BuildPopup(uint32_t menuId, QWidget* parent) {
  const auto top = res::MenuStructure(menuId);
  if (top.empty()) return nullptr;
  auto menu = std::make_unique<QMenu>(MenuLabel(menuId, res::PopupKey(0)), parent);
  FillMenu(menu.get(), menuId, 0, top[0].items.data(), top[0].items.size());
  connect(menu.get(), &QMenu::aboutToShow, this, &CommandTable::Update);
  return menu;
}

void CommandTable::FillToolBar(QToolBar* bar, uint32_t toolbarId) {
  for (uint32_t id : res::ToolbarButtons(toolbarId)) {
    if (id == 0) {
      bar->addSeparator();
    } else {
      bar->addAction(Action(id));
    }
  }
}

}  // namespace shell
