// The evening's crescent: the published criteria on given inputs and at
// their zone edges, and the evening data of the young crescents of
// 1 Ramadan and 1 Shawwal 1445 against the published conjunctions and an
// independent low-precision computation of the elongation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/constants.h"
#include "moon/crescent.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

// Yallop's q and Odeh's V worked by hand: W = 0.5': the polynomial is
// 11.8371 - 3.1613 + 0.182975 - 0.012725 = 8.84605 (Yallop) and
// 7.1651 - 3.1613 + 0.182975 - 0.012725 = 4.17405 (Odeh).
TEST(CrescentCriteria, FormulasOnGivenInputs) {
    EXPECT_NEAR(YallopQ(10.0, 0.5), (10.0 - 8.84605) / 10.0, 1e-12);
    EXPECT_NEAR(OdehV(10.0, 0.5), 10.0 - 4.17405, 1e-12);
    EXPECT_NEAR(YallopQ(11.8371, 0.0), 0.0, 1e-12);
    EXPECT_NEAR(OdehV(7.1651, 0.0), 0.0, 1e-12);
    // The two differ by the constant 4.672 degrees, q by a tenth of it.
    for (double w : {0.1, 0.3, 0.7, 1.2})
        EXPECT_NEAR(OdehV(8.0, w) - 10.0 * YallopQ(8.0, w), 11.8371 - 7.1651, 1e-9);
}

struct ZoneCase {
    double value;
    char zone;
};

TEST(CrescentCriteria, YallopZoneEdges) {
    // q above a limit is in the better zone; on the limit, in the worse.
    for (const ZoneCase &c : {ZoneCase{0.2161, 'A'}, ZoneCase{0.216, 'B'}, ZoneCase{-0.0139, 'B'},
                              ZoneCase{-0.014, 'C'}, ZoneCase{-0.1599, 'C'}, ZoneCase{-0.160, 'D'},
                              ZoneCase{-0.2319, 'D'}, ZoneCase{-0.232, 'E'}, ZoneCase{-0.2929, 'E'},
                              ZoneCase{-0.293, 'F'}, ZoneCase{-5.0, 'F'}, ZoneCase{3.0, 'A'}})
        EXPECT_EQ(YallopZone(c.value), c.zone) << c.value;
}

TEST(CrescentCriteria, OdehZoneEdges) {
    // V on a limit is in the better zone.
    for (const ZoneCase &c : {ZoneCase{5.65, 'A'}, ZoneCase{5.6499, 'B'}, ZoneCase{2.0, 'B'},
                              ZoneCase{1.9999, 'C'}, ZoneCase{-0.96, 'C'}, ZoneCase{-0.9601, 'D'},
                              ZoneCase{12.0, 'A'}, ZoneCase{-8.0, 'D'}})
        EXPECT_EQ(OdehZone(c.value), c.zone) << c.value;
}

// An independent, low-precision Sun and Moon (the principal terms of the
// ecliptic longitude and latitude, and of the distance), good to about 0.1
// degree; angles in degrees, t in Julian centuries (TT).
struct LowPrecisionBodies {
    double t;
    double moonLongitude, moonLatitude, moonDistanceKm;
    double sunLongitude;  // apparent (aberration), latitude 0
};

LowPrecisionBodies BodiesLowPrecision(double jdUt) {
    const double t = (jdUt + 69.0 / 86400.0 - 2451545.0) / 36525.0;
    auto rad = [](double deg) { return deg * DegToRad; };
    const double lp = 218.3164477 + 481267.88123421 * t;
    const double d = rad(297.8501921 + 445267.1114034 * t);
    const double m = rad(357.5291092 + 35999.0502909 * t);
    const double mp = rad(134.9633964 + 477198.8675055 * t);
    const double f = rad(93.2720950 + 483202.0175233 * t);
    LowPrecisionBodies b{};
    b.t = t;
    b.moonLongitude =
        lp + 6.288774 * std::sin(mp) + 1.274027 * std::sin(2 * d - mp) + 0.658314 * std::sin(2 * d) +
        0.213618 * std::sin(2 * mp) - 0.185116 * std::sin(m) - 0.114332 * std::sin(2 * f) +
        0.058793 * std::sin(2 * d - 2 * mp) + 0.057066 * std::sin(2 * d - m - mp) +
        0.053322 * std::sin(2 * d + mp) + 0.045758 * std::sin(2 * d - m) - 0.040923 * std::sin(m - mp) -
        0.034720 * std::sin(d) - 0.030383 * std::sin(m + mp);
    b.moonLatitude = 5.128122 * std::sin(f) + 0.280602 * std::sin(mp + f) +
                     0.277693 * std::sin(mp - f) + 0.173237 * std::sin(2 * d - f) +
                     0.055413 * std::sin(2 * d - mp + f) + 0.046271 * std::sin(2 * d - mp - f);
    b.moonDistanceKm = 385000.56 - 20905.355 * std::cos(mp) - 3699.111 * std::cos(2 * d - mp) -
                       2955.968 * std::cos(2 * d) - 569.925 * std::cos(2 * mp);
    b.sunLongitude = 280.46646 + 36000.76983 * t + (1.914602 - 0.004817 * t) * std::sin(m) +
                     0.019993 * std::sin(2 * m) + 0.000289 * std::sin(3 * m) - 0.00569;
    return b;
}

