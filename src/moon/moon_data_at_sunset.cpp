#include "moon/moon_data_at_sunset.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/moon_position.h"
#include "astro/sun.h"
#include "astro/topocentric.h"

namespace vorlin {
namespace {

constexpr double KmPerAu = 149597870.691;

// Observer's distance from the Earth's centre in equatorial radii.
double ObserverRadius(double latitude, double heightMetres) {
    return 0.9983271 + 0.0016764 * std::cos(2.0 * latitude) -
           0.0000035 * std::cos(4.0 * latitude) + heightMetres / (EarthEquatorialRadiusKm * 1000.0);
}

}  // namespace

double ParallacticAngle(double ra, double dec, double latitude, double siderealTime) {
    const double h = siderealTime - ra;
    return std::atan2(std::sin(h),
                      std::tan(latitude) * std::cos(dec) - std::sin(dec) * std::cos(h));
}

double PhaseAngle(double elongation, double sunDistanceAu, double moonDistanceKm) {
    const double r = sunDistanceAu;
    double i = std::atan(r * std::sin(elongation) /
                         (moonDistanceKm / KmPerAu - r * std::cos(elongation)));
    // A negative quotient means the Moon is nearer the Sun than a right
    // angle: the phase angle is in the second quadrant.  -0 (elongation
    // exactly 0) belongs there too, or an exact conjunction would read as
    // a full Moon.
    if (i < 0.0 || std::signbit(i)) i += Pi;
    return i;
}

void ComputeMoonDataAtSunset(double eveningJd, double sunsetTime, const VorLocation *loc,
                             const VorConfig *cfg, MoonDataAtSunset *out) {
    MoonDataAtSunset &md = *out;
    const double latitude = loc->latitude;
    const double height = static_cast<double>(loc->height);

    md.sunsetUt = eveningJd + (sunsetTime * RadToHour - static_cast<double>(loc->timeZone)) / 24.0;
    const double t = JulianCenturies(md.sunsetUt);
    md.deltaT = DeltaT(t);
    const double tTt = t + md.deltaT * SecondToCentury;

    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(tTt, &dpsi, &deps);
    const double eps = MeanObliquity(tTt) + deps;

    double rhoCosPhi = 0.0;
    double rhoSinPhi = 0.0;
    ObserverGeocentric(latitude, height, &rhoCosPhi, &rhoSinPhi);

    // Local apparent sidereal time (mean sidereal time takes UT).
    const double theta = AddEquationOfEquinoxes(MeanSiderealTime(t), dpsi, eps) + loc->longitude;

    // Sun.
    const SolarPosition sun = SunApparent(tTt, dpsi);
    md.sunLongitude = sun.longitude;
    md.sunLatitude = sun.latitude;
    md.sunDistanceAu = sun.distanceAu;
    const double sunParallax = std::sin(SolarParallax) / sun.distanceAu;
    double sunPlace[2] = {sun.longitude, sun.latitude};
    double sunSemidiameter = SemiDiameterAtDistance(0, sun.distanceAu, nullptr) * ArcsecToRad;
    TopocentricEcliptic(sunPlace, &sunSemidiameter, rhoSinPhi, rhoCosPhi, eps, theta, sunParallax);
    md.sunTopoLongitude = sunPlace[0];
    md.sunTopoLatitude = sunPlace[1];
    md.sunTopoSemidiameter = sunSemidiameter;
    EclipticToEquatorial(md.sunTopoLongitude, md.sunTopoLatitude, eps, &md.sunRa, &md.sunDec);
    double sunTrueAltitude = 0.0;
    EquatorialToHorizontal(md.sunRa, md.sunDec, theta, latitude, &md.sunAzimuth, &sunTrueAltitude);

    // Moon.
    const LunarPosition moon = MoonPosition(tTt);
    md.moonLongitude = moon.longitude + dpsi;
    md.moonLatitude = moon.latitude;
    md.moonDistanceKm = moon.distanceKm;
    const double moonParallax = EarthEquatorialRadiusKm / moon.distanceKm;
    double moonPlace[2] = {md.moonLongitude, md.moonLatitude};
    double moonSemidiameter = MoonSemidiameter(moonParallax);
    TopocentricEcliptic(moonPlace, &moonSemidiameter, rhoSinPhi, rhoCosPhi, eps, theta,
                        moonParallax);
    md.moonTopoLongitude = moonPlace[0];
    md.moonTopoLatitude = moonPlace[1];
    md.moonTopoSemidiameter = moonSemidiameter;
    EclipticToEquatorial(md.moonTopoLongitude, md.moonTopoLatitude, eps, &md.moonRa, &md.moonDec);
    double moonTrueAltitude = 0.0;
    EquatorialToHorizontal(md.moonRa, md.moonDec, theta, latitude, &md.moonAzimuth,
                           &moonTrueAltitude);

    md.moonAltitude = Refraction(moonTrueAltitude, loc, cfg, 1);
    md.sunAltitude = Refraction(sunTrueAltitude, loc, cfg, 1);
    md.sunAirlessAltitude = sunTrueAltitude;
    md.moonAirlessAltitude = moonTrueAltitude;
    // Geocentric places on the same sky (crescent criteria take them).
    double ra = 0.0, dec = 0.0, azimuth = 0.0;
    EclipticToEquatorial(md.sunLongitude, md.sunLatitude, eps, &ra, &dec);
    EquatorialToHorizontal(ra, dec, theta, latitude, &azimuth, &md.sunGeoAltitude);
    EclipticToEquatorial(md.moonLongitude, md.moonLatitude, eps, &ra, &dec);
    EquatorialToHorizontal(ra, dec, theta, latitude, &azimuth, &md.moonGeoAltitude);

    // Elongations (the Sun's latitude is negligible and not used).
    md.geoElongation =
        SafeAcos(std::cos(md.moonLongitude - md.sunLongitude) * std::cos(md.moonLatitude));
    md.topoElongation = SafeAcos(std::cos(md.moonTopoLongitude - md.sunTopoLongitude) *
                                 std::cos(md.moonTopoLatitude));

    md.phaseAngle = PhaseAngle(md.topoElongation, md.sunDistanceAu, md.moonDistanceKm);
    md.illuminated = (1.0 + std::cos(md.phaseAngle)) * 0.5;

    const double brightLimb = PositionAngle(md.sunDec, md.sunRa, md.moonDec, md.moonRa);
    md.brightLimbAngle = brightLimb - ParallacticAngle(md.moonRa, md.moonDec, latitude, theta);
    md.crescentWidth = 2.0 * md.illuminated * md.moonTopoSemidiameter;
    md.topoDistanceKm =
        md.moonDistanceKm - ObserverRadius(latitude, height) * EarthEquatorialRadiusKm;
}

}  // namespace vorlin
