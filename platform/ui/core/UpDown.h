// The up-down control ("msctls_updown32") with its buddy edit: a 32-bit range and position
// without wrap-around (unless the wrap style is given). Each step, from a click, the held
// mouse button's auto-repeat or an Up/Down key in the buddy (arrow-keys style, one step per
// key repeat), sends the parent one kThumbPosition notice, also when the position is at a
// limit and does not move; releasing the mouse button or the arrow key sends kEndScroll. The
// set-buddy-int style writes the position into the buddy (and reads a typed number back
// before a step). Only the vertical form is provided: the upper half steps up.
#pragma once

#include <cstdint>

#include <QPointer>
#include <QWidget>

#include "platform/ui/core/WindowTimers.h"

namespace platform {

class UpDown : public QWidget {
    Q_OBJECT

public:
    // Delay before a held mouse button repeats, and the repeat period.
    static constexpr std::uint32_t kFirstRepeatDelayMs = 500;
    static constexpr std::uint32_t kRepeatPeriodMs = 50;

    explicit UpDown(QWidget* parent = nullptr, std::uint32_t style = 0);
    ~UpDown() override;

    std::uint32_t Style() const { return m_style; }

    // The up arrow moves toward `upper` (which may be below `lower`). As with the system's
    // control, the position and the buddy stay as they are; the next step clamps.
    void SetRange32(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    // Clamped into the range; updates a set-buddy-int buddy. No notice.
    void SetPos32(int position);
    // With set-buddy-int, a valid number typed into the buddy becomes the position first.
    int GetPos32();

    // Attaches the buddy; with the align-right (align-left) style the up-down moves to the
    // buddy's right (left) edge, takes the buddy's height and the buddy narrows by its width.
    void SetBuddy(QWidget* buddy);
    QWidget* Buddy() const { return m_buddy.data(); }

    // One step as a click on an arrow makes it: +1 up, -1 down; sends the position notice.
    void Step(int direction);

    QRect UpRect() const;
    QRect DownRect() const;
    // The arrow held down: +1 up, -1 down, 0 none.
    int PressedArrow() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Notify(int code);
    void EndScroll();
    void ReadBuddyInt();
    void WriteBuddyInt();
    void OnTimer(std::uint32_t timerId);

    std::uint32_t m_style;
    int m_lower = 100;  // the system's default range: 100 at the bottom, 0 at the top
    int m_upper = 0;
    int m_position = 0;
    int m_pressed = 0;
    bool m_keyStepping = false;
    QPointer<QWidget> m_buddy;
    WindowTimers m_timers;
};

}  // namespace platform
