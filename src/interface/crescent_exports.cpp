// The exports of the Hijri calendar in a chosen mode (VorCivilToHijri,
// VorHijriToCivil) and of the young crescent of an evening
// (VorCrescentEvening).  The host's records are read through their size
// fields and never changed but for the fields a conversion writes (the
// location is converted to radians on a copy); a result record is written
// only within the host's size.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "astro/constants.h"
#include "calendar/calendar_modes.h"
#include "calendar/julian_day.h"
#include "interface/calendar_record.h"
#include "interface/input_guard.h"
#include "moon/crescent.h"
#include "vorlin.h"

namespace vorlin {
namespace {

constexpr double UnixEpochJd = 2440587.5;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// Civil years the crescent is given for, as the day's times are.
constexpr int32_t FirstYear = 1;
constexpr int32_t LastYear = 9999;



// The host's location with latitude and longitude in radians.
VorLocation InRadians(const VorLocation &location) {
    VorLocation place = location;
    place.latitude *= DegToRad;
    place.longitude *= DegToRad;
    return place;
}

double UnixOfJd(double jdUt) { return (jdUt - UnixEpochJd) * 86400.0; }

// An instant given as radians of the local day dayJd in a zone of hours east.
double UnixOfLocal(double dayJd, double radiansOfDay, double zoneHours) {
    return UnixOfJd(dayJd + (radiansOfDay * RadToHour - zoneHours) / 24.0);
}

VorCrescentGeometry InDegrees(const CrescentGeometry &g) {
    VorCrescentGeometry r{};
    r.arclGeo = g.arclGeo * RadToDeg;
    r.arclTopo = g.arclTopo * RadToDeg;
    r.arcvGeo = g.arcvGeo * RadToDeg;
    r.arcvTopo = g.arcvTopo * RadToDeg;
    r.daz = g.daz * RadToDeg;
    r.widthArcmin = g.widthArcmin;
    r.illuminated = g.illuminated;
    r.moonAltitude = g.moonAltitude * RadToDeg;
    r.sunAltitude = g.sunAltitude * RadToDeg;
    return r;
}

VorCrescentGeometry NoGeometry() {
    VorCrescentGeometry r{};
    r.arclGeo = r.arclTopo = r.arcvGeo = r.arcvTopo = r.daz = NaN;
    r.widthArcmin = r.illuminated = r.moonAltitude = r.sunAltitude = NaN;
    return r;
}

// The record of unusable input: status 0, every number NaN, every zone 0.
VorCrescent NoValueRecord() {
    VorCrescent r{};
    r.size = sizeof r;
    r.sunsetUnix = r.moonsetUnix = r.bestTimeUnix = r.lagMinutes = NaN;
    r.conjunctionGeoUnix = r.conjunctionTopoUnix = r.ageGeoHours = r.ageTopoHours = NaN;
    r.atSunset = r.atBest = NoGeometry();
    for (double &v : r.criterionValue) v = NaN;
    return r;
}

VorCrescent ToRecord(const EveningCrescent &e, double zoneHours, double thresholdDegrees) {
    VorCrescent r = NoValueRecord();
    r.status = e.status == 1 ? 1 : 0;
    r.conjunctionGeoUnix = UnixOfJd(e.conjunctionGeoUt);
    r.conjunctionTopoUnix = UnixOfJd(e.conjunctionTopoUt);
    if (!IsTimeMarker(e.sunset)) r.sunsetUnix = UnixOfLocal(e.dayJd, e.sunset, zoneHours);
    if (r.status == 1) {
        r.moonsetUnix = UnixOfLocal(e.dayJd, e.moonset, zoneHours);
        r.bestTimeUnix = UnixOfJd(e.atBest.ut);
        r.lagMinutes = e.lagMinutes;
        r.ageGeoHours = e.ageGeoHours;
        r.ageTopoHours = e.ageTopoHours;
        r.atSunset = InDegrees(e.atSunset);
        r.atBest = InDegrees(e.atBest);
    }
    for (int i = 0; i < CrescentCriterionCount; ++i) {
        const CrescentVerdict v = JudgeCrescent(e, static_cast<CrescentCriterion>(i), thresholdDegrees);
        r.criterionValue[i] = v.value;
        r.criterionZone[i] = v.zone;
    }
    return r;
}

// Writes the library's record into the host's record of `size` bytes (at
// least 8): the fields that fit, keeping the host's size field.
void WriteCrescent(const VorCrescent &record, VorCrescent *host, int32_t size) {
    const std::size_t n = static_cast<std::size_t>(size) < sizeof record
                              ? static_cast<std::size_t>(size)
                              : sizeof record;
    std::memcpy(reinterpret_cast<char *>(host) + sizeof(int32_t),
                reinterpret_cast<const char *>(&record) + sizeof(int32_t), n - sizeof(int32_t));
}

// Everything a conversion needs, read and checked once: the rule, the
// place in radians and the guarded configuration.
struct Conversion {
    CalendarRule rule;
    VorLocation place;
    VorConfig config;
};

bool ReadConversion(const VorCalendar *calendar, const VorDate &date, int hijri,
                    const VorLocation *location, const VorConfig *config, Conversion &c) {
    if (location == nullptr || config == nullptr || !CalendarRecordToRule(calendar, c.rule) ||
        IsUsableLocation(*location) == 0 || IsConvertibleDate(date, hijri) == 0) {
        return false;
    }
    c.place = InRadians(*location);
    c.config = GuardedConfig(*config);
    return true;
}

}  // namespace
}  // namespace vorlin

