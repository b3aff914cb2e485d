// The device monitor on a folder of virtual devices.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/devices/DeviceMonitor.h"
#include "tests/device_manager_watch/WatchFolder.h"

using platform::devices::DeviceEvent;
using platform::devices::DeviceEventKind;
using platform::devices::DeviceMonitor;
using platform::devices::MonitorSources;
using watch_test::AmplifierName;
using watch_test::WatchFolder;

namespace {

constexpr std::chrono::milliseconds kHangGuard{30000};

MonitorSources FolderOnly(const WatchFolder& folder)
{
    MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.Path();
    return sources;
}

std::vector<DeviceEvent> ReadAfterReadable(DeviceMonitor& monitor)
{
    EXPECT_TRUE(monitor.WaitReadable(kHangGuard));
    return monitor.ReadEvents();
}

}  // namespace

TEST(DeviceMonitorFolder, ReportsASocketCreatedInTheFolderAsAnArrival)
{
    WatchFolder folder;
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->SourceCount(), 1);
    ASSERT_TRUE(folder.Plug(AmplifierName("A1")));
    const auto events = ReadAfterReadable(*monitor);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (DeviceEvent{DeviceEventKind::Arrival, folder.PathOf(AmplifierName("A1"))}));
}

TEST(DeviceMonitorFolder, ReportsASocketRenamedIntoPlaceAsOneArrival)
{
    WatchFolder folder;
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    ASSERT_TRUE(folder.PlugByRename(AmplifierName("R1")));
    const auto events = ReadAfterReadable(*monitor);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (DeviceEvent{DeviceEventKind::Arrival, folder.PathOf(AmplifierName("R1"))}));
}

TEST(DeviceMonitorFolder, ReportsARemovedSocketAsARemoval)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("A1")));
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    ASSERT_TRUE(folder.Unplug(AmplifierName("A1")));
    const auto events = ReadAfterReadable(*monitor);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (DeviceEvent{DeviceEventKind::Removal, folder.PathOf(AmplifierName("A1"))}));
}

TEST(DeviceMonitorFolder, IgnoresFilesThatAreNotNamedLikeDevices)
{
    WatchFolder folder;
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    ASSERT_TRUE(folder.Touch("virtual-amp.control"));
    ASSERT_TRUE(folder.Touch(AmplifierName("A1") + ".lock"));
    ASSERT_TRUE(folder.Plug(AmplifierName("A2")));
    const auto events = ReadAfterReadable(*monitor);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].path, folder.PathOf(AmplifierName("A2")));
}

TEST(DeviceMonitorFolder, ReadEventsNeverBlocksWhenNothingHappened)
{
    WatchFolder folder;
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    EXPECT_FALSE(monitor->WaitReadable(std::chrono::milliseconds(0)));
    EXPECT_TRUE(monitor->ReadEvents().empty());
}

TEST(DeviceMonitorFolder, ListsPresentDevicesInNameOrder)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("B")));
    ASSERT_TRUE(folder.Plug(AmplifierName("A")));
    ASSERT_TRUE(folder.Touch("notes.txt"));
    auto monitor = DeviceMonitor::Open(FolderOnly(folder));
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->PresentDevices(),
              (std::vector<std::string>{folder.PathOf(AmplifierName("A")), folder.PathOf(AmplifierName("B"))}));
}

TEST(DeviceMonitorFolder, AMissingFolderLeavesTheMonitorWithoutThatSource)
{
    MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = "/nonexistent/qdwatch-folder";
    auto monitor = DeviceMonitor::Open(sources);
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->SourceCount(), 0);
    EXPECT_GE(monitor->Fd(), 0);
    EXPECT_TRUE(monitor->PresentDevices().empty());
}

TEST(DeviceMonitorHidraw, ListsOnlyHidrawDeviceNodes)
{
    MonitorSources sources;
    sources.hidraw = true;
    auto monitor = DeviceMonitor::Open(sources);
    ASSERT_TRUE(monitor);
    // Machines without udev or without HID devices list nothing; whatever is listed is a
    // hidraw node.
    for (const std::string& path : monitor->PresentDevices()) {
        EXPECT_EQ(path.rfind("/dev/hidraw", 0), 0u) << path;
    }
}
