#include "platform/ui/core/PopupMenu.h"

#include <QAction>
#include <QMenu>

#include "platform/ui/core/CommandActions.h"

namespace platform {
namespace {

IPopupMenuHook*& CurrentHook()
{
    static IPopupMenuHook* hook = nullptr;
    return hook;
}

QAction* FindCommand(QMenu& menu, std::uint32_t id)
{
    for (QAction* action : menu.actions()) {
        if (ActionCommandId(action) == id) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

ScopedPopupMenuHook::ScopedPopupMenuHook(IPopupMenuHook& hook) : m_previous(CurrentHook())
{
    CurrentHook() = &hook;
}

ScopedPopupMenuHook::~ScopedPopupMenuHook()
{
    CurrentHook() = m_previous;
}

std::uint32_t TrackPopupMenu(QMenu& menu, QPoint screenPoint)
{
    IPopupMenuHook* hook = CurrentHook();
    if (hook == nullptr) {
        // The picked action's trigger sends its command.
        return ActionCommandId(menu.exec(screenPoint));
    }
    // What a showing menu goes through: its show hooks (when watched), then the update handlers.
    emit menu.aboutToShow();
    UpdateMenu(menu);
    const std::uint32_t id = hook->OnPopupMenu(menu, screenPoint);
    QAction* action = id != 0 ? FindCommand(menu, id) : nullptr;
    if (action == nullptr || !action->isEnabled()) {
        return 0;
    }
    action->trigger();
    return id;
}

}  // namespace platform
