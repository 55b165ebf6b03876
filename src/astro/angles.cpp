#include "astro/angles.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {

double NormalizeLatitude(double x) { return x - Pi * std::floor(x / Pi + 0.5); }

double FoldQuarterAngle(double x) {
    constexpr double quarter = Pi / 2.0;
    if (std::fabs(x) <= quarter) return x;
    const double b = std::fmod(x, quarter);
    return x > 0.0 ? quarter - b : -quarter - b;
}

double FmodIfNonZero(double x, double m) { return m != 0.0 ? std::fmod(x, m) : x; }

double TruncateToInteger(double x) {
    double whole = 0.0;
    std::modf(x, &whole);
    return whole;
}

double Interpolate3(double y1, double y2, double y3, double n) {
    const double a = y2 - y1;
    const double b = y3 - y2;
    const double c = b - a;
    return y2 + n / 2.0 * (a + b + n * c);
}

double JulianCenturies(double jd) { return (jd - J2000) * 2.7378507871321012e-05; }

int WeekdayOfJulianDay(double jd) {
    return static_cast<int>(1.0 + std::fmod(std::floor(jd + 0.5), 7.0));
}

double HorizonDip(double heightMetres) {
    // Below sea level (Baku, Jericho, the Dead Sea shore) the horizon is not
    // below the observer's eye: no dip, and no square root of a negative
    // height.  The height still sets the refraction pressure elsewhere.
    if (!(heightMetres > 0.0)) return 0.0;
    return std::sqrt(heightMetres) * DegToRad * 0.0347;
}

double SemiDiameterAtDistance(int /*body*/, double distanceAu, double *polar) {
    const double s = 959.63 / distanceAu;
    if (polar != nullptr) *polar = s;
    return s;
}

void EclipticToEquatorial(double lambda, double beta, double eps, double *ra, double *dec) {
    double sl = 0.0, cl = 0.0, sb = 0.0, cb = 0.0, se = 0.0, ce = 0.0;
    SineCosine(lambda, &sl, &cl);
    SineCosine(beta, &sb, &cb);
    SineCosine(eps, &se, &ce);
    double a = std::atan2(sl * cb * ce - sb * se, cl * cb);
    if (a < 0.0) a += TwoPi;
    *ra = a;
    *dec = SafeAsin(sl * cb * se + sb * ce);
}

void EquatorialToHorizontal(double ra, double dec, double siderealTime, double latitude,
                            double *azimuth, double *altitude) {
    const double h = siderealTime - ra;
    const double a = std::atan2(std::sin(h), std::sin(latitude) * std::cos(h) -
                                                 std::tan(dec) * std::cos(latitude));
    *altitude = SafeAsin(std::cos(dec) * std::cos(latitude) * std::cos(h) +
                         std::sin(dec) * std::sin(latitude));
    *azimuth = NormalizeAngle(a + Pi);
}

double PositionAngle(double dec1, double ra1, double dec2, double ra2) {
    const double d = ra1 - ra2;
    return NormalizeAngle(std::atan2(std::cos(dec1) * std::sin(d),
                                     std::sin(dec1) * std::cos(dec2) -
                                         std::cos(dec1) * std::sin(dec2) * std::cos(d)));
}

double SafeAsin(double x) {
    if (x <= -1.0) return std::asin(-1.0);
    if (x >= 1.0) return std::asin(1.0);
    return std::asin(x);
}

double SafeAcos(double x) {
    if (x <= -1.0) return std::acos(-1.0);
    if (x >= 1.0) return std::acos(1.0);
    return std::acos(x);
}

}  // namespace vorlin
