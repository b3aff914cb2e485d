// The device manager: the amplifier list across rescans, the change notice, scan mode.
#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <functional>
#include <thread>
#include <cstring>

#include "QuarryVendorId.h"
#include "device_manager/manager/CDeviceManager.h"
#include "device_manager/sessions/IParamSessions.h"
#include "platform/messages/RecordingWindow.h"
#include "tests/device_manager_sessions/PumpManager.h"
#include "tests/device_manager_watch/ManagerTestSupport.h"
#include "tests/device_manager_watch/WatchFolder.h"

using namespace manager_test;
using watch_test::AmplifierName;
using watch_test::WatchFolder;

namespace {

platform::devices::MonitorSources NoSources()
{
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    return sources;
}

std::vector<std::string> Serials(int count)
{
    std::vector<std::string> serials;
    for (int i = 0; i < count; ++i) {
        serials.push_back("AMP" + std::to_string(i));
    }
    return serials;
}

class DeviceManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        message = platform::RegisterMessage("_Kx_WmDeviceChanged_");
        manager = MakeManager(library, watcher, log);
        ASSERT_TRUE(manager->SetNotifyTarget(window.Id(), message));
    }

    std::size_t Posts() { return window.Messages(message).size(); }

    std::vector<std::string> Keys()
    {
        std::vector<std::string> keys;
        for (const auto& key : manager->Keys()) {
            keys.push_back(Narrow(key));
        }
        return keys;
    }

    std::shared_ptr<ScanScriptLibrary> library = std::make_shared<ScanScriptLibrary>();
    std::shared_ptr<AmplifierLog> log = std::make_shared<AmplifierLog>();
    DeviceWatcher watcher{NoSources()};
    platform::RecordingWindow window;
    platform::MessageId message = platform::kNoMessage;
    std::unique_ptr<CDeviceManager> manager;
};

}  // namespace

TEST(DeviceManagerStartUp, RegistersTheAmplifierWithTheLibrary)
{
    auto library = std::make_shared<ScanScriptLibrary>();
    DeviceWatcher watcher(NoSources());
    auto manager = MakeManager(library, watcher, std::make_shared<AmplifierLog>());
    EXPECT_EQ(library->RegisterCalls(), 1);
    EXPECT_EQ(library->ScanCalls(), 0);
}

TEST(DeviceManagerKeys, AKeyIsTheSerialFieldUpToItsTerminatorOrAllFortyBytes)
{
    QdmScanRecord record{};
    std::memcpy(record.serial, "Ab_12", 5);
    EXPECT_EQ(KeyOfScanRecord(record), u"Ab_12");
    std::memset(record.serial, 'Z', sizeof record.serial);
    EXPECT_EQ(KeyOfScanRecord(record), std::u16string(40, u'Z'));
}

TEST_F(DeviceManagerTest, CountsZeroOneOneTwoTwoThreeTwoZeroPostOnlyAtOneOrBelowOrWhenReachingTwo)
{
    const int counts[] = {0, 1, 1, 2, 2, 3, 2, 0};
    const std::size_t postsAfter[] = {1, 2, 3, 4, 4, 4, 4, 5};
    for (std::size_t i = 0; i < std::size(counts); ++i) {
        library->SetScan(Serials(counts[i]));
        manager->RefreshAmplifierList();
        EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), counts[i]) << "refresh " << i;
        EXPECT_EQ(Posts(), postsAfter[i]) << "refresh " << i;
    }
    for (const auto& posted : window.Messages(message)) {
        EXPECT_EQ(posted.wParam, 0u);
        EXPECT_EQ(posted.lParam, 0);
    }
}

TEST_F(DeviceManagerTest, AFailedScanChangesNothingAndPostsNothing)
{
    library->SetScan(Serials(1));
    manager->RefreshAmplifierList();
    library->SetScanFails(true);
    library->SetScan({});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Posts(), 1u);
    EXPECT_EQ(Keys(), std::vector<std::string>{"AMP0"});
    EXPECT_EQ(log->Alive(), 1);
}

TEST_F(DeviceManagerTest, NewAmplifiersAreMadeInKeyOrderOnceEachAndMarkedPresent)
{
    library->SetScan({"B", "A", "B"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(log->Events(),
              (std::vector<std::string>{"make A", "open A", "make B", "open B", "present A 1", "present B 1"}));
}

TEST_F(DeviceManagerTest, AVanishedAmplifierIsMarkedAbsentAndReleased)
{
    library->SetScan({"A", "B"});
    manager->RefreshAmplifierList();
    library->SetScan({"B"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), std::vector<std::string>{"B"});
    const auto events = log->Events();
    const std::vector<std::string> tail(events.end() - 4, events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"present A 0", "end-service A", "end A", "present B 1"}));
    EXPECT_EQ(log->Alive(), 1);
}

