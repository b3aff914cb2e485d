// The device manager over the real device library, watching a temporary folder of virtual
// devices, with the test thread standing in for the UI's event loop.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "device_manager/manager/CDeviceManager.h"
#include "platform/messages/RecordingWindow.h"
#include "tests/device_manager_sessions/VirtualAmpProcess.h"

namespace e2e_test {

using namespace CobaltDeviceManager;

class ManagerHarness {
public:
    // Points the library's virtual backend at a fresh folder and starts watching it.
    explicit ManagerHarness(const AmplifierTimings& timings = AmplifierTimings{});
    ~ManagerHarness();

    const std::string& Folder() const { return m_folder.Path(); }
    CDeviceManager& Manager() { return *m_manager; }
    std::size_t Notices() const;
    int PresentCount() { return m_manager->ForFirstActiveAmplifier(nullptr); }

    // Runs the event loop until `done` holds or `timeout` passes; returns `done()`.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    // The first present amplifier with a reference for the caller, or null.
    ICobaltAmplifier* FirstAmplifier();

    // Amplifier objects made, and opened successfully, so far.
    int Made() const { return *m_made; }
    int Opened() const { return *m_opened; }

private:
    TempFolder m_folder;
    std::unique_ptr<DeviceWatcher> m_watcher;
    platform::RecordingWindow m_window;
    platform::MessageId m_message;
    // Counted also on the thread of a retried open.
    std::shared_ptr<std::atomic<int>> m_made = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> m_opened = std::make_shared<std::atomic<int>>(0);
    std::unique_ptr<CDeviceManager> m_manager;
};

}  // namespace e2e_test
