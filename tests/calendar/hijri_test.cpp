// The tabular Hijri calendar against its published day numbers; the
// month-start search of the astronomical conversion on stand-in month-start
// computations (a known calendar, a 32-day month, months beginning long
// after their new moon, places where no month start exists); the inverse's
// days that a month does not have; and the cache's memory of latitude walks.
#include "calendar/hijri.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

// Day number of 1 Muharram 1 AH (16 July 622, Julian calendar).
constexpr int EpochDayNumber = 1948440;

// Julian Day Number (the day whose noon is that JD) of a civil date.
int DayNumberOf(const VorDate &civil) {
    return static_cast<int>(std::floor(DateToJulianDay(civil) + 0.5));
}

// ---------------------------------------------------------------- tabular

struct DayNumberCase {
    int y, m, d;
    int ceiling;
    int rounded;
};

class TabularDayNumberTest : public ::testing::TestWithParam<DayNumberCase> {};

TEST_P(TabularDayNumberTest, PublishedDayNumbers) {
    const DayNumberCase c = GetParam();
    const VorDate date = Hijri(c.y, c.m, c.d);
    EXPECT_EQ(TabularHijriDayNumber(date), c.ceiling);
    EXPECT_EQ(TabularHijriDayNumberRounded(date), static_cast<double>(c.rounded));
}

INSTANTIATE_TEST_SUITE_P(
    Published, TabularDayNumberTest,
    ::testing::Values(DayNumberCase{1, 1, 1, 1948440, 1948440},         // the epoch
                      DayNumberCase{1421, 1, 1, 2451641, 2451641},      // 2000-04-06
                      DayNumberCase{1422, 1, 1, 2451995, 2451996},      // 2001-03-26
                      DayNumberCase{1421, 12, 30, 2451995, 2451995},    // = next year's first day
                      DayNumberCase{1420, 12, 30, 2451640, 2451640}));  // leap day of 1420

TEST(TabularHijri, EpochAndCivilDays) {
    EXPECT_EQ(DayNumberOf(Civil(622, 7, 16)), EpochDayNumber);
    EXPECT_EQ(DayNumberOf(Civil(2000, 4, 6)), TabularHijriDayNumber(Hijri(1421, 1, 1)));
    EXPECT_EQ(DayNumberOf(Civil(2001, 3, 26)), TabularHijriDayNumber(Hijri(1422, 1, 1)));
}

TEST(TabularHijri, LeapYearsOfTheThirtyYearCycle) {
    const std::vector<int> leap = {2, 5, 7, 10, 13, 16, 18, 21, 24, 26, 29};
    for (int y = 1; y <= 1600; ++y) {
        const int length =
            TabularHijriDayNumber(Hijri(y + 1, 1, 1)) - TabularHijriDayNumber(Hijri(y, 1, 1));
        const bool isLeap = std::find(leap.begin(), leap.end(), (y - 1) % 30 + 1) != leap.end();
        ASSERT_EQ(length, isLeap ? 355 : 354) << "year " << y;
        ASSERT_EQ(isLeap, (11 * y + 3) % 30 >= 19) << "year " << y;
    }
    EXPECT_EQ(TabularHijriDayNumber(Hijri(31, 1, 1)) - EpochDayNumber, 10631);
}

TEST(TabularHijri, MonthsAlternateThirtyAndTwentyNineDays) {
    for (int y : {1, 2, 1420, 1421, 1445}) {
        for (int m = 1; m <= 11; ++m) {
            const int length =
                TabularHijriDayNumber(Hijri(y, m + 1, 1)) - TabularHijriDayNumber(Hijri(y, m, 1));
            EXPECT_EQ(length, m % 2 == 1 ? 30 : 29) << y << "/" << m;
        }
    }
}

TEST(TabularHijri, RoundedFormIsOneDayLaterOnlyInOddMonthsOfHalfFractionYears) {
    for (int y = 1; y <= 1600; ++y) {
        const bool lateYear = (11 * y + 3) % 30 >= 15;  // fraction of (11y + 3)/30 at least 0.5
        for (int m = 1; m <= 12; ++m) {
            const VorDate date = Hijri(y, m, 1);
            const double difference =
                TabularHijriDayNumberRounded(date) - TabularHijriDayNumber(date);
            ASSERT_EQ(difference, (lateYear && m % 2 == 1) ? 1.0 : 0.0) << y << "/" << m;
        }
    }
}

struct FromDayNumberCase {
    int dayNumber;
    int y, m, d;
};

class TabularFromDayNumberTest : public ::testing::TestWithParam<FromDayNumberCase> {};

TEST_P(TabularFromDayNumberTest, PublishedDates) {
    const FromDayNumberCase c = GetParam();
    VorDate date{};
    date.year = 1999;  // civil fields are not written
    date.hijriValid = 7;
    TabularHijriFromDayNumber(c.dayNumber, date);
    EXPECT_EQ(date.hijriYear, c.y);
    EXPECT_EQ(date.hijriMonth, c.m);
    EXPECT_EQ(date.hijriDay, static_cast<double>(c.d));
    EXPECT_EQ(date.year, 1999);
    EXPECT_EQ(date.hijriValid, 7);
}

