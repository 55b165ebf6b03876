#include "options.h"

#include "cities.h"
#include "methods.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace vorlin::cli {

const char *const PlaceAndSettingsHelp =
    "Place (default: Makkah, 21.4225 N 39.8262 E, 300 m, zone +3, no summer time):\n"
    "  --city NAME         a place of the embedded table (vorlin cities), any case\n"
    "  --name TEXT         place name printed in reports (at most 47 bytes)\n"
    "  --lat DEG           latitude, degrees north positive\n"
    "  --lon DEG           longitude, degrees east positive\n"
    "  --height M          height above sea level, metres\n"
    "  --tz HOURS          standard-time zone, hours east of Greenwich\n"
    "  --summer-start RULE --summer-end RULE   summer-time rules (0 = none;\n"
    "                      month << 8 | day code, e.g. 834 and 2626 for the EU)\n"
    "Date:\n"
    "  --date Y-M-D        civil date (default: today)\n"
    "Settings (defaults in brackets; the default method is MWL, Shafi'i Asr):\n"
    "  --method NAME       a named method (vorlin methods): sets the three angles,\n"
    "                      the fiqh and the high-latitude rule fields\n"
    "  --imsak DEG [-19]  --fajr DEG [-18]  --isha DEG [-17]  (Sun below horizon)\n"
    "  --fiqh N [1]        0 Jafari, 1 Shafi'i, 2 Hanafi, 3 Maliki, 4 Hanbali\n"
    "  --distance KM [0]  --precision N [0 seconds, 1 minutes]\n"
    "  --maghrib-minutes N [0]  --temperature C [10]  --pressure MBAR [0 = from height]\n"
    "  --safety-seconds N [0]  --tolerance-seconds N [1]\n"
    "  --crescent DEG [20] crescent test: Moon altitude above the Sun plus elongation\n"
    "                      at sunset; 20 about best separates seen from unseen young\n"
    "                      crescents in some 5,300 published observations\n"
    "  --high-latitude-rule N [0]  --fajr-isha-minutes N [90]  --hijri-adjust DAYS [0]\n"
    "--city and --method are applied first: any other flag overrides them, in any\n"
    "order.\n";

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

double ParseNumber(const std::string &flag, const std::string &text) {
    char *end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(v))
        throw UsageError(flag + " expects a number, not '" + text + "'");
    return v;
}

int ParseInteger(const std::string &flag, const std::string &text) {
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < -2147483647L || v > 2147483647L)
        throw UsageError(flag + " expects a whole number, not '" + text + "'");
    return static_cast<int>(v);
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

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    r.date.year = local.tm_year + 1900;
    r.date.month = static_cast<uint8_t>(local.tm_mon + 1);
    r.date.day = local.tm_mday;
    return r;
}

