// The firmware upgrade through the editor's flow.
#include "bench/firmware_upgrade/EditorFlowRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include <QCoreApplication>

#include "application/document/AmplifierRef.h"
#include "application/firmware/FirmwareUpdateFlow.h"
#include "application/ui/DeviceManagerLink.h"
#include "application/ui/DlgFirmwareUpdate.h"
#include "device_manager/library/binding/QuarryDriverLibrary.h"
#include "device_manager/sessions/IParamSessions.h"
#include "device_manager/manager/CDeviceManager.h"
#include "platform/messages/RecordingWindow.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/ModalHook.h"
#include "resources/templates/FirmwareUpdateTemplate.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace {

using Clock = std::chrono::steady_clock;
using CobaltDeviceManager::ICobaltAmplifier;

constexpr auto kUpdateLimit = std::chrono::minutes(5);

void PumpFor(std::chrono::milliseconds step)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(step.count()));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The user at the firmware dialog: presses Update, watches the notices come in and closes the
// dialog when the session has ended. Every question is answered Yes.
class UpdatePresser final : public platform::IModalHook {
public:
    explicit UpdatePresser(VirtualAmp::VirtualAmplifier& amp) : amp_(amp) {}

    platform::MessageAnswer OnMessageBox(const platform::MessageBoxRequest& request) override
    {
        std::fprintf(stderr, "bench_firmware_upgrade: message box %u: %s\n", request.stringId, request.text.c_str());
        return platform::MessageAnswer::Yes;
    }

    int OnModalDialog(platform::Dialog& dialog) override
    {
        if (dialog.TemplateId() != FirmwareUpdateIds::kTemplate) {
            return DialogId::kCancel;
        }
        auto& firmware = static_cast<DlgFirmwareUpdate&>(dialog);
        start = Clock::now();
        firmware.OnOK();
        const auto until = start + kUpdateLimit;
        while (firmware.IsUpdating() && Clock::now() < until) {
            PumpFor(std::chrono::milliseconds(5));
            for (; seen_ < firmware.Notices().size(); ++seen_) {
                const int code = firmware.Notices()[seen_].first;
                if (code == CobaltDeviceManager::kFirmwareProgressTransfer) {
                    transferStart = Clock::now();
                    exchangesAtStart = amp_.Counters().exchanges;
                } else if (code == CobaltDeviceManager::kFirmwareProgressFinalReset) {
                    transferEnd = Clock::now();
                    exchangesAtEnd = amp_.Counters().exchanges;
                }
            }
        }
        end = Clock::now();
        succeeded = firmware.UpdateSucceeded();
        firmware.OnCancel();
        return firmware.EndCode();
    }

    Clock::time_point start;
    Clock::time_point transferStart;
    Clock::time_point transferEnd;
    Clock::time_point end;
    std::uint64_t exchangesAtStart = 0;
    std::uint64_t exchangesAtEnd = 0;
    bool succeeded = false;

private:
    VirtualAmp::VirtualAmplifier& amp_;
    std::size_t seen_ = 0;
};

class BenchFirmwareUi final : public IFirmwareUpdateUi {
public:
    explicit BenchFirmwareUi(IAmplifierDirectory& amplifiers) : amplifiers_(amplifiers) {}
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) override
    {
        return platform::MessageBoxId(stringId, icon, buttons);
    }
    MessageAnswer ShowText(std::string_view text, MessageIcon icon, MessageButtons buttons) override
    {
        return platform::MessageBoxText(std::string(text), icon, buttons);
    }
    bool RunFirmwareTooOldDialog() override { return false; }
    bool RunFirmwareUpdateDialog(ICobaltAmplifier& amplifier, const std::filesystem::path& folder) override
    {
        return ::RunFirmwareUpdateDialog(amplifiers_, amplifier, folder);
    }

private:
    IAmplifierDirectory& amplifiers_;
};

}  // namespace

int RunThroughEditorFlow(const std::filesystem::path& folder, double libraryRatio)
{
    std::filesystem::create_directories(folder / "Firmware");
    ::setenv("QUARRY_VIRTUAL_HID_DIR", folder.c_str(), 1);
    VirtualAmp::TestFirmwareOptions options;
    options.version = "V6.1";
    if (!VirtualAmp::WriteTestFirmware((folder / "Firmware" / "Corvantine_V6.1.bin").string(), options)) {
        std::fprintf(stderr, "bench_firmware_upgrade: cannot write the test firmware file\n");
        return 1;
    }
    VirtualAmp::AmpConfig config;
    config.serial = "BENCH2";
    config.version = "V5.12";
    config.timing.resetAbsence = VirtualAmp::Millis(100);
    config.timing.pace = VirtualAmp::Millis(1);
    auto amp = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
    VirtualAmp::AmpFolderHost host(amp, folder.string());
    if (!host.Start()) {
        std::fprintf(stderr, "bench_firmware_upgrade: cannot serve the virtual amplifier in %s\n", folder.c_str());
        return 1;
    }

    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = folder.string();
    CobaltDeviceManager::DeviceWatcher watcher(sources);
    CobaltDeviceManager::CDeviceManager manager(CobaltDeviceManager::QuarryDriverLibrary(), watcher);
    DeviceManagerLink link(manager);
    platform::RecordingWindow changes;
    link.StartWatching(changes.Id(), platform::RegisterMessage("_Kx_WmDeviceChanged_"));
    ICobaltAmplifier* first = nullptr;
    const auto found = Clock::now() + std::chrono::seconds(30);
    while (link.ForFirstActiveAmplifier(&first) != 1 && Clock::now() < found) {
        PumpFor(std::chrono::milliseconds(20));
    }
    const AmplifierRef amplifier = AmplifierRef::Adopt(first);
    if (!amplifier) {
        std::fprintf(stderr, "bench_firmware_upgrade: the device manager did not find the amplifier\n");
        return 1;
    }

    UpdatePresser presser(*amp);
    BenchFirmwareUi ui(link);
    FirmwareUpdateContext context{link, ui, folder / "Firmware"};
    std::uint8_t guard = 0;
    bool updated = false;
    {
        platform::ScopedModalHook hook(presser);
        updated = StartFirmwareUpdate(guard, context, *amplifier.Get());
    }
    link.SetScanMode(0, 1);
    host.Stop();

    const double transferSeconds = std::chrono::duration<double>(presser.transferEnd - presser.transferStart).count();
    const std::uint64_t exchanges = presser.exchangesAtEnd - presser.exchangesAtStart;
    const double wireSeconds = static_cast<double>(exchanges) * 0.001;
    std::printf("firmware upgrade through the editor's flow (device manager, firmware dialog, progress sink): %s\n",
                updated && presser.succeeded ? "succeeded" : "FAILED");
    std::printf("  transfer exchanges  %llu\n", static_cast<unsigned long long>(exchanges));
    std::printf("  transfer wall time  %.3f s (from the dialog's notice 2 to its notice 3)\n", transferSeconds);
    std::printf("  wire minimum        %.3f s (1 ms per exchange)\n", wireSeconds);
    std::printf("  ratio               %.3f (library only: %.3f)\n", wireSeconds > 0 ? transferSeconds / wireSeconds : 0.0,
                libraryRatio);
    std::printf("  whole update        %.3f s (Update pressed to the end notice, boot loader waits included)\n",
                std::chrono::duration<double>(presser.end - presser.start).count());
    return updated && presser.succeeded ? 0 : 1;
}
