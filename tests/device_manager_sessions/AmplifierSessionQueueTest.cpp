// Sessions on a real amplifier object (over the fake library) whose worker has ended.
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
