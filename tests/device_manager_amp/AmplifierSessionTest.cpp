// The session hook: queued sessions run on the worker in order with the device handle, a
// result of -1 ends the worker, leftover sessions are released unrun, the save-
// configuration session, and the factory behind the session openers.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ScriptedAmplifier.h"
#include "device_manager/amplifier/AmplifierSessions.h"
#include "device_manager/amplifier/SessionFactory.h"
#include "platform/messages/RecordingWindow.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;

struct SessionLog {
    std::mutex lock;
    std::vector<int> order;
    std::vector<QdoHandle> handles;
    std::vector<std::thread::id> threads;
    std::atomic<int> destroyed{0};
};

class RecordingSession : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionX {
public:
    RecordingSession(SessionLog& log, int id, std::int32_t result) : m_log(log), m_id(id), m_result(result) {}
    ~RecordingSession() { ++m_log.destroyed; }

    std::int32_t Run(QdoHandle handle, platform::Event*) override
    {
        std::lock_guard<std::mutex> guard(m_log.lock);
        m_log.order.push_back(m_id);
        m_log.handles.push_back(handle);
        m_log.threads.push_back(std::this_thread::get_id());
        return m_result;
    }

private:
    SessionLog& m_log;
    const int m_id;
    const std::int32_t m_result;
};

void Enqueue(CobaltAmplifier* amplifier, SessionLog& log, int id, std::int32_t result)
{
    auto* session = CreateRCObject<RCObject2<RecordingSession>>(log, id, result);
    ISessionControllerX* controller = amplifier;
    controller->Enqueue(session);
    session->Release();
}

TEST(AmplifierSessions, QueuedSessionsRunOnTheWorkerInOrderWithTheHandle)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    SessionLog log;
    for (int id = 1; id <= 3; ++id) {
        Enqueue(amplifier, log, id, 1);
    }
    ASSERT_TRUE(WaitUntil([&] { return log.destroyed.load() == 3; }));
    EXPECT_EQ(log.order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(log.handles[0], device.library->DeviceHandle());
    EXPECT_NE(log.threads[0], std::this_thread::get_id());
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierSessions, MinusOneEndsTheWorkerAndLeftoversAreReleasedUnrun)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    SessionLog log;
    {
        // Queue both before the worker can take the first.
        std::lock_guard<std::mutex> guard(log.lock);
        Enqueue(amplifier, log, 1, -1);
        Enqueue(amplifier, log, 2, 1);
    }
    ASSERT_TRUE(WaitUntil([&] { return !device.library->Connected(); }));
    EXPECT_EQ(log.destroyed.load(), 1);
    ReleaseAmplifier(amplifier);
    EXPECT_EQ(log.destroyed.load(), 2);
    EXPECT_EQ(log.order, (std::vector<int>{1}));
}

TEST(AmplifierSessions, AnEndedWorkerTakesNoMoreSessions)
{
    ScriptedAmplifier device;
    AmplifierTimings timings = QuickTimings();
    timings.globalSettingWait = 10s;
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    SessionLog log;
    Enqueue(amplifier, log, 1, -1);
    ASSERT_TRUE(WaitUntil([&] { return !device.library->Connected(); }));
    auto* late = CreateRCObject<RCObject2<RecordingSession>>(log, 2, 1);
    ISessionControllerX* controller = amplifier;
    EXPECT_FALSE(controller->Enqueue(late));
    late->Release();
    // Mute and store fail at once instead of waiting for a worker that is gone.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(amplifier->SetMute(true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(amplifier->SaveConfig(platform::kNoWindow, platform::kNoMessage));
    EXPECT_EQ(log.order, (std::vector<int>{1}));
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierSessions, SaveConfigReturnsAtOnceAndPostsAroundTheStore)
{
    ScriptedAmplifier device;
    device.SetBehaviour(FakeOperationKind::SendCommand, OperationBehaviour{200ms});
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    platform::RecordingWindow window;
    const platform::MessageId message = platform::RegisterMessage("VeskQuarry_NotifySaveConfig");
    ASSERT_TRUE(amplifier->SaveConfig(window.Id(), message));
    const auto commands = device.library->Calls(FakeOperationKind::SendCommand);
    EXPECT_TRUE(commands.empty() || !commands[0].completed);
    ASSERT_TRUE(window.WaitForCount(message, 2, 5s));
    const auto posts = window.Messages(message);
    EXPECT_EQ(posts[0].wParam, kSaveConfigBegins);
    EXPECT_EQ(posts[1].wParam, kSaveConfigEnds);
    EXPECT_EQ(posts[1].lParam, kSaveConfigStored);
    const auto sent = device.library->Calls(FakeOperationKind::SendCommand);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].words[0], 1);
    EXPECT_EQ(sent[0].words[1], 0);
    EXPECT_EQ(sent[0].words[2], 0);
    // The store is followed by a wait for the ready flag.
    EXPECT_GE(device.ReadyReads(), 1u);
    ReleaseAmplifier(amplifier);
}

