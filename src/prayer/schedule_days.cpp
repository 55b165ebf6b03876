#include "prayer/schedule_days.h"

#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "prayer/prayer_schedule.h"

namespace vorlin {

namespace {

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

void VisitScheduleDays(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                       MonthStartCache &monthStarts, ScheduleDayVisitor &visitor) {
    const unsigned span = cfg.scheduleFlags & VOR_SPAN_MASK;
    if (span == VOR_SPAN_DAY) return;
    const bool hijriMonths = (cfg.scheduleFlags & VOR_HIJRI_MONTHS) != 0;

    VorDate work{};
    work.year = date.year;
    work.hijriYear = date.hijriYear;
    work.hijriValid = 1;
    work.month = span == VOR_SPAN_MONTH ? date.month : 1;
    work.hijriMonth = span == VOR_SPAN_MONTH ? date.hijriMonth : 1;

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
        visitor.BeginPage(work);

        bool nextMonthReached = false;
        for (int c = 1; c <= length; ++c) {
            if (c > 1 && AdvanceDay(work, loc, cfg, hijriMonths, monthStarts)) {
                nextMonthReached = true;
                break;
            }
            // The days dropped by the 1582 reform get no row.
            if (IsValidDate(work, 0) == 1) visitor.Day(work);
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
        visitor.EndPage();
    }
}

}  // namespace vorlin
