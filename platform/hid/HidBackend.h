// The table of operations a HID backend provides, in the manner of libusb's os backends.
// HidDevice.cpp is the only caller; it picks the virtual backend when QUARRY_VIRTUAL_HID_DIR
// names a folder and hidraw otherwise, and holds the device's exclusive lock around open/close.
#ifndef PLATFORM_HID_HID_BACKEND_H
#define PLATFORM_HID_HID_BACKEND_H

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/HidTypes.h"

namespace platform::hid {

// A backend's per-open state. Each backend derives its own type from this one, with a name
// of its own: two definitions of one class name in one program would break the one-definition
// rule, and the linker may then pair one backend's objects with the other's constructor.
struct BackendHandle {
    virtual ~BackendHandle() = default;
};

struct HidBackendOps {
    const char* name;

    // Called by Enumerate. Appends every present device with these ids (0 matches any) to out.
    // Calls are serialised by the caller. Returns false when the listing itself failed.
    bool (*enumerate)(std::uint16_t vendorId, std::uint16_t productId, std::vector<HidDeviceInfo>& out);

    // Called by IsPresent and by Open before anything else. True while the device node (or
    // socket file) exists. Must not open the device for I/O.
    bool (*present)(const std::string& path);

    // Called by Open and by callers that need the file carrying the cross-process lock of
    // path: the device node itself, or a file beside a virtual device's socket.
    std::string (*lockFile)(const std::string& path);
    // True when the lock file is ours to create (a virtual device's), false when it is the
    // device node, which must never be created.
    bool createLockFile;

    // Called by Open once the exclusive lock is held. Returns the open device, or null with
    // status set (Gone when the device is not there, Error otherwise).
    BackendHandle* (*open)(const std::string& path, HidStatus& status);

    // Called exactly once per successful open, after every write and read on it has returned.
    void (*close)(BackendHandle* handle);

    // Called on the opening thread to send one output report of kReportSize bytes. Waits at
    // most timeoutMs, checking abort at least every 20 ms where the platform allows; returns
    // Ok only when the whole report went out.
    HidStatus (*write)(BackendHandle* handle, const std::uint8_t* report, int timeoutMs,
                       const std::atomic<bool>& abort);

    // Called on the opening thread to take one input report of kReportSize bytes. Waits in
    // slices of at most 20 ms, returning Aborted as soon as abort is seen; Ok only with a
    // whole report in report.
    HidStatus (*read)(BackendHandle* handle, std::uint8_t* report, int timeoutMs,
                      const std::atomic<bool>& abort);

    // Called from any thread by Abort, after the abort flag is set, to wake a write or read
    // waiting in the backend at once. May be null: the 20 ms slices then bound the delay.
    void (*interrupt)(BackendHandle* handle);
};

const HidBackendOps& HidrawBackendOps();
const HidBackendOps& VirtualBackendOps();

// Longest single wait inside a backend read or write, so an abort is seen at once.
inline constexpr int kIoSliceMs = 20;

}  // namespace platform::hid

#endif
