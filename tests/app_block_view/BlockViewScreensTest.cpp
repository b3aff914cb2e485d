// Screenshots of the block diagram of each model family, with a grouped block selected, so
// that the shipped diagrams can be looked at as a user sees them.
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "tests/app_block_view/BlockViewFixture.h"
#include "tests/support/ScreenShot.h"

namespace {

// The shipped view sizes without the meter views.
constexpr const char* kShippedSizes =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Blocks\t1\t0\t0\tx\t0\t0\t1\t0\t205,214,228\t255,255,255\t976,306\n"
    "Controls\t2\t1\t0\tx\t0\t0\t1\t0\t196,205,218\t240,242,246\t1014,358\n";

void SelectFirstOfName(CBlockView& view, CCorvantEditorDoc& document, const std::u16string& name)
{
    for (const auto& block : document.Blocks()) {
        if (block->name == name) {
            const int x = (block->bodyRect.left + block->bodyRect.right) / 2;
            const int y = (block->bodyRect.top + block->bodyRect.bottom) / 2;
            view.OnLButtonDown(false, x, y);
            view.OnLButtonUp();
            return;
        }
    }
    ADD_FAILURE() << "no such block";
}

TEST(BlockViewScreens, EachModelFamilysDiagram)
{
    EditorOnData editor("", kShippedSizes);
    CCorvantEditorDoc& document = *editor.App().GetDocument();
    SelectFirstOfName(editor.View(), document, u"Speaker EQ 2");
    EXPECT_FALSE(SaveScreenShot(editor.View(), "block_diagram_mv440").empty());
    EXPECT_FALSE(SaveScreenShot(*editor.App().GetMainFrame(), "block_diagram_mv440_frame").empty());

    editor.App().OnNewDesign(ModelType::MV220);
    ASSERT_EQ(document.GetModel(), ModelType::MV220);
    SelectFirstOfName(editor.View(), document, u"Crossover 2");
    EXPECT_FALSE(SaveScreenShot(editor.View(), "block_diagram_mv220").empty());
}

}  // namespace
