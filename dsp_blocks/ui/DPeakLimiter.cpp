#include "dsp_blocks/ui/DPeakLimiter.h"

#include <QString>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/base/Cp1252.h"
#include "resources/strings/StringFormat.h"
#include "resources/templates/LimiterPanelTemplate.h"

namespace {

using namespace LimiterPanelIds;

constexpr float kThresholdMinimum = ParamRange::kMinLimiterThreshold;
constexpr float kThresholdStep = 0.5f;
constexpr float kTimeMinimum = 500.0f;
constexpr float kTimeMaximum = ParamRange::kMaxLimiterTimeMs;
constexpr float kTimeStep = 100.0f;
// Threshold maxima: 100 V lines, 70 V lines, the MV340A on low-impedance loads, the others.
constexpr float kPeakMaximum100V = 141.4f;
constexpr float kPeakMaximum70V = 100.0f;
constexpr float kPeakMaximumMV340A = 80.0f;
constexpr float kPeakMaximumOther = 100.0f;
constexpr float kRmsMaximum100V = 100.0f;
constexpr float kRmsMaximum70V = 70.7f;
constexpr float kRmsMaximumMV340A = 56.6f;
constexpr float kRmsMaximumOther = 70.7f;

constexpr std::int32_t kEditIds[DPeakLimiter::kValueCount] = {kPeakThreshold, kRmsThreshold, kRmsAttack, kRmsRelease};
constexpr std::int32_t kSpinIds[DPeakLimiter::kValueCount] = {kPeakThresholdSpin, kRmsThresholdSpin, kRmsAttackSpin,
                                                               kRmsReleaseSpin};
constexpr std::int32_t kFixedEdits[] = {kPeakAttack, kPeakRelease};

constexpr std::uint32_t TimerOf(std::size_t value)
{
    return static_cast<std::uint32_t>(value) + 1;
}

// The value whose control (one of ids) has id id.
bool ValueOfId(const std::int32_t (&ids)[DPeakLimiter::kValueCount], std::int32_t id, DPeakLimiter::Value& value)
{
    for (std::size_t i = 0; i < DPeakLimiter::kValueCount; ++i) {
        if (ids[i] == id) {
            value = static_cast<DPeakLimiter::Value>(i);
            return true;
        }
    }
    return false;
}

}  // namespace

DPeakLimiter::DPeakLimiter(IPanelSite& site, LLimiterController& controller)
    : DBlockPanel(kLimiterPanelTemplate, site, controller),
      controller_(controller),
      fixed_(controller.GetSettings()),
      values_{PendingValue(TimerOf(kPeakThreshold), fixed_.peakThreshold),
              PendingValue(TimerOf(kRmsThreshold), fixed_.rmsThreshold),
              PendingValue(TimerOf(kRmsAttack), fixed_.rmsAttack),
              PendingValue(TimerOf(kRmsRelease), fixed_.rmsRelease)}
{
}

DPeakLimiter::~DPeakLimiter() = default;

SpinEditRange DPeakLimiter::RangeOf(Value value) const
{
    const std::uint32_t mode = controller_.GetChannelMode();
    const bool mv340a = controller_.GetModel() == ModelType::MV340A;
    switch (value) {
    case kPeakThreshold: {
        const float maximum = mode == 3 ? kPeakMaximum100V : mode == 4 ? kPeakMaximum70V
                              : mv340a  ? kPeakMaximumMV340A
                                        : kPeakMaximumOther;
        return SpinEditRange{kEditIds[value], kSpinIds[value], kThresholdMinimum, maximum, kThresholdStep, kValueFormat};
    }
    case kRmsThreshold: {
        const float maximum = mode == 3 ? kRmsMaximum100V : mode == 4 ? kRmsMaximum70V
                              : mv340a  ? kRmsMaximumMV340A
                                        : kRmsMaximumOther;
        return SpinEditRange{kEditIds[value], kSpinIds[value], kThresholdMinimum, maximum, kThresholdStep, kValueFormat};
    }
    default:
        return SpinEditRange{kEditIds[value], kSpinIds[value], kTimeMinimum, kTimeMaximum, kTimeStep, kValueFormat};
    }
}

LimiterSettings DPeakLimiter::ShownSettings() const
{
    LimiterSettings settings = fixed_;
    settings.peakThreshold = values_[kPeakThreshold].Value();
    settings.rmsThreshold = values_[kRmsThreshold].Value();
    settings.rmsAttack = values_[kRmsAttack].Value();
    settings.rmsRelease = values_[kRmsRelease].Value();
    return settings;
}

