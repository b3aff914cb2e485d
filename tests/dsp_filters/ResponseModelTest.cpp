// Response model: grid, change tracking, recompute of changed sections, combined curve
// and the polyline handed to a drawer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/filters/FilterTypeTable.h"
#include "dsp_blocks/filters/ResponseModel.h"
#include "tests/dsp_filters/ReferenceData.h"

namespace {

// Records every call so the polyline can be checked point by point.
class RecordingDrawer : public DrawHelper {
public:
    enum class Kind { Pen, Move, Line, Flush };
    struct Call {
        Kind kind;
        float x = 0.0f;
        float y = 0.0f;
        std::uint32_t colour = 0;
        std::int32_t width = 0;
    };

    void SetPen(std::uint32_t colour, std::int32_t width) override { calls.push_back({Kind::Pen, 0, 0, colour, width}); }
    void MoveTo(float x, float y) override { calls.push_back({Kind::Move, x, y}); }
    void LineTo(float x, float y) override { calls.push_back({Kind::Line, x, y}); }
    void Flush() override { calls.push_back({Kind::Flush}); }

    std::vector<Call> calls;
};

ResponseModel ViewModel()
{
    ResponseModel model;
    model.SetGrid(ResponseModel::kViewMinFrequency, ResponseModel::kViewMaxFrequency, ResponseModel::kViewGridSize);
    return model;
}

BiquadCoefficients Band(std::uint32_t type, float f, float q, float gain)
{
    BiquadCoefficients s;
    DesignBiquad(type, f, q, gain, 0.0f, s);
    return s;
}

std::vector<BiquadCoefficients> NineBands()
{
    const float frequencies[9] = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    std::vector<BiquadCoefficients> bands;
    for (int i = 0; i < 9; ++i) {
        bands.push_back(Band(BiquadType::kPeaking, frequencies[i], 1.4142135f, static_cast<float>(i % 2 ? 6 : -4)));
    }
    return bands;
}

std::vector<RecordingDrawer::Call> LinesOf(const RecordingDrawer& drawer)
{
    std::vector<RecordingDrawer::Call> lines;
    for (const auto& call : drawer.calls) {
        if (call.kind == RecordingDrawer::Kind::Line) {
            lines.push_back(call);
        }
    }
    return lines;
}

}  // namespace

TEST(ResponseModelGrid, IsGeometricFromTheLowestFrequencyAndStopsBelowTheHighest)
{
    const ResponseModel model = ViewModel();
    const std::vector<double> reference = FilterReference::LoadGrid();
    ASSERT_EQ(model.Grid().size(), 512u);
    ASSERT_EQ(reference.size(), 512u);
    EXPECT_EQ(model.Grid().front().frequency, 20.0);
    for (std::size_t i = 0; i < 512; ++i) {
        EXPECT_NEAR(model.Grid()[i].frequency, reference[i], reference[i] * 1e-12);
    }
    const double ratio = std::exp(std::log(1000.0) / 512.0);
    EXPECT_NEAR(model.Grid().back().frequency, 20000.0 / ratio, 1e-6);
    EXPECT_EQ(model.MinFrequency(), 20.0);
    EXPECT_EQ(model.MaxFrequency(), 20000.0);
}

TEST(ResponseModelGrid, HoldsTheUnitDelaysOfEachPoint)
{
    const ResponseModel model = ViewModel();
    const GridPoint& p = model.Grid()[100];
    const double w = 2.0 * 3.141592653589793 * p.frequency / 48000.0;
    EXPECT_DOUBLE_EQ(p.cos1, std::cos(w));
    EXPECT_DOUBLE_EQ(p.sin1, std::sin(w));
    EXPECT_DOUBLE_EQ(p.cos2, std::cos(2.0 * w));
    EXPECT_DOUBLE_EQ(p.sin2, std::sin(2.0 * w));
}

TEST(ResponseModelGrid, InvalidArgumentsGiveAnEmptyGrid)
{
    ResponseModel model;
    model.SetGrid(0.0, 20000.0, 512);
    EXPECT_TRUE(model.Grid().empty());
    model.SetGrid(100.0, 50.0, 512);
    EXPECT_TRUE(model.Grid().empty());
    model.SetGrid(20.0, std::numeric_limits<double>::infinity(), 512);
    EXPECT_TRUE(model.Grid().empty());
}

