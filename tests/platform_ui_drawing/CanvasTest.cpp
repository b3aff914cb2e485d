// Canvas pixels: fills, gradients, frames, lines and shapes, clipping, painter hand-over.
#include <set>
#include <string>

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"

using namespace platform;

namespace {

QImage Blank(int width = 40, int height = 30, ColorRef colour = 0xFFFFFF)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ToArgb32(colour));
    return image;
}

ColorRef At(const QImage& image, int x, int y)
{
    return FromArgb32(image.pixel(x, y));
}

// Pixels of the image that are not `background`, as 'x' / '.' rows.
std::string Pattern(const QImage& image, const Rect& area, ColorRef background = 0xFFFFFF)
{
    std::string rows;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            rows += At(image, x, y) == background ? '.' : 'x';
        }
        rows += '\n';
    }
    return rows;
}

}  // namespace

TEST(CanvasColours, ColorRefKeepsRedInTheLowByte)
{
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(ToArgb32(0x563412), 0xFF123456u);
    EXPECT_EQ(FromArgb32(0x80123456), 0x563412u);
    EXPECT_EQ(FromQColor(ToQColor(0x20E020)), 0x20E020u);
}

TEST(CanvasFills, SolidFillCoversExactlyTheRectangleAndHollowFillsNothing)
{
    QImage image = Blank(8, 6);
    {
        Canvas canvas(image);
        canvas.FillSolidRect(Rect{1, 1, 4, 3}, 0x0000FF);
        canvas.FillRect(Rect{0, 0, 8, 6}, StockBrush::kHollow);
        canvas.FillSolidRect(Rect{6, 4, 5, 5}, 0x000000);  // inverted: nothing
    }
    EXPECT_EQ(Pattern(image, Rect{0, 0, 8, 6}), "........\n.xxx....\n.xxx....\n........\n........\n........\n");
    EXPECT_EQ(At(image, 1, 1), 0x0000FFu);
}

TEST(CanvasFills, GradientEndsAreExactAndStepsTruncate)
{
    QImage image = Blank(5, 11);
    {
        Canvas canvas(image);
        canvas.GradientFill(Rect{0, 0, 5, 11}, 0xE6E6E6, 0xFFFFFF, GradientDirection::Vertical);
    }
    EXPECT_EQ(At(image, 0, 0), 0xE6E6E6u);
    EXPECT_EQ(At(image, 4, 10), 0xFFFFFFu);
    // 0xE6 + (0xFF - 0xE6) * 3 / 10 = 230 + 7 (7.5 truncated).
    EXPECT_EQ(At(image, 2, 3), Rgb(237, 237, 237));
    EXPECT_EQ(GradientStep(0x0000FF, 0x03FAFF, 1, 3), Rgb(255, 125, 1));
    EXPECT_EQ(GradientStep(0x123456, 0x654321, 0, 1), 0x123456u);

    QImage wide = Blank(7, 2);
    {
        Canvas canvas(wide);
        canvas.GradientFill(Rect{0, 0, 7, 2}, 0x0000FF, 0xFF0000, GradientDirection::Horizontal);
    }
    EXPECT_EQ(At(wide, 0, 1), 0x0000FFu);
    EXPECT_EQ(At(wide, 6, 0), 0xFF0000u);
    EXPECT_EQ(At(wide, 3, 0), Rgb(128, 0, 127));  // 255 - 255*3/6 = 128 (127.5 truncated toward 255)
}

TEST(CanvasFrames, Draw3dRectGivesTheCornersToTheBottomRightColour)
{
    QImage image = Blank(6, 5);
    {
        Canvas canvas(image);
        canvas.Draw3dRect(Rect{0, 0, 6, 5}, 0x808080, 0x0000FF);
    }
    EXPECT_EQ(At(image, 0, 0), 0x808080u);
    EXPECT_EQ(At(image, 4, 0), 0x808080u);
    EXPECT_EQ(At(image, 5, 0), 0x0000FFu);  // top-right corner
    EXPECT_EQ(At(image, 0, 3), 0x808080u);
    EXPECT_EQ(At(image, 0, 4), 0x0000FFu);  // bottom-left corner
    EXPECT_EQ(At(image, 5, 4), 0x0000FFu);
    EXPECT_EQ(At(image, 2, 2), 0xFFFFFFu);
}

