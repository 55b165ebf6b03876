// Every export given records no host should send: NaN and infinite
// coordinates, out-of-range latitudes and time zones, configuration values
// outside their tables, a name without its NUL, days that are not numbers,
// years far away.  Each gets the defined result chosen for it, and nothing
// outside the caller's records and buffer changes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "calendar/julian_day.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NoValue = -2147483648.0;

using vorlin::testing_support::Civil;

VorLocation Makkah() { return vorlin::testing_support::MakkahInDegrees(); }

VorConfig Settings(unsigned flags = VOR_SPAN_DAY) {
    return vorlin::testing_support::ReportSettings(flags);
}

// A report written through the capacity export into a buffer with a guard
// zone behind it; the guard zone must stay as it was.
std::string Report(int32_t (*write)(VorDate *, VorLocation *, VorConfig *, char *, int32_t),
                   VorDate date, VorLocation loc, VorConfig cfg) {
    const int32_t need = write(&date, &loc, &cfg, nullptr, 0);
    EXPECT_GT(need, 0);
    std::vector<char> buffer(static_cast<std::size_t>(need) + 1 + 256, 'z');
    EXPECT_EQ(write(&date, &loc, &cfg, buffer.data(), need + 1), need);
    for (std::size_t i = static_cast<std::size_t>(need) + 1; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], 'z') << "byte " << i << " past the capacity";
    }
    return std::string(buffer.data());
}

// The prayer-time rows of a one-day schedule: the line after the third
// separator line.
std::string DayRow(const std::string &report) {
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        at = report.find(std::string(80, '=') + "\n", at);
        if (at == std::string::npos) return "";
        at += 81;
    }
    return report.substr(at, report.find('\n', at) - at);
}

struct BadLocationCase {
    const char *name;
    std::function<void(VorLocation &)> spoil;
};

class BadLocation : public ::testing::TestWithParam<BadLocationCase> {};

// An unusable place: the schedule's seven times and the moon's three read
// "NotValid", conversions are not possible, the qibla has no value, and the
// host's location record is not touched (not even in its last bits).
TEST_P(BadLocation, ReportsSayNotValidConversionsFailRecordUntouched) {
    VorLocation loc = Makkah();
    GetParam().spoil(loc);
    VorLocation before = loc;

    const std::string schedule = Report(VorCalculateN, Civil(2024, 3, 11), loc, Settings());
    EXPECT_EQ(DayRow(schedule), "NotValid NotValid NotValid NotValid NotValid NotValid NotValid ");
    const std::string moon = Report(VorMoonInfoN, Civil(2024, 3, 11), loc, Settings());
    EXPECT_NE(moon.find("\tNotValid     \tNotValid     \tNotValid     \t"), std::string::npos) << moon;

    VorDate date = Civil(2024, 3, 11);
    VorConfig cfg = Settings();
    EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 0);
    EXPECT_EQ(date.hijriValid, 0);
    date.hijriYear = 1445;
    date.hijriMonth = 9;
    date.hijriDay = 1.0;
    const VorDate dateBefore = date;
    EXPECT_EQ(VorIslamicToAd(&date, &loc, &cfg), 0);
    EXPECT_EQ(std::memcmp(&date, &dateBefore, sizeof date), 0);
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);

    VorCalculate(&date, &loc, &cfg, std::vector<char>(1 << 16).data());
    EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0) << "the legacy export changed the record";
}

INSTANTIATE_TEST_SUITE_P(
    Places, BadLocation,
    ::testing::Values(
        BadLocationCase{"latitude_nan", [](VorLocation &l) { l.latitude = NaN; }},
        BadLocationCase{"latitude_inf", [](VorLocation &l) { l.latitude = Inf; }},
        BadLocationCase{"latitude_minus_inf", [](VorLocation &l) { l.latitude = -Inf; }},
        BadLocationCase{"latitude_90_and_a_bit", [](VorLocation &l) { l.latitude = 90.000001; }},
        BadLocationCase{"latitude_minus_1e300", [](VorLocation &l) { l.latitude = -1e300; }},
        BadLocationCase{"longitude_nan", [](VorLocation &l) { l.longitude = NaN; }},
        BadLocationCase{"longitude_inf", [](VorLocation &l) { l.longitude = Inf; }},
        BadLocationCase{"longitude_1e300", [](VorLocation &l) { l.longitude = 1e300; }},
        BadLocationCase{"longitude_361", [](VorLocation &l) { l.longitude = 361.0; }},
        BadLocationCase{"time_zone_nan", [](VorLocation &l) { l.timeZone = std::nanf(""); }},
        BadLocationCase{"time_zone_inf", [](VorLocation &l) {
                            l.timeZone = std::numeric_limits<float>::infinity();
                        }},
        BadLocationCase{"time_zone_25", [](VorLocation &l) { l.timeZone = 25.0f; }}),
    [](const ::testing::TestParamInfo<BadLocationCase> &info) { return std::string(info.param.name); });

