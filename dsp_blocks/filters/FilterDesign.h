// The fixed table of crossover filter designs: each a cascade of four section rows.
#pragma once

#include <array>
#include <cstddef>

#include "dsp_blocks/filters/BiquadCoefficients.h"
#include "dsp_blocks/filters/SectionDesigners.h"

// One row of a design. multiplier and q hold the single-precision values of the
// design decimals (0.707107 is held as 0.7071070075035095).
struct FilterSectionDesign {
    SectionDesignerFloat designFloat = nullptr;
    SectionDesignerDouble designDouble = nullptr;
    double multiplier = 0.0;
    double q = 0.0;
};

// Exactly four rows; a design of fewer sections is padded with bypass rows (m 0, Q 0).
struct FilterDesign {
    std::array<FilterSectionDesign, 4> rows;
};

// Position of every design in the table, in table order.
enum class FilterDesignId : std::size_t {
    ButterworthLowPass1, ButterworthLowPass2, ButterworthLowPass3, ButterworthLowPass4,
    ButterworthLowPass6, ButterworthLowPass8,
    ButterworthHighPass1, ButterworthHighPass2, ButterworthHighPass3, ButterworthHighPass4,
    ButterworthHighPass6, ButterworthHighPass8,
    BesselLowPass2, BesselLowPass3, BesselLowPass4, BesselLowPass6, BesselLowPass8,
    BesselHighPass2, BesselHighPass3, BesselHighPass4, BesselHighPass6, BesselHighPass8,
    LinkwitzRileyLowPass2, LinkwitzRileyLowPass4, LinkwitzRileyLowPass6, LinkwitzRileyLowPass8,
    LinkwitzRileyHighPass2, LinkwitzRileyHighPass4, LinkwitzRileyHighPass6, LinkwitzRileyHighPass8,
    Bypass,
};

inline constexpr std::size_t kFilterDesignCount = 31;

// The whole read-only table, indexed by FilterDesignId (constant-initialised, so it
// may be read during static initialisation).
extern const std::array<FilterDesign, kFilterDesignCount> kFilterDesignTable;

constexpr const FilterDesign& GetFilterDesign(FilterDesignId id)
{
    return kFilterDesignTable[static_cast<std::size_t>(id)];
}

// Runs one row's double-precision designer at the filter's frequency with the row's
// multiplier and Q and the given linear gain, and returns the section it describes.
BiquadCoefficients DesignSection(const FilterSectionDesign& row, double frequency, double gain);
