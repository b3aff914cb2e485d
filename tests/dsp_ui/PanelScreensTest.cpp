// Pictures of the crossover and limiter panels with a real design, for people to look at.
#include <gtest/gtest.h>

#include <memory>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/filters/FilterTypeTable.h"
#include "tests/dsp_ui/PanelTestSupport.h"
#include "tests/support/ScreenShot.h"

namespace {

QWidget& WindowOf(IBlockPanel* panel)
{
    auto* window = dynamic_cast<QWidget*>(panel);
    EXPECT_NE(window, nullptr);
    return *window;
}

}  // namespace

TEST(PanelScreens, CrossoverWithButterworthHighPassAndLinkwitzRileyLowPassOnAHighImpedanceLine)
{
    DiagramBlock block;
    block.type = BlockType::Crossover;
    block.channel = 0;
    block.name = u"Crossover A";
    CCrossoverController controller(block);
    ASSERT_TRUE(controller.Load());
    const CrossoverFilterPair filters{{FilterTypeCode::kButterworth24, 80.0f},
                                      {FilterTypeCode::kLinkwitzRiley24, 12000.0f}};
    ASSERT_TRUE(controller.SetFilters(&filters));
    controller.ApplyChannelConfig(ModeChange(3));
    TestPanelSite site;
    IBlockPanel* panel = controller.OpenDialog(site);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_crossover_panel").empty());
    controller.CloseDialog();
    RunDeferredDeletes();
}

TEST(PanelScreens, LimiterWithASpeakerPresetOnA70VoltLine)
{
    DiagramBlock block;
    block.type = BlockType::Limiter;
    block.channel = 1;
    block.name = u"Limiter B";
    LLimiterController controller(block);
    ASSERT_TRUE(controller.Load());
    const LimiterSettings preset{60.0f, 1.5f, 100.0f, 42.5f, 1200.0f, 2500.0f};
    ASSERT_TRUE(controller.ApplySpeakerPreset(u"Ceiling Speaker 8in", &preset, false));
    ASSERT_TRUE(controller.SetSettings(preset));
    controller.ApplyChannelConfig(ModeChange(4));
    TestPanelSite site;
    IBlockPanel* panel = controller.OpenDialog(site);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(WindowOf(panel), "dsp_ui_limiter_panel").empty());
    controller.CloseDialog();
    RunDeferredDeletes();
}
