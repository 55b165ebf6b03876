#include "calendar/julian_day.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct JdCase {
    int year, month;
    double day, jd;
};

class DateToJulianDayTest : public ::testing::TestWithParam<JdCase> {};

TEST_P(DateToJulianDayTest, GivesPublishedJulianDate) {
    const JdCase c = GetParam();
    EXPECT_EQ(DateToJulianDay(Civil(c.year, c.month, c.day)), c.jd);
}

INSTANTIATE_TEST_SUITE_P(Published, DateToJulianDayTest,
                         ::testing::Values(JdCase{2000, 1, 1.5, 2451545.0},
                                           JdCase{1582, 10, 4, 2299159.5},
                                           JdCase{1582, 10, 15, 2299160.5},
                                           JdCase{-4712, 1, 1.5, 0.0},
                                           JdCase{1957, 10, 4.81, 2436116.31},
                                           JdCase{333, 1, 27.5, 1842713.0},
                                           JdCase{-1000, 7, 12.5, 1356001.0},
                                           JdCase{1600, 12, 31, 2305812.5}));

TEST(JulianDayToDate, GregorianReformBoundaries) {
    VorDate d{};
    JulianDayToDate(2299160.5, d);
    EXPECT_EQ(d.year, 1582);
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 15.0);
    EXPECT_EQ(d.hour, 0);
    EXPECT_EQ(d.minute, 0);
    EXPECT_EQ(d.second, 0);
    JulianDayToDate(2299159.5, d);
    EXPECT_EQ(d.year, 1582);
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 4.0);
}

TEST(JulianDayToDate, FractionOfDayGivesClockFields) {
    VorDate d{};
    d.hijriYear = 1234;  // not touched
    JulianDayToDate(2451545.25, d);
    EXPECT_EQ(d.year, 2000);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1.75);
    EXPECT_EQ(d.hour, 18);
    EXPECT_EQ(d.minute, 0);
    EXPECT_EQ(d.second, 0);
    EXPECT_EQ(d.hijriYear, 1234);
}

TEST(IsLeapYear, JulianAndGregorianRules) {
    EXPECT_EQ(IsLeapYear(1500), 1);
    EXPECT_EQ(IsLeapYear(1600), 1);
    EXPECT_EQ(IsLeapYear(1700), 0);
    EXPECT_EQ(IsLeapYear(1900), 0);
    EXPECT_EQ(IsLeapYear(2000), 1);
    EXPECT_EQ(IsLeapYear(1581), 0);
    EXPECT_EQ(IsLeapYear(-4), 1);
    EXPECT_EQ(IsLeapYear(-1), 0);
}

struct ValidCase {
    int year, month;
    double day;
    int valid;
};

class CivilValidityTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(CivilValidityTest, MatchesCalendar) {
    const ValidCase c = GetParam();
    EXPECT_EQ(IsValidDate(Civil(c.year, c.month, c.day), 0), c.valid)
        << c.year << "-" << c.month << "-" << c.day;
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, CivilValidityTest,
    ::testing::Values(ValidCase{2000, 2, 29, 1}, ValidCase{2001, 2, 29, 0},
                      ValidCase{1900, 2, 29, 0}, ValidCase{1500, 2, 29, 1},
                      ValidCase{1582, 10, 4, 1}, ValidCase{1582, 10, 15, 1},
                      ValidCase{1582, 10, 5, 0}, ValidCase{1582, 10, 10, 0},
                      ValidCase{1582, 10, 14, 0}, ValidCase{2001, 4, 31, 0},
                      ValidCase{2001, 4, 30, 1}, ValidCase{2001, 4, 0, 0},
                      ValidCase{2001, 4, -3, 0}, ValidCase{2001, 13, 1, 0},
                      ValidCase{2001, 0, 1, 0}, ValidCase{2001, 1, 31.5, 1},
                      ValidCase{2001, 1, 0.5, 0}));

TEST(HijriValidity, AcceptsDayThirtyInEveryMonthOnly) {
    for (int m = 1; m <= 12; ++m) {
        VorDate d{};
        d.hijriYear = 1445;
        d.hijriMonth = static_cast<uint8_t>(m);
        d.hijriDay = 30.0;
        EXPECT_EQ(IsValidDate(d, 1), 1);
        d.hijriDay = 30.5;
        EXPECT_EQ(IsValidDate(d, 1), 0);
        d.hijriDay = 0.5;
        EXPECT_EQ(IsValidDate(d, 1), 0);
    }
    VorDate d{};
    d.hijriYear = 1445;
    d.hijriDay = 1.0;
    d.hijriMonth = 0;
    EXPECT_EQ(IsValidDate(d, 1), 0);
    d.hijriMonth = 13;
    EXPECT_EQ(IsValidDate(d, 1), 0);
    d.hijriMonth = 1;
    d.hijriYear = 0;
    EXPECT_EQ(IsValidDate(d, 1), 0);
    d.hijriYear = 1;
    EXPECT_EQ(IsValidDate(d, 1), 1);
}

// Every valid civil day from -4712-01-01 to 9999-12-31 converts to a JD and
// back to the same date, and consecutive days are consecutive JDs (1 March
// 6700 once came back as 29 February).
TEST(JulianDayRoundTrip, EveryDayFromJdZeroToYear9999) {
    double previous = -1.5;
    long days = 0;
    for (int y = -4712; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int length = MonthLengths[m] + (m == 2 && IsLeapYear(y) == 1 ? 1 : 0);
            for (int d = 1; d <= length; ++d) {
                const VorDate in = Civil(y, m, d);
                if (IsValidDate(in, 0) != 1) continue;
                const double jd = DateToJulianDay(in);
                ASSERT_EQ(jd, previous + 1.0) << y << "-" << m << "-" << d;
                previous = jd;
                VorDate out{};
                JulianDayToDate(jd, out);
                ASSERT_EQ(out.year, y);
                ASSERT_EQ(out.month, m);
                ASSERT_EQ(out.day, static_cast<double>(d));
                ++days;
            }
        }
    }
    EXPECT_EQ(previous, DateToJulianDay(Civil(9999, 12, 31)));
    EXPECT_EQ(days, 5373485);  // 0 h of every day from JD -0.5 to 5373483.5
}

}  // namespace
}  // namespace vorlin

namespace vorlin {
namespace {

TEST(DaysInMonth, LeapDayOnlyInLeapFebruaries) {
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(1500, 2), 29);  // Julian rule
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 0), 0);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

}  // namespace
}  // namespace vorlin
