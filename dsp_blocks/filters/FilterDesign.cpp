// The crossover design table: Butterworth, Bessel and Linkwitz-Riley cascades.
#include "dsp_blocks/filters/FilterDesign.h"

namespace {

// Multipliers and Qs are the single-precision values of the design decimals.
constexpr double F(float value)
{
    return static_cast<double>(value);
}

constexpr FilterSectionDesign kBypassRow{DesignBypassFloat, DesignBypassDouble, 0.0, 0.0};

constexpr FilterSectionDesign BwLp1()
{
    return {DesignButterworthLowPass1Float, DesignButterworthLowPass1Double, F(1.0f), 0.0};
}
constexpr FilterSectionDesign BwHp1()
{
    return {DesignButterworthHighPass1Float, DesignButterworthHighPass1Double, F(1.0f), 0.0};
}
constexpr FilterSectionDesign Lp1(float m)
{
    return {DesignLowPass1Float, DesignLowPass1Double, F(m), 0.0};
}
constexpr FilterSectionDesign Hp1(float m)
{
    return {DesignHighPass1Float, DesignHighPass1Double, F(m), 0.0};
}
constexpr FilterSectionDesign Lp2(float m, float q)
{
    return {DesignLowPass2Float, DesignLowPass2Double, F(m), F(q)};
}
constexpr FilterSectionDesign Hp2(float m, float q)
{
    return {DesignHighPass2Float, DesignHighPass2Double, F(m), F(q)};
}
// Butterworth high-pass second-order rows keep single-precision a1, a2 in double form.
constexpr FilterSectionDesign BwHp2(float q)
{
    return {DesignHighPass2Float, DesignButterworthHighPass2Double, F(1.0f), F(q)};
}

constexpr FilterDesign Design(FilterSectionDesign r0, FilterSectionDesign r1 = kBypassRow,
                              FilterSectionDesign r2 = kBypassRow, FilterSectionDesign r3 = kBypassRow)
{
    return FilterDesign{{r0, r1, r2, r3}};
}

}  // namespace

constinit const std::array<FilterDesign, kFilterDesignCount> kFilterDesignTable{
    // Butterworth low-pass 1, 2, 3, 4, 6, 8
    Design(BwLp1()),
    Design(Lp2(1.0f, 0.707107f)),
    Design(BwLp1(), Lp2(1.0f, 1.0f)),
    Design(Lp2(1.0f, 0.541196f), Lp2(1.0f, 1.306563f)),
    Design(Lp2(1.0f, 0.517638f), Lp2(1.0f, 0.707107f), Lp2(1.0f, 1.931852f)),
    Design(Lp2(1.0f, 0.509796f), Lp2(1.0f, 0.601345f), Lp2(1.0f, 0.899976f), Lp2(1.0f, 2.562915f)),
    // Butterworth high-pass 1, 2, 3, 4, 6, 8
    Design(BwHp1()),
    Design(BwHp2(0.707107f)),
    Design(BwHp1(), BwHp2(1.0f)),
    Design(BwHp2(0.541196f), BwHp2(1.306563f)),
    Design(BwHp2(0.517638f), BwHp2(0.707107f), BwHp2(1.931852f)),
    Design(BwHp2(0.509796f), BwHp2(0.601345f), BwHp2(0.899976f), BwHp2(2.562915f)),
    // Bessel low-pass 2, 3, 4, 6, 8
    Design(Lp2(1.0f, 0.57735026f)),
    Design(Lp1(0.9375045f), Lp2(1.0236216f, 0.69072825f)),
    Design(Lp2(0.9328774f, 0.5222082f), Lp2(1.0461183f, 0.80513656f)),
    Design(Lp2(0.9079551f, 0.5103173f), Lp2(0.95621014f, 0.6111959f), Lp2(1.0782274f, 1.023313f)),
    Design(Lp2(0.8941314f, 0.50599104f), Lp2(0.9210925f, 0.5596092f), Lp2(0.98197764f, 0.7108521f),
           Lp2(1.1003916f, 1.2256694f)),
    // Bessel high-pass 2, 3, 4, 6, 8
    Design(Hp2(1.0f, 0.57735026f)),
    Design(Hp1(0.9375045f), Hp2(1.0236216f, 0.69072825f)),
    Design(Hp2(0.9328774f, 0.5222082f), Hp2(1.0461183f, 0.80513656f)),
    Design(Hp2(0.9079551f, 0.5103173f), Hp2(0.95621014f, 0.6111959f), Hp2(1.0782274f, 1.023313f)),
    Design(Hp2(0.8941314f, 0.50599104f), Hp2(0.9210925f, 0.5596092f), Hp2(0.98197764f, 0.7108521f),
           Hp2(1.1003916f, 1.2256694f)),
    // Linkwitz-Riley low-pass 2, 4, 6, 8: squared Butterworth
    Design(Lp2(1.0f, 0.5f)),
    Design(Lp2(1.0f, 0.707107f), Lp2(1.0f, 0.707107f)),
    Design(Lp2(1.0f, 0.5f), Lp2(1.0f, 1.0f), Lp2(1.0f, 1.0f)),
    Design(Lp2(1.0f, 0.541196f), Lp2(1.0f, 1.306563f), Lp2(1.0f, 0.541196f), Lp2(1.0f, 1.306563f)),
    // Linkwitz-Riley high-pass 2, 4, 6, 8
    Design(Hp2(1.0f, 0.5f)),
    Design(Hp2(1.0f, 0.707107f), Hp2(1.0f, 0.707107f)),
    Design(Hp2(1.0f, 0.5f), Hp2(1.0f, 1.0f), Hp2(1.0f, 1.0f)),
    Design(Hp2(1.0f, 0.541196f), Hp2(1.0f, 1.306563f), Hp2(1.0f, 0.541196f), Hp2(1.0f, 1.306563f)),
    // Bypass
    Design(kBypassRow),
};

BiquadCoefficients DesignSection(const FilterSectionDesign& row, double frequency, double gain)
{
    double values[4] = {0.0, 0.0, 0.0, 0.0};
    const SectionDesignerDouble design = row.designDouble != nullptr ? row.designDouble : DesignBypassDouble;
    const double b0 = design(frequency, row.multiplier, row.q, gain, values);
    return BiquadCoefficients{values[0], values[1], b0, values[2], values[3]};
}
