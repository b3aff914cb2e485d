// The level meter cell.
#include "application/ui/meters/Meter.h"

#include <cstdio>

#include <QString>

#include "application/ui/meters/MeterScale.h"
#include "dsp_blocks/ui/GradientFills.h"

namespace {

using platform::Rect;
namespace M = meters::MeasureIndex;

// The widest scale number: -88.8 formatted as the numbers are.
constexpr char kWidestScaleNumber[] = "-89";
// The text whose width sets the layout unit.
constexpr char kUnitSample[] = "MCW";

constexpr unsigned kTextFlags = platform::TextFlag::kSingleLine | platform::TextFlag::kNoPrefix;

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

meters::MeterUnits meters::MeasureMeterUnits(platform::Canvas& dc)
{
    const QSize sample = dc.TextExtent(QString::fromLatin1(kUnitSample));
    return MeterUnits{(sample.width() + 2) / 3, sample.height()};
}

Meter::Meter(std::uint32_t index, std::uint32_t count)
    : m_index(index), m_count(count), m_level(meters::kDetachedLevelDb)
{
}

Meter::~Meter() = default;

void Meter::SetStyle(std::uint32_t style)
{
    if (style != m_style) {
        m_style = style;
        // The zones are painted into the image, so it has to be made again.
        m_barImage = QImage();
        m_drawnUnlitRows = -1;
    }
}

std::int32_t Meter::RowOf(float level) const
{
    return meters::LevelToRow(level, m_barRect.top, m_barRect.bottom, meters::kRangeTopDb, meters::kRangeFloorDb);
}

meters::MeterMeasure Meter::Measure(platform::Canvas& dc) const
{
    meters::MeterMeasure measure{};
    const std::int32_t u = meters::MeasureMeterUnits(dc).u;
    if (m_showScale != 0) {
        const QSize scale = dc.TextExtent(QString::fromLatin1(kWidestScaleNumber));
        measure[M::kScaleWidth] = scale.width();
        measure[M::kScaleHeight] = scale.height();
    }
    measure[M::kTickWidth] = u >= 3 ? u : 2;
    measure[M::kTickMinWidth] = 3 * u >= 12 ? 3 * u / 4 : 2;
    measure[M::kFrameWidth] = 6 * u / 4;
    measure[M::kFrameMinWidth] = u;
    const QSize label = dc.TextExtent(ToQString(m_label));
    measure[M::kLabelWidth] = label.width();
    measure[M::kLabelHeight] = label.height();
    if ((m_style & MeterStyle::kUnitText) != 0) {
        const QSize unit = dc.TextExtent(ToQString(m_unit));
        measure[M::kUnitWidth] = unit.width();
        measure[M::kUnitHeight] = unit.height();
    }
    return measure;
}

void Meter::SetRects(const meters::MeterCellRects& rects)
{
    m_labelRect = rects.label;
    m_tickRect = rects.tick;
    m_scaleTextRect = rects.scaleText;
    m_frameRect = rects.frame;
    m_unitRect = rects.unit;
    m_barRect = m_frameRect.Deflated(kBarInset, kBarInset);
    for (int i = 0; i < 4; ++i) {
        m_zoneRows[i] = RowOf(kZoneLevels[i]);
    }
    m_barImage = QImage();
    m_drawnUnlitRows = -1;
}

void Meter::BuildBarImage()
{
    if (m_barRect.IsEmpty()) {
        return;
    }
    // A fresh image is black, as a new bitmap's zeroed bits are.
    m_barImage = QImage(m_barRect.Width(), m_barRect.Height(), QImage::Format_RGB32);
    m_barImage.fill(0xFF000000u);
    if ((m_style & MeterStyle::kColourZones) == 0) {
        return;
    }
    // Image row r shows on bar row barTop + r, so each zone starts on its own level's row.
    const int width = m_barImage.width();
    std::int32_t edges[4];
    for (int i = 0; i < 4; ++i) {
        edges[i] = m_zoneRows[i] - m_barRect.top;
    }
    platform::Canvas canvas(m_barImage);
    canvas.FillSolidRect(Rect{0, 0, width, edges[0]}, kZoneRed);
    FillGradient(&canvas, Rect{0, edges[0], width, edges[1]}, kZoneYellow, kZoneRed, true);
    canvas.FillSolidRect(Rect{0, edges[1], width, edges[2]}, kZoneYellow);
    FillGradient(&canvas, Rect{0, edges[2], width, edges[3]}, kZoneGreen, kZoneYellow, true);
    canvas.FillSolidRect(Rect{0, edges[3], width, m_barImage.height()}, kZoneGreen);
}

std::int32_t Meter::UnlitRows() const
{
    return meters::UnlitRows(m_level, m_barRect.top, m_barRect.bottom, meters::kRangeTopDb, meters::kRangeFloorDb);
}

void Meter::DrawBar(platform::Canvas& dc)
{
    if (m_barRect.IsEmpty()) {
        return;
    }
    if (m_barImage.isNull()) {
        BuildBarImage();
    }
    const std::int32_t unlit = UnlitRows();
    dc.FillSolidRect(Rect{m_barRect.left, m_barRect.top, m_barRect.right, m_barRect.top + unlit}, kUnlitColour);
    dc.DrawImage(m_barRect.left, m_barRect.top + unlit, m_barImage, 0, unlit, m_barRect.Width(),
                 m_barRect.Height() - unlit);
    m_drawnUnlitRows = unlit;
}

Rect Meter::SetLevel(platform::Canvas& dc, float level)
{
    m_level = level;
    const std::int32_t unlit = UnlitRows();
    if (m_barRect.IsEmpty() || unlit == m_drawnUnlitRows) {
        return Rect{};
    }
    DrawBar(dc);
    return m_barRect;
}

Rect Meter::SetState(platform::Canvas&, std::uint16_t)
{
    return Rect{};
}

void Meter::Draw(platform::Canvas& dc)
{
    if (m_barImage.isNull()) {
        BuildBarImage();
    }
    dc.Draw3dRect(m_frameRect, kFrameShadow, kFrameHighlight);

    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SetTextColor(kLabelColour);
    Rect labelRect = m_labelRect;
    dc.DrawText(m_label, labelRect, platform::TextFlag::kCenter | platform::TextFlag::kNoClip | kTextFlags);
    if ((m_style & MeterStyle::kUnitText) != 0) {
        Rect unitRect = m_unitRect;
        dc.DrawText(m_unit, unitRect, platform::TextFlag::kCenter | platform::TextFlag::kNoClip | kTextFlags);
    }

    constexpr std::int32_t kDivisions = meters::kScaleDivisions;
    const platform::Pen previousPen = dc.SelectPen(platform::SolidPen(kTickColour));
    for (std::int32_t i = 0; i <= kDivisions; ++i) {
        const float value = (static_cast<float>(kDivisions - i) * meters::kRangeTopDb +
                             static_cast<float>(i) * meters::kRangeFloorDb) /
                            static_cast<float>(kDivisions);
        const std::int32_t y = RowOf(value);
        dc.MoveTo(m_tickRect.left, y);
        dc.LineTo(m_tickRect.right - 1, y);
        if (m_showScale != 0) {
            char text[16];
            std::snprintf(text, sizeof(text), "%.0f", static_cast<double>(value));
            Rect cell{m_scaleTextRect.left, y - kScaleTextReach, m_scaleTextRect.right, y + kScaleTextReach};
            dc.DrawText(QString::fromLatin1(text), cell,
                        platform::TextFlag::kRight | platform::TextFlag::kVCenter | platform::TextFlag::kNoClip |
                            kTextFlags);
        }
    }
    dc.SelectPen(previousPen);

    DrawBar(dc);
}
