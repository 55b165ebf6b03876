// The days on which the Sun only just sets or rises, around the solstices
// near the polar circles, against the geometry: the Sun's altitude at its
// culminations from the same interpolated places the solver uses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"
#include "prayer/sun_events.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct Culminations {
    double h0;           // the standard altitude of sunrise and sunset
    double upper;        // altitude at the day's transit
    double lowerBefore;  // at the lower culmination half a day before it
    double lowerAfter;   // and half a day after it
    double atOrigin;     // the lower culmination with the declination of the
                         // day's time origin, which the first estimate takes
};

Culminations AltitudesOfDay(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                            double transit) {
    const SunOfDay day = ComputeSunOfDay(date, loc.timeZone);
    const double height = static_cast<double>(loc.height);
    const double sinParallax = std::sin(SolarParallax) / day.distanceAu;
    const double semidiameter = SemiDiameterAtDistance(0, day.distanceAu, nullptr) * ArcsecToRad;
    Culminations c{};
    c.h0 = Refraction(AltitudeParallax(loc.latitude, sinParallax, 0.0, height) - semidiameter, &loc,
                      &cfg, 0) -
           HorizonDip(height);
    // At a culmination the hour angle is 0 or pi: the altitude is
    // 90 deg - |latitude - declination| or latitude + declination - 90 deg.
    const auto declination = [&](double daysFromOrigin) {
        return Interpolate3(day.dec[0], day.dec[1], day.dec[2], daysFromOrigin + day.deltaT / 86400.0);
    };
    const double m0 = transit / TwoPi;
    c.upper = Pi / 2.0 - std::fabs(loc.latitude - declination(m0));
    c.lowerBefore = loc.latitude + declination(m0 - 0.5) - Pi / 2.0;
    c.lowerAfter = loc.latitude + declination(m0 + 0.5) - Pi / 2.0;
    c.atOrigin = loc.latitude + day.dec[1] - Pi / 2.0;
    return c;
}

std::string Status(double t) {
    if (t == TimeAlwaysAbove) return "always above";
    if (t == TimeAlwaysBelow) return "always below";
    if (t == TimeNotValid) return "not valid";
    return "a time";
}

// Days where a culmination lies within this of the standard altitude are
// left out: there the answer turns on the interpolation's own error.
constexpr double kMargin = 2e-3 * DegToRad;

