// The legend window's content and place: the rows of icons and texts that explain the
// output indicators, laid out from measured text sizes, and the window's position near the
// meter view kept inside the screen's work area.
#pragma once

#include <array>
#include <cstdint>

#include "platform/ui/drawing/Rect.h"

namespace meters {

// Margins of the legend's client area.
inline constexpr std::int32_t kLegendMarginLeft = 10;
inline constexpr std::int32_t kLegendMarginTop = 6;
inline constexpr std::int32_t kLegendMarginRight = 10;
inline constexpr std::int32_t kLegendMarginBottom = 10;
// Space between the rows.
inline constexpr std::int32_t kLegendRowGap = 6;

struct LegendSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// What the layout is measured from, all in the legend's font.
struct LegendMetrics {
    LegendSize outLabel;    // "Out 4", the widest output label
    LegendSize icon;        // one frame of the legend icons
    LegendSize limiting;    // the first row's text
    LegendSize fault;       // the second row's text
    LegendSize groupText;   // the fault group's text, measured with outputs 3 and 4
};

// One row: an icon and its text to the right.
struct LegendRow {
    platform::Rect icon;
    platform::Rect text;
};

// A fault group: two output columns (label over icon) and the text to their right.
struct LegendGroup {
    platform::Rect firstLabel;
    platform::Rect firstIcon;
    platform::Rect secondLabel;
    platform::Rect secondIcon;
    platform::Rect text;
};

struct LegendLayout {
    LegendRow limiting;
    LegendRow fault;
    std::array<LegendGroup, 2> groups;  // outputs 1 and 2, outputs 3 and 4 (both always laid out)
    LegendSize client;                  // for the output count the layout was made for
};

// Fault groups are shown for 2 outputs or more (one) and 4 or more (two).
inline constexpr std::int32_t kOutputsForFirstGroup = 2;
inline constexpr std::int32_t kOutputsForSecondGroup = 4;

LegendLayout LayOutLegend(const LegendMetrics& metrics, std::int32_t outputCount);

// Top-left corner of a window of `size` whose top edge is centred on the anchor, moved
// inside `workArea`: first left or up by what passes the right or bottom edge, then right or
// down by what lies before the left or top edge.
void PlaceInWorkArea(std::int32_t anchorX, std::int32_t anchorY, LegendSize size, const platform::Rect& workArea,
                     std::int32_t& left, std::int32_t& top);

}  // namespace meters
