// Numeric and angle helpers of the astronomical core: angle reduction,
// three-point interpolation, time variables, the day of the week and the
// basic coordinate transforms.  All functions are pure; angles in radians.
#pragma once

#include <cmath>

#include "astro/constants.h"

namespace vorlin {

// floor(x), the same value as std::floor (the sign of a zero included),
// without a library call where the processor has no rounding instruction.
inline double Floor(double x) {
    if (!(std::fabs(x) < 2251799813685248.0) || x == 0.0) return std::floor(x);  // 2^51
    double t = (x + RoundingShift) - RoundingShift;
    if (t > x) t -= 1.0;
    return t == 0.0 ? 0.0 : t;
}

// x reduced to [0, 2 pi).  A tiny negative x rounds to exactly 2 pi; that is
// the same direction as 0.
inline double NormalizeAngle(double x) {
    const double r = x - TwoPi * Floor(x / TwoPi);
    return r < TwoPi ? r : 0.0;
}
// x reduced to [-pi, pi).
inline double NormalizeAngleSigned(double x) { return x - TwoPi * Floor(x / TwoPi + 0.5); }
// x reduced to [-pi/2, pi/2) by whole turns of pi.
double NormalizeLatitude(double x);
// An angle that ran past a right angle reflected back into [-pi/2, pi/2].
double FoldQuarterAngle(double x);
// fmod(x, m) (sign of x) when m != 0, x itself when m == 0.
double FmodIfNonZero(double x, double m);
// Integral part of x, rounded toward zero.
double TruncateToInteger(double x);
// Interpolation from y1, y2, y3 tabulated at n = -1, 0, +1.
double Interpolate3(double y1, double y2, double y3, double n);
// Julian centuries of 36525 days from J2000.0.
double JulianCenturies(double jd);
// Day of the week of a Julian Date: 1 = Monday ... 7 = Sunday.
int WeekdayOfJulianDay(double jd);
// Dip of the horizon for an observer heightMetres above sea level
// (radians): 0.0347 degree x sqrt(height); 0 at or below sea level (a
// negative height has no dip).
double HorizonDip(double heightMetres);
// Apparent semidiameter (arc-seconds) of body 0 (the Sun) at distanceAu;
// *polar, when not null, receives the same value.
double SemiDiameterAtDistance(int body, double distanceAu, double *polar);
// Ecliptic (lambda, beta) to equatorial (ra in [0, 2 pi), dec) for obliquity eps.
void EclipticToEquatorial(double lambda, double beta, double eps, double *ra, double *dec);
// Equatorial to horizontal: azimuth from the north through the east in
// [0, 2 pi) and altitude, for the local sidereal time and latitude.
void EquatorialToHorizontal(double ra, double dec, double siderealTime, double latitude,
                            double *azimuth, double *altitude);
// Position angle of body 2 seen from body 1, in [0, 2 pi) (with the Sun as
// body 1 and the Moon as body 2: the position angle of the bright limb).
double PositionAngle(double dec1, double ra1, double dec2, double ra2);
// asin and acos with the argument clamped to [-1, 1], so rounding never gives NaN.
double SafeAsin(double x);
double SafeAcos(double x);

}  // namespace vorlin
