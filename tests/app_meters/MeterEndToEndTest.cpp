// The meter views against a `virtual-amp` process through the real device manager and
// device library: levels and output states set in the virtual amplifier show in the views
// within three readings of the amplifier's meters.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "application/document/AmplifierRef.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/meters/CMeterView.h"
#include "application/ui/meters/MeterScale.h"
#include "platform/ui/core/ManualTimerService.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/device_manager_sessions/ManagerHarness.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 30s;
constexpr const char* kLayout =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Inputs\t5\t0\t0\t\t0\t0\t1\t21000\t200,200,200\t236,236,236\t200,306\n"
    "Protection\t7\t0\t0\t\t0\t0\t1\t0\t200,200,200\t236,236,236\t200,306\n";
constexpr std::uint32_t kOldRaw = 1000;
constexpr std::uint32_t kNewRaw = 20000000;  // +5.9 dBFS: the whole bar

TEST(MeterEndToEnd, LevelsAndStatesSetInTheVirtualAmplifierShowWithinThreeReadings)
{
    ResetUserState();
    e2e_test::ManagerHarness harness;
    e2e_test::VirtualAmpProcess amp(harness.Folder(), {"--device", "a210:METERS1"});
    ASSERT_TRUE(amp.Running());
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    const AmplifierRef amplifier = AmplifierRef::Adopt(harness.FirstAmplifier());
    ASSERT_TRUE(amplifier);
    ASSERT_EQ(amp.Control("meters METERS1 1000 1000 1000 1000 0 0 0 0"), std::optional<std::string>("OK"));

    platform::ManualTimerService timers;
    platform::ScopedTimerService scoped(timers);
    EditorFixture editor{std::string(kLayout)};
    ASSERT_TRUE(editor.Start());
    auto& inputs = dynamic_cast<CMeterView&>(*editor.Frame().GetMainView()->ChildViews().at(0));
    auto& protection = dynamic_cast<CMeterView&>(*editor.Frame().GetMainView()->ChildViews().at(1));
    editor.App().GetDocument()->UpdateAllViews(UpdateHint::AmplifierChanged, amplifier.Get());

    // One view poll per step; between steps the amplifier's worker gets time to read its meters.
    // Returns how many of the polls found a fresh reading (a level converted, not fallen back).
    auto pollUntil = [&](auto shown) {
        int freshReadings = 0;
        const auto end = std::chrono::steady_clock::now() + kHangGuard;
        while (std::chrono::steady_clock::now() < end) {
            timers.Advance(CMeterView::kPollIntervalMs);
            const float level = inputs.Levels()[0];
            freshReadings += level == meters::RawLevelToDb(kOldRaw) || level == meters::RawLevelToDb(kNewRaw);
            if (shown()) {
                return freshReadings;
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
    };
    ASSERT_GE(pollUntil([&] { return inputs.Levels()[0] == meters::RawLevelToDb(kOldRaw); }), 1);

    ASSERT_EQ(amp.Control("meters METERS1 20000000 4000000 100000 0 0 0 0 0"), std::optional<std::string>("OK"));
    ASSERT_EQ(amp.Control("states METERS1 3 4 2 0x104"), std::optional<std::string>("OK"));
    MeterList& cells = *inputs.Meters();
    const int readings = pollUntil([&] {
        return cells.Input(0).Level() == meters::RawLevelToDb(kNewRaw) &&
               protection.Meters()->Output(3).State() == 0x0104;
    });
    EXPECT_GE(readings, 1);
    EXPECT_LE(readings, 3);
    EXPECT_EQ(cells.Input(1).Level(), meters::RawLevelToDb(4000000));
    EXPECT_EQ(cells.Input(3).Level(), -INFINITY);
    EXPECT_EQ(protection.Meters()->Output(0).State(), 0x0003);
    EXPECT_EQ(protection.Meters()->Output(1).State(), 0x0004);
    EXPECT_EQ(protection.Meters()->Output(2).State(), 0x0002);
    const Meter& loud = cells.Input(0);
    EXPECT_EQ(platform::FromArgb32(inputs.ClientImage().pixel(loud.BarRect().left, loud.BarRect().top)),
              Meter::kZoneRed);

    editor.App().GetDocument()->UpdateAllViews(UpdateHint::AmplifierChanged, nullptr);
    EXPECT_EQ(cells.Input(0).Level(), meters::kDetachedLevelDb);
}

}  // namespace