bool DPeakLimiter::OnInitDialog()
{
    DBlockPanel::OnInitDialog();
    for (std::size_t value = 0; value < kValueCount; ++value) {
        SetupSpin(*this, RangeOf(static_cast<Value>(value)), values_[value].Value());
    }
    DisableWithSpin(*this, kFixedEdits);
    Refresh();
    UpdateChannelMode();
    return true;
}

void DPeakLimiter::Refresh()
{
    SetDlgItemTextByCode(this, kPresetName, platform::Utf16ToUtf8(controller_.GetPresetName()));
    fixed_ = controller_.GetSettings();
    values_[kPeakThreshold].Reset(fixed_.peakThreshold);
    values_[kRmsThreshold].Reset(fixed_.rmsThreshold);
    values_[kRmsAttack].Reset(fixed_.rmsAttack);
    values_[kRmsRelease].Reset(fixed_.rmsRelease);
    FillControls();
}

void DPeakLimiter::FillControls()
{
    SetDlgItemTextByCode(this, kPeakAttack, FormatString(kValueFormat, fixed_.peakAttack));
    SetDlgItemTextByCode(this, kPeakRelease, FormatString(kValueFormat, fixed_.peakRelease));
    for (std::size_t value = 0; value < kValueCount; ++value) {
        const SpinEditRange range = RangeOf(static_cast<Value>(value));
        SetEditValue(*this, range, values_[value].Value());
        SetSpinValue(*this, range, values_[value].Value());
    }
}

void DPeakLimiter::UpdateChannelMode()
{
    const std::int32_t channel = controller_.GetChannel();
    if (channel < 0 || channel >= kMaxChannels) {
        return;
    }
    update();
    const std::uint32_t mode = controller_.GetChannelMode();
    const bool highImpedance = ParamRange::IsHighImpedanceMode(mode);
    SetDlgItemTextByCode(this, kImpedance,
                         mode == 2 ? kLowImpedanceText : highImpedance ? kHighImpedanceText : kNoModeText);
    RedrawDlgItem(this, kImpedance);
    SetDlgItemTextByCode(this, kVoltage, mode == 3 ? k100VoltText : mode == 4 ? k70VoltText : kNoModeText);
    RedrawDlgItem(this, kVoltage);
    Act(values_[kPeakThreshold].Flush());
    Act(values_[kRmsThreshold].Flush());
    // SetupSpin puts a maximum that lies between two steps one position low (70.7 at 70.5),
    // where a click up would show no change; the spin then takes the value's own position.
    for (Value value : {kPeakThreshold, kRmsThreshold}) {
        const SpinEditRange range = RangeOf(value);
        SetupSpin(*this, range, values_[value].Value());
        SetSpinValue(*this, range, values_[value].Value());
    }
}

void DPeakLimiter::Act(const PendingStep& step)
{
    if (step.action == PendingAction::None) {
        return;
    }
    MarkModified();
    if (step.action == PendingAction::Send) {
        CheckControllerResult(controller_.SetSettings(ShownSettings()));
    }
}

void DPeakLimiter::OnSpinScroll(std::int32_t id, int code, int)
{
    Value value = kPeakThreshold;
    if (IsClosing() || !ValueOfId(kSpinIds, id, value)) {
        return;
    }
    const SpinEditRange range = RangeOf(value);
    const PendingStep step = values_[value].OnSpin(*this, code, GetSpinValue(*this, range));
    if (step.changed) {
        SetEditValue(*this, range, values_[value].Value());
    }
    Act(step);
}

void DPeakLimiter::OnPanelTimer(std::uint32_t timerId)
{
    for (PendingValue& value : values_) {
        PendingStep step;
        if (value.OnTimer(*this, timerId, step)) {
            Act(step);
            return;
        }
    }
    KillTimer(timerId);
}

void DPeakLimiter::CommitEdit(Value value)
{
    const SpinEditRange range = RangeOf(value);
    float typed = 0.0f;
    const bool accepted = ReadEditValue(*this, range, typed);
    const PendingStep step = values_[value].Set(accepted ? typed : values_[value].Value(), false);
    Act(step);
    if (step.changed) {
        SetSpinValue(*this, range, values_[value].Value());
    }
    SetEditValue(*this, range, values_[value].Value());
}

void DPeakLimiter::OnEditFocusLost(std::int32_t id)
{
    Value value = kPeakThreshold;
    if (ValueOfId(kEditIds, id, value)) {
        CommitEdit(value);
    }
}

void DPeakLimiter::OnOK()
{
    Value value = kPeakThreshold;
    if (ValueOfId(kEditIds, DirtyEdit(), value)) {
        CommitEdit(value);
    }
    SetDirtyEdit(0);
}
