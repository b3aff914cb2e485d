// The firmware-update session: into the boot loader, transfer the image, reset into the
// new firmware. It does not look at the cancel event (a half-written firmware is worse
// than a finished one), but a stop of the worker still ends every wait.
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "device_manager/core/RefCounting.h"
#include "device_manager/amplifier/SessionCore.h"
#include "device_manager/sessions/Sessions.h"
#include "platform/base/Clock.h"

namespace CobaltDeviceManager {
namespace {

class FirmwareUpdateSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                              public IUpdateFirmwareSession,
                              public ISessionX,
                              private SessionCore {
public:
    FirmwareUpdateSession(ISessionControllerX* controller, std::filesystem::path firmwareFile)
        : SessionCore(controller), m_firmwareFile(std::move(firmwareFile))
    {
    }

    void Cancel() override { SignalCancel(); }

    bool Start(ICDM_Progress* progress) override { return Queue(this, progress); }

    void Discard() override { Complete(kSessionFailed); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        if (!WaitForBootLoader(handle, std::chrono::milliseconds(0), stopEvent)) {
            Progress(kFirmwareProgressResetting, 0);
            if (!ResetIntoBootLoader(handle, stopEvent)) {
                return Fail();
            }
        }
        if (!WaitForBootLoader(handle, Timings().bootLoaderWait, stopEvent)) {
            return Fail();
        }
        if (!RunFirmwareUpgrade(handle, stopEvent)) {
            return Fail();
        }
        Progress(kFirmwareProgressFinalReset, 0);
        ResetAfterUpgrade(handle, stopEvent);
        Progress(kFirmwareProgressFinished, 0);
        Complete(kSessionDone);
        // The amplifier restarts with the new firmware: the worker disconnects and ends, and
        // the next scan finds the amplifier again.
        return -1;
    }

private:
    std::int32_t Fail()
    {
        Complete(kSessionFailed);
        return 0;
    }

    // Waits `duration`, ending early when the worker is asked to stop; true when it was.
    static bool Pause(std::chrono::milliseconds duration, platform::Event* stopEvent)
    {
        if (stopEvent != nullptr) {
            return stopEvent->WaitFor(duration);
        }
        platform::SleepMs(static_cast<std::uint32_t>(duration.count()));
        return false;
    }

    OperationWait PollWait(std::chrono::milliseconds limit) const
    {
        return OperationWait{Timings().firmwarePoll, limit, Timings().cancelGrace};
    }

    // Whether the amplifier runs its boot loader: waits `limit` first, then asks until it
    // says so or `limit` has passed (one question for a limit of 0).
    bool WaitForBootLoader(QdoHandle handle, std::chrono::milliseconds limit, platform::Event* stopEvent)
    {
        if (limit.count() > 0 && Pause(limit, stopEvent)) {
            return false;
        }
        const std::uint64_t noted = platform::TickCountMs();
        for (;;) {
            std::shared_ptr<BasicInfo> info(new (std::nothrow) BasicInfo());
            if (!info) {
                return false;
            }
            {
                IDeviceLibrary& library = Library();
                DeviceOperation operation(library, Timings().gateLimit, stopEvent);
                BasicInfo* record = info.get();
                const auto outcome = operation.Run([&] { return library.ReadBasicInfo(handle, record); }, info,
                                                   PollWait(Timings().resetLimit), stopEvent);
                if (outcome == DeviceOperation::Outcome::Succeeded && info->runningBootLoader == 1) {
                    return true;
                }
            }
            if (platform::ElapsedMs(noted) >= static_cast<std::uint64_t>(limit.count())) {
                return false;
            }
            if (Pause(Timings().bootLoaderRetry, stopEvent)) {
                return false;
            }
        }
    }

    bool ResetIntoBootLoader(QdoHandle handle, platform::Event* stopEvent)
    {
        IDeviceLibrary& library = Library();
        DeviceOperation operation(library, Timings().gateLimit, stopEvent);
        return operation.Run([&] { return library.Reset(handle); }, {}, PollWait(Timings().resetLimit), stopEvent) ==
               DeviceOperation::Outcome::Succeeded;
    }

    bool RunFirmwareUpgrade(QdoHandle handle, platform::Event* stopEvent)
    {
        Progress(kFirmwareProgressTransfer, 0);
        // The library reads the path while the job runs, so the text lives with the operation.
        auto path = std::make_shared<std::string>(m_firmwareFile.string());
        IDeviceLibrary& library = Library();
        DeviceOperation operation(library, Timings().gateLimit, stopEvent);
        const char* text = path->c_str();
        if (!operation.Start([&] { return library.UpgradeFirmware(handle, text); }, path)) {
            return false;
        }
        bool first = true;
        std::int32_t last = 0;
        const auto reading = [&] {
            const std::int32_t percent = library.GetOperationProgress(handle);
            if (first || percent != last) {
                Progress(kFirmwareProgressPercent, percent);
                first = false;
                last = percent;
            }
        };
        // The first reading goes out as soon as the transfer runs; the polls follow.
        if (library.IsOperationCompleted(handle) != 1) {
            reading();
        }
        const auto outcome = operation.Wait(PollWait(Timings().firmwareLimit), stopEvent, nullptr, reading);
        return outcome == DeviceOperation::Outcome::Succeeded;
    }

    // Its outcome does not matter: the amplifier leaves the boot loader either way, or
    // stays there for a later update.
    void ResetAfterUpgrade(QdoHandle handle, platform::Event* stopEvent)
    {
        IDeviceLibrary& library = Library();
        DeviceOperation operation(library, Timings().gateLimit, stopEvent);
        operation.Run([&] { return library.Reset(handle); }, {}, PollWait(Timings().resetLimit), stopEvent);
    }

    const std::filesystem::path m_firmwareFile;
};

}  // namespace

bool NewFirmwareUpdateSession(ISessionControllerX* controller, const std::filesystem::path& firmwareFile,
                              IUpdateFirmwareSession** out)
{
    if (controller == nullptr || out == nullptr) {
        return false;
    }
    auto* session =
        CreateRCObject<RCObject2<FirmwareUpdateSession>>(controller, firmwareFile);
    if (session == nullptr) {
        return false;
    }
    *out = session;
    return true;
}

}  // namespace CobaltDeviceManager
