// The block view's geometry, selecting blocks with the mouse, and what the control view and
// the reset hint make of it.
#include <QTest>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "application/ui/CControlView.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "tests/app_block_view/BlockViewFixture.h"

namespace {

TEST_F(BlockViewTest, LayoutMeasuresEachBlockAndCentresTheDiagram)
{
    const DiagramBlock& a = Block("EQ A");
    const DiagramBlock& xover = Block("Xover");
    EXPECT_EQ(a.bodyRect.right - a.bodyRect.left, 80);
    EXPECT_EQ(a.pinRect.top, a.bodyRect.bottom);
    EXPECT_EQ(a.pinRect.bottom - a.pinRect.top, 20);  // one pin: 20 and no pitch
    EXPECT_EQ(xover.pinRect.bottom - xover.pinRect.top, 20 + 30);
    EXPECT_EQ(a.selRect, (::Rect{a.bodyRect.left - 12, a.bodyRect.top - 8, a.bodyRect.right + 12, a.pinRect.bottom + 8}));
    const ::Rect& bounds = View().DiagramBounds();
    EXPECT_EQ(a.bodyRect.left, 20 + View().width() / 2 - (bounds.left + bounds.right) / 2);
}

TEST_F(BlockViewTest, ClickSelectsAndCtrlClickTogglesWithoutMovingTheCurrentBlock)
{
    DiagramBlock& a = Block("EQ A");
    DiagramBlock& b = Block("EQ B");
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, Centre(a));
    EXPECT_EQ(View().CurrentBlock(), &a);
    EXPECT_FALSE(View().IsTracking());
    EXPECT_EQ(editor_.Controls().OpenController(), a.controller);

    QTest::mouseClick(&View(), Qt::LeftButton, Qt::ControlModifier, Centre(b));
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::ControlModifier, Centre(a));
    EXPECT_EQ(a.selected, 0);
    EXPECT_EQ(b.selected, 1);
    EXPECT_EQ(View().CurrentBlock(), &a);
    EXPECT_EQ(editor_.Controls().OpenController(), b.controller);

    // Empty space clears (without Ctrl) and starts nothing.
    View().OnLButtonDown(false, 2, 2);
    EXPECT_EQ(b.selected, 0);
    EXPECT_EQ(View().CurrentBlock(), nullptr);
    EXPECT_FALSE(View().IsTracking());
    View().OnLButtonUp();
    EXPECT_EQ(editor_.Controls().OpenController(), nullptr);
}

TEST_F(BlockViewTest, RubberBandSkipsLockedExcludedAndPassiveBlocksAndDropsWhatItLeaves)
{
    DiagramBlock& locked = Block("Locked");
    locked.selected = 1;  // locked while selected: nothing may clear it
    const QPoint start = Centre(Block("EQ A"));
    View().OnLButtonDown(false, start.x(), start.y());
    View().OnMouseMove(false, Centre(Block("Last")).x(), start.y() + 300);
    for (const char* name : {"EQ A", "EQ B", "Xover", "Framed", "Last"}) {
        EXPECT_EQ(Block(name).selected, 1) << name;
    }
    EXPECT_EQ(Block("NoToggle").selected, 0);
    EXPECT_EQ(Block("Hidden").selected, 0);

    // Back over the first block only: the others go; a zero width becomes 1.
    View().OnMouseMove(false, start.x(), start.y());
    EXPECT_EQ(View().RubberBand(), (::Rect{start.x(), start.y(), start.x() + 1, start.y() + 1}));
    EXPECT_EQ(Block("Xover").selected, 0);
    EXPECT_EQ(locked.selected, 1);
    View().OnLButtonUp();
    EXPECT_FALSE(View().IsTracking());
}

TEST_F(BlockViewTest, APassiveBlockIsNeitherHitNorASourceAndResetDropsTheCurrentBlock)
{
    const QPoint inside = Centre(Block("Hidden"));
    EXPECT_EQ(Doc().BlockAtPoint(inside.x(), inside.y()), nullptr);
    std::vector<const DiagramBlock*> blocks;
    for (const auto& block : Doc().Blocks()) {
        blocks.push_back(block.get());
    }
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("Last"), 0), &Block("Xover"));
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("Xover"), 1), &Block("EQ B"));
    EXPECT_EQ(CBlockView::FindSourceBlock(blocks, Block("EQ A"), 0), nullptr);

    View().OnLButtonDown(false, Centre(Block("EQ B")).x(), Centre(Block("EQ B")).y());
    ASSERT_TRUE(View().IsTracking());
    Doc().UpdateAllViews(UpdateHint::Reset);
    EXPECT_FALSE(View().IsTracking());
    EXPECT_EQ(View().CurrentBlock(), nullptr);
}

}  // namespace
