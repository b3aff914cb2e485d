// The device flows' shared steps and their small commands: firmware rules, the current
// amplifier, attaching the design, mute polarity, saving the configuration, the firmware
// command, scan modes, locking, enable rules and the connection bar.
#include "application/flows/DocumentDeviceFlows.h"

#include "application/document/PresentAmplifiers.h"
#include "application/firmware/AmplifierVersion.h"
#include "dsp_blocks/blocks/ModelUtilities.h"
#include "platform/base/Cp1252.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/MutePolarityTemplate.h"

using CobaltDeviceManager::ICobaltAmplifier;

DocumentDeviceFlows::FlowScope::FlowScope(DocumentDeviceFlows& flows) : flows_(flows)
{
    ++flows_.flowDepth_;
}

DocumentDeviceFlows::FlowScope::~FlowScope()
{
    if (--flows_.flowDepth_ == 0) {
        flows_.PostDeferredGoOnline();
    }
}

DocumentDeviceFlows::DocumentDeviceFlows(CCorvantEditorDoc& document, DocumentServices services, IDeviceFlowUi& ui)
    : document_(document),
      services_(services),
      ui_(ui),
      firmware_{services.amplifiers, ui.FirmwareUi(), ui.FirmwareFolder()}
{
}

bool DocumentDeviceFlows::DeferGoOnline(bool& pending)
{
    // A modal loop dispatches posted commands too; a flow run from inside another would ask
    // its questions over the first one's and act on a design the first one is changing.
    if (flowDepth_ > 0 || ui_.IsModalRunning()) {
        pending = true;
        return true;
    }
    return false;
}

void DocumentDeviceFlows::PostDeferredGoOnline()
{
    if (std::exchange(goOnlinePending_, false)) {
        services_.application.PostCommand(CommandId::kGoOnline);
    }
    if (std::exchange(delayedGoOnlinePending_, false)) {
        services_.application.PostCommand(CommandId::kDelayedGoOnline);
    }
}

void DocumentDeviceFlows::SuspendScan()
{
    services_.amplifiers.SetScanMode(1, 0);
}

void DocumentDeviceFlows::ResumeScan()
{
    services_.amplifiers.SetScanMode(0, 0);
}

bool DocumentDeviceFlows::StillTheOnlyAmplifier(ICobaltAmplifier& amplifier)
{
    ResumeScan();
    SuspendScan();
    return IsOnlyPresentAmplifier(services_.amplifiers, amplifier);
}

AmplifierRef DocumentDeviceFlows::GetAmpForTransfer()
{
    const PresentAmplifiers present = CountPresentAmplifiers(services_.amplifiers);
    const std::uint32_t count = present.count;
    AmplifierRef amplifier = present.first;
    if (count == 0) {
        services_.prompts.ShowMessage(StringId::kNoAmplifier, MessageIcon::Error, MessageButtons::Ok);
        return AmplifierRef();
    }
    if (count > 1) {
        services_.prompts.ShowMessage(StringId::kSeveralDevices, MessageIcon::Error, MessageButtons::Ok);
        return AmplifierRef();
    }
    return amplifier;
}

bool DocumentDeviceFlows::IsFirmwareUsable(ICobaltAmplifier& amplifier) const
{
    return CountPresentAmplifiers(services_.amplifiers).count > 0 && AliasedFirmwareVersion(amplifier) >= kMinimumOnlineVersion;
}

bool DocumentDeviceFlows::CheckFirmwareVersion(ICobaltAmplifier& amplifier)
{
    const FirmwareVersion version = AliasedFirmwareVersion(amplifier);
    if (!version.IsValid()) {
        return services_.prompts.ShowMessage(StringId::kFirmwareVersionUnknown, MessageIcon::Warning,
                                             MessageButtons::YesNo) == MessageAnswer::Yes;
    }
    if (version >= kMinimumTransferVersion) {
        return true;
    }
    services_.prompts.ShowMessage(StringId::kFirmwareIncompatible, MessageIcon::Error, MessageButtons::Ok);
    return false;
}

void DocumentDeviceFlows::NewDesignForModel(ModelType model)
{
    std::uint32_t command = CommandId::kNewDesignMV220;
    switch (model) {
    case ModelType::MV440:
        command = CommandId::kNewDesignMV440;
        break;
    case ModelType::MV440A:
        command = CommandId::kNewDesignMV440A;
        break;
    case ModelType::MV340A:
        command = CommandId::kNewDesignMV340A;
        break;
    default:
        break;
    }
    document_.SetModifiedFlag(false);
    document_.SetCreatingForAmplifier(true);
    ui_.SendCommand(command);
    document_.SetCreatingForAmplifier(false);
}

void DocumentDeviceFlows::SetCurrentAmplifier(ICobaltAmplifier* amplifier)
{
    CurrentAmplifier::Set(amplifier);
}