INSTANTIATE_TEST_SUITE_P(Published, TabularFromDayNumberTest,
                         ::testing::Values(FromDayNumberCase{1948440, 1, 1, 1},
                                           FromDayNumberCase{2451641, 1421, 1, 1},
                                           FromDayNumberCase{2451640, 1420, 12, 30},
                                           FromDayNumberCase{2451995, 1422, 1, 1},
                                           FromDayNumberCase{2451994, 1421, 12, 29}));

TEST(TabularHijri, FromDayNumberInvertsDayNumberFrom1To1600AH) {
    const int first = EpochDayNumber;
    const int last = TabularHijriDayNumber(Hijri(1601, 1, 1)) - 1;
    int previousDay = 0;
    for (int n = first; n <= last; ++n) {
        VorDate date{};
        TabularHijriFromDayNumber(n, date);
        ASSERT_GE(date.hijriMonth, 1) << n;
        ASSERT_LE(date.hijriMonth, 12) << n;
        ASSERT_GE(date.hijriDay, 1.0) << n;
        ASSERT_LE(date.hijriDay, 30.0) << n;
        ASSERT_EQ(TabularHijriDayNumber(date), n);
        // Days run 1, 2, 3 ... and restart at 1.
        ASSERT_TRUE(date.hijriDay == previousDay + 1 || date.hijriDay == 1.0) << n;
        previousDay = static_cast<int>(date.hijriDay);
    }
    VorDate end{};
    TabularHijriFromDayNumber(last, end);
    EXPECT_EQ(end.hijriYear, 1600);
    EXPECT_EQ(end.hijriMonth, 12);
}

TEST(TabularHijri, FromJulianDayInvertsRoundedFormFrom1To1600AH) {
    // The day named is that of floor(jd): the noon JD of day n and the 0 h
    // JD of day n + 1 both name day n.
    const int first = EpochDayNumber;
    const int last = static_cast<int>(TabularHijriDayNumberRounded(Hijri(1601, 1, 1))) - 1;
    for (int n = first; n <= last; ++n) {
        VorDate date{};
        TabularHijriFromJulianDay(n + 0.5, date);
        ASSERT_GE(date.hijriMonth, 1) << n;
        ASSERT_LE(date.hijriMonth, 12) << n;
        ASSERT_GE(date.hijriDay, 1.0) << n;
        ASSERT_LE(date.hijriDay, 30.0) << n;
        ASSERT_EQ(TabularHijriDayNumberRounded(date), static_cast<double>(n)) << n;
        VorDate noon{};
        TabularHijriFromJulianDay(n, noon);
        ASSERT_EQ(std::memcmp(&noon, &date, sizeof date), 0) << n;
    }
}

TEST(TabularHijri, FromJulianDayOnTheDayTheTwoFormsDisagreeAboutTheYear) {
    // 2451995 begins 1422 in the ceiling form, the rounded form begins it a
    // day later: the day is 30 Thu Al-Hijja 1421 there, not a month 0.
    VorDate date{};
    TabularHijriFromJulianDay(2451995.5, date);
    EXPECT_EQ(date.hijriYear, 1421);
    EXPECT_EQ(date.hijriMonth, 12);
    EXPECT_EQ(date.hijriDay, 30.0);
    TabularHijriFromJulianDay(2451996.0, date);
    EXPECT_EQ(date.hijriYear, 1422);
    EXPECT_EQ(date.hijriMonth, 1);
    EXPECT_EQ(date.hijriDay, 1.0);
}

TEST(TabularHijri, AbsurdYearsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(TabularHijriDayNumber(Hijri(2147483647, 12, 30)), 2147483647);
    EXPECT_EQ(TabularHijriDayNumber(Hijri(-2147483647 - 1, 1, 1)), -2147483647 - 1);
    VorDate date{};
    TabularHijriFromDayNumber(2147483647, date);
    EXPECT_GE(date.hijriMonth, 1);
    EXPECT_LE(date.hijriMonth, 12);
}

// ------------------------------------------ search on stand-in month starts

// Month starts of the rounded tabular calendar: the first one after the
// date's day, as 0 h local JD (a new moon the day before each start).
double RoundedTabularStart(const VorDate *date, const VorLocation *, const VorConfig *,
                           double *outJd, TextWriter *) {
    const double n = std::floor(DateToJulianDay(*date) + 0.5);
    const int y = static_cast<int>((n - EpochDayNumber) / 354.367) + 1;
    double best = std::numeric_limits<double>::infinity();
    for (int year = y - 1; year <= y + 1; ++year) {
        for (int m = 1; m <= 12; ++m) {
            const double start = TabularHijriDayNumberRounded(Hijri(year, m, 1));
            if (start > n && start < best) best = start;
        }
    }
    *outJd = best - 0.5;
    return 1.0;
}

struct Recorder {
    std::vector<double> latitudes;
    double failBeyond = 100.0;  // fails where |latitude| exceeds this (radians)
};
Recorder recorder;

