#include "dsp_blocks/ui/DControl.h"

#include <QApplication>
#include <QPainter>

#include "dsp_blocks/ui/WindowHelpers.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlIds.h"

DControl::DControl(const DialogTemplate& dialogTemplate, QWidget* parent)
    : platform::Dialog(dialogTemplate, platform::Dialog::Kind::Child, parent),
      background_(kTopColour, kBottomColour)
{
}

DControl::DControl(const DialogTemplate& dialogTemplate, platform::Dialog::Kind kind, QWidget* parent)
    : platform::Dialog(dialogTemplate, kind, parent), background_(kTopColour, kBottomColour)
{
}

DControl::~DControl() = default;

void DControl::SetTitleText(std::string_view text)
{
    SetDlgItemTextByCode(this, kTitleId, text);
}

std::string DControl::TitleText() const
{
    return ItemText(kTitleId);
}

void DControl::DestroyWindow()
{
    if (closing_) {
        return;
    }
    closing_ = true;
    Messages().Close();
    hide();
    deleteLater();
}

bool DControl::IsClosing() const
{
    return IsInClosingPanel(this);
}

bool DControl::IsInClosingPanel(const QWidget* window)
{
    for (; window != nullptr; window = window->parentWidget()) {
        if (const auto* control = qobject_cast<const DControl*>(window); control != nullptr && control->closing_) {
            return true;
        }
    }
    return false;
}

void DControl::OnOK() {}

void DControl::OnCancel() {}

void DControl::OnEditChanged(std::int32_t id)
{
    if (!IsTextChangeByCode()) {
        dirtyEdit_ = id;
    }
}

void DControl::OnEditKillFocus(std::int32_t id)
{
    if (!IsClosing()) {
        OnEditFocusLost(id);
    }
}

void DControl::OnTimer(std::uint32_t timerId)
{
    if (IsClosing()) {
        KillTimer(timerId);
        return;
    }
    OnPanelTimer(timerId);
}

bool DControl::OnInitDialog()
{
    platform::Dialog::OnInitDialog();
    SetForwardAccelerators(true);
    UseTransparentStatics(*this);
    return true;
}

void DControl::OnEditFocusLost(std::int32_t) {}

void DControl::OnPanelTimer(std::uint32_t) {}

void DControl::ReflectReturnToFocus()
{
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || !isAncestorOf(focused)) {
        return;
    }
    if (auto* holder = qobject_cast<platform::Dialog*>(focused->parentWidget())) {
        holder->Messages().Post(platform::MsgReflectReturn(), 0, reinterpret_cast<std::intptr_t>(focused));
    }
}

void DControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background_.Paint(painter, size());
}
