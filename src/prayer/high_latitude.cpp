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

// Same value, markers included (bit for bit is not needed: no rule writes -0).
bool SameTime(double a, double b) { return a == b || (a != a && b != b); }

// value, where target holds a marker.
void FillIfMissing(double &target, double value) {
    if (IsTimeMarker(target)) target = value;
}

// Rule 5/7 take the whole new table, rule 6/8 only where the day has a
// marker.  A twilight time that rule 6/8 brings from another latitude or
// day but that would fall outside its place in this day (Fajr at or after
// this day's sunrise, Isha'a at or before its sunset) is taken instead at
// the distance from sunrise or sunset that it has in the table it comes
// from.
void TakeFrom(const SunEventTable &found, bool all, SunEventTable &table) {
    if (all) {
        table = found;
        return;
    }
    const bool fajrMissing = IsTimeMarker(table.Fajr());
    const bool ishaMissing = IsTimeMarker(table.Isha());
    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        FillIfMissing(table.Element(e), found.Element(e));
    }
    if (fajrMissing && Valid(table.Fajr()) && Valid(table.Sunrise()) &&
        table.Fajr() >= table.Sunrise() && Valid(found.Sunrise())) {
        table.Fajr() = table.Sunrise() - (found.Sunrise() - found.Fajr());
    }
    if (ishaMissing && Valid(table.Isha()) && Valid(table.Sunset()) &&
        table.Isha() <= table.Sunset() && Valid(found.Sunset())) {
        table.Isha() = table.Sunset() + (found.Isha() - found.Sunset());
    }
}

// Length of the interval from `from` to `to`, one day added when it ran
// past midnight.
double Interval(double from, double to) { return to < from ? to - from + TwoPi : to - from; }

// The table of date shifted by days (a local copy of the date).
void TableOfOtherDay(const VorDate &date, double days, const VorLocation &loc,
                     const EventSettings &cfg, SunEventTable &out, SunEventCache *cache) {
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
void SeventhOfNight(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
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

// Bits (as ValidElements) of the events AllNeededTimesValid asks for.
unsigned NeededElements(const EventSettings &cfg) {
    const auto bit = [](int triple, int element) { return 1u << (3 * triple + element); };
    unsigned needed = bit(ImsakIshaTriple, 1) | bit(FajrTriple, 1) | bit(DuhrTriple, 0) |
                      bit(SunriseSunsetTriple, 2);
    if (cfg.fiqh == FiqhHanafi) {
        needed |= bit(AsrFactor2Triple, 2);
    } else if (cfg.fiqh != FiqhJafari) {
        needed |= bit(AsrFactor1Triple, 2);
    }
    if (cfg.fiqh != FiqhJafari) needed |= bit(ImsakIshaTriple, 2);
    return needed;
}

// Rules 7 and 8 (nearest earlier day).  As attempts 1, 2, ... (at most
// MaxHighLatitudeAttempts) going back one day each, taking the whole table
// of the day (rule 7) or its values where this day has markers (rule 8),
// until every needed event is valid.  Only the attempts that give an event
// its first valid value, and the last one (whose markers stand where no
// value was found), change the result: the days' valid events are looked
// up first (the cache remembers them across the days of a report), and
// only those attempts are made, so a year's report computes each day of
// the two years it may reach once.
void NearestDay(const VorDate &date, const VorLocation &loc, const EventSettings &cfg, bool all,
                SunEventTable &table, SunEventCache *cache) {
    const unsigned needed = NeededElements(cfg);
    unsigned missing = SunEventTable::AllElements & ~ValidElements(table);
    int first[SunEventTable::ElementCount] = {};  // attempt giving element e its value
    int last = MaxHighLatitudeAttempts;
    for (int attempt = 1; attempt <= MaxHighLatitudeAttempts; ++attempt) {
        VorDate other = date;
        JulianDayToDate(DateToJulianDay(date) - attempt, other);
        const unsigned valid = ValidElementsCached(other, loc, cfg, cache);
        if (all) {
            if ((valid & needed) == needed) {
                last = attempt;
                break;
            }
            continue;
        }
        for (int e = 0; e < SunEventTable::ElementCount; ++e) {
            if ((missing & valid & (1u << e)) != 0) first[e] = attempt;
        }
        missing &= ~valid;
        if ((missing & needed) == 0) {
            last = attempt;
            break;
        }
    }
    SunEventTable found;
    // The attempts that matter, in their order: each first[e], then last.
    for (int attempt = 1; attempt <= last; ++attempt) {
        bool matters = attempt == last;
        for (int e = 0; e < SunEventTable::ElementCount && !matters; ++e) {
            matters = first[e] == attempt;
        }
        if (!matters) continue;
        TableOfOtherDay(date, -static_cast<double>(attempt), loc, cfg, found, cache);
        TakeFrom(found, all, table);
    }
}

// Rules 5 and 6 (nearest latitude).  As attempts moving the latitude one
// degree toward the equator each, taking the whole table there (rule 5) or
// its values where the place has markers (rule 6), until every needed event
// is valid; the walk ends with the attempt that reaches or crosses the
// equator (further attempts would swing about it) or after
// MaxHighLatitudeAttempts.  As for the nearest day, only the attempts that
// give an event its first valid value, and the last one, are taken in full;
// the others are only asked which events they have.
void NearestLocation(const VorDate &date, const VorLocation &loc, const EventSettings &cfg, bool all,
                     SunEventTable &table) {
    const unsigned needed = NeededElements(cfg);
    unsigned missing = SunEventTable::AllElements & ~ValidElements(table);
    VorLocation moved = loc;
    SunEventTable found;
    // Every attempt is the same date in the same zone: one set of the Sun's places.
    const SunOfDay day = ComputeSunOfDay(date, loc.timeZone);
    for (int attempt = 1; attempt <= MaxHighLatitudeAttempts; ++attempt) {
        const bool north = moved.latitude > 0.0;
        moved.latitude += north ? -DegToRad : DegToRad;
        const bool last = attempt == MaxHighLatitudeAttempts ||
                          (north ? !(moved.latitude > 0.0) : !(moved.latitude < 0.0));
        const unsigned interest = all ? needed : missing;
        const unsigned valid = last ? interest : AreaValidElements(day, moved, cfg, interest);
        const bool done = all ? valid == needed : (missing & ~valid & needed) == 0;
        if (last || done || (!all && valid != 0)) {
            ComputeAreaSunEvents(day, moved, cfg, found);
            TakeFrom(found, all, table);
            missing &= ~ValidElements(found);
        }
        if (last || done) return;
    }
}

}  // namespace

int AllNeededTimesValid(const EventSettings &cfg, const SunEventTable &table) {
    const unsigned needed = NeededElements(cfg);
    return (ValidElements(table) & needed) == needed ? 1 : 0;
}

void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           SunEventTable &table) {
    ApplyHighLatitudeRule(date, loc, cfg, table, nullptr);
}

