// The device flows' windows in the editor: the upload-or-download question, the download
// and mute polarity dialogs, the waiting dialogs 202 and 350, the frame's write progress,
// and the firmware update's notice and dialog with their message boxes.
#pragma once

#include <filesystem>

#include "application/flows/IDeviceFlowUi.h"

class CCorvantEditorApp;

class EditorDeviceFlowUi final : public IDeviceFlowUi, public IFirmwareUpdateUi {
public:
    // `app` must outlive this object; `firmwareFolder` holds the firmware images.
    EditorDeviceFlowUi(CCorvantEditorApp& app, std::filesystem::path firmwareFolder);

    // IDeviceFlowUi.
    int AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier& amplifier) override;
    int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                            std::shared_ptr<ReadParamStore> store) override;
    int AskMutePolarity(bool normallyOpen) override;
    void ShowWaitForDisconnectDialog() override;
    void ShowWritingParamsDialog() override;
    void SendCommand(std::uint32_t commandId) override;
    bool IsModalRunning() override;
    bool IsWritingParameters() override;
    void DeliverMessagesAndPause(std::uint32_t ms) override;
    IFirmwareUpdateUi& FirmwareUi() override { return *this; }
    std::filesystem::path FirmwareFolder() override { return firmwareFolder_; }

    // IFirmwareUpdateUi.
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowText(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    bool RunFirmwareTooOldDialog() override;
    bool RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                 const std::filesystem::path& folder) override;

private:
    CCorvantEditorApp& app_;
    std::filesystem::path firmwareFolder_;
};
