// Angle and coordinate text: degrees, arc-minutes and arc-seconds with the
// library's rounding rule, for the report headers and the moon report.
//
// Texts are single-byte; the degree sign is the byte 0xB0 (ISO 8859-1).
#pragma once

#include <cstddef>

namespace vorlin {

// Room for any text of FormatAngle / FormatLatitudeLongitude with its NUL
// (the longest, "-1000000000\xB0" "00'00\"", is 18 bytes).
inline constexpr std::size_t AngleTextSize = 24;

// Magnitude in degrees from which SplitDegrees gives up (the whole degrees
// would not fit an int); such angles print as "NotValid".
inline constexpr double MaxSplitDegrees = 1.0e9;

// Splits x (degrees) into whole degrees, minutes and seconds.
//   given:    x            degrees
//             minutesOnly  1: the seconds only round the minutes (from 30 s up)
//   returned: *deg         whole degrees, carrying the sign of x (so an x
//                          between -1 and 0 loses its sign: callers restore it)
//             *min, *sec   0..59, never negative
// The fraction of a second is rounded up when it is more than 29/60 of a
// second.  With minutesOnly 1 a sec below 30 is left as it is and the caller
// ignores it.  NaN and |x| >= MaxSplitDegrees give 0, 0, 0.
void SplitDegrees(double x, int *deg, int *min, int *sec, int minutesOnly);

// Writes an angle (radians) as "%02d\xB0%02d'%02d\"" (degrees, minutes,
// seconds) into out[size], e.g. "-5\xB0" "15'00\"" for -5.25 degrees and
// "-00\xB0" "30'00\"" for -0.5 degrees.  The marker TimeNotValid
// (-2147483648.0), NaN and angles of MaxSplitDegrees or more print as
// "NotValid".  The text is cut to size - 1 bytes and always NUL-terminated
// (size > 0).
void FormatAngle(double angle, char *out, std::size_t size);

// Writes a latitude (isLongitude 0: "%02d\xB0%02d'%02d\" N" or S) or a
// longitude (isLongitude 1: "%03d\xB0%02d'%02d\" E" or W) given in radians
// into out[size], e.g. "21\xB0" "25'23\" N", "039\xB0" "49'38\" E".
// NaN and magnitudes of MaxSplitDegrees or more print as "NotValid".
void FormatLatitudeLongitude(double angle, int isLongitude, char *out, std::size_t size);

template <std::size_t N>
void FormatAngle(double angle, char (&out)[N]) {
    FormatAngle(angle, out, N);
}

template <std::size_t N>
void FormatLatitudeLongitude(double angle, int isLongitude, char (&out)[N]) {
    FormatLatitudeLongitude(angle, isLongitude, out, N);
}

}  // namespace vorlin
