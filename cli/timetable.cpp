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

long long DayNumber(const VorDate &date) { return std::llround(DateToJulianDay(date) + 0.5); }

frontend::CivilDate Civil(const VorDate &d) { return {d.year, d.month, static_cast<int>(d.day)}; }

}  // namespace

std::vector<VorDate> ScheduleDates(const Request &request, unsigned span, bool hijriMonths) {
    if (!IsLibraryCalendar(request.calendar)) {
        if (!hijriMonths || span == VOR_SPAN_DAY) {
            // The civil days of the span, named in the request's calendar.
            Request civil = request;
            civil.calendar = CalendarRule{};
            std::vector<VorDate> days = ScheduleDates(civil, span, false);
            if (days.empty()) return days;
            VorDate first = days.front();
            first.hijriValid = 0;
            return RangeDates(request, first, static_cast<int>(days.size()));
        }
        // The Hijri month or year of the date in the request's calendar.
        VorDate date = request.date;
        if (ToHijri(request, date) != 1) return {};
        VorDate first{}, next{};
        first.hijriYear = next.hijriYear = date.hijriYear;
        first.hijriMonth = span == VOR_SPAN_MONTH ? date.hijriMonth : 1;
        first.hijriDay = next.hijriDay = 1.0;
        if (span == VOR_SPAN_MONTH && date.hijriMonth < 12) {
            next.hijriMonth = static_cast<uint8_t>(date.hijriMonth + 1);
        } else {
            next.hijriYear += 1;
            next.hijriMonth = 1;
        }
        CalendarCache cache;
        if (ToCivil(request, first, &cache) != 1 || ToCivil(request, next, &cache) != 1) return {};
        first.hijriValid = 0;
        const long long count = DayNumber(next) - DayNumber(first);
        return RangeDates(request, first, static_cast<int>(count));
    }
    VorLocation radians = request.location;
    radians.latitude *= DegToRad;
    radians.longitude *= DegToRad;
    std::vector<VorDate> dates;
    if (span == VOR_SPAN_DAY) {
        VorDate day = request.date;
        day.hijriValid = 0;
        GregorianToHijri(day, radians, request.config);
        dates.push_back(day);
        return dates;
    }
    // The same pages and days as the schedule report of the request.
    VorConfig walk = request.config;
    walk.scheduleFlags = (span & VOR_SPAN_MASK) | (hijriMonths ? VOR_HIJRI_MONTHS : 0u);
    class Collector final : public ScheduleDayVisitor {
    public:
        explicit Collector(std::vector<VorDate> &dates) : dates_(dates) {}
        void BeginPage(const VorDate &) override {}
        void Day(const VorDate &day) override { dates_.push_back(day); }
        void EndPage() override {}

    private:
        std::vector<VorDate> &dates_;
    } collector(dates);
    MonthStartCache monthStarts;
    VisitScheduleDays(request.date, radians, walk, monthStarts, collector);
    return dates;
}

std::vector<TimetableDay> ComputeTimetable(const Request &request, unsigned span, bool hijriMonths) {
    return ComputeTimetableOf(request, ScheduleDates(request, span, hijriMonths));
}

std::vector<VorDate> RangeDates(const Request &request, const VorDate &first, int count) {
    VorLocation radians = request.location;
    radians.latitude *= DegToRad;
    radians.longitude *= DegToRad;
    CalendarCache cache;
    std::vector<VorDate> dates;
    const long long n0 = DayNumber(first);
    for (int i = 0; i < count && i < 3660; ++i) {
        VorDate d{};
        JulianDayToDate(static_cast<double>(n0 + i) - 0.5, d);
        d.day = std::floor(d.day);
        d.hijriValid = 0;
        const VorDate *previous = dates.empty() ? nullptr : &dates.back();
        if (previous != nullptr && previous->hijriValid == 1 && previous->hijriDay < 29) {
            // The next Hijri day of the same month.
            d.hijriValid = 1;
            d.hijriYear = previous->hijriYear;
            d.hijriMonth = previous->hijriMonth;
            d.hijriDay = previous->hijriDay + 1;
        } else {
            CivilToHijriOfRule(request.calendar, d, radians, request.config, &cache);
        }
        dates.push_back(d);
    }
    return dates;
}

