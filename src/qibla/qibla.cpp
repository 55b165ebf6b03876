// Qibla direction (great circle on geocentric latitudes) and distance
// (Andoyer's second-order formula on the ellipsoid, Meeus, Astronomical
// Algorithms, ch. 11).

#include "qibla/qibla.h"

#include <cmath>

#include "astro/constants.h"

namespace vorlin {
namespace {

// Geocentric minus geodetic latitude: -692.73" sin 2 phi - 1.16" sin 4 phi
// (Meeus, ch. 11, for the flattening 1/298.257).
constexpr double kLatitudeTerm2 = 692.73 * ArcsecToRad;
constexpr double kLatitudeTerm4 = 1.16 * ArcsecToRad;

// S (or C) below this means the place is within about a millimetre of the
// Kaaba (or of its antipode): sqrt(1e-20) x 2a is 1.3 mm.  There the
// formula has 0/0 (or x/0) and no direction is defined.
constexpr double kCoincidence = 1e-20;

// Half the perimeter of the ellipse with semi-axes a and b by the Gauss-Kummer
// series in h = ((a - b)/(a + b))^2: pi (a + b) (1 + h/4 + h^2/64 + h^3/256 +
// 25 h^4/16384 + ...); for the earth h is 2.8e-6, so these terms exhaust
// double precision.
constexpr double HalfMeridian(double a, double b) {
    const double n = (a - b) / (a + b);
    const double h = n * n;
    return 0.5 * Pi * (a + b) * (1.0 + h / 4.0 + h * h / 64.0 + h * h * h / 256.0 +
                                 25.0 * h * h * h * h / 16384.0);
}

constexpr double kHalfMeridianKm = HalfMeridian(EarthEquatorialRadiusKm, EarthPolarRadiusKm);

double GeocentricLatitude(double phi) {
    return phi - kLatitudeTerm2 * std::sin(2.0 * phi) - kLatitudeTerm4 * std::sin(4.0 * phi);
}

}  // namespace

double HalfMeridianKm() { return kHalfMeridianKm; }

double QiblaAzimuth(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double phi1 = GeocentricLatitude(latitude1);
    const double phi2 = GeocentricLatitude(latitude2);
    const double delta = longitude2 - longitude1;
    const double sinDelta = std::sin(delta);
    double q = std::atan2(std::cos(phi2) * sinDelta,
                          std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(delta));
    q = std::fmod(q, TwoPi);
    if (sinDelta < 0.0) q += TwoPi;
    // Rounding guards that keep the result in [0, 2 pi): a slightly negative
    // atan2 plus 2 pi can round to 2 pi itself, and -0 becomes +0.
    if (q < 0.0) q += TwoPi;
    if (q >= TwoPi || q == 0.0) q = 0.0;
    return q;
}

void QiblaDirectionAndDistance(const VorLocation &location, double *direction, double *distance) {
    const double phi = location.latitude;
    const double L = location.longitude;
    const double F = (KaabaLatitude + phi) / 2.0;
    const double G = (phi - KaabaLatitude) / 2.0;
    const double lambda = (L - KaabaLongitude) / 2.0;

    const double sinG2 = std::sin(G) * std::sin(G);
    const double cosG2 = std::cos(G) * std::cos(G);
    const double sinF2 = std::sin(F) * std::sin(F);
    const double cosF2 = std::cos(F) * std::cos(F);
    const double sinL2 = std::sin(lambda) * std::sin(lambda);
    const double cosL2 = std::cos(lambda) * std::cos(lambda);

    const double S = sinG2 * cosL2 + cosF2 * sinL2;
    const double C = cosG2 * cosL2 + sinF2 * sinL2;

    if (S < kCoincidence) {
        // At the Kaaba: the spherical distance 2 omega a is the whole answer
        // (0 at the very point, at most about a millimetre otherwise).
        *distance = 2.0 * std::atan2(std::sqrt(S / C), 1.0) * EarthEquatorialRadiusKm;
        *direction = 0.0;
        return;
    }
    if (C < kCoincidence) {
        // At the antipode every meridian is a shortest path.
        *distance = kHalfMeridianKm;
        *direction = 0.0;
        return;
    }

    const double omega = std::atan2(std::sqrt(S / C), 1.0);
    const double R = std::sqrt(S * C) / omega;
    const double D = 2.0 * omega * EarthEquatorialRadiusKm;
    const double H1 = (3.0 * R - 1.0) / (2.0 * C);
    const double H2 = (3.0 * R + 1.0) / (2.0 * S);
    *distance = D * (1.0 + EarthFlattening * H1 * sinF2 * cosG2 - EarthFlattening * H2 * cosF2 * sinG2);
    *direction = QiblaAzimuth(phi, L, KaabaLatitude, KaabaLongitude);
}

}  // namespace vorlin
