// The legend's layout and placement.
#include "application/ui/meters/LegendLayout.h"

#include <algorithm>

namespace meters {

namespace {

using platform::Rect;

// A width w centred on x.
Rect CentredAt(std::int32_t x, std::int32_t top, LegendSize size)
{
    const std::int32_t left = (2 * x - size.width) / 2;
    return Rect{left, top, left + size.width, top + size.height};
}

// Text starting at x, centred vertically on `icon`.
Rect TextBeside(std::int32_t x, const Rect& icon, LegendSize size)
{
    const std::int32_t top = icon.top + (icon.Height() - size.height) / 2;
    return Rect{x, top, x + size.width, top + size.height};
}

LegendRow MoveRow(const LegendRow& row, std::int32_t dx, std::int32_t dy)
{
    return LegendRow{row.icon.Offset(dx, dy), row.text.Offset(dx, dy)};
}

LegendGroup MoveGroup(const LegendGroup& group, std::int32_t dx, std::int32_t dy)
{
    return LegendGroup{group.firstLabel.Offset(dx, dy), group.firstIcon.Offset(dx, dy),
                       group.secondLabel.Offset(dx, dy), group.secondIcon.Offset(dx, dy), group.text.Offset(dx, dy)};
}

}  // namespace

LegendLayout LayOutLegend(const LegendMetrics& metrics, std::int32_t outputCount)
{
    const std::int32_t columnWidth = std::max(metrics.outLabel.width, metrics.icon.width);
    const std::int32_t quarter = metrics.outLabel.width / 4;
    const std::int32_t firstCentre = columnWidth / 2;
    const std::int32_t secondCentre = columnWidth / 2 + columnWidth + quarter;
    const std::int32_t textLeft = 2 * (columnWidth + quarter);

    LegendRow limiting;
    limiting.icon = CentredAt(secondCentre, 0, metrics.icon);
    limiting.text = TextBeside(textLeft, limiting.icon, metrics.limiting);
    LegendRow fault;
    fault.icon = CentredAt(secondCentre, 0, metrics.icon);
    fault.text = TextBeside(textLeft, fault.icon, metrics.fault);
    LegendGroup group;
    group.firstLabel = CentredAt(firstCentre, 0, metrics.outLabel);
    group.firstIcon = CentredAt(firstCentre, group.firstLabel.bottom, metrics.icon);
    group.secondLabel = CentredAt(secondCentre, 0, metrics.outLabel);
    group.secondIcon = CentredAt(secondCentre, group.secondLabel.bottom, metrics.icon);
    group.text = TextBeside(textLeft, group.secondIcon, metrics.groupText);

    LegendLayout layout;
    layout.limiting = MoveRow(limiting, kLegendMarginLeft, kLegendMarginTop);
    layout.fault = MoveRow(fault, kLegendMarginLeft, layout.limiting.icon.bottom + kLegendRowGap);
    layout.groups[0] = MoveGroup(group, kLegendMarginLeft, layout.fault.icon.bottom + kLegendRowGap);
    layout.groups[1] = MoveGroup(group, kLegendMarginLeft, layout.groups[0].firstIcon.bottom + kLegendRowGap);

    if (outputCount >= kOutputsForFirstGroup) {
        const LegendGroup& last = layout.groups[outputCount >= kOutputsForSecondGroup ? 1 : 0];
        layout.client.width = last.text.right + kLegendMarginRight;
        layout.client.height = last.firstIcon.bottom + kLegendMarginBottom;
    } else {
        // Without a fault group the window ends under the two icon rows instead of leaving
        // the room of a group that is not shown.
        const std::int32_t right = std::max({layout.limiting.text.right, layout.fault.text.right,
                                             layout.limiting.icon.right, layout.fault.icon.right});
        layout.client.width = right + kLegendMarginRight;
        layout.client.height = layout.fault.icon.bottom + kLegendMarginBottom;
    }
    return layout;
}

void PlaceInWorkArea(std::int32_t anchorX, std::int32_t anchorY, LegendSize size, const Rect& workArea,
                     std::int32_t& left, std::int32_t& top)
{
    left = anchorX - size.width / 2;
    top = anchorY;
    if (left + size.width > workArea.right) {
        left -= left + size.width - workArea.right;
    }
    if (top + size.height > workArea.bottom) {
        top -= top + size.height - workArea.bottom;
    }
    if (left < workArea.left) {
        left = workArea.left;
    }
    if (top < workArea.top) {
        top = workArea.top;
    }
}

}  // namespace meters
