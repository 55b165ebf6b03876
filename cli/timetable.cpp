#include "timetable.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "prayer/schedule_days.h"

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

    // The same pages and days as the schedule report of the request.
    VorConfig walk = config;
    walk.scheduleFlags = (span & VOR_SPAN_MASK) | (hijriMonths ? VOR_HIJRI_MONTHS : 0u);
    class Collector final : public ScheduleDayVisitor {
    public:
        Collector(const VorLocation &loc, const VorConfig &cfg, std::vector<TimetableDay> &days)
            : loc_(loc), cfg_(cfg), days_(days) {}
        void BeginPage(const VorDate &) override {}
        void Day(const VorDate &day) override { days_.push_back(MakeDay(day, loc_, cfg_)); }
        void EndPage() override {}

    private:
        const VorLocation &loc_;
        const VorConfig &cfg_;
        std::vector<TimetableDay> &days_;
    } collector(loc, config, days);
    MonthStartCache monthStarts;
    VisitScheduleDays(date, loc, walk, monthStarts, collector);
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
