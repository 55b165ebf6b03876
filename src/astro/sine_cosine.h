// Sine and cosine together, for the inner loops of the series.
//
// The argument is reduced by the nearest multiple n of pi/2 in three parts
// (the first two short enough that n times them is exact while |n| < 2^20),
// and the sine and cosine of the remainder r (|r| <= pi/4) come from their
// Taylor polynomials to r^17 and r^16, whose truncation stays below 1e-19.
// The error is within 2 units in the last place of 1 (about 2e-16 absolute)
// for |x| < 1e6; larger arguments, infinities and NaN go to the C library.
// Only the basic operations are used, so the results are the same bits on
// every IEEE machine (the build does not contract to fused multiply-adds).
#pragma once

#include <cmath>

namespace vorlin {

namespace sine_cosine_detail {

inline constexpr double TwoOverPi = 0.63661977236758134308;
// pi/2 = PiOver2A + PiOver2B + PiOver2C; A and B have 33 significant bits.
inline constexpr double PiOver2A = 1.57079632673412561417e+00;
inline constexpr double PiOver2B = 6.07710050630396597660e-11;
inline constexpr double PiOver2C = 2.02226624879595063154e-21;
// Adding and subtracting 1.5 x 2^52 rounds a double below 2^51 to an integer.
inline constexpr double RoundingShift = 6755399441055744.0;
inline constexpr double Limit = 1.0e6;

// Signs and exchange of sine and cosine by the quadrant n mod 4:
// sin x = q[0] sin r + q[1] cos r, cos x = q[2] sin r + q[3] cos r.
inline constexpr double Quadrant[4][4] = {
    {1.0, 0.0, 0.0, 1.0}, {0.0, 1.0, -1.0, 0.0}, {-1.0, 0.0, 0.0, -1.0}, {0.0, -1.0, 1.0, 0.0}};

}  // namespace sine_cosine_detail

inline void SineCosine(double x, double *sine, double *cosine) {
    namespace d = sine_cosine_detail;
    if (!(std::fabs(x) < d::Limit)) {
        *sine = std::sin(x);
        *cosine = std::cos(x);
        return;
    }
    const double n = (x * d::TwoOverPi + d::RoundingShift) - d::RoundingShift;
    const double r = ((x - n * d::PiOver2A) - n * d::PiOver2B) - n * d::PiOver2C;
    const double z = r * r;
    const double sinPoly =
        -1.0 / 6.0 +
        z * (1.0 / 120.0 +
             z * (-1.0 / 5040.0 +
                  z * (1.0 / 362880.0 +
                       z * (-1.0 / 39916800.0 +
                            z * (1.0 / 6227020800.0 +
                                 z * (-1.0 / 1307674368000.0 + z * (1.0 / 355687428096000.0)))))));
    const double sinR = r + r * z * sinPoly;
    const double cosPoly =
        1.0 / 24.0 +
        z * (-1.0 / 720.0 +
             z * (1.0 / 40320.0 +
                  z * (-1.0 / 3628800.0 +
                       z * (1.0 / 479001600.0 +
                            z * (-1.0 / 87178291200.0 + z * (1.0 / 20922789888000.0))))));
    // 1 - z/2 rounded, and what the rounding lost, so the small part keeps it.
    const double half = 0.5 * z;
    const double w = 1.0 - half;
    const double cosR = w + (((1.0 - w) - half) + z * z * cosPoly);
    const double *q = d::Quadrant[static_cast<long long>(n) & 3];
    *sine = q[0] * sinR + q[1] * cosR;
    *cosine = q[2] * sinR + q[3] * cosR;
}

}  // namespace vorlin
