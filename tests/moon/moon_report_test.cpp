// The moon information report: LocalJdToDateTime, and whole reports split
// into lines and checked line by line (banner, header, rows, the moon-data
// block in order and format, second new-moon blocks, year spans, the
// failure text at a polar place).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "moon/moon_report.h"
#include "moon/moon_rise_transit_set.h"
#include "prayer/text_writer.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using namespace vorlin;
using namespace vorlin::testing_support;

// The report settings of these tests: no high-latitude minutes.
VorConfig Settings(unsigned flags, int precision = 0) {
    return ReportSettings(flags, /*fiqh=*/1, precision, /*fajrIshaMinutes=*/0);
}

std::string MoonReport(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    return ReportText(WriteMoonInformation, date, loc, cfg);
}

const VorLocation Makkah = MakkahInRadians();

// "hh:mm:ss" or "hh:mm" with a day mark, in seconds (the mark adds or
// takes a day); false for anything else.
bool ClockSeconds(const std::string &text, double *seconds) {
    static const std::regex clock(R"(^(-?\d\d+):(\d\d)(:(\d\d))?([ <>])?$)");
    std::smatch m;
    if (!std::regex_match(text, m, clock)) return false;
    const double h = std::stod(m[1]);
    double s = std::fabs(h) * 3600 + std::stod(m[2]) * 60 + (m[4].matched ? std::stod(m[4]) : 0);
    if (h < 0 || m[1].str()[0] == '-') s = -s;
    if (m[5] == ">") s += 86400;
    if (m[5] == "<") s -= 86400;
    *seconds = s;
    return true;
}

// Degrees of an angle text "%02d\xB0%02d'%02d\"" (the sign on the degrees).
double AngleDegrees(const std::string &text) {
    static const std::regex angle("^(-?)(\\d+)\xB0(\\d\\d)'(\\d\\d)\"$");
    std::smatch m;
    EXPECT_TRUE(std::regex_match(text, m, angle)) << text;
    if (m.empty()) return NAN;
    const double v = std::stod(m[2]) + std::stod(m[3]) / 60.0 + std::stod(m[4]) / 3600.0;
    return m[1] == "-" ? -v : v;
}

// Pieces of the moon-data block (lines 1 to 15 of the month-start report).
const std::string Clock = R"((\d\d:\d\d:\d\d[ <>]))";
const std::string Angle = "(-?\\d+\xB0\\d\\d'\\d\\d\")";
const std::string Weekday = "(Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday)";
const std::string MonthName =
    "(January|February|March|April|May|June|July|August|September|October|November|December)";
const std::string HijriMonthName =
    "(Muharram|Safar|Rabi'I|Rabi'II|Jumada I|Jumada II|Rajab|Sha'ban|Ramadan|Shawwal|"
    "Thu Al-Qa'da|Thu Al-Hijja)";

struct MoonBlock {
    int geoDay = 0, geoMonth = 0, geoYear = 0;
    double geoCivil = 0, geoDynamical = 0;  // seconds of day
    int topoDay = 0, topoMonth = 0;
    int eveningDay = 0;
    std::string eveningMonth;
    double moonset = 0, sunset = 0, lag = 0;
    double moonAltitude = 0, sunAltitude = 0, altitudeDifference = 0;
    double moonAzimuth = 0, sunAzimuth = 0, azimuthDifference = 0;
    double geoAge = 0, topoAge = 0;
    double illuminated = 0;
    bool hasStart = false;
    std::string startMonth, startWeekday, startCivilMonth;
    int startDay = 0, startYear = 0;
};

