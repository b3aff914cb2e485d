// What the document's device flows need from the editor's windows beyond the document's own
// services: the dialogs they run, the frame's write progress, and the firmware update's
// windows. The editor implements it over its windows; tests script it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "application/firmware/FirmwareUpdateFlow.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"

class ReadParamStore;

class IDeviceFlowUi {
public:
    // The upload-or-download question for `amplifier` (it resumes scanning while it shows):
    // 1118 Upload, 1119 Download, 2 when it closed itself.
    virtual int AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier& amplifier) = 0;
    // The download dialog into `store`: 0 done, negative when it failed (it told the user).
    virtual int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                    std::shared_ptr<ReadParamStore> store) = 0;
    // The mute polarity chooser: 1111 normally open, 1112 normally closed, 2 cancelled.
    virtual int AskMutePolarity(bool normallyOpen) = 0;
    // Dialog 350: waits, modally, until no amplifier is left (or the user cancels).
    virtual void ShowWaitForDisconnectDialog() = 0;
    // Dialog 202: waits, modally, until the parameter writes have ended.
    virtual void ShowWritingParamsDialog() = 0;

    // Runs a command now (not posted), as the framework's SendMessage of WM_COMMAND did.
    virtual void SendCommand(std::uint32_t commandId) = 0;
    // True while a modal dialog or message box runs.
    virtual bool IsModalRunning() = 0;
    // The frame writes parameters to the amplifier (its write-progress total is not 0).
    virtual bool IsWritingParameters() = 0;
    // Hands the messages that were posted meanwhile to their windows, then sleeps `ms`.
    virtual void DeliverMessagesAndPause(std::uint32_t ms) = 0;

    // The firmware update's windows and the folder of the images.
    virtual IFirmwareUpdateUi& FirmwareUi() = 0;
    virtual std::filesystem::path FirmwareFolder() = 0;

protected:
    ~IDeviceFlowUi() = default;
};
