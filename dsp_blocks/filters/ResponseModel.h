// Magnitude responses of a cascade of sections on a fixed logarithmic frequency grid.
// Only sections whose coefficients changed are recomputed; the combined record is the
// product of all sections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp_blocks/filters/BiquadCoefficients.h"
#include "dsp_blocks/filters/Complex.h"
#include "dsp_blocks/filters/DrawHelper.h"

// A point of the grid with its unit delays e^-jw = cos w - j sin w and e^-2jw, w = 2 pi f / 48000.
// They stay in double precision: near the lowest frequencies a narrow band's numerator and
// denominator nearly cancel, and single precision leaves little of what remains.
struct GridPoint {
    double frequency = 0.0;  // Hz
    double cos1 = 1.0;       // cos w
    double sin1 = 0.0;       // sin w
    double cos2 = 1.0;       // cos 2w
    double sin2 = 0.0;       // sin 2w
};

struct ResponseRecord {
    BiquadCoefficients coefficients;
    bool changed = false;
    std::vector<Complex> response;      // one value per grid point once computed
    std::vector<float> ownFrequencies;  // sorted, no duplicates
};

class ResponseModel {
public:
    // Both graph views plot 20 Hz to 20 kHz on 512 points.
    static constexpr double kViewMinFrequency = 20.0;
    static constexpr double kViewMaxFrequency = 20000.0;
    static constexpr std::size_t kViewGridSize = 512;
    // dB drawn for a zero magnitude and for own-frequency markers (the plot's bottom).
    static constexpr double kFloorDb = -999.0;
    // Marker position meaning "no further own frequency".
    static constexpr double kNoMarker = 100000.0;

    // Builds count points f(0) = fmin, f(i+1) = f(i) * r, r = exp(ln(fmax / fmin) / count),
    // so fmax itself is not on the grid. Invalid arguments (fmin not positive, fmax not
    // above fmin, anything non-finite) give an empty grid. Every section is marked changed
    // so the next Recompute fills it for the new grid.
    void SetGrid(double fmin, double fmax, std::size_t count);

    // Updates the first count records from coefficients[i] and frequencies[i] (frequencies
    // may be null: no own frequencies), appends new ones, and cuts the list to count.
    // A record whose coefficients and own frequency are unchanged stays as it is.
    // An own frequency counts only when it is finite and above 0.
    // A null coefficients array with a non-zero count is ignored.
    void SetSections(const BiquadCoefficients* coefficients, std::size_t count, const float* frequencies);

    // Recomputes every changed section; when one was (or the list was cut), rebuilds the
    // combined record from all sections. Returns the number of sections recomputed.
    std::size_t Recompute();

    // Draws one record (the combined one or a section's) as a polyline in (Hz, dB) with
    // a spike to kFloorDb at each own frequency. Draws nothing when the record does not
    // hold one value per grid point, or for the combined record while there are no sections.
    void DrawCurve(DrawHelper& drawer, const ResponseRecord& record, std::uint32_t colour,
                   std::int32_t width) const;

    double MinFrequency() const { return fmin_; }
    double MaxFrequency() const { return fmax_; }
    const std::vector<GridPoint>& Grid() const { return grid_; }
    const std::vector<ResponseRecord>& Sections() const { return sections_; }
    const ResponseRecord& Combined() const { return combined_; }

private:
    void ComputeSection(ResponseRecord& record) const;
    void ResetCombined();
    void MergeIntoCombined(const ResponseRecord& section);

    double fmin_ = 0.0;
    double fmax_ = 0.0;
    std::vector<GridPoint> grid_;
    std::vector<ResponseRecord> sections_;
    ResponseRecord combined_;
    // Set when sections were removed, so the combined record no longer matches them.
    bool combinedStale_ = false;
};
