// VorAdToIslamic and VorIslamicToAd: at Makkah every civil day of 2000-2030
// gets a Hijri date, the Hijri days run without gaps and restart exactly on
// the computed month starts, every Hijri date found converts back to its
// civil day and the day after a month's last has none; the same round trip
// for a year at Oslo and at Cape Town; the era's first days both ways.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using namespace vorlin::testing_support;

// Makkah as a host holds it: degrees.
const VorLocation Makkah = MakkahInDegrees();

VorDate CivilDay(double jd) {
    VorDate date{};
    vorlin::JulianDayToDate(jd, date);
    return date;
}

// VorIslamicToAd at Makkah refuses date: result 0, the record and the
// place as they were.
void ExpectRefusedAtMakkah(VorDate date, VorConfig cfg) {
    VorLocation loc = Makkah;
    const VorDate before = date;
    EXPECT_EQ(VorIslamicToAd(&date, &loc, &cfg), 0)
        << date.hijriYear << "-" << int{date.hijriMonth} << "-" << date.hijriDay;
    EXPECT_EQ(std::memcmp(&date, &before, sizeof date), 0);
    EXPECT_NEAR(loc.latitude, 21.4225, 1e-13);
}

std::string CivilText(const VorDate &d) {
    char text[32];
    std::snprintf(text, sizeof text, "%d-%02d-%02d", d.year, d.month, static_cast<int>(d.day));
    return text;
}

// Local JDs (0 h) of the month starts from the month containing firstJd to
// past lastJd, each found from the day after the one before.
std::set<double> MonthStarts(double firstJd, double lastJd) {
    VorLocation loc = Makkah;
    loc.latitude *= vorlin::DegToRad;
    loc.longitude *= vorlin::DegToRad;
    const VorConfig cfg = ReportSettings(0);
    std::set<double> starts;
    double s = firstJd - 40.0;
    while (s <= lastJd + 1.0) {
        VorDate from = CivilDay(s);
        double start = s;
        EXPECT_NE(vorlin::ComputeMonthStart(&from, &loc, &cfg, &start, nullptr), 0.0) << s;
        EXPECT_GT(start, s);
        starts.insert(start);
        s = start + 1.0;
    }
    return starts;
}

TEST(HijriExports, BeforeTheEraNothingIsConverted) {
    VorLocation loc = Makkah;
    VorConfig cfg = ReportSettings(0);
    VorDate date{};
    date.year = 622;
    date.month = 7;
    date.day = 16.0;
    date.hijriYear = 77;
    date.hijriMonth = 7;
    date.hijriDay = 7.0;
    date.hijriValid = 1;
    EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 0);
    EXPECT_EQ(date.hijriValid, 0);
    EXPECT_EQ(date.hijriYear, 77);
    EXPECT_EQ(date.hijriMonth, 7);
    EXPECT_EQ(date.hijriDay, 7.0);
    EXPECT_NEAR(loc.latitude, 21.4225, 1e-13);
    EXPECT_NEAR(loc.longitude, 39.8262, 1e-13);

    date.day = 17.0;  // the era's second day
    EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1);
    EXPECT_EQ(date.hijriYear, 1);
    EXPECT_EQ(date.hijriMonth, 1);
}

TEST(HijriExports, IslamicToAdThatCannotConvertLeavesTheRecord) {
    VorConfig cfg = ReportSettings(0);
    cfg.hijriAdjustDays = 2000000;  // every estimate then lies "before the era"
    VorDate date{};
    date.hijriYear = 1445;
    date.hijriMonth = 9;
    date.hijriDay = 1.0;
    date.year = 1900;
    date.month = 2;
    date.day = 3.0;
    date.hour = 4;
    ExpectRefusedAtMakkah(date, cfg);
}

TEST(HijriExports, HighLatitudeInDegreesComesBackToWithinTheLastBits) {
    VorLocation loc = Makkah;
    loc.latitude = 70.0;
    loc.longitude = 19.0;
    loc.timeZone = 1.0f;
    VorConfig cfg = ReportSettings(0);
    VorDate date{};
    date.year = 2024;
    date.month = 6;
    date.day = 21.0;
    EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1);
    EXPECT_EQ(date.hijriValid, 1);
    EXPECT_NEAR(loc.latitude, 70.0, 1e-13);
    EXPECT_NEAR(loc.longitude, 19.0, 1e-13);
    VorDate back{};
    back.hijriYear = date.hijriYear;
    back.hijriMonth = date.hijriMonth;
    back.hijriDay = date.hijriDay;
    EXPECT_EQ(VorIslamicToAd(&back, &loc, &cfg), 1);
    EXPECT_NEAR(loc.latitude, 70.0, 1e-13);
}

