// Timers and the clock of the UI, behind one interface so that tests run them by hand: the
// real service uses Qt timers and the steady clock; the manual one (ManualTimerService)
// fires only when a test advances it. A process-wide current service serves every window;
// tests swap it with ScopedTimerService.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// 0 names no timer.
using TimerHandle = std::uint64_t;

// The shortest period a timer runs at, as the system had it; shorter requests are raised.
inline constexpr std::uint32_t kMinTimerIntervalMs = 10;

class ITimerService {
public:
    virtual ~ITimerService() = default;
    // Calls `fire` on the UI thread every `intervalMs` (periodic, like the system's window
    // timers) until cancelled. `fire` may start and cancel timers, its own included.
    virtual TimerHandle Start(std::uint32_t intervalMs, std::function<void()> fire) = 0;
    // Unknown or already cancelled handles are ignored.
    virtual void Cancel(TimerHandle timer) = 0;
    // Milliseconds on a steady clock; the manual service's clock moves only when advanced.
    virtual std::uint64_t NowMs() const = 0;
};

// The service windows use now: the one a ScopedTimerService installed, else the real one of
// the UI layer.
ITimerService& CurrentTimerService();
// CurrentTimerService().NowMs().
std::uint64_t UiNowMs();

// Installs `service` as the current one for its lifetime (nests; restores the previous one).
class ScopedTimerService {
public:
    explicit ScopedTimerService(ITimerService& service);
    ~ScopedTimerService();
    ScopedTimerService(const ScopedTimerService&) = delete;
    ScopedTimerService& operator=(const ScopedTimerService&) = delete;

private:
    ITimerService* m_previous;
};

// Used by the UI layer to install its real service; null removes it.
void SetDefaultTimerService(ITimerService* service);

}  // namespace platform
