// What the block view draws: group frames, block outlines, the two selection looks, pins,
// connections, nothing of a passive block, and room for every shipped preset name.
#include <algorithm>
#include <climits>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
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

// A speaker-EQ block shows its preset centred in its pin area and clipped at both ends, so
// every shipped name, laid out in the diagram's font, must leave a margin inside the
// narrowest such area of any model's shipped diagram.
TEST(BlockViewPresetNames, EveryShippedPresetNameFitsTheNarrowestSpeakerEqBlockWithAMargin)
{
    constexpr int kMargin = 4;  // clear pixels left and right of a name, the block's frame among them
    EditorOnData editor("");
    ASSERT_GT(SpeakerEqPresets().size(), 1u) << SpeakerEqLibraryError();
    int narrowest = INT_MAX;
    for (ModelType model :
         {ModelType::MV220, ModelType::MV220P, ModelType::MV440, ModelType::MV440A, ModelType::MV340A}) {
        editor.App().OnNewDesign(model);
        ASSERT_EQ(editor.Doc().GetModel(), model);
        for (const auto& block : editor.Doc().Blocks()) {
            if (block->type == BlockType::SpeakerEQ) {
                narrowest = std::min(narrowest, block->pinRect.right - block->pinRect.left);
            }
        }
    }
    ASSERT_LT(narrowest, INT_MAX) << "no speaker-EQ block";
    QImage image(1, 1, QImage::Format_RGB32);
    platform::Canvas dc(image);
    dc.SelectFont(CBlockView::TextFont());
    using namespace platform::TextFlag;
    for (const auto& preset : SpeakerEqPresets()) {
        const QString name = QString::fromStdU16String(preset.name);
        platform::Rect laidOut{};
        dc.DrawText(name, laidOut, kCalcRect | kSingleLine | kCenter);
        EXPECT_LE(laidOut.Width() + 2 * kMargin, narrowest)
            << '"' << name.toStdString() << "\" is " << laidOut.Width() << " px wide in a " << narrowest << " px block";
    }
}

}  // namespace
