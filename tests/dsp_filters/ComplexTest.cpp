// Single-precision complex arithmetic of the response curves.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dsp_blocks/filters/Complex.h"

TEST(Complex, DefaultsToZero)
{
    const Complex z;
    EXPECT_EQ(z.re, 0.0f);
    EXPECT_EQ(z.im, 0.0f);
}

TEST(Complex, ProductSumAndScaling)
{
    const Complex a{1.0f, 2.0f};
    const Complex b{3.0f, -1.0f};
    const Complex p = a * b;
    EXPECT_FLOAT_EQ(p.re, 5.0f);
    EXPECT_FLOAT_EQ(p.im, 5.0f);
    const Complex s = a + b;
    EXPECT_FLOAT_EQ(s.re, 4.0f);
    EXPECT_FLOAT_EQ(s.im, 1.0f);
    const Complex r = a * 0.5f;
    EXPECT_FLOAT_EQ(r.re, 0.5f);
    EXPECT_FLOAT_EQ(r.im, 1.0f);
}

TEST(Complex, InPlaceProductMatchesProduct)
{
    Complex a{0.25f, -3.0f};
    const Complex b{-2.0f, 0.5f};
    const Complex expected = a * b;
    a *= b;
    EXPECT_EQ(a.re, expected.re);
    EXPECT_EQ(a.im, expected.im);
}

TEST(Complex, QuotientUndoesProduct)
{
    const Complex a{1.5f, -0.75f};
    const Complex b{0.3f, 2.0f};
    const Complex q = (a * b) / b;
    EXPECT_NEAR(q.re, 1.5f, 1e-6f);
    EXPECT_NEAR(q.im, -0.75f, 1e-6f);
}

TEST(Complex, MagnitudeIsRoundedToSinglePrecision)
{
    EXPECT_EQ(Magnitude(Complex{3.0f, 4.0f}), 5.0f);
    const Complex z{1.0f, 1.0f};
    EXPECT_EQ(Magnitude(z), static_cast<float>(std::numbers::sqrt2));
}

TEST(Complex, UnitAtAngleLiesOnTheUnitCircle)
{
    const Complex quarter = UnitAtAngle(std::numbers::pi / 2.0);
    EXPECT_NEAR(quarter.re, 0.0f, 1e-7f);
    EXPECT_EQ(quarter.im, 1.0f);
    const Complex z = UnitAtAngle(-0.3);
    EXPECT_EQ(z.re, static_cast<float>(std::cos(-0.3)));
    EXPECT_EQ(z.im, static_cast<float>(std::sin(-0.3)));
}
