// The filter-type list, the design table behind it and the type lookup.
#include <gtest/gtest.h>

#include <set>

#include "dsp_blocks/filters/FilterTypeTable.h"

namespace {

const FilterDesign& Bypass()
{
    return GetFilterDesign(FilterDesignId::Bypass);
}

// Number of rows that are not bypass rows.
int SectionCount(const FilterDesign& design)
{
    int count = 0;
    for (const FilterSectionDesign& row : design.rows) {
        if (row.designDouble != DesignBypassDouble) {
            ++count;
        }
    }
    return count;
}

}  // namespace

TEST(FilterTypeTable, ListsNineTypesInComboBoxOrder)
{
    const std::int32_t codes[] = {0, 2, 3, 4, 7, 8, 9, 12, 13};
    ASSERT_EQ(FilterTypeTable.size(), 9u);
    for (std::size_t i = 0; i < FilterTypeTable.size(); ++i) {
        EXPECT_EQ(FilterTypeTable[i].typeCode, codes[i]);
        EXPECT_EQ(FilterTypeTable[i].nameId, 16435u + static_cast<std::uint32_t>(codes[i]));
    }
}

TEST(FilterTypeTable, EntriesPointAtTheirDesigns)
{
    EXPECT_EQ(FilterTypeTable[0].highPass, &Bypass());
    EXPECT_EQ(FilterTypeTable[0].lowPass, &Bypass());
    EXPECT_EQ(FilterTypeTable[3].highPass, &GetFilterDesign(FilterDesignId::ButterworthHighPass4));
    EXPECT_EQ(FilterTypeTable[3].lowPass, &GetFilterDesign(FilterDesignId::ButterworthLowPass4));
    EXPECT_EQ(FilterTypeTable[5].highPass, &GetFilterDesign(FilterDesignId::BesselHighPass3));
    EXPECT_EQ(FilterTypeTable[8].lowPass, &GetFilterDesign(FilterDesignId::LinkwitzRileyLowPass4));
}

TEST(FindFilterTable, ReturnsTheHighOrLowPassDesignOfTheCode)
{
    EXPECT_EQ(&FindFilterTable(true, 2), &GetFilterDesign(FilterDesignId::ButterworthHighPass2));
    EXPECT_EQ(&FindFilterTable(false, 2), &GetFilterDesign(FilterDesignId::ButterworthLowPass2));
    EXPECT_EQ(&FindFilterTable(true, 9), &GetFilterDesign(FilterDesignId::BesselHighPass4));
    EXPECT_EQ(&FindFilterTable(false, 12), &GetFilterDesign(FilterDesignId::LinkwitzRileyLowPass2));
    EXPECT_EQ(&FindFilterTable(true, 13), &GetFilterDesign(FilterDesignId::LinkwitzRileyHighPass4));
}

TEST(FindFilterTable, FlatAndUnlistedCodesGiveTheBypassDesign)
{
    for (std::int32_t code : {0, 1, 5, 6, 10, 11, 14, 15, 16, -1, 255}) {
        EXPECT_EQ(&FindFilterTable(true, code), &Bypass()) << code;
        EXPECT_EQ(&FindFilterTable(false, code), &Bypass()) << code;
    }
}

TEST(FindFilterTable, BypassDesignPassesTheGainAndClearsTheRest)
{
    for (const FilterSectionDesign& row : FindFilterTable(false, 14).rows) {
        const BiquadCoefficients s = DesignSection(row, 1000.0, 0.5);
        EXPECT_EQ(s, (BiquadCoefficients{0.0, 0.0, 0.5, 0.0, 0.0}));
    }
}

TEST(FilterDesignTable, HasThirtyOneDesignsWithTheirSectionCounts)
{
    const int counts[kFilterDesignCount] = {1, 1, 2, 2, 3, 4, 1, 1, 2, 2, 3, 4, 1, 2, 2, 3, 4,
                                            1, 2, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 0};
    for (std::size_t i = 0; i < kFilterDesignCount; ++i) {
        EXPECT_EQ(SectionCount(kFilterDesignTable[i]), counts[i]) << "design " << i;
    }
}

