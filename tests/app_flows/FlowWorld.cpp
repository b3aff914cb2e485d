#include "tests/app_flows/FlowWorld.h"

namespace {

template <typename T>
T Take(std::deque<T>& queue, T fallback)
{
    if (queue.empty()) {
        return fallback;
    }
    T value = queue.front();
    queue.pop_front();
    return value;
}

}  // namespace

MessageAnswer FlowWorld::ShowMessage(std::uint32_t stringId, MessageIcon, MessageButtons buttons)
{
    log.push_back("box:" + std::to_string(stringId));
    return buttons == MessageButtons::YesNo ? Take(answers, MessageAnswer::No) : MessageAnswer::Ok;
}

MessageAnswer FlowWorld::ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    return ShowText(std::string_view(text), icon, buttons);
}

MessageAnswer FlowWorld::ShowText(std::string_view text, MessageIcon icon, MessageButtons)
{
    log.push_back("text:" + std::string(text.substr(0, 24)) + (icon == MessageIcon::None ? ":plain" : ""));
    return MessageAnswer::Ok;
}

ModelType FlowWorld::ChooseModel(ModelType preset)
{
    return preset;
}

ModelType FlowWorld::TakePendingNewDesignModel()
{
    return std::exchange(pendingModel, ModelType::Unknown);
}

void FlowWorld::PostCommand(std::uint32_t commandId)
{
    log.push_back("post:" + std::to_string(commandId));
}

void FlowWorld::RunIdlePass()
{
    log.push_back("idle");
}

void FlowWorld::ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs)
{
    log.push_back("lock:" + std::to_string(stringId) + "," + std::to_string(delayMs));
}

std::uint32_t FlowWorld::ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first)
{
    if (!present.empty()) {
        present.front()->AddRef();
        *first = present.front();
    }
    return static_cast<std::uint32_t>(present.size());
}

void FlowWorld::SetScanMode(std::uint32_t suspend, std::uint32_t clearList)
{
    log.push_back("scan:" + std::to_string(suspend) + "," + std::to_string(clearList));
}

int FlowWorld::AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier&)
{
    log.push_back("dialog:197");
    if (duringUploadDownload) {
        duringUploadDownload();
    }
    return Take(uploadDownloadAnswers, 2);
}

int FlowWorld::RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier&, std::shared_ptr<ReadParamStore> store)
{
    log.push_back("dialog:194");
    if (fillDownload) {
        fillDownload(*store);
    }
    store->Close();
    return downloadResult;
}

int FlowWorld::AskMutePolarity(bool normallyOpen)
{
    log.push_back(std::string("dialog:186:") + (normallyOpen ? "open" : "closed"));
    return mutePolarityAnswer;
}

void FlowWorld::ShowWaitForDisconnectDialog()
{
    log.push_back("dialog:350");
}

void FlowWorld::ShowWritingParamsDialog()
{
    log.push_back("dialog:202");
}

void FlowWorld::SendCommand(std::uint32_t commandId)
{
    log.push_back("send:" + std::to_string(commandId));
    if (onSendCommand) {
        onSendCommand(commandId);
    }
}

bool FlowWorld::IsWritingParameters()
{
    if (writingPolls > 0) {
        --writingPolls;
        return true;
    }
    return false;
}

void FlowWorld::DeliverMessagesAndPause(std::uint32_t ms)
{
    log.push_back("pause:" + std::to_string(ms));
}

bool FlowWorld::RunFirmwareTooOldDialog()
{
    log.push_back("dialog:349");
    return Take(tooOldAnswers, false);
}

bool FlowWorld::RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier&, const std::filesystem::path&)
{
    log.push_back("dialog:189");
    return Take(firmwareDialogResults, false);
}

std::vector<std::string> FlowWorld::Logged(const std::string& prefix) const
{
    std::vector<std::string> matching;
    for (const std::string& entry : log) {
        if (entry.rfind(prefix, 0) == 0) {
            matching.push_back(entry);
        }
    }
    return matching;
}
