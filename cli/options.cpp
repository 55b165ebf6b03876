#include "output.h"
#include "options.h"

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "calendar/summer_time.h"
#include "interface/calendar_record.h"
#include "interface/times_record.h"
#include "methods/methods.h"
#include "places.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace vorlin::cli {

const char *const PlaceAndSettingsHelp =
    "Place (default: Makkah, 21.4225 N 39.8262 E, 300 m, Asia/Riyadh):\n"
    "  --city NAME         a place of the gazetteer (vorlin places NAME): any case,\n"
    "                      with or without accents, other names (Mecca, \xd9\x85\xd9\x83\xd8\xa9),\n"
    "                      \"Name, Region\" or \"Name, Country\" (Birmingham, Alabama;\n"
    "                      San Jose, CR); the most populous match is taken\n"
    "  --name TEXT         place name printed in reports (at most 47 bytes)\n"
    "  --lat DEG --lon DEG a point (north and east positive); without --tz it takes\n"
    "                      the zone of the nearest place within 100 km\n"
    "  --height M          height above sea level, metres (the air pressure)\n"
    "  --tz ZONE|HOURS     an IANA time zone (Europe/London) or hours east of\n"
    "                      Greenwich (a fixed offset)\n"
    "  --summer-start RULE --summer-end RULE   with --tz HOURS only: the library's\n"
    "                      summer-time rules (month << 8 | day code; 834 2626 EU)\n"
    "Date:\n"
    "  --date Y-M-D        civil date (default: today at the place)\n"
    "Settings (defaults in brackets: the MWL method):\n"
    "  --method NAME       a named method (vorlin methods), any case\n"
    "  --fajr DEG [18]  --isha DEG [17]  --imsak DEG [Fajr's + 1]\n"
    "  --maghrib-angle DEG [sunset]   angles of the Sun's centre below the\n"
    "                      horizon: 18 and -18 both mean 18 degrees below\n"
    "  --isha-minutes N    Isha'a N minutes after Maghrib, instead of its angle\n"
    "  --isha-minutes-ramadan N   the same in Ramadan (Hijri month 9 at the place)\n"
    "  --imsak-minutes N   Imsak N minutes before Fajr, instead of its angle\n"
    "  --maghrib-minutes N [0]    minutes added to Maghrib\n"
    "  --adjust NAME=MIN[,NAME=MIN...]   minutes added at the end to imsak, fajr,\n"
    "                      sunrise, dhuhr, asr, maghrib or isha (over the method's)\n"
    "  --asr standard|hanafi|both [standard]   shadow factor 1, 2, or both times\n"
    "  --fiqh N [1]        0 Jafari, 1 Shafi'i, 2 Hanafi (Asr factor 2), 3 Maliki,\n"
    "                      4 Hanbali\n"
    "  --midnight standard|jafari [standard]   halfway from sunset to sunrise or\n"
    "                      to Fajr (also the start of the last third of the night)\n"
    "  --twilight angles|seasonal [angles]  --shafaq general|ahmer|abyad [general]\n"
    "                      seasonal: Fajr and Isha'a bounded by the Moonsighting\n"
    "                      Committee's seasonal minutes (its shafaq for Isha'a)\n"
    "  --high-latitude-rule RULE [default]   when Fajr or Isha'a is missing or\n"
    "                      far into the night: default (seventh-of-night from 48\n"
    "                      degrees of latitude), none, middle-of-night,\n"
    "                      seventh-of-night, twilight-angle, or the library's 1..9\n"
    "  --rounding seconds|nearest|up|down [seconds]   whole minutes but seconds\n"
    "  --horizon-height M [0]   eye above the visible horizon (the dip)\n"
    "  --distance KM [0]  --temperature C [10]  --pressure MBAR [0 = from height]\n"
    "  --safety-seconds N [0]  --tolerance-seconds N [1]  --fajr-isha-minutes N [90]\n"
    "  --precision N [0]   1: the report in minutes (other formats: rounding nearest)\n"
    "  --crescent DEG [20] crescent test: Moon altitude above the Sun plus elongation\n"
    "                      at sunset; 20 about best separates seen from unseen young\n"
    "                      crescents in some 5,300 published observations\n"
    "  --hijri-adjust DAYS [0]\n"
    "Hijri calendar (conversions, --hijri-months, events, the moon's month start):\n"
    "  --calendar MODE [observational]   observational: the crescent seen at the\n"
    "                      place; regional: seen anywhere in --region the evening\n"
    "                      before; conjunction-before-noon-utc: the day after a\n"
    "                      conjunction before 12:00 UTC; umm-al-qura: the Makkah rule\n"
    "                      (conjunction before sunset, Moon setting after the Sun on\n"
    "                      the 29th); tabular: the arithmetic calendar\n"
    "  --criterion NAME [default]   default (the --crescent test), yallop,\n"
    "                      arcv-width or danjon; NAME+danjon adds the Danjon limit\n"
    "  --level naked-eye|optical-aid [naked-eye]   yallop A-B / A-D, arcv-width\n"
    "                      A / A-C\n"
    "  --region world|americas|PLACE;PLACE;... [world]   PLACE: a gazetteer name\n"
    "                      or LAT,LON\n"
    "Output:\n"
    "  --encoding utf8|latin1   text for people (not json, csv, ics, html): UTF-8,\n"
    "                      or the library's Latin-1 [the locale's: UTF-8 when it is]\n"
    "--city and --method are applied first: any other flag overrides them, in any\n"
    "order.\n";

namespace {

VorLocation Radians(const Request &request) {
    VorLocation loc = request.location;
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    return loc;
}

}  // namespace

int ToHijri(const Request &request, VorDate &date, CalendarCache *cache) {
    if (IsLibraryCalendar(request.calendar)) {
        VorLocation loc = request.location;
        VorConfig config = request.config;
        return VorAdToIslamic(&date, &loc, &config);
    }
    VorLocation loc = Radians(request);
    return CivilToHijriOfRule(request.calendar, date, loc, request.config, cache);
}

int ToCivil(const Request &request, VorDate &date, CalendarCache *cache) {
    if (IsLibraryCalendar(request.calendar)) {
        VorLocation loc = request.location;
        VorConfig config = request.config;
        return VorIslamicToAd(&date, &loc, &config);
    }
    VorLocation loc = Radians(request);
    return HijriToCivilOfRule(request.calendar, date, loc, request.config, cache);
}