TEST(ResponseModelSections, SettingTheSameValuesTwiceMarksNothingChanged)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    const float own[9] = {0, 0, 0, 0, 1000.0f, 0, 0, 0, 0};
    model.SetSections(bands.data(), bands.size(), own);
    EXPECT_EQ(model.Recompute(), 9u);
    model.SetSections(bands.data(), bands.size(), own);
    EXPECT_EQ(model.Recompute(), 0u);
}

TEST(ResponseModelSections, OnlyChangedSectionsAreRecomputed)
{
    ResponseModel model = ViewModel();
    auto bands = NineBands();
    model.SetSections(bands.data(), bands.size(), nullptr);
    model.Recompute();
    const std::vector<Complex> before = model.Sections()[2].response;
    bands[4] = Band(BiquadType::kPeaking, 1100.0f, 2.0f, 3.0f);
    model.SetSections(bands.data(), bands.size(), nullptr);
    EXPECT_TRUE(model.Sections()[4].changed);
    EXPECT_FALSE(model.Sections()[2].changed);
    EXPECT_EQ(model.Recompute(), 1u);
    EXPECT_FALSE(model.Sections()[4].changed);
    EXPECT_EQ(model.Sections()[2].response.size(), before.size());
}

TEST(ResponseModelSections, AChangedOwnFrequencyAloneMarksTheSection)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    model.SetSections(bands.data(), 9, nullptr);
    model.Recompute();
    float own[9] = {};
    own[3] = 500.0f;
    model.SetSections(bands.data(), 9, own);
    EXPECT_EQ(model.Recompute(), 1u);
    EXPECT_EQ(model.Sections()[3].ownFrequencies, std::vector<float>{500.0f});
    EXPECT_EQ(model.Combined().ownFrequencies, std::vector<float>{500.0f});
}

TEST(ResponseModelSections, AppendsNewRecordsAndCutsTheListToTheCount)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    model.SetSections(bands.data(), 3, nullptr);
    EXPECT_EQ(model.Sections().size(), 3u);
    model.SetSections(bands.data(), 9, nullptr);
    EXPECT_EQ(model.Sections().size(), 9u);
    model.SetSections(bands.data(), 4, nullptr);
    EXPECT_EQ(model.Sections().size(), 4u);
}

TEST(ResponseModelSections, NegativeOrNonFiniteOwnFrequenciesCountAsNone)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    const float own[3] = {-5.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f};
    model.SetSections(bands.data(), 3, own);
    for (const ResponseRecord& record : model.Sections()) {
        EXPECT_TRUE(record.ownFrequencies.empty());
    }
}

TEST(ResponseModelRecompute, CombinedIsTheProductOfAllSections)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    model.SetSections(bands.data(), bands.size(), nullptr);
    model.Recompute();
    const ResponseRecord& combined = model.Combined();
    ASSERT_EQ(combined.response.size(), 512u);
    EXPECT_EQ(combined.coefficients, kFlatSection);
    EXPECT_FALSE(combined.changed);
    for (std::size_t i = 0; i < 512; i += 37) {
        Complex product{1.0f, 0.0f};
        for (const ResponseRecord& record : model.Sections()) {
            product *= record.response[i];
        }
        EXPECT_EQ(combined.response[i].re, product.re);
        EXPECT_EQ(combined.response[i].im, product.im);
    }
}

TEST(ResponseModelRecompute, CombinedOwnFrequenciesAreSortedWithoutDuplicates)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    const float own[9] = {4000.0f, 0, 250.0f, 4000.0f, 0, 1000.0f, 0, 250.0f, 0};
    model.SetSections(bands.data(), 9, own);
    model.Recompute();
    EXPECT_EQ(model.Combined().ownFrequencies, (std::vector<float>{250.0f, 1000.0f, 4000.0f}));
}

TEST(ResponseModelRecompute, WithNoRecordsTheCombinedRecordIsNeverReset)
{
    ResponseModel model = ViewModel();
    EXPECT_EQ(model.Recompute(), 0u);
    EXPECT_TRUE(model.Combined().response.empty());
}

