#include "calendar/summer_time.h"

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

// Rule value of a weekday rule: month, occurrence (0 first .. 4 last),
// weekday (0 Monday .. 6 Sunday).
constexpr int WeekdayRule(int month, int occurrence, int weekday) {
    return (month << 8) | (32 + 5 * weekday + occurrence);
}

static_assert(WeekdayRule(3, 4, 6) == 834 && WeekdayRule(10, 4, 6) == 2626 &&
              WeekdayRule(10, 0, 6) == 2622 && WeekdayRule(3, 2, 6) == 832 &&
              WeekdayRule(2, 1, 6) == 575 && WeekdayRule(4, 0, 6) == 1086);

struct RuleDayCase {
    int k, month, year, day;
};

class SummerRuleDayTest : public ::testing::TestWithParam<RuleDayCase> {};

TEST_P(SummerRuleDayTest, FindsTheDay) {
    const RuleDayCase c = GetParam();
    EXPECT_EQ(SummerRuleDay(c.k, c.month, c.year), c.day);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar2004, SummerRuleDayTest,
    ::testing::Values(RuleDayCase{34, 3, 2004, 28},   // last Sunday of March
                      RuleDayCase{34, 10, 2004, 31},  // last Sunday of October
                      RuleDayCase{30, 10, 2004, 3},   // first Sunday of October
                      RuleDayCase{30, 4, 2004, 4},    // first Sunday of April
                      RuleDayCase{32, 3, 2004, 21},   // third Sunday of March
                      RuleDayCase{31, 2, 2004, 8},    // second Sunday of February
                      RuleDayCase{32, 10, 2004, 17},  // third Sunday of October
                      RuleDayCase{34, 2, 2004, 29},   // leap year: 29 February is a Sunday
                      RuleDayCase{34, 2, 2003, 23},
                      RuleDayCase{29, 2, 2004, 28},   // last Saturday
                      RuleDayCase{0, 3, 2004, 1},     // first Monday: 1 March 2004
                      RuleDayCase{3, 3, 2004, 22},    // fourth Monday
                      RuleDayCase{4, 5, 2004, 31},    // last Monday of May
                      RuleDayCase{18, 1, 2004, 22},   // fourth Thursday of January
                      RuleDayCase{13, 1, 2004, 28},   // fourth Wednesday
                      RuleDayCase{34, 12, 2004, 26}));

INSTANTIATE_TEST_SUITE_P(NoSuchDay, SummerRuleDayTest,
                         ::testing::Values(RuleDayCase{35, 3, 2004, 0},
                                           RuleDayCase{-1, 3, 2004, 0},
                                           RuleDayCase{223, 3, 2004, 0},
                                           RuleDayCase{34, 0, 2004, 0},
                                           RuleDayCase{34, 13, 2004, 0},
                                           RuleDayCase{4, -3, 2004, 0}));

// Every day of 2004 between first (included) and last (excluded).
bool InRange(const VorDate &d, int m1, int d1, int m2, int d2) {
    const int key = d.month * 100 + static_cast<int>(d.day);
    return key >= m1 * 100 + d1 && key < m2 * 100 + d2;
}

template <typename Expected>
void CheckEveryDayOf2004(int start, int end, Expected expected) {
    const double first = DateToJulianDay(Civil(2004, 1, 1));
    for (int i = 0; i < 366; ++i) {
        VorDate d{};
        JulianDayToDate(first + i, d);
        ASSERT_EQ(d.year, 2004);
        ASSERT_EQ(IsSummerTime(start, end, d), expected(d) ? 1 : 0)
            << int(d.month) << "-" << d.day;
    }
}

TEST(IsSummerTime, NorthernRuleHoldsFrom28MarchTo30October2004) {
    CheckEveryDayOf2004(834, 2626, [](const VorDate &d) { return InRange(d, 3, 28, 10, 31); });
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2004, 3, 27)), 0);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2004, 3, 28)), 1);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2004, 10, 30)), 1);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2004, 10, 31)), 0);
}

TEST(IsSummerTime, SouthernRuleHoldsAcrossTheNewYear) {
    CheckEveryDayOf2004(2626, 834, [](const VorDate &d) { return !InRange(d, 3, 28, 10, 31); });
    EXPECT_EQ(IsSummerTime(2626, 834, Civil(2004, 1, 1)), 1);
    EXPECT_EQ(IsSummerTime(2626, 834, Civil(2004, 3, 27)), 1);
    EXPECT_EQ(IsSummerTime(2626, 834, Civil(2004, 12, 31)), 1);
}

TEST(IsSummerTime, ThirdSundayOfMarchEndsOn21March2004) {
    CheckEveryDayOf2004(2622, 832, [](const VorDate &d) { return !InRange(d, 3, 21, 10, 3); });
    EXPECT_EQ(IsSummerTime(2622, 832, Civil(2004, 3, 20)), 1);
    EXPECT_EQ(IsSummerTime(2622, 832, Civil(2004, 3, 21)), 0);
}

