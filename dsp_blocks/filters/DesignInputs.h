// Makes designer inputs safe: clamps into the ranges the panels allow so that no
// input yields non-finite coefficients. Internal to the filter library.
#pragma once

#include <algorithm>
#include <cmath>

#include "dsp_blocks/filters/FilterConstants.h"

namespace DesignInputs {

// Clamps into [low, high]; NaN gives nanValue.
inline double Clamp(double value, double low, double high, double nanValue)
{
    if (std::isnan(value)) {
        return nanValue;
    }
    return std::clamp(value, low, high);
}

inline double Q(double q)
{
    return Clamp(q, FilterConstants::kMinQ, FilterConstants::kMaxQ, FilterConstants::kMinQ);
}

}  // namespace DesignInputs
