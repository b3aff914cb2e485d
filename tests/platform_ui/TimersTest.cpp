// Timers by id on the manual timer service: restart instead of doubling, periodic runs,
// kills, and timers started from inside a callback.
#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/WindowTimers.h"

using namespace platform;

namespace {

struct Fired {
    std::uint32_t id;
    std::uint64_t at;
    friend bool operator==(const Fired&, const Fired&) = default;
};

}  // namespace

TEST(WindowTimers, SettingAnIdAgainRestartsItInsteadOfAddingASecondTimer)
{
    ManualTimerService service(0);
    ScopedTimerService install(service);
    std::vector<Fired> fired;
    WindowTimers timers([&](std::uint32_t id) { fired.push_back({id, service.NowMs()}); });

    timers.Set(1, 150);
    service.Advance(100);
    timers.Set(1, 150);
    EXPECT_EQ(service.ActiveCount(), 1u);
    service.Advance(149);
    EXPECT_TRUE(fired.empty());
    service.Advance(1);
    EXPECT_EQ(fired, (std::vector<Fired>{{1, 250}}));
    // Periodic until killed.
    service.Advance(300);
    EXPECT_EQ(fired, (std::vector<Fired>{{1, 250}, {1, 400}, {1, 550}}));
    EXPECT_TRUE(timers.Kill(1));
    EXPECT_FALSE(timers.Kill(1));
    service.Advance(1000);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_EQ(service.NowMs(), 1550u);
}

TEST(WindowTimers, TimersFireInTimeOrderIncludingOnesStartedByACallback)
{
    ManualTimerService service(0);
    ScopedTimerService install(service);
    std::vector<Fired> fired;
    WindowTimers* self = nullptr;
    WindowTimers timers([&](std::uint32_t id) {
        fired.push_back({id, service.NowMs()});
        if (id == 1) {
            // The one-shot pattern: kill itself, start another.
            self->Kill(1);
            self->Set(3, 30);
        }
    });
    self = &timers;
    timers.Set(2, 100);
    timers.Set(1, 50);
    EXPECT_EQ(service.Advance(120), 4u);
    EXPECT_EQ(fired, (std::vector<Fired>{{1, 50}, {3, 80}, {2, 100}, {3, 110}}));
    EXPECT_EQ(service.NowMs(), 120u);
    // A period shorter than the system's minimum is raised to it.
    const TimerHandle quick = service.Start(1, [] {});
    EXPECT_EQ(service.IntervalMs(quick), kMinTimerIntervalMs);
    service.Cancel(quick);
}

TEST(WindowTimers, DestroyingTheOwnerKillsItsTimers)
{
    ManualTimerService service(0);
    ScopedTimerService install(service);
    int fired = 0;
    {
        WindowTimers timers([&](std::uint32_t) { ++fired; });
        timers.Set(1, 10);
        timers.Set(2, 20);
    }
    EXPECT_EQ(service.ActiveCount(), 0u);
    service.Advance(100);
    EXPECT_EQ(fired, 0);
}