struct Span {
    int fromYear, toYear;
};

class MakkahCalendarTest : public ::testing::TestWithParam<Span> {};

// The Hijri date of the month before (day previousDay + 1) has no civil
// date, and asking for it leaves the record as it was.
void ExpectNoDayAfterTheLast(const VorDate &last, VorConfig &cfg) {
    VorDate after = Hijri(last.hijriYear, last.hijriMonth, last.hijriDay + 1.0);
    after.year = 1900;
    ExpectRefusedAtMakkah(after, cfg);
}

TEST_P(MakkahCalendarTest, DaysRunOnAndConvertBack) {
    const Span span = GetParam();
    VorDate from{}, to{};
    from.year = span.fromYear;
    from.month = 1;
    from.day = 1.0;
    to.year = span.toYear;
    to.month = 12;
    to.day = 31.0;
    const double first = vorlin::DateToJulianDay(from);
    const double last = vorlin::DateToJulianDay(to);
    const std::set<double> starts = MonthStarts(first, last);
    const VorConfig cfg = ReportSettings(0);

    VorDate previous{};
    int monthLength[33] = {};
    for (double jd = first; jd <= last; jd += 1.0) {
        VorLocation loc = Makkah;
        VorDate date = CivilDay(jd);
        VorConfig settings = cfg;
        ASSERT_EQ(VorAdToIslamic(&date, &loc, &settings), 1) << CivilText(date);
        ASSERT_EQ(date.hijriValid, 1);
        EXPECT_NEAR(loc.latitude, 21.4225, 1e-13);
        EXPECT_NEAR(loc.longitude, 39.8262, 1e-13);
        const int day = static_cast<int>(date.hijriDay);
        ASSERT_EQ(date.hijriDay, day);
        const bool isStart = starts.count(jd) == 1;
        ASSERT_EQ(day == 1, isStart) << CivilText(date) << " Hijri day " << day;
        if (jd > first) {
            if (isStart) {
                ++monthLength[static_cast<int>(previous.hijriDay)];
                if (previous.hijriDay < 30.0) ExpectNoDayAfterTheLast(previous, settings);
            } else {
                ASSERT_EQ(day, static_cast<int>(previous.hijriDay) + 1) << CivilText(date);
            }
        }
        previous = date;

        // Exactly back to the civil day.
        VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay);
        ASSERT_EQ(VorIslamicToAd(&back, &loc, &settings), 1) << CivilText(date);
        EXPECT_EQ(back.hour, 0);
        EXPECT_EQ(back.hijriValid, 0);
        EXPECT_EQ(vorlin::DateToJulianDay(back), jd)
            << CivilText(date) << ": " << date.hijriYear << "-" << int{date.hijriMonth} << "-"
            << day << " gives " << CivilText(back);
    }
    // Whole months only (the first and last are cut by the span).
    EXPECT_GT(monthLength[29] + monthLength[30], 0);
    for (int n = 0; n < 33; ++n) {
        if (n < 29 || n > 31) {
            EXPECT_EQ(monthLength[n], 0) << "months of " << n << " days";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Makkah, MakkahCalendarTest,
                         ::testing::Values(Span{2000, 2009}, Span{2010, 2019}, Span{2020, 2030}));

struct YearPlace {
    const char *name;
    double latitude, longitude;
    int height;
    float zone;
    int year;
};

void PrintTo(const YearPlace &p, std::ostream *os) { *os << p.name; }

class YearRoundTripTest : public ::testing::TestWithParam<YearPlace> {};

TEST_P(YearRoundTripTest, EveryDayConvertsExactlyBack) {
    const YearPlace &p = GetParam();
    const VorLocation place = PlaceInDegrees(p.latitude, p.longitude, p.height, p.zone, p.name);
    VorConfig cfg = ReportSettings(0);
    const double first = vorlin::DateToJulianDay(Civil(p.year, 1, 1));
    const double last = vorlin::DateToJulianDay(Civil(p.year, 12, 31));
    VorDate previous{};
    for (double jd = first; jd <= last; jd += 1.0) {
        VorLocation loc = place;
        VorDate date = CivilDay(jd);
        ASSERT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1) << CivilText(date);
        if (jd > first && date.hijriDay != 1.0) {
            ASSERT_EQ(date.hijriDay, previous.hijriDay + 1.0) << CivilText(date);
        }
        if (jd > first && date.hijriDay == 1.0) {
            EXPECT_EQ(date.hijriMonth, previous.hijriMonth % 12 + 1) << CivilText(date);
            // The day after the last of the month before has no civil date.
            VorDate after = Hijri(previous.hijriYear, previous.hijriMonth, previous.hijriDay + 1.0);
            EXPECT_EQ(VorIslamicToAd(&after, &loc, &cfg), 0) << CivilText(date);
        }
        previous = date;
        VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay);
        ASSERT_EQ(VorIslamicToAd(&back, &loc, &cfg), 1) << CivilText(date);
        EXPECT_EQ(vorlin::DateToJulianDay(back), jd) << CivilText(date) << " gives " << CivilText(back);
        EXPECT_NEAR(loc.latitude, place.latitude, 1e-13);
    }
}

