// A test that drives the device library only through its exports, against virtual-amp
// processes in a fresh virtual-device folder (QUARRY_VIRTUAL_HID_DIR points at it).
#ifndef TESTS_DEVICE_LIBRARY_EXPORTS_DRIVER_FIXTURE_H
#define TESTS_DEVICE_LIBRARY_EXPORTS_DRIVER_FIXTURE_H

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QuarryDeviceDriver.h"
#include "tests/device_library_exports/AmpProcess.h"

namespace exports_test {

inline constexpr std::uint32_t kVendor = QUARRY_MAKER_VENDOR_ID;
inline constexpr std::uint32_t kA210 = QUARRY_PRODUCT_ID_A210;
inline constexpr std::uint32_t kA200 = QUARRY_PRODUCT_ID_A200;

// A scan record read back as plain values.
struct Scanned {
    std::string name;
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::string serial;
};

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Folder() const { return folder_; }
    // Starts a virtual-amp with these options (reset time 100 ms, store time 50 ms unless the
    // options say otherwise) and waits for the devices' sockets. Fails the test when it cannot.
    AmpProcess& StartAmp(const std::vector<std::string>& options, const std::vector<std::string>& socketNames);
    // One a210 device in the application, unpaced.
    AmpProcess& StartA210(const std::string& serial, const std::vector<std::string>& extra = {});

    // QDM_ScanDevices, then every entry up to the end of the list.
    std::vector<Scanned> ScanAll();
    // Registers both models, scans, connects to the serial and waits; the handle or null.
    QdmDevice* Connect(std::uint32_t productId, const std::string& serial);
    // Waits (bounded) until QDM_IsConnectCompleted answers 1.
    bool WaitConnect(std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Polls QDO_IsOperationCompleted until 1 (cancelling after limit) and returns the success flag.
    bool Finish(std::int32_t started, std::chrono::milliseconds limit = std::chrono::seconds(120));
    // Waits until the device is gone and back, through QDM_IsDeviceExisting.
    bool WaitReturn(std::uint32_t productId, const std::string& serial);

    QdmDevice* handle_ = nullptr;

private:
    std::string folder_;
    std::vector<std::unique_ptr<AmpProcess>> amps_;
};

}  // namespace exports_test

#endif
