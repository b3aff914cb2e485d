// The explicit upload and download commands.
#include "application/flows/DocumentDeviceFlows.h"

#include "application/document/DownloadedDesign.h"
#include "application/flows/ModelFamily.h"
#include "application/transfer/ReadParamStore.h"
#include "resources/strings/StringIds.h"

using CobaltDeviceManager::ICobaltAmplifier;

void DocumentDeviceFlows::OnUploadToAmp()
{
    FlowScope flow(*this);
    const AmplifierRef amplifier = GetAmpForTransfer();
    if (!amplifier) {
        return;
    }
    ICobaltAmplifier& amp = *amplifier.Get();
    const ModelType amplifierModel = AmplifierModel(amp);
    const ModelType designModel = document_.GetModel();
    if (!DesignFitsAmplifier(designModel, amplifierModel) &&
        !OfferModelConversion(amplifierModel, designModel).value_or(false)) {
        services_.prompts.ShowMessage(StringId::kConnectedModelMismatch, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    if (!CheckFirmwareVersion(amp)) {
        return;
    }
    std::uint32_t status = 0;
    if (amp.GetHardwareStatus(&status)) {
        if ((status & kStatusConfigSoftware) == 0 &&
            services_.prompts.ShowMessage(StringId::kConfigSwitchNotSoftware, MessageIcon::Information,
                                          MessageButtons::YesNo) != MessageAnswer::Yes) {
            return;
        }
    } else if (services_.prompts.ShowMessage(StringId::kConfigSwitchUnknown, MessageIcon::Warning,
                                             MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    if (services_.prompts.ShowMessage(StringId::kConfirmUpload, MessageIcon::Default, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    // The questions gave the user time to pull the plug.
    if (!IsOnlyPresentAmplifier(services_.amplifiers, amp)) {
        return;
    }
    // The design is written to the amplifier it was checked against.
    SetCurrentAmplifier(&amp);
    Attach(&amp);
    CommitControllers();
}

void DocumentDeviceFlows::OnDownloadFromAmp()
{
    FlowScope flow(*this);
    document_.Detach();
    const AmplifierRef amplifier = GetAmpForTransfer();
    if (!amplifier) {
        return;
    }
    ICobaltAmplifier& amp = *amplifier.Get();
    if (services_.prompts.ShowMessage(StringId::kConfirmDownload, MessageIcon::Question, MessageButtons::YesNo) !=
            MessageAnswer::Yes ||
        !CheckFirmwareVersion(amp) || !IsOnlyPresentAmplifier(services_.amplifiers, amp)) {
        return;
    }
    const std::shared_ptr<ReadParamStore> store = Download(amp);
    if (!store) {
        return;
    }
    const ModelType amplifierModel = AmplifierModel(amp);
    NewDesignForModel(amplifierModel);
    // A design that could not be made for the amplifier has nothing to take the download.
    if (!DesignFitsAmplifier(document_.GetModel(), amplifierModel)) {
        return;
    }
    document_.Detach();
    ApplyReadParamStore(document_, *store);
    // The blocks take the amplifier the parameters were read from.
    SetCurrentAmplifier(&amp);
    Attach(&amp);
    document_.UpdateAllViews(UpdateHint::RedrawDiagram);
}