// The library holds one device at a time: the amplifier plugged in beside the one that
// vanished is opened by the same rescan, once the vanished one has let go.
TEST_F(DeviceManagerTest, AVanishedAmplifierLetsGoBeforeTheOneBesideItIsOpened)
{
    log->oneOpenAtATime = true;
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    library->SetScan({"A", "B"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), std::vector<std::string>{"A"});
    EXPECT_EQ(manager->KeysAwaitingOpen(), std::vector<std::u16string>{u"B"});
    library->SetScan({"B"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), std::vector<std::string>{"B"});
    EXPECT_TRUE(manager->KeysAwaitingOpen().empty());
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 1);
    EXPECT_EQ(Posts(), 3u);
}

TEST_F(DeviceManagerTest, AnAmplifierThatCannotBeOpenedIsLeftOutAndTriedAgain)
{
    log->refuseOpen = {"A"};
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    EXPECT_TRUE(Keys().empty());
    EXPECT_EQ(log->Alive(), 0);
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 0);
    log->refuseOpen.clear();
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), std::vector<std::string>{"A"});
}

TEST_F(DeviceManagerTest, KeysAreComparedExactly)
{
    library->SetScan({"amp"});
    manager->RefreshAmplifierList();
    ICobaltAmplifierHandle* handle = nullptr;
    EXPECT_FALSE(manager->FindAmplifierByKey(u"AMP", &handle));
    EXPECT_EQ(handle, nullptr);
    ASSERT_TRUE(manager->FindAmplifierByKey(u"amp", &handle));
    EXPECT_EQ(handle->GetDevicePath(), u"amp");
    handle->Release();
    library->SetScan({"amp", "AMP"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(Keys(), (std::vector<std::string>{"amp", "AMP"}));
}

TEST_F(DeviceManagerTest, TheFirstActiveAmplifierIsHandedOutWithAReference)
{
    ICobaltAmplifier* sentinel = reinterpret_cast<ICobaltAmplifier*>(0x1);
    ICobaltAmplifier* amplifier = sentinel;
    EXPECT_EQ(manager->ForFirstActiveAmplifier(&amplifier), 0);
    EXPECT_EQ(amplifier, sentinel);
    library->SetScan({"B", "A"});
    manager->RefreshAmplifierList();
    amplifier = nullptr;
    EXPECT_EQ(manager->ForFirstActiveAmplifier(&amplifier), 2);
    ASSERT_NE(amplifier, nullptr);
    library->SetScan({});
    manager->RefreshAmplifierList();
    EXPECT_EQ(log->Alive(), 1);  // the caller's reference keeps "A"
    amplifier->Release();
    EXPECT_EQ(log->Alive(), 0);
}

TEST_F(DeviceManagerTest, ASuspendedManagerRemembersOneRescanAndRunsItOnResume)
{
    manager->SetScanMode(true, false);
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    manager->RefreshAmplifierList();
    EXPECT_EQ(library->ScanCalls(), 0);
    EXPECT_TRUE(manager->IsRescanPending());
    manager->SetScanMode(false, false);
    EXPECT_EQ(library->ScanCalls(), 1);
    EXPECT_FALSE(manager->IsRescanPending());
    EXPECT_EQ(Keys(), std::vector<std::string>{"A"});
    manager->SetScanMode(false, false);
    EXPECT_EQ(library->ScanCalls(), 1);
}

TEST_F(DeviceManagerTest, SuspendingWithClearKeepsTheListAndResumingWithoutARequestDoesNotRescan)
{
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    manager->SetScanMode(true, true);
    EXPECT_EQ(Keys(), std::vector<std::string>{"A"});
    manager->SetScanMode(false, false);
    EXPECT_EQ(library->ScanCalls(), 1);
    EXPECT_EQ(log->Alive(), 1);
}

TEST_F(DeviceManagerTest, ResumingWithClearEndsTheOldObjectAndConnectsANewOne)
{
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    manager->SetScanMode(false, true);
    EXPECT_EQ(Keys(), std::vector<std::string>{"A"});
    const auto events = log->Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "make A"), 2);
    EXPECT_EQ(std::count(events.begin(), events.end(), "end A"), 1);
    EXPECT_EQ(log->Alive(), 1);
}

TEST_F(DeviceManagerTest, AnAmplifierReplugedBetweenRefreshesKeepsItsObjectUnlessARefreshSawItGone)
{
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    manager->RefreshAmplifierList();
    auto events = log->Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "make A"), 1);
    library->SetScan({});
    manager->RefreshAmplifierList();
    library->SetScan({"A"});
    manager->RefreshAmplifierList();
    events = log->Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "make A"), 2);
}

