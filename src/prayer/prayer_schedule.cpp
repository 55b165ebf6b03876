#include "prayer/prayer_schedule.h"

#include "astro/angles.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "moon/month_start.h"
#include "prayer/prayer_times.h"
#include "prayer/report_names.h"
#include "prayer/report_text.h"
#include "prayer/schedule_days.h"
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

}  // namespace

void WritePrayerSchedule(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                         TextWriter &text) {
    WriteBanner(text);
    const unsigned span = cfg.scheduleFlags & VOR_SPAN_MASK;

    if (span == VOR_SPAN_DAY) {
        PrayerTimes times;
        ComputeDayPrayerTimes(date, loc, cfg, times);
        ApplySummerTime(loc, date, PrayerTimes::Count, times.time);
        WriteReportHeader(date, loc, cfg, HeaderPrayerSchedule, text);
        WriteTimeRow(cfg, PrayerTimes::Count, RowPrayer, times.time, text);
        return;
    }

    // The conversions of every page and of every month's end ask for the
    // same few month starts: each is computed once.
    MonthStartCache monthStarts;
    // A day's Sun events serve again as the night before or after the next
    // day, or as a nearest day of the high-latitude rules.
    SunEventCache sunEvents;

    // A page header per month, a row per day, the trailer after each page of
    // a year.
    class PageWriter final : public ScheduleDayVisitor {
    public:
        PageWriter(VorLocation &loc, const VorConfig &cfg, SunEventCache &sunEvents,
                   TextWriter &text)
            : loc_(loc), cfg_(cfg), sunEvents_(sunEvents), text_(text) {}
        void BeginPage(const VorDate &firstDay) override {
            WriteReportHeader(firstDay, loc_, cfg_, HeaderPrayerSchedule, text_);
        }
        void Day(const VorDate &day) override { WriteDayRow(day, loc_, cfg_, true, sunEvents_, text_); }
        void EndPage() override {
            text_.Append("\n\n\n");
            text_.Append(SeparatorLine);
        }

    private:
        VorLocation &loc_;
        const VorConfig &cfg_;
        SunEventCache &sunEvents_;
        TextWriter &text_;
    } writer(loc, cfg, sunEvents, text);
    VisitScheduleDays(date, loc, cfg, monthStarts, writer);
}

}  // namespace vorlin
