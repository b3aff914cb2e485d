// The frequency-response graph of the panels: 20 Hz to 20 kHz on a log axis against -18 to
// +18 dB in 6 divisions, the plot's left edge at 25 pixels.
#pragma once

#include "dsp_blocks/ui/VSemiLogGraphView.h"

class VFreqGraphView : public VSemiLogGraphView {
    Q_OBJECT

public:
    static constexpr float kMinFrequency = 20.0f;
    static constexpr float kMaxFrequency = 20000.0f;
    static constexpr int kDecades = 4;
    static constexpr float kMinDb = -18.0f;
    static constexpr float kMaxDb = 18.0f;
    static constexpr int kDbDivisions = 6;
    static constexpr int kPlotLeft = 25;

    explicit VFreqGraphView(QWidget* parent);

protected:
    // The semi-log layout with the plot's left edge at 25 pixels (further right only when a
    // y label would not fit), the scale taken from the final edges so that curves, grid and
    // labels agree and 20 kHz lies on the right edge.
    void ComputeLayout(const platform::Rect& rect) override;
};
