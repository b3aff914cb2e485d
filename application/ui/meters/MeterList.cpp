// The meter list.
#include "application/ui/meters/MeterList.h"

#include <algorithm>

#include <QString>

#include "application/ui/meters/MeterImages.h"
#include "platform/ui/drawing/BitmapAlpha.h"
#include "platform/ui/drawing/SystemColors.h"
#include "resources/images/ImageIds.h"

namespace {

using platform::Rect;

constexpr char kInputUnit[] = "dBFS";

}  // namespace

MeterList::MeterList(std::uint32_t inputCount, std::uint32_t outputCount)
    : m_inputCount(inputCount), m_outputCount(outputCount)
{
    Build();
}

MeterList::~MeterList() = default;

void MeterList::Build()
{
    m_cells.reserve(static_cast<std::size_t>(m_inputCount) + m_outputCount);
    for (std::uint32_t n = 1; n <= m_inputCount; ++n) {
        auto meter = std::make_unique<Meter>(n, m_inputCount);
        meter->SetLabel("In " + std::to_string(n));
        meter->SetUnit(kInputUnit);
        m_cells.push_back(std::move(meter));
    }
    for (std::uint32_t n = 1; n <= m_outputCount; ++n) {
        auto limiter = std::make_unique<Limiter>(n, m_outputCount);
        limiter->SetLabel("Out " + std::to_string(n));
        m_cells.push_back(std::move(limiter));
    }
    if (!m_cells.empty()) {
        m_cells.front()->SetShowScale(true);
    }
    if (m_inputCount < m_cells.size()) {
        m_cells[m_inputCount]->SetShowScale(true);
    }
}

void MeterList::Layout(bool outputs, const Rect& rect, platform::Canvas& dc)
{
    const std::size_t first = outputs ? m_inputCount : 0;
    const std::size_t end = outputs ? m_cells.size() : m_inputCount;
    std::vector<meters::MeterMeasure> measures;
    for (std::size_t i = first; i < end; ++i) {
        measures.push_back(m_cells[i]->Measure(dc));
    }
    const meters::MeterUnits units = meters::MeasureMeterUnits(dc);
    if (outputs) {
        const meters::OutputLayout layout = meters::LayOutOutputCells(measures, rect, units.u, units.h);
        for (std::size_t i = 0; i < layout.cells.size(); ++i) {
            m_cells[first + i]->SetRects(layout.cells[i]);
        }
        m_legendX = layout.legendX;
        m_legendY = layout.legendY;
        m_outputsLaidOut = true;
    } else {
        const meters::InputLayout layout = meters::LayOutInputCells(measures, rect, units.u, units.h);
        for (std::size_t i = 0; i < layout.cells.size(); ++i) {
            m_cells[first + i]->SetRects(layout.cells[i]);
        }
    }
}

void MeterList::DrawAll(platform::Canvas& dc)
{
    for (const auto& cell : m_cells) {
        cell->Draw(dc);
    }
}

void MeterList::DrawInputs(platform::Canvas& dc)
{
    for (std::uint32_t i = 0; i < m_inputCount; ++i) {
        m_cells[i]->Draw(dc);
    }
}

void MeterList::DrawOutputs(platform::Canvas& dc)
{
    for (std::size_t i = m_inputCount; i < m_cells.size(); ++i) {
        m_cells[i]->Draw(dc);
    }
}

Rect MeterList::LegendButtonRect() const
{
    const QImage& button = meters::MeterImage(ImageId::kLegendButton);
    if (!m_outputsLaidOut || button.isNull()) {
        return Rect{};
    }
    const std::int32_t left = (2 * m_legendX - button.width()) / 2;
    const std::int32_t top = (2 * m_legendY - button.height()) / 2;
    return platform::RectFromSize(left, top, button.width(), button.height());
}

void MeterList::DrawOutputsWithLegend(platform::Canvas& dc)
{
    DrawOutputs(dc);
    Rect button = LegendButtonRect();
    if (button.IsEmpty()) {
        return;
    }
    platform::DrawBitmapAlpha(dc, button.left, button.top, button.Width(), button.Height(),
                              meters::MeterImage(ImageId::kLegendButton), 0, 0);
    dc.SetBkMode(platform::BackgroundMode::Transparent);
    dc.SetTextColor(platform::SysColor::kButtonText);
    dc.DrawText(QString::fromLatin1(kLegendText), button,
                platform::TextFlag::kCenter | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine |
                    platform::TextFlag::kNoPrefix);
}

void MeterList::SetInputLevels(platform::Canvas& dc, std::span<const float> levels, std::vector<Rect>& drawn)
{
    const std::size_t count = std::min<std::size_t>(levels.size(), m_inputCount);
    for (std::size_t i = 0; i < count; ++i) {
        const Rect rect = m_cells[i]->SetLevel(dc, levels[i]);
        if (!rect.IsEmpty()) {
            drawn.push_back(rect);
        }
    }
}

void MeterList::SetOutputStates(platform::Canvas& dc, std::span<const std::uint16_t> states,
                                std::vector<Rect>& drawn)
{
    const std::size_t count = std::min<std::size_t>(states.size(), m_outputCount);
    for (std::size_t i = 0; i < count; ++i) {
        const Rect rect = m_cells[m_inputCount + i]->SetState(dc, states[i]);
        if (!rect.IsEmpty()) {
            drawn.push_back(rect);
        }
    }
}

void MeterList::SetStyle(std::uint32_t style)
{
    for (const auto& cell : m_cells) {
        cell->SetStyle(style);
    }
}

void MeterList::SetBackground(const QImage* background)
{
    for (std::uint32_t i = 0; i < m_outputCount; ++i) {
        Output(i).SetBackground(background);
    }
}
