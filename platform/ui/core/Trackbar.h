// The trackbar ("msctls_trackbar32"), vertical form: the minimum at the top. Keys, mouse
// drags and clicks on the channel move the thumb and send the parent the system's scroll
// codes (line/page up and down, top, bottom, thumb track while dragging, thumb position at
// the end of a drag, end track when the key or button goes up) and, after a mouse press,
// a released-capture notice. The channel, the ticks and the thumb can each be drawn by a
// hook instead of the default look, in that order.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include <QWidget>

#include "platform/ui/core/WindowTimers.h"

namespace platform {

// What a draw hook gets: the rectangles in control coordinates.
struct TrackbarDrawInfo {
    QRect client;
    QRect channel;
    QRect thumb;
    bool thumbPressed = false;
};

class Trackbar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kThumbLength = 11;     // along the channel
    static constexpr int kThumbThickness = 20;  // across it
    static constexpr int kChannelWidth = 4;
    static constexpr int kChannelEndMargin = 3;  // client edge to channel end
    static constexpr int kEdgeMargin = 2;        // client edge to thumb side
    static constexpr int kTickArea = 8;          // room for ticks beside the thumb
    static constexpr int kTickLength = 3;
    static constexpr std::uint32_t kPageRepeatDelayMs = 500;
    static constexpr std::uint32_t kPageRepeatPeriodMs = 100;

    // A hook returns true when it drew the part itself (the default drawing is skipped).
    using DrawHook = std::function<bool(QPainter& painter, const TrackbarDrawInfo& info)>;
    // Sees every key press and release first; true consumes the key.
    using KeyHook = std::function<bool(QKeyEvent& event)>;

    explicit Trackbar(QWidget* parent = nullptr, std::uint32_t style = 0);

    std::uint32_t Style() const { return m_style; }

    // The position is clamped into the new range. The page size stays as set; until it is
    // set it is a fifth of the range.
    void SetRange(int minimum, int maximum);
    int RangeMin() const { return m_min; }
    int RangeMax() const { return m_max; }
    // Clamped into the range; no notice.
    void SetPos(int position);
    int Pos() const { return m_position; }
    void SetLineSize(int size) { m_lineSize = size; }
    int LineSize() const { return m_lineSize; }
    void SetPageSize(int size) { m_pageSize = size; }
    int PageSize() const;
    // With the auto-ticks style: a tick every `frequency` positions from the minimum.
    void SetTicFreq(int frequency);
    // Ticks set one by one (besides the ends, which always carry one).
    void SetTic(int position);
    // Every position that carries a tick, ascending.
    std::vector<int> TickPositions() const;

    QRect ChannelRect() const;
    QRect ThumbRect() const;
    // The y of the thumb's centre at `position` (clamped into the range).
    int PositionToPixel(int position) const;
    // The position whose thumb centre is nearest to y.
    int PixelToPosition(int y) const;

    void SetChannelHook(DrawHook hook) { m_channelHook = std::move(hook); }
    void SetTicksHook(DrawHook hook) { m_ticksHook = std::move(hook); }
    void SetThumbHook(DrawHook hook) { m_thumbHook = std::move(hook); }
    void SetKeyHook(KeyHook hook) { m_keyHook = std::move(hook); }

    bool IsDragging() const { return m_dragging; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Notify(int code);
    void NotifyReleasedCapture();
    void MoveTo(int position, int code);
    void PageTowardPress();
    int ThumbLeft() const;
    // The first and last y the thumb's centre can take.
    std::pair<int, int> ThumbTravel() const;

    std::uint32_t m_style;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_lineSize = 1;
    int m_pageSize = -1;  // -1: a fifth of the range
    int m_ticFrequency = 1;
    std::set<int> m_tics;
    bool m_dragging = false;
    int m_grabOffset = 0;
    bool m_paging = false;
    int m_pageTargetY = 0;
    DrawHook m_channelHook;
    DrawHook m_ticksHook;
    DrawHook m_thumbHook;
    KeyHook m_keyHook;
    WindowTimers m_timers;
};

}  // namespace platform
