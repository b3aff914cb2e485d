// Signed 8.24 fixed-point encoders: the form in which biquad sections, gains and scalars travel
// to the amplifier (32-bit two's complement, value x * 2^24, most significant byte first).
#ifndef QUARRY_UPLOADS_FIXED_POINT_ENCODER_H
#define QUARRY_UPLOADS_FIXED_POINT_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace QuarryDriver {

inline constexpr std::size_t kFixedWordSize = 4;
inline constexpr std::size_t kSectionValueCount = 5;
inline constexpr std::size_t kSectionEncodedSize = kSectionValueCount * kFixedWordSize;
inline constexpr std::size_t kGainCount = 4;
inline constexpr std::size_t kGainsEncodedSize = kGainCount * kFixedWordSize;
inline constexpr std::size_t kSixScalarCount = 6;
inline constexpr std::size_t kSixScalarsEncodedSize = kSixScalarCount * kFixedWordSize;

// The 8.24 word of x. In range this is the amplifier's conversion, truncation toward zero of
// x * 2^24 - 2^31 then + 2^31 (a ceiling in effect); beyond the format it saturates to the
// nearest end, and NaN gives 0.
std::uint32_t FixedPointWord(double x);

void EncodeScalar(double x, std::span<std::uint8_t, kFixedWordSize> out);

// x0..x4 in the order the parameter image holds a section; the device takes x2, x1, x0, -x4, -x3.
void EncodeSection(double x0, double x1, double x2, double x3, double x4,
                   std::span<std::uint8_t, kSectionEncodedSize> out);

// Gains in dB, sent as linear amplitudes.
void EncodeGains(double g0, double g1, double g2, double g3, std::span<std::uint8_t, kGainsEncodedSize> out);

void EncodeSixScalars(std::span<const double, kSixScalarCount> x,
                      std::span<std::uint8_t, kSixScalarsEncodedSize> out);

}  // namespace QuarryDriver

#endif
