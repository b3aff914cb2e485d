#include "platform/ui/core/DragGesture.h"

#include <cstdlib>

namespace platform {
namespace {

constexpr std::uint32_t kDelayTimer = 1;

}  // namespace

DragGesture::DragGesture(std::function<void()> onStart)
    : m_onStart(std::move(onStart)), m_timers([this](std::uint32_t) { Start(); })
{
}

void DragGesture::Begin(QPoint pressPoint)
{
    m_waiting = true;
    m_pressPoint = pressPoint;
    m_timers.Set(kDelayTimer, kDragDelayMs);
}

void DragGesture::OnMove(QPoint point)
{
    if (!m_waiting) {
        return;
    }
    const QPoint moved = point - m_pressPoint;
    if (std::abs(moved.x()) > kDragDistance || std::abs(moved.y()) > kDragDistance) {
        Start();
    }
}

void DragGesture::Cancel()
{
    m_waiting = false;
    m_timers.Kill(kDelayTimer);
}

void DragGesture::Start()
{
    if (!m_waiting) {
        return;
    }
    Cancel();
    if (m_onStart) {
        m_onStart();
    }
}

}  // namespace platform
