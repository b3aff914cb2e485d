// The virtual HID backend: listing by ids, exclusive open, report exchange, unplugging.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "device_library/include/QuarryVendorId.h"
#include "platform/hid/HidDevice.h"
#include "tests/device_transport/ScriptedDevice.h"

namespace {

using platform::hid::HidDevice;
using platform::hid::HidStatus;
using testing_support::LockHeldElsewhere;
using testing_support::Report;
using testing_support::ScriptedDevice;
using testing_support::VirtualHidFolder;
using testing_support::VirtualLockFile;

constexpr std::uint16_t kVendor = QUARRY_MAKER_VENDOR_ID;
constexpr std::uint16_t kA210 = QUARRY_PRODUCT_ID_A210;
constexpr std::uint16_t kA200 = QUARRY_PRODUCT_ID_A200;

// Echoes each report back with its first byte inverted, so a reply is told from an echo.
std::vector<Report> Echo(const Report& in)
{
    Report out = in;
    out[0] = static_cast<std::uint8_t>(~out[0]);
    return {out};
}

class VirtualHidBackend : public ::testing::Test {
protected:
    VirtualHidFolder folder_;
};

TEST_F(VirtualHidBackend, EnumeratesOnlyWellNamedSocketsWithTheWantedIds)
{
    ScriptedDevice a(folder_.SocketPath(kVendor, kA210, "SN_0001"), Echo);
    ScriptedDevice b(folder_.SocketPath(kVendor, kA200, "SN0002"), Echo);
    ScriptedDevice other(folder_.SocketPath(0x1234, kA210, "X1"), Echo);
    // Neither a regular file with a device name nor a badly named socket is a device.
    std::ofstream(folder_.SocketPath(kVendor, kA210, "PLAINFILE")) << "x";
    ScriptedDevice upperHex(folder_.Path() + "/2F5A-A210-UPPER.sock", Echo);
    ScriptedDevice badSerial(folder_.Path() + "/2f5a-a210-bad-serial.sock", Echo);

    const auto a210 = platform::hid::Enumerate(kVendor, kA210);
    ASSERT_EQ(a210.size(), 1u);
    EXPECT_EQ(a210[0].path, a.Path());
    EXPECT_EQ(a210[0].vendorId, kVendor);
    EXPECT_EQ(a210[0].productId, kA210);
    EXPECT_EQ(a210[0].serial, "SN_0001");

    const auto a200 = platform::hid::Enumerate(kVendor, kA200);
    ASSERT_EQ(a200.size(), 1u);
    EXPECT_EQ(a200[0].serial, "SN0002");

    EXPECT_EQ(platform::hid::Enumerate(kVendor, 0).size(), 2u);
    EXPECT_EQ(platform::hid::Enumerate(0, 0).size(), 3u);
}

TEST_F(VirtualHidBackend, SerialOfFortyCharactersIsNotADevice)
{
    ScriptedDevice longest(folder_.SocketPath(kVendor, kA210, std::string(39, 'A')), Echo);
    ScriptedDevice tooLong(folder_.SocketPath(kVendor, kA210, std::string(40, 'B')), Echo);
    const auto found = platform::hid::Enumerate(kVendor, kA210);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].serial, std::string(39, 'A'));
}

TEST_F(VirtualHidBackend, OpenedDeviceExchangesWholeReports)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), Echo);
    HidStatus status = HidStatus::Error;
    auto open = HidDevice::Open(device.Path(), &status);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(status, HidStatus::Ok);

    Report out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::uint8_t>(i + 1);
    }
    ASSERT_EQ(open->Write(out, 1000), HidStatus::Ok);
    Report in{};
    ASSERT_EQ(open->Read(in, 1000), HidStatus::Ok);
    EXPECT_EQ(in[0], static_cast<std::uint8_t>(~out[0]));
    EXPECT_TRUE(std::equal(in.begin() + 1, in.end(), out.begin() + 1));
    ASSERT_EQ(device.ReceivedCount(), 1u);
    EXPECT_EQ(device.Received()[0].report, out);
}

TEST_F(VirtualHidBackend, ReadWithoutReplyTimesOut)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), [](const Report&) { return std::vector<Report>{}; });
    auto open = HidDevice::Open(device.Path());
    ASSERT_NE(open, nullptr);
    Report in{};
    EXPECT_EQ(open->Read(in, 30), HidStatus::Timeout);
}

TEST_F(VirtualHidBackend, RemovingTheSocketFileIsNoticedByPresenceListingAndReads)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), Echo);
    auto open = HidDevice::Open(device.Path());
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(platform::hid::IsPresent(device.Path()));

    device.Unplug();

    EXPECT_FALSE(platform::hid::IsPresent(device.Path()));
    EXPECT_TRUE(platform::hid::Enumerate(kVendor, kA210).empty());
    Report in{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(open->Read(in, 60000), HidStatus::Gone);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    Report out{};
    EXPECT_EQ(open->Write(out, 1000), HidStatus::Gone);
}

