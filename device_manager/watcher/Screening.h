// The device watcher's sink in the editor: lets through only the amplifier's HID interface
// (the maker's vendor id with product 0xA210) and asks for a rescan on each accepted
// arrival and removal.
#pragma once

#include <set>
#include <string>

#include "device_manager/core/RefCounting.h"
#include "device_manager/watcher/IDeviceWatcherNotify.h"

namespace CobaltDeviceManager {

class Screening : public RCObjectRootEx<RCObjectMultiThreadModel>, public IDeviceWatcherNotify {
public:
    // Reads the interface's ids; for the amplifier, remembers the lower-case path and
    // rescans (again on a repeated arrival). An interface whose ids cannot be read, or of
    // another device, changes nothing.
    void OnDeviceArrival(const std::string& path) override;
    // Rescans when the lower-case path was accepted on arrival, and forgets it.
    void OnDeviceRemoval(const std::string& path) override;

protected:
    explicit Screening(IAmplifierListRefresh* manager) : m_manager(manager) {}
    ~Screening() = default;

private:
    std::set<std::string> m_accepted;  // lower-case paths; UI thread only
    IAmplifierListRefresh* m_manager;  // not owned; outlives the watcher's use of this sink
};

// A new Screening for `manager` with one reference for the caller. True.
bool CreateScreening(IDeviceWatcherNotify** out, IAmplifierListRefresh* manager);

}  // namespace CobaltDeviceManager
