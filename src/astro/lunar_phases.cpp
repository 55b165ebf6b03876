#include "astro/lunar_phases.h"

#include <cmath>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/moon_position.h"
#include "astro/sun.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"

namespace vorlin {
namespace {

// Mean-phase polynomials of the new moon, Meeus ch. 49 (49.1 and 49.4-49.7).
struct PhaseRow {
    double c0, c1, c2, c3, c4;
};
constexpr PhaseRow PhaseRows[5] = {
    {2451550.09765, 29.530588853, 0.0001337, 1.5e-07, 7.3e-10},  // JDE (days)
    {2.5534, 29.10535669, -2.18e-05, -1.1e-07, 0.0},              // M (deg)
    {201.5643, 385.81693528, 0.0107438, 1.239e-05, -5.8e-08},     // M' (deg)
    {160.7108, 390.67050274, -0.0016341, -2.27e-06, 1.1e-08},     // F (deg)
    {124.7746, -1.5637558, 0.0020691, 2.15e-06, 0.0},             // Omega (deg)
};

// Periodic terms of the new moon: multipliers of M, M', F, the power of the
// eccentricity factor E, and the coefficient in days.
struct PeriodicTerm {
    int m, mPrime, f, eccentricityPower;
    double coefficient;
};
constexpr PeriodicTerm NewMoonTerms[25] = {
    {0, 1, 0, 0, -0.4072},   {1, 0, 0, 1, 0.17241},   {0, 2, 0, 0, 0.01608},
    {0, 0, 2, 0, 0.01039},   {-1, 1, 0, 1, 0.00739},  {1, 1, 0, 1, -0.00514},
    {2, 0, 0, 2, 0.00208},   {0, 1, -2, 0, -0.00111}, {0, 1, 2, 0, -0.00057},
    {1, 2, 0, 1, 0.00056},   {0, 3, 0, 0, -0.00042},  {1, 0, 2, 1, 0.00042},
    {1, 0, -2, 1, 0.00038},  {-1, 2, 0, 1, -0.00024}, {2, 1, 0, 0, -7e-05},
    {0, 2, -2, 0, 4e-05},    {3, 0, 0, 0, 4e-05},     {1, 1, -2, 0, 3e-05},
    {0, 2, 2, 0, 3e-05},     {1, 1, 2, 0, -3e-05},    {-1, 1, 2, 1, 3e-05},
    {-1, 1, -2, 0, -2e-05},  {1, 3, 0, 0, -2e-05},    {0, 4, 0, 0, 2e-05},
    {-2, 1, 0, 0, 0.0},
};

// Planetary arguments A = a0 + a1 k (degrees) and their amplitudes (days).
struct PlanetaryTerm {
    double a0, a1, amplitude;
};
constexpr PlanetaryTerm PlanetaryTerms[14] = {
    {299.77, 0.107408, 0.000325},  {251.88, 0.016321, 0.000165},
    {251.83, 26.651886, 0.000164}, {349.42, 36.412478, 0.000126},
    {84.66, 18.206239, 0.00011},   {141.74, 53.303771, 6.2e-05},
    {207.14, 2.453732, 6e-05},     {154.84, 7.30686, 5.6e-05},
    {34.52, 27.261239, 4.7e-05},   {207.19, 0.121824, 4.2e-05},
    {291.34, 1.844379, 4e-05},     {161.72, 24.198154, 3.7e-05},
    {239.56, 25.513099, 3.5e-05},  {331.55, 3.592518, 2.3e-05},
};

constexpr double MeanNewMoonEpoch = 2451550.09765;  // JDE of lunation 0
constexpr double SynodicMonth = 29.530588853;       // days
constexpr double CenturiesPerLunation = 0.0008085054776246109;  // 1 / 1236.85
constexpr double SynodicDegreesPerDay = 12.190749007159832;
constexpr double WrapLimit = 30.0 * DegToRad;
constexpr double ConjunctionTolerance = 1e-8;  // radians of longitude

double PhaseAngleRadians(int row, double k, double T) {
    return NormalizeAngle(PhasePolynomial(row, k, T) * DegToRad);
}

}  // namespace

double PhasePolynomial(int row, double k, double T) {
    if (row < 0 || row > 4) return 0.0;
    const PhaseRow &r = PhaseRows[row];
    return r.c0 + r.c1 * k + T * T * (r.c2 + T * (r.c3 + T * r.c4));
}

double MoonPhaseTime(double jd) {
    const double k = std::floor((jd + 1.0 - MeanNewMoonEpoch) / SynodicMonth) + 1.0;
    const double T = k * CenturiesPerLunation;
    double jde = PhasePolynomial(0, k, T);
    const double m = PhaseAngleRadians(1, k, T);
    const double mPrime = PhaseAngleRadians(2, k, T);
    const double f = PhaseAngleRadians(3, k, T);
    const double omega = PhaseAngleRadians(4, k, T);
    jde -= 0.00017 * std::sin(omega);

    const double e = 1.0 - T * (0.002516 + 0.0000074 * T);
    const double eccentricityPowers[3] = {1.0, e, e * e};
    for (const PeriodicTerm &term : NewMoonTerms) {
        const double argument = term.m * m + term.mPrime * mPrime + term.f * f;
        jde += term.coefficient * eccentricityPowers[term.eccentricityPower] * std::sin(argument);
    }
    for (int i = 0; i < 14; ++i) {
        double a = PlanetaryTerms[i].a0 + PlanetaryTerms[i].a1 * k;
        if (i == 0) a -= 0.009173 * T * T;
        jde += PlanetaryTerms[i].amplitude * std::sin(a * DegToRad);
    }
    return jde;
}

double ConjunctionLongitudeGap(double sunLongitude, double moonLongitude) {
    double d = sunLongitude - moonLongitude;
    if (sunLongitude > moonLongitude) {
        if (d > WrapLimit) d -= TwoPi;
    } else if (moonLongitude - sunLongitude > WrapLimit) {
        d += TwoPi;
    }
    return d;
}

double ConjunctionCorrectionDays(double gap) { return gap * RadToDeg / SynodicDegreesPerDay; }

namespace {

// The last positions a refinement computed: the geocentric search ends
// exactly where the topocentric one begins, so its first positions are
// those already found.
struct PositionsAt {
    bool valid = false;
    double t = 0.0;  // Julian centuries (TT) of the positions
    SolarPosition sunGeometric{};
    LunarPosition moon{};
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// RefineNewMoon, taking the positions at its first instant from *carry when
// they were computed there, and leaving its last positions in *carry
// (carry may be null).
int RefineNewMoonCarrying(const VorLocation *location, double *jd, double topocentric,
                          int *positionEvaluations, PositionsAt *carry) {
    // Quantities that change too slowly to matter over the few hours the
    // estimate moves: taken once at the starting instant.
    const double t0 = JulianCenturies(*jd);
    const double deltaT = DeltaT(t0);
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(t0, &dpsi, &deps);
    const double eps = MeanObliquity(t0) + deps;
    double rhoCosPhi = 0.0;
    double rhoSinPhi = 0.0;
    ObserverGeocentric(location->latitude, static_cast<double>(location->height), &rhoCosPhi,
                       &rhoSinPhi);
    const bool fromObserver = topocentric == 1.0;

    int evaluations = 0;
    int converged = 0;
    PositionsAt last;
    for (int corrections = 0;; ++corrections) {
        const double t = JulianCenturies(*jd);
        const double tUt = t - deltaT * SecondToCentury;
        if (carry == nullptr || !carry->valid || !SameBits(carry->t, t)) {
            PositionsAt now;
            now.valid = true;
            now.t = t;
            now.sunGeometric = SunGeometric(t);
            now.moon = MoonPosition(t);
            if (carry != nullptr) *carry = now;
            last = now;
        } else {
            last = *carry;
        }
        const SolarPosition sunPosition = SunApparentFromGeometric(last.sunGeometric, dpsi);
        const LunarPosition moonPosition = last.moon;
        double sun[2] = {sunPosition.longitude, sunPosition.latitude};
        double moon[2] = {moonPosition.longitude + dpsi, moonPosition.latitude};
        if (fromObserver) {
            const double theta =
                AddEquationOfEquinoxes(MeanSiderealTime(tUt), dpsi, eps) + location->longitude;
            double unusedSemidiameter = 0.0;
            TopocentricEcliptic(moon, &unusedSemidiameter, rhoSinPhi, rhoCosPhi, eps, theta,
                                EarthEquatorialRadiusKm / moonPosition.distanceKm);
            unusedSemidiameter = 0.0;
            TopocentricEcliptic(sun, &unusedSemidiameter, rhoSinPhi, rhoCosPhi, eps, theta,
                                std::sin(SolarParallax) / sunPosition.distanceAu);
        }
        ++evaluations;
        const double gap = ConjunctionLongitudeGap(sun[0], moon[0]);
        if (std::fabs(gap) < ConjunctionTolerance) {
            converged = 1;
            break;
        }
        // Cap: a gap that never closes (for instance a non-finite input)
        // must not loop for ever; the last estimate is kept.
        if (corrections == NewMoonMaxCorrections) break;
        *jd += ConjunctionCorrectionDays(gap);
    }
    if (positionEvaluations != nullptr) *positionEvaluations = evaluations;
    return converged;
}

}  // namespace

int RefineNewMoon(const VorLocation *location, double *jd, double topocentric,
                  int *positionEvaluations) {
    return RefineNewMoonCarrying(location, jd, topocentric, positionEvaluations, nullptr);
}

double NewMoonEstimate(const VorDate *date, const VorLocation *location) {
    const double j = DateToJulianDay(*date);
    const double z = static_cast<double>(location->timeZone) / 24.0;
    double b = MoonPhaseTime(j - 30.0);
    // The first candidate lies less than a lunation before the date, so
    // two steps always reach it; the bound only guards the loop.
    for (int step = 0; b + z < j && step < NewMoonMaxLunationSteps; ++step) {
        b = MoonPhaseTime(b + 1.0);
    }
    return b;
}

void RefineNewMoons(double estimate, const VorLocation *location, double *geocentricJd,
                    double *topocentricJd) {
    const double z = static_cast<double>(location->timeZone) / 24.0;
    PositionsAt carry;
    *geocentricJd = estimate;
    RefineNewMoonCarrying(location, geocentricJd, 0.0, nullptr, &carry);
    *topocentricJd = *geocentricJd;
    *geocentricJd += z;
    RefineNewMoonCarrying(location, topocentricJd, 1.0, nullptr, &carry);
    *topocentricJd += z;
}

void FindNewMoons(const VorDate *date, const VorLocation *location, double *geocentricJd,
                  double *topocentricJd) {
    RefineNewMoons(NewMoonEstimate(date, location), location, geocentricJd, topocentricJd);
}

}  // namespace vorlin
