// Position of the Sun: the Earth's heliocentric place from the abridged
// VSOP87D series (195 terms at full precision), the geometric geocentric
// Sun in the FK5 system, and the apparent Sun (nutation and aberration).
//
// A term A cos(P + W tau) is evaluated as (A cos P) cos(W tau) - (A sin P)
// sin(W tau), with one cosine and sine per distinct frequency (68 for the
// 195 terms); the places a day before and after come from those by the
// addition theorems with each frequency's turn in a day.  Both agree with
// the direct sum evaluated in long double within what a double evaluation
// of it rounds (a few 1e-14 rad of longitude in this era).
#pragma once

namespace vorlin {

// Three doubles: ecliptic longitude, latitude (radians), distance (AU).
struct SolarPosition {
    double longitude;
    double latitude;
    double distanceAu;
};

// Heliocentric L (reduced to [0, 2 pi)), B (radians) and R (AU) of the
// Earth at T_TT (Julian centuries from J2000.0).
SolarPosition EarthHeliocentric(double T_TT);
// Geocentric Sun, FK5 system, mean equinox of date; longitude not re-reduced.
SolarPosition SunGeometric(double T_TT);
// SunGeometric at T_TT - 1 day, T_TT and T_TT + 1 day (T_TT + k DayToCentury
// for k = -1, 0, 1) into sun[0..2], for the price of about one.
void SunGeometricOverThreeDays(double T_TT, SolarPosition sun[3]);
// SunGeometric plus nutationLongitude and the aberration -20.4898"/R;
// longitude not reduced to [0, 2 pi).
SolarPosition SunApparent(double T_TT, double nutationLongitude);
// SunApparent from a geometric position already computed with SunGeometric
// (SunApparent(T, n) is SunApparentFromGeometric(SunGeometric(T), n), bit
// for bit), for callers that need the Sun at one instant with two nutations.
SolarPosition SunApparentFromGeometric(const SolarPosition &geometric, double nutationLongitude);

}  // namespace vorlin
