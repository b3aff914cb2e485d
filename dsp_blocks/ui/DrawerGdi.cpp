#include "dsp_blocks/ui/DrawerGdi.h"

#include "dsp_blocks/ui/VGraphView.h"

DrawerGdi::DrawerGdi(const VGraphView& view, platform::Canvas& canvas)
    : view_(view), canvas_(canvas), inBackBuffer_(view.IsBackBuffer(canvas))
{
}

DrawerGdi::~DrawerGdi()
{
    if (penSelected_) {
        canvas_.SelectPen(previousPen_);
    }
}

void DrawerGdi::SetPen(std::uint32_t colour, std::int32_t width)
{
    const platform::Pen previous = canvas_.SelectPen(platform::SolidPen(colour, width));
    if (!penSelected_) {
        previousPen_ = previous;
        penSelected_ = true;
    }
}

QPoint DrawerGdi::Map(float x, float y) const
{
    const QPointF point = view_.ValueToPoint(inBackBuffer_, x, y);
    return QPoint(static_cast<int>(point.x()), static_cast<int>(point.y()));
}

void DrawerGdi::MoveTo(float x, float y)
{
    const QPoint point = Map(x, y);
    canvas_.MoveTo(point.x(), point.y());
}

void DrawerGdi::LineTo(float x, float y)
{
    const QPoint point = Map(x, y);
    canvas_.LineTo(point.x(), point.y());
}

void DrawerGdi::Flush() {}
