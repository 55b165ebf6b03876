// The Sun's geocentric position from the Earth's VSOP87D heliocentric place.
#include "astro/sun.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {
namespace {

// One term of the Earth's series: A cos(P + W tau) = (A cos P) cos(W tau) -
// (A sin P) sin(W tau), the frequency W shared with other terms.
struct EarthSeriesTerm {
    double a, p, w;
    double aCosP, aSinP;
    int frequency;
};

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

void AnglesAt(double tau, FrequencyAngles &angles) {
    for (int f = 0; f < kEarthFrequencyCount; ++f) {
        SineCosine(kEarthFrequencies[f][0] * tau, &angles.s[f], &angles.c[f]);
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

// Sum over the six power groups (first group index firstGroup) of one
// coordinate: S(0) + S(1) tau + S(2) tau^2 + ..., with S(k) the sum of
// A cos(P + W tau) over group k.  *termIndex is advanced past the groups.
double SumCoordinate(const FrequencyAngles &angles, int firstGroup, double tau, int *termIndex) {
    double total = 0.0;
    double tauPower = 1.0;
    for (int k = 0; k < 6; ++k) {
        double s = 0.0;
        for (int n = 0; n < kEarthTermCounts[firstGroup + k]; ++n) {
            const EarthSeriesTerm &t = kEarthTerms[*termIndex];
            s += t.aCosP * angles.c[t.frequency] - t.aSinP * angles.s[t.frequency];
            ++*termIndex;
        }
        total += s * tauPower;
        tauPower *= tau;
    }
    return total;
}

SolarPosition SumSeries(const FrequencyAngles &angles, double tau) {
    int termIndex = 0;
    SolarPosition earth;
    earth.longitude = SumCoordinate(angles, 0, tau, &termIndex);
    earth.latitude = SumCoordinate(angles, 6, tau, &termIndex);
    earth.distanceAu = SumCoordinate(angles, 12, tau, &termIndex);
    earth.longitude = NormalizeAngle(earth.longitude);
    return earth;
}

// The geocentric Sun (FK5) from the Earth's heliocentric place at T.
SolarPosition SunFromEarth(const SolarPosition &earth, double T) {
    double theta = NormalizeAngle(earth.longitude + Pi);
    double beta = -earth.latitude;
    // From the VSOP87 dynamical frame to FK5 (Meeus, Astronomical
    // Algorithms, eq. 32.3).
    const double lambdaPrime = theta - DegToRad * T * (1.397 + 0.00031 * T);
    const double cosL = std::cos(lambdaPrime);
    const double sinL = std::sin(lambdaPrime);
    theta += (-0.09033 + 0.03916 * (cosL + sinL) * std::tan(beta)) * ArcsecToRad;
    beta += 0.03916 * (cosL - sinL) * ArcsecToRad;
    return SolarPosition{theta, beta, earth.distanceAu};
}

}  // namespace

SolarPosition EarthHeliocentric(double T_TT) {
    const double tau = T_TT / 10.0;
    FrequencyAngles angles;
    AnglesAt(tau, angles);
    return SumSeries(angles, tau);
}

void SunGeometricOverThreeDays(double T_TT, SolarPosition sun[3]) {
    FrequencyAngles angles[3];
    AnglesAt(T_TT / 10.0, angles[1]);
    TurnOneDay(angles[1], -1.0, angles[0]);
    TurnOneDay(angles[1], 1.0, angles[2]);
    for (int k = 0; k < 3; ++k) {
        const double T = T_TT + (k - 1) * DayToCentury;
        sun[k] = SunFromEarth(SumSeries(angles[k], T / 10.0), T);
    }
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