// Checks the fourteen or fifteen lines of a block starting at lines[i]
// (the empty line that its leading "\n\n" leaves) and parses them; i moves
// past the block.
MoonBlock ParseBlock(const std::vector<std::string> &lines, std::size_t &i) {
    MoonBlock b;
    const std::regex newMoon[2] = {
        std::regex("^ Next Geocentric  New Moon " + Weekday +
                   R"(, (\d{1,2})/(\d{1,2})/(\d{4}) at )" + Clock + R"(\()" + Clock + R"(TDT\)$)"),
        std::regex("^ Next Topocentric New Moon " + Weekday +
                   R"(, (\d{1,2})/(\d{1,2})/(\d{4}) at )" + Clock + R"(\()" + Clock + R"(TDT\)$)")};
    const std::regex evening("^\t\tMoon data for (\\d{1,2})/" + MonthName + "/(\\d{4}) at Sunset$");
    const std::regex lag(R"(^ Moonset \()" + Clock + R"(\) - Sunset \()" + Clock +
                         R"(\) = (\d\d+:\d\d:\d\d) $)");
    const std::regex altitude(R"(^ Moon Altitude \()" + Angle + R"(\) - Sun Altitude \()" + Angle +
                              R"(\) = )" + Angle + "$");
    const std::regex azimuth(R"(^ Moon Azimuth \()" + Angle + R"(\) - Sun Azimuth \()" + Angle +
                             R"(\) = )" + Angle + "$");
    const std::regex ages(
        R"(^ Geocentric Moon Age = (-?\d\d+:\d\d:\d\d), Topocentric Moon Age = (-?\d\d+:\d\d:\d\d)$)");
    const std::regex elongation("^ Geocentric Elongation = " + Angle +
                                ", Topocentric Elongation = " + Angle + "$");
    const std::regex distance(
        R"(^ Geocentric distance= ( *\d+\.\d) Km, Topocentric Distance = ( *\d+\.\d) Km$)");
    const std::regex limb("^ Position angle of bright limb = " + Angle +
                          ", Topocentric Width  = " + Angle + "$");
    const std::regex lit(R"(^ The Moon is (\d+\.\d\d)% illuminated, Topocentric Semidiameter = )" +
                         Angle + "$");
    const std::regex start("^ Possible start of " + HijriMonthName + ", (\\d+) AH: " + Weekday +
                           ", (\\d{1,2})/" + MonthName + "/(\\d{4})$");

    std::smatch m;
    auto next = [&](const std::regex &pattern, const char *what) {
        const bool ok = i < lines.size() && std::regex_match(lines[i], m, pattern);
        EXPECT_TRUE(ok) << what << ": '" << (i < lines.size() ? lines[i] : "<end>") << "'";
        ++i;
        return ok;
    };
    EXPECT_TRUE(i < lines.size() && lines[i].empty()) << "the block begins with a blank line";
    ++i;
    if (next(newMoon[0], "geocentric new moon")) {
        b.geoDay = std::stoi(m[2]);
        b.geoMonth = std::stoi(m[3]);
        b.geoYear = std::stoi(m[4]);
        ClockSeconds(m[5], &b.geoCivil);
        ClockSeconds(m[6], &b.geoDynamical);
    }
    if (next(newMoon[1], "topocentric new moon")) {
        b.topoDay = std::stoi(m[2]);
        b.topoMonth = std::stoi(m[3]);
    }
    EXPECT_EQ(i < lines.size() ? lines[i] : "", Separator);
    ++i;
    if (next(evening, "moon data title")) {
        b.eveningDay = std::stoi(m[1]);
        b.eveningMonth = m[2];
    }
    EXPECT_EQ(i < lines.size() ? lines[i] : "", Separator);
    ++i;
    if (next(lag, "moonset - sunset")) {
        ClockSeconds(m[1], &b.moonset);
        ClockSeconds(m[2], &b.sunset);
        ClockSeconds(m[3], &b.lag);
    }
    if (next(altitude, "altitudes")) {
        b.moonAltitude = AngleDegrees(m[1]);
        b.sunAltitude = AngleDegrees(m[2]);
        b.altitudeDifference = AngleDegrees(m[3]);
    }
    if (next(azimuth, "azimuths")) {
        b.moonAzimuth = AngleDegrees(m[1]);
        b.sunAzimuth = AngleDegrees(m[2]);
        b.azimuthDifference = AngleDegrees(m[3]);
    }
    if (next(ages, "ages")) {
        ClockSeconds(m[1], &b.geoAge);
        ClockSeconds(m[2], &b.topoAge);
    }
    next(elongation, "elongations");
    next(distance, "distances");
    next(limb, "bright limb");
    if (next(lit, "illumination")) b.illuminated = std::stod(m[1]);
    if (i < lines.size() && lines[i].rfind(" Possible start of ", 0) == 0) {
        if (next(start, "possible start")) {
            b.hasStart = true;
            b.startMonth = m[1];
            b.startYear = std::stoi(m[2]);
            b.startWeekday = m[3];
            b.startDay = std::stoi(m[4]);
            b.startCivilMonth = m[5];
        }
    }
    return b;
}

