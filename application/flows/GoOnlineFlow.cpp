// Going online: after a change of the amplifiers (with the firmware check and the
// upload-or-download question), after a new or opened design, and GoOnline itself.
#include "application/flows/DocumentDeviceFlows.h"

#include "application/document/DownloadedDesign.h"
#include "application/document/PresentAmplifiers.h"
#include "application/firmware/AmplifierVersion.h"
#include "application/flows/ModelFamily.h"
#include "application/transfer/ReadParamStore.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/UploadDownloadTemplate.h"

using CobaltDeviceManager::ICobaltAmplifier;

void DocumentDeviceFlows::OnGoOnline()
{
    if (DeferGoOnline(goOnlinePending_)) {
        return;
    }
    FlowScope flow(*this);
    const PresentAmplifiers present = CountPresentAmplifiers(services_.amplifiers);
    const std::uint32_t count = present.count;
    const AmplifierRef& amplifier = present.first;
    if (count == 0) {
        document_.GoOffline();
        SetCurrentAmplifier(nullptr);
        document_.SetLastAmplifierCount(0);
        return;
    }
    if (count > 1) {
        if (count > document_.GetLastAmplifierCount()) {
            services_.prompts.ShowMessage(StringId::kSeveralAmplifiersOnline, MessageIcon::Error, MessageButtons::Ok);
        }
        document_.GoOffline();
        SetCurrentAmplifier(nullptr);
        document_.SetLastAmplifierCount(count);
        return;
    }
    // One amplifier is seen; a second one plugged in later is a growth again.
    document_.SetLastAmplifierCount(1);
    // The device manager repeats its notice after every rescan: the amplifier the design is
    // online with already needs nothing.
    if (document_.IsOnline() && CurrentAmplifier::Get().Get() == amplifier.Get()) {
        return;
    }

    services_.application.RunIdlePass();
    SuspendScan();
    if (RunFirmwareCheckOnConnect(*amplifier.Get())) {
        ResumeScan();
        return;
    }
    if (!IsFirmwareUsable(*amplifier.Get())) {
        ResumeScan();
        return;
    }
    SetCurrentAmplifier(amplifier.Get());
    document_.UpdateAllViews(UpdateHint::AmplifierChanged,
                             AmplifierModel(*amplifier.Get()) == document_.GetModel() ? amplifier.Get() : nullptr);
    document_.Detach();

    for (;;) {
        const int answer = ui_.AskUploadOrDownload(*amplifier.Get());
        std::uint32_t mode = GoOnlineMode::kNewDesign;
        if (answer == UploadDownloadIds::kDownload) {
            mode = GoOnlineMode::kDownload;
        } else if (answer != UploadDownloadIds::kUpload) {
            break;
        }
        const bool online = GoOnline(mode, amplifier.Get());
        if (!online) {
            document_.GoOffline();
        }
        document_.SetOnline(online);
        if (online) {
            document_.UpdateAllViews(UpdateHint::RedrawDiagram);
            ResumeScan();
            return;
        }
        ResumeScan();
        if (!IsOnlyPresentAmplifier(services_.amplifiers, *amplifier.Get())) {
            break;
        }
        SuspendScan();
    }
    document_.GoOffline();
    ResumeScan();
}

void DocumentDeviceFlows::OnDelayedGoOnline()
{
    if (DeferGoOnline(delayedGoOnlinePending_)) {
        return;
    }
    FlowScope flow(*this);
    SuspendScan();
    const bool online = GoOnline(document_.GetDelayedGoOnlineMode(), nullptr);
    if (!online) {
        document_.GoOffline();
    }
    document_.SetOnline(online);
    ResumeScan();
    if (!online) {
        ShowWaitForDisconDialog();
    }
}

void DocumentDeviceFlows::ShowWaitForDisconDialog()
{
    if (CountPresentAmplifiers(services_.amplifiers).count > 0) {
        ui_.ShowWaitForDisconnectDialog();
    }
}

