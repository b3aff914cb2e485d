#include "dsp_blocks/ui/VDialogView.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"

VDialogView::VDialogView(const DialogTemplate& dialogTemplate, QWidget* parent)
    : platform::Dialog(dialogTemplate, platform::Dialog::Kind::Child, parent), background_(kTopColour, kBottomColour)
{
}

VDialogView::~VDialogView() = default;

int VDialogView::FrequencyToSliderPosition(float f)
{
    // Below the first segment (or not a number) the spin rests at its lowest position.
    if (!(f >= kSpinSegments.front().startFrequency)) {
        return 0;
    }
    for (std::size_t i = 0; i + 1 < kSpinSegments.size(); ++i) {
        if (kSpinSegments[i + 1].startFrequency > f) {
            const SpinSegment& segment = kSpinSegments[i];
            return static_cast<int>((f - segment.startFrequency) / segment.hertzPerStep) + segment.startPosition;
        }
    }
    return kHighestPosition;
}

float VDialogView::SliderPositionToFrequency(int position)
{
    if (position <= 0) {
        return kSpinSegments.front().startFrequency;
    }
    for (std::size_t i = 0; i + 1 < kSpinSegments.size(); ++i) {
        if (kSpinSegments[i + 1].startPosition > position) {
            const SpinSegment& segment = kSpinSegments[i];
            return static_cast<float>(position - segment.startPosition) * segment.hertzPerStep + segment.startFrequency;
        }
    }
    return kHighestFrequency;
}

VDialogView::SpinLimits VDialogView::SpinRange(bool raisedMinimum)
{
    const float lowest = raisedMinimum ? kRaisedLowestFrequency : kLowestFrequency;
    return SpinLimits{static_cast<int>(lowest - kLowestFrequency), kHighestPosition};
}

void VDialogView::SetSpinPos(std::int32_t id, int position)
{
    if (auto* spin = ItemAs<platform::UpDown>(id)) {
        spin->SetPos32(position);
    }
}

float VDialogView::GetSliderPos(std::int32_t id, bool reversed) const
{
    const auto* slider = ItemAs<platform::Trackbar>(id);
    if (slider == nullptr) {
        return 0.0f;
    }
    const int position = slider->Pos();
    return static_cast<float>(reversed ? slider->RangeMin() + slider->RangeMax() - position : position);
}

void VDialogView::SetSliderPos(std::int32_t id, bool reversed, float value)
{
    auto* slider = ItemAs<platform::Trackbar>(id);
    if (slider == nullptr) {
        return;
    }
    const int position = std::isfinite(value) ? static_cast<int>(std::clamp(value, -1.0e8f, 1.0e8f)) : 0;
    slider->SetPos(reversed ? slider->RangeMin() + slider->RangeMax() - position : position);
}

void VDialogView::SetTitle(std::string_view text)
{
    SetDlgItemTextByCode(this, kTitleId, text);
}

void VDialogView::OnOK() {}

void VDialogView::OnCancel() {}

void VDialogView::NotifyPanel(std::uint32_t index, PendingAction action)
{
    if (action == PendingAction::None) {
        return;
    }
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        panel->Messages().Post(platform::MsgNotifyChanged(), index, action == PendingAction::Track ? 1 : 0);
    }
}

bool VDialogView::OnInitDialog()
{
    platform::Dialog::OnInitDialog();
    SetForwardAccelerators(true);
    UseTransparentStatics(*this);
    return true;
}

void VDialogView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background_.Paint(painter, size());
}