// Invariants inside one block: the lines agree with each other.  At
// sunset the Sun's apparent altitude (degrees) is about minus its
// semidiameter and the dip of the horizon: -0.8 at Makkah's 300 m.
void ExpectConsistentBlock(const MoonBlock &b, double sunsetAltitude = -0.8) {
    // Dynamical time runs Delta T (about a minute) ahead of civil time.
    double dt = b.geoDynamical - b.geoCivil;
    if (dt < -43200) dt += 86400;
    EXPECT_GT(dt, 60.0);
    EXPECT_LT(dt, 80.0);
    // The Moon sets after the Sun, and the lag is their difference.
    EXPECT_GE(b.moonset, b.sunset);
    EXPECT_NEAR(b.lag, b.moonset - b.sunset, 1.0);
    EXPECT_NEAR(b.altitudeDifference, b.moonAltitude - b.sunAltitude, 1.5 / 3600);
    EXPECT_NEAR(b.azimuthDifference, b.moonAzimuth - b.sunAzimuth, 1.5 / 3600);
    EXPECT_NEAR(b.sunAltitude, sunsetAltitude, 0.2);
    EXPECT_GT(b.geoAge, 0.0);
    EXPECT_LT(b.geoAge, 3.0 * 86400);
    EXPECT_LT(b.illuminated, 10.0);
    EXPECT_TRUE(b.hasStart);
}

struct MonthPage {
    std::vector<std::string> header;
    std::vector<std::string> rows;
    std::vector<MoonBlock> blocks;
    bool failed = false;  // "Could not calculate valid sunset/moonset times!"
    bool trailer = false;
};

// A month or year report: banner, then per month a header of kind 1, the
// rows, one or two blocks (or the failure line) and, in year spans, the
// trailer.
std::vector<MonthPage> MonthPages(const std::vector<std::string> &lines) {
    std::vector<MonthPage> pages;
    if (!ExpectBanner(lines)) return pages;
    const std::regex row(R"(^\t(\d\d|\d ) {3}(Mon|Tue|Wed|Thu|Fri|Sat|Sun) ((\d\d:\d\d:\d\d[ <>]|NotValid |AlwAbove |AlwBelow )    \t){3}$)");
    std::size_t i = 3;
    while (i < lines.size()) {
        MonthPage page;
        int separators = 0;
        while (i < lines.size() && separators < 2) {
            if (lines[i] == Separator) ++separators;
            page.header.push_back(lines[i++]);
        }
        EXPECT_EQ(page.header.size(), 8u);
        while (i < lines.size() && !lines[i].empty()) {
            EXPECT_TRUE(std::regex_match(lines[i], row)) << "row '" << lines[i] << "'";
            page.rows.push_back(lines[i++]);
        }
        // The blocks (each starts with two line ends: one ends the last row).
        while (i + 1 < lines.size() && lines[i].empty()) {
            if (lines[i + 1] == " Could not calculate valid sunset/moonset times!") {
                page.failed = true;
                i += 2;
                continue;
            }
            // A block: two empty lines, then the geocentric new moon (three
            // empty lines and a separator are the trailer).
            if (!(lines[i + 1].empty() && i + 2 < lines.size() &&
                  lines[i + 2].rfind(" Next Geocentric", 0) == 0)) {
                break;
            }
            ++i;
            page.blocks.push_back(ParseBlock(lines, i));
        }
        if (i + 3 < lines.size() && lines[i].empty() && lines[i + 1].empty() &&
            lines[i + 2].empty() && lines[i + 3] == Separator) {
            page.trailer = true;
            i += 4;
        }
        pages.push_back(page);
        if (i < lines.size() && lines[i].rfind(" Location:", 0) != 0) {
            ADD_FAILURE() << "unexpected line " << i << ": '" << lines[i] << "'";
            break;
        }
    }
    return pages;
}

std::vector<std::string> MakkahMoonHeader(const std::string &dateLine, const std::string &heads) {
    return {" Location:   \tMakkah,",
            "\t\tLatitude 21\xB0" "25'21\" N, Longitude 039\xB0" "49'34\" E,",
            "\t\tHeight: 300 meters ASL, Time Zone: 3.00,",
            "\t\tNo Summer Time available",
            Separator,
            dateLine,
            heads,
            Separator};
}

