// Crossover designs against independent scipy responses, and their analytic properties.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <string>
#include <vector>

#include "dsp_blocks/filters/FilterTypeTable.h"
#include "tests/dsp_filters/ReferenceData.h"

namespace {

using FilterReference::SectionResponse;

const std::map<std::string, FilterDesignId>& DesignsByName()
{
    static const std::map<std::string, FilterDesignId> names = {
        {"BW-LP 1", FilterDesignId::ButterworthLowPass1}, {"BW-LP 2", FilterDesignId::ButterworthLowPass2},
        {"BW-LP 3", FilterDesignId::ButterworthLowPass3}, {"BW-LP 4", FilterDesignId::ButterworthLowPass4},
        {"BW-LP 6", FilterDesignId::ButterworthLowPass6}, {"BW-LP 8", FilterDesignId::ButterworthLowPass8},
        {"BW-HP 1", FilterDesignId::ButterworthHighPass1}, {"BW-HP 2", FilterDesignId::ButterworthHighPass2},
        {"BW-HP 3", FilterDesignId::ButterworthHighPass3}, {"BW-HP 4", FilterDesignId::ButterworthHighPass4},
        {"BW-HP 6", FilterDesignId::ButterworthHighPass6}, {"BW-HP 8", FilterDesignId::ButterworthHighPass8},
        {"BE-LP 2", FilterDesignId::BesselLowPass2},      {"BE-LP 3", FilterDesignId::BesselLowPass3},
        {"BE-LP 4", FilterDesignId::BesselLowPass4},      {"BE-LP 6", FilterDesignId::BesselLowPass6},
        {"BE-LP 8", FilterDesignId::BesselLowPass8},      {"BE-HP 2", FilterDesignId::BesselHighPass2},
        {"BE-HP 3", FilterDesignId::BesselHighPass3},     {"BE-HP 4", FilterDesignId::BesselHighPass4},
        {"BE-HP 6", FilterDesignId::BesselHighPass6},     {"BE-HP 8", FilterDesignId::BesselHighPass8},
        {"LR-LP 2", FilterDesignId::LinkwitzRileyLowPass2}, {"LR-LP 4", FilterDesignId::LinkwitzRileyLowPass4},
        {"LR-LP 6", FilterDesignId::LinkwitzRileyLowPass6}, {"LR-LP 8", FilterDesignId::LinkwitzRileyLowPass8},
        {"LR-HP 2", FilterDesignId::LinkwitzRileyHighPass2}, {"LR-HP 4", FilterDesignId::LinkwitzRileyHighPass4},
        {"LR-HP 6", FilterDesignId::LinkwitzRileyHighPass6}, {"LR-HP 8", FilterDesignId::LinkwitzRileyHighPass8},
    };
    return names;
}

std::vector<BiquadCoefficients> Cascade(const FilterDesign& design, double frequency)
{
    std::vector<BiquadCoefficients> sections;
    for (const FilterSectionDesign& row : design.rows) {
        sections.push_back(DesignSection(row, frequency, 1.0));
    }
    return sections;
}

std::complex<double> CascadeResponse(const std::vector<BiquadCoefficients>& sections, double frequency)
{
    std::complex<double> h = 1.0;
    for (const BiquadCoefficients& s : sections) {
        h *= SectionResponse(s, frequency);
    }
    return h;
}

bool IsButterworthHighPass(const std::string& name)
{
    return name.rfind("BW-HP", 0) == 0 && name != "BW-HP 1";
}

}  // namespace