TEST(ResponseModelRecompute, RemovingSectionsRebuildsTheCombinedRecord)
{
    ResponseModel model = ViewModel();
    auto bands = NineBands();
    model.SetSections(bands.data(), 9, nullptr);
    model.Recompute();
    model.SetSections(bands.data(), 1, nullptr);
    model.Recompute();
    EXPECT_EQ(model.Combined().response[200].re, model.Sections()[0].response[200].re);
    EXPECT_EQ(model.Combined().response[200].im, model.Sections()[0].response[200].im);
    model.SetSections(bands.data(), 0, nullptr);
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Combined(), 0x806060, 2);
    EXPECT_TRUE(drawer.calls.empty());
}

TEST(ResponseModelRecompute, SingleSectionMatchesTheDoublePrecisionResponse)
{
    ResponseModel model = ViewModel();
    const BiquadCoefficients band = Band(BiquadType::kPeaking, 1000.0f, 2.0f, 9.0f);
    model.SetSections(&band, 1, nullptr);
    model.Recompute();
    for (std::size_t i = 0; i < 512; ++i) {
        const double f = model.Grid()[i].frequency;
        const double expected = FilterReference::ToDb(FilterReference::SectionResponse(band, f));
        const double got = 20.0 * std::log10(Magnitude(model.Sections()[0].response[i]));
        EXPECT_NEAR(got, expected, 1e-3) << f;
    }
}

// The curves against the scipy references over the plotted range (-18 to +18 dB, about
// 0.2 dB per pixel): within 0.05 dB, narrow notches low down included.
TEST(ResponseModelRecompute, CurvesFollowTheScipyReferencesOverThePlottedRange)
{
    const ResponseModel grid = ViewModel();
    const auto crossover = FilterReference::LoadCurves("crossover_reference.csv", 2);
    const auto equaliser = FilterReference::LoadCurves("equaliser_reference.csv", 5);
    ASSERT_FALSE(crossover.empty());
    ASSERT_FALSE(equaliser.empty());
    const auto check = [&](const std::vector<BiquadCoefficients>& sections, const std::vector<double>& reference,
                           const std::string& label, double tolerance) {
        ResponseModel model = ViewModel();
        model.SetSections(sections.data(), sections.size(), nullptr);
        model.Recompute();
        ASSERT_EQ(model.Combined().response.size(), reference.size()) << label;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            if (reference[i] < -18.0) {
                continue;
            }
            const double got = 20.0 * std::log10(Magnitude(model.Combined().response[i]));
            EXPECT_NEAR(got, reference[i], tolerance) << label << " at " << grid.Grid()[i].frequency;
        }
    };
    const std::pair<const char*, std::int32_t> types[] = {
        {"BW", FilterTypeCode::kButterworth12}, {"BE", FilterTypeCode::kBessel12}, {"LR", FilterTypeCode::kLinkwitzRiley12}};
    int compared = 0;
    for (const auto& curve : crossover) {
        // Only the designs the type list offers (orders 2 to 4) go through the views.
        const std::string& name = curve.fields[0];
        const int order = name.back() - '0';
        for (const auto& [family, firstCode] : types) {
            if (name.rfind(family, 0) != 0 || order < 2 || order > 4 || (family[0] == 'L' && order == 3)) {
                continue;
            }
            const std::int32_t code = family[0] == 'L' ? firstCode + (order == 4 ? 1 : 0) : firstCode + order - 2;
            const bool high = name.find("HP") != std::string::npos;
            const double corner = FilterReference::ParseDouble(curve.fields[1]);
            std::vector<BiquadCoefficients> sections;
            for (const FilterSectionDesign& row : FindFilterTable(high, code).rows) {
                sections.push_back(DesignSection(row, corner, 1.0));
            }
            check(sections, curve.db, name + " " + curve.fields[1], 0.05);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 22);
    for (const auto& curve : equaliser) {
        const auto type = static_cast<std::uint32_t>(std::stoul(curve.fields[0]));
        const auto f = static_cast<float>(FilterReference::ParseDouble(curve.fields[1]));
        const auto q = static_cast<float>(FilterReference::ParseDouble(curve.fields[2]));
        BiquadCoefficients section;
        DesignBiquad(type, f, q, static_cast<float>(FilterReference::ParseDouble(curve.fields[3])),
                     static_cast<float>(FilterReference::ParseDouble(curve.fields[4])), section);
        check({section}, curve.db, "band " + curve.fields[0] + " " + curve.fields[1], 0.05);
    }
}

