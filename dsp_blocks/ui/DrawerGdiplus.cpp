#include "dsp_blocks/ui/DrawerGdiplus.h"

#include "dsp_blocks/ui/VGraphView.h"

DrawerGdiplus::DrawerGdiplus(const VGraphView& view, platform::Canvas& canvas)
    : view_(view),
      canvas_(canvas),
      inBackBuffer_(view.IsBackBuffer(canvas)),
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
    points_.push_back(view_.ValueToPoint(inBackBuffer_, x, y));
}

void DrawerGdiplus::LineTo(float x, float y)
{
    points_.push_back(view_.ValueToPoint(inBackBuffer_, x, y));
}

void DrawerGdiplus::Flush()
{
    if (points_.size() >= 2) {
        canvas_.PolylineF(points_);
        ++polylines_;
    }
    points_.clear();
}
