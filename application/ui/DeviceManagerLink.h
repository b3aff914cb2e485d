// The device manager as the editor's windows use it: the amplifier list behind the
// document's directory interface, and device watching tied to the UI's event loop (the
// watcher's descriptor is read whenever device events wait).
#pragma once

#include <memory>

#include "application/document/DocumentServices.h"
#include "platform/messages/Messages.h"

class QSocketNotifier;

namespace CobaltDeviceManager {
class CDeviceManager;
}

class DeviceManagerLink final : public IAmplifierDirectory {
public:
    explicit DeviceManagerLink(CobaltDeviceManager::CDeviceManager& manager);
    // Stops reading device events before the manager's watcher can close its descriptor.
    ~DeviceManagerLink();
    DeviceManagerLink(const DeviceManagerLink&) = delete;
    DeviceManagerLink& operator=(const DeviceManagerLink&) = delete;

    // The frame's start of device watching: the change notice goes to (window, message).
    bool StartWatching(platform::WindowId window, platform::MessageId message);

    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override;
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override;

    CobaltDeviceManager::CDeviceManager& Manager() { return m_manager; }

private:
    CobaltDeviceManager::CDeviceManager& m_manager;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
