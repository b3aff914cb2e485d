#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include "dsp_blocks/ui/VCrossoverFreqGraphView.h"
#include "tests/support/ScreenShot.h"

TEST(GraphScratch, Look)
{
    VCrossoverFreqGraphView view(nullptr);
    view.resize(600, 300);
    view.RenderBackBuffer();
    QImage image(600, 300, QImage::Format_RGB32);
    image.fill(0xFFE6E6E6);
    QPainter painter(&image);
    view.PaintTo(painter, image.rect());
    painter.end();
    image.save("/tmp/h19-graph.png");
    printf("plot %d %d %d %d scale %f\n", view.PlotRect().left, view.PlotRect().top, view.PlotRect().right, view.PlotRect().bottom, view.XScale());
}
