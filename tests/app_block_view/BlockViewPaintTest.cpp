// What the block view draws: group frames, block outlines, the two selection looks, pins,
// connections, and nothing of a passive block.
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/ui/drawing/Canvas.h"
#include "tests/app_block_view/BlockViewFixture.h"

namespace {

platform::ColorRef Pixel(const QImage& image, int x, int y)
{
    return platform::FromQColor(image.pixelColor(x, y));
}

TEST_F(BlockViewTest, GroupFramesAndBlockOutlinesArePainted)
{
    const DiagramBlock& a = Block("EQ A");
    const DiagramBlock& b = Block("EQ B");
    const QImage image = Render();
    const int midY = (a.bodyRect.top + a.bodyRect.bottom) / 2;
    // Group 1 reaches 16 pixels left of its blocks and fills the gap between A and B.
    EXPECT_EQ(Pixel(image, a.bodyRect.left - 16, midY), CBlockView::kGroupFrameColour);
    EXPECT_NE(Pixel(image, a.bodyRect.left - 17, midY), CBlockView::kGroupFrameColour);
    EXPECT_EQ(Pixel(image, a.bodyRect.left + 5, (a.pinRect.bottom + b.bodyRect.top) / 2), CBlockView::kGroupFrameColour);
    // Blocks of no frame group stand on the view's background.
    const DiagramBlock& last = Block("Last");
    EXPECT_NE(Pixel(image, last.bodyRect.left - 5, midY), CBlockView::kGroupFrameColour);
    // Grey outline around the whole block and under the title; title and pins in their colours.
    EXPECT_EQ(Pixel(image, a.bodyRect.left, midY), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(image, a.bodyRect.left + 2, a.bodyRect.bottom - 1), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(image, a.bodyRect.left + 2, a.bodyRect.top + 1), a.colourA);
    EXPECT_EQ(Pixel(image, a.pinRect.left + 2, a.pinRect.bottom - 2), a.colourD);
    // The input arrow's tip is at the block's left edge, 6 below the pin area's top.
    EXPECT_EQ(Pixel(image, a.pinRect.left - 1, a.pinRect.top + 6), CBlockView::kLineColour);
}

TEST_F(BlockViewTest, SelectionLooksAreAGradientOrABlueFrame)
{
    DiagramBlock& a = Block("EQ A");
    DiagramBlock& framed = Block("Framed");
    a.selected = 1;
    framed.selected = 1;
    const QImage image = Render();
    // Gradient from RGB(168, 168, 255) down to RGB(128, 128, 255) inside a grey frame.
    const int n = a.selRect.bottom - a.selRect.top;
    EXPECT_EQ(Pixel(image, a.selRect.left, a.selRect.top + 3), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(image, a.selRect.left + 3, a.selRect.top + 1),
              platform::GradientStep(CBlockView::kSelectedTopColour, CBlockView::kSelectedBottomColour, 1, n));
    // Selected blocks fill their title mirrored from colour A at the edges to colour B.
    const int half = (a.bodyRect.right - a.bodyRect.left) / 2;
    EXPECT_EQ(Pixel(image, a.bodyRect.left + 1, a.bodyRect.top + 1), platform::GradientStep(a.colourA, a.colourB, 1, half));
    EXPECT_EQ(Pixel(image, a.bodyRect.left + half, a.bodyRect.top + 1), a.colourB);
    // The frame look: a 2-pixel blue frame one pixel inside, nothing filled behind the block.
    const int midX = (framed.selRect.left + framed.selRect.right) / 2;
    EXPECT_EQ(Pixel(image, midX, framed.selRect.top + 1), CBlockView::kSelectedFrameColour);
    EXPECT_NE(Pixel(image, midX, framed.selRect.top + 4), CBlockView::kSelectedFrameColour);
    EXPECT_NE(Pixel(image, midX, framed.selRect.top + 4), CBlockView::kSelectedBottomColour);
}

TEST_F(BlockViewTest, APassiveBlockIsNotDrawnAndLinesRunFromItsSource)
{
    const DiagramBlock& hidden = Block("Hidden");
    const DiagramBlock& xover = Block("Xover");
    const DiagramBlock& last = Block("Last");
    const QImage image = Render();
    EXPECT_NE(Pixel(image, hidden.bodyRect.left + 2, hidden.bodyRect.top + 2), hidden.colourA);
    EXPECT_NE(Pixel(image, hidden.bodyRect.left, hidden.bodyRect.top + 2), CBlockView::kLineColour);
    // Last's input comes from the crossover's first output, past the passive block.
    const int y = xover.pinRect.top + 6;
    ASSERT_EQ(y, last.pinRect.top + 6);
    EXPECT_EQ(Pixel(image, (hidden.pinRect.left + hidden.pinRect.right) / 2, y), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(image, last.pinRect.left - 9, y), CBlockView::kLineColour);
    // The crossover's second output feeds "Framed", one pitch further down.
    EXPECT_EQ(Pixel(image, xover.pinRect.right + 8, y + xover.pinPitch), CBlockView::kLineColour);
}

}  // namespace

namespace {

TEST_F(BlockViewTest, AGroupsHighlightSpansTheGroupAndHidesNoneOfItsBlocks)
{
    DiagramBlock& a = Block("EQ A");
    DiagramBlock& b = Block("EQ B");
    a.flags |= BlockFlag::kGrouped;
    b.flags |= BlockFlag::kGrouped;
    View().CentreDiagram();
    EXPECT_EQ(a.selRect, b.selRect);
    EXPECT_EQ(a.selRect.top, a.bodyRect.top - 8);
    EXPECT_EQ(a.selRect.bottom, b.pinRect.bottom + 8);
    b.selected = 1;
    const QImage image = Render();
    EXPECT_EQ(Pixel(image, a.bodyRect.left + 2, a.bodyRect.top + 1), a.colourA);
    EXPECT_EQ(Pixel(image, a.bodyRect.left - 3, a.selRect.top + 1),
              platform::GradientStep(CBlockView::kSelectedTopColour, CBlockView::kSelectedBottomColour, 1,
                                     a.selRect.bottom - a.selRect.top));
}

}  // namespace
