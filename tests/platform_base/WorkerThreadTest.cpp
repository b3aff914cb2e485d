// WorkerThread: flags, stop and join from anywhere and more than once, suspended start.
#include "platform/base/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;

TEST(WorkerThread, RunsTheBodyAndReportsStartedAndFinished)
{
    WorkerThread worker;
    Event inside(ResetMode::Manual);
    EXPECT_FALSE(worker.Launched());
    EXPECT_FALSE(worker.Started());
    ASSERT_TRUE(worker.Start([&](Event& stop) {
        inside.Set();
        stop.WaitFor(kHangGuard);
    }));
    ASSERT_TRUE(inside.WaitFor(kHangGuard));
    EXPECT_TRUE(worker.Launched());
    EXPECT_TRUE(worker.Started());
    EXPECT_FALSE(worker.Finished());
    EXPECT_TRUE(worker.StopAndJoin());
    EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, StopAndJoinTwiceIsSafe)
{
    WorkerThread worker;
    ASSERT_TRUE(worker.Start([](Event& stop) { stop.WaitFor(kHangGuard); }));
    EXPECT_TRUE(worker.StopAndJoin());
    EXPECT_TRUE(worker.StopAndJoin());
    EXPECT_TRUE(worker.Join());
    worker.RequestStop();
    EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, JoinWithoutStartReturnsAtOnce)
{
    WorkerThread worker;
    EXPECT_TRUE(worker.Join());
    EXPECT_TRUE(worker.StopAndJoin());
    EXPECT_FALSE(worker.Finished());
}

TEST(WorkerThread, StartsOnlyOnce)
{
    WorkerThread worker;
    ASSERT_TRUE(worker.Start([](Event&) {}));
    EXPECT_FALSE(worker.Start([](Event&) {}));
    EXPECT_TRUE(worker.Join());
}

TEST(WorkerThread, RefusesAnEmptyBody)
{
    WorkerThread worker;
    EXPECT_FALSE(worker.Start(WorkerThread::Body()));
    EXPECT_FALSE(worker.Launched());
}

TEST(WorkerThread, StopAndJoinFromTheWorkerItselfReturnsWithoutWaiting)
{
    WorkerThread worker;
    std::atomic<int> firstJoin{-1};
    std::atomic<int> secondJoin{-1};
    std::atomic<bool> sawStop{false};
    std::atomic<bool> isWorker{false};
    ASSERT_TRUE(worker.Start([&](Event& stop) {
        isWorker = worker.IsWorkerThread();
        firstJoin = worker.StopAndJoin() ? 1 : 0;
        secondJoin = worker.Join() ? 1 : 0;
        sawStop = stop.IsSignalled();
    }));
    EXPECT_TRUE(worker.Join());
    EXPECT_TRUE(isWorker.load());
    EXPECT_FALSE(worker.IsWorkerThread());
    EXPECT_EQ(firstJoin.load(), 0);
    EXPECT_EQ(secondJoin.load(), 0);
    EXPECT_TRUE(sawStop.load());
}

TEST(WorkerThread, DestroyedOnItsOwnThreadRunsToTheEnd)
{
    auto worker = std::make_unique<WorkerThread>();
    Event destroyed(ResetMode::Manual);
    Event bodyEnded(ResetMode::Manual);
    WorkerThread* raw = worker.get();
    std::atomic<bool> stopSeenAfterDestruction{false};
    Event release(ResetMode::Manual);
    ASSERT_TRUE(raw->Start([&](Event& stop) {
        release.WaitFor(kHangGuard);
        worker.reset();  // destroys the WorkerThread on its own thread
        destroyed.Set();
        stopSeenAfterDestruction = stop.IsSignalled();  // the stop event outlives its owner
        bodyEnded.Set();
    }));
    release.Set();
    ASSERT_TRUE(bodyEnded.WaitFor(kHangGuard));
    EXPECT_TRUE(destroyed.IsSignalled());
    EXPECT_TRUE(stopSeenAfterDestruction.load());
}

TEST(WorkerThread, DestructorStopsAndJoinsARunningThread)
{
    std::atomic<bool> ended{false};
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.Start([&](Event& stop) {
            stop.WaitFor(kHangGuard);
            ended = true;
        }));
    }
    EXPECT_TRUE(ended.load());
}

TEST(WorkerThread, SuspendedThreadStoppedBeforeResumeSeesTheStop)
{
    WorkerThread worker;
    std::atomic<bool> stopAtEntry{false};
    ASSERT_TRUE(worker.Start([&](Event& stop) { stopAtEntry = stop.IsSignalled(); },
                             WorkerThread::StartMode::Suspended));
    EXPECT_TRUE(worker.Launched());
    EXPECT_FALSE(worker.Started());
    worker.RequestStop();
    worker.Resume();
    EXPECT_TRUE(worker.Join());
    EXPECT_TRUE(worker.Started());
    EXPECT_TRUE(stopAtEntry.load());
}

TEST(WorkerThread, JoinLetsASuspendedThreadRun)
{
    WorkerThread worker;
    std::atomic<bool> ran{false};
    ASSERT_TRUE(worker.Start([&](Event&) { ran = true; }, WorkerThread::StartMode::Suspended));
    EXPECT_TRUE(worker.StopAndJoin());
    EXPECT_TRUE(ran.load());
}

TEST(WorkerThread, DestroyingASuspendedThreadEndsIt)
{
    std::atomic<bool> stopAtEntry{false};
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.Start([&](Event& stop) { stopAtEntry = stop.IsSignalled(); },
                                 WorkerThread::StartMode::Suspended));
    }
    EXPECT_TRUE(stopAtEntry.load());
}

TEST(WorkerThread, ExceptionInTheBodyStaysOnTheThread)
{
    WorkerThread worker;
    ASSERT_TRUE(worker.Start([](Event&) { throw std::runtime_error("body failed"); }));
    EXPECT_TRUE(worker.Join());
    EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, TwoThreadsJoiningTogetherBothReturnAfterTheEnd)
{
    WorkerThread worker;
    Event release(ResetMode::Manual);
    std::atomic<bool> ended{false};
    ASSERT_TRUE(worker.Start([&](Event& stop) {
        WaitAny({&stop, &release}, kHangGuard);
        release.WaitFor(kHangGuard);
        ended = true;
    }));
    std::atomic<int> joinedAfterEnd{0};
    auto joiner = [&] {
        if (worker.StopAndJoin() && ended.load()) {
            ++joinedAfterEnd;
        }
    };
    std::thread first(joiner);
    std::thread second(joiner);
    std::this_thread::sleep_for(20ms);
    release.Set();
    first.join();
    second.join();
    EXPECT_EQ(joinedAfterEnd.load(), 2);
}

TEST(WorkerThread, SharedStopEventIsTheOneTheBodySees)
{
    auto stopEvent = std::make_shared<Event>(ResetMode::Manual);
    WorkerThread worker(stopEvent);
    EXPECT_EQ(&worker.StopEvent(), stopEvent.get());
    std::atomic<bool> stopped{false};
    ASSERT_TRUE(worker.Start([&](Event& stop) { stopped = stop.WaitFor(kHangGuard); }));
    stopEvent->Set();
    EXPECT_TRUE(worker.Join());
    EXPECT_TRUE(stopped.load());
}

}  // namespace
}  // namespace platform