double FailingBeyondLatitude(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                             double *outJd, TextWriter *text) {
    recorder.latitudes.push_back(loc->latitude);
    if (!(std::fabs(loc->latitude) <= recorder.failBeyond)) return 0.0;
    return RoundedTabularStart(date, loc, cfg, outJd, text);
}

// On Makkah's meridian and in its zone, at sea level, unnamed.
VorLocation PlaceAt(double latitudeDegrees) {
    return PlaceInRadians(latitudeDegrees, 39.8262, 0, 3.0f);
}

TEST(HijriSearch, OnTabularMonthStartsGivesTheTabularCalendarAndItsInverse) {
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    const int first = static_cast<int>(TabularHijriDayNumberRounded(Hijri(1440, 1, 1)));
    const int last = static_cast<int>(TabularHijriDayNumberRounded(Hijri(1446, 1, 1)));
    for (int n = first; n < last; ++n) {
        VorDate date{};
        JulianDayToDate(n - 0.5, date);
        ASSERT_EQ(GregorianToHijriWith(RoundedTabularStart, date, loc, cfg), 1);
        ASSERT_EQ(date.hijriValid, 1);
        ASSERT_EQ(TabularHijriDayNumberRounded(date), static_cast<double>(n)) << n;
        ASSERT_GE(date.hijriDay, 1.0);
        ASSERT_LE(date.hijriDay, 30.0);
        VorDate back{};
        back.hijriYear = date.hijriYear;
        back.hijriMonth = date.hijriMonth;
        back.hijriDay = date.hijriDay;
        ASSERT_EQ(HijriToGregorianWith(RoundedTabularStart, back, loc, cfg), 1);
        ASSERT_EQ(back.year, date.year) << n;
        ASSERT_EQ(back.month, date.month) << n;
        ASSERT_EQ(back.day, date.day) << n;
        ASSERT_EQ(back.hijriValid, 0);  // the Hijri fields and hijriValid stay
        ASSERT_EQ(back.hijriDay, date.hijriDay);
    }
}

TEST(HijriSearch, FractionOfTheDayIsCarriedIntoTheHijriDay) {
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    VorDate date = Civil(2001, 3, 28.75);  // rounded 1 Muharram 1422 is 2001-03-27
    ASSERT_EQ(GregorianToHijriWith(RoundedTabularStart, date, loc, cfg), 1);
    EXPECT_EQ(date.hijriYear, 1422);
    EXPECT_EQ(date.hijriMonth, 1);
    EXPECT_EQ(date.hijriDay, 2.75);
}

TEST(HijriSearch, BeforeTheEraReturnsZeroWithoutSearching) {
    VorLocation loc = PlaceAt(21.4225);
    VorConfig cfg{};
    recorder = Recorder{};
    VorDate date = Civil(622, 7, 16);  // day number 1948440, but its 0 h JD is below it
    date.hijriYear = 5;
    date.hijriMonth = 6;
    date.hijriDay = 7.0;
    date.hijriValid = 1;
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
    EXPECT_EQ(date.hijriValid, 0);
    EXPECT_EQ(date.hijriYear, 5);
    EXPECT_EQ(date.hijriMonth, 6);
    EXPECT_EQ(date.hijriDay, 7.0);
    EXPECT_TRUE(recorder.latitudes.empty());

    date = Civil(622, 7, 17);
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 1);
    EXPECT_EQ(date.hijriYear, 1);
    EXPECT_EQ(date.hijriMonth, 1);

    // An adjustment of +1 moves the limit a day later; a negative one must
    // not carry a date of the era's first days before the era.
    cfg.hijriAdjustDays = 1;
    date = Civil(622, 7, 17);
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
    cfg.hijriAdjustDays = -2;
    date = Civil(622, 7, 18);
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
    EXPECT_EQ(date.hijriValid, 0);
    date = Civil(622, 7, 19);
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 1);
}

TEST(HijriSearch, AfterTheYear9999ReturnsZeroWithoutSearching) {
    VorLocation loc = PlaceAt(21.4225);
    VorConfig cfg{};
    recorder = Recorder{};
    for (const int year : {10000, 31464, 2147483647}) {
        VorDate date = Civil(year, 1, 1);
        date.hijriYear = 5;
        date.hijriValid = 1;
        EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0) << year;
        EXPECT_EQ(date.hijriValid, 0);
        EXPECT_EQ(date.hijriYear, 5);
    }
    EXPECT_TRUE(recorder.latitudes.empty());
    VorDate last = Civil(9999, 12, 31.999);
    ASSERT_EQ(GregorianToHijriWith(FailingBeyondLatitude, last, loc, cfg), 1);
    // The Hijri date of the last day converts back, even though the middle
    // of its tabular month lies in the year 10000; the next day has none.
    VorDate back = Hijri(last.hijriYear, last.hijriMonth, std::floor(last.hijriDay));
    ASSERT_EQ(HijriToGregorianWith(FailingBeyondLatitude, back, loc, cfg), 1);
    EXPECT_EQ(back.year, 9999);
    EXPECT_EQ(back.month, 12);
    EXPECT_EQ(back.day, 31.0);
    VorDate next = Hijri(last.hijriYear, last.hijriMonth, std::floor(last.hijriDay) + 1.0);
    const VorDate nextBefore = next;
    EXPECT_EQ(HijriToGregorianWith(FailingBeyondLatitude, next, loc, cfg), 0);
    EXPECT_EQ(std::memcmp(&next, &nextBefore, sizeof next), 0);
}

