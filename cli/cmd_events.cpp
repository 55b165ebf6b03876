// `vorlin events`: the year's occasions (the start of Ramadan, the two Eids,
// the Day of Arafah, the Islamic New Year, Ashura) with their civil dates
// at the place, by the observational calendar of the conversions.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "output.h"
#include "astro/angles.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "export_formats.h"
#include "json_out.h"
#include "options.h"
#include "prayer/report_names.h"
#include "terminal.h"

namespace vorlin::cli {

namespace {

struct Occasion {
    const char *key;
    const char *title;
    int month, day;  // Hijri
};

// In the order of the Hijri year.
constexpr Occasion Occasions[] = {
    {"new-year", "Islamic New Year", 1, 1},   {"ashura", "Ashura", 1, 10},
    {"ramadan", "Start of Ramadan", 9, 1},    {"eid-al-fitr", "Eid al-Fitr", 10, 1},
    {"arafah", "Day of Arafah", 12, 9},       {"eid-al-adha", "Eid al-Adha", 12, 10},
};

struct Dated {
    const Occasion *occasion;
    int hijriYear;
    bool found;
    VorDate civil;
};

Dated DateOf(Request &r, const Occasion &o, int hijriYear, CalendarCache &cache) {
    Dated d{&o, hijriYear, false, VorDate{}};
    d.civil.hijriYear = hijriYear;
    d.civil.hijriMonth = static_cast<uint8_t>(o.month);
    d.civil.hijriDay = o.day;
    d.found = ToCivil(r, d.civil, &cache) == 1;
    return d;
}

int HijriYearOf(Request &r, const VorDate &civil, CalendarCache &cache) {
    VorDate d = civil;
    if (ToHijri(r, d, &cache) != 1)
        throw UsageError("the date lies before the Hijri era: no occasions to list");
    return d.hijriYear;
}

}  // namespace

int RunEvents(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("events"), &own);
    std::string yearText, next;
    bool help = false;
    for (const auto &[flag, value] : own) {
        if (flag == "--help") help = true;
        if (flag == "--year") yearText = value;
        if (flag == "--next") next = Lowered(value);
    }
    if (help) {
        Out(
            "usage: vorlin events [--year YEAR | --next NAME] [--format text|json] [FLAGS]\n"
            "Lists the year's occasions with their civil dates at the place, by the\n"
            "observational calendar the conversions use (vorlin hijri): the Islamic New\n"
            "Year (1 Muharram), Ashura (10 Muharram), the start of Ramadan (1 Ramadan),\n"
            "Eid al-Fitr (1 Shawwal), the Day of Arafah (9 Dhu al-Hijja) and Eid al-Adha\n"
            "(10 Dhu al-Hijja).  A Hijri day begins at the sunset before its civil date:\n"
            "the eve is the evening of the day before.  YEAR is a Hijri year (below\n"
            "1900, e.g. 1446) or a civil year (2025: the occasions that fall in it);\n"
            "default: the Hijri year of the date.  --next NAME (new-year, ashura,\n"
            "ramadan, eid-al-fitr, arafah, eid-al-adha) gives the next one on or after\n"
            "the date.  --calendar MODE (with --criterion, --level, --region) dates\n"
            "them by another Hijri calendar, e.g. umm-al-qura or\n"
            "conjunction-before-noon-utc.\n"
            "%s"
            "examples: vorlin events --city Leicester\n"
            "          vorlin events --year 2025 --city Jakarta --format json\n"
            "          vorlin events --next ramadan --city Cairo\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    const bool json = WantsJson(own);
    RequireClock(r);
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
    if (IsValidDate(r.date, 0) != 1 || r.date.year < 1 || r.date.year > 9999)
        throw UsageError("--date: " + DateText(r.date) + " is not a valid civil date of the years 1..9999");
    if (!yearText.empty() && !next.empty()) throw UsageError("--next: does not go with --year");

    CalendarCache cache;
    std::vector<Dated> list;
    std::string scope;
    int civilYear = 0;
    if (!next.empty()) {
        const Occasion *wanted = nullptr;
        for (const Occasion &o : Occasions)
            if (next == o.key) wanted = &o;
        if (wanted == nullptr)
            throw UsageError("--next: expects one of new-year,ashura,ramadan,eid-al-fitr,arafah,eid-al-adha, not '" +
                             next + "'");
        const double today = DateToJulianDay(r.date);
        const int year = HijriYearOf(r, r.date, cache);
        for (int h = year; h <= year + 1; ++h) {
            const Dated d = DateOf(r, *wanted, h, cache);
            if (d.found && DateToJulianDay(d.civil) >= today) {
                list.push_back(d);
                break;
            }
        }
        scope = std::string("the next ") + wanted->title;
    } else {
        int hijriYear = 0;
        if (yearText.empty()) {
            hijriYear = HijriYearOf(r, r.date, cache);
        } else {
            const int year = ParseInteger("--year", yearText);
            if (year < 1 || year > 9999) throw UsageError("--year: must lie within 1..9999, not '" + yearText + "'");
            if (year < 1900) hijriYear = year;
            else civilYear = year;
        }
        if (civilYear == 0) {
            for (const Occasion &o : Occasions) list.push_back(DateOf(r, o, hijriYear, cache));
            scope = std::to_string(hijriYear) + " AH";
        } else {
            // The Hijri years that touch the civil year (two, at times three).
            VorDate jan1{};
            jan1.year = civilYear;
            jan1.month = 1;
            jan1.day = 1;
            const int h0 = HijriYearOf(r, jan1, cache);
            for (int h = h0; h <= h0 + 2; ++h)
                for (const Occasion &o : Occasions) {
                    const Dated d = DateOf(r, o, h, cache);
                    if (d.found && d.civil.year == civilYear) list.push_back(d);
                }
            scope = std::to_string(civilYear);
        }
    }

    const std::string place = r.location.name[0] != '\0' ? r.location.name : "the point given";
    if (json) {
        Json doc;
        doc["place"] = PlaceJson(r);
        doc["calendar"] = IsLibraryCalendar(r.calendar) ? std::string("observational") : CalendarText(r);
        doc["scope"] = scope;
        doc["note"] = "a Hijri day begins at the sunset before its civil date (the eve)";
        doc["occasions"] = Json::array();
        for (const Dated &d : list) {
            Json o;
            o["name"] = d.occasion->key;
            o["title"] = d.occasion->title;
            o["hijri"] = {{"year", d.hijriYear},
                          {"month", d.occasion->month},
                          {"day", d.occasion->day},
                          {"monthName", HijriMonthName(d.occasion->month)}};
            if (d.found) {
                o["civil"] = DateText(d.civil);
                o["weekday"] = ShortWeekdayName(WeekdayOfJulianDay(DateToJulianDay(d.civil)));
                VorDate eve{};
                JulianDayToDate(DateToJulianDay(d.civil) - 1.0, eve);
                o["eve"] = DateText(eve);
            } else {
                o["civil"] = nullptr;
                o["reason"] = "no month start could be computed at the place";
            }
            doc["occasions"].push_back(o);
        }
        PrintJson(doc);
        return list.empty() ? 1 : 0;
    }
    const std::string calendar = IsLibraryCalendar(r.calendar) ? std::string("observational calendar at the place")
                                                                : CalendarText(r) + " calendar";
    Out("Occasions of %s at %s (%s)\n", scope.c_str(), ForTerminal(place, r).c_str(), calendar.c_str());
    for (const Dated &d : list) {
        char hijri[48];
        std::snprintf(hijri, sizeof hijri, "%d %s %d", d.occasion->day, HijriMonthName(d.occasion->month),
                      d.hijriYear);
        if (d.found)
            Out("  %-18s %-26s %s %s\n", d.occasion->title, hijri, DateText(d.civil).c_str(),
                        ShortWeekdayName(WeekdayOfJulianDay(DateToJulianDay(d.civil))));
        else
            Out("  %-18s %-26s (no month start could be computed here)\n", d.occasion->title, hijri);
    }
    if (list.empty()) Out("  none\n");
    Out("A Hijri day begins at the sunset before its civil date.\n");
    return list.empty() ? 1 : 0;
}

}  // namespace vorlin::cli
