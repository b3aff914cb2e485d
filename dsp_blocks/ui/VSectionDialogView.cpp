#include "dsp_blocks/ui/VSectionDialogView.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QLineEdit>

#include "dsp_blocks/filters/FilterTypeTable.h"
#include "dsp_blocks/ui/DControl.h"
#include "dsp_blocks/ui/GradientFills.h"
#include "dsp_blocks/ui/LocaleNumbers.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/UpDown.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"
#include "resources/templates/SectionViewTemplate.h"

namespace {

constexpr char kFrequencyFormat[] = "%.1f";

// The frequency cut down to one decimal. The small allowance keeps a typed decimal whose
// single-precision value lies just below it (100.2 is 100.19999...) from losing a tenth.
float CutToOneDecimal(float frequency)
{
    const double tenths = std::floor(static_cast<double>(frequency) * 10.0 + 1.0e-4);
    return static_cast<float>(tenths / 10.0);
}

}  // namespace

VSectionDialogView::VSectionDialogView(std::uint32_t sectionIndex)
    : VDialogView(kSectionViewTemplate, nullptr),
      sectionIndex_(sectionIndex),
      frequency_(kSettleTimerId, kInitialFrequency)
{
}

VSectionDialogView::~VSectionDialogView() = default;

bool VSectionDialogView::Create(QWidget* parent)
{
    setParent(parent, Qt::Widget);
    hide();
    frequency_.Reset(frequency_.Value());
    return platform::Dialog::Create();
}

float VSectionDialogView::MinimumFrequency() const
{
    return raisedMinimum_ ? kRaisedLowestFrequency : kLowestFrequency;
}

bool VSectionDialogView::OnInitDialog()
{
    VDialogView::OnInitDialog();
    if (QWidget* bypass = Item(SectionViewIds::kBypass)) {
        resize(width(), bypass->y());
        bypass->setEnabled(false);
    }
    if (auto* combo = ItemAs<QComboBox>(SectionViewIds::kType)) {
        for (const FilterTypeEntry& entry : FilterTypeTable) {
            combo->addItem(QString::fromStdString(LoadStringId(entry.nameId)));
        }
    }
    if (auto* spin = ItemAs<platform::UpDown>(SectionViewIds::kFrequencySpin)) {
        const SpinLimits limits = SpinRange(raisedMinimum_);
        spin->SetRange32(limits.low, limits.high);
    }
    ShowControls();
    return true;
}

void VSectionDialogView::SetFilter(std::uint32_t typeCode, float frequency)
{
    typeCode_ = typeCode;
    frequency_.Reset(frequency);
    ShowControls();
}

void VSectionDialogView::SetMinimumFlag(bool raised)
{
    if (raised == raisedMinimum_) {
        return;
    }
    raisedMinimum_ = raised;
    auto* spin = ItemAs<platform::UpDown>(SectionViewIds::kFrequencySpin);
    if (spin == nullptr) {
        return;
    }
    const SpinLimits limits = SpinRange(raised);
    const int position = spin->GetPos32();
    const int clamped = std::clamp(position, limits.low, limits.high);
    if (clamped != position) {
        spin->SetPos32(clamped);
    }
    spin->SetRange32(limits.low, limits.high);
}

void VSectionDialogView::ShowControls()
{
    if (auto* combo = ItemAs<QComboBox>(SectionViewIds::kType)) {
        for (std::size_t i = 0; i < FilterTypeTable.size(); ++i) {
            if (static_cast<std::uint32_t>(FilterTypeTable[i].typeCode) == typeCode_) {
                combo->setCurrentIndex(static_cast<int>(i));
                break;
            }
        }
    }
    ShowFrequency();
    SetSpinPos(SectionViewIds::kFrequencySpin, FrequencyToSliderPosition(frequency_.Value()));
}

