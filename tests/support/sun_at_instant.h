// The Sun seen from a place at one instant, from the library's own
// position, nutation and sidereal-time functions but none of its event
// solving: what the event tests check the solved times against.
#pragma once

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/sun.h"

namespace vorlin::testing_support {

struct SunAtInstant {
    double hourAngle;   // radians, -pi..pi
    double altitude;    // of the centre, geocentric and airless (radians)
    double distanceAu;
};

// At the UT Julian Date jd, from latitude and longitude (radians).
inline SunAtInstant SunAt(double jd, double latitude, double longitude) {
    const double t = (jd - 2451545.0) / 36525.0;
    const double tt = t + DeltaT(t) / 86400.0 / 36525.0;
    double dpsi = 0.0, deps = 0.0;
    Nutation(tt, &dpsi, &deps);
    const double eps = MeanObliquity(tt) + deps;
    const SolarPosition p = SunApparent(tt, dpsi);
    double ra = 0.0, dec = 0.0;
    EclipticToEquatorial(p.longitude, p.latitude, eps, &ra, &dec);
    const double gast = AddEquationOfEquinoxes(MeanSiderealTime(t), dpsi, eps);
    const double h = std::remainder(gast + longitude - ra, TwoPi);
    const double alt = std::asin(std::sin(latitude) * std::sin(dec) +
                                 std::cos(latitude) * std::cos(dec) * std::cos(h));
    return SunAtInstant{h, alt, p.distanceAu};
}

}  // namespace vorlin::testing_support
