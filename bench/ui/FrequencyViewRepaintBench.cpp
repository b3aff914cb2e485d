// Repainting a 1600 x 1000 frequency view that shows ten curves (nine equaliser sections and
// their combined response): the full repaint after a layout (background, grid and labels
// rendered again) and the curves-only repaint of a changed curve (background copied, curves
// drawn, block copy to the window). Goal: curves-only under 4 ms.
#include <chrono>
#include <cstdio>
#include <vector>

#include <QImage>
#include <QPainter>

#include "bench/ui/UiBench.h"
#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/filters/ResponseModel.h"
#include "dsp_blocks/ui/CurveDrawing.h"
#include "dsp_blocks/ui/VFreqGraphView.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr int kWarmUpFrames = 5;
constexpr int kFrames = 200;
constexpr int kBands = 9;

// A frequency view drawing every section's curve and then the combined one.
class TenCurveView final : public VFreqGraphView {
public:
    TenCurveView() : VFreqGraphView(nullptr)
    {
        model_.SetGrid(X0(), X1(), ResponseModel::kViewGridSize);
        std::vector<BiquadCoefficients> bands(kBands);
        std::vector<float> frequencies(kBands);
        for (int band = 0; band < kBands; ++band) {
            const float frequency = 40.0f * static_cast<float>(1 << band);
            const bool notch = band == 4;  // one notch among peaking bands
            DesignBiquad(notch ? 6u : 1u, frequency, 1.4f, band % 2 == 0 ? 6.0f : -9.0f, 0.0f, bands[band]);
            // As the parametric view gives them: a notch's curve spikes to the floor at its centre.
            frequencies[band] = notch ? frequency : 0.0f;
        }
        model_.SetSections(bands.data(), bands.size(), frequencies.data());
        model_.Recompute();
    }

    void DrawCurves(platform::Canvas& backBuffer) override
    {
        const auto drawer = MakeCurveDrawer(*this, backBuffer);
        for (const ResponseRecord& section : model_.Sections()) {
            model_.DrawCurve(*drawer, section, 0xA8BADE, 1);
        }
        model_.DrawCurve(*drawer, model_.Combined(), 0x806060, 2);
    }

private:
    ResponseModel model_;
};

template <typename Paint>
UiBenchFigures Measure(Paint paint)
{
    std::vector<double> samples;
    for (int frame = 0; frame < kWarmUpFrames + kFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        paint();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (frame >= kWarmUpFrames) {
            samples.push_back(took.count());
        }
    }
    return Percentiles(samples);
}

}  // namespace

UI_BENCH(FrequencyViewRepaint)
{
    TenCurveView view;
    const platform::Rect client{0, 0, kWidth, kHeight};
    view.Layout(client);
    QImage window(kWidth, kHeight, QImage::Format_RGB32);
    window.fill(0xFFE6E6E6);
    for (const bool antiAliased : {true, false}) {
        SetAntiAliasedCurves(antiAliased);
        const UiBenchFigures full = Measure([&] {
            view.Layout(client);
            view.RenderBackBuffer();
            QPainter painter(&window);
            view.PaintTo(painter, window.rect());
        });
        const UiBenchFigures curves = Measure([&] {
            view.RenderBackBuffer();
            QPainter painter(&window);
            view.PaintTo(painter, view.PlotRect().ToQRect());
        });
        std::printf("frequency view %dx%d, 10 curves of %zu points, %s drawer: full repaint median %.2f ms "
                    "(p99 %.2f), curves-only repaint median %.2f ms (p99 %.2f; goal < 4 ms) over %d frames\n",
                    kWidth, kHeight, ResponseModel::kViewGridSize, antiAliased ? "anti-aliased" : "integer",
                    full.median, full.p99, curves.median, curves.p99, kFrames);
    }
    SetAntiAliasedCurves(true);
}
