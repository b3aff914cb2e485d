// HID devices by vendor and product id: enumerate, open one exclusively, move 64-byte reports
// with time-outs, abort from another thread. Backed by hidraw (hidapi) or, when the
// environment variable QUARRY_VIRTUAL_HID_DIR names a folder, by virtual devices there.
#ifndef PLATFORM_HID_HID_DEVICE_H
#define PLATFORM_HID_HID_DEVICE_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/hid/HidTypes.h"

namespace platform::hid {

struct HidBackendOps;
struct BackendHandle;

// Present devices with these ids (0 matches any), in the backend's order.
std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId);

// True while a device exists at path.
bool IsPresent(const std::string& path);

// One open device. Opening takes the device's exclusive lock (flock on its lock file plus a
// table of paths open in this process); a device held elsewhere is refused with Busy before
// any I/O. Destroying the object closes the device and releases the lock.
class HidDevice {
public:
    static std::unique_ptr<HidDevice> Open(const std::string& path, HidStatus* status = nullptr);
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Sends one output report. Not to be called from two threads at once.
    HidStatus Write(std::span<const std::uint8_t, kReportSize> report, int timeoutMs);
    // Takes one input report. Not to be called from two threads at once.
    HidStatus Read(std::span<std::uint8_t, kReportSize> report, int timeoutMs);
    // Any thread: ends a pending Write or Read at once; every later one fails with Aborted.
    void Abort();

    const std::string& Path() const { return path_; }

private:
    HidDevice(std::string path, const HidBackendOps& ops, BackendHandle* handle, int lockFd);

    const std::string path_;
    const HidBackendOps& ops_;
    BackendHandle* const handle_;
    const int lockFd_;
    std::atomic<bool> abort_{false};
    std::atomic<bool> gone_{false};  // set by the I/O thread once the backend saw the device go
};

}  // namespace platform::hid

#endif
