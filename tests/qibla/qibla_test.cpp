// Qibla direction and distance: published places, the exact meridian
// directions, the Kaaba and its antipode, symmetry, and the export's frame.
#include "qibla/qibla.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct QiblaCase {
    const char *name;
    double latitudeDeg, longitudeDeg;
    double directionDeg, distanceKm;  // published to 4 decimals and to the metre
    double geodesicKm;                // exact ellipsoidal geodesic (independent)
};

class QiblaPublishedTest : public ::testing::TestWithParam<QiblaCase> {};

TEST_P(QiblaPublishedTest, DirectionAndDistance) {
    const QiblaCase c = GetParam();
    double direction = -1.0, distance = -1.0;
    QiblaDirectionAndDistance(PlaceInRadians(c.latitudeDeg, c.longitudeDeg, 0, 0.0f), &direction,
                              &distance);
    EXPECT_NEAR(direction * RadToDeg, c.directionDeg, 1e-4);
    EXPECT_NEAR(distance, c.distanceKm, 1e-3);
    // Andoyer's second-order formula is good to a few metres.
    EXPECT_NEAR(distance, c.geodesicKm, 0.005);
}

INSTANTIATE_TEST_SUITE_P(
    Published, QiblaPublishedTest,
    ::testing::Values(QiblaCase{"London", 51.5, -0.1, 118.9468, 4792.671, 4792.669},
                      QiblaCase{"NewYork", 40.7, -74.0, 58.5844, 10324.249, 10324.246},
                      // On the Kaaba's parallel: the great-circle course runs
                      // north of due east, not 90 degrees.
                      QiblaCase{"KaabaParallelAtGreenwich", 21.423111111111112, 0.0, 82.5061,
                                4117.494, 4117.492}),
    [](const ::testing::TestParamInfo<QiblaCase> &info) { return std::string(info.param.name); });

// On the Kaaba's meridian the course is exactly south or exactly north.
class QiblaMeridianTest : public ::testing::TestWithParam<double> {};