std::string CalendarText(const Request &request) {
    const CalendarRule &c = request.calendar;
    std::string text = CalendarModeName(c.mode);
    if (c.mode == CalendarMode::Observational || c.mode == CalendarMode::Regional) {
        text += " (";
        text += CrescentCriterionName(c.crescent.criterion);
        if (c.crescent.withDanjon) text += "+danjon";
        if (c.crescent.criterion == CrescentCriterion::Yallop || c.crescent.criterion == CrescentCriterion::ArcvWidth) {
            text += ", ";
            text += SightingLevelName(c.crescent.level);
        }
        if (c.mode == CalendarMode::Regional) {
            text += ", ";
            text += c.region == RegionKind::Places ? std::to_string(c.placeCount) + " places"
                                                   : std::string(RegionKindName(c.region));
        }
        text += ")";
    }
    return text;
}

int MonthStartOf(const Request &request, const VorDate &date, double *start) {
    const VorLocation loc = Radians(request);
    return MonthStartOfRule(request.calendar, date, loc, request.config, start);
}

void ParseDate(const std::string &text, int &year, int &month, int &day) {
    const char *p = text.c_str();
    char *end = nullptr;
    errno = 0;
    const long y = std::strtol(p, &end, 10);
    if (end == p || *end != '-' || errno != 0) throw UsageError("malformed date '" + text + "' (expected Y-M-D)");
    p = end + 1;
    const long m = std::strtol(p, &end, 10);
    if (end == p || *end != '-' || *p == '-' || *p == '+') throw UsageError("malformed date '" + text + "' (expected Y-M-D)");
    p = end + 1;
    const long d = std::strtol(p, &end, 10);
    if (end == p || *end != '\0' || *p == '-' || *p == '+') throw UsageError("malformed date '" + text + "' (expected Y-M-D)");
    if (y < -100000 || y > 100000 || m < 0 || m > 255 || d < 0 || d > 1000)
        throw UsageError("date '" + text + "' is out of range");
    year = static_cast<int>(y);
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

namespace {

// A decimal number written out: an optional sign, digits, an optional
// fraction (no exponent, no hexadecimal, no "inf" or "nan").
bool IsDecimal(const std::string &text, bool whole) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++digits;
    if (!whole && i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) ++digits;
    }
    return digits > 0 && digits <= 30 && i == text.size();
}

}  // namespace

double ParseNumber(const std::string &flag, const std::string &text) {
    if (!IsDecimal(text, false)) throw UsageError(flag + ": expects a decimal number, not '" + text + "'");
    return std::strtod(text.c_str(), nullptr);
}

