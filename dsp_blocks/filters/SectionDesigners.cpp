// Crossover section designers: bilinear transforms of first- and second-order analog
// low-pass and high-pass sections, prewarped at the filter frequency.
#include "dsp_blocks/filters/SectionDesigners.h"

#include <cmath>

#include "dsp_blocks/filters/DesignInputs.h"
#include "dsp_blocks/filters/FilterConstants.h"
#include "dsp_blocks/filters/FloatRounding.h"

namespace {

// The values one designer produces before they are stored in either precision.
struct Section {
    double a1;
    double a2;
    double c1;
    double c2;
    double b0;
};

struct SafeInputs {
    double frequency;
    double multiplier;
    double q;
    double gain;
};

// f = 0 is a valid (degenerate) input: low-pass sections then pass nothing.
SafeInputs MakeSafe(double frequency, double multiplier, double q, double gain)
{
    SafeInputs in;
    in.frequency = DesignInputs::Clamp(frequency, 0.0, FilterConstants::kMaxFrequency, FilterConstants::kMinFrequency);
    in.multiplier = (std::isfinite(multiplier) && multiplier > 0.0) ? multiplier : 1.0;
    in.q = DesignInputs::Q(q);
    in.gain = std::isfinite(gain) ? gain : 1.0;
    return in;
}

double WarpedFrequency(double frequency)
{
    return std::tan(frequency * FilterConstants::kPiOverSampleRate);
}

double LowPassK(const SafeInputs& in)
{
    return WarpedFrequency(in.frequency) * in.multiplier;
}

double HighPassK(const SafeInputs& in)
{
    return WarpedFrequency(in.frequency) / in.multiplier;
}

Section SecondOrder(double k, double q, double c1, double b0Numerator, double gain)
{
    const double k2 = k * k;
    const double n = 1.0 + k / q + k2;
    Section s;
    s.a1 = (1.0 - k2 + (1.0 - k2)) / n;
    s.a2 = -(1.0 - k / q + k2) / n;
    s.c1 = c1;
    s.c2 = 1.0;
    s.b0 = gain * b0Numerator / n;
    return s;
}

Section LowPass2(const SafeInputs& in)
{
    const double k = LowPassK(in);
    return SecondOrder(k, in.q, 2.0, k * k, in.gain);
}

Section HighPass2(const SafeInputs& in)
{
    return SecondOrder(HighPassK(in), in.q, -2.0, 1.0, in.gain);
}

Section LowPass1(double k, double gain)
{
    return Section{(1.0 - k) / (1.0 + k), 0.0, 1.0, 0.0, k * gain / (1.0 + k)};
}

Section HighPass1(double k, double gain)
{
    return Section{(1.0 - k) / (1.0 + k), 0.0, -1.0, 0.0, gain / (1.0 + k)};
}

double StoreFloat(const Section& s, float* coefficients)
{
    coefficients[0] = static_cast<float>(s.a1);
    coefficients[1] = static_cast<float>(s.a2);
    coefficients[2] = static_cast<float>(s.c1);
    coefficients[3] = static_cast<float>(s.c2);
    return s.b0;
}

double StoreDouble(const Section& s, double* coefficients)
{
    coefficients[0] = s.a1;
    coefficients[1] = s.a2;
    coefficients[2] = s.c1;
    coefficients[3] = s.c2;
    return s.b0;
}

}  // namespace

double DesignLowPass2Float(double frequency, double multiplier, double q, double gain, float* coefficients)
{
    return StoreFloat(LowPass2(MakeSafe(frequency, multiplier, q, gain)), coefficients);
}

double DesignLowPass2Double(double frequency, double multiplier, double q, double gain, double* coefficients)
{
    return StoreDouble(LowPass2(MakeSafe(frequency, multiplier, q, gain)), coefficients);
}

double DesignHighPass2Float(double frequency, double multiplier, double q, double gain, float* coefficients)
{
    return StoreFloat(HighPass2(MakeSafe(frequency, multiplier, q, gain)), coefficients);
}

double DesignHighPass2Double(double frequency, double multiplier, double q, double gain, double* coefficients)
{
    return StoreDouble(HighPass2(MakeSafe(frequency, multiplier, q, gain)), coefficients);
}

double DesignButterworthHighPass2Double(double frequency, double multiplier, double q, double gain,
                                        double* coefficients)
{
    // The amplifier's Butterworth high-pass coefficients have always been the
    // single-precision values; keep them bit for bit.
    Section s = HighPass2(MakeSafe(frequency, multiplier, q, gain));
    s.a1 = RoundToSingle(s.a1);
    s.a2 = RoundToSingle(s.a2);
    return StoreDouble(s, coefficients);
}

double DesignLowPass1Float(double frequency, double multiplier, double q, double gain, float* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, multiplier, q, gain);
    return StoreFloat(LowPass1(LowPassK(in), in.gain), coefficients);
}

double DesignLowPass1Double(double frequency, double multiplier, double q, double gain, double* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, multiplier, q, gain);
    return StoreDouble(LowPass1(LowPassK(in), in.gain), coefficients);
}

double DesignHighPass1Float(double frequency, double multiplier, double q, double gain, float* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, multiplier, q, gain);
    return StoreFloat(HighPass1(HighPassK(in), in.gain), coefficients);
}

double DesignHighPass1Double(double frequency, double multiplier, double q, double gain, double* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, multiplier, q, gain);
    return StoreDouble(HighPass1(HighPassK(in), in.gain), coefficients);
}

double DesignButterworthLowPass1Float(double frequency, double /*multiplier*/, double q, double gain,
                                      float* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, 1.0, q, gain);
    return StoreFloat(LowPass1(WarpedFrequency(in.frequency), in.gain), coefficients);
}

double DesignButterworthLowPass1Double(double frequency, double /*multiplier*/, double q, double gain,
                                       double* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, 1.0, q, gain);
    return StoreDouble(LowPass1(WarpedFrequency(in.frequency), in.gain), coefficients);
}

double DesignButterworthHighPass1Float(double frequency, double /*multiplier*/, double q, double gain,
                                       float* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, 1.0, q, gain);
    return StoreFloat(HighPass1(WarpedFrequency(in.frequency), in.gain), coefficients);
}

double DesignButterworthHighPass1Double(double frequency, double /*multiplier*/, double q, double gain,
                                        double* coefficients)
{
    const SafeInputs in = MakeSafe(frequency, 1.0, q, gain);
    return StoreDouble(HighPass1(WarpedFrequency(in.frequency), in.gain), coefficients);
}

double DesignBypassFloat(double /*frequency*/, double /*multiplier*/, double /*q*/, double gain, float* coefficients)
{
    for (int i = 0; i < 4; ++i) {
        coefficients[i] = 0.0f;
    }
    return std::isfinite(gain) ? gain : 1.0;
}

double DesignBypassDouble(double /*frequency*/, double /*multiplier*/, double /*q*/, double gain, double* coefficients)
{
    for (int i = 0; i < 4; ++i) {
        coefficients[i] = 0.0;
    }
    return std::isfinite(gain) ? gain : 1.0;
}