TEST(CrossoverReference, EveryDesignMatchesTheScipyResponseOnTheGrid)
{
    const std::vector<double> grid = FilterReference::LoadGrid();
    ASSERT_EQ(grid.size(), 512u);
    const auto curves = FilterReference::LoadCurves("crossover_reference.csv", 2);
    ASSERT_EQ(curves.size(), 36u);
    for (const auto& curve : curves) {
        const std::string& name = curve.fields[0];
        const double frequency = FilterReference::ParseDouble(curve.fields[1]);
        ASSERT_EQ(curve.db.size(), grid.size()) << name;
        ASSERT_TRUE(DesignsByName().count(name)) << name;
        const auto sections = Cascade(GetFilterDesign(DesignsByName().at(name)), frequency);
        // The Butterworth high-pass rows carry single-precision feedback coefficients.
        const double tolerance = IsButterworthHighPass(name) ? 0.01 : 1e-5;
        double worst = 0.0;
        for (std::size_t i = 0; i < grid.size(); ++i) {
            const double db = FilterReference::ToDb(CascadeResponse(sections, grid[i]));
            worst = std::max(worst, std::fabs(db - curve.db[i]));
        }
        EXPECT_LE(worst, tolerance) << name << " at " << frequency << " Hz";
    }
}

TEST(CrossoverAnalytic, ButterworthIsThreeDecibelsDownAtTheCorner)
{
    for (std::int32_t code : {FilterTypeCode::kButterworth12, FilterTypeCode::kButterworth18,
                              FilterTypeCode::kButterworth24}) {
        for (double f : {80.0, 1000.0, 12000.0}) {
            const double low = FilterReference::ToDb(CascadeResponse(Cascade(FindFilterTable(false, code), f), f));
            const double high = FilterReference::ToDb(CascadeResponse(Cascade(FindFilterTable(true, code), f), f));
            EXPECT_NEAR(low, -3.0103, 1e-4) << code << " at " << f;
            EXPECT_NEAR(high, -3.0103, 1e-4) << code << " at " << f;
        }
    }
}

TEST(CrossoverAnalytic, LinkwitzRileyIsSixDecibelsDownAtTheCorner)
{
    for (std::int32_t code : {FilterTypeCode::kLinkwitzRiley12, FilterTypeCode::kLinkwitzRiley24}) {
        for (double f : {80.0, 1000.0, 12000.0}) {
            const double low = FilterReference::ToDb(CascadeResponse(Cascade(FindFilterTable(false, code), f), f));
            const double high = FilterReference::ToDb(CascadeResponse(Cascade(FindFilterTable(true, code), f), f));
            EXPECT_NEAR(low, -6.0206, 1e-4) << code << " at " << f;
            EXPECT_NEAR(high, -6.0206, 1e-4) << code << " at " << f;
        }
    }
}

// Linkwitz-Riley outputs add up to an all-pass: in phase for 24 and 48 dB/octave,
// with one output inverted for 12 and 36 dB/octave.
TEST(CrossoverAnalytic, LinkwitzRileyOutputsSumToUnitMagnitude)
{
    const std::vector<double> grid = FilterReference::LoadGrid();
    const struct {
        FilterDesignId low;
        FilterDesignId high;
        double highSign;
    } pairs[] = {
        {FilterDesignId::LinkwitzRileyLowPass2, FilterDesignId::LinkwitzRileyHighPass2, -1.0},
        {FilterDesignId::LinkwitzRileyLowPass4, FilterDesignId::LinkwitzRileyHighPass4, 1.0},
        {FilterDesignId::LinkwitzRileyLowPass6, FilterDesignId::LinkwitzRileyHighPass6, -1.0},
        {FilterDesignId::LinkwitzRileyLowPass8, FilterDesignId::LinkwitzRileyHighPass8, 1.0},
    };
    for (const auto& pair : pairs) {
        for (double corner : {100.0, 1000.0, 8000.0}) {
            const auto low = Cascade(GetFilterDesign(pair.low), corner);
            const auto high = Cascade(GetFilterDesign(pair.high), corner);
            for (double f : grid) {
                const std::complex<double> sum = CascadeResponse(low, f) + pair.highSign * CascadeResponse(high, f);
                EXPECT_NEAR(std::abs(sum), 1.0, 1e-6) << "corner " << corner << " at " << f;
            }
        }
    }
}

TEST(CrossoverAnalytic, FlatTypePassesEverythingUnchanged)
{
    const auto sections = Cascade(FindFilterTable(true, FilterTypeCode::kFlat), 1000.0);
    for (const BiquadCoefficients& s : sections) {
        EXPECT_EQ(s, kFlatSection);
    }
}
