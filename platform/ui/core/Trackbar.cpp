#include "platform/ui/core/Trackbar.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/templates/DialogTemplate.h"

namespace platform {
namespace {

constexpr std::uint32_t kPageTimer = 1;

bool IsTrackbarKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

}  // namespace

Trackbar::Trackbar(QWidget* parent, std::uint32_t style)
    : QWidget(parent), m_style(style | TrackbarStyle::kVertical), m_timers([this](std::uint32_t timerId) {
          if (timerId == kPageTimer) {
              m_timers.Set(kPageTimer, kPageRepeatPeriodMs);
              PageTowardPress();
          }
      })
{
    setFocusPolicy(Qt::StrongFocus);
}

void Trackbar::SetRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    SetPos(m_position);
    update();
}

void Trackbar::SetPos(int position)
{
    m_position = std::clamp(position, m_min, m_max);
    update();
}

int Trackbar::PageSize() const
{
    if (m_pageSize >= 0) {
        return m_pageSize;
    }
    return std::max(1, (m_max - m_min) / 5);
}

void Trackbar::SetTicFreq(int frequency)
{
    m_ticFrequency = std::max(1, frequency);
    update();
}

void Trackbar::SetTic(int position)
{
    if (position > m_min && position < m_max) {
        m_tics.insert(position);
        update();
    }
}

std::vector<int> Trackbar::TickPositions() const
{
    std::set<int> ticks{m_min, m_max};
    if ((m_style & TrackbarStyle::kAutoTicks) != 0) {
        for (long long p = m_min; p <= m_max; p += m_ticFrequency) {
            ticks.insert(static_cast<int>(p));
        }
    }
    for (int tic : m_tics) {
        if (tic > m_min && tic < m_max) {
            ticks.insert(tic);
        }
    }
    return {ticks.begin(), ticks.end()};
}

int Trackbar::ThumbLeft() const
{
    const bool ticksLeft = (m_style & (TrackbarStyle::kLeft | TrackbarStyle::kBoth)) != 0 &&
                           (m_style & TrackbarStyle::kNoTicks) == 0;
    return kEdgeMargin + (ticksLeft ? kTickArea : 0);
}

QRect Trackbar::ChannelRect() const
{
    const int left = ThumbLeft() + kThumbThickness / 2 - kChannelWidth / 2;
    return QRect(left, kChannelEndMargin, kChannelWidth, std::max(0, height() - 2 * kChannelEndMargin));
}

std::pair<int, int> Trackbar::ThumbTravel() const
{
    const QRect channel = ChannelRect();
    return {channel.top() + kThumbLength / 2, channel.top() + channel.height() - kThumbLength / 2 - 1};
}

int Trackbar::PositionToPixel(int position) const
{
    const auto [first, last] = ThumbTravel();
    if (m_max == m_min || last <= first) {
        return first;
    }
    const long long offset = static_cast<long long>(std::clamp(position, m_min, m_max)) - m_min;
    return first + static_cast<int>(offset * (last - first) / (static_cast<long long>(m_max) - m_min));
}

int Trackbar::PixelToPosition(int y) const
{
    const auto [first, last] = ThumbTravel();
    if (m_max == m_min || last <= first) {
        return m_min;
    }
    const long long span = static_cast<long long>(m_max) - m_min;
    const long long along = std::clamp(y, first, last) - first;
    const long long position = m_min + (along * span * 2 + (last - first)) / (2LL * (last - first));
    return static_cast<int>(std::clamp<long long>(position, m_min, m_max));
}

QRect Trackbar::ThumbRect() const
{
    const int centre = PositionToPixel(m_position);
    return QRect(ThumbLeft(), centre - kThumbLength / 2, kThumbThickness, kThumbLength);
}

void Trackbar::Notify(int code)
{
    if (IControlNotify* target = NotifyTargetOf(this)) {
        target->OnTrackbarScroll(ControlId(this), code, m_position);
    }
}

void Trackbar::NotifyReleasedCapture()
{
    if (IControlNotify* target = NotifyTargetOf(this)) {
        target->OnTrackbarReleasedCapture(ControlId(this));
    }
}

void Trackbar::MoveTo(int position, int code)
{
    SetPos(position);
    Notify(code);
}

