// Sine and cosine together, for the inner loops of the series.
//
// The argument is reduced by the nearest multiple n of pi/2 in three parts
// (the first two short enough that n times them is exact while |n| < 2^20),
// and the sine and cosine of the remainder r (|r| <= pi/4) come from their
// Taylor polynomials to r^17 and r^16, whose truncation stays below 1e-19;
// the quadrant n mod 4 then exchanges them and sets their signs.  The error
// is within 2 units in the last place of 1 (about 2e-16 absolute) for
// |x| < 1e6; larger arguments, infinities and NaN go to the C library.
// Only the basic operations are used, so the results are the same bits on
// every IEEE machine (the build does not contract to fused multiply-adds),
// and SineCosinePair gives the same bits as SineCosine on each element.
#pragma once

#include <cmath>
#include <cstdint>

#include "astro/constants.h"

namespace vorlin {

namespace sine_cosine_detail {

inline constexpr double TwoOverPi = 0.63661977236758134308;
// pi/2 = PiOver2A + PiOver2B + PiOver2C; A and B have 33 significant bits.
inline constexpr double PiOver2A = 1.57079632673412561417e+00;
inline constexpr double PiOver2B = 6.07710050630396597660e-11;
inline constexpr double PiOver2C = 2.02226624879595063154e-21;
inline constexpr double Limit = 1.0e6;

// The remainder and the sine and cosine of the remainder, for a double or
// a vector of doubles alike.
template <class T>
inline void Remainder(T x, T *n, T *r) {
    *n = (x * TwoOverPi + RoundingShift) - RoundingShift;
    *r = ((x - *n * PiOver2A) - *n * PiOver2B) - *n * PiOver2C;
}

template <class T>
inline void Polynomials(T r, T *sinR, T *cosR) {
    const T z = r * r;
    const T sinPoly =
        -1.0 / 6.0 +
        z * (1.0 / 120.0 +
             z * (-1.0 / 5040.0 +
                  z * (1.0 / 362880.0 +
                       z * (-1.0 / 39916800.0 +
                            z * (1.0 / 6227020800.0 +
                                 z * (-1.0 / 1307674368000.0 + z * (1.0 / 355687428096000.0)))))));
    *sinR = r + r * z * sinPoly;
    const T cosPoly =
        1.0 / 24.0 +
        z * (-1.0 / 720.0 +
             z * (1.0 / 40320.0 +
                  z * (-1.0 / 3628800.0 +
                       z * (1.0 / 479001600.0 +
                            z * (-1.0 / 87178291200.0 + z * (1.0 / 20922789888000.0))))));
    // 1 - z/2 rounded, and what the rounding lost, so the small part keeps it.
    const T half = 0.5 * z;
    const T w = 1.0 - half;
    *cosR = w + (((1.0 - w) - half) + z * z * cosPoly);
}

}  // namespace sine_cosine_detail

// sin x and cos x.  With q = n mod 4: sin x is cos r when q is odd, sin r
// when even, negated for q = 2, 3; cos x is sin r when odd, cos r when
// even, negated for q = 1, 2.
inline void SineCosine(double x, double *sine, double *cosine) {
    namespace d = sine_cosine_detail;
    if (!(std::fabs(x) < d::Limit)) {
        *sine = std::sin(x);
        *cosine = std::cos(x);
        return;
    }
    double n = 0.0, r = 0.0, sinR = 0.0, cosR = 0.0;
    d::Remainder(x, &n, &r);
    d::Polynomials(r, &sinR, &cosR);
    const long long q = static_cast<long long>(n);
    double s = (q & 1) != 0 ? cosR : sinR;
    double c = (q & 1) != 0 ? sinR : cosR;
    if ((q & 2) != 0) s = -s;
    if (((q + 1) & 2) != 0) c = -c;
    *sine = s;
    *cosine = c;
}

#if defined(__GNUC__) || defined(__clang__)
#define VORLIN_SINE_COSINE_PAIRS 1
#endif

// SineCosine of x[0] and x[1], two at a time where the compiler has vectors
// of two doubles; the same bits as two calls.
inline void SineCosinePair(const double x[2], double sine[2], double cosine[2]) {
    namespace d = sine_cosine_detail;
#if VORLIN_SINE_COSINE_PAIRS
    if (std::fabs(x[0]) < d::Limit && std::fabs(x[1]) < d::Limit) {
        typedef double Pair __attribute__((vector_size(16)));
        typedef long long PairBits __attribute__((vector_size(16)));
        const Pair v = {x[0], x[1]};
        Pair n, r, sinR, cosR;
        d::Remainder(v, &n, &r);
        d::Polynomials(r, &sinR, &cosR);
        // q = n - 4 round(n / 4), in -2 .. 2 and n mod 4 = q mod 4, all exact;
        // compared as doubles, which vectors of two compare natively.
        const Pair q = n - 4.0 * ((n * 0.25 + RoundingShift) - RoundingShift);
        const Pair q2 = q * q;
        const PairBits odd = q2 == 1.0;  // all ones where true
        const PairBits half = q2 == 4.0;
        const PairBits signBit = {INT64_MIN, INT64_MIN};
        const PairBits negateSine = (half | (q == -1.0)) & signBit;
        const PairBits negateCosine = (half | (q == 1.0)) & signBit;
        PairBits sinBits, cosBits;
        __builtin_memcpy(&sinBits, &sinR, sizeof sinBits);
        __builtin_memcpy(&cosBits, &cosR, sizeof cosBits);
        const PairBits s = ((odd & cosBits) | (~odd & sinBits)) ^ negateSine;
        const PairBits c = ((odd & sinBits) | (~odd & cosBits)) ^ negateCosine;
        Pair sOut, cOut;
        __builtin_memcpy(&sOut, &s, sizeof sOut);
        __builtin_memcpy(&cOut, &c, sizeof cOut);
        sine[0] = sOut[0];
        sine[1] = sOut[1];
        cosine[0] = cOut[0];
        cosine[1] = cOut[1];
        return;
    }
#endif
    SineCosine(x[0], &sine[0], &cosine[0]);
    SineCosine(x[1], &sine[1], &cosine[1]);
}

}  // namespace vorlin
