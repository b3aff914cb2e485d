// Equaliser band design: scipy reference responses, analytic properties, safe inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "dsp_blocks/filters/Biquad.h"
#include "tests/dsp_filters/ReferenceData.h"

namespace {

using FilterReference::SectionResponse;
using FilterReference::ToDb;

BiquadCoefficients Design(std::uint32_t type, float f, float q, float gain, float slope = 0.0f)
{
    BiquadCoefficients out{9.0, 9.0, 9.0, 9.0, 9.0};
    DesignBiquad(type, f, q, gain, slope, out);
    return out;
}

double DbAt(const BiquadCoefficients& s, double f)
{
    return ToDb(SectionResponse(s, f));
}

bool AllFinite(const BiquadCoefficients& s)
{
    return std::isfinite(s.a1) && std::isfinite(s.a2) && std::isfinite(s.b0) && std::isfinite(s.c1) &&
           std::isfinite(s.c2);
}

const double kHalfPowerDb = 10.0 * std::log10(0.5);

// Frequency between from and to where the notch's magnitude crosses -3 dB (bisection).
double NotchEdge(const BiquadCoefficients& s, double from, double to)
{
    const bool risingAtFrom = DbAt(s, from) < kHalfPowerDb;
    for (int i = 0; i < 200; ++i) {
        const double middle = 0.5 * (from + to);
        const bool below = DbAt(s, middle) < kHalfPowerDb;
        (below == risingAtFrom ? from : to) = middle;
    }
    return 0.5 * (from + to);
}

}  // namespace

TEST(DesignBiquadReference, EveryBandMatchesTheScipyResponseOnTheGrid)
{
    const std::vector<double> grid = FilterReference::LoadGrid();
    ASSERT_EQ(grid.size(), 512u);
    const auto curves = FilterReference::LoadCurves("equaliser_reference.csv", 5);
    ASSERT_EQ(curves.size(), 23u);
    for (const auto& curve : curves) {
        const auto type = static_cast<std::uint32_t>(std::stoul(curve.fields[0]));
        const auto f = static_cast<float>(FilterReference::ParseDouble(curve.fields[1]));
        const auto q = static_cast<float>(FilterReference::ParseDouble(curve.fields[2]));
        const auto gain = static_cast<float>(FilterReference::ParseDouble(curve.fields[3]));
        const auto slope = static_cast<float>(FilterReference::ParseDouble(curve.fields[4]));
        const BiquadCoefficients s = Design(type, f, q, gain, slope);
        ASSERT_EQ(curve.db.size(), grid.size());
        double worst = 0.0;
        for (std::size_t i = 0; i < grid.size(); ++i) {
            worst = std::max(worst, std::fabs(DbAt(s, grid[i]) - curve.db[i]));
        }
        EXPECT_LE(worst, 1e-5) << "type " << type << " f " << f << " q " << q << " gain " << gain << " slope "
                               << slope;
    }
}

TEST(DesignBiquadAnalytic, PeakingReachesItsGainAtTheCentreFrequency)
{
    for (float f : {63.0f, 1000.0f, 15000.0f}) {
        for (float gain : {-18.0f, -6.0f, 3.5f, 12.0f}) {
            for (float q : {0.3f, 1.4142135f, 20.0f}) {
                EXPECT_NEAR(DbAt(Design(BiquadType::kPeaking, f, q, gain), f), gain, 1e-5)
                    << f << " " << gain << " " << q;
            }
        }
    }
}

TEST(DesignBiquadAnalytic, BoostTimesCutIsOneEverywhere)
{
    const std::vector<double> grid = FilterReference::LoadGrid();
    for (std::uint32_t type : {BiquadType::kPeaking, BiquadType::kHighShelf, BiquadType::kLowShelf}) {
        const BiquadCoefficients boost = Design(type, 700.0f, 2.0f, 9.0f);
        const BiquadCoefficients cut = Design(type, 700.0f, 2.0f, -9.0f);
        EXPECT_NEAR(cut.b0 * boost.b0, 1.0, 1e-14) << type;
        for (double f : grid) {
            EXPECT_NEAR(std::abs(SectionResponse(boost, f) * SectionResponse(cut, f)), 1.0, 1e-9) << type;
        }
    }
}

