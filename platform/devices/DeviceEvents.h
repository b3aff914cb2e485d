// What the device monitor reports: a HID interface that arrived or went, by device path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::devices {

enum class DeviceEventKind {
    Arrival,
    Removal,
};

struct DeviceEvent {
    DeviceEventKind kind = DeviceEventKind::Arrival;
    // A hidraw device node (/dev/hidrawN) or a virtual device's socket path.
    std::string path;

    friend bool operator==(const DeviceEvent&, const DeviceEvent&) = default;
};

// The USB ids of a HID interface.
struct HidIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    friend bool operator==(const HidIds&, const HidIds&) = default;
};

// The ids of the HID interface at `path`, without opening it for I/O: a hidraw node's come
// from its parent hid device's HID_ID, a virtual device's from its socket name. Nothing when
// the path is neither, is not there any more, or its ids cannot be read.
std::optional<HidIds> ReadHidIds(const std::string& path);

// Parses a virtual device's file name "vvvv-pppp-SERIAL.sock" (ids as four lower-case hex
// digits, serial of 1 to 39 characters from [A-Za-z0-9_]); nothing for any other name.
std::optional<HidIds> ParseVirtualDeviceName(const std::string& fileName);

// Parses a HID_ID value "bbbb:vvvvvvvv:pppppppp" (hexadecimal bus, vendor and product);
// nothing when malformed or when an id does not fit 16 bits.
std::optional<HidIds> ParseHidId(const std::string& value);

}  // namespace platform::devices
