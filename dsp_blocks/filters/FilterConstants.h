// Fixed sample rate of every filter computation and the value ranges the panels allow.
#pragma once

namespace FilterConstants {

inline constexpr double kSampleRate = 48000.0;
// pi / 48000 as the designers use it for prewarping: K = tan(f * kPiOverSampleRate).
inline constexpr double kPiOverSampleRate = 6.544984694978735e-5;

// Ranges the panels let a user enter; the designers clamp into them so that no
// input, however odd, yields non-finite coefficients.
inline constexpr double kMinFrequency = 20.0;
inline constexpr double kMaxFrequency = 20000.0;
inline constexpr double kMinQ = 0.1;
inline constexpr double kMaxQ = 144.2705;
// Far beyond any panel (they offer +-18 dB); only keeps 10^(gain/20) finite while
// leaving larger stored gains, such as speaker presets may carry, unchanged.
inline constexpr double kMaxGainDb = 120.0;

}  // namespace FilterConstants
