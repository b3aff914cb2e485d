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
    EXPECT_FALSE(IsDescendantOf(thread, CurrentThread()));
}

TEST(ThreadRegistry, ChildOfAStartedThreadIsItsDescendant)
{
    std::atomic<ThreadHandle> child{nullptr};
    std::atomic<bool> release{false};
    ThreadHandle caller = CurrentThread();
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
    EXPECT_EQ(ParentThread(child), parent);
    EXPECT_TRUE(IsDescendantOf(child, parent));
    EXPECT_TRUE(IsDescendantOf(child, caller));
    EXPECT_FALSE(IsDescendantOf(parent, child));

    // Deleting the finished parent hands its running child to the grandparent.
    EXPECT_TRUE(DeleteThread(parent));
    EXPECT_EQ(ParentThread(child), caller);

    EXPECT_FALSE(DeleteThread(child));  // still running
    release = true;
    WaitAndDeleteThread(child);
}

TEST(ThreadRegistry, ThreadIdMatchesTheRunningThread)
{
    std::atomic<bool> release{false};
    std::thread::id seen;
    std::atomic<bool> recorded{false};
    ThreadHandle thread = StartThread([&] {
        seen = std::this_thread::get_id();
        recorded = true;
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    while (!recorded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(ThreadIdOf(thread), seen);
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
    EXPECT_EQ(ParentThread(nullptr), nullptr);
    EXPECT_FALSE(IsThreadFinished(nullptr));
    EXPECT_FALSE(DeleteThread(nullptr));
    EXPECT_EQ(ThreadIdOf(nullptr), std::thread::id{});
}

}  // namespace