TEST(CanvasFrames, FocusRectDotsEveryOtherPixelAndASecondDrawRemovesIt)
{
    QImage image = Blank(7, 5);
    {
        Canvas canvas(image);
        canvas.DrawFocusRect(Rect{0, 0, 7, 5});
    }
    EXPECT_EQ(Pattern(image, Rect{0, 0, 7, 5}), "x.x.x.x\n.......\nx.....x\n.......\nx.x.x.x\n");
    EXPECT_EQ(At(image, 0, 0), 0x000000u);
    {
        Canvas canvas(image);
        canvas.DrawFocusRect(Rect{0, 0, 7, 5});
    }
    EXPECT_EQ(image, Blank(7, 5));
}

TEST(CanvasFrames, SunkenEdgeUsesTheFourSystemColoursAndReturnsTheInside)
{
    QImage image = Blank(8, 8, SysColor::kButtonFace);
    Rect inside;
    {
        Canvas canvas(image);
        inside = canvas.DrawSunkenEdge(Rect{0, 0, 8, 8});
    }
    EXPECT_EQ(inside, (Rect{2, 2, 6, 6}));
    EXPECT_EQ(At(image, 3, 0), SysColor::kButtonShadow);
    EXPECT_EQ(At(image, 3, 1), SysColor::k3dDarkShadow);
    EXPECT_EQ(At(image, 7, 3), SysColor::kButtonHighlight);
    EXPECT_EQ(At(image, 6, 3), SysColor::k3dLight);
    EXPECT_EQ(At(image, 3, 3), SysColor::kButtonFace);
}

TEST(CanvasShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    QImage image = Blank(6, 5);
    {
        Canvas canvas(image);
        canvas.SelectPen(SolidPen(0x000000));
        canvas.SelectBrush(SolidBrush(0x00FF00));
        canvas.Rectangle(Rect{0, 0, 5, 4});
        canvas.SelectPen(StockPen::kNull);
        canvas.SelectBrush(SolidBrush(0x0000FF));
        canvas.Rectangle(Rect{5, 4, 6, 5});  // the null pen: the brush fills the whole rectangle
    }
    EXPECT_EQ(At(image, 0, 0), 0x000000u);
    EXPECT_EQ(At(image, 4, 3), 0x000000u);
    EXPECT_EQ(At(image, 5, 3), 0xFFFFFFu);
    EXPECT_EQ(At(image, 2, 2), 0x00FF00u);
    EXPECT_EQ(At(image, 5, 4), 0x0000FFu);
}

TEST(CanvasLines, LineToLeavesOutTheEndPixelAndPolylineJoinsOnce)
{
    QImage image = Blank(10, 8);
    {
        Canvas canvas(image);
        canvas.MoveTo(1, 1);
        canvas.LineTo(6, 1);
        EXPECT_EQ(canvas.CurrentPosition(), QPoint(6, 1));
        const QPoint corner[] = {{1, 3}, {4, 3}, {4, 7}};
        canvas.Polyline(corner);
    }
    EXPECT_EQ(Pattern(image, Rect{0, 0, 10, 8}),
              "..........\n.xxxxx....\n..........\n.xxxx.....\n....x.....\n....x.....\n....x.....\n..........\n");
    // Backwards and steep lines leave out their own end, not the toolkit's last pixel.
    QImage back = Blank(6, 6);
    {
        Canvas canvas(back);
        canvas.MoveTo(4, 5);
        canvas.LineTo(4, 1);
        canvas.MoveTo(3, 0);
        canvas.LineTo(0, 2);
        canvas.SelectPen(Pen{0x000000, 1, PenStyle::Dot});
        canvas.SetBkColor(0x0000FF);
        canvas.MoveTo(0, 4);
        canvas.LineTo(4, 4);  // opaque mode: the gaps take the background colour
    }
    EXPECT_EQ(At(back, 0, 4), 0x000000u);
    EXPECT_EQ(At(back, 1, 4), 0x0000FFu);
    EXPECT_EQ(At(back, 2, 4), 0x000000u);
    EXPECT_EQ(Pattern(back, Rect{0, 0, 6, 6}), "...x..\n.xx...\n....x.\n....x.\nxxxxx.\n....x.\n");
}

