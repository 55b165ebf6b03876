#include "moon/moon_rise_transit_set.h"

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/moon_position.h"
#include "astro/rise_transit_set.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"

namespace vorlin {
namespace {

// One solution for the 24 hours from local midnight of jd (a local JD).
// zoneDays is the time zone in days.
void SolveMoonDay(double jd, double zoneDays, const VorLocation *loc, const VorConfig *cfg,
                  double out[3]) {
    const double t = JulianCenturies(jd);
    const double deltaT = DeltaT(t);
    const double tUt = t - zoneDays * DayToCentury;  // UT of local midnight
    const double tTt = tUt + deltaT * SecondToCentury;

    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(tTt, &dpsi, &deps);
    const double eps = MeanObliquity(tTt) + deps;
    const double theta0 = AddEquationOfEquinoxes(MeanSiderealTime(tUt), dpsi, eps);

    double rhoCosPhi = 0.0;
    double rhoSinPhi = 0.0;
    const double height = static_cast<double>(loc->height);
    ObserverGeocentric(loc->latitude, height, &rhoCosPhi, &rhoSinPhi);

    // Geocentric apparent places one day before, at and one day after.
    double ra[3];
    double dec[3];
    double middleDistanceKm = 0.0;
    for (int j = 0; j < 3; ++j) {
        const LunarPosition moon = MoonPosition(tTt + (j - 1) * DayToCentury);
        EclipticToEquatorial(moon.longitude + dpsi, moon.latitude, eps, &ra[j], &dec[j]);
        if (j == 1) middleDistanceKm = moon.distanceKm;
    }

    // Standard altitude of the centre: the upper limb, seen by the observer,
    // on the apparent horizon.
    const double sinParallax = EarthEquatorialRadiusKm / middleDistanceKm;
    const double parallaxInAltitude = AltitudeParallax(loc->latitude, sinParallax, 0.0, height);
    double semidiameter = MoonSemidiameter(sinParallax);
    double topoRa = ra[1];
    double topoDec = dec[1];
    TopocentricEquatorial(sinParallax, theta0 + loc->longitude + zoneDays * 24.0 * HourToRad,
                          rhoCosPhi, rhoSinPhi, &topoRa, &topoDec, &semidiameter);
    const double standardAltitude =
        Refraction(parallaxInAltitude - semidiameter, loc, cfg, 0) - HorizonDip(height);

    RiseTransitSet(loc->latitude, loc->longitude, theta0, deltaT, ra[0], dec[0], ra[1], dec[1],
                   ra[2], dec[2], standardAltitude, out,
                   static_cast<double>(cfg->toleranceSeconds));
}

}  // namespace

int MoonRiseTransitSet(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                       double out[3]) {
    // The single-precision 1/24 times the single-precision time zone.
    const double zoneDays = static_cast<double>(loc->timeZone * 0.0416666679084301f);
    double jd = DateToJulianDay(*date);
    double shift = 0.0;
    for (int attempt = 0;; ++attempt) {
        SolveMoonDay(jd, zoneDays, loc, cfg, out);
        if (IsTimeMarker(out[0])) return MoonEventsTransitMarker;
        if (out[0] > TwoPi) {
            jd -= 0.5;
            shift -= 0.5;
        } else if (out[0] < 0.0) {
            jd += 0.5;
            shift += 0.5;
        } else {
            break;
        }
        if (attempt + 1 >= 2) return MoonEventsTransitOutside;
    }
    for (int i = 0; i < 3; ++i) {
        if (!IsTimeMarker(out[i])) out[i] += shift * 24.0 * HourToRad;
    }
    return MoonEventsValid;
}

}  // namespace vorlin
