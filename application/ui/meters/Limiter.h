// One output cell of the meter view: the label "Out n" over an indicator icon that shows
// whether the output is idle, on, limiting or faulted, blinking with every other blinking
// output on the shared 2-second clock when its state asks for it.
#pragma once

#include <cstdint>

#include "application/ui/meters/Meter.h"

class Limiter final : public Meter {
public:
    // The text whose size every output label is measured by.
    static constexpr char kWidestLabel[] = "Out 4";

    Limiter(std::uint32_t index, std::uint32_t count);

    void Draw(platform::Canvas& dc) override;
    // Draws the indicator again only when the frame it shows changes (a new kind, or the
    // blink clock turning dark or lit); the cell's background is put back under it first so
    // the icon's soft edges do not pile up.
    platform::Rect SetState(platform::Canvas& dc, std::uint16_t state) override;
    meters::MeterMeasure Measure(platform::Canvas& dc) const override;
    // An output cell has no bar: the level is kept and nothing is drawn.
    platform::Rect SetLevel(platform::Canvas& dc, float level) override;
    void SetRects(const meters::MeterCellRects& rects) override;

    // What lies under the cell when nothing is drawn (the view's background, in the same
    // coordinates as the canvas), or null.
    void SetBackground(const QImage* background) { m_background = background; }

    std::uint16_t State() const { return m_state; }
    // The frame of the indicator strip the current state shows now (0 off, 1 on, 2 limiting,
    // 3 fault), after the blink clock has had its say.
    int CurrentFrame();

private:
    void DrawIndicator(platform::Canvas& dc, int frame);

    std::uint16_t m_state = 0;
    const QImage* m_background = nullptr;
    int m_drawnFrame = -1;  // the frame shown now; -1 until drawn after a layout
};

// The strip frame for a state, before blinking: kind 2 -> 1, 3 -> 2, 4 -> 3, anything else 0.
int IndicatorFrameOfKind(std::uint16_t state);
