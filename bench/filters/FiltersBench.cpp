// Cost of the response curves behind the graph views: one section over the 512-point
// grid, and a full recompute of nine equaliser bands plus the combined curve (what the
// parametric view does when every band changes). Goal: full recompute under 60 us.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/filters/FilterTypeTable.h"
#include "dsp_blocks/filters/ResponseModel.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts drawn points so the optimiser cannot drop the drawing pass.
class CountingDrawer : public DrawHelper {
public:
    void SetPen(std::uint32_t, std::int32_t) override {}
    void MoveTo(float x, float y) override { sum += x + y; }
    void LineTo(float x, float y) override { sum += x + y; ++points; }
    void Flush() override {}
    double sum = 0.0;
    long points = 0;
};

std::vector<BiquadCoefficients> NineBands(float gainOffset)
{
    const float frequencies[9] = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    std::vector<BiquadCoefficients> bands(9);
    for (int i = 0; i < 9; ++i) {
        DesignBiquad(BiquadType::kPeaking, frequencies[i], 1.4142135f, gainOffset + static_cast<float>(i - 4), 0.0f,
                     bands[i]);
    }
    return bands;
}

struct Figures {
    double medianUs;
    double minUs;
};

template <typename Work>
Figures Measure(int rounds, Work work)
{
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(rounds));
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        work(r);
        const auto end = Clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return Figures{times[times.size() / 2], times.front()};
}

}  // namespace

int main()
{
    constexpr int kRounds = 2000;
    ResponseModel model;
    model.SetGrid(ResponseModel::kViewMinFrequency, ResponseModel::kViewMaxFrequency, ResponseModel::kViewGridSize);
    const std::vector<BiquadCoefficients> even = NineBands(0.5f);
    const std::vector<BiquadCoefficients> odd = NineBands(-0.5f);

    // One section: alternate its gain so every round recomputes it (and the combined curve).
    BiquadCoefficients one[2];
    DesignBiquad(BiquadType::kPeaking, 1000.0f, 2.0f, 6.0f, 0.0f, one[0]);
    DesignBiquad(BiquadType::kPeaking, 1000.0f, 2.0f, 5.0f, 0.0f, one[1]);
    const Figures single = Measure(kRounds, [&](int r) {
        model.SetSections(&one[r & 1], 1, nullptr);
        model.Recompute();
    });

    // Nine sections, all changed every round, plus the combined curve.
    const Figures nine = Measure(kRounds, [&](int r) {
        const std::vector<BiquadCoefficients>& bands = (r & 1) ? odd : even;
        model.SetSections(bands.data(), bands.size(), nullptr);
        model.Recompute();
    });

    // One band of nine changed (a drag step): one section and the combined curve.
    std::vector<BiquadCoefficients> dragged = even;
    const Figures drag = Measure(kRounds, [&](int r) {
        dragged[4] = one[r & 1];
        model.SetSections(dragged.data(), dragged.size(), nullptr);
        model.Recompute();
    });

    // Designing a crossover's eight sections plus a recompute of all of them.
    const Figures crossover = Measure(kRounds, [&](int r) {
        BiquadCoefficients sections[8];
        const double corner = (r & 1) ? 80.0 : 81.0;
        for (int i = 0; i < 4; ++i) {
            sections[i] = DesignSection(FindFilterTable(true, FilterTypeCode::kLinkwitzRiley24).rows[i], corner, 1.0);
            sections[4 + i] =
                DesignSection(FindFilterTable(false, FilterTypeCode::kLinkwitzRiley24).rows[i], corner * 30.0, 1.0);
        }
        model.SetSections(sections, 8, nullptr);
        model.Recompute();
    });

    // Drawing the nine band curves and the combined curve.
    model.SetSections(even.data(), even.size(), nullptr);
    model.Recompute();
    CountingDrawer drawer;
    const Figures draw = Measure(kRounds, [&](int) {
        for (const ResponseRecord& record : model.Sections()) {
            model.DrawCurve(drawer, record, 0xA8A8F0, 1);
        }
        model.DrawCurve(drawer, model.Combined(), 0x806060, 2);
    });

    std::printf("filter response curves, %zu-point grid, %d rounds each (median / best)\n", model.Grid().size(),
                kRounds);
    std::printf("  one section + combined curve            %8.2f us  %8.2f us\n", single.medianUs, single.minUs);
    std::printf("  nine sections + combined curve (full)   %8.2f us  %8.2f us   goal < 60 us: %s\n", nine.medianUs,
                nine.minUs, nine.medianUs < 60.0 ? "met" : "MISSED");
    std::printf("  one of nine changed + combined curve    %8.2f us  %8.2f us\n", drag.medianUs, drag.minUs);
    std::printf("  crossover: design 8 sections + curves   %8.2f us  %8.2f us\n", crossover.medianUs,
                crossover.minUs);
    std::printf("  draw nine curves + combined (no-op pen) %8.2f us  %8.2f us   (%ld points)\n", draw.medianUs,
                draw.minUs, drawer.points);
    return 0;
}