const std::string MonthHeads = "\tDate Day MoonRise   \tMoonTransit\tMoonSet    ";

// ---------------------------------------------------------------------------
// LocalJdToDateTime.

struct LocalTimeCase {
    double jd;          // local JD in
    bool summerRules;   // 834 / 2626
    int precision;
    int year, month, day;
    double seconds;     // time of day out
    double jdShift;     // change of the JD, days
};

class LocalJdToDateTimeTest : public ::testing::TestWithParam<LocalTimeCase> {};

TEST_P(LocalJdToDateTimeTest, DateTimeAndShift) {
    const LocalTimeCase &c = GetParam();
    VorLocation loc = Makkah;
    if (c.summerRules) {
        loc.summerStart = 834;
        loc.summerEnd = 2626;
    }
    const VorConfig cfg = Settings(VOR_SPAN_MONTH, c.precision);
    VorDate date{};
    double timeOfDay = -1.0;
    double jd = c.jd;
    LocalJdToDateTime(cfg, loc, date, &timeOfDay, &jd);
    EXPECT_EQ(date.year, c.year);
    EXPECT_EQ(date.month, c.month);
    EXPECT_EQ(static_cast<int>(date.day), c.day);
    EXPECT_NEAR(timeOfDay * RadToTimeSeconds, c.seconds, 1e-3);
    EXPECT_NEAR(jd - c.jd, c.jdShift, 1e-9);
}

constexpr double Mar11 = 2460380.5;  // 0 h of 2024-03-11
constexpr double Jul9 = 2460500.5;   // 0 h of 2024-07-09
constexpr double Oct26 = 2460609.5;  // 0 h of 2024-10-26, the last day of summer time
constexpr double Hour = 1.0 / 24.0;

INSTANTIATE_TEST_SUITE_P(
    Cases, LocalJdToDateTimeTest,
    ::testing::Values(
        LocalTimeCase{Mar11 + 0.25, false, 0, 2024, 3, 11, 6 * 3600.0, 0.0},
        // Summer time adds an hour on its days, and only then.
        LocalTimeCase{Mar11 + 0.25, true, 0, 2024, 3, 11, 6 * 3600.0, 0.0},
        LocalTimeCase{Jul9 + 0.25, true, 0, 2024, 7, 9, 7 * 3600.0, Hour},
        LocalTimeCase{Oct26 + 0.5, true, 0, 2024, 10, 26, 13 * 3600.0, Hour},
        LocalTimeCase{Oct26 + 1.5, true, 0, 2024, 10, 27, 12 * 3600.0, 0.0},
        // 23:59:59.6 is shown as 24:00:00, that is 00:00:00 of the next day.
        LocalTimeCase{Mar11 + 86399.6 / 86400, false, 0, 2024, 3, 12, 0.0, 1.0},
        LocalTimeCase{Mar11 + 86399.4 / 86400, false, 0, 2024, 3, 11, 86399.4, 0.0},
        // To the minute, from 30 seconds up.
        LocalTimeCase{Mar11 + 86370.0 / 86400, false, 1, 2024, 3, 12, 0.0, 1.0},
        LocalTimeCase{Mar11 + 86369.0 / 86400, false, 1, 2024, 3, 11, 86369.0, 0.0},
        // 22:59:59.7 in summer time is 23:59:59.7, shown as the next midnight.
        LocalTimeCase{Jul9 + 82799.7 / 86400, true, 0, 2024, 7, 10, 0.0, 1.0 + Hour}));

// ---------------------------------------------------------------------------
// One day.