TEST(DesignBiquadAnalytic, ShelvesReachTheirGainAtTheEnds)
{
    const double a = std::pow(10.0, 6.0 / 20.0);
    const BiquadCoefficients high = Design(BiquadType::kHighShelf, 1000.0f, 1.0f, 6.0f);
    EXPECT_NEAR(std::abs(SectionResponse(high, 0.0)), 1.0, 1e-12);
    EXPECT_NEAR(std::abs(SectionResponse(high, 24000.0)), a, 1e-9);
    const BiquadCoefficients low = Design(BiquadType::kLowShelf, 1000.0f, 1.0f, -6.0f);
    EXPECT_NEAR(std::abs(SectionResponse(low, 0.0)), 1.0 / a, 1e-12);
    EXPECT_NEAR(std::abs(SectionResponse(low, 24000.0)), 1.0, 1e-9);
}

TEST(DesignBiquadAnalytic, NotchIsDeepAtItsCentreAndAsWideAsItsQ)
{
    for (float f : {60.0f, 1000.0f, 8000.0f}) {
        for (float q : {1.0f, 2.5f, 10.0f}) {
            const BiquadCoefficients s = Design(BiquadType::kNotch, f, q, 6.0f);
            EXPECT_LT(DbAt(s, f), -100.0) << f << " " << q;
            // In the prewarped domain the -3 dB edges k1, k2 satisfy k1 k2 = k0^2 and
            // k2 - k1 = sin(w0/2) / (q cos^2(w0/2)), w0/2 = f pi / 48000.
            const double half = f * 6.544984694978735e-5;
            const double lower = NotchEdge(s, 1.0, f);
            const double upper = NotchEdge(s, f, 23999.0);
            const double k1 = std::tan(lower * std::numbers::pi / 48000.0);
            const double k2 = std::tan(upper * std::numbers::pi / 48000.0);
            const double q1 = static_cast<double>(0.5f / q) * 2.0;  // 1/q as the designer holds it
            EXPECT_NEAR(k1 * k2, std::tan(half) * std::tan(half), 1e-9 * std::tan(half) * std::tan(half));
            EXPECT_NEAR((k2 - k1) / (std::sin(half) / (std::cos(half) * std::cos(half)) * q1), 1.0, 1e-9);
        }
    }
}

// alpha = (0.5 / q) * 2 sin(f pi / 48000), which at 1 kHz and q 1 is sin(pi / 48) = 0.0654.
TEST(DesignBiquadAnalytic, NotchAtOneKilohertzWithQOne)
{
    const BiquadCoefficients s = Design(BiquadType::kNotch, 1000.0f, 1.0f, 0.0f);
    const double alpha = std::sin(std::numbers::pi / 48.0);
    EXPECT_NEAR(alpha, 0.06540, 1e-5);
    EXPECT_NEAR(s.b0, 1.0 / (1.0 + alpha), 1e-15);
    EXPECT_NEAR(s.c1, -2.0 * std::cos(2.0 * std::numbers::pi / 48.0), 1e-15);
    EXPECT_EQ(s.c2, 1.0);
    EXPECT_NEAR(s.a1, -s.c1 / (1.0 + alpha), 1e-15);
    EXPECT_NEAR(s.a2, (alpha - 1.0) / (1.0 + alpha), 1e-15);
}

TEST(DesignBiquad, ZeroGainPeakingAndShelvesAreExactlyFlat)
{
    for (std::uint32_t type : {BiquadType::kPeaking, BiquadType::kHighShelf, BiquadType::kLowShelf}) {
        for (float f : {20.0f, 1234.5f, 20000.0f}) {
            EXPECT_EQ(Design(type, f, 3.0f, 0.0f), kFlatSection);
            EXPECT_EQ(Design(type, f, 3.0f, -0.0f), kFlatSection);
        }
    }
}

TEST(DesignBiquad, FlatAndUnknownTypesGiveTheFlatSection)
{
    for (std::uint32_t type : {0u, 7u, 8u, 100u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Design(type, 1000.0f, 1.0f, 6.0f), kFlatSection) << type;
    }
}

