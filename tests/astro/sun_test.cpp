#include "astro/sun.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"

namespace vorlin {
namespace {

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
