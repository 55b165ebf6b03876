// Checks of the host's records at the boundary, done once per call before
// any worker runs, so that the workers may trust what they are given.
//
// A value the computation cannot use (a latitude, longitude, time zone or
// configuration angle that is not a finite number or lies outside its
// range) is replaced, in a copy the worker gets, by a NaN: the angle text
// prints it "NotValid" and RiseTransitSet turns it into TimeNotValid, so
// the report shows the bad value and every time depending on it as
// "NotValid", while the host's record stays as it was.  Records of valid
// input are passed on unchanged (the export's radian frame then works on
// the host's own record, as always).
#pragma once

#include "vorlin.h"

namespace vorlin {

// Largest |latitude| (90 degrees), |longitude| (360 degrees: a host may
// count longitude 0..360), |time zone| (24 hours) and |configuration angle|
// (90 degrees) a record may hold; the location values are in DEGREES.
inline constexpr double GuardLargestLatitudeDegrees = 90.0;
inline constexpr double GuardLargestLongitudeDegrees = 360.0;
inline constexpr double GuardLargestTimeZoneHours = 24.0;
inline constexpr double GuardLargestConfigAngleDegrees = 90.0;
// Heights (metres) a place may have: from 1,000 m below sea level (the
// lowest shore on land is about 430 m below it) to 100 km, where the
// atmosphere, and with it refraction and a visible horizon, ends.
inline constexpr int GuardLowestHeightMetres = -1000;
inline constexpr int GuardHighestHeightMetres = 100000;

// 1 when latitude and longitude (degrees) are finite and within the limits
// above, else 0 (what the qibla needs).
int HasUsableCoordinates(const VorLocation &location);
// 1 when, besides, the time zone is finite and within its limit and the
// height within its range, else 0.
int IsUsableLocation(const VorLocation &location);

// A copy of the location in which an unusable latitude, longitude, time
// zone or height makes latitude and longitude NaN (no event can be computed
// without them) and an unusable time zone NaN; everything else copied byte
// for byte.
VorLocation GuardedLocation(const VorLocation &location);

// 1 when the imsak, fajr and isha angles and the crescent threshold are
// finite and within 90 degrees, and toleranceSeconds is 1 or more, else 0.
int IsUsableConfig(const VorConfig &config);

// A copy of the configuration with each unusable angle NaN (the events of
// an event angle then read "NotValid"; against a NaN crescent threshold
// every crescent passes, so each month begins on the day after the first
// evening after its new moon) and a toleranceSeconds of 0 or
// less raised to 1 (the smallest whole stop tolerance; 0 could only stop on
// an exactly zero correction and would run every event to its cap).
VorConfig GuardedConfig(const VorConfig &config);

// 1 when the civil day (hijri == 0) or the Hijri day (hijri != 0) is a
// finite number: a date with a NaN or infinite day has no Julian day.
int HasFiniteDay(const VorDate &date, int hijri);

// 1 when the date can be converted: a finite day and a month 1..12 of the
// calendar converted from (civil for hijri == 0, Hijri otherwise).
int IsConvertibleDate(const VorDate &date, int hijri);

}  // namespace vorlin
