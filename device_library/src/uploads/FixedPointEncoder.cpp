// Signed 8.24 fixed-point encoders.
#include "device_library/src/uploads/FixedPointEncoder.h"

#include <cmath>

#include "platform/base/ByteOrder.h"

namespace QuarryDriver {

namespace {

constexpr double kScale = 16777216.0;      // 2^24
constexpr double kOffset = 2147483648.0;   // 2^31
constexpr double kLargest = 2147483647.0;  // 2^31 - 1

}  // namespace

std::uint32_t FixedPointWord(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double v = x * kScale;
    // Everything above 2^31 - 1 (the ceiling would not fit) saturates; so does everything at or
    // below -2^31. Between, the amplifier's own formula, evaluated in double as it does.
    if (v > kLargest) {
        return 0x7FFFFFFFu;
    }
    if (v <= -kOffset) {
        return 0x80000000u;
    }
    const double shifted = std::trunc(v - kOffset);  // in [-2^32, 0): fits an int64 exactly
    const std::int64_t word = static_cast<std::int64_t>(shifted) + static_cast<std::int64_t>(kOffset);
    return static_cast<std::uint32_t>(word);
}

void EncodeScalar(double x, std::span<std::uint8_t, kFixedWordSize> out) {
    platform::StoreBigEndian(FixedPointWord(x), out.data());
}

void EncodeSection(double x0, double x1, double x2, double x3, double x4,
                   std::span<std::uint8_t, kSectionEncodedSize> out) {
    const double words[kSectionValueCount] = {x2, x1, x0, -x4, -x3};
    for (std::size_t i = 0; i < kSectionValueCount; ++i) {
        platform::StoreBigEndian(FixedPointWord(words[i]), out.data() + i * kFixedWordSize);
    }
}

void EncodeGains(double g0, double g1, double g2, double g3, std::span<std::uint8_t, kGainsEncodedSize> out) {
    const double gains[kGainCount] = {g0, g1, g2, g3};
    for (std::size_t i = 0; i < kGainCount; ++i) {
        platform::StoreBigEndian(FixedPointWord(std::pow(10.0, gains[i] * 0.05)), out.data() + i * kFixedWordSize);
    }
}

void EncodeSixScalars(std::span<const double, kSixScalarCount> x,
                      std::span<std::uint8_t, kSixScalarsEncodedSize> out) {
    for (std::size_t i = 0; i < kSixScalarCount; ++i) {
        platform::StoreBigEndian(FixedPointWord(x[i]), out.data() + i * kFixedWordSize);
    }
}

}  // namespace QuarryDriver