// The worker's store fails: the unlock notice carries the failure to the window.
TEST(AmplifierSessions, AFailedStoreEndsWithANoticeSayingNotStored)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    OperationBehaviour failing;
    failing.failures = 1;
    device.SetBehaviour(FakeOperationKind::SendCommand, failing);
    platform::RecordingWindow window;
    const platform::MessageId message = platform::RegisterMessage("VeskQuarry_NotifySaveConfig");
    ASSERT_TRUE(amplifier->SaveConfig(window.Id(), message));
    ASSERT_TRUE(window.WaitForCount(message, 2, 5s));
    const auto posts = window.Messages(message);
    EXPECT_EQ(posts[0].wParam, kSaveConfigBegins);
    EXPECT_EQ(posts[1].wParam, kSaveConfigEnds);
    EXPECT_EQ(posts[1].lParam, kSaveConfigNotStored);
    ReleaseAmplifier(amplifier);
}

// Holds the worker until the stop, then ends it without taking further sessions.
class BlockingSession : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionX {
public:
    explicit BlockingSession(std::atomic<bool>& running) : m_running(running) {}
    std::int32_t Run(QdoHandle, platform::Event* stopEvent) override
    {
        m_running = true;
        stopEvent->Wait();
        return -1;
    }

private:
    std::atomic<bool>& m_running;
};

class RecordingProgress : public RCObjectRootEx<RCObjectMultiThreadModel>, public ICDM_Progress {
public:
    void OnProgress(std::int32_t, std::int32_t) override {}
    void OnComplete(std::int32_t result) override
    {
        std::lock_guard<std::mutex> guard(lock);
        results.push_back(result);
    }
    std::mutex lock;
    std::vector<std::int32_t> results;
};

TEST(AmplifierSessions, GlobalSettingSessionLetGoOfUnrunReportsFailed)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    std::atomic<bool> running{false};
    auto* blocker = CreateRCObject<RCObject2<BlockingSession>>(running);
    ISessionControllerX* controller = amplifier;
    ASSERT_TRUE(controller->Enqueue(blocker));
    blocker->Release();
    ASSERT_TRUE(WaitUntil([&] { return running.load(); }));

    auto* progress = CreateRCObject<RCObject2<RecordingProgress>>();
    IUpdateGlobalSettingSession* session = nullptr;
    ASSERT_TRUE(NewUpdateGlobalSettingSession(amplifier, amplifier, QdoGlobalSettingInput{}, &session));
    ASSERT_TRUE(session->Start(progress));
    session->Release();
    ReleaseAmplifier(amplifier);
    {
        std::lock_guard<std::mutex> guard(progress->lock);
        EXPECT_EQ(progress->results, std::vector<std::int32_t>{kSessionFailed});
    }
    EXPECT_EQ(device.Count(FakeOperationKind::UpgradeGlobalSetting), 0u);
    progress->Release();
}

std::atomic<std::int32_t> g_channelClass{0};

bool FakeNewReadSession(ISessionControllerX*, std::int32_t channelClass, IReadParamSession**)
{
    g_channelClass = channelClass;
    return true;
}

TEST(AmplifierSessions, OpenersUseTheMakersTheAmplifierWasBuiltWith)
{
    ScriptedAmplifier device;
    device.SetIdentity(2, "V5.20");
    CobaltAmplifier* without = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(without, nullptr);
    IReadParamSession* read = nullptr;
    EXPECT_FALSE(without->OpenReadParamSession(&read));
    IWriteParamSession* write = nullptr;
    EXPECT_FALSE(without->OpenWriteParamSession(&write));
    ReleaseAmplifier(without);
    SessionFactory factory;
    factory.newReadParamSession = FakeNewReadSession;
    CobaltAmplifier* with = OpenAmplifier(device, QuickTimings(), u"SER2", nullptr, factory);
    ASSERT_NE(with, nullptr);
    EXPECT_TRUE(with->OpenReadParamSession(&read));
    EXPECT_EQ(g_channelClass.load(), 2);
    EXPECT_FALSE(with->OpenWriteParamSession(&write));
    ReleaseAmplifier(with);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
