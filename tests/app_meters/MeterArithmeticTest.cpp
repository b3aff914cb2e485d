// The meters' arithmetic without windows: levels in dB and on the bar, the fall-back of
// stale levels, the space distribution and the cell layouts against hand-computed figures,
// the legend's layout and placement, the blink clock and the polling of an amplifier.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "application/ui/meters/BlinkClock.h"
#include "application/ui/meters/LegendLayout.h"
#include "application/ui/meters/MeterLayout.h"
#include "application/ui/meters/MeterPolling.h"
#include "application/ui/meters/MeterScale.h"
#include "application/ui/meters/SpaceDistribution.h"
#include "tests/app_meters/MeterAmplifier.h"

namespace {

using namespace meters;
using platform::Rect;

TEST(MeterScale, RawWordsBecomeDecibels)
{
    EXPECT_EQ(RawLevelToDb(1), -139.03f);
    EXPECT_EQ(RawLevelToDb(0), -INFINITY);
    EXPECT_FLOAT_EQ(RawLevelToDb(1000000), -19.885040f);
    EXPECT_FLOAT_EQ(RawLevelToDb(0xFFFFFFFF), 52.256439f);
}

TEST(MeterScale, StaleLevelsFallByStepsAndRestAtMinus100)
{
    float level = 0.0f;
    for (int tick = 0; tick < 10; ++tick) {
        level = DecayLevel(level);
    }
    EXPECT_NEAR(level, -8.0f, 1e-4);
    for (int tick = 10; tick < 60; ++tick) {
        level = DecayLevel(level);
    }
    EXPECT_NEAR(level, kRangeFloorDb, 1e-3);  // the scale's floor after 6 s
    EXPECT_NEAR(DecayLevel(-99.5f), -100.3f, 1e-4);  // one tick below the resting level
    EXPECT_EQ(DecayLevel(-100.3f), -100.0f);
    EXPECT_EQ(DecayLevel(-INFINITY), -100.0f);
    EXPECT_EQ(DecayLevel(NAN), -100.0f);
}

TEST(MeterScale, BarRowsFromTheTopToBelowTheFloor)
{
    // A bar of rows 12..59: 0 dB on row 12, -48 dB on row 59.
    EXPECT_EQ(LevelToRow(0.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 12);
    EXPECT_EQ(LevelToRow(-6.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 17);  // (59 * 6 + 42 * 12) / 48 = 17.9
    EXPECT_EQ(UnlitRows(0.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 0);
    EXPECT_EQ(UnlitRows(6.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 0);
    EXPECT_EQ(UnlitRows(INFINITY, 12, 60, kRangeTopDb, kRangeFloorDb), 0);
    EXPECT_EQ(UnlitRows(-48.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 47);  // the bottom row only
    EXPECT_EQ(UnlitRows(-49.0f, 12, 60, kRangeTopDb, kRangeFloorDb), 48);
    EXPECT_EQ(UnlitRows(-49.0f, 12, 40, kRangeTopDb, kRangeFloorDb), 28);  // short bars too
    EXPECT_EQ(UnlitRows(-INFINITY, 12, 60, kRangeTopDb, kRangeFloorDb), 48);
    EXPECT_EQ(UnlitRows(NAN, 12, 60, kRangeTopDb, kRangeFloorDb), 48);
}

std::vector<std::int32_t> Sizes(const std::vector<SpaceSegment>& segments)
{
    std::vector<std::int32_t> sizes;
    for (const SpaceSegment& segment : segments) {
        sizes.push_back(segment.size);
    }
    return sizes;
}

TEST(SpaceDistribution, GrowsTheUnboundedByWeightAndShrinksInRounds)
{
    std::vector<SpaceSegment> row = {FlexibleSegment(10, kUnboundedSegment, 1), RigidSegment(5),
                                     FlexibleSegment(10, kUnboundedSegment, 3)};
    ASSERT_TRUE(DistributeSpace(row, 45));  // 20 extra: 15 to the heavier, 5 to the other
    EXPECT_EQ(Sizes(row), (std::vector<std::int32_t>{15, 5, 25}));
    EXPECT_EQ(SegmentEdges(row, 100), (std::vector<std::int32_t>{100, 115, 120, 145}));

    // 10 to give: the heavy one gives its 2 (its share was 5), the rest comes in a second round.
    std::vector<SpaceSegment> shrink = {FlexibleSegment(20, 18, 10), FlexibleSegment(20, 0, 1)};
    ASSERT_TRUE(DistributeSpace(shrink, 30));
    EXPECT_EQ(Sizes(shrink), (std::vector<std::int32_t>{18, 12}));

    std::vector<SpaceSegment> rigid = {RigidSegment(10), FlexibleSegment(10, 8, 1)};
    EXPECT_FALSE(DistributeSpace(rigid, 30));  // nothing may grow
    EXPECT_FALSE(DistributeSpace(rigid, 17));  // only 2 to give
    EXPECT_EQ(Sizes(rigid), (std::vector<std::int32_t>{10, 10}));
    EXPECT_TRUE(DistributeSpace(rigid, 20));
}

// u = 12, h = 13; the first input shows a 20-pixel scale, labels are 25 wide, units 30.
std::vector<MeterMeasure> TwoInputs()
{
    const MeterMeasure first = {20, 13, 12, 0, 9, 0, 18, 0, 12, 0, 25, 13, 30, 13};
    MeterMeasure second = first;
    second[MeasureIndex::kScaleWidth] = 0;
    second[MeasureIndex::kScaleHeight] = 0;
    return {first, second};
}

TEST(MeterLayout, InputsGrowIntoTheirMarginsAndShrinkThroughTheTiers)
{
    // Preferred width 117: margins 3 and 12, scale 20 + 4, ticks 12, bars 18, gap 18.
    InputLayout wide = LayOutInputCells(TwoInputs(), Rect{0, 0, 127, 200}, 12, 13);
    EXPECT_EQ(wide.tier, 0);
    EXPECT_EQ(wide.cells[0].scaleText, (Rect{8, 22, 28, 181}));
    EXPECT_EQ(wide.cells[0].tick, (Rect{32, 22, 44, 181}));
    EXPECT_EQ(wide.cells[0].frame, (Rect{44, 22, 62, 181}));
    EXPECT_EQ(wide.cells[1].frame, (Rect{92, 22, 110, 181}));
    EXPECT_EQ(wide.cells[0].label, (Rect{40, 6, 65, 19}));
    EXPECT_EQ(wide.cells[0].unit, (Rect{38, 184, 68, 197}));

    InputLayout snug = LayOutInputCells(TwoInputs(), Rect{0, 0, 110, 200}, 12, 13);
    EXPECT_EQ(snug.tier, 1);  // margins 2 and 9, the gap after the scale 1
    EXPECT_EQ(snug.cells[0].frame.left, 35);
    EXPECT_EQ(snug.cells[1].frame.right, 101);

    InputLayout narrow = LayOutInputCells(TwoInputs(), Rect{0, 0, 60, 200}, 12, 13);
    EXPECT_EQ(narrow.tier, 3);  // 25 to give: 22 from the left margin (weight 10), 3 from the right
    EXPECT_EQ(narrow.cells[0].scaleText.left, -22);
    EXPECT_EQ(narrow.cells[0].frame, (Rect{8, 22, 20, 181}));
    EXPECT_EQ(narrow.cells[1].frame.right, 57);
}

TEST(MeterLayout, OutputsAreCentredAndCloseUpWhenNarrow)
{
    const MeterMeasure icon = {0, 0, 0, 0, 0, 0, 28, 28, 28, 28, 30, 13, 0, 0};
    const std::vector<MeterMeasure> four(4, icon);
    OutputLayout wide = LayOutOutputCells(four, Rect{0, 0, 200, 300}, 12, 13);
    EXPECT_EQ(wide.strategy, 0);
    EXPECT_EQ(wide.cells[0].frame, (Rect{26, 119, 54, 147}));
    EXPECT_EQ(wide.cells[3].frame, (Rect{146, 119, 174, 147}));
    EXPECT_EQ(wide.cells[0].label, (Rect{25, 100, 55, 113}));
    EXPECT_EQ(wide.cells[0].unit, (Rect{40, 160, 40, 200}));  // the legend row
    EXPECT_EQ(wide.legendX, 100);
    EXPECT_EQ(wide.legendY, 180);

    // Margins give 6 each, the gaps 3, 3 and 4 over two rounds.
    OutputLayout narrow = LayOutOutputCells(four, Rect{0, 0, 150, 300}, 12, 13);
    EXPECT_EQ(narrow.strategy, 1);
    EXPECT_EQ(narrow.cells[0].frame.left, 6);
    EXPECT_EQ(narrow.cells[1].frame.left, 43);
    EXPECT_EQ(narrow.cells[2].frame.left, 80);
    EXPECT_EQ(narrow.cells[3].frame.left, 116);
}

TEST(LegendLayout, SizesForOneTwoAndFourOutputs)
{
    LegendMetrics metrics;
    metrics.outLabel = {30, 13};
    metrics.icon = {20, 20};
    metrics.limiting = {90, 13};
    metrics.fault = {120, 13};
    metrics.groupText = {200, 13};
    const LegendLayout two = LayOutLegend(metrics, 2);
    // Column centres 15 and 52, texts from 74, everything 10 right; rows 6 apart.
    EXPECT_EQ(two.limiting.text, (Rect{84, 9, 174, 22}));
    EXPECT_EQ(two.fault.icon, (Rect{52, 32, 72, 52}));
    EXPECT_EQ(two.groups[0].firstLabel, (Rect{10, 58, 40, 71}));
    EXPECT_EQ(two.groups[0].firstIcon, (Rect{15, 71, 35, 91}));
    EXPECT_EQ(two.groups[0].text, (Rect{84, 74, 284, 87}));
    EXPECT_EQ(two.client.width, 294);
    EXPECT_EQ(two.client.height, 101);
    EXPECT_EQ(LayOutLegend(metrics, 4).client.height, 140);
    const LegendLayout one = LayOutLegend(metrics, 1);
    EXPECT_EQ(one.client.width, 214);   // the longer row text ends at 204
    EXPECT_EQ(one.client.height, 62);   // under the second row
}

TEST(LegendLayout, PlacementStaysInsideTheWorkArea)
{
    const Rect area{100, 50, 900, 650};
    const LegendSize size{100, 50};
    std::int32_t left = 0;
    std::int32_t top = 0;
    PlaceInWorkArea(400, 300, size, area, left, top);
    EXPECT_EQ(left, 350);
    EXPECT_EQ(top, 300);
    PlaceInWorkArea(890, 640, size, area, left, top);  // bottom-right corner: moved up and left
    EXPECT_EQ(left, 800);
    EXPECT_EQ(top, 600);
    PlaceInWorkArea(90, 0, size, area, left, top);  // top-left corner
    EXPECT_EQ(left, 100);
    EXPECT_EQ(top, 50);
}

TEST(BlinkClock, BlinkingOutputsShareOnePeriod)
{
    BlinkClock clock;
    EXPECT_TRUE(clock.IsDark(1, true, 10'000));
    EXPECT_TRUE(clock.IsDark(1, true, 10'999));
    EXPECT_FALSE(clock.IsDark(1, true, 11'000));
    EXPECT_FALSE(clock.IsDark(2, true, 11'500));  // joins lit, in phase with output 1
    EXPECT_TRUE(clock.IsDark(2, true, 12'000));
    EXPECT_TRUE(clock.IsDark(1, true, 16'400));
    EXPECT_EQ(clock.StartMs(), 16'000u);
    EXPECT_FALSE(clock.IsDark(1, false, 16'500));
    EXPECT_FALSE(clock.IsDark(2, false, 16'500));
    EXPECT_EQ(clock.BlinkingMask(), 0u);
    EXPECT_TRUE(clock.IsDark(2, true, 16'700));  // a new period starts with the first one
}

TEST(MeterPolling, AttachPollDecayAndDetach)
{
    MeterAmplifier amplifier;
    MeterPolling polling(MeterMode::kInputs);
    polling.Attach(&amplifier);
    EXPECT_EQ(amplifier.refs, 1u);
    EXPECT_TRUE(amplifier.polling);
    EXPECT_FALSE(polling.Poll());
    EXPECT_EQ(polling.Levels()[0], kRestingLevelDb);  // nothing read yet: no level falls from full scale
    amplifier.inputs = MeterAmplifier::Words{1, 0, 1000000, 7};
    amplifier.outputs = MeterAmplifier::Words{9, 9, 9, 9};
    EXPECT_TRUE(polling.Poll());
    EXPECT_EQ(polling.Levels()[0], -139.03f);
    EXPECT_EQ(polling.Levels()[1], -INFINITY);
    EXPECT_FLOAT_EQ(polling.Levels()[2], -19.885040f);
    EXPECT_FALSE(polling.Poll());  // nothing fresh: everything falls back
    EXPECT_EQ(polling.Levels()[0], -100.0f);
    EXPECT_NEAR(polling.Levels()[2], -20.685f, 1e-3);
    polling.Detach();
    EXPECT_FALSE(amplifier.polling);
    EXPECT_EQ(amplifier.refs, 0u);
    EXPECT_FALSE(polling.Poll());  // no amplifier: not fresh
    EXPECT_NEAR(polling.Levels()[2], -21.485f, 1e-3);
}

TEST(MeterPolling, ProtectionStatesAreTheStatusWordsInMemoryOrder)
{
    EXPECT_EQ(EffectiveMeterMode(MeterMode::kOutputLevels), MeterMode::kProtection);
    EXPECT_EQ(EffectiveMeterMode(MeterMode::kInputs), MeterMode::kInputs);
    MeterAmplifier amplifier;
    MeterPolling polling(MeterMode::kProtection);
    polling.Attach(&amplifier);
    std::uint16_t states[4] = {0x0003, 0x0104, 0x0002, 0x0000};
    MeterAmplifier::Words words{};
    std::memcpy(words.data(), states, sizeof(states));
    amplifier.status = words;
    EXPECT_TRUE(polling.Poll());
    EXPECT_EQ(polling.States(), (std::array<std::uint16_t, 4>{0x0003, 0x0104, 0x0002, 0x0000}));
    EXPECT_TRUE(polling.Poll());  // nothing new keeps the states and still counts as fresh
    EXPECT_EQ(polling.States()[1], 0x0104);
    EXPECT_EQ(polling.Levels()[0], kDetachedLevelDb);  // levels start empty and are not polled here
}

}  // namespace
