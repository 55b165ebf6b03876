// `vorlin methods` and `vorlin cities`: the embedded calculation methods
// and places, as --method and --city take them.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "cities.h"
#include "commands.h"
#include "methods.h"
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
            "Lists the named calculation methods that --method takes (any case): the\n"
            "Imsak, Fajr and Isha'a angles (degrees of the Sun's centre below the horizon,\n"
            "as --imsak, --fajr and --isha take them), the fiqh of Asr and the\n"
            "high-latitude rule.  Imsak is 1 degree deeper than Fajr for every method\n"
            "(about 4 to 6 minutes earlier at low and middle latitudes).  A method sets\n"
            "only these fields; the other defaults stay: crescent 20 deg, tolerance 1 s,\n"
            "temperature 10 C, pressure from height, safety seconds 0.  Any field's own\n"
            "flag overrides the method, before or after it on the command line.\n"
            "examples: vorlin methods\n"
            "          vorlin times --day --method isna --city Chicago\n"
            "          vorlin times --method UmmAlQura --isha -19   (Fajr 18.5, Isha 19)\n");
        return 0;
    }
    if (!r.positional.empty()) throw UsageError("methods takes no arguments");
    std::printf("%-10s %6s %6s %6s %-8s %4s  %s\n", "Method", "Imsak", "Fajr", "Isha", "Fiqh", "Rule",
                "Authority; note");
    for (int i = 0; i < CalculationMethodCount; ++i) {
        const CalculationMethod &m = CalculationMethods[i];
        std::printf("%-10s %6.2f %6.2f %6.2f %-8s %4d  %s%s%s\n", m.name, m.imsakAngle, m.fajrAngle,
                    m.ishaAngle, FiqhName(m.fiqh), m.highLatitudeRule, m.authority,
                    m.note[0] != '\0' ? "; " : "", m.note);
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
