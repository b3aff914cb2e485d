// Crossover section designers: formulas, precisions and safe handling of odd inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp_blocks/filters/FilterDesign.h"
#include "dsp_blocks/filters/SectionDesigners.h"
#include "tests/dsp_filters/ReferenceData.h"

namespace {

constexpr double kPiOverFs = 6.544984694978735e-5;

struct Values {
    double c[4];
    double b0;
};

Values RunDouble(SectionDesignerDouble design, double f, double m, double q, double g)
{
    Values v{};
    v.b0 = design(f, m, q, g, v.c);
    return v;
}

bool AllFinite(const Values& v)
{
    return std::isfinite(v.b0) && std::isfinite(v.c[0]) && std::isfinite(v.c[1]) && std::isfinite(v.c[2]) &&
           std::isfinite(v.c[3]);
}

const SectionDesignerDouble kAllDoubleDesigners[] = {
    DesignLowPass2Double, DesignHighPass2Double, DesignButterworthHighPass2Double,
    DesignLowPass1Double, DesignHighPass1Double, DesignButterworthLowPass1Double,
    DesignButterworthHighPass1Double, DesignBypassDouble};

}  // namespace

TEST(SectionDesigners, LowPassSecondOrderFollowsItsFormula)
{
    const double k = std::tan(1000.0 * kPiOverFs) * 1.1;
    const double q = 0.8;
    const double n = 1.0 + k / q + k * k;
    const Values v = RunDouble(DesignLowPass2Double, 1000.0, 1.1, q, 2.0);
    EXPECT_DOUBLE_EQ(v.c[0], 2.0 * (1.0 - k * k) / n);
    EXPECT_DOUBLE_EQ(v.c[1], -(1.0 - k / q + k * k) / n);
    EXPECT_EQ(v.c[2], 2.0);
    EXPECT_EQ(v.c[3], 1.0);
    EXPECT_DOUBLE_EQ(v.b0, 2.0 * k * k / n);
}

TEST(SectionDesigners, HighPassDividesTheWarpedFrequencyByTheMultiplier)
{
    const double k = std::tan(1000.0 * kPiOverFs) / 1.1;
    const double q = 0.8;
    const double n = 1.0 + k / q + k * k;
    const Values v = RunDouble(DesignHighPass2Double, 1000.0, 1.1, q, 2.0);
    EXPECT_DOUBLE_EQ(v.c[0], 2.0 * (1.0 - k * k) / n);
    EXPECT_EQ(v.c[2], -2.0);
    EXPECT_EQ(v.c[3], 1.0);
    EXPECT_DOUBLE_EQ(v.b0, 2.0 / n);
}

TEST(SectionDesigners, BesselThirdOrderScalesItsFirstOrderSection)
{
    const FilterSectionDesign lp = GetFilterDesign(FilterDesignId::BesselLowPass3).rows[0];
    const FilterSectionDesign hp = GetFilterDesign(FilterDesignId::BesselHighPass3).rows[0];
    const double m = static_cast<double>(0.9375045f);
    const double k0 = std::tan(500.0 * kPiOverFs);
    const BiquadCoefficients low = DesignSection(lp, 500.0, 1.0);
    EXPECT_DOUBLE_EQ(low.a1, (1.0 - k0 * m) / (1.0 + k0 * m));
    EXPECT_DOUBLE_EQ(low.b0, k0 * m / (1.0 + k0 * m));
    EXPECT_EQ(low.c1, 1.0);
    EXPECT_EQ(low.a2, 0.0);
    EXPECT_EQ(low.c2, 0.0);
    const BiquadCoefficients high = DesignSection(hp, 500.0, 1.0);
    EXPECT_DOUBLE_EQ(high.a1, (1.0 - k0 / m) / (1.0 + k0 / m));
    EXPECT_DOUBLE_EQ(high.b0, 1.0 / (1.0 + k0 / m));
    EXPECT_EQ(high.c1, -1.0);
}