TEST_F(VirtualHidBackend, SocketFileRemovedWhileConnectionLingersReadsAsGone)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), [](const Report&) { return std::vector<Report>{}; });
    auto open = HidDevice::Open(device.Path());
    ASSERT_NE(open, nullptr);
    ::unlink(device.Path().c_str());
    Report in{};
    EXPECT_EQ(open->Read(in, 5000), HidStatus::Gone);
}

TEST_F(VirtualHidBackend, OpenOfAMissingDeviceReportsGone)
{
    HidStatus status = HidStatus::Ok;
    EXPECT_EQ(HidDevice::Open(folder_.SocketPath(kVendor, kA210, "NONE"), &status), nullptr);
    EXPECT_EQ(status, HidStatus::Gone);
}

TEST_F(VirtualHidBackend, SecondOpenInTheSameProcessIsBusyUntilTheFirstCloses)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), Echo);
    auto first = HidDevice::Open(device.Path());
    ASSERT_NE(first, nullptr);
    HidStatus status = HidStatus::Ok;
    EXPECT_EQ(HidDevice::Open(device.Path(), &status), nullptr);
    EXPECT_EQ(status, HidStatus::Busy);
    first.reset();
    EXPECT_NE(HidDevice::Open(device.Path()), nullptr);
}

TEST_F(VirtualHidBackend, DeviceLockedByAnotherProcessIsBusyWithoutConnecting)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), Echo);
    LockHeldElsewhere other(VirtualLockFile(device.Path()));
    ASSERT_TRUE(other.Held());

    HidStatus status = HidStatus::Ok;
    EXPECT_EQ(HidDevice::Open(device.Path(), &status), nullptr);
    EXPECT_EQ(status, HidStatus::Busy);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(device.Connections(), 0);

    other.Release();
    EXPECT_NE(HidDevice::Open(device.Path()), nullptr);
}

TEST_F(VirtualHidBackend, AbortEndsAPendingReadAtOnceAndEveryLaterOne)
{
    ScriptedDevice device(folder_.SocketPath(kVendor, kA210, "S1"), [](const Report&) { return std::vector<Report>{}; });
    auto open = HidDevice::Open(device.Path());
    ASSERT_NE(open, nullptr);
    std::atomic<bool> reading{false};
    HidStatus result = HidStatus::Ok;
    std::chrono::steady_clock::duration waited{};
    std::thread reader([&] {
        Report in{};
        reading = true;
        const auto start = std::chrono::steady_clock::now();
        result = open->Read(in, 60000);
        waited = std::chrono::steady_clock::now() - start;
    });
    while (!reading) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    open->Abort();
    reader.join();
    EXPECT_EQ(result, HidStatus::Aborted);
    EXPECT_LT(waited, std::chrono::seconds(10));  // far below the time-out: the abort ended it
    Report out{};
    EXPECT_EQ(open->Write(out, 1000), HidStatus::Aborted);
    EXPECT_EQ(device.ReceivedCount(), 0u);
}

TEST_F(VirtualHidBackend, InputReportArrivingInPiecesIsReassembled)
{
    const std::string path = folder_.SocketPath(kVendor, kA210, "PIECES");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    auto open = HidDevice::Open(path);
    ASSERT_NE(open, nullptr);
    const int peer = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    Report sent{};
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    std::thread writer([&] {
        ASSERT_EQ(::send(peer, sent.data(), 10, 0), 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ASSERT_EQ(::send(peer, sent.data() + 10, 54, 0), 54);
    });
    Report got{};
    EXPECT_EQ(open->Read(got, 2000), HidStatus::Ok);
    writer.join();
    EXPECT_EQ(got, sent);
    open.reset();
    ::close(peer);
    ::close(listener);
    ::unlink(path.c_str());
}

}  // namespace

namespace {

TEST(HidBackendChoice, HidrawServesWhenNoVirtualFolderIsNamed)
{
    std::string socketPath;
    {
        VirtualHidFolder folder;
        ScriptedDevice device(folder.SocketPath(kVendor, kA210, "CHOICE"), Echo);
        socketPath = device.Path();
        EXPECT_TRUE(platform::hid::IsPresent(socketPath));

        ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
        // hidraw knows only character devices.
        EXPECT_FALSE(platform::hid::IsPresent(socketPath));
        HidStatus status = HidStatus::Ok;
        EXPECT_EQ(HidDevice::Open(socketPath, &status), nullptr);
        EXPECT_EQ(status, HidStatus::Gone);
        for (const auto& info : platform::hid::Enumerate(kVendor, kA210)) {
            EXPECT_NE(info.path, socketPath);
        }
        EXPECT_EQ(device.Connections(), 0);
    }
}

TEST(HidBackendChoice, EmptyVirtualFolderVariableMeansHidraw)
{
    VirtualHidFolder folder;
    ScriptedDevice device(folder.SocketPath(kVendor, kA210, "EMPTY"), Echo);
    ::setenv("QUARRY_VIRTUAL_HID_DIR", "", 1);
    EXPECT_FALSE(platform::hid::IsPresent(device.Path()));
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

}  // namespace
