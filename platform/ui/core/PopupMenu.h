// Context menus, as the system's TrackPopupMenu gave them: a popup shown at a screen point
// until the user picks an item or dismisses it. Items are command actions, so a pick sends
// its command through the command chain (a command its update handler disables does not
// run). While a test has installed a hook, the hook picks instead of a user.
#pragma once

#include <cstdint>

#include <QPoint>

class QMenu;

namespace platform {

class IPopupMenuHook {
public:
    virtual ~IPopupMenuHook() = default;
    // The popup as it would show, its show hooks and update handlers applied; returns the
    // command to pick, 0 for none.
    virtual std::uint32_t OnPopupMenu(QMenu& menu, QPoint screenPoint) = 0;
};

// Installs `hook` for its lifetime (nests; restores the previous one).
class ScopedPopupMenuHook {
public:
    explicit ScopedPopupMenuHook(IPopupMenuHook& hook);
    ~ScopedPopupMenuHook();
    ScopedPopupMenuHook(const ScopedPopupMenuHook&) = delete;
    ScopedPopupMenuHook& operator=(const ScopedPopupMenuHook&) = delete;

private:
    IPopupMenuHook* m_previous;
};

// Shows `menu` with its top-left corner at `screenPoint` and waits until it closes. Returns
// the command that was picked and sent (0 when none was, or when the pick was disabled).
std::uint32_t TrackPopupMenu(QMenu& menu, QPoint screenPoint);

}  // namespace platform
