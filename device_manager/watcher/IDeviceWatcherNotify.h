// The receiver of the device watcher's arrivals and removals.
#pragma once

#include <string>

#include "device_manager/core/IUnknown.h"

namespace CobaltDeviceManager {

class IDeviceWatcherNotify : public IUnknown {
public:
    // The interface's device path as the system reported it (not case-folded).
    virtual void OnDeviceArrival(const std::string& path) = 0;
    virtual void OnDeviceRemoval(const std::string& path) = 0;

protected:
    ~IDeviceWatcherNotify() = default;
};

// Whoever rescans the amplifiers when screening lets a device through (the device manager).
class IAmplifierListRefresh {
public:
    virtual void RefreshAmplifierList() = 0;

protected:
    ~IAmplifierListRefresh() = default;
};

}  // namespace CobaltDeviceManager
