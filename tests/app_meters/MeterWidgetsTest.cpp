// The meter cells and the meter list drawn on images: bar pixels at the ends of the scale,
// the colour zones, the scale on the first input only, redrawing only what changed, and the
// output indicators' frames and blinking on the UI clock.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "application/ui/meters/BlinkClock.h"
#include "application/ui/meters/MeterList.h"
#include "application/ui/meters/MeterScale.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/drawing/UiFonts.h"

namespace {

using platform::Rect;

constexpr platform::ColorRef kPaper = 0xFFFFFF;

struct Surface {
    explicit Surface(int width = 200, int height = 120) : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
    }
    platform::ColorRef Pixel(int x, int y) const { return platform::FromArgb32(image.pixel(x, y)); }
    QImage image;
};

// One input whose bar covers rows 12..59 and columns 12..27.
Meter& PlacedInput(MeterList& list, std::uint32_t style)
{
    list.SetStyle(style);
    meters::MeterCellRects rects;
    rects.frame = Rect{10, 10, 30, 62};
    rects.tick = Rect{4, 10, 10, 62};
    list.Input(0).SetRects(rects);
    return list.Input(0);
}

TEST(MeterCells, ListsAreBuiltFromTheChannelCounts)
{
    MeterList list(2, 3);
    EXPECT_EQ(list.Input(1).Label(), "In 2");
    EXPECT_EQ(list.Input(1).Unit(), "dBFS");
    EXPECT_EQ(list.Output(2).Label(), "Out 3");
    EXPECT_EQ(list.Output(2).Index(), 3u);
    EXPECT_EQ(list.Output(2).Count(), 3u);
    EXPECT_TRUE(list.Input(0).ShowsScale());
    EXPECT_FALSE(list.Input(1).ShowsScale());
    EXPECT_TRUE(list.Output(0).ShowsScale());
    EXPECT_TRUE(MeterList(0, 1).Output(0).ShowsScale());
    EXPECT_EQ(list.Input(0).Level(), meters::kDetachedLevelDb);  // empty until a level arrives
}

TEST(MeterCells, BarRowsAtZeroMinus48Minus49AndMinusInfinity)
{
    MeterList list(1, 0);
    Meter& meter = PlacedInput(list, MeterStyle::kColourZones);
    Surface surface;
    platform::Canvas dc(surface.image);
    EXPECT_EQ(meter.SetLevel(dc, 0.0f), (Rect{12, 12, 28, 60}));
    EXPECT_EQ(surface.Pixel(20, 12), Meter::kZoneRed);  // the whole bar is lit
    EXPECT_EQ(meter.SetLevel(dc, 3.0f), Rect{});        // still the whole bar: nothing drawn
    EXPECT_FALSE(meter.SetLevel(dc, -48.0f).IsEmpty());
    EXPECT_EQ(surface.Pixel(20, 58), Meter::kUnlitColour);
    EXPECT_EQ(surface.Pixel(20, 59), Meter::kZoneGreen);  // the bottom row only
    EXPECT_FALSE(meter.SetLevel(dc, -49.0f).IsEmpty());
    EXPECT_EQ(surface.Pixel(20, 59), Meter::kUnlitColour);
    EXPECT_EQ(meter.SetLevel(dc, -INFINITY), Rect{});
    EXPECT_EQ(meter.SetLevel(dc, NAN), Rect{});
    EXPECT_EQ(surface.Pixel(20, 59), Meter::kUnlitColour);
    EXPECT_EQ(surface.Pixel(20, 12), Meter::kUnlitColour);
}

TEST(MeterCells, ZonesStartOnTheRowsOfTheirLevels)
{
    MeterList list(1, 0);
    Meter& meter = PlacedInput(list, MeterStyle::kColourZones);
    // -0.5 dB lies on row 12, -1.5 on 13, -3 on 14, -5 on 16.
    EXPECT_EQ(meter.ZoneRows()[0], 12);
    EXPECT_EQ(meter.ZoneRows()[3], 16);
    Surface surface;
    platform::Canvas dc(surface.image);
    meter.SetLevel(dc, 0.0f);
    EXPECT_EQ(surface.Pixel(20, 12), Meter::kZoneRed);
    EXPECT_EQ(surface.Pixel(20, 13), Meter::kZoneYellow);
    EXPECT_EQ(surface.Pixel(20, 14), Meter::kZoneYellow);
    EXPECT_EQ(surface.Pixel(20, 15), Meter::kZoneGreen);
    EXPECT_EQ(surface.Pixel(20, 40), Meter::kZoneGreen);
    ASSERT_EQ(meter.BarImage().size(), QSize(16, 48));

    MeterList plain(1, 0);
    Meter& black = PlacedInput(plain, 0);
    black.SetLevel(dc, 0.0f);
    EXPECT_EQ(surface.Pixel(20, 12), 0x000000u);  // without zones the lit bar is black
}

