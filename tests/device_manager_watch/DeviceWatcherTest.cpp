// The device watcher: known paths, arrivals and removals, and the devices present at start.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "device_manager/core/RefCounting.h"
#include "device_manager/watcher/DeviceWatcher.h"
#include "tests/device_manager_watch/WatchFolder.h"

using namespace CobaltDeviceManager;
using watch_test::AmplifierName;
using watch_test::WatchFolder;

namespace {

class RecordingSinkImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public IDeviceWatcherNotify {
public:
    void OnDeviceArrival(const std::string& path) override { events.push_back("+" + path); }
    void OnDeviceRemoval(const std::string& path) override { events.push_back("-" + path); }
    std::uint32_t Count() const { return m_refCount; }

    std::vector<std::string> events;
};
using RecordingSink = RCObject2<RecordingSinkImpl>;

platform::devices::MonitorSources FolderOnly(const WatchFolder& folder)
{
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    return sources;
}

platform::devices::MonitorSources NoSources()
{
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    return sources;
}

}  // namespace

TEST(DeviceWatcherPaths, AnArrivalDifferingOnlyInLetterCaseIsNotReportedAgain)
{
    DeviceWatcher watcher(NoSources());
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    EXPECT_TRUE(watcher.OnInterfaceArrival("/dev/Amp-One"));
    EXPECT_FALSE(watcher.OnInterfaceArrival("/DEV/amp-one"));
    EXPECT_EQ(sink->events, (std::vector<std::string>{"+/dev/Amp-One"}));
    watcher.Stop();
    sink->Release();
}

TEST(DeviceWatcherPaths, TheSinkHearsThePathAsReceivedNotFolded)
{
    DeviceWatcher watcher(NoSources());
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    watcher.OnInterfaceArrival("/tmp/Mixed/2f5a-a210-Ab.sock");
    watcher.OnInterfaceRemoval("/tmp/MIXED/2f5a-a210-AB.sock");
    EXPECT_EQ(sink->events,
              (std::vector<std::string>{"+/tmp/Mixed/2f5a-a210-Ab.sock", "-/tmp/MIXED/2f5a-a210-AB.sock"}));
    watcher.Stop();
    sink->Release();
}

TEST(DeviceWatcherPaths, ARemovalIsForwardedEvenForAPathNeverSeen)
{
    DeviceWatcher watcher(NoSources());
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    EXPECT_TRUE(watcher.OnInterfaceRemoval("/dev/never-seen"));
    EXPECT_TRUE(watcher.OnInterfaceRemoval("/dev/never-seen"));
    EXPECT_EQ(sink->events, (std::vector<std::string>{"-/dev/never-seen", "-/dev/never-seen"}));
    watcher.Stop();
    sink->Release();
}

TEST(DeviceWatcherPaths, APathRemovedArrivesAgain)
{
    DeviceWatcher watcher(NoSources());
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    watcher.OnInterfaceArrival("/dev/a");
    watcher.OnInterfaceRemoval("/dev/A");
    EXPECT_TRUE(watcher.OnInterfaceArrival("/dev/a"));
    EXPECT_EQ(sink->events, (std::vector<std::string>{"+/dev/a", "-/dev/A", "+/dev/a"}));
    watcher.Stop();
    sink->Release();
}

TEST(DeviceWatcherSink, StartReportsDevicesPresentAndHoldsTheSinkUntilStop)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("P1")));
    DeviceWatcher watcher(FolderOnly(folder));
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    EXPECT_EQ(sink->events, (std::vector<std::string>{"+" + folder.PathOf(AmplifierName("P1"))}));
    EXPECT_EQ(sink->Count(), 2u);
    EXPECT_GE(watcher.EventFd(), 0);
    watcher.Stop();
    EXPECT_EQ(sink->Count(), 1u);
    EXPECT_EQ(watcher.EventFd(), -1);
    sink->Release();
}

TEST(DeviceWatcherSink, AStartWithANewSinkReleasesTheOldAndReportsNothingKnownAgain)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("P1")));
    DeviceWatcher watcher(FolderOnly(folder));
    auto* first = CreateRCObject<RecordingSink>();
    auto* second = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(first));
    ASSERT_TRUE(watcher.Start(second));
    EXPECT_EQ(first->Count(), 1u);
    EXPECT_EQ(second->Count(), 2u);
    EXPECT_TRUE(second->events.empty());
    watcher.Stop();
    first->Release();
    second->Release();
}

TEST(DeviceWatcherSink, WithoutASinkArrivalsAreStillRemembered)
{
    DeviceWatcher watcher(NoSources());
    ASSERT_TRUE(watcher.Start(nullptr));
    EXPECT_TRUE(watcher.OnInterfaceArrival("/dev/a"));
    EXPECT_FALSE(watcher.OnInterfaceArrival("/dev/a"));
}

TEST(DeviceWatcherEvents, ProcessEventsPassesFolderChangesOn)
{
    WatchFolder folder;
    DeviceWatcher watcher(FolderOnly(folder));
    auto* sink = CreateRCObject<RecordingSink>();
    ASSERT_TRUE(watcher.Start(sink));
    ASSERT_TRUE(folder.Plug(AmplifierName("E1")));
    ASSERT_TRUE(folder.Unplug(AmplifierName("E1")));
    // Both events may come in one read or two.
    for (int round = 0; round < 50 && sink->events.size() < 2; ++round) {
        pollfd entry{watcher.EventFd(), POLLIN, 0};
        ::poll(&entry, 1, 100);
        watcher.ProcessEvents();
    }
    const std::string path = folder.PathOf(AmplifierName("E1"));
    EXPECT_EQ(sink->events, (std::vector<std::string>{"+" + path, "-" + path}));
    watcher.Stop();
    sink->Release();
}

TEST(DeviceWatcherEvents, ProcessEventsBeforeStartDoesNothing)
{
    DeviceWatcher watcher(NoSources());
    watcher.ProcessEvents();
    EXPECT_FALSE(watcher.IsStarted());
}
