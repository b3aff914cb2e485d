#include "dsp_blocks/ui/LDelayTime.h"

#include <algorithm>

#include "dsp_blocks/ui/DelayUnit.h"
#include "dsp_blocks/ui/LocaleNumbers.h"
#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/MessageBox.h"
#include "resources/strings/StringIds.h"

LDelayTime::LDelayTime(std::uint32_t channel, float delayMs, std::uint32_t unitCode)
    : DControl(kDelayRowTemplate, nullptr), channel_(channel), delay_(kSettleTimerId, delayMs), unit_(unitCode)
{
}

LDelayTime::~LDelayTime() = default;

bool LDelayTime::Create(QWidget* panel)
{
    setParent(panel, Qt::Widget);
    hide();
    return platform::Dialog::Create();
}

bool LDelayTime::OnInitDialog()
{
    DControl::OnInitDialog();
    QWidget* bypass = Item(DelayRowIds::kBypass);
    QWidget* beforeBypass = bypass != nullptr ? PreviousInTemplateOrder(bypass) : nullptr;
    if (bypass != nullptr) {
        bypass->hide();
        if (beforeBypass != nullptr) {
            resize(width() - (RightOf(*bypass) - RightOf(*beforeBypass)), height());
        }
    }
    SetupSpin(*this, kRange, delay_.Value());
    ShowDelay();
    return true;
}

void LDelayTime::ShowDelay()
{
    const DelayUnit& unit = FindDelayUnit(unit_);
    SetDlgItemTextByCode(this, DelayRowIds::kDelay, FormatLocaleNumber(unit.editFormat, delay_.Value() * unit.factor));
}

void LDelayTime::SetValue(float delayMs)
{
    delay_.Reset(delayMs);
    ShowDelay();
    SetSpinValue(*this, kRange, delayMs);
}

void LDelayTime::SetUnit(std::uint32_t unitCode)
{
    unit_ = unitCode;
    ShowDelay();
}

int LDelayTime::GetTrackY() const
{
    const QWidget* edit = Item(DelayRowIds::kDelay);
    return edit != nullptr ? edit->y() + edit->height() / 2 + 2 : height() / 2;
}

void LDelayTime::Notify(PendingAction action)
{
    if (action == PendingAction::None) {
        return;
    }
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        const std::uintptr_t code = action == PendingAction::Track ? kNotifyTracking : kNotifyFinal;
        panel->Messages().Post(platform::MsgNotifyChanged(), code, static_cast<std::intptr_t>(channel_));
    }
}

void LDelayTime::OnSpinScroll(std::int32_t id, int code, int)
{
    if (id != kRange.spinId || IsClosing()) {
        return;
    }
    const PendingStep step = delay_.OnSpin(*this, code, GetSpinValue(*this, kRange));
    if (step.changed) {
        SetSpinValue(*this, kRange, delay_.Value());
        ShowDelay();
    }
    Notify(step.action);
}

void LDelayTime::OnPanelTimer(std::uint32_t timerId)
{
    PendingStep step;
    if (delay_.OnTimer(*this, timerId, step)) {
        Notify(step.action);
    } else {
        KillTimer(timerId);
    }
}

void LDelayTime::CommitEdit()
{
    const DelayUnit& unit = FindDelayUnit(unit_);
    double typed = 0.0;
    if (!ParseLeadingNumber(ItemText(DelayRowIds::kDelay), typed)) {
        // Text without a number is no delay of 0 ms: the user is told and keeps the old one.
        ShowDelay();
        platform::ErrorBoxFromResource(StringId::kBadNumberFormat, 0, static_cast<int>(unit.graphMaximum));
        return;
    }
    // The range as the edit shows it: the same single-precision products as ShowDelay's.
    const float shownMinimum = kRange.minimum * unit.factor;
    const float shownMaximum = kRange.maximum * unit.factor;
    if (FitTypedIntoRange(typed, shownMinimum, shownMaximum, unit.editFormat)) {
        // Dividing by the factor undoes the product only up to rounding.
        auto delay = std::clamp(static_cast<float>(typed / static_cast<double>(unit.factor)), kRange.minimum,
                                kRange.maximum);
        SnapToStep(delay, kRange);
        const PendingStep step = delay_.Set(delay, false);
        if (step.changed) {
            SetSpinValue(*this, kRange, delay_.Value());
        }
        Notify(step.action);
    }
    ShowDelay();
}

void LDelayTime::OnEditFocusLost(std::int32_t id)
{
    if (id == DelayRowIds::kDelay) {
        CommitEdit();
    }
}

std::intptr_t LDelayTime::OnMessage(platform::MessageId message, std::uintptr_t, std::intptr_t lParam)
{
    if (message == platform::MsgReflectReturn() && !IsClosing() &&
        lParam == reinterpret_cast<std::intptr_t>(Item(DelayRowIds::kDelay))) {
        CommitEdit();
    }
    return 0;
}
