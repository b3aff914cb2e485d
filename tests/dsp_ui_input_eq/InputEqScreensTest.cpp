// Pictures of the input-EQ panel with a nine-band design, in both modes, for people to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/templates/InputEqPanelTemplate.h"
#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"
#include "tests/support/ScreenShot.h"

TEST(InputEqScreens, NineBandDesignInParametricAndGraphicMode)
{
    // Shelves at the ends, a notch, cuts and boosts of several widths.
    const EqBand design[LInputEQController::kBandCount] = {
        {2, 63.0f, 1.0f, 4.0f},   {0, 125.0f, 1.0f, -3.0f}, {3, 250.0f, 4.0f, 0.0f},
        {0, 500.0f, 2.0f, 2.0f},  {0, 1000.0f, 1.4142135f, -6.0f}, {0, 2000.0f, 0.7f, 3.0f},
        {0, 4000.0f, 3.0f, 5.0f}, {0, 8000.0f, 1.4142135f, -2.0f}, {1, 16000.0f, 1.0f, 6.0f},
    };
    platform::ManualTimerService timers;
    platform::ScopedTimerService scope(timers);
    SettingsPanelSite site;
    site.Host().show();
    InputEqBlock eq(0);
    eq.block.name = u"Input EQ A";
    for (std::size_t i = 0; i < LInputEQController::kBandCount; ++i) {
        eq.controller.SetBand(i, design[i], false);
    }
    LInputEQ* panel = eq.Open(site);
    ASSERT_NE(panel, nullptr);
    VParametricFreqGraphView& graph = *panel->Graph();
    const platform::Rect& handle = graph.HandleRect(4);
    const QPoint centre((handle.left + handle.right) / 2 + graph.PlotRect().left,
                        (handle.top + handle.bottom) / 2 + graph.PlotRect().top);
    graph.OnLeftButtonDown(centre, centre);
    graph.OnLeftButtonUp();
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_parametric").empty());
    panel->ItemAs<QAbstractButton>(InputEqPanelIds::kWidthUnit)->click();
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_octaves").empty());
    // Graphic mode starts from flat bands; the design comes back through the controller.
    panel->ItemAs<QAbstractButton>(InputEqPanelIds::kGraphic)->click();
    for (std::size_t i = 0; i < LInputEQController::kBandCount; ++i) {
        eq.controller.SetBand(i, EqBand{0, design[i].frequency, 1.4142135f, design[i].gain}, false);
    }
    panel->Refresh();
    EXPECT_FALSE(SaveScreenShot(*panel, "dsp_ui_input_eq_graphic").empty());
    eq.controller.CloseDialog();
    RunDeferredDeletes();
}
