// The timers of one window, by id, as the system's SetTimer and KillTimer gave them: a timer
// is periodic until killed; setting an id that runs already restarts it with the new
// period (it never runs twice). Callbacks come on the UI thread through the timer service
// that was current when the timer was set.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/ui/core/TimerService.h"

namespace platform {

class WindowTimers {
public:
    using Callback = std::function<void(std::uint32_t timerId)>;

    explicit WindowTimers(Callback onTimer);
    // Kills every timer of the window.
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    // Starts (or restarts) timer `timerId` with a period of `intervalMs`.
    void Set(std::uint32_t timerId, std::uint32_t intervalMs);
    // False when the timer was not running.
    bool Kill(std::uint32_t timerId);
    void KillAll();
    bool IsSet(std::uint32_t timerId) const { return m_running.count(timerId) != 0; }

private:
    struct Running {
        ITimerService* service;
        TimerHandle handle;
    };

    Callback m_onTimer;
    std::map<std::uint32_t, Running> m_running;
};

}  // namespace platform
