#include "timetable.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "describe.h"
#include "prayer/schedule_days.h"

namespace vorlin::cli {

namespace {

constexpr long long SecondsPerDay = 86400;
constexpr long long UnixEpochDayNumber = 2440588;  // JDN of 1970-01-01

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

long long DayNumber(const VorDate &date) { return std::llround(DateToJulianDay(date) + 0.5); }

TimetableDay MakeDay(const VorDate &date, const VorLocation &location) {
    TimetableDay day;
    day.date = date;
    day.weekday = WeekdayOfJulianDay(DateToJulianDay(date));
    day.summerTime = IsSummerTime(location.summerStart, location.summerEnd, date) == 1;
    day.utcOffsetHours = location.timeZone + (day.summerTime ? 1.0 : 0.0);
    return day;
}

}  // namespace

std::vector<TimetableDay> ComputeTimetable(const Request &request, unsigned span, bool hijriMonths) {
    VorLocation radians = request.location;
    radians.latitude *= DegToRad;
    radians.longitude *= DegToRad;
    std::vector<TimetableDay> days;

    if (span == VOR_SPAN_DAY) {
        VorDate day = request.date;
        day.hijriValid = 0;
        GregorianToHijri(day, radians, request.config);
        days.push_back(MakeDay(day, request.location));
    } else {
        // The same pages and days as the schedule report of the request.
        VorConfig walk = request.config;
        walk.scheduleFlags = (span & VOR_SPAN_MASK) | (hijriMonths ? VOR_HIJRI_MONTHS : 0u);
        class Collector final : public ScheduleDayVisitor {
        public:
            Collector(const VorLocation &loc, std::vector<TimetableDay> &days) : loc_(loc), days_(days) {}
            void BeginPage(const VorDate &) override {}
            void Day(const VorDate &day) override { days_.push_back(MakeDay(day, loc_)); }
            void EndPage() override {}

        private:
            const VorLocation &loc_;
            std::vector<TimetableDay> &days_;
        } collector(request.location, days);
        MonthStartCache monthStarts;
        VisitScheduleDays(request.date, radians, walk, monthStarts, collector);
    }
    if (days.empty()) return days;

    // The times of the days from the first to the last in one call (the
    // days of a schedule follow each other).
    const long long first = DayNumber(days.front().date);
    const long long count = DayNumber(days.back().date) - first + 1;
    std::vector<VorDayTimes> times(static_cast<std::size_t>(count > 0 ? count : 1));
    times[0].size = sizeof(VorDayTimes);
    VorDate from = days.front().date;
    from.day = std::floor(from.day);
    VorLocation location = request.location;
    VorTimesSettings settings = request.times;
    if (count < 1 || VorTimesOfRange(&from, static_cast<int32_t>(count), &location, &settings,
                                     times.data()) != count)
        throw UsageError("no times for this place, date or settings (the library refused them)");
    for (TimetableDay &day : days) {
        const long long index = DayNumber(day.date) - first;
        if (index < 0 || index >= count) throw UsageError("the days of the request are not in order");
        day.times = times[static_cast<std::size_t>(index)];
    }
    return days;
}

std::vector<ShownEvent> ShownEvents(bool asrBoth) {
    std::vector<ShownEvent> events = {
        {VOR_EVENT_IMSAK, "imsak", "imsak", "Imsak"},
        {VOR_EVENT_FAJR, "fajr", "fajr", "Fajr"},
        {VOR_EVENT_SUNRISE, "sunrise", "sunrise", "Sunrise"},
        {VOR_EVENT_DHUHR, "dhuhr", "dhuhr", "Dhuhr"},
        {VOR_EVENT_ASR, "asr", "asr", "Asr"},
        {VOR_EVENT_ASR_HANAFI, "asrHanafi", "asr_hanafi", "Asr (Hanafi)"},
        {VOR_EVENT_SUNSET, "sunset", "sunset", "Sunset"},
        {VOR_EVENT_MAGHRIB, "maghrib", "maghrib", "Maghrib"},
        {VOR_EVENT_ISHA, "isha", "isha", "Isha"},
        {VOR_EVENT_MIDNIGHT, "midnight", "midnight", "Midnight"},
        {VOR_EVENT_LAST_THIRD, "lastThird", "last_third", "Last third of the night"},
    };
    if (!asrBoth) events.erase(events.begin() + 5);
    return events;
}

LocalMoment MomentOf(const TimetableDay &day, const VorEventTime &event) {
    LocalMoment m;
    if (event.status == VOR_STATUS_ALWAYS_ABOVE) {
        m.reason = "always above";
        return m;
    }
    if (event.status == VOR_STATUS_ALWAYS_BELOW) {
        m.reason = "always below";
        return m;
    }
    // A shown time lies within a few days of the date (the night after it
    // at most); anything else is not a time of this day.
    const long long dateSeconds = (DayNumber(day.date) - UnixEpochDayNumber) * SecondsPerDay;
    if ((event.status != VOR_STATUS_VALID && event.status != VOR_STATUS_FILLED) ||
        !std::isfinite(event.unixSeconds) ||
        std::fabs(event.unixSeconds - static_cast<double>(dateSeconds)) > 3.0 * SecondsPerDay) {
        m.reason = "not valid";
        return m;
    }
    m.valid = true;
    if (event.status == VOR_STATUS_FILLED) {
        m.filled = true;
        m.reason = FilledByText(event.filledBy);
    }
    const long long utc = std::llround(event.unixSeconds);
    const long long utcDays = FloorDiv(utc, SecondsPerDay);
    m.utcDayNumber = UnixEpochDayNumber + utcDays;
    m.utcSecondOfDay = static_cast<int>(utc - utcDays * SecondsPerDay);
    const long long local = utc + std::llround(day.utcOffsetHours * 3600.0);
    const long long localDays = FloorDiv(local, SecondsPerDay);
    m.secondOfDay = static_cast<int>(local - localDays * SecondsPerDay);
    VorDate civil{};
    JulianDayToDate(static_cast<double>(UnixEpochDayNumber + localDays) - 0.5, civil);
    m.date.year = civil.year;
    m.date.month = civil.month;
    m.date.day = std::floor(civil.day);
    return m;
}

}  // namespace vorlin::cli
