#include "dsp_blocks/ui/LOutputGain.h"

#include <algorithm>

#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/ui/GradientFills.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "resources/templates/OutputPolarityPanelTemplate.h"

using namespace OutputPolarityPanelIds;

LOutputGain::LOutputGain(IPanelSite& site, LOutputGainDialogController& controller)
    : DBlockPanel(kOutputPolarityPanelTemplate, site, controller),
      controller_(controller),
      count_(std::min(controller.GetCount(), kMaxOutputs))
{
    for (std::size_t i = 0; i < kMaxOutputs; ++i) {
        ReadPolarity(i);
    }
}

LOutputGain::~LOutputGain() = default;

void LOutputGain::ReadPolarity(std::size_t index)
{
    std::uint8_t polarity = 0;
    inverted_[index] = controller_.GetPolarity(index, polarity) && polarity != 0 ? 1 : 0;
}

bool LOutputGain::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    if (count_ >= kMaxOutputs) {
        return true;
    }
    const QWidget* firstHidden = Item(kButtons[count_]);
    const QWidget* lastShown = count_ > 0 ? Item(kButtons[count_ - 1]) : nullptr;
    const QWidget* lowest = Item(kButtons.back());
    if (firstHidden == nullptr || lowest == nullptr) {
        return true;
    }
    const int hideFrom = firstHidden->y();
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow() && child->y() >= hideFrom) {
            child->hide();
        }
    }
    // With no output at all the panel ends where the first output's row would start.
    const int end = lastShown != nullptr ? BottomOf(*lastShown) : hideFrom;
    GrowWindowBy(*this, 0, end - BottomOf(*lowest));
    return true;
}

std::size_t LOutputGain::OutputOf(std::int32_t id)
{
    const auto found = std::find(kButtons.begin(), kButtons.end(), id);
    return static_cast<std::size_t>(found - kButtons.begin());
}

void LOutputGain::RefreshOutput(std::size_t index)
{
    if (index >= count_) {
        return;
    }
    ReadPolarity(index);
    RedrawDlgItem(this, kButtons[index]);
}

void LOutputGain::Refresh()
{
    for (std::size_t i = 0; i < count_; ++i) {
        RefreshOutput(i);
    }
}

void LOutputGain::OnCommand(std::int32_t id)
{
    const std::size_t index = OutputOf(id);
    if (index >= count_) {
        DBlockPanel::OnCommand(id);
        return;
    }
    if (IsClosing()) {
        return;
    }
    inverted_[index] = inverted_[index] != 0 ? 0 : 1;
    CheckControllerResult(controller_.SetPolarity(index, inverted_[index]));
    MarkModified();
    RedrawDlgItem(this, id);
    Site().RedrawBlockViews();
}

void LOutputGain::OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state)
{
    const std::size_t index = OutputOf(id);
    if (index >= kMaxOutputs) {
        DBlockPanel::OnDrawItem(id, painter, state);
        return;
    }
    platform::Canvas canvas(painter);
    if (inverted_[index] != 0) {
        DrawGradientButton(canvas, state, kInvertedText, kInvertedEdge, kInvertedCentre, kInvertedTextColour);
    } else {
        DrawGradientButton(canvas, state, kNormalText, kNormalEdge, kNormalCentre, kNormalTextColour);
    }
}
