// The real timer service: one QTimer per running timer, on the UI thread, and the steady
// clock of the platform layer.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/core/TimerService.h"

class QTimer;

namespace platform {

class QtTimerService final : public ITimerService {
public:
    QtTimerService();
    ~QtTimerService() override;

    TimerHandle Start(std::uint32_t intervalMs, std::function<void()> fire) override;
    void Cancel(TimerHandle timer) override;
    std::uint64_t NowMs() const override;

private:
    struct Running;

    void BuryCancelled();

    std::map<TimerHandle, std::unique_ptr<Running>> m_timers;
    // Cancelled timers wait here while a callback runs: a QTimer is not deleted from inside
    // its own timeout signal.
    std::vector<std::unique_ptr<Running>> m_cancelled;
    int m_firing = 0;  // callbacks running (nested event loops may stack them)
    TimerHandle m_next = 1;
};

}  // namespace platform
