// Mean elements, multiple angles and the series walk of the lunar theory
// fitted to DE404 (S. L. Moshier, 1996).  Everything works on the caller's
// LunarSeriesScratch; nothing is kept between calls.
#include "astro/lunar_series.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {
namespace {

constexpr double ArcsecPerTurn = 1296000.0;

// x reduced to [0, 1296000) arc-seconds.
double ReduceArcsec(double x) { return x - ArcsecPerTurn * std::floor(x / ArcsecPerTurn); }

// Fills the multiples of the elements 0 .. limit - 1 whose maximum harmonic is
// above 0.
void FillMultiples(const LunarSeriesDescriptor &d, int limit, LunarSeriesScratch &scratch) {
    for (int i = 0; i < limit; ++i) {
        if (d.maxHarmonic[i] > 0) {
            LunarMultipleAngles(scratch, i, scratch.elements[i], d.maxHarmonic[i]);
        }
    }
}

// Walks the argument table of d and adds every term to sums[0] (first table)
// and, when withSecond, sums[1] (second table).  A term that would read past a
// table, name an element outside 1 .. argumentCount or a harmonic above that
// element's filled multiples ends the walk: the rest of a malformed table
// cannot be trusted, and nothing outside the arrays is ever read.
void WalkSeries(const LunarSeriesDescriptor &d, double t, bool withSecond,
                const LunarSeriesScratch &scratch, double sums[2]) {
    sums[0] = 0.0;
    sums[1] = 0.0;
    if (d.arguments == nullptr || d.firstTable == nullptr) return;
    const int elementLimit = d.argumentCount < LunarElementCount ? d.argumentCount : LunarElementCount;
    const std::int8_t *args = d.arguments;
    const std::int32_t *first = d.firstTable;
    const std::int32_t *second = d.secondTable;
    int p = 0;
    int q = 0;  // next coefficient, the same position in both tables
    double sl = 0.0;
    double sr = 0.0;
    while (p < d.argumentsLength) {
        const int np = args[p++];
        if (np < 0) break;  // end mark
        if (p + 2 * np >= d.argumentsLength) break;
        double sv = 0.0;
        double cv = 0.0;
        bool started = false;
        bool faulty = false;
        for (int k = 0; k < np; ++k) {
            const int j = args[p++];
            const int m = args[p++];
            if (j == 0) continue;
            const int h = j < 0 ? -j : j;
            if (m < 1 || m > elementLimit || h > d.maxHarmonic[m - 1] || h > LunarMaxHarmonic) {
                faulty = true;
                break;
            }
            double su = scratch.sinMultiple[m - 1][h - 1];
            const double cu = scratch.cosMultiple[m - 1][h - 1];
            if (j < 0) su = -su;
            if (!started) {
                sv = su;
                cv = cu;
                started = true;
            } else {
                const double s = su * cv + cu * sv;
                cv = cu * cv - su * sv;
                sv = s;
            }
        }
        if (faulty) break;
        const int nt = args[p++];
        if (nt < 0) break;
        const int need = (np == 0 ? 1 : 2) * (nt + 1);
        if (q + need > d.firstTableLength) break;
        if (withSecond && q + need > d.secondTableLength) break;
        if (np == 0) {
            double cu = first[q];
            for (int k = 1; k <= nt; ++k) cu = cu * t + first[q + k];
            sl += cu;
            if (withSecond) {
                cu = second[q];
                for (int k = 1; k <= nt; ++k) cu = cu * t + second[q + k];
                sr += cu;
            }
        } else {
            double c = first[q];
            double s = first[q + 1];
            for (int k = 1; k <= nt; ++k) {
                c = c * t + first[q + 2 * k];
                s = s * t + first[q + 2 * k + 1];
            }
            sl += c * cv + s * sv;
            if (withSecond) {
                c = second[q];
                s = second[q + 1];
                for (int k = 1; k <= nt; ++k) {
                    c = c * t + second[q + 2 * k];
                    s = s * t + second[q + 2 * k + 1];
                }
                sr += c * cv + s * sv;
            }
        }
        q += need;
    }
    sums[0] = sl;
    sums[1] = sr;
}

}  // namespace

