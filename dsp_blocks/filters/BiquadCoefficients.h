// One second-order section at 48 kHz:
//   H(z) = b0 * (1 + c1 z^-1 + c2 z^-2) / (1 - a1 z^-1 - a2 z^-2)
// a1, a2 are feedback coefficients with the sign for addition; b1 = c1 * b0, b2 = c2 * b0.
#pragma once

struct BiquadCoefficients {
    double a1 = 0.0;
    double a2 = 0.0;
    double b0 = 1.0;
    double c1 = 0.0;
    double c2 = 0.0;

    // Any differing value (a NaN included) makes two sections unequal.
    friend bool operator==(const BiquadCoefficients&, const BiquadCoefficients&) = default;
};

// The section that passes the signal unchanged.
inline constexpr BiquadCoefficients kFlatSection{0.0, 0.0, 1.0, 0.0, 0.0};
