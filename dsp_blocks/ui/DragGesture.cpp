#include "dsp_blocks/ui/DragGesture.h"

#include <cstdlib>

void DragGesture::Begin(QPoint screenPoint, std::uint64_t nowMs)
{
    waiting_ = true;
    pressPoint_ = screenPoint;
    pressMs_ = nowMs;
}

DragGesture::Outcome DragGesture::OnMove(QPoint screenPoint, std::uint64_t nowMs)
{
    if (!waiting_) {
        return Outcome::None;
    }
    const QPoint moved = screenPoint - pressPoint_;
    if (std::abs(moved.x()) >= kSlopPixels || std::abs(moved.y()) >= kSlopPixels) {
        return Start();
    }
    return OnTime(nowMs);
}

DragGesture::Outcome DragGesture::OnTime(std::uint64_t nowMs)
{
    if (!waiting_) {
        return Outcome::None;
    }
    // A clock that went backwards is not time passing.
    if (nowMs >= pressMs_ && nowMs - pressMs_ >= kDelayMs) {
        return Start();
    }
    return Outcome::None;
}

DragGesture::Outcome DragGesture::Cancel()
{
    if (!waiting_) {
        return Outcome::None;
    }
    waiting_ = false;
    return Outcome::Cancelled;
}

DragGesture::Outcome DragGesture::Start()
{
    waiting_ = false;
    return Outcome::Started;
}