// The edges of the ranges are still places: the poles, longitude +-360,
// time zones +-24 compute as before (no "NotValid" header fields).
TEST(BadLocationEdges, RangeEndsAreStillUsable) {
    for (const double lat : {90.0, -90.0}) {
        VorLocation loc = Makkah();
        loc.latitude = lat;
        const std::string s = Report(VorCalculateN, Civil(2024, 6, 21), loc, Settings());
        EXPECT_EQ(s.find("Latitude NotValid"), std::string::npos) << s;
    }
    VorLocation loc = Makkah();
    loc.longitude = 360.0;
    loc.timeZone = -24.0f;
    const std::string s = Report(VorCalculateN, Civil(2024, 6, 21), loc, Settings());
    EXPECT_EQ(s.find("NotValid"), std::string::npos) << s;
}

// The unusable value itself is printed "NotValid" in the header.
TEST(BadLocationHeader, TheBadCoordinateReadsNotValid) {
    VorLocation loc = Makkah();
    loc.latitude = NaN;
    const std::string s = Report(VorCalculateN, Civil(2024, 3, 11), loc, Settings());
    EXPECT_NE(s.find("Latitude NotValid, Longitude NotValid"), std::string::npos) << s;
}

struct BadAngleCase {
    const char *name;
    std::function<void(VorConfig &)> spoil;
    const char *row;  // expected one-day row
};

class BadAngle : public ::testing::TestWithParam<BadAngleCase> {};

// An event angle that is not a finite number or lies beyond 90 degrees
// makes its own events "NotValid"; the other times are the normal ones.
TEST_P(BadAngle, OnlyTheEventsOfThatAngleAreNotValid) {
    VorConfig cfg = Settings();
    GetParam().spoil(cfg);
    const VorConfig before = cfg;
    const std::string normal = DayRow(Report(VorCalculateN, Civil(2024, 3, 11), Makkah(), Settings()));
    ASSERT_EQ(normal, "05:14:34 05:18:53 06:29:50 12:31:40 15:54:14 18:31:38 19:38:22 ");
    const std::string row = DayRow(Report(VorCalculateN, Civil(2024, 3, 11), Makkah(), cfg));
    EXPECT_EQ(row, GetParam().row);
    EXPECT_EQ(std::memcmp(&cfg, &before, sizeof cfg), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, BadAngle,
    ::testing::Values(
        BadAngleCase{"fajr_nan", [](VorConfig &c) { c.fajrAngle = std::nanf(""); },
                     "05:14:34 NotValid 06:29:50 12:31:40 15:54:14 18:31:38 19:38:22 "},
        BadAngleCase{"fajr_1e30", [](VorConfig &c) { c.fajrAngle = 1e30f; },
                     "05:14:34 NotValid 06:29:50 12:31:40 15:54:14 18:31:38 19:38:22 "},
        BadAngleCase{"isha_minus_inf",
                     [](VorConfig &c) { c.ishaAngle = -std::numeric_limits<float>::infinity(); },
                     "05:14:34 05:18:53 06:29:50 12:31:40 15:54:14 18:31:38 NotValid "},
        BadAngleCase{"imsak_91", [](VorConfig &c) { c.imsakAngle = 91.0f; },
                     "NotValid 05:18:53 06:29:50 12:31:40 15:54:14 18:31:38 19:38:22 "}),
    [](const ::testing::TestParamInfo<BadAngleCase> &info) { return std::string(info.param.name); });

// Table indexes outside their tables print "?" in the header and the
// report is still complete.
struct BadIndexCase {
    const char *name;
    std::function<void(VorConfig &)> spoil;
    const char *expected;
};

class BadIndex : public ::testing::TestWithParam<BadIndexCase> {};

TEST_P(BadIndex, PrintsAQuestionMark) {
    VorConfig cfg = Settings(VOR_SPAN_MONTH);
    GetParam().spoil(cfg);
    const std::string s = Report(VorCalculateN, Civil(2024, 3, 11), Makkah(), cfg);
    EXPECT_NE(s.find(GetParam().expected), std::string::npos) << s.substr(0, 900);
    EXPECT_NE(s.find("\n31  "), std::string::npos) << "the month's last row is missing";
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, BadIndex,
    ::testing::Values(
        BadIndexCase{"fiqh_77", [](VorConfig &c) { c.fiqh = 77; }, "Fiqh = ?,"},
        BadIndexCase{"fiqh_negative", [](VorConfig &c) { c.fiqh = -2147483647 - 1; }, "Fiqh = ?,"},
        BadIndexCase{"precision_9", [](VorConfig &c) { c.precision = 9; }, "Precision = ?,"},
        BadIndexCase{"rule_55", [](VorConfig &c) { c.highLatitudeRule = 55; },
                     "Rule at high latitudes = ?"},
        BadIndexCase{"rule_negative", [](VorConfig &c) { c.highLatitudeRule = -1; },
                     "Rule at high latitudes = ?"}),
    [](const ::testing::TestParamInfo<BadIndexCase> &info) { return std::string(info.param.name); });

// A tolerance of 0 or less counts as 1 second: the same report as with 1.
TEST(BadTolerance, ZeroOrLessCountsAsOneSecond) {
    const std::string one = Report(VorCalculateN, Civil(2024, 3, 11), Makkah(), Settings(VOR_SPAN_MONTH));
    for (const int tolerance : {0, -1, -2147483647 - 1}) {
        VorConfig cfg = Settings(VOR_SPAN_MONTH);
        cfg.toleranceSeconds = tolerance;
        EXPECT_EQ(Report(VorCalculateN, Civil(2024, 3, 11), Makkah(), cfg), one) << tolerance;
        VorDate date = Civil(2024, 3, 11);
        VorLocation loc = Makkah();
        EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1) << tolerance;
        EXPECT_EQ(cfg.toleranceSeconds, tolerance) << "the host's record is not changed";
    }
}

