// `vorlin hijri`: a civil date to its Hijri date at the place, and back,
// in the request's Hijri calendar (the library's observational one by default).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "output.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "moon/month_start.h"
#include "json_out.h"
#include "options.h"
#include "terminal.h"
#include "prayer/report_names.h"

namespace vorlin::cli {
namespace {

// "1 Ramadan 1445 AH" (the day may be 31 or 32 in a long month).
std::string HijriText(const VorDate &date) {
    char text[64];
    std::snprintf(text, sizeof text, "%d %s %d AH", static_cast<int>(date.hijriDay),
                  HijriMonthName(date.hijriMonth), date.hijriYear);
    return text;
}

std::string CivilText(const VorDate &date) {
    char text[32];
    std::snprintf(text, sizeof text, "%d-%02d-%02d", date.year, date.month,
                  static_cast<int>(date.day));
    return text;
}

// The first civil JD (0 h) the conversion takes: before it, the date or the
// date moved by hijriAdjustDays lies before day number 1948440.
double FirstJdOfEra(const VorConfig &config) {
    const double adjust = config.hijriAdjustDays;
    return std::max(HijriEpochDayNumber + adjust, HijriEpochDayNumber - adjust);
}

// The conversion's own test for a civil JD that it refuses as before the era.
bool BeforeEra(double jd, const VorConfig &config) { return jd < FirstJdOfEra(config); }

// The last civil day the calendars convert (all but the tabular one, which
// goes on), 9999-12-31.
constexpr const char *PastTheCalendar = "the calendar ends with 9999-12-31";
VorDate CivilOfJd(double jd) {
    VorDate date{};
    JulianDayToDate(jd, date);
    return date;
}

// Does the request's calendar end with the year 9999 (it converts the last
// day but not the next)?  *last gets that day with its Hijri date.
bool EndsWithTheYear9999(const Request &r, VorDate *last) {
    *last = CivilOfJd(FirstJdBeyondCalendar - 1.0);
    VorDate after = CivilOfJd(FirstJdBeyondCalendar);
    return ToHijri(r, *last) == 1 && ToHijri(r, after) == 0;
}

// Hijri year, month and whole day as one comparable number.
long long HijriOrder(const VorDate &date) {
    return (12LL * date.hijriYear + date.hijriMonth) * 64 + static_cast<long long>(date.hijriDay);
}

// Why the Hijri date (whole day) has no civil date at the place: it lies
// before the first date of the era there, its month there has fewer days,
// or no month start can be computed.
std::string WhyNoCivilDate(const VorDate &date, Request &r) {
    // The first civil day the conversion takes, and its Hijri date.
    VorDate eraStart{};
    JulianDayToDate(std::ceil(FirstJdOfEra(r.config) - 0.5) + 0.5, eraStart);
    if (ToHijri(r, eraStart) == 1 &&
        HijriOrder(date) < HijriOrder(eraStart)) {
        return "it lies before the Hijri era";
    }
    // The month's first day exists: the day lies past the month's end.  The
    // civil day it would fall on belongs to the next month, whose day there
    // tells the length.
    VorDate first{};
    first.hijriYear = date.hijriYear;
    first.hijriMonth = date.hijriMonth;
    first.hijriDay = 1.0;
    if (date.hijriDay > 1.0 && ToCivil(r, first) == 1) {
        VorDate beyond{};
        JulianDayToDate(DateToJulianDay(first) + date.hijriDay - 1.0, beyond);
        const bool converted = ToHijri(r, beyond) == 1;
        const int length = static_cast<int>(date.hijriDay - beyond.hijriDay);
        if (converted && HijriOrder(beyond) > HijriOrder(date) && length >= 1) {
            char text[96];
            std::snprintf(text, sizeof text, "%s %d has %d days there",
                          HijriMonthName(date.hijriMonth), date.hijriYear, length);
            return text;
        }
    }
    VorDate last{};
    if (EndsWithTheYear9999(r, &last) && HijriOrder(date) > HijriOrder(last)) return PastTheCalendar;
    return "no month start could be computed";
}

// {"civil": "Y-M-D" or null, "hijri": {...} or null, "place", "reason"}.
Json ConversionJson(const Request &r, const VorDate *civil, const VorDate *hijri, const std::string &reason) {
    Json doc;
    doc["civil"] = civil != nullptr ? Json(CivilText(*civil)) : Json(nullptr);
    if (hijri != nullptr) {
        Json h;
        h["year"] = hijri->hijriYear;
        h["month"] = hijri->hijriMonth;
        h["day"] = static_cast<int>(hijri->hijriDay);
        h["monthName"] = HijriMonthName(hijri->hijriMonth);
        doc["hijri"] = h;
    } else {
        doc["hijri"] = nullptr;
    }
    doc["place"] = PlaceJson(r);
    doc["calendar"] = CalendarText(r);
    if (!reason.empty()) doc["reason"] = reason;
    return doc;
}

}  // namespace

int RunHijri(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("hijri"), &own);
    const bool json = WantsJson(own);
    const std::string *toCivil = nullptr;
    for (const auto &f : own) {
        if (f.first == "--help") {
            Out(
                "usage: vorlin hijri [Y-M-D] [flags]        civil date to Hijri date\n"
                "       vorlin hijri --to-civil Y-M-D [flags]  Hijri date (AH) to civil date\n"
                "Converts by the observational Hijri calendar of the place: a month begins on\n"
                "the day after the evening on which the new crescent passes the --crescent\n"
                "test there (--calendar, --criterion, --level and --region choose another\n"
                "calendar).  The civil date defaults to --date or today.  Exit status 0 when\n"
                "converted, 1 when not possible (a date before the Hijri era, or a day 30 of\n"
                "a month that has 29 days at the place), 2 for a usage error or an invalid\n"
                "date.\n"
                "--format json gives {\"civil\", \"hijri\": {\"year\", \"month\", \"day\",\n"
                "\"monthName\"}, \"place\", \"calendar\"} (null with \"reason\" when there is none).\n"
                "examples: vorlin hijri 2024-03-11\n"
                "          vorlin hijri --to-civil 1445-09-01\n"
                "          vorlin hijri 2024-03-10 --calendar umm-al-qura\n"
                "          vorlin hijri 2024-03-10 --city London --calendar regional --criterion yallop\n"
                "          vorlin hijri 2024-06-21 --name Tromso --lat 69.65 --lon 18.96 --tz 1\n"
                "%s",
                PlaceAndSettingsHelp);
            return 0;
        }
        if (f.first == "--to-civil") toCivil = &f.second;
    }
    if (r.positional.size() > 1) throw UsageError("hijri takes at most one date");
    RequireClock(r);
    char point[64];
    std::snprintf(point, sizeof point, "%.4f %c %.4f %c", std::fabs(r.location.latitude),
                  r.location.latitude < 0 ? 'S' : 'N', std::fabs(r.location.longitude),
                  r.location.longitude < 0 ? 'W' : 'E');
    const std::string placeText = ForTerminal(r.location.name[0] != '\0' ? r.location.name : point, r);
    const char *place = placeText.c_str();