TEST(CanvasLines, IntegerModeDrawsWholePixelsAndAntiAliasedModeSmooths)
{
    const QPointF slope[] = {{1.3, 1.2}, {18.6, 9.7}};
    auto colours = [&](DrawMode mode) {
        QImage image = Blank(20, 12);
        {
            Canvas canvas(image);
            canvas.SetDrawMode(mode);
            canvas.SelectPen(SolidPen(0x000000));
            canvas.PolylineF(slope);
        }
        std::set<ColorRef> seen;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 20; ++x) {
                seen.insert(At(image, x, y));
            }
        }
        return seen;
    };
    EXPECT_EQ(colours(DrawMode::Integer), (std::set<ColorRef>{0x000000, 0xFFFFFF}));
    EXPECT_GT(colours(DrawMode::AntiAliased).size(), 3u);
}

TEST(CanvasClip, ClipLimitsFillsAndRestoreBringsBackTheState)
{
    QImage image = Blank(6, 4);
    {
        Canvas canvas(image);
        canvas.Save();
        canvas.SetClipRect(Rect{1, 1, 3, 3});
        canvas.SetTextColor(0x123456);
        canvas.FillSolidRect(Rect{0, 0, 6, 4}, 0x000000);
        canvas.Restore();
        EXPECT_EQ(canvas.TextColor(), 0x000000u);
        canvas.SetClipRect(Rect{5, 0, 5, 4});  // empty: everything is clipped away
        canvas.FillSolidRect(Rect{0, 0, 6, 4}, 0x0000FF);
        canvas.RemoveClip();
        canvas.FillSolidRect(Rect{5, 3, 6, 4}, 0x00FF00);
    }
    EXPECT_EQ(Pattern(image, Rect{0, 0, 6, 4}), "......\n.xx...\n.xx...\n.....x\n");
}

TEST(CanvasPainter, DrawsThroughATranslatedPainterAndLeavesItsStateAsItWas)
{
    QImage image = Blank(10, 10);
    QPainter painter(&image);
    painter.translate(3, 2);
    const QFont before = painter.font();
    {
        Canvas canvas(painter);
        ASSERT_EQ(canvas.TargetImage(), &image);
        canvas.SetPixel(1, 1, 0x0000FF);
        EXPECT_EQ(canvas.GetPixel(1, 1), 0x0000FFu);
        EXPECT_EQ(canvas.GetPixel(7, 0), kInvalidColor);  // device x 10 lies outside
        canvas.SelectFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    }
    EXPECT_EQ(painter.font(), before);
    painter.end();
    EXPECT_EQ(At(image, 4, 3), 0x0000FFu);
}

TEST(CanvasShapes, FrameRectPolygonAndSizeGrip)
{
    QImage image = Blank(12, 12);
    {
        Canvas canvas(image);
        canvas.FrameRect(Rect{0, 0, 4, 3}, StockBrush::kGrey);
        canvas.SelectPen(SolidPen(0x000000));
        const QPoint arrow[] = {{5, 1}, {9, 4}, {5, 7}};
        canvas.Polygon(arrow);
    }
    QImage grip = Blank(16, 16);
    {
        Canvas canvas(grip);
        canvas.DrawSizeGrip(Rect{4, 4, 16, 16});
    }
    EXPECT_EQ(Pattern(image, Rect{0, 0, 4, 3}), "xxxx\nx..x\nxxxx\n");
    EXPECT_EQ(At(image, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(At(image, 9, 4), 0x000000u);  // every point lies on the outline
    EXPECT_EQ(At(image, 6, 4), 0xFFFFFFu);  // the white default brush inside
    EXPECT_EQ(At(grip, 15, 13), SysColor::kButtonShadow);  // distance 2 from the corner
    EXPECT_EQ(At(grip, 14, 14), SysColor::kButtonShadow);
    EXPECT_EQ(At(grip, 15, 14), SysColor::kButtonHighlight);
    EXPECT_EQ(At(grip, 15, 15), 0xFFFFFFu);  // the corner itself stays
    EXPECT_EQ(At(grip, 3, 15), 0xFFFFFFu);   // nothing outside the rectangle
}
