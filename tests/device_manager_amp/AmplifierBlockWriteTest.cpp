// Block writes: what SetBlockParam accepts, the order and the notices of a flush, one
// write per changed block, failed blocks kept for the next flush, and the image pool.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ScriptedAmplifier.h"
#include "platform/messages/RecordingWindow.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;
using platform::PostedMessage;

std::uint64_t MaskOf(const std::vector<std::uint8_t>& image)
{
    std::uint64_t mask = 0;
    for (int i = 7; i >= 0; --i) {
        mask = (mask << 8) | image[static_cast<std::size_t>(i)];
    }
    return mask;
}

class BlockWrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        message = platform::RegisterMessage("VeskQuarry_NotifyWritingParam");
    }
    void Open(std::uint8_t modelCode = 3, const AmplifierTimings& timings = QuickTimings())
    {
        device.SetIdentity(modelCode, "V5.20");
        amplifier = OpenAmplifier(device, timings);
        ASSERT_NE(amplifier, nullptr);
        amplifier->SetNotifyWindow(window.Id(), message);
    }
    void TearDown() override { ReleaseAmplifier(amplifier); }

    bool Store(std::int32_t type, std::int32_t channel, std::uint8_t fill)
    {
        return StoreFilledBlock(*amplifier, type, channel, fill);
    }

    // Flushes and waits for the closing (0, 0) notice.
    bool FlushAndWait()
    {
        const std::size_t ends = Ends();
        amplifier->FlushBlockParams();
        return WaitUntil([&] { return Ends() > ends; });
    }

    std::size_t Ends() const
    {
        std::size_t count = 0;
        for (const PostedMessage& posted : window.Messages(message)) {
            count += (posted.wParam == 0 && posted.lParam == 0) ? 1 : 0;
        }
        return count;
    }

    std::vector<std::uint64_t> WrittenMasks() const
    {
        std::vector<std::uint64_t> masks;
        for (const auto& call : device.library->Calls(FakeOperationKind::WriteMCUbyID)) {
            if (call.started) {
                masks.push_back(MaskOf(call.input));
            }
        }
        return masks;
    }

    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = nullptr;
    platform::RecordingWindow window;
    platform::MessageId message = platform::kNoMessage;
};

TEST_F(BlockWrites, ThreeBlocksPostBeginProgressAndEndLowestBitFirst)
{
    Open();
    ASSERT_TRUE(Store(8, 0, 0x88));
    ASSERT_TRUE(Store(5, 1, 0x55));
    ASSERT_TRUE(Store(2, 0, 0x22));
    ASSERT_TRUE(FlushAndWait());
    const std::vector<PostedMessage> expected{{window.Id(), message, 0, 1},
                                              {window.Id(), message, 1, 3},
                                              {window.Id(), message, 2, 3},
                                              {window.Id(), message, 3, 3},
                                              {window.Id(), message, 0, 0}};
    EXPECT_EQ(window.Messages(message), expected);
    EXPECT_EQ(WrittenMasks(), (std::vector<std::uint64_t>{0x10, 0x20000, 1ull << 32}));
    // Each write carries the whole image.
    const auto writes = device.library->Calls(FakeOperationKind::WriteMCUbyID);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].input[16], 0x22);
    EXPECT_EQ(writes[0].input[4784 + 360], 0x55);
    EXPECT_EQ(writes[0].input[8484], 0x88);
    EXPECT_EQ(amplifier->PendingDirtyMask(), 0u);
}

TEST_F(BlockWrites, EveryWriteWaitsForTheReadyFlagFirst)
{
    Open();
    ASSERT_TRUE(Store(4, 2, 1));
    ASSERT_TRUE(FlushAndWait());
    const auto calls = device.library->Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].kind, FakeOperationKind::ReadMCUbyID);
    EXPECT_EQ(calls[calls.size() - 2].id, kReadyFlagMemoryId);
    EXPECT_EQ(calls.back().kind, FakeOperationKind::WriteMCUbyID);
}

TEST_F(BlockWrites, WriteIsAttemptedWhenTheAmplifierNeverReportsReady)
{
    Open();
    device.SetReady(0);
    ASSERT_TRUE(Store(4, 2, 1));
    ASSERT_TRUE(FlushAndWait());
    EXPECT_EQ(device.ReadyReads(), 50u);
    EXPECT_EQ(WrittenMasks(), (std::vector<std::uint64_t>{0x4000}));
}

TEST_F(BlockWrites, TwoChangesOfOneBlockMakeOneWriteWithTheLastData)
{
    Open();
    ASSERT_TRUE(Store(7, 3, 0x01));
    ASSERT_TRUE(Store(7, 3, 0x02));
    ASSERT_TRUE(FlushAndWait());
    const auto writes = device.library->Calls(FakeOperationKind::WriteMCUbyID);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].input[7952 + 12], 0x02);
    EXPECT_EQ(writes[0].input[7968 + 384 + 127], 0x02);
}

