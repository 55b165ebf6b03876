// `vorlin qibla`: direction and distance of the Kaaba from a place and the
// magnetic declination there, through the library's VorQiblaInfo export.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "output.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "json_out.h"
#include "options.h"
#include "terminal.h"
#include "qibla/magnetic_declination.h"
#include "qibla/qibla.h"

namespace vorlin::cli {
namespace {

// The 16-point compass rose name of an azimuth in degrees.
const char *CompassPoint(double degrees) {
    static constexpr const char *Points[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                               "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    const int index = static_cast<int>(std::floor(degrees / 22.5 + 0.5)) % 16;
    return Points[index < 0 ? index + 16 : index];
}

// An azimuth in degrees reduced to [0, 360), and rounded to hundredths so
// that 359.996 is shown as 0.00 and not as 360.00; -0 becomes 0.
double ShownAzimuth(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) d += 360.0;
    d = std::round(d * 100.0) / 100.0;
    return d >= 360.0 || d == 0.0 ? 0.0 : d;
}

std::string Coordinates(const VorLocation &l) {
    char text[96];
    std::snprintf(text, sizeof text, "%.4f %c, %.4f %c, %d m", std::fabs(l.latitude),
                  l.latitude < 0.0 ? 'S' : 'N', std::fabs(l.longitude), l.longitude < 0.0 ? 'W' : 'E',
                  l.height);
    return text;
}

bool HasFlag(int argc, char **argv, int first, const char *flag) {
    for (int i = first; i < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0) return true;
    return false;
}

}  // namespace

int RunQibla(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("qibla"), &own);
    const bool json = WantsJson(own);
    bool help = false;
    for (const auto &f : own) help = help || f.first == "--help";
    if (help) {
        Out(
            "usage: vorlin qibla [Y-M-D] [flags]\n"
            "Prints the direction of the qibla (the great-circle course to the Kaaba,\n"
            "degrees clockwise from true north), the distance to the Kaaba along the earth\n"
            "ellipsoid, and the magnetic declination at the place on the date, so that the\n"
            "direction can be set with a compass: compass direction = true direction -\n"
            "declination.  The declination comes from the World Magnetic Model made for the\n"
            "date, named in the output: WMM2000 before 2005, then WMM2005, WMM2010,\n"
            "WMM2015v2, WMM2020 and WMM2025, each for its five years; before 2000 (WMM2000)\n"
            "and after 2030 (WMM2025) it is extrapolated and less accurate.\n"
            "The date defaults to --date or today.  Exit status 0, or 2 for a usage error.\n"
            "--format json gives {\"date\", \"place\", \"direction\", \"distanceKm\",\n"
            "\"declination\", \"fieldModel\", \"extrapolated\", \"compass\"} (degrees).\n"
            "examples: vorlin qibla --name London --lat 51.5 --lon -0.1 --height 0\n"
            "          vorlin qibla 2000-01-01 --name \"New York\" --lat 40.7 --lon -74 --height 10\n"
            "%s",
            PlaceAndSettingsHelp);
        return 0;
    }
    if (r.positional.size() > 1) throw UsageError("qibla takes at most one date");
    VorDate date = r.date;
    if (!r.positional.empty()) {
        int y = 0, m = 0, d = 0;
        ParseDate(r.positional[0], y, m, d);
        date = VorDate{};
        date.year = y;
        date.month = static_cast<uint8_t>(m);
        date.day = d;
    }
    char dateText[32];
    std::snprintf(dateText, sizeof dateText, "%d-%02d-%02d", date.year, date.month, static_cast<int>(date.day));
    if (IsValidDate(date, 0) != 1)
        throw UsageError((r.positional.empty() ? "--date: " : "") + std::string(dateText) + " is not a valid civil date");

    // The default place is Makkah; other coordinates without a --name are
    // shown by their coordinates alone, not under Makkah's name.
    const bool named = HasFlag(argc, argv, first, "--name") || HasFlag(argc, argv, first, "--city") ||
                       !(HasFlag(argc, argv, first, "--lat") || HasFlag(argc, argv, first, "--lon"));
    const std::string place = Coordinates(r.location);

    double direction = 0.0, distance = 0.0, declination = 0.0;
    VorQiblaInfo(&r.location, &date, &direction, &distance, &declination);
    if (json) {
        const MagneticModelUse model = MagneticModelFor(date);
        Json doc;
        doc["date"] = dateText;
        doc["place"] = PlaceJson(r);
        doc["direction"] = direction;
        doc["distanceKm"] = distance;
        doc["declination"] = declination;
        doc["fieldModel"] = model.name;
        doc["extrapolated"] = model.extrapolated;
        doc["compass"] = distance == 0.0 ? Json(nullptr) : Json(std::fmod(direction - declination + 720.0, 360.0));
        PrintJson(doc);
        return 0;
    }
    if (named && r.location.name[0] != '\0')
        Out("Qibla from %s (%s) on %s\n", ForTerminal(r.location.name, r).c_str(), place.c_str(), dateText);
    else
        Out("Qibla from %s on %s\n", place.c_str(), dateText);

    // At the Kaaba, and at its antipode, the library reports direction 0.
    const bool atKaaba = distance == 0.0;
    const bool atAntipode = distance == HalfMeridianKm() && direction == 0.0;
    const double shown = ShownAzimuth(direction);
    if (atKaaba)
        Out("Direction:   %.2f deg (the place is at the Kaaba)\n", shown);
    else if (atAntipode)
        Out("Direction:   %.2f deg (N; at the Kaaba's antipode every direction leads there)\n", shown);
    else
        Out("Direction:   %.2f deg (%s) clockwise from true north\n", shown, CompassPoint(shown));
    Out("Distance:    %.1f km\n", distance);

    const MagneticModelUse model = MagneticModelFor(date);
    double shownDeclination = std::round(declination * 100.0) / 100.0;
    if (shownDeclination == 0.0) shownDeclination = 0.0;  // no "-0.00"
    Out("Declination: %+.2f deg (%s), field model %s%s\n", shownDeclination,
                shownDeclination > 0.0 ? "east" : shownDeclination < 0.0 ? "west" : "none", model.name,
                model.extrapolated ? ", extrapolated" : "");
    const double compass = ShownAzimuth(direction - declination);
    if (!atKaaba && !atAntipode)
        Out("Compass:     %.2f deg (%s) magnetic (true direction - declination)\n", compass,
                    CompassPoint(compass));
    // Before 2000.0 and after 2030.0 no model is made for the date.
    if (model.extrapolated)
        Out("Note: the field model %s is made for %.1f-%.1f; for this date the\n"
                    "      declination is extrapolated and less accurate.\n",
                    model.name, model.firstYear, model.lastYear);
    return 0;
}

}  // namespace vorlin::cli
