// The graph views: the frequency view's layout, grid and labels, the value maps, clipping of
// far points, and the two curve drawers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/CurveDrawing.h"
#include "dsp_blocks/ui/DrawerGdi.h"
#include "dsp_blocks/ui/DrawerGdiplus.h"
#include "dsp_blocks/ui/VCrossoverFreqGraphView.h"
#include "platform/ui/drawing/Canvas.h"

namespace {

using platform::Canvas;

struct Label {
    std::string text;
    platform::Rect cell;
};

// A frequency view that records its labels and draws the curve points a test gives it.
class ProbeView final : public VFreqGraphView {
public:
    ProbeView() : VFreqGraphView(nullptr) { Layout(platform::Rect{0, 0, 600, 300}); }

    void DrawLabelText(Canvas& canvas, const std::string& text, platform::Rect cell, unsigned flags) override
    {
        labels.push_back({text, cell});
        VFreqGraphView::DrawLabelText(canvas, text, cell, flags);
    }
    void DrawCurves(Canvas& backBuffer) override
    {
        auto drawer = MakeCurveDrawer(*this, backBuffer);
        drawer->SetPen(kCurve, 3);
        drawer->MoveTo(points.front().first, points.front().second);
        for (const auto& [x, y] : points) {
            drawer->LineTo(x, y);
        }
        drawer->Flush();
    }
    using VGraphView::YLinePixel;

    static constexpr platform::ColorRef kCurve = 0x2020C0;
    std::vector<Label> labels;
    std::vector<std::pair<float, float>> points{{20.0f, 0.0f}};
};

platform::ColorRef Pixel(const QImage& image, int x, int y)
{
    return platform::FromArgb32(image.pixel(x, y));
}

class CurveSwitch : public ::testing::Test {
protected:
    ~CurveSwitch() override { SetAntiAliasedCurves(true); }
};

}  // namespace

TEST(FrequencyView, LabelsAreTheDecadesAndTheDbSteps)
{
    ProbeView view;
    std::vector<std::string> texts;
    for (const Label& label : view.labels) {
        texts.push_back(label.text);
    }
    const std::vector<std::string> expected{"20000", "20",    "100", "1000", "10000", "  -18", "  -12", "  -6",
                                            "  0",   "  6",   "  12", "  18"};
    EXPECT_EQ(texts, expected);
    // Each y label is centred on its grid row, right of nothing and left of the plot.
    for (int j = 0; j <= 6; ++j) {
        const platform::Rect& cell = view.labels[5 + static_cast<std::size_t>(j)].cell;
        EXPECT_EQ((cell.top + cell.bottom) / 2, view.YLinePixel(j));
        EXPECT_LT(cell.right, view.PlotRect().left);
    }
}

TEST(FrequencyView, PlotStartsAt25PixelsAndReachesTwentyKilohertzAtItsRightEdge)
{
    ProbeView view;
    EXPECT_EQ(view.X0(), 20.0f);
    EXPECT_EQ(view.XDivisions(), 3);
    EXPECT_GE(view.PlotRect().left, VFreqGraphView::kPlotLeft);
    EXPECT_LE(view.PlotRect().left, VFreqGraphView::kPlotLeft + 4);
    EXPECT_NEAR(view.ValueToPoint(false, 20000.0f, 0.0f).x(), view.PlotRect().right, 0.01);
    EXPECT_EQ(view.XToPixel(false, 20.0f), view.PlotRect().left);
    EXPECT_EQ(view.XToPixel(false, 5.0f), view.PlotRect().left);
    EXPECT_EQ(view.XToPixel(true, 5.0f), 0);
    float x = 0.0f;
    float y = 0.0f;
    view.PixelToValue(view.PlotRect().left - 3, view.PlotRect().bottom + 3, x, y);
    EXPECT_EQ(x, 20.0f);
    EXPECT_EQ(y, -18.0f);
    view.PixelToValue(view.XToPixel(false, 1000.0f), view.PlotRect().top - 1, x, y);
    EXPECT_EQ(view.XToPixel(false, x), view.XToPixel(false, 1000.0f));
    EXPECT_EQ(y, 18.0f);
}

TEST(FrequencyView, GridLinesOfOneHundredAndOneThousandHertzAreInTheGridColour)
{
    ProbeView view;
    const QImage& background = view.Background();
    const int row = view.YLinePixel(1) - view.PlotRect().top + 5;
    for (float frequency : {100.0f, 1000.0f}) {
        const int column = view.XToPixel(true, frequency);
        EXPECT_EQ(Pixel(background, column, row), VGraphView::kMajorGridColour) << frequency;
        EXPECT_EQ(Pixel(background, column - 3, row), VGraphView::kPlotFill) << frequency;
    }
    // The 3-D frame: shadow at the top-left, light at the bottom-right.
    EXPECT_EQ(Pixel(background, 0, 0), VGraphView::kFrameShadow);
    EXPECT_EQ(Pixel(background, background.width() - 1, background.height() - 1), VGraphView::kFrameLight);
}

TEST(FrequencyView, SemiLogAxisFromZeroIsLaidOutFromTen)
{
    VSemiLogGraphView view(nullptr, 0.0f, 1000.0f, 3, 0.0f, 1.0f, 4);
    view.Layout(platform::Rect{0, 0, 400, 200});
    EXPECT_EQ(view.X0(), 10.0f);
    EXPECT_EQ(view.XDivisions(), 2);
    EXPECT_FLOAT_EQ(view.XScale(), static_cast<float>(view.PlotRect().Width()) / 2.0f);
}

