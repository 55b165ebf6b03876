// Start of the Hijri month: the first evening after the topocentric new
// moon on which the Sun has set and the Moon sets after it, the Moon's data
// at that sunset and one visibility test (the Moon's apparent altitude
// above the Sun plus the topocentric elongation must reach the configured
// crescent threshold).
#pragma once

#include "moon/moon_data_at_sunset.h"
#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin {

// Hijri epoch day number: a month that would begin before it is not reported.
inline constexpr double HijriEpochDayNumber = 1948440.0;

// Everything one month-start decision found, for the report.
struct MonthStartDetails {
    double geo;        // local civil JD (UT JD + timeZone/24) of the geocentric new moon
    double topo;       // local civil JD of the topocentric new moon
    double eveningJd;  // D: local JD of 0 h of the accepted evening's day
    double sunset;     // S: sunset, radians of day from local midnight of D
    double moonset;    // M: moonset, radians of day from local midnight of D
    MoonDataAtSunset moonData;  // the Moon and the Sun at that sunset
    double visibility; // moonAltitude - sunAltitude + topoElongation (radians)
    double start;      // local JD of 0 h of the possible first day of the month
};

// Evenings the search of FindFirstEvening looks at: the new moon's own day
// and the seven after it, up to about the first quarter, when the Moon is no
// longer a crescent.  Far enough for every month from 2000 to 2030 up to 60
// degrees of latitude (Oslo needs up to seven evenings, London three); in
// autumn and spring nearer the polar circles, where the young Moon can set
// before the Sun for a week and more, the conversions' latitude walk takes
// over (calendar/hijri.h).
inline constexpr int MaxFirstEvenings = 8;

// The evening search for a topocentric new moon at local civil JD topo:
// tries the local calendar day of topo and the days after it, at most
// MaxFirstEvenings, and accepts the first on which sunset and moonset are
// real times, the Sun sets at or after topo and the Moon sets at or after
// the Sun.  At 50 degrees of latitude and beyond the young Moon often sets
// before the Sun for two evenings or more (autumn, the Moon south of the
// ecliptic), so the search does not stop at the second day.  A day without
// a sunset or moonset is passed over.  deltaT (TT - UT, seconds) is used
// for every day.  On success returns 1 with *eveningJd (0 h of that day,
// local JD), *sunset and *moonset (radians of day from its local midnight);
// otherwise returns 0 and writes nothing.
int FindFirstEvening(double topo, double deltaT, const VorLocation *loc, const VorConfig *cfg,
                     double *eveningJd, double *sunset, double *moonset);

// Sunset and moonset of the local day at local JD dayJd (0 h), radians of
// day from its local midnight: 1 when both are times of that day (the
// moonset not counted from a shifted start), else 0 with *sunset and
// *moonset the markers or values found.  deltaT: TT - UT, seconds.
int EveningOfDay(double dayJd, double deltaT, const VorLocation *loc, const VorConfig *cfg,
                 double *sunset, double *moonset);

// True when the crescent passes: visibility (radians) reaches
// crescentThreshold (degrees, single precision); equality passes.
bool CrescentPasses(double visibility, float crescentThreshold);

// The whole decision for the first new moon at or after date (its civil
// fields, day fraction included) at loc (latitude, longitude in radians,
// height, timeZone) with cfg (crescentThreshold, toleranceSeconds,
// temperature, pressure).  Returns 1 and fills *details, or 0 (nothing
// written but geo and topo) when no evening qualifies: polar day or night,
// a Moon setting before the Sun on every evening searched, or no converged
// set time.
int ComputeMonthStartDetails(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                             MonthStartDetails *details);

