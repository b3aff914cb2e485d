// Pictures of the input-EQ panel with a nine-band design, in both modes, for people to look at.
#include <gtest/gtest.h>

#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/ui/core/ManualTimerService.h"
#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"
#include "tests/support/ScreenShot.h"

namespace {

// Shelves at the ends, a notch, cuts and boosts of several widths.
const EqBand kDesign[LInputEQController::kBandCount] = {
    {2, 63.0f, 1.0f, 4.0f},      {0, 125.0f, 1.0f, -3.0f},   {3, 250.0f, 4.0f, 0.0f},
    {0, 500.0f, 2.0f, 2.0f},     {0, 1000.0f, 1.4142135f, -6.0f}, {0, 2000.0f, 0.7f, 3.0f},
    {0, 4000.0f, 3.0f, 5.0f},    {0, 8000.0f, 1.4142135f, -2.0f}, {1, 16000.0f, 1.0f, 6.0f},
};

class InputEqScreens : public ::testing::Test {
protected:
    InputEqScreens() : scope_(timers_)
    {
        for (std::size_t i = 0; i < LInputEQController::kBandCount; ++i) {
            eq_.controller.SetBand(i, kDesign[i], false);
        }
        site_.Host().show();
    }
    ~InputEqScreens() override
    {
        eq_.controller.CloseDialog();
        RunDeferredDeletes();
    }

    platform::ManualTimerService timers_;
    platform::ScopedTimerService scope_;
    SettingsPanelSite site_;
    InputEqBlock eq_{0};
};

}  // namespace

TEST_F(InputEqScreens, ParametricModeWithTheMidBandSelected)
{
    LInputEQ* panel = eq_.Open(site_);
    ASSERT_NE(panel, nullptr);
    VParametricFreqGraphView& graph = *panel->Graph();
    const platform::Rect& handle = graph.HandleRect(4);
    const QPoint centre((handle.left + handle.right) / 2 + graph.PlotRect().left,
                        (handle.top + handle.bottom) / 2 + graph.PlotRect().top);
    graph.OnLeftButtonDown(centre, centre);
    graph.OnLeftButtonUp();
    ASSERT_EQ(graph.SelectedBand(), 4);
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_parametric").empty());
}

TEST_F(InputEqScreens, GraphicModeWithWidthsInOctaves)
{
    eq_.controller.SetEqMode(0);
    eq_.controller.SetWidthIsQ(0);
    LInputEQ* panel = eq_.Open(site_);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_graphic").empty());
    panel->ItemAs<QWidget>(1086)->setProperty("checked", true);
    panel->OnButtonClicked(1086);
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_octaves").empty());
}