TEST_F(DeviceManagerTest, DestroyingTheManagerReleasesEveryAmplifier)
{
    library->SetScan({"A", "B"});
    manager->RefreshAmplifierList();
    EXPECT_EQ(log->Alive(), 2);
    manager.reset();
    EXPECT_EQ(log->Alive(), 0);
    EXPECT_FALSE(watcher.IsStarted());
}

namespace {

using namespace std::chrono_literals;

// The manager's pauses shortened; the retries come through its descriptor.
class DeviceManagerRetryTest : public DeviceManagerTest {
protected:
    void SetUp() override
    {
        AmplifierTimings timings;
        timings.openRetryFirstPause = 30ms;
        timings.openRetryLongestPause = 120ms;
        message = platform::RegisterMessage("_Kx_WmDeviceChanged_");
        manager = MakeManager(library, watcher, log, timings);
        ASSERT_TRUE(manager->SetNotifyTarget(window.Id(), message));
        log->refuseOpen = {"B"};
        library->SetScan({"B"});
        manager->RefreshAmplifierList();
    }

    bool PumpUntil(const std::function<bool()>& done) { return e2e_test::PumpManagerUntil(*manager, done, 10s, 50ms); }

    void Refuse(bool refuse)
    {
        std::lock_guard<std::mutex> guard(log->lock);
        log->refuseOpen = refuse ? std::vector<std::string>{"B"} : std::vector<std::string>{};
    }
};

}  // namespace

TEST_F(DeviceManagerRetryTest, AFailedOpenIsRetriedAfterDoublingPausesQuietlyUntilItOpens)
{
    ASSERT_TRUE(PumpUntil([&] { return log->Count("open B") >= 5; }));
    const std::vector<std::chrono::steady_clock::time_point> at = [&] {
        std::lock_guard<std::mutex> guard(log->lock);
        return log->openedAt;
    }();
    const std::chrono::milliseconds pauses[] = {30ms, 60ms, 120ms, 120ms};
    for (std::size_t i = 0; i < std::size(pauses); ++i) {
        EXPECT_GE(at[i + 1] - at[i], pauses[i]) << "retry " << i + 1;
    }
    EXPECT_EQ(Posts(), 1u);
    Refuse(false);
    ASSERT_TRUE(PumpUntil([&] { return !Keys().empty(); }));
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 1);
    EXPECT_TRUE(manager->KeysAwaitingOpen().empty());
    EXPECT_EQ(Posts(), 2u);
}

TEST_F(DeviceManagerRetryTest, ARetriedOpenRunsOffTheUiThreadAndARescanTakesItsOutcomeFirst)
{
    log->HoldOpens(true);
    Refuse(false);
    // The loop goes on while the retried open waits.
    ASSERT_TRUE(PumpUntil([&] { return log->OpensHeld() == 1; }));
    EXPECT_TRUE(Keys().empty());
    std::thread user([&] {
        std::this_thread::sleep_for(50ms);
        log->HoldOpens(false);
    });
    manager->RefreshAmplifierList();
    user.join();
    EXPECT_EQ(Keys(), std::vector<std::string>{"B"});
    EXPECT_EQ(log->Count("open B"), 2);
    EXPECT_EQ(Posts(), 2u);
}

TEST_F(DeviceManagerRetryTest, RetriesStopWhenTheAmplifierLeavesTheScan)
{
    library->SetScan({});
    manager->RefreshAmplifierList();
    EXPECT_TRUE(manager->KeysAwaitingOpen().empty());
    // Nothing is due any more, so the descriptor stays quiet for many pauses.
    pollfd entry{manager->DeviceEventFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&entry, 1, 300), 0);
    EXPECT_EQ(log->Count("open B"), 1);
}

TEST_F(DeviceManagerRetryTest, ARetryDueWhileSuspendedWaitsForTheResumeAndThenRunsFromTheEventLoop)
{
    manager->SetScanMode(true, false);
    Refuse(false);
    pollfd entry{manager->DeviceEventFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 10000), 1);
    manager->ProcessDeviceEvents();
    EXPECT_EQ(log->Count("open B"), 1);
    EXPECT_FALSE(manager->IsRescanPending());
    manager->SetScanMode(false, false);
    EXPECT_EQ(log->Count("open B"), 1);
    ASSERT_TRUE(PumpUntil([&] { return !Keys().empty(); }));
    EXPECT_EQ(log->Count("open B"), 2);
}

TEST(DeviceManagerWatching, AnAmplifierPluggedInBeforeTheTargetIsSetIsScannedInsideTheCall)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("S1")));
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    DeviceWatcher watcher(sources);
    auto library = std::make_shared<ScanScriptLibrary>();
    library->SetScan({"S1"});
    auto log = std::make_shared<AmplifierLog>();
    auto manager = MakeManager(library, watcher, log);
    platform::RecordingWindow window;
    const auto message = platform::RegisterMessage("_Kx_WmDeviceChanged_");
    ASSERT_TRUE(manager->SetNotifyTarget(window.Id(), message));
    EXPECT_EQ(library->ScanCalls(), 1);
    EXPECT_EQ(window.Messages(message).size(), 1u);
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 1);
}

