#include "timetable.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"

namespace vorlin::cli {

const PublishedTime PublishedTimes[PublishedTimeCount] = {
    {"imsak", "Imsak"}, {"fajr", "Fajr"},       {"sunrise", "Sunrise"}, {"dhuhr", "Dhuhr"},
    {"asr", "Asr"},     {"maghrib", "Maghrib"}, {"isha", "Isha"}};

int PublishedTimeIndex(int published, int fiqh) {
    static constexpr int Index[PublishedTimeCount] = {PrayerImsak, PrayerFajr,     PrayerShuruq,
                                                      PrayerDuhr,  PrayerAsrFactor1, PrayerMaghrib,
                                                      PrayerIsha};
    if (published == 4 && fiqh == 2) return PrayerAsrFactor2;
    return Index[published];
}

namespace {

constexpr int SecondsPerDay = 86400;
// The schedule's limits: a Hijri month page has at most 30 rows, a year twelve pages.
constexpr int HijriMonthDays = 30;
constexpr int MonthsPerYear = 12;

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

TimetableDay MakeDay(const VorDate &date, const VorLocation &radians, const VorConfig &config) {
    TimetableDay day;
    day.date = date;
    day.weekday = WeekdayOfJulianDay(DateToJulianDay(date));
    ComputeDayPrayerTimes(date, radians, config, day.times);
    day.summerTime = ApplySummerTime(radians, date, PrayerTimes::Count, day.times.time) == 1;
    day.utcOffsetHours = radians.timeZone + (day.summerTime ? 1.0 : 0.0);
    return day;
}

// One civil day on, and the Hijri day with it (see the schedule report):
// true when, counting Hijri months, the day already belongs to the next month.
bool AdvanceDay(VorDate &work, VorLocation &loc, const VorConfig &cfg, bool hijriMonths) {
    if (hijriMonths || work.day >= 28.0) {
        JulianDayToDate(DateToJulianDay(work) + 1.0, work);
    } else {
        work.day += 1.0;
    }
    if (IsValidDate(work, 0) != 1) return false;
    work.hijriDay += 1.0;
    if (work.hijriDay >= 29.0) {
        const bool converted = GregorianToHijri(work, loc, cfg) == 1;
        if (hijriMonths && converted && work.hijriDay < 3.0) return true;
    }
    return false;
}

}  // namespace

std::vector<TimetableDay> ComputeTimetable(const VorDate &date, const VorLocation &location,
                                           const VorConfig &config, unsigned span,
                                           bool hijriMonths) {
    VorLocation loc = location;
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    std::vector<TimetableDay> days;

    if (span == VOR_SPAN_DAY) {
        VorDate day = date;
        day.hijriValid = 0;
        GregorianToHijri(day, loc, config);
        days.push_back(MakeDay(day, loc, config));
        return days;
    }

    VorDate work{};
    work.year = date.year;
    work.hijriYear = date.hijriYear;
    work.hijriValid = 1;
    work.month = span == VOR_SPAN_MONTH ? date.month : 1;
    work.hijriMonth = span == VOR_SPAN_MONTH ? date.hijriMonth : 1;
    const int pages = span == VOR_SPAN_MONTH ? 1 : MonthsPerYear;
    for (int page = 1; page <= pages; ++page) {
        int length = 0;
        if (hijriMonths) {
            work.hijriDay = 1.0;
            if (HijriToGregorian(work, loc, config) == 1) {
                length = HijriMonthDays;
            } else {
                work.hijriValid = 0;
            }
        } else {
            work.day = 1.0;
            GregorianToHijri(work, loc, config);
            length = DaysInMonth(work.year, work.month);
        }
        bool nextMonthReached = false;
        for (int c = 1; c <= length; ++c) {
            if (c > 1 && AdvanceDay(work, loc, config, hijriMonths)) {
                nextMonthReached = true;
                break;
            }
            if (IsValidDate(work, 0) == 1) days.push_back(MakeDay(work, loc, config));
        }
        if (hijriMonths) {
            if (!nextMonthReached) {
                if (work.hijriMonth >= 12) {
                    work.hijriMonth = 1;
                    ++work.hijriYear;
                } else {
                    ++work.hijriMonth;
                }
            }
        } else {
            ++work.month;
        }
    }
    return days;
}

LocalMoment MomentOf(const TimetableDay &day, double t) {
    LocalMoment m;
    if (t == TimeAlwaysBelow) {
        m.reason = "always below";
        return m;
    }
    if (t == TimeAlwaysAbove) {
        m.reason = "always above";
        return m;
    }
    if (IsTimeMarker(t) || !std::isfinite(t) || std::fabs(t) > 4.0 * TwoPi) {
        m.reason = "not valid";
        return m;
    }
    const long long local = std::llround(t * RadToTimeSeconds);
    const long long shift = FloorDiv(local, SecondsPerDay);
    if (shift > 1 || shift < -1) {
        m.reason = "not valid";
        return m;
    }
    const long long dayNumber = std::llround(DateToJulianDay(day.date) + 0.5);  // JDN of the date
    m.valid = true;
    m.secondOfDay = static_cast<int>(local - shift * SecondsPerDay);
    VorDate civil{};
    JulianDayToDate(static_cast<double>(dayNumber + shift) - 0.5, civil);
    m.date.year = civil.year;
    m.date.month = civil.month;
    m.date.day = std::floor(civil.day);
    const long long utc = local - std::llround(day.utcOffsetHours * 3600.0);
    const long long utcShift = FloorDiv(utc, SecondsPerDay);
    m.utcDayNumber = dayNumber + utcShift;
    m.utcSecondOfDay = static_cast<int>(utc - utcShift * SecondsPerDay);
    return m;
}

}  // namespace vorlin::cli