TEST(MoonReportDay, HeaderCellsAndMoonDataBlockForTheNewMoonOf10March2024) {
    const VorDate date = Civil(2024, 3, 10);
    const std::vector<std::string> lines = Lines(MoonReport(date, Makkah, Settings(VOR_SPAN_DAY)));
    std::vector<std::string> expected = {"", "\t\tVorlin Times\t  Version 2.8, February, 2002",
                                         Separator};
    for (const std::string &l :
         MakkahMoonHeader("Moon Information for Sunday,   10/March/2024,  ",
                          "\tMoonRise   \tMoonTransit\tMoonSet    ")) {
        expected.push_back(l);
    }
    ASSERT_GT(lines.size(), expected.size() + 2);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;

    // The cells: rise, transit, set of the day, and no line end after them.
    double t[3];
    VorLocation loc = Makkah;
    const VorConfig cfg = Settings(VOR_SPAN_DAY);
    MoonRiseTransitSet(&date, &loc, &cfg, t);
    const std::string &cells = lines[expected.size()];
    ASSERT_EQ(cells.size(), 1u + 3u * 14u) << cells;
    EXPECT_EQ(cells[0], '\t');
    const double order[3] = {t[1], t[0], t[2]};
    for (int k = 0; k < 3; ++k) {
        double s = 0;
        ASSERT_TRUE(ClockSeconds(cells.substr(1 + 14 * k, 9), &s)) << cells;
        EXPECT_EQ(cells.substr(10 + 14 * k, 5), "    \t");
        EXPECT_NEAR(s, order[k] * RadToTimeSeconds, 0.5 + 1e-6) << k;
    }

    std::size_t i = expected.size() + 1;
    const MoonBlock b = ParseBlock(lines, i);
    EXPECT_EQ(i, lines.size()) << "nothing follows the block";
    ExpectConsistentBlock(b);
    // Published: new moon 2024 March 10, 09:00 UT, 12:00 at zone +3.
    EXPECT_EQ(b.geoDay, 10);
    EXPECT_EQ(b.geoMonth, 3);
    EXPECT_EQ(b.geoYear, 2024);
    EXPECT_NEAR(b.geoCivil, 12 * 3600.0, 120.0);
    EXPECT_EQ(b.eveningMonth, "March");
    // The month begins the day after the evening, or the day after that.
    EXPECT_EQ(b.startMonth, "Ramadan");
    EXPECT_EQ(b.startYear, 1445);
    EXPECT_EQ(b.startCivilMonth, "March");
    EXPECT_TRUE(b.startDay == b.eveningDay + 1 || b.startDay == b.eveningDay + 2);
    EXPECT_EQ(b.startWeekday, Weekdays[(6 + b.startDay - 10) % 7]);  // 10 March: Sunday
}

// The header kind follows the order of rise and set: a Moon that rises
// after it sets gets the columns set, transit, rise.
TEST(MoonReportDay, HeaderKindFollowsTheOrderOfRiseAndSet) {
    const VorLocation north = PlaceInRadians(65.0, 20.0, 0, 1.0f, "North");
    const VorConfig cfg = Settings(VOR_SPAN_DAY);
    int riseFirst = 0, setFirst = 0;
    for (int d = 1; d <= 31 && (riseFirst == 0 || setFirst == 0); ++d) {
        const VorDate date = Civil(2024, 1, d);
        double t[3];
        MoonRiseTransitSet(&date, &north, &cfg, t);
        if (t[1] > t[2] && setFirst == 0) setFirst = d;
        if (t[1] < t[2] && riseFirst == 0) riseFirst = d;
    }
    ASSERT_NE(riseFirst, 0);
    ASSERT_NE(setFirst, 0) << "a day in January 2024 at 65 N on which the Moon rises after it sets";

    for (int d : {riseFirst, setFirst}) {
        const VorDate date = Civil(2024, 1, d);
        double t[3];
        MoonRiseTransitSet(&date, &north, &cfg, t);
        const std::vector<std::string> lines = Lines(MoonReport(date, north, cfg));
        ASSERT_GT(lines.size(), 12u);
        const bool setThenRise = d == setFirst;
        EXPECT_EQ(lines[9], setThenRise ? "\tMoonSet    \tMoonTransit\tMoonRise   "
                                        : "\tMoonRise   \tMoonTransit\tMoonSet    ");
        const double order[3] = {setThenRise ? t[2] : t[1], t[0], setThenRise ? t[1] : t[2]};
        const std::string &cells = lines[11];
        ASSERT_EQ(cells.size(), 1u + 3u * 14u) << cells;
        for (int k = 0; k < 3; ++k) {
            double s = 0;
            const std::string cell = cells.substr(1 + 14 * k, 9);
            if (ClockSeconds(cell, &s)) {
                EXPECT_NEAR(s, order[k] * RadToTimeSeconds, 0.5 + 1e-6) << "day " << d << " " << k;
            } else {
                EXPECT_EQ(cell, "NotValid ") << "a time more than a day off";
            }
        }
        // Then the block (after a blank line) or the failure line.
        EXPECT_TRUE(lines[12].empty() ||
                    lines[12] == " Could not calculate valid sunset/moonset times!")
            << lines[12];
    }
}

