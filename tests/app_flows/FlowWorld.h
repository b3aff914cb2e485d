// One scripted stand-in for everything around the device flows: the user at message boxes
// and dialogs, the application object, the device manager's amplifier list and the frame.
// What happens is logged in order ("box:153", "scan:1,0", "dialog:197", "lock:185,0",
// "post:32847"), answers come from queues.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "application/flows/IDeviceFlowUi.h"
#include "application/transfer/ReadParamStore.h"
#include "tests/support/RecordingAmplifier.h"

class FlowWorld final : public IDocumentPrompts,
                        public IDocumentApplication,
                        public IAmplifierDirectory,
                        public IDeviceFlowUi,
                        public IFirmwareUpdateUi {
public:
    // Message boxes (both the document's and the firmware update's).
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowText(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    ModelType ChooseModel(ModelType preset) override;

    // Application.
    ModelType TakePendingNewDesignModel() override;
    bool IsStartUpInProgress() override { return false; }
    void PostCommand(std::uint32_t commandId) override;
    void RunIdlePass() override;
    CobaltDeviceManager::WindowId MainWindow() override { return 77; }
    void PostWakeUp(CobaltDeviceManager::WindowId) override {}
    void ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs) override;

    // Amplifier list.
    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override;
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override;

    // Flow windows.
    int AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier& amplifier) override;
    int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                            std::shared_ptr<ReadParamStore> store) override;
    int AskMutePolarity(bool normallyOpen) override;
    void ShowWaitForDisconnectDialog() override;
    void ShowWritingParamsDialog() override;
    void SendCommand(std::uint32_t commandId) override;
    bool IsModalRunning() override { return modalRunning; }
    bool IsWritingParameters() override;
    void DeliverMessagesAndPause(std::uint32_t ms) override;
    IFirmwareUpdateUi& FirmwareUi() override { return *this; }
    std::filesystem::path FirmwareFolder() override { return firmwareFolder; }
    bool RunFirmwareTooOldDialog() override;
    bool RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                 const std::filesystem::path& folder) override;

    // The log of what happened, and the entries that start with `prefix`.
    std::vector<std::string> log;
    std::vector<std::string> Logged(const std::string& prefix) const;

    std::vector<CobaltDeviceManager::ICobaltAmplifier*> present;
    std::deque<MessageAnswer> answers;  // Yes/No questions; No once empty
    std::deque<int> uploadDownloadAnswers;  // 2 once empty
    std::deque<bool> tooOldAnswers;         // false once empty
    std::deque<bool> firmwareDialogResults;  // false once empty
    int mutePolarityAnswer = 2;
    int downloadResult = 0;
    std::function<void(ReadParamStore&)> fillDownload;
    std::function<void()> duringUploadDownload;
    std::function<void(std::uint32_t)> onSendCommand;
    int writingPolls = 0;  // IsWritingParameters answers true this many times
    bool modalRunning = false;
    ModelType pendingModel = ModelType::Unknown;
    std::filesystem::path firmwareFolder;
};
