// A timer service for tests: time stands still until Advance moves it, and every timer that
// falls due on the way fires in time order, each with the clock set to its due time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "platform/ui/core/TimerService.h"

namespace platform {

class ManualTimerService final : public ITimerService {
public:
    explicit ManualTimerService(std::uint64_t startMs = 1'000'000);

    TimerHandle Start(std::uint32_t intervalMs, std::function<void()> fire) override;
    void Cancel(TimerHandle timer) override;
    std::uint64_t NowMs() const override { return m_now; }

    // Moves the clock forward by `ms`, firing due timers in order of due time (then of
    // starting). Timers started or restarted by a callback fire too when they fall due
    // within the advance. Returns how many callbacks ran.
    std::size_t Advance(std::uint64_t ms);

    std::size_t ActiveCount() const { return m_timers.size(); }
    bool IsActive(TimerHandle timer) const { return m_timers.count(timer) != 0; }
    std::optional<std::uint32_t> IntervalMs(TimerHandle timer) const;

private:
    struct Timer {
        std::uint32_t intervalMs;
        std::uint64_t dueMs;
        std::function<void()> fire;
    };

    std::map<TimerHandle, Timer> m_timers;  // handles grow with every start, so they order starts
    TimerHandle m_next = 1;
    std::uint64_t m_now;
};

}  // namespace platform
