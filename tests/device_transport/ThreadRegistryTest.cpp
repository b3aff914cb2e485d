// The thread registry: who started whom, finishing, deleting.
#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "device_library/src/transport/ThreadRegistry.h"

namespace {

using namespace QuarryDriver;

TEST(ThreadRegistry, StartedThreadRunsItsBodyAndFinishes)
{
    std::atomic<int> ran{0};
    ThreadHandle thread = StartThread([&] { ran = 1; });
    ASSERT_NE(thread, nullptr);
    WaitAndDeleteThread(thread);
    EXPECT_EQ(ran, 1);
}

TEST(ThreadRegistry, WaitAndDeleteTellsWhetherTheThreadIsGone)
{
    EXPECT_TRUE(WaitAndDeleteThread(nullptr));
    ThreadHandle thread = StartThread([] {});
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(WaitAndDeleteThread(thread));
    EXPECT_FALSE(DeleteThread(thread));
}

TEST(ThreadRegistry, AFinishedParentIsDeletedWhileItsChildRuns)
{
    std::atomic<ThreadHandle> child{nullptr};
    std::atomic<bool> release{false};
    ThreadHandle parent = StartThread([&] {
        child = StartThread([&] {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    });
    ASSERT_NE(parent, nullptr);
    while (!IsThreadFinished(parent)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_NE(child.load(), nullptr);
    EXPECT_TRUE(DeleteThread(parent));
    EXPECT_FALSE(DeleteThread(child));  // still running
    release = true;
    WaitAndDeleteThread(child);
}

TEST(ThreadRegistry, AStartedThreadFindsItsOwnRecord)
{
    std::atomic<bool> release{false};
    std::atomic<ThreadHandle> seen{nullptr};
    std::atomic<bool> recorded{false};
    ThreadHandle thread = StartThread([&] {
        seen = CurrentThread();
        recorded = true;
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!recorded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(seen.load(), thread);
    release = true;
    WaitAndDeleteThread(thread);
}

TEST(ThreadRegistry, ExceptionInABodyEndsOnlyThatThread)
{
    ThreadHandle thread = StartThread([] { throw 42; });
    ASSERT_NE(thread, nullptr);
    WaitAndDeleteThread(thread);
    SUCCEED();
}

TEST(ThreadRegistry, UnknownHandlesAnswerNothing)
{
    EXPECT_FALSE(IsThreadFinished(nullptr));
    EXPECT_FALSE(DeleteThread(nullptr));
}

}  // namespace
