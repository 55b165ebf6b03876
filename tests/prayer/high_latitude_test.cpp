#include "prayer/high_latitude.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "prayer/sun_events.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

// The day's table after the rule step.
SunEventTable WithRule(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    SunEventTable t = AreaEvents(date, loc, cfg);
    ApplyHighLatitudeRule(date, loc, cfg, t);
    return t;
}

VorConfig RuleSettings(int rule) {
    VorConfig cfg = DayPrayerSettings();
    cfg.highLatitudeRule = rule;
    return cfg;
}

// Imsak's lead before Fajr where a rule sets it, as documented: the angles'
// difference at 4 minutes a degree (0 when the Imsak angle is not deeper).
double LeadMinutes(const VorConfig &cfg) {
    const double degrees = static_cast<double>(cfg.fajrAngle) - cfg.imsakAngle;
    return degrees > 0.0 ? 4.0 * degrees : 0.0;
}

VorDate DaysBefore(const VorDate &date, int days) {
    VorDate d = date;
    JulianDayToDate(DateToJulianDay(date) - days, d);
    return d;
}

// ---------------------------------------------------------------------------
// Needed events by school.

// A table with a time in every element.
SunEventTable AllValid() {
    SunEventTable t;
    for (int e = 0; e < SunEventTable::ElementCount; ++e) t.Element(e) = 0.1 * e;
    return t;
}

struct NeededCase {
    const char *label;
    int element;          // 0..17 of the SunEventTable
    bool needed[6];       // fiqh 0, 1, 2, 3, 4 and an unknown value (7)
};

class NeededEvents : public ::testing::TestWithParam<NeededCase> {};