// A calendar with one month of 32 days: starts (day numbers) at Base - 29,
// Base, Base + 32, Base + 61.
constexpr double Base = 2460406.0;
double LongMonthStart(const VorDate *date, const VorLocation *, const VorConfig *, double *outJd,
                      TextWriter *) {
    const double n = std::floor(DateToJulianDay(*date) + 0.5);
    for (double start : {Base - 59.0, Base - 29.0, Base, Base + 32.0, Base + 61.0, Base + 91.0}) {
        if (start > n) {
            *outJd = start - 0.5;
            return 1.0;
        }
    }
    return 0.0;
}

TEST(HijriSearch, ThirtySecondDayOfAMonthBelongsToIt) {
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    VorDate named{};
    TabularHijriFromDayNumber(static_cast<int>(Base) + 4, named);
    for (int offset = 0; offset <= 32; ++offset) {
        VorDate date{};
        JulianDayToDate(Base + offset - 0.5, date);
        ASSERT_EQ(GregorianToHijriWith(LongMonthStart, date, loc, cfg), 1) << offset;
        EXPECT_EQ(date.hijriDay, offset < 32 ? offset + 1.0 : 1.0) << offset;
        if (offset < 32) {
            EXPECT_EQ(date.hijriYear, named.hijriYear);
            EXPECT_EQ(date.hijriMonth, named.hijriMonth);
        }
    }
}

// A calendar of late month starts: new moons every 29.5 days, a day before
// the rounded tabular months of 1445 on, each month beginning 0 to 10 days
// after its new moon (a first evening up to a week after the new moon, and
// the crescent failing on it), late and early months mixed, so months of 20
// to 39 days.
const double LateNewMoon = TabularHijriDayNumberRounded(Hijri(1445, 1, 1)) - 1.2;
constexpr double LateDelays[6] = {9.0, 1.0, 6.0, 0.2, 10.0, 2.0};
double LateStartOfLunation(int k) {
    return std::floor(LateNewMoon + 29.5 * k + LateDelays[((k % 6) + 6) % 6]) + 0.5;
}
double LateMonthStart(const VorDate *date, const VorLocation *, const VorConfig *, double *outJd,
                      TextWriter *) {
    const double jd = DateToJulianDay(*date);
    *outJd = LateStartOfLunation(static_cast<int>(std::ceil((jd - LateNewMoon) / 29.5)));
    return 1.0;
}

TEST(HijriSearch, MonthsBeginningLongAfterTheirNewMoonAreFoundBothWays) {
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    std::vector<double> starts;  // independently: the latest start at or before a day holds it
    for (int k = -3; k <= 16; ++k) starts.push_back(LateStartOfLunation(k));
    for (double jd = starts[2]; jd < starts[16]; jd += 1.0) {
        const double first = *(std::upper_bound(starts.begin(), starts.end(), jd) - 1);
        VorDate date{};
        JulianDayToDate(jd, date);
        ASSERT_EQ(GregorianToHijriWith(LateMonthStart, date, loc, cfg), 1) << jd;
        ASSERT_EQ(date.hijriDay, jd - first + 1.0) << jd;
        VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay);
        ASSERT_EQ(HijriToGregorianWith(LateMonthStart, back, loc, cfg), 1) << jd;
        EXPECT_EQ(DateToJulianDay(back), jd);
    }
}

TEST(HijriToGregorian, ADayTheMonthDoesNotHaveHasNoCivilDate) {
    // Rounded tabular months of 1445: Muharram has 29 days, Safar 30.
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    const double muharram = TabularHijriDayNumberRounded(Hijri(1445, 1, 1));
    const double safar = TabularHijriDayNumberRounded(Hijri(1445, 2, 1));
    ASSERT_EQ(safar - muharram, 29.0);
    ASSERT_EQ(TabularHijriDayNumberRounded(Hijri(1445, 3, 1)) - safar, 30.0);
    struct DayCase {
        int month;
        double day;
        double civilJd;  // 0 for no civil date
    };
    for (const DayCase c : {DayCase{1, 1.0, muharram - 0.5}, DayCase{1, 29.0, muharram + 27.5},
                            DayCase{1, 30.0, 0.0}, DayCase{1, 31.0, 0.0}, DayCase{1, 59.0, 0.0},
                            DayCase{1, 0.5, 0.0}, DayCase{1, -3.0, 0.0},
                            DayCase{2, 30.0, safar + 28.5},
                            DayCase{1, std::numeric_limits<double>::quiet_NaN(), 0.0}}) {
        VorDate date = Hijri(1445, c.month, c.day);
        date.year = 1900;
        date.hour = 7;
        const VorDate before = date;
        if (c.civilJd == 0.0) {
            EXPECT_EQ(HijriToGregorianWith(RoundedTabularStart, date, loc, cfg), 0) << c.day;
            EXPECT_EQ(std::memcmp(&date, &before, sizeof date), 0) << c.day;
        } else {
            ASSERT_EQ(HijriToGregorianWith(RoundedTabularStart, date, loc, cfg), 1) << c.day;
            EXPECT_EQ(DateToJulianDay(date), c.civilJd) << c.day;
            EXPECT_EQ(date.hour, 0);
        }
    }
}

