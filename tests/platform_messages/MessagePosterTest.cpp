// Posting to windows: delivery with both arguments in order, drops for unknown or gone
// windows, posting from many threads, and removal waiting for deliveries in progress.
#include "platform/messages/MessagePoster.h"
#include "platform/messages/RecordingWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(MessagePoster, DeliversMessageAndBothArgumentsInOrder)
{
    RecordingWindow window;
    const MessageId message = RegisterMessage("poster_order");
    EXPECT_TRUE(PostWindowMessage(window.Id(), message, 0, 1));
    EXPECT_TRUE(PostWindowMessage(window.Id(), message, 2, -3));
    const std::vector<PostedMessage> expected{{window.Id(), message, 0, 1}, {window.Id(), message, 2, -3}};
    EXPECT_EQ(window.Messages(), expected);
}

TEST(MessagePoster, MessageToNoWindowOrNoMessageIsDropped)
{
    RecordingWindow window;
    EXPECT_FALSE(PostWindowMessage(kNoWindow, RegisterMessage("poster_none"), 0, 0));
    EXPECT_FALSE(PostWindowMessage(window.Id(), kNoMessage, 0, 0));
    EXPECT_TRUE(window.Messages().empty());
}

TEST(MessagePoster, MessageToClosedWindowIsDropped)
{
    RecordingWindow window;
    const MessageId message = RegisterMessage("poster_closed");
    window.Close();
    EXPECT_FALSE(PostWindowMessage(window.Id(), message, 1, 1));
    EXPECT_TRUE(window.Messages().empty());
}

TEST(MessagePoster, WindowIdsAreNotReused)
{
    WindowId first = kNoWindow;
    {
        RecordingWindow window;
        first = window.Id();
    }
    RecordingWindow second;
    EXPECT_NE(second.Id(), first);
    EXPECT_FALSE(PostWindowMessage(first, RegisterMessage("poster_reuse"), 0, 0));
}

TEST(MessagePoster, NullTargetGetsNoWindow)
{
    EXPECT_EQ(AddMessageWindow(nullptr), kNoWindow);
}

TEST(MessagePoster, ManyThreadsPostWithoutLoss)
{
    RecordingWindow window;
    const MessageId message = RegisterMessage("poster_threads");
    constexpr int kThreads = 6;
    constexpr int kEach = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < kEach; ++n) {
                PostWindowMessage(window.Id(), message, static_cast<std::uintptr_t>(t), n);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto messages = window.Messages(message);
    ASSERT_EQ(messages.size(), static_cast<std::size_t>(kThreads * kEach));
    // Each thread's own messages keep their order.
    std::vector<std::intptr_t> last(kThreads, -1);
    for (const auto& posted : messages) {
        EXPECT_GT(posted.lParam, last[posted.wParam]);
        last[posted.wParam] = posted.lParam;
    }
}

// A target that blocks inside Deliver until released, to show that removal waits.
class BlockingTarget final : public IMessageTarget {
public:
    void Deliver(const PostedMessage&) override
    {
        entered = true;
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
        delivered = true;
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
    std::atomic<bool> delivered{false};
};

TEST(MessagePoster, RemovalWaitsForDeliveryInProgressAndStopsLaterOnes)
{
    auto target = std::make_shared<BlockingTarget>();
    const WindowId window = AddMessageWindow(target);
    const MessageId message = RegisterMessage("poster_blocking");
    std::thread poster([&] { PostWindowMessage(window, message, 0, 0); });
    while (!target->entered) {
        std::this_thread::sleep_for(1ms);
    }
    std::atomic<bool> removed{false};
    std::thread remover([&] {
        RemoveMessageWindow(window);
        removed = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(removed);
    target->release = true;
    poster.join();
    remover.join();
    EXPECT_TRUE(target->delivered);
    EXPECT_FALSE(PostWindowMessage(window, message, 0, 0));
}

TEST(RecordingWindow, WaitForCountTimesOutWhenTooFewArrive)
{
    RecordingWindow window;
    const MessageId message = RegisterMessage("poster_wait");
    PostWindowMessage(window.Id(), message, 0, 0);
    EXPECT_TRUE(window.WaitForCount(message, 1, 1s));
    EXPECT_FALSE(window.WaitForCount(message, 2, 20ms));
}

}  // namespace
}  // namespace platform