TEST(IsSummerTime, SecondSundayOfFebruaryIs8February2004) {
    CheckEveryDayOf2004(2624, 575, [](const VorDate &d) { return !InRange(d, 2, 8, 10, 17); });
    EXPECT_EQ(IsSummerTime(2624, 575, Civil(2004, 2, 1)), 1);
    EXPECT_EQ(IsSummerTime(2624, 575, Civil(2004, 2, 7)), 1);
    EXPECT_EQ(IsSummerTime(2624, 575, Civil(2004, 2, 8)), 0);
}

TEST(IsSummerTime, FixedDaysOfTheMonth) {
    CheckEveryDayOf2004(789, 2327, [](const VorDate &d) { return InRange(d, 3, 21, 9, 23); });
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 3, 20)), 0);
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 3, 21)), 1);
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 9, 22)), 1);
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 9, 23)), 0);
    // The whole day counts: a time of day does not change the answer.
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 3, 21.99)), 1);
    EXPECT_EQ(IsSummerTime(789, 2327, Civil(2004, 9, 22.99)), 1);
    CheckEveryDayOf2004(1025, 2561, [](const VorDate &d) { return InRange(d, 4, 1, 10, 1); });
}

TEST(IsSummerTime, RuleDaysAreWorkedOutInTheYearTested) {
    // Last Sunday of March: 28 March 2004, 27 March 2005, 26 March 2006.
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2005, 3, 26)), 0);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2005, 3, 27)), 1);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2006, 3, 25)), 0);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2006, 3, 26)), 1);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2006, 10, 28)), 1);
    EXPECT_EQ(IsSummerTime(834, 2626, Civil(2006, 10, 29)), 0);
}

TEST(IsSummerTime, EqualMonthsAreNeverInForce) {
    CheckEveryDayOf2004(1025, 1060, [](const VorDate &) { return false; });
    CheckEveryDayOf2004(834, 834, [](const VorDate &) { return false; });
    CheckEveryDayOf2004(769, 799, [](const VorDate &) { return false; });
}

class BadRuleTest : public ::testing::TestWithParam<int> {};

// A rule naming no day (month outside 1..12, day code 0 or above 66) means
// no summer time, as start or as end.
TEST_P(BadRuleTest, MeansNoSummerTime) {
    const int bad = GetParam();
    CheckEveryDayOf2004(bad, 2626, [](const VorDate &) { return false; });
    CheckEveryDayOf2004(834, bad, [](const VorDate &) { return false; });
}

INSTANTIATE_TEST_SUITE_P(OutOfRange, BadRuleTest,
                         ::testing::Values((13 << 8) | 66, (0 << 8) | 40, (3 << 8) | 67,
                                           (3 << 8) | 255, (3 << 8) | 0, 768, -834,
                                           (200 << 8) | 34, 0x7FFFFFFF));

TEST(ApplySummerTime, ShiftsEveryTimeButTheMarkersByOneHour) {
    VorLocation loc{};
    loc.summerStart = 834;
    loc.summerEnd = 2626;
    const double before[9] = {1.0,  TimeNotValid, 0.0, TimeAlwaysBelow, -0.3,
                              6.25, TimeAlwaysAbove, 3.14159, 7.0};
    double times[9];
    for (int i = 0; i < 9; ++i) times[i] = before[i];
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 7, 1), 9, times), 1);
    for (int i = 0; i < 9; ++i) {
        if (IsTimeMarker(before[i])) {
            EXPECT_EQ(times[i], before[i]) << i;
        } else {
            EXPECT_EQ(times[i], before[i] + 0.2617993877991494) << i;
        }
    }
    // A time pushed past 2 pi stays there.
    EXPECT_GT(times[5], TwoPi);
}

TEST(ApplySummerTime, LeavesTimesAloneOutsideSummerTime) {
    VorLocation loc{};
    loc.summerStart = 834;
    loc.summerEnd = 2626;
    double times[3] = {1.0, 2.0, 3.0};
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 3, 27), 3, times), 0);
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 10, 31), 3, times), 0);
    EXPECT_EQ(times[0], 1.0);
    EXPECT_EQ(times[1], 2.0);
    EXPECT_EQ(times[2], 3.0);
}

TEST(ApplySummerTime, NoSummerTimeWhenStartIsZeroWhateverTheEnd) {
    VorLocation loc{};
    loc.summerStart = 0;
    loc.summerEnd = 2626;  // would put 1 January to 30 October in summer time
    double times[2] = {1.0, 2.0};
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 7, 1), 2, times), 0);
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 1, 1), 2, times), 0);
    EXPECT_EQ(times[0], 1.0);
    EXPECT_EQ(times[1], 2.0);
}

TEST(ApplySummerTime, ShiftsOnlyTheCountGiven) {
    VorLocation loc{};
    loc.summerStart = 789;
    loc.summerEnd = 2327;
    double times[3] = {1.0, 2.0, 3.0};
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 6, 1), 2, times), 1);
    EXPECT_EQ(times[1], 2.0 + HourToRad);
    EXPECT_EQ(times[2], 3.0);
    EXPECT_EQ(ApplySummerTime(loc, Civil(2004, 6, 1), 0, times), 1);
    EXPECT_EQ(times[0], 1.0 + HourToRad);
}

}  // namespace
}  // namespace vorlin
