// One scripted stand-in for everything around the device flows: the user at message boxes and
// dialogs, the application object, the device manager's amplifier list and the frame. What
// happens is logged in order ("box:153", "scan:1,0", "dialog:197", "lock:185,0", "post:32847");
// answers come from queues (No, 2 and false once a queue is empty).
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
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon, MessageButtons buttons) override
    {
        Log("box:" + std::to_string(stringId));
        return buttons == MessageButtons::YesNo ? Take(answers, MessageAnswer::No) : MessageAnswer::Ok;
    }
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override
    {
        return ShowText(std::string_view(text), icon, buttons);
    }
    MessageAnswer ShowText(std::string_view text, MessageIcon icon, MessageButtons) override
    {
        Log("text:" + std::string(text.substr(0, 24)) + (icon == MessageIcon::None ? ":plain" : ""));
        return MessageAnswer::Ok;
    }
    ModelType ChooseModel(ModelType preset) override { return preset; }

    ModelType TakePendingNewDesignModel() override { return std::exchange(pendingModel, ModelType::Unknown); }
    bool IsStartUpInProgress() override { return false; }
    void PostCommand(std::uint32_t id) override { Log("post:" + std::to_string(id)); }
    void RunIdlePass() override { Log("idle"); }
    CobaltDeviceManager::WindowId MainWindow() override { return 77; }
    void PostWakeUp(CobaltDeviceManager::WindowId) override {}
    void ShowLockDialog(std::uint32_t id, std::uint32_t delay) override
    {
        Log("lock:" + std::to_string(id) + "," + std::to_string(delay));
    }

    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override
    {
        if (!present.empty()) {
            present.front()->AddRef();
            *first = present.front();
        }
        return static_cast<std::uint32_t>(present.size());
    }
    void SetScanMode(std::uint32_t suspend, std::uint32_t clear) override
    {
        Log("scan:" + std::to_string(suspend) + "," + std::to_string(clear));
    }

    int AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier&) override
    {
        Log("dialog:197");
        if (duringUploadDownload) {
            duringUploadDownload();
        }
        return Take(uploadDownloadAnswers, 2);
    }
    int RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier&, std::shared_ptr<ReadParamStore> store) override
    {
        Log("dialog:194");
        if (fillDownload) {
            fillDownload(*store);
        }
        store->Close();
        return 0;
    }
    int AskMutePolarity(bool) override { return mutePolarityAnswer; }
    void ShowWaitForDisconnectDialog() override { Log("dialog:350"); }
    void ShowWritingParamsDialog() override { Log("dialog:202"); }
    void SendCommand(std::uint32_t id) override
    {
        Log("send:" + std::to_string(id));
        if (onSendCommand) {
            onSendCommand(id);
        }
    }
    bool IsModalRunning() override { return modalRunning; }
    bool IsWritingParameters() override { return writingPolls > 0 && writingPolls-- > 0; }
    void DeliverMessagesAndPause(std::uint32_t ms) override { Log("pause:" + std::to_string(ms)); }
    IFirmwareUpdateUi& FirmwareUi() override { return *this; }
    std::filesystem::path FirmwareFolder() override { return firmwareFolder; }
    bool RunFirmwareTooOldDialog() override { return Log("dialog:349"), Take(tooOldAnswers, false); }
    bool RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier&, const std::filesystem::path&) override
    {
        return Log("dialog:189"), Take(firmwareDialogResults, false);
    }

    // The entries of the log that start with `prefix`.
    std::vector<std::string> Logged(const std::string& prefix) const
    {
        std::vector<std::string> matching;
        for (const std::string& entry : log) {
            if (entry.rfind(prefix, 0) == 0) {
                matching.push_back(entry);
            }
        }
        return matching;
    }

    std::vector<std::string> log;
    std::vector<CobaltDeviceManager::ICobaltAmplifier*> present;
    std::deque<MessageAnswer> answers;
    std::deque<int> uploadDownloadAnswers;
    std::deque<bool> tooOldAnswers;
    std::deque<bool> firmwareDialogResults;
    int mutePolarityAnswer = 2;
    std::function<void(ReadParamStore&)> fillDownload;
    std::function<void()> duringUploadDownload;
    std::function<void(std::uint32_t)> onSendCommand;
    int writingPolls = 0;  // IsWritingParameters answers true this many times
    bool modalRunning = false;
    ModelType pendingModel = ModelType::Unknown;
    std::filesystem::path firmwareFolder;

private:
    void Log(std::string entry) { log.push_back(std::move(entry)); }
    template <typename T>
    static T Take(std::deque<T>& queue, T fallback)
    {
        if (queue.empty()) {
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