void Trackbar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TrackbarDrawInfo info{rect(), ChannelRect(), ThumbRect(), m_dragging};
    if (!m_channelHook || !m_channelHook(painter, info)) {
        painter.fillRect(rect(), ToQColor(SysColor::kButtonFace));
        const QRect channel = info.channel;
        painter.fillRect(channel, ToQColor(SysColor::k3dLight));
        painter.setPen(ToQColor(SysColor::kButtonShadow));
        painter.drawLine(channel.topLeft(), channel.topRight());
        painter.drawLine(channel.topLeft(), channel.bottomLeft());
        painter.setPen(ToQColor(SysColor::kButtonHighlight));
        painter.drawLine(channel.bottomLeft(), channel.bottomRight());
        painter.drawLine(channel.topRight(), channel.bottomRight());
    }
    if ((m_style & TrackbarStyle::kNoTicks) == 0 && (!m_ticksHook || !m_ticksHook(painter, info))) {
        painter.setPen(ToQColor(SysColor::kButtonText));
        const bool left = (m_style & (TrackbarStyle::kLeft | TrackbarStyle::kBoth)) != 0;
        const bool right = (m_style & TrackbarStyle::kLeft) == 0 || (m_style & TrackbarStyle::kBoth) != 0;
        for (int position : TickPositions()) {
            const int y = PositionToPixel(position);
            if (right) {
                const int x = info.thumb.right() + 3;
                painter.drawLine(x, y, x + kTickLength - 1, y);
            }
            if (left) {
                const int x = info.thumb.left() - 3;
                painter.drawLine(x - kTickLength + 1, y, x, y);
            }
        }
    }
    if ((m_style & TrackbarStyle::kNoThumb) == 0 && (!m_thumbHook || !m_thumbHook(painter, info))) {
        const QRect thumb = info.thumb;
        painter.fillRect(thumb, ToQColor(m_dragging ? SysColor::k3dLight : SysColor::kButtonFace));
        painter.setPen(ToQColor(SysColor::kButtonHighlight));
        painter.drawLine(thumb.topLeft(), thumb.topRight());
        painter.drawLine(thumb.topLeft(), thumb.bottomLeft());
        painter.setPen(ToQColor(SysColor::k3dDarkShadow));
        painter.drawLine(thumb.bottomLeft(), thumb.bottomRight());
        painter.drawLine(thumb.topRight(), thumb.bottomRight());
    }
    if (hasFocus()) {
        painter.setPen(QPen(ToQColor(SysColor::kButtonText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Trackbar::keyPressEvent(QKeyEvent* event)
{
    if (m_keyHook && m_keyHook(*event)) {
        return;
    }
    if (!IsTrackbarKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    // As the system did: a key that cannot move the thumb (already at that end) sends nothing.
    const bool atTop = m_position == m_min;
    const bool atBottom = m_position == m_max;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (!atTop) {
            MoveTo(m_position - m_lineSize, ScrollCode::kLineUp);
        }
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (!atBottom) {
            MoveTo(m_position + m_lineSize, ScrollCode::kLineDown);
        }
        break;
    case Qt::Key_PageUp:
        if (!atTop) {
            MoveTo(m_position - PageSize(), ScrollCode::kPageUp);
        }
        break;
    case Qt::Key_PageDown:
        if (!atBottom) {
            MoveTo(m_position + PageSize(), ScrollCode::kPageDown);
        }
        break;
    case Qt::Key_Home:
        if (!atTop) {
            MoveTo(m_min, ScrollCode::kTop);
        }
        break;
    case Qt::Key_End:
        if (!atBottom) {
            MoveTo(m_max, ScrollCode::kBottom);
        }
        break;
    default:
        break;
    }
}

void Trackbar::keyReleaseEvent(QKeyEvent* event)
{
    if (m_keyHook && m_keyHook(*event)) {
        return;
    }
    if (!IsTrackbarKey(event->key())) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        Notify(ScrollCode::kEndScroll);
    }
}

void Trackbar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_dragging || m_paging) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const QRect thumb = ThumbRect();
    if (thumb.contains(point)) {
        m_dragging = true;
        m_grabOffset = point.y() - PositionToPixel(m_position);
        update();
        return;
    }
    m_paging = true;
    m_pageTargetY = point.y();
    PageTowardPress();
    m_timers.Set(kPageTimer, kPageRepeatDelayMs);
}

void Trackbar::PageTowardPress()
{
    const QRect thumb = ThumbRect();
    if (m_pageTargetY < thumb.top() && m_position > m_min) {
        MoveTo(m_position - PageSize(), ScrollCode::kPageUp);
    } else if (m_pageTargetY > thumb.bottom() && m_position < m_max) {
        MoveTo(m_position + PageSize(), ScrollCode::kPageDown);
    }
}

void Trackbar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        return;
    }
    const int position = PixelToPosition(event->position().toPoint().y() - m_grabOffset);
    if (position != m_position) {
        MoveTo(position, ScrollCode::kThumbTrack);
    }
}

void Trackbar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_dragging) {
        m_dragging = false;
        update();
        Notify(ScrollCode::kThumbPosition);
        Notify(ScrollCode::kEndScroll);
        NotifyReleasedCapture();
    } else if (m_paging) {
        m_paging = false;
        m_timers.Kill(kPageTimer);
        Notify(ScrollCode::kEndScroll);
        NotifyReleasedCapture();
    }
}

}  // namespace platform
