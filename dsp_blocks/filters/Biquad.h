// Equaliser bands turned into one second-order section each, at 48 kHz.
#pragma once

#include <cstdint>

#include "dsp_blocks/filters/BiquadCoefficients.h"

// Band type codes taken by DesignBiquad; any code of 7 or more gives the flat section.
namespace BiquadType {
inline constexpr std::uint32_t kFlat = 0;
inline constexpr std::uint32_t kPeaking = 1;
inline constexpr std::uint32_t kHighShelf = 2;
inline constexpr std::uint32_t kLowShelf = 3;
inline constexpr std::uint32_t kHighPass = 4;
inline constexpr std::uint32_t kLowPass = 5;
inline constexpr std::uint32_t kNotch = 6;
}  // namespace BiquadType

// Slope value that selects the second-order high-pass and low-pass; any other slope
// gives the first-order forms. The editor itself always passes 0.
inline constexpr float kSecondOrderSlope = -12.0f;

// Designs one band into out. Peaking and shelves are flat when gainDb is exactly 0;
// shelves ignore q; the notch ignores gainDb.
// Inputs are made safe first: frequency is clamped into [20, 20000] Hz and q into
// [0.1, 144.2705] (the panels' ranges; NaN gives the lower end), a non-finite gain
// counts as 0 dB and a finite one is limited to +-120 dB. No input gives a
// non-finite coefficient.
void DesignBiquad(std::uint32_t type, float frequency, float q, float gainDb, float slope,
                  BiquadCoefficients& out);