std::string Lowered(const std::string &text) {
    std::string out;
    for (const char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int ParseInteger(const std::string &flag, const std::string &text) {
    if (!IsDecimal(text, true) || std::fabs(std::strtod(text.c_str(), nullptr)) > 2147483647.0)
        throw UsageError(flag + ": expects a whole number, not '" + text + "'");
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

const std::vector<FlagRow> &CommonFlags() {
    using K = FlagRow;
    static const std::vector<FlagRow> flags = {
        {K::Text, "--city", "NAME", 0, 0, "place", "a place of the gazetteer (vorlin places NAME)"},
        {K::Text, "--name", "TEXT", 0, 0, "", "the place's name in the outputs (at most 47 bytes)"},
        {K::Number, "--lat", "DEG", -90, 90, "", "latitude, degrees north positive"},
        {K::Number, "--lon", "DEG", -180, 180, "", "longitude, degrees east positive"},
        {K::Integer, "--height", "M", -1000, 20000, "", "height above sea level, metres (the air pressure)"},
        {K::Text, "--tz", "ZONE|HOURS", 0, 0, "zone", "an IANA time zone (Europe/London) or hours east of Greenwich, -12..14"},
        {K::Integer, "--summer-start", "RULE", 0, 3138, "", "with --tz HOURS: summer-time start rule (month << 8 | day code 1..66)"},
        {K::Integer, "--summer-end", "RULE", 0, 3138, "", "with --tz HOURS: summer-time end rule"},
        {K::Date, "--date", "Y-M-D", 0, 0, "", "civil date (default: today at the place)"},
        {K::Text, "--method", "NAME", 0, 0, "method", "a named method (vorlin methods)"},
        {K::Number, "--fajr", "DEG", -90, 90, "", "Fajr angle below the horizon (18 and -18 alike)"},
        {K::Number, "--isha", "DEG", -90, 90, "", "Isha'a angle below the horizon"},
        {K::Number, "--imsak", "DEG", -90, 90, "", "Imsak angle below the horizon (default: Fajr's + 1)"},
        {K::Number, "--maghrib-angle", "DEG", -90, 90, "", "Maghrib angle below the horizon (default: sunset)"},
        {K::Number, "--isha-minutes", "N", 0, 1440, "", "Isha'a N minutes after Maghrib"},
        {K::Number, "--isha-minutes-ramadan", "N", 0, 1440, "", "Isha'a N minutes after Maghrib in Ramadan"},
        {K::Number, "--imsak-minutes", "N", 0, 1440, "", "Imsak N minutes before Fajr"},
        {K::Integer, "--maghrib-minutes", "N", -1440, 1440, "", "minutes added to Maghrib"},
        {K::Text, "--adjust", "NAME=MIN,...", 0, 0, "", "minutes added to imsak, fajr, sunrise, dhuhr, asr, maghrib, isha"},
        {K::Word, "--asr", "SCHOOL", 0, 0, "standard|shafii|hanafi|both", "Asr by shadow factor 1, 2, or both"},
        {K::Integer, "--fiqh", "N", 0, 4, "", "0 Jafari, 1 Shafi'i, 2 Hanafi, 3 Maliki, 4 Hanbali"},
        {K::Word, "--midnight", "KIND", 0, 0, "standard|jafari", "midnight from sunset to sunrise or to Fajr"},
        {K::Word, "--twilight", "KIND", 0, 0, "angles|seasonal", "Fajr and Isha'a by angles or the seasonal bounds"},
        {K::Word, "--shafaq", "KIND", 0, 0, "general|ahmer|abyad", "the shafaq of the seasonal Isha'a"},
        {K::Word, "--high-latitude-rule", "RULE", 0, 0,
         "default|none|middle-of-night|seventh-of-night|twilight-angle|0|1|2|3|4|5|6|7|8|9",
         "when Fajr or Isha'a is missing or far into the night"},
        {K::Word, "--rounding", "MODE", 0, 0, "seconds|nearest|up|down", "whole minutes but seconds"},
        {K::Integer, "--horizon-height", "M", 0, 100000, "", "eye above the visible horizon (the dip)"},
        {K::Integer, "--distance", "KM", 0, 1000000, "", "area the times must hold for"},
        {K::Integer, "--precision", "N", 0, 1, "", "the report's precision: 0 seconds, 1 minutes"},
        {K::Integer, "--temperature", "C", -100, 100, "", "air temperature, Celsius (refraction)"},
        {K::Integer, "--pressure", "MBAR", 0, 2000, "", "air pressure, millibar (0: from the height)"},
        {K::Integer, "--safety-seconds", "N", -3600, 3600, "", "seconds of precaution"},
        {K::Integer, "--tolerance-seconds", "N", 1, 3600, "", "the solver's tolerance"},
        {K::Number, "--crescent", "DEG", 0, 90, "", "crescent test: Moon altitude above the Sun plus elongation"},
        {K::Integer, "--fajr-isha-minutes", "N", 0, 1440, "", "minutes of the high-latitude rule 9"},
        {K::Integer, "--hijri-adjust", "DAYS", -30, 30, "", "days added to the Hijri calendar"},
        {K::Word, "--calendar", "MODE", 0, 0,
         "observational|regional|conjunction-before-noon-utc|umm-al-qura|tabular",
         "the Hijri calendar of conversions and Hijri months"},
        {K::Text, "--criterion", "NAME", 0, 0, "criterion",
         "crescent criterion: default, yallop, arcv-width, danjon, or NAME+danjon"},
        {K::Word, "--level", "LEVEL", 0, 0, "naked-eye|optical-aid", "how the crescent must be seen"},
        {K::Text, "--region", "REGION", 0, 0, "region",
         "the regional calendar's region: world, americas, or PLACE;PLACE;..."},
        {K::Word, "--encoding", "NAME", 0, 0, "utf8|latin1", "text output encoding (default: the locale's)"},
    };
    return flags;
}

namespace {

const FlagRow *FindFlag(const std::string &name) {
    for (const FlagRow &f : CommonFlags())
        if (name == f.name) return &f;
    return nullptr;
}

std::string RangeText(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// The value of a common flag checked by its row (kind and range); Word
// values come back in lower case.
std::string CheckedValue(const FlagRow &f, const std::string &value) {
    const std::string flag = f.name;
    switch (f.kind) {
        case FlagRow::Number:
        case FlagRow::Integer: {
            const double v = f.kind == FlagRow::Number ? ParseNumber(flag, value) : ParseInteger(flag, value);
            if (v < f.low || v > f.high)
                throw UsageError(flag + ": must lie within " + RangeText(f.low) + ".." + RangeText(f.high) +
                                 ", not '" + value + "'");
            return value;
        }
        case FlagRow::Word: {
            const std::string lowered = Lowered(value);
            std::string words = f.words;
            for (std::size_t start = 0; start <= words.size();) {
                std::size_t bar = words.find('|', start);
                if (bar == std::string::npos) bar = words.size();
                if (words.compare(start, bar - start, lowered) == 0 && bar - start == lowered.size()) return lowered;
                start = bar + 1;
            }
            for (char &c : words)
                if (c == '|') c = ',';
            throw UsageError(flag + ": expects one of " + words + ", not '" + value + "'");
        }
        case FlagRow::Date: {
            int y = 0, m = 0, d = 0;
            try {
                ParseDate(value, y, m, d);
            } catch (const UsageError &e) {
                throw UsageError(flag + ": " + e.what());
            }
            return value;
        }
        case FlagRow::Text:
            break;
    }
    return value;
}

}  // namespace

const FlagRow *FindCommonFlag(const std::string &name) { return FindFlag(name); }

std::string CheckedFlagValue(const FlagRow &flag, const std::string &value) { return CheckedValue(flag, value); }

std::string ConfigPath() {
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg == '/') return std::string(xdg) + "/vorlin/config";
    const char *home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return std::string(home) + "/.config/vorlin/config";
    return "";
}

std::vector<std::pair<std::string, std::string>> ReadConfig() {
    std::vector<std::pair<std::string, std::string>> settings;
    const std::string path = ConfigPath();
    if (path.empty()) return settings;
    std::FILE *file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return settings;
    char buffer[1024];
    int lineNumber = 0;
    while (std::fgets(buffer, sizeof buffer, file) != nullptr && lineNumber < 1000) {  // bounded
        ++lineNumber;
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        const std::size_t equals = line.find('=');
        auto trim = [](std::string t) {
            const std::size_t a = t.find_first_not_of(" \t"), b = t.find_last_not_of(" \t");
            return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
        };
        const std::string key = equals == std::string::npos ? "" : trim(line.substr(0, equals));
        if (key.empty() || FindFlag("--" + key) == nullptr) {
            std::fclose(file);
            throw UsageError(path + ":" + std::to_string(lineNumber) + ": not a setting: '" + line +
                             "' (vorlin config list shows the file; vorlin config unset NAME)");
        }
        settings.emplace_back("--" + key, trim(line.substr(equals + 1)));
    }
    std::fclose(file);
    return settings;
}

Request DefaultRequest() {
    Request r;
    std::strncpy(r.location.name, "Makkah", sizeof r.location.name - 1);
    r.location.latitude = 21.4225;
    r.location.longitude = 39.8262;
    r.location.height = 300;
    r.location.timeZone = 3.0f;
    r.location.summerStart = 0;
    r.location.summerEnd = 0;
    r.clock = frontend::Clock::FixedOffset(3.0);  // Asia/Riyadh, opened when the place stays

    r.config.imsakAngle = -19.0f;
    r.config.fajrAngle = -18.0f;
    r.config.ishaAngle = -17.0f;
    r.config.fiqh = 1;
    r.config.distanceKm = 0;
    r.config.precision = 0;
    r.config.maghribMinutes = 0;
    r.config.temperature = 10;
    r.config.pressure = 0;
    r.config.safetySeconds = 0;
    r.config.toleranceSeconds = 1;
    r.config.crescentThreshold = 20.0f;
    r.config.highLatitudeRule = 0;
    r.config.scheduleFlags = 0;
    r.config.hijriAdjustDays = 0;
    r.config.fajrIshaMinutes = 90;
    r.times = DefaultTimesRecord();

    return r;
}

namespace {

// The zone of the default place.
constexpr const char *DefaultZone = "Asia/Riyadh";

// How far the nearest place may lie for its zone to be taken.
constexpr double NearestZoneKm = 100.0;

// An angle below the horizon: 18 and -18 both mean 18 degrees below.
double ParseDepression(const std::string &flag, const std::string &text) {
    const double v = ParseNumber(flag, text);
    if (std::fabs(v) > 90.0) throw UsageError(flag + ": must lie within -90..90 degrees");
    return std::fabs(v);
}

double ParseMinutes(const std::string &flag, const std::string &text) {
    const double v = ParseNumber(flag, text);
    if (v < 0.0 || v > 1440.0) throw UsageError(flag + ": must lie within 0..1440 minutes");
    return v;
}

// One of the words of a flag, in any case; its index.
int ParseWord(const std::string &flag, const std::string &text,
              std::initializer_list<const char *> words) {
    const std::string lowered = Lowered(text);
    int index = 0;
    std::string list;
    for (const char *w : words) {
        if (lowered == w) return index;
        list += std::string(index == 0 ? "" : ", ") + w;
        ++index;
    }
    throw UsageError(flag + ": expects " + list + ", not '" + text + "'");
}

// --adjust imsak=-2,maghrib=3 over the method's adjustments.
void ParseAdjustments(const std::string &text, double adjust[7]) {
    static constexpr const char *Names[7] = {"imsak", "fajr", "sunrise", "dhuhr",
                                             "asr",   "maghrib", "isha"};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos)
            throw UsageError("--adjust: expects NAME=MINUTES[,NAME=MINUTES...], not '" + text + "'");
        const std::string name = item.substr(0, equals);
        int event = -1;
        for (int i = 0; i < 7; ++i)
            if (name == Names[i]) event = i;
        if (event < 0)
            throw UsageError("--adjust: no event '" + name +
                             "' (imsak, fajr, sunrise, dhuhr, asr, maghrib, isha)");
        const double minutes = ParseNumber("--adjust " + name, item.substr(equals + 1));
        if (std::fabs(minutes) > 1440.0) throw UsageError("--adjust: must lie within -1440..1440 minutes");
        adjust[event] = minutes;
        start = comma + 1;
    }
}

// The flag that sets a field of VorTimesSettings, for messages.
const char *FlagOfField(const char *field) {
    static constexpr const char *Flags[][2] = {
        {"fajrAngle", "--fajr"},           {"ishaAngle", "--isha"},
        {"ishaMinutes", "--isha-minutes"}, {"ishaMinutesRamadan", "--isha-minutes-ramadan"},
        {"maghribAngle", "--maghrib-angle"}, {"maghribMinutes", "--maghrib-minutes"},
        {"imsakAngle", "--imsak"},         {"imsakMinutes", "--imsak-minutes"},
        {"adjust", "--adjust"},            {"highLatitude", "--high-latitude-rule"},
        {"fajrIshaMinutes", "--fajr-isha-minutes"}, {"distanceKm", "--distance"},
        {"horizonHeight", "--horizon-height"}, {"crescentThreshold", "--crescent"},
        {"asrFactor", "--asr"},            {"midnight", "--midnight"},
        {"twilight", "--twilight"},        {"shafaq", "--shafaq"},
        {"rounding", "--rounding"},       {"calendar", "--calendar"}};
    for (const auto &f : Flags)
        if (std::strcmp(f[0], field) == 0) return f[1];
    return field;
}

// A named method over both records: the structured one takes its whole
// definition, the legacy one what it has fields for.
void ApplyMethod(const NamedMethod &m, Request &r) {
    ApplyMethodToRecord(m, r.times);
    r.method = m.name;
    r.config.fajrAngle = static_cast<float>(-m.fajrAngle);
    if (!std::isnan(m.ishaAngle)) r.config.ishaAngle = static_cast<float>(-m.ishaAngle);
    r.config.fiqh = m.midnight == MidnightJafari ? 0 : m.asrFactor == 2 ? 2 : 1;
}

// --criterion NAME or NAME+danjon (any case).
CrescentRule ParseCriterion(const std::string &text) {
    CrescentRule rule{};
    const std::string lowered = Lowered(text);
    std::string name = lowered;
    const std::size_t plus = lowered.find('+');
    if (plus != std::string::npos) {
        name = lowered.substr(0, plus);
        if (lowered.substr(plus + 1) != "danjon" || name == "danjon")
            throw UsageError("--criterion: '" + text + "': only danjon can be added (NAME+danjon)");
        rule.withDanjon = true;
    }
    if (!CrescentCriterionOfName(name.c_str(), &rule.criterion))
        throw UsageError("--criterion: no criterion '" + text +
                         "' (criteria: default, yallop, arcv-width, danjon; NAME+danjon)");
    return rule;
}

// --region world, americas, or places separated by ';': gazetteer names
// or LAT,LON in degrees.
void ParseRegion(const std::string &text, CalendarRule &rule) {
    const std::string lowered = Lowered(text);
    rule.placeCount = 0;
    if (lowered == "world" || lowered == "americas") {
        rule.region = lowered == "world" ? RegionKind::World : RegionKind::Americas;
        return;
    }
    rule.region = RegionKind::Places;
    std::size_t start = 0;
    while (start <= text.size()) {  // bounded: each pass moves past a ';'
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string item = text.substr(start, end - start);
        while (!item.empty() && item.front() == ' ') item.erase(item.begin());
        while (!item.empty() && item.back() == ' ') item.pop_back();
        start = end + 1;
        if (item.empty()) continue;
        if (rule.placeCount == MaxRegionPlaces)
            throw UsageError("--region: more than " + std::to_string(MaxRegionPlaces) + " places");
        double lat = 0.0, lon = 0.0;
        const std::size_t comma = item.find(',');
        char *stop = nullptr;
        bool point = false;
        if (comma != std::string::npos) {
            const std::string a = item.substr(0, comma), b = item.substr(comma + 1);
            lat = std::strtod(a.c_str(), &stop);
            point = stop != a.c_str() && *stop == '\0';
            if (point) {
                lon = std::strtod(b.c_str(), &stop);
                point = stop != b.c_str() && *stop == '\0';
            }
        }
        if (point) {
            if (!(std::fabs(lat) <= 90.0) || !(std::fabs(lon) <= 180.0))
                throw UsageError("--region: '" + item + "' is not a latitude,longitude in degrees");
        } else {
            const std::vector<frontend::Place> found = frontend::FindPlaces(item, 1);
            if (found.empty()) throw UsageError("--region: no place '" + item + "' (see vorlin places)");
            lat = found[0].latitude;
            lon = found[0].longitude;
        }
        VorLocation &p = rule.places[rule.placeCount++];
        p = VorLocation{};
        p.latitude = lat * DegToRad;
        p.longitude = lon * DegToRad;
        p.timeZone = static_cast<float>(std::round(lon / 15.0));
    }
    if (rule.placeCount == 0) throw UsageError("--region: no place given");
}

// The gazetteer's place for a --city query over the request; the most
// populous of several, with a note saying so.
void ApplyPlace(const std::string &query, Request &r) {
    const std::vector<frontend::Place> found = frontend::FindPlaces(query, 2);
    if (found.empty()) {
        std::string near;
        for (const frontend::Place &p : frontend::NearPlaces(query, 5))
            near += (near.empty() ? "" : "; ") + p.Label();
        throw UsageError("--city: no place '" + query + "' (" +
                         (near.empty() ? std::string("see vorlin places")
                                       : "did you mean: " + near + "?") +
                         ")");
    }
    const frontend::Place &p = found[0];
    VorLocation &l = r.location;
    std::memset(l.name, 0, sizeof l.name);
    std::size_t n = std::min(p.name.size(), sizeof l.name - 1);
    while (n > 0 && n < p.name.size() && (static_cast<unsigned char>(p.name[n]) & 0xC0) == 0x80) --n;
    std::memcpy(l.name, p.name.data(), n);  // whole UTF-8 characters
    l.latitude = p.latitude;
    l.longitude = p.longitude;
    l.height = p.elevationKnown ? p.elevation : 0;
    r.clock = frontend::Clock::Zone(p.zone);
    if (found.size() > 1) {
        const std::size_t count = frontend::CountPlaces(query);
        const std::string other =
            found[1].name + ", " + (found[1].admin1.empty() ? found[1].countryCode : found[1].admin1);
        std::string population = std::to_string(p.population);
        for (int at = static_cast<int>(population.size()) - 3; at > 0; at -= 3)
            population.insert(static_cast<std::size_t>(at), ",");
        std::string note = "took ";
        note += p.Label();
        note += " (population " + population + ") for '" + query + "', the most populous of ";
        note += std::to_string(count) + " places (vorlin places '" + query + "' lists them; pick one with --city '";
        note += other + "')";
        r.notes.push_back(note);
    }
}

std::string MethodNames() {
    std::string names;
    for (int i = 0; i < NamedMethodCount(); ++i)
        names += std::string(i == 0 ? "" : ", ") + NamedMethodAt(i).name;
    return names;
}

}  // namespace

std::string ReportCannotShow(const Request &r) {
    const VorTimesSettings &t = r.times;
    if (t.ishaMinutes > 0 || t.ishaMinutesRamadan > 0)
        return "Isha'a by minutes after Maghrib (--isha-minutes or the method)";
    if (t.maghribAngle != 0) return "Maghrib by an angle (--maghrib-angle or the method)";
    if (t.imsakMinutes > 0) return "Imsak by minutes (--imsak-minutes)";
    for (const double a : t.adjust)
        if (a != 0) return "minute adjustments (--adjust or the method)";
    if (t.twilight != 0) return "the seasonal twilight (--twilight or the method)";
    if (t.rounding != 0 && !(t.rounding == 1 && r.config.precision == 1 && !r.roundingGiven))
        return "rounding other than the report's (--rounding or the method)";
    if (t.highLatitude > 9) return "this --high-latitude-rule (the report has rules 0..9)";
    if (r.asrBoth) return "both Asr times (--asr both)";
    if (!IsLibraryCalendar(r.calendar)) return "a Hijri calendar of its own (--calendar or --criterion)";
    if (r.horizonGiven && t.horizonHeight != std::max(r.location.height, 0))
        return "a --horizon-height other than --height (the report takes the dip from the height)";
    return "";
}

Request ParseRequest(int argc, char **argv, int first, const std::vector<OwnFlag> &ownFlags,
                     std::vector<std::pair<std::string, std::string>> *own) {
    Request r = DefaultRequest();
    // First the command line is split into flags with their values, so that
    // --method and --city can be applied before every other flag: a field's
    // own flag then wins wherever it stands.
    // The user's defaults come first, so that the command line wins.
    const std::vector<std::pair<std::string, std::string>> configured =
        UseConfigFile() ? ReadConfig() : std::vector<std::pair<std::string, std::string>>{};
    std::vector<std::pair<std::string, std::string>> flags;
    bool cityGiven = false;
    bool flagsEnded = false;  // after "--" every argument is positional
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        if (!flagsEnded && arg == "--") {
            flagsEnded = true;
            continue;
        }
        if (flagsEnded) {
            r.positional.push_back(arg);
            continue;
        }
        if (arg == "-h") arg = "--help";
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            r.positional.push_back(arg);
            continue;
        }
        // --flag=value as well as --flag value.
        std::optional<std::string> inlineValue;
        const std::size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            inlineValue = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
        }
        auto value = [&](void) -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= argc) throw UsageError(arg + ": needs a value");
            return argv[++i];
        };
        bool handled = false;
        for (const OwnFlag &f : ownFlags) {
            if (arg == f.name) {
                if (!f.takesValue && inlineValue) throw UsageError(arg + ": takes no value");
                own->emplace_back(arg, f.takesValue ? value() : std::string());
                handled = true;
                break;
            }
        }
        if (handled) continue;
        const FlagRow *row = FindFlag(arg);
        if (row == nullptr) throw UsageError(arg + ": unknown flag (see vorlin COMMAND --help)");
        const std::string v = value();
        flags.emplace_back(arg, CheckedValue(*row, v));
    }
    // A place on the command line replaces the configured place as a whole,
    // a method the configured method and its settings.
    static const std::vector<std::string> PlaceFlags = {"--city", "--name", "--lat", "--lon", "--height",
                                                        "--tz", "--summer-start", "--summer-end"};
    static const std::vector<std::string> MethodFlags = {
        "--method", "--fajr", "--isha", "--imsak", "--maghrib-angle", "--isha-minutes",
        "--isha-minutes-ramadan", "--imsak-minutes", "--maghrib-minutes", "--adjust", "--asr", "--fiqh",
        "--midnight", "--twilight", "--shafaq", "--rounding"};
    auto given = [&flags](std::initializer_list<const char *> names) {
        for (const auto &f : flags)
            for (const char *n : names)
                if (f.first == n) return true;
        return false;
    };
    const bool placeGiven = given({"--city", "--lat", "--lon"}), methodGiven = given({"--method"});
    std::vector<std::pair<std::string, std::string>> defaults;
    for (const auto &setting : configured) {
        const std::string &name = setting.first;
        auto in = [&name](const std::vector<std::string> &group) {
            return std::find(group.begin(), group.end(), name) != group.end();
        };
        if ((placeGiven && in(PlaceFlags)) || (methodGiven && in(MethodFlags))) continue;
        defaults.emplace_back(name, CheckedValue(*FindFlag(name), setting.second));
    }
    flags.insert(flags.begin(), defaults.begin(), defaults.end());
    for (const auto &[arg, v] : flags) {
        if (arg == "--method") {
            const NamedMethod *method = FindNamedMethod(v.c_str());
            if (method == nullptr)
                throw UsageError("--method: no method '" + v + "' (methods: " + MethodNames() + ")");
            ApplyMethod(*method, r);
        } else if (arg == "--city") {
            ApplyPlace(v, r);
            cityGiven = true;
        }
    }
    bool imsakGiven = false, pointGiven = false, tzGiven = false, heightGiven = false,
         nameGiven = false, dateGiven = false, summerGiven = false;
    for (const auto &[arg, v] : flags) {
        VorConfig &c = r.config;
        VorTimesSettings &t = r.times;
        VorLocation &l = r.location;
        if (arg == "--method" || arg == "--city") {
            continue;
        } else if (arg == "--name") {
            if (v.size() > sizeof l.name - 1) throw UsageError("--name: longer than 47 bytes");
            std::memset(l.name, 0, sizeof l.name);
            std::memcpy(l.name, v.data(), v.size());
            nameGiven = true;
        } else if (arg == "--lat") {
            l.latitude = ParseNumber(arg, v);
            if (std::fabs(l.latitude) > 90.0) throw UsageError("--lat: must lie within -90..90");
            pointGiven = true;
        } else if (arg == "--lon") {
            l.longitude = ParseNumber(arg, v);
            if (std::fabs(l.longitude) > 180.0) throw UsageError("--lon: must lie within -180..180");
            pointGiven = true;
        } else if (arg == "--height") {
            l.height = ParseInteger(arg, v);
            if (l.height < -1000 || l.height > 20000)
                throw UsageError("--height: must lie within -1000..20000 metres");
            heightGiven = true;
        } else if (arg == "--tz") {
            char *end = nullptr;
            const double tz = std::strtod(v.c_str(), &end);
            if (!v.empty() && *end == '\0' && (std::isdigit(static_cast<unsigned char>(v[0])) ||
                                               v[0] == '-' || v[0] == '+' || v[0] == '.')) {
                if (!IsDecimal(v, false) || tz < -12.0 || tz > 14.0)
                    throw UsageError("--tz: must be a zone of the tz database or hours within -12..14, not '" + v + "'");
                l.timeZone = static_cast<float>(tz);
                r.clock = frontend::Clock::FixedOffset(tz);
            } else {
                try {
                    r.clock = frontend::Clock::Zone(v);
                } catch (const std::exception &) {
                    throw UsageError("--tz: no time zone '" + v +
                                     "' (a zone of the tz database such as Europe/London, or hours)");
                }
            }
            tzGiven = true;
        } else if (arg == "--summer-start" || arg == "--summer-end") {
            const int rule = ParseInteger(arg, v);
            const int month = rule >> 8, code = rule & 255;
            if (rule != 0 && (month < 1 || month > 12 || code < 1 || code > 66))
                throw UsageError(arg + ": must be 0 or month << 8 | day code (months 1..12, codes 1..66), not '" +
                                 v + "'");
            (arg == "--summer-start" ? l.summerStart : l.summerEnd) = rule;
            summerGiven = true;
        } else if (arg == "--encoding") {
            r.encoding = v;
        } else if (arg == "--date") {
            int y = 0, m = 0, d = 0;
            ParseDate(v, y, m, d);
            r.date.year = y;
            r.date.month = static_cast<uint8_t>(m);
            r.date.day = d;
            dateGiven = true;
        } else if (arg == "--imsak") {
            t.imsakAngle = ParseDepression(arg, v);
            t.imsakMinutes = 0;
            c.imsakAngle = static_cast<float>(-t.imsakAngle);
            imsakGiven = true;
        } else if (arg == "--fajr") {
            t.fajrAngle = ParseDepression(arg, v);
            c.fajrAngle = static_cast<float>(-t.fajrAngle);
        } else if (arg == "--isha") {
            t.ishaAngle = ParseDepression(arg, v);
            t.ishaMinutes = t.ishaMinutesRamadan = 0;
            c.ishaAngle = static_cast<float>(-t.ishaAngle);
        } else if (arg == "--maghrib-angle") {
            t.maghribAngle = ParseDepression(arg, v);
        } else if (arg == "--isha-minutes") {
            t.ishaMinutes = ParseMinutes(arg, v);
        } else if (arg == "--isha-minutes-ramadan") {
            t.ishaMinutesRamadan = ParseMinutes(arg, v);
        } else if (arg == "--imsak-minutes") {
            t.imsakMinutes = ParseMinutes(arg, v);
        } else if (arg == "--adjust") {
            ParseAdjustments(v, t.adjust);
        } else if (arg == "--asr") {
            const int asr = ParseWord(arg, v, {"standard", "shafii", "hanafi", "both"});
            r.asrBoth = asr == 3;
            t.asrFactor = asr == 2 ? 2 : 1;
            if (asr == 2) c.fiqh = 2;
            if (asr != 2 && c.fiqh == 2) c.fiqh = 1;
        } else if (arg == "--fiqh") {
            c.fiqh = ParseInteger(arg, v);
            if (c.fiqh < 0 || c.fiqh > 4) throw UsageError("--fiqh: must be 0..4");
            t.asrFactor = c.fiqh == 2 ? 2 : 1;
        } else if (arg == "--midnight") {
            t.midnight = ParseWord(arg, v, {"standard", "jafari"});
        } else if (arg == "--twilight") {
            t.twilight = ParseWord(arg, v, {"angles", "seasonal"});
        } else if (arg == "--shafaq") {
            t.shafaq = ParseWord(arg, v, {"general", "ahmer", "abyad"});
        } else if (arg == "--rounding") {
            t.rounding = ParseWord(arg, v, {"seconds", "nearest", "up", "down"});
            r.roundingGiven = true;
        } else if (arg == "--horizon-height") {
            t.horizonHeight = ParseInteger(arg, v);
            if (t.horizonHeight < 0 || t.horizonHeight > 100000)
                throw UsageError("--horizon-height: must lie within 0..100000 metres");
            r.horizonGiven = true;
        } else if (arg == "--distance") {
            c.distanceKm = t.distanceKm = ParseInteger(arg, v);
            if (c.distanceKm < 0 || c.distanceKm > 1000000)
                throw UsageError("--distance: must lie within 0..1000000 km");
        } else if (arg == "--precision") {
            c.precision = ParseInteger(arg, v);
            if (c.precision < 0 || c.precision > 1) throw UsageError("--precision: must be 0 or 1");
        } else if (arg == "--maghrib-minutes") {
            c.maghribMinutes = ParseInteger(arg, v);
            if (std::abs(c.maghribMinutes) > 1440)
                throw UsageError("--maghrib-minutes: must lie within -1440..1440");
            t.maghribMinutes = c.maghribMinutes;
        } else if (arg == "--temperature") {
            c.temperature = t.temperature = ParseInteger(arg, v);
        } else if (arg == "--pressure") {
            c.pressure = t.pressure = ParseInteger(arg, v);
        } else if (arg == "--safety-seconds") {
            c.safetySeconds = t.safetySeconds = ParseInteger(arg, v);
        } else if (arg == "--tolerance-seconds") {
            c.toleranceSeconds = t.toleranceSeconds = ParseInteger(arg, v);
        } else if (arg == "--crescent") {
            c.crescentThreshold = t.crescentThreshold = static_cast<float>(ParseNumber(arg, v));
        } else if (arg == "--high-latitude-rule") {
            static constexpr const char *Names[] = {"default", "none", "middle-of-night",
                                                    "seventh-of-night", "twilight-angle"};
            static constexpr int Values[] = {-1, 0, 10, 11, 12};
            bool named = false;
            for (int i = 0; i < 5; ++i) {
                if (v == Names[i]) {
                    t.highLatitude = Values[i];
                    named = true;
                }
            }
            if (!named) t.highLatitude = ParseInteger(arg, v);  // 1..9, checked by the flag's row
            c.highLatitudeRule = t.highLatitude >= 0 && t.highLatitude <= 9 ? t.highLatitude : 0;
        } else if (arg == "--fajr-isha-minutes") {
            c.fajrIshaMinutes = t.fajrIshaMinutes = ParseInteger(arg, v);
            if (c.fajrIshaMinutes < 0 || c.fajrIshaMinutes > 1440)
                throw UsageError("--fajr-isha-minutes: must lie within 0..1440");
        } else if (arg == "--hijri-adjust") {
            c.hijriAdjustDays = t.hijriAdjustDays = ParseInteger(arg, v);
        } else if (arg == "--calendar") {
            CalendarModeOfName(v.c_str(), &r.calendar.mode);  // the row checked the word
        } else if (arg == "--criterion") {
            r.calendar.crescent = ParseCriterion(v);
            r.criterionGiven = true;
        } else if (arg == "--level") {
            SightingLevelOfName(v.c_str(), &r.calendar.crescent.level);
        } else if (arg == "--region") {
            ParseRegion(v, r.calendar);
        } else {
            throw UsageError(arg + ": unknown flag (see vorlin COMMAND --help)");
        }
    }
    // A point of its own is not the default place: no name, height 0, and
    // the zone of the nearest place unless one was given.
    if (pointGiven && !cityGiven) {
        if (!nameGiven) std::memset(r.location.name, 0, sizeof r.location.name);
        if (!heightGiven) r.location.height = 0;
        if (!tzGiven) {
            const frontend::NearestPlace near =
                frontend::FindNearestPlace(r.location.latitude, r.location.longitude);
            if (near.place.name.empty() || near.distanceKm > NearestZoneKm) {
                char where[64];
                std::snprintf(where, sizeof where, "%.4f %.4f", r.location.latitude, r.location.longitude);
                r.clockProblem = std::string("no place within 100 km of ") + where +
                                 " to take a time zone from: give --tz (a zone such as "
                                 "Europe/London, or hours east of Greenwich)";
                r.clock = frontend::Clock::FixedOffset(0);
            } else {
            r.clock = frontend::Clock::Zone(near.place.zone);
            char note[256];
            std::snprintf(note, sizeof note, "zone %s from the nearest place, %s (%.0f km away); --tz to choose",
                          near.place.zone.c_str(), near.place.Label().c_str(), near.distanceKm);
            r.notes.push_back(note);
            }
        }
    }
    // The default place keeps its zone (opened only now: the tz database
    // costs a few milliseconds to open).
    if (!cityGiven && !pointGiven && !tzGiven) r.clock = frontend::Clock::Zone(DefaultZone);
    if (summerGiven && r.clock.IsZone())
        throw UsageError("--summer-start: goes with --tz HOURS (a zone brings its own summer time)");
    if (!r.clock.IsZone()) r.location.timeZone = static_cast<float>(r.clock.At(0).offsetSeconds / 3600.0);
    // Today is the place's today.
    if (!dateGiven) {
        const frontend::CivilDate today = r.clock.DateAt(static_cast<long long>(std::time(nullptr)));
        SetRequestDate(r, today.year, today.month, today.day);
    } else {
        SetRequestDate(r, r.date.year, r.date.month, static_cast<int>(r.date.day));
    }
    // Imsak follows Fajr (one degree deeper) unless it was given.
    if (!imsakGiven) r.config.imsakAngle = r.config.fajrAngle - 1.0f;
    // The report's minutes for the other formats, unless a rounding was chosen.
    if (!r.roundingGiven && r.config.precision == 1 && r.times.rounding == 0) r.times.rounding = 1;
    if (r.asrBoth) r.times.asrFactor = 1;
    // The calendar that says which days are Ramadan (Isha'a's Ramadan minutes).
    r.times.calendar = IsLibraryCalendar(r.calendar) ? VorCalendar{} : CalendarRuleToRecord(r.calendar);
    if (r.times.shafaq != 0 && r.times.twilight == 0)
        throw UsageError("--shafaq: applies to the seasonal twilight (--twilight seasonal or "
                         "--method MoonsightingCommittee)");
    const UnusableSetting bad = FirstUnusableSetting(r.times);
    if (bad.field != nullptr)
        throw UsageError(std::string(FlagOfField(bad.field)) + ": must lie within " + bad.range);
    PrintNotes(r);
    return r;
}

}  // namespace vorlin::cli

