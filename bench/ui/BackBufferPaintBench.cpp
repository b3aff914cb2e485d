// Cost of painting one 1600 x 1000 back buffer the way a graph view does: gradient background,
// framed plot, semi-log grid, axis labels, four anti-aliased response curves of 512 points,
// then the block copy to the window.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QString>

#include "bench/ui/UiBench.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr int kWarmUpFrames = 5;
constexpr int kFrames = 60;
constexpr int kCurvePoints = 512;
constexpr int kCurves = 4;

const platform::Rect kPlot{60, 20, kWidth - 30, kHeight - 40};

std::vector<std::vector<QPointF>> MakeCurves()
{
    std::vector<std::vector<QPointF>> curves(kCurves);
    for (int c = 0; c < kCurves; ++c) {
        for (int i = 0; i < kCurvePoints; ++i) {
            const double t = static_cast<double>(i) / (kCurvePoints - 1);
            const double y = 0.5 + 0.35 * std::sin(6.283 * t * (c + 1) * 0.7 + c) * std::exp(-t * c * 0.5);
            curves[c].emplace_back(kPlot.left + t * kPlot.Width(), kPlot.top + y * kPlot.Height());
        }
    }
    return curves;
}

void PaintFrame(QImage& buffer, QImage& window, const std::vector<std::vector<QPointF>>& curves)
{
    using namespace platform;
    {
        Canvas canvas(buffer);
        canvas.GradientFill(Rect{0, 0, kWidth, kHeight}, 0xE6E6E6, 0xFFFFFF, GradientDirection::Vertical);
        canvas.FillSolidRect(kPlot, 0xF0F0F0);
        canvas.Draw3dRect(kPlot, 0x808080, 0xFFFFFF);
        // Semi-log grid: three decades of nine lines, six horizontal divisions.
        const double decade = kPlot.Width() / 3.0;
        for (int d = 0; d < 3; ++d) {
            for (int k = 1; k <= 9; ++k) {
                const int x = kPlot.left + static_cast<int>(d * decade + std::log10(k) * decade);
                canvas.SelectPen(SolidPen(k == 1 ? 0xA8A8A8 : 0xD0D0D0));
                canvas.MoveTo(x, kPlot.bottom - 2);
                canvas.LineTo(x, kPlot.top + 1);
            }
        }
        canvas.SelectPen(SolidPen(0xA8A8A8));
        for (int j = 1; j < 6; ++j) {
            const int y = kPlot.bottom - j * kPlot.Height() / 6;
            canvas.MoveTo(kPlot.left, y);
            canvas.LineTo(kPlot.right - 1, y);
        }
        canvas.SetBkMode(BackgroundMode::Transparent);
        canvas.SetTextColor(0x606060);
        const int xLabels[] = {20, 100, 1000, 10000, 20000};
        for (int i = 0; i < 5; ++i) {
            const int x = kPlot.left + i * kPlot.Width() / 4;
            Rect cell{x - 30, kPlot.bottom + 1, x + 30, kPlot.bottom + 20};
            canvas.DrawText(QString::number(xLabels[i]), cell, TextFlag::kCenter | TextFlag::kSingleLine);
        }
        for (int i = 0; i <= 6; ++i) {
            const int y = kPlot.bottom - i * kPlot.Height() / 6;
            Rect cell{0, y - 8, kPlot.left - 4, y + 8};
            canvas.DrawText(QStringLiteral("  %1").arg(-18 + 6 * i), cell,
                            TextFlag::kRight | TextFlag::kVCenter | TextFlag::kSingleLine);
        }
        canvas.SetDrawMode(DrawMode::AntiAliased);
        const ColorRef colours[kCurves] = {0x806060, 0x2060C0, 0x20A040, 0xC04080};
        for (int c = 0; c < kCurves; ++c) {
            canvas.SelectPen(SolidPen(colours[c], 2));
            canvas.PolylineF(curves[c]);
        }
    }
    platform::Canvas screen(window);
    screen.DrawImage(0, 0, buffer);
}

}  // namespace

UI_BENCH(BackBufferPaint)
{
    QImage buffer(kWidth, kHeight, QImage::Format_RGB32);
    QImage window(kWidth, kHeight, QImage::Format_RGB32);
    const auto curves = MakeCurves();
    std::vector<double> samples;
    for (int frame = 0; frame < kWarmUpFrames + kFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        PaintFrame(buffer, window, curves);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (frame >= kWarmUpFrames) {
            samples.push_back(took.count());
        }
    }
    const UiBenchFigures figures = Percentiles(samples);
    std::printf("back-buffer paint %dx%d (gradient, grid, %d labels, %d curves of %d points, blit): "
                "median %.2f ms, p99 %.2f ms over %d frames\n",
                kWidth, kHeight, 12, kCurves, kCurvePoints, figures.median, figures.p99, kFrames);
}
