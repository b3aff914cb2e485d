// Telling a drag from a click after a button press, without a nested event loop: the press
// starts a wait; the pointer leaving a square of 3 pixels around the press point (screen
// coordinates), or 501 ms passing on the UI clock, starts the drag; another button press or
// release, or the Escape key, ends the wait without one. The owner feeds it the events and
// the clock; it answers what became of the wait.
#pragma once

#include <cstdint>

#include <QPoint>

class DragGesture {
public:
    // The pointer stays within the square while it is less than this far in x and in y.
    static constexpr int kSlopPixels = 3;
    static constexpr std::uint64_t kDelayMs = 501;

    enum class Outcome {
        None,       // no wait, or the wait goes on
        Started,    // the drag starts now
        Cancelled,  // the wait ended without a drag
    };

    // A press at screenPoint, at nowMs on the UI clock.
    void Begin(QPoint screenPoint, std::uint64_t nowMs);
    // The pointer moved (button still down).
    Outcome OnMove(QPoint screenPoint, std::uint64_t nowMs);
    // The clock moved on (the owner's timer fired).
    Outcome OnTime(std::uint64_t nowMs);
    // A button press or release, Escape, or the loss of the mouse: no drag.
    Outcome Cancel();

    bool IsWaiting() const { return waiting_; }
    QPoint PressPoint() const { return pressPoint_; }
    std::uint64_t PressTimeMs() const { return pressMs_; }

private:
    Outcome Start();

    bool waiting_ = false;
    QPoint pressPoint_;
    std::uint64_t pressMs_ = 0;
};
