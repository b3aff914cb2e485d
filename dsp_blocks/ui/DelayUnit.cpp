#include "dsp_blocks/ui/DelayUnit.h"

#include <array>
#include <cmath>

#include "resources/strings/StringIds.h"

namespace {

constexpr std::array<DelayUnit, 3> kUnits{{
    {0, 1.0f, "%.1f", "%.1f", StringId::kDelayUnitMsec, 50.0f},
    {1, 0.343f, "%.2f", "%.1f", StringId::kDelayUnitMeter, 17.15f},
    {2, 1.1253281f, "%.2f", "%.1f", StringId::kDelayUnitFeet, 56.2664f},
}};

// In tenths of a millisecond: a delay on the grid shown in metres or feet comes back a
// few millionths below its tenth (10 ms is 3.43 m, and 3.43 / 0.343 is 9.9999995), which
// must not cost it 0.1 ms. Only values within 0.0001 ms below a tenth are lifted to it,
// far less than a pixel of the graph or a digit of the rows.
constexpr double kGridAllowance = 1.0e-3;

}  // namespace

std::span<const DelayUnit> DelayUnits()
{
    return kUnits;
}

const DelayUnit& FindDelayUnit(std::uint32_t code)
{
    for (const DelayUnit& unit : kUnits) {
        if (unit.code == code) {
            return unit;
        }
    }
    return kUnits.front();
}

float DisplayToGridMilliseconds(const DelayUnit& unit, float shown)
{
    const double milliseconds = static_cast<double>(shown) / static_cast<double>(unit.factor);
    return static_cast<float>(std::floor(milliseconds * 10.0 + kGridAllowance) * 0.1);
}
