// The meter views in a whole editor: made from the layout file with their modes, polling an
// amplifier on the UI clock, falling back, emptying on detach, rebuilt with a new design,
// and the legend window shown while the pointer rests on the protection view's hot area.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/meters/CMeterView.h"
#include "application/ui/meters/LegendWnd.h"
#include "application/ui/meters/MeterScale.h"
#include "platform/ui/core/ManualTimerService.h"
#include "tests/app_meters/MeterAmplifier.h"
#include "tests/app_ui/EditorFixture.h"

namespace {

constexpr const char* kHeader = "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n";
constexpr const char* kMeterLines =
    "Inputs\t5\t0\t0\t\t0\t0\t1\t21000\t200,200,200\t236,236,236\t119,306\n"
    "Protection\t7\t0\t0\t\t0\t0\t1\t0\t200,200,200\t236,236,236\t200,306\n"
    "All\t3\t1\t0\tx\t0\t0\t1\t1000\t200,200,200\t236,236,236\t240,300\n";
constexpr std::uint32_t kZeroDbRaw = 10031989;  // 8.624 ln(raw) - 139.03 is 0 dB to 1e-5

MeterAmplifier::Words StatusWords(std::uint16_t s1, std::uint16_t s2, std::uint16_t s3, std::uint16_t s4)
{
    const std::uint16_t states[4] = {s1, s2, s3, s4};
    MeterAmplifier::Words words{};
    std::memcpy(words.data(), states, sizeof(states));
    return words;
}

class MeterViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUserState();
        ASSERT_TRUE(editor.Start());
    }
    CMeterView& View(std::size_t i)
    {
        auto* view = dynamic_cast<CMeterView*>(editor.Frame().GetMainView()->ChildViews().at(i));
        EXPECT_NE(view, nullptr);
        return *view;
    }
    CCorvantEditorDoc& Doc() { return *editor.App().GetDocument(); }
    platform::ColorRef Pixel(CMeterView& view, int x, int y)
    {
        return platform::FromArgb32(view.ClientImage().pixel(x, y));
    }

    platform::ManualTimerService timers;
    platform::ScopedTimerService scopedTimers{timers};
    MeterAmplifier amplifier;  // outlives the views, which hold references to it
    EditorFixture editor{std::string(kHeader) + kMeterLines};
};

TEST_F(MeterViewTest, ViewsTakeModesCellsAndStylesFromTheLayout)
{
    EXPECT_EQ(View(0).Mode(), 5u);
    EXPECT_EQ(View(1).Mode(), 7u);
    EXPECT_EQ(View(2).Mode(), 3u);
    ASSERT_NE(View(0).Meters(), nullptr);
    EXPECT_EQ(View(0).Meters()->InputCount(), 4u);  // model MV440
    EXPECT_EQ(View(0).Meters()->OutputCount(), 4u);
    EXPECT_EQ(View(0).Meters()->Input(3).Style(), 0x21000u);
    EXPECT_EQ(View(1).Meters()->Output(0).Style(), 0u);
    EXPECT_EQ(View(2).Meters()->Input(0).Style(), 0x1000u);
    // The whole-list mode lays out both kinds, inputs over outputs.
    EXPECT_LT(View(2).Meters()->Input(0).FrameRect().bottom, View(2).Meters()->Output(0).FrameRect().top);
    ASSERT_NE(ExistingLegendWindow(), nullptr);
    EXPECT_FALSE(ExistingLegendWindow()->isVisible());

    editor.App().OnNewDesign(ModelType::MV220);  // reset, then a new list at the initial update
    EXPECT_EQ(View(0).Meters()->InputCount(), 2u);
    EXPECT_EQ(View(1).Meters()->OutputCount(), 2u);
}

