// Single events: reset modes, time-outs and wake-ups across threads.
#include "platform/base/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

// Long enough to catch a hang, never reached by a passing test.
constexpr auto kHangGuard = 10s;

TEST(Event, AutoResetIsConsumedByOneWait)
{
    Event event(ResetMode::Auto);
    event.Set();
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_FALSE(event.IsSignalled());
    EXPECT_FALSE(event.WaitFor(0ms));
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
    Event event(ResetMode::Manual);
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_TRUE(event.WaitFor(0ms));
    event.Wait();
    EXPECT_TRUE(event.IsSignalled());
    event.Reset();
    EXPECT_FALSE(event.WaitFor(0ms));
}

TEST(Event, StartsInTheRequestedState)
{
    Event on(ResetMode::Auto, true);
    Event off(ResetMode::Manual);
    EXPECT_TRUE(on.IsSignalled());
    EXPECT_FALSE(off.IsSignalled());
    EXPECT_EQ(on.Mode(), ResetMode::Auto);
    EXPECT_EQ(off.Mode(), ResetMode::Manual);
}

TEST(Event, ResetBeforeWaitLeavesItUnsignalled)
{
    Event event(ResetMode::Auto);
    event.Set();
    event.Reset();
    EXPECT_FALSE(event.WaitFor(0ms));
}

TEST(Event, WaitForTimesOutNoEarlierThanAsked)
{
    Event event(ResetMode::Manual);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.WaitFor(30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST(Event, NegativeTimeOutPollsOnce)
{
    Event event(ResetMode::Auto);
    EXPECT_FALSE(event.WaitFor(-5ms));
    event.Set();
    EXPECT_TRUE(event.WaitFor(-5ms));
}

TEST(Event, WaitWakesWhenAnotherThreadSets)
{
    Event event(ResetMode::Auto);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        event.Set();
    });
    EXPECT_TRUE(event.WaitFor(kHangGuard));
    setter.join();
    EXPECT_FALSE(event.IsSignalled());
}

TEST(Event, UnboundedWaitReturnsOnceSet)
{
    Event event(ResetMode::Manual);
    std::thread setter([&] { event.Set(); });
    event.Wait();
    setter.join();
    EXPECT_TRUE(event.IsSignalled());
}

TEST(Event, OneSetOfAnAutoEventReleasesExactlyOneWaiter)
{
    Event event(ResetMode::Auto);
    Event allWaiting(ResetMode::Manual);
    std::atomic<int> waiting{0};
    std::atomic<int> woken{0};
    constexpr int kWaiters = 4;
    std::thread waiters[kWaiters];
    for (auto& waiter : waiters) {
        waiter = std::thread([&] {
            if (++waiting == kWaiters) {
                allWaiting.Set();
            }
            if (event.WaitFor(300ms)) {
                ++woken;
            }
        });
    }
    ASSERT_TRUE(allWaiting.WaitFor(kHangGuard));
    event.Set();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(woken.load(), 1);
    EXPECT_FALSE(event.IsSignalled());
}

TEST(Event, ManualEventReleasesEveryWaiter)
{
    Event event(ResetMode::Manual);
    std::atomic<int> woken{0};
    std::thread waiters[3];
    for (auto& waiter : waiters) {
        waiter = std::thread([&] {
            if (event.WaitFor(kHangGuard)) {
                ++woken;
            }
        });
    }
    event.Set();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(woken.load(), 3);
}

}  // namespace
}  // namespace platform