double ElongationLowPrecision(double jdUt) {
    const LowPrecisionBodies b = BodiesLowPrecision(jdUt);
    return std::acos(std::cos(b.moonLatitude * DegToRad) *
                     std::cos((b.moonLongitude - b.sunLongitude) * DegToRad)) *
           RadToDeg;
}

// The low-precision Moon's and Sun's altitudes (degrees, geocentric, no
// refraction) at jdUt seen from latitude/longitude (degrees), through the
// mean obliquity and sidereal time, and the Moon's horizontal parallax.
struct LowPrecisionAltitudes {
    double moon, sun, moonParallax;
};

LowPrecisionAltitudes AltitudesLowPrecision(double jdUt, double latitude, double longitude) {
    const LowPrecisionBodies b = BodiesLowPrecision(jdUt);
    auto rad = [](double deg) { return deg * DegToRad; };
    const double eps = rad(23.439291 - 0.0130042 * b.t);
    const double gmst = 280.46061837 + 360.98564736629 * (jdUt - 2451545.0);
    auto altitude = [&](double lambdaDeg, double betaDeg) {
        const double lambda = rad(lambdaDeg), beta = rad(betaDeg);
        const double ra = std::atan2(std::sin(lambda) * std::cos(eps) - std::tan(beta) * std::sin(eps),
                                     std::cos(lambda));
        const double dec = std::asin(std::sin(beta) * std::cos(eps) +
                                     std::cos(beta) * std::sin(eps) * std::sin(lambda));
        const double hourAngle = rad(gmst + longitude) - ra;
        return std::asin(std::sin(rad(latitude)) * std::sin(dec) +
                         std::cos(rad(latitude)) * std::cos(dec) * std::cos(hourAngle)) *
               RadToDeg;
    };
    return {altitude(b.moonLongitude, b.moonLatitude), altitude(b.sunLongitude, 0.0),
            std::asin(6378.14 / b.moonDistanceKm) * RadToDeg};
}

// The instant after start (JD UT) at which a body's altitude falls through
// `standard` (degrees): one-minute steps, then halving.
template <typename Altitude>
double SettingTime(double start, Altitude above) {
    double a = start, b = start;
    for (int i = 0; i < 600; ++i) {  // ten hours at most
        b = a + 1.0 / 1440.0;
        if (above(a) > 0.0 && above(b) <= 0.0) break;
        a = b;
    }
    for (int i = 0; i < 30; ++i) {
        const double mid = 0.5 * (a + b);
        (above(mid) > 0.0 ? a : b) = mid;
    }
    return 0.5 * (a + b);
}

struct EveningCase {
    const char *name;
    double latitude, longitude;
    int height;
    float zone;
    int month, day;
    double conjunctionUt;  // published geocentric new moon, JD UT
};

class YoungCrescent : public ::testing::TestWithParam<EveningCase> {};

