// The meter cells' layout.
#include "application/ui/meters/MeterLayout.h"

#include <algorithm>

#include "application/ui/meters/SpaceDistribution.h"

namespace meters {

namespace {

using platform::Rect;
namespace M = MeasureIndex;

// A bound low enough that the outer margins of the last tiers may turn negative: the cells
// then run over the area rather than over each other.
constexpr std::int32_t kNegativeMarginBound = -9999;
constexpr std::int32_t kOutputMarginBound = -100;

struct TierValues {
    SpaceSegment leftMargin;
    SpaceSegment gap;
    SpaceSegment gapAfterScale;
    SpaceSegment rightMargin;
};

TierValues InputTier(int tier, std::int32_t u)
{
    switch (tier) {
    case 0:
        return {FlexibleSegment(u / 4, kUnboundedSegment, 1), RigidSegment(6 * u / 4), RigidSegment(3 * u / 8),
                FlexibleSegment(u, kUnboundedSegment, 1)};
    case 1:
        return {FlexibleSegment(u / 4, u / 8, 1), RigidSegment(6 * u / 4), FlexibleSegment(3 * u / 8, u / 8, 1),
                FlexibleSegment(u, 3 * u / 4, 1)};
    case 2:
        return {FlexibleSegment(u / 8, 0, 1), FlexibleSegment(6 * u / 4, 4 * u / 3, 1), FlexibleSegment(u / 8, 1, 1),
                FlexibleSegment(3 * u / 4, u / 2, 1)};
    default:
        return {FlexibleSegment(0, kNegativeMarginBound, 10), RigidSegment(4 * u / 3), RigidSegment(1),
                FlexibleSegment(u / 2, kNegativeMarginBound, 1)};
    }
}

// Which segment holds which part of a cell; -1 for a scale column the cell does not have.
struct CellSegments {
    int scale = -1;
    int tick = 0;
    int frame = 0;
};

std::vector<SpaceSegment> InputRow(const std::vector<MeterMeasure>& measures, int tier, std::int32_t u,
                                   std::vector<CellSegments>& parts)
{
    const TierValues values = InputTier(tier, u);
    std::vector<SpaceSegment> row;
    parts.assign(measures.size(), CellSegments{});
    row.push_back(values.leftMargin);
    for (std::size_t i = 0; i < measures.size(); ++i) {
        const MeterMeasure& m = measures[i];
        if (i > 0) {
            row.push_back(values.gap);
        }
        if (m[M::kScaleWidth] > 0) {
            parts[i].scale = static_cast<int>(row.size());
            row.push_back(RigidSegment(m[M::kScaleWidth]));
            row.push_back(values.gapAfterScale);
        }
        parts[i].tick = static_cast<int>(row.size());
        if (tier <= 1) {
            row.push_back(RigidSegment(m[M::kTickWidth]));
            parts[i].frame = static_cast<int>(row.size());
            row.push_back(RigidSegment(m[M::kFrameWidth]));
        } else if (tier == 2) {
            row.push_back(FlexibleSegment(m[M::kTickWidth], m[M::kTickMinWidth], 1));
            parts[i].frame = static_cast<int>(row.size());
            row.push_back(FlexibleSegment(m[M::kFrameWidth], m[M::kFrameMinWidth], 1));
        } else {
            row.push_back(RigidSegment(m[M::kTickMinWidth]));
            parts[i].frame = static_cast<int>(row.size());
            row.push_back(RigidSegment(m[M::kFrameMinWidth]));
        }
    }
    row.push_back(values.rightMargin);
    return row;
}

std::int32_t Tallest(const std::vector<MeterMeasure>& measures, std::size_t index)
{
    std::int32_t tallest = 0;
    for (const MeterMeasure& m : measures) {
        tallest = std::max(tallest, m[index]);
    }
    return tallest;
}

bool AnyText(const std::vector<MeterMeasure>& measures, std::size_t widthIndex)
{
    return std::any_of(measures.begin(), measures.end(),
                       [&](const MeterMeasure& m) { return m[widthIndex] > 0 && m[widthIndex + 1] > 0; });
}

// A vertical band [top, bottom) of the layout.
struct Band {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

Band BandOf(const std::vector<std::int32_t>& edges, int segment)
{
    return Band{edges[static_cast<std::size_t>(segment)], edges[static_cast<std::size_t>(segment) + 1]};
}

Rect CentredOn(const Rect& frame, std::int32_t width, Band band)
{
    const std::int32_t left = (frame.left + frame.right - width) / 2;
    return Rect{left, band.top, left + width, band.bottom};
}

}  // namespace

InputLayout LayOutInputCells(const std::vector<MeterMeasure>& measures, const Rect& area, std::int32_t u,
                             std::int32_t h)
{
    InputLayout layout;
    std::vector<CellSegments> parts;
    std::vector<SpaceSegment> row;
    for (int tier = 0; tier < kInputTiers; ++tier) {
        row = InputRow(measures, tier, u, parts);
        layout.tier = tier;
        layout.fittedWidth = DistributeSpace(row, area.Width());
        if (layout.fittedWidth) {
            break;
        }
    }
    const std::vector<std::int32_t> columns = SegmentEdges(row, area.left);

    std::vector<SpaceSegment> column;
    column.push_back(RigidSegment(h / 2));
    int labelRow = -1;
    if (AnyText(measures, M::kLabelWidth)) {
        labelRow = static_cast<int>(column.size());
        column.push_back(RigidSegment(Tallest(measures, M::kLabelHeight)));
        column.push_back(RigidSegment(h / 4));
    }
    const int barRow = static_cast<int>(column.size());
    column.push_back(FlexibleSegment(h, kUnboundedSegment, 1));
    int unitRow = -1;
    if (AnyText(measures, M::kUnitWidth)) {
        column.push_back(RigidSegment(h / 4));
        unitRow = static_cast<int>(column.size());
        column.push_back(RigidSegment(Tallest(measures, M::kUnitHeight)));
    }
    column.push_back(RigidSegment(h / 4));
    layout.fittedHeight = DistributeSpace(column, area.Height());
    const std::vector<std::int32_t> rows = SegmentEdges(column, area.top);

    const Band bar = BandOf(rows, barRow);
    const Band labels = labelRow >= 0 ? BandOf(rows, labelRow) : Band{bar.top, bar.top};
    const Band units = unitRow >= 0 ? BandOf(rows, unitRow) : Band{bar.bottom, bar.bottom};
    for (std::size_t i = 0; i < measures.size(); ++i) {
        MeterCellRects cell;
        const Band tick = BandOf(columns, parts[i].tick);
        const Band frame = BandOf(columns, parts[i].frame);
        cell.tick = Rect{tick.top, bar.top, tick.bottom, bar.bottom};
        cell.frame = Rect{frame.top, bar.top, frame.bottom, bar.bottom};
        if (parts[i].scale >= 0) {
            const Band scale = BandOf(columns, parts[i].scale);
            cell.scaleText = Rect{scale.top, bar.top, scale.bottom, bar.bottom};
        } else {
            cell.scaleText = Rect{tick.top, bar.top, tick.top, bar.bottom};
        }
        cell.label = CentredOn(cell.frame, measures[i][M::kLabelWidth], labels);
        cell.unit = CentredOn(cell.frame, measures[i][M::kUnitWidth], units);
        layout.cells.push_back(cell);
    }
    return layout;
}

OutputLayout LayOutOutputCells(const std::vector<MeterMeasure>& measures, const Rect& area, std::int32_t u,
                               std::int32_t h)
{
    OutputLayout layout;
    std::vector<SpaceSegment> row;
    for (int strategy = 0; strategy < kOutputStrategies; ++strategy) {
        SpaceSegment margin;
        SpaceSegment gap;
        if (strategy == 0) {
            margin = FlexibleSegment(u, kUnboundedSegment, 1);
            gap = RigidSegment(u);
        } else if (strategy == 1) {
            margin = FlexibleSegment(u, u / 2, 5);
            gap = FlexibleSegment(u, u / 2, 1);
        } else {
            margin = FlexibleSegment(u / 2, kOutputMarginBound, 1);
            gap = FlexibleSegment(u / 2, 2, 20);
        }
        row.clear();
        row.push_back(margin);
        for (std::size_t i = 0; i < measures.size(); ++i) {
            if (i > 0) {
                row.push_back(gap);
            }
            row.push_back(RigidSegment(measures[i][M::kFrameWidth]));
        }
        row.push_back(margin);
        layout.strategy = strategy;
        layout.fittedWidth = DistributeSpace(row, area.Width());
        if (layout.fittedWidth) {
            break;
        }
    }
    const std::vector<std::int32_t> columns = SegmentEdges(row, area.left);

    std::vector<SpaceSegment> column;
    column.push_back(FlexibleSegment(h / 2, kUnboundedSegment, 1));
    int labelRow = -1;
    if (AnyText(measures, M::kLabelWidth)) {
        labelRow = static_cast<int>(column.size());
        column.push_back(RigidSegment(Tallest(measures, M::kLabelHeight)));
        column.push_back(RigidSegment(h / 2));
    }
    const int iconRow = static_cast<int>(column.size());
    column.push_back(RigidSegment(Tallest(measures, M::kFrameHeight)));
    column.push_back(RigidSegment(h));
    const int legendRow = static_cast<int>(column.size());
    column.push_back(RigidSegment(kLegendRowHeight));
    column.push_back(FlexibleSegment(h / 2, kUnboundedSegment, 1));
    layout.fittedHeight = DistributeSpace(column, area.Height());
    const std::vector<std::int32_t> rows = SegmentEdges(column, area.top);

    const Band icons = BandOf(rows, iconRow);
    const Band labels = labelRow >= 0 ? BandOf(rows, labelRow) : Band{icons.top, icons.top};
    const Band legend = BandOf(rows, legendRow);
    for (std::size_t i = 0; i < measures.size(); ++i) {
        // Cell i is segment 1 + 2i: the margin comes first and a gap before every later cell.
        const Band cellColumn = BandOf(columns, static_cast<int>(1 + 2 * i));
        MeterCellRects cell;
        cell.frame = Rect{cellColumn.top, icons.top, cellColumn.bottom, icons.bottom};
        cell.label = CentredOn(cell.frame, measures[i][M::kLabelWidth], labels);
        cell.unit = CentredOn(cell.frame, measures[i][M::kUnitWidth], legend);
        layout.cells.push_back(cell);
    }
    layout.legendX = layout.cells.empty() ? (area.left + area.right) / 2
                                          : (layout.cells.front().frame.left + layout.cells.back().frame.right) / 2;
    layout.legendY = (legend.top + legend.bottom) / 2;
    return layout;
}

}  // namespace meters
