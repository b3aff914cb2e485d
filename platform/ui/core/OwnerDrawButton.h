// A button whose look is drawn by its owner (owner-draw style): each paint hands a QPainter
// and the item state (pressed, focused, disabled, hot, checked) to the draw hook, or to the
// parent's OnDrawItem when no hook is set. A click sends the parent OnCommand(id). A key
// hook sees every key first, so the owner decides which keys act (Space clicks otherwise).
#pragma once

#include <functional>

#include <QAbstractButton>

#include "platform/ui/core/ControlNotify.h"

namespace platform {

class OwnerDrawButton : public QAbstractButton {
    Q_OBJECT

public:
    using DrawHook = std::function<void(QPainter& painter, const DrawItemState& state)>;
    // True consumes the key event.
    using KeyHook = std::function<bool(QKeyEvent& event)>;

    explicit OwnerDrawButton(QWidget* parent = nullptr);

    void SetDrawHook(DrawHook hook) { m_drawHook = std::move(hook); }
    void SetKeyHook(KeyHook hook) { m_keyHook = std::move(hook); }

    // The state the next paint hands over.
    DrawItemState ItemState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    DrawHook m_drawHook;
    KeyHook m_keyHook;
    bool m_hot = false;
};

// A static that its owner draws (owner-draw static style): the same hand-over as the button,
// without clicks or keys.
class OwnerDrawStatic : public QWidget {
    Q_OBJECT

public:
    using DrawHook = OwnerDrawButton::DrawHook;

    explicit OwnerDrawStatic(QWidget* parent = nullptr);
    void SetDrawHook(DrawHook hook) { m_drawHook = std::move(hook); }
    DrawItemState ItemState() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawHook m_drawHook;
};

}  // namespace platform
