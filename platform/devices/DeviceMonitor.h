// Arrival and removal of HID interfaces, in place of device-interface notifications to a
// hidden window. Two sources feed one epoll descriptor that the caller's event loop
// watches (no thread of its own): a libudev monitor on the hidraw subsystem, and an
// inotify watch on the virtual-device folder. When the descriptor is readable, ReadEvents
// drains what has arrived.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/DeviceEvents.h"

namespace platform::devices {

struct MonitorSources {
    // Watch hidraw device nodes through udev.
    bool hidraw = true;
    // Watch this folder of virtual devices (sockets named vvvv-pppp-SERIAL.sock).
    std::optional<std::string> virtualFolder;
};

// hidraw, plus the folder named by QUARRY_VIRTUAL_HID_DIR when that is set and not empty.
MonitorSources DefaultMonitorSources();

class DeviceMonitor {
public:
    // Null when the epoll descriptor itself cannot be made. A source that cannot be set up
    // (no udev, a missing folder) is left out; SourceCount tells how many are watched.
    static std::unique_ptr<DeviceMonitor> Open(const MonitorSources& sources);
    ~DeviceMonitor();
    DeviceMonitor(const DeviceMonitor&) = delete;
    DeviceMonitor& operator=(const DeviceMonitor&) = delete;

    // Readable while events are waiting; owned by the monitor.
    int Fd() const { return m_epollFd; }
    int SourceCount() const;

    // Every event that has arrived, in arrival order; never blocks.
    std::vector<DeviceEvent> ReadEvents();

    // Waits until an event may be waiting or `timeout` passed; true when Fd is readable.
    bool WaitReadable(std::chrono::milliseconds timeout) const;

    // The interfaces present now, from each watched source (udev enumeration of hidraw,
    // the virtual devices in the folder), in a stable order.
    std::vector<std::string> PresentDevices() const;

private:
    struct Udev;
    struct Folder;

    DeviceMonitor(int epollFd);
    void ReadUdev(std::vector<DeviceEvent>& out);
    void ReadFolder(std::vector<DeviceEvent>& out);

    int m_epollFd = -1;
    std::unique_ptr<Udev> m_udev;      // null when udev is not watched
    std::unique_ptr<Folder> m_folder;  // null when no folder is watched
};

}  // namespace platform::devices
