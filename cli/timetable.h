// The prayer times of a span of days as values (not text), for the
// machine-readable formats: the same days, Hijri dates and times as the
// schedule report of the same request, computed through the C++ API.
#pragma once

#include <vector>

#include "prayer/prayer_times.h"
#include "vorlin.h"

namespace vorlin::cli {

// One day of a timetable.
struct TimetableDay {
    VorDate date{};           // civil date; Hijri fields valid when hijriValid is 1
    int weekday = 0;          // 1 Monday .. 7 Sunday
    bool summerTime = false;  // summer time in force on the day
    double utcOffsetHours = 0;  // timeZone, plus one hour in summer time
    PrayerTimes times{};      // radians of day from local standard midnight, plus the
                              // summer hour when in force; markers unchanged
};

// The days of a schedule request, in the order of its report's rows.
//   given:    date      civil date; for hijriMonths its Hijri fields must
//                       hold its conversion (VorAdToIslamic)
//             location  latitude and longitude in DEGREES (converted on a copy)
//             config    the settings
//             span      VOR_SPAN_DAY, VOR_SPAN_MONTH or VOR_SPAN_YEAR
//             hijriMonths  months counted as Hijri months (not with one day)
//   returned: one entry per report row; the Hijri date is derived as the
//             report derives it (converted on the month's first day, counted
//             on, converted again from the 29th Hijri day).
std::vector<TimetableDay> ComputeTimetable(const VorDate &date, const VorLocation &location,
                                           const VorConfig &config, unsigned span,
                                           bool hijriMonths);

// The seven published times of a day, in output order, as indexes into
// PrayerTimes::time: Imsak, Fajr, sunrise (Shuruq), Dhuhr, Asr (factor 2
// for fiqh 2, Hanafi; factor 1 otherwise, also for fiqh 0 whose report
// shows no Asr column), Maghrib, Isha'a.
struct PublishedTime {
    const char *key;    // "imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"
    const char *title;  // "Imsak", "Fajr", "Sunrise", "Dhuhr", "Asr", "Maghrib", "Isha"
};
inline constexpr int PublishedTimeCount = 7;
extern const PublishedTime PublishedTimes[PublishedTimeCount];
int PublishedTimeIndex(int published, int fiqh);

// A time of a day as a local civil date-time, rounded to the nearest second.
struct LocalMoment {
    bool valid = false;
    const char *reason = "";  // when not valid: "always below", "always above", "not valid"
    VorDate date{};           // civil date the moment falls on (year, month, day)
    int secondOfDay = 0;      // 0 .. 86399 local time (offset in force)
    long long utcDayNumber = 0;  // Julian Day Number of the UTC date
    int utcSecondOfDay = 0;      // 0 .. 86399 UTC
};

// The moment of time t (radians of day from the local midnight of day.date,
// summer hour included) on the clock of the day's UTC offset.  Markers give
// their reason; a time more than one day before or after the date (as the
// report shows "NotValid" for it) gives "not valid".
LocalMoment MomentOf(const TimetableDay &day, double t);

}  // namespace vorlin::cli
