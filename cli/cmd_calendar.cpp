// `vorlin check` and `vorlin jd`: civil and Hijri date checks, Julian Dates.
#include <cstdio>
#include <string>

#include "output.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "options.h"

namespace vorlin::cli {

int RunCheck(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r = ParseRequest(argc, argv, first, OwnFlagsOf("check"), &own);
    bool hijri = false;
    for (const auto &f : own) {
        if (f.first == "--help") {
            Out(
                "usage: vorlin check [--hijri] Y-M-D\n"
                "Tells whether a civil date (Julian calendar to 1582-10-04, Gregorian from\n"
                "1582-10-15) or, with --hijri, a Hijri date exists.  Exit status 0 when it\n"
                "does, 1 when it does not, 2 for a usage error.\n"
                "examples: vorlin check 1582-10-10    vorlin check --hijri 1445-09-30\n");
            return 0;
        }
        if (f.first == "--hijri") hijri = true;
    }
    if (r.positional.size() != 1) throw UsageError("check takes exactly one date");
    int y = 0, m = 0, d = 0;
    ParseDate(r.positional[0], y, m, d);
    VorDate date{};
    if (hijri) {
        date.hijriYear = y;
        date.hijriMonth = static_cast<uint8_t>(m);
        date.hijriDay = d;
    } else {
        date.year = y;
        date.month = static_cast<uint8_t>(m);
        date.day = d;
    }
    const bool valid = IsValidDate(date, hijri ? 1 : 0) == 1;
    Out("%s is %s %s date\n", r.positional[0].c_str(), valid ? "a valid" : "not a valid",
                hijri ? "Hijri" : "civil");
    return valid ? 0 : 1;
}

int RunJulianDay(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r =
        ParseRequest(argc, argv, first, OwnFlagsOf("jd"), &own);
    for (const auto &f : own) {
        if (f.first == "--help") {
            Out(
                "usage: vorlin jd Y-M-D | vorlin jd --to-date JD\n"
                "Prints the Julian Date of 0 h of a civil date, or the civil date and time of\n"
                "a Julian Date.\n"
                "examples: vorlin jd 2000-01-01    vorlin jd --to-date 2451545.0\n");
            return 0;
        }
        if (f.first == "--to-date") {
            if (!r.positional.empty()) throw UsageError("jd --to-date takes no date");
            const double jd = ParseNumber(f.first, f.second);
            if (jd < 0.0 || jd > 1e9) throw UsageError("--to-date expects a Julian Date from 0 to 1e9");
            VorDate date{};
            JulianDayToDate(jd, date);
            Out("%d-%02d-%02d %02d:%02d:%02d\n", date.year, date.month,
                        static_cast<int>(date.day), date.hour, date.minute, date.second);
            return 0;
        }
    }
    if (r.positional.size() != 1) throw UsageError("jd takes exactly one date");
    int y = 0, m = 0, d = 0;
    ParseDate(r.positional[0], y, m, d);
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    if (IsValidDate(date, 0) != 1) {
        Complain("vorlin: %s is not a valid civil date\n", r.positional[0].c_str());
        return 1;
    }
    Out("%.1f\n", DateToJulianDay(date));
    return 0;
}

}  // namespace vorlin::cli
