// The block diagram of each model family, with a grouped block (MV440) and a single block
// (MV220) selected, as a user sees them.
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/ui/core/IdlePass.h"
#include "tests/app_block_view/BlockViewFixture.h"
#include "tests/support/ScreenShot.h"

namespace {

// The shipped view sizes, without the meter views.
constexpr const char* kShippedSizes =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Blocks\t1\t0\t0\tx\t0\t0\t1\t0\t205,214,228\t255,255,255\t976,306\n"
    "Controls\t2\t1\t0\tx\t0\t0\t1\t0\t196,205,218\t240,242,246\t1014,358\n";

void Shoot(EditorOnData& editor, const std::u16string& selected, const char* name)
{
    for (const auto& block : editor.Doc().Blocks()) {
        if (block->name == selected) {
            editor.View().OnLButtonDown(false, block->bodyRect.left + 2, block->bodyRect.top + 2);
            editor.View().OnLButtonUp();
        }
    }
    EXPECT_FALSE(SaveScreenShot(editor.View(), name).empty());
}

TEST(BlockViewScreens, EachModelFamilysDiagram)
{
    EditorOnData editor("", kShippedSizes);
    Shoot(editor, u"Speaker EQ 2", "block_diagram_mv440");
    platform::RunIdlePass();  // the bars take their texts from the update handlers
    EXPECT_FALSE(SaveScreenShot(*editor.App().GetMainFrame(), "block_diagram_mv440_frame").empty());
    editor.App().OnNewDesign(ModelType::MV220);
    ASSERT_EQ(editor.Doc().GetModel(), ModelType::MV220);
    Shoot(editor, u"Crossover 2", "block_diagram_mv220");
}

}  // namespace