Request ParseRequest(int argc, char **argv, int first, const std::vector<OwnFlag> &ownFlags,
                     std::vector<std::pair<std::string, std::string>> *own) {
    Request r = DefaultRequest();
    // First the command line is split into flags with their values, so that
    // --method and --city can be applied before every other flag: a field's
    // own flag then wins wherever it stands.
    std::vector<std::pair<std::string, std::string>> flags;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            r.positional.push_back(arg);
            continue;
        }
        bool handled = false;
        for (const OwnFlag &f : ownFlags) {
            if (arg == f.name) {
                std::string value;
                if (f.takesValue) {
                    if (i + 1 >= argc) throw UsageError(arg + " needs a value");
                    value = argv[++i];
                }
                own->emplace_back(arg, value);
                handled = true;
                break;
            }
        }
        if (handled) continue;
        if (i + 1 >= argc) throw UsageError("unknown flag or missing value: " + arg);
        flags.emplace_back(arg, argv[++i]);
    }
    for (const auto &[arg, v] : flags) {
        if (arg == "--method") {
            const CalculationMethod *method = FindCalculationMethod(v);
            if (method == nullptr)
                throw UsageError("unknown method '" + v + "' (methods: " + CalculationMethodNames() + ")");
            ApplyCalculationMethod(*method, r.config);
        } else if (arg == "--city") {
            const City *city = FindCity(v);
            if (city == nullptr) {
                const std::string near = NearCityNames(v, 5);
                throw UsageError("unknown city '" + v + "' (" +
                                 (near.empty() ? std::string("see vorlin cities")
                                               : "did you mean: " + near + "?") +
                                 ")");
            }
            ApplyCity(*city, r.location);
        }
    }
    for (const auto &[arg, v] : flags) {
        VorConfig &c = r.config;
        VorLocation &l = r.location;
        if (arg == "--method" || arg == "--city") {
            continue;
        } else if (arg == "--name") {
            if (v.size() > sizeof l.name - 1) throw UsageError("--name is longer than 47 bytes");
            std::memset(l.name, 0, sizeof l.name);
            std::memcpy(l.name, v.data(), v.size());
        } else if (arg == "--lat") {
            l.latitude = ParseNumber(arg, v);
            if (std::fabs(l.latitude) > 90.0) throw UsageError("--lat must lie within -90..90");
        } else if (arg == "--lon") {
            l.longitude = ParseNumber(arg, v);
            if (std::fabs(l.longitude) > 180.0) throw UsageError("--lon must lie within -180..180");
        } else if (arg == "--height") {
            l.height = ParseInteger(arg, v);
        } else if (arg == "--tz") {
            const double tz = ParseNumber(arg, v);
            if (std::fabs(tz) > 14.0) throw UsageError("--tz must lie within -14..14");
            l.timeZone = static_cast<float>(tz);
        } else if (arg == "--summer-start") {
            l.summerStart = ParseInteger(arg, v);
        } else if (arg == "--summer-end") {
            l.summerEnd = ParseInteger(arg, v);
        } else if (arg == "--date") {
            int y = 0, m = 0, d = 0;
            ParseDate(v, y, m, d);
            r.date.year = y;
            r.date.month = static_cast<uint8_t>(m);
            r.date.day = d;
        } else if (arg == "--imsak") {
            c.imsakAngle = static_cast<float>(ParseNumber(arg, v));
        } else if (arg == "--fajr") {
            c.fajrAngle = static_cast<float>(ParseNumber(arg, v));
        } else if (arg == "--isha") {
            c.ishaAngle = static_cast<float>(ParseNumber(arg, v));
        } else if (arg == "--fiqh") {
            c.fiqh = ParseInteger(arg, v);
            if (c.fiqh < 0 || c.fiqh > 4) throw UsageError("--fiqh must be 0..4");
        } else if (arg == "--distance") {
            c.distanceKm = ParseInteger(arg, v);
        } else if (arg == "--precision") {
            c.precision = ParseInteger(arg, v);
            if (c.precision < 0 || c.precision > 1) throw UsageError("--precision must be 0 or 1");
        } else if (arg == "--maghrib-minutes") {
            c.maghribMinutes = ParseInteger(arg, v);
        } else if (arg == "--temperature") {
            c.temperature = ParseInteger(arg, v);
        } else if (arg == "--pressure") {
            c.pressure = ParseInteger(arg, v);
        } else if (arg == "--safety-seconds") {
            c.safetySeconds = ParseInteger(arg, v);
        } else if (arg == "--tolerance-seconds") {
            c.toleranceSeconds = ParseInteger(arg, v);
        } else if (arg == "--crescent") {
            c.crescentThreshold = static_cast<float>(ParseNumber(arg, v));
        } else if (arg == "--high-latitude-rule") {
            c.highLatitudeRule = ParseInteger(arg, v);
            if (c.highLatitudeRule < 0 || c.highLatitudeRule > 9)
                throw UsageError("--high-latitude-rule must be 0..9");
        } else if (arg == "--fajr-isha-minutes") {
            c.fajrIshaMinutes = ParseInteger(arg, v);
        } else if (arg == "--hijri-adjust") {
            c.hijriAdjustDays = ParseInteger(arg, v);
        } else {
            throw UsageError("unknown flag: " + arg);
        }
    }
    return r;
}

}  // namespace vorlin::cli
