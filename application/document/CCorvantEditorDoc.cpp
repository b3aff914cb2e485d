// The design held by the document: new designs, the block diagram, controllers, model,
// channel configuration and the amplifier the blocks write to.
#include "application/document/CCorvantEditorDoc.h"

#include <algorithm>

#include "application/document/PresentAmplifiers.h"
#include "application/document/BlockDiagramFile.h"
#include "application/document/ChannelConfigRules.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "resources/strings/StringIds.h"

using CobaltDeviceManager::ICobaltAmplifier;

namespace {

// An amplifier is only taken at its word for a model the editor knows.
ModelType ModelOfAmplifier(ICobaltAmplifier& amplifier)
{
    const std::int32_t model = amplifier.GetModel();
    if (model < static_cast<std::int32_t>(ModelType::MV220) || model > static_cast<std::int32_t>(ModelType::MV340A)) {
        return ModelType::Unknown;
    }
    return static_cast<ModelType>(model);
}

}  // namespace

CCorvantEditorDoc::CCorvantEditorDoc(DocumentServices services, std::filesystem::path dataFolder)
    : services_(services), dataFolder_(std::move(dataFolder))
{
}

CCorvantEditorDoc::~CCorvantEditorDoc()
{
    // The amplifier outlives the document; it must not call back into a dead one.
    Detach();
    FreeDesign();
}

