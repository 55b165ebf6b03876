#include "prayer/prayer_schedule.h"

#include "astro/angles.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "moon/month_start.h"
#include "prayer/prayer_times.h"
#include "prayer/report_names.h"
#include "prayer/report_text.h"
#include "prayer/sun_events.h"

namespace vorlin {

namespace {

// Whole part of a day field for the row prefix; a value no conversion can
// produce (NaN, or beyond two digits by far) prints as 0 rather than
// converting out of the int range.
int WholeDay(double day) {
    if (!(day > -1000.0 && day < 1000.0)) return 0;
    return static_cast<int>(day);
}

// One row: the day's nine times with summer time, the prefix (months only)
// and the cells.
void WriteDayRow(const VorDate &day, const VorLocation &loc, const VorConfig &cfg,
                 bool withPrefix, SunEventCache &sunEvents, TextWriter &text) {
    PrayerTimes times;
    ComputeDayPrayerTimes(day, loc, cfg, times, &sunEvents);
    ApplySummerTime(loc, day, PrayerTimes::Count, times.time);
    if (withPrefix) {
        const char *weekday = ShortWeekdayName(WeekdayOfJulianDay(DateToJulianDay(day)));
        if (day.hijriValid == 1) {
            text.Format("%-2i   %-2i      %3s ", WholeDay(day.day), WholeDay(day.hijriDay),
                        weekday);
        } else {
            text.Format("%-2i           %3s ", WholeDay(day.day), weekday);
        }
    }
    WriteTimeRow(cfg, PrayerTimes::Count, RowPrayer, times.time, text);
}

// Moves the working date one civil day on and its Hijri day with it; from
// the 29th Hijri day on the Hijri fields are derived again from the civil
// date.  Civil months step the day number (through the Julian Date from the
// 28th on, to cross the month's end), so that in October 1582 the days 5 to
// 14 come up and are skipped; they do not exist, so the Hijri day does not
// advance over them.  Hijri months step the Julian Date, which goes from
// 4 to 15 October 1582 directly, so every loop day is a real day.  Returns
// true when, counting Hijri months, the derivation puts the day at the
// start of the next month (Hijri day below 3): it belongs to the next page.
bool AdvanceDay(VorDate &work, VorLocation &loc, const VorConfig &cfg, bool hijriMonths,
                MonthStartCache &monthStarts) {
    if (hijriMonths || work.day >= 28.0) {
        JulianDayToDate(DateToJulianDay(work) + 1.0, work);
    } else {
        work.day += 1.0;
    }
    if (IsValidDate(work, 0) != 1) return false;
    work.hijriDay += 1.0;
    if (work.hijriDay >= 29.0) {
        const bool converted = GregorianToHijri(work, loc, cfg, monthStarts) == 1;
        if (hijriMonths && converted && work.hijriDay < 3.0) return true;
    }
    return false;
}

}  // namespace

void WritePrayerSchedule(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                         TextWriter &text) {
    WriteBanner(text);
    const unsigned span = cfg.scheduleFlags & VOR_SPAN_MASK;
    const bool hijriMonths = (cfg.scheduleFlags & VOR_HIJRI_MONTHS) != 0;

    if (span == VOR_SPAN_DAY) {
        PrayerTimes times;
        ComputeDayPrayerTimes(date, loc, cfg, times);
        ApplySummerTime(loc, date, PrayerTimes::Count, times.time);
        WriteReportHeader(date, loc, cfg, HeaderPrayerSchedule, text);
        WriteTimeRow(cfg, PrayerTimes::Count, RowPrayer, times.time, text);
        return;
    }

    VorDate work{};
    work.year = date.year;
    work.hijriYear = date.hijriYear;
    work.hijriValid = 1;
    work.month = span == VOR_SPAN_MONTH ? date.month : 1;
    work.hijriMonth = span == VOR_SPAN_MONTH ? date.hijriMonth : 1;

    // The conversions of every page and of every month's end ask for the
    // same few month starts: each is computed once.
    MonthStartCache monthStarts;
    // A day's Sun events serve again as the night before or after the next
    // day, or as a nearest day of the high-latitude rules.
    SunEventCache sunEvents;

    // At most twelve pages of at most 31 (civil) or 30 (Hijri) days each.
    for (int page = 1; page <= ScheduleMonthsPerYear; ++page) {
        int length = 0;
        if (hijriMonths) {
            work.hijriDay = 1.0;
            // Without a civil date for the first day the page has no rows.
            if (HijriToGregorian(work, loc, cfg, monthStarts) == 1) {
                length = MaxHijriScheduleDays;
            } else {
                work.hijriValid = 0;
            }
        } else {
            work.day = 1.0;
            GregorianToHijri(work, loc, cfg, monthStarts);
            length = DaysInMonth(work.year, work.month);
        }
        WriteReportHeader(work, loc, cfg, HeaderPrayerSchedule, text);

        bool nextMonthReached = false;
        for (int c = 1; c <= length; ++c) {
            if (c > 1 && AdvanceDay(work, loc, cfg, hijriMonths, monthStarts)) {
                nextMonthReached = true;
                break;
            }
            // The days dropped by the 1582 reform get no row.
            if (IsValidDate(work, 0) == 1) WriteDayRow(work, loc, cfg, true, sunEvents, text);
        }

        if (span == VOR_SPAN_MONTH) return;

        if (hijriMonths) {
            // A page ended by the derivation already stands in the next month.
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
        text.Append("\n\n\n");
        text.Append(SeparatorLine);
    }
}

}  // namespace vorlin