// Huge integers in the other settings give a complete report.
TEST(BadIntegers, HugeValuesGiveACompleteReport) {
    const std::vector<std::function<void(VorConfig &, VorLocation &)>> spoils = {
        [](VorConfig &c, VorLocation &) { c.distanceKm = 2147483647; },
        [](VorConfig &c, VorLocation &) { c.distanceKm = 100000; },
        [](VorConfig &c, VorLocation &) { c.maghribMinutes = 2147483647; },
        [](VorConfig &c, VorLocation &) { c.safetySeconds = -2147483647 - 1; },
        [](VorConfig &c, VorLocation &) { c.pressure = 2147483647; },
        [](VorConfig &c, VorLocation &) { c.temperature = -2147483647 - 1; },
        [](VorConfig &c, VorLocation &) { c.hijriAdjustDays = 2147483647; },
        [](VorConfig &c, VorLocation &) { c.fajrIshaMinutes = 2147483647; c.highLatitudeRule = 9; },
        [](VorConfig &, VorLocation &l) { l.height = 2147483647; },
        [](VorConfig &, VorLocation &l) { l.summerStart = 2147483647; l.summerEnd = -1; },
    };
    for (std::size_t i = 0; i < spoils.size(); ++i) {
        VorConfig cfg = Settings(VOR_SPAN_MONTH);
        VorLocation loc = Makkah();
        spoils[i](cfg, loc);
        const std::string s = Report(VorCalculateN, Civil(2024, 3, 11), loc, cfg);
        EXPECT_NE(s.find("\n31  "), std::string::npos) << "case " << i;
        const std::string m = Report(VorMoonInfoN, Civil(2024, 3, 11), loc, cfg);
        EXPECT_GT(m.size(), 1000u) << "case " << i;
    }
}

// A name that fills its 48 bytes without a NUL is printed with exactly 48.
TEST(BadName, WithoutNulPrintedWithItsFortyEightBytes) {
    VorLocation loc = Makkah();
    std::memset(loc.name, 'N', sizeof loc.name);
    const std::string s = Report(VorCalculateN, Civil(2024, 3, 11), loc, Settings());
    EXPECT_NE(s.find("\t" + std::string(48, 'N') + ",\n"), std::string::npos) << s.substr(0, 300);
    EXPECT_EQ(s.find(std::string(49, 'N')), std::string::npos);
}

// Days that are not numbers, months outside 1..12 and years far away.
TEST(BadDates, ConversionsAreNotPossible) {
    VorLocation loc = Makkah();
    VorConfig cfg = Settings();
    for (const double day : {NaN, Inf, -Inf}) {
        VorDate d = Civil(2024, 3, day);
        EXPECT_EQ(VorAdToIslamic(&d, &loc, &cfg), 0) << day;
        EXPECT_EQ(d.hijriValid, 0);
        EXPECT_EQ(VorisValidDate(&d, 0), 0) << day;
        VorDate h{};
        h.hijriYear = 1445;
        h.hijriMonth = 9;
        h.hijriDay = day;
        const VorDate before = h;
        EXPECT_EQ(VorIslamicToAd(&h, &loc, &cfg), 0) << day;
        EXPECT_EQ(std::memcmp(&h, &before, sizeof h), 0);
        EXPECT_EQ(VorisValidDate(&h, 1), 0) << day;
    }
    for (const int month : {0, 13, 255}) {
        VorDate d = Civil(2024, month, 11.0);
        EXPECT_EQ(VorAdToIslamic(&d, &loc, &cfg), 0) << month;
        VorDate h{};
        h.hijriYear = 1445;
        h.hijriMonth = static_cast<uint8_t>(month);
        h.hijriDay = 1.0;
        EXPECT_EQ(VorIslamicToAd(&h, &loc, &cfg), 0) << month;
    }
    for (const int year : {2147483647, -2147483647 - 1, 1000000000}) {
        VorDate d = Civil(year, 1, 1.0);
        EXPECT_EQ(VorAdToIslamic(&d, &loc, &cfg), 0) << year;
        VorDate h{};
        h.hijriYear = year;
        h.hijriMonth = 1;
        h.hijriDay = 1.0;
        EXPECT_EQ(VorIslamicToAd(&h, &loc, &cfg), 0) << year;
    }
}