TEST_F(BlockWrites, MixerOfATwoChannelModelWritesTwoBlocks)
{
    Open(1);
    ASSERT_TRUE(Store(11, 7, 0x11));
    ASSERT_TRUE(FlushAndWait());
    EXPECT_EQ(WrittenMasks(), (std::vector<std::uint64_t>{0x100, 0x200}));
}

TEST_F(BlockWrites, MixerOfAFourChannelModelWritesFourBlocks)
{
    Open(3);
    ASSERT_TRUE(Store(11, 0, 0x11));
    ASSERT_TRUE(FlushAndWait());
    EXPECT_EQ(WrittenMasks(), (std::vector<std::uint64_t>{0x100, 0x200, 0x400, 0x800}));
}

TEST_F(BlockWrites, InputGainAloneWritesNothing)
{
    Open();
    ASSERT_TRUE(Store(1, 0, 5));
    ASSERT_TRUE(FlushAndWait());
    EXPECT_TRUE(WrittenMasks().empty());
}

TEST_F(BlockWrites, FlushWithNothingPendingPostsNothing)
{
    Open();
    amplifier->FlushBlockParams();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(window.Messages(message).empty());
}

TEST_F(BlockWrites, RejectedCallsLeaveThePendingImageAlone)
{
    Open();
    ASSERT_TRUE(Store(2, 1, 1));
    EXPECT_FALSE(Store(2, 4, 1));
    EXPECT_FALSE(Store(3, 0, 1));
    std::vector<std::uint8_t> big(300, 0);
    EXPECT_FALSE(amplifier->SetBlockParam(2, 0, big.data(), 359, big.data(), 10));
    EXPECT_FALSE(amplifier->SetBlockParam(2, 0, big.data(), 360, big.data(), 257));
    EXPECT_EQ(amplifier->PendingDirtyMask(), 0x20u);
}

TEST_F(BlockWrites, NoNoticesWithoutAWindow)
{
    Open();
    amplifier->SetNotifyWindow(platform::kNoWindow, message);
    ASSERT_TRUE(Store(2, 0, 1));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(device.library->WaitForCalls(FakeOperationKind::WriteMCUbyID, 1, 5s));
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(window.Messages(message).empty());
}

// Refused blocks are retried by the worker after a pause that starts at the first pause,
// doubles and stops growing at the longest; the data reach the amplifier in the end.
TEST_F(BlockWrites, FailedBlockStaysDirtyAndIsRetriedWithAGrowingPause)
{
    AmplifierTimings timings = QuickTimings();
    timings.retryFirstPause = 20ms;
    timings.retryLongestPause = 40ms;
    Open(3, timings);
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 3});
    ASSERT_TRUE(Store(2, 0, 0x21));
    ASSERT_TRUE(Store(4, 0, 0x41));
    ASSERT_TRUE(FlushAndWait());
    ASSERT_TRUE(WaitUntil([&] { return WrittenMasks().size() == 5; }));
    ASSERT_TRUE(WaitUntil([&] { return amplifier->PendingDirtyMask() == 0; }));
    // The fifth write is taken before it completes.
    ASSERT_TRUE(WaitUntil([&] { return device.library->Calls(FakeOperationKind::WriteMCUbyID).back().completed; }));
    EXPECT_EQ(WrittenMasks(), (std::vector<std::uint64_t>{0x10, 0x1000, 0x10, 0x1000, 0x10}));
    const auto writes = device.library->Calls(FakeOperationKind::WriteMCUbyID);
    EXPECT_TRUE(writes.back().succeeded);
    EXPECT_EQ(writes.back().input[16], 0x21);
    // Block 0x10 was refused three times: 20 ms, then 40 ms, then 40 ms again. The pauses are
    // counted on the millisecond tick count, so in real time one may be up to a tick shorter.
    const auto gap = [&](std::size_t from, std::size_t to) { return writes[to].startedAt - writes[from].startedAt; };
    constexpr auto kTick = 1ms;
    EXPECT_GE(gap(0, 2), 20ms - kTick);
    EXPECT_GE(gap(2, 4), 40ms - kTick);
}

// A flush while the pause runs writes nothing and posts nothing, so the progress label
// does not flash on every idle pass; the worker is known to have taken each flush once a
// mute change, which it runs after pending writes, has returned.
TEST_F(BlockWrites, ARefusedBlockIsNotResentOnEveryFlush)
{
    Open();
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1000});
    ASSERT_TRUE(Store(2, 0, 0x21));
    ASSERT_TRUE(FlushAndWait());
    const std::size_t notices = window.Messages(message).size();
    for (int pass = 0; pass < 5; ++pass) {
        amplifier->FlushBlockParams();
        ASSERT_TRUE(amplifier->SetMute(pass % 2 == 0));
    }
    EXPECT_EQ(WrittenMasks().size(), 1u);
    EXPECT_EQ(window.Messages(message).size(), notices);
    EXPECT_EQ(amplifier->PendingDirtyMask(), 0x10u);
}

