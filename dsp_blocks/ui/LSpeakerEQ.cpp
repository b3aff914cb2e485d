#include "dsp_blocks/ui/LSpeakerEQ.h"

#include <algorithm>
#include <string>

#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/ui/LSpeakerEQSelect.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/templates/SpeakerEqPanelTemplate.h"

using namespace SpeakerEqPanelIds;

LSpeakerEQ::LSpeakerEQ(IPanelSite& site, LSpeakerEQDialogController& controller)
    : DBlockPanel(kSpeakerEqPanelTemplate, site, controller), controller_(controller)
{
}

LSpeakerEQ::~LSpeakerEQ() = default;

bool LSpeakerEQ::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    const std::size_t count = std::min(controller_.GetCount(), kMaxRows);
    rows_.assign(count, nullptr);
    int widthShrink = 0;
    for (std::size_t i = 0; i < kMaxRows; ++i) {
        if (i >= count) {
            ShowItem(kRowFrames[i], false);
            continue;
        }
        auto* row = new LSpeakerEQSelect(static_cast<std::uint32_t>(i), controller_.GetPresetName(i));
        if (!row->Create(this)) {
            delete row;
            continue;
        }
        widthShrink =
            EmbedChildDialog(*this, kRowFrames[i], *row, [row](const std::string& title) { row->SetTitleText(title); })
                .widthShrink;
        rows_[i] = row;
    }
    const QWidget* lowest = Item(kRowFrames.back());
    const QWidget* last = count > 0 ? Item(kRowFrames[count - 1]) : nullptr;
    if (lowest != nullptr) {
        // With no row at all the panel ends where the first frame starts.
        const QWidget* first = Item(kRowFrames.front());
        const int end = last != nullptr ? BottomOf(*last) : first != nullptr ? first->y() : BottomOf(*lowest);
        GrowWindowBy(*this, -widthShrink, end - BottomOf(*lowest));
    }
    return true;
}

LSpeakerEQSelect* LSpeakerEQ::Row(std::size_t index) const
{
    return index < rows_.size() ? rows_[index] : nullptr;
}

void LSpeakerEQ::RefreshRow(std::size_t index)
{
    if (LSpeakerEQSelect* row = Row(index)) {
        row->SetSelection(controller_.GetPresetName(index).c_str());
    }
}

void LSpeakerEQ::Refresh()
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        RefreshRow(i);
    }
}

void LSpeakerEQ::OnRowChanged(std::size_t index)
{
    MarkModified();
    if (const LSpeakerEQSelect* row = Row(index)) {
        CheckControllerResult(controller_.SetPreset(index, row->PresetName().c_str()));
    }
    Site().RedrawBlockViews();
}

std::intptr_t LSpeakerEQ::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t)
{
    if (message == platform::MsgNotifyChanged() && !IsClosing()) {
        OnRowChanged(static_cast<std::size_t>(wParam));
    }
    return 0;
}
