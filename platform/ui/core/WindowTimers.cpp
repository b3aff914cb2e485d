#include "platform/ui/core/WindowTimers.h"

#include <utility>

namespace platform {

WindowTimers::WindowTimers(Callback onTimer) : m_onTimer(std::move(onTimer)) {}

WindowTimers::~WindowTimers()
{
    KillAll();
}

void WindowTimers::Set(std::uint32_t timerId, std::uint32_t intervalMs)
{
    Kill(timerId);
    ITimerService& service = CurrentTimerService();
    const TimerHandle handle = service.Start(intervalMs, [this, timerId] {
        // A copy: the window (and these timers) may be destroyed by its own callback.
        Callback onTimer = m_onTimer;
        if (onTimer) {
            onTimer(timerId);
        }
    });
    if (handle != 0) {
        m_running[timerId] = Running{&service, handle};
    }
}

bool WindowTimers::Kill(std::uint32_t timerId)
{
    auto found = m_running.find(timerId);
    if (found == m_running.end()) {
        return false;
    }
    found->second.service->Cancel(found->second.handle);
    m_running.erase(found);
    return true;
}

void WindowTimers::KillAll()
{
    for (const auto& [timerId, running] : m_running) {
        running.service->Cancel(running.handle);
    }
    m_running.clear();
}

}  // namespace platform