    if (toCivil != nullptr) {
        if (!r.positional.empty()) throw UsageError("hijri --to-civil takes no civil date");
        int y = 0, m = 0, d = 0;
        ParseDate(*toCivil, y, m, d);
        VorDate date{};
        date.hijriYear = y;
        date.hijriMonth = static_cast<uint8_t>(m);
        date.hijriDay = d;
        if (IsValidDate(date, 1) != 1) throw UsageError("--to-civil: " + *toCivil + " is not a valid Hijri date");
        if (ToCivil(r, date) != 1) {
            const std::string why = WhyNoCivilDate(date, r);
            if (json) {
                PrintJson(ConversionJson(r, nullptr, &date, why));
                return 1;
            }
            Out("%s has no civil date at %s (%s)\n", HijriText(date).c_str(), place, why.c_str());
            return 1;
        }
        if (json) {
            PrintJson(ConversionJson(r, &date, &date, ""));
            return 0;
        }
        Out("%s is %s at %s\n", HijriText(date).c_str(), CivilText(date).c_str(), place);
        return 0;
    }

    VorDate date = r.date;
    if (!r.positional.empty()) {
        int y = 0, m = 0, d = 0;
        ParseDate(r.positional[0], y, m, d);
        date = VorDate{};
        date.year = y;
        date.month = static_cast<uint8_t>(m);
        date.day = d;
    }
    if (IsValidDate(date, 0) != 1)
        throw UsageError((r.positional.empty() ? "--date: " : "") + CivilText(date) + " is not a valid civil date");
    if (ToHijri(r, date) != 1) {
        const double jd = DateToJulianDay(date);
        VorDate last{};
        const std::string why = BeforeEra(jd, r.config) ? "it lies before the Hijri era"
                                : jd >= FirstJdBeyondCalendar && EndsWithTheYear9999(r, &last)
                                    ? PastTheCalendar
                                    : "no month start could be computed";
        if (json) {
            PrintJson(ConversionJson(r, &date, nullptr, why));
            return 1;
        }
        Out("%s has no Hijri date at %s (%s)\n", CivilText(date).c_str(), place, why.c_str());
        return 1;
    }
    if (json) {
        PrintJson(ConversionJson(r, &date, &date, ""));
        return 0;
    }
    Out("%s is %s at %s\n", CivilText(date).c_str(), HijriText(date).c_str(), place);
    return 0;
}

}  // namespace vorlin::cli
