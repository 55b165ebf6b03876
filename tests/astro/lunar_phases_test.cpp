#include "astro/lunar_phases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "calendar/julian_day.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

const VorLocation Makkah = MakkahInRadians(/*name=*/"");

// ---- Mean phase series --------------------------------------------------

struct PhaseCase {
    double jd;
    double expectedJde;
    double tolerance;
};

class MoonPhaseTimeCase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(MoonPhaseTimeCase, GivesThePublishedNewMoon) {
    EXPECT_NEAR(MoonPhaseTime(GetParam().jd), GetParam().expectedJde, GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    PublishedNewMoons, MoonPhaseTimeCase,
    ::testing::Values(
        // k = 0: the new moon of 2000 January 6.
        PhaseCase{2451520.0, 2451550.2602, 1e-4},
        // floor(0.0306) + 1 = 1: 2000 February 5, not January 6 again.
        PhaseCase{2451550.0, 2451580.0447, 1e-4},
        // Meeus, Astronomical Algorithms, example 49.a: k = -283, the new
        // moon of 1977 February 18 at 3h37m40s TD.
        PhaseCase{2443182.0, 2443192.65118, 2e-5}));

TEST(PhasePolynomial, LunationZeroGivesTheEpochElements) {
    EXPECT_DOUBLE_EQ(PhasePolynomial(0, 0.0, 0.0), 2451550.09765);
    EXPECT_DOUBLE_EQ(PhasePolynomial(1, 0.0, 0.0), 2.5534);
    EXPECT_DOUBLE_EQ(PhasePolynomial(2, 0.0, 0.0), 201.5643);
    EXPECT_DOUBLE_EQ(PhasePolynomial(3, 0.0, 0.0), 160.7108);
    EXPECT_DOUBLE_EQ(PhasePolynomial(4, 0.0, 0.0), 124.7746);
    // One lunation later the mean new moon is one mean synodic month on.
    EXPECT_NEAR(PhasePolynomial(0, 1.0, 1.0 / 1236.85) - PhasePolynomial(0, 0.0, 0.0),
                29.530588853, 1e-9);
    EXPECT_EQ(PhasePolynomial(5, 1.0, 0.001), 0.0);
    EXPECT_EQ(PhasePolynomial(-1, 1.0, 0.001), 0.0);
}

TEST(MoonPhaseTime, SuccessiveNewMoonsAreOneTrueSynodicMonthApart) {
    // The true lunation varies between about 29.27 and 29.83 days.
    double previous = MoonPhaseTime(DateToJulianDay(Civil(2023, 1, 1.0)));
    for (int i = 0; i < 30; ++i) {
        const double next = MoonPhaseTime(previous + 1.0);
        EXPECT_GT(next - previous, 29.25) << "after JDE " << previous;
        EXPECT_LT(next - previous, 29.85) << "after JDE " << previous;
        previous = next;
    }
}

TEST(MoonPhaseTime, SelectsTheFirstNewMoonMoreThanADayAhead) {
    const double january = MoonPhaseTime(2451520.0);
    // Any jd up to about a day before the mean new moon selects it.
    EXPECT_EQ(MoonPhaseTime(2451522.0), january);
    EXPECT_EQ(MoonPhaseTime(2451548.0), january);
    EXPECT_GT(MoonPhaseTime(2451549.2), january + 29.0);
}

// ---- Wrap rule of the refinement ----------------------------------------

struct GapCase {
    double sunDeg;
    double moonDeg;
    double expectedGapDeg;
};

class ConjunctionGap : public ::testing::TestWithParam<GapCase> {};

TEST_P(ConjunctionGap, IsTakenAcrossZeroWhenLargerThanThirtyDegrees) {
    const GapCase &c = GetParam();
    EXPECT_NEAR(ConjunctionLongitudeGap(c.sunDeg * DegToRad, c.moonDeg * DegToRad) * RadToDeg,
                c.expectedGapDeg, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    WrapRule, ConjunctionGap,
    ::testing::Values(GapCase{359.0, 1.0, -2.0},    // Sun larger by 358: wraps
                      GapCase{1.0, 359.0, 2.0},     // Moon larger by 358: wraps
                      GapCase{361.0, 359.0, 2.0},   // unreduced Sun longitude
                      GapCase{370.0, 8.0, 2.0},     // unreduced Sun, Moon reduced
                      GapCase{100.0, 95.0, 5.0},    // ordinary, Moon behind
                      GapCase{95.0, 100.0, -5.0},   // ordinary, Moon ahead
                      GapCase{129.9, 100.0, 29.9},  // just inside 30 degrees: no wrap
                      GapCase{100.0, 129.9, -29.9},
                      GapCase{130.1, 100.0, -329.9},  // just beyond: taken across 0
                      GapCase{100.0, 130.1, 329.9},
                      GapCase{200.0, 200.0, 0.0}));

TEST(ConjunctionCorrectionDays, MovesBackAboutASixthOfADayForMinusTwoDegrees) {
    const double gap = ConjunctionLongitudeGap(359.0 * DegToRad, 1.0 * DegToRad);
    EXPECT_NEAR(ConjunctionCorrectionDays(gap), -0.164, 5e-4);
    // 360 degrees of gap is one synodic month of 29 d 12 h 44 min 3 s.
    EXPECT_NEAR(ConjunctionCorrectionDays(TwoPi), 29.0 + (12.0 + (44.0 + 3.0 / 60.0) / 60.0) / 24.0,
                0.2 / 86400.0);
}

// ---- Refinement to the conjunction ---------------------------------------

TEST(RefineNewMoon, GeocentricJanuary2000ConvergesInFivePositions) {
    const VorLocation centre = PlaceInRadians(0.0, 0.0, 0, 0.0f);
    double jd = MoonPhaseTime(2451520.0);  // the mean-phase value 2451550.2602
    int evaluations = 0;
    EXPECT_EQ(RefineNewMoon(&centre, &jd, 0.0, &evaluations), 1);
    EXPECT_EQ(evaluations, 5);
    EXPECT_NEAR(jd, 2451550.26020, 5e-6);
    EXPECT_NEAR(DeltaT(JulianCenturies(jd)), 63.83, 0.01);
}

TEST(RefineNewMoon, GeocentricResultDoesNotDependOnThePlace) {
    double atCentre = 2451550.2602;
    double atMakkah = 2451550.2602;
    const VorLocation centre = PlaceInRadians(0.0, 0.0, 0, 0.0f);
    RefineNewMoon(&centre, &atCentre, 0.0);
    RefineNewMoon(&Makkah, &atMakkah, 0.0);  // 0.0: any value but 1.0 is geocentric
    EXPECT_EQ(atCentre, atMakkah);
    double withOtherFlag = 2451550.2602;
    RefineNewMoon(&Makkah, &withOtherFlag, 0.5);
    EXPECT_EQ(withOtherFlag, atCentre);
}

TEST(RefineNewMoon, TopocentricAtMakkahConvergesInElevenPositions) {
    double jd = MoonPhaseTime(2451520.0);
    int evaluations = 0;
    EXPECT_EQ(RefineNewMoon(&Makkah, &jd, 1.0, &evaluations), 1);
    EXPECT_EQ(evaluations, 11);
    // Parallax shifts the Moon by up to about a degree: the observer's
    // conjunction lies within a few hours of the geocentric one.
    EXPECT_GT(std::fabs(jd - 2451550.26020), 1e-3);
    EXPECT_LT(std::fabs(jd - 2451550.26020), 0.15);
}

TEST(RefineNewMoon, RunThatCannotConvergeStopsAtTheCap) {
    VorLocation broken = Makkah;
    broken.latitude = std::numeric_limits<double>::quiet_NaN();
    double jd = 2451550.2602;
    int evaluations = 0;
    EXPECT_EQ(RefineNewMoon(&broken, &jd, 1.0, &evaluations), 0);
    EXPECT_EQ(evaluations, NewMoonMaxCorrections + 1);
}

// ---- Search for the next new moon ---------------------------------------

struct FindCase {
    int year, month;
    double day;
    float zone;
    double expectedGeocentricTt;  // refined geocentric JDE, without the zone
    double tolerance;
};

class FindNewMoonsCase : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNewMoonsCase, ReturnsTheFirstNewMoonNotBeforeTheDate) {
    const FindCase &c = GetParam();
    const VorLocation loc = PlaceInRadians(21.4225, 39.8262, 300, c.zone);
    const VorDate date = Civil(c.year, c.month, c.day);
    double geo = 0.0;
    double topo = 0.0;
    FindNewMoons(&date, &loc, &geo, &topo);
    const double z = static_cast<double>(c.zone) / 24.0;
    EXPECT_NEAR(geo - z, c.expectedGeocentricTt, c.tolerance);
    EXPECT_LT(std::fabs(topo - geo), 0.15);
    // The topocentric result is the refinement of the geocentric one.
    double refined = geo - z;
    RefineNewMoon(&loc, &refined, 1.0);
    EXPECT_NEAR(topo - z, refined, 1e-9);
}

// The mean-phase instant of 2000 January 6 is 18:14:41 TT (JDE 2451550.2602);
// the next new moon is 2000 February 5 at 13:03 UT, 13:04 TT (JDE 2451580.0445,
// to the published minute).
INSTANTIATE_TEST_SUITE_P(
    BeforeAndAfter, FindNewMoonsCase,
    ::testing::Values(
        FindCase{1999, 12, 20.0, 0.0f, 2451550.26020, 2e-5},  // two weeks before
        FindCase{2000, 1, 6.0, 0.0f, 2451550.26020, 2e-5},    // the day of the new moon
        FindCase{2000, 1, 6.75, 0.0f, 2451550.26020, 2e-5},   // 18:00, before it
        FindCase{2000, 1, 6.77, 0.0f, 2451580.0445, 5e-4},   // 18:29, after it: next
        FindCase{2000, 1, 7.0, 0.0f, 2451580.0445, 5e-4},    // the day after
        FindCase{2000, 1, 6.87, 3.0f, 2451550.26020, 2e-5},   // 20:53 local, new moon 21:14
        FindCase{2000, 1, 6.9, 3.0f, 2451580.0445, 5e-4},    // 21:36 local: next
        FindCase{2000, 1, 6.7, -3.0f, 2451580.0445, 5e-4})); // zone -3: new moon 15:14 local
}  // namespace
}  // namespace vorlin
