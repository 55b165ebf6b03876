#include "moon/moon_data_at_sunset.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/lunar_phases.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

const VorLocation Makkah = MakkahInRadians(/*name=*/"");
constexpr double Hour = HourToRad;

MoonDataAtSunset DataAt(double eveningJd, double time, const VorLocation &loc) {
    const VorConfig cfg = ObservingSettings(/*crescentThreshold=*/0.0f);
    MoonDataAtSunset md{};
    ComputeMoonDataAtSunset(eveningJd, time, &loc, &cfg, &md);
    return md;
}

TEST(MoonDataAtSunset, JustAfterTheObserversConjunctionAlmostNothingIsLit) {
    // Topocentric conjunction of 2000 January 6 at Makkah, as local civil JD.
    double jde = 2451550.2602;
    RefineNewMoon(&Makkah, &jde, 1.0);
    const double local = jde - DeltaT(JulianCenturies(jde)) / 86400.0 + 3.0 / 24.0;
    const double evening = std::floor(local - 0.5) + 0.5;
    const double conjunctionTime = (local - evening) * TwoPi;

    // At the observer's conjunction the two topocentric longitudes agree and
    // the elongation is the Moon's latitude (the Moon passes 1.6 degrees
    // from the Sun that month).
    const MoonDataAtSunset at = DataAt(evening, conjunctionTime, Makkah);
    EXPECT_NEAR(NormalizeAngleSigned(at.moonTopoLongitude - at.sunTopoLongitude), 0.0,
                1e-3 * DegToRad);
    EXPECT_NEAR(at.topoElongation, std::fabs(at.moonTopoLatitude), 1e-4 * DegToRad);

    // Half an hour later: a small positive elongation, a phase angle just
    // below pi, hardly anything lit.
    const MoonDataAtSunset md = DataAt(evening, conjunctionTime + 0.5 * Hour, Makkah);
    EXPECT_GT(md.topoElongation, at.topoElongation);
    EXPECT_LT(md.topoElongation, 2.0 * DegToRad);
    EXPECT_LT(md.phaseAngle, Pi);
    EXPECT_GT(md.phaseAngle, Pi - 2.0 * DegToRad);
    EXPECT_LT(md.illuminated, 3e-4);
    EXPECT_GT(md.illuminated, 0.0);
    EXPECT_LT(md.crescentWidth, 3e-4 * 2.0 * md.moonTopoSemidiameter);
}

TEST(MoonDataAtSunset, FullMoonIsFullyLit) {
    // Full moon (total lunar eclipse) of 2000 January 21 at 04:40 UT, seen
    // from 0 N 0 E, where the Moon stands high in the west.
    const VorLocation origin = PlaceInRadians(0.0, 0.0, 0, 0.0f);
    const MoonDataAtSunset md = DataAt(2451564.5, (4.0 + 40.0 / 60.0) * Hour, origin);
    EXPECT_GT(md.geoElongation, 179.0 * DegToRad);
    EXPECT_GT(md.topoElongation, 178.5 * DegToRad);
    EXPECT_LT(md.phaseAngle, 1.5 * DegToRad);
    EXPECT_GT(md.illuminated, 0.9998);
    EXPECT_NEAR(md.crescentWidth, 2.0 * md.moonTopoSemidiameter, 1e-3 * md.moonTopoSemidiameter);
    EXPECT_GT(md.moonAltitude, 0.0);
    EXPECT_LT(md.sunAltitude, 0.0);
}

TEST(MoonDataAtSunset, WaxingCrescentGrowsEveryEvening) {
    // Evenings at 18:00 local at Makkah, 2000 January 7 to 20 (new moon on
    // the 6th, full moon on the 21st).
    MoonDataAtSunset previous = DataAt(2451550.5, 18.0 * Hour, Makkah);
    for (int day = 1; day <= 13; ++day) {
        const MoonDataAtSunset md = DataAt(2451550.5 + day, 18.0 * Hour, Makkah);
        EXPECT_GT(md.illuminated, previous.illuminated) << "day " << day;
        EXPECT_GT(md.geoElongation, previous.geoElongation) << "day " << day;
        EXPECT_GE(md.phaseAngle, 0.0);
        EXPECT_LT(md.phaseAngle, Pi);
        EXPECT_GE(md.illuminated, 0.0);
        EXPECT_LE(md.illuminated, 1.0);
        // A waxing Moon is east of the Sun: it sets after it.
        EXPECT_GT(NormalizeAngleSigned(md.moonLongitude - md.sunLongitude), 0.0);
        // Semidiameter between perigee and apogee values (14.7' to 16.8').
        EXPECT_GT(md.moonTopoSemidiameter * 60.0 * RadToDeg, 14.6);
        EXPECT_LT(md.moonTopoSemidiameter * 60.0 * RadToDeg, 17.0);
        previous = md;
    }
}

TEST(MoonDataAtSunset, EveningCrescentBrightLimbFacesTheSetSun) {
    // Evening of 2000 January 8 at Makkah, 18:00 local: the Sun just below
    // the western horizon, the Moon above it; the bright limb points
    // downward toward the Sun, about half a turn from the zenith direction.
    const MoonDataAtSunset md = DataAt(2451551.5, 18.0 * Hour, Makkah);
    EXPECT_LT(md.sunAltitude, 0.0);
    EXPECT_GT(md.moonAltitude, 10.0 * DegToRad);
    EXPECT_LT(std::cos(md.brightLimbAngle), -0.7);
    // Both in the western sky.
    EXPECT_GT(md.sunAzimuth, Pi);
    EXPECT_GT(md.moonAzimuth, Pi);
}

