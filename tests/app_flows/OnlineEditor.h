// A whole editor in the test process on the real device manager and device library, watching
// a temporary folder of virtual devices where `virtual-amp` processes serve amplifiers. The
// test thread runs the editor's event loop (PumpUntil), and the idle pass with it, so the
// device flows run exactly as they do for a user; their dialogs are answered by a ModalDriver.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/DeviceManagerLink.h"
#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/manager/CDeviceManager.h"
#include "tests/device_manager_sessions/VirtualAmpProcess.h"
#include "tests/support/TempFolder.h"

class CMainFrame;
class CCorvantEditorDoc;
class DocumentDeviceFlows;

class OnlineEditor {
public:
    // The sessions' waits for the boot loader are shortened to match the virtual amplifier's
    // short resets; everything else keeps the designed timing.
    static CobaltDeviceManager::AmplifierTimings DefaultTimings();
    explicit OnlineEditor(const CobaltDeviceManager::AmplifierTimings& timings = DefaultTimings());
    ~OnlineEditor();

    // Runs the editor's start-up (nothing happens with devices until the loop runs).
    bool Start();
    // A `virtual-amp` in the device folder with these device arguments.
    std::unique_ptr<e2e_test::VirtualAmpProcess> Amp(const std::vector<std::string>& args);

    // Runs the event loop (with idle passes and device events) until `done` or `limit`.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(60));
    // The number of present amplifiers and the first one, as the document sees them.
    std::uint32_t PresentCount();
    CobaltDeviceManager::ICobaltAmplifier* FirstAmplifier();  // a reference for the caller

    CCorvantEditorApp& App() const { return *app_; }
    CMainFrame& Frame() const;
    CCorvantEditorDoc& Doc() const;
    DocumentDeviceFlows& Flows() const;
    CobaltDeviceManager::CDeviceManager& Manager() { return *manager_; }
    const std::string& DeviceFolder() const { return devices_.Path(); }
    const std::filesystem::path& FirmwareFolder() const { return firmware_.Path(); }

    // The write-progress notices the frame received, in order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> writeNotices;

private:
    e2e_test::TempFolder devices_;
    TempFolder data_{"quarry-online-data-"};
    TempFolder firmware_{"quarry-online-firmware-"};
    std::unique_ptr<CobaltDeviceManager::DeviceWatcher> watcher_;
    std::unique_ptr<CobaltDeviceManager::CDeviceManager> manager_;
    std::unique_ptr<DeviceManagerLink> link_;
    std::unique_ptr<CCorvantEditorApp> app_;
};

// The parameter blob of every block with one, by (type, channel), first block of a key wins.
std::vector<std::pair<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::uint8_t>>> DesignBlobs(
    const CCorvantEditorDoc& document);

// Every crossover gets its own pair of filters, so the design differs from a new one: the
// high-pass at `from`, rising by `step` from one crossover to the next, the low-pass `ratio`
// times higher.
void GiveCrossoversDistinctFilters(CCorvantEditorDoc& document, float from, float ratio, float step);
