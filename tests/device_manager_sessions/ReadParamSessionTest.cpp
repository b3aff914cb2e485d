// The read session: delivery order and contents, progress, cancel and failure.
#include <gtest/gtest.h>

#include <thread>

#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;

namespace {

constexpr std::size_t kRecordSize = sizeof(DspParamInfo);

// What the fake library fills: bytes 4 onwards of the record, each with a value that
// tells where it came from.
std::vector<std::uint8_t> PatternPayload()
{
    std::vector<std::uint8_t> payload(kRecordSize - 4);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<std::uint8_t>(((i + 4) * 7 + (i + 4) / 251) & 0xFF);
    }
    return payload;
}

std::vector<std::uint8_t> RecordSlice(std::size_t offset, std::size_t size)
{
    std::vector<std::uint8_t> record(4, 0);
    const auto payload = PatternPayload();
    record.insert(record.end(), payload.begin(), payload.end());
    return std::vector<std::uint8_t>(record.begin() + static_cast<std::ptrdiff_t>(offset),
                                     record.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

struct Expected {
    std::int32_t type;
    std::int32_t channel;
    std::size_t offset;
    std::size_t size;
};

std::vector<Expected> ExpectedOrder(int n)
{
    std::vector<Expected> order;
    for (int c = 0; c < n; ++c) order.push_back({1, c, static_cast<std::size_t>(c), 1});
    for (int c = 0; c < n; ++c) order.push_back({2, c, 4 + 256u * c, 256});
    order.push_back({11, 0, 1028, 512});
    for (int c = 1; c < n; ++c) order.push_back({11, c, 1028 + 128u * c, 128});
    for (int c = 0; c < n; ++c) order.push_back({4, c, 1540 + 256u * c, 256});
    for (int c = 0; c < n; ++c) order.push_back({5, c, 2564 + 256u * c, 256});
    for (int c = 0; c < n; ++c) order.push_back({12, c, 3588 + 128u * c, 128});
    for (int c = 0; c < n; ++c) order.push_back({7, c, 4100 + 128u * c, 128});
    for (int c = 0; c < n; ++c) order.push_back({8, c, 4612 + 128u * c, 128});
    return order;
}

class ReadParamSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = CreateRCObject<TestController>(library);
        progress = CreateRCObject<RecordingProgress>();
        blocks = CreateRCObject<RecordingBlocks>();
    }
    void TearDown() override
    {
        controller->Drain();
        blocks->Release();
        progress->Release();
        controller->Release();
    }

    void Script(FakeOperationScript script)
    {
        library.SetScript([script](const FakeOperationCall&) { return script; });
    }

    IReadParamSession* Open(std::int32_t channelClass)
    {
        IReadParamSession* session = nullptr;
        EXPECT_TRUE(NewReadParamSession(controller, channelClass, &session));
        return session;
    }

    FakeDeviceLibrary library;
    TestController* controller = nullptr;
    RecordingProgress* progress = nullptr;
    RecordingBlocks* blocks = nullptr;
    platform::Event stop{platform::ResetMode::Manual};
};

void ExpectDelivery(const std::vector<DeliveredBlock>& got, int n)
{
    const auto expected = ExpectedOrder(n);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("block " + std::to_string(i));
        EXPECT_EQ(got[i].type, expected[i].type);
        EXPECT_EQ(got[i].channel, expected[i].channel);
        EXPECT_EQ(got[i].data, RecordSlice(expected[i].offset, expected[i].size));
    }
}

}  // namespace

TEST_F(ReadParamSessionTest, ATwoChannelModelGetsTwoOfEachBlockAndTheWholeMixerThenOneSlice)
{
    Script(Edited([&](FakeOperationScript& s) { s.payload = PatternPayload(); }));
    IReadParamSession* session = Open(2);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    ExpectDelivery(blocks->Blocks(), 2);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 0"});
}

TEST_F(ReadParamSessionTest, AFourChannelModelGetsEveryChannelIncludingTheDelaysOfChannelsThreeAndFour)
{
    Script(Edited([&](FakeOperationScript& s) { s.payload = PatternPayload(); }));
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    const auto got = blocks->Blocks();
    ExpectDelivery(got, 4);
    int delays = 0;
    for (const auto& block : got) {
        delays += block.type == 7 ? 1 : 0;
    }
    EXPECT_EQ(delays, 4);
}