TEST(HijriToGregorian, FractionOfTheHijriDayIsTheTimeOfDay) {
    VorLocation loc = PlaceAt(21.4225);
    const VorConfig cfg{};
    VorDate date = Hijri(1422, 1, 2.75);  // rounded 1 Muharram 1422 is 2001-03-27
    ASSERT_EQ(HijriToGregorianWith(RoundedTabularStart, date, loc, cfg), 1);
    EXPECT_EQ(date.year, 2001);
    EXPECT_EQ(date.month, 3);
    EXPECT_EQ(std::floor(date.day), 28.0);
    EXPECT_EQ(date.hour, 18);
    EXPECT_EQ(date.minute, 0);
    // And back: the conversion gives the same day and fraction.
    ASSERT_EQ(GregorianToHijriWith(RoundedTabularStart, date, loc, cfg), 1);
    EXPECT_NEAR(date.hijriDay, 2.75, 1e-9);
}

TEST(HijriSearch, MonthStartComputedNearerTheEquatorAndLatitudeRestored) {
    VorLocation loc = PlaceAt(70.0);
    const double latitude = loc.latitude;
    const VorConfig cfg{};
    recorder = Recorder{};
    recorder.failBeyond = 61.0 * DegToRad;
    VorDate date = Civil(2024, 6, 21);
    ASSERT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 1);
    EXPECT_EQ(std::memcmp(&loc.latitude, &latitude, sizeof latitude), 0);
    // Every month start the search needs walks from the place's latitude:
    // 70, 68, 66, 64, 62 fail, 60 succeeds.
    ASSERT_GE(recorder.latitudes.size(), 12u);
    ASSERT_EQ(recorder.latitudes.size() % 6, 0u);
    for (std::size_t i = 0; i < recorder.latitudes.size(); ++i) {
        EXPECT_NEAR(recorder.latitudes[i] * RadToDeg, 70.0 - 2.0 * static_cast<double>(i % 6),
                    1e-12);
    }
    VorDate expected = Civil(2024, 6, 21);
    VorLocation low = PlaceAt(21.4225);
    ASSERT_EQ(GregorianToHijriWith(RoundedTabularStart, expected, low, cfg), 1);
    EXPECT_EQ(date.hijriYear, expected.hijriYear);
    EXPECT_EQ(date.hijriMonth, expected.hijriMonth);
    EXPECT_EQ(date.hijriDay, expected.hijriDay);
}

struct GiveUpCase {
    double latitudeDegrees;
    std::size_t calls;   // month-start computations before giving up
    double lastDegrees;  // latitude of the last try
};

class HijriGiveUpTest : public ::testing::TestWithParam<GiveUpCase> {};

TEST_P(HijriGiveUpTest, NoMonthStartEvenAtTheEquator) {
    const GiveUpCase c = GetParam();
    VorLocation loc = PlaceAt(c.latitudeDegrees);
    const VorLocation before = loc;
    const VorConfig cfg{};
    recorder = Recorder{};
    recorder.failBeyond = -1.0;  // fails everywhere
    VorDate date = Civil(2024, 6, 21);
    date.hijriYear = 1;
    date.hijriMonth = 2;
    date.hijriDay = 3.0;
    date.hijriValid = 1;
    const VorDate expected = [&] {
        VorDate d = date;
        d.hijriValid = 0;
        return d;
    }();
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
    EXPECT_EQ(std::memcmp(&date, &expected, sizeof date), 0);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
    ASSERT_EQ(recorder.latitudes.size(), c.calls);
    EXPECT_LE(recorder.latitudes.size(), static_cast<std::size_t>(MaxLatitudeSteps) + 1);
    for (std::size_t i = 1; i < recorder.latitudes.size(); ++i)
        EXPECT_NEAR(std::fabs(recorder.latitudes[i] - recorder.latitudes[i - 1]), 2.0 * DegToRad,
                    1e-15);
    EXPECT_NEAR(recorder.latitudes.back() * RadToDeg, c.lastDegrees, 1e-9);

    // HijriToGregorian fails with it and leaves the record untouched.
    VorDate hijri = Hijri(1445, 9, 1);
    hijri.year = 1900;
    const VorDate hijriBefore = hijri;
    EXPECT_EQ(HijriToGregorianWith(FailingBeyondLatitude, hijri, loc, cfg), 0);
    EXPECT_EQ(std::memcmp(&hijri, &hijriBefore, sizeof hijri), 0);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
}