std::vector<TimetableDay> ComputeTimetableOf(const Request &request, const std::vector<VorDate> &dates) {
    const frontend::Clock &clock = request.clock;
    std::vector<TimetableDay> days;
    std::vector<int> standardSeconds;  // the core's zone of each day
    for (const VorDate &date : dates) {
        TimetableDay day;
        day.date = date;
        day.weekday = WeekdayOfJulianDay(DateToJulianDay(date));
        int standard = 0;
        if (clock.IsZone()) {
            day.skipped = !clock.HasDate(Civil(date));
            const frontend::ClockReading noon = clock.AtLocalNoon(Civil(date));
            day.utcOffsetHours = noon.offsetSeconds / 3600.0;
            day.summerTime = noon.savingSeconds != 0;
            standard = noon.offsetSeconds - noon.savingSeconds;
        } else {
            // A fixed offset, with the library's summer-time rules if given.
            day.summerTime = request.location.summerStart != 0 &&
                             IsSummerTime(request.location.summerStart, request.location.summerEnd, date) == 1;
            standard = static_cast<int>(std::lround(request.location.timeZone * 3600.0));
            day.utcOffsetHours = standard / 3600.0 + (day.summerTime ? 1.0 : 0.0);
        }
        days.push_back(day);
        standardSeconds.push_back(standard);
    }

    // The times through the structured exports, one call for each run of
    // consecutive days on the same standard offset.
    for (std::size_t i = 0; i < days.size();) {
        if (days[i].skipped) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < days.size() && !days[j].skipped && standardSeconds[j] == standardSeconds[i] &&
               DayNumber(days[j].date) == DayNumber(days[j - 1].date) + 1)
            ++j;
        std::vector<VorDayTimes> times(j - i);
        times[0].size = sizeof(VorDayTimes);
        VorDate from = days[i].date;
        from.day = std::floor(from.day);
        VorLocation location = request.location;
        location.timeZone = static_cast<float>(standardSeconds[i] / 3600.0);
        location.summerStart = location.summerEnd = 0;
        VorTimesSettings settings = request.times;
        const int32_t count = static_cast<int32_t>(j - i);
        if (VorTimesOfRange(&from, count, &location, &settings, times.data()) != count)
            throw UsageError("no times for this place, date or settings (the library refused them)");
        for (std::size_t k = i; k < j; ++k) {
            TimetableDay &day = days[k];
            day.times = times[k - i];
            for (int e = 0; e < VOR_EVENT_COUNT; ++e) {
                const double unix = day.times.event[e].unixSeconds;
                day.eventOffsetSeconds[e] =
                    clock.IsZone() && std::isfinite(unix) && std::fabs(unix) < 1e12
                        ? clock.At(std::llround(unix)).offsetSeconds
                        : static_cast<int>(std::lround(day.utcOffsetHours * 3600.0));
            }
        }
        i = j;
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

LocalMoment MomentOf(const TimetableDay &day, int e) {
    const VorEventTime &event = day.times.event[e];
    LocalMoment m;
    if (day.skipped) {
        m.reason = "not on the local clock";
        return m;
    }
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
    m = MomentAt(std::llround(event.unixSeconds), day.eventOffsetSeconds[e]);
    if (event.status == VOR_STATUS_FILLED) {
        m.filled = true;
        m.reason = FilledByText(event.filledBy);
    }
    return m;
}

LocalMoment MomentAt(long long utc, int offsetSeconds) {
    LocalMoment m;
    m.valid = true;
    const long long utcDays = FloorDiv(utc, SecondsPerDay);
    m.utcDayNumber = UnixEpochDayNumber + utcDays;
    m.utcSecondOfDay = static_cast<int>(utc - utcDays * SecondsPerDay);
    m.offsetSeconds = offsetSeconds;
    const long long local = utc + offsetSeconds;
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
