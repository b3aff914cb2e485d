// Whether a press on something draggable becomes a drag, decided as the system's drag
// detection did: the pointer moving more than kDragDistance pixels from the press point in
// x or y, or the button staying down for kDragDelayMs, starts the drag; another press or
// release of the left or right button, or the Escape key, ends the wait without one. The
// window feeds it from its own mouse and key handlers (no nested loop) and the wait is
// timed with a window timer, so a test's manual timer service drives it.
#pragma once

#include <cstdint>
#include <functional>

#include <QPoint>

#include "platform/ui/core/WindowTimers.h"

namespace platform {

class DragGesture {
public:
    static constexpr int kDragDistance = 3;
    static constexpr std::uint32_t kDragDelayMs = 501;

    // onStart runs once when a wait turns into a drag.
    explicit DragGesture(std::function<void()> onStart);
    DragGesture(const DragGesture&) = delete;
    DragGesture& operator=(const DragGesture&) = delete;

    // Starts waiting after a press at pressPoint (any coordinates the moves use too).
    void Begin(QPoint pressPoint);
    bool IsWaiting() const { return m_waiting; }
    QPoint PressPoint() const { return m_pressPoint; }

    // A pointer move while waiting: far enough from the press point, the drag starts.
    void OnMove(QPoint point);
    // A button press or release, or Escape: the wait ends without a drag.
    void Cancel();

private:
    void Start();

    std::function<void()> m_onStart;
    bool m_waiting = false;
    QPoint m_pressPoint;
    WindowTimers m_timers;
};

}  // namespace platform
