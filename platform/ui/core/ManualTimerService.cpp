#include "platform/ui/core/ManualTimerService.h"

#include <algorithm>
#include <utility>

namespace platform {

ManualTimerService::ManualTimerService(std::uint64_t startMs) : m_now(startMs) {}

TimerHandle ManualTimerService::Start(std::uint32_t intervalMs, std::function<void()> fire)
{
    intervalMs = std::max(intervalMs, kMinTimerIntervalMs);
    const TimerHandle handle = m_next++;
    m_timers.emplace(handle, Timer{intervalMs, m_now + intervalMs, std::move(fire)});
    return handle;
}

void ManualTimerService::Cancel(TimerHandle timer)
{
    m_timers.erase(timer);
}

std::optional<std::uint32_t> ManualTimerService::IntervalMs(TimerHandle timer) const
{
    auto found = m_timers.find(timer);
    if (found == m_timers.end()) {
        return std::nullopt;
    }
    return found->second.intervalMs;
}

std::size_t ManualTimerService::Advance(std::uint64_t ms)
{
    const std::uint64_t end = m_now + ms;
    std::size_t fired = 0;
    for (;;) {
        auto due = m_timers.end();
        for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
            if (it->second.dueMs <= end && (due == m_timers.end() || it->second.dueMs < due->second.dueMs)) {
                due = it;
            }
        }
        if (due == m_timers.end()) {
            break;
        }
        m_now = due->second.dueMs;
        due->second.dueMs += due->second.intervalMs;
        // A copy: the callback may cancel its own timer.
        std::function<void()> fire = due->second.fire;
        fire();
        ++fired;
    }
    m_now = end;
    return fired;
}

}  // namespace platform
