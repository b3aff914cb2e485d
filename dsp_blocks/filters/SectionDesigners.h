// Designers of one first- or second-order crossover section at 48 kHz.
//
// Every designer takes the filter frequency f (Hz), the row's frequency multiplier m,
// the row's Q and a linear gain g; writes a1, a2, c1, c2 (in that order) to coefficients;
// and returns b0. Low-pass kinds prewarp with K = tan(f * pi/48000) * m, high-pass kinds
// with K = tan(f * pi/48000) / m. The single-precision forms compute in double and store
// float; the double forms store double.
//
// Inputs are made safe first: f is clamped into [0, 20000] Hz (NaN gives 20 Hz), a
// multiplier that is not finite and positive counts as 1, Q is clamped into the panels'
// [0.1, 144.2705] (NaN gives 0.1), and a non-finite gain counts as 1.
#pragma once

using SectionDesignerFloat = double (*)(double frequency, double multiplier, double q, double gain,
                                        float* coefficients);
using SectionDesignerDouble = double (*)(double frequency, double multiplier, double q, double gain,
                                         double* coefficients);

// Second-order low-pass and high-pass.
double DesignLowPass2Float(double frequency, double multiplier, double q, double gain, float* coefficients);
double DesignLowPass2Double(double frequency, double multiplier, double q, double gain, double* coefficients);
double DesignHighPass2Float(double frequency, double multiplier, double q, double gain, float* coefficients);
double DesignHighPass2Double(double frequency, double multiplier, double q, double gain, double* coefficients);
// The double form of the Butterworth high-pass rows: a1 and a2 rounded to single precision.
double DesignButterworthHighPass2Double(double frequency, double multiplier, double q, double gain,
                                        double* coefficients);

// First-order low-pass and high-pass (Q is ignored).
double DesignLowPass1Float(double frequency, double multiplier, double q, double gain, float* coefficients);
double DesignLowPass1Double(double frequency, double multiplier, double q, double gain, double* coefficients);
double DesignHighPass1Float(double frequency, double multiplier, double q, double gain, float* coefficients);
double DesignHighPass1Double(double frequency, double multiplier, double q, double gain, double* coefficients);
// The Butterworth first-order rows also ignore the multiplier.
double DesignButterworthLowPass1Float(double frequency, double multiplier, double q, double gain,
                                      float* coefficients);
double DesignButterworthLowPass1Double(double frequency, double multiplier, double q, double gain,
                                       double* coefficients);
double DesignButterworthHighPass1Float(double frequency, double multiplier, double q, double gain,
                                       float* coefficients);
double DesignButterworthHighPass1Double(double frequency, double multiplier, double q, double gain,
                                        double* coefficients);

// Bypass: clears the four values and returns the gain unchanged.
double DesignBypassFloat(double frequency, double multiplier, double q, double gain, float* coefficients);
double DesignBypassDouble(double frequency, double multiplier, double q, double gain, double* coefficients);
