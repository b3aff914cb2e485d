// Response curves of a section cascade on a logarithmic grid, and their drawing as
// (Hz, dB) polylines.
#include "dsp_blocks/filters/ResponseModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp_blocks/filters/FilterConstants.h"

namespace {

bool IsOwnFrequency(float frequency)
{
    return std::isfinite(frequency) && frequency > 0.0f;
}

double Decibels(const Complex& h)
{
    const float magnitude = Magnitude(h);
    if (magnitude == 0.0f) {
        return ResponseModel::kFloorDb;
    }
    return 20.0 * std::log10(static_cast<double>(magnitude));
}

}  // namespace

void ResponseModel::SetGrid(double fmin, double fmax, std::size_t count)
{
    fmin_ = fmin;
    fmax_ = fmax;
    grid_.clear();
    const bool valid = std::isfinite(fmin) && std::isfinite(fmax) && fmin > 0.0 && fmax > fmin;
    if (valid && count > 0) {
        const double ratio = std::exp(std::log(fmax / fmin) / static_cast<double>(count));
        const double radiansPerHz = 2.0 * std::numbers::pi / FilterConstants::kSampleRate;
        grid_.reserve(count);
        double frequency = fmin;
        for (std::size_t i = 0; i < count; ++i) {
            const double w = frequency * radiansPerHz;
            grid_.push_back(GridPoint{frequency, std::cos(w), std::sin(w), std::cos(2.0 * w), std::sin(2.0 * w)});
            frequency *= ratio;
        }
    }
    // Responses computed on the old grid no longer fit.
    for (ResponseRecord& record : sections_) {
        record.changed = true;
    }
    combinedStale_ = !sections_.empty();
    combined_.response.clear();
}

void ResponseModel::SetSections(const BiquadCoefficients* coefficients, std::size_t count, const float* frequencies)
{
    if (coefficients == nullptr && count > 0) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const float frequency = frequencies != nullptr ? frequencies[i] : 0.0f;
        const bool hasOwn = IsOwnFrequency(frequency);
        if (i < sections_.size()) {
            ResponseRecord& record = sections_[i];
            const bool sameOwn = hasOwn ? (record.ownFrequencies.size() == 1 && record.ownFrequencies[0] == frequency)
                                        : record.ownFrequencies.empty();
            if (record.coefficients == coefficients[i] && sameOwn) {
                continue;
            }
            record.coefficients = coefficients[i];
            record.ownFrequencies.clear();
            if (hasOwn) {
                record.ownFrequencies.push_back(frequency);
            }
            record.changed = true;
        } else {
            ResponseRecord record;
            record.coefficients = coefficients[i];
            record.changed = true;
            if (hasOwn) {
                record.ownFrequencies.push_back(frequency);
            }
            sections_.push_back(std::move(record));
        }
    }
    if (sections_.size() > count) {
        sections_.resize(count);
        // The combined record still holds the removed sections' product.
        combinedStale_ = true;
    }
}

std::size_t ResponseModel::Recompute()
{
    std::size_t recomputed = 0;
    for (ResponseRecord& record : sections_) {
        if (record.changed) {
            ComputeSection(record);
            record.changed = false;
            ++recomputed;
        }
    }
    if (recomputed == 0 && !combinedStale_) {
        return 0;
    }
    combinedStale_ = false;
    if (sections_.empty()) {
        // Nothing is left to combine; an empty record draws nothing.
        combined_ = ResponseRecord{};
        return recomputed;
    }
    ResetCombined();
    for (const ResponseRecord& record : sections_) {
        MergeIntoCombined(record);
    }
    return recomputed;
}

// H = b0 (1 + c1 z + c2 z^2) / (1 - a1 z - a2 z^2) with z = e^-jw, evaluated in double
// precision on the double coefficients (what a drawn point may differ from the exact response
// is far below a pixel), and kept in single precision.
void ResponseModel::ComputeSection(ResponseRecord& record) const
{
    const BiquadCoefficients& c = record.coefficients;
    record.response.resize(grid_.size());
    for (std::size_t i = 0; i < grid_.size(); ++i) {
        const GridPoint& p = grid_[i];
        const double numeratorRe = 1.0 + c.c1 * p.cos1 + c.c2 * p.cos2;
        const double numeratorIm = -(c.c1 * p.sin1 + c.c2 * p.sin2);
        const double denominatorRe = 1.0 - c.a1 * p.cos1 - c.a2 * p.cos2;
        const double denominatorIm = c.a1 * p.sin1 + c.a2 * p.sin2;
        const double scale = c.b0 / (denominatorRe * denominatorRe + denominatorIm * denominatorIm);
        record.response[i] = Complex{
            static_cast<float>((numeratorRe * denominatorRe + numeratorIm * denominatorIm) * scale),
            static_cast<float>((numeratorIm * denominatorRe - numeratorRe * denominatorIm) * scale)};
    }
}

void ResponseModel::ResetCombined()
{
    combined_.coefficients = kFlatSection;
    combined_.changed = false;
    combined_.response.assign(grid_.size(), Complex{1.0f, 0.0f});
    combined_.ownFrequencies.clear();
}

void ResponseModel::MergeIntoCombined(const ResponseRecord& section)
{
    const std::size_t points = std::min(combined_.response.size(), section.response.size());
    for (std::size_t i = 0; i < points; ++i) {
        combined_.response[i] *= section.response[i];
    }
    for (float frequency : section.ownFrequencies) {
        auto& own = combined_.ownFrequencies;
        const auto place = std::lower_bound(own.begin(), own.end(), frequency);
        if (place == own.end() || *place != frequency) {
            own.insert(place, frequency);
        }
    }
}

void ResponseModel::DrawCurve(DrawHelper& drawer, const ResponseRecord& record, std::uint32_t colour,
                              std::int32_t width) const
{
    if (grid_.empty() || record.response.size() != grid_.size()) {
        return;
    }
    if (&record == &combined_ && sections_.empty()) {
        return;
    }
    drawer.SetPen(colour, width);
    drawer.MoveTo(static_cast<float>(grid_[0].frequency), static_cast<float>(Decibels(record.response[0])));
    const std::vector<float>& own = record.ownFrequencies;
    std::size_t nextOwn = 0;
    double marker = own.empty() ? kNoMarker : static_cast<double>(own[0]);
    for (std::size_t i = 0; i < grid_.size(); ++i) {
        const double frequency = grid_[i].frequency;
        if (frequency >= marker) {
            drawer.LineTo(static_cast<float>(marker), static_cast<float>(kFloorDb));
            ++nextOwn;
            marker = nextOwn < own.size() ? static_cast<double>(own[nextOwn]) : kNoMarker;
        }
        drawer.LineTo(static_cast<float>(frequency), static_cast<float>(Decibels(record.response[i])));
    }
    drawer.Flush();
}
