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

// The search of GregorianToHijri on a month-start computation monthStart
// (called as monthStart(date, location, config, &start)).
template <typename MonthStart>
int GregorianToHijriSearch(MonthStart &&monthStart, VorDate &date, VorLocation &location,
                           const VorConfig &config) {
    const double jd = DateToJulianDay(date);
    date.hijriValid = 0;
    const double adjust = config.hijriAdjustDays;
    const double target = jd + adjust;
    // Before the era.  The test on jd alone would let a negative adjustment
    // carry the date before day number 1948440 (into Hijri year 0 and
    // below), so the adjusted date is tested as well.
    if (jd < HijriEpochDayNumber + adjust || target < HijriEpochDayNumber) return 0;
    const double keptLatitude = location.latitude;

    // s: the JD the next month-start computation starts from, and after a
    // success the month start it found.
    double s = target;
    bool found = false;
    // Set after a step past a month start more than 30 days before target
    // (step forward); if the start found next lies after target, target is
    // the 32nd day of the month that began on `previousStart`.
    bool steppedForward = false;
    double previousStart = 0.0;
    bool crossedEquator = false;
    int latitudeSteps = 0;
    int searches = 0;
    // Bounded: every pass either moves the latitude (at most
    // MaxLatitudeSteps times, and not past the first try at or beyond the
    // equator) or counts a successful computation (at most
    // MaxMonthStartSearches); anything more gives up with result 0.
    for (;;) {
        VorDate scratch{};
        JulianDayToDate(s, scratch);
        double start = s;
        if (monthStart(&scratch, &location, &config, &start) == 0.0) {
            // No sunset or moonset: move 2 degrees toward the equator and try
            // again, unless the equator has been reached already.
            if (crossedEquator || location.latitude == 0.0 || latitudeSteps == MaxLatitudeSteps)
                break;
            ++latitudeSteps;
            if (location.latitude > 0.0) {
                location.latitude -= LatitudeStep;
                crossedEquator = location.latitude <= 0.0;
            } else {
                location.latitude += LatitudeStep;
                crossedEquator = location.latitude >= 0.0;
            }
            continue;
        }
        if (++searches > MaxMonthStartSearches) break;
        s = start;
        if (s > target) {
            if (steppedForward) {
                s = previousStart;
                found = true;
                break;
            }
            s -= 35.0;  // back into the month before: the next call finds its new moon
            continue;
        }
        if (target - s > 30.0) {
            steppedForward = true;
            previousStart = s;
            s += 1.0;  // past this start: the next call finds the following one
            continue;
        }
        found = true;  // target lies in the month that starts on s
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
int HijriToGregorianSearch(MonthStart &&monthStart, VorDate &date, VorLocation &location,
                           const VorConfig &config) {
    const double x = TruncateToInt(TabularHijriDayNumberRounded(date));
    VorDate estimate{};
    JulianDayToDate(x + 0.5, estimate);
    if (GregorianToHijriSearch(monthStart, estimate, location, config) == 0) return 0;
    const double y = TruncateToInt(TabularHijriDayNumberRounded(estimate));
    JulianDayToDate((2.0 * x - y) + 0.5, date);
    return 1;
}

// ComputeMonthStart through a cache, in the shape the searches call.
struct CachedMonthStart {
    MonthStartCache &cache;
    double operator()(const VorDate *d, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) const {
        return ComputeMonthStartCached(d, loc, cfg, outJd, &cache);
    }
};

// A month-start function pointer in the shape the searches call.
struct MonthStartThrough {
    MonthStartFunction function;
    double operator()(const VorDate *d, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) const {
        return function(d, loc, cfg, outJd, nullptr);
    }
};

}  // namespace

int GregorianToHijriWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    return GregorianToHijriSearch(MonthStartThrough{monthStart}, date, location, config);
}

int HijriToGregorianWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config) {
    return HijriToGregorianSearch(MonthStartThrough{monthStart}, date, location, config);
}

int GregorianToHijri(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache) {
    return GregorianToHijriSearch(CachedMonthStart{cache}, date, location, config);
}

int HijriToGregorian(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache) {
    return HijriToGregorianSearch(CachedMonthStart{cache}, date, location, config);
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