TEST_F(CurveSwitch, APointFarBelowTheAxesIsClippedInsideTheFrame)
{
    ProbeView view;
    view.points = {{1000.0f, 0.0f}, {1000.0f, -999.0f}};
    view.RenderBackBuffer();
    const QImage& buffer = view.BackBuffer();
    const int column = view.XToPixel(true, 1000.0f);
    EXPECT_EQ(Pixel(buffer, column, buffer.height() / 2 + 20), ProbeView::kCurve);
    EXPECT_EQ(Pixel(buffer, column, buffer.height() - 2), ProbeView::kCurve);
    EXPECT_EQ(Pixel(buffer, column, buffer.height() - 1), VGraphView::kFrameLight);
}

TEST_F(CurveSwitch, CuttingAFarSpikeChangesNoVisiblePixel)
{
    ProbeView view;
    view.points = {{900.0f, 3.0f}, {1000.0f, -999.0f}, {1100.0f, 2.0f}, {1300.0f, -999.0f}, {1500.0f, 1.0f}};
    view.RenderBackBuffer();
    // The same line drawn whole, without the drawer's cut; the painter's sub-pixel rounding of
    // the far end point moves the smoothed edges by a few levels at most.
    QImage whole = view.Background().copy();
    {
        Canvas canvas(whole);
        canvas.SetDrawMode(platform::DrawMode::AntiAliased);
        canvas.SelectPen(platform::SolidPen(ProbeView::kCurve, 3));
        canvas.SetClipRect(platform::Rect{1, 1, whole.width() - 1, whole.height() - 1});
        std::vector<QPointF> points;
        for (const auto& [x, y] : view.points) {
            points.push_back(view.ValueToPoint(true, x, y));
        }
        canvas.PolylineF(points);
    }
    int differing = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = view.BackBuffer().pixel(x, y);
            const QRgb b = whole.pixel(x, y);
            differing += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                   std::abs(qBlue(a) - qBlue(b))}) > 3;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(CurveSwitch, IntegerDrawerDrawsWholePixelLines)
{
    SetAntiAliasedCurves(false);
    ProbeView view;
    view.points = {{50.5f, 3.3f}, {777.7f, -5.55f}, {3000.0f, 9.9f}};
    view.RenderBackBuffer();
    QImage expected = view.Background().copy();
    {
        Canvas canvas(expected);
        canvas.SelectPen(platform::SolidPen(ProbeView::kCurve, 3));
        canvas.SetClipRect(platform::Rect{1, 1, expected.width() - 1, expected.height() - 1});
        auto whole = [&](float x, float y) {
            const QPointF point = view.ValueToPoint(true, x, y);
            return QPoint(static_cast<int>(point.x()), static_cast<int>(point.y()));
        };
        const QPoint start = whole(view.points.front().first, view.points.front().second);
        canvas.MoveTo(start.x(), start.y());
        for (const auto& [x, y] : view.points) {
            canvas.LineTo(whole(x, y).x(), whole(x, y).y());
        }
    }
    EXPECT_EQ(view.BackBuffer(), expected);
}

TEST_F(CurveSwitch, AntiAliasedDrawerDrawsOnePolylinePerFlushWithSmoothedEdges)
{
    ProbeView view;
    QImage image = view.Background().copy();
    {
        Canvas canvas(image);
        DrawerGdiplus drawer(view, canvas);
        drawer.SetPen(ProbeView::kCurve, 2);
        drawer.MoveTo(30.0f, -10.0f);
        drawer.LineTo(300.0f, 7.3f);
        drawer.LineTo(3000.0f, -2.2f);
        EXPECT_EQ(drawer.PendingPoints(), 3u);
        EXPECT_EQ(drawer.PolylinesDrawn(), 0u);
        drawer.MoveTo(40.0f, 10.0f);  // starts a new line: the first is drawn
        EXPECT_EQ(drawer.PolylinesDrawn(), 1u);
        drawer.LineTo(15000.0f, 12.0f);
        drawer.Flush();
        drawer.Flush();
        EXPECT_EQ(drawer.PolylinesDrawn(), 2u);
        EXPECT_EQ(drawer.PendingPoints(), 0u);
    }
    int blended = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const platform::ColorRef colour = Pixel(image, x, y);
            const platform::ColorRef before = Pixel(view.Background(), x, y);
            blended += colour != before && colour != ProbeView::kCurve;
        }
    }
    EXPECT_GT(blended, 100);
}

TEST_F(CurveSwitch, StartUpFlagChoosesTheDrawer)
{
    ProbeView view;
    QImage image(10, 10, QImage::Format_RGB32);
    Canvas canvas(image);
    EXPECT_NE(dynamic_cast<DrawerGdiplus*>(MakeCurveDrawer(view, canvas).get()), nullptr);
    SetAntiAliasedCurves(false);
    EXPECT_FALSE(AntiAliasedCurves());
    EXPECT_NE(dynamic_cast<DrawerGdi*>(MakeCurveDrawer(view, canvas).get()), nullptr);
}

TEST(CrossoverGraph, RecomputesOnlyWhenTheSectionsChange)
{
    DiagramBlock block;
    block.type = BlockType::Crossover;
    CCrossoverController controller(block);
    ASSERT_TRUE(controller.Load());
    VCrossoverFreqGraphView view(nullptr);
    view.SetSections(controller.GetSections().data(), controller.GetSections().size());
    EXPECT_EQ(view.Recompute(), CCrossoverController::kSectionCount);
    view.SetSections(controller.GetSections().data(), controller.GetSections().size());
    EXPECT_EQ(view.Recompute(), 0u);
    ASSERT_TRUE(controller.SetFilter(0, CrossoverFilter{4, 500.0f}, true));
    view.SetSections(controller.GetSections().data(), controller.GetSections().size());
    EXPECT_EQ(view.Recompute(), 2u);
    EXPECT_EQ(view.Model().Combined().response.size(), ResponseModel::kViewGridSize);
}
