// The arithmetic of the level meters: the amplifier's raw level words in dBFS, the pixel row
// of a level on a bar, how much of a bar a level lights, and how a level falls back when no
// fresh reading comes.
#pragma once

#include <cstdint>

namespace meters {

// The scale of every level bar.
inline constexpr float kRangeTopDb = 0.0f;
inline constexpr float kRangeFloorDb = -48.0f;
inline constexpr std::int32_t kScaleDivisions = 8;

// Levels fall by this much per poll without a fresh reading, down to the resting level.
inline constexpr float kDecayStepDb = 0.8f;
inline constexpr float kRestingLevelDb = -100.0f;
// What a meter shows once the amplifier is gone.
inline constexpr float kDetachedLevelDb = -120.0f;

// level = 8.624 ln(raw) - 139.03 dBFS: the logarithm in double precision, the rest in
// single. A raw word of 0 gives minus infinity.
float RawLevelToDb(std::uint32_t raw);

// One poll without a fresh reading: a level above the resting level drops one step (it may
// pass below it once); anything else, minus infinity and NaN included, rests there.
float DecayLevel(float level);

// The pixel row of a level on a bar whose rows run from barTop to barBottom - 1: rangeTop
// on barTop, rangeFloor on barBottom - 1, linear between, truncated toward zero. Only for a
// finite level within [rangeFloor, rangeTop].
std::int32_t LevelToRow(float level, std::int32_t barTop, std::int32_t barBottom, float rangeTop, float rangeFloor);

// How many rows from the bar's top stay unlit: 0 lights the whole bar, the bar's height
// lights none. A level at or above rangeTop lights it all; a level below rangeFloor, minus
// infinity or NaN lights nothing (no non-finite value reaches an integer).
std::int32_t UnlitRows(float level, std::int32_t barTop, std::int32_t barBottom, float rangeTop, float rangeFloor);

}  // namespace meters