void LunarMeanElements(double jd, LunarSeriesScratch &scratch) {
    const double T = (jd - J2000) / DaysPerCentury;
    const double T2 = T * T;
    double *e = scratch.elements;
    // Planetary mean longitudes, J2000 ecliptic and equinox (arc-seconds).
    e[0] = ReduceArcsec(538101628.6889819 * T + 908103.213) + T2 * (6.39e-6 * T - 0.0192789);
    e[1] = ReduceArcsec(210664136.4335482 * T + 655127.236) + T2 * (0.0059381 - 6.27e-6 * T);
    e[2] = ReduceArcsec(129597742.283429 * T + 361679.198) + T2 * (-5.23e-6 * T - 0.0204411);
    e[3] = ReduceArcsec(68905077.493988 * T + 1279558.751) + T2 * (0.0094264 - 1.043e-5 * T);
    e[4] = ReduceArcsec(10925660.377991 * T + 123665.42) +
           T2 * (-0.3060378 + T * (5.706e-5 + T * (4.667e-6 + T * (5.91e-8 - 3.4e-10 * T))));
    e[5] = ReduceArcsec(4399609.855372 * T + 180278.752) +
           T2 * (0.7561614 + T * (-0.00016618 + T * (-1.1484e-5 + T * (-1.452e-7 + 8.3e-10 * T))));
    e[6] = ReduceArcsec(1542481.193933 * T + 1130597.971) + T2 * (2.156e-5 * T - 0.0175083);
    e[7] = ReduceArcsec(786550.320744 * T + 1095655.149) + T2 * (0.0021103 - 8.95e-6 * T);
    e[8] = 0.0;
    // Delaunay arguments of the Moon, fitted with the DE404 series.
    // D: mean elongation of the Moon from the Sun.
    e[9] = ReduceArcsec(1602961600.9939659 * T + 1072261.2202445078) +
           T2 * (-6.735220237445752 +
                 T * (0.006949274683605842 +
                      T * (-3.702060118571e-5 +
                           T * (2.560078201452e-9 +
                                T * (2.555243317839e-11 - 3.207663637426e-13 * T)))));
    // F: mean distance of the Moon from its ascending node.
    e[10] = ReduceArcsec(1739527262.8437717 * T + 335779.5141288474) +
            T2 * (-13.117809789650071 +
                  T * (-0.0007531187848233799 +
                       T * (-2.165750777942e-6 +
                            T * (-2.790392351314e-9 +
                                 T * (4.189032191814e-11 + 4.474984866301e-13 * T)))));
    // l': mean anomaly of the Sun.
    e[11] = ReduceArcsec(129596581.0230432 * T + 1287102.7407441526) +
            T2 * (-0.5528130642178309 +
                  T * (8.74737173673247e-5 +
                       T * (-1.1297037031e-5 +
                            T * (-4.77258489e-8 +
                                 T * (8.8555011e-11 +
                                      T * (4.237343e-13 +
                                           T * (-3.83508e-15 + T * (-1.039e-17 + 1.62e-20 * T))))))));
    // l: mean anomaly of the Moon.
    e[12] = ReduceArcsec(1717915922.8846793 * T + 485868.1746582533) +
            T2 * (31.501359071894147 +
                  T * (0.05209964130273582 +
                       T * (-0.0002536291235258 +
                            T * (-2.506365935364e-8 + 3.2766129498615996e-11 * T))));
    // L: mean longitude of the Moon, kept in arc-seconds for the driver.
    e[13] = ReduceArcsec(1732564372.0442266 * T + 785939.8092105242) +
            T2 * (-5.65504600274714 +
                  T * (0.006901724852838049 +
                       T * (-6.073960534117e-5 +
                            T * (-1.024222633731e-8 +
                                 T * (2.235210987108e-10 + 7.200592540556e-14 * T)))));
    scratch.meanLongitudeArcsec = e[13];
    for (int i = 0; i < 14; ++i) e[i] *= ArcsecToRad;
    for (int i = 14; i < LunarElementCount; ++i) e[i] = 0.0;
}

void LunarMultipleAngles(LunarSeriesScratch &scratch, int argument, double angle, int count) {
    if (argument < 0 || argument >= LunarElementCount) return;
    if (count > LunarMaxHarmonic) count = LunarMaxHarmonic;
    double *s = scratch.sinMultiple[argument];
    double *c = scratch.cosMultiple[argument];
    double s1 = 0.0, c1 = 0.0;
    SineCosine(angle, &s1, &c1);
    s[0] = s1;
    c[0] = c1;
    s[1] = 2.0 * s1 * c1;
    c[1] = c1 * c1 - s1 * s1;
    for (int k = 2; k < count; ++k) {
        s[k] = c1 * s[k - 1] + s1 * c[k - 1];
        c[k] = c1 * c[k - 1] - s1 * s[k - 1];
    }
}

void LunarSeriesTwo(double jd, const LunarSeriesDescriptor &d, double out[3],
                    LunarSeriesScratch &scratch) {
    LunarMeanElements(jd, scratch);
    const double t = (jd - J2000) / d.timeScaleDays;
    const int limit = d.argumentCount < LunarElementCount ? d.argumentCount : LunarElementCount;
    FillMultiples(d, limit, scratch);
    double sums[2];
    WalkSeries(d, t, d.secondTable != nullptr, scratch, sums);
    out[0] = d.amplitudeUnit * sums[0];
    out[2] = d.amplitudeUnit * sums[1];
}

double LunarSeriesOne(double jd, const LunarSeriesDescriptor &d, LunarSeriesScratch &scratch) {
    LunarMeanElements(jd, scratch);
    const double t = (jd - J2000) / d.timeScaleDays;
    FillMultiples(d, LunarElementCount, scratch);
    double sums[2];
    WalkSeries(d, t, false, scratch, sums);
    return d.amplitudeUnit * sums[0];
}

}  // namespace vorlin