namespace vorlin::cli {

void SetRequestDate(Request &r, int year, int month, int day) {
    r.date.year = year;
    r.date.month = static_cast<uint8_t>(month);
    r.date.day = day;
    if (r.clock.IsZone() && IsValidDate(r.date, 0) == 1) {
        // The legacy records of this date: the zone's standard offset.
        const frontend::ClockReading noon = r.clock.AtLocalNoon({year, month, day});
        r.location.timeZone = static_cast<float>((noon.offsetSeconds - noon.savingSeconds) / 3600.0);
        r.location.summerStart = r.location.summerEnd = 0;
    }
}

void RequireClock(const Request &r) {
    if (!r.clockProblem.empty()) throw UsageError(r.clockProblem);
}

void PrintNotes(const Request &r) {
    for (const std::string &note : r.notes) Complain("vorlin: note: %s\n", note.c_str());
}

namespace {

long long DayNumberOf(const VorDate &date) { return std::llround(DateToJulianDay(date) + 0.5); }

VorDate DateOfDayNumber(long long n) {
    VorDate d{};
    JulianDayToDate(static_cast<double>(n) - 0.5, d);
    d.day = std::floor(d.day);
    return d;
}

frontend::CivilDate Civil(const VorDate &d) { return {d.year, d.month, static_cast<int>(d.day)}; }

// The day code (1..66, see the summer-time rules) naming day `day` of
// `month` in every one of the years, weekday codes first; 0 when none does.
int RuleCode(int month, const std::vector<std::pair<int, int>> &yearsAndDays) {
    for (int weekday = 0; weekday < 7; ++weekday) {
        for (const int occurrence : {4, 0, 1, 2, 3}) {  // "last" before "fourth"
            const int code = 32 + weekday * 5 + occurrence;
            bool all = true;
            for (const auto &[year, day] : yearsAndDays)
                all = all && SummerRuleDay(code - 32, month, year) == day;
            if (all) return code;
        }
    }
    const int day = yearsAndDays.front().second;
    for (const auto &yd : yearsAndDays)
        if (yd.second != day) return 0;
    return day;
}

}  // namespace

std::string FeedLegacyClock(Request &r, const VorDate &first, const VorDate &last) {
    if (!r.clock.IsZone()) return "";
    const std::string zone = r.clock.Name();
    const long long a = DayNumberOf(first), b = DayNumberOf(last);
    int lo = 0, hi = 0;
    for (long long n = a; n <= b; ++n) {  // at most a few hundred days
        const VorDate d = DateOfDayNumber(n);
        if (!r.clock.HasDate(Civil(d))) {
            char text[96];
            std::snprintf(text, sizeof text, "%04d-%02d-%02d (a date the clock of %s skips)", d.year,
                          d.month, static_cast<int>(d.day), zone.c_str());
            return text;
        }
        const int offset = r.clock.AtLocalNoon(Civil(d)).offsetSeconds;
        if (n == a) lo = hi = offset;
        lo = std::min(lo, offset);
        hi = std::max(hi, offset);
    }
    r.location.timeZone = static_cast<float>(lo / 3600.0);
    r.location.summerStart = r.location.summerEnd = 0;
    if (lo == hi) return "";
    const std::string cannot = "the clock of " + zone + " over these days (its changes are not the "
                               "report's one summer hour a year)";
    if (hi - lo != 3600) return cannot;
    // The zone's summer in each year of the days: one start and one end.
    int startMonth = 0, endMonth = 0;
    std::vector<std::pair<int, int>> starts, ends;
    for (int year = first.year; year <= last.year; ++year) {
        int on = 0, off = 0, onMonth = 0, offMonth = 0, onDay = 0, offDay = 0;
        bool previous = false;
        VorDate jan1{};
        jan1.year = year;
        jan1.month = 1;
        jan1.day = 1;
        const long long y0 = DayNumberOf(jan1);
        for (long long n = y0 - 1; DateOfDayNumber(n).year <= year; ++n) {  // 367 days at most
            const VorDate d = DateOfDayNumber(n);
            if (!r.clock.HasDate(Civil(d))) return cannot;
            const int offset = r.clock.AtLocalNoon(Civil(d)).offsetSeconds;
            if (offset != lo && offset != hi) return cannot;
            const bool summer = offset == hi;
            if (n >= y0 && summer != previous) {
                (summer ? on : off) += 1;
                (summer ? onMonth : offMonth) = d.month;
                (summer ? onDay : offDay) = static_cast<int>(d.day);
            }
            previous = summer;
        }
        if (on != 1 || off != 1 || onMonth == offMonth) return cannot;
        if ((startMonth != 0 && startMonth != onMonth) || (endMonth != 0 && endMonth != offMonth)) return cannot;
        startMonth = onMonth;
        endMonth = offMonth;
        starts.emplace_back(year, onDay);
        ends.emplace_back(year, offDay);
    }
    const int startCode = RuleCode(startMonth, starts), endCode = RuleCode(endMonth, ends);
    if (startCode == 0 || endCode == 0) return cannot;
    r.location.summerStart = startMonth << 8 | startCode;
    r.location.summerEnd = endMonth << 8 | endCode;
    for (long long n = a; n <= b; ++n) {  // the rules give the zone's clock on every day
        const VorDate d = DateOfDayNumber(n);
        const bool summer = r.clock.AtLocalNoon(Civil(d)).offsetSeconds == hi;
        if ((IsSummerTime(r.location.summerStart, r.location.summerEnd, d) == 1) != summer) return cannot;
    }
    return "";
}

}  // namespace vorlin::cli
