#include "platform/ui/core/QtTimerService.h"

#include <algorithm>
#include <utility>

#include <QTimer>

#include "platform/base/Clock.h"

namespace platform {

struct QtTimerService::Running {
    QTimer timer;
    std::function<void()> fire;
};

QtTimerService::QtTimerService() = default;

QtTimerService::~QtTimerService() = default;

TimerHandle QtTimerService::Start(std::uint32_t intervalMs, std::function<void()> fire)
{
    BuryCancelled();
    const TimerHandle handle = m_next++;
    auto running = std::make_unique<Running>();
    running->fire = std::move(fire);
    running->timer.setInterval(static_cast<int>(std::max(intervalMs, kMinTimerIntervalMs)));
    QObject::connect(&running->timer, &QTimer::timeout, [this, handle] {
        auto found = m_timers.find(handle);
        if (found == m_timers.end()) {
            return;
        }
        // A copy: the callback may cancel this timer.
        std::function<void()> fire = found->second->fire;
        ++m_firing;
        fire();
        --m_firing;
    });
    running->timer.start();
    m_timers.emplace(handle, std::move(running));
    return handle;
}

void QtTimerService::Cancel(TimerHandle timer)
{
    auto found = m_timers.find(timer);
    if (found != m_timers.end()) {
        found->second->timer.stop();
        m_cancelled.push_back(std::move(found->second));
        m_timers.erase(found);
    }
    BuryCancelled();
}

void QtTimerService::BuryCancelled()
{
    if (m_firing == 0) {
        m_cancelled.clear();
    }
}

std::uint64_t QtTimerService::NowMs() const
{
    return TickCountMs();
}

}  // namespace platform
