#include "platform/ui/core/OwnerDrawButton.h"

#include <QKeyEvent>
#include <QPainter>

#include "platform/ui/core/ControlIds.h"

namespace platform {

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
    QPainter painter(this);
    const DrawItemState state = ItemState();
    if (m_drawHook) {
        m_drawHook(painter, state);
    } else if (IControlNotify* target = NotifyTargetOf(this)) {
        target->OnDrawItem(state.controlId, painter, state);
    }
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
    QPainter painter(this);
    const DrawItemState state = ItemState();
    if (m_drawHook) {
        m_drawHook(painter, state);
    } else if (IControlNotify* target = NotifyTargetOf(this)) {
        target->OnDrawItem(state.controlId, painter, state);
    }
}

}  // namespace platform
