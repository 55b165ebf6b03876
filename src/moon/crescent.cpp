#include "moon/crescent.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/lunar_phases.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"
#include "moon/moon_data_at_sunset.h"
#include "prayer/sun_events.h"

namespace vorlin {

namespace {

constexpr double BestTimeFraction = 4.0 / 9.0;
constexpr double SecondToDay = 1.0 / 86400.0;

CrescentGeometry GeometryAt(double dayJd, double time, const VorLocation &loc, const VorConfig &cfg) {
    MoonDataAtSunset md{};
    ComputeMoonDataAtSunset(dayJd, time, &loc, &cfg, &md);
    CrescentGeometry g{};
    g.ut = md.sunsetUt;
    g.arclGeo = md.geoElongation;
    g.arclTopo = md.topoElongation;
    g.arcvGeo = md.moonGeoAltitude - md.sunGeoAltitude;
    g.arcvTopo = md.moonAirlessAltitude - md.sunAirlessAltitude;
    g.daz = NormalizeAngleSigned(md.sunAzimuth - md.moonAzimuth);
    g.widthArcmin = md.moonTopoSemidiameter * (1.0 - std::cos(md.topoElongation)) * RadToDeg * 60.0;
    g.illuminated = md.illuminated;
    g.moonAltitude = md.moonAltitude;
    g.sunAltitude = md.sunAltitude;
    g.visibility = md.moonAltitude - md.sunAltitude + md.topoElongation;
    return g;
}

}  // namespace

namespace {

// The evening's sunset, moonset, lag and geometry; the conjunctions and the
// ages are left to the caller.
void EveningGeometry(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                     EveningCrescent &out) {
    out = EveningCrescent{};
    VorDate day{};
    day.year = date.year;
    day.month = date.month;
    day.day = std::floor(date.day);
    out.dayJd = DateToJulianDay(day);
    const double deltaT = DeltaT(JulianCenturies(out.dayJd));
    out.status = EveningOfDay(out.dayJd, deltaT, &loc, &cfg, &out.sunset, &out.moonset);
    if (out.status != 1) return;
    out.lagMinutes = (out.moonset - out.sunset) * RadToHour * 60.0;
    out.atSunset = GeometryAt(out.dayJd, out.sunset, loc, cfg);
    const double best = out.lagMinutes > 0.0 ? out.sunset + BestTimeFraction * (out.moonset - out.sunset)
                                             : out.sunset;
    out.atBest = GeometryAt(out.dayJd, best, loc, cfg);
}

}  // namespace

void ComputeEveningCrescent(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                            EveningCrescent &out) {
    EveningGeometry(date, loc, cfg, out);
    // The conjunctions nearest the evening: the first new moon from half a
    // lunation before the day.
    VorDate from{};
    JulianDayToDate(out.dayJd - 14.77, from);
    double geo = 0.0, topo = 0.0;
    FindNewMoons(&from, &loc, &geo, &topo);
    const double zone = static_cast<double>(loc.timeZone) / 24.0;
    const double shift = zone + DeltaT(JulianCenturies(topo)) * SecondToDay;
    out.conjunctionGeoUt = geo - shift;
    out.conjunctionTopoUt = topo - shift;
    if (out.status != 1) return;
    out.ageGeoHours = (out.atSunset.ut - out.conjunctionGeoUt) * 24.0;
    out.ageTopoHours = (out.atSunset.ut - out.conjunctionTopoUt) * 24.0;
}

void ComputeEveningCrescentAfter(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                                 double conjunctionGeoUt, EveningCrescent &out) {
    EveningGeometry(date, loc, cfg, out);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    out.conjunctionGeoUt = conjunctionGeoUt;
    out.conjunctionTopoUt = nan;
    out.ageTopoHours = nan;
    if (out.status != 1) return;
    out.ageGeoHours = (out.atSunset.ut - conjunctionGeoUt) * 24.0;
}

double YallopQ(double arcvDegrees, double widthArcmin) {
    const double w = widthArcmin;
    return (arcvDegrees - (11.8371 - 6.3226 * w + 0.7319 * w * w - 0.1018 * w * w * w)) / 10.0;
}

char YallopZone(double q) {
    if (q > 0.216) return 'A';
    if (q > -0.014) return 'B';
    if (q > -0.160) return 'C';
    if (q > -0.232) return 'D';
    if (q > -0.293) return 'E';
    return 'F';
}

double OdehV(double arcvDegrees, double widthArcmin) {
    const double w = widthArcmin;
    return arcvDegrees - (-0.1018 * w * w * w + 0.7319 * w * w - 6.3226 * w + 7.1651);
}

char OdehZone(double v) {
    if (v >= 5.65) return 'A';
    if (v >= 2.0) return 'B';
    if (v >= -0.96) return 'C';
    return 'D';
}

namespace {

constexpr const char *CriterionNames[CrescentCriterionCount] = {"default", "yallop", "arcv-width",
                                                                 "danjon"};
constexpr const char *LevelNames[2] = {"naked-eye", "optical-aid"};

}  // namespace

const char *CrescentCriterionName(CrescentCriterion criterion) {
    return CriterionNames[static_cast<int>(criterion)];
}

bool CrescentCriterionOfName(const char *name, CrescentCriterion *criterion) {
    for (int i = 0; i < CrescentCriterionCount; ++i) {
        if (std::strcmp(name, CriterionNames[i]) == 0) {
            *criterion = static_cast<CrescentCriterion>(i);
            return true;
        }
    }
    return false;
}

const char *SightingLevelName(SightingLevel level) { return LevelNames[static_cast<int>(level)]; }

bool SightingLevelOfName(const char *name, SightingLevel *level) {
    for (int i = 0; i < 2; ++i) {
        if (std::strcmp(name, LevelNames[i]) == 0) {
            *level = static_cast<SightingLevel>(i);
            return true;
        }
    }
    return false;
}

CrescentVerdict JudgeCrescent(const EveningCrescent &evening, CrescentCriterion criterion,
                              double thresholdDegrees) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const bool computed = evening.status == 1;
    switch (criterion) {
        case CrescentCriterion::Yallop: {
            if (!computed) return {nan, 'F'};
            const double q = YallopQ(evening.atBest.arcvGeo * RadToDeg, evening.atBest.widthArcmin);
            return {q, YallopZone(q)};
        }
        case CrescentCriterion::ArcvWidth: {
            if (!computed) return {nan, 'D'};
            const double v = OdehV(evening.atBest.arcvTopo * RadToDeg, evening.atBest.widthArcmin);
            return {v, OdehZone(v)};
        }
        case CrescentCriterion::Danjon: {
            if (!computed) return {nan, 'N'};
            const double arcl = evening.atBest.arclTopo * RadToDeg;
            return {arcl, arcl >= DanjonLimitDegrees ? 'V' : 'N'};
        }
        case CrescentCriterion::Default:
        default: {
            if (!computed) return {nan, 'N'};
            const double value = evening.atSunset.visibility * RadToDeg;
            return {value, value >= thresholdDegrees ? 'V' : 'N'};
        }
    }
}

bool ZoneReaches(CrescentCriterion criterion, char zone, SightingLevel level) {
    const bool naked = level == SightingLevel::NakedEye;
    switch (criterion) {
        case CrescentCriterion::Yallop:
            return zone == 'A' || zone == 'B' || (!naked && (zone == 'C' || zone == 'D'));
        case CrescentCriterion::ArcvWidth:
            return zone == 'A' || (!naked && (zone == 'B' || zone == 'C'));
        default:
            return zone == 'V';
    }
}

bool CrescentSeen(const EveningCrescent &evening, const CrescentRule &rule,
                  double thresholdDegrees) {
    if (evening.status != 1) return false;
    if (rule.withDanjon &&
        JudgeCrescent(evening, CrescentCriterion::Danjon, thresholdDegrees).zone != 'V') {
        return false;
    }
    return ZoneReaches(rule.criterion, JudgeCrescent(evening, rule.criterion, thresholdDegrees).zone,
                       rule.level);
}

}  // namespace vorlin
