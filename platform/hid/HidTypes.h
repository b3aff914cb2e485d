// Records and result codes shared by the HID device layer and its backends.
#ifndef PLATFORM_HID_HID_TYPES_H
#define PLATFORM_HID_HID_TYPES_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::hid {

// Every report in either direction carries this many bytes (the report id is not counted).
inline constexpr std::size_t kReportSize = 64;

// The longest serial number a device is known by, everywhere: the scan record hands callers
// 39 characters and a terminator, and a virtual device's socket name holds no more.
inline constexpr std::size_t kMaxSerialChars = 39;

struct HidDeviceInfo {
    std::string path;          // what Open takes
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial;        // narrow text; empty when the device has none
    int openError = 0;         // errno when this process may not open the device for I/O, else 0
};

enum class HidStatus {
    Ok,
    Timeout,   // nothing (or not a whole report) moved in time; the device is still there
    Aborted,   // Abort was called on this open
    Gone,      // the device was unplugged
    Busy,      // open only: another thread or process holds the device
    Error,     // anything else: cannot open, I/O error, short transfer
};

const char* HidStatusName(HidStatus status);

// A virtual device's socket is named "vvvv-pppp-SERIAL.sock" (lower-case hexadecimal ids, a
// serial of 1 to kMaxSerialChars letters, digits or '_'). Fills the ids and serial of `info`
// (not its path); false for any other name.
bool ParseVirtualSocketName(const std::string& name, HidDeviceInfo& info);

}  // namespace platform::hid

#endif
