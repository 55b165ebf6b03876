// Julian Date and the civil calendar (Julian up to 1582-10-04, Gregorian
// from 1582-10-15), after Meeus, Astronomical Algorithms, chapter 7.
//
// A Julian Date (JD) is a double count of days; x.5 is 0 h of a civil day.
// Integer parts truncate toward zero exactly where the classical formulas
// do: the schedule drivers step through days by adding whole numbers to a
// JD and converting back, so those choices are part of the behaviour.
#pragma once

#include "vorlin.h"

namespace vorlin {

// Lengths of the months of a common year, index 1..12 (index 0 unused).
inline constexpr int MonthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// JD of the civil date in year, month, day (the day's fraction is the time).
double DateToJulianDay(const VorDate &date);
// Writes year, month, day (with the fraction of the day), hour, minute and
// second of the JD into date, and nothing else.  A JD that is not a number
// or lies beyond +-7e11 (years outside 32 bits) gives year 0, month 0, day 0.
void JulianDayToDate(double jd, VorDate &date);
// 1 for a leap year (Julian rule before 1583, Gregorian from 1583), else 0.
int IsLeapYear(int year);
// Days of a civil month: MonthLengths plus the leap day of February; 0 for
// a month outside 1..12.
int DaysInMonth(int year, int month);
// 1 when the date exists.  hijri == 0 checks the civil fields, any other
// value the Hijri fields (month 1..12, year >= 1, 1.0 <= day <= 30.0).
int IsValidDate(const VorDate &date, int hijri);

}  // namespace vorlin