INSTANTIATE_TEST_SUITE_P(Walks, HijriGiveUpTest,
                         ::testing::Values(GiveUpCase{69.0, 36, -1.0},  // 69 .. 1, then across 0
                                           GiveUpCase{89.0, 46, -1.0}, GiveUpCase{-5.0, 4, 1.0},
                                           GiveUpCase{0.0, 1, 0.0}));

// A month-start source over FailingBeyondLatitude that may say it walks
// toward the equator by itself.
class RecordingSource final : public MonthStartSource {
public:
    explicit RecordingSource(bool walksItself) : walksItself_(walksItself) {}
    double operator()(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) override {
        return FailingBeyondLatitude(date, loc, cfg, outJd, nullptr);
    }
    bool WalksTowardTheEquator() const override { return walksItself_; }

private:
    bool walksItself_;
};

TEST(HijriSearch, ASourceThatWalksByItselfIsAskedOnce) {
    // Its own walk has failed: a second one around it would ask again at
    // every latitude down to the equator (35 more times from 69 N).
    for (const bool walksItself : {true, false}) {
        VorLocation loc = PlaceAt(69.0);
        const VorLocation before = loc;
        const VorConfig cfg{};
        recorder = Recorder{};
        recorder.failBeyond = -1.0;
        RecordingSource source(walksItself);
        VorDate date = Civil(2024, 6, 21);
        EXPECT_EQ(GregorianToHijriFrom(source, date, loc, cfg), 0);
        EXPECT_EQ(date.hijriValid, 0);
        EXPECT_EQ(recorder.latitudes.size(), walksItself ? 1u : 36u);
        EXPECT_EQ(recorder.latitudes.front(), before.latitude);
        EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);

        recorder = Recorder{};
        recorder.failBeyond = -1.0;
        VorDate hijri = Hijri(1445, 9, 1);
        const VorDate hijriBefore = hijri;
        EXPECT_EQ(HijriToGregorianFrom(source, hijri, loc, cfg), 0);
        EXPECT_EQ(std::memcmp(&hijri, &hijriBefore, sizeof hijri), 0);
        EXPECT_EQ(recorder.latitudes.size(), walksItself ? 1u : 36u);
    }
    // Where it finds a start, the answer is the same either way.
    for (const bool walksItself : {true, false}) {
        VorLocation loc = PlaceAt(21.4225);
        const VorConfig cfg{};
        recorder = Recorder{};
        RecordingSource source(walksItself);
        VorDate date = Civil(2024, 6, 21);
        VorDate expected = date;
        ASSERT_EQ(GregorianToHijriWith(RoundedTabularStart, expected, loc, cfg), 1);
        ASSERT_EQ(GregorianToHijriFrom(source, date, loc, cfg), 1);
        EXPECT_EQ(date.hijriYear, expected.hijriYear);
        EXPECT_EQ(date.hijriMonth, expected.hijriMonth);
        EXPECT_EQ(date.hijriDay, expected.hijriDay);
    }
}

TEST(HijriSearch, WalkFromAPoleEndsAtTheEquator) {
    // From a multiple of 2 degrees the walk lands within rounding of 0: it
    // stops there or one step beyond, never later.
    for (double start : {90.0, 70.0, -90.0}) {
        VorLocation loc = PlaceAt(start);
        const VorConfig cfg{};
        recorder = Recorder{};
        recorder.failBeyond = -1.0;
        VorDate date = Civil(2024, 6, 21);
        EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
        const std::size_t reach = static_cast<std::size_t>(std::fabs(start) / 2.0) + 1;
        EXPECT_GE(recorder.latitudes.size(), reach) << start;
        EXPECT_LE(recorder.latitudes.size(), reach + 1) << start;
        EXPECT_LE(recorder.latitudes.size(), static_cast<std::size_t>(MaxLatitudeSteps) + 1);
        EXPECT_LT(std::fabs(recorder.latitudes.back()), 2.0 * DegToRad + 1e-12) << start;
    }
}

TEST(HijriSearch, NotANumberLatitudeStopsAfterTheStepBound) {
    VorLocation loc = PlaceAt(0.0);
    loc.latitude = std::numeric_limits<double>::quiet_NaN();
    const VorLocation before = loc;
    const VorConfig cfg{};
    recorder = Recorder{};
    VorDate date = Civil(2024, 6, 21);
    EXPECT_EQ(GregorianToHijriWith(FailingBeyondLatitude, date, loc, cfg), 0);
    EXPECT_EQ(recorder.latitudes.size(), static_cast<std::size_t>(MaxLatitudeSteps) + 1);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
}

int wanderingCalls = 0;
// A month-start computation that always answers 46 days after the date,
// one more than the search steps back: the search would go on for ever.
double WanderingStart(const VorDate *date, const VorLocation *, const VorConfig *, double *outJd,
                      TextWriter *) {
    ++wanderingCalls;
    *outJd = DateToJulianDay(*date) + 46.0;
    return 1.0;
}

