// Asr in every time zone against the shadow rule worked out instant by
// instant: the Sun's place is evaluated at each trial instant (UT), the
// transit found where the hour angle vanishes, the noon shadow taken from
// the apparent (topocentric, refracted) altitude at that instant, and Asr
// found by bisection where the Sun's centre stands at the altitude whose
// shadow is f rod lengths longer.  Nothing of the event solver is used (no
// interpolation between days, no time origin), so an error in where the
// noon is taken (for example zone-hours away from it) shows directly.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/sun.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"
#include "prayer/sun_events.h"
#include "support/sun_at_instant.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct AsrCase {
    const char *name;
    double latitude, longitude;  // degrees
    float zone;                  // hours
    int year, month, day;
};

class AsrByTheShadowRule : public ::testing::TestWithParam<AsrCase> {};

TEST_P(AsrByTheShadowRule, AgreesToASecond) {
    const AsrCase &c = GetParam();
    const VorLocation loc = PrayerPlace(c.latitude, c.longitude, c.zone);
    const VorConfig cfg = DayPrayerSettings();
    const VorDate date = Civil(c.year, c.month, c.day);
    SunEventTable table;
    ComputeSunEvents(date, loc, cfg, table);

    // Local standard midnight in UT.
    const double midnight = DateToJulianDay(date) - c.zone / 24.0;
    // Transit: the hour angle goes through 0 near local mean noon, which is
    // 12 h - longitude/15 + zone on the standard clock (taken within the day).
    double jd = midnight + std::fmod(12.0 - c.longitude / 15.0 + c.zone + 48.0, 24.0) / 24.0;
    for (int i = 0; i < 8; ++i) jd -= SunAt(jd, loc.latitude, loc.longitude).hourAngle / TwoPi;
    const SunAtInstant noon = SunAt(jd, loc.latitude, loc.longitude);
    ASSERT_LT(std::fabs(noon.hourAngle), 1e-8);
    EXPECT_NEAR((jd - midnight) * 86400.0, ToSeconds(table.triple[SunriseSunsetTriple].transit),
                1.0);

    // Apparent noon altitude: parallax in altitude, then refraction.
    const double sinParallax = std::sin(SolarParallax) / noon.distanceAu;
    const double topocentric = noon.altitude - std::asin(sinParallax * std::cos(noon.altitude));
    const double apparent = Refraction(topocentric, &loc, &cfg, 1);
    const double noonShadow = 1.0 / std::tan(apparent);

    for (int f = 1; f <= 2; ++f) {
        const double asrAltitude = std::atan(1.0 / (f + noonShadow));
        // The afternoon descent through asrAltitude, by bisection.
        double lo = jd, hi = jd + 0.5;
        for (int i = 0; i < 60; ++i) {
            const double mid = 0.5 * (lo + hi);
            const SunAtInstant s = SunAt(mid, loc.latitude, loc.longitude);
            (s.altitude > asrAltitude && s.hourAngle > 0.0 ? lo : hi) = mid;
        }
        const double expected = (0.5 * (lo + hi) - midnight) * 86400.0;
        EXPECT_NEAR(ToSeconds(table.triple[DuhrTriple + f].set), expected, 1.0)
            << c.name << " shadow factor " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryZone, AsrByTheShadowRule,
    ::testing::Values(
        AsrCase{"Sydney_zone_plus10_April", -33.8688, 151.2093, 10.0f, 2017, 4, 2},
        AsrCase{"Sydney_zone_plus10_September", -33.8688, 151.2093, 10.0f, 2024, 9, 22},
        AsrCase{"Honolulu_zone_minus10", 21.3069, -157.8583, -10.0f, 2024, 3, 20},
        AsrCase{"Accra_zone_0", 5.6037, -0.1870, 0.0f, 2024, 3, 20},
        AsrCase{"Kiritimati_zone_plus14", 1.8721, -157.4278, 14.0f, 2024, 3, 21},
        AsrCase{"Baker_zone_minus12", 0.1936, -176.4769, -12.0f, 2024, 9, 23},
        AsrCase{"Makkah_zone_plus3", 21.4225, 39.8262, 3.0f, 2024, 3, 11},
        AsrCase{"Kathmandu_zone_plus5_45", 27.7172, 85.3240, 5.75f, 2024, 3, 20}),
    [](const ::testing::TestParamInfo<AsrCase> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlin
