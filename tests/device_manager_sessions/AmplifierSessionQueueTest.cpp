// Sessions on a real amplifier object (over the fake library): behind block writes that wait
// for an amplifier never ready, cancelled there, and after the worker has ended.
#include <gtest/gtest.h>

#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_amp/ScriptedAmplifier.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;
using namespace CobaltDeviceManager::testing;

namespace {

// A session whose run ends the worker, as a successful firmware update does.
class EndingSessionImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionX {
public:
    std::int32_t Run(QdoHandle, platform::Event*) override { return -1; }
};
using EndingSession = RCObject2<EndingSessionImpl>;

// A session that holds the worker until the test lets it go.
class GateSessionImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionX {
public:
    explicit GateSessionImpl(platform::Event& open) : m_open(open) {}
    std::int32_t Run(QdoHandle, platform::Event*) override
    {
        m_open.WaitFor(std::chrono::seconds(5));
        return 1;
    }

private:
    platform::Event& m_open;
};
using GateSession = RCObject2<GateSessionImpl>;

}  // namespace

TEST(AmplifierSessionQueue, SessionsAreRefusedOnceTheWorkerEndedAndALeftoverHearsTwo)
{
    ScriptedAmplifier device;
    AmplifierTimings timings = QuickTimings();
    timings.sessions = ShortTimings();
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings, u"SER1", nullptr, ParamSessionFactory());
    ASSERT_NE(amplifier, nullptr);
    auto* leftoverProgress = CreateRCObject<RecordingProgress>();
    platform::Event gateOpen(platform::ResetMode::Manual);
    {
        IReadParamSession* leftover = nullptr;
        ASSERT_TRUE(amplifier->OpenReadParamSession(&leftover));
        // Queued behind a gate so that the worker meets the ending session first.
        auto* gate = CreateRCObject<GateSession>(gateOpen);
        auto* ending = CreateRCObject<EndingSession>();
        ISessionControllerX* controller = amplifier;
        ASSERT_TRUE(controller->Enqueue(gate));
        ASSERT_TRUE(controller->Enqueue(ending));
        ASSERT_TRUE(leftover->Start(leftoverProgress, nullptr));
        gateOpen.Set();
        gate->Release();
        ending->Release();
        leftover->Release();
    }
    ASSERT_TRUE(WaitUntil([&] { return !device.library->Connected(); }));

    IReadParamSession* late = nullptr;
    ASSERT_TRUE(amplifier->OpenReadParamSession(&late));
    auto* lateProgress = CreateRCObject<RecordingProgress>();
    EXPECT_FALSE(late->Start(lateProgress, nullptr));
    late->Release();

    ReleaseAmplifier(amplifier);
    EXPECT_TRUE(lateProgress->Events().empty());
    // The leftover was let go unrun by the final release, which tells its sink it failed.
    EXPECT_EQ(leftoverProgress->Events(), std::vector<std::string>{"C 2"});
    lateProgress->Release();
    leftoverProgress->Release();
}

namespace {

// The amplifier object over an amplifier whose ready flag reads 0 until the test sets it:
// every block write waits for it (for as long as the test needs).
class SessionsBehindWrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        AmplifierTimings timings = QuickTimings();
        timings.readyRounds = 1000000;
        timings.sessions = ShortTimings();
        device.SetReady(0);
        amplifier = OpenAmplifier(device, timings, u"SER1", nullptr, ParamSessionFactory());
        ASSERT_NE(amplifier, nullptr);
        ASSERT_TRUE(StoreFilledBlock(*amplifier, kBlockCrossover, 0, 0x11));
        ASSERT_TRUE(StoreFilledBlock(*amplifier, kBlockCrossover, 1, 0x22));
    }
    void TearDown() override
    {
        ReleaseAmplifier(amplifier);
        for (RecordingProgress* progress : sinks) {
            progress->Release();
        }
    }

    RecordingProgress* StartRead()
    {
        auto* progress = CreateRCObject<RecordingProgress>();
        sinks.push_back(progress);
        IReadParamSession* session = nullptr;
        EXPECT_TRUE(amplifier->OpenReadParamSession(&session));
        if (session != nullptr) {
            EXPECT_TRUE(session->Start(progress, nullptr));
            reads.push_back(session);
        }
        return progress;
    }

    void ReleaseReads()
    {
        for (IReadParamSession* read : reads) {
            read->Release();
        }
        reads.clear();
    }

    std::uint64_t Bits(std::int32_t channel) const { return DirtyBitsOfBlock(kBlockCrossover, channel, 4); }

    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = nullptr;
    std::vector<IReadParamSession*> reads;
    std::vector<RecordingProgress*> sinks;
};

TEST_F(SessionsBehindWrites, ACancelledReadWaitingBehindAFlushEndsAtOnceAndNeverRunsWhileTheFlushGoesOn)
{
    amplifier->FlushBlockParams();
    ASSERT_TRUE(WaitUntil([&] { return device.ReadyReads() > 0; }));
    RecordingProgress* cancelled = StartRead();
    reads.back()->Cancel();
    // Ended by the cancel itself, on this thread: nothing the worker does holds it up.
    EXPECT_EQ(cancelled->Completions(), std::vector<std::string>{"C 1"});

    RecordingProgress* next = StartRead();
    ReleaseReads();
    device.SetReady(1);
    ASSERT_TRUE(WaitUntil([&] { return next->Completions() == std::vector<std::string>{"C 0"}; }));
    EXPECT_EQ(device.Count(FakeOperationKind::WriteMCUbyID), 2u);
    EXPECT_EQ(device.Count(FakeOperationKind::ReadDspParamInfoFromMCU), 1u);
    EXPECT_EQ(cancelled->Events(), std::vector<std::string>{"C 1"});
}

TEST_F(SessionsBehindWrites, ACancelDuringTheReadsOwnWritesKeepsTheUnsentBlocksForTheNextFlush)
{
    RecordingProgress* cancelled = StartRead();
    ASSERT_TRUE(WaitUntil([&] { return device.ReadyReads() > 0; }));
    reads.back()->Cancel();
    ReleaseReads();
    ASSERT_TRUE(WaitUntil([&] { return cancelled->Completions() == std::vector<std::string>{"C 1"}; }));
    EXPECT_EQ(device.Count(FakeOperationKind::ReadDspParamInfoFromMCU), 0u);
    EXPECT_EQ(amplifier->PendingDirtyMask(), Bits(0) | Bits(1));

    device.SetReady(1);
    amplifier->FlushBlockParams();
    ASSERT_TRUE(WaitUntil([&] { return amplifier->PendingDirtyMask() == 0 &&
                                       device.Count(FakeOperationKind::WriteMCUbyID) == 2; }));
}

}  // namespace