INSTANTIATE_TEST_SUITE_P(Places, YearRoundTripTest,
                         ::testing::Values(YearPlace{"Oslo", 59.9139, 10.7522, 23, 1.0f, 2026},
                                           YearPlace{"CapeTown", -33.9249, 18.4241, 0, 2.0f, 2025}),
                         [](const ::testing::TestParamInfo<YearPlace> &info) {
                             return std::string(info.param.name);
                         });

TEST(HijriExports, RamadanOf1445HasTwentyNineDaysAtMakkah) {
    VorLocation loc = Makkah;
    VorConfig cfg = ReportSettings(0);
    // Eid al-Fitr 1445 fell on Wednesday 10 April 2024.
    VorDate shawwal = Hijri(1445, 10, 1);
    ASSERT_EQ(VorIslamicToAd(&shawwal, &loc, &cfg), 1);
    EXPECT_EQ(CivilText(shawwal), "2024-04-10");
    VorDate last = Hijri(1445, 9, 29);
    ASSERT_EQ(VorIslamicToAd(&last, &loc, &cfg), 1);
    EXPECT_EQ(CivilText(last), "2024-04-09");
    // 30 Ramadan does not exist there: no answer, the record as it was.
    VorDate missing = Hijri(1445, 9, 30);
    missing.year = 1900;
    missing.hour = 5;
    ExpectRefusedAtMakkah(missing, cfg);
    // A fraction of a Hijri day is the time of that civil day.
    VorDate evening = Hijri(1445, 10, 1.75);
    ASSERT_EQ(VorIslamicToAd(&evening, &loc, &cfg), 1);
    EXPECT_EQ(CivilText(evening), "2024-04-10");
    EXPECT_EQ(evening.hour, 18);
}

TEST(HijriExports, TheEraBeginsOnTheSameDayBothWays) {
    // For each adjustment, the civil days around 16 July 622 and the first
    // Hijri days of the era agree in both directions: a Hijri date has a
    // civil day exactly when some civil day converts to it.
    for (int adjust : {-2, -1, 0, 1, 2}) {
        VorConfig cfg = ReportSettings(0);
        cfg.hijriAdjustDays = adjust;
        std::vector<double> labelled(8, 0.0);  // civil JD of 1..7 Muharram 1
        for (int day = 12; day <= 24; ++day) {
            VorLocation loc = Makkah;
            VorDate civil = Civil(622, 7, day);
            if (VorAdToIslamic(&civil, &loc, &cfg) != 1) continue;
            if (civil.hijriYear == 1 && civil.hijriMonth == 1 && civil.hijriDay <= 7.0)
                labelled[static_cast<std::size_t>(civil.hijriDay)] = vorlin::DateToJulianDay(Civil(622, 7, day));
        }
        for (int day = 1; day <= 7; ++day) {
            VorLocation loc = Makkah;
            VorDate hijri = Hijri(1, 1, day);
            const int converted = VorIslamicToAd(&hijri, &loc, &cfg);
            if (labelled[static_cast<std::size_t>(day)] == 0.0) {
                EXPECT_EQ(converted, 0) << "adjust " << adjust << ", day " << day;
            } else {
                ASSERT_EQ(converted, 1) << "adjust " << adjust << ", day " << day;
                EXPECT_EQ(vorlin::DateToJulianDay(hijri), labelled[static_cast<std::size_t>(day)])
                    << "adjust " << adjust << ", day " << day;
            }
        }
        EXPECT_NE(labelled[7], 0.0) << "adjust " << adjust;
    }
    // Without adjustment 16 July 622 is before the era, so 1 Muharram 1,
    // which the crescent puts on that day at Makkah, has no civil date.
    VorLocation loc = Makkah;
    VorConfig cfg = ReportSettings(0);
    VorDate first = Hijri(1, 1, 1);
    EXPECT_EQ(VorIslamicToAd(&first, &loc, &cfg), 0);
    VorDate second = Hijri(1, 1, 2);
    ASSERT_EQ(VorIslamicToAd(&second, &loc, &cfg), 1);
    EXPECT_EQ(CivilText(second), "622-07-17");
}

}  // namespace
