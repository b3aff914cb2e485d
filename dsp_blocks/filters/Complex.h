// Small single-precision complex number used for the response curves.
#pragma once

struct Complex {
    float re = 0.0f;
    float im = 0.0f;

    Complex& operator*=(const Complex& other);
};

Complex operator*(const Complex& a, const Complex& b);
Complex operator*(const Complex& a, float real);
Complex operator+(const Complex& a, const Complex& b);
// Plain formula a * conj(b) / |b|^2; a zero divisor gives non-finite parts.
Complex operator/(const Complex& a, const Complex& b);

// |z|: square root taken in double, result rounded to single precision.
float Magnitude(const Complex& z);
// cos t + j sin t (computed in double, rounded to single precision).
Complex UnitAtAngle(double t);
