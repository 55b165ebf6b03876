// Loops that end on their caps rather than on convergence: each test
// drives one loop to its stated bound and checks that it stops there with
// the defined result.  (The caps of the rise/transit/set iteration, the
// new-moon refinement, the Hijri month search and its latitude walk, and
// the high-latitude attempts are reached in the tests of their own
// subsystems.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "astro/lunar_phases.h"
#include "calendar/julian_day.h"
#include "vorlin.h"

namespace {

// With an infinitely negative time zone every candidate new moon lies
// "before" the date, so the lunation search runs to its cap of
// NewMoonMaxLunationSteps steps and returns the candidate reached there.
TEST(LoopBounds, NewMoonSearchStopsAfterThreeLunationSteps) {
    VorDate date{};
    date.year = 2024;
    date.month = 3;
    date.day = 11.0;
    VorLocation loc{};
    loc.timeZone = -std::numeric_limits<float>::infinity();
    double expected = vorlin::MoonPhaseTime(vorlin::DateToJulianDay(date) - 30.0);
    for (int step = 0; step < vorlin::NewMoonMaxLunationSteps; ++step) {
        expected = vorlin::MoonPhaseTime(expected + 1.0);
    }
    EXPECT_EQ(vorlin::NewMoonEstimate(&date, &loc), expected);
    ASSERT_EQ(vorlin::NewMoonMaxLunationSteps, 3);
}

// The slowest schedule we know: 89 degrees north, rule 7 (a seventh of the
// night, always) and an area of 50 km.  A whole year takes about 4 s; the
// month of the midnight sun is run here, and every day of it has its row.
TEST(LoopBounds, FarNorthWithRuleSevenAndAreaCompletes) {
    VorDate date{};
    date.year = 2024;
    date.month = 6;
    date.day = 1.0;
    VorLocation loc{};
    std::strcpy(loc.name, "North");
    loc.latitude = 89.0;
    loc.longitude = 10.0;
    loc.timeZone = 1.0f;
    VorConfig cfg{};
    cfg.imsakAngle = -19.0f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = 1;
    cfg.temperature = 10;
    cfg.toleranceSeconds = 1;
    cfg.crescentThreshold = 20.0f;
    cfg.highLatitudeRule = 7;
    cfg.distanceKm = 50;
    cfg.scheduleFlags = VOR_SPAN_MONTH;
    const int32_t n = VorCalculateN(&date, &loc, &cfg, nullptr, 0);
    std::vector<char> text(static_cast<std::size_t>(n) + 1);
    ASSERT_EQ(VorCalculateN(&date, &loc, &cfg, text.data(), n + 1), n);
    const std::string report(text.data());
    EXPECT_NE(report.find("\n30  "), std::string::npos) << report;
    EXPECT_EQ(report.find("\n31  "), std::string::npos);
    EXPECT_NE(report.find("AlwAbove"), std::string::npos) << "the Sun never sets in June at 89 N";
}

}  // namespace
