// What the block view draws: group frames, block outlines, the two selection looks, pins,
// connections, and nothing of a passive block.
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/ui/drawing/Canvas.h"
#include "tests/app_block_view/BlockViewFixture.h"

namespace {

using platform::GradientStep;

class BlockPaintTest : public BlockViewTest {
protected:
    platform::ColorRef Pixel(int x, int y) const { return platform::FromQColor(image.pixelColor(x, y)); }
    void Render() { image = View().RenderClient(); }
    QImage image;
};

TEST_F(BlockPaintTest, GroupFramesOutlinesAndPinsArePainted)
{
    const DiagramBlock& a = Block("EQ A");
    const DiagramBlock& b = Block("EQ B");
    Render();
    const int midY = (a.bodyRect.top + a.bodyRect.bottom) / 2;
    // Group 1 reaches 16 pixels left of its blocks and fills the gap between A and B.
    EXPECT_EQ(Pixel(a.bodyRect.left - 16, midY), CBlockView::kGroupFrameColour);
    EXPECT_NE(Pixel(a.bodyRect.left - 17, midY), CBlockView::kGroupFrameColour);
    EXPECT_EQ(Pixel(a.bodyRect.left + 5, (a.pinRect.bottom + b.bodyRect.top) / 2), CBlockView::kGroupFrameColour);
    EXPECT_NE(Pixel(Block("Last").bodyRect.left - 5, midY), CBlockView::kGroupFrameColour);  // no group
    // Grey outline round the block and under the title; title and pins in their colours.
    EXPECT_EQ(Pixel(a.bodyRect.left, midY), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(a.bodyRect.left + 2, a.bodyRect.bottom - 1), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(a.bodyRect.left + 2, a.bodyRect.top + 1), a.colourA);
    EXPECT_EQ(Pixel(a.pinRect.left + 2, a.pinRect.bottom - 2), a.colourD);
    EXPECT_EQ(Pixel(a.pinRect.left - 1, a.pinRect.top + 6), CBlockView::kLineColour);  // the arrow's tip
}

TEST_F(BlockPaintTest, SelectionLooksAreAGradientOrABlueFrameAndAGroupsHidesNoneOfIt)
{
    DiagramBlock& a = Block("EQ A");
    DiagramBlock& b = Block("EQ B");
    DiagramBlock& framed = Block("Framed");
    a.flags |= BlockFlag::kGrouped;
    b.flags |= BlockFlag::kGrouped;
    View().CentreDiagram();
    EXPECT_EQ(a.selRect, b.selRect);
    EXPECT_EQ(a.selRect.bottom, b.pinRect.bottom + 8);
    b.selected = 1;
    framed.selected = 1;
    Render();
    // From RGB(168, 168, 255) down to RGB(128, 128, 255) in a grey frame, behind block A too.
    const int n = a.selRect.bottom - a.selRect.top;
    EXPECT_EQ(Pixel(a.selRect.left, a.selRect.top + 3), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(a.selRect.left + 3, a.selRect.top + 1),
              GradientStep(CBlockView::kSelectedTopColour, CBlockView::kSelectedBottomColour, 1, n));
    EXPECT_EQ(Pixel(a.bodyRect.left + 2, a.bodyRect.top + 1), a.colourA);
    // A selected title goes from colour A at its edges to colour B in its middle.
    const int half = (b.bodyRect.right - b.bodyRect.left) / 2;
    EXPECT_EQ(Pixel(b.bodyRect.left + 1, b.bodyRect.top + 1), GradientStep(b.colourA, b.colourB, 1, half));
    EXPECT_EQ(Pixel(b.bodyRect.left + half, b.bodyRect.top + 1), b.colourB);
    // The frame look: a 2-pixel blue frame one pixel inside, nothing filled behind the block.
    const int midX = (framed.selRect.left + framed.selRect.right) / 2;
    EXPECT_EQ(Pixel(midX, framed.selRect.top + 1), CBlockView::kSelectedFrameColour);
    EXPECT_NE(Pixel(midX, framed.selRect.top + 4), CBlockView::kSelectedFrameColour);
    EXPECT_NE(Pixel(midX, framed.selRect.top + 4), CBlockView::kSelectedBottomColour);
}

TEST_F(BlockPaintTest, APassiveBlockIsNotDrawnAndLinesRunFromTheirSources)
{
    const DiagramBlock& hidden = Block("Hidden");
    const DiagramBlock& xover = Block("Xover");
    const DiagramBlock& last = Block("Last");
    Render();
    EXPECT_NE(Pixel(hidden.bodyRect.left + 2, hidden.bodyRect.top + 2), hidden.colourA);
    EXPECT_NE(Pixel(hidden.bodyRect.left, hidden.bodyRect.top + 2), CBlockView::kLineColour);
    // Last's input comes from the crossover's first output, across the passive block.
    const int y = xover.pinRect.top + 6;
    ASSERT_EQ(y, last.pinRect.top + 6);
    EXPECT_EQ(Pixel((hidden.pinRect.left + hidden.pinRect.right) / 2, y), CBlockView::kLineColour);
    EXPECT_EQ(Pixel(last.pinRect.left - 9, y), CBlockView::kLineColour);
    // The crossover's second output feeds "Framed" from one pitch further down.
    EXPECT_EQ(Pixel(xover.pinRect.right + 8, y + xover.pinPitch), CBlockView::kLineColour);
}

}  // namespace