TEST(MoonDataAtSunset, SunsetAtMidnightOfTheEveningIsThePreviousUtDate) {
    const MoonDataAtSunset east = DataAt(2451550.5, 0.0, Makkah);
    EXPECT_DOUBLE_EQ(east.sunsetUt, 2451550.5 - 3.0 / 24.0);
    const VorLocation west = PlaceInRadians(40.7, -74.0, 0, -5.0f);
    const MoonDataAtSunset md = DataAt(2451550.5, 18.0 * Hour, west);
    EXPECT_DOUBLE_EQ(md.sunsetUt, 2451550.5 + 23.0 / 24.0);
    EXPECT_NEAR(md.deltaT, 63.8, 0.1);
}

struct RadiusCase {
    double latitudeDeg;
    int heightMetres;
    double observerRadiusKm;
};

class TopocentricDistance : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(TopocentricDistance, IsGeocentricDistanceLessTheObserversRadius) {
    const RadiusCase &c = GetParam();
    const VorLocation loc = PlaceInRadians(c.latitudeDeg, 10.0, c.heightMetres, 0.0f);
    const MoonDataAtSunset md = DataAt(2451555.5, 17.0 * Hour, loc);
    EXPECT_NEAR(md.moonDistanceKm - md.topoDistanceKm, c.observerRadiusKm, 2e-3);
    EXPECT_GT(md.moonDistanceKm, 356000.0);
    EXPECT_LT(md.moonDistanceKm, 407000.0);
}

INSTANTIATE_TEST_SUITE_P(
    EarthRadius, TopocentricDistance,
    ::testing::Values(RadiusCase{0.0, 0, 6378.137},      // equatorial radius
                      RadiusCase{90.0, 0, 6356.752},     // polar radius
                      RadiusCase{-90.0, 0, 6356.752},
                      RadiusCase{0.0, 1000, 6379.137},   // plus the height
                      RadiusCase{45.0, 0, 6367.4893}));  // 0.9983306 radii

struct ParallacticCase {
    double raDeg, decDeg, latitudeDeg, siderealDeg;
    double expectedDeg;
};

class ParallacticAngleCase : public ::testing::TestWithParam<ParallacticCase> {};

TEST_P(ParallacticAngleCase, MatchesTheGeometry) {
    const ParallacticCase &c = GetParam();
    EXPECT_NEAR(ParallacticAngle(c.raDeg * DegToRad, c.decDeg * DegToRad, c.latitudeDeg * DegToRad,
                                 c.siderealDeg * DegToRad) *
                    RadToDeg,
                c.expectedDeg, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, ParallacticAngleCase,
    ::testing::Values(
        // On the meridian south of the zenith north and zenith coincide: 0.
        ParallacticCase{30.0, 10.0, 45.0, 30.0, 0.0},
        // On the meridian north of the zenith they are opposite: 180.
        ParallacticCase{30.0, 60.0, 45.0, 30.0, 180.0},
        // From the equator a body on the celestial equator: +-90 off the meridian.
        ParallacticCase{0.0, 0.0, 0.0, 60.0, 90.0},
        ParallacticCase{0.0, 0.0, 0.0, -60.0, -90.0},
        // tan q = sin H / (tan phi cos d - sin d cos H) = 1 / (1 - 0) at H = 90, d = 0, phi = 45.
        ParallacticCase{0.0, 0.0, 45.0, 90.0, 45.0},
        ParallacticCase{0.0, 0.0, 45.0, -90.0, -45.0}));

struct PhaseAngleCase {
    double elongationDeg;
    double expectedDeg;
    double toleranceDeg;
};

class PhaseAngleOfElongation : public ::testing::TestWithParam<PhaseAngleCase> {};

TEST_P(PhaseAngleOfElongation, StaysInRangeWithTheRightQuadrant) {
    const PhaseAngleCase &c = GetParam();
    const double i = PhaseAngle(c.elongationDeg * DegToRad, 1.0, 384400.0);
    EXPECT_GE(i, 0.0);
    EXPECT_LE(i, Pi);
    EXPECT_NEAR(i * RadToDeg, c.expectedDeg, c.toleranceDeg);
}

// Expected values from the angle sum of the Sun-Earth-Moon triangle:
// i = 180 - psi - atan2(Delta sin psi, R - Delta cos psi), R = 1 AU,
// Delta = 384400 km (Meeus, ch. 48).
INSTANTIATE_TEST_SUITE_P(
    Elongations, PhaseAngleOfElongation,
    ::testing::Values(PhaseAngleCase{0.0, 180.0, 0.0},  // exact conjunction: nothing lit
                      PhaseAngleCase{0.5, 179.498712, 1e-6},
                      PhaseAngleCase{10.0, 169.974370, 1e-6},
                      PhaseAngleCase{90.0, 89.852776, 1e-6},
                      PhaseAngleCase{170.0, 9.974499, 1e-6},
                      PhaseAngleCase{180.0, 0.0, 1e-9}));

TEST(PhaseAngle, ExactConjunctionIsNewNotFull) {
    EXPECT_NEAR((1.0 + std::cos(PhaseAngle(0.0, 0.9833, 356500.0))) * 0.5, 0.0, 1e-15);
    EXPECT_NEAR((1.0 + std::cos(PhaseAngle(Pi, 1.0167, 406700.0))) * 0.5, 1.0, 1e-15);
}

}  // namespace
}  // namespace vorlin
