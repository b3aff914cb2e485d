// The value ranges the block panels allow. Values that come from a blob (project file,
// paste, download) or from another controller are brought into these ranges before
// anything is designed or sent.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ParamRange {

inline constexpr float kMinFrequency = 20.0f;
// Lowest crossover frequency on a channel driving a high-impedance line (modes 3, 4).
inline constexpr float kMinHighImpedanceFrequency = 50.0f;
inline constexpr float kMaxFrequency = 20000.0f;
inline constexpr float kMinEqGainDb = -18.0f;
inline constexpr float kMaxEqGainDb = 18.0f;
inline constexpr float kMinQ = 0.1f;
inline constexpr float kMaxQ = 144.2705f;
inline constexpr float kMinDelayMs = 0.0f;
inline constexpr float kMaxDelayMs = 50.0f;
// Limiter thresholds (volts) and attack and release times (milliseconds).
inline constexpr float kMinLimiterThreshold = 0.5f;
inline constexpr float kMaxLimiterThreshold = 141.4f;
inline constexpr float kMinLimiterTimeMs = 0.1f;
inline constexpr float kMaxLimiterTimeMs = 10000.0f;

// True for a number inside [low, high] (never for NaN).
inline bool IsWithin(float value, float low, float high)
{
    return value >= low && value <= high;
}

// Clamps into [low, high]; NaN gives fallback.
inline float Clamp(float value, float low, float high, float fallback)
{
    if (std::isnan(value)) {
        return fallback;
    }
    return std::clamp(value, low, high);
}

// True for the channel modes of a high-impedance (constant-voltage) line.
inline bool IsHighImpedanceMode(std::uint32_t mode)
{
    return mode == 3 || mode == 4;
}

}  // namespace ParamRange
