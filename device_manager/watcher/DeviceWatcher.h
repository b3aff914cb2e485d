// Watches HID interfaces come and go and tells one sink. Runs on the UI thread: the
// caller's event loop watches EventFd and calls ProcessEvents when it is readable. Paths
// are remembered case-folded, so a path that differs from a known one only in letter case
// is the same device.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "device_manager/watcher/IDeviceWatcherNotify.h"
#include "platform/devices/DeviceMonitor.h"

namespace CobaltDeviceManager {

class DeviceWatcher {
public:
    // Watches the given sources from Start on.
    explicit DeviceWatcher(platform::devices::MonitorSources sources = platform::devices::DefaultMonitorSources());
    // Stops.
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    // Opens the monitor if needed (false when that fails; a source that cannot be watched
    // is left out and Start goes on), takes a reference to `sink` (may be null) in place of
    // the current one, and reports every interface present now as an arrival. True.
    bool Start(IDeviceWatcherNotify* sink);

    // Lets go of the sink and closes the monitor. The known paths are forgotten, since
    // removals are not seen while stopped.
    void Stop();

    // Readable while device events wait; -1 when not started. Owned by the watcher and
    // closed by Stop: an event-loop notifier on it must go before Stop.
    int EventFd() const;

    // Reads every waiting device event and passes it on. Never blocks.
    void ProcessEvents();

    // An interface arrived: false, telling nobody, when its folded path is known already;
    // otherwise remembers it, tells the sink with the path as received and returns true.
    bool OnInterfaceArrival(const std::string& path);

    // An interface went: forgets the folded path if known and tells the sink in every case.
    bool OnInterfaceRemoval(const std::string& path);

    bool IsStarted() const { return m_monitor != nullptr; }

private:
    const platform::devices::MonitorSources m_sources;
    std::unique_ptr<platform::devices::DeviceMonitor> m_monitor;  // null until started
    IDeviceWatcherNotify* m_sink = nullptr;                       // one reference held
    std::set<std::string> m_known;                                // upper-case paths
};

// The process's watcher, made on first use with the default sources and stopped at exit.
DeviceWatcher& TheDeviceWatcher();

// ASCII letter-case folds of a path.
std::string FoldToUpper(std::string text);
std::string FoldToLower(std::string text);

}  // namespace CobaltDeviceManager
