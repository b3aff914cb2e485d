#include "dsp_blocks/ui/PendingValue.h"

#include <Qt>

#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/core/KeyState.h"

PendingValue::PendingValue(std::uint32_t timerId, float value) : value_(value), timerId_(timerId) {}

void PendingValue::Reset(float value)
{
    value_ = value;
    pending_ = false;
}

PendingStep PendingValue::Set(float value, bool tracking)
{
    PendingStep step;
    if (value != value_) {
        value_ = value;
        pending_ = true;
        step.changed = true;
    } else if (tracking || !pending_) {
        return step;
    }
    if (tracking) {
        step.action = PendingAction::Track;
        return step;
    }
    pending_ = false;
    step.action = PendingAction::Send;
    return step;
}

PendingStep PendingValue::OnSpin(platform::Dialog& owner, int code, float value)
{
    if (code != platform::ScrollCode::kThumbPosition && code != platform::ScrollCode::kEndScroll) {
        return {};
    }
    const bool tracking = code == platform::ScrollCode::kThumbPosition;
    const PendingStep step = Set(value, tracking);
    if (tracking && (platform::IsKeyDown(Qt::Key_Up) || platform::IsKeyDown(Qt::Key_Down))) {
        owner.SetTimer(timerId_, kSettleMs);
    }
    return step;
}

bool PendingValue::OnTimer(platform::Dialog& owner, std::uint32_t timerId, PendingStep& step)
{
    if (timerId != timerId_) {
        return false;
    }
    owner.KillTimer(timerId_);
    step = Flush();
    return true;
}

PendingStep PendingValue::Flush()
{
    return Set(value_, false);
}