// The exact response of a section's coefficients, in long double.
double ExactDb(const BiquadCoefficients& s, double frequency)
{
    const long double w = 2.0L * 3.14159265358979323846264338327950288L * frequency / 48000.0L;
    const std::complex<long double> z1 = std::polar(1.0L, -w);
    const std::complex<long double> z2 = std::polar(1.0L, -2.0L * w);
    const std::complex<long double> numerator =
        static_cast<long double>(s.b0) * (1.0L + static_cast<long double>(s.c1) * z1 + static_cast<long double>(s.c2) * z2);
    const std::complex<long double> denominator =
        1.0L - static_cast<long double>(s.a1) * z1 - static_cast<long double>(s.a2) * z2;
    return static_cast<double>(20.0L * std::log10(std::abs(numerator / denominator)));
}

// Every band the panels allow, and every crossover section, is drawn within 0.05 dB of the
// exact response of its coefficients; narrow bands low down (a notch at 27 Hz with Q 144, a
// +16.7 dB peak at 22 Hz with Q 123) nearly cancel, and must not lose their precision.
// Points more than 100 dB down lie far below every plot and only need to stay there.
TEST(ResponseModelRecompute, EveryPointIsWithinAFiftiethOfADecibelOfTheExactResponse)
{
    ResponseModel model = ViewModel();
    std::vector<BiquadCoefficients> sections;
    for (float f : {20.0f, 22.0f, 27.0f, 41.5f, 63.0f, 160.0f, 1000.0f, 4700.0f, 12000.0f, 20000.0f}) {
        for (float q : {0.1f, 0.7071f, 2.0f, 10.0f, 50.0f, 123.0f, 144.2705f}) {
            for (float gain : {-18.0f, -3.0f, 6.0f, 16.7f, 18.0f}) {
                for (std::uint32_t type : {BiquadType::kPeaking, BiquadType::kHighShelf, BiquadType::kLowShelf}) {
                    sections.push_back(Band(type, f, q, gain));
                }
            }
            sections.push_back(Band(BiquadType::kNotch, f, q, 0.0f));
        }
        for (const FilterTypeEntry& entry : FilterTypeTable) {
            for (bool high : {true, false}) {
                for (const FilterSectionDesign& row : FindFilterTable(high, entry.typeCode).rows) {
                    sections.push_back(DesignSection(row, f, 1.0));
                }
            }
        }
    }
    double worst = 0.0;
    for (const BiquadCoefficients& section : sections) {
        model.SetSections(&section, 1, nullptr);
        model.Recompute();
        const std::vector<Complex>& response = model.Sections()[0].response;
        for (std::size_t i = 0; i < model.Grid().size(); ++i) {
            const double exact = ExactDb(section, model.Grid()[i].frequency);
            const double drawn = 20.0 * std::log10(static_cast<double>(Magnitude(response[i])));
            if (exact < -100.0) {
                EXPECT_LT(drawn, -90.0);
                continue;
            }
            worst = std::max(worst, std::abs(drawn - exact));
        }
    }
    EXPECT_LT(worst, 0.05);
}

TEST(ResponseModelDraw, DrawsThePolylineInHertzAndDecibels)
{
    ResponseModel model = ViewModel();
    const BiquadCoefficients band = Band(BiquadType::kPeaking, 1000.0f, 2.0f, 9.0f);
    model.SetSections(&band, 1, nullptr);
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Sections()[0], 0xA8A8F0, 1);
    ASSERT_EQ(drawer.calls.size(), 1u + 1u + 512u + 1u);
    EXPECT_EQ(drawer.calls[0].kind, RecordingDrawer::Kind::Pen);
    EXPECT_EQ(drawer.calls[0].colour, 0xA8A8F0u);
    EXPECT_EQ(drawer.calls[0].width, 1);
    EXPECT_EQ(drawer.calls[1].kind, RecordingDrawer::Kind::Move);
    EXPECT_EQ(drawer.calls[1].x, 20.0f);
    EXPECT_EQ(drawer.calls.back().kind, RecordingDrawer::Kind::Flush);
    const auto lines = LinesOf(drawer);
    ASSERT_EQ(lines.size(), 512u);
    for (std::size_t i = 0; i < 512; ++i) {
        EXPECT_EQ(lines[i].x, static_cast<float>(model.Grid()[i].frequency));
        const double db = 20.0 * std::log10(static_cast<double>(Magnitude(model.Sections()[0].response[i])));
        EXPECT_EQ(lines[i].y, static_cast<float>(db));
    }
    EXPECT_EQ(drawer.calls[1].y, lines[0].y);
}

