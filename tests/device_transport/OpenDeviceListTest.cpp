// The open-device list: one opener per device, report I/O only on the opening thread.
#include <thread>

#include <gtest/gtest.h>

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/transport/OpenDeviceList.h"
#include "tests/device_transport/ScriptedDevice.h"

namespace {

using namespace QuarryDriver;
using testing_support::Report;
using testing_support::ScriptedDevice;
using testing_support::VirtualHidFolder;

std::vector<Report> Echo(const Report& in)
{
    return {in};
}

class OpenDeviceListTest : public ::testing::Test {
protected:
    VirtualHidFolder folder_;
    ScriptedDevice device_{folder_.SocketPath(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, "LIST1"), Echo};
};

TEST_F(OpenDeviceListTest, OpeningThreadExchangesReports)
{
    ASSERT_EQ(OpenDevice(device_.Path()), 1);
    Report out{};
    out[0] = 0x5A;
    Report in{};
    EXPECT_EQ(WriteReport(device_.Path(), out.data(), 1000), IoResult::Ok);
    EXPECT_EQ(ReadReport(device_.Path(), in.data(), 1000), IoResult::Ok);
    EXPECT_EQ(in, out);
    EXPECT_EQ(CloseDevice(device_.Path()), 1);
}

TEST_F(OpenDeviceListTest, OpeningAgainOnTheSameThreadKeepsTheOneOpen)
{
    ASSERT_EQ(OpenDevice(device_.Path()), 1);
    EXPECT_EQ(OpenDevice(device_.Path()), 1);
    Report buffer{};
    EXPECT_EQ(WriteReport(device_.Path(), buffer.data(), 1000), IoResult::Ok);
    EXPECT_EQ(ReadReport(device_.Path(), buffer.data(), 1000), IoResult::Ok);
    EXPECT_EQ(CloseDevice(device_.Path()), 1);
    EXPECT_EQ(CloseDevice(device_.Path()), 0);
    EXPECT_EQ(device_.Connections(), 1);
}

TEST_F(OpenDeviceListTest, OtherThreadCanNeitherOpenNorTalkNorClose)
{
    ASSERT_EQ(OpenDevice(device_.Path()), 1);
    int opened = -1;
    int closed = -1;
    IoResult wrote = IoResult::Ok;
    IoResult read = IoResult::Ok;
    std::thread other([&] {
        Report buffer{};
        opened = OpenDevice(device_.Path());
        wrote = WriteReport(device_.Path(), buffer.data(), 100);
        read = ReadReport(device_.Path(), buffer.data(), 100);
        closed = CloseDevice(device_.Path());
    });
    other.join();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(wrote, IoResult::Refused);
    EXPECT_EQ(read, IoResult::Refused);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(device_.ReceivedCount(), 0u);
    EXPECT_EQ(CloseDevice(device_.Path()), 1);
}

TEST_F(OpenDeviceListTest, AbortFromAnotherThreadEndsTheRead)
{
    ASSERT_EQ(OpenDevice(device_.Path()), 1);
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        AbortDevice(device_.Path());
    });
    Report in{};
    EXPECT_EQ(ReadReport(device_.Path(), in.data(), 10000), IoResult::Aborted);
    aborter.join();
    EXPECT_EQ(CloseDevice(device_.Path()), 1);
}

TEST_F(OpenDeviceListTest, IoOnAPathNotOpenIsRefused)
{
    Report buffer{};
    EXPECT_EQ(WriteReport(device_.Path(), buffer.data(), 100), IoResult::Refused);
    EXPECT_EQ(ReadReport(device_.Path(), buffer.data(), 100), IoResult::Refused);
    AbortDevice(device_.Path());  // nothing to abort: no effect
    EXPECT_EQ(DevicePresent(device_.Path()), 1);
    EXPECT_EQ(DevicePresent(device_.Path() + "x"), 0);
}

}  // namespace
