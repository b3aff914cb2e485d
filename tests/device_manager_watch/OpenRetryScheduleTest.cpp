// The pauses before a failed open is tried again, and the descriptor that brings the retry.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "device_manager/manager/OpenRetrySchedule.h"
#include "platform/devices/TimedEventSource.h"

using CobaltDeviceManager::OpenRetrySchedule;
using namespace std::chrono_literals;

namespace {

bool Readable(int fd, int timeoutMs)
{
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1;
}

}  // namespace

TEST(OpenRetrySchedule, PausesDoubleFromTheFirstUpToTheLongestAndEachKeyKeepsItsOwn)
{
    OpenRetrySchedule schedule(1000ms, 10000ms);
    const auto t0 = OpenRetrySchedule::Clock::time_point{};
    EXPECT_TRUE(schedule.IsDue(u"B", t0));
    EXPECT_FALSE(schedule.NextDue());
    auto now = t0;
    for (const auto pause : {1000ms, 2000ms, 4000ms, 8000ms, 10000ms, 10000ms}) {
        schedule.Failed(u"B", now);
        EXPECT_FALSE(schedule.IsDue(u"B", now + pause - 1ms));
        EXPECT_TRUE(schedule.IsDue(u"B", now + pause));
        now += pause;
    }
    schedule.Failed(u"C", t0);
    EXPECT_EQ(schedule.NextDue(), t0 + 1000ms);
    EXPECT_TRUE(schedule.AnyDue(t0 + 1000ms));
    EXPECT_EQ(schedule.Keys(), (std::vector<std::u16string>{u"B", u"C"}));
    schedule.KeepOnly({u"B"});
    EXPECT_EQ(schedule.Keys(), std::vector<std::u16string>{u"B"});
    schedule.Forget(u"B");
    schedule.Failed(u"B", t0);
    EXPECT_EQ(schedule.NextDue(), t0 + 1000ms);
}

TEST(TimedEventSource, IsReadableForAWatchedDescriptorARunOutTimerOrAWakeUpUntilTaken)
{
    auto source = platform::devices::TimedEventSource::Open();
    ASSERT_TRUE(source);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_TRUE(source->Watch(pipeFds[0]));
    EXPECT_TRUE(source->Watch(pipeFds[0]));
    EXPECT_FALSE(Readable(source->Fd(), 0));
    ASSERT_EQ(::write(pipeFds[1], "x", 1), 1);
    EXPECT_TRUE(Readable(source->Fd(), 5000));
    EXPECT_FALSE(source->TakeExpiry());
    char byte = 0;
    ASSERT_EQ(::read(pipeFds[0], &byte, 1), 1);

    source->Arm(0ms);
    EXPECT_TRUE(Readable(source->Fd(), 5000));
    EXPECT_TRUE(source->TakeExpiry());
    EXPECT_FALSE(Readable(source->Fd(), 0));
    source->Arm(20ms);
    source->Disarm();
    EXPECT_FALSE(Readable(source->Fd(), 100));
    source->Wake();
    source->Wake();
    EXPECT_TRUE(Readable(source->Fd(), 5000));
    EXPECT_TRUE(source->TakeWake());
    EXPECT_FALSE(source->TakeWake());
    EXPECT_FALSE(Readable(source->Fd(), 0));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}
