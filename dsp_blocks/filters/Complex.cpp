// Single-precision complex arithmetic of the response curves.
#include "dsp_blocks/filters/Complex.h"

#include <cmath>

Complex& Complex::operator*=(const Complex& other)
{
    *this = *this * other;
    return *this;
}

Complex operator*(const Complex& a, const Complex& b)
{
    return Complex{a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

Complex operator*(const Complex& a, float real)
{
    return Complex{a.re * real, a.im * real};
}

Complex operator+(const Complex& a, const Complex& b)
{
    return Complex{a.re + b.re, a.im + b.im};
}

Complex operator/(const Complex& a, const Complex& b)
{
    const float denominator = b.re * b.re + b.im * b.im;
    return Complex{(a.re * b.re + a.im * b.im) / denominator, (a.im * b.re - a.re * b.im) / denominator};
}

float Magnitude(const Complex& z)
{
    const double re = z.re;
    const double im = z.im;
    return static_cast<float>(std::sqrt(re * re + im * im));
}

Complex UnitAtAngle(double t)
{
    return Complex{static_cast<float>(std::cos(t)), static_cast<float>(std::sin(t))};
}
