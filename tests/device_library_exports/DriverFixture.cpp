// The end-to-end fixture: a temporary folder of virtual devices, the processes serving them, and
// the polling loops every caller of the exports runs.
#include "tests/device_library_exports/DriverFixture.h"

#include <stdlib.h>

#include <filesystem>
#include <thread>

namespace exports_test {

void DriverTest::SetUp()
{
    char pattern[] = "/tmp/qdx-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    folder_ = made;
    ::setenv("QUARRY_VIRTUAL_HID_DIR", folder_.c_str(), 1);
}

void DriverTest::TearDown()
{
    // Leave the library as a caller must: no operation running, no device connected.
    if (QDO_IsOperationCompleted(handle_) == 0) {
        QDO_CancelOperation(handle_);
        WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, std::chrono::seconds(30));
    }
    WaitConnect();
    QdmDevice* handle = QDM_GetConnectingDevice();
    EXPECT_EQ(QDM_DisconnectDevice(&handle), 1);
    amps_.clear();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

AmpProcess& DriverTest::StartAmp(const std::vector<std::string>& options, const std::vector<std::string>& socketNames)
{
    std::vector<std::string> args = {"--reset-ms", "100", "--store-ms", "50"};
    args.insert(args.end(), options.begin(), options.end());
    amps_.push_back(std::make_unique<AmpProcess>(folder_, "amp" + std::to_string(amps_.size()) + ".control", args));
    EXPECT_TRUE(amps_.back()->Start(socketNames)) << "virtual-amp did not start";
    return *amps_.back();
}

AmpProcess& DriverTest::StartA210(const std::string& serial, const std::vector<std::string>& extra)
{
    // Device options follow the device they belong to.
    std::vector<std::string> options = {"--device", "a210:" + serial};
    options.insert(options.end(), extra.begin(), extra.end());
    return StartAmp(options, {SocketName(kA210, serial)});
}

std::vector<Scanned> DriverTest::ScanAll()
{
    std::vector<Scanned> list;
    EXPECT_EQ(QDM_ScanDevices(), 1);
    QdmScanRecord record{};
    for (int guard = 0; guard < 100 && QDM_GetScanedDevice(&record) == 1; ++guard) {
        list.push_back(Scanned{record.deviceName, record.vendorId, record.productId, record.serial});
    }
    return list;
}

QdmDevice* DriverTest::Connect(std::uint32_t productId, const std::string& serial)
{
    EXPECT_EQ(QDM_RegisterDevice("Cobalt", kVendor, kA210), 1);
    EXPECT_EQ(QDM_RegisterDevice("Cobalt A200", kVendor, kA200), 1);
    ScanAll();
    if (QDM_ConnectDevice(kVendor, productId, serial.c_str()) != 1 || !WaitConnect()) {
        return nullptr;
    }
    handle_ = QDM_GetConnectingDevice();
    return handle_;
}

bool DriverTest::WaitConnect(std::chrono::milliseconds limit)
{
    return WaitUntil([] { return QDM_IsConnectCompleted() == 1; }, limit);
}

bool DriverTest::Finish(std::int32_t started, std::chrono::milliseconds limit)
{
    EXPECT_EQ(started, 1);
    if (started != 1) {
        return false;
    }
    if (!WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, limit)) {
        ADD_FAILURE() << "the operation did not complete in time";
        QDO_CancelOperation(handle_);
        WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, std::chrono::seconds(30));
        return false;
    }
    return QDO_IsOperationSuccessful(handle_) == 1;
}

bool DriverTest::WaitReturn(std::uint32_t productId, const std::string& serial)
{
    const bool gone = WaitUntil(
        [&] { return QDM_IsDeviceExisting(kVendor, productId, serial.c_str()) == 0; }, std::chrono::seconds(5));
    const bool back = WaitUntil(
        [&] { return QDM_IsDeviceExisting(kVendor, productId, serial.c_str()) == 1; }, std::chrono::seconds(10));
    return gone && back;
}

}  // namespace exports_test
