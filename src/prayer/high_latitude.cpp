#include "prayer/high_latitude.h"

#include <cmath>

#include "astro/constants.h"
#include "calendar/julian_day.h"

namespace vorlin {

namespace {

constexpr double OneSeventh = 0.14285714285714285;

enum Rule : int {
    NoRule = 0,
    SeventhOfDayWhenNeeded = 1,
    SeventhOfDayAlways = 2,
    SeventhOfNightWhenNeeded = 3,
    SeventhOfNightAlways = 4,
    NearestLocationAll = 5,
    NearestLocationNeeded = 6,
    NearestDayAll = 7,
    NearestDayNeeded = 8,
};

constexpr int FiqhJafari = 0;
constexpr int FiqhHanafi = 2;

bool Valid(double t) { return !IsTimeMarker(t); }

// value, where target holds a marker.
void FillIfMissing(double &target, double value) {
    if (IsTimeMarker(target)) target = value;
}

// Rule 5/7 take the whole new table, rule 6/8 only where the day has a marker.
void TakeFrom(const SunEventTable &found, bool all, SunEventTable &table) {
    if (all) {
        table = found;
        return;
    }
    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        FillIfMissing(table.Element(e), found.Element(e));
    }
}

// Length of the interval from `from` to `to`, one day added when it ran
// past midnight.
double Interval(double from, double to) { return to < from ? to - from + TwoPi : to - from; }

// The table of date shifted by days (a local copy of the date).
void TableOfOtherDay(const VorDate &date, double days, const VorLocation &loc,
                     const VorConfig &cfg, SunEventTable &out, SunEventCache *cache) {
    VorDate other = date;
    JulianDayToDate(DateToJulianDay(date) + days, other);
    ComputeAreaSunEventsCached(other, loc, cfg, out, cache);
}

// Rules 1 and 2: a seventh of the daylight before sunrise and after sunset.
void SeventhOfDay(SunEventTable &table) {
    const double sunrise = table.Sunrise(), sunset = table.Sunset();
    if (IsTimeMarker(sunrise) || IsTimeMarker(sunset)) return;
    const double q = std::fabs(Interval(sunrise, sunset) * OneSeventh);
    FillIfMissing(table.Imsak(), sunrise - q);
    FillIfMissing(table.Fajr(), sunrise - q);
    FillIfMissing(table.Isha(), sunset + q);
}

// Rules 3 and 4: a seventh of the night before (Imsak, Fajr) and after
// (Isha'a) the day.
void SeventhOfNight(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                    SunEventTable &table, SunEventCache *cache) {
    const double sunrise = table.Sunrise(), sunset = table.Sunset();
    if (IsTimeMarker(sunrise) || IsTimeMarker(sunset)) return;
    SunEventTable other;
    TableOfOtherDay(date, -1.0, loc, cfg, other, cache);
    const double previousSunset = other.Sunset();
    if (IsTimeMarker(previousSunset)) return;
    const double before = std::fabs(Interval(previousSunset, sunrise) * OneSeventh);
    FillIfMissing(table.Imsak(), sunrise - before);
    FillIfMissing(table.Fajr(), sunrise - before);
    TableOfOtherDay(date, 1.0, loc, cfg, other, cache);
    const double nextSunrise = other.Sunrise();
    if (IsTimeMarker(nextSunrise)) return;
    const double after = std::fabs(Interval(sunset, nextSunrise) * OneSeventh);
    FillIfMissing(table.Isha(), sunset + after);
}

}  // namespace

int AllNeededTimesValid(const VorConfig &cfg, const SunEventTable &table) {
    const EventTriple *t = table.triple;
    if (!Valid(t[ImsakIshaTriple].rise)) return 0;
    if (!Valid(t[FajrTriple].rise)) return 0;
    if (!Valid(t[DuhrTriple].transit)) return 0;
    if (cfg.fiqh == FiqhHanafi) {
        if (!Valid(t[AsrFactor2Triple].set)) return 0;
    } else if (cfg.fiqh != FiqhJafari) {
        if (!Valid(t[AsrFactor1Triple].set)) return 0;
    }
    if (!Valid(t[SunriseSunsetTriple].set)) return 0;
    if (cfg.fiqh != FiqhJafari && !Valid(t[ImsakIshaTriple].set)) return 0;
    return 1;
}

void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                           SunEventTable &table) {
    ApplyHighLatitudeRule(date, loc, cfg, table, nullptr);
}

void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                           SunEventTable &table, SunEventCache *cache) {
    const int rule = cfg.highLatitudeRule;
    if (rule == SeventhOfDayAlways || rule == SeventhOfNightAlways) {
        table.Imsak() = TimeNotValid;
        table.Isha() = TimeNotValid;
        table.Fajr() = TimeNotValid;
    }
    if (rule <= NoRule || rule > NearestDayNeeded) return;  // rule 9 was built with the events

    VorLocation moved = loc;  // rules 5 and 6 walk its latitude toward the equator
    SunEventTable found;
    for (int attempt = 1;
         attempt <= MaxHighLatitudeAttempts && AllNeededTimesValid(cfg, table) == 0; ++attempt) {
        switch (rule) {
            case SeventhOfDayWhenNeeded:
            case SeventhOfDayAlways:
                SeventhOfDay(table);
                return;
            case SeventhOfNightWhenNeeded:
            case SeventhOfNightAlways:
                SeventhOfNight(date, loc, cfg, table, cache);
                return;
            case NearestLocationAll:
            case NearestLocationNeeded:
                moved.latitude += moved.latitude > 0.0 ? -DegToRad : DegToRad;
                ComputeAreaSunEvents(date, moved, cfg, found);
                TakeFrom(found, rule == NearestLocationAll, table);
                break;
            default:  // NearestDayAll, NearestDayNeeded
                TableOfOtherDay(date, -static_cast<double>(attempt), loc, cfg, found, cache);
                TakeFrom(found, rule == NearestDayAll, table);
                break;
        }
    }
}

}  // namespace vorlin