TEST_P(QiblaMeridianTest, DueNorthIsExactlySouthAndDueSouthExactlyNorth) {
    const double offset = GetParam();
    double direction = -1.0, distance = -1.0;
    VorLocation north{};
    north.latitude = KaabaLatitude + offset * DegToRad;
    north.longitude = KaabaLongitude;
    QiblaDirectionAndDistance(north, &direction, &distance);
    EXPECT_EQ(direction, Pi);
    EXPECT_GT(distance, 0.0);

    VorLocation south{};
    south.latitude = KaabaLatitude - offset * DegToRad;
    south.longitude = KaabaLongitude;
    QiblaDirectionAndDistance(south, &direction, &distance);
    EXPECT_EQ(direction, 0.0);
    EXPECT_FALSE(std::signbit(direction));
    EXPECT_GT(distance, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, QiblaMeridianTest, ::testing::Values(0.01, 1.0, 8.5, 30.0, 60.0));

TEST(QiblaDirectionAndDistance, AtTheKaabaDistanceAndDirectionAreZero) {
    VorLocation kaaba{};
    kaaba.latitude = KaabaLatitude;
    kaaba.longitude = KaabaLongitude;
    double direction = -1.0, distance = -1.0;
    QiblaDirectionAndDistance(kaaba, &direction, &distance);
    EXPECT_EQ(distance, 0.0);
    EXPECT_EQ(direction, 0.0);
    // The same point written one turn further east.
    kaaba.longitude = KaabaLongitude + TwoPi;
    QiblaDirectionAndDistance(kaaba, &direction, &distance);
    EXPECT_NEAR(distance, 0.0, 1e-9);
    EXPECT_EQ(direction, 0.0);
}

TEST(QiblaDirectionAndDistance, AtTheAntipodeHalfTheMeridian) {
    // pi (a + b) / 2 (1 + h/4 + ...) for a = 6378.137 km, f = 1/298.257.
    EXPECT_NEAR(HalfMeridianKm(), 20003.9314, 1e-4);
    const VorLocation antipodes[] = {
        PlaceInRadians(-21.423111111111112, 39.827111111111115 - 180.0, 0, 0.0f),
        PlaceInRadians(-21.423111111111112, 39.827111111111115 + 180.0, 0, 0.0f),
    };
    for (const VorLocation &antipode : antipodes) {
        double direction = -1.0, distance = -1.0;
        QiblaDirectionAndDistance(antipode, &direction, &distance);
        EXPECT_EQ(distance, HalfMeridianKm());
        EXPECT_EQ(direction, 0.0);
    }
}

// Approaching either singular point the results stay finite and tend to the
// values decided for the point itself.
class QiblaApproachTest : public ::testing::TestWithParam<double> {};

TEST_P(QiblaApproachTest, NearTheKaabaAndNearItsAntipode) {
    const double e = GetParam();  // radians
    double direction = -1.0, distance = -1.0;
    VorLocation nearKaaba{};
    nearKaaba.latitude = KaabaLatitude + e;
    nearKaaba.longitude = KaabaLongitude + e;
    QiblaDirectionAndDistance(nearKaaba, &direction, &distance);
    ASSERT_TRUE(std::isfinite(direction) && std::isfinite(distance));
    EXPECT_GE(direction, 0.0);
    EXPECT_LT(direction, TwoPi);
    // About e a sqrt(1 + cos^2 phi) on the ground.
    EXPECT_NEAR(distance, e * EarthEquatorialRadiusKm * 1.366, e * EarthEquatorialRadiusKm * 0.01 + 1e-9);

    VorLocation nearAntipode{};
    nearAntipode.latitude = -KaabaLatitude + e;
    nearAntipode.longitude = KaabaLongitude - Pi + e;
    QiblaDirectionAndDistance(nearAntipode, &direction, &distance);
    ASSERT_TRUE(std::isfinite(direction) && std::isfinite(distance));
    EXPECT_GE(direction, 0.0);
    EXPECT_LT(direction, TwoPi);
    // Andoyer's formula is poor next to the antipode: its limit there depends
    // on the direction of approach, from the half meridian up to pi a.
    EXPECT_GE(distance, HalfMeridianKm() - 1.0e4 * e - 0.05);
    EXPECT_LE(distance, Pi * EarthEquatorialRadiusKm + 0.05);
}

INSTANTIATE_TEST_SUITE_P(Steps, QiblaApproachTest,
                         ::testing::Values(1e-3, 1e-5, 1e-7, 1e-9, 1e-11, 1e-13, 1e-15, 1e-300));

// Mirrored about the Kaaba's meridian: the same distance, the mirrored course.
class QiblaSymmetryTest : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(QiblaSymmetryTest, MirrorImageAboutTheKaabaMeridian) {
    const double lat = GetParam().first * DegToRad;
    const double dLon = GetParam().second * DegToRad;
    VorLocation east{}, west{};
    east.latitude = west.latitude = lat;
    east.longitude = KaabaLongitude + dLon;
    west.longitude = KaabaLongitude - dLon;
    double qEast = 0, sEast = 0, qWest = 0, sWest = 0;
    QiblaDirectionAndDistance(east, &qEast, &sEast);
    QiblaDirectionAndDistance(west, &qWest, &sWest);
    EXPECT_NEAR(sEast, sWest, 1e-9);
    EXPECT_NEAR(qEast + qWest, TwoPi, 1e-12);
    EXPECT_GT(qEast, Pi);  // from the east the course lies west of the meridian
}

INSTANTIATE_TEST_SUITE_P(Places, QiblaSymmetryTest,
                         ::testing::Values(std::pair{51.5, 40.0}, std::pair{-33.9, 120.0},
                                           std::pair{0.0, 90.0}, std::pair{21.4, 0.5},
                                           std::pair{70.0, 170.0}));

struct AzimuthCase {
    double lat1, lon1, lat2, lon2;  // degrees
    double azimuthDeg;
};

class QiblaAzimuthTest : public ::testing::TestWithParam<AzimuthCase> {};

TEST_P(QiblaAzimuthTest, CardinalAndDiagonalCourses) {
    const AzimuthCase c = GetParam();
    const double q = QiblaAzimuth(c.lat1 * DegToRad, c.lon1 * DegToRad, c.lat2 * DegToRad, c.lon2 * DegToRad);
    EXPECT_GE(q, 0.0);
    EXPECT_LT(q, TwoPi);
    EXPECT_NEAR(q * RadToDeg, c.azimuthDeg, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Courses, QiblaAzimuthTest,
    ::testing::Values(AzimuthCase{0, 0, 0, 90, 90.0}, AzimuthCase{0, 0, 0, -90, 270.0},
                      AzimuthCase{0, 0, 10, 0, 0.0}, AzimuthCase{0, 0, -10, 0, 180.0},
                      AzimuthCase{0, 10, 0, 0, 270.0}, AzimuthCase{0, 0, 0, 0, 0.0},
                      // A quarter turn away in longitude the course is 90 degrees
                      // minus the target's geocentric latitude, 45 deg - 692.73".
                      AzimuthCase{0, 0, 45.0, 90, 45.192425}));

// Through the export: degrees in, degrees out, the host's record restored.
struct ExportCase {
    double latitude, longitude;
    int heightMetres;
    double directionDeg, distanceKm, declinationDeg;
};

class QiblaExportTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(QiblaExportTest, DegreesInDegreesOutLocationUnchanged) {
    const ExportCase c = GetParam();
    VorLocation location{};
    location.latitude = c.latitude;
    location.longitude = c.longitude;
    location.height = c.heightMetres;
    VorDate date{};
    date.year = 2000;
    date.month = 1;
    date.day = 1.0;
    double direction = -1.0, distance = -1.0, declination = -99.0;
    VorQiblaInfo(&location, &date, &direction, &distance, &declination);
    EXPECT_NEAR(direction, c.directionDeg, 1e-4);
    EXPECT_NEAR(distance, c.distanceKm, 1e-3);
    EXPECT_NEAR(declination, c.declinationDeg, 2e-4);
    EXPECT_DOUBLE_EQ(location.latitude, c.latitude);
    EXPECT_DOUBLE_EQ(location.longitude, c.longitude);
    EXPECT_EQ(location.height, c.heightMetres);
    EXPECT_EQ(date.year, 2000);
    EXPECT_EQ(date.day, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Places, QiblaExportTest,
                         ::testing::Values(ExportCase{51.5, -0.1, 0, 118.9468, 4792.671, -3.1519},
                                           ExportCase{40.7, -74.0, 0, 58.5844, 10324.249, -13.3598},
                                           ExportCase{21.42, 39.83, 300, 318.9942, 0.456, 2.4693}));

// Every 5 degrees of latitude and longitude, poles included, and at the
// Kaaba and its antipode: all three outputs finite and in range.
TEST(QiblaExport, FiniteEverywhereOnAFiveDegreeGrid) {
    VorDate date{};
    date.year = 2002;
    date.month = 6;
    date.day = 1.0;
    auto check = [&](double lat, double lon) {
        VorLocation location{};
        location.latitude = lat;
        location.longitude = lon;
        double direction = -1.0, distance = -1.0, declination = -999.0;
        VorQiblaInfo(&location, &date, &direction, &distance, &declination);
        ASSERT_TRUE(std::isfinite(direction) && std::isfinite(distance) && std::isfinite(declination))
            << lat << " " << lon;
        EXPECT_TRUE(direction >= 0.0 && direction < 360.0) << lat << " " << lon;
        EXPECT_TRUE(distance >= 0.0 && distance <= HalfMeridianKm() + 1.0) << lat << " " << lon;
        EXPECT_TRUE(declination >= -180.0 && declination <= 180.0) << lat << " " << lon;
    };
    for (int lat = -90; lat <= 90; lat += 5)
        for (int lon = -180; lon <= 180; lon += 5) check(lat, lon);
    check(21.423111111111112, 39.827111111111115);
    check(-21.423111111111112, 39.827111111111115 - 180.0);
}

TEST(QiblaExport, DueNorthOfTheKaabaIsExactly180Degrees) {
    VorLocation location{};
    location.latitude = 40.0;
    location.longitude = 39.827111111111115;
    VorDate date{};
    date.year = 2024;
    date.month = 3;
    date.day = 11.0;
    double direction = -1.0, distance = -1.0, declination = -99.0;
    VorQiblaInfo(&location, &date, &direction, &distance, &declination);
    EXPECT_EQ(direction, 180.0);
    location.latitude = 0.0;
    VorQiblaInfo(&location, &date, &direction, &distance, &declination);
    EXPECT_EQ(direction, 0.0);
    // At the Kaaba itself.
    location.latitude = 21.423111111111112;
    VorQiblaInfo(&location, &date, &direction, &distance, &declination);
    EXPECT_EQ(direction, 0.0);
    EXPECT_EQ(distance, 0.0);
    EXPECT_TRUE(std::isfinite(declination));
}

}  // namespace
}  // namespace vorlin
