// Angle, time and geodetic constants shared by the whole library.
//
// All angles inside the library are radians; these factors convert at the
// edges.  They are formed from pi and literal factors at compile time, which
// gives the same correctly rounded values as computing them at load time.
#pragma once

namespace vorlin {

inline constexpr double Pi = 3.141592653589793;
inline constexpr double TwoPi = 2.0 * Pi;
// Adding and subtracting 1.5 x 2^52 rounds a double below 2^51 in magnitude
// to an integer (to the nearest, ties to even), without a library call.
inline constexpr double RoundingShift = 6755399441055744.0;
inline constexpr double DegToRad = Pi / 180.0;
inline constexpr double RadToDeg = 180.0 / Pi;
inline constexpr double HourToRad = Pi / 12.0;
inline constexpr double RadToHour = 12.0 / Pi;
inline constexpr double RadToArcmin = 10800.0 / Pi;
inline constexpr double RadToArcsec = 648000.0 / Pi;
inline constexpr double ArcsecToRad = Pi / 648000.0;
inline constexpr double RadToTimeMinutes = 720.0 / Pi;
inline constexpr double RadToTimeSeconds = 43200.0 / Pi;
inline constexpr double SecondToRad = 2.0 * Pi / 86400.0;
inline constexpr double MinuteToRad = 0.004363323129985823;  // pi/720 as published

// Earth ellipsoid (km) and the Sun's equatorial horizontal parallax at 1 AU.
inline constexpr double EarthEquatorialRadiusKm = 6378.137;
inline constexpr double EarthFlattening = 0.0033528131778969143;
inline constexpr double EarthPolarRadiusKm = 6378.137 * (1.0 - EarthFlattening);
inline constexpr double SolarParallax = 8.794 * ArcsecToRad;

// Geodetic position of the Kaaba (21 deg 25' 23.2" N, 39 deg 49' 37.6" E).
inline constexpr double KaabaLatitude = 21.423111111111112 * DegToRad;
inline constexpr double KaabaLongitude = 39.827111111111115 * DegToRad;

// Julian Date of J2000.0 and the length of a Julian century in days.
inline constexpr double J2000 = 2451545.0;
inline constexpr double DaysPerCentury = 36525.0;
// Seconds of time to Julian centuries: 1 / (86400 x 36525).
inline constexpr double SecondToCentury = 3.168808781402895e-10;
// One day in Julian centuries: 1 / 36525.
inline constexpr double DayToCentury = 2.7378507871321012e-05;

// Time markers: compared by exact equality, passed through every adjustment
// unchanged.  TimeNotValid also marks an angle that has no value.
inline constexpr double TimeNotValid = -2147483648.0;
inline constexpr double TimeAlwaysBelow = -9999.0;
inline constexpr double TimeAlwaysAbove = 9999.0;

// True for the three time markers, false for a real time.
constexpr bool IsTimeMarker(double t) {
    return t == TimeNotValid || t == TimeAlwaysBelow || t == TimeAlwaysAbove;
}

}  // namespace vorlin
