// The prayer schedule report: the banner, a page header per month and one
// row of prayer times per day, for one day, one month or a year of twelve
// months counted in Gregorian or in Hijri months.
#pragma once

#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin {

// Most rows of one page: a Gregorian month has at most 31 days and a Hijri
// month is given at most 30; the report has at most 12 pages.
inline constexpr int MaxScheduleDaysPerMonth = 31;
inline constexpr int MaxHijriScheduleDays = 30;
inline constexpr int ScheduleMonthsPerYear = 12;

// Width of the row prefix "Date IslDate Day " (day, Hijri day, short weekday).
inline constexpr int ScheduleRowPrefixWidth = 17;

// Appends the prayer schedule of cfg.scheduleFlags to text.
//   given:  date  (flags & 0x300) == 0: the day shown (its Hijri fields are
//                 printed in the header when hijriValid is 1);
//                 0x100: the month of the date (its civil month, or with
//                 flag 0x1000 its Hijri month hijriMonth/hijriYear);
//                 0x200 or 0x300: months 1..12 of the date's year (civil),
//                 or Muharram..Thu Al-Hijja of hijriYear (flag 0x1000)
//           loc   latitude and longitude in radians, height, timeZone,
//                 summer-time rules; written during the Hijri conversions
//                 (latitude moved toward the equator where no month start
//                 can be computed) and put back before return
//           cfg   all calculation settings, precision, fiqh, scheduleFlags
//   text:   one day: banner, header and a row without prefix.  Months:
//           banner, then per month a header and one row per valid civil
//           day, each row "%-2i   %-2i      %3s " (day, Hijri day, short
//           weekday; the Hijri day left blank when its conversion failed)
//           followed by the nine-character cells of WriteTimeRow; in year
//           mode every month is closed by three line ends and SeparatorLine.
// Summer time (loc.summerStart/summerEnd) moves every valid time one hour
// later on the days it is in force; markers are printed as words.
// The caller's date is not changed.
void WritePrayerSchedule(const VorDate &date, VorLocation &loc, const VorConfig &cfg,
                         TextWriter &text);

}  // namespace vorlin
