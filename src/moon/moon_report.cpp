#include "moon/moon_report.h"

#include <cmath>
#include <limits>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "moon/month_start.h"
#include "moon/moon_rise_transit_set.h"
#include "prayer/report_names.h"
#include "prayer/report_text.h"

namespace vorlin {

namespace {

// One hour in days.
constexpr double OneHourInDays = 0.041666666666666664;

// A Julian Date ComputeMonthStart did not write (its evening search failed).
constexpr double NoJulianDay = std::numeric_limits<double>::quiet_NaN();

// Three times as kind 1 cells, in the order given.
void WriteMoonCells(const VorConfig &cfg, double first, double second, double third,
                    TextWriter &text) {
    const double cells[3] = {first, second, third};
    WriteTimeRow(cfg, 3, RowTabSeparated, cells, text);
}

// The header, the rows and the month-start reports of one
// civil month r (r.day is left at 1).
void WriteMoonMonth(VorDate &r, VorLocation &loc, const VorConfig &cfg, TextWriter &text) {
    WriteReportHeader(r, loc, cfg, HeaderMoonRiseTransitSet, text);
    const int length = DaysInMonth(r.year, r.month);
    for (int d = 1; d <= length; ++d) {  // at most 31 days
        r.day = d;
        if (IsValidDate(r, 0) != 1) continue;  // the days dropped in October 1582
        double t[3];
        MoonRiseTransitSet(&r, &loc, &cfg, t);
        ApplySummerTime(loc, r, 3, t);
        text.Format("\t%-2i   %3s ", d, ShortWeekdayName(WeekdayOfJulianDay(DateToJulianDay(r))));
        WriteMoonCells(cfg, t[1], t[0], t[2], text);
        text.Append("\n");
    }

    r.day = 1.0;
    double geo1 = NoJulianDay;
    ComputeMonthStart(&r, &loc, &cfg, &geo1, &text);
    // Without a first new moon there is nothing to count a second from.
    if (std::isnan(geo1)) return;

    VorDate r2{};
    double timeOfDay = 0.0;
    LocalJdToDateTime(cfg, loc, r2, &timeOfDay, &geo1);
    // A second new moon can fall in the month only when the first falls
    // within its first length - 29 days (the 1st or 2nd of a 31-day month,
    // the 1st of a 30-day month, never in February).
    if (!(length + 1 > r2.day + 29.0)) return;

    // The second block stays only for a different new moon in the same
    // month.  That is decided first, writing nothing, and the block is then
    // written only when it stays: a block written and taken back would pass
    // through bytes beyond the final report, which a host that sized its
    // buffer to the report does not have.
    r2.day += 2.0;
    double geo2 = NoJulianDay;
    TextWriter probe(nullptr, 0);
    ComputeMonthStart(&r2, &loc, &cfg, &geo2, &probe);
    if (std::isnan(geo2)) return;
    VorDate newMoon = r2;
    LocalJdToDateTime(cfg, loc, newMoon, &timeOfDay, &geo2);
    if (geo2 == geo1 || newMoon.month != r.month) return;
    double unused = NoJulianDay;
    ComputeMonthStart(&r2, &loc, &cfg, &unused, &text);
}

}  // namespace

void FormatMoonCell(const VorConfig &cfg, double time, char (&out)[MoonCellTextSize]) {
    TextWriter cell(out, MoonCellTextSize);
    WriteTimeRow(cfg, 1, RowPlain, &time, cell);
}

void LocalJdToDateTime(const VorConfig &cfg, const VorLocation &loc, VorDate &date,
                       double *timeOfDay, double *jd) {
    if (loc.summerStart != 0) {
        VorDate civil{};
        JulianDayToDate(*jd, civil);
        if (IsSummerTime(loc.summerStart, loc.summerEnd, civil) == 1) *jd += OneHourInDays;
    }
    JulianDayToDate(*jd, date);
    *timeOfDay = (*jd - (std::floor(*jd - 0.5) + 0.5)) * HourToRad * 24.0;

    // Only the whole-day carry of the report's own rounding counts: a time
    // shown as 24:00 is 00:00 of the next day.
    char scratch[ClockTextSize];
    int carry = 0;
    FormatClockTime(29.0, *timeOfDay, cfg.precision, &carry, scratch, 0);
    if (carry != 0) {
        *jd += carry;
        *timeOfDay = 0.0;
        JulianDayToDate(*jd, date);
    }
}

void WriteMoonInformation(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                          TextWriter &text) {
    WriteBanner(text);
    const unsigned span = cfg.scheduleFlags & VOR_SPAN_MASK;

    if (span == VOR_SPAN_DAY) {
        double t[3];  // transit, rise, set
        MoonRiseTransitSet(&date, &loc, &cfg, t);
        ApplySummerTime(loc, date, 3, t);
        if (t[1] > t[2]) {
            WriteReportHeader(date, loc, cfg, HeaderMoonSetTransitRise, text);
            text.Append("\t");
            WriteMoonCells(cfg, t[2], t[0], t[1], text);
        } else {
            WriteReportHeader(date, loc, cfg, HeaderMoonRiseTransitSet, text);
            text.Append("\t");
            WriteMoonCells(cfg, t[1], t[0], t[2], text);
        }
        double jd = 0.0;
        ComputeMonthStart(&date, &loc, &cfg, &jd, &text);
        return;
    }

    VorDate r{};
    r.year = date.year;
    r.month = span == VOR_SPAN_YEAR ? 1 : date.month;
    r.day = 1.0;
    if ((cfg.scheduleFlags & VOR_HIJRI_MONTHS) != 0) {
        r.hijriYear = date.hijriYear;
        r.hijriMonth = span == VOR_SPAN_YEAR ? 1 : date.hijriMonth;
        r.hijriDay = 1.0;
        // Fills the civil date of 1 hijriMonth; when the conversion is not
        // possible the months are counted from the civil date given.
        HijriToGregorian(r, loc, cfg);
    }

    for (int page = 1; page <= MoonReportMonths; ++page) {
        WriteMoonMonth(r, loc, cfg, text);
        if (span == VOR_SPAN_MONTH) return;
        const int next = r.month + 1;
        if (next > 12) {
            r.month = 1;
            ++r.year;
        } else {
            r.month = static_cast<uint8_t>(next);
        }
        text.Append("\n\n\n");
        text.Append(SeparatorLine);
    }
}

}  // namespace vorlin
