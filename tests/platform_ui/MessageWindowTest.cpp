// Message windows on Qt: order of posts and sends, posts from a worker, windows that go
// away while messages are on their way, sends that come from the wrong thread, and delivery
// passes that a handler posting again cannot keep going.
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/MessageWindow.h"

using namespace platform;

namespace {

const MessageId kTest = RegisterMessage("platform_ui_test_message");

// Runs the event loop until `done` or a generous bound that only catches a hang.
template <typename Predicate>
bool ProcessUntil(Predicate done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

struct Recorder {
    std::vector<std::uintptr_t> seen;
    MessageWindow window{[this](MessageId, std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
        seen.push_back(wParam);
        return lParam * 2;
    }};
};

}  // namespace

TEST(MessageWindow, SendRunsAtOncePostsFollowInOrder)
{
    Recorder recorder;
    ASSERT_TRUE(recorder.window.Post(kTest, 1));
    ASSERT_TRUE(PostWindowMessage(recorder.window.Id(), kTest, 2, 0));
    std::intptr_t result = 0;
    ASSERT_TRUE(SendWindowMessage(recorder.window.Id(), kTest, 3, 21, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(recorder.seen, std::vector<std::uintptr_t>{3});
    ASSERT_TRUE(ProcessUntil([&] { return recorder.seen.size() == 3; }));
    EXPECT_EQ(recorder.seen, (std::vector<std::uintptr_t>{3, 1, 2}));
}

TEST(MessageWindow, TenThousandPostsFromAWorkerArriveInOrder)
{
    Recorder recorder;
    const WindowId id = recorder.window.Id();
    std::atomic<int> refused{0};
    std::thread worker([id, &refused] {
        for (std::uintptr_t i = 0; i < 10000; ++i) {
            refused += PostWindowMessage(id, kTest, i, 0) ? 0 : 1;
        }
    });
    const bool all = ProcessUntil([&] { return recorder.seen.size() == 10000; });
    worker.join();
    ASSERT_TRUE(all);
    EXPECT_EQ(refused.load(), 0);
    for (std::uintptr_t i = 0; i < 10000; ++i) {
        ASSERT_EQ(recorder.seen[i], i);
    }
}

TEST(MessageWindow, AGoneWindowRefusesPostsAndDropsWhatWasQueued)
{
    auto handled = std::make_shared<int>(0);
    WindowId id = kNoWindow;
    {
        MessageWindow window([handled](MessageId, std::uintptr_t, std::intptr_t) -> std::intptr_t { return ++*handled; });
        id = window.Id();
        ASSERT_TRUE(window.Post(kTest));
    }
    EXPECT_FALSE(PostWindowMessage(id, kTest, 0, 0));
    EXPECT_FALSE(SendWindowMessage(id, kTest, 0, 0));
    EXPECT_FALSE(IsMessageWindow(id));
    QCoreApplication::processEvents();
    EXPECT_EQ(*handled, 0);

    MessageWindow closing;
    closing.On(kTest, [handled](std::uintptr_t, std::intptr_t) -> std::intptr_t { return ++*handled; });
    ASSERT_TRUE(closing.Post(kTest));
    closing.Close();
    EXPECT_FALSE(closing.Post(kTest));
    QCoreApplication::processEvents();
    EXPECT_EQ(*handled, 0);
}

TEST(MessageWindow, AHandlerMayDestroyItsOwnWindowWithMoreMessagesQueued)
{
    int handled = 0;
    auto owner = std::make_unique<MessageWindow>();
    owner->On(kTest, [&](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        ++handled;
        owner.reset();
        return 0;
    });
    ASSERT_TRUE(owner->Post(kTest));
    ASSERT_TRUE(owner->Post(kTest));
    ASSERT_TRUE(ProcessUntil([&] { return owner == nullptr; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 1);
}

TEST(MessageWindow, SendFromAnotherThreadIsRefused)
{
    Recorder recorder;
    const WindowId id = recorder.window.Id();
    EXPECT_DEBUG_DEATH(
        {
            bool sent = true;
            std::thread worker([&] { sent = SendWindowMessage(id, kTest, 7, 0); });
            worker.join();
            EXPECT_FALSE(sent);
        },
        "SendWindowMessage from a thread other than the UI thread");
    EXPECT_TRUE(recorder.seen.empty());
}

TEST(MessageWindow, PostsRacingWithDestructionAreDeliveredOrDropped)
{
    std::atomic<WindowId> target{kNoWindow};
    std::atomic<bool> stop{false};
    std::atomic<long> accepted{0};
    // The poster sends bursts of up to 32 and waits for the queue to empty between them: a
    // producer that outruns the handlers without end is not what this races, and under a
    // sanitizer on a loaded machine its queue (and every pass over it) would grow round after
    // round.
    std::thread poster([&] {
        while (!stop.load()) {
            if (HasPostedMessages()) {
                std::this_thread::yield();
                continue;
            }
            for (int burst = 0; burst < 32; ++burst) {
                if (PostWindowMessage(target.load(), kTest, 0, 0)) {
                    ++accepted;
                }
            }
        }
    });
    long delivered = 0;
    for (int round = 0; round < 200; ++round) {
        auto window = std::make_unique<MessageWindow>([&delivered](MessageId, std::uintptr_t, std::intptr_t) -> std::intptr_t {
            ++delivered;
            return 0;
        });
        const long before = accepted.load();
        target.store(window->Id());
        // Some posts were taken (and some handled); then it goes while the poster keeps posting.
        ASSERT_TRUE(ProcessUntil([&] { return accepted.load() > before + 5; }));
        window.reset();
    }
    stop.store(true);
    poster.join();
    QCoreApplication::processEvents();
    EXPECT_LE(delivered, accepted.load());
    EXPECT_GT(accepted.load(), 0);
}

// A handler that always posts again must not keep the UI thread in one delivery pass: the
// pass hands over what was queued when it began, and the loop comes round for the rest.
TEST(MessageWindow, APassDeliversWhatWasQueuedAndTheLoopComesRoundForWhatHandlersPost)
{
    int handled = 0;
    int reposts = 4;
    MessageWindow* self = nullptr;
    MessageWindow window([&](MessageId, std::uintptr_t, std::intptr_t) -> std::intptr_t {
        ++handled;
        if (reposts > 0) {
            --reposts;
            self->Post(kTest);
        }
        return 0;
    });
    self = &window;
    ASSERT_TRUE(window.Post(kTest));
    ASSERT_TRUE(window.Post(kTest));
    DeliverPostedMessages();
    EXPECT_EQ(handled, 2);
    EXPECT_TRUE(HasPostedMessages());
    ASSERT_TRUE(ProcessUntil([&] { return !HasPostedMessages(); }));
    EXPECT_EQ(handled, 6);
}

TEST(ProgramMessages, EveryNameHasItsOwnStableId)
{
    RegisterProgramMessages();
    const MessageId ids[] = {MsgFromSlider(),          MsgDelayDestroyWindow(),      MsgReflectReturn(),
                             MsgForceDefButton(),      MsgError(),                   MsgProgress(),
                             MsgCorruptSpEqFile(),     MsgDeviceChanged(),           MsgKickStartDeviceWatcher(),
                             MsgNotifySaveConfig(),    MsgNotifyWritingParam(),      MsgNotifyChanged(),
                             MsgNotifyDragging()};
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        EXPECT_GE(ids[i], kFirstRegisteredMessage);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(ids[i], ids[j]);
        }
    }
    EXPECT_EQ(MsgDeviceChanged(), RegisterMessage("_Kx_WmDeviceChanged_"));
    EXPECT_EQ(RegisteredMessageName(MsgError()), "VescQuarry_Error");
    EXPECT_EQ(MsgProgress(), RegisterMessage(kMsgProgressName));
}
