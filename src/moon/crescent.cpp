#include "moon/crescent.h"

#include <cmath>

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

void ComputeEveningCrescent(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                            EveningCrescent &out) {
    out = EveningCrescent{};
    VorDate day{};
    day.year = date.year;
    day.month = date.month;
    day.day = std::floor(date.day);
    out.dayJd = DateToJulianDay(day);
    const double deltaT = DeltaT(JulianCenturies(out.dayJd));
    out.status = EveningOfDay(out.dayJd, deltaT, &loc, &cfg, &out.sunset, &out.moonset);
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
    out.lagMinutes = (out.moonset - out.sunset) * RadToHour * 60.0;
    out.atSunset = GeometryAt(out.dayJd, out.sunset, loc, cfg);
    const double best = out.lagMinutes > 0.0 ? out.sunset + BestTimeFraction * (out.moonset - out.sunset)
                                             : out.sunset;
    out.atBest = GeometryAt(out.dayJd, best, loc, cfg);
    out.ageGeoHours = (out.atSunset.ut - out.conjunctionGeoUt) * 24.0;
    out.ageTopoHours = (out.atSunset.ut - out.conjunctionTopoUt) * 24.0;
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

}  // namespace vorlin
