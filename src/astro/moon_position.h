// Geocentric position of the Moon from the analytical lunar theory whose
// coefficients were fitted to the JPL DE404 ephemeris: mean elements, a
// generic evaluator of trigonometric series over them, and the driver.
#pragma once

namespace vorlin {

// Three doubles: ecliptic longitude in [0, 2 pi) (mean equinox of date, no
// nutation), ecliptic latitude (radians), distance Earth-Moon (km).
struct LunarPosition {
    double longitude;
    double latitude;
    double distanceKm;
};

// Geocentric Moon at T_TT (Julian centuries from J2000.0).  Callers add the
// nutation in longitude themselves.
LunarPosition MoonPosition(double T_TT);

}  // namespace vorlin
