// The prayer times of one day at one place: the Sun's events, widened over
// the configured area, completed by the high-latitude rule and adjusted by
// the safety seconds and the Maghrib minutes.
#pragma once

#include "prayer/sun_events.h"
#include "vorlin.h"

namespace vorlin {

// Positions in PrayerTimes::time.
enum PrayerEvent : int {
    PrayerImsak = 0,
    PrayerFajr = 1,
    PrayerShuruq = 2,
    PrayerSunTransit = 3,  // the Sun's centre on the meridian (never printed)
    PrayerDuhr = 4,
    PrayerAsrFactor1 = 5,
    PrayerAsrFactor2 = 6,
    PrayerMaghrib = 7,
    PrayerIsha = 8,
};

// Nine times of one day in the order of PrayerEvent, radians of day from
// the place's standard-time midnight (summer time not applied), or markers.
struct PrayerTimes {
    static constexpr int Count = 9;
    double time[Count];
};

static_assert(sizeof(PrayerTimes) == 9 * sizeof(double), "PrayerTimes is nine doubles");

// The prayer times of date at loc.
//   given:    date  civil date (whole days; a fraction moves the time origin)
//             loc   latitude, longitude (radians), height, timeZone
//             cfg   the angles, fiqh, distanceKm, highLatitudeRule,
//                   fajrIshaMinutes, temperature, pressure, toleranceSeconds,
//                   safetySeconds, maghribMinutes
//   returned: out   Imsak (triple 1 rise), Fajr (2 rise), Shuruq (0 rise),
//                   the centre's transit (0 transit), Duhr (3 transit), Asr
//                   factor 1 (4 set) and factor 2 (5 set), Maghrib (0 set),
//                   Isha'a (1 set) of the SunEventTable after the area margin
//                   and the high-latitude rule.  safetySeconds is subtracted
//                   from Imsak and Shuruq and added to all others;
//                   maghribMinutes is added to Maghrib.  Markers are copied
//                   unchanged.
// Neither date nor loc is written: other days and latitudes are computed on
// local copies.
void ComputeDayPrayerTimes(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           PrayerTimes &out);

// The same, with every table of the Sun's events (the day's own and those
// of the days the high-latitude rules consult) taken through a cache
// (prayer/sun_events.h) that the caller owns, so that the days of one
// report share them; cache may be null.  Same results, bit for bit.
void ComputeDayPrayerTimes(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           PrayerTimes &out, SunEventCache *cache);

}  // namespace vorlin