TEST(ResponseModelDraw, OwnFrequencyDrawsASpikeToTheFloorAtItsExactPlace)
{
    ResponseModel model = ViewModel();
    const BiquadCoefficients notch = Band(BiquadType::kNotch, 1000.0f, 4.0f, 0.0f);
    const float own = 1000.0f;
    model.SetSections(&notch, 1, &own);
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Combined(), 0x806060, 2);
    const auto lines = LinesOf(drawer);
    ASSERT_EQ(lines.size(), 513u);
    std::size_t spike = 0;
    while (spike < lines.size() && lines[spike].y != -999.0f) {
        ++spike;
    }
    ASSERT_LT(spike, lines.size());
    EXPECT_EQ(lines[spike].x, 1000.0f);
    // The spike comes just before the first grid point at or above the frequency.
    EXPECT_LT(lines[spike - 1].x, 1000.0f);
    EXPECT_GE(lines[spike + 1].x, 1000.0f);
}

TEST(ResponseModelDraw, TwoOwnFrequenciesBetweenTheSameGridPointsSpikeAtSuccessivePoints)
{
    ResponseModel model = ViewModel();
    const double f100 = model.Grid()[300].frequency;
    const double f101 = model.Grid()[301].frequency;
    const float first = static_cast<float>(f100 + (f101 - f100) * 0.3);
    const float second = static_cast<float>(f100 + (f101 - f100) * 0.6);
    const BiquadCoefficients sections[2] = {Band(BiquadType::kNotch, first, 3.0f, 0.0f),
                                            Band(BiquadType::kNotch, second, 3.0f, 0.0f)};
    const float own[2] = {second, first};
    model.SetSections(sections, 2, own);
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Combined(), 0x806060, 2);
    const auto lines = LinesOf(drawer);
    ASSERT_EQ(lines.size(), 514u);
    // Grid points 0..300, then the first spike, point 301, the second spike, point 302.
    EXPECT_EQ(lines[301].x, first);
    EXPECT_EQ(lines[301].y, -999.0f);
    EXPECT_EQ(lines[302].x, static_cast<float>(f101));
    EXPECT_EQ(lines[303].x, second);
    EXPECT_EQ(lines[303].y, -999.0f);
    EXPECT_EQ(lines[304].x, static_cast<float>(model.Grid()[302].frequency));
}

TEST(ResponseModelDraw, ZeroMagnitudeIsDrawnAtTheFloor)
{
    ResponseModel model = ViewModel();
    const BiquadCoefficients silent{0.0, 0.0, 0.0, 0.0, 0.0};
    model.SetSections(&silent, 1, nullptr);
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Sections()[0], 1, 1);
    for (const auto& line : LinesOf(drawer)) {
        EXPECT_EQ(line.y, -999.0f);
    }
}

TEST(ResponseModelDraw, NothingIsDrawnWithoutSections)
{
    ResponseModel model = ViewModel();
    model.Recompute();
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Combined(), 0x806060, 2);
    EXPECT_TRUE(drawer.calls.empty());
}

TEST(ResponseModelDraw, NothingIsDrawnForARecordOfAnotherGridSize)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    model.SetSections(bands.data(), 9, nullptr);
    model.Recompute();
    const ResponseRecord stale = model.Sections()[0];
    model.SetGrid(20.0, 20000.0, 256);
    RecordingDrawer drawer;
    model.DrawCurve(drawer, stale, 1, 1);
    model.DrawCurve(drawer, model.Combined(), 1, 1);
    EXPECT_TRUE(drawer.calls.empty());
    // The next recompute fills every record for the new grid.
    EXPECT_EQ(model.Recompute(), 9u);
    model.DrawCurve(drawer, model.Combined(), 1, 1);
    EXPECT_EQ(LinesOf(drawer).size(), 256u);
}

TEST(ResponseModelDraw, NothingIsDrawnBeforeTheFirstRecompute)
{
    ResponseModel model = ViewModel();
    const auto bands = NineBands();
    model.SetSections(bands.data(), 9, nullptr);
    RecordingDrawer drawer;
    model.DrawCurve(drawer, model.Sections()[0], 1, 1);
    model.DrawCurve(drawer, model.Combined(), 1, 1);
    EXPECT_TRUE(drawer.calls.empty());
}
