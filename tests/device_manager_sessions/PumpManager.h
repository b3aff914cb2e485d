// The test thread standing in for the UI's event loop of a device manager: waits on the
// manager's descriptor and hands what comes to it.
#pragma once

#include <poll.h>

#include <chrono>
#include <functional>

#include "device_manager/manager/CDeviceManager.h"

namespace e2e_test {

// Runs the manager's events until `done` holds or `timeout` passes, waking at least every
// `wake`; returns `done()`.
inline bool PumpManagerUntil(CobaltDeviceManager::CDeviceManager& manager, const std::function<bool()>& done,
                             std::chrono::milliseconds timeout, std::chrono::milliseconds wake)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        pollfd entry{manager.DeviceEventFd(), POLLIN, 0};
        ::poll(&entry, 1, static_cast<int>(wake.count()));
        manager.ProcessDeviceEvents();
    }
    return true;
}

}  // namespace e2e_test
