// The device flows' windows.
#include "application/ui/EditorDeviceFlowUi.h"

#include <chrono>
#include <string>
#include <thread>

#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/CDlgMutePolarity.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgFirmwareUpdate.h"
#include "application/ui/DlgPushPullProgress.h"
#include "application/ui/DlgUpdateEx.h"
#include "application/ui/DlgUploadDownload.h"
#include "application/ui/DlgWaitForDisconnect.h"
#include "application/ui/DlgWritingParams.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/ModalState.h"

EditorDeviceFlowUi::EditorDeviceFlowUi(CCorvantEditorApp& app, std::filesystem::path firmwareFolder)
    : app_(app), firmwareFolder_(std::move(firmwareFolder))
{
}

int EditorDeviceFlowUi::AskUploadOrDownload(CobaltDeviceManager::ICobaltAmplifier& amplifier)
{
    return ::AskUploadOrDownload(app_.Amplifiers(), &amplifier);
}

int EditorDeviceFlowUi::RunDownloadProgress(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                            std::shared_ptr<ReadParamStore> store)
{
    return ::RunDownloadProgress(&amplifier, std::move(store));
}

int EditorDeviceFlowUi::AskMutePolarity(bool normallyOpen)
{
    return ::AskMutePolarity(normallyOpen);
}

void EditorDeviceFlowUi::ShowWaitForDisconnectDialog()
{
    DlgWaitForDisconnect dialog(app_.Amplifiers());
    dialog.DoModal();
}

void EditorDeviceFlowUi::ShowWritingParamsDialog()
{
    DlgWritingParams dialog([this] { return IsWritingParameters(); }, app_.Amplifiers());
    dialog.DoModal();
}

void EditorDeviceFlowUi::SendCommand(std::uint32_t commandId)
{
    platform::SendCommand(commandId);
}

bool EditorDeviceFlowUi::IsModalRunning()
{
    return platform::IsModalRunning();
}

bool EditorDeviceFlowUi::IsWritingParameters()
{
    const CMainFrame* frame = app_.GetMainFrame();
    return frame != nullptr && frame->IsWritingParameters();
}

void EditorDeviceFlowUi::DeliverMessagesAndPause(std::uint32_t ms)
{
    platform::DeliverPostedMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

MessageAnswer EditorDeviceFlowUi::ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons)
{
    return platform::MessageBoxId(stringId, icon, buttons);
}

MessageAnswer EditorDeviceFlowUi::ShowText(std::string_view text, MessageIcon icon, MessageButtons buttons)
{
    return platform::MessageBoxText(std::string(text), icon, buttons);
}

bool EditorDeviceFlowUi::RunFirmwareTooOldDialog()
{
    DlgUpdateEx dialog(app_.Amplifiers());
    return dialog.DoModal() == DialogId::kOk;
}

bool EditorDeviceFlowUi::RunFirmwareUpdateDialog(CobaltDeviceManager::ICobaltAmplifier& amplifier,
                                                 const std::filesystem::path& folder)
{
    return ::RunFirmwareUpdateDialog(app_.Amplifiers(), amplifier, folder);
}