TEST_F(ReadParamSessionTest, BlocksTheLibraryLeavesAloneArriveAsZeros)
{
    Script(Edited([&](FakeOperationScript& s) { s.payload = {}; }));
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    const auto got = blocks->Blocks();
    ASSERT_FALSE(got.empty());
    for (const auto& block : got) {
        EXPECT_EQ(block.data, std::vector<std::uint8_t>(block.data.size(), 0)) << "type " << block.type;
    }
}

TEST_F(ReadParamSessionTest, ProgressReportsThePercentageWhileTheReadRuns)
{
    Script(Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(80); s.payload = PatternPayload(); s.progress = 40; }));
    IReadParamSession* session = Open(2);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    const auto events = progress->Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front(), "P 0 40");
    EXPECT_EQ(events.back(), "C 0");
}

TEST_F(ReadParamSessionTest, ACancelDuringTheTransferSendsOneCancelAndEndsWithOne)
{
    Script(Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(5000); s.payload = PatternPayload(); }));
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    std::thread worker([&] { EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0); });
    ASSERT_TRUE(library.WaitForCalls(FakeOperationKind::ReadDspParamInfoFromMCU, 1, std::chrono::seconds(5)));
    session->Cancel();
    worker.join();
    session->Release();
    const auto calls = library.Calls(FakeOperationKind::ReadDspParamInfoFromMCU);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].cancelRequested);
    EXPECT_TRUE(blocks->Blocks().empty());
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 1"});
}

TEST_F(ReadParamSessionTest, AReadThatSucceedsDespiteTheCancelIsDeliveredWithZero)
{
    Script(Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(100); s.payload = PatternPayload(); s.cancelReaction = FakeCancelReaction::Ignored; }));
    IReadParamSession* session = Open(2);
    ASSERT_TRUE(session->Start(progress, blocks));
    std::thread worker([&] { EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1); });
    ASSERT_TRUE(library.WaitForCalls(FakeOperationKind::ReadDspParamInfoFromMCU, 1, std::chrono::seconds(5)));
    session->Cancel();
    worker.join();
    session->Release();
    ExpectDelivery(blocks->Blocks(), 2);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 0"});
}

// The amplifier went away (or the editor is closing): the read is cancelled in the library,
// but the user asked for nothing, so it ends as a failure.
TEST_F(ReadParamSessionTest, AStopOfTheWorkerCancelsTheReadAndEndsItAsAFailure)
{
    Script(Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(5000); }));
    IReadParamSession* session = Open(2);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    std::thread worker([&] { EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0); });
    ASSERT_TRUE(library.WaitForCalls(FakeOperationKind::ReadDspParamInfoFromMCU, 1, std::chrono::seconds(5)));
    stop.Set();
    worker.join();
    EXPECT_TRUE(library.Calls(FakeOperationKind::ReadDspParamInfoFromMCU)[0].cancelRequested);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
}

TEST_F(ReadParamSessionTest, AFailedReadEndsWithTwoAndDeliversNothing)
{
    Script(Edited([&](FakeOperationScript& s) { s.success = false; }));
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0);
    EXPECT_TRUE(blocks->Blocks().empty());
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
}

TEST_F(ReadParamSessionTest, WithoutAConnectionTheReadFailsAtItsStart)
{
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    session->Release();
    EXPECT_EQ(controller->RunNext(nullptr, &stop), 0);
    EXPECT_TRUE(library.Calls(FakeOperationKind::ReadDspParamInfoFromMCU).empty() ||
                !library.Calls(FakeOperationKind::ReadDspParamInfoFromMCU)[0].started);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
}

TEST_F(ReadParamSessionTest, QueuedBlockWritesSettleFirstAndACancelStillQueuedEndsWithOneAtOnce)
{
    IReadParamSession* session = Open(4);
    ASSERT_TRUE(session->Start(progress, blocks));
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    EXPECT_EQ(controller->Settles(), 1);
    session->Release();

    IReadParamSession* cancelled = Open(4);
    auto* cancelledProgress = CreateRCObject<RecordingProgress>();
    ASSERT_TRUE(cancelled->Start(cancelledProgress, blocks));
    cancelled->Cancel();
    cancelled->Release();
    EXPECT_EQ(cancelledProgress->Completions(), std::vector<std::string>{"C 1"});
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0);
    EXPECT_EQ(controller->Settles(), 1);
    EXPECT_EQ(library.Calls(FakeOperationKind::ReadDspParamInfoFromMCU).size(), 1u);
    EXPECT_EQ(cancelledProgress->Completions(), std::vector<std::string>{"C 1"});
    cancelledProgress->Release();
}