void CCorvantEditorDoc::AddObserver(IDocumentObserver* observer)
{
    if (observer != nullptr && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void CCorvantEditorDoc::RemoveObserver(IDocumentObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CCorvantEditorDoc::UpdateAllViews(UpdateHint hint, ICobaltAmplifier* amplifier)
{
    // A view may add or remove views while it is told; tell the ones present at the start.
    const std::vector<IDocumentObserver*> observers = observers_;
    for (IDocumentObserver* observer : observers) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) {
            observer->OnUpdate(*this, hint, amplifier);
        }
    }
}

bool CCorvantEditorDoc::OnNewDocument()
{
    // The framework's new-document step.
    DeleteContents();
    modified_ = false;
    pathName_.clear();

    ModelType model = ModelType::Unknown;
    const PresentAmplifiers present = CountPresentAmplifiers(services_.amplifiers);
    const std::uint32_t count = present.count;
    const AmplifierRef& amplifier = present.first;
    // A single amplifier decides only with a model this editor knows; otherwise it counts
    // as no amplifier.
    const ModelType amplifierModel =
        count == 1 && amplifier ? ModelOfAmplifier(*amplifier.Get()) : ModelType::Unknown;
    const bool single = amplifierModel != ModelType::Unknown;
    if (firstNewDocument_ != 0) {
        firstNewDocument_ = 0;
        model = single ? amplifierModel : ModelType::MV440;
    } else if (const ModelType pending = services_.application.TakePendingNewDesignModel();
               pending != ModelType::Unknown) {
        model = pending;
    } else if (single) {
        model = amplifierModel;
    } else {
        services_.amplifiers.SetScanMode(1, 0);
        model = services_.prompts.ChooseModel(model_);
        services_.amplifiers.SetScanMode(0, 0);
    }
    if (model < ModelType::MV220 || model > ModelType::MV340A) {
        model_ = ModelType::Unknown;
        return false;
    }

    freshDesign_ = creatingForAmplifier_ != 0 ? 0 : 1;
    if (!LoadBlockDiagram(model)) {
        services_.prompts.ShowMessage(StringId::kBrokenInstallation, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    if (!CreateDesignControllers()) {
        services_.prompts.ShowMessage(StringId::kControllersInitFailed, MessageIcon::Error, MessageButtons::Ok);
    }
    BuildMeterList();
    mutePolarityNormallyOpen_ = 1;
    ApplyModelToControllers(model);
    model_ = model;
    if (creatingForAmplifier_ == 0 && !services_.application.IsStartUpInProgress()) {
        PostDelayedGoOnline(GoOnlineMode::kNewDesign);
    }
    SetTitleForModel();
    return true;
}

void CCorvantEditorDoc::DeleteContents()
{
    GoOffline();
    UpdateAllViews(UpdateHint::Reset);
    FreeDesign();
    mutePolarityNormallyOpen_ = 1;
}

void CCorvantEditorDoc::FreeDesign()
{
    meterList_.reset();
    // Controllers point into the blocks (and close their panels when they go).
    controllers_.clear();
    blocks_.clear();
}

bool CCorvantEditorDoc::CreateDesignControllers()
{
    std::vector<DiagramBlock*> blocks;
    blocks.reserve(blocks_.size());
    for (const std::unique_ptr<DiagramBlock>& block : blocks_) {
        blocks.push_back(block.get());
    }
    return CreateControllers(blocks, controllers_);
}

void CCorvantEditorDoc::PostDelayedGoOnline(std::uint32_t mode)
{
    delayedGoOnlineMode_ = mode;
    services_.application.PostCommand(DocumentCommand::kDelayedGoOnline);
}

bool CCorvantEditorDoc::LoadBlockDiagram(ModelType model)
{
    return ReadBlockDiagramFile(dataFolder_ / BlockDiagramFileName(model), blocks_);
}

DiagramBlock* CCorvantEditorDoc::FindBlock(BlockType type, std::int32_t channel, std::int32_t stage) const
{
    return FindBlockIn(blocks_, type, channel, stage);
}

DiagramBlock* CCorvantEditorDoc::GetBlock(std::size_t index) const
{
    return index < blocks_.size() ? blocks_[index].get() : nullptr;
}

DiagramBlock* CCorvantEditorDoc::BlockAtPoint(std::int32_t x, std::int32_t y) const
{
    for (const std::unique_ptr<DiagramBlock>& block : blocks_) {
        if (block->HitTest(x, y)) {
            return block.get();
        }
    }
    return nullptr;
}

CController* CCorvantEditorDoc::GetSelectedController() const
{
    for (const std::unique_ptr<DiagramBlock>& block : blocks_) {
        if (block->selected != 0) {
            return block->controller;
        }
    }
    return nullptr;
}

bool CCorvantEditorDoc::SetDocumentModel(ModelType model)
{
    ApplyModelToControllers(model);
    // A converted design differs from what was saved, even where no value had to change.
    if (model != model_) {
        modified_ = true;
    }
    model_ = model;
    return true;
}

void CCorvantEditorDoc::SetTitleForModel()
{
    switch (model_) {
    case ModelType::MV340A:
        title_ = "Corvantine MV340A";
        break;
    case ModelType::MV440:
        title_ = "Corvantine MV440";
        break;
    case ModelType::MV440A:
        title_ = "Corvantine MV440A";
        break;
    default:
        title_ = "Corvantine MV220";
        break;
    }
}

void CCorvantEditorDoc::RedrawBlockViews()
{
    UpdateAllViews(UpdateHint::RedrawDiagram);
}

void CCorvantEditorDoc::BuildMeterList()
{
    auto counts = std::make_unique<MeterListCounts>();
    for (const std::unique_ptr<DiagramBlock>& block : blocks_) {
        if (block->type == BlockType::InputGain) {
            ++counts->inputCount;
        } else if (block->type == BlockType::OutputGain) {
            ++counts->outputCount;
        }
    }
    meterList_ = std::move(counts);
}

void CCorvantEditorDoc::ApplyModelToControllers(ModelType model)
{
    ::ApplyModelToControllers(controllers_, model);
}

ChannelConfig CCorvantEditorDoc::OnStatusChanged(std::uint32_t oldStatus, std::uint32_t newStatus,
                                                 std::uint32_t channelCount)
{
    const ChannelConfig delivered = ApplyChannelConfigToControllers(
        controllers_, MakeChannelConfigFromChange(oldStatus, newStatus, channelCount, freshDesign_));
    if (delivered.anyAccepted != 0) {
        if (const AmplifierRef amplifier = CurrentAmplifier::Get()) {
            amplifier->FlushBlockParams();
        }
    }
    return delivered;
}

ChannelConfig CCorvantEditorDoc::OnFirstStatus(std::uint32_t status, std::uint32_t channelCount)
{
    const ChannelConfig delivered = ApplyChannelConfigToControllers(
        controllers_, MakeFirstStatusChannelConfig(status, channelCount, freshDesign_));
    if (delivered.anyAccepted != 0) {
        if (const AmplifierRef amplifier = CurrentAmplifier::Get()) {
            amplifier->FlushBlockParams();
        }
    }
    return delivered;
}

void CCorvantEditorDoc::AttachAmplifierToBlocks(ICobaltAmplifier* amplifier)
{
    for (const std::unique_ptr<DiagramBlock>& block : blocks_) {
        block->SetAmplifier(amplifier);
    }
}

void CCorvantEditorDoc::Detach()
{
    firstStatusPending_ = 0;
    if (const AmplifierRef amplifier = CurrentAmplifier::Get()) {
        amplifier->SetHwStatusCallback(nullptr, this);
    }
    AttachAmplifierToBlocks(nullptr);
}

void CCorvantEditorDoc::GoOffline()
{
    Detach();
    UpdateAllViews(UpdateHint::AmplifierChanged, nullptr);
    online_ = 0;
    services_.application.ShowLockDialog(0, 0);
    UpdateAllViews(UpdateHint::EnableControlView);
}

void CCorvantEditorDoc::OnSaveConfigResult(std::intptr_t result)
{
    if (result == CobaltDeviceManager::kSaveConfigNotStored) {
        services_.prompts.ShowMessage(StringId::kConfigNotStored, MessageIcon::Error, MessageButtons::Ok);
    }
}

void CCorvantEditorDoc::OnAmplifierStatusChanged(void* context)
{
    auto* document = static_cast<CCorvantEditorDoc*>(context);
    if (document == nullptr) {
        return;
    }
    // One wake-up serves any number of changes until the idle poll takes the flag.
    if (document->pendingDeviceEvent_.exchange(1) == 0) {
        document->services_.application.PostWakeUp(document->statusWindow_.load());
    }
}

std::uint32_t CCorvantEditorDoc::TakePendingDeviceEvent()
{
    return pendingDeviceEvent_.exchange(0);
}
