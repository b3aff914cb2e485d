// WaitAny: which event wins, which one is consumed, and when it gives up.
#include "platform/base/Event.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;

TEST(WaitAny, LowestSignalledIndexWins)
{
    Event a(ResetMode::Auto), b(ResetMode::Auto), c(ResetMode::Auto);
    c.Set();
    b.Set();
    EXPECT_EQ(WaitAny({&a, &b, &c}, 0ms), 1);
}

TEST(WaitAny, OnlyTheWinningAutoEventIsConsumed)
{
    Event a(ResetMode::Auto), b(ResetMode::Auto), c(ResetMode::Auto);
    a.Set();
    b.Set();
    c.Set();
    EXPECT_EQ(WaitAny({&a, &b, &c}, 0ms), 0);
    EXPECT_FALSE(a.IsSignalled());
    EXPECT_TRUE(b.IsSignalled());
    EXPECT_TRUE(c.IsSignalled());
    EXPECT_EQ(WaitAny({&a, &b, &c}, 0ms), 1);
    EXPECT_EQ(WaitAny({&a, &b, &c}, 0ms), 2);
    EXPECT_EQ(WaitAny({&a, &b, &c}, 0ms), kWaitTimedOut);
}

TEST(WaitAny, ManualWinnerStaysSignalledAndKeepsWinning)
{
    Event stop(ResetMode::Manual), work(ResetMode::Auto);
    stop.Set();
    work.Set();
    EXPECT_EQ(WaitAny({&stop, &work}, 0ms), 0);
    EXPECT_EQ(WaitAny({&stop, &work}, 0ms), 0);
    EXPECT_TRUE(stop.IsSignalled());
    EXPECT_TRUE(work.IsSignalled()) << "a losing event must keep its signal";
}

TEST(WaitAny, ManualEventLaterInTheListIsNotTouched)
{
    Event work(ResetMode::Auto), stop(ResetMode::Manual);
    work.Set();
    stop.Set();
    EXPECT_EQ(WaitAny({&work, &stop}, 0ms), 0);
    EXPECT_EQ(WaitAny({&work, &stop}, 0ms), 1);
    EXPECT_EQ(WaitAny({&work, &stop}, 0ms), 1);
}

TEST(WaitAny, ZeroTimeOutWithNothingSignalledTimesOut)
{
    Event a(ResetMode::Auto), b(ResetMode::Manual);
    EXPECT_EQ(WaitAny({&a, &b}, 0ms), kWaitTimedOut);
}

TEST(WaitAny, TimesOutNoEarlierThanAsked)
{
    Event a(ResetMode::Auto), b(ResetMode::Manual);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitAny({&a, &b}, 40ms), kWaitTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 40ms);
    EXPECT_FALSE(a.IsSignalled());
    EXPECT_FALSE(b.IsSignalled());
}

TEST(WaitAny, WakesForAnEventSetLaterOnAnotherThread)
{
    Event a(ResetMode::Auto), b(ResetMode::Auto), c(ResetMode::Auto);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        c.Set();
    });
    EXPECT_EQ(WaitAny({&a, &b, &c}, kHangGuard), 2);
    setter.join();
    EXPECT_FALSE(c.IsSignalled());
}

TEST(WaitAny, WithoutTimeOutWaitsUntilSet)
{
    Event a(ResetMode::Manual), b(ResetMode::Auto);
    std::thread setter([&] { b.Set(); });
    EXPECT_EQ(WaitAny({&a, &b}), 1);
    setter.join();
}

TEST(WaitAny, AcceptsASpan)
{
    std::array<Event, 3> events{Event(ResetMode::Auto), Event(ResetMode::Auto), Event(ResetMode::Auto)};
    std::vector<Event*> list{&events[0], &events[1], &events[2]};
    events[2].Set();
    EXPECT_EQ(WaitAny(list, 0ms), 2);
}

TEST(WaitAny, RefusesAnEmptyListOrANullEntry)
{
    Event a(ResetMode::Auto, true);
    EXPECT_EQ(WaitAny(std::span<Event* const>(), 0ms), kWaitInvalid);
    EXPECT_EQ(WaitAny({&a, nullptr}, 0ms), kWaitInvalid);
    EXPECT_TRUE(a.IsSignalled()) << "a refused wait consumes nothing";
}

TEST(WaitAny, SameEventTwiceIsConsumedOnce)
{
    Event a(ResetMode::Auto, true);
    EXPECT_EQ(WaitAny({&a, &a}, 0ms), 0);
    EXPECT_EQ(WaitAny({&a, &a}, 0ms), kWaitTimedOut);
}

// A producer sets an auto event many times; every Set the consumer sees is consumed once,
// and a stop event ends the loop. Nothing is lost or counted twice while the consumer
// keeps up, and the loop ends.
TEST(WaitAny, WorkerLoopEndsOnStopAndConsumesEachWakeOnce)
{
    Event stop(ResetMode::Manual), work(ResetMode::Auto), handled(ResetMode::Auto);
    int wakes = 0;
    std::thread worker([&] {
        for (;;) {
            const int which = WaitAny({&stop, &work}, kHangGuard);
            if (which != 1) {
                return;
            }
            ++wakes;
            handled.Set();
        }
    });
    for (int i = 0; i < 200; ++i) {
        work.Set();
        ASSERT_TRUE(handled.WaitFor(kHangGuard));
    }
    stop.Set();
    worker.join();
    EXPECT_EQ(wakes, 200);
}

}  // namespace
}  // namespace platform
