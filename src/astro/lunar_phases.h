// New moons: the mean-phase series with its periodic and planetary
// corrections (Meeus, Astronomical Algorithms, chapter 49), and the
// refinement of a new moon to the conjunction in apparent ecliptic
// longitude of the Sun and the Moon, seen from the Earth's centre or from
// the observer.
#pragma once

#include "vorlin.h"

namespace vorlin {

// Value of mean-phase polynomial `row` (0..4) for lunation number k (k = 0
// at the new moon of 2000 January 6) and T = k / 1236.85:
//   c0 + c1 k + T^2 (c2 + T (c3 + T c4)).
// Row 0 is the JDE (days, TT) of the mean new moon; rows 1..4 are, in
// degrees, the Sun's mean anomaly M, the Moon's mean anomaly M', the Moon's
// argument of latitude F and the longitude of the ascending node Omega.
// A row outside 0..4 gives 0.
double PhasePolynomial(int row, double k, double T);

// JDE (days, TT) of the new moon of lunation k = floor((jd + 1 -
// 2451550.09765) / 29.530588853) + 1, that is of the first mean new moon
// more than about a day after jd: the mean phase plus 25 periodic terms
// (in M, M', F, with the eccentricity factor E) and 14 planetary terms.
double MoonPhaseTime(double jd);

// Sun minus Moon in apparent longitude (radians), unwrapped for a new-moon
// search: when the larger of the two exceeds the other by more than 30
// degrees the difference is taken across 0/2 pi (Sun 359 deg, Moon 1 deg
// gives -2 deg).  Both longitudes need not be reduced to [0, 2 pi).
double ConjunctionLongitudeGap(double sunLongitude, double moonLongitude);

// Correction (days) of a new-moon estimate for a longitude gap d
// (radians, from ConjunctionLongitudeGap): d over the mean synodic motion
// of 12.190749007159832 degrees per day (360 degrees per 29 d 12 h 44 min 3 s).
double ConjunctionCorrectionDays(double gap);

// Most corrections RefineNewMoon applies; convergence takes about 5
// (geocentric) to 11 (topocentric) evaluations of the positions.
inline constexpr int NewMoonMaxCorrections = 50;

// Refines *jd (JDE, TT, in/out; it starts at a new-moon estimate) to the
// conjunction in apparent longitude: the Sun from VSOP87D with nutation and
// aberration, the Moon with the nutation in longitude; Delta T, the
// obliquity and the nutation are taken once at the starting instant.
// topocentric == 1.0: both bodies corrected for the parallax of the
// observer at location (latitude, east longitude in radians, height in
// metres); any other value: geocentric.  Stops when the gap is below 1e-8
// rad, or after NewMoonMaxCorrections corrections keeping the last estimate.
// *positionEvaluations, when not null, receives how many times the two
// positions were computed.  Returns 1 when converged, 0 when the cap ended it.
int RefineNewMoon(const VorLocation *location, double *jd, double topocentric,
                  int *positionEvaluations = nullptr);

// Most lunation steps FindNewMoons takes from its first candidate; two
// always suffice (the candidate lies within a lunation before the date).
inline constexpr int NewMoonMaxLunationSteps = 3;

// The first new moon whose mean-phase instant plus timeZone/24 is not
// earlier than the Julian day of date (day fraction included):
// *geocentricJd and *topocentricJd are the conjunctions seen from the
// Earth's centre and from the observer, each a JDE (TT) plus timeZone/24
// (Delta T is not removed).  location: latitude, longitude (radians),
// height (m), timeZone (hours east).
void FindNewMoons(const VorDate *date, const VorLocation *location, double *geocentricJd,
                  double *topocentricJd);

// The two halves of FindNewMoons.  NewMoonEstimate returns the JDE (TT) of
// the mean-phase new moon (MoonPhaseTime) that FindNewMoons refines for date
// at location; RefineNewMoons refines such an estimate to the geocentric and
// topocentric conjunctions exactly as FindNewMoons does.  Everything
// FindNewMoons returns depends on date only through that estimate, so two
// dates with the same estimate have the same new moons, bit for bit.
double NewMoonEstimate(const VorDate *date, const VorLocation *location);
void RefineNewMoons(double estimate, const VorLocation *location, double *geocentricJd,
                    double *topocentricJd);

}  // namespace vorlin
