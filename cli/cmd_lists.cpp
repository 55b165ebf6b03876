// `vorlin methods` and `vorlin cities`: the library's named methods and the
// embedded places, as --method and --city take them.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

#include "output.h"
#include "command_table.h"
#include "commands.h"
#include "describe.h"
#include "interface/times_record.h"
#include "methods/methods.h"
#include "places.h"
#include "json_out.h"
#include "options.h"
#include "terminal.h"
#include "prayer/report_names.h"

namespace vorlin::cli {

namespace {

// text padded with blanks to width columns (UTF-8 characters counted as
// one column each), or cut at a character boundary.
std::string Padded(const std::string &text, std::size_t width) {
    std::string out;
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0xF0) length = 4;
        else if (c >= 0xE0) length = 3;
        else if (c >= 0xC0) length = 2;
        if (columns == width) break;
        out.append(text, i, length);
        ++columns;
        i += length;
    }
    return out + std::string(width - columns, ' ');
}

}  // namespace

int RunMethods(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r = ParseRequest(argc, argv, first, OwnFlagsOf("methods"), &own);
    const bool json = WantsJson(own);
    bool help = false;
    for (const auto &f : own) help = help || f.first == "--help";
    if (help) {
        Out(
            "usage: vorlin methods [--format text|json]\n"
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
    if (json) {
        Json list = Json::array();
        for (int i = 0; i < NamedMethodCount(); ++i) {
            const NamedMethod &m = NamedMethodAt(i);
            VorTimesSettings s = DefaultTimesRecord();
            ApplyMethodToRecord(m, s);
            static constexpr const char *Adjusted[7] = {"imsak", "fajr", "sunrise", "dhuhr",
                                                        "asr",   "maghrib", "isha"};
            Json adjust = Json::object();
            for (int e = 0; e < 7; ++e)
                if (s.adjust[e] != 0) adjust[Adjusted[e]] = s.adjust[e];
            Json entry;
            entry["name"] = m.name;
            entry["aliases"] = Json::array();
            std::string aliases = m.aliases;
            for (std::size_t start = 0; start < aliases.size();) {
                std::size_t comma = aliases.find(',', start);
                if (comma == std::string::npos) comma = aliases.size();
                entry["aliases"].push_back(aliases.substr(start, comma - start));
                start = comma + 1;
            }
            entry["authority"] = m.authority;
            entry["fajrAngle"] = s.fajrAngle;
            entry["ishaAngle"] = s.ishaMinutes > 0 ? Json(nullptr) : Json(s.ishaAngle);
            entry["ishaMinutes"] = s.ishaMinutes > 0 ? Json(s.ishaMinutes) : Json(nullptr);
            entry["ishaMinutesRamadan"] = s.ishaMinutesRamadan > 0 ? Json(s.ishaMinutesRamadan) : Json(nullptr);
            entry["maghribAngle"] = s.maghribAngle != 0 ? Json(s.maghribAngle) : Json(nullptr);
            entry["asrFactor"] = s.asrFactor;
            entry["midnight"] = s.midnight == 1 ? "jafari" : "standard";
            entry["twilight"] = s.twilight == 1 ? "seasonal" : "angles";
            static constexpr const char *Rounding[4] = {"seconds", "nearest", "up", "down"};
            entry["rounding"] = Rounding[s.rounding & 3];
            entry["adjust"] = adjust;
            list.push_back(entry);
        }
        PrintJson(list);
        return 0;
    }
    Out("%-21s %5s %-37s %-8s %3s  %s\n", "Method", "Fajr", "Isha'a", "Maghrib", "Asr",
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
        Out("%-21s %5s %-37s %-8s %3d  %s%s%s\n", m.name, ShortNumber(s.fajrAngle).c_str(),
                    IshaText(s).c_str(), MaghribText(s).c_str(), s.asrFactor, m.authority,
                    more.empty() ? "" : "; ", more.c_str());
    }
    return 0;
}

int RunPlaces(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    const Request r = ParseRequest(argc, argv, first, OwnFlagsOf("places"), &own);
    const bool json = WantsJson(own);
    bool help = false;
    for (const auto &f : own) help = help || f.first == "--help";
    if (help) {
        Out(
            "usage: vorlin places QUERY [--format text|json]   (also: vorlin cities QUERY)\n"
            "Lists the places of the gazetteer that --city takes for QUERY, the most\n"
            "populous first: name, first-level region, country, latitude and longitude\n"
            "in degrees, elevation in metres (\"?\" unknown), IANA time zone and\n"
            "population.  QUERY is a name in any case, with or without accents, or\n"
            "another name of the place (Mecca, Tromso), optionally followed by\n"
            "\", Region\" and/or \", Country\" (a code, the name or a common short name).\n"
            "Without an exact match, the places whose name begins with QUERY, then\n"
            "names one or two letters off; a country alone lists its largest places.\n"
            "Exit status 1 when nothing matches.\n"
            "%s\n"
            "examples: vorlin places Birmingham\n"
            "          vorlin places \"San Jose, Costa Rica\"\n"
            "          vorlin places norway\n"
            "          vorlin times --day --city \"Birmingham, Alabama\"\n",
            frontend::PlaceDataCredit);
        return 0;
    }
    if (r.positional.empty()) throw UsageError("places needs a name to look for (vorlin places --help)");
    std::string query;
    for (const std::string &p : r.positional) query += (query.empty() ? "" : " ") + p;
    constexpr std::size_t Most = 25;
    // A country by its name (not a two-letter code, which may be a town's
    // name): its largest places; else the places of that name.
    std::vector<frontend::Place> found;
    std::size_t total = 0;
    const char *how = "";
    if (frontend::FoldName(query).size() > 2) found = frontend::LargestPlacesOf(query, Most);
    if (!found.empty()) {
        how = "largest places of the country";
        total = found.size();
    } else {
        found = frontend::FindPlaces(query, Most);
        total = found.empty() ? 0 : frontend::CountPlaces(query);
    }
    if (found.empty()) {
        found = frontend::PlacesStartingWith(query, Most);
        how = "names beginning so";
        total = found.size();
    }
    if (found.empty()) {
        found = frontend::NearPlaces(query, 10);
        how = "near matches";
        total = found.size();
    }
    if (json) {
        Json doc;
        doc["query"] = query;
        doc["how"] = *how != '\0' ? how : "name";
        doc["total"] = total;
        doc["places"] = Json::array();
        for (const frontend::Place &p : found) {
            Json place;
            place["name"] = p.name;
            place["region"] = p.admin1;
            place["country"] = p.countryCode;
            place["countryName"] = p.countryName;
            place["latitude"] = p.latitude;
            place["longitude"] = p.longitude;
            place["elevation"] = p.elevationKnown ? Json(p.elevation) : Json(nullptr);
            place["zone"] = p.zone;
            place["population"] = p.population;
            place["geonameid"] = p.geonameid;
            doc["places"].push_back(place);
        }
        PrintJson(doc);
        return found.empty() ? 1 : 0;
    }
    if (found.empty()) {
        Out("no place matches '%s'\n", query.c_str());
        return 1;
    }
    Out("%-28s %-24s %-2s %9s %10s %5s  %-22s %10s\n", "Name", "Region", "CC", "Latitude",
                "Longitude", "Elev", "Zone", "Population");
    for (const frontend::Place &p : found) {
        const std::string elevation = p.elevationKnown ? std::to_string(p.elevation) : "?";
        Out("%s %s %-2s %9.4f %10.4f %5s  %-22s %10lld\n", ForTerminal(Padded(p.name, 28), r).c_str(),
                    ForTerminal(Padded(p.admin1, 24), r).c_str(), p.countryCode.c_str(), p.latitude, p.longitude,
                    elevation.c_str(), p.zone.c_str(), p.population);
    }
    if (*how != '\0' || total > found.size())
        Out("(%zu of %zu%s%s)\n", found.size(), total, *how != '\0' ? ", " : "", how);
    return 0;
}

}  // namespace vorlin::cli
