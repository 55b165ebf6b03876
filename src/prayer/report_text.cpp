#include "prayer/report_text.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/angle_text.h"
#include "calendar/julian_day.h"
#include "prayer/report_names.h"

namespace vorlin {

namespace {

// Longest place name printed: the size of VorLocation.name, so a name
// without a NUL cannot run past the record.
constexpr std::size_t MaxNameBytes = sizeof(VorLocation{}.name);

// Room for the date-line pieces: two names and two numbers at most.
constexpr std::size_t DateTextSize = 96;

// Whole part of a host-supplied value, clamped to the int range (NaN gives 0),
// so a garbage field prints as a number instead of converting out of range.
int TruncateToInt(double x) {
    if (!(x == x)) return 0;
    if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(x);
}

// Weekday of the civil date, 1 = Monday .. 7 = Sunday; 0 when its Julian
// Date is not a finite number the weekday rule can take.
int WeekdayOfDate(const VorDate &date) {
    const double jd = DateToJulianDay(date);
    if (!(std::fabs(jd) < 1.0e15)) return 0;
    return WeekdayOfJulianDay(jd);
}

// Writes the text of a summer-time rule: "%d, %s" for a day of the month,
// "%s %s, %s" (ordinal, weekday, month) for a weekday rule.
void WriteSummerRule(int rule, TextWriter &text) {
    const int code = rule & 255;
    const int month = rule >> 8;
    if (code < 32) {
        text.Format("%d, %s", code, MonthName(month));
    } else {
        const int g = code - 32;
        text.Format("%s %s, %s", OrdinalName(g % 5), WeekdayName(g / 5), MonthName(month));
    }
}

void WriteConfiguration(const VorConfig &cfg, TextWriter &text) {
    text.Format(" Configuration:\tFiqh = %s, Distance = %d km, Precision = %s,\n",
                FiqhName(cfg.fiqh), cfg.distanceKm, PrecisionName(cfg.precision));
    int imsakDeg = 0, imsakMin = 0, ishaDeg = 0, ishaMin = 0, fajrDeg = 0, fajrMin = 0, sec = 0;
    SplitDegrees(cfg.imsakAngle, &imsakDeg, &imsakMin, &sec, 1);
    SplitDegrees(cfg.ishaAngle, &ishaDeg, &ishaMin, &sec, 1);
    SplitDegrees(cfg.fajrAngle, &fajrDeg, &fajrMin, &sec, 1);
    if (cfg.fiqh == 0) {
        text.Format("\t\tImsak angle = %02d" "\xB0" " %02d', Fajr angle = %02d" "\xB0"
                    " %02d',\n\t\tAdded minutes to Maghrib time = %d,\n"
                    "\t\tAdjust Islamic calendar by %1d days,\n",
                    imsakDeg, imsakMin, fajrDeg, fajrMin, cfg.maghribMinutes,
                    cfg.hijriAdjustDays);
    } else {
        text.Format("\t\tImsak angle = %02d" "\xB0" " %02d', Fajr angle = %02d" "\xB0"
                    " %02d', \n\t\tIsha angle = %02d" "\xB0"
                    " %02d', Added minutes to Maghrib time = %d,\n"
                    "\t\tAdjust Islamic calendar by %1d days,\n",
                    imsakDeg, imsakMin, fajrDeg, fajrMin, ishaDeg, ishaMin, cfg.maghribMinutes,
                    cfg.hijriAdjustDays);
    }
    if (cfg.highLatitudeRule == 9 && cfg.fiqh != 0) {
        text.Format("\t\tRule at high latitudes = %d %s\n", cfg.fajrIshaMinutes,
                    HighLatitudeRuleName(9));
    } else if (cfg.highLatitudeRule == 9) {
        text.Format("\t\tRule at high latitudes = %d minutes for Fajr prayer\n",
                    cfg.fajrIshaMinutes);
    } else {
        text.Format("\t\tRule at high latitudes = %s\n", HighLatitudeRuleName(cfg.highLatitudeRule));
    }
}

// The month after month (1..12), wrapping 12 to 1; 0 (printed "?") after a
// month outside 1..12.
int NextMonth(int month) {
    if (month < 1 || month > 12) return 0;
    return month == 12 ? 1 : month + 1;
}

void WriteDateLine(const VorDate &date, const VorConfig &cfg, int kind, const char *title,
                   TextWriter &text, const char **prefix) {
    char first[DateTextSize] = "";
    char second[DateTextSize] = "";
    *prefix = "";
    const unsigned mode = cfg.scheduleFlags & VOR_SPAN_MASK;
    if (mode == VOR_SPAN_DAY) {
        std::snprintf(first, sizeof first, "%s,   %d/%s/%d", WeekdayName(WeekdayOfDate(date) - 1),
                      TruncateToInt(date.day), MonthName(date.month), date.year);
        if (kind == HeaderPrayerSchedule && date.hijriValid == 1) {
            std::snprintf(second, sizeof second, "%d/%s/%d", TruncateToInt(date.hijriDay),
                          HijriMonthName(date.hijriMonth), date.hijriYear);
        }
        text.Format("%s for %s,  %s\n", title, first, second);
        return;
    }
    if (kind != HeaderPrayerSchedule) {
        std::snprintf(first, sizeof first, "%s/%d", MonthName(date.month), date.year);
        *prefix = "Date Day ";
    } else {
        *prefix = "Date IslDate Day ";
        if ((cfg.scheduleFlags & VOR_HIJRI_MONTHS) != 0) {
            std::snprintf(first, sizeof first, "%s-%s/%d", MonthName(date.month),
                          MonthName(NextMonth(date.month)), date.year);
            if (date.hijriValid == 1) {
                std::snprintf(second, sizeof second, "%s/%d", HijriMonthName(date.hijriMonth),
                              date.hijriYear);
            }
        } else {
            std::snprintf(first, sizeof first, "%s/%d", MonthName(date.month), date.year);
            if (date.hijriValid == 1) {
                std::snprintf(second, sizeof second, "%s-%s/%d", HijriMonthName(date.hijriMonth),
                              HijriMonthName(NextMonth(date.hijriMonth)), date.hijriYear);
            }
        }
    }
    text.Format("\t\t%s for %s, %s\n", title, first, second);
}

// Carries minutes past 59 into the hours and hours past 23 into the days.
void CarryMinutes(int *days, int *hours, int *minutes) {
    if (*minutes > 59) {
        *minutes = 0;
        ++*hours;
        if (*hours >= 24) {
            *days += *hours / 24;
            *hours = 0;
        }
    }
}

}  // namespace

void WriteBanner(TextWriter &text) {
    text.Append("\n\t\tVorlin Times\t  Version 2.8, February, 2002\n");
    text.Append(SeparatorLine);
}

void WriteReportHeader(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                       int kind, TextWriter &text) {
    if (kind != HeaderMoonRiseTransitSet && kind != HeaderMoonSetTransitRise) {
        kind = HeaderPrayerSchedule;
    }
    const char *title = kind == HeaderPrayerSchedule ? "Prayer schedule" : "Moon Information";

    char latitude[AngleTextSize];
    char longitude[AngleTextSize];
    FormatLatitudeLongitude(loc.latitude, 0, latitude);
    FormatLatitudeLongitude(loc.longitude, 1, longitude);
    const void *nul = std::memchr(loc.name, '\0', MaxNameBytes);
    const int nameLength = static_cast<int>(
        nul != nullptr ? static_cast<const char *>(nul) - loc.name : MaxNameBytes);
    text.Format(" Location:   \t%.*s,\n\t\tLatitude %s, Longitude %s,\n", nameLength, loc.name,
                latitude, longitude);
    text.Format("\t\tHeight: %d meters ASL, Time Zone: %2.2f,\n", loc.height,
                static_cast<double>(loc.timeZone));

    if (loc.summerStart == 0) {
        text.Append("\t\tNo Summer Time available\n");
    } else {
        text.Append("\t\tSummer Time starts at: ");
        WriteSummerRule(loc.summerStart, text);
        text.Append("\n\t\tSummer Time ends at: ");
        WriteSummerRule(loc.summerEnd, text);
        text.Append("\n");
    }

    if (kind == HeaderPrayerSchedule) WriteConfiguration(cfg, text);
    text.Append(SeparatorLine);

    const char *prefix = "";
    WriteDateLine(date, cfg, kind, title, text, &prefix);

    if (kind == HeaderPrayerSchedule && cfg.fiqh == 0) {
        text.Format("%sImsak    Fajr     Shuruq   Duhr     Maghrib\n", prefix);
    } else if (kind == HeaderPrayerSchedule) {
        text.Format("%sImsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a\n", prefix);
    } else if (kind == HeaderMoonRiseTransitSet) {
        text.Format("\t%sMoonRise   \tMoonTransit\tMoonSet    \n", prefix);
    } else {
        text.Format("\t%sMoonSet    \tMoonTransit\tMoonRise   \n", prefix);
    }
    text.Append(SeparatorLine);
}

void WriteTimeRow(const VorConfig &cfg, int count, int kind, const double *times,
                  TextWriter &text) {
    // Any precision other than 0 is shown to the minute.
    const int minutesOnly = cfg.precision != 0 ? 1 : 0;
    const char *separator = "";
    if (kind == RowTabSeparated) separator = minutesOnly ? "      \t" : "    \t";
    if (times == nullptr) count = 0;

    for (int i = 0; i < count; ++i) {
        double roundLimit = 29.0;
        if (kind == RowPrayer) {
            if (i == 3) continue;  // the centre's transit: Duhr is shown instead
            if (cfg.fiqh == 0 && (i == 5 || i == 6 || i == 8)) continue;
            if (cfg.fiqh == 2 && i == 5) continue;
            // Shafi'i, Maliki, Hanbali and any unknown school: shadow factor 1.
            if (cfg.fiqh != 0 && cfg.fiqh != 2 && i == 6) continue;
            roundLimit = (i == 0 || i == 2) ? 59.0 : 0.0;
        }
        const double t = times[i];
        if (t == TimeNotValid) {
            text.Format("NotValid %s", separator);
            continue;
        }
        if (t == TimeAlwaysAbove) {
            text.Format("AlwAbove %s", separator);
            continue;
        }
        if (t == TimeAlwaysBelow) {
            text.Format("AlwBelow %s", separator);
            continue;
        }
        char clock[ClockTextSize];
        int dayShift = 0;
        FormatClockTime(roundLimit, t, minutesOnly, &dayShift, clock, 0);
        if (dayShift > 1 || dayShift < -1) {
            text.Format("NotValid %s", separator);
            continue;
        }
        const char mark = dayShift == 0 ? ' ' : (dayShift > 0 ? '>' : '<');
        // The clock, its mark and the cell's end, copied as they are (the
        // text of "%s%c%s"; 366 days of nine cells make this the report's
        // hottest formatting).
        char cell[ClockTextSize + 16];
        std::size_t n = 0;
        for (const char *c = clock; *c != '\0' && n < ClockTextSize; ++c) cell[n++] = *c;
        cell[n++] = mark;
        const char *end = kind != RowPrayer ? separator : (minutesOnly == 0 ? "" : "   ");
        for (const char *c = end; *c != '\0' && n + 1 < sizeof cell; ++c) cell[n++] = *c;
        cell[n] = '\0';
        text.Append(cell);
    }
    if (kind == RowPrayer) text.Append("\n");
}

void SplitClockTime(double roundLimit, double time, int minutesOnly, int *days, int *hours,
                    int *minutes, int *seconds) {
    *days = 0;
    *hours = 0;
    *minutes = 0;
    *seconds = 0;
    double x = time * RadToHour;
    // Integer conversions of huge values are undefined: such a time (and NaN)
    // is reported as lying far outside the day.
    if (!(std::fabs(x) <= MaxClockHours)) {
        *days = x < 0.0 ? -MaxClockDayShift : MaxClockDayShift;
        return;
    }
    int d = 0;
    if (x >= 24.0) {
        d = static_cast<int>(x) / 24;
        x = std::fmod(x, 24.0);
    } else if (x < 0.0) {
        d = -1;
        if (x < -24.0) d = static_cast<int>(x) / 24 - 1;
        x += -d * 24.0;
        // A whole number of days below zero, or a time a hair before
        // midnight, lands on 24 h exactly: that is 0 h of the next day.
        if (x >= 24.0) {
            x -= 24.0;
            ++d;
        }
    }
    int h = static_cast<int>(x);
    const double f = FmodIfNonZero(x, h);
    double whole = 0.0;
    const double m = 60.0 * f;
    int mi = static_cast<int>(m);
    const double s0 = std::modf(m, &whole) * 60.0;
    int s = static_cast<int>(s0);
    if (60.0 * std::modf(s0, &whole) > roundLimit) ++s;

    if (s > 59) {
        s = 0;
        ++mi;
        CarryMinutes(&d, &h, &mi);
    }
    if (minutesOnly != 0 && s > roundLimit) {
        ++mi;
        CarryMinutes(&d, &h, &mi);
    }
    *days = d;
    *hours = h;
    *minutes = mi;
    *seconds = s;
}

void FormatClockTime(double roundLimit, double time, int minutesOnly, int *dayShift, char *out,
                     std::size_t size, int addDays) {
    int days = 0, hours = 0, minutes = 0, seconds = 0;
    SplitClockTime(roundLimit, time, minutesOnly, &days, &hours, &minutes, &seconds);
    if (addDays == 1) hours += 24 * days;
    if (dayShift != nullptr) *dayShift = days;
    if (out == nullptr || size == 0) return;
    const bool twoDigits = hours >= 0 && hours <= 99 && minutes >= 0 && minutes <= 99 &&
                           seconds >= 0 && seconds <= 99;
    if (twoDigits && size >= 9) {
        // The usual case, written digit by digit: the text of "%02i:%02i:%02i"
        // (or "%02i:%02i") for values of 0 to 99.
        const int fields[3] = {hours, minutes, seconds};
        const int count = minutesOnly == 0 ? 3 : 2;
        std::size_t n = 0;
        for (int f = 0; f < count; ++f) {
            if (f > 0) out[n++] = ':';
            out[n++] = static_cast<char>('0' + fields[f] / 10);
            out[n++] = static_cast<char>('0' + fields[f] % 10);
        }
        out[n] = '\0';
        return;
    }
    if (minutesOnly == 0) {
        std::snprintf(out, size, "%02i:%02i:%02i", hours, minutes, seconds);
    } else {
        std::snprintf(out, size, "%02i:%02i", hours, minutes);
    }
}

}  // namespace vorlin