TEST_P(YoungCrescent, AgreesWithThePublishedConjunctionAndAnIndependentElongation) {
    const EveningCase &c = GetParam();
    const VorLocation loc = PlaceInRadians(c.latitude, c.longitude, c.height, c.zone, c.name);
    const VorConfig cfg = ObservingSettings(20.0f);
    EveningCrescent e{};
    ComputeEveningCrescent(Civil(2024, c.month, c.day), loc, cfg, e);
    ASSERT_EQ(e.status, 1);
    // The conjunction to the published minute; the age from it.
    EXPECT_NEAR((e.conjunctionGeoUt - c.conjunctionUt) * 1440.0, 0.0, 1.0);
    EXPECT_NEAR(e.ageGeoHours, (e.atSunset.ut - c.conjunctionUt) * 24.0, 1.0 / 60.0);
    EXPECT_GT(e.ageGeoHours, 0.0);
    EXPECT_LT(e.ageGeoHours, 48.0);
    // The geocentric elongation against the low-precision one.
    EXPECT_NEAR(e.atSunset.arclGeo * RadToDeg, ElongationLowPrecision(e.atSunset.ut), 0.3);
    EXPECT_NEAR(e.atBest.arclGeo * RadToDeg, ElongationLowPrecision(e.atBest.ut), 0.3);
    // The best time is 4/9 of the lag after sunset; the Moon sets after the Sun.
    EXPECT_GT(e.lagMinutes, 0.0);
    EXPECT_NEAR((e.atBest.ut - e.atSunset.ut) * 1440.0, e.lagMinutes * 4.0 / 9.0, 1e-6);
    // Parallax lowers the Moon by about its horizontal parallax (0.9-1.0 degree).
    const double parallaxDrop = (e.atSunset.arcvGeo - e.atSunset.arcvTopo) * RadToDeg;
    EXPECT_GT(parallaxDrop, 0.85);
    EXPECT_LT(parallaxDrop, 1.05);
    // W grows with the elongation: SD (1 - cos ARCL) with SD about 15-17'.
    const double sd = e.atSunset.widthArcmin / (1.0 - std::cos(e.atSunset.arclTopo));
    EXPECT_GT(sd, 14.5);
    EXPECT_LT(sd, 17.5);
    // Sunset and moonset against the low-precision bodies on the sea-level
    // horizon (the Sun's upper limb with refraction at -0.8333 degrees, the
    // Moon's at 0.7275 of its parallax - 0.5667), moved by the dip of the
    // place's height, which lowers both horizons alike: sunset within half a
    // minute, the lag within two (the library refracts the Moon's standard
    // altitude at the upper limb's apparent altitude, not at the horizon,
    // and takes the topocentric semidiameter: its lag is 1.1-1.5 min shorter
    // on these evenings).
    const double dip = 0.0293 * std::sqrt(static_cast<double>(c.height));
    const double from = e.atSunset.ut - 2.0 / 24.0;
    const double sunset = SettingTime(from, [&](double jd) {
        return AltitudesLowPrecision(jd, c.latitude, c.longitude).sun + 0.8333 + dip;
    });
    const double moonset = SettingTime(from, [&](double jd) {
        const LowPrecisionAltitudes a = AltitudesLowPrecision(jd, c.latitude, c.longitude);
        return a.moon - (0.7275 * a.moonParallax - 0.5667) + dip;
    });
    EXPECT_NEAR((sunset - e.atSunset.ut) * 1440.0, 0.0, 2.0);
    EXPECT_NEAR((moonset - sunset) * 1440.0, e.lagMinutes, 2.0);
    // The library's test is the apparent altitude difference plus elongation.
    EXPECT_NEAR(e.atSunset.visibility,
                e.atSunset.moonAltitude - e.atSunset.sunAltitude + e.atSunset.arclTopo, 1e-12);
}

// Published new moons: 2024-03-10 09:00 UTC, 2024-04-08 18:21 UTC.
constexpr double March2024 = 2460379.5 + 9.0 / 24.0;
constexpr double April2024 = 2460408.5 + (18.0 + 21.0 / 60.0) / 24.0;

INSTANTIATE_TEST_SUITE_P(
    Evenings, YoungCrescent,
    ::testing::Values(EveningCase{"Makkah_1_Ramadan", 21.4225, 39.8262, 300, 3.0f, 3, 10, March2024},
                      EveningCase{"Cairo_1_Ramadan", 30.0444, 31.2357, 23, 2.0f, 3, 10, March2024},
                      EveningCase{"CapeTown_1_Ramadan", -33.9249, 18.4241, 25, 2.0f, 3, 10, March2024},
                      EveningCase{"Makkah_1_Shawwal", 21.4225, 39.8262, 300, 3.0f, 4, 9, April2024},
                      EveningCase{"Cairo_1_Shawwal", 30.0444, 31.2357, 23, 2.0f, 4, 9, April2024},
                      EveningCase{"CapeTown_1_Shawwal", -33.9249, 18.4241, 25, 2.0f, 4, 9, April2024}),
    [](const ::testing::TestParamInfo<EveningCase> &info) { return std::string(info.param.name); });

TEST(YoungCrescent, BeforeTheConjunctionTheAgeIsNegative) {
    // The evening before the March new moon: the old Moon, before conjunction.
    EveningCrescent e{};
    ComputeEveningCrescent(Civil(2024, 3, 9), MakkahInRadians(), ObservingSettings(20.0f), e);
    ASSERT_EQ(e.status, 1);
    EXPECT_LT(e.ageGeoHours, 0.0);
    EXPECT_NEAR((e.conjunctionGeoUt - March2024) * 1440.0, 0.0, 1.0);
}

TEST(YoungCrescent, NoEveningInPolarDay) {
    EveningCrescent e{};
    ComputeEveningCrescent(Civil(2024, 6, 21), PlaceInRadians(78.2, 15.6, 0, 2.0f, "Longyearbyen"),
                           ObservingSettings(20.0f), e);
    EXPECT_EQ(e.status, 0);
}

}  // namespace
}  // namespace vorlin
