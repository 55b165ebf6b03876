// The moon information report: the Moon's rise, transit and set for each
// day of a day, a month or twelve months, and for each month the report of
// the next new moon and the possible start of the Hijri month; and the
// conversion of a local Julian Date into the calendar date and clock time
// the report shows.
#pragma once

#include <cstddef>

#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin {

// Months of a year report.
inline constexpr int MoonReportMonths = 12;

// Room for one cell of WriteTimeRow kinds 1 and 2 with its NUL.
inline constexpr std::size_t MoonCellTextSize = 32;

// Calendar date and clock time of a local Julian Date as the report shows it.
//   given:    cfg.precision   0 seconds, otherwise minutes (the rounding of
//                             the clock time)
//             loc.summerStart, loc.summerEnd   summer-time rules
//   in/out:   *jd         local JD (UT JD + timeZone/24, standard time); one
//                         hour (1/24 day) later when summer time is in force
//                         on its calendar date, and one day later when its
//                         clock time rounds up to 24:00
//   returned: date        year, month, day (with its fraction), hour, minute,
//                         second of *jd (the Hijri fields are not written)
//             *timeOfDay  radians of day from midnight of that date, 0.0
//                         after a rounding up to 24:00
void LocalJdToDateTime(const VorConfig &cfg, const VorLocation &loc, VorDate &date,
                       double *timeOfDay, double *jd);

// Appends the moon information report of cfg.scheduleFlags to text.
//   given:  date  (flags & 0x300) == 0: the day; 0x100: its civil month;
//                 0x200: January to December of its year; 0x300: twelve
//                 months from its month.  With flag 0x1000 the first month
//                 is the civil month holding 1 of hijriMonth/hijriYear
//                 (Muharram for 0x200).
//           loc   latitude and longitude in radians, height, timeZone,
//                 summer-time rules; written during Hijri conversions and
//                 put back before return
//           cfg   precision, refraction, toleranceSeconds, crescentThreshold
//   text:   the banner; one day: the header (columns set, transit, rise when
//           the Moon rises after it sets, else rise, transit, set), the
//           three cells and the month-start report of the first new moon at
//           or after the day.  Months: per month a header, one row per valid
//           day "\t%-2i   %3s " with rise, transit and set, the month-start
//           report of the first new moon at or after the 1st, and a second
//           one when a second new moon falls in the same month; months of a
//           year report end with three line ends and SeparatorLine.
void WriteMoonInformation(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                          TextWriter &text);

// Writes the kind 2 cell (clock time and day mark, or a marker word) of a
// time (radians of day) into out.
void FormatMoonCell(const VorConfig &cfg, double time, char (&out)[MoonCellTextSize]);

}  // namespace vorlin