// ---------------------------------------------------------------------------
// One month.

struct MonthCase {
    int year, month;
    std::size_t rows;
    std::size_t blocks;
    const char *why;
};

class MoonReportMonth : public ::testing::TestWithParam<MonthCase> {};

TEST_P(MoonReportMonth, RowsAndNewMoonBlocks) {
    const MonthCase &c = GetParam();
    const std::vector<MonthPage> pages =
        MonthPages(Lines(MoonReport(Civil(c.year, c.month, 20), Makkah, Settings(VOR_SPAN_MONTH))));
    ASSERT_EQ(pages.size(), 1u);
    const MonthPage &page = pages[0];
    EXPECT_EQ(page.header, MakkahMoonHeader(std::string("\t\tMoon Information for ") +
                                                Months[c.month] + "/" + std::to_string(c.year) +
                                                ", ",
                                            MonthHeads));
    ASSERT_EQ(page.rows.size(), c.rows);
    for (std::size_t d = 1; d <= c.rows; ++d) {
        EXPECT_EQ(std::stoi(page.rows[d - 1].substr(1, 2)), static_cast<int>(d));
    }
    EXPECT_FALSE(page.trailer);
    EXPECT_FALSE(page.failed);
    ASSERT_EQ(page.blocks.size(), c.blocks) << c.why;
    for (const MoonBlock &b : page.blocks) ExpectConsistentBlock(b);
    // Every block is of a new moon of the month, the second after the first.
    EXPECT_EQ(page.blocks[0].geoMonth, c.month);
    if (c.blocks == 2) {
        EXPECT_EQ(page.blocks[1].geoMonth, c.month);
        EXPECT_GT(page.blocks[1].geoDay, page.blocks[0].geoDay + 27);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Months, MoonReportMonth,
    ::testing::Values(
        // New moons 2024 December 1, 06:21 UT and December 30, 22:27 UT.
        MonthCase{2024, 12, 31, 2, "second new moon on the 31st (zone +3)"},
        // 2024 October 2, 18:49 UT: the next one (November 1) is not in October.
        MonthCase{2024, 10, 31, 1, "candidate second new moon in November"},
        // 2022 February 1, 05:46 UT: February never gets a second block.
        MonthCase{2022, 2, 28, 1, "February"},
        // 2024 March 10.
        MonthCase{2024, 3, 31, 1, "one new moon"}));

TEST(MoonReportMonth, BlocksOfDecember2024AreThePublishedNewMoons) {
    const std::vector<MonthPage> pages =
        MonthPages(Lines(MoonReport(Civil(2024, 12, 1), Makkah, Settings(VOR_SPAN_MONTH))));
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].blocks.size(), 2u);
    // 06:21 UT and 22:27 UT: 09:21 on the 1st and 01:27 on the 31st at zone +3.
    EXPECT_EQ(pages[0].blocks[0].geoDay, 1);
    EXPECT_NEAR(pages[0].blocks[0].geoCivil, 9 * 3600 + 21 * 60.0, 120.0);
    EXPECT_EQ(pages[0].blocks[1].geoDay, 31);
    EXPECT_NEAR(pages[0].blocks[1].geoCivil, 1 * 3600 + 27 * 60.0, 120.0);
}

TEST(MoonReportMonth, HijriFlagListsTheCivilMonthHolding1Ramadan) {
    VorDate date{};
    date.hijriYear = 1445;
    date.hijriMonth = 9;
    date.hijriDay = 1.0;
    const std::vector<MonthPage> pages = MonthPages(
        Lines(MoonReport(date, Makkah, Settings(VOR_SPAN_MONTH | VOR_HIJRI_MONTHS))));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].header[5], "\t\tMoon Information for March/2024, ");
    ASSERT_EQ(pages[0].rows.size(), 31u);
    EXPECT_EQ(pages[0].rows[0].substr(0, 10), "\t1    Fri ");
}

TEST(MoonReportMonth, PolarDayWritesTheFailureLineInPlaceOfTheBlock) {
    const VorLocation polar = PlaceInRadians(80.0, 15.0, 0, 1.0f, "Polar");
    const std::string text = MoonReport(Civil(2024, 6, 1), polar, Settings(VOR_SPAN_MONTH));
    const std::vector<MonthPage> pages = MonthPages(Lines(text));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].rows.size(), 30u);
    EXPECT_TRUE(pages[0].failed);
    EXPECT_TRUE(pages[0].blocks.empty());
    const std::string failure = "\n\n Could not calculate valid sunset/moonset times!\n";
    ASSERT_GE(text.size(), failure.size());
    EXPECT_EQ(text.substr(text.size() - failure.size()), failure);
}

