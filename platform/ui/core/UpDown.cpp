#include "platform/ui/core/UpDown.h"

#include <algorithm>
#include <string>

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/templates/DialogTemplate.h"

namespace platform {
namespace {

constexpr std::uint32_t kRepeatTimer = 1;

void DrawArrowButton(QPainter& painter, const QRect& box, bool pointsUp, bool pressed, bool enabled)
{
    painter.fillRect(box, ToQColor(SysColor::kButtonFace));
    const QColor light = ToQColor(pressed ? SysColor::kButtonShadow : SysColor::kButtonHighlight);
    const QColor dark = ToQColor(pressed ? SysColor::kButtonHighlight : SysColor::k3dDarkShadow);
    painter.setPen(light);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
    // A small filled triangle, one pixel lower and to the right while pressed.
    const int shift = pressed ? 1 : 0;
    const int half = std::max(1, std::min(box.width() / 4, box.height() / 3));
    const int cx = box.left() + box.width() / 2 + shift;
    const int cy = box.top() + box.height() / 2 + shift;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(enabled ? SysColor::kButtonText : SysColor::kGrayText));
    const int tip = pointsUp ? cy - half / 2 - 1 : cy + half / 2 + 1;
    const int base = pointsUp ? tip + half : tip - half;
    const QPoint triangle[3] = {{cx, tip}, {cx - half, base}, {cx + half, base}};
    painter.drawPolygon(triangle, 3);
}

}  // namespace

UpDown::UpDown(QWidget* parent, std::uint32_t style)
    : QWidget(parent), m_style(style), m_timers([this](std::uint32_t timerId) { OnTimer(timerId); })
{
    setFocusPolicy(Qt::NoFocus);
}

UpDown::~UpDown()
{
    if (m_buddy) {
        m_buddy->removeEventFilter(this);
    }
}

void UpDown::SetRange32(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

int UpDown::GetPos32()
{
    ReadBuddyInt();
    return m_position;
}

void UpDown::SetPos32(int position)
{
    m_position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    WriteBuddyInt();
}

void UpDown::SetBuddy(QWidget* buddy)
{
    if (m_buddy) {
        m_buddy->removeEventFilter(this);
    }
    m_buddy = buddy;
    if (buddy == nullptr) {
        return;
    }
    buddy->installEventFilter(this);
    const bool alignRight = (m_style & UpDownStyle::kAlignRight) != 0;
    const bool alignLeft = (m_style & UpDownStyle::kAlignLeft) != 0;
    if (alignRight || alignLeft) {
        const QRect area = buddy->geometry();
        const int width = std::min(this->width(), std::max(0, area.width() - 1));
        if (alignRight) {
            buddy->setGeometry(area.left(), area.top(), area.width() - width, area.height());
            setGeometry(area.left() + area.width() - width, area.top(), width, area.height());
        } else {
            buddy->setGeometry(area.left() + width, area.top(), area.width() - width, area.height());
            setGeometry(area.left(), area.top(), width, area.height());
        }
    }
    WriteBuddyInt();
}

QRect UpDown::UpRect() const
{
    return QRect(0, 0, width(), height() / 2);
}

QRect UpDown::DownRect() const
{
    return QRect(0, height() / 2, width(), height() - height() / 2);
}

void UpDown::Step(int direction)
{
    ReadBuddyInt();
    const int toward = m_upper >= m_lower ? direction : -direction;
    const int low = std::min(m_lower, m_upper);
    const int high = std::max(m_lower, m_upper);
    const long long wanted = static_cast<long long>(m_position) + toward;
    if (wanted > high) {
        m_position = (m_style & UpDownStyle::kWrap) != 0 ? low : high;
    } else if (wanted < low) {
        m_position = (m_style & UpDownStyle::kWrap) != 0 ? high : low;
    } else {
        m_position = static_cast<int>(wanted);
    }
    WriteBuddyInt();
    Notify(ScrollCode::kThumbPosition);
}

void UpDown::Notify(int code)
{
    if (IControlNotify* target = NotifyTargetOf(this)) {
        target->OnSpinScroll(ControlId(this), code, m_position);
    }
}

void UpDown::EndScroll()
{
    Notify(ScrollCode::kEndScroll);
}

void UpDown::ReadBuddyInt()
{
    auto* edit = qobject_cast<QLineEdit*>(m_buddy.data());
    if ((m_style & UpDownStyle::kSetBuddyInt) == 0 || edit == nullptr) {
        return;
    }
    QString text = edit->text();
    text.remove(QLocale().groupSeparator());
    bool ok = false;
    const long long typed = text.trimmed().toLongLong(&ok);
    if (ok && typed >= std::min(m_lower, m_upper) && typed <= std::max(m_lower, m_upper)) {
        m_position = static_cast<int>(typed);
    }
}

void UpDown::WriteBuddyInt()
{
    if ((m_style & UpDownStyle::kSetBuddyInt) == 0 || !m_buddy) {
        return;
    }
    const QString number = (m_style & UpDownStyle::kNoThousands) != 0 ? QString::number(m_position)
                                                                       : QLocale().toString(m_position);
    const std::string text = number.toStdString();
    if (WindowText(m_buddy) != text) {
        SetWindowText(m_buddy, text);
    }
}

void UpDown::OnTimer(std::uint32_t timerId)
{
    if (timerId != kRepeatTimer || m_pressed == 0) {
        m_timers.Kill(timerId);
        return;
    }
    // After the first delay the repeat runs at its own period.
    m_timers.Set(kRepeatTimer, kRepeatPeriodMs);
    Step(m_pressed);
}

void UpDown::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawArrowButton(painter, UpRect(), true, m_pressed > 0, isEnabled());
    DrawArrowButton(painter, DownRect(), false, m_pressed < 0, isEnabled());
}

void UpDown::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressed != 0) {
        return;
    }
    if (m_buddy && qobject_cast<QLineEdit*>(m_buddy.data()) != nullptr) {
        m_buddy->setFocus(Qt::MouseFocusReason);
    }
    m_pressed = UpRect().contains(event->position().toPoint()) ? 1 : -1;
    update();
    Step(m_pressed);
    m_timers.Set(kRepeatTimer, kFirstRepeatDelayMs);
}

void UpDown::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressed == 0) {
        return;
    }
    m_pressed = 0;
    m_timers.Kill(kRepeatTimer);
    update();
    EndScroll();
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_buddy || (m_style & UpDownStyle::kArrowKeys) == 0 || !isEnabled()) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        m_keyStepping = true;
        Step(key->key() == Qt::Key_Up ? 1 : -1);
    } else if (!key->isAutoRepeat() && m_keyStepping) {
        m_keyStepping = false;
        EndScroll();
    }
    return true;
}

}  // namespace platform
