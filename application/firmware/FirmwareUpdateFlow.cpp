// The firmware update's entries and its loop.
#include "application/firmware/FirmwareUpdateFlow.h"

#include "application/document/PresentAmplifiers.h"
#include "application/firmware/AmplifierVersion.h"
#include "application/firmware/FirmwareFileList.h"
#include "resources/strings/StringIds.h"

using CobaltDeviceManager::ICobaltAmplifier;

namespace {

bool RunGuarded(std::uint8_t& guard, FirmwareUpdateContext& context, ICobaltAmplifier& amplifier, bool checkMode)
{
    if (guard != 0) {
        return false;
    }
    guard = 1;
    const bool updated = RunFirmwareUpdate(context, amplifier, checkMode);
    guard = 0;
    return updated;
}

// The single-amplifier rule, with its message when it fails.
bool AcceptsSingleAmplifier(FirmwareUpdateContext& context, ICobaltAmplifier& amplifier)
{
    if (IsOnlyPresentAmplifier(context.amplifiers, amplifier)) {
        return true;
    }
    context.ui.ShowText(kSingleAmplifierFirmwareText, MessageIcon::None, MessageButtons::Ok);
    return false;
}

}  // namespace

bool IsOnlyPresentAmplifier(IAmplifierDirectory& amplifiers, ICobaltAmplifier& amplifier)
{
    return CountPresentAmplifiers(amplifiers).IsOnly(&amplifier);
}

bool IsFirmwareUpToDate(ICobaltAmplifier& amplifier, const std::filesystem::path& folder, IFirmwareUpdateUi& ui)
{
    FirmwareVersion version;
    if (!ParseDeviceFirmwareVersion(amplifier.GetFirmwareVersion(), version.major, version.minor)) {
        return false;
    }
    const std::vector<FirmwareFile> files = BuildFirmwareFileList(folder);
    if (files.empty()) {
        ui.ShowMessage(StringId::kNoFirmwareFiles, MessageIcon::Error, MessageButtons::Ok);
        return true;
    }
    return version >= files.front().Version();
}

bool ShowFirmwareTooOldDialog(FirmwareUpdateContext& context)
{
    context.amplifiers.SetScanMode(0, 0);
    const bool ok = context.ui.RunFirmwareTooOldDialog();
    context.amplifiers.SetScanMode(1, 0);
    return ok;
}

bool RunFirmwareUpdate(FirmwareUpdateContext& context, ICobaltAmplifier& amplifier, bool checkMode)
{
    bool mandatory = false;
    for (;;) {
        if (checkMode) {
            if (IsFirmwareUpToDate(amplifier, context.firmwareFolder, context.ui)) {
                return false;
            }
            if (!AcceptsSingleAmplifier(context, amplifier)) {
                return false;
            }
            if (AliasedFirmwareVersion(amplifier) < kMinimumTransferVersion) {
                mandatory = true;
                if (!ShowFirmwareTooOldDialog(context)) {
                    return false;
                }
            } else if (context.ui.ShowMessage(StringId::kFirmwareOfferUpdate, MessageIcon::Question,
                                              MessageButtons::YesNo) != MessageAnswer::Yes) {
                return false;
            }
        }
        if (!AcceptsSingleAmplifier(context, amplifier)) {
            return false;
        }
        // The amplifier resets on its way into the boot loader and back; a rescan then would
        // retire its object in the middle of the update.
        context.amplifiers.SetScanMode(1, 0);
        const bool ok = context.ui.RunFirmwareUpdateDialog(amplifier, context.firmwareFolder);
        if (!mandatory || ok) {
            return ok;
        }
    }
}

bool CheckFirmwareOnConnect(std::uint8_t& guard, FirmwareUpdateContext& context, ICobaltAmplifier& amplifier)
{
    return RunGuarded(guard, context, amplifier, true);
}

bool StartFirmwareUpdate(std::uint8_t& guard, FirmwareUpdateContext& context, ICobaltAmplifier& amplifier)
{
    return RunGuarded(guard, context, amplifier, false);
}