TEST_F(MeterViewTest, PollsFallBackAndEmptyOnDetach)
{
    Doc().UpdateAllViews(UpdateHint::AmplifierChanged, &amplifier);
    EXPECT_EQ(amplifier.refs, 3u);
    EXPECT_TRUE(amplifier.polling);
    EXPECT_TRUE(View(0).IsTimerRunning(CMeterView::kPollTimer));
    CMeterView& inputs = View(0);
    CMeterView& protection = View(1);
    amplifier.inputs = MeterAmplifier::Words{kZeroDbRaw, 1, 0, 1000000};
    amplifier.status = StatusWords(0x0003, 0x0004, 0x0002, 0x0000);
    timers.Advance(CMeterView::kPollIntervalMs);
    const Meter& first = inputs.Meters()->Input(0);
    EXPECT_NEAR(first.Level(), 0.0f, 1e-4);
    EXPECT_EQ(inputs.Meters()->Input(1).Level(), -139.03f);
    EXPECT_EQ(inputs.Meters()->Input(2).Level(), -INFINITY);
    EXPECT_EQ(Pixel(inputs, first.BarRect().left, first.BarRect().top), Meter::kZoneRed);
    const Meter& silent = inputs.Meters()->Input(2);
    EXPECT_EQ(Pixel(inputs, silent.BarRect().left, silent.BarRect().bottom - 1), Meter::kUnlitColour);
    EXPECT_EQ(protection.Meters()->Output(0).State(), 0x0003);
    EXPECT_EQ(protection.Meters()->Output(1).State(), 0x0004);

    timers.Advance(10 * CMeterView::kPollIntervalMs);  // ten polls without a fresh reading
    EXPECT_NEAR(inputs.Levels()[0], meters::RawLevelToDb(kZeroDbRaw) - 8.0f, 1e-3);

    Doc().UpdateAllViews(UpdateHint::AmplifierChanged, nullptr);
    EXPECT_EQ(amplifier.refs, 0u);
    EXPECT_FALSE(amplifier.polling);
    EXPECT_FALSE(inputs.IsTimerRunning(CMeterView::kPollTimer));
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(inputs.Meters()->Input(i).Level(), meters::kDetachedLevelDb);
        EXPECT_EQ(protection.Meters()->Output(i).State(), 0);
    }
    EXPECT_EQ(Pixel(inputs, first.BarRect().left, first.BarRect().bottom - 1), Meter::kUnlitColour);
    EXPECT_NEAR(inputs.Levels()[0], meters::RawLevelToDb(kZeroDbRaw) - 8.0f, 1e-3);  // kept
    EXPECT_EQ(protection.States()[1], 0x0004);
}

TEST_F(MeterViewTest, LegendShowsWhileThePointerStaysOnTheHotArea)
{
    CMeterView& view = View(1);
    const QPoint centre(view.width() / 2, view.height() / 2);
    EXPECT_TRUE(view.InLegendHotArea(centre));
    EXPECT_TRUE(view.InLegendHotArea(centre + QPoint(-55, 39)));
    EXPECT_FALSE(view.InLegendHotArea(centre + QPoint(55, 0)));
    EXPECT_FALSE(view.InLegendHotArea(centre + QPoint(0, -1)));

    View(0).OnMouseMove(QPoint(View(0).width() / 2, View(0).height() / 2));
    EXPECT_FALSE(ExistingLegendWindow()->isVisible());  // only the protection view has a legend

    const QPoint hover = centre + QPoint(10, 10);
    QCursor::setPos(view.mapToGlobal(hover));
    view.OnMouseMove(hover);
    LegendWnd& legend = *ExistingLegendWindow();
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(legend.OutputCount(), 4);
    EXPECT_EQ(legend.size(), legend.ClientSize() + QSize(2, 2));
    EXPECT_TRUE(view.IsTimerRunning(CMeterView::kLegendTimer));
    timers.Advance(CMeterView::kLegendIntervalMs);
    EXPECT_TRUE(legend.isVisible());

    QCursor::setPos(view.mapToGlobal(centre - QPoint(0, 30)));
    timers.Advance(CMeterView::kLegendIntervalMs);
    EXPECT_FALSE(legend.isVisible());
    EXPECT_FALSE(view.IsTimerRunning(CMeterView::kLegendTimer));

    // Shown at the screen's corners it stays inside the work area.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    legend.ShowAt(area.bottomRight(), area);
    EXPECT_EQ(legend.geometry().bottomRight(), area.bottomRight());
    legend.ShowAt(area.topLeft() - QPoint(400, 400), area);
    EXPECT_EQ(legend.geometry().topLeft(), area.topLeft());
    legend.hide();
}

TEST(MeterViewModes, OutputLevelsShowTheProtectionStates)
{
    ResetUserState();
    platform::ManualTimerService timers;
    platform::ScopedTimerService scoped(timers);
    MeterAmplifier amplifier;
    EditorFixture editor(std::string(kHeader) + "Outputs\t6\t0\t0\t\t0\t0\t1\t0\t0,0,0\t0,0,0\t200,306\n");
    ASSERT_TRUE(editor.Start());
    auto* view = dynamic_cast<CMeterView*>(editor.Frame().GetMainView()->ChildViews().at(0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->RequestedMode(), 6u);
    EXPECT_EQ(view->Mode(), 7u);
    editor.App().GetDocument()->UpdateAllViews(UpdateHint::AmplifierChanged, &amplifier);
    amplifier.outputs = MeterAmplifier::Words{1, 1, 1, 1};
    amplifier.status = StatusWords(0x0002, 0, 0, 0);
    timers.Advance(CMeterView::kPollIntervalMs);
    EXPECT_EQ(view->Meters()->Output(0).State(), 0x0002);
    EXPECT_TRUE(amplifier.outputs.has_value());  // output levels are not read
    EXPECT_FALSE(view->Meters()->Output(0).FrameRect().IsEmpty());
}

}  // namespace
