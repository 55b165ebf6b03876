#include "calendar/summer_time.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/julian_day.h"

namespace vorlin {

namespace {

// Highest day code: k = 34 is the last Sunday.
constexpr int MaxDayCode = 66;
constexpr int FirstWeekdayCode = 32;

// Day of the month that rule names in year, 0 when the rule names none
// (month outside 1..12, day code 0 or above MaxDayCode).
int RuleDay(int rule, int year, int *month) {
    *month = rule >> 8;
    const int code = rule & 255;
    if (*month < 1 || *month > 12 || code < 1 || code > MaxDayCode) return 0;
    if (code < FirstWeekdayCode) return code;
    return SummerRuleDay(code - FirstWeekdayCode, *month, year);
}

}  // namespace

int SummerRuleDay(int k, int month, int year) {
    if (k < 0 || k > MaxDayCode - FirstWeekdayCode || month < 1 || month > 12) return 0;
    const int occurrence = k % 5;  // 0 first .. 3 fourth, 4 last
    const int weekday = k / 5 + 1;  // as WeekdayOfJulianDay counts: 1 Monday .. 7 Sunday
    int day = 1 + 7 * occurrence;
    int step = 1;
    if (occurrence == 4) {
        day = DaysInMonth(year, month);
        step = -1;
    }
    VorDate date{};
    date.year = year;
    date.month = static_cast<uint8_t>(month);
    // Seven consecutive days hold every weekday once.
    for (int tries = 0; tries < 7; ++tries, day += step) {
        date.day = day;
        if (WeekdayOfJulianDay(DateToJulianDay(date)) == weekday) return day;
    }
    return 0;
}

int IsSummerTime(int startRule, int endRule, const VorDate &date) {
    int m1 = 0, m2 = 0;
    const int c1 = RuleDay(startRule, date.year, &m1);
    const int c2 = RuleDay(endRule, date.year, &m2);
    if (c1 == 0 || c2 == 0 || m1 == m2) return 0;
    const int mo = date.month;
    const double d = std::trunc(date.day);  // whole day; compared as a double, no overflow
    if (mo == m1) return d >= c1 ? 1 : 0;
    if (mo == m2) return d < c2 ? 1 : 0;
    if (m1 < m2) return (mo > m1 && mo < m2) ? 1 : 0;  // summer within one year
    return (mo > m1 || mo < m2) ? 1 : 0;               // summer across the new year
}

int ApplySummerTime(const VorLocation &loc, const VorDate &date, int count, double *times) {
    if (loc.summerStart == 0) return 0;
    if (IsSummerTime(loc.summerStart, loc.summerEnd, date) != 1) return 0;
    if (times != nullptr) {
        for (int i = 0; i < count; ++i) {
            if (!IsTimeMarker(times[i])) times[i] += HourToRad;
        }
    }
    return 1;
}

}  // namespace vorlin
