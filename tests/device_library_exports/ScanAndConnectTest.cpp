// Registration, scan merge and iterator, device presence and connect, through the exports only.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "tests/device_library_exports/DriverFixture.h"

namespace exports_test {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> Serials(const std::vector<Scanned>& list)
{
    std::vector<std::string> serials;
    for (const auto& entry : list) {
        serials.push_back(entry.serial);
    }
    return serials;
}

// A listening socket under a device name, enough to be enumerated (it never answers).
class SilentSocket {
public:
    explicit SilentSocket(const std::string& path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::listen(fd_, 4) == 0;
    }
    ~SilentSocket()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool Ok() const { return ok_; }

private:
    int fd_ = -1;
    bool ok_ = false;
};

using ExportsRegistrationTest = DriverTest;

TEST_F(ExportsRegistrationTest, RegisteringAPairTwiceKeepsOneEntryWithTheFirstName)
{
    StartA210("S1");
    EXPECT_EQ(QDM_RegisterDevice("First", kVendor, kA210), 1);
    EXPECT_EQ(QDM_RegisterDevice("Second", kVendor, kA210), 1);
    const auto list = ScanAll();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "First");
    EXPECT_EQ(list[0].vendorId, kVendor);
    EXPECT_EQ(list[0].productId, kA210);
    EXPECT_EQ(list[0].serial, "S1");
}

TEST_F(ExportsRegistrationTest, NullNameRegistersNothing)
{
    StartA210("S1");
    EXPECT_EQ(QDM_RegisterDevice(nullptr, kVendor, kA210), 0);
    EXPECT_TRUE(ScanAll().empty());
}

TEST_F(ExportsRegistrationTest, OnlyTheLowSixteenBitsOfAnIdCount)
{
    StartA210("S1");
    EXPECT_EQ(QDM_RegisterDevice("Cobalt", 0xABCD0000u | kVendor, 0x12340000u | kA210), 1);
    const auto list = ScanAll();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].productId, kA210);
}

TEST_F(ExportsRegistrationTest, UnregisteredPairIsNoLongerScanned)
{
    StartA210("S1");
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(ScanAll().size(), 1u);
    EXPECT_EQ(QDM_UnregisterDevice(kVendor, kA210), 1);
    EXPECT_EQ(QDM_UnregisterDevice(kVendor, kA210), 0);
    EXPECT_TRUE(ScanAll().empty());
}

TEST_F(ExportsRegistrationTest, RecordNameIsCutAndZeroFilled)
{
    StartA210("S1");
    const std::string longName(40, 'N');
    ASSERT_EQ(QDM_RegisterDevice(longName.c_str(), kVendor, kA210), 1);
    ASSERT_EQ(QDM_ScanDevices(), 1);
    QdmScanRecord record;
    std::memset(&record, 0xCC, sizeof record);
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_EQ(std::string(record.deviceName, 29), std::string(29, 'N'));
    EXPECT_EQ(record.deviceName[29], '\0');
    EXPECT_STREQ(record.serial, "S1");
    for (std::size_t i = 2; i < sizeof record.serial; ++i) {
        EXPECT_EQ(record.serial[i], '\0') << "serial byte " << i;
    }
}

using ExportsScanTest = DriverTest;

TEST_F(ExportsScanTest, RegisteredPairsAreScannedInRegistrationOrder)
{
    StartAmp({"--device", "a200:B1", "--device", "a210:A1"}, {SocketName(kA200, "B1"), SocketName(kA210, "A1")});
    ASSERT_EQ(QDM_RegisterDevice("Small", kVendor, kA200), 1);
    ASSERT_EQ(QDM_RegisterDevice("Big", kVendor, kA210), 1);
    const auto list = ScanAll();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].serial, "B1");
    EXPECT_EQ(list[0].name, "Small");
    EXPECT_EQ(list[1].serial, "A1");
    EXPECT_EQ(list[1].name, "Big");
}

