// Equaliser bands as bilinear transforms of analog prototypes prewarped at the band
// frequency: peaking, two-pole shelves, first- or second-order pass filters, notch.
#include <cmath>

#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/filters/DesignInputs.h"
#include "dsp_blocks/filters/FilterConstants.h"

namespace {

// Q of the optional second-order pass filters (the single-precision value of 1/sqrt(2)).
constexpr double kPassFilterQ = 0.7071070075035095;

struct BandValues {
    double frequency;
    float q;
    double gainDb;
    double k;   // tan(f * pi/48000)
    double k2;  // k^2
    double a;   // 10^(|gain| / 20)
    double sA;  // sqrt(a)
};

BandValues Prepare(float frequency, float q, float gainDb)
{
    BandValues v;
    v.frequency = DesignInputs::Clamp(frequency, FilterConstants::kMinFrequency, FilterConstants::kMaxFrequency,
                                      FilterConstants::kMinFrequency);
    // q stays single precision: the notch divides by it in single precision.
    v.q = static_cast<float>(DesignInputs::Q(q));
    v.gainDb = std::isfinite(gainDb)
                   ? DesignInputs::Clamp(gainDb, -FilterConstants::kMaxGainDb, FilterConstants::kMaxGainDb, 0.0)
                   : 0.0;
    v.a = std::pow(10.0, std::fabs(v.gainDb) / 20.0);
    v.sA = std::sqrt(v.a);
    v.k = std::tan(v.frequency * FilterConstants::kPiOverSampleRate);
    v.k2 = v.k * v.k;
    return v;
}

BiquadCoefficients Peaking(const BandValues& v)
{
    const double kq = v.k / static_cast<double>(v.q);
    const double d1 = 1.0 + kq + v.k2;
    const double d2 = 1.0 + kq * v.a + v.k2;
    BiquadCoefficients s;
    if (v.gainDb > 0.0) {
        s.a1 = (2.0 - 2.0 * v.k2) / d1;
        s.a2 = (kq - 1.0 - v.k2) / d1;
        s.c1 = (2.0 * v.k2 - 2.0) / d2;
        s.c2 = (1.0 - kq * v.a + v.k2) / d2;
        s.b0 = d2 / d1;
    } else {
        s.a1 = (2.0 - 2.0 * v.k2) / d2;
        s.a2 = (kq * v.a - 1.0 - v.k2) / d2;
        s.c1 = (2.0 * v.k2 - 2.0) / d1;
        s.c2 = (1.0 - kq + v.k2) / d1;
        s.b0 = d1 / d2;
    }
    return s;
}

BiquadCoefficients HighShelf(const BandValues& v)
{
    const double k = v.k;
    const double k2 = v.k2;
    const double d = 1.0 + k2 + 2.0 * k;
    const double e = 1.0 + k2 - 2.0 * k;
    const double nA = k2 + v.a + 2.0 * k * v.sA;
    BiquadCoefficients s;
    if (v.gainDb > 0.0) {
        s.a1 = 2.0 * (1.0 - k2) / d;
        s.a2 = -e / d;
        s.c1 = 2.0 * (k2 - v.a) / nA;
        s.c2 = (k2 + v.a - 2.0 * k * v.sA) / nA;
        s.b0 = nA / d;
    } else {
        s.a1 = 2.0 * (v.a - k2) / nA;
        s.a2 = -(k2 + v.a - 2.0 * k * v.sA) / nA;
        s.c1 = 2.0 * (k2 - 1.0) / d;
        s.c2 = e / d;
        s.b0 = d / nA;
    }
    return s;
}

BiquadCoefficients LowShelf(const BandValues& v)
{
    const double k = v.k;
    const double k2 = v.k2;
    const double d = 1.0 + k2 + 2.0 * k;
    const double e = 1.0 + k2 - 2.0 * k;
    const double nB = k2 * v.a + 1.0 + 2.0 * k * v.sA;
    BiquadCoefficients s;
    if (v.gainDb > 0.0) {
        s.a1 = 2.0 * (1.0 - k2) / d;
        s.a2 = -e / d;
        s.c1 = 2.0 * (k2 * v.a - 1.0) / nB;
        s.c2 = (k2 * v.a + 1.0 - 2.0 * k * v.sA) / nB;
        s.b0 = nB / d;
    } else {
        s.a1 = 2.0 * (1.0 - k2 * v.a) / nB;
        s.a2 = -(k2 * v.a + 1.0 - 2.0 * k * v.sA) / nB;
        s.c1 = 2.0 * (k2 - 1.0) / d;
        s.c2 = e / d;
        s.b0 = d / nB;
    }
    return s;
}

BiquadCoefficients PassFilter(const BandValues& v, bool highPass, float slope)
{
    const double k = v.k;
    const double k2 = v.k2;
    BiquadCoefficients s;
    if (slope == kSecondOrderSlope) {
        const double n = 1.0 + k2 + k / kPassFilterQ;
        s.a1 = 2.0 * (1.0 - k2) / n;
        s.a2 = (k / kPassFilterQ - (1.0 + k2)) / n;
        s.b0 = highPass ? 1.0 / n : k2 / n;
        s.c1 = highPass ? -2.0 : 2.0;
        s.c2 = 1.0;
    } else {
        s.a1 = (1.0 - k) / (1.0 + k);
        s.a2 = 0.0;
        s.b0 = highPass ? 1.0 / (1.0 + k) : k / (1.0 + k);
        s.c1 = highPass ? -1.0 : 1.0;
        s.c2 = 0.0;
    }
    return s;
}

BiquadCoefficients Notch(const BandValues& v)
{
    // sin of half the normalised angle; 2 - (2s)^2 is 2 cos w0.
    const double s = std::sin(v.frequency * FilterConstants::kPiOverSampleRate);
    const float halfOverQ = 0.5f / v.q;
    const double alpha = static_cast<double>(halfOverQ) * (2.0 * s);
    const double cw2 = 2.0 - (2.0 * s) * (2.0 * s);
    BiquadCoefficients c;
    c.a1 = cw2 / (1.0 + alpha);
    c.a2 = (alpha - 1.0) / (1.0 + alpha);
    c.b0 = 1.0 / (1.0 + alpha);
    c.c1 = -cw2;
    c.c2 = 1.0;
    return c;
}

}  // namespace

void DesignBiquad(std::uint32_t type, float frequency, float q, float gainDb, float slope, BiquadCoefficients& out)
{
    const BandValues v = Prepare(frequency, q, gainDb);
    const bool gainless = (v.gainDb == 0.0);
    switch (type) {
    case BiquadType::kPeaking:
        out = gainless ? kFlatSection : Peaking(v);
        return;
    case BiquadType::kHighShelf:
        out = gainless ? kFlatSection : HighShelf(v);
        return;
    case BiquadType::kLowShelf:
        out = gainless ? kFlatSection : LowShelf(v);
        return;
    case BiquadType::kHighPass:
        out = PassFilter(v, true, slope);
        return;
    case BiquadType::kLowPass:
        out = PassFilter(v, false, slope);
        return;
    case BiquadType::kNotch:
        out = Notch(v);
        return;
    default:
        out = kFlatSection;
        return;
    }
}
