// How an equaliser band's width is shown and stepped: as Q (0.1 to 144.27, a spin step of
// 0.1) or as bandwidth in octaves (0.010 to 6.672, a spin step of 0.01), the conversions
// between the two, and the spin positions of either. The octave limits follow from the Q
// limits; they are worked out once, on first use.
#pragma once

#include "dsp_blocks/blocks/ParamRanges.h"

namespace BandWidthScale {

inline constexpr float kMinQ = ParamRange::kMinQ;
inline constexpr float kMaxQ = 144.27f;
inline constexpr float kQStep = 0.1f;
inline constexpr float kBandwidthStep = 0.01f;
// What an edit accepts as typed: Q and octaves.
inline constexpr float kMaxTypedQ = ParamRange::kMaxQ;
inline constexpr float kMinTypedBandwidth = 0.01f;
inline constexpr float kMaxTypedBandwidth = 6.67229f;
// Two widths this close are the same width.
inline constexpr float kSameWidth = 0.0001f;

// bw(Q) = 2 log2((sqrt(4 Q^2 + 1) + 1) / (2 Q)).
float BandwidthFromQ(float q);
// x = 2^(b / 2), Q = 1 / (x - 1 / x).
float QFromBandwidth(float bandwidth);
// floor(w x 999.99994 + 0.5) x 0.001: the width as the row shows it after a spin step.
float RoundToThousandth(float width);

// The octave limits and the bandwidth spin's range.
struct BandwidthLimits {
    float minimum = 0.0f;  // 0.010
    float maximum = 0.0f;  // 6.672
    int lowestPosition = 0;   // 1
    int highestPosition = 0;  // 668
};
const BandwidthLimits& Limits();

// The Q spin: positions 0 to 1442.
int HighestQPosition();
// (p + 1) x 0.1 below the highest position, 144.27 from it on.
float QOfPosition(int position);
// 0 below 0.1, floor((Q - 0.1) / 0.1 + 0.0001) below 144.27, the highest position from
// 144.27 on (within 0.0001).
int PositionOfQ(float q);

// The bandwidth spin: p x 0.01 clamped into the limits.
float BandwidthOfPosition(int position);
// The highest position within 0.0001 of the maximum and above it, else floor(b / 0.01 + 0.001)
// clamped into the spin's range.
int PositionOfBandwidth(float bandwidth);

// Whether a shown width lies on its spin's grid at position (the position PositionOfQ or
// PositionOfBandwidth gave): a Q at or below the Q of its position, or within 0.0001 of
// it; a bandwidth within 0.0001 of its position's bandwidth.
bool IsQOnGrid(float q, int position);
bool IsBandwidthOnGrid(float bandwidth, int position);

}  // namespace BandWidthScale
