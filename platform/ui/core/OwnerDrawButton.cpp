#include "platform/ui/core/OwnerDrawButton.h"

#include <QKeyEvent>
#include <QPainter>

#include "platform/ui/core/ControlIds.h"

namespace platform {
namespace {

// The control's own hook draws it; without one, the dialog it belongs to does.
void PaintOwnerDrawn(QWidget& control, const OwnerDrawButton::DrawHook& hook, const DrawItemState& state)
{
    QPainter painter(&control);
    if (hook) {
        hook(painter, state);
    } else if (IControlNotify* target = NotifyTargetOf(&control)) {
        target->OnDrawItem(state.controlId, painter, state);
    }
}

}  // namespace

OwnerDrawButton::OwnerDrawButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (IControlNotify* target = NotifyTargetOf(this)) {
            target->OnCommand(ControlId(this));
        }
    });
}

DrawItemState OwnerDrawButton::ItemState() const
{
    DrawItemState state;
    state.controlId = ControlId(this);
    state.rect = rect();
    state.selected = isDown();
    state.focused = hasFocus();
    state.disabled = !isEnabled();
    state.hot = m_hot;
    state.checked = isChecked();
    return state;
}

void OwnerDrawButton::paintEvent(QPaintEvent*)
{
    PaintOwnerDrawn(*this, m_drawHook, ItemState());
}

void OwnerDrawButton::keyPressEvent(QKeyEvent* event)
{
    if (m_keyHook && m_keyHook(*event)) {
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void OwnerDrawButton::keyReleaseEvent(QKeyEvent* event)
{
    if (m_keyHook && m_keyHook(*event)) {
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void OwnerDrawButton::enterEvent(QEnterEvent* event)
{
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void OwnerDrawButton::leaveEvent(QEvent* event)
{
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

OwnerDrawStatic::OwnerDrawStatic(QWidget* parent) : QWidget(parent) {}

DrawItemState OwnerDrawStatic::ItemState() const
{
    DrawItemState state;
    state.controlId = ControlId(this);
    state.rect = rect();
    state.disabled = !isEnabled();
    return state;
}

void OwnerDrawStatic::paintEvent(QPaintEvent*)
{
    PaintOwnerDrawn(*this, m_drawHook, ItemState());
}

}  // namespace platform