// ---------------------------------------------------------------------------
// Twelve months.

TEST(MoonReportYear, FromJanuaryAndFromTheDatesMonth) {
    struct Span {
        unsigned flags;
        int firstMonth;
    };
    for (const Span span : {Span{VOR_SPAN_YEAR, 1}, Span{VOR_SPAN_MASK, 10}}) {
        const std::vector<MonthPage> pages =
            MonthPages(Lines(MoonReport(Civil(2024, 10, 17), Makkah, Settings(span.flags))));
        ASSERT_EQ(pages.size(), 12u);
        int month = span.firstMonth, year = 2024;
        for (const MonthPage &page : pages) {
            EXPECT_EQ(page.header[5], std::string("\t\tMoon Information for ") + Months[month] +
                                          "/" + std::to_string(year) + ", ");
            const int length = MonthLengths[month] + (month == 2 && IsLeapYear(year) ? 1 : 0);
            EXPECT_EQ(page.rows.size(), static_cast<std::size_t>(length));
            EXPECT_TRUE(page.trailer);
            EXPECT_FALSE(page.failed);
            EXPECT_GE(page.blocks.size(), 1u);
            for (const MoonBlock &b : page.blocks) ExpectConsistentBlock(b);
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// London: the young Moon often sets before the Sun on the first two
// evenings after the new moon (autumn), and every month still gets its block.

const VorLocation London = PlaceInRadians(51.5074, -0.1278, 0, 0.0f, "London");
constexpr double SunsetAltitudeAtSeaLevel = -0.27;  // degrees: minus the semidiameter

int HijriMonthNumber(const std::string &name) {
    for (int m = 1; m <= 12; ++m) {
        if (name == HijriMonths[m]) return m;
    }
    return 0;
}

class LondonMoonMonth : public ::testing::TestWithParam<int> {};

TEST_P(LondonMoonMonth, HasTheBlockOfItsNewMoon) {
    const int year = 2024 + GetParam() / 12;
    const int month = GetParam() % 12 + 1;
    const std::string text = MoonReport(Civil(year, month, 1), London, Settings(VOR_SPAN_MONTH));
    EXPECT_EQ(text.find("Could not calculate"), std::string::npos);
    const std::vector<MonthPage> pages = MonthPages(Lines(text));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(pages[0].failed);
    ASSERT_GE(pages[0].blocks.size(), 1u);
    for (const MoonBlock &b : pages[0].blocks) ExpectConsistentBlock(b, SunsetAltitudeAtSeaLevel);
}

INSTANTIATE_TEST_SUITE_P(From2024To2027, LondonMoonMonth, ::testing::Range(0, 48),
                         [](const ::testing::TestParamInfo<int> &info) {
                             const int month = info.param % 12 + 1;
                             return std::to_string(2024 + info.param / 12) +
                                    (month < 10 ? "_0" : "_") + std::to_string(month);
                         });

TEST(MoonReportYear, TwelveMonthsFromDecember2026AtLondonListTwelveMonthStarts) {
    const std::string text = MoonReport(Civil(2026, 12, 1), London, Settings(VOR_SPAN_MASK));
    EXPECT_EQ(text.find("Could not calculate"), std::string::npos);
    const std::vector<MonthPage> pages = MonthPages(Lines(text));
    ASSERT_EQ(pages.size(), 12u);
    std::vector<int> months;  // the Hijri months that begin, in report order
    for (const MonthPage &page : pages) {
        EXPECT_FALSE(page.failed);
        EXPECT_GE(page.blocks.size(), 1u);
        for (const MoonBlock &b : page.blocks) {
            ExpectConsistentBlock(b, SunsetAltitudeAtSeaLevel);
            months.push_back(HijriMonthNumber(b.startMonth));
        }
    }
    ASSERT_GE(months.size(), 12u);
    for (std::size_t i = 1; i < months.size(); ++i) {
        EXPECT_EQ(months[i], months[i - 1] % 12 + 1) << "month start " << i;
    }
}

}  // namespace
