#include "interface/input_guard.h"

#include <cmath>
#include <limits>

namespace vorlin {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// |value| <= limit, false for NaN.
bool Within(double value, double limit) { return std::fabs(value) <= limit; }

bool UsableAngle(float degrees) {
    return Within(static_cast<double>(degrees), GuardLargestConfigAngleDegrees);
}

bool UsableTimeZone(const VorLocation &location) {
    return Within(static_cast<double>(location.timeZone), GuardLargestTimeZoneHours);
}

bool UsableHeight(const VorLocation &location) {
    return location.height >= GuardLowestHeightMetres &&
           location.height <= GuardHighestHeightMetres;
}

}  // namespace

int HasUsableCoordinates(const VorLocation &location) {
    return Within(location.latitude, GuardLargestLatitudeDegrees) &&
                   Within(location.longitude, GuardLargestLongitudeDegrees)
               ? 1
               : 0;
}

int IsUsableLocation(const VorLocation &location) {
    return HasUsableCoordinates(location) == 1 && UsableTimeZone(location) &&
                   UsableHeight(location)
               ? 1
               : 0;
}

VorLocation GuardedLocation(const VorLocation &location) {
    VorLocation guarded = location;
    if (IsUsableLocation(location) == 0) {
        guarded.latitude = kNaN;
        guarded.longitude = kNaN;
        if (!UsableTimeZone(location)) guarded.timeZone = std::numeric_limits<float>::quiet_NaN();
    }
    return guarded;
}

int IsUsableConfig(const VorConfig &config) {
    return UsableAngle(config.imsakAngle) && UsableAngle(config.fajrAngle) &&
                   UsableAngle(config.ishaAngle) && UsableAngle(config.crescentThreshold) &&
                   config.toleranceSeconds >= 1
               ? 1
               : 0;
}

VorConfig GuardedConfig(const VorConfig &config) {
    VorConfig guarded = config;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (!UsableAngle(config.imsakAngle)) guarded.imsakAngle = nan;
    if (!UsableAngle(config.fajrAngle)) guarded.fajrAngle = nan;
    if (!UsableAngle(config.ishaAngle)) guarded.ishaAngle = nan;
    if (!UsableAngle(config.crescentThreshold)) guarded.crescentThreshold = nan;
    if (config.toleranceSeconds < 1) guarded.toleranceSeconds = 1;
    return guarded;
}

int HasFiniteDay(const VorDate &date, int hijri) {
    const double day = hijri == 0 ? date.day : date.hijriDay;
    return std::isfinite(day) ? 1 : 0;
}

int IsConvertibleDate(const VorDate &date, int hijri) {
    const int month = hijri == 0 ? date.month : date.hijriMonth;
    return HasFiniteDay(date, hijri) == 1 && month >= 1 && month <= 12 ? 1 : 0;
}

}  // namespace vorlin
