// The output indicator cell.
#include "application/ui/meters/Limiter.h"

#include <QString>

#include "application/ui/meters/BlinkClock.h"
#include "application/ui/meters/MeterImages.h"
#include "application/ui/meters/MeterPolling.h"
#include "platform/ui/core/TimerService.h"
#include "platform/ui/drawing/BitmapAlpha.h"
#include "resources/images/ImageIds.h"

namespace {

using platform::Rect;
namespace M = meters::MeasureIndex;

constexpr std::uint16_t kKindMask = 0x00FF;

}  // namespace

int IndicatorFrameOfKind(std::uint16_t state)
{
    switch (state & kKindMask) {
    case 2:
        return 1;
    case 3:
        return 2;
    case 4:
        return 3;
    default:
        return 0;
    }
}

Limiter::Limiter(std::uint32_t index, std::uint32_t count) : Meter(index, count) {}

meters::MeterMeasure Limiter::Measure(platform::Canvas& dc) const
{
    meters::MeterMeasure measure{};
    const QImage& strip = meters::MeterImage(ImageId::kOutputIndicator);
    const std::int32_t iconWidth = meters::StripFrameWidth(strip);
    measure[M::kFrameWidth] = iconWidth;
    measure[M::kFrameHeight] = strip.height();
    measure[M::kFrameMinWidth] = iconWidth;
    measure[M::kFrameMinHeight] = strip.height();
    const QSize label = dc.TextExtent(QString::fromLatin1(kWidestLabel));
    measure[M::kLabelWidth] = label.width();
    measure[M::kLabelHeight] = label.height();
    return measure;
}

void Limiter::SetRects(const meters::MeterCellRects& rects)
{
    Meter::SetRects(rects);
    m_drawnFrame = -1;
}

int Limiter::CurrentFrame()
{
    const bool blinking = (m_state & meters::kStateBlink) != 0;
    const bool dark = meters::SharedBlinkClock().IsDark(m_index, blinking, platform::UiNowMs());
    return blinking && dark ? 0 : IndicatorFrameOfKind(m_state);
}

void Limiter::DrawIndicator(platform::Canvas& dc, int frame)
{
    m_drawnFrame = frame;
    const QImage& strip = meters::MeterImage(ImageId::kOutputIndicator);
    const int frameWidth = meters::StripFrameWidth(strip);
    platform::DrawBitmapAlpha(dc, m_frameRect.left, m_frameRect.top, m_frameRect.Width(), m_frameRect.Height(), strip,
                              frame * frameWidth, 0);
}

void Limiter::Draw(platform::Canvas& dc)
{
    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SetTextColor(kLabelColour);
    Rect labelRect = m_labelRect;
    dc.DrawText(m_label, labelRect,
                platform::TextFlag::kCenter | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine |
                    platform::TextFlag::kNoPrefix);
    DrawIndicator(dc, CurrentFrame());
}

Rect Limiter::SetState(platform::Canvas& dc, std::uint16_t state)
{
    m_state = state;
    const int frame = CurrentFrame();
    if (frame == m_drawnFrame || m_frameRect.IsEmpty()) {
        return Rect{};
    }
    if (m_background != nullptr) {
        dc.DrawImage(m_frameRect.left, m_frameRect.top, *m_background, m_frameRect.left, m_frameRect.top,
                     m_frameRect.Width(), m_frameRect.Height());
    }
    DrawIndicator(dc, frame);
    return m_frameRect;
}

Rect Limiter::SetLevel(platform::Canvas&, float level)
{
    m_level = level;
    return Rect{};
}