TEST_F(ExportsScanTest, EntriesKeepTheirPlaceAndNewDevicesAreAppended)
{
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    AmpProcess& first = StartA210("M1");
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"M1"}));
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"M1"}));

    // Enumerated before M1 (name order), yet appended after it.
    StartA210("A0");
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"M1", "A0"}));

    // Two found by the same scan are both appended, in enumeration order.
    StartAmp({"--device", "a210:N2", "--device", "a210:N1"}, {SocketName(kA210, "N1"), SocketName(kA210, "N2")});
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"M1", "A0", "N1", "N2"}));

    // Unplugging removes only that entry; plugging it back appends it at the end.
    ASSERT_TRUE(first.Unplug(kA210, "M1"));
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"A0", "N1", "N2"}));
    ASSERT_TRUE(first.Replug(kA210, "M1"));
    EXPECT_EQ(Serials(ScanAll()), std::vector<std::string>({"A0", "N1", "N2", "M1"}));
}

TEST_F(ExportsScanTest, IteratorRewindsAfterTheLastEntry)
{
    StartAmp({"--device", "a210:I1", "--device", "a210:I2"}, {SocketName(kA210, "I1"), SocketName(kA210, "I2")});
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(QDM_ScanDevices(), 1);
    QdmScanRecord record{};
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_STREQ(record.serial, "I1");
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_STREQ(record.serial, "I2");
    EXPECT_EQ(QDM_GetScanedDevice(&record), 0);
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_STREQ(record.serial, "I1");
}

TEST_F(ExportsScanTest, NullRecordStillConsumesTheEntry)
{
    StartAmp({"--device", "a210:I1", "--device", "a210:I2"}, {SocketName(kA210, "I1"), SocketName(kA210, "I2")});
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(QDM_ScanDevices(), 1);
    EXPECT_EQ(QDM_GetScanedDevice(nullptr), 1);
    QdmScanRecord record{};
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_STREQ(record.serial, "I2");
    EXPECT_EQ(QDM_GetScanedDevice(nullptr), 0);
}

TEST_F(ExportsScanTest, ScanRewindsTheIterator)
{
    StartAmp({"--device", "a210:I1", "--device", "a210:I2"}, {SocketName(kA210, "I1"), SocketName(kA210, "I2")});
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(QDM_ScanDevices(), 1);
    ASSERT_EQ(QDM_GetScanedDevice(nullptr), 1);
    ASSERT_EQ(QDM_ScanDevices(), 1);
    QdmScanRecord record{};
    ASSERT_EQ(QDM_GetScanedDevice(&record), 1);
    EXPECT_STREQ(record.serial, "I1");
}

TEST_F(ExportsScanTest, DeviceFoundUnderANewPathIsConnectedThere)
{
    // The same amplifier (ids and serial) first in one folder, then only in another: the scanned
    // entry keeps its place and follows the device to its new path.
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    AmpProcess& old = StartA210("MOVER");
    ASSERT_EQ(Serials(ScanAll()), std::vector<std::string>({"MOVER"}));
    ASSERT_TRUE(old.Unplug(kA210, "MOVER"));

    char pattern[] = "/tmp/qdx-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    {
        AmpProcess moved(other, "moved.control", {"--device", "a210:MOVER"});
        ASSERT_TRUE(moved.Start({SocketName(kA210, "MOVER")}));
        ::setenv("QUARRY_VIRTUAL_HID_DIR", other.c_str(), 1);
        ASSERT_EQ(Serials(ScanAll()), std::vector<std::string>({"MOVER"}));
        ASSERT_EQ(QDM_ConnectDevice(kVendor, kA210, "MOVER"), 1);
        ASSERT_TRUE(WaitConnect());
        handle_ = QDM_GetConnectingDevice();
        ASSERT_NE(handle_, nullptr);
        BasicInfo info{};
        EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
        EXPECT_EQ(QDM_DisconnectDevice(&handle_), 1);
    }
    std::error_code error;
    std::filesystem::remove_all(other, error);
    ::setenv("QUARRY_VIRTUAL_HID_DIR", Folder().c_str(), 1);
}

using ExportsPresenceTest = DriverTest;

TEST_F(ExportsPresenceTest, PresentDeviceExistsUntilUnplugged)
{
    AmpProcess& amp = StartA210("P1");
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA210, "P1"), 1);
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA210, "P2"), 0);
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA200, "P1"), 0);
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA210, nullptr), -1);
    ASSERT_TRUE(amp.Unplug(kA210, "P1"));
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA210, "P1"), 0);
}

using ExportsConnectTest = DriverTest;

TEST_F(ExportsConnectTest, ConnectedDeviceIsHandedOut)
{
    StartA210("C1");
    EXPECT_EQ(QDM_GetConnectingDevice(), nullptr);
    ASSERT_NE(Connect(kA210, "C1"), nullptr);
    EXPECT_EQ(QDM_GetConnectingDevice(), handle_);
}

