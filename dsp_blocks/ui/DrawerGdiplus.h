// The anti-aliased curve drawer: value points keep their fractions and are gathered into one
// polyline, drawn as one smoothed stroke at each Flush (and at each MoveTo, which starts a
// new one). The default drawer. Parts of the line far above or below the plot (a notch's
// spike to -999 dB lies tens of thousands of pixels down) are cut at a band just outside
// it: smoothing such lengths costs the painter orders of magnitude more, and the cut ends
// meet along the band's edge, out of sight.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QPointF>

#include "dsp_blocks/filters/DrawHelper.h"
#include "platform/ui/drawing/Canvas.h"

class VGraphView;

class DrawerGdiplus final : public DrawHelper {
public:
    DrawerGdiplus(const VGraphView& view, platform::Canvas& canvas);
    // Flushes, then puts back the canvas's pen and draw mode.
    ~DrawerGdiplus() override;
    DrawerGdiplus(const DrawerGdiplus&) = delete;
    DrawerGdiplus& operator=(const DrawerGdiplus&) = delete;

    void SetPen(std::uint32_t colour, std::int32_t width) override;
    void MoveTo(float x, float y) override;
    void LineTo(float x, float y) override;
    void Flush() override;

    // Points gathered since the last flush, and polylines drawn so far.
    std::size_t PendingPoints() const { return points_.size(); }
    std::size_t PolylinesDrawn() const { return polylines_; }

private:
    // Appends the part of the segment from last_ to point that lies within the band.
    void AppendVisible(QPointF point);

    const VGraphView& view_;
    platform::Canvas& canvas_;
    bool inBackBuffer_;
    double bandTop_;
    double bandBottom_;
    QPointF last_;
    std::vector<QPointF> points_;
    std::size_t polylines_ = 0;
    platform::Pen previousPen_;
    platform::DrawMode previousMode_;
};