TEST(GrazingDays, StatusesFollowTheCulminations) {
    const VorConfig cfg = DayPrayerSettings();
    int grazing = 0, checked = 0;
    for (const double latitude : {65.6, 66.0, 66.4, 67.2}) {
        for (const double longitude : {55.5, -20.0, 140.0}) {
            for (const int height : {0, 300}) {
                const VorLocation loc =
                    PrayerPlace(latitude, longitude, static_cast<float>(std::floor(longitude / 15.0 + 0.5)), height);
                for (int year = 1900; year <= 2100; year += 13) {
                    for (const int month : {5, 6, 7, 11, 12, 1}) {
                        for (int d = 1; d <= DaysInMonth(year, month); ++d) {
                            const VorDate date = Civil(year, month, d);
                            SunEventTable t;
                            EventSettings settings(cfg);
                            ComputeAreaSunEvents(date, loc, settings, t);
                            const EventTriple &e = t.triple[SunriseSunsetTriple];
                            if (IsTimeMarker(e.transit)) {
                                // No transit above the horizon: polar night.
                                ASSERT_EQ(e.transit, TimeAlwaysBelow);
                                continue;
                            }
                            const Culminations c = AltitudesOfDay(date, loc, cfg, e.transit);
                            const std::string where = std::to_string(year) + "-" + std::to_string(month) + "-" +
                                                      std::to_string(d) + " at " + std::to_string(latitude) +
                                                      " " + std::to_string(longitude) + " h" + std::to_string(height);
                            const auto expect = [&](double lowest, double event, const char *name) {
                                if (std::fabs(lowest - c.h0) < kMargin || std::fabs(c.upper - c.h0) < kMargin) return;
                                ++checked;
                                if (c.upper < c.h0) {
                                    EXPECT_EQ(Status(event), "always below") << name << " " << where;
                                } else if (lowest > c.h0) {
                                    ++grazing;
                                    EXPECT_EQ(Status(event), "always above") << name << " " << where;
                                } else if (c.atOrigin > c.h0) {
                                    // The first estimate, with the declination of the
                                    // day's origin, already keeps the Sun above: the day
                                    // is taken as one without the passage.
                                    EXPECT_EQ(Status(event), "always above") << name << " " << where;
                                } else {
                                    EXPECT_EQ(Status(event), "a time") << name << " " << where;
                                }
                            };
                            expect(c.lowerBefore, e.rise, "sunrise");
                            expect(c.lowerAfter, e.set, "sunset");
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 20000);
    EXPECT_GT(grazing, 1000);
}

// The twilight angles, where the Sun's centre only just sinks to -17 or -18
// degrees in the weeks around midsummer from 48 to 60 N: Isha'a (the set at
// the Isha'a angle) and Fajr (the rise at the Fajr angle).
TEST(GrazingDays, TwilightStatusesFollowTheCulminations) {
    const VorConfig cfg = DayPrayerSettings();
    int grazing = 0, checked = 0;
    for (const double latitude : {48.5, 50.0, 52.0, 55.0, 58.0}) {
        for (const double longitude : {-63.0, 10.0, 140.0}) {
            const VorLocation loc =
                PrayerPlace(latitude, longitude, static_cast<float>(std::floor(longitude / 15.0 + 0.5)));
            for (int year = 1900; year <= 2100; year += 11) {
                for (const int month : {4, 5, 6, 7, 8}) {
                    for (int d = 1; d <= DaysInMonth(year, month); ++d) {
                        const VorDate date = Civil(year, month, d);
                        SunEventTable t;
                        ComputeAreaSunEvents(date, loc, EventSettings(cfg), t);
                        const double transit = t.triple[SunriseSunsetTriple].transit;
                        ASSERT_FALSE(IsTimeMarker(transit));
                        const Culminations c = AltitudesOfDay(date, loc, cfg, transit);
                        const std::string where = std::to_string(year) + "-" + std::to_string(month) + "-" +
                                                  std::to_string(d) + " at " + std::to_string(latitude) + " " +
                                                  std::to_string(longitude);
                        const auto expect = [&](double lowest, double angle, double event, const char *name) {
                            if (std::fabs(lowest - angle) < kMargin) return;
                            ++checked;
                            if (lowest > angle) {
                                ++grazing;
                                EXPECT_EQ(Status(event), "always above") << name << " " << where;
                            } else if (c.atOrigin > angle) {
                                // Above it with the declination of the day's origin.
                                EXPECT_EQ(Status(event), "always above") << name << " " << where;
                            } else {
                                EXPECT_EQ(Status(event), "a time") << name << " " << where;
                            }
                        };
                        expect(c.lowerAfter, cfg.ishaAngle * DegToRad, t.Isha(), "isha");
                        expect(c.lowerBefore, cfg.fajrAngle * DegToRad, t.Fajr(), "fajr");
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 40000);
    EXPECT_GT(grazing, 5000);
}

// 66 N 55.5 E at 300 m on 12 June 1905: the day's set lies after midnight,
// and the corrections ran onto the previous evening's set (00:03 of the same
// day, before the transit).  The Sun stays above the standard altitude that
// night (lowest -0.846 deg against -0.874 deg), so the set is "always above",
// as on the days after; it used to be "not valid".
TEST(GrazingDays, ASetOnTheWrongSideOfTheTransitIsClassified) {
    const VorLocation loc = PrayerPlace(66.0, 55.5, 4.0f, 300);
    VorConfig cfg = DayPrayerSettings();
    SunEventTable t;
    EventSettings settings(cfg);
    settings.horizonHeight = 0.0;
    ComputeAreaSunEvents(Civil(1905, 6, 12), loc, settings, t);
    EXPECT_FALSE(IsTimeMarker(t.triple[SunriseSunsetTriple].rise));
    EXPECT_EQ(t.triple[SunriseSunsetTriple].set, TimeAlwaysAbove);
    ComputeAreaSunEvents(Civil(1905, 6, 11), loc, settings, t);
    EXPECT_FALSE(IsTimeMarker(t.triple[SunriseSunsetTriple].set));
    ComputeAreaSunEvents(Civil(1905, 6, 13), loc, settings, t);
    EXPECT_EQ(t.triple[SunriseSunsetTriple].set, TimeAlwaysAbove);
}

}  // namespace
}  // namespace vorlin
