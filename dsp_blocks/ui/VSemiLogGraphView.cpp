#include "dsp_blocks/ui/VSemiLogGraphView.h"

#include <cmath>

using platform::Canvas;
using platform::ColorRef;
using platform::Rect;

namespace {

// Each decade has lines at 1 x, 2 x ... 9 x its power of ten.
constexpr int kLinesPerDecade = 9;

}  // namespace

VSemiLogGraphView::VSemiLogGraphView(QWidget* parent, float x0, float x1, int decades, float y0, float y1,
                                     int yDivisions)
    : VGraphView(parent, x0, x1, decades, y0, y1, yDivisions)
{
}

void VSemiLogGraphView::ComputeLayout(const Rect& rect)
{
    VGraphView::ComputeLayout(rect);
    if (x0_ == 0.0f) {
        x0_ = 10.0f;
    }
    if (x0_ >= x1_) {
        x1_ = x1_ * 10.0f;
    }
    ComputeDecadeScale();
}

void VSemiLogGraphView::ComputeDecadeScale()
{
    const double decades = std::log10(static_cast<double>(x1_) / x0_);
    xDivisions_ = std::isfinite(decades) ? static_cast<int>(decades) : 0;
    xScale_ = std::isfinite(decades) && decades > 0.0 ? static_cast<float>(plotRect_.Width() / decades) : 0.0f;
}

void VSemiLogGraphView::DrawGrid(Canvas& canvas, ColorRef majorColour, ColorRef minorColour)
{
    const platform::Pen previous = canvas.SelectPen(platform::SolidPen(majorColour));
    const double logX0 = std::log10(static_cast<double>(x0_));
    // The pixel of the decade at or below x0.
    double start = (std::trunc(logX0) - logX0) * xScale_ + plotRect_.left;
    for (int decade = 0; decade <= xDivisions_ && xScale_ > 0.0f; ++decade) {
        for (int k = 1; k <= kLinesPerDecade; ++k) {
            const double x = start + std::log10(static_cast<double>(k)) * xScale_;
            if (x >= plotRect_.right) {
                break;
            }
            if (x > plotRect_.left) {
                const int column = static_cast<int>(SafeCoordinate(x));
                canvas.SelectPen(platform::SolidPen(k == 1 ? majorColour : minorColour));
                canvas.MoveTo(column, plotRect_.bottom - 2);
                canvas.LineTo(column, plotRect_.top + 1);
            }
        }
        start += xScale_;
    }
    canvas.SelectPen(platform::SolidPen(majorColour));
    DrawYGridLines(canvas);
    canvas.SelectPen(previous);
}

void VSemiLogGraphView::DrawXLabels(Canvas& canvas, int top)
{
    DrawCentredLabel(canvas, XLabelText(x1_), plotRect_.right, top);
    DrawCentredLabel(canvas, XLabelText(x0_), plotRect_.left, top);
    // The powers of ten strictly between the ends.
    double power = 10.0;
    while (x0_ > power) {
        power *= 10.0;
    }
    while (x1_ > power) {
        DrawCentredLabel(canvas, XLabelText(static_cast<float>(power)), XToPixel(false, static_cast<float>(power)), top);
        power *= 10.0;
    }
}

int VSemiLogGraphView::XToPixel(bool inBackBuffer, float x) const
{
    const int offset = inBackBuffer ? 0 : plotRect_.left;
    if (x <= x0_) {
        return offset;
    }
    return static_cast<int>(SafeCoordinate(std::log10(static_cast<double>(x) / x0_) * xScale_)) + offset;
}

QPointF VSemiLogGraphView::ValueToPoint(bool inBackBuffer, float x, float y) const
{
    // A frequency at or below 0 lies infinitely far left.
    double px = x > 0.0f ? std::log10(static_cast<double>(x) / x0_) * xScale_ : -1.0e300;
    double py = plotRect_.Height() - (static_cast<double>(y) - y0_) * yScale_;
    if (!inBackBuffer) {
        px += plotRect_.left;
        py += plotRect_.top;
    }
    return QPointF(SafeCoordinate(px), SafeCoordinate(py));
}

void VSemiLogGraphView::PixelToValue(int px, int py, float& x, float& y) const
{
    if (px <= plotRect_.left || xScale_ == 0.0f) {
        x = px <= plotRect_.left ? x0_ : x1_;
    } else if (px < plotRect_.right) {
        x = static_cast<float>(x0_ * std::pow(10.0, static_cast<double>(px - plotRect_.left) / xScale_));
    } else {
        x = x1_;
    }
    if (py <= plotRect_.top) {
        y = y1_;
    } else if (py < plotRect_.bottom && yScale_ != 0.0f) {
        y = y0_ + static_cast<float>(plotRect_.bottom - py) / yScale_;
    } else {
        y = y0_;
    }
}
