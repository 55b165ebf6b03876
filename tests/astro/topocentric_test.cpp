#include "astro/topocentric.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"

namespace vorlin {
namespace {

double Dms(double d, double m, double s) { return (d + m / 60.0 + s / 3600.0) * DegToRad; }

TEST(ObserverGeocentric, PalomarMeeusExample11a) {
    // Latitude +33 deg 21' 22", height 1706 m: rho sin phi' +0.546861, rho cos phi' +0.836339.
    double rhoCos = 0.0;
    double rhoSin = 0.0;
    ObserverGeocentric(Dms(33, 21, 22), 1706.0, &rhoCos, &rhoSin);
    EXPECT_NEAR(rhoSin, 0.546861, 5e-7);
    EXPECT_NEAR(rhoCos, 0.836339, 5e-7);
}

class ObserverGeocentricLatitudes : public ::testing::TestWithParam<double> {};

TEST_P(ObserverGeocentricLatitudes, LiesOnTheEllipsoidAndIsSymmetric) {
    const double phi = GetParam() * DegToRad;
    double c = 0.0, s = 0.0, cs = 0.0, ss = 0.0;
    ObserverGeocentric(phi, 0.0, &c, &s);
    // Sea level: (rho cos phi', rho sin phi' / (b/a)) is on the unit circle.
    EXPECT_NEAR(c * c + s * s / (0.9966471868221031 * 0.9966471868221031), 1.0, 1e-14);
    // Geocentric latitude is closer to the equator than the geodetic one.
    EXPECT_LE(std::fabs(std::atan2(s, c)), std::fabs(phi) + 1e-15);
    ObserverGeocentric(-phi, 0.0, &cs, &ss);
    EXPECT_DOUBLE_EQ(cs, c);
    EXPECT_DOUBLE_EQ(ss, -s);
    // 6378.14 m of height adds 0.001 equatorial radius along the vertical.
    double ch = 0.0, sh = 0.0;
    ObserverGeocentric(phi, 6378.14, &ch, &sh);
    EXPECT_NEAR(ch - c, 0.001 * std::cos(phi), 1e-12);
    EXPECT_NEAR(sh - s, 0.001 * std::sin(phi), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Latitudes, ObserverGeocentricLatitudes,
                         ::testing::Values(0.0, 10.0, 33.356, 45.0, 50.0, 66.5, 89.0, 90.0));

TEST(TopocentricEquatorial, MarsAtPalomarMeeusExample40a) {
    // 2003 August 28, 3h17m UT: alpha 22h38m07.25s, delta -15 deg 46' 15.9",
    // parallax 23.592", hour angle 288.7958 deg.  Topocentric: 22h38m08.54s,
    // -15 deg 46' 30.0".
    double rhoCos = 0.0, rhoSin = 0.0;
    ObserverGeocentric(Dms(33, 21, 22), 1706.0, &rhoCos, &rhoSin);
    double ra = Dms(22, 38, 7.25) * 15.0;
    double dec = -Dms(15, 46, 15.9);
    double semidiameter = 0.0;
    const double lst = ra + 288.7958 * DegToRad;
    TopocentricEquatorial(std::sin(23.592 * ArcsecToRad), lst, rhoCos, rhoSin, &ra, &dec, &semidiameter);
    EXPECT_NEAR(ra * RadToTimeSeconds, ((22 * 60) + 38) * 60 + 8.54, 0.01);
    EXPECT_NEAR(dec / ArcsecToRad, -(15 * 3600 + 46 * 60 + 30.0), 0.1);
}

struct ParallaxCase {
    double lambdaDeg, betaDeg, lstDeg, latitudeDeg, sinParallax;
};

class TopocentricConsistency : public ::testing::TestWithParam<ParallaxCase> {};

TEST_P(TopocentricConsistency, EclipticAndEquatorialCorrectionsAgree) {
    // Correcting in ecliptic coordinates and then converting must give the
    // same place as converting first and correcting in equatorial ones.
    const ParallaxCase c = GetParam();
    const double eps = Dms(23, 26, 0);
    double rhoCos = 0.0, rhoSin = 0.0;
    ObserverGeocentric(c.latitudeDeg * DegToRad, 250.0, &rhoCos, &rhoSin);
    double position[2] = {c.lambdaDeg * DegToRad, c.betaDeg * DegToRad};
    double sEcl = 0.0;
    double ra = 0.0, dec = 0.0, sEq = 0.0;
    EclipticToEquatorial(position[0], position[1], eps, &ra, &dec);
    TopocentricEcliptic(position, &sEcl, rhoSin, rhoCos, eps, c.lstDeg * DegToRad, c.sinParallax);
    TopocentricEquatorial(c.sinParallax, c.lstDeg * DegToRad, rhoCos, rhoSin, &ra, &dec, &sEq);
    double raFromEcl = 0.0, decFromEcl = 0.0;
    EclipticToEquatorial(position[0], position[1], eps, &raFromEcl, &decFromEcl);
    EXPECT_NEAR(NormalizeAngleSigned(raFromEcl - ra) / ArcsecToRad, 0.0, 1e-6);
    EXPECT_NEAR((decFromEcl - dec) / ArcsecToRad, 0.0, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Places, TopocentricConsistency,
                         ::testing::Values(ParallaxCase{181.773, 2.291, 209.769, 50.0, 0.0173},
                                           ParallaxCase{10.0, -5.0, 300.0, -33.9, 0.0166},
                                           ParallaxCase{275.0, 4.5, 90.0, 64.1, 0.0150},
                                           ParallaxCase{95.0, 0.0, 180.0, 0.0, 0.0180},
                                           ParallaxCase{280.4, 0.0, 12.0, 21.4, 4.26e-5}));

TEST(TopocentricEcliptic, MoonSemidiameterMeeusExample40b) {
    // Moon high in the sky from latitude 50: geocentric semidiameter 16' 15.5",
    // topocentric 16' 25.5".
    double rhoCos = 0.0, rhoSin = 0.0;
    ObserverGeocentric(50.0 * DegToRad, 0.0, &rhoCos, &rhoSin);
    double position[2] = {Dms(181, 46, 22.5), Dms(2, 17, 26.2)};
    double s = Dms(0, 16, 15.5);
    TopocentricEcliptic(position, &s, rhoSin, rhoCos, Dms(23, 28, 0.8), Dms(209, 46, 7.9),
                        std::sin(Dms(0, 59, 27.7)));
    EXPECT_NEAR(s / ArcsecToRad, 985.5, 0.1);
    EXPECT_GT(position[0], 0.0);
    EXPECT_LT(position[0], TwoPi);
}

TEST(TopocentricEcliptic, WithoutParallaxTheEclipticPlaceIsUnchanged) {
    for (double lambda : {0.1, 1.7, 3.3, 5.9}) {
        double position[2] = {lambda, 0.05};
        double s = 0.0045;
        TopocentricEcliptic(position, &s, 0.6, 0.75, 0.409, 2.0, 0.0);
        EXPECT_NEAR(position[0], lambda, 1e-15);
        EXPECT_NEAR(position[1], 0.05, 1e-15);
        // The arcsine is taken before the division by N, which is exact only to
        // terms in s^3 (here at most 0.01").
        EXPECT_NEAR(s, 0.0045, 5e-8);
    }
}

TEST(TopocentricEcliptic, ObserverAtTheCentreSeesTheGeocentricPlace) {
    double position[2] = {4.0, -0.08};
    double s = 0.0045;
    TopocentricEcliptic(position, &s, 0.0, 0.0, 0.409, 1.0, 0.0166);
    EXPECT_NEAR(position[0], 4.0, 1e-15);
    EXPECT_NEAR(position[1], -0.08, 1e-15);
    EXPECT_NEAR(s, 0.0045, 5e-8);
}

TEST(TopocentricEquatorial, WithoutParallaxOrAtTheCentreNothingChanges) {
    for (const double rho : {0.0, 1.0}) {
        for (const double sp : {0.0, 0.0166}) {
            if (rho != 0.0 && sp != 0.0) continue;
            double ra = 2.5, dec = 0.3, s = 0.0045;
            TopocentricEquatorial(sp, 1.2, 0.7 * rho, 0.7 * rho, &ra, &dec, &s);
            EXPECT_NEAR(ra, 2.5, 1e-15);
            EXPECT_NEAR(dec, 0.3, 1e-15);
            EXPECT_NEAR(s, 0.0045, 1e-15);
        }
    }
}

TEST(TopocentricEquatorial, BodyInTheZenithHasNoParallaxInDirection) {
    // Observer at the equator, body on the meridian at declination 0.
    double ra = 1.0, dec = 0.0, s = 0.0045;
    TopocentricEquatorial(0.0166, 1.0, 1.0, 0.0, &ra, &dec, &s);
    EXPECT_NEAR(ra, 1.0, 1e-15);
    EXPECT_NEAR(dec, 0.0, 1e-15);
    // One Earth radius nearer: semidiameter grows by 1 / (1 - sin parallax).
    EXPECT_NEAR(s, std::asin(std::sin(0.0045) / (1.0 - 0.0166)), 1e-15);
}

TEST(AltitudeParallax, VanishesInTheZenithAndIsLargestOnTheHorizon) {
    EXPECT_NEAR(AltitudeParallax(0.5, 0.0166, Pi / 2, 0.0), 0.0, 1e-17);
    // At the equator rho = 0.9983271 + 0.0016764 - 0.0000035 = 1.0000000.
    EXPECT_NEAR(AltitudeParallax(0.0, 0.0166, 0.0, 0.0), std::asin(0.0166), 1e-9);
    // At the pole rho = 0.9983271 - 0.0016764 - 0.0000035 = 0.9966472.
    EXPECT_NEAR(AltitudeParallax(Pi / 2, 0.0166, 0.0, 0.0), std::asin(0.9966472 * 0.0166), 1e-9);
    // Height raises rho by height / 6378137 m.
    EXPECT_NEAR(AltitudeParallax(0.0, 0.0166, 0.0, 6378.137), std::asin(1.001 * 0.0166), 1e-9);
    EXPECT_NEAR(AltitudeParallax(0.0, 0.0166, Pi / 3, 0.0), std::asin(0.5 * 0.0166), 1e-9);
}

TEST(MoonSemidiameter, ForHorizontalParallaxOfAbout57Minutes) {
    EXPECT_NEAR(MoonSemidiameter(0.0166) * RadToArcmin, 15.55, 0.005);
    EXPECT_EQ(MoonSemidiameter(0.0), 0.0);
}

// Refraction under f = 1: 1010 mbar and 10 degrees Celsius.
class RefractionTest : public ::testing::Test {
  protected:
    void SetUp() override { config.temperature = 10; }
    double Apparent(double trueDeg) { return Refraction(trueDeg * DegToRad, &location, &config, 1) * RadToDeg; }
    double True(double apparentDeg) { return Refraction(apparentDeg * DegToRad, &location, &config, 0) * RadToDeg; }
    VorLocation location{};
    VorConfig config{};
};

TEST_F(RefractionTest, AtTheHorizonAbout29Arcminutes) {
    // 1.02 / tan(10.3 / 5.11 deg) arc-minutes.
    EXPECT_NEAR(Apparent(0.0) * 60.0, 1.02 / std::tan(10.3 / 5.11 * DegToRad), 1e-9);
    EXPECT_NEAR(Apparent(0.0) * 60.0, 29.0, 0.05);
    // Bennett: 1 / tan(7.31 / 4.4 deg) less 0.06 sin(...), about 34.5'.
    EXPECT_NEAR((0.0 - True(0.0)) * 60.0, 34.46, 0.01);
}

TEST_F(RefractionTest, AboveFifteenDegrees) {
    // 58.276 tan z - 0.0824 tan^3 z arc-seconds; at 45 degrees 58.1936".
    EXPECT_NEAR((Apparent(45.0) - 45.0) * 3600.0, 58.1936, 1e-4);
    EXPECT_NEAR((45.0 - True(45.0)) * 3600.0, 58.294 - 0.0668, 1e-9);
    EXPECT_NEAR(Apparent(90.0), 90.0, 1e-12);
    EXPECT_NEAR(True(90.0), 90.0, 1e-12);
    // Continuous across 15 degrees to a few arc-seconds.
    EXPECT_NEAR(Apparent(15.0 + 1e-9), Apparent(15.0), 10.0 / 3600.0);
}

TEST_F(RefractionTest, DirectionOneLeavesFiveDegreesBelowAndLowerUnchanged) {
    for (double a : {-5.0, -5.0001, -10.0, -18.0, -45.0, -90.0}) EXPECT_EQ(Apparent(a), a) << a;
    EXPECT_GT(Apparent(-4.999), -4.999);
}

TEST_F(RefractionTest, OtherDirectionIsUnchangedAtAndBelowItsPole) {
    // Bennett's formula has its pole at -4.4 degrees; just above it x passes 90
    // degrees and the refraction is 0; at and below it nothing is applied.
    EXPECT_EQ(True(-4.4), -4.4);
    EXPECT_EQ(True(-4.4 + 1e-4), -4.4 + 1e-4);
    for (double a : {-4.41, -4.44, -4.5, -5.0, -10.0, -90.0}) EXPECT_EQ(True(a), a) << a;
    for (double a = -4.39; a <= 15.0; a += 0.01) EXPECT_TRUE(std::isfinite(True(a))) << a;
}

class RefractionRoundTrip : public RefractionTest, public ::testing::WithParamInterface<double> {};

TEST_P(RefractionRoundTrip, ApparentToTrueAndBackIsClose) {
    const double a = GetParam();
    const double back = Apparent(True(a));
    // The two empirical formulas are inverse to within about 10" near the
    // horizon and to 0.1" above 15 degrees.
    EXPECT_NEAR((back - a) * 3600.0, 0.0, a > 15.0 ? 0.1 : 10.0) << a;
    EXPECT_LT(True(a), a);
}

INSTANTIATE_TEST_SUITE_P(Altitudes, RefractionRoundTrip,
                         ::testing::Values(0.0, 0.25, 0.5, 1.0, 2.0, 5.0, 10.0, 14.9, 15.1, 30.0, 60.0, 89.0));

TEST_F(RefractionTest, PressureFromHeight) {
    // Pressure 0 and height 1000 m: 1013.25 x 0.977430556^5.255 = 898.7 mbar.
    location.height = 1000;
    const double fromHeight = Apparent(30.0) - 30.0;
    location.height = 0;
    config.pressure = 1010;
    const double at1010 = Apparent(30.0) - 30.0;
    EXPECT_NEAR(1010.0 * fromHeight / at1010, 898.7, 0.05);
    // Pressure 0 at height 0 is the same as 1010 mbar.
    config.pressure = 0;
    EXPECT_DOUBLE_EQ(Apparent(30.0) - 30.0, at1010);
    // A configured pressure wins over the height.
    config.pressure = 505;
    location.height = 3000;
    EXPECT_NEAR((Apparent(30.0) - 30.0) / at1010, 0.5, 1e-12);
}

TEST_F(RefractionTest, PressureFromHeightBelowSeaLevel) {
    // The same standard atmosphere below sea level gives more pressure:
    // 1013.25 (1 - 0.0065 h / 288)^5.255 mbar.  By hand:
    //   h = -28 m (Baku):       base 1.000631944, ln 0.000631745,
    //                           x 5.255 = 0.003319819, exp 1.003325336 -> 1016.62 mbar
    //   h = -430 m (Dead Sea):  base 1.009704861, ln 0.009658071,
    //                           x 5.255 = 0.050753165, exp 1.052063176 -> 1066.00 mbar
    config.pressure = 1010;
    const double at1010 = Apparent(30.0) - 30.0;
    config.pressure = 0;
    location.height = -28;
    EXPECT_NEAR(1010.0 * (Apparent(30.0) - 30.0) / at1010, 1016.62, 0.005);
    location.height = -430;
    EXPECT_NEAR(1010.0 * (Apparent(30.0) - 30.0) / at1010, 1066.00, 0.005);
    // So the refraction at the horizon grows by 5.5 % at the Dead Sea shore.
    const double horizon = Apparent(0.0);
    config.pressure = 1010;
    EXPECT_NEAR(horizon / Apparent(0.0), 1066.003 / 1010.0, 1e-6);
}

TEST_F(RefractionTest, ColderAirRefractsMore) {
    config.temperature = -20;
    const double cold = Apparent(0.5) - 0.5;
    config.temperature = 30;
    const double warm = Apparent(0.5) - 0.5;
    EXPECT_NEAR(cold / warm, 303.0 / 253.0, 1e-12);
}

TEST_F(RefractionTest, ImpossibleAtmospheresGiveFiniteAltitudes) {
    // Below absolute zero, and above the top of the barometric atmosphere.
    config.temperature = -273;
    EXPECT_EQ(Apparent(1.0), 1.0);
    EXPECT_EQ(True(1.0), 1.0);
    config.temperature = 10;
    location.height = 50000;
    EXPECT_EQ(Apparent(1.0), 1.0);
}

}  // namespace
}  // namespace vorlin
