// The pieces both reports share: the banner, the page header (location,
// settings, date line, column heads), a row of time cells and the clock
// text of a time of day with its rounding rules.
//
// Every writer appends to a TextWriter; times are radians of day from the
// place's standard-time midnight and may lie outside 0..2 pi (previous or
// next day); the markers TimeNotValid, TimeAlwaysAbove and TimeAlwaysBelow
// print as "NotValid", "AlwAbove" and "AlwBelow".
#pragma once

#include <cstddef>

#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin {

// 80 "=" and a line end, the rule under banners and headers.
inline constexpr char SeparatorLine[] =
    "================================================================================\n";

// Header kinds.
inline constexpr int HeaderPrayerSchedule = 0;
inline constexpr int HeaderMoonRiseTransitSet = 1;  // columns rise, transit, set
inline constexpr int HeaderMoonSetTransitRise = 2;  // columns set, transit, rise
// Row kinds.
inline constexpr int RowPrayer = 0;        // nine-character cells, skipped columns, "\n"
inline constexpr int RowTabSeparated = 1;  // each cell followed by blanks and a tab
inline constexpr int RowPlain = 2;         // cells with no separator

// Room for any clock text of FormatClockTime with its NUL.
inline constexpr std::size_t ClockTextSize = 32;

// Magnitude of a time (hours) beyond which SplitClockTime does not split it
// but reports a day shift of MaxClockDayShift (a "NotValid" cell).
inline constexpr double MaxClockHours = 1.0e6;
inline constexpr int MaxClockDayShift = 1000000;

// Appends the banner: a title line and SeparatorLine.
void WriteBanner(TextWriter &text);

// Appends one page header: location (loc.latitude/longitude in radians,
// the name printed with at most 48 bytes), summer-time rules, for kind 0
// the configuration block, SeparatorLine, the date line for the span of
// cfg.scheduleFlags (weekday from DateToJulianDay/WeekdayOfJulianDay),
// the column heads of kind 0 (prayer schedule), 1 (moon rise, transit,
// set) or 2 (moon set, transit, rise), and SeparatorLine.  Any other kind
// is written as kind 0.  Out-of-range table indexes print "?".
void WriteReportHeader(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                       int kind, TextWriter &text);

// Appends one cell per shown time of times[0..count-1] (radians of day).
//   kind 0 (prayer row): skips index 3 (the centre's transit), and by
//     cfg.fiqh also 5, 6, 8 (fiqh 0), 5 (fiqh 2) or 6 (any other fiqh);
//     rounding limit 59 for indexes 0 and 2 (Imsak and Shuruq are never shown
//     later than computed), 0 for the others (never earlier); every cell is
//     nine characters; the row ends with "\n".
//   kind 1: limit 29 (nearest), each cell followed by "    \t" (seconds) or
//     "      \t" (minutes);  kind 2 (or any other): limit 29, no separator.
// A cell is the clock text with the day mark " ", ">" (next day) or "<"
// (previous day); a marker or a time more than one day off is a word.
void WriteTimeRow(const VorConfig &cfg, int count, int kind, const double *times,
                  TextWriter &text);

// Splits a time of day into whole days and a clock time.
//   given:    roundLimit   sixtieths of a second above which a fraction of a
//                          second counts as a whole second (and, with
//                          minutesOnly, seconds above which the minute is
//                          rounded up): 29 nearest, 59 cut down, 0 up
//             time         radians of day (2 pi = 24 h), any sign
//             minutesOnly  1: round to the minute
//   returned: *days        whole days the time lies after (>0) or before (<0)
//                          the day; MaxClockDayShift for NaN or |time| beyond
//                          MaxClockHours (clock fields then 0)
//             *hours, *minutes, *seconds  0..23, 0..59, 0..59
void SplitClockTime(double roundLimit, double time, int minutesOnly, int *days, int *hours,
                    int *minutes, int *seconds);

// Writes the clock text of time (radians of day) into out[size] (not
// appended): "%02i:%02i:%02i", or "%02i:%02i" with minutesOnly 1, and the
// whole days it was moved by into *dayShift (see SplitClockTime).  With
// addDays 1 the days are put back into the hours (which may then pass 23 or
// turn negative).  The text is cut to size - 1 bytes (size > 0).
void FormatClockTime(double roundLimit, double time, int minutesOnly, int *dayShift, char *out,
                     std::size_t size, int addDays);

template <std::size_t N>
void FormatClockTime(double roundLimit, double time, int minutesOnly, int *dayShift,
                     char (&out)[N], int addDays) {
    FormatClockTime(roundLimit, time, minutesOnly, dayShift, out, N, addDays);
}

}  // namespace vorlin
