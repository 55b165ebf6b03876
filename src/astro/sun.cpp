// The Sun's geocentric position from the Earth's VSOP87D heliocentric place.
#include "astro/sun.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"

namespace vorlin {
namespace {

#include "astro/vsop87d_earth_table.inc"

// Sum over the six power groups (first group index firstGroup) of one
// coordinate: S(0) + S(1) tau + S(2) tau^2 + ..., with S(k) the sum of
// A cos(P + W tau) over group k.  *termIndex is advanced past the groups.
double SumCoordinate(int firstGroup, double tau, int *termIndex) {
    double total = 0.0;
    double tauPower = 1.0;
    for (int k = 0; k < 6; ++k) {
        double s = 0.0;
        for (int n = 0; n < kEarthTermCounts[firstGroup + k]; ++n) {
            const double *term = kEarthTerms[*termIndex];
            s += term[0] * std::cos(term[1] + term[2] * tau);
            ++*termIndex;
        }
        total += s * tauPower;
        tauPower *= tau;
    }
    return total;
}

}  // namespace

SolarPosition EarthHeliocentric(double T_TT) {
    const double tau = T_TT / 10.0;
    int termIndex = 0;
    SolarPosition earth;
    earth.longitude = SumCoordinate(0, tau, &termIndex);
    earth.latitude = SumCoordinate(6, tau, &termIndex);
    earth.distanceAu = SumCoordinate(12, tau, &termIndex);
    earth.longitude = NormalizeAngle(earth.longitude);
    return earth;
}

SolarPosition SunGeometric(double T_TT) {
    const double T = T_TT;
    const SolarPosition earth = EarthHeliocentric(T);
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