TEST(DeviceManagerWatching, PluggingAndUnpluggingThroughTheEventLoopRescans)
{
    WatchFolder folder;
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    DeviceWatcher watcher(sources);
    auto library = std::make_shared<ScanScriptLibrary>();
    auto log = std::make_shared<AmplifierLog>();
    auto manager = MakeManager(library, watcher, log);
    platform::RecordingWindow window;
    ASSERT_TRUE(manager->SetNotifyTarget(window.Id(), platform::RegisterMessage("_Kx_WmDeviceChanged_")));
    EXPECT_EQ(library->ScanCalls(), 0);
    const auto pump = [&](int scans) {
        for (int round = 0; round < 50 && library->ScanCalls() < scans; ++round) {
            pollfd entry{manager->DeviceEventFd(), POLLIN, 0};
            ::poll(&entry, 1, 100);
            manager->ProcessDeviceEvents();
        }
    };
    library->SetScan({"HOT"});
    ASSERT_TRUE(folder.Plug(AmplifierName("HOT")));
    ASSERT_TRUE(folder.Plug(AmplifierName("MOUSE", 0x046D, 0xC52B)));
    pump(1);
    EXPECT_EQ(library->ScanCalls(), 1);
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 1);
    library->SetScan({});
    ASSERT_TRUE(folder.Unplug(AmplifierName("HOT")));
    pump(2);
    EXPECT_EQ(library->ScanCalls(), 2);
    EXPECT_EQ(manager->ForFirstActiveAmplifier(nullptr), 0);
    EXPECT_EQ(log->Alive(), 0);
}

// The manager builds real amplifier objects that open every session with nothing set up
// beforehand.
TEST(DeviceManagerAmplifiers, TheirSessionOpenersWorkWithoutAnyStartUpStep)
{
    auto library = std::make_shared<ScanScriptLibrary>();
    library->SetScan({"REAL1"});
    library->SetScript([](const FakeOperationCall& call) {
        FakeOperationScript script;
        if (call.kind == FakeOperationKind::ReadBasicInfo) {
            script.payload = {3};  // MV440
        }
        return script;
    });
    DeviceWatcher watcher(NoSources());
    CDeviceManager manager(library, watcher);
    manager.RefreshAmplifierList();
    ICobaltAmplifier* amplifier = nullptr;
    ASSERT_EQ(manager.ForFirstActiveAmplifier(&amplifier), 1);
    IWriteParamSession* write = nullptr;
    EXPECT_TRUE(amplifier->OpenWriteParamSession(&write));
    IReadParamSession* read = nullptr;
    EXPECT_TRUE(amplifier->OpenReadParamSession(&read));
    IUpdateFirmwareSession* firmware = nullptr;
    EXPECT_TRUE(amplifier->OpenFirmwareUpdateSession("Cobalt_5.20.bin", &firmware));
    IUnknown* sessions[] = {write, read, firmware};
    for (IUnknown* session : sessions) {
        if (session != nullptr) {
            session->Release();
        }
    }
    amplifier->Release();
}

// Clearing the list while the document still holds the amplifier: the old object lets go
// of the device at once, so the rescan connects a new one; the holder's later calls fail.
TEST(DeviceManagerAmplifiers, ClearingTheListEndsAnAmplifierThatIsStillHeld)
{
    auto library = std::make_shared<ScanScriptLibrary>();
    library->SetScan({"REAL1"});
    library->SetScript([](const FakeOperationCall& call) {
        FakeOperationScript script;
        if (call.kind == FakeOperationKind::ReadBasicInfo) {
            script.payload = {3};
        }
        return script;
    });
    DeviceWatcher watcher(NoSources());
    CDeviceManager manager(library, watcher);
    manager.RefreshAmplifierList();
    ICobaltAmplifier* held = nullptr;
    ASSERT_EQ(manager.ForFirstActiveAmplifier(&held), 1);
    manager.SetScanMode(false, true);
    ICobaltAmplifier* fresh = nullptr;
    ASSERT_EQ(manager.ForFirstActiveAmplifier(&fresh), 1);
    EXPECT_NE(fresh, held);
    EXPECT_EQ(library->ConnectCalls(), 2);
    EXPECT_TRUE(library->Connected());
    EXPECT_FALSE(held->SetMute(true));
    IWriteParamSession* write = nullptr;
    EXPECT_FALSE(held->OpenWriteParamSession(&write));
    const std::uint8_t polarity[1] = {0};
    EXPECT_FALSE(held->SetBlockParam(8, 0, polarity, 1, polarity, 1));
    held->Release();
    EXPECT_TRUE(library->Connected());
    fresh->Release();
}