using namespace vorlin;

extern "C" {

VORLIN_API int32_t VORLIN_CALL VorCivilToHijri(const VorCalendar *calendar, VorDate *date,
                                               const VorLocation *location,
                                               const VorConfig *config) {
    if (date == nullptr) return 0;
    Conversion c;
    if (!ReadConversion(calendar, *date, 0, location, config, c)) {
        date->hijriValid = 0;
        return 0;
    }
    return CivilToHijriOfRule(c.rule, *date, c.place, c.config) == 1 ? 1 : 0;
}

VORLIN_API int32_t VORLIN_CALL VorHijriToCivil(const VorCalendar *calendar, VorDate *date,
                                               const VorLocation *location,
                                               const VorConfig *config) {
    if (date == nullptr) return 0;
    Conversion c;
    if (!ReadConversion(calendar, *date, 1, location, config, c)) return 0;
    return HijriToCivilOfRule(c.rule, *date, c.place, c.config) == 1 ? 1 : 0;
}

VORLIN_API int32_t VORLIN_CALL VorCrescentEvening(const VorDate *date, const VorLocation *location,
                                                  const VorConfig *config, VorCrescent *out) {
    if (out == nullptr || out->size < 8) return 0;
    const int32_t size = out->size;
    if (date == nullptr || location == nullptr || config == nullptr ||
        IsValidDate(*date, 0) != 1 || date->year < FirstYear || date->year > LastYear ||
        IsUsableLocation(*location) == 0 ||
        !(std::fabs(static_cast<double>(config->crescentThreshold)) <=
          GuardLargestConfigAngleDegrees)) {
        WriteCrescent(NoValueRecord(), out, size);
        return 0;
    }
    VorDate day{};
    day.year = date->year;
    day.month = date->month;
    day.day = std::floor(date->day);
    const VorLocation place = InRadians(*location);
    const VorConfig guarded = GuardedConfig(*config);
    EveningCrescent evening{};
    ComputeEveningCrescent(day, place, guarded, evening);
    WriteCrescent(ToRecord(evening, static_cast<double>(place.timeZone),
                           static_cast<double>(guarded.crescentThreshold)),
                  out, size);
    return evening.status == 1 ? 1 : 0;
}

}  // extern "C"
