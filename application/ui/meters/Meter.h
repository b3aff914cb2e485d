// One input cell of the meter view: a vertical level bar in dBFS inside a sunken frame, the
// tick lines of its scale (with the numbers on the first input), the label "In n" above and
// the unit text below. The lit part of the bar is copied from a cached image that holds the
// colour zones, so a new level redraws only the bar.
#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include "application/ui/meters/MeterLayout.h"
#include "platform/ui/drawing/Canvas.h"

// Bits of a cell's style word (the meter option word of the view's layout line).
namespace MeterStyle {
inline constexpr std::uint32_t kColourZones = 0x1000;  // paint the colour zones into the bar
inline constexpr std::uint32_t kUnitText = 0x20000;    // show the unit text
}  // namespace MeterStyle

namespace meters {

// The layout's unit u ((width of "MCW" + 2) / 3) and the height h of that text, in the font
// selected in dc.
struct MeterUnits {
    std::int32_t u = 0;
    std::int32_t h = 0;
};
MeterUnits MeasureMeterUnits(platform::Canvas& dc);

}  // namespace meters

class Meter {
public:
    static constexpr platform::ColorRef kLabelColour = 0x606060;
    static constexpr platform::ColorRef kTickColour = 0x808080;
    static constexpr platform::ColorRef kUnlitColour = 0x808080;
    static constexpr platform::ColorRef kFrameShadow = 0x808080;     // top and left of the frame
    static constexpr platform::ColorRef kFrameHighlight = 0xC0C0C0;  // bottom and right
    static constexpr platform::ColorRef kZoneRed = 0x0000FF;
    static constexpr platform::ColorRef kZoneYellow = 0x03FAFF;
    static constexpr platform::ColorRef kZoneGreen = 0x50B650;
    // The levels where the colour zones change, top down.
    static constexpr float kZoneLevels[4] = {-0.5f, -1.5f, -3.0f, -5.0f};
    // The bar lies this far inside its frame.
    static constexpr int kBarInset = 2;
    // Scale numbers are centred on their tick within this many pixels up and down.
    static constexpr int kScaleTextReach = 5;

    // index is the 1-based channel number, count the number of cells of the same kind.
    Meter(std::uint32_t index, std::uint32_t count);
    virtual ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    // Draws the whole cell (frame, texts, ticks, bar) on the current font.
    virtual void Draw(platform::Canvas& dc);
    // Stores a protection state and draws what changed; the rectangle drawn, empty when
    // nothing was. A level meter has no state.
    virtual platform::Rect SetState(platform::Canvas& dc, std::uint16_t state);
    // The sizes the layout needs, in the current font of dc.
    virtual meters::MeterMeasure Measure(platform::Canvas& dc) const;
    // Stores a level (dB) and redraws the bar when what it lights changes; the rectangle
    // drawn, empty when nothing was.
    virtual platform::Rect SetLevel(platform::Canvas& dc, float level);
    // Takes the cell's rectangles from a layout: the bar and the zone rows follow, the bar
    // image is dropped and made again when it is next needed.
    virtual void SetRects(const meters::MeterCellRects& rects);

    void SetLabel(std::string label) { m_label = std::move(label); }
    void SetUnit(std::string unit) { m_unit = std::move(unit); }
    void SetStyle(std::uint32_t style);
    void SetShowScale(bool show) { m_showScale = show ? 1 : 0; }

    const std::string& Label() const { return m_label; }
    const std::string& Unit() const { return m_unit; }
    std::uint32_t Index() const { return m_index; }
    std::uint32_t Count() const { return m_count; }
    std::uint32_t Style() const { return m_style; }
    bool ShowsScale() const { return m_showScale != 0; }
    float Level() const { return m_level; }
    const platform::Rect& LabelRect() const { return m_labelRect; }
    const platform::Rect& UnitRect() const { return m_unitRect; }
    const platform::Rect& FrameRect() const { return m_frameRect; }
    const platform::Rect& TickRect() const { return m_tickRect; }
    const platform::Rect& ScaleTextRect() const { return m_scaleTextRect; }
    const platform::Rect& BarRect() const { return m_barRect; }
    const std::int32_t* ZoneRows() const { return m_zoneRows; }
    // The pixel row of a level on this bar (a finite level within the scale's range).
    std::int32_t RowOf(float level) const;
    // Null until the bar is first drawn after a layout.
    const QImage& BarImage() const { return m_barImage; }

protected:
    // Draws the bar for the current level (the image made first when missing).
    void DrawBar(platform::Canvas& dc);

    platform::Rect m_labelRect;
    std::string m_label;
    platform::Rect m_unitRect;
    std::string m_unit;
    platform::Rect m_frameRect;
    platform::Rect m_tickRect;
    platform::Rect m_barRect;
    platform::Rect m_scaleTextRect;
    std::uint32_t m_index;
    std::uint32_t m_count;
    std::uint32_t m_style = 0;
    std::uint8_t m_showScale = 0;
    // Empty until a level arrives: a meter never shows a reading nobody measured.
    float m_level;
    std::int32_t m_zoneRows[4] = {};

private:
    void BuildBarImage();
    // How many rows from the bar's top the current level leaves unlit.
    std::int32_t UnlitRows() const;

    QImage m_barImage;
    std::int32_t m_drawnUnlitRows = -1;  // what the bar shows now; -1 until drawn after a layout
};
