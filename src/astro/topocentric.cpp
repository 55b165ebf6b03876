// Observer's geocentric coordinates, parallax, the Moon's semidiameter and
// atmospheric refraction.
#include "astro/topocentric.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"

namespace vorlin {
namespace {

// Polar to equatorial axis ratio b / a = 1 - flattening.
constexpr double kAxisRatio = 0.9966471868221031;
// Height in metres to units of the equatorial radius (1 / 6378140 m).
constexpr double kHeightScale = 1.5678552054360676e-07;

// Air pressure (millibar) used for refraction: the configured value, else
// the standard atmosphere at the place's height, else 1010 mbar.
double RefractionPressure(const VorLocation *location, const VorConfig *config) {
    if (config->pressure != 0) return config->pressure;
    if (location->height != 0) {
        const double base = 1.0 - 2.2569444444444443e-05 * location->height;
        // Above about 44 km the barometric formula has no air left; a power
        // of a negative base would be NaN.
        return base > 0.0 ? 1013.25 * std::pow(base, 5.255) : 0.0;
    }
    return 1010.0;
}

}  // namespace

void ObserverGeocentric(double latitude, double heightMetres, double *rhoCosPhi, double *rhoSinPhi) {
    // Meeus, Astronomical Algorithms, ch. 11.
    const double u = std::atan2(kAxisRatio * std::tan(latitude), 1.0);
    const double k = heightMetres * kHeightScale;
    *rhoSinPhi = kAxisRatio * std::sin(u) + k * std::sin(latitude);
    *rhoCosPhi = std::cos(u) + k * std::cos(latitude);
}

void TopocentricEcliptic(double position[2], double *semidiameter, double rhoSinPhi,
                         double rhoCosPhi, double obliquity, double localSiderealTime,
                         double sinParallax) {
    // Meeus, Astronomical Algorithms, ch. 40 (eq. 40.6 ff.).
    const double lambda = position[0];
    const double beta = position[1];
    const double sp = sinParallax;
    const double theta = localSiderealTime;
    const double eps = obliquity;
    const double n = std::cos(lambda) * std::cos(beta) - sp * rhoCosPhi * std::cos(theta);
    double lambdaTopo = std::atan2(
        std::sin(lambda) * std::cos(beta) -
            sp * (rhoSinPhi * std::sin(eps) + rhoCosPhi * std::cos(eps) * std::sin(theta)),
        n);
    if (lambdaTopo < 0.0) lambdaTopo += TwoPi;
    const double betaTopo = NormalizeLatitude(std::atan2(
        std::cos(lambdaTopo) *
            (std::sin(beta) - sp * (rhoSinPhi * std::cos(eps) - rhoCosPhi * std::sin(eps) * std::sin(theta))),
        n));
    const double s = SafeAsin(std::cos(lambdaTopo) * std::cos(betaTopo) * std::sin(*semidiameter)) / n;
    position[0] = lambdaTopo;
    position[1] = betaTopo;
    *semidiameter = s;
}

void TopocentricEquatorial(double sinParallax, double localSiderealTime, double rhoCosPhi,
                           double rhoSinPhi, double *rightAscension, double *declination,
                           double *semidiameter) {
    // Rigorous parallax by rectangular coordinates (Meeus, ch. 40).
    const double h = localSiderealTime - *rightAscension;
    const double cosDec = std::cos(*declination);
    const double x = cosDec * std::cos(h) - sinParallax * rhoCosPhi;
    const double y = cosDec * std::sin(h);
    const double z = std::sin(*declination) - sinParallax * rhoSinPhi;
    const double r = std::sqrt(x * x + y * y + z * z);  // topocentric / geocentric distance
    *rightAscension = NormalizeAngle(localSiderealTime - std::atan2(y, x));
    *declination = SafeAsin(z / r);
    *semidiameter = SafeAsin(std::sin(*semidiameter) / r);
}

double AltitudeParallax(double latitude, double sinParallax, double altitude, double heightMetres) {
    // Distance of the observer from the Earth's centre in equatorial radii.
    const double rho = 0.9983271 + 0.0016764 * std::cos(2.0 * latitude) -
                       0.0000035 * std::cos(4.0 * latitude) + heightMetres / (6378.137 * 1000.0);
    return SafeAsin(rho * std::cos(altitude) * sinParallax);
}

double MoonSemidiameter(double sinParallax) {
    // k = 0.272481, the Moon's radius in Earth equatorial radii.
    return SafeAsin(0.272481 * sinParallax);
}

double Refraction(double altitude, const VorLocation *location, const VorConfig *config,
                  int direction) {
    const double pressure = RefractionPressure(location, config);
    const double kelvin = config->temperature + 273.0;
    // (P / 1010) x (283 / (273 + t)); no refraction below absolute zero,
    // where the formula would divide by zero or turn negative.
    const double f = kelvin > 0.0 ? pressure * 0.2801980198019802 / kelvin : 0.0;
    const double a = altitude * RadToDeg;

    if (direction == 1) {
        // True to apparent altitude.
        if (a > 15.0) {
            const double tz = std::tan((90.0 - a) * DegToRad);
            const double r = (58.276 * tz - 0.0824 * tz * tz * tz) * f / 3600.0;
            return (a + r) * DegToRad;
        }
        if (a > -5.0) {
            // Saemundsson (Meeus, Astronomical Algorithms, eq. 16.4), arc-minutes.
            const double x = a + 10.3 / (a + 5.11);
            const double r = x + 1e-10 >= 90.0 ? 0.0 : 1.02 / std::tan(x * DegToRad) * f / 60.0;
            return (a + r) * DegToRad;
        }
        return a * DegToRad;
    }

    // Apparent to true altitude.
    if (a > 15.0) {
        const double tz = std::tan((90.0 - a) * DegToRad);
        const double r = (58.294 * tz - 0.0668 * tz * tz * tz) * f / 3600.0;
        return (a - r) * DegToRad;
    }
    // Bennett (Meeus, eq. 16.3) with his correction.  The formula has its
    // pole at -4.4 degrees; at and below it there is no refraction (its value
    // there would be meaningless and can be infinite).
    if (a + 4.4 <= 0.0) return a * DegToRad;
    const double x = a + 7.31 / (a + 4.4);
    double r = 0.0;
    if (x + 1e-10 < 90.0) {
        const double r0 = 1.0 / std::tan(x * DegToRad);
        r = (r0 - 0.06 * std::sin((14.7 * r0 + 13.0) * DegToRad)) * f / 60.0;
    }
    return (a - r) * DegToRad;
}

}  // namespace vorlin