TEST(HijriSearch, SearchThatFindsNoMonthGivesUpAfterItsBound) {
    VorLocation loc = PlaceAt(21.4225);
    const VorLocation before = loc;
    const VorConfig cfg{};
    VorDate date = Civil(2024, 3, 11);
    date.hijriYear = 9;
    wanderingCalls = 0;
    EXPECT_EQ(GregorianToHijriWith(WanderingStart, date, loc, cfg), 0);
    EXPECT_EQ(wanderingCalls, MaxMonthStartSearches + 1);
    EXPECT_EQ(date.hijriYear, 9);
    EXPECT_EQ(date.hijriValid, 0);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
}

// ---------------------------------------- on the month-start computation

VorDate Converted(double jd, VorLocation &loc, const VorConfig &cfg) {
    VorDate date{};
    JulianDayToDate(jd, date);
    EXPECT_EQ(GregorianToHijri(date, loc, cfg), 1) << jd;
    EXPECT_EQ(date.hijriValid, 1);
    return date;
}

class MonthBoundaryTest : public ::testing::TestWithParam<int> {};

TEST_P(MonthBoundaryTest, FirstDayIsOneAndTheDayBeforeEndsTheMonth) {
    VorLocation loc = MakkahInRadians(/*name=*/"");
    const VorConfig cfg = ObservingSettings(20.0f);
    VorDate from{};
    JulianDayToDate(2460310.5 + 29.53 * GetParam(), from);  // 2024-01-01 + k months
    double start = 0.0;
    ASSERT_NE(ComputeMonthStart(&from, &loc, &cfg, &start, nullptr), 0.0);
    ASSERT_EQ(start - std::floor(start), 0.5);

    const VorDate first = Converted(start, loc, cfg);
    const VorDate last = Converted(start - 1.0, loc, cfg);
    EXPECT_EQ(first.hijriDay, 1.0);
    EXPECT_TRUE(last.hijriDay == 29.0 || last.hijriDay == 30.0 || last.hijriDay == 31.0)
        << last.hijriDay;
    EXPECT_EQ(first.hijriMonth, last.hijriMonth % 12 + 1);
    EXPECT_EQ(first.hijriYear, last.hijriYear + (first.hijriMonth == 1 ? 1 : 0));

    // An adjustment of one day gives the next civil day's date.
    VorConfig adjusted = cfg;
    adjusted.hijriAdjustDays = 1;
    for (double jd : {start - 2.0, start - 1.0, start}) {
        const VorDate next = Converted(jd + 1.0, loc, cfg);
        VorDate shifted{};
        JulianDayToDate(jd, shifted);
        ASSERT_EQ(GregorianToHijri(shifted, loc, adjusted), 1);
        EXPECT_EQ(shifted.hijriYear, next.hijriYear);
        EXPECT_EQ(shifted.hijriMonth, next.hijriMonth);
        EXPECT_EQ(shifted.hijriDay, next.hijriDay);
    }
}

INSTANTIATE_TEST_SUITE_P(Makkah2024, MonthBoundaryTest, ::testing::Range(0, 12));

TEST(GregorianToHijri, SeventyNorthInMidsummerConvertsNearerTheEquator) {
    VorLocation loc = PlaceAt(70.0);
    loc.longitude = 19.0 * DegToRad;
    loc.timeZone = 1.0f;
    const double latitude = loc.latitude;
    const VorConfig cfg = ObservingSettings(20.0f);
    VorDate date = Civil(2024, 6, 21);
    double start = 0.0;
    ASSERT_EQ(ComputeMonthStart(&date, &loc, &cfg, &start, nullptr), 0.0);  // midnight sun

    ASSERT_EQ(GregorianToHijri(date, loc, cfg), 1);
    EXPECT_EQ(std::memcmp(&loc.latitude, &latitude, sizeof latitude), 0);
    // The walk ends at the first latitude of 70, 68, 66 ... where the month
    // starts of both new moons it needs (2024 June 6 and July 5) can be
    // computed: the same date there.
    VorLocation lower = loc;
    VorDate june = Civil(2024, 5, 25);
    for (int step = 1; step <= 10; ++step) {
        lower.latitude = (70.0 - 2.0 * step) * DegToRad;
        double junes = 0.0, julys = 0.0;
        if (ComputeMonthStart(&june, &lower, &cfg, &junes, nullptr) != 0.0 &&
            ComputeMonthStart(&date, &lower, &cfg, &julys, nullptr) != 0.0) {
            break;
        }
    }
    ASSERT_LT(lower.latitude, 70.0 * DegToRad);
    VorDate expected = Civil(2024, 6, 21);
    ASSERT_EQ(GregorianToHijri(expected, lower, cfg), 1);
    EXPECT_EQ(date.hijriYear, expected.hijriYear);
    EXPECT_EQ(date.hijriMonth, expected.hijriMonth);
    EXPECT_EQ(date.hijriDay, expected.hijriDay);
    EXPECT_EQ(date.hijriValid, 1);
}

