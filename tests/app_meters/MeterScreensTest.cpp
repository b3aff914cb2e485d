// Pictures of the meter view in each of its modes with levels and states set, and of the
// legend window, into <build>/screens/.
#include <gtest/gtest.h>

#include <cstring>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/meters/CMeterView.h"
#include "application/ui/meters/LegendWnd.h"
#include "platform/ui/core/ManualTimerService.h"
#include "tests/app_meters/MeterAmplifier.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/ScreenShot.h"

namespace {

constexpr const char* kLayout =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Inputs\t5\t0\t0\t\t0\t0\t1\t21000\t200,200,200\t236,236,236\t200,306\n"
    "Protection\t7\t0\t0\t\t0\t0\t1\t0\t200,200,200\t236,236,236\t200,306\n"
    "All\t3\t0\t0\t\t0\t0\t1\t21000\t200,200,200\t236,236,236\t220,306\n"
    "Outputs\t6\t0\t0\t\t0\t0\t1\t0\t200,200,200\t236,236,236\t200,306\n";

TEST(MeterScreens, EveryModeWithLevelsAndStatesAndTheLegend)
{
    ResetUserState();
    platform::ManualTimerService timers;
    platform::ScopedTimerService scoped(timers);
    MeterAmplifier amplifier;
    EditorFixture editor{std::string(kLayout)};
    ASSERT_TRUE(editor.Start());
    const auto& children = editor.Frame().GetMainView()->ChildViews();
    ASSERT_EQ(children.size(), 4u);
    editor.App().GetDocument()->UpdateAllViews(UpdateHint::AmplifierChanged, &amplifier);
    // -0.9, -7.9, -39.7 dB and silence; limiting, fault, on, and a blinking fault (lit now).
    const std::uint16_t states[4] = {0x0003, 0x0004, 0x0002, 0x0104};
    MeterAmplifier::Words status{};
    std::memcpy(status.data(), states, sizeof(states));
    amplifier.inputs = MeterAmplifier::Words{9000000, 4000000, 100000, 0};
    amplifier.status = status;
    timers.Advance(CMeterView::kPollIntervalMs);  // the protection view takes the states
    amplifier.status = status;
    dynamic_cast<CMeterView&>(*children[3]).OnTimer(CMeterView::kPollTimer);  // and the other one
    timers.Advance(1000);                         // into the blinking output's lit half
    amplifier.inputs = MeterAmplifier::Words{9000000, 4000000, 100000, 0};
    timers.Advance(CMeterView::kPollIntervalMs);
    const char* names[] = {"meters_inputs_mode5", "meters_protection_mode7", "meters_all_mode3",
                           "meters_output_levels_mode6"};
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_FALSE(SaveScreenShot(*children[i], names[i]).empty()) << names[i];
    }
    LegendWnd* legend = ExistingLegendWindow();
    ASSERT_NE(legend, nullptr);
    legend->SetOutputCount(4);
    EXPECT_FALSE(SaveScreenShot(*legend, "meters_legend_4_outputs").empty());
    legend->SetOutputCount(1);
    EXPECT_FALSE(SaveScreenShot(*legend, "meters_legend_1_output").empty());
    editor.App().GetDocument()->UpdateAllViews(UpdateHint::AmplifierChanged, nullptr);
}

}  // namespace
