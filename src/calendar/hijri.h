// The Hijri calendar: the tabular (arithmetic) calendar and the
// astronomical conversion between civil and Hijri dates for a place.
//
// Tabular calendar: a 30-year cycle of 10631 days with eleven leap years
// (the years y with (11y + 3) mod 30 >= 19: 2, 5, 7, 10, 13, 16, 18, 21, 24,
// 26, 29); months alternate 30 and 29 days beginning with 30, the leap day
// going to month 12.  A tabular day number is the Julian Day Number of the
// civil day (the day whose noon is that JD); 1948440 is 1 Muharram 1 AH
// (16 July 622, Julian calendar).  Integer division truncates toward zero.
//
// Astronomical calendar: a month begins on the day that the crescent rule
// of ComputeMonthStart (moon/month_start.h) selects after a new moon, for
// the observer's own place.  The search works on local Julian Dates
// (UT JD + timeZone/24) at 0 h, i.e. numbers ending in .5.
#pragma once

#include "moon/month_start.h"
#include "vorlin.h"

namespace vorlin {

class TextWriter;

// Tabular day number of the Hijri date in hijriYear, hijriMonth, hijriDay,
// ceiling form: trunc(ceil(29.5 (m - 1)) + (11y + 3) div 30 + 354 (y - 1)
// + d + 1948440 - 1).  1 Muharram 1422 is 2451995, and so is
// 30 Thu Al-Hijja 1421 (day 30 of a common year's last month is the next
// year's first day).  Saturates at the int range for absurd years.
int TabularHijriDayNumber(const VorDate &date);

// Tabular day number, rounded form, as an integral double:
// floor(29.5 (m - 1) + (11y + 3)/30 + 354 (y - 1) + d + 1948440 - 1 + 0.5).
// One day later than the ceiling form in odd months of the years whose
// (11y + 3)/30 has a fraction of 0.5 or more (1 Muharram 1422: 2451996).
double TabularHijriDayNumberRounded(const VorDate &date);

// Tabular Hijri date of day number dayNumber (inverse of the ceiling form):
// writes hijriYear, hijriMonth (1..12) and hijriDay (a whole number), and
// nothing else.
void TabularHijriFromDayNumber(int dayNumber, VorDate &date);

// Tabular Hijri date, rounded form, of the day number floor(jd) (so a JD of
// 0 h, x.5, names the day before it): writes hijriYear, hijriMonth (1..12)
// and hijriDay, and nothing else.  Used to name the month about to begin.
void TabularHijriFromJulianDay(double jd, VorDate &date);

// Hijri date of a civil date at a place, astronomical calendar.
// Given: date.year, month, day (civil calendar, the day possibly with a
//        fraction); location with latitude and longitude in radians;
//        config (crescentThreshold, hijriAdjustDays, refraction settings,
//        toleranceSeconds).
// Returned: 1 with hijriYear, hijriMonth, hijriDay (1 to 30, rarely more;
//        with the date's fraction) and hijriValid 1.  0 with hijriValid 0
//        and the Hijri fields untouched when the date + hijriAdjustDays lies
//        before day number 1948440, when the date lies after 9999-12-31
//        (FirstJdBeyondCalendar), or when no month start can be computed
//        even at the equator.
// The date + hijriAdjustDays is placed in the month that starts on the
// latest computed month start at or before it; its year and month are
// those of the tabular calendar four days after that start.  A month start
// that cannot be computed at the place (no sunset or moonset there, or the
// young Moon setting before the Sun on every evening searched) is computed
// at the first latitude 2, 4, 6 ... degrees nearer the equator that has
// one, for each lunation alone: every month start depends on its lunation
// only, so all conversions at a place see one calendar, without gaps or
// repeated days.  The latitude is put back, bit for bit, on every path.
int GregorianToHijri(VorDate &date, VorLocation &location, const VorConfig &config);

// Civil date of a Hijri date at a place, astronomical calendar: the exact
// inverse of GregorianToHijri.
// Given: date.hijriYear, hijriMonth, hijriDay (a whole day, or with a
//        fraction of the day); location (radians); config.
// Returned: 1 with year, month, day, hour, minute and second written (the
//        Hijri fields and hijriValid unchanged): the civil day that
//        GregorianToHijri, with this place and configuration, labels
//        hijriYear, hijriMonth and the whole part of hijriDay, at the time
//        of day given by the fraction.  0, record untouched, when the
//        place's calendar has no such day:
//        - a day past the end of the month there (day 30 of a month that
//          has 29 days; a day below 1);
//        - a day GregorianToHijri refuses as before the era: it refuses
//          16 July 622, on which 1 Muharram 1 falls at Makkah, whose first
//          Hijri date is then 2 Muharram 1; or after 9999-12-31;
//        - a month for which no month start can be computed.
// The month is found from the middle of its tabular month (converted: it
// names the month it lies in and that month's first day; at most two more
// tries when that is another month), and the day is counted from the
// month's first day and checked by converting it back.  About two
// conversions' cost, the month starts shared through the cache.
int HijriToGregorian(VorDate &date, VorLocation &location, const VorConfig &config);

// The month-start computation the search runs on, in the shape of
// ComputeMonthStart in conversion mode (text null): non-zero on success with
// *outJd replaced by the local JD of 0 h of the possible first day of the
// month after the first new moon at or after date; 0 with *outJd untouched
// when no sunset or moonset can be computed at the place.
using MonthStartFunction = double (*)(const VorDate *date, const VorLocation *loc,
                                      const VorConfig *cfg, double *outJd, TextWriter *text);

// Bounds of the search of GregorianToHijri.  Latitude steps of 2 degrees
// for one month start: 45 reach the equator from a pole, one more crosses
// it when the start is not a multiple of 2 degrees.  Successful month-start computations: a
// search normally needs 2 to 4.
inline constexpr int MaxLatitudeSteps = 46;
// 10000-01-01 0 h: the conversions take civil days up to 9999-12-31, as the
// day's times do.  Beyond, Delta T is extrapolated by days (by a year at the
// year 100000), the month starts of one lunation depend on the day a
// search sets out from, and the two directions stop being inverses.
inline constexpr double FirstJdBeyondCalendar = 5373484.5;
inline constexpr int MaxMonthStartSearches = 10;

// The two conversions with a month-start cache (moon/month_start.h) owned
// by the caller: the same results, bit for bit, as the forms above, but a
// month start that an earlier conversion through the same cache found (for
// the same lunation, latitude, place and configuration) is not computed
// again, and a latitude walk it made for a lunation is not repeated: the
// month start is taken where the walk ended.  A report that converts many
// dates of one place passes one cache to all of them; the forms above use a
// cache of their own for one call.
int GregorianToHijri(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache);
int HijriToGregorian(VorDate &date, VorLocation &location, const VorConfig &config,
                     MonthStartCache &cache);

// A month-start computation for the searches of the conversions, with an
// optional memory of latitude walks (the calendars of calendar_modes.h).
// operator() is called as ComputeMonthStart in conversion mode: non-zero
// with *outJd the local JD of 0 h of the first day of the month after the
// first new moon at or after date, 0 when none can be computed at loc.
class MonthStartSource {
public:
    virtual double operator()(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                              double *outJd) = 0;
    virtual bool Recall(const VorDate &, const VorLocation &, const VorConfig &,
                        MonthStartCache::Walk *) {
        return false;
    }
    virtual void Remember(const VorDate &, double, const VorLocation &, const VorConfig &, int,
                          int) {}
    // True when operator() already looks nearer the equator by itself where
    // the place has no month start: the searches then take its answer as it
    // is, without walking the latitude again.
    virtual bool WalksTowardTheEquator() const { return false; }

protected:
    ~MonthStartSource() = default;
};
int GregorianToHijriFrom(MonthStartSource &monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config);
int HijriToGregorianFrom(MonthStartSource &monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config);

// GregorianToHijri and HijriToGregorian on a given month-start computation
// (the forms above pass ComputeMonthStart); no walk is remembered.
int GregorianToHijriWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config);
int HijriToGregorianWith(MonthStartFunction monthStart, VorDate &date, VorLocation &location,
                         const VorConfig &config);

}  // namespace vorlin
