// The current timer service.
#include "platform/ui/core/TimerService.h"

#include <cassert>

#include "platform/base/Clock.h"

namespace platform {
namespace {

// Without any installed service (no UI layer yet) timers cannot run; the clock still can.
class NoTimerService final : public ITimerService {
public:
    TimerHandle Start(std::uint32_t, std::function<void()>) override
    {
        assert(false && "timers need the UI layer or a ScopedTimerService");
        return 0;
    }
    void Cancel(TimerHandle) override {}
    std::uint64_t NowMs() const override { return TickCountMs(); }
};

// UI thread only, like the timers themselves.
ITimerService* g_installed = nullptr;
ITimerService* g_default = nullptr;

}  // namespace

ITimerService& CurrentTimerService()
{
    static NoTimerService none;
    if (g_installed != nullptr) {
        return *g_installed;
    }
    return g_default != nullptr ? *g_default : none;
}

std::uint64_t UiNowMs()
{
    return CurrentTimerService().NowMs();
}

ScopedTimerService::ScopedTimerService(ITimerService& service) : m_previous(g_installed)
{
    g_installed = &service;
}

ScopedTimerService::~ScopedTimerService()
{
    g_installed = m_previous;
}

void SetDefaultTimerService(ITimerService* service)
{
    g_default = service;
}

}  // namespace platform
