// Earth rotation and orientation: Delta T (TT - UT), Greenwich mean and
// apparent sidereal time, the mean obliquity of the ecliptic and the IAU
// 1980 nutation in longitude and obliquity.
//
// T is Julian centuries from J2000.0: in TT for the obliquity and the
// nutation, in UT for sidereal time (T_UT = T_TT - DeltaT x SecondToCentury).
#pragma once

namespace vorlin {

// Delta T = TT - UT in seconds at T (Julian centuries from J2000.0):
// polynomials before 1620; the annual table 1620..2030 with difference
// interpolation (Astronomical Almanac values to 2001, observed values from
// IERS data 2002..2023, estimates and a prediction 2024..2030); from 2030
// the table's last value (69.40 s) and slope (0.15 s a year), blended over
// a century into the long-term parabola -20 + 32 ((Y - 1820)/100)^2 s of
// Morrison and Stephenson (2004), which it follows from 2130 on.  Continuous
// in value and slope at 2030 and 2130, and rising after 2030.  A NaN T gives
// the table's last value; any other T, infinite ones included, a finite value
// (years are limited to 2000 +- 1e12 in the formulas).
double DeltaT(double T);

// Greenwich mean sidereal time at T_UT, radians in [0, 2 pi).
double MeanSiderealTime(double T_UT);

// a + b cos c.  Called as (mean sidereal time, nutation in longitude, true
// obliquity) it gives Greenwich apparent sidereal time (not reduced).
double AddEquationOfEquinoxes(double a, double b, double c);

// Mean obliquity of the ecliptic at T_TT (Laskar's polynomial), radians.
double MeanObliquity(double T_TT);

// IAU 1980 nutation at T_TT: nutation in longitude and in obliquity, radians.
void Nutation(double T_TT, double *nutationLongitude, double *nutationObliquity);

// sin(k x) and cos(k x) for k = 1..count of one argument, by the addition
// theorems from one sine and one cosine.
struct MultipleAngleRow {
    static constexpr int MaxMultiple = 8;
    double sine[MaxMultiple + 1];    // index k = 1..MaxMultiple
    double cosine[MaxMultiple + 1];
};
// Fills row for k = 1 .. max(count, 2) (count at most MaxMultiple).
void MultipleAngles(MultipleAngleRow &row, double angle, int count);

}  // namespace vorlin
