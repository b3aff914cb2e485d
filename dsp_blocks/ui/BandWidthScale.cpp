#include "dsp_blocks/ui/BandWidthScale.h"

#include <algorithm>
#include <cmath>

namespace BandWidthScale {

namespace {

// The decimals the limits keep: floor(w x 999.99994 + 0.1) x 0.001.
constexpr double kThousandths = 999.99994;
constexpr double kLimitAllowance = 0.1;
constexpr double kPositionAllowance = 0.001;
constexpr double kQPositionAllowance = 0.0001;

BandwidthLimits ComputeLimits()
{
    BandwidthLimits limits;
    const double minimum = std::floor(static_cast<double>(BandwidthFromQ(kMaxQ)) * kThousandths + kLimitAllowance) * 0.001;
    const double maximum = std::floor(static_cast<double>(BandwidthFromQ(kMinQ)) * kThousandths + kLimitAllowance) * 0.001;
    limits.minimum = static_cast<float>(minimum);
    limits.maximum = static_cast<float>(maximum);
    limits.lowestPosition = static_cast<int>(std::floor(minimum / kBandwidthStep + kPositionAllowance));
    limits.highestPosition = static_cast<int>(std::floor(maximum / kBandwidthStep + kPositionAllowance));
    // A maximum between two steps gets a position of its own above them.
    if (std::fabs(limits.highestPosition * static_cast<double>(kBandwidthStep) - maximum) > kSameWidth) {
        ++limits.highestPosition;
    }
    return limits;
}

}  // namespace

float BandwidthFromQ(float q)
{
    const double qd = q;
    return static_cast<float>(2.0 * std::log2((std::sqrt(4.0 * qd * qd + 1.0) + 1.0) / (2.0 * qd)));
}

float QFromBandwidth(float bandwidth)
{
    const double x = std::exp2(static_cast<double>(bandwidth) / 2.0);
    return static_cast<float>(1.0 / (x - 1.0 / x));
}

float RoundToThousandth(float width)
{
    return static_cast<float>(std::floor(static_cast<double>(width) * kThousandths + 0.5) * 0.001);
}

const BandwidthLimits& Limits()
{
    static const BandwidthLimits limits = ComputeLimits();
    return limits;
}

int HighestQPosition()
{
    static const int highest = static_cast<int>(std::lround((static_cast<double>(kMaxQ) - kMinQ) / kQStep));
    return highest;
}

float QOfPosition(int position)
{
    if (position >= HighestQPosition()) {
        return kMaxQ;
    }
    return static_cast<float>((std::max(position, 0) + 1) * 0.1);
}

int PositionOfQ(float q)
{
    if (!(q >= kMinQ)) {
        return 0;
    }
    // The top Q has a position of its own, as the top bandwidth has; without it the spin,
    // clicked up to 144.27, would be put back one position and show 144.2 when released.
    if (q >= kMaxQ - kSameWidth) {
        return HighestQPosition();
    }
    return static_cast<int>(std::floor((static_cast<double>(q) - 0.1) / 0.1 + kQPositionAllowance));
}

float BandwidthOfPosition(int position)
{
    const BandwidthLimits& limits = Limits();
    return std::clamp(static_cast<float>(position * 0.01), limits.minimum, limits.maximum);
}

int PositionOfBandwidth(float bandwidth)
{
    const BandwidthLimits& limits = Limits();
    if (std::isnan(bandwidth)) {
        return limits.lowestPosition;
    }
    if (bandwidth >= limits.maximum - kSameWidth) {
        return limits.highestPosition;
    }
    const double position = std::floor(static_cast<double>(bandwidth) / 0.01 + kPositionAllowance);
    return static_cast<int>(std::clamp(position, static_cast<double>(limits.lowestPosition),
                                       static_cast<double>(limits.highestPosition)));
}

bool IsQOnGrid(float q, int position)
{
    const float shown = QOfPosition(position);
    return q <= shown || std::fabs(q - shown) <= kSameWidth;
}

bool IsBandwidthOnGrid(float bandwidth, int position)
{
    return std::fabs(BandwidthOfPosition(position) - bandwidth) <= kSameWidth;
}

}  // namespace BandWidthScale
