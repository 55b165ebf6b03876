// Magnetic declination from WMM2000: published values (with five years of
// secular variation), the dipole far away, the poles, and two threads at once.
#include "qibla/magnetic_declination.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "astro/constants.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

double DeclinationDeg(double latDeg, double lonDeg, double heightKm, const VorDate &date) {
    return MagneticDeclination(latDeg * DegToRad, lonDeg * DegToRad, heightKm, date) * RadToDeg;
}

struct DeclinationCase {
    const char *name;
    double latDeg, lonDeg, heightKm;
    int year;
    double declinationDeg;  // WMM2000 synthesis, 4 decimals
};

class MagneticDeclinationPublishedTest : public ::testing::TestWithParam<DeclinationCase> {};

TEST_P(MagneticDeclinationPublishedTest, MatchesTheModel) {
    const DeclinationCase c = GetParam();
    EXPECT_NEAR(DeclinationDeg(c.latDeg, c.lonDeg, c.heightKm, Civil(c.year, 1, 1.0)), c.declinationDeg,
                2e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Published, MagneticDeclinationPublishedTest,
    ::testing::Values(DeclinationCase{"London2000", 51.5, -0.1, 0.0, 2000, -3.1519},
                      DeclinationCase{"NewYork2000", 40.7, -74.0, 0.0, 2000, -13.3598},
                      DeclinationCase{"Makkah2000", 21.42, 39.83, 0.3, 2000, 2.4693},
                      // Only the secular variation moves London by 0.7 deg.
                      DeclinationCase{"London2005", 51.5, -0.1, 0.0, 2005, -2.4495}),
    [](const ::testing::TestParamInfo<DeclinationCase> &info) { return std::string(info.param.name); });

// Far from the earth only the dipole (n = 1) remains, whose declination
// follows from the published g(1,0), g(1,1), h(1,1) of 2000.0 alone:
// tan D = (g11 sin L - h11 cos L) / (-g10 sin theta + (g11 cos L + h11 sin L) cos theta).
class MagneticDipoleTest : public ::testing::TestWithParam<std::pair<double, double>> {};

TEST_P(MagneticDipoleTest, FarAwayTheFieldIsTheDipole) {
    const double lat = GetParam().first * DegToRad, lon = GetParam().second * DegToRad;
    const double g10 = -29616.0, g11 = -1722.7, h11 = 5194.5;
    const double theta = Pi / 2.0 - lat;
    const double dipole = std::atan2(g11 * std::sin(lon) - h11 * std::cos(lon),
                                     -g10 * std::sin(theta) + (g11 * std::cos(lon) + h11 * std::sin(lon)) * std::cos(theta));
    EXPECT_NEAR(MagneticDeclination(lat, lon, 1.0e10, Civil(2000, 1, 1.0)), dipole, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Places, MagneticDipoleTest,
                         ::testing::Values(std::pair{51.5, -0.1}, std::pair{-40.0, 150.0},
                                           std::pair{0.0, 0.0}, std::pair{75.0, -100.0},
                                           std::pair{-60.0, -30.0}));

TEST(MagneticDeclination, FiniteAtTheGeographicPoles) {
    const VorDate date = Civil(2000, 1, 1.0);
    EXPECT_NEAR(DeclinationDeg(90.0, 0.0, 0.0, date), -25.59, 0.01);
    for (double lat : {90.0, -90.0}) {
        for (double lon = -180.0; lon <= 180.0; lon += 30.0) {
            for (double height : {0.0, 10.0}) {
                const double d = MagneticDeclination(lat * DegToRad, lon * DegToRad, height, date);
                EXPECT_TRUE(std::isfinite(d)) << lat << " " << lon << " " << height;
            }
        }
    }
}

// Two threads computing at once through the export, each with its own
// location record, give exactly the single-threaded results.
struct QiblaAnswer {
    double direction, distance, declination;
};

QiblaAnswer Ask(int i, bool second) {
    VorLocation location{};
    location.latitude = second ? 90 - i * 5 : i * 5 - 90;
    location.longitude = second ? i * 7 : i * 10 - 180;
    location.height = second ? 2000 : 0;
    VorDate date = second ? Civil(2004, 9, 30.0) : Civil(2000, 1, 1.0);
    QiblaAnswer a{};
    VorQiblaInfo(&location, &date, &a.direction, &a.distance, &a.declination);
    return a;
}

TEST(MagneticDeclination, TwoThreadsAtOnceGiveTheSingleThreadedResults) {
    constexpr int Count = 37, Rounds = 200;
    QiblaAnswer expected[2][Count];
    for (int i = 0; i < Count; ++i) {
        expected[0][i] = Ask(i, false);
        expected[1][i] = Ask(i, true);
    }
    static QiblaAnswer got[2][Rounds][Count];
    auto work = [](int which) {
        for (int round = 0; round < Rounds; ++round)
            for (int i = 0; i < Count; ++i) got[which][round][i] = Ask(i, which == 1);
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    for (int which = 0; which < 2; ++which) {
        for (int round = 0; round < Rounds; ++round) {
            for (int i = 0; i < Count; ++i) {
                const QiblaAnswer &g = got[which][round][i], &e = expected[which][i];
                ASSERT_EQ(g.declination, e.declination) << which << " " << round << " " << i;
                ASSERT_EQ(g.direction, e.direction) << which << " " << round << " " << i;
                ASSERT_EQ(g.distance, e.distance) << which << " " << round << " " << i;
            }
        }
    }
}

}  // namespace
}  // namespace vorlin
