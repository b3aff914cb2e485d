// Reading HID ids from device paths and the two name formats they come from.
#include <gtest/gtest.h>

#include "platform/devices/DeviceEvents.h"
#include "tests/device_manager_watch/WatchFolder.h"

using platform::devices::HidIds;
using platform::devices::ParseHidId;
using platform::devices::ParseVirtualDeviceName;
using platform::devices::ReadHidIds;
using watch_test::AmplifierName;
using watch_test::WatchFolder;

TEST(HidIdParsing, ReadsBusVendorAndProductInHex)
{
    EXPECT_EQ(ParseHidId("0003:00002F5A:0000A210"), (HidIds{0x2F5A, 0xA210}));
    EXPECT_EQ(ParseHidId("0005:0000046d:0000c52b"), (HidIds{0x046D, 0xC52B}));
}

TEST(HidIdParsing, RefusesMalformedValuesAndIdsBeyondSixteenBits)
{
    EXPECT_FALSE(ParseHidId(""));
    EXPECT_FALSE(ParseHidId("0003:00002F5A"));
    EXPECT_FALSE(ParseHidId("0003::0000A210"));
    EXPECT_FALSE(ParseHidId("0003:00002F5A:0000A21G"));
    EXPECT_FALSE(ParseHidId("0003:00012F5A:0000A210"));
    EXPECT_FALSE(ParseHidId("0003:-1:0000A210"));
}

TEST(VirtualDeviceNames, ReadIdsFromLowerCaseHexAndAcceptSerialCharacters)
{
    EXPECT_EQ(ParseVirtualDeviceName("2f5a-a210-AMP_01.sock"), (HidIds{0x2F5A, 0xA210}));
    EXPECT_EQ(ParseVirtualDeviceName("0000-a200-x.sock"), (HidIds{0x0000, 0xA200}));
}

TEST(VirtualDeviceNames, RefuseOtherNames)
{
    EXPECT_FALSE(ParseVirtualDeviceName("2F5A-a210-AMP.sock"));    // upper-case id
    EXPECT_FALSE(ParseVirtualDeviceName("2f5a-a210-.sock"));       // empty serial
    EXPECT_FALSE(ParseVirtualDeviceName("2f5a-a210-AM-P.sock"));   // '-' in the serial
    EXPECT_FALSE(ParseVirtualDeviceName("2f5a-a210-AMP.sock.lock"));
    EXPECT_FALSE(ParseVirtualDeviceName(".2f5a-a210-AMP.sock.tmp"));
    EXPECT_FALSE(ParseVirtualDeviceName("virtual-amp.control"));
    EXPECT_FALSE(ParseVirtualDeviceName("2f5a-a210-" + std::string(40, 'S') + ".sock"));
    EXPECT_TRUE(ParseVirtualDeviceName("2f5a-a210-" + std::string(39, 'S') + ".sock"));
}

TEST(ReadHidIds, ReadsAVirtualDeviceSocket)
{
    WatchFolder folder;
    ASSERT_TRUE(folder.Plug(AmplifierName("S1")));
    EXPECT_EQ(ReadHidIds(folder.PathOf(AmplifierName("S1"))), (HidIds{0x2F5A, 0xA210}));
}

TEST(ReadHidIds, GivesNothingForAMissingPathOrAPlainFile)
{
    WatchFolder folder;
    EXPECT_FALSE(ReadHidIds(folder.PathOf(AmplifierName("GONE"))));
    ASSERT_TRUE(folder.Touch(AmplifierName("FILE")));
    EXPECT_FALSE(ReadHidIds(folder.PathOf(AmplifierName("FILE"))));
    EXPECT_FALSE(ReadHidIds(""));
    EXPECT_FALSE(ReadHidIds("/dev/null"));  // a character device that is not hidraw
}
