// Steady-clock helpers.
#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(Clock, TickCountNeverGoesBack)
{
    std::uint64_t last = TickCountMs();
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t now = TickCountMs();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(Clock, SleepLastsAtLeastTheGivenTime)
{
    const std::uint64_t start = TickCountMs();
    SleepMs(25);
    EXPECT_GE(ElapsedMs(start), 24u);  // whole milliseconds on both ends
}

TEST(Clock, ElapsedFromTheFutureIsZero)
{
    EXPECT_EQ(ElapsedMs(TickCountMs() + 100000), 0u);
}

TEST(Clock, ZeroDeadlineHasExpired)
{
    const Deadline deadline(0ms);
    EXPECT_TRUE(deadline.Expired());
    EXPECT_EQ(deadline.Remaining(), 0ms);
}

TEST(Clock, NegativeDeadlineCountsAsNow)
{
    const Deadline deadline(-50ms);
    EXPECT_TRUE(deadline.Expired());
    EXPECT_EQ(deadline.Remaining(), 0ms);
}

TEST(Clock, DeadlineExpiresAfterItsTime)
{
    const Deadline deadline(20ms);
    EXPECT_LE(deadline.Remaining(), 20ms);
    SleepMs(25);
    EXPECT_TRUE(deadline.Expired());
}

TEST(Clock, HugeDeadlineDoesNotOverflow)
{
    const Deadline deadline(std::chrono::milliseconds::max());
    EXPECT_FALSE(deadline.Expired());
    EXPECT_GT(deadline.Remaining(), std::chrono::milliseconds(std::chrono::hours(24)));
}

}  // namespace
}  // namespace platform
