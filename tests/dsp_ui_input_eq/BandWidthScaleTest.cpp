// The band-width scales: the octave limits that follow from the Q limits, the conversions
// and the spin grids of both units.
#include <gtest/gtest.h>

#include "dsp_blocks/ui/BandWidthScale.h"

namespace bw = BandWidthScale;

TEST(BandWidthScale, OctaveLimitsAndConversionsFollowFromTheQLimits)
{
    EXPECT_FLOAT_EQ(bw::Limits().minimum, 0.010f);
    EXPECT_FLOAT_EQ(bw::Limits().maximum, 6.672f);
    EXPECT_EQ(bw::Limits().lowestPosition, 1);
    // 667 x 0.01 misses 6.672, so the maximum gets a position of its own.
    EXPECT_EQ(bw::Limits().highestPosition, 668);
    EXPECT_EQ(bw::HighestQPosition(), 1442);
    EXPECT_NEAR(bw::BandwidthFromQ(1.4142135f), 1.0f, 1e-6f);
    for (float q : {0.1f, 0.7f, 12.5f, 144.27f}) {
        EXPECT_NEAR(bw::QFromBandwidth(bw::BandwidthFromQ(q)), q, q * 1e-4f) << q;
    }
    EXPECT_FLOAT_EQ(bw::RoundToThousandth(1.2346f), 1.235f);
}

TEST(BandWidthScale, SpinGridsOfQAndOctaves)
{
    EXPECT_FLOAT_EQ(bw::QOfPosition(13), 1.4f);
    EXPECT_FLOAT_EQ(bw::QOfPosition(1441), 144.2f);
    EXPECT_FLOAT_EQ(bw::QOfPosition(1442), 144.27f);
    EXPECT_EQ(bw::PositionOfQ(0.05f), 0);
    EXPECT_EQ(bw::PositionOfQ(1.4f), 13);
    EXPECT_EQ(bw::PositionOfQ(144.2705f), 1442);
    EXPECT_EQ(bw::PositionOfQ(144.27f), 1442);
    EXPECT_EQ(bw::PositionOfQ(144.2f), 1441);
    EXPECT_FALSE(bw::IsQOnGrid(1.414f, 13));
    EXPECT_FLOAT_EQ(bw::BandwidthOfPosition(0), 0.010f);
    EXPECT_FLOAT_EQ(bw::BandwidthOfPosition(668), 6.672f);
    EXPECT_EQ(bw::PositionOfBandwidth(6.67195f), 668);
    EXPECT_EQ(bw::PositionOfBandwidth(6.671f), 667);
    EXPECT_FALSE(bw::IsBandwidthOnGrid(1.0034f, 100));
}
