// Selecting blocks with the mouse, and what the control view and the hints make of it.
#include <QTest>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "application/ui/CControlView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "tests/app_block_view/BlockViewFixture.h"

namespace {

TEST_F(BlockViewTest, LayoutCentresTheDiagramAndGivesGroupedTypesOneSelectionRect)
{
    EXPECT_TRUE(View().IsInitialised());
    const DiagramBlock& a = Block("EQ A");
    EXPECT_EQ(a.bodyRect.right - a.bodyRect.left, 80);
    EXPECT_EQ(a.pinRect.top, a.bodyRect.bottom);
    EXPECT_EQ(a.pinRect.bottom - a.pinRect.top, 20);  // one pin: 20 + 0 pitches
    const DiagramBlock& xover = Block("Xover");
    EXPECT_EQ(xover.pinRect.bottom - xover.pinRect.top, 20 + 30);
    EXPECT_EQ(a.selRect.left, a.bodyRect.left - 12);
    EXPECT_EQ(a.selRect.bottom, a.pinRect.bottom + 8);
    // The bounds were laid out at the file's positions, then the blocks moved to the middle.
    const ::Rect& bounds = View().DiagramBounds();
    const int dx = View().width() / 2 - (bounds.left + bounds.right) / 2;
    EXPECT_EQ(a.bodyRect.left, 20 + dx);
}

TEST_F(BlockViewTest, ClickSelectsAndCtrlClickTogglesWithoutMovingTheCurrentBlock)
{
    DiagramBlock& a = Block("EQ A");
    DiagramBlock& b = Block("EQ B");
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(a));
    EXPECT_EQ(View().CurrentBlock(), &a);
    EXPECT_EQ(a.selected, 1);
    EXPECT_FALSE(View().IsTracking());
    EXPECT_EQ(editor_->Controls().OpenController(), a.controller);

    QTest::mouseClick(&View(), Qt::LeftButton, Qt::ControlModifier, Centre(b));
    EXPECT_EQ(b.selected, 1);
    EXPECT_EQ(View().CurrentBlock(), &a);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::ControlModifier, Centre(a));
    EXPECT_EQ(a.selected, 0);
    EXPECT_EQ(View().CurrentBlock(), &a);
    EXPECT_EQ(editor_->Controls().OpenController(), b.controller);

    // Empty space clears (without Ctrl) and starts nothing.
    View().OnLButtonDown(false, 2, 2);
    EXPECT_EQ(b.selected, 0);
    EXPECT_EQ(View().CurrentBlock(), nullptr);
    EXPECT_FALSE(View().IsTracking());
    View().OnLButtonUp();
    EXPECT_EQ(editor_->Controls().OpenController(), nullptr);
}

TEST_F(BlockViewTest, RubberBandSkipsLockedExcludedAndPassiveBlocksAndDropsWhatItLeaves)
{
    DiagramBlock& locked = Block("Locked");
    locked.selected = 1;  // locked while selected: nothing may clear it
    const QPoint start = Centre(Block("EQ A"));
    View().OnLButtonDown(false, start.x(), start.y());
    EXPECT_EQ(locked.selected, 1);
    EXPECT_TRUE(View().IsTracking());
    const QPoint far = Centre(Block("Last"));
    View().OnMouseMove(false, far.x(), far.y() + 200);
    for (const char* name : {"EQ A", "EQ B", "Xover", "Framed", "Last"}) {
        EXPECT_EQ(Block(name).selected, 1) << name;
    }
    EXPECT_EQ(Block("NoToggle").selected, 0);
    EXPECT_EQ(Block("Hidden").selected, 0);
    EXPECT_EQ(View().RubberBand().left, start.x());

    // Back over the first block only: the band lets the others go; a zero width becomes 1.
    View().OnMouseMove(false, start.x(), start.y());
    EXPECT_EQ(View().RubberBand().right, start.x() + 1);
    EXPECT_EQ(Block("EQ A").selected, 1);
    EXPECT_EQ(Block("Xover").selected, 0);
    EXPECT_EQ(locked.selected, 1);
    View().OnLButtonUp();
    EXPECT_FALSE(View().IsTracking());
}

TEST_F(BlockViewTest, AHiddenBlockIsNeitherHitNorASourceAndResetDropsTheCurrentBlock)
{
    const DiagramBlock& hidden = Block("Hidden");
    const QPoint inside = Centre(hidden);
    EXPECT_EQ(Doc().BlockAtPoint(inside.x(), inside.y()), nullptr);
    View().OnLButtonDown(false, inside.x(), inside.y());
    EXPECT_EQ(hidden.selected, 0);

    std::vector<const DiagramBlock*> blocks;
    for (const auto& block : Doc().Blocks()) {
        blocks.push_back(block.get());
    }
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("Last"), 0), &Block("Xover"));
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("Framed"), 1), &Block("Xover"));
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("Xover"), 1), &Block("EQ B"));
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("EQ A"), 0), nullptr);

    View().OnLButtonDown(false, Centre(Block("EQ B")).x(), Centre(Block("EQ B")).y());
    ASSERT_TRUE(View().IsTracking());
    Doc().UpdateAllViews(UpdateHint::Reset);
    EXPECT_FALSE(View().IsTracking());
    EXPECT_EQ(View().CurrentBlock(), nullptr);
}

}  // namespace
