#include "calendar/hijri.h"

#include <cmath>
#include <cstdint>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"

namespace vorlin {
namespace {

// 30 x 1948440 - 10646: the epoch in the year formula (30N - 58442554) div 10631.
constexpr std::int64_t YearFormulaOffset = 58442554;
// Days in a 30-year cycle.
constexpr std::int64_t DaysPerCycle = 10631;
// 1/29.5: average month length, used as a divisor.
constexpr double PerMonthLength = 0.03389830508474576;
// 1/30 as used by the rounded form.
constexpr double PerThirty = 0.03333333333333333;
// Latitude step of the search toward the equator.
constexpr double LatitudeStep = 2.0 * DegToRad;

// Integer part (toward zero) of x, saturated to the int range (NaN gives
// the lowest value), so no day number or year can overflow a conversion.
int TruncateToInt(double x) {
    if (!(x > -2147483648.0)) return INT32_MIN;
    if (x >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(x);
}

// Tabular year estimate (30N - 58442554) div 10631 for day number n.
int TabularYearOf(std::int64_t n) {
    return static_cast<int>((30 * n - YearFormulaOffset) / DaysPerCycle);
}

VorDate HijriDate(int year, int month, double day) {
    VorDate d{};
    d.hijriYear = year;
    d.hijriMonth = static_cast<uint8_t>(month);
    d.hijriDay = day;
    return d;
}

// Month estimate ceil(offset x 1/29.5) + 1 from the offset (days) of a day
// 29 days back from the year's first day.
double MonthEstimate(double offset) { return std::ceil(offset * PerMonthLength) + 1.0; }

// A month estimate clamped to 12 (the leap day, day 30 of month 12, gives
// 13) and, for day numbers before the era, to 1.
int ClampMonth(double m) {
    if (!(m >= 1.0)) return 1;
    return m > 12.0 ? 12 : static_cast<int>(m);
}

}  // namespace

int TabularHijriDayNumber(const VorDate &date) {
    const double y = date.hijriYear;
    const double m = date.hijriMonth;
    const double leapDays =
        static_cast<double>((11 * static_cast<std::int64_t>(date.hijriYear) + 3) / 30);
    return TruncateToInt(std::ceil(29.5 * (m - 1.0)) + leapDays + (354.0 * y - 354.0) +
                         date.hijriDay + HijriEpochDayNumber - 1.0);
}

double TabularHijriDayNumberRounded(const VorDate &date) {
    const double y = date.hijriYear;
    const double m = date.hijriMonth;
    return std::floor((m - 1.0) * 29.5 + (11.0 * y + 3.0) * PerThirty + (y - 1.0) * 354.0 +
                      date.hijriDay + HijriEpochDayNumber - 1.0 + 0.5);
}

void TabularHijriFromDayNumber(int dayNumber, VorDate &date) {
    const int year = TabularYearOf(dayNumber);
    const double n = dayNumber;
    const double yearStart = TabularHijriDayNumber(HijriDate(year, 1, 1.0));
    const int month = ClampMonth(MonthEstimate(n - yearStart - 29.0));
    date.hijriYear = year;
    date.hijriMonth = static_cast<uint8_t>(month);
    date.hijriDay = n - TabularHijriDayNumber(HijriDate(year, month, 1.0)) + 1.0;
}

void TabularHijriFromJulianDay(double jd, VorDate &date) {
    const int e = TruncateToInt(std::floor(jd));
    int year = TabularYearOf(e);
    const double n = e;
    const double estimate =
        MonthEstimate((n - 29.0) - TabularHijriDayNumberRounded(HijriDate(year, 1, 1.0)));
    int month = ClampMonth(estimate);
    if (estimate < 1.0) {
        // The year estimate follows the ceiling form; on the one day where
        // that form has begun the year and the rounded form has not, the
        // estimate would be month 0: the day is the last of the year before.
        year -= 1;
        month = 12;
    }
    date.hijriYear = year;
    date.hijriMonth = static_cast<uint8_t>(month);
    date.hijriDay =
        std::floor((n + 1.0) - TabularHijriDayNumberRounded(HijriDate(year, month, 1.0)));
}

namespace {

// Days from a month start back to a probe whose first new moon is the one
// before that month's: the probe lies between the two new moons before it
// for any month that begins 0 to 15 days after its new moon.  A month
// begins at most MaxFirstEvenings + 1 days after the local day of its new
// moon (the last evening searched, and the crescent failing on it).
constexpr double StepBackDays = 45.0;
// Average length of a synodic month, days: moves a probe by whole months.
constexpr double MeanSynodicMonth = 29.530588853;
// Days from a month's first day to the probe day in its middle.
constexpr double MiddleOfMonth = 14.0;
// Tries of HijriToGregorian at finding the month it is asked about: the
// tabular month's middle almost always lies in it; two more tries move by
// the months it is off.
constexpr int MaxMonthProbes = 3;
// More days than any month has: a month begins 0 to MaxFirstEvenings + 2
// days after its new moon, so none reaches 45 days.
constexpr double MaxHijriDay = 60.0;

// Month count of a Hijri year and month, for comparing months.
std::int64_t MonthIndex(int year, int month) { return 12 * static_cast<std::int64_t>(year) + month; }

// One month start for the first new moon at or after the date `probe`:
// computed at the place's latitude or, where none can be computed there
// (no sunset or moonset), at the first latitude 2, 4, 6 ... degrees nearer
// the equator that has one.  Each lunation walks from the place's own
// latitude, so every month start is a function of its lunation alone and
// the conversions in both directions see one calendar, whatever order they
// ask in.  Gives up, returning false, when a try fails at or beyond the
// equator or after MaxLatitudeSteps steps.  The latitude is put back, bit
// for bit.  A walk that an earlier conversion through the same cache made
// for this lunation is not made again: its end is taken over.  A
// computation that walks by itself is tried once.
template <typename MonthStart>
bool MonthStartWalking(MonthStart &monthStart, const VorDate &probe, VorLocation &location,
                       const VorConfig &config, double *start) {
    const double placeLatitude = location.latitude;
    MonthStartCache::Walk known{};
    if (monthStart.Recall(probe, location, config, &known)) {
        location.latitude = known.toLatitude;
        const bool found =
            known.found == 1 && monthStart(&probe, &location, &config, start) != 0.0;
        location.latitude = placeLatitude;
        return found;
    }
    int steps = 0;
    bool crossed = false;
    bool found = false;
    // Bounded: every failed try ends the walk or takes one of its
    // MaxLatitudeSteps steps.
    for (;;) {
        if (monthStart(&probe, &location, &config, start) != 0.0) {
            found = true;
            if (steps > 0) monthStart.Remember(probe, placeLatitude, location, config, steps, 1);
            break;
        }
        if (monthStart.WalksTowardTheEquator()) break;  // its own walk has failed
        if (crossed || location.latitude == 0.0) {
            // The walk ended at the equator.
            if (steps > 0) monthStart.Remember(probe, placeLatitude, location, config, steps, 0);
            break;
        }
        if (steps == MaxLatitudeSteps) break;
        ++steps;
        if (location.latitude > 0.0) {
            location.latitude -= LatitudeStep;
            crossed = location.latitude <= 0.0;
        } else {
            location.latitude += LatitudeStep;
            crossed = location.latitude >= 0.0;
        }
    }
    location.latitude = placeLatitude;
    return found;
}

// The search of GregorianToHijri on a month-start computation monthStart
// (called as monthStart(date, location, config, &start), with Recall and
// Remember for the latitude walks).
template <typename MonthStart>
int GregorianToHijriSearch(MonthStart &monthStart, VorDate &date, VorLocation &location,
                           const VorConfig &config) {
    const double jd = DateToJulianDay(date);
    date.hijriValid = 0;
    const double adjust = config.hijriAdjustDays;
    const double target = jd + adjust;
    // Before the era.  The test on jd alone would let a negative adjustment
    // carry the date before day number 1948440 (into Hijri year 0 and
    // below), so the adjusted date is tested as well.
    if (jd < HijriEpochDayNumber + adjust || target < HijriEpochDayNumber) return 0;
    if (!(jd < FirstJdBeyondCalendar)) return 0;  // also NaN
    const double keptLatitude = location.latitude;

    // probe: the JD the next month-start computation starts from; s: the
    // month start that holds target, once found.
    double probe = target;
    double s = 0.0;
    bool found = false;
    // Set after a step past a month start more than 30 days before target
    // (step forward); if the start found next lies after target, target is
    // a late day (31st or later) of the month that began on `previousStart`.
    bool steppedForward = false;
    double previousStart = 0.0;
    int searches = 0;
    // Bounded: every pass counts a successful computation (at most
    // MaxMonthStartSearches) or ends the search; each walk inside is
    // bounded by MaxLatitudeSteps.
    for (;;) {
        VorDate scratch{};
        JulianDayToDate(probe, scratch);
        double start = probe;
        if (!MonthStartWalking(monthStart, scratch, location, config, &start)) break;
        if (++searches > MaxMonthStartSearches) break;
        if (start > target) {
            if (steppedForward) {
                s = previousStart;
                found = true;
                break;
            }
            // Back into the month before: the next call finds the new moon
            // before this start's (see StepBackDays).
            probe = start - StepBackDays;
            continue;
        }
        if (target - start > 30.0) {
            steppedForward = true;
            previousStart = start;
            probe = start + 1.0;  // past this start: the next call finds the following one
            continue;
        }
        s = start;  // target lies in the month that starts on s
        found = true;
        break;
    }
    location.latitude = keptLatitude;
    if (!found) return 0;

    // A day well inside the month names its year and month, so that a day or
    // two between tabular and astronomical month starts does not matter.
    TabularHijriFromDayNumber(TruncateToInt(s + 5.0), date);
    date.hijriDay = target - s + 1.0;
    date.hijriValid = 1;
    return 1;
}

// HijriToGregorian on a month-start computation, called as for
// GregorianToHijriSearch.
template <typename MonthStart>
int HijriToGregorianSearch(MonthStart &monthStart, VorDate &date, VorLocation &location,
                           const VorConfig &config) {
    const double day = std::floor(date.hijriDay);
    if (!(day >= 1.0 && day <= MaxHijriDay)) return 0;  // also NaN
    const double fraction = date.hijriDay - day;
    const std::int64_t wanted = MonthIndex(date.hijriYear, date.hijriMonth);
    const double adjust = config.hijriAdjustDays;

    // Find the month: a day in the middle of the tabular month, converted,
    // names the astronomical month it lies in and that month's first day.
    // Days below are 0 h JDs of the adjusted dates the conversion labels
    // (civil JD + hijriAdjustDays).
    double probe =
        TabularHijriDayNumberRounded(HijriDate(date.hijriYear, date.hijriMonth, 1.0)) - 0.5 +
        MiddleOfMonth;
    double first = 0.0;
    bool monthFound = false;
    for (int k = 0; k < MaxMonthProbes && !monthFound; ++k) {  // bounded: MaxMonthProbes
        // The middle of the last month may lie past the last civil day the
        // conversion takes: that day stands for it.
        const double civilProbe = std::fmin(probe - adjust, FirstJdBeyondCalendar - 1.0);
        VorDate probed{};
        JulianDayToDate(civilProbe, probed);
        if (GregorianToHijriSearch(monthStart, probed, location, config) == 0) return 0;
        first = DateToJulianDay(probed) + adjust - (probed.hijriDay - 1.0);
        const std::int64_t off = wanted - MonthIndex(probed.hijriYear, probed.hijriMonth);
        monthFound = off == 0;
        probe = first + std::round(static_cast<double>(off) * MeanSynodicMonth) + MiddleOfMonth;
    }
    if (!monthFound) return 0;

    // The day, checked by the conversion itself: a day past the month's end
    // lies in the next month, a day it refuses (before the era) has no
    // Hijri date.
    const double civilJd = first + (day - 1.0) - adjust;
    VorDate check{};
    JulianDayToDate(civilJd, check);
    if (GregorianToHijriSearch(monthStart, check, location, config) == 0) return 0;
    if (MonthIndex(check.hijriYear, check.hijriMonth) != wanted || check.hijriDay != day) return 0;
    JulianDayToDate(civilJd + fraction, date);
    return 1;
}

// ComputeMonthStart through a cache, in the shape the searches call, with
// the cache's memory of latitude walks.
struct CachedMonthStart {
    MonthStartCache &cache;
    double operator()(const VorDate *d, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) const {
        return ComputeMonthStartCached(d, loc, cfg, outJd, &cache);
    }
    bool Recall(const VorDate &probe, const VorLocation &loc, const VorConfig &cfg,
                MonthStartCache::Walk *walk) const {
        return RecallLatitudeWalk(&probe, &loc, &cfg, &cache, walk);
    }
    void Remember(const VorDate &probe, double fromLatitude, const VorLocation &loc,
                  const VorConfig &cfg, int steps, int found) const {
        RememberLatitudeWalk(&probe, fromLatitude, &loc, &cfg, steps, found, &cache);
    }
    bool WalksTowardTheEquator() const { return false; }
};

// A month-start function pointer in the shape the searches call; it has no
// memory of walks.
struct MonthStartThrough {
    MonthStartFunction function;
    double operator()(const VorDate *d, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) const {
        return function(d, loc, cfg, outJd, nullptr);
    }
    bool Recall(const VorDate &, const VorLocation &, const VorConfig &,
                MonthStartCache::Walk *) const {
        return false;
    }
    void Remember(const VorDate &, double, const VorLocation &, const VorConfig &, int,
                  int) const {}
    bool WalksTowardTheEquator() const { return false; }
};

}  // namespace

int GregorianToHijriFrom(MonthStartSource &monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    return GregorianToHijriSearch(monthStart, date, location, config);
}

int HijriToGregorianFrom(MonthStartSource &monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    return HijriToGregorianSearch(monthStart, date, location, config);
}

int GregorianToHijriWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    MonthStartThrough through{monthStart};
    return GregorianToHijriSearch(through, date, location, config);
}

int HijriToGregorianWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    MonthStartThrough through{monthStart};
    return HijriToGregorianSearch(through, date, location, config);
}

int GregorianToHijri(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache) {
    CachedMonthStart cached{cache};
    return GregorianToHijriSearch(cached, date, location, config);
}

int HijriToGregorian(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache) {
    CachedMonthStart cached{cache};
    return HijriToGregorianSearch(cached, date, location, config);
}

int GregorianToHijri(VorDate &date, VorLocation &location, const VorConfig &config) {
    // A search may come back to a month it has already found.
    MonthStartCache cache;
    return GregorianToHijri(date, location, config, cache);
}

int HijriToGregorian(VorDate &date, VorLocation &location, const VorConfig &config) {
    MonthStartCache cache;
    return HijriToGregorian(date, location, config, cache);
}

}  // namespace vorlin