namespace {

// The rule step proper: fills or replaces the events the rule gives.
void RuleStep(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
              SunEventTable &table, SunEventCache *cache) {
    const int rule = cfg.highLatitudeRule;
    if (rule == SeventhOfDayAlways || rule == SeventhOfNightAlways) {
        table.Imsak() = TimeNotValid;
        table.Isha() = TimeNotValid;
        table.Fajr() = TimeNotValid;
    }
    if (rule <= NoRule || rule > NearestDayNeeded) return;  // rule 9 was built with the events

    if (AllNeededTimesValid(cfg, table) == 1) return;
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
            NearestLocation(date, loc, cfg, rule == NearestLocationAll, table);
            return;
        default:  // NearestDayAll, NearestDayNeeded
            NearestDay(date, loc, cfg, rule == NearestDayAll, table, cache);
            return;
    }
}

}  // namespace

double ImsakLead(const EventSettings &cfg) {
    const double degrees = static_cast<double>(cfg.fajrAngle) - static_cast<double>(cfg.imsakAngle);
    return degrees > 0.0 && degrees < 90.0 ? degrees * ImsakMinutesPerDegree * MinuteToRad : 0.0;
}

void KeepEventOrder(const EventSettings &cfg, bool imsakPairFromRule, SunEventTable &table) {
    if (imsakPairFromRule && Valid(table.Fajr())) table.Imsak() = table.Fajr() - ImsakLead(cfg);
    const double duhr = table.Duhr();
    if (Valid(duhr)) {
        if (Valid(table.AsrFactor1()) && table.AsrFactor1() < duhr) table.AsrFactor1() = duhr;
        if (Valid(table.AsrFactor2()) && table.AsrFactor2() < duhr) table.AsrFactor2() = duhr;
    }
}

void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           SunEventTable &table, SunEventCache *cache) {
    const int rule = cfg.highLatitudeRule;
    const double imsak = table.Imsak(), fajr = table.Fajr();
    RuleStep(date, loc, cfg, table, cache);
    // Rules 5 and 7 take Imsak and Fajr together from one table, at their
    // own distance; every other rule that gives either of them a value (rule
    // 9 gives both) sets Imsak its lead before Fajr.
    const bool pairFromOneTable = rule == NearestLocationAll || rule == NearestDayAll;
    const bool changed = !SameTime(imsak, table.Imsak()) || !SameTime(fajr, table.Fajr());
    KeepEventOrder(cfg, !pairFromOneTable && (rule == MinutesRule || changed), table);
}

}  // namespace vorlin
