// The cases of bench_ui: each file of this folder registers its own with UI_BENCH and
// prints its figures; main runs them all, or those named on the command line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

using UiBenchFunction = void (*)();

// Adds a case; returns a dummy value so that registration can run at static initialisation.
int RegisterUiBench(const char* name, UiBenchFunction run);

#define UI_BENCH(name)                                                  \
    static void name();                                                 \
    [[maybe_unused]] static const int name##Registered = RegisterUiBench(#name, name); \
    static void name()

// Median and 99th percentile of a set of samples (the vector is sorted in place).
struct UiBenchFigures {
    double median = 0.0;
    double p99 = 0.0;
};

inline UiBenchFigures Percentiles(std::vector<double>& samples)
{
    UiBenchFigures figures;
    if (samples.empty()) {
        return figures;
    }
    std::sort(samples.begin(), samples.end());
    figures.median = samples[samples.size() / 2];
    figures.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    return figures;
}
