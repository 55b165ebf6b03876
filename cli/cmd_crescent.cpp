// `vorlin crescent`: can the new crescent be seen here this evening?  The
// evening's crescent data and the verdict of every criterion.
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "output.h"
#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "export_formats.h"
#include "json_out.h"
#include "moon/crescent.h"
#include "moon_json.h"
#include "options.h"
#include "terminal.h"
#include "visibility_map.h"

namespace vorlin::cli {

namespace {

double Degrees(double radians) { return std::round(radians * RadToDeg * 1000.0) / 1000.0; }
double Round(double v, double scale) { return std::round(v * scale) / scale; }

const char *YallopMeaning(char zone) { return ZoneMeaning(CrescentCriterion::Yallop, zone); }
const char *OdehMeaning(char zone) { return ZoneMeaning(CrescentCriterion::ArcvWidth, zone); }

Json GeometryJson(const Request &r, const CrescentGeometry &g) {
    Json j;
    j["time"] = UtOnClock(r, g.ut);
    j["arclTopo"] = Degrees(g.arclTopo);
    j["arclGeo"] = Degrees(g.arclGeo);
    j["arcvGeo"] = Degrees(g.arcvGeo);
    j["arcvTopo"] = Degrees(g.arcvTopo);
    j["daz"] = Degrees(g.daz);
    j["widthArcmin"] = Round(g.widthArcmin, 10000.0);
    j["illuminated"] = Round(g.illuminated, 100000.0);
    j["moonAltitude"] = Degrees(g.moonAltitude);
    j["sunAltitude"] = Degrees(g.sunAltitude);
    return j;
}

std::string Clock(const Json &iso) {
    if (!iso.is_string()) return "-";
    const std::string text = iso.get<std::string>();
    return text.size() >= 19 ? text.substr(11, 8) : text;
}

}  // namespace

int RunCrescent(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("crescent"), &own);
    bool help = false;
    for (const auto &f : own) help = help || f.first == "--help";
    if (help) {
        Out(
            "usage: vorlin crescent [Y-M-D] [--format text|json] [FLAGS]\n"
            "       vorlin crescent [Y-M-D] --map FILE.svg|FILE.png [--criterion NAME] [FLAGS]\n"
            "Can the new crescent be seen here on the evening of the date (default:\n"
            "today at the place)?  Prints the evening's sunset, moonset and lag, the\n"
            "Moon's age since the geocentric and the topocentric conjunction (the one\n"
            "nearest the evening: negative before it), and at sunset and at the best\n"
            "time (sunset + 4/9 of the lag): ARCL (elongation), ARCV (altitude\n"
            "difference without refraction, geocentric and topocentric), DAZ (azimuth\n"
            "difference), the topocentric crescent width W and the illuminated\n"
            "fraction; then the verdict of each criterion:\n"
            "  default     the library's test at sunset: apparent Moon altitude above\n"
            "              the Sun plus elongation, against --crescent (V passes, N not)\n"
            "  yallop      q at the best time (HMNAO Technical Note 69, 1997): zones A\n"
            "              easily visible, B perfect conditions, C may need optical aid,\n"
            "              D needs optical aid, E not with a telescope, F not visible\n"
            "  arcv-width  V at the best time (Odeh, 2004): A naked eye, B optical aid\n"
            "              and possibly naked eye, C optical aid only, D not visible\n"
            "  danjon      elongation at least 7 degrees (V) or not (N)\n"
            "With --map FILE.svg or FILE.png: a map of the whole Earth instead, in\n"
            "cells of 1 degree, each judged at its own sunset on the evening of the\n"
            "date (its local date, on the clock UTC + round(longitude / 15) h) by the\n"
            "criterion of --criterion NAME (default yallop), coloured by zone, with\n"
            "the land's outlines, the geocentric conjunction and a legend.  The place\n"
            "only picks today's date when no date is given.\n"
            "%s"
            "examples: vorlin crescent 2024-03-10 --city Cairo\n"
            "          vorlin crescent 2024-04-09 --city \"Cape Town\" --format json\n"
            "          vorlin crescent 2024-03-10 --map crescent.svg --criterion arcv-width\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    const bool json = WantsJson(own);
    bool map = false;
    std::string mapPath;
    for (const auto &f : own) {
        if (f.first == "--map") {
            map = true;
            mapPath = f.second;
        }
    }
    MapFormat mapFormat = MapFormat::Svg;
    if (map && !MapFormatOfPath(mapPath, &mapFormat))
        throw UsageError("--map: '" + mapPath + "': the file name must end in .svg or .png");
    RequireClock(r);
    if (r.positional.size() == 1) {
        int y = 0, m = 0, d = 0;
        ParseDate(r.positional[0], y, m, d);
        SetRequestDate(r, y, m, d);
        r.positional.clear();
    }
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional.back() + "'");
    if (IsValidDate(r.date, 0) != 1 || r.date.year < 1 || r.date.year > 9999)
        throw UsageError("--date: " + DateText(r.date) + " is not a valid civil date of the years 1..9999");

    if (map) {
        const CrescentCriterion criterion = r.criterionGiven ? r.calendar.crescent.criterion : CrescentCriterion::Yallop;
        const auto start = std::chrono::steady_clock::now();
        // The file is opened first: a path that cannot be written fails at once.
        std::FILE *file = std::fopen(mapPath.c_str(), "wb");
        if (file == nullptr) {
            Complain("vorlin: cannot write %s: %s\n", ForTerminal(mapPath, r).c_str(),
                         std::strerror(errno));
            return 1;
        }
        const VisibilityMap visibility = ComputeVisibilityMap(r.date, r.config, criterion);
        std::string problem;
        const std::string bytes = DrawVisibilityMap(visibility, mapFormat, &problem);
        const bool written = problem.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (problem.empty() && !written) problem = std::string("cannot write ") + mapPath + ": " + std::strerror(errno);
        if (std::fclose(file) != 0 && problem.empty())
            problem = std::string("cannot write ") + mapPath + ": " + std::strerror(errno);
        if (!problem.empty()) {
            std::remove(mapPath.c_str());  // no half-written map left behind
            Complain("vorlin: %s\n", ForTerminal(problem, r).c_str());
            return 1;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Out("wrote %s: the crescent on the evening of %s by %s, %zu cells of 1 degree, in %.2f s\n",
                    ForTerminal(mapPath, r).c_str(), DateText(r.date).c_str(), CrescentCriterionName(criterion),
                    visibility.zones.size(), seconds);
        return 0;
    }

    VorLocation loc = r.location;
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    EveningCrescent e{};
    ComputeEveningCrescent(r.date, loc, r.config, e);

    const std::string dateTextString = DateText(r.date);
    const char *dateText = dateTextString.c_str();
    Json doc;
    doc["date"] = dateText;
    doc["place"] = PlaceJson(r);
    doc["conjunction"] = {{"geocentric", UtOnClock(r, e.conjunctionGeoUt)},
                          {"topocentric", UtOnClock(r, e.conjunctionTopoUt)}};
    if (e.status != 1) {
        doc["reason"] = "no sunset, or no moonset, on the evening of the date";
        if (json) {
            PrintJson(doc);
        } else {
            Out("No crescent evening on %s at %s: no sunset, or no moonset, that day.\n", dateText,
                        ForTerminal(r.location.name, r).c_str());
        }
        return 1;
    }
    const double timeZone = loc.timeZone;
    const double sunsetUt = e.atSunset.ut;
    const double moonsetUt = e.dayJd + (e.moonset * RadToHour - timeZone) / 24.0;
    doc["sunset"] = UtOnClock(r, sunsetUt);
    doc["moonset"] = UtOnClock(r, moonsetUt);
    doc["lagMinutes"] = Round(e.lagMinutes, 100.0);
    doc["bestTime"] = UtOnClock(r, e.atBest.ut);
    doc["ageHours"] = {{"geocentric", Round(e.ageGeoHours, 100.0)}, {"topocentric", Round(e.ageTopoHours, 100.0)}};
    doc["atSunset"] = GeometryJson(r, e.atSunset);
    doc["atBestTime"] = GeometryJson(r, e.atBest);

    const double threshold = r.config.crescentThreshold;
    const CrescentVerdict byDefault = JudgeCrescent(e, CrescentCriterion::Default, threshold);
    const CrescentVerdict yallop = JudgeCrescent(e, CrescentCriterion::Yallop, threshold);
    const CrescentVerdict odeh = JudgeCrescent(e, CrescentCriterion::ArcvWidth, threshold);
    const CrescentVerdict danjon = JudgeCrescent(e, CrescentCriterion::Danjon, threshold);
    const double visibility = byDefault.value, q = yallop.value, v = odeh.value, arcl = danjon.value;
    Json criteria;
    criteria["default"] = {{"value", Round(visibility, 1000.0)},
                           {"threshold", threshold},
                           {"zone", std::string(1, byDefault.zone)}};
    criteria["yallop"] = {{"value", Round(q, 1000.0)},
                          {"zone", std::string(1, yallop.zone)},
                          {"meaning", YallopMeaning(yallop.zone)}};
    criteria["arcv-width"] = {{"value", Round(v, 1000.0)},
                              {"zone", std::string(1, odeh.zone)},
                              {"meaning", OdehMeaning(odeh.zone)}};
    criteria["danjon"] = {{"value", Round(arcl, 1000.0)}, {"zone", std::string(1, danjon.zone)}};
    doc["criteria"] = criteria;
    if (json) {
        PrintJson(doc);
        return 0;
    }

    const std::string place = ForTerminal(r.location.name[0] != '\0' ? r.location.name : "the point given", r);
    Out("The crescent on the evening of %s at %s (%s)\n", dateText, place.c_str(), r.clock.Name().c_str());
    Out("Conjunction  %s geocentric, %s topocentric\n", doc["conjunction"]["geocentric"].get<std::string>().c_str(),
                Clock(doc["conjunction"]["topocentric"]).c_str());
    Out("Sunset %s, moonset %s: lag %.0f min; best time %s\n", Clock(doc["sunset"]).c_str(),
                Clock(doc["moonset"]).c_str(), e.lagMinutes, Clock(doc["bestTime"]).c_str());
    Out("Age at sunset %.1f h since the geocentric conjunction, %.1f h since the topocentric\n",
                e.ageGeoHours, e.ageTopoHours);
    Out("%-34s %10s %10s\n", "", "sunset", "best time");
    auto row = [](const char *name, double a, double b, const char *format) {
        char cells[64];
        std::snprintf(cells, sizeof cells, format, a, b);
        Out("%-34s %s\n", name, cells);
    };
    row("ARCL, elongation (topocentric) deg", e.atSunset.arclTopo * RadToDeg, e.atBest.arclTopo * RadToDeg, "%10.3f %10.3f");
    row("ARCV, geocentric airless, deg", e.atSunset.arcvGeo * RadToDeg, e.atBest.arcvGeo * RadToDeg, "%10.3f %10.3f");
    row("ARCV, topocentric airless, deg", e.atSunset.arcvTopo * RadToDeg, e.atBest.arcvTopo * RadToDeg, "%10.3f %10.3f");
    row("DAZ, azimuth difference, deg", e.atSunset.daz * RadToDeg, e.atBest.daz * RadToDeg, "%10.3f %10.3f");
    row("W, crescent width, arcmin", e.atSunset.widthArcmin, e.atBest.widthArcmin, "%10.4f %10.4f");
    row("Illuminated, percent", e.atSunset.illuminated * 100.0, e.atBest.illuminated * 100.0, "%10.3f %10.3f");
    Out("Criteria\n");
    Out("  default     %8.3f  %s (%.1f needed at sunset)\n", visibility,
                byDefault.zone == 'V' ? "V: passes" : "N: does not pass", threshold);
    Out("  yallop q    %8.3f  zone %c: %s\n", q, yallop.zone, YallopMeaning(yallop.zone));
    Out("  arcv-width  %8.3f  zone %c: %s\n", v, odeh.zone, OdehMeaning(odeh.zone));
    Out("  danjon      %8.3f  %s\n", arcl,
                danjon.zone == 'V' ? "V: elongation at least 7 deg" : "N: elongation below 7 deg");
    return 0;
}

}  // namespace vorlin::cli
