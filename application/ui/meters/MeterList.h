// The cells of the meter view: one level meter per input and one indicator per output of
// the design, measured and laid out in a rectangle, drawn whole or cell by cell as new
// levels and states arrive, and the legend button under the outputs.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "application/ui/meters/Limiter.h"
#include "application/ui/meters/Meter.h"
#include "platform/ui/drawing/Canvas.h"

class MeterList {
public:
    static constexpr char kLegendText[] = "Legend";

    // Builds the cells: inputs 1..inputCount ("In n", "dBFS"), then outputs 1..outputCount
    // ("Out n", state 0); the first cell and the first output show the scale.
    MeterList(std::uint32_t inputCount, std::uint32_t outputCount);
    ~MeterList();
    MeterList(const MeterList&) = delete;
    MeterList& operator=(const MeterList&) = delete;

    // Measures the inputs (outputs false) or the outputs and lays them out in `rect`, in the
    // font selected in dc.
    void Layout(bool outputs, const platform::Rect& rect, platform::Canvas& dc);

    void DrawAll(platform::Canvas& dc);
    void DrawInputs(platform::Canvas& dc);
    void DrawOutputs(platform::Canvas& dc);
    void DrawOutputsWithLegend(platform::Canvas& dc);

    // Level i (dB) goes to input i, state i to output i; each cell draws what changed at
    // once and its rectangle is added to `drawn`.
    void SetInputLevels(platform::Canvas& dc, std::span<const float> levels, std::vector<platform::Rect>& drawn);
    void SetOutputStates(platform::Canvas& dc, std::span<const std::uint16_t> states,
                         std::vector<platform::Rect>& drawn);

    // The style word of every cell (MeterStyle bits).
    void SetStyle(std::uint32_t style);
    // What lies under the output cells, for redrawing an indicator on its own.
    void SetBackground(const QImage* background);

    std::uint32_t InputCount() const { return m_inputCount; }
    std::uint32_t OutputCount() const { return m_outputCount; }
    Meter& Input(std::uint32_t i) const { return *m_cells[i]; }
    Limiter& Output(std::uint32_t i) const { return static_cast<Limiter&>(*m_cells[m_inputCount + i]); }
    std::int32_t LegendX() const { return m_legendX; }
    std::int32_t LegendY() const { return m_legendY; }
    // Where the legend button is drawn (empty until the outputs are laid out or without the
    // button's image).
    platform::Rect LegendButtonRect() const;

private:
    void Build();

    std::uint32_t m_inputCount;
    std::uint32_t m_outputCount;
    std::vector<std::unique_ptr<Meter>> m_cells;  // inputs, then outputs
    std::int32_t m_legendX = 0;
    std::int32_t m_legendY = 0;
    bool m_outputsLaidOut = false;
};
