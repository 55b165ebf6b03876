#include "astro/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "astro/constants.h"

namespace vorlin {
namespace {

TEST(Constants, HaveTheirPublishedValues) {
    EXPECT_EQ(TwoPi, 6.283185307179586);
    EXPECT_EQ(DegToRad, 0.017453292519943295);
    EXPECT_EQ(RadToDeg, 57.29577951308232);
    EXPECT_EQ(HourToRad, 0.2617993877991494);
    EXPECT_EQ(RadToHour, 3.819718634205488);
    EXPECT_EQ(ArcsecToRad, 4.84813681109536e-06);
    EXPECT_EQ(SecondToRad, 7.27220521664304e-05);
    EXPECT_EQ(MinuteToRad, 0.004363323129985823);
    EXPECT_DOUBLE_EQ(EarthPolarRadiusKm, 6356.752298215968);
    EXPECT_DOUBLE_EQ(SolarParallax, 4.26345151167726e-05);
    EXPECT_DOUBLE_EQ(RadToArcmin, 3437.746770784939);
    EXPECT_DOUBLE_EQ(RadToArcsec, 206264.80624709636);
}

TEST(Normalize, ReducesIntoTheirRanges) {
    EXPECT_EQ(NormalizeAngle(TwoPi), 0.0);
    const double justBelow = NormalizeAngle(-1e-12);
    EXPECT_LT(justBelow, TwoPi);
    EXPECT_GT(justBelow, TwoPi - 1e-11);
    EXPECT_EQ(NormalizeAngle(-1e-17), 0.0);  // would round to 2 pi itself
    EXPECT_EQ(NormalizeAngleSigned(Pi), -Pi);
    EXPECT_NEAR(NormalizeAngleSigned(3 * Pi / 2), -Pi / 2, 1e-15);
    EXPECT_NEAR(NormalizeLatitude(Pi / 2 + 0.1), -Pi / 2 + 0.1, 1e-15);
}

TEST(FoldQuarterAngle, ReflectsPastRightAngle) {
    EXPECT_EQ(FoldQuarterAngle(0.3), 0.3);
    EXPECT_NEAR(FoldQuarterAngle(Pi / 2 + 0.2), Pi / 2 - 0.2, 1e-15);
    EXPECT_NEAR(FoldQuarterAngle(-Pi / 2 - 0.2), -Pi / 2 + 0.2, 1e-15);
    EXPECT_NEAR(FoldQuarterAngle(Pi - 0.1), 0.1, 1e-15);
}

TEST(SmallHelpers, FmodTruncateInterpolate) {
    EXPECT_EQ(FmodIfNonZero(5.5, 0.0), 5.5);
    EXPECT_EQ(FmodIfNonZero(-7.5, 2.0), -1.5);
    EXPECT_EQ(TruncateToInteger(-2.7), -2.0);
    EXPECT_EQ(TruncateToInteger(2.7), 2.0);
    EXPECT_EQ(Interpolate3(1.0, 2.5, 7.0, 0.0), 2.5);
    EXPECT_EQ(Interpolate3(1.0, 2.5, 7.0, 1.0), 7.0);
    EXPECT_EQ(Interpolate3(1.0, 2.5, 7.0, -1.0), 1.0);
    EXPECT_EQ(JulianCenturies(2451545.0 + 36525.0), 1.0);
}

TEST(WeekdayOfJulianDay, SaturdayFirstOfJanuary2000) {
    EXPECT_EQ(WeekdayOfJulianDay(2451545.0), 6);
    EXPECT_EQ(WeekdayOfJulianDay(2451544.5), 6);
    EXPECT_EQ(WeekdayOfJulianDay(2451546.5), 1);  // Monday 3 January
    EXPECT_EQ(WeekdayOfJulianDay(2299160.5), 5);  // Friday 1582-10-15
    EXPECT_EQ(WeekdayOfJulianDay(2299159.5), 4);  // Thursday 1582-10-04
}

TEST(PhysicalHelpers, DipAndSemidiameter) {
    EXPECT_EQ(HorizonDip(0.0), 0.0);
    EXPECT_NEAR(HorizonDip(100.0) * RadToDeg, 0.347, 1e-12);
    // Below sea level there is no dip (and no square root of a negative
    // height): Baku -28 m, Jericho -258 m, the Dead Sea shore -430 m.
    for (double below : {-1e-9, -1.0, -28.0, -258.0, -430.0, -11034.0}) {
        EXPECT_EQ(HorizonDip(below), 0.0) << below;
    }
    EXPECT_GT(HorizonDip(1e-6), 0.0);
    double polar = 0.0;
    EXPECT_DOUBLE_EQ(SemiDiameterAtDistance(0, 2.0, &polar), 479.815);
    EXPECT_DOUBLE_EQ(polar, 479.815);
    EXPECT_DOUBLE_EQ(SemiDiameterAtDistance(0, 1.0, nullptr), 959.63);
}

TEST(CoordinateTransforms, SolsticePointAndMeridian) {
    const double eps = 23.4392794925 * DegToRad;
    double ra = 0.0, dec = 0.0;
    EclipticToEquatorial(Pi / 2, 0.0, eps, &ra, &dec);
    EXPECT_NEAR(ra, Pi / 2, 1e-15);
    EXPECT_NEAR(dec, eps, 1e-15);
    EclipticToEquatorial(-0.5, 0.0, eps, &ra, &dec);
    EXPECT_GE(ra, 0.0);
    EXPECT_LT(ra, TwoPi);

    double az = 0.0, alt = 0.0;
    const double lat = 40.0 * DegToRad;
    EquatorialToHorizontal(1.0, 10.0 * DegToRad, 1.0, lat, &az, &alt);
    EXPECT_NEAR(az, Pi, 1e-12);
    EXPECT_NEAR(alt, 60.0 * DegToRad, 1e-12);
    // A body due east on the celestial equator at the horizon.
    EquatorialToHorizontal(Pi / 2, 0.0, 0.0, lat, &az, &alt);
    EXPECT_NEAR(az, Pi / 2, 1e-12);
    EXPECT_NEAR(alt, 0.0, 1e-12);
}

TEST(PositionAngle, NorthAndEast) {
    // Body 2 straight south of body 1 on the same meridian: position angle 0
    // points from body 2 toward body 1, i.e. north.
    EXPECT_NEAR(PositionAngle(0.1, 1.0, 0.0, 1.0), 0.0, 1e-12);
    // Body 1 due east of body 2 on the equator: 90 degrees.
    EXPECT_NEAR(PositionAngle(0.0, 1.1, 0.0, 1.0), Pi / 2, 1e-12);
}

TEST(SafeInverseTrig, ClampsRoundingExcess) {
    EXPECT_EQ(SafeAsin(1.0000000000000002), Pi / 2);
    EXPECT_EQ(SafeAsin(-1.0000000000000002), -Pi / 2);
    EXPECT_EQ(SafeAcos(1.0000000000000002), 0.0);
    EXPECT_EQ(SafeAcos(-1.5), Pi);
    EXPECT_FALSE(std::isnan(SafeAsin(3.0)));
}

}  // namespace
}  // namespace vorlin

namespace vorlin {
namespace {

// Floor is std::floor bit for bit: integers, halves, values next to
// integers, both zeros, the range edges and beyond, the non-finite.
TEST(Floor, SameBitsAsTheLibrary) {
    std::vector<double> values = {0.0,   -0.0,  0.5,   -0.5,  1.0,    -1.0,    1.5,     -1.5,
                                  2.5,   -2.5,  1e-300, -1e-300, 4503599627370495.5,
                                  -4503599627370495.5, 2251799813685247.75, -2251799813685247.75,
                                  2251799813685248.0, 9007199254740993.0, 1e300, -1e300};
    for (double base : {0.0, 1.0, -1.0, 7.0, -7.0, 1e6, -1e6, 2251799813685247.0}) {
        values.push_back(std::nextafter(base, 1e308));
        values.push_back(std::nextafter(base, -1e308));
    }
    std::uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 100000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        values.push_back((static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5) *
                         std::ldexp(1.0, static_cast<int>(state % 60)));
    }
    for (const double x : values) {
        const double a = Floor(x), b = std::floor(x);
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << x;
    }
    EXPECT_TRUE(std::isnan(Floor(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(Floor(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Floor(-std::numeric_limits<double>::infinity()), -std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace vorlin
