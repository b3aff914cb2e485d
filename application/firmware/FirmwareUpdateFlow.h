// The firmware update as the document starts it: the check when an amplifier goes online
// (an update is offered only when a newer image exists, and required when the amplifier's
// firmware is older than this editor's minimum) and the "Firmware Update" command, which
// always opens the firmware dialog. The windows it needs stand behind IFirmwareUpdateUi.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "application/document/DocumentServices.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"

// The single-amplifier message, fixed in the code and shown without an icon.
inline constexpr std::string_view kSingleAmplifierFirmwareText =
    "Cannot update firmware for now.\n\nConfirm that only a single Corvantine amplifier is connected with this PC.";

// The windows of the firmware update.
class IFirmwareUpdateUi {
public:
    // A message box with a string-table text.
    virtual MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) = 0;
    // A message box with a text fixed in the code.
    virtual MessageAnswer ShowText(std::string_view text, MessageIcon icon, MessageButtons buttons) = 0;
    // The minimum-version notice (template 349), modal; true when the user pressed OK. It
    // ends by itself when no amplifier is left.
    virtual bool RunFirmwareTooOldDialog() = 0;
    // The firmware dialog (template 189) for `amplifier` over the images of `folder`, modal;
    // true when it ended with OK (after a successful update).
    virtual bool RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                         const std::filesystem::path& folder) = 0;

protected:
    ~IFirmwareUpdateUi() = default;
};

// What the firmware update works with; all must outlive the call.
struct FirmwareUpdateContext {
    IAmplifierDirectory& amplifiers;
    IFirmwareUpdateUi& ui;
    std::filesystem::path firmwareFolder;
};

// True when exactly one amplifier is present and it is `amplifier`.
bool IsOnlyPresentAmplifier(IAmplifierDirectory& amplifiers, CobaltDeviceManager::ICobaltAmplifier& amplifier);

// The amplifier's raw version against the newest image: false when the version cannot be
// read; true (message 137 shown) when the folder holds no image, so that nothing is offered.
bool IsFirmwareUpToDate(CobaltDeviceManager::ICobaltAmplifier& amplifier, const std::filesystem::path& folder,
                        IFirmwareUpdateUi& ui);

// Resumes scanning while the minimum-version notice shows (so an unplugged amplifier ends
// it), suspends it again after; true when the user pressed OK.
bool ShowFirmwareTooOldDialog(FirmwareUpdateContext& context);

// The update from the check on connect (checkMode) or from the menu. Scanning is suspended
// from the firmware dialog on and left so for the caller to resume. True when the firmware
// dialog ended after a successful update. Below the minimum version the user leaves only by
// updating or by unplugging the amplifier.
bool RunFirmwareUpdate(FirmwareUpdateContext& context, CobaltDeviceManager::ICobaltAmplifier& amplifier,
                       bool checkMode);

// The two guarded entries: false at once while either runs (guard set); otherwise they set
// the guard, run the update with check mode on (on connect) or off (menu) and clear it.
bool CheckFirmwareOnConnect(std::uint8_t& guard, FirmwareUpdateContext& context,
                            CobaltDeviceManager::ICobaltAmplifier& amplifier);
bool StartFirmwareUpdate(std::uint8_t& guard, FirmwareUpdateContext& context,
                         CobaltDeviceManager::ICobaltAmplifier& amplifier);
