// The change protocol of one adjustable panel value. A change still in progress (a spin held
// down, a drag) is shown at once and kept pending; it is sent when the gesture ends (spin
// released, focus lost, Enter) or when a 150 ms settle timer fires after the last step made
// with the Up or Down arrow key held. So a gesture sends once, however many steps it made.
// Every panel, row and section view keeps its values in one of these and acts on what Set
// answers: Track (show the new value, mark the design modified, send nothing yet) or Send
// (mark the design modified and send now).
#pragma once

#include <cstdint>

namespace platform {
class Dialog;
}

enum class PendingAction {
    None,   // nothing to do
    Track,  // a new value within a gesture: show it, mark the design modified, do not send
    Send,   // the gesture ended with a change owed: mark the design modified, send it now
};

struct PendingStep {
    bool changed = false;  // the value is new (show it)
    PendingAction action = PendingAction::None;
};

class PendingValue {
public:
    static constexpr std::uint32_t kSettleMs = 150;

    // timerId: the owner's timer id for this value's settle timer.
    explicit PendingValue(std::uint32_t timerId, float value = 0.0f);

    float Value() const { return value_; }
    bool IsPending() const { return pending_; }
    std::uint32_t TimerId() const { return timerId_; }

    // A value read from the controller: shown as it is, nothing owed.
    void Reset(float value);

    // A new value: tracking while the gesture goes on, final when it ends. A new value is
    // stored and owed; an equal one only settles a debt when final.
    PendingStep Set(float value, bool tracking);

    // An up-down notice with the value of its new position: the thumb-position steps track,
    // end-scroll ends the gesture; other codes do nothing. A step made while the Up or Down
    // arrow key is held (re)starts the settle timer on owner.
    PendingStep OnSpin(platform::Dialog& owner, int code, float value);

    // The owner's timer timerId fired. False when it is not this value's timer; else the
    // timer is killed and step says whether a change is owed (Send) or not.
    bool OnTimer(platform::Dialog& owner, std::uint32_t timerId, PendingStep& step);

    // Settles a change that is still owed (Send), or nothing.
    PendingStep Flush();

private:
    float value_;
    bool pending_ = false;
    std::uint32_t timerId_;
};