TEST_F(ExportsConnectTest, ConnectNeedsAScannedEntryAndASerial)
{
    StartA210("C1");
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, "C1"), 0) << "not scanned yet";
    ScanAll();
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, nullptr), -1);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, "C2"), 0);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA200, "C1"), 0);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, "c1"), 0) << "serials compare as exact text";
    EXPECT_EQ(QDM_IsConnectCompleted(), 1);
    EXPECT_EQ(QDM_GetConnectingDevice(), nullptr);
}

TEST_F(ExportsConnectTest, SecondConnectWhileConnectedAnswersZero)
{
    StartAmp({"--device", "a210:C1", "--device", "a210:C2"}, {SocketName(kA210, "C1"), SocketName(kA210, "C2")});
    ASSERT_NE(Connect(kA210, "C1"), nullptr);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, "C2"), 0);
    EXPECT_EQ(QDM_GetConnectingDevice(), handle_);
}

TEST_F(ExportsConnectTest, SilentDeviceEndsWithNoDeviceAfterTheHandshakeTime)
{
    AmpProcess& amp = StartA210("QUIET");
    ASSERT_TRUE(amp.ControlOk("fault QUIET drop-ready always"));
    ASSERT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    ScanAll();
    const auto start = Clock::now();
    ASSERT_EQ(QDM_ConnectDevice(kVendor, kA210, "QUIET"), 1);
    EXPECT_EQ(QDM_IsConnectCompleted(), 0);
    EXPECT_EQ(QDM_ConnectDevice(kVendor, kA210, "QUIET"), 0) << "a connect still runs";
    ASSERT_TRUE(WaitConnect());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(QDM_GetConnectingDevice(), nullptr);
    // Two "READY" tries of 1.5 s each, then the connect gives up.
    EXPECT_GE(seconds, 2.5);
    EXPECT_LT(seconds, 10.0);

    // A failed connect never blocks the next one.
    ASSERT_TRUE(amp.ControlOk("fault QUIET clear"));
    ASSERT_EQ(QDM_ConnectDevice(kVendor, kA210, "QUIET"), 1);
    ASSERT_TRUE(WaitConnect());
    handle_ = QDM_GetConnectingDevice();
    EXPECT_NE(handle_, nullptr);
}

TEST_F(ExportsConnectTest, EntryOfAnotherProductEndsWithNoDevice)
{
    constexpr std::uint32_t kOther = 0x1234;
    SilentSocket other(Folder() + "/" + SocketName(kOther, "ODD"));
    ASSERT_TRUE(other.Ok());
    ASSERT_EQ(QDM_RegisterDevice("Other", kVendor, kOther), 1);
    const auto list = ScanAll();
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(QDM_ConnectDevice(kVendor, kOther, "ODD"), 1);
    ASSERT_TRUE(WaitConnect());
    EXPECT_EQ(QDM_GetConnectingDevice(), nullptr);
}

TEST_F(ExportsConnectTest, DisconnectReleasesTheDeviceAndNullsTheHandle)
{
    StartA210("C1");
    ASSERT_NE(Connect(kA210, "C1"), nullptr);
    QdmDevice* kept = handle_;
    EXPECT_EQ(QDM_DisconnectDevice(nullptr), -1);
    EXPECT_EQ(QDM_DisconnectDevice(&handle_), 1);
    EXPECT_EQ(handle_, nullptr);
    EXPECT_EQ(QDM_GetConnectingDevice(), nullptr);
    // Nothing connected counts as released.
    QdmDevice* none = nullptr;
    EXPECT_EQ(QDM_DisconnectDevice(&none), 1);

    // A handle kept after the disconnect is no device any more.
    BasicInfo info{};
    EXPECT_EQ(QDO_ReadBasicInfo(kept, &info), 0);
    EXPECT_EQ(QDO_Reset(kept), 0);

    // The amplifier can be connected again.
    ASSERT_EQ(QDM_ConnectDevice(kVendor, kA210, "C1"), 1);
    ASSERT_TRUE(WaitConnect());
    handle_ = QDM_GetConnectingDevice();
    ASSERT_NE(handle_, nullptr);
    EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
}

}  // namespace
}  // namespace exports_test