TEST(MeterCells, ScaleNumbersOnlyOnTheFirstInputAndTicksEverySixDecibels)
{
    MeterList list(2, 0);
    Surface surface(200, 240);
    platform::Canvas dc(surface.image);
    dc.SelectFont(platform::DefaultGuiFont());
    list.Layout(false, Rect{0, 0, 200, 240}, dc);
    list.DrawInputs(dc);
    auto inked = [&](const Rect& rect) {
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                count += surface.Pixel(x, y) != kPaper ? 1 : 0;
            }
        }
        return count;
    };
    const Meter& first = list.Input(0);
    const Meter& second = list.Input(1);
    EXPECT_GT(first.ScaleTextRect().Width(), 0);
    EXPECT_GT(inked(first.ScaleTextRect()), 0);
    EXPECT_EQ(second.ScaleTextRect().Width(), 0);
    // Nothing between the first bar's frame and the second's ticks.
    EXPECT_EQ(inked(Rect{first.FrameRect().right, first.FrameRect().top, second.TickRect().left,
                         first.FrameRect().bottom}),
              0);
    for (float value = 0.0f; value >= -48.0f; value -= 6.0f) {
        EXPECT_EQ(surface.Pixel(second.TickRect().left, second.RowOf(value)), Meter::kTickColour) << value;
    }
}

TEST(MeterCells, OnlyChangedCellsAreRedrawn)
{
    MeterList list(4, 0);
    Surface surface(300, 200);
    platform::Canvas dc(surface.image);
    list.Layout(false, Rect{0, 0, 300, 200}, dc);
    list.DrawInputs(dc);
    std::vector<Rect> drawn;
    const float levels[4] = {-3.0f, 0.0f, -20.0f, -40.0f};
    list.SetInputLevels(dc, levels, drawn);
    EXPECT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0], list.Input(0).BarRect());
    drawn.clear();
    list.SetInputLevels(dc, levels, drawn);
    EXPECT_TRUE(drawn.empty());
    const float louder[4] = {-3.0f, 0.0f, -10.0f, -40.0f};
    list.SetInputLevels(dc, louder, drawn);
    EXPECT_EQ(drawn, (std::vector<Rect>{list.Input(2).BarRect()}));
    const float five[5] = {0.0f, 0.0f, 0.0f, 0.0f, -10.0f};  // more levels than inputs
    list.SetInputLevels(dc, five, drawn);
    EXPECT_EQ(list.Input(3).Level(), 0.0f);
}

TEST(MeterCells, IndicatorFramesFollowTheStateAndBlinkOnTheSharedClock)
{
    platform::ManualTimerService timers(50'000);
    platform::ScopedTimerService scoped(timers);
    meters::SharedBlinkClock().Reset();
    EXPECT_EQ(IndicatorFrameOfKind(0x0002), 1);
    EXPECT_EQ(IndicatorFrameOfKind(0x0003), 2);
    EXPECT_EQ(IndicatorFrameOfKind(0x0104), 3);
    EXPECT_EQ(IndicatorFrameOfKind(0x0005), 0);

    MeterList list(0, 2);
    Surface surface(200, 150);
    const QImage background = surface.image.copy();
    list.SetBackground(&background);
    platform::Canvas dc(surface.image);
    list.Layout(true, Rect{0, 0, 200, 150}, dc);
    list.DrawOutputs(dc);
    Limiter& first = list.Output(0);
    Limiter& second = list.Output(1);
    const Rect icon = first.FrameRect();
    ASSERT_EQ(icon.Width(), 28);
    const platform::ColorRef idle = surface.Pixel(icon.left + 14, icon.top + 14);
    std::vector<Rect> drawn;
    const std::uint16_t blinkingFault[2] = {0x0104, 0x0003};
    list.SetOutputStates(dc, blinkingFault, drawn);
    EXPECT_EQ(drawn, (std::vector<Rect>{second.FrameRect()}));  // output 1 starts dark: frame 0 as before
    EXPECT_EQ(first.CurrentFrame(), 0);
    timers.Advance(1000);
    drawn.clear();
    list.SetOutputStates(dc, blinkingFault, drawn);
    EXPECT_EQ(drawn, (std::vector<Rect>{icon}));
    const platform::ColorRef fault = surface.Pixel(icon.left + 14, icon.top + 14);
    EXPECT_NE(fault, idle);
    const std::uint16_t secondBlinks[2] = {0x0104, 0x0103};
    timers.Advance(500);
    drawn.clear();
    list.SetOutputStates(dc, secondBlinks, drawn);
    EXPECT_TRUE(drawn.empty());  // output 2 joins the lit half of the running period
    timers.Advance(500);
    list.SetOutputStates(dc, secondBlinks, drawn);
    EXPECT_EQ(drawn.size(), 2u);  // both go dark together
    EXPECT_EQ(surface.Pixel(icon.left + 14, icon.top + 14), idle);
    // The background goes back under the icon, so soft edges look the same every time.
    EXPECT_EQ(surface.image.copy(icon.ToQRect()), [&] {
        Surface fresh(200, 150);
        platform::Canvas freshDc(fresh.image);
        MeterList again(0, 2);
        again.Layout(true, Rect{0, 0, 200, 150}, freshDc);
        again.DrawOutputs(freshDc);
        return fresh.image.copy(icon.ToQRect());
    }());
}

}  // namespace
