#include "calendar/julian_day.h"

#include <cmath>
#include <cstdint>

namespace vorlin {

double DateToJulianDay(const VorDate &date) {
    // 64-bit: the year before January of year -2147483648 still exists.
    std::int64_t y = date.year;
    int m = date.month;
    const double d = date.day;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const std::int64_t a = y / 100;  // truncating, also for negative years
    const bool gregorian = date.year > 1582 ||
                           (date.year == 1582 && (date.month > 10 || (date.month == 10 && d > 4.0)));
    const std::int64_t b = gregorian ? 2 - a + a / 4 : 0;
    return std::trunc(30.6001 * (m + 1)) + std::trunc(365.25 * (static_cast<double>(y) + 4716.0)) +
           d + static_cast<double>(b) - 1524.5;
}

// Largest |jd| whose year fits the 32-bit year field (about 1.9e9 years).
constexpr double kLargestConvertibleJulianDay = 7.0e11;

void JulianDayToDate(double jd, VorDate &date) {
    // A day number that is not a number or lies beyond the 32-bit years has
    // no civil date: the integer casts below would be undefined.  It gives
    // the empty date (year 0, month 0, day 0: not a valid date).
    if (!(std::fabs(jd) <= kLargestConvertibleJulianDay)) {
        date.year = 0;
        date.month = 0;
        date.day = 0.0;
        date.hour = date.minute = date.second = 0;
        return;
    }
    const double j = jd + 0.5;
    const double z = std::floor(j);
    const double f = j - z;
    double a = z;
    // Divisions, not products with rounded reciprocals: on the first of
    // March of a century year not divisible by 400 the quotient below is a
    // whole number, and a product a unit in the last place short of it
    // turned 1 March 6700 into the 29 February that year does not have.
    if (z >= 2299161.0) {
        const double alpha = std::trunc((z - 1867216.25) / 36524.25);
        a = z + 1.0 + alpha - std::trunc(alpha / 4.0);
    }
    const double b = a + 1524.0;
    const double c = std::trunc((b - 122.1) / 365.25);
    const double d = std::trunc(365.25 * c);
    const double e = std::trunc((b - d) / 30.6001);
    date.day = b - d - std::floor(30.6001 * e) + f;
    const int month = static_cast<int>(e < 14.0 ? e - 1.0 : e - 13.0);
    date.month = static_cast<uint8_t>(month);
    date.year = static_cast<int32_t>(month > 2 ? c - 4716.0 : c - 4715.0);
    const double h = f * 24.0;
    date.hour = static_cast<uint8_t>(std::trunc(h));
    const double mi = (h - std::floor(h)) * 60.0;
    date.minute = static_cast<uint8_t>(std::trunc(mi));
    date.second = static_cast<uint8_t>(std::trunc((mi - std::floor(mi)) * 60.0));
}

int IsLeapYear(int year) {
    if (year % 4 != 0) return 0;
    if (year < 1583) return 1;
    return (year % 100 == 0 && year % 400 != 0) ? 0 : 1;
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    return MonthLengths[month] + (month == 2 && IsLeapYear(year) == 1 ? 1 : 0);
}

int IsValidDate(const VorDate &date, int hijri) {
    if (hijri != 0) {
        return (date.hijriMonth >= 1 && date.hijriMonth <= 12 && date.hijriYear >= 1 &&
                date.hijriDay >= 1.0 && date.hijriDay <= 30.0)
                   ? 1
                   : 0;
    }
    if (date.month < 1 || date.month > 12) return 0;
    const double day = date.day;
    if (day >= 1.0 && std::trunc(day) <= MonthLengths[date.month]) {
        if (date.year == 1582 && date.month == 10 && day >= 5.0 && day <= 14.0) return 0;
        return 1;
    }
    return (day == 29.0 && date.month == 2 && IsLeapYear(date.year) == 1) ? 1 : 0;
}

}  // namespace vorlin