TEST(SectionDesigners, ButterworthFirstOrderIgnoresTheMultiplier)
{
    const Values plain = RunDouble(DesignButterworthLowPass1Double, 700.0, 1.0, 0.0, 1.0);
    const Values scaled = RunDouble(DesignButterworthLowPass1Double, 700.0, 3.0, 0.0, 1.0);
    EXPECT_EQ(plain.b0, scaled.b0);
    EXPECT_EQ(plain.c[0], scaled.c[0]);
    const Values high = RunDouble(DesignButterworthHighPass1Double, 700.0, 3.0, 0.0, 1.0);
    EXPECT_EQ(high.b0, RunDouble(DesignHighPass1Double, 700.0, 1.0, 0.0, 1.0).b0);
}

TEST(SectionDesigners, AtZeroHertzLowPassPassesNothingAndHighPassEverything)
{
    const Values lp2 = RunDouble(DesignLowPass2Double, 0.0, 1.0, 0.7, 1.0);
    EXPECT_EQ(lp2.b0, 0.0);
    EXPECT_EQ(lp2.c[0], 2.0);
    const Values lp1 = RunDouble(DesignLowPass1Double, 0.0, 1.0, 0.0, 1.0);
    EXPECT_EQ(lp1.b0, 0.0);
    EXPECT_EQ(lp1.c[0], 1.0);
    EXPECT_EQ(RunDouble(DesignHighPass2Double, 0.0, 1.0, 0.7, 0.25).b0, 0.25);
    EXPECT_EQ(RunDouble(DesignHighPass1Double, 0.0, 1.0, 0.0, 0.25).b0, 0.25);
}

TEST(SectionDesigners, SinglePrecisionFormStoresFloatsOfTheDoubleValues)
{
    for (double f : {35.0, 1000.0, 17000.0}) {
        float single[4];
        double full[4];
        const double b0Single = DesignLowPass2Float(f, 1.02, 0.69, 1.0, single);
        const double b0Double = DesignLowPass2Double(f, 1.02, 0.69, 1.0, full);
        EXPECT_EQ(b0Single, b0Double);
        EXPECT_EQ(single[0], static_cast<float>(full[0]));
        EXPECT_EQ(single[1], static_cast<float>(full[1]));
        EXPECT_EQ(single[2], 2.0f);
        EXPECT_EQ(single[3], 1.0f);
        DesignHighPass1Float(f, 1.0, 0.0, 1.0, single);
        EXPECT_EQ(single[2], -1.0f);
        EXPECT_EQ(single[3], 0.0f);
    }
}

TEST(SectionDesigners, BypassClearsAndReturnsTheGain)
{
    float single[4] = {9.0f, 9.0f, 9.0f, 9.0f};
    EXPECT_EQ(DesignBypassFloat(1000.0, 1.0, 1.0, 0.75, single), 0.75);
    for (float value : single) {
        EXPECT_EQ(value, 0.0f);
    }
    const Values v = RunDouble(DesignBypassDouble, 1000.0, 1.0, 1.0, 0.75);
    EXPECT_EQ(v.b0, 0.75);
    EXPECT_EQ(v.c[0], 0.0);
    EXPECT_EQ(v.c[3], 0.0);
}

// The amplifier has always received single-precision Butterworth high-pass feedback
// coefficients; a compiler that drops the rounding would change them silently.
TEST(ButterworthHighPassRounding, FeedbackCoefficientsAreExactlyTheSinglePrecisionValues)
{
    const auto rows = FilterReference::LoadRows("rounded_coefficients.csv");
    ASSERT_EQ(rows.size(), 33u);
    const FilterDesignId ids[9] = {FilterDesignId::Bypass, FilterDesignId::Bypass,
                                   FilterDesignId::ButterworthHighPass2, FilterDesignId::ButterworthHighPass3,
                                   FilterDesignId::ButterworthHighPass4, FilterDesignId::Bypass,
                                   FilterDesignId::ButterworthHighPass6, FilterDesignId::Bypass,
                                   FilterDesignId::ButterworthHighPass8};
    for (const auto& row : rows) {
        const int order = std::stoi(row.at(0));
        const double f = FilterReference::ParseDouble(row.at(1));
        const std::size_t index = std::stoul(row.at(2));
        const double a1Single = FilterReference::ParseDouble(row.at(3));
        const double a2Single = FilterReference::ParseDouble(row.at(4));
        const FilterDesign& design = GetFilterDesign(ids[order]);
        const BiquadCoefficients s = DesignSection(design.rows.at(index), f, 1.0);
        EXPECT_EQ(s.a1, a1Single) << "order " << order << " at " << f << " Hz, row " << index;
        EXPECT_EQ(s.a2, a2Single) << "order " << order << " at " << f << " Hz, row " << index;
    }
}

