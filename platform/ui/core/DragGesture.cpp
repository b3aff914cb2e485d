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
    if (std::abs(point.x() - m_pressPoint.x()) > kDragDistance || std::abs(point.y() - m_pressPoint.y()) > kDragDistance) {
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
