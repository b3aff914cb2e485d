// Notices that controls give their parent window, as plain virtual calls: the parent of a
// control (a dialog, a panel, a custom window) implements the ones it cares about. The
// scroll codes and the owner-draw state record are the system's.
#pragma once

#include <cstdint>

#include <QRect>

class QPainter;
class QWidget;

namespace platform {

// Scroll codes of up-down controls and trackbars (the system's SB_ and TB_ values).
namespace ScrollCode {
inline constexpr int kLineUp = 0;
inline constexpr int kLineDown = 1;
inline constexpr int kPageUp = 2;
inline constexpr int kPageDown = 3;
inline constexpr int kThumbPosition = 4;
inline constexpr int kThumbTrack = 5;
inline constexpr int kTop = 6;
inline constexpr int kBottom = 7;
inline constexpr int kEndScroll = 8;  // also the trackbar's end-track
}  // namespace ScrollCode

// What an owner-drawn control is to draw: its rectangle (control coordinates) and state.
struct DrawItemState {
    std::int32_t controlId = 0;
    QRect rect;
    bool selected = false;  // pressed
    bool focused = false;
    bool disabled = false;
    bool hot = false;       // under the mouse
    bool checked = false;
};

class IControlNotify {
public:
    virtual ~IControlNotify() = default;

    // A button was clicked (check boxes and radio buttons too), or a command came from a
    // control. Dialogs turn id 1 into OK and id 2 into Cancel.
    virtual void OnCommand(std::int32_t id) { static_cast<void>(id); }
    // The text of an edit changed (also when set by code, as the system reported it).
    virtual void OnEditChanged(std::int32_t id) { static_cast<void>(id); }
    virtual void OnEditKillFocus(std::int32_t id) { static_cast<void>(id); }
    // The user chose an item of a combo box (not when code sets the selection).
    virtual void OnComboSelChange(std::int32_t id) { static_cast<void>(id); }
    // The user changed the selection of a list box (not when code sets it).
    virtual void OnListSelChange(std::int32_t id) { static_cast<void>(id); }
    // Up-down control: kThumbPosition once per step (at the limit too) and kEndScroll at
    // the release of the mouse button or the arrow key.
    virtual void OnSpinScroll(std::int32_t id, int code, int position)
    {
        static_cast<void>(id), static_cast<void>(code), static_cast<void>(position);
    }
    // Trackbar: one ScrollCode per move, kEndScroll (end-track) when the key or button goes up.
    virtual void OnTrackbarScroll(std::int32_t id, int code, int position)
    {
        static_cast<void>(id), static_cast<void>(code), static_cast<void>(position);
    }
    // The trackbar let the mouse go (after a press on it).
    virtual void OnTrackbarReleasedCapture(std::int32_t id) { static_cast<void>(id); }
    // An owner-drawn control (button or static) without a draw hook of its own asks its
    // parent to draw it.
    virtual void OnDrawItem(std::int32_t id, QPainter& painter, const DrawItemState& state)
    {
        static_cast<void>(id), static_cast<void>(painter), static_cast<void>(state);
    }
};

// The parent of `control` when it takes notices; null otherwise (also while the parent is
// being destroyed).
IControlNotify* NotifyTargetOf(const QWidget* control);

}  // namespace platform