// Reports of such dates are complete texts (the date line may read "?"),
// and a day that is not a number gives "NotValid" times.
TEST(BadDates, ReportsAreComplete) {
    for (const VorDate &d : {Civil(2024, 3, NaN), Civil(2024, 3, Inf), Civil(2024, 0, 1.0),
                             Civil(2024, 13, 1.0), Civil(2147483647, 12, 31.0),
                             Civil(-2147483647 - 1, 1, 1.0), Civil(2024, 3, 1e300)}) {
        const std::string s = Report(VorCalculateN, d, Makkah(), Settings());
        EXPECT_NE(s.find("Prayer schedule for"), std::string::npos);
        const std::string m = Report(VorMoonInfoN, d, Makkah(), Settings());
        EXPECT_NE(m.find("Moon Information for"), std::string::npos);
    }
    EXPECT_EQ(DayRow(Report(VorCalculateN, Civil(2024, 3, NaN), Makkah(), Settings())),
              "NotValid NotValid NotValid NotValid NotValid NotValid NotValid ");
}

// Day numbers without a civil date (NaN, infinite, beyond the 32-bit
// years) give the empty date instead of an undefined integer cast; the
// extreme 32-bit years still have a finite day number.
TEST(BadDates, DayNumbersWithoutACivilDate) {
    for (const double jd : {NaN, Inf, -Inf, 1e300, 7.1e11, -7.1e11}) {
        VorDate d = Civil(2024, 3, 11.0);
        d.hour = d.minute = d.second = 7;
        vorlin::JulianDayToDate(jd, d);
        EXPECT_EQ(d.year, 0) << jd;
        EXPECT_EQ(d.month, 0) << jd;
        EXPECT_EQ(d.day, 0.0) << jd;
        EXPECT_EQ(d.hour + d.minute + d.second, 0) << jd;
    }
    VorDate d{};
    vorlin::JulianDayToDate(2451544.5, d);
    EXPECT_EQ(d.year, 2000);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1.0);
    for (const int year : {2147483647, -2147483647 - 1}) {
        EXPECT_TRUE(std::isfinite(vorlin::DateToJulianDay(Civil(year, 1, 1.0)))) << year;
    }
    // The first two years of the range are years: 365 or 366 days long.
    const double yearLength = vorlin::DateToJulianDay(Civil(-2147483647, 1, 1.0)) -
                              vorlin::DateToJulianDay(Civil(-2147483647 - 1, 1, 1.0));
    EXPECT_TRUE(yearLength == 365.0 || yearLength == 366.0) << yearLength;
}

// The qibla of an unusable place has no value; a date whose day is not a
// number, or whose month is not 1..12, has no magnetic declination.
TEST(BadQibla, NoValueMarkers) {
    VorDate date = Civil(2000, 1, 1.0);
    for (const double lat : {NaN, Inf, 91.0}) {
        VorLocation loc = Makkah();
        loc.latitude = lat;
        const VorLocation before = loc;
        double direction = 1.0, distance = 1.0, declination = 1.0;
        VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
        EXPECT_EQ(direction, NoValue);
        EXPECT_EQ(distance, NoValue);
        EXPECT_EQ(declination, NoValue);
        EXPECT_EQ(std::memcmp(&loc, &before, sizeof loc), 0);
    }
    VorLocation loc = Makkah();
    loc.latitude = 51.5;
    loc.longitude = -0.1;
    date.day = NaN;
    double direction = 0.0, distance = 0.0, declination = 0.0;
    VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
    EXPECT_NEAR(direction, 118.9468, 1e-4);
    EXPECT_EQ(declination, NoValue);
    // Nor does a month outside 1..12 (it would roll into another year).
    for (const int month : {0, 13, 255}) {
        date = Civil(2000, month, 1.0);
        declination = 0.0;
        VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
        EXPECT_NEAR(distance, 4792.671, 1e-3);
        EXPECT_EQ(declination, NoValue) << "month " << month;
    }
}

}  // namespace