TEST(FilterDesignTable, PaddingRowsAreBypassWithZeroMultiplierAndQ)
{
    for (const FilterDesign& design : kFilterDesignTable) {
        const int used = SectionCount(design);
        for (std::size_t r = static_cast<std::size_t>(used); r < 4; ++r) {
            EXPECT_EQ(design.rows[r].designFloat, DesignBypassFloat);
            EXPECT_EQ(design.rows[r].designDouble, DesignBypassDouble);
            EXPECT_EQ(design.rows[r].multiplier, 0.0);
            EXPECT_EQ(design.rows[r].q, 0.0);
        }
    }
}

TEST(FilterDesignTable, RowValuesAreSinglePrecisionDecimals)
{
    const FilterDesign& bw2 = GetFilterDesign(FilterDesignId::ButterworthLowPass2);
    EXPECT_EQ(bw2.rows[0].q, 0.7071070075035095);
    EXPECT_EQ(bw2.rows[0].multiplier, 1.0);
    const FilterDesign& be3 = GetFilterDesign(FilterDesignId::BesselHighPass3);
    EXPECT_EQ(be3.rows[0].designDouble, DesignHighPass1Double);
    EXPECT_EQ(be3.rows[0].multiplier, static_cast<double>(0.9375045f));
    EXPECT_EQ(be3.rows[1].multiplier, static_cast<double>(1.0236216f));
    EXPECT_EQ(be3.rows[1].q, static_cast<double>(0.69072825f));
    const FilterDesign& be8 = GetFilterDesign(FilterDesignId::BesselLowPass8);
    EXPECT_EQ(be8.rows[3].multiplier, static_cast<double>(1.1003916f));
    EXPECT_EQ(be8.rows[3].q, static_cast<double>(1.2256694f));
}

TEST(FilterDesignTable, OnlyButterworthHighPassSecondOrderRowsRound)
{
    std::set<std::size_t> rounding;
    for (std::size_t i = 0; i < kFilterDesignCount; ++i) {
        for (const FilterSectionDesign& row : kFilterDesignTable[i].rows) {
            if (row.designDouble == DesignButterworthHighPass2Double) {
                rounding.insert(i);
            }
        }
    }
    const std::set<std::size_t> expected = {
        static_cast<std::size_t>(FilterDesignId::ButterworthHighPass2),
        static_cast<std::size_t>(FilterDesignId::ButterworthHighPass3),
        static_cast<std::size_t>(FilterDesignId::ButterworthHighPass4),
        static_cast<std::size_t>(FilterDesignId::ButterworthHighPass6),
        static_cast<std::size_t>(FilterDesignId::ButterworthHighPass8)};
    EXPECT_EQ(rounding, expected);
}

TEST(FilterDesignTable, LinkwitzRileyTwoIsOneSecondOrderSectionWithQHalf)
{
    const FilterDesign& lr2 = GetFilterDesign(FilterDesignId::LinkwitzRileyLowPass2);
    double expected[4];
    const double b0 = DesignLowPass2Double(1000.0, 1.0, 0.5, 1.0, expected);
    const BiquadCoefficients s = DesignSection(lr2.rows[0], 1000.0, 1.0);
    EXPECT_EQ(s, (BiquadCoefficients{expected[0], expected[1], b0, expected[2], expected[3]}));
}

TEST(FilterDesignTable, LinkwitzRileyFourIsTwoIdenticalSections)
{
    const FilterDesign& lr4 = GetFilterDesign(FilterDesignId::LinkwitzRileyLowPass4);
    const BiquadCoefficients first = DesignSection(lr4.rows[0], 1000.0, 1.0);
    const BiquadCoefficients second = DesignSection(lr4.rows[1], 1000.0, 1.0);
    EXPECT_EQ(first, second);
    double expected[4];
    const double b0 = DesignLowPass2Double(1000.0, 1.0, static_cast<double>(0.707107f), 1.0, expected);
    EXPECT_EQ(first, (BiquadCoefficients{expected[0], expected[1], b0, expected[2], expected[3]}));
}
