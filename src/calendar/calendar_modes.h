// The Hijri calendars a community may keep, for conversions both ways and
// for the start of a month:
//
//   observational   the month begins the day after the first evening on
//                   which the crescent is seen at the observer's own place
//                   (one day later when it is not seen on the first evening
//                   the Moon sets after the Sun), by a crescent rule: the
//                   library's test (the conversions' calendar, unchanged) or
//                   a published criterion at a sighting level;
//   regional        the month begins the day after the first evening on
//                   which the crescent is seen, by the rule, anywhere in a
//                   region (the whole Earth, the Americas, or a list of
//                   places), each place judged at its own sunset of that
//                   civil date;
//   conjunction-before-noon-utc
//                   the month begins the day after the geocentric
//                   conjunction when it falls before 12:00 UTC, else two
//                   days after (the civil dates of UTC);
//   umm-al-qura     at Makkah, on the 29th day of a month: when the
//                   geocentric conjunction falls before sunset and the Moon
//                   sets after the Sun, the next day begins the new month,
//                   otherwise the month has 30 days (the rule in force since
//                   1423 AH, applied here to every year);
//   tabular         the arithmetic calendar: 30-year cycles with the leap
//                   years 2, 5, 7, 10, 13, 16, 18, 21, 24, 26, 29 and the
//                   epoch 16 July 622 (Julian), as calendar/hijri.h.
//
// The observational and regional months have 29 or 30 days: each month
// start is held within day 29 or 30 after the one before (a crescent seen
// on the 28th evening waits a day, one not seen by the 30th is not waited
// for), the rule carried from six lunations back, which settles it: over
// 2000-2024 at 22 S to 60 N no month has another length.  Where the place
// has no evening for a lunation (no sunset or moonset, the young Moon
// setting first on every evening searched), the observational month start
// is that of the first latitude 2, 4, 6 ... degrees nearer the equator that
// has one.
//
// In every mode a month's year and month are named by the tabular calendar
// a few days after its first day, and the conversions are exact inverses:
// a Hijri date converts to the civil day that converts back to it, or is
// refused (a day 30 of a month that has 29 days in that calendar).
// hijriAdjustDays moves the civil date in every mode, as for the
// observational calendar.
#pragma once

#include "moon/crescent.h"
#include "moon/month_start.h"
#include "vorlin.h"

namespace vorlin {

enum class CalendarMode { Observational, Regional, ConjunctionBeforeNoonUtc, UmmAlQura, Tabular };
inline constexpr int CalendarModeCount = 5;
// "observational", "regional", "conjunction-before-noon-utc",
// "umm-al-qura", "tabular".
const char *CalendarModeName(CalendarMode mode);
bool CalendarModeOfName(const char *name, CalendarMode *mode);

// The region of the regional mode: a grid of places (every 5 degrees of
// latitude from 60 S to 60 N and every 6 degrees of longitude, over the
// whole Earth or 170 W to 30 W for the Americas), or up to MaxRegionPlaces
// places of the caller.
enum class RegionKind { World, Americas, Places };
inline constexpr int MaxRegionPlaces = 32;
const char *RegionKindName(RegionKind kind);  // "world", "americas", "places"

struct CalendarRule {
    CalendarMode mode = CalendarMode::Observational;
    CrescentRule crescent{};                  // observational and regional
    RegionKind region = RegionKind::World;    // regional
    VorLocation places[MaxRegionPlaces]{};    // regional, RegionKind::Places: latitude and
    int placeCount = 0;                       // longitude in radians, height, timeZone
};

// True for the library's own calendar: observational with the default
// test and no Danjon limit.  The forms below then give the results of
// GregorianToHijri and HijriToGregorian, bit for bit.
bool IsLibraryCalendar(const CalendarRule &rule);

// Makkah as the umm-al-qura mode sees it: 21.4225 N, 39.8262 E, 0 m, UTC+3.
VorLocation UmmAlQuraPlace();

// Month starts found during the conversions of one caller, keyed by the
// lunation, for one rule, place and configuration (another empties it).
// Lives with the caller; the observational library calendar uses the
// month-start cache inside.
struct CalendarCache {
    static constexpr int Capacity = 24;
    struct Entry {
        double lunation;
        double latitude;
        double start;
        int found;
    };
    Entry entries[Capacity];
    int count = 0;
    int next = 0;
    bool keyed = false;
    CalendarRule rule{};
    VorLocation place{};
    VorConfig config{};
    MonthStartCache monthStarts;
};

// The first day (local JD of 0 h) of the month after the first new moon at
// or after date in the calendar of rule at loc (radians) with cfg.  Returns
// 1 with *start, or 0 when the observational mode finds no evening at the
// place nor at any latitude 2, 4, 6 ... degrees nearer the equator (no
// sunset or moonset).  Not for the tabular mode (returns 0).
int MonthStartOfRule(const CalendarRule &rule, const VorDate &date, const VorLocation &loc,
                     const VorConfig &cfg, double *start, CalendarCache *cache = nullptr);

// GregorianToHijri and HijriToGregorian (calendar/hijri.h) in the calendar
// of rule, with the same fields given and returned and the same refusals
// (the tabular mode goes on past the year 9999).
// cache may be null (a cache of the call's own).
int CivilToHijriOfRule(const CalendarRule &rule, VorDate &date, VorLocation &location,
                       const VorConfig &config, CalendarCache *cache = nullptr);
int HijriToCivilOfRule(const CalendarRule &rule, VorDate &date, VorLocation &location,
                       const VorConfig &config, CalendarCache *cache = nullptr);

}  // namespace vorlin
