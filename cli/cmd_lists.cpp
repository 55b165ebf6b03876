// `vorlin methods` and `vorlin cities`: the library's named methods and the
// embedded places, as --method and --city take them.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "cities.h"
#include "commands.h"
#include "describe.h"
#include "interface/times_record.h"
#include "methods/methods.h"
#include "options.h"
#include "prayer/report_names.h"

namespace vorlin::cli {

namespace {

std::string Lowered(const std::string &text) {
    std::string out;
    for (const char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A summer-time rule as the report header names it: "Last Sunday, March".
std::string RuleText(int rule) {
    const int code = rule & 255;
    const int month = rule >> 8;
    char text[48];
    if (code < 32)
        std::snprintf(text, sizeof text, "%d %s", code, MonthName(month));
    else
        std::snprintf(text, sizeof text, "%s %s, %s", OrdinalName((code - 32) % 5),
                      WeekdayName((code - 32) / 5), MonthName(month));
    return text;
}

}  // namespace

int RunMethods(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r = ParseRequest(argc, argv, first, {{"--help", false}}, &own);
    if (!own.empty()) {
        std::printf(
            "usage: vorlin methods\n"
            "Lists the named methods that --method takes (any case; the names in\n"
            "brackets too) with their definitions, from the library's own table: Fajr\n"
            "and Isha'a as degrees of the Sun's centre below the horizon or Isha'a as\n"
            "minutes after Maghrib (and in Ramadan), Maghrib at sunset or by its angle,\n"
            "the Asr shadow factor (1, or 2 for Hanafi), and the rest: Jafari midnight\n"
            "(halfway from sunset to Fajr), the seasonal twilight bounds, rounding to\n"
            "whole minutes and the minutes added to the published times.  Imsak is one\n"
            "degree deeper than Fajr for every method.  A method sets only these; the\n"
            "high-latitude setting stays the default (the seventh of the night from 48\n"
            "degrees).  Any field's own flag overrides the method, before or after it.\n"
            "examples: vorlin methods\n"
            "          vorlin times --day --method isna --city Chicago\n"
            "          vorlin times --method UmmAlQura --isha 19   (Isha'a by 19 degrees)\n");
        return 0;
    }
    if (!r.positional.empty()) throw UsageError("methods takes no arguments");
    std::printf("%-21s %5s %-37s %-8s %3s  %s\n", "Method", "Fajr", "Isha'a", "Maghrib", "Asr",
                "Authority; other; also called");
    for (int i = 0; i < NamedMethodCount(); ++i) {
        const NamedMethod &m = NamedMethodAt(i);
        VorTimesSettings s = DefaultTimesRecord();
        ApplyMethodToRecord(m, s);
        std::string more = OtherDefinitionText(s);
        if (m.aliases[0] != '\0') {
            std::string aliases = m.aliases;
            for (std::size_t at = aliases.find(','); at != std::string::npos; at = aliases.find(',', at + 2))
                aliases.replace(at, 1, ", ");
            more += (more.empty() ? "" : "; ") + std::string("also ") + aliases;
        }
        std::printf("%-21s %5s %-37s %-8s %3d  %s%s%s\n", m.name, ShortNumber(s.fajrAngle).c_str(),
                    IshaText(s).c_str(), MaghribText(s).c_str(), s.asrFactor, m.authority,
                    more.empty() ? "" : "; ", more.c_str());
    }
    return 0;
}

int RunCities(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r = ParseRequest(argc, argv, first, {{"--help", false}}, &own);
    if (!own.empty()) {
        std::printf(
            "usage: vorlin cities [TEXT]\n"
            "Lists the embedded places that --city takes (any case; blanks and hyphens\n"
            "may be left out): latitude and longitude in degrees, height in metres, the\n"
            "standard-time zone in hours and the summer-time rules (start and end, in\n"
            "the encoding of --summer-start and --summer-end, and in words).  With TEXT,\n"
            "only the places whose name or country contains it.  Exit status 1 when\n"
            "none does.\n"
            "examples: vorlin cities\n"
            "          vorlin cities norway\n"
            "          vorlin times --day --city Tromso --high-latitude-rule 4\n");
        return 0;
    }
    if (r.positional.size() > 1) throw UsageError("cities takes at most one filter text");
    const std::string filter = r.positional.empty() ? "" : Lowered(r.positional[0]);
    int shown = 0;
    for (int i = 0; i < CityCount; ++i) {
        const City &c = Cities[i];
        if (!filter.empty() && Lowered(c.name).find(filter) == std::string::npos &&
            Lowered(c.country).find(filter) == std::string::npos)
            continue;
        if (shown++ == 0)
            std::printf("%-15s %-22s %9s %10s %6s %6s  %s\n", "City", "Country", "Latitude",
                        "Longitude", "Height", "Zone", "Summer time");
        std::string summer = "none";
        if (c.summerStart != 0)
            summer = std::to_string(c.summerStart) + "-" + std::to_string(c.summerEnd) + " (" +
                     RuleText(c.summerStart) + " to " + RuleText(c.summerEnd) + ")";
        std::printf("%-15s %-22s %9.4f %10.4f %6d %+6.2f  %s\n", c.name, c.country, c.latitude,
                    c.longitude, c.height, c.timeZone, summer.c_str());
    }
    if (shown == 0) {
        std::printf("no city matches '%s'\n", r.positional[0].c_str());
        return 1;
    }
    return 0;
}

}  // namespace vorlin::cli
