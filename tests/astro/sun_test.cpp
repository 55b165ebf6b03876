#include "astro/sun.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"

namespace vorlin {
namespace {

// The library's series table, summed here term by term the direct way:
// A cos(P + W tau) in long double, from A, P and W as published.
#include "astro/vsop87d_earth_table.inc"

SolarPosition DirectSum(double T) {
    const long double tau = static_cast<long double>(T) / 10.0L;
    long double coordinate[3] = {};
    int index = 0;
    for (int c = 0; c < 3; ++c) {
        long double power = 1.0L;
        for (int k = 0; k < 6; ++k) {
            long double s = 0.0L;
            for (int n = 0; n < kEarthTermCounts[6 * c + k]; ++n, ++index) {
                const EarthSeriesTerm &t = kEarthTerms[index];
                s += t.a * std::cos(static_cast<long double>(t.p) + t.w * tau);
            }
            coordinate[c] += s * power;
            power *= tau;
        }
    }
    const long double turn = 2.0L * 3.141592653589793238462643383279503L;
    long double l = std::fmod(coordinate[0], turn);
    if (l < 0.0L) l += turn;
    return SolarPosition{static_cast<double>(l), static_cast<double>(coordinate[1]),
                         static_cast<double>(coordinate[2])};
}

// What a double evaluation of the series cannot hold: the longitude's
// secular part L1 tau (L1 = 6283.3 rad) rounded to its last place, a few
// units of the last place of a full turn, and W tau rounded in the fastest
// terms (W up to 161000 rad per millennium, amplitudes up to 3e-5).
double SeriesTolerance(double T) {
    const double tau = std::fabs(T / 10.0);
    return 4e-15 + 4.0 * 2.2e-16 * 6283.3 * tau + 4.0 * 2.2e-16 * 161000.0 * tau * 3e-5;
}

class EarthSeriesEvaluation : public ::testing::TestWithParam<double> {};

TEST_P(EarthSeriesEvaluation, EqualsTheDirectSum) {
    for (int day = 0; day < 40; ++day) {
        const double T = GetParam() + day * 9.1 * DayToCentury;
        const SolarPosition earth = EarthHeliocentric(T);
        const SolarPosition direct = DirectSum(T);
        const double tolerance = SeriesTolerance(T);
        EXPECT_NEAR(NormalizeAngleSigned(earth.longitude - direct.longitude), 0.0, tolerance) << T;
        EXPECT_NEAR(earth.latitude, direct.latitude, tolerance) << T;
        EXPECT_NEAR(earth.distanceAu, direct.distanceAu, tolerance) << T;
    }
}

// The places a day before and after, turned from the middle day's angles,
// agree with their own evaluation as closely as two evaluations can, and
// the middle one is the same bits.
TEST_P(EarthSeriesEvaluation, ThreeDaysAgreeWithEachDayAlone) {
    for (int day = 0; day < 40; ++day) {
        const double T = GetParam() + day * 9.1 * DayToCentury;
        SolarPosition three[3];
        SunGeometricOverThreeDays(T, three);
        const SolarPosition middle = SunGeometric(T);
        EXPECT_EQ(three[1].longitude, middle.longitude);
        EXPECT_EQ(three[1].latitude, middle.latitude);
        EXPECT_EQ(three[1].distanceAu, middle.distanceAu);
        for (int k = 0; k < 3; k += 2) {
            const SolarPosition alone = SunGeometric(T + (k - 1) * DayToCentury);
            const double tolerance = SeriesTolerance(T);
            EXPECT_NEAR(three[k].longitude, alone.longitude, tolerance) << T << " " << k;
            EXPECT_NEAR(three[k].latitude, alone.latitude, tolerance) << T << " " << k;
            EXPECT_NEAR(three[k].distanceAu, alone.distanceAu, tolerance) << T << " " << k;
            // A day's motion: 0.9856 degrees on average, 2 e (e up to 0.018) more
            // or less at perihelion and aphelion.
            const double motion = std::fabs(NormalizeAngleSigned(three[k].longitude - middle.longitude)) * RadToDeg;
            EXPECT_GT(motion, 0.9856 * (1.0 - 2.0 * 0.018));
            EXPECT_LT(motion, 0.9856 * (1.0 + 2.0 * 0.018));
        }
    }
}

// Centuries from J2000: the years 0, 1200, 1900, 2000, 2026, 2100, 3000, 9999.
INSTANTIATE_TEST_SUITE_P(Years, EarthSeriesEvaluation,
                         ::testing::Values(-20.0, -8.0, -1.0, 0.0, 0.26, 1.0, 10.0, 79.99));

// JDE 2448908.5 = 1992 October 13, 0 h TD (Meeus, Astronomical Algorithms, example 25.b).
const double kOctober1992 = JulianCenturies(2448908.5);

struct EarthCase {
    double T;
    double longitudeDeg, longitudeTol;
    double latitudeArcsec, latitudeTol;
    double radiusAu, radiusTol;
};

class EarthHeliocentricKnownValues : public ::testing::TestWithParam<EarthCase> {};

TEST_P(EarthHeliocentricKnownValues, MatchesFullPrecisionSeries) {
    const EarthCase c = GetParam();
    const SolarPosition earth = EarthHeliocentric(c.T);
    EXPECT_NEAR(earth.longitude * RadToDeg, c.longitudeDeg, c.longitudeTol);
    EXPECT_NEAR(earth.latitude / ArcsecToRad, c.latitudeArcsec, c.latitudeTol);
    EXPECT_NEAR(earth.distanceAu, c.radiusAu, c.radiusTol);
}

// The radius at J2000 tells the full-precision amplitudes from the rounded
// abridged table (which gives 0.9833275822 AU).  The J2000 latitude is the
// Sun's published +0.727" less the FK5 term 0.03916" (cos - sin) 280.378 deg =
// 0.0456", with the sign reversed.
INSTANTIATE_TEST_SUITE_P(
    Published, EarthHeliocentricKnownValues,
    ::testing::Values(EarthCase{0.0, 100.377777, 5e-7, -0.6814, 6e-4, 0.983327574, 5e-10},
                      EarthCase{kOctober1992, 19.907372, 5e-7, -0.644, 5e-4, 0.99760775, 5e-9}));

TEST(SunGeometric, AtJ2000) {
    const SolarPosition sun = SunGeometric(0.0);
    EXPECT_NEAR(sun.longitude * RadToDeg, 280.377752, 5e-7);
    EXPECT_NEAR(sun.latitude / ArcsecToRad, 0.727, 5e-4);
    EXPECT_NEAR(sun.distanceAu, 0.983327574, 5e-10);
}

TEST(SunApparent, Meeus25bWithFullSeries) {
    const SolarPosition sun = SunApparent(kOctober1992, 15.908 * ArcsecToRad);
    EXPECT_NEAR(sun.longitude * RadToDeg, 199.906061, 5e-7);
    EXPECT_NEAR(sun.latitude / ArcsecToRad, 0.62, 5e-3);
    EXPECT_NEAR(sun.distanceAu, 0.99760775, 5e-9);
}

TEST(SunApparent, WithComputedNutationKeepsTheExampleValue) {
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(kOctober1992, &dpsi, &deps);
    EXPECT_NEAR(SunApparent(kOctober1992, dpsi).longitude * RadToDeg, 199.906061, 1e-6);
}

class SunOverOneYear : public ::testing::TestWithParam<double> {};

TEST_P(SunOverOneYear, GeocentricIsOppositeToHeliocentric) {
    const double T = GetParam();
    const SolarPosition earth = EarthHeliocentric(T);
    const SolarPosition sun = SunGeometric(T);
    // FK5 corrections are below 0.1" in longitude and latitude.
    EXPECT_NEAR(NormalizeAngleSigned(sun.longitude - earth.longitude - Pi) / ArcsecToRad, 0.0, 0.2);
    EXPECT_NEAR((sun.latitude + earth.latitude) / ArcsecToRad, 0.0, 0.1);
    EXPECT_EQ(sun.distanceAu, earth.distanceAu);
    EXPECT_GE(earth.longitude, 0.0);
    EXPECT_LT(earth.longitude, TwoPi);
    // Perihelion and aphelion distances.
    EXPECT_GT(earth.distanceAu, 0.98320);
    EXPECT_LT(earth.distanceAu, 1.01680);
    EXPECT_LT(std::fabs(earth.latitude / ArcsecToRad), 1.5);
}

TEST_P(SunOverOneYear, ApparentAddsNutationAndAberration) {
    const double T = GetParam();
    const SolarPosition geometric = SunGeometric(T);
    const double nutation = -12.5 * ArcsecToRad;
    const SolarPosition apparent = SunApparent(T, nutation);
    const double aberration = -20.4898 / geometric.distanceAu;
    EXPECT_NEAR((apparent.longitude - geometric.longitude) / ArcsecToRad, -12.5 + aberration, 1e-6);
    EXPECT_EQ(apparent.latitude, geometric.latitude);
}

INSTANTIATE_TEST_SUITE_P(Instants, SunOverOneYear,
                         ::testing::Values(-1.0, -0.3, 0.0, 0.01, 0.0173, 0.02, 0.05, 0.24, 0.5, 1.0));

TEST(SunGeometric, MarchEquinox2000) {
    // 2000 March 20, 7h35m UT, about 7h36m TT: apparent longitude 0.
    const double T = JulianCenturies(2451623.8167);
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(T, &dpsi, &deps);
    EXPECT_NEAR(NormalizeAngleSigned(SunApparent(T, dpsi).longitude) * RadToDeg, 0.0, 0.002);
}

TEST(SunApparent, LongitudeIsNotReducedIntoOneTurn) {
    // A correction that carries the longitude past a full turn is kept.
    const SolarPosition geometric = SunGeometric(0.0);
    const SolarPosition apparent = SunApparent(0.0, TwoPi);
    EXPECT_GT(apparent.longitude, TwoPi);
    EXPECT_NEAR(apparent.longitude - TwoPi, geometric.longitude - 20.4898 * ArcsecToRad / geometric.distanceAu,
                1e-12);
}

}  // namespace
}  // namespace vorlin
