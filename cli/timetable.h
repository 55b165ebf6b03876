// The prayer times of a span of days as values (not text), for every
// format but the library's report: the days and Hijri dates of the
// schedule report of the same request, the times through the structured
// exports (VorTimesOfRange), so the CLI reads and refuses settings as every
// host does.
#pragma once

#include <string>
#include <vector>

#include "options.h"
#include "vorlin.h"

namespace vorlin::cli {

// One day of a timetable.
struct TimetableDay {
    VorDate date{};             // civil date; Hijri fields valid when hijriValid is 1
    int weekday = 0;            // 1 Monday .. 7 Sunday
    bool skipped = false;       // the clock skips the date (no times)
    bool summerTime = false;    // summer time in force at the day's noon
    double utcOffsetHours = 0;  // the offset in force at the day's noon
    VorDayTimes times{};        // the events of the day (UTC instants)
    int eventOffsetSeconds[VOR_EVENT_COUNT] = {};  // the offset in force at each event
};

// The civil dates of a request's schedule, in the order of its report's rows.
std::vector<VorDate> ScheduleDates(const Request &request, unsigned span, bool hijriMonths);

// The days of a request, in the order of its schedule report's rows:
// span VOR_SPAN_DAY, VOR_SPAN_MONTH or VOR_SPAN_YEAR, months counted as
// Hijri months with hijriMonths (the date's Hijri fields then hold its
// conversion).  The Hijri date of each day is derived as the report derives
// it.  Throws UsageError when the library refuses the place or settings.
std::vector<TimetableDay> ComputeTimetable(const Request &request, unsigned span, bool hijriMonths);

// The days first .. first + count - 1 (count at most 3660), their Hijri
// dates counted on from the first day's as the report counts them.
std::vector<VorDate> RangeDates(const Request &request, const VorDate &first, int count);

// The timetable of given civil dates (in order; Hijri fields as given).
std::vector<TimetableDay> ComputeTimetableOf(const Request &request, const std::vector<VorDate> &dates);

// An event as the outputs show it: its index in VorDayTimes.event, its
// JSON key, CSV column and title.
struct ShownEvent {
    int event;
    const char *key;
    const char *column;
    const char *title;
};

// The events shown, in the order of the day: imsak, fajr, sunrise, dhuhr,
// asr (and asrHanafi with both), sunset, maghrib, isha, midnight, lastThird.
std::vector<ShownEvent> ShownEvents(bool asrBoth);

// An event as a local civil date-time, rounded to the nearest second.
struct LocalMoment {
    bool valid = false;          // a time to show (valid or filled)
    bool filled = false;         // given by a high-latitude rule or bound
    std::string reason;          // when not valid: "always below", "always above", "not valid";
                                 // when filled: what filled it ("seventh of the night")
    VorDate date{};              // civil date the moment falls on (year, month, day)
    int secondOfDay = 0;         // 0 .. 86399 local time (offset in force)
    long long utcDayNumber = 0;  // Julian Day Number of the UTC date
    int utcSecondOfDay = 0;      // 0 .. 86399 UTC
    int offsetSeconds = 0;       // the clock's UTC offset at the moment
};

// a / b rounded towards minus infinity.
inline long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The instant utc (Unix seconds) on a clock offsetSeconds from UTC: its
// local date and second of day, and its UTC day and second (valid).
LocalMoment MomentAt(long long utc, int offsetSeconds);

// The moment of event e of the day on the clock in force at its instant.
LocalMoment MomentOf(const TimetableDay &day, int e);

}  // namespace vorlin::cli
