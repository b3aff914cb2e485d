// Screening: only the amplifier's interface leads to a rescan.
#include <gtest/gtest.h>
#include <poll.h>

#include "device_manager/core/RefCounting.h"
#include "device_manager/watcher/DeviceWatcher.h"
#include "device_manager/watcher/Screening.h"
#include "tests/device_manager_watch/WatchFolder.h"

using namespace CobaltDeviceManager;
using watch_test::AmplifierName;
using watch_test::WatchFolder;

namespace {

class CountingManager : public IAmplifierListRefresh {
public:
    void RefreshAmplifierList() override { ++refreshes; }
    int refreshes = 0;
};

class ScreeningTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateScreening(&screening, &manager)); }
    void TearDown() override { screening->Release(); }

    WatchFolder folder;
    CountingManager manager;
    IDeviceWatcherNotify* screening = nullptr;
};

}  // namespace

TEST_F(ScreeningTest, TheAmplifiersInterfaceRescansOnArrivalAndOnEveryRepeat)
{
    ASSERT_TRUE(folder.Plug(AmplifierName("AMP")));
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("AMP")));
    EXPECT_EQ(manager.refreshes, 1);
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("AMP")));
    EXPECT_EQ(manager.refreshes, 2);
}

TEST_F(ScreeningTest, AnotherVendorOrProductCausesNoRescan)
{
    ASSERT_TRUE(folder.Plug(AmplifierName("OTHERV", 0x1234, 0xA210)));
    ASSERT_TRUE(folder.Plug(AmplifierName("A200", 0x2F5A, 0xA200)));
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("OTHERV", 0x1234, 0xA210)));
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("A200", 0x2F5A, 0xA200)));
    EXPECT_EQ(manager.refreshes, 0);
}

TEST_F(ScreeningTest, AnInterfaceThatCannotBeReadCausesNoRescan)
{
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("GONE")));
    ASSERT_TRUE(folder.Touch(AmplifierName("PLAIN")));
    screening->OnDeviceArrival(folder.PathOf(AmplifierName("PLAIN")));
    EXPECT_EQ(manager.refreshes, 0);
}

TEST_F(ScreeningTest, ARemovalRescansOnlyForAnAcceptedPathWhateverItsCase)
{
    ASSERT_TRUE(folder.Plug(AmplifierName("AMP")));
    const std::string path = folder.PathOf(AmplifierName("AMP"));
    screening->OnDeviceRemoval(path);
    EXPECT_EQ(manager.refreshes, 0);
    screening->OnDeviceArrival(path);
    screening->OnDeviceRemoval(FoldToUpper(path));
    EXPECT_EQ(manager.refreshes, 2);
    screening->OnDeviceRemoval(path);
    EXPECT_EQ(manager.refreshes, 2);
}

TEST_F(ScreeningTest, AnAmplifierPluggedInBeforeStartIsRescannedBeforeStartReturns)
{
    ASSERT_TRUE(folder.Plug(AmplifierName("EARLY")));
    ASSERT_TRUE(folder.Plug(AmplifierName("MOUSE", 0x046D, 0xC52B)));
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    DeviceWatcher watcher(sources);
    ASSERT_TRUE(watcher.Start(screening));
    EXPECT_EQ(manager.refreshes, 1);
    watcher.Stop();
}

TEST_F(ScreeningTest, UnpluggingThroughTheWatcherRescans)
{
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    DeviceWatcher watcher(sources);
    ASSERT_TRUE(watcher.Start(screening));
    ASSERT_TRUE(folder.Plug(AmplifierName("HOT")));
    for (int round = 0; round < 50 && manager.refreshes < 1; ++round) {
        pollfd entry{watcher.EventFd(), POLLIN, 0};
        ::poll(&entry, 1, 100);
        watcher.ProcessEvents();
    }
    EXPECT_EQ(manager.refreshes, 1);
    ASSERT_TRUE(folder.Unplug(AmplifierName("HOT")));
    for (int round = 0; round < 50 && manager.refreshes < 2; ++round) {
        pollfd entry{watcher.EventFd(), POLLIN, 0};
        ::poll(&entry, 1, 100);
        watcher.ProcessEvents();
    }
    EXPECT_EQ(manager.refreshes, 2);
    watcher.Stop();
}
