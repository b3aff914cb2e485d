// Where the meter cells go: the measure record each cell gives, and the layout of input
// cells (level bars with their scale) and of output cells (indicators over the legend row)
// in a rectangle, by the space distribution. Pure arithmetic on measured sizes; the meter
// list measures the cells with its font and hands the rectangles back to them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/ui/drawing/Rect.h"

namespace meters {

// The fourteen sizes a cell reports for the layout.
using MeterMeasure = std::array<std::int32_t, 14>;

namespace MeasureIndex {
inline constexpr std::size_t kScaleWidth = 0;   // widest scale number, 0 without a scale
inline constexpr std::size_t kScaleHeight = 1;
inline constexpr std::size_t kTickWidth = 2;
inline constexpr std::size_t kTickMinWidth = 4;
inline constexpr std::size_t kFrameWidth = 6;   // bar, or indicator icon
inline constexpr std::size_t kFrameHeight = 7;
inline constexpr std::size_t kFrameMinWidth = 8;
inline constexpr std::size_t kFrameMinHeight = 9;
inline constexpr std::size_t kLabelWidth = 10;
inline constexpr std::size_t kLabelHeight = 11;
inline constexpr std::size_t kUnitWidth = 12;   // 0 without a unit text
inline constexpr std::size_t kUnitHeight = 13;
}  // namespace MeasureIndex

// The five rectangles of one cell, in the order the cells take them.
struct MeterCellRects {
    platform::Rect label;
    platform::Rect tick;       // the scale's tick lines (the bar's rows)
    platform::Rect scaleText;  // the scale numbers' column
    platform::Rect frame;      // the bar's frame, or the indicator icon
    platform::Rect unit;       // the unit text; for outputs the legend row
};

// The legend row under the output indicators is this high.
inline constexpr std::int32_t kLegendRowHeight = 40;

// Horizontal tiers of the input layout, tried from 0 until one fits.
inline constexpr int kInputTiers = 4;
// Horizontal strategies of the output layout, tried in order until one fits.
inline constexpr int kOutputStrategies = 3;

struct InputLayout {
    std::vector<MeterCellRects> cells;
    int tier = 0;             // the tier that fitted (the last one tried when none did)
    bool fittedWidth = false;
    bool fittedHeight = false;
};

struct OutputLayout {
    std::vector<MeterCellRects> cells;
    int strategy = 0;         // 0-based; the last one tried when none fitted
    bool fittedWidth = false;
    bool fittedHeight = false;
    std::int32_t legendX = 0;  // the legend button's centre
    std::int32_t legendY = 0;
};

// `u` is (width of "MCW" + 2) / 3 and `h` the height of that text in the cells' font.
InputLayout LayOutInputCells(const std::vector<MeterMeasure>& measures, const platform::Rect& area, std::int32_t u,
                             std::int32_t h);
OutputLayout LayOutOutputCells(const std::vector<MeterMeasure>& measures, const platform::Rect& area, std::int32_t u,
                               std::int32_t h);

}  // namespace meters