TEST(DesignBiquad, PassFiltersAreFirstOrderUnlessTheSlopeIsMinusTwelve)
{
    const double k = std::tan(static_cast<double>(2000.0f) * 6.544984694978735e-5);
    for (float slope : {0.0f, -6.0f, -12.5f, -24.0f}) {
        const BiquadCoefficients high = Design(BiquadType::kHighPass, 2000.0f, 1.0f, 0.0f, slope);
        EXPECT_EQ(high.a2, 0.0);
        EXPECT_EQ(high.c1, -1.0);
        EXPECT_EQ(high.c2, 0.0);
        EXPECT_DOUBLE_EQ(high.b0, 1.0 / (1.0 + k));
        const BiquadCoefficients low = Design(BiquadType::kLowPass, 2000.0f, 1.0f, 0.0f, slope);
        EXPECT_EQ(low.c1, 1.0);
        EXPECT_DOUBLE_EQ(low.b0, k / (1.0 + k));
    }
    const BiquadCoefficients second = Design(BiquadType::kLowPass, 2000.0f, 1.0f, 0.0f, -12.0f);
    EXPECT_EQ(second.c1, 2.0);
    EXPECT_EQ(second.c2, 1.0);
    EXPECT_NEAR(DbAt(second, 2000.0), -3.0103, 1e-4);
}

TEST(DesignBiquad, CoefficientsCompareUnequalOnAnyDifferenceOrNaN)
{
    BiquadCoefficients a = kFlatSection;
    BiquadCoefficients b = kFlatSection;
    EXPECT_TRUE(a == b);
    b.c2 = 1e-300;
    EXPECT_FALSE(a == b);
    a.a1 = std::numeric_limits<double>::quiet_NaN();
    b = a;
    EXPECT_FALSE(a == b);
}

TEST(DesignBiquadSafety, OddInputsNeverGiveNonFiniteCoefficients)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (std::uint32_t type = 0; type <= 7; ++type) {
        for (float f : {nan, inf, -inf, -100.0f, 0.0f, 24000.0f, 30000.0f, 48000.0f, 3e38f}) {
            for (float q : {nan, inf, -1.0f, 0.0f, 1e-30f, 1.0f}) {
                for (float gain : {nan, inf, -inf, -1e30f, -18.0f, 6.0f, 1e30f}) {
                    for (float slope : {0.0f, -12.0f, nan}) {
                        EXPECT_TRUE(AllFinite(Design(type, f, q, gain, slope)))
                            << type << " f " << f << " q " << q << " gain " << gain << " slope " << slope;
                    }
                }
            }
        }
    }
}

TEST(DesignBiquadSafety, InputsAreClampedIntoThePanelRanges)
{
    EXPECT_EQ(Design(BiquadType::kPeaking, 24000.0f, 1.0f, 6.0f), Design(BiquadType::kPeaking, 20000.0f, 1.0f, 6.0f));
    EXPECT_EQ(Design(BiquadType::kNotch, 5.0f, 1.0f, 0.0f), Design(BiquadType::kNotch, 20.0f, 1.0f, 0.0f));
    EXPECT_EQ(Design(BiquadType::kPeaking, 500.0f, 0.0f, 6.0f), Design(BiquadType::kPeaking, 500.0f, 0.1f, 6.0f));
    EXPECT_EQ(Design(BiquadType::kNotch, 500.0f, -2.0f, 0.0f), Design(BiquadType::kNotch, 500.0f, 0.1f, 0.0f));
    EXPECT_EQ(Design(BiquadType::kPeaking, 500.0f, 500.0f, 6.0f),
              Design(BiquadType::kPeaking, 500.0f, 144.2705f, 6.0f));
    // Gains beyond the panels' +-18 dB (as stored presets may hold) are kept.
    EXPECT_NEAR(DbAt(Design(BiquadType::kPeaking, 500.0f, 1.0f, -30.0f), 500.0), -30.0, 1e-6);
    EXPECT_EQ(Design(BiquadType::kPeaking, 500.0f, 1.0f, std::numeric_limits<float>::quiet_NaN()), kFlatSection);
}