TEST(ButterworthHighPassRounding, FourthOrderAtHundredHertzIsRoundedWhileOthersKeepDoublePrecision)
{
    const auto rows = FilterReference::LoadRows("rounded_coefficients.csv");
    bool seen = false;
    for (const auto& row : rows) {
        if (row.at(0) != "4" || FilterReference::ParseDouble(row.at(1)) != 100.0) {
            continue;
        }
        seen = true;
        const std::size_t index = std::stoul(row.at(2));
        const double a1Double = FilterReference::ParseDouble(row.at(5));
        const BiquadCoefficients rounded =
            DesignSection(GetFilterDesign(FilterDesignId::ButterworthHighPass4).rows.at(index), 100.0, 1.0);
        EXPECT_EQ(rounded.a1, static_cast<double>(static_cast<float>(a1Double)));
        EXPECT_NE(rounded.a1, a1Double);
        // The same Q in a Linkwitz-Riley high-pass row is not rounded.
        const BiquadCoefficients full =
            DesignSection(GetFilterDesign(FilterDesignId::LinkwitzRileyHighPass8).rows.at(index), 100.0, 1.0);
        EXPECT_DOUBLE_EQ(full.a1, a1Double);
        EXPECT_NE(full.a1, rounded.a1);
    }
    EXPECT_TRUE(seen);
    const BiquadCoefficients bessel =
        DesignSection(GetFilterDesign(FilterDesignId::BesselHighPass2).rows[0], 100.0, 1.0);
    EXPECT_NE(bessel.a1, static_cast<double>(static_cast<float>(bessel.a1)));
}

TEST(SectionDesignerSafety, OddInputsNeverGiveNonFiniteCoefficients)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (SectionDesignerDouble design : kAllDoubleDesigners) {
        for (double f : {nan, inf, -inf, -5.0, 0.0, 24000.0, 36000.0, 48000.0, 1e12}) {
            for (double q : {nan, -1.0, 0.0, 1e-30, 0.7, inf}) {
                for (double m : {nan, 0.0, -2.0, 1.0, inf}) {
                    for (double g : {nan, 1.0, inf}) {
                        EXPECT_TRUE(AllFinite(RunDouble(design, f, m, q, g)))
                            << "f " << f << " q " << q << " m " << m << " g " << g;
                    }
                }
            }
        }
    }
}

TEST(SectionDesignerSafety, FrequencyAtOrAboveNyquistIsClampedToTwentyKilohertz)
{
    const Values top = RunDouble(DesignLowPass2Double, 20000.0, 1.0, 0.7, 1.0);
    for (double f : {24000.0, 30000.0}) {
        const Values v = RunDouble(DesignLowPass2Double, f, 1.0, 0.7, 1.0);
        EXPECT_EQ(v.b0, top.b0);
        EXPECT_EQ(v.c[0], top.c[0]);
        EXPECT_EQ(v.c[1], top.c[1]);
    }
}

TEST(SectionDesignerSafety, QAtOrBelowZeroIsClampedToTheLowestPanelQ)
{
    const Values lowest = RunDouble(DesignHighPass2Double, 1000.0, 1.0, 0.1, 1.0);
    for (double q : {0.0, -3.0, 0.01}) {
        const Values v = RunDouble(DesignHighPass2Double, 1000.0, 1.0, q, 1.0);
        EXPECT_EQ(v.b0, lowest.b0);
        EXPECT_EQ(v.c[1], lowest.c[1]);
    }
}
