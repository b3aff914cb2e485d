// Cost of one meter tick with every cell changing, eight channels: eight raw level words
// turned into dBFS and their bars redrawn in the input view's client image, eight output
// indicators redrawn in the protection view's, and the changed rectangles copied to the
// windows.
#include <chrono>
#include <cstdio>
#include <vector>

#include <QImage>

#include "application/ui/meters/MeterList.h"
#include "application/ui/meters/MeterScale.h"
#include "bench/ui/UiBench.h"
#include "platform/ui/drawing/UiFonts.h"

namespace {

constexpr int kChannels = 8;
constexpr int kWidth = 400;
constexpr int kHeight = 306;
constexpr int kWarmUpTicks = 20;
constexpr int kTicks = 500;

struct MeterWindow {
    MeterWindow(bool outputs, MeterList& list)
        : client(kWidth, kHeight, QImage::Format_RGB32), screen(kWidth, kHeight, QImage::Format_RGB32)
    {
        client.fill(0xFFDCDCDC);
        background = client.copy();
        list.SetBackground(&background);
        platform::Canvas dc(client);
        dc.SelectFont(platform::DefaultGuiFont());
        list.Layout(outputs, platform::Rect{0, 0, kWidth, kHeight}, dc);
        if (outputs) {
            list.DrawOutputsWithLegend(dc);
        } else {
            list.DrawInputs(dc);
        }
    }
    void Present(const std::vector<platform::Rect>& drawn)
    {
        platform::Canvas window(screen);
        for (const platform::Rect& rect : drawn) {
            window.DrawImage(rect.left, rect.top, client, rect.left, rect.top, rect.Width(), rect.Height());
        }
    }
    QImage client;
    QImage background;
    QImage screen;
};

}  // namespace

UI_BENCH(MeterTick)
{
    MeterList inputs(kChannels, 0);
    inputs.SetStyle(MeterStyle::kColourZones | MeterStyle::kUnitText);
    MeterList outputs(0, kChannels);
    MeterWindow inputWindow(false, inputs);
    MeterWindow outputWindow(true, outputs);
    std::vector<platform::Rect> drawn;
    std::vector<double> samples;
    for (int tick = 0; tick < kWarmUpTicks + kTicks; ++tick) {
        // Every level and every state differs from the previous tick's.
        std::uint32_t raw[kChannels];
        std::uint16_t states[kChannels];
        for (int i = 0; i < kChannels; ++i) {
            raw[i] = (tick % 2 == 0 ? 9'000'000u : 200'000u) >> i;
            states[i] = static_cast<std::uint16_t>(tick % 2 == 0 ? 3 : 4);
        }
        const auto start = std::chrono::steady_clock::now();
        float levels[kChannels];
        for (int i = 0; i < kChannels; ++i) {
            levels[i] = meters::RawLevelToDb(raw[i]);
        }
        drawn.clear();
        {
            platform::Canvas dc(inputWindow.client);
            inputs.SetInputLevels(dc, levels, drawn);
        }
        inputWindow.Present(drawn);
        const std::size_t bars = drawn.size();
        drawn.clear();
        {
            platform::Canvas dc(outputWindow.client);
            outputs.SetOutputStates(dc, states, drawn);
        }
        outputWindow.Present(drawn);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (bars != kChannels || drawn.size() != kChannels) {
            std::printf("meter tick: only %zu bars and %zu indicators changed\n", bars, drawn.size());
            return;
        }
        if (tick >= kWarmUpTicks) {
            samples.push_back(took.count());
        }
    }
    const UiBenchFigures figures = Percentiles(samples);
    std::printf("meter tick, %d inputs and %d outputs all changing (convert, draw, copy to window): "
                "median %.3f ms, p99 %.3f ms over %d ticks (goal: median under 1 ms)\n",
                kChannels, kChannels, figures.median, figures.p99, kTicks);
}