// ---------------------------------------- the cache's memory of walks

TEST(HijriCache, ConversionsThroughOneCacheGiveTheResultsOfSeparateOnes) {
    // Tromso: midnight sun and polar night, so many conversions walk.
    VorLocation loc = PlaceInRadians(69.6492, 18.9553, 10, 1.0f);
    const VorConfig cfg = ObservingSettings(20.0f);
    MonthStartCache shared;
    int walked = 0;
    for (double jd = DateToJulianDay(Civil(2024, 1, 1)); jd < DateToJulianDay(Civil(2025, 1, 1));
         jd += 1.0) {
        VorDate alone{};
        JulianDayToDate(jd, alone);
        VorDate cached = alone;
        ASSERT_EQ(GregorianToHijri(alone, loc, cfg), 1) << jd;
        ASSERT_EQ(GregorianToHijri(cached, loc, cfg, shared), 1) << jd;
        ASSERT_TRUE(SameBits(alone, cached)) << jd;
        walked = std::max(walked, shared.walkCount);

        VorDate back = Hijri(alone.hijriYear, alone.hijriMonth, alone.hijriDay);
        VorDate backCached = back;
        ASSERT_EQ(HijriToGregorian(back, loc, cfg), 1) << jd;
        ASSERT_EQ(HijriToGregorian(backCached, loc, cfg, shared), 1) << jd;
        ASSERT_TRUE(SameBits(back, backCached)) << jd;
        EXPECT_EQ(DateToJulianDay(back), jd);
    }
    EXPECT_GT(walked, 0);
    for (int i = 0; i < shared.walkCount; ++i) {
        const MonthStartCache::Walk &w = shared.walks[i];
        EXPECT_GE(w.steps, 1);
        EXPECT_NEAR(w.fromLatitude - w.toLatitude, w.steps * 2.0 * DegToRad, 1e-12);
    }
}

TEST(HijriCache, AWalkToTheEquatorIsNotRepeatedForTheSameLunation) {
    // 10000 km up no sunset is computed anywhere: the walk from the pole
    // reaches the equator and gives up.
    VorLocation loc = PlaceAt(90.0);
    loc.height = 10000000;
    const VorConfig cfg = ObservingSettings(20.0f);
    MonthStartCache cache;
    VorDate first = Civil(2024, 3, 12);
    EXPECT_EQ(GregorianToHijri(first, loc, cfg, cache), 0);
    ASSERT_EQ(cache.walkCount, 1);
    EXPECT_EQ(cache.walks[0].found, 0);
    EXPECT_GE(cache.walks[0].steps, 45);
    EXPECT_LE(cache.walks[0].steps, MaxLatitudeSteps);
    // More month starts failed than the cache holds: they are not what
    // spares the next conversion its walk.
    ASSERT_EQ(cache.count, MonthStartCache::Capacity);
    const MonthStartCache before = cache;
    VorDate next = Civil(2024, 3, 13);
    EXPECT_EQ(GregorianToHijri(next, loc, cfg, cache), 0);
    EXPECT_EQ(std::memcmp(&cache, &before, sizeof cache), 0) << "a month start was computed";
    EXPECT_EQ(next.hijriValid, 0);
    EXPECT_EQ(loc.latitude, 90.0 * DegToRad);
}

struct NoMonthStartCase {
    const char *why;
    int heightMetres;
    int toleranceSeconds;
};

class NoMonthStartTest : public ::testing::TestWithParam<NoMonthStartCase> {};

TEST_P(NoMonthStartTest, GivesUpAtTheEquatorAndRestoresTheLatitude) {
    const NoMonthStartCase c = GetParam();
    VorLocation loc = MakkahInRadians(/*name=*/"");
    loc.height = c.heightMetres;
    const VorLocation before = loc;
    VorConfig cfg = ObservingSettings(20.0f);
    cfg.toleranceSeconds = c.toleranceSeconds;
    VorDate date = Civil(2024, 3, 11);
    date.hijriYear = 1444;
    date.hijriMonth = 3;
    date.hijriDay = 4.0;
    date.hijriValid = 1;
    EXPECT_EQ(GregorianToHijri(date, loc, cfg), 0) << c.why;
    EXPECT_EQ(date.hijriValid, 0);
    EXPECT_EQ(date.hijriYear, 1444);
    EXPECT_EQ(date.hijriMonth, 3);
    EXPECT_EQ(date.hijriDay, 4.0);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
    VorDate hijri = Hijri(1445, 9, 1);
    const VorDate hijriBefore = hijri;
    EXPECT_EQ(HijriToGregorian(hijri, loc, cfg), 0) << c.why;
    EXPECT_EQ(std::memcmp(&hijri, &hijriBefore, sizeof hijri), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Places, NoMonthStartTest,
    ::testing::Values(NoMonthStartCase{"10000 km up: the horizon dips below the Sun's lowest",
                                       10000000, 1},
                      NoMonthStartCase{"no stop tolerance: no rise or set converges", 300, 0}));

}  // namespace
}  // namespace vorlin
