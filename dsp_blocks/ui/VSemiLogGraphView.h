// A graph view with a logarithmic x axis: xDivisions counts decades and xScale is in pixels
// per decade. The grid has a line at every 1..9 multiple of each decade (the decade lines
// in the major colour), the x labels are the ends and the powers of ten between them.
#pragma once

#include "dsp_blocks/ui/VGraphView.h"

class VSemiLogGraphView : public VGraphView {
    Q_OBJECT

public:
    VSemiLogGraphView(QWidget* parent, float x0, float x1, int decades, float y0, float y1, int yDivisions);

    void DrawGrid(platform::Canvas& canvas, platform::ColorRef majorColour, platform::ColorRef minorColour) override;
    int XToPixel(bool inBackBuffer, float x) const override;
    void PixelToValue(int px, int py, float& x, float& y) const override;
    QPointF ValueToPoint(bool inBackBuffer, float x, float y) const override;

protected:
    // The linear layout, then: x0 = 0 becomes 10, x1 at or below x0 becomes x1 x 10, the
    // decades are the whole decades between them and xScale the pixels per decade.
    void ComputeLayout(const platform::Rect& rect) override;
    // Pixels per decade from the plot's current edges.
    void ComputeDecadeScale();
    // The two ends, then every power of ten between them.
    void DrawXLabels(platform::Canvas& canvas, int top) override;
};
