// The pages (months) and days of a month or year schedule, in the order the
// report lists them, with the Hijri date of every day derived as the report
// derives it.  The text report and the machine-readable formats of the
// command-line host walk the same days through this one walker.
#pragma once

#include "moon/month_start.h"
#include "vorlin.h"

namespace vorlin {

// What a walk over the schedule's days reports, in this order: for every
// page BeginPage (the page's first day converted), then Day for every
// valid civil day of it, then, in year spans only, EndPage.
class ScheduleDayVisitor {
public:
    virtual void BeginPage(const VorDate &firstDay) = 0;
    virtual void Day(const VorDate &day) = 0;
    virtual void EndPage() = 0;

protected:
    ~ScheduleDayVisitor() = default;
};

// Walks the month (flags & 0x300 == 0x100) or the twelve months (0x200,
// 0x300) of cfg.scheduleFlags, counted as Hijri months with flag 0x1000.
//   date         the caller's date: year and hijriYear, and for one month
//                month and hijriMonth
//   loc          latitude and longitude in radians; written during the
//                Hijri conversions and put back before each returns
//   monthStarts  the call's month-start cache
// Bounded: at most 12 pages of at most 31 (civil) or 30 (Hijri) days.
// A one-day span (flags & 0x300 == 0) visits nothing.
void VisitScheduleDays(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                       MonthStartCache &monthStarts, ScheduleDayVisitor &visitor);

}  // namespace vorlin
