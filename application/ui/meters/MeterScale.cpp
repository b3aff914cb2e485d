// Level arithmetic of the meters.
#include "application/ui/meters/MeterScale.h"

#include <cmath>

namespace meters {

namespace {

constexpr float kLevelSlope = 8.624f;
constexpr float kLevelOffset = 139.03f;

}  // namespace

float RawLevelToDb(std::uint32_t raw)
{
    if (raw == 0) {
        return -INFINITY;
    }
    const float logarithm = static_cast<float>(std::log(static_cast<double>(static_cast<float>(raw))));
    const float scaled = kLevelSlope * logarithm;
    return scaled - kLevelOffset;
}

float DecayLevel(float level)
{
    return level > kRestingLevelDb ? level - kDecayStepDb : kRestingLevelDb;
}

std::int32_t LevelToRow(float level, std::int32_t barTop, std::int32_t barBottom, float rangeTop, float rangeFloor)
{
    const float lastRow = static_cast<float>(barBottom - 1);
    const float top = static_cast<float>(barTop);
    const float row = (lastRow * (rangeTop - level) + (level - rangeFloor) * top) / (rangeTop - rangeFloor);
    return static_cast<std::int32_t>(row);
}

std::int32_t UnlitRows(float level, std::int32_t barTop, std::int32_t barBottom, float rangeTop, float rangeFloor)
{
    const std::int32_t height = barBottom > barTop ? barBottom - barTop : 0;
    if (!(level >= rangeFloor)) {
        return height;
    }
    if (level >= rangeTop) {
        return 0;
    }
    const std::int32_t offset = LevelToRow(level, barTop, barBottom, rangeTop, rangeFloor) - barTop;
    if (offset < 0) {
        return 0;
    }
    return offset >= height ? height : offset;
}

}  // namespace meters
