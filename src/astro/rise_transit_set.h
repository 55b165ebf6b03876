// Rise, transit and set of a body over a given altitude, by interpolation
// of its apparent places on three consecutive days and iteration (Meeus,
// Astronomical Algorithms, chapter 15).
#pragma once

namespace vorlin {

// out[0] transit, out[1] rise, out[2] set, in radians of day (2 pi = 24 h)
// from the instant whose Greenwich apparent sidereal time is
// siderealTime0, or one of the markers TimeNotValid (no convergence within
// 1001 corrections, an infinite coordinate, or a latitude, longitude,
// altitude or middle place that is not a number), TimeAlwaysBelow (the body
// never reaches standardAltitude that day) and TimeAlwaysAbove (it never
// sinks to it; the transit stays a real time).  Values may lie outside
// 0..2 pi (the previous or next day).
//   latitude, longitude   observer (radians, east positive)
//   deltaT                TT - UT in seconds
//   ra1/dec1 .. ra3/dec3  apparent places at the reference instants of the
//                         previous, the same and the next day
//   toleranceSeconds      stop when a correction is at most this (seconds)
//   classifyGrazing       true: a rise or set that does not converge where
//                         the altitude is only just reached becomes
//                         TimeAlwaysAbove (the body stays above it through
//                         the lower culmination next to the estimate) or
//                         TimeAlwaysBelow (below it through the upper one),
//                         else TimeNotValid; used for the Sun, whose
//                         declination changes too slowly for a passage to be
//                         missed and found again within the day
//   shared                null, or what the calls over one body, day and
//                         place (every argument but standardAltitude the
//                         same) have in common, kept between them
struct RiseTransitSetShared;
void RiseTransitSet(double latitude, double longitude, double siderealTime0, double deltaT,
                    double ra1, double dec1, double ra2, double dec2, double ra3, double dec3,
                    double standardAltitude, double out[3], double toleranceSeconds,
                    bool classifyGrazing = false, RiseTransitSetShared *shared = nullptr);

// The parts of RiseTransitSet that do not depend on the altitude: the sines
// and cosines of the latitude and the middle declination, and the transit
// after its corrections.  The first call with a fresh record fills it, the
// next ones take it; the results are the same bits as without it.
struct RiseTransitSetShared {
    bool sinesKnown = false;
    double sinLatitude = 0.0, cosLatitude = 0.0;
    double sinDeclination = 0.0, cosDeclination = 0.0;
    bool transitKnown = false;
    double transit = 0.0;  // in days, or the marker TimeNotValid
};

}  // namespace vorlin
