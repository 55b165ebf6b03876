#include "astro/rise_transit_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "astro/angles.h"
#include "astro/constants.h"

namespace vorlin {
namespace {

struct Body {
    double ra[3];
    double dec[3];
};

Body Fixed(double ra, double dec) { return Body{{ra, ra, ra}, {dec, dec, dec}}; }

struct Events {
    double transit, rise, set;
};

Events Solve(double latitude, double longitude, double theta0, double deltaT, const Body &b, double h0,
             double toleranceSeconds) {
    double out[3] = {0.0, 0.0, 0.0};
    RiseTransitSet(latitude, longitude, theta0, deltaT, b.ra[0], b.dec[0], b.ra[1], b.dec[1], b.ra[2],
                   b.dec[2], h0, out, toleranceSeconds);
    return Events{out[0], out[1], out[2]};
}

// Altitude of the body at an output time, from the same interpolated places
// the solver uses.
double AltitudeAt(double latitude, double longitude, double theta0, double deltaT, const Body &b,
                  double time) {
    const double m = time / TwoPi;
    const double n = m + deltaT / 86400.0;
    const double ra1 = NormalizeAngleSigned(b.ra[0] - b.ra[1]) + b.ra[1];
    const double ra3 = NormalizeAngleSigned(b.ra[2] - b.ra[1]) + b.ra[1];
    const double alpha = Interpolate3(ra1, b.ra[1], ra3, n);
    const double delta = Interpolate3(b.dec[0], b.dec[1], b.dec[2], n);
    const double H = theta0 + DegToRad * 360.985647 * m + longitude - alpha;
    return std::asin(std::sin(latitude) * std::sin(delta) + std::cos(latitude) * std::cos(delta) * std::cos(H));
}

TEST(RiseTransitSet, FixedPointOnTheEquator) {
    const Events e = Solve(0.0, 0.0, 0.0, 0.0, Fixed(0.0, 0.0), 0.0, 1.0);
    EXPECT_EQ(e.transit, 0.0);
    EXPECT_NEAR(e.rise, -1.5665074053541799, 1e-15);
    EXPECT_NEAR(e.set, 1.5665074053541799, 1e-15);
    // 5.98362 hours either side of the transit (sidereal quarter turn).
    EXPECT_NEAR(e.set * RadToHour, 5.98362, 5e-6);
}

TEST(RiseTransitSet, CircumpolarAndNeverRisingAtLatitude80) {
    const double phi = 80.0 * DegToRad;
    const Events above = Solve(phi, 0.0, 0.0, 0.0, Fixed(0.0, 20.0 * DegToRad), 0.0, 1.0);
    EXPECT_EQ(above.transit, 0.0);
    EXPECT_EQ(above.rise, TimeAlwaysAbove);
    EXPECT_EQ(above.set, TimeAlwaysAbove);
    const Events below = Solve(phi, 0.0, 0.0, 0.0, Fixed(0.0, -20.0 * DegToRad), 0.0, 1.0);
    EXPECT_EQ(below.transit, TimeAlwaysBelow);
    EXPECT_EQ(below.rise, TimeAlwaysBelow);
    EXPECT_EQ(below.set, TimeAlwaysBelow);
}

TEST(RiseTransitSet, CircumpolarBodyKeepsARealTransit) {
    // Theta0 chosen so that the transit falls at 0.3 day.
    const double phi = -70.0 * DegToRad;
    const double ra = 2.0;
    const double theta0 = ra - 0.3 * TwoPi;
    const Events e = Solve(phi, 0.0, theta0, 0.0, Fixed(ra, -40.0 * DegToRad), -0.8 * DegToRad, 1.0);
    EXPECT_EQ(e.rise, TimeAlwaysAbove);
    EXPECT_EQ(e.set, TimeAlwaysAbove);
    EXPECT_FALSE(IsTimeMarker(e.transit));
    EXPECT_NEAR(e.transit / TwoPi, 0.3 * 360.0 / 360.985647, 1e-7);
}

TEST(RiseTransitSet, NegativeFirstApproximationIsMovedIntoTheDay) {
    // m0 = (ra - L - Theta0) / 2 pi = -0.2 becomes 0.8: the transit is where
    // 360.985647 m = 288 degrees, 0.7978 day.
    const Events e = Solve(0.0, 0.0, 0.0, 0.0, Fixed(-0.2 * TwoPi, 0.0), 0.0, 0.01);
    EXPECT_NEAR(e.transit / TwoPi, 288.0 / 360.985647, 1e-9);
    EXPECT_GT(e.transit, 0.0);
    EXPECT_LT(e.transit, TwoPi);
}

TEST(RiseTransitSet, FirstApproximationOfOneOrMoreStays) {
    // ra 6.0 with longitude -1.54: m0 = 7.54 / 2 pi = 1.2 stays; transit near
    // 432 sidereal degrees, the next day, beyond 2 pi.
    const Events e = Solve(0.0, -1.54, 0.0, 0.0, Fixed(6.0, 0.0), 0.0, 0.01);
    const double m0 = (6.0 + 1.54) / TwoPi;
    EXPECT_GT(m0, 1.0);
    EXPECT_GT(e.transit, TwoPi);
    EXPECT_NEAR(e.transit / TwoPi, (6.0 + 1.54) * RadToDeg / 360.985647, 1e-9);
    EXPECT_GT(e.set, e.transit);
}

TEST(RiseTransitSet, VenusAtBostonMeeusExample15a) {
    // 1988 March 20: apparent places at 0 h TD of March 19, 20, 21; apparent
    // sidereal time 177.74208 deg; Delta T 56 s; 42.3333 N, 71.0833 W; h0 -0.5667 deg.
    const Body venus{{40.68021 * DegToRad, 41.73129 * DegToRad, 42.78204 * DegToRad},
                     {18.04761 * DegToRad, 18.44092 * DegToRad, 18.82742 * DegToRad}};
    const double phi = 42.3333 * DegToRad;
    const double lon = -71.0833 * DegToRad;
    const double theta0 = 177.74208 * DegToRad;
    const double h0 = -0.5667 * DegToRad;
    const Events e = Solve(phi, lon, theta0, 56.0, venus, h0, 1.0);
    // The book: first approximation m0 0.81965, corrected 0.81980; rise 0.51766.
    EXPECT_NEAR(e.transit / TwoPi, 0.81980, 5e-5);
    EXPECT_NEAR(e.transit / TwoPi, 0.81965, 1.5e-4);
    EXPECT_NEAR(e.rise / TwoPi, 0.51766, 1e-5);
    // The book reduces the set into the day (0.12130, interpolated at n = 0.12);
    // this solver keeps it after the transit and interpolates at n = 1.12,
    // where Venus has moved on about 1 degree: the set of the next evening,
    // 1.12263 day.
    EXPECT_GT(e.set, e.transit);
    EXPECT_NEAR(e.set / TwoPi, 1.12263, 1e-5);
    EXPECT_NEAR(e.set / TwoPi, 1.12130, 1.5e-3);
    // Each rise and set lies on the standard altitude.
    EXPECT_NEAR(AltitudeAt(phi, lon, theta0, 56.0, venus, e.rise), h0, 1e-6);
    EXPECT_NEAR(AltitudeAt(phi, lon, theta0, 56.0, venus, e.set), h0, 1e-6);
}

struct FixedBodyCase {
    double latitudeDeg, decDeg, h0Deg;
};

class RiseTransitSetFixedBody : public ::testing::TestWithParam<FixedBodyCase> {};

TEST_P(RiseTransitSetFixedBody, RiseAndSetAreSymmetricAtTheClosedFormHourAngle) {
    const FixedBodyCase c = GetParam();
    const double phi = c.latitudeDeg * DegToRad;
    const double dec = c.decDeg * DegToRad;
    const double h0 = c.h0Deg * DegToRad;
    const double theta0 = 1.1;
    const double ra = 3.0;
    const Events e = Solve(phi, 0.4, theta0, 65.0, Fixed(ra, dec), h0, 0.001);
    ASSERT_FALSE(IsTimeMarker(e.rise));
    ASSERT_FALSE(IsTimeMarker(e.set));
    EXPECT_LT(e.rise, e.transit);
    EXPECT_GT(e.set, e.transit);
    EXPECT_NEAR(e.set - e.transit, e.transit - e.rise, 1e-6);
    const double H0 = std::acos((std::sin(h0) - std::sin(phi) * std::sin(dec)) / (std::cos(phi) * std::cos(dec)));
    EXPECT_NEAR((e.set - e.transit) * 360.985647 / 360.0, H0, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Places, RiseTransitSetFixedBody,
                         ::testing::Values(FixedBodyCase{0.0, 0.0, -0.833}, FixedBodyCase{21.4, 23.4, -0.833},
                                           FixedBodyCase{51.5, -23.4, -18.0}, FixedBodyCase{-33.9, 10.0, -0.5},
                                           FixedBodyCase{64.0, 20.0, -6.0}, FixedBodyCase{45.0, 0.0, 30.0}));

TEST(RiseTransitSet, ZeroToleranceStopsOnlyOnAnExactlyZeroCorrection) {
    const Events loose = Solve(0.0, 0.0, 0.0, 0.0, Fixed(0.0, 0.0), 0.0, 1.0);
    const Events exact = Solve(0.0, 0.0, 0.0, 0.0, Fixed(0.0, 0.0), 0.0, 0.0);
    // The transit's first correction is exactly 0.
    EXPECT_EQ(exact.transit, 0.0);
    // Rise and set either reached a zero correction or ran into the cap.
    for (const double v : {exact.rise, exact.set}) {
        if (v != TimeNotValid) {
            EXPECT_NEAR(std::fabs(v), loose.set, 1e-12);
        }
    }
}

TEST(RiseTransitSet, NegativeToleranceEndsEveryIterationAtTheCap) {
    // No correction can be at most a negative tolerance: after 1001 corrections
    // every iterated event, the transit included, is not valid.
    const Events e = Solve(0.0, 0.0, 0.0, 0.0, Fixed(0.0, 0.0), 0.0, -1.0);
    EXPECT_EQ(e.transit, TimeNotValid);
    EXPECT_EQ(e.rise, TimeNotValid);
    EXPECT_EQ(e.set, TimeNotValid);
    // Markers that are not iterated stay.
    const Events polar = Solve(80.0 * DegToRad, 0.0, 0.0, 0.0, Fixed(0.0, 20.0 * DegToRad), 0.0, -1.0);
    EXPECT_EQ(polar.transit, TimeNotValid);
    EXPECT_EQ(polar.rise, TimeAlwaysAbove);
    EXPECT_EQ(polar.set, TimeAlwaysAbove);
    const Events never = Solve(80.0 * DegToRad, 0.0, 0.0, 0.0, Fixed(0.0, -20.0 * DegToRad), 0.0, -1.0);
    EXPECT_EQ(never.transit, TimeAlwaysBelow);
}

TEST(RiseTransitSet, InfiniteCoordinateMakesRiseAndSetNotValid) {
    Body b = Fixed(1.0, 0.2);
    b.dec[2] = std::numeric_limits<double>::infinity();
    const Events e = Solve(0.3, 0.0, 0.0, 0.0, b, 0.0, 1.0);
    EXPECT_FALSE(IsTimeMarker(e.transit));
    EXPECT_EQ(e.rise, TimeNotValid);
    EXPECT_EQ(e.set, TimeNotValid);
}

TEST(RiseTransitSet, RightAscensionsAcrossZeroAreUnwrapped) {
    // A body moving from 359.5 to 0.5 degrees gives the same times as the
    // same motion written without the wrap.
    const Body wrapped{{359.5 * DegToRad, 0.0, 0.5 * DegToRad}, {0.1, 0.1, 0.1}};
    const Body straight{{-0.5 * DegToRad, 0.0, 0.5 * DegToRad}, {0.1, 0.1, 0.1}};
    const Events a = Solve(0.7, 0.2, 4.0, 60.0, wrapped, -0.01, 0.1);
    const Events b = Solve(0.7, 0.2, 4.0, 60.0, straight, -0.01, 0.1);
    EXPECT_DOUBLE_EQ(a.transit, b.transit);
    EXPECT_DOUBLE_EQ(a.rise, b.rise);
    EXPECT_DOUBLE_EQ(a.set, b.set);
}

}  // namespace
}  // namespace vorlin

namespace vorlin {
namespace {

// Where an altitude is only just reached the rise/set correction divides by
// a nearly vanishing sin H; whatever the iteration does, a rise or set is
// never reported further than 0.75 day from its transit (it is then not
// valid).  Scanned over altitudes just below the day's highest, with a
// declination moving like the Sun's in spring.
TEST(RiseTransitSetGrazing, NeverReportsAPassageFarFromItsTransit) {
    int valid = 0, rejected = 0;
    for (const double latDeg : {55.0, 60.0, 64.0, 70.0}) {
        const double phi = latDeg * DegToRad;
        const double dec1 = 9.6 * DegToRad, dec2 = 10.0 * DegToRad, dec3 = 10.4 * DegToRad;
        const double highest = 90.0 - latDeg + 10.0;  // degrees, at the transit
        for (int i = 0; i <= 400; ++i) {
            const double h0 = (highest - 1.0 + i * 0.0025) * DegToRad;
            double out[3];
            RiseTransitSet(phi, 0.3, 1.0, 69.0, 0.40, dec1, 0.417, dec2, 0.434, dec3, h0, out, 1.0);
            if (IsTimeMarker(out[0])) continue;
            for (int e = 1; e <= 2; ++e) {
                if (IsTimeMarker(out[e])) {
                    rejected += out[e] == TimeNotValid;
                    continue;
                }
                ++valid;
                EXPECT_LE(std::fabs(out[e] - out[0]), 0.75 * TwoPi + 0.01)
                    << "lat " << latDeg << " h0 " << h0 * RadToDeg << " event " << e;
            }
        }
    }
    EXPECT_GT(valid, 1000);
    EXPECT_GT(rejected, 0);  // the scan does reach passages the bound turns away
}

// Calls over one body, day and place sharing their altitude-free parts give
// the same bits as separate calls, whatever the order of the altitudes,
// the markers and grazing cases included.
TEST(RiseTransitSet, SharedPartsChangeNoBit) {
    const double altitudes[] = {-0.0145, -0.314, -0.331, 0.45, -1.5707963267948966, 1.2, -0.0145};
    int compared = 0;
    for (int latitudeDeg = -88; latitudeDeg <= 88; latitudeDeg += 4) {
        for (int month = 0; month < 12; ++month) {
            const double dec = 23.44 * DegToRad * std::sin(month * TwoPi / 12.0);
            const double step = 0.0068 * std::cos(month * TwoPi / 12.0);
            const Body b{{0.5 * month, 0.5 * month + 0.0172, 0.5 * month + 0.0345},
                         {dec - step, dec, dec + step}};
            const double phi = latitudeDeg * DegToRad;
            RiseTransitSetShared shared;
            for (const double h0 : altitudes) {
                double alone[3], together[3];
                RiseTransitSet(phi, 0.7, 1.3, 69.0, b.ra[0], b.dec[0], b.ra[1], b.dec[1], b.ra[2],
                               b.dec[2], h0, alone, 1.0, true);
                RiseTransitSet(phi, 0.7, 1.3, 69.0, b.ra[0], b.dec[0], b.ra[1], b.dec[1], b.ra[2],
                               b.dec[2], h0, together, 1.0, true, &shared);
                for (int k = 0; k < 3; ++k) {
                    ASSERT_EQ(std::memcmp(&alone[k], &together[k], sizeof alone[k]), 0)
                        << latitudeDeg << " " << month << " " << h0 << " " << k;
                }
                ++compared;
            }
            EXPECT_TRUE(shared.sinesKnown);
        }
    }
    EXPECT_EQ(compared, 45 * 12 * 7);
}

}  // namespace
}  // namespace vorlin
