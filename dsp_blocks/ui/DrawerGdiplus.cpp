#include "dsp_blocks/ui/DrawerGdiplus.h"

#include <algorithm>

#include "dsp_blocks/ui/VGraphView.h"

namespace {

// How far outside the plot the band reaches: wider than any curve pen, so nothing drawn on
// its edge shows inside the plot.
constexpr double kBandMargin = 16.0;

bool Within(double y, double top, double bottom)
{
    return y >= top && y <= bottom;
}

// The point of the segment a-b at height y (a.y != b.y).
QPointF AtHeight(QPointF a, QPointF b, double y)
{
    return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
}

}  // namespace

DrawerGdiplus::DrawerGdiplus(const VGraphView& view, platform::Canvas& canvas)
    : view_(view),
      canvas_(canvas),
      inBackBuffer_(view.IsBackBuffer(canvas)),
      bandTop_((inBackBuffer_ ? 0 : view.PlotRect().top) - kBandMargin),
      bandBottom_((inBackBuffer_ ? view.PlotRect().Height() : view.PlotRect().bottom) + kBandMargin),
      previousPen_(canvas.CurrentPen()),
      previousMode_(canvas.SetDrawMode(platform::DrawMode::AntiAliased))
{
}

DrawerGdiplus::~DrawerGdiplus()
{
    Flush();
    canvas_.SelectPen(previousPen_);
    canvas_.SetDrawMode(previousMode_);
}

void DrawerGdiplus::SetPen(std::uint32_t colour, std::int32_t width)
{
    canvas_.SelectPen(platform::SolidPen(colour, width));
}

void DrawerGdiplus::MoveTo(float x, float y)
{
    Flush();
    last_ = view_.ValueToPoint(inBackBuffer_, x, y);
    if (Within(last_.y(), bandTop_, bandBottom_)) {
        points_.push_back(last_);
    }
}

void DrawerGdiplus::LineTo(float x, float y)
{
    AppendVisible(view_.ValueToPoint(inBackBuffer_, x, y));
}

void DrawerGdiplus::AppendVisible(QPointF point)
{
    const QPointF from = last_;
    last_ = point;
    QPointF start = from;
    QPointF end = point;
    for (QPointF* end_point : {&start, &end}) {
        if (end_point->y() < bandTop_ || end_point->y() > bandBottom_) {
            const double edge = end_point->y() < bandTop_ ? bandTop_ : bandBottom_;
            if (Within(edge, std::min(from.y(), point.y()), std::max(from.y(), point.y())) && from.y() != point.y()) {
                *end_point = AtHeight(from, point, edge);
            } else {
                return;  // the whole segment lies beyond one edge
            }
        }
    }
    if (points_.empty() || points_.back() != start) {
        points_.push_back(start);
    }
    points_.push_back(end);
}

void DrawerGdiplus::Flush()
{
    if (points_.size() >= 2) {
        canvas_.PolylineF(points_);
        ++polylines_;
    }
    points_.clear();
}
