// The pauses between refused block writes: first pause, doubling, the longest pause, and
// starting afresh.
#include <gtest/gtest.h>

#include "device_manager/amplifier/BlockRetryBackoff.h"

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

TEST(BlockRetryBackoff, PausesDoubleUpToTheLongestAndOnlyRefusedBitsWait)
{
    BlockRetryBackoff backoff(1000ms, 30000ms);
    EXPECT_EQ(backoff.DueBits(0x30, 5), 0x30u);
    EXPECT_FALSE(backoff.NextDue(0x30).has_value());
    std::uint64_t now = 10'000;
    std::uint64_t expected = 1000;
    for (int refusal = 0; refusal < 8; ++refusal) {
        backoff.Refused(0x10, now);
        EXPECT_EQ(backoff.NextDue(0x30), now + expected) << refusal;
        EXPECT_EQ(backoff.DueBits(0x30, now + expected - 1), 0x20u);
        EXPECT_EQ(backoff.DueBits(0x30, now + expected), 0x30u);
        now += expected;
        expected = std::min<std::uint64_t>(expected * 2, 30000);
    }
    EXPECT_EQ(expected, 30000u);
}

TEST(BlockRetryBackoff, ForgettingStartsAfreshForThoseBitsOnly)
{
    BlockRetryBackoff backoff(1000ms, 30000ms);
    backoff.Refused(0x11, 0);
    backoff.Refused(0x11, 1000);
    backoff.Forget(0x01);
    EXPECT_EQ(backoff.DueBits(0x11, 1500), 0x01u);
    EXPECT_EQ(backoff.NextDue(0x11), 3000u);
    backoff.Refused(0x01, 1500);
    EXPECT_EQ(backoff.NextDue(0x01), 2500u);
    backoff.ForgetAll();
    EXPECT_EQ(backoff.DueBits(0x11, 0), 0x11u);
    EXPECT_FALSE(backoff.NextDue(~0ull).has_value());
}

}  // namespace
}  // namespace CobaltDeviceManager
