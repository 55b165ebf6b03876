// Moonrise, moon transit and moonset on one local calendar day, from the
// Moon's apparent places on three consecutive days and its standard
// altitude (parallax, topocentric semidiameter, refraction, dip of the
// horizon), solved by RiseTransitSet (Meeus, Astronomical Algorithms,
// chapter 15).
#pragma once

#include "vorlin.h"

namespace vorlin {

// Results of MoonRiseTransitSet.
inline constexpr int MoonEventsTransitMarker = 0;   // the transit is a time marker
inline constexpr int MoonEventsValid = 1;           // the times are valid
inline constexpr int MoonEventsTransitOutside = 2;  // no transit inside the day, twice

// Transit, rise and set of the Moon on the local calendar day of date.
//   date  civil year, month, day (0 h of the day when the day is whole)
//   loc   latitude, longitude (radians, east positive), height (m),
//         timeZone (hours east; enters as a single-precision fraction of a day)
//   cfg   toleranceSeconds of the iteration; temperature and pressure
//         through the refraction
// out[0] transit, out[1] rise, out[2] set, in radians of day (2 pi = 24 h)
// from local standard-time midnight (summer time not applied), or the
// markers TimeNotValid, TimeAlwaysAbove (rise and set of a Moon that never
// sets), TimeAlwaysBelow (all three for a Moon that never rises).  Rise
// and set belong to the day's transit, so the rise may be negative and the
// set above 2 pi.  When the transit falls outside the day the computation
// is repeated from a start half a day earlier (transit after the day) or
// later (before it) and the shift is added back to the real times, so such
// a transit lies slightly below 0 or above 2 pi.
// Returns MoonEventsTransitMarker when the transit is a marker (out as the
// solver left it), MoonEventsTransitOutside when the shifted computation
// still has its transit outside its own day (out counted from the shifted
// start, the shift not added back), MoonEventsValid otherwise.
int MoonRiseTransitSet(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                       double out[3]);

}  // namespace vorlin
