#include "dsp_blocks/ui/DCrossover.h"

#include <algorithm>
#include <string>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/VCrossoverFreqGraphView.h"
#include "dsp_blocks/ui/VSectionDialogView.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/templates/CrossoverPanelTemplate.h"

DCrossover::DCrossover(IPanelSite& site, CCrossoverController& controller)
    : DBlockPanel(kCrossoverPanelTemplate, site, controller), controller_(controller)
{
}

DCrossover::~DCrossover() = default;

VSectionDialogView* DCrossover::MakeSection(std::uint32_t section, std::int32_t placeholderId, int& heightShrink)
{
    auto* view = new VSectionDialogView(section);
    if (!view->Create(this)) {
        delete view;
        return nullptr;
    }
    const EmbedResult embedded =
        EmbedChildDialog(*this, placeholderId, *view, [view](const std::string& title) { view->SetTitle(title); });
    heightShrink = embedded.heightShrink;
    return view;
}

bool DCrossover::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    int highShrink = 0;
    int lowShrink = 0;
    highPass_ = MakeSection(kHighPass, CrossoverPanelIds::kHighPassFrame, highShrink);
    lowPass_ = MakeSection(kLowPass, CrossoverPanelIds::kLowPassFrame, lowShrink);
    int shrink = 0;
    if (highPass_ != nullptr && lowPass_ != nullptr) {
        shrink = std::min(highShrink, lowShrink);
    } else if (highPass_ != nullptr || lowPass_ != nullptr) {
        shrink = highPass_ != nullptr ? highShrink : lowShrink;
    }
    resize(width(), height() - shrink);
    graph_ = new VCrossoverFreqGraphView(this);
    PlaceInFrame(*this, *graph_, CrossoverPanelIds::kGraphFrame, kGraphInsetX, kGraphInsetY);
    graph_->show();
    Refresh();
    UpdateImpedance();
    return true;
}

VSectionDialogView* DCrossover::Section(std::uint32_t section) const
{
    return section == kHighPass ? highPass_ : section == kLowPass ? lowPass_ : nullptr;
}

void DCrossover::RefreshGraph()
{
    if (graph_ == nullptr) {
        return;
    }
    const auto sections = controller_.GetSections();
    graph_->SetSections(sections.data(), sections.size());
    graph_->update();
}

void DCrossover::Refresh()
{
    if (highPass_ != nullptr) {
        highPass_->SetFilter(controller_.GetHighPass().type, controller_.GetHighPass().frequency);
    }
    if (lowPass_ != nullptr) {
        lowPass_->SetFilter(controller_.GetLowPass().type, controller_.GetLowPass().frequency);
    }
    RefreshGraph();
}

void DCrossover::UpdateChannelMode()
{
    UpdateImpedance();
}

void DCrossover::UpdateImpedance()
{
    const std::int32_t channel = controller_.GetChannel();
    // Only the channels that feed blocks have an impedance mode to show.
    if (channel < 0 || channel >= kMaxChannels) {
        return;
    }
    const std::uint32_t mode = controller_.GetChannelMode();
    const bool highImpedance = ParamRange::IsHighImpedanceMode(mode);
    for (VSectionDialogView* view : {highPass_, lowPass_}) {
        if (view != nullptr) {
            view->SetMinimumFlag(highImpedance);
        }
    }
    if (QWidget* text = Item(CrossoverPanelIds::kImpedance)) {
        text->update();
    }
    SetDlgItemTextByCode(this, CrossoverPanelIds::kImpedance,
                         highImpedance ? kHighImpedanceText : mode == 2 ? kLowImpedanceText : kNoImpedanceText);
    const float minimum = highImpedance ? ParamRange::kMinHighImpedanceFrequency : ParamRange::kMinFrequency;
    for (std::uint32_t section : {kHighPass, kLowPass}) {
        VSectionDialogView* view = Section(section);
        if (view != nullptr && view->Frequency() < minimum) {
            view->SetFilter(view->TypeCode(), minimum);
            OnSectionChanged(section, false);
        }
    }
}

void DCrossover::OnSectionChanged(std::uint32_t section, bool inProgress)
{
    const VSectionDialogView* view = Section(section);
    if (view == nullptr) {
        return;
    }
    MarkModified();
    const CrossoverFilter filter{view->TypeCode(), view->Frequency()};
    CheckControllerResult(controller_.SetFilter(static_cast<std::int32_t>(section), filter, inProgress));
    RefreshGraph();
}

void DCrossover::OnOK()
{
    ReflectReturnToFocus();
}

std::intptr_t DCrossover::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == platform::MsgNotifyChanged()) {
        OnSectionChanged(static_cast<std::uint32_t>(wParam), lParam != 0);
    }
    return 0;
}