bool DocumentDeviceFlows::GoOnline(std::uint32_t mode, ICobaltAmplifier* given)
{
    AmplifierRef amplifier(given);
    if (!amplifier) {
        amplifier = CountPresentAmplifiers(services_.amplifiers).Single();
        if (!amplifier) {
            return false;
        }
    }
    ICobaltAmplifier& amp = *amplifier.Get();
    if (!IsFirmwareUsable(amp)) {
        if (RunFirmwareCheckOnConnect(amp)) {
            ResumeScan();
            return false;
        }
        services_.prompts.ShowMessage(StringId::kFirmwareIncompatible, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    const ModelType amplifierModel = AmplifierModel(amp);
    if (mode != GoOnlineMode::kDownload) {
        if (!CheckFirmwareVersion(amp) || !MatchUploadModel(amp)) {
            return false;
        }
        // The questions gave the user time to pull the plug.
        if (!StillTheOnlyAmplifier(amp)) {
            return false;
        }
    } else {
        if (document_.IsModified() &&
            services_.prompts.ShowMessage(StringId::kConfirmDownload, MessageIcon::Question, MessageButtons::YesNo) !=
                MessageAnswer::Yes) {
            return false;
        }
        // The design is replaced only by a download that succeeded: one that is aborted, cut by
        // an unplug or refused leaves the user's blocks, title, path and modified flag alone,
        // so that the question that follows can still upload them.
        if (!CheckFirmwareVersion(amp) || !StillTheOnlyAmplifier(amp)) {
            return false;
        }
        const std::shared_ptr<ReadParamStore> store = Download(amp);
        if (!store) {
            return false;
        }
        NewDesignForModel(amplifierModel);
        // A design that could not be made for the amplifier has nothing to take the download.
        if (!DesignFitsAmplifier(document_.GetModel(), amplifierModel)) {
            return false;
        }
        document_.Detach();
        ApplyReadParamStore(document_, *store);
    }
    SetCurrentAmplifier(&amp);
    document_.UpdateAllViews(UpdateHint::AmplifierChanged, &amp);
    Attach(&amp);
    if (mode != GoOnlineMode::kDownload) {
        CommitControllers();
    }
    return true;
}

bool DocumentDeviceFlows::MatchUploadModel(ICobaltAmplifier& amplifier)
{
    const ModelType amplifierModel = AmplifierModel(amplifier);
    const ModelType designModel = document_.GetModel();
    if (DesignFitsAmplifier(designModel, amplifierModel)) {
        return true;
    }
    if (const std::optional<bool> converted = OfferModelConversion(amplifierModel, designModel)) {
        return *converted;
    }
    services_.prompts.ShowMessage(StringId::kModelMismatchUpload, MessageIcon::Error, MessageButtons::Ok);
    return false;
}

std::optional<bool> DocumentDeviceFlows::OfferModelConversion(ModelType amplifierModel, ModelType designModel)
{
    const auto agreed = [this](std::uint32_t question) {
        return services_.prompts.ShowMessage(question, MessageIcon::Default, MessageButtons::YesNo) ==
               MessageAnswer::Yes;
    };
    if (ModelFamily(designModel) == ModelType::MV440 && amplifierModel == ModelType::MV340A) {
        return agreed(StringId::kConvertToMV340A) && ConvertDesign(ModelType::MV340A);
    }
    if (designModel == ModelType::MV340A && ModelFamily(amplifierModel) == ModelType::MV440) {
        return agreed(StringId::kConvertToMV440) && ConvertDesign(amplifierModel);
    }
    return std::nullopt;
}

std::shared_ptr<ReadParamStore> DocumentDeviceFlows::Download(ICobaltAmplifier& amplifier)
{
    auto store = std::make_shared<ReadParamStore>();
    if (ui_.RunDownloadProgress(amplifier, store) != 0) {
        return nullptr;
    }
    return store;
}
