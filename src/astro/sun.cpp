// The Sun's geocentric position from the Earth's VSOP87D heliocentric place.
#include "astro/sun.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {
namespace {

#include "astro/vsop87d_earth_table.inc"

constexpr bool FrequenciesIndexed() {
    for (const EarthSeriesTerm &t : kEarthTerms) {
        if (t.frequency < 0 || t.frequency >= kEarthFrequencyCount) return false;
        if (kEarthFrequencies[t.frequency][0] != t.w) return false;
    }
    return true;
}
static_assert(FrequenciesIndexed(), "a term's frequency index does not give its W");

// cos(W tau) and sin(W tau) of every distinct frequency at one tau.
struct FrequencyAngles {
    double c[kEarthFrequencyCount];
    double s[kEarthFrequencyCount];
};

static_assert(kEarthFrequencyCount % 2 == 0, "the frequencies are taken in pairs");

void AnglesAt(double tau, FrequencyAngles &angles) {
    for (int f = 0; f < kEarthFrequencyCount; f += 2) {
        const double x[2] = {kEarthFrequencies[f][0] * tau, kEarthFrequencies[f + 1][0] * tau};
        SineCosinePair(x, &angles.s[f], &angles.c[f]);
    }
}

// The angles one day later (direction 1) or earlier (-1), by the addition
// theorems with the turn of each frequency in a day.
void TurnOneDay(const FrequencyAngles &from, double direction, FrequencyAngles &to) {
    for (int f = 0; f < kEarthFrequencyCount; ++f) {
        const double cd = kEarthFrequencies[f][1];
        const double sd = direction * kEarthFrequencies[f][2];
        to.c[f] = from.c[f] * cd - from.s[f] * sd;
        to.s[f] = from.s[f] * cd + from.c[f] * sd;
    }
}

// The series at Count sets of angles at once, tau[i] the time of set i:
// S(0) + S(1) tau + S(2) tau^2 + ... per coordinate, with S(k) the sum of
// A cos(P + W tau) over power group k.  The sets are summed side by side,
// each in the table's order (so each is the same bits as alone), which
// keeps the processor busy with independent additions.
template <int Count>
void SumSeries(const FrequencyAngles *angles, const double *tau, SolarPosition *earth) {
    double coordinate[3][Count];
    int termIndex = 0;
    for (int c = 0; c < 3; ++c) {
        double total[Count];
        double tauPower[Count];
        for (int i = 0; i < Count; ++i) {
            total[i] = 0.0;
            tauPower[i] = 1.0;
        }
        for (int k = 0; k < 6; ++k) {
            double sum[Count];
            for (int i = 0; i < Count; ++i) sum[i] = 0.0;
            const int end = termIndex + kEarthTermCounts[6 * c + k];
            for (; termIndex < end; ++termIndex) {
                const EarthSeriesTerm &t = kEarthTerms[termIndex];
                for (int i = 0; i < Count; ++i) {
                    sum[i] += t.aCosP * angles[i].c[t.frequency] - t.aSinP * angles[i].s[t.frequency];
                }
            }
            for (int i = 0; i < Count; ++i) {
                total[i] += sum[i] * tauPower[i];
                tauPower[i] *= tau[i];
            }
        }
        for (int i = 0; i < Count; ++i) coordinate[c][i] = total[i];
    }
    for (int i = 0; i < Count; ++i) {
        earth[i] = SolarPosition{NormalizeAngle(coordinate[0][i]), coordinate[1][i], coordinate[2][i]};
    }
}

// The geocentric Sun (FK5) from the Earth's heliocentric place at T.
SolarPosition SunFromEarth(const SolarPosition &earth, double T) {
    double theta = NormalizeAngle(earth.longitude + Pi);
    double beta = -earth.latitude;
    // From the VSOP87 dynamical frame to FK5 (Meeus, Astronomical
    // Algorithms, eq. 32.3).
    const double lambdaPrime = theta - DegToRad * T * (1.397 + 0.00031 * T);
    double sinL = 0.0, cosL = 0.0;
    SineCosine(lambdaPrime, &sinL, &cosL);
    theta += (-0.09033 + 0.03916 * (cosL + sinL) * std::tan(beta)) * ArcsecToRad;
    beta += 0.03916 * (cosL - sinL) * ArcsecToRad;
    return SolarPosition{theta, beta, earth.distanceAu};
}

}  // namespace

SolarPosition EarthHeliocentric(double T_TT) {
    const double tau = T_TT / 10.0;
    FrequencyAngles angles;
    AnglesAt(tau, angles);
    SolarPosition earth;
    SumSeries<1>(&angles, &tau, &earth);
    return earth;
}

void SunGeometricOverThreeDays(double T_TT, SolarPosition sun[3]) {
    FrequencyAngles angles[3];
    AnglesAt(T_TT / 10.0, angles[1]);
    TurnOneDay(angles[1], -1.0, angles[0]);
    TurnOneDay(angles[1], 1.0, angles[2]);
    double T[3], tau[3];
    for (int k = 0; k < 3; ++k) {
        T[k] = T_TT + (k - 1) * DayToCentury;
        tau[k] = T[k] / 10.0;
    }
    SolarPosition earth[3];
    SumSeries<3>(angles, tau, earth);
    for (int k = 0; k < 3; ++k) sun[k] = SunFromEarth(earth[k], T[k]);
}

SolarPosition SunGeometric(double T_TT) { return SunFromEarth(EarthHeliocentric(T_TT), T_TT); }

SolarPosition SunApparent(double T_TT, double nutationLongitude) {
    return SunApparentFromGeometric(SunGeometric(T_TT), nutationLongitude);
}

SolarPosition SunApparentFromGeometric(const SolarPosition &geometric, double nutationLongitude) {
    SolarPosition sun = geometric;
    sun.longitude += nutationLongitude;
    // Annual aberration: the constant of aberration 20.4898" at 1 AU.
    sun.longitude -= 20.4898 * ArcsecToRad / sun.distanceAu;
    return sun;
}

}  // namespace vorlin
