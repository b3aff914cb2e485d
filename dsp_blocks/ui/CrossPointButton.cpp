#include "dsp_blocks/ui/CrossPointButton.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "dsp_blocks/ui/InplaceSliderX.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/Canvas.h"
#include "resources/strings/StringFormat.h"

using platform::Canvas;
using platform::Rect;

CrossPointButton::CrossPointButton(QWidget* parent) : platform::OwnerDrawButton(parent)
{
    SetDrawHook([this](QPainter& painter, const platform::DrawItemState& state) { Draw(painter, state); });
    SetKeyHook([this](QKeyEvent& event) { return OnKey(event); });
    messages_.On(platform::MsgFromSlider(),
                 [this](std::uintptr_t, std::intptr_t lParam) { return OnSliderNotice(lParam); });
}

CrossPointButton::~CrossPointButton() = default;

void CrossPointButton::SetCrossPoint(bool on, float gain)
{
    on_ = on ? 1 : 0;
    gain_ = gain;
    update();
}

std::string CrossPointButton::GainText(float gain)
{
    return gain == 0.0f ? std::string("0.0") : FormatString("%+.1f", gain);
}

void CrossPointButton::Draw(QPainter& painter, const platform::DrawItemState& state) const
{
    Canvas canvas(painter);
    const Rect item = Rect::FromQRect(state.rect);
    canvas.FillSolidRect(item, kEdgeColour);
    canvas.FillSolidRect(item.Deflated(kFaceInset, kFaceInset), kFaceColour);
    const Rect inner = item.Deflated(kOnInset, kOnInset);
    if (on_ != 0) {
        canvas.FillSolidRect(inner, kOnColour);
    }
    canvas.SetBkMode(platform::BackgroundMode::Transparent);
    canvas.SetTextColor(kTextColour);
    Rect text = inner;
    canvas.DrawText(GainText(gain_), text,
                    platform::TextFlag::kCenter | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine |
                        platform::TextFlag::kNoPrefix);
    if (state.focused) {
        canvas.DrawFocusRect(item.Deflated(kFocusInset, kFocusInset));
    }
}

void CrossPointButton::SendClick()
{
    if (platform::IControlNotify* target = platform::NotifyTargetOf(this)) {
        target->OnCommand(platform::ControlId(this));
    }
}

void CrossPointButton::Press()
{
    pressed_ = 1;
    repaint();
    setFocus(Qt::MouseFocusReason);
}

void CrossPointButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Press();
        return;
    }
    platform::OwnerDrawButton::mousePressEvent(event);
}

void CrossPointButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Press();
        return;
    }
    platform::OwnerDrawButton::mouseDoubleClickEvent(event);
}

void CrossPointButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        platform::OwnerDrawButton::mouseReleaseEvent(event);
        return;
    }
    // The toolkit's own click is never made: the toggle below is the only report.
    const bool toggled = pressed_ != 0 && rect().contains(event->position().toPoint());
    if (toggled) {
        on_ = on_ != 0 ? 0 : 1;
    }
    pressed_ = 0;
    repaint();
    if (toggled) {
        SendClick();
    }
}

bool CrossPointButton::OnKey(QKeyEvent& event)
{
    // Space toggles the cross point and reports it like a click; other characters leave
    // the button alone, so it never shows what the panel did not hear of.
    if (event.key() != Qt::Key_Space) {
        return false;
    }
    if (event.type() == QEvent::KeyPress && !event.isAutoRepeat()) {
        on_ = on_ != 0 ? 0 : 1;
        update();
        SendClick();
    }
    return true;
}

void CrossPointButton::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    OpenSlider();
}

QRect CrossPointButton::SliderRect() const
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    const int left = origin.x();
    const int right = left + width() * 4 / 3;
    const int bottom = origin.y() - 1;
    const int top = bottom - width() * 5 / 2;
    return QRect(left, top, right - left, bottom - top);
}

bool CrossPointButton::OpenSlider()
{
    return OpenInplaceSliderX(gain_, kSliderTop, kSliderBottom, kSliderStep, SliderRect(), kSliderTicks.data(),
                              kSliderTicks.size(), font(), this, messages_.Id(), platform::MsgFromSlider());
}

std::intptr_t CrossPointButton::OnSliderNotice(std::intptr_t lParam)
{
    const auto* notice = reinterpret_cast<const SliderNotice*>(lParam);
    if (notice == nullptr) {
        return 0;
    }
    gain_ = notice->value;
    update();
    if (notice->tracking == SliderNotice::kEnded) {
        SendClick();
    }
    return 0;
}