void DocumentDeviceFlows::Attach(ICobaltAmplifier* amplifier)
{
    document_.SetFirstStatusPending(true);
    const CobaltDeviceManager::WindowId frame = services_.application.MainWindow();
    document_.SetStatusWindow(frame);
    if (amplifier != nullptr) {
        amplifier->SetHwStatusCallback(&CCorvantEditorDoc::OnAmplifierStatusChanged, &document_);
    }
    document_.AttachAmplifierToBlocks(amplifier);
    if (amplifier != nullptr) {
        amplifier->SetNotifyWindow(frame, platform::MsgNotifyWritingParam());
    }
}

bool DocumentDeviceFlows::ConvertDesign(ModelType model)
{
    if (!document_.SetDocumentModel(model)) {
        services_.prompts.ShowMessage(StringId::kConvertFailed, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    document_.SetTitleForModel();
    return true;
}

void DocumentDeviceFlows::CommitControllers()
{
    for (const auto& controller : document_.Controllers()) {
        controller->Commit();
    }
}

bool DocumentDeviceFlows::RunFirmwareCheckOnConnect(ICobaltAmplifier& amplifier)
{
    const bool updated = CheckFirmwareOnConnect(document_.FirmwareCheckState(), firmware_, amplifier);
    services_.application.PostCommand(updated ? CommandId::kScanModeClearList : CommandId::kScanModeKeepList);
    return updated;
}

void DocumentDeviceFlows::OnMutePolarity()
{
    FlowScope flow(*this);
    const bool normallyOpen = document_.GetMutePolarityNormallyOpen() != 0;
    const int answer = ui_.AskMutePolarity(normallyOpen);
    if (answer == DialogId::kCancel) {
        return;
    }
    const bool chosen = answer == MutePolarityIds::kNormallyOpen;
    if (chosen == normallyOpen) {
        return;
    }
    document_.SetMutePolarityNormallyOpen(chosen);
    // An amplifier pulled while the chooser was open would keep the editor waiting for a write
    // that cannot happen.
    const AmplifierRef amplifier = CurrentAmplifier::Get();
    if (amplifier && IsOnlyPresentAmplifier(services_.amplifiers, *amplifier.Get())) {
        amplifier->SetMutePolarity(chosen);
    }
}

void DocumentDeviceFlows::OnSaveConfiguration()
{
    const AmplifierRef amplifier = CurrentAmplifier::Get();
    if (!amplifier) {
        return;
    }
    // A store that could not even be queued is not stored, and the user hears so.
    if (!amplifier->SaveConfig(services_.application.MainWindow(), platform::MsgNotifySaveConfig())) {
        document_.OnSaveConfigResult(CobaltDeviceManager::kSaveConfigNotStored);
    }
}

void DocumentDeviceFlows::OnFirmwareUpdate()
{
    FlowScope flow(*this);
    const PresentAmplifiers present = CountPresentAmplifiers(services_.amplifiers);
    const std::uint32_t count = present.count;
    const AmplifierRef& amplifier = present.first;
    if (count == 0) {
        return;
    }
    if (count > 1) {
        services_.prompts.ShowMessage(StringId::kSeveralAmplifiersFirmware, MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    const bool updated = StartFirmwareUpdate(document_.FirmwareCheckState(), firmware_, *amplifier.Get());
    services_.application.PostCommand(updated ? CommandId::kScanModeClearList : CommandId::kScanModeKeepList);
}

void DocumentDeviceFlows::OnScanModeClearList()
{
    services_.amplifiers.SetScanMode(0, 1);
}

void DocumentDeviceFlows::OnScanModeKeepList()
{
    services_.amplifiers.SetScanMode(0, 0);
}

void DocumentDeviceFlows::OnLockApp()
{
    services_.application.ShowLockDialog(StringId::kSavingConfiguration, kSaveConfigNoticeDelayMs);
    document_.UpdateAllViews(UpdateHint::DisableControlView);
}

void DocumentDeviceFlows::OnUnlockApp()
{
    services_.application.ShowLockDialog(0, 0);
    document_.UpdateAllViews(UpdateHint::EnableControlView);
}

bool DocumentDeviceFlows::HasCurrentAmplifier() const
{
    return static_cast<bool>(CurrentAmplifier::Get());
}

bool DocumentDeviceFlows::CanSaveConfiguration() const
{
    const AmplifierRef amplifier = CurrentAmplifier::Get();
    return amplifier && AliasedFirmwareVersion(*amplifier.Get()) >= kMinimumSaveConfigVersion;
}

bool DocumentDeviceFlows::CanUpdateFirmware() const
{
    return CountPresentAmplifiers(services_.amplifiers).count > 0;
}

std::string DocumentDeviceFlows::ConnectionText() const
{
    const PresentAmplifiers present = CountPresentAmplifiers(services_.amplifiers);
    const std::uint32_t count = present.count;
    const AmplifierRef& amplifier = present.first;
    if (count == 0) {
        return kConnectionTextNone;
    }
    if (count > 1) {
        return kConnectionTextSeveral;
    }
    return platform::Utf16ToUtf8(GetModelName(static_cast<ModelType>(amplifier->GetModel()))) + "  " +
           platform::Utf16ToUtf8(amplifier->GetFirmwareVersion()) + " - " + kConnectionTextConnected;
}

bool DocumentDeviceFlows::ConnectionIconState() const
{
    return document_.IsOnline();
}