TEST_P(NeededEvents, MarkerInOneElement) {
    const NeededCase c = GetParam();
    const int fiqhs[6] = {0, 1, 2, 3, 4, 7};
    for (double marker : {TimeNotValid, TimeAlwaysBelow, TimeAlwaysAbove}) {
        SunEventTable t = AllValid();
        t.Element(c.element) = marker;
        for (int i = 0; i < 6; ++i) {
            VorConfig cfg = DayPrayerSettings();
            cfg.fiqh = fiqhs[i];
            EXPECT_EQ(AllNeededTimesValid(cfg, t), c.needed[i] ? 0 : 1)
                << c.label << " fiqh " << fiqhs[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    BySchool, NeededEvents,
    ::testing::Values(NeededCase{"Imsak", 4, {true, true, true, true, true, true}},
                      NeededCase{"Fajr", 7, {true, true, true, true, true, true}},
                      NeededCase{"Duhr", 9, {true, true, true, true, true, true}},
                      NeededCase{"Maghrib", 2, {true, true, true, true, true, true}},
                      NeededCase{"Isha", 5, {false, true, true, true, true, true}},
                      NeededCase{"AsrFactor1", 14, {false, true, false, true, true, true}},
                      NeededCase{"AsrFactor2", 17, {false, false, true, false, false, false}},
                      NeededCase{"Shuruq", 1, {false, false, false, false, false, false}},
                      NeededCase{"SunTransit", 0, {false, false, false, false, false, false}},
                      NeededCase{"FajrEvening", 8, {false, false, false, false, false, false}}),
    [](const ::testing::TestParamInfo<NeededCase> &info) { return info.param.label; });

TEST(NeededEventsAll, ValidTableIsValidForEverySchool) {
    for (int fiqh : {0, 1, 2, 3, 4, -1, 99}) {
        VorConfig cfg = DayPrayerSettings();
        cfg.fiqh = fiqh;
        EXPECT_EQ(AllNeededTimesValid(cfg, AllValid()), 1) << fiqh;
    }
}

// ---------------------------------------------------------------------------
// Days with every needed event: the "when needed" rules change nothing.

class RuleOnCompleteDay : public ::testing::TestWithParam<int> {};

TEST_P(RuleOnCompleteDay, TableUnchanged) {
    const VorLocation loc = PrayerPlace(30.0, 31.0, 2.0f);
    const VorDate date = Civil(2024, 6, 21);
    const VorConfig cfg = RuleSettings(GetParam());
    EXPECT_TRUE(SameBits(WithRule(date, loc, cfg), AreaEvents(date, loc, cfg)));
}

INSTANTIATE_TEST_SUITE_P(WhenNeededAndOutOfRange, RuleOnCompleteDay,
                         ::testing::Values(0, 1, 3, 5, 6, 7, 8, 10, -1, 1000));

// ---------------------------------------------------------------------------
// A seventh of the day and of the night.

TEST(SeventhOfDay, Rule2At30NorthReplacesTheAngles) {
    const VorLocation loc = PrayerPlace(30.0, 31.0, 2.0f);
    const VorDate date = Civil(2024, 3, 1);
    const VorConfig cfg = RuleSettings(2);
    const SunEventTable before = AreaEvents(date, loc, cfg);
    const SunEventTable t = WithRule(date, loc, cfg);
    const double rise = before.triple[SunriseSunsetTriple].rise;
    const double set = before.triple[SunriseSunsetTriple].set;
    const double q = (set - rise) / 7.0;
    EXPECT_NEAR(ToSeconds(t.triple[FajrTriple].rise - (rise - q)), 0.0, 1e-6);
    EXPECT_NEAR(ToSeconds(t.triple[ImsakIshaTriple].set - (set + q)), 0.0, 1e-6);
    // Imsak keeps its lead before Fajr: 2 degrees deeper, 8 minutes.
    EXPECT_NEAR(ToMinutes(t.triple[FajrTriple].rise - t.triple[ImsakIshaTriple].rise), 8.0, 1e-9);
    // About 11.5 h of daylight: a seventh is near 99 minutes, unlike the
    // -18 degree twilight (about 80 minutes).
    EXPECT_NEAR(ToMinutes(q), 99.0, 3.0);
    EXPECT_GT(std::fabs(ToMinutes(before.triple[FajrTriple].rise - t.triple[FajrTriple].rise)), 10.0);
    // Everything else is untouched.
    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        if (e == 4 || e == 5 || e == 7) continue;
        EXPECT_EQ(t.Element(e), before.Element(e)) << e;
    }
}

TEST(SeventhOfDay, Rule1FillsOnlyTheMissingTwilight) {
    // 60 N in June: -18 and -17 degrees are not reached, -12 is.
    const VorLocation loc = PrayerPlace(60.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 15);
    VorConfig cfg = RuleSettings(1);
    cfg.imsakAngle = -4.0f;
    const SunEventTable before = AreaEvents(date, loc, cfg);
    ASSERT_EQ(before.triple[FajrTriple].rise, TimeAlwaysAbove);
    ASSERT_FALSE(IsTimeMarker(before.triple[ImsakIshaTriple].rise));
    const SunEventTable t = WithRule(date, loc, cfg);
    const double rise = before.triple[SunriseSunsetTriple].rise;
    const double q = (before.triple[SunriseSunsetTriple].set - rise) / 7.0;
    EXPECT_NEAR(ToSeconds(t.triple[FajrTriple].rise - (rise - q)), 0.0, 1e-6);
    // Imsak at -4 degrees came after Fajr's place; with Fajr given by the
    // rule, Imsak follows it (no lead: its angle is not deeper).
    EXPECT_GT(before.triple[ImsakIshaTriple].rise, t.triple[FajrTriple].rise);
    EXPECT_EQ(t.triple[ImsakIshaTriple].rise, t.triple[FajrTriple].rise);
}

TEST(SeventhOfDay, Rule1InPolarNightChangesNothing) {
    // 70 N in December: no sunrise; Duhr is missing, and a seventh of no day
    // fills nothing.
    const VorLocation loc = PrayerPlace(70.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 12, 21);
    for (int rule : {1, 2, 3, 4}) {
        const VorConfig cfg = RuleSettings(rule);
        const SunEventTable before = AreaEvents(date, loc, cfg);
        ASSERT_EQ(before.triple[SunriseSunsetTriple].rise, TimeAlwaysBelow);
        const SunEventTable t = WithRule(date, loc, cfg);
        if (rule == 1 || rule == 3) {
            EXPECT_TRUE(SameBits(t, before)) << rule;
        } else {
            // The "always" rules clear the twilight times first.
            EXPECT_EQ(t.triple[FajrTriple].rise, TimeNotValid) << rule;
            EXPECT_EQ(t.triple[ImsakIshaTriple].rise, TimeNotValid) << rule;
            EXPECT_EQ(t.triple[ImsakIshaTriple].set, TimeNotValid) << rule;
        }
    }
}

TEST(SeventhOfNight, Rule4At60NorthInJune) {
    const VorLocation loc = PrayerPlace(60.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 15);
    const VorConfig cfg = RuleSettings(4);
    const SunEventTable today = AreaEvents(date, loc, cfg);
    const SunEventTable yesterday = AreaEvents(DaysBefore(date, 1), loc, cfg);
    const SunEventTable tomorrow = AreaEvents(DaysBefore(date, -1), loc, cfg);
    const double rise = today.triple[SunriseSunsetTriple].rise;
    const double set = today.triple[SunriseSunsetTriple].set;
    const double nightBefore = rise + TwoPi - yesterday.triple[SunriseSunsetTriple].set;
    const double nightAfter = tomorrow.triple[SunriseSunsetTriple].rise + TwoPi - set;
    // A short night of about 5.1 hours (Helsinki: sunset 21:49, sunrise 2:54 standard time).
    EXPECT_NEAR(ToHours(nightBefore), 5.1, 0.4);
    const SunEventTable t = WithRule(date, loc, cfg);
    EXPECT_NEAR(ToSeconds(t.triple[FajrTriple].rise - (rise - nightBefore / 7.0)), 0.0, 1e-6);
    EXPECT_NEAR(ToMinutes(t.triple[ImsakIshaTriple].rise - (rise - nightBefore / 7.0)),
                -LeadMinutes(cfg), 1e-6);
    EXPECT_NEAR(ToSeconds(t.triple[ImsakIshaTriple].set - (set + nightAfter / 7.0)), 0.0, 1e-6);
}

// ---------------------------------------------------------------------------
// The nearest latitude and the nearest earlier day.

// Tables at the latitudes 1, 2, ... degrees toward the equator (the steps
// accumulate as the rule takes them), up to the first with every needed
// event; returns how many were needed.
int TablesTowardEquator(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                        SunEventTable *tables, int most) {
    VorLocation moved = loc;
    for (int k = 0; k < most; ++k) {
        moved.latitude += moved.latitude > 0.0 ? -DegToRad : DegToRad;
        tables[k] = AreaEvents(date, moved, cfg);
        if (AllNeededTimesValid(cfg, tables[k]) == 1) return k + 1;
    }
    return most;
}

int TablesOfEarlierDays(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                        SunEventTable *tables, int most) {
    for (int k = 0; k < most; ++k) {
        tables[k] = AreaEvents(DaysBefore(date, k + 1), loc, cfg);
        if (AllNeededTimesValid(cfg, tables[k]) == 1) return k + 1;
    }
    return most;
}

// Rule 6/8 outcome: a time that existed stays; a missing one comes from the
// first table (in search order) that has it, else from the last table.
// Imsak, when the rule gives it or Fajr a value, follows Fajr at its lead.
void ExpectMissingFilledFromFirstThatHasThem(const SunEventTable &before,
                                             const SunEventTable &after,
                                             const SunEventTable *tables, int count,
                                             const VorConfig &cfg) {
    int filled = 0;
    const int imsak = 3 * ImsakIshaTriple + 1;
    ASSERT_TRUE(IsTimeMarker(before.Element(imsak)));
    EXPECT_NEAR(ToMinutes(after.triple[FajrTriple].rise - after.Element(imsak)), LeadMinutes(cfg),
                1e-6);
    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        if (e == imsak) continue;
        if (!IsTimeMarker(before.Element(e))) {
            EXPECT_EQ(after.Element(e), before.Element(e)) << e;
            continue;
        }
        double expected = tables[count - 1].Element(e);
        for (int k = 0; k < count; ++k) {
            if (!IsTimeMarker(tables[k].Element(e))) {
                expected = tables[k].Element(e);
                break;
            }
        }
        EXPECT_EQ(after.Element(e), expected) << e;
        if (!IsTimeMarker(expected)) ++filled;
    }
    EXPECT_GT(filled, 0);
}

TEST(NearestLocation, Rule6FillsOnlyTheMissingTimes) {
    const VorLocation loc = PrayerPlace(66.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 21);
    const VorConfig cfg = RuleSettings(6);
    const SunEventTable before = AreaEvents(date, loc, cfg);
    ASSERT_EQ(before.triple[FajrTriple].rise, TimeAlwaysAbove);
    SunEventTable tables[40];
    const int count = TablesTowardEquator(date, loc, cfg, tables, 40);
    ASSERT_LT(count, 40);
    // Imsak's -20 degrees is reached from about 46.5 N in midsummer (-18 from 48.5 N).
    EXPECT_GE(count, 18);
    EXPECT_LE(count, 22);
    const SunEventTable after = WithRule(date, loc, cfg);
    EXPECT_EQ(AllNeededTimesValid(cfg, after), 1);
    ExpectMissingFilledFromFirstThatHasThem(before, after, tables, count, cfg);
}

TEST(NearestLocation, Rule5TakesTheWholeTableOfTheFirstCompleteLatitude) {
    const VorLocation loc = PrayerPlace(66.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 21);
    const VorConfig cfg = RuleSettings(5);
    SunEventTable tables[40];
    const int count = TablesTowardEquator(date, loc, cfg, tables, 40);
    ASSERT_LT(count, 40);
    const SunEventTable after = WithRule(date, loc, cfg);
    EXPECT_TRUE(SameBits(after, tables[count - 1]));
    // Even Shuruq is replaced: at 66 N the Sun does not set on this day.
    EXPECT_EQ(AreaEvents(date, loc, cfg).triple[SunriseSunsetTriple].rise, TimeAlwaysAbove);
    EXPECT_FALSE(IsTimeMarker(after.triple[SunriseSunsetTriple].rise));
}

TEST(NearestLocation, SouthernHemisphereMovesNorth) {
    const VorLocation loc = PrayerPlace(-62.0, -58.0, -3.0f);
    const VorDate date = Civil(2024, 12, 21);
    const VorConfig cfg = RuleSettings(5);
    SunEventTable tables[40];
    const int count = TablesTowardEquator(date, loc, cfg, tables, 40);
    ASSERT_LT(count, 40);
    ASSERT_GT(count, 1);
    EXPECT_TRUE(SameBits(WithRule(date, loc, cfg), tables[count - 1]));
}

TEST(NearestDay, Rule8FillsOnlyTheMissingTimes) {
    const VorLocation loc = PrayerPlace(60.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 21);
    const VorConfig cfg = RuleSettings(8);
    const SunEventTable before = AreaEvents(date, loc, cfg);
    ASSERT_EQ(before.triple[FajrTriple].rise, TimeAlwaysAbove);
    SunEventTable tables[120];
    const int count = TablesOfEarlierDays(date, loc, cfg, tables, 120);
    ASSERT_LT(count, 120);
    // At 60 N the Sun goes 20 degrees below the horizon until mid-April.
    EXPECT_GE(count, 50);
    const SunEventTable after = WithRule(date, loc, cfg);
    EXPECT_EQ(AllNeededTimesValid(cfg, after), 1);
    ExpectMissingFilledFromFirstThatHasThem(before, after, tables, count, cfg);
}

TEST(NearestDay, Rule7TakesTheWholeTableOfTheNearestCompleteDay) {
    const VorLocation loc = PrayerPlace(60.0, 25.0, 2.0f);
    const VorDate date = Civil(2024, 6, 21);
    const VorConfig cfg = RuleSettings(7);
    SunEventTable tables[120];
    const int count = TablesOfEarlierDays(date, loc, cfg, tables, 120);
    ASSERT_LT(count, 120);
    const SunEventTable after = WithRule(date, loc, cfg);
    EXPECT_TRUE(SameBits(after, tables[count - 1]));
    // Shuruq comes from that April day: over an hour later than in June.
    EXPECT_GT(ToHours(after.triple[SunriseSunsetTriple].rise -
                      AreaEvents(date, loc, cfg).triple[SunriseSunsetTriple].rise),
              1.0);
}

TEST(NearestDay, GivesUpAfter365DaysWithTheLastAttempt) {
    // At 89 N the Sun never spans 18 degrees below the horizon and the
    // horizon on one day: no day of the year has every needed event.
    const VorLocation loc = PrayerPlace(89.0, 0.0, 0.0f);
    const VorDate date = Civil(2024, 12, 21);
    const VorConfig cfg = RuleSettings(7);
    const SunEventTable after = WithRule(date, loc, cfg);
    EXPECT_EQ(AllNeededTimesValid(cfg, after), 0);
    EXPECT_TRUE(SameBits(after, AreaEvents(DaysBefore(date, 365), loc, cfg)));
}

}  // namespace
}  // namespace vorlin