// Possible start of the Hijri month after the first new moon at or after
// date.  Reads date, loc and cfg only.
//   text == nullptr: on success *outJd = local JD of 0 h of the possible first
//                    day (the day after the evening when the crescent
//                    passes, one day later when not); returns 1.0.
//   text != nullptr: on success *outJd = local civil JD of the geocentric new
//                    moon and the month-start report is appended to *text;
//                    returns 0.0 when the first day lies before the Hijri
//                    epoch, 1.0 otherwise.  On failure appends
//                    "\n Could not calculate valid sunset/moonset times!\n".
// On failure returns 0.0 and leaves *outJd unchanged.
// Conversion mode goes through the process-wide table of month starts
// (moon/shared_month_starts.h): the same result, bit for bit, computed
// once per lunation, place and configuration.
double ComputeMonthStart(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                         double *outJd, TextWriter *text);

// Month starts already found during one call of a report or a conversion,
// so that the same lunation is never worked out twice: a Hijri conversion
// and the conversions that follow it (every schedule page and every month
// end) ask for the same few months again and again.  The cache lives on the
// stack of the call that owns it and is passed down; nothing outlives it.
// An entry is keyed by the lunation (the mean-phase estimate that
// NewMoonEstimate returns) and the latitude, compared bit for bit; the
// rest of the place and the whole configuration are remembered at the
// first store, and a lookup with any other value of them empties the cache
// first, so a result is only ever reused for exactly the inputs that made it.
//
// The cache also remembers the latitude walks of the Hijri conversions
// (calendar/hijri.h): where no month start can be computed, a conversion
// tries again 2 degrees nearer the equator, step by step.  A walk is keyed
// like an entry, by the lunation and the latitude it started from (the
// place's), and keeps where it ended, so that the conversions after it go
// there directly instead of repeating every failed step (a place whose Sun
// never sets would repeat up to 46 failed month-start computations per
// converted day, more than the entries hold).
struct MonthStartCache {
    static constexpr int Capacity = 24;      // a year of pages needs about 14
    static constexpr int WalkCapacity = 16;  // a year of pages walks for about 14 lunations
    struct Entry {
        double lunation;  // NewMoonEstimate of the request
        double latitude;  // radians, as the request had it
        double start;     // local JD of 0 h of the possible first day
        int found;        // 1: a month start was computed; 0: no evening qualified
    };
    struct Walk {
        double lunation;      // NewMoonEstimate of the date the month start was asked for
        double fromLatitude;  // radians: the place's, where the first try failed
        double toLatitude;    // radians: the last try, steps x 2 degrees nearer the equator
        int steps;            // latitude steps, at least 1
        int found;            // 1: the last try computed a month start;
                              // 0: it failed at or beyond the equator
    };
    Entry entries[Capacity];
    int count = 0;  // entries in use
    int next = 0;   // entry the next store replaces once all are in use
    Walk walks[WalkCapacity];
    int walkCount = 0;  // walks in use
    int walkNext = 0;   // walk the next store replaces once all are in use
    VorLocation place{};  // the place of the entries, latitude set to 0
    VorConfig config{};   // the configuration of the entries
};

// ComputeMonthStart in conversion mode (no text), through a cache: the
// same return value and *outJd as ComputeMonthStart(date, loc, cfg, outJd,
// nullptr), bit for bit, computing the month start only when neither the
// cache nor the process-wide table (moon/shared_month_starts.h) has it.
// cache may be null (then only the process-wide table).
double ComputeMonthStartCached(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                               double *outJd, MonthStartCache *cache);

// The latitude walk that a Hijri conversion of the same cache made for the
// lunation of date from loc's latitude: true with *walk filled when there
// is one (for this place and configuration), false otherwise.
bool RecallLatitudeWalk(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                        MonthStartCache *cache, MonthStartCache::Walk *walk);

// Remembers a walk for the lunation of date: from fromLatitude (where the
// month start failed) over steps steps to loc's latitude, where the month
// start was computed (found 1) or the walk gave up at the equator (found 0).
void RememberLatitudeWalk(const VorDate *date, double fromLatitude, const VorLocation *loc,
                          const VorConfig *cfg, int steps, int found, MonthStartCache *cache);

}  // namespace vorlin
