// The signed 8.24 encoders: the amplifier's reference vectors bit for bit, and the behaviour
// outside the format.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "device_library/src/uploads/FixedPointEncoder.h"

namespace QuarryDriver {
namespace {

std::array<std::uint8_t, 4> Scalar(double x) {
    std::array<std::uint8_t, 4> out{};
    EncodeScalar(x, out);
    return out;
}

using Bytes4 = std::array<std::uint8_t, 4>;

TEST(FixedPointScalar, ReferenceVectorsRoundTowardPlusInfinity) {
    EXPECT_EQ(Scalar(0.3), (Bytes4{0x00, 0x4C, 0xCC, 0xCD}));
    EXPECT_EQ(Scalar(-0.3), (Bytes4{0xFF, 0xB3, 0x33, 0x34}));
    EXPECT_EQ(Scalar(1.0), (Bytes4{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Scalar(0.0), (Bytes4{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Scalar(-1.0), (Bytes4{0xFF, 0x00, 0x00, 0x00}));
}

TEST(FixedPointScalar, KeepsTheDevicesDoublePrecisionFormulaForTinyValues) {
    // x * 2^24 - 2^31 rounds to -2^31 in double, so a tiny positive value becomes 0, not 1.
    EXPECT_EQ(FixedPointWord(1e-15), 0u);
    // Large enough to survive the subtraction: ceiling of x * 2^24.
    EXPECT_EQ(FixedPointWord(0.5 / 16777216.0), 1u);
}

TEST(FixedPointScalar, LargestAndSmallestInRangeValuesAreExact) {
    EXPECT_EQ(FixedPointWord(127.0), 0x7F000000u);
    EXPECT_EQ(FixedPointWord(-128.0), 0x80000000u);
    EXPECT_EQ(FixedPointWord((2147483647.0) / 16777216.0), 0x7FFFFFFFu);
}

TEST(FixedPointScalar, OutOfRangeValuesSaturate) {
    EXPECT_EQ(FixedPointWord(128.0), 0x7FFFFFFFu);
    EXPECT_EQ(FixedPointWord(1e300), 0x7FFFFFFFu);
    EXPECT_EQ(FixedPointWord(std::numeric_limits<double>::infinity()), 0x7FFFFFFFu);
    EXPECT_EQ(FixedPointWord(-128.5), 0x80000000u);
    EXPECT_EQ(FixedPointWord(-1e300), 0x80000000u);
    EXPECT_EQ(FixedPointWord(-std::numeric_limits<double>::infinity()), 0x80000000u);
    // Just below 128 the ceiling would be 2^31 and wrap to -128; it saturates instead.
    EXPECT_EQ(FixedPointWord(std::nextafter(128.0, 0.0)), 0x7FFFFFFFu);
}

TEST(FixedPointScalar, NanEncodesAsZero) {
    EXPECT_EQ(FixedPointWord(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(Scalar(-std::numeric_limits<double>::quiet_NaN()), (Bytes4{0, 0, 0, 0}));
}

std::array<std::uint8_t, 20> Section(double x0, double x1, double x2, double x3, double x4) {
    std::array<std::uint8_t, 20> out{};
    EncodeSection(x0, x1, x2, x3, x4, out);
    return out;
}

TEST(FixedPointSection, SendsX2X1X0ThenNegatedX4X3) {
    EXPECT_EQ(Section(0, 0, 1, 0, 0),
              (std::array<std::uint8_t, 20>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Section(1, 0, 0, 0, 0),
              (std::array<std::uint8_t, 20>{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Section(0, 0, 0, 0.5, 0),
              (std::array<std::uint8_t, 20>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x80, 0, 0}));
    const auto mixed = Section(0.1, 0.2, 0.3, 0.4, 0.5);
    const auto at = [&](int i) {
        return static_cast<std::uint32_t>(mixed[i * 4]) << 24 | static_cast<std::uint32_t>(mixed[i * 4 + 1]) << 16 |
               static_cast<std::uint32_t>(mixed[i * 4 + 2]) << 8 | mixed[i * 4 + 3];
    };
    EXPECT_EQ(at(0), FixedPointWord(0.3));
    EXPECT_EQ(at(1), FixedPointWord(0.2));
    EXPECT_EQ(at(2), FixedPointWord(0.1));
    EXPECT_EQ(at(3), FixedPointWord(-0.5));
    EXPECT_EQ(at(4), FixedPointWord(-0.4));
}

std::array<std::uint8_t, 16> Gains(double g0, double g1, double g2, double g3) {
    std::array<std::uint8_t, 16> out{};
    EncodeGains(g0, g1, g2, g3, out);
    return out;
}

TEST(FixedPointGains, DecibelsBecomeLinearAmplitudes) {
    EXPECT_EQ(Gains(0.0, -6.0206, 6.0, 0.0),
              (std::array<std::uint8_t, 16>{0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x01, 0xFE, 0xC9, 0x83,
                                            0x01, 0x00, 0x00, 0x00}));
}

TEST(FixedPointGains, HugeGainSaturatesAndMinusInfinityIsSilence) {
    const auto out = Gains(100.0, -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                           0.0);
    EXPECT_EQ(out[0], 0x7F);
    EXPECT_EQ(out[3], 0xFF);
    for (int i = 4; i < 12; ++i) {
        EXPECT_EQ(out[i], 0) << i;
    }
}

TEST(FixedPointSixScalars, SixWordsInOrder) {
    const double values[6] = {1.0, -1.0, 0.3, -0.3, 0.0, 2.0};
    std::array<std::uint8_t, 24> out{};
    EncodeSixScalars(values, out);
    EXPECT_EQ(out, (std::array<std::uint8_t, 24>{0x01, 0, 0, 0, 0xFF, 0, 0, 0, 0x00, 0x4C, 0xCC, 0xCD,
                                                 0xFF, 0xB3, 0x33, 0x34, 0, 0, 0, 0, 0x02, 0, 0, 0}));
}

}  // namespace
}  // namespace QuarryDriver