void VSectionDialogView::ShowFrequency()
{
    SetDlgItemTextByCode(this, SectionViewIds::kFrequency, FormatLocaleNumber(kFrequencyFormat, frequency_.Value()));
}

bool VSectionDialogView::ReadFrequency(float& frequency)
{
    float typed = 0.0f;
    const std::string text = ItemText(SectionViewIds::kFrequency);
    if (ParseValueInRange(text, MinimumFrequency(), kHighestFrequency, kFrequencyFormat, typed) == kValueAccepted) {
        frequency = typed;
        return true;
    }
    ShowFrequency();
    if (auto* edit = ItemAs<QLineEdit>(SectionViewIds::kFrequency)) {
        edit->selectAll();
    }
    platform::MessageBeep();
    return false;
}

void VSectionDialogView::CommitTyping()
{
    float typed = 0.0f;
    if (!ReadFrequency(typed)) {
        return;
    }
    const float frequency = CutToOneDecimal(typed);
    const PendingStep step = frequency_.Set(frequency, false);
    ShowFrequency();
    if (step.action == PendingAction::Send) {
        SetSpinPos(SectionViewIds::kFrequencySpin, FrequencyToSliderPosition(frequency));
        NotifyPanel(sectionIndex_, step.action);
    }
}

void VSectionDialogView::OnOK()
{
    if (DirtyEdit() == SectionViewIds::kFrequency) {
        CommitTyping();
    }
    SetDirtyEdit(0);
}

void VSectionDialogView::OnCancel()
{
    SetDirtyEdit(0);
}

void VSectionDialogView::OnEditChanged(std::int32_t id)
{
    if (id == SectionViewIds::kFrequency && !IsTextChangeByCode()) {
        SetDirtyEdit(id);
    }
}

void VSectionDialogView::OnEditKillFocus(std::int32_t id)
{
    // The edit loses the focus when its panel closes; nobody would hear the change then.
    if (id == SectionViewIds::kFrequency && DirtyEdit() == id && !DControl::IsInClosingPanel(this)) {
        CommitTyping();
    }
}

void VSectionDialogView::OnComboSelChange(std::int32_t id)
{
    auto* combo = ItemAs<QComboBox>(SectionViewIds::kType);
    if (id != SectionViewIds::kType || combo == nullptr) {
        return;
    }
    const int index = combo->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= FilterTypeTable.size()) {
        return;
    }
    const auto code = static_cast<std::uint32_t>(FilterTypeTable[static_cast<std::size_t>(index)].typeCode);
    if (code != typeCode_) {
        typeCode_ = code;
        NotifyPanel(sectionIndex_, PendingAction::Send);
    }
}

void VSectionDialogView::OnSpinScroll(std::int32_t id, int code, int position)
{
    if (id != SectionViewIds::kFrequencySpin) {
        return;
    }
    const PendingStep step = frequency_.OnSpin(*this, code, SliderPositionToFrequency(position));
    if (step.changed) {
        ShowFrequency();
    }
    NotifyPanel(sectionIndex_, step.action);
}

void VSectionDialogView::OnTimer(std::uint32_t timerId)
{
    PendingStep step;
    if (frequency_.OnTimer(*this, timerId, step)) {
        NotifyPanel(sectionIndex_, step.action);
    }
}

std::intptr_t VSectionDialogView::OnMessage(platform::MessageId message, std::uintptr_t, std::intptr_t lParam)
{
    if (message == platform::MsgReflectReturn() &&
        lParam == reinterpret_cast<std::intptr_t>(Item(SectionViewIds::kFrequency)) &&
        DirtyEdit() == SectionViewIds::kFrequency) {
        CommitTyping();
    }
    return 0;
}

void VSectionDialogView::OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state)
{
    if (id != SectionViewIds::kBypass) {
        return;
    }
    platform::Canvas canvas(painter);
    DrawGradientButton(canvas, state, LoadStringId(StringId::kBypass), kBypassEdge, kBypassCentre, 0x000000);
}
