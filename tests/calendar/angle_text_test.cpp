#include "calendar/angle_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "astro/constants.h"

namespace vorlin {
namespace {

struct SplitCase {
    double degrees;
    int minutesOnly;
    int deg, min, sec;
};

class SplitDegreesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitDegreesTest, GivesDegreesMinutesSeconds) {
    const SplitCase c = GetParam();
    int deg = -99, min = -99, sec = -99;
    SplitDegrees(c.degrees, &deg, &min, &sec, c.minutesOnly);
    EXPECT_EQ(deg, c.deg);
    EXPECT_EQ(min, c.min);
    EXPECT_EQ(sec, c.sec);
}

INSTANTIATE_TEST_SUITE_P(
    Published, SplitDegreesTest,
    ::testing::Values(
        // The Kaaba: 23.2 s stays 23, 37.6 s rounds up to 38.
        SplitCase{21.423111111111112, 0, 21, 25, 23},
        SplitCase{39.827111111111115, 0, 39, 49, 38},
        // Carries from the seconds into the minutes and the degrees.
        SplitCase{10.999999, 0, 11, 0, 0},
        SplitCase{359.9999999, 0, 360, 0, 0},
        // Minutes only: 30 s and more round the minute up; below stays.
        SplitCase{18.5, 1, 18, 30, 0},
        SplitCase{18.5083, 1, 18, 31, 0},
        SplitCase{18.0 + 29.0 / 3600.0, 1, 18, 0, 29},
        SplitCase{18.0 + 59.0 / 60.0 + 45.0 / 3600.0, 1, 19, 0, 0},
        // Negative angles: the sign goes to the degrees, lost between -1 and 0.
        SplitCase{-5.25, 0, -5, 15, 0},
        SplitCase{-12.0, 0, -12, 0, 0},
        SplitCase{-0.5, 0, 0, 30, 0},
        SplitCase{-18.0, 1, -18, 0, 0},
        SplitCase{0.0, 0, 0, 0, 0}));

// The fraction of a second is rounded up above 29/60 of a second.
INSTANTIATE_TEST_SUITE_P(
    RoundingRemainder, SplitDegreesTest,
    ::testing::Values(
        SplitCase{(5.0 + 28.8 / 60.0) / 3600.0, 0, 0, 0, 5},
        SplitCase{(5.0 + 28.99 / 60.0) / 3600.0, 0, 0, 0, 5},
        // 29/60 of a second, for which the remainder is computed as exactly 29.
        SplitCase{0.00013425925925925926, 0, 0, 0, 0},
        // 5 + 29/60 arc-seconds to the last bit below (remainder 29 - 5e-14).
        SplitCase{0.001523148148148148, 0, 0, 0, 5},
        SplitCase{(5.0 + 29.01 / 60.0) / 3600.0, 0, 0, 0, 6},
        SplitCase{(5.0 + 29.4 / 60.0) / 3600.0, 0, 0, 0, 6},
        SplitCase{(5.0 + 30.0 / 60.0) / 3600.0, 0, 0, 0, 6}));

// Values whose whole degrees cannot be an int are not split.
INSTANTIATE_TEST_SUITE_P(Unsplittable, SplitDegreesTest,
                         ::testing::Values(SplitCase{1.0e300, 0, 0, 0, 0},
                                           SplitCase{-1.0e12, 0, 0, 0, 0},
                                           SplitCase{std::numeric_limits<double>::quiet_NaN(),
                                                     0, 0, 0, 0},
                                           SplitCase{std::numeric_limits<double>::infinity(),
                                                     1, 0, 0, 0}));

TEST(SplitDegrees, MinutesAndSecondsStayBelowSixtyOverAWideRange) {
    for (int i = -4000; i <= 4000; ++i) {
        const double x = i * 0.0918273645;
        int deg = 0, min = 0, sec = 0;
        SplitDegrees(x, &deg, &min, &sec, 0);
        ASSERT_GE(min, 0) << x;
        ASSERT_LT(min, 60) << x;
        ASSERT_GE(sec, 0) << x;
        ASSERT_LT(sec, 60) << x;
        // The parts give back x to within the rounding rule: a fraction up
        // to 29/60 s is dropped, one above it becomes a whole second.
        const double back = std::abs(deg) + min / 60.0 + sec / 3600.0;
        ASSERT_NEAR(back, std::fabs(x), (31.0 / 60.0) / 3600.0 + 1e-12) << x;
    }
}

struct AngleTextCase {
    double angle;  // radians
    const char *text;
};

class FormatAngleTest : public ::testing::TestWithParam<AngleTextCase> {};

TEST_P(FormatAngleTest, WritesText) {
    const AngleTextCase c = GetParam();
    char out[AngleTextSize];
    std::memset(out, 'x', sizeof out);
    FormatAngle(c.angle, out);
    EXPECT_STREQ(out, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FormatAngleTest,
    ::testing::Values(AngleTextCase{TimeNotValid, "NotValid"},
                      AngleTextCase{-0.5 * DegToRad, "-00\xB0" "30'00\""},
                      AngleTextCase{-5.25 * DegToRad, "-5\xB0" "15'00\""},
                      AngleTextCase{-12.0 * DegToRad, "-12\xB0" "00'00\""},
                      AngleTextCase{0.0, "00\xB0" "00'00\""},
                      AngleTextCase{21.423111111111112 * DegToRad, "21\xB0" "25'23\""},
                      AngleTextCase{123.5 * DegToRad, "123\xB0" "30'00\""},
                      AngleTextCase{-(1.0 / 3600.0) * DegToRad, "-00\xB0" "00'01\""},
                      AngleTextCase{std::numeric_limits<double>::quiet_NaN(), "NotValid"},
                      AngleTextCase{1.0e12, "NotValid"}));

TEST(FormatAngle, SmallBufferIsCutAndTerminated) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    FormatAngle(-5.25 * DegToRad, out, 5);
    EXPECT_STREQ(out, "-5\xB0" "1");
    EXPECT_EQ(out[5], 'x');  // nothing written past the given size
    FormatAngle(-5.25 * DegToRad, out, 1);
    EXPECT_STREQ(out, "");
}

TEST(FormatAngle, LongestTextFitsTheBuffer) {
    char out[AngleTextSize];
    // Just below the limit, the rounding carries up to a tenth digit.
    FormatAngle(-(MaxSplitDegrees - 1.0 / 7200.0) * DegToRad, out);
    EXPECT_EQ(std::string(out), "-1000000000\xB0" "00'00\"");
    FormatAngle(-(MaxSplitDegrees - 1.0 / 3600.0) * DegToRad, out);
    EXPECT_EQ(std::string(out), "-999999999\xB0" "59'59\"");
}

struct CoordinateCase {
    double degrees;
    int isLongitude;
    const char *text;
};

class FormatLatitudeLongitudeTest : public ::testing::TestWithParam<CoordinateCase> {};

TEST_P(FormatLatitudeLongitudeTest, WritesTextWithHemisphere) {
    const CoordinateCase c = GetParam();
    char out[AngleTextSize];
    FormatLatitudeLongitude(c.degrees * DegToRad, c.isLongitude, out);
    EXPECT_STREQ(out, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FormatLatitudeLongitudeTest,
    ::testing::Values(CoordinateCase{0.0, 0, "00\xB0" "00'00\" N"},
                      CoordinateCase{0.0, 1, "000\xB0" "00'00\" E"},
                      CoordinateCase{-0.1, 1, "000\xB0" "06'00\" W"},
                      CoordinateCase{-0.1, 0, "00\xB0" "06'00\" S"},
                      CoordinateCase{21.423111111111112, 0, "21\xB0" "25'23\" N"},
                      CoordinateCase{39.827111111111115, 1, "039\xB0" "49'38\" E"},
                      CoordinateCase{-74.0, 1, "074\xB0" "00'00\" W"},
                      CoordinateCase{-33.5, 0, "33\xB0" "30'00\" S"},
                      CoordinateCase{180.0, 1, "180\xB0" "00'00\" E"},
                      CoordinateCase{89.9997, 0, "89\xB0" "59'59\" N"},
                      CoordinateCase{1.0e12, 0, "NotValid"}));

TEST(FormatLatitudeLongitude, SouthAndWestMirrorNorthAndEast) {
    for (int i = 1; i <= 1800; ++i) {
        const double a = i * 0.1 * DegToRad;
        for (int isLongitude = 0; isLongitude <= 1; ++isLongitude) {
            char east[AngleTextSize], west[AngleTextSize];
            FormatLatitudeLongitude(a, isLongitude, east);
            FormatLatitudeLongitude(-a, isLongitude, west);
            std::string mirrored(east);
            ASSERT_EQ(mirrored.back(), isLongitude ? 'E' : 'N');
            mirrored.back() = isLongitude ? 'W' : 'S';
            ASSERT_EQ(std::string(west), mirrored);
            if (i <= 900) {
                ASSERT_EQ(std::strlen(east), isLongitude ? 12u : 11u) << east;
            }
        }
    }
}

}  // namespace
}  // namespace vorlin