// The pause belongs to the data that were refused: a changed block, or a block of an
// amplifier that is present again, is written at the next flush.
TEST_F(BlockWrites, AChangedBlockOrAReturningAmplifierEndsThePause)
{
    Open();
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1000});
    ASSERT_TRUE(Store(2, 0, 0x21));
    ASSERT_TRUE(FlushAndWait());
    ASSERT_TRUE(Store(2, 0, 0x22));
    ASSERT_TRUE(FlushAndWait());
    ASSERT_EQ(WrittenMasks().size(), 2u);
    amplifier->SetPresent(false);
    amplifier->SetPresent(true);
    ASSERT_TRUE(FlushAndWait());
    EXPECT_EQ(WrittenMasks().size(), 3u);
    EXPECT_EQ(device.library->Calls(FakeOperationKind::WriteMCUbyID).back().input[16], 0x22);
}

// Posts the notices to a window that, at the end notice, looks at what is pending.
class PendingAtEndTarget final : public platform::IMessageTarget {
public:
    explicit PendingAtEndTarget(CobaltAmplifier*& amplifier) : m_amplifier(amplifier) {}
    void Deliver(const platform::PostedMessage& posted) override
    {
        if (posted.wParam == 0 && posted.lParam == 0) {
            std::lock_guard<std::mutex> guard(lock);
            pendingAtEnd.push_back(m_amplifier->PendingDirtyMask());
        }
    }
    std::mutex lock;
    std::vector<std::uint64_t> pendingAtEnd;  // guarded by lock

private:
    CobaltAmplifier*& m_amplifier;
};

TEST_F(BlockWrites, TheEndNoticeComesAfterAFailedBlockIsPendingAgain)
{
    Open();
    auto target = std::make_shared<PendingAtEndTarget>(amplifier);
    const platform::WindowId watching = platform::AddMessageWindow(target);
    amplifier->SetNotifyWindow(watching, message);
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1});
    ASSERT_TRUE(Store(2, 0, 0x21));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> guard(target->lock);
        return !target->pendingAtEnd.empty();
    }));
    amplifier->SetNotifyWindow(platform::kNoWindow, platform::kNoMessage);
    platform::RemoveMessageWindow(watching);
    std::lock_guard<std::mutex> guard(target->lock);
    EXPECT_EQ(target->pendingAtEnd.front(), 0x10u);
}

TEST_F(BlockWrites, NewerEditWinsOverAFailedBlockOfTheSameBlock)
{
    Open();
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID,
                        OperationBehaviour{100ms, FakeCancelReaction::EndsAtOnce, 1});
    ASSERT_TRUE(Store(2, 0, 0x01));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(device.library->WaitForCalls(FakeOperationKind::WriteMCUbyID, 1, 5s));
    // While the first write runs (and then fails), the same block and another change.
    ASSERT_TRUE(Store(2, 0, 0x02));
    ASSERT_TRUE(Store(5, 3, 0x05));
    ASSERT_TRUE(WaitUntil([&] { return Ends() == 1; }));
    EXPECT_EQ(amplifier->PendingDirtyMask(), 0x10u | 0x80000u);
    ASSERT_TRUE(FlushAndWait());
    const auto writes = device.library->Calls(FakeOperationKind::WriteMCUbyID);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[1].input[16], 0x02);
}

TEST_F(BlockWrites, PoolNeverHoldsMoreThanTwoImages)
{
    Open();
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{2ms});
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(Store(2, round % 4, static_cast<std::uint8_t>(round)));
        amplifier->FlushBlockParams();
        ASSERT_TRUE(Store(12, round % 4, static_cast<std::uint8_t>(round)));
        EXPECT_LE(amplifier->PooledImageCount(), 2u);
    }
    ASSERT_TRUE(FlushAndWait());
    ASSERT_TRUE(WaitUntil([&] { return amplifier->PendingDirtyMask() == 0; }));
    EXPECT_LE(amplifier->PooledImageCount(), 2u);
    EXPECT_GE(amplifier->PooledImageCount(), 1u);
}

TEST_F(BlockWrites, FlushAfterTheWorkerDisconnectedKeepsTheImagePending)
{
    Open();
    // A session that ends the worker, as a finished firmware update does.
    class EndingSession : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionX {
    public:
        std::int32_t Run(QdoHandle, platform::Event*) override { return -1; }
    };
    auto* session = CreateRCObject<RCObject2<EndingSession>>();
    ASSERT_NE(session, nullptr);
    ISessionControllerX* controller = amplifier;
    controller->Enqueue(session);
    session->Release();
    ASSERT_TRUE(WaitUntil([&] { return !device.library->Connected(); }));
    ASSERT_TRUE(Store(2, 0, 1));
    amplifier->FlushBlockParams();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(WrittenMasks().empty());
    EXPECT_TRUE(window.Messages(message).empty());
    EXPECT_EQ(amplifier->PendingDirtyMask(), 0x10u);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
