// Menus, tool bars and command-bound controls on the command chain: one QAction per command
// id, whose trigger sends the command, and whose enabled state, check mark and text come
// from the update handlers. Updates run on every idle pass and, for a menu, right before it
// shows (after the menu's show hooks, which may remove items).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

class QAction;
class QMenu;
class QWidget;

namespace platform {

// The action of a command, made on first use and kept by the UI layer. Its text starts as
// the command's tool tip from the string table. Triggering it sends the command.
QAction* CommandAction(std::uint32_t id);
// Adds one item of a menu table to `menu`: command 0 is a separator, any other the
// command's action with the menu text (UTF-8, '&' marking the mnemonic). Returns the
// separator or the action.
QAction* AddMenuItem(QMenu& menu, std::uint32_t command, std::string_view text);
// The command of an action (0 for an action that is no command's).
std::uint32_t ActionCommandId(const QAction* action);

// Applies the router's menu state (update handler, or disabled for a command nobody
// handles) to one action, to the actions of one menu, or to every action and bound control.
void UpdateCommandAction(QAction& action);
void UpdateMenu(QMenu& menu);
void UpdateCommandUis();

// Runs the show hooks and then UpdateMenu every time `menu` is about to show. The pointer
// may rest on the menu's disabled items too, so every item's prompt (its action's status
// tip) reaches the status bar.
void WatchMenu(QMenu* menu);
// Hooks run before a watched menu shows, in the order added. Returns a handle for removal.
int AddMenuShowHook(std::function<void(QMenu& menu)> hook);
void RemoveMenuShowHook(int handle);
// Deletes the items of `menu` (not of its submenus) that carry command `id`; true when one went.
bool RemoveMenuItemByCommand(QMenu& menu, std::uint32_t id);

// A control of a bar (a static text, an icon, a button) that takes part in the idle update
// under command id: it gets the enabled state and the text an update handler set. As the
// class library did, a push button whose command nobody handles goes grey; other controls
// never do by themselves.
void BindCommandWidget(std::uint32_t id, QWidget* widget);
void UnbindCommandWidget(QWidget* widget);

// Used by the UI layer: made at start-up, dropped before the application object goes.
void CreateCommandActions();
void DestroyCommandActions();

}  // namespace platform
