#include "prayer/report_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "prayer/report_names.h"

namespace vorlin {
namespace {

const std::string Sep = std::string(80, '=');

// Lines of a text that ends with "\n" (the last, empty piece is dropped).
std::vector<std::string> SplitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start) + "<no line end>");
    return lines;
}

void ExpectLines(const std::string &text, const std::vector<std::string> &expected) {
    const std::vector<std::string> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size() && i < expected.size(); ++i) {
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
    EXPECT_EQ(lines.size(), expected.size());
}

// Seconds of the day to radians of the day.
double Clock(double hours, double minutes, double seconds) {
    return (hours * 3600.0 + minutes * 60.0 + seconds) * SecondToRad;
}

VorLocation Makkah() {
    VorLocation loc{};
    std::strcpy(loc.name, "Makkah");
    loc.latitude = 21.423111111111112 * DegToRad;
    loc.longitude = 39.827111111111115 * DegToRad;
    loc.height = 277;
    loc.timeZone = 3.0f;
    return loc;
}

VorLocation Greenwich() {
    VorLocation loc{};
    std::strcpy(loc.name, "Greenwich");
    loc.latitude = 51.4769 * DegToRad;
    loc.longitude = -0.0005 * DegToRad;
    loc.height = 46;
    loc.timeZone = -3.5f;
    loc.summerStart = 834;
    loc.summerEnd = 2626;
    return loc;
}

VorConfig Shafii() {
    VorConfig cfg{};
    cfg.imsakAngle = -19.5f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = 1;
    cfg.maghribMinutes = 1;
    cfg.fajrIshaMinutes = 90;
    return cfg;
}

VorConfig Jafari() {
    VorConfig cfg{};
    cfg.imsakAngle = -18.5f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = 0;
    cfg.distanceKm = 20;
    cfg.precision = 1;
    cfg.maghribMinutes = 3;
    cfg.hijriAdjustDays = -1;
    cfg.highLatitudeRule = 9;
    cfg.fajrIshaMinutes = 90;
    return cfg;
}

VorDate Date(int y, int m, int d, int hy, int hm, int hd, int valid = 1) {
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    date.hijriYear = hy;
    date.hijriMonth = static_cast<uint8_t>(hm);
    date.hijriDay = hd;
    date.hijriValid = valid;
    return date;
}

std::string Header(const VorDate &date, const VorLocation &loc, const VorConfig &cfg, int kind) {
    static char buffer[8192];
    TextWriter text(buffer, sizeof buffer);
    WriteReportHeader(date, loc, cfg, kind, text);
    EXPECT_EQ(text.Length(), std::strlen(buffer));
    return buffer;
}

const std::string MakkahLocation[] = {
    " Location:   \tMakkah,",
    "\t\tLatitude 21\xB0" "25'23\" N, Longitude 039\xB0" "49'38\" E,",
    "\t\tHeight: 277 meters ASL, Time Zone: 3.00,",
    "\t\tNo Summer Time available"};

const std::string GreenwichLocation[] = {
    " Location:   \tGreenwich,",
    "\t\tLatitude 51\xB0" "28'37\" N, Longitude 000\xB0" "00'02\" W,",
    "\t\tHeight: 46 meters ASL, Time Zone: -3.50,",
    "\t\tSummer Time starts at: Last Sunday, March",
    "\t\tSummer Time ends at: Last Sunday, October"};

const std::string ShafiiConfiguration[] = {
    " Configuration:\tFiqh = Shafi'i, Distance = 0 km, Precision = Seconds,",
    "\t\tImsak angle = -19\xB0" " 30', Fajr angle = -18\xB0" " 00', ",
    "\t\tIsha angle = -17\xB0" " 00', Added minutes to Maghrib time = 1,",
    "\t\tAdjust Islamic calendar by 0 days,",
    "\t\tRule at high latitudes = Non"};

const std::string JafariConfiguration[] = {
    " Configuration:\tFiqh = Jafari, Distance = 20 km, Precision = Minutes,",
    "\t\tImsak angle = -18\xB0" " 30', Fajr angle = -18\xB0" " 00',",
    "\t\tAdded minutes to Maghrib time = 3,",
    "\t\tAdjust Islamic calendar by -1 days,",
    "\t\tRule at high latitudes = 90 minutes for Fajr prayer"};

const std::string FiveHeads = "Imsak    Fajr     Shuruq   Duhr     Maghrib";
const std::string SevenHeads = "Imsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a";

template <std::size_t A, std::size_t B>
std::vector<std::string> Join(const std::string (&a)[A], const std::string (&b)[B],
                              std::vector<std::string> rest) {
    std::vector<std::string> all(a, a + A);
    all.insert(all.end(), b, b + B);
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

template <std::size_t A>
std::vector<std::string> Join(const std::string (&a)[A], std::vector<std::string> rest) {
    std::vector<std::string> all(a, a + A);
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

TEST(WriteBanner, WritesTitleAndSeparatorAtTheEnd) {
    char buffer[256];
    TextWriter text(buffer, sizeof buffer);
    text.Append("abc");
    WriteBanner(text);
    EXPECT_EQ(std::string(buffer),
              "abc\n\t\tVorlin Times\t  Version 2.8, February, 2002\n" + Sep + "\n");
    EXPECT_EQ(std::string(SeparatorLine), Sep + "\n");
}

TEST(WriteReportHeader, OneDayPrayerScheduleShafii) {
    ExpectLines(Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), Shafii(), 0),
                Join(MakkahLocation, ShafiiConfiguration,
                     {Sep, "Prayer schedule for Sunday,   28/March/2004,  7/Safar/1425",
                      SevenHeads, Sep}));
}

TEST(WriteReportHeader, OneDayPrayerScheduleJafariWithSummerTime) {
    ExpectLines(Header(Date(2004, 10, 31, 1425, 9, 17), Greenwich(), Jafari(), 0),
                Join(GreenwichLocation, JafariConfiguration,
                     {Sep, "Prayer schedule for Sunday,   31/October/2004,  17/Ramadan/1425",
                      FiveHeads, Sep}));
}

TEST(WriteReportHeader, OneDayWithoutHijriDateEndsInTwoBlanks) {
    const std::string text = Header(Date(2004, 3, 28, 1425, 2, 7, 0), Makkah(), Shafii(), 0);
    ExpectLines(text, Join(MakkahLocation, ShafiiConfiguration,
                           {Sep, "Prayer schedule for Sunday,   28/March/2004,  ", SevenHeads,
                            Sep}));
    EXPECT_NE(text.find("28/March/2004,  \n"), std::string::npos);
}

TEST(WriteReportHeader, GregorianMonthShowsTwoHijriMonths) {
    VorConfig cfg = Shafii();
    cfg.scheduleFlags = VOR_SPAN_MONTH;
    ExpectLines(Header(Date(2004, 3, 1, 1425, 1, 10), Makkah(), cfg, 0),
                Join(MakkahLocation, ShafiiConfiguration,
                     {Sep, "\t\tPrayer schedule for March/2004, Muharram-Safar/1425",
                      "Date IslDate Day " + SevenHeads, Sep}));
    cfg.scheduleFlags = VOR_SPAN_YEAR;
    ExpectLines(Header(Date(2004, 1, 1, 1424, 12, 9), Makkah(), cfg, 0),
                Join(MakkahLocation, ShafiiConfiguration,
                     {Sep, "\t\tPrayer schedule for January/2004, Thu Al-Hijja-Muharram/1424",
                      "Date IslDate Day " + SevenHeads, Sep}));
    ExpectLines(Header(Date(2004, 1, 1, 1424, 12, 9, 0), Makkah(), cfg, 0),
                Join(MakkahLocation, ShafiiConfiguration,
                     {Sep, "\t\tPrayer schedule for January/2004, ",
                      "Date IslDate Day " + SevenHeads, Sep}));
}

TEST(WriteReportHeader, HijriMonthShowsTwoCivilMonths) {
    VorConfig cfg = Jafari();
    cfg.scheduleFlags = VOR_SPAN_MONTH | VOR_HIJRI_MONTHS;
    VorLocation loc = Greenwich();
    ExpectLines(Header(Date(2004, 12, 12, 1425, 11, 1), loc, cfg, 0),
                Join(GreenwichLocation, JafariConfiguration,
                     {Sep, "\t\tPrayer schedule for December-January/2004, Thu Al-Qa'da/1425",
                      "Date IslDate Day " + FiveHeads, Sep}));
    ExpectLines(Header(Date(2004, 3, 21, 1425, 2, 1, 0), loc, cfg, 0),
                Join(GreenwichLocation, JafariConfiguration,
                     {Sep, "\t\tPrayer schedule for March-April/2004, ",
                      "Date IslDate Day " + FiveHeads, Sep}));
}

TEST(WriteReportHeader, HighLatitudeRuleNinePerFiqh) {
    VorConfig cfg = Shafii();
    cfg.highLatitudeRule = 9;
    cfg.fiqh = 2;
    const std::string hanafi = Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), cfg, 0);
    ExpectLines(hanafi,
                Join(MakkahLocation,
                     {" Configuration:\tFiqh = Hanafi, Distance = 0 km, Precision = Seconds,",
                      ShafiiConfiguration[1], ShafiiConfiguration[2], ShafiiConfiguration[3],
                      "\t\tRule at high latitudes = 90 minutes for Fajr and Isha prayers", Sep,
                      "Prayer schedule for Sunday,   28/March/2004,  7/Safar/1425", SevenHeads,
                      Sep}));
    cfg.fiqh = 0;
    cfg.fajrIshaMinutes = 20;
    const std::string jafari = Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), cfg, 0);
    EXPECT_NE(jafari.find("\n\t\tRule at high latitudes = 20 minutes for Fajr prayer\n"),
              std::string::npos);
    EXPECT_EQ(jafari.find("Isha"), std::string::npos);
}

class RuleNameTest : public ::testing::TestWithParam<std::pair<int, const char *>> {};

TEST_P(RuleNameTest, HeaderNamesTheRule) {
    for (int fiqh = 0; fiqh <= 4; ++fiqh) {
        VorConfig cfg = Shafii();
        cfg.fiqh = fiqh;
        cfg.highLatitudeRule = GetParam().first;
        const std::string text = Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), cfg, 0);
        EXPECT_NE(text.find(std::string("\n\t\tRule at high latitudes = ") + GetParam().second +
                            "\n"),
                  std::string::npos)
            << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RuleNameTest,
    ::testing::Values(std::make_pair(0, "Non"), std::make_pair(1, "1/7 of day when needed"),
                      std::make_pair(2, "1/7 of day always"),
                      std::make_pair(3, "1/7 of night when needed"),
                      std::make_pair(4, "1/7 of night always"),
                      std::make_pair(5, "Nearest location-all prayers"),
                      std::make_pair(6, "Nearest location-needed prayers"),
                      std::make_pair(7, "Nearest day-all prayers"),
                      std::make_pair(8, "Nearest day-needed prayers"), std::make_pair(10, "?"),
                      std::make_pair(-1, "?")));

TEST(WriteReportHeader, MoonReportMonthHasNoConfiguration) {
    VorConfig cfg = Shafii();
    cfg.scheduleFlags = VOR_SPAN_MONTH;
    ExpectLines(Header(Date(2004, 3, 1, 1425, 1, 10), Makkah(), cfg, 1),
                Join(MakkahLocation, {Sep, "\t\tMoon Information for March/2004, ",
                                      "\tDate Day MoonRise   \tMoonTransit\tMoonSet    ", Sep}));
    cfg.scheduleFlags = VOR_SPAN_YEAR | VOR_HIJRI_MONTHS;
    ExpectLines(Header(Date(2004, 12, 1, 1425, 10, 19), Greenwich(), cfg, 2),
                Join(GreenwichLocation,
                     {Sep, "\t\tMoon Information for December/2004, ",
                      "\tDate Day MoonSet    \tMoonTransit\tMoonRise   ", Sep}));
}

TEST(WriteReportHeader, MoonReportOneDayShowsNoHijriDate) {
    ExpectLines(Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), Shafii(), 2),
                Join(MakkahLocation, {Sep, "Moon Information for Sunday,   28/March/2004,  ",
                                      "\tMoonSet    \tMoonTransit\tMoonRise   ", Sep}));
    ExpectLines(Header(Date(2004, 10, 31, 1425, 9, 17), Greenwich(), Jafari(), 1),
                Join(GreenwichLocation, {Sep, "Moon Information for Sunday,   31/October/2004,  ",
                                         "\tMoonRise   \tMoonTransit\tMoonSet    ", Sep}));
}

TEST(WriteReportHeader, NoSummerTimeWhenStartIsZeroWhateverTheEnd) {
    VorLocation loc = Greenwich();
    loc.summerStart = 0;
    const std::string text = Header(Date(2004, 3, 28, 1425, 2, 7), loc, Shafii(), 0);
    EXPECT_EQ(SplitLines(text)[3], "\t\tNo Summer Time available");
    EXPECT_EQ(text.find("Summer Time ends"), std::string::npos);
}

struct SummerRuleText {
    int start, end;
    const char *startText, *endText;
};

class SummerRuleTextTest : public ::testing::TestWithParam<SummerRuleText> {};

TEST_P(SummerRuleTextTest, NamesTheRules) {
    const SummerRuleText c = GetParam();
    VorLocation loc = Makkah();
    loc.summerStart = c.start;
    loc.summerEnd = c.end;
    const std::vector<std::string> lines =
        SplitLines(Header(Date(2004, 3, 28, 1425, 2, 7), loc, Shafii(), 0));
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[3], std::string("\t\tSummer Time starts at: ") + c.startText);
    EXPECT_EQ(lines[4], std::string("\t\tSummer Time ends at: ") + c.endText);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SummerRuleTextTest,
    ::testing::Values(
        SummerRuleText{1086, 2626, "First Sunday, April", "Last Sunday, October"},
        SummerRuleText{2622, 832, "First Sunday, October", "Third Sunday, March"},
        SummerRuleText{2624, 575, "Third Sunday, October", "Second Sunday, February"},
        SummerRuleText{789, 2327, "21, March", "23, September"},
        SummerRuleText{(5 << 8) | 35, (11 << 8) | 63, "Fourth Monday, May",
                       "Second Sunday, November"},
        // Out-of-range pieces print "?" and read nothing outside the tables.
        SummerRuleText{(13 << 8) | 80, (3 << 8) | 255, "Fourth ?, ?", "Fourth ?, March"},
        SummerRuleText{(0 << 8) | 5, -1, "5, ?", "Fourth ?, ?"}));

TEST(WriteReportHeader, OutOfRangeIndexesPrintQuestionMarks) {
    VorConfig cfg = Shafii();
    cfg.fiqh = 7;
    cfg.precision = 3;
    cfg.highLatitudeRule = 12;
    cfg.scheduleFlags = VOR_SPAN_MONTH;
    VorDate date = Date(2004, 13, 1, 1425, 0, 1);
    std::vector<std::string> lines = SplitLines(Header(date, Makkah(), cfg, 0));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[4], " Configuration:\tFiqh = ?, Distance = 0 km, Precision = ?,");
    EXPECT_EQ(lines[8], "\t\tRule at high latitudes = ?");
    EXPECT_EQ(lines[10], "\t\tPrayer schedule for ?/2004, ?-?/1425");
    EXPECT_EQ(lines[11], "Date IslDate Day " + SevenHeads);

    cfg.scheduleFlags = VOR_SPAN_MONTH | VOR_HIJRI_MONTHS;
    date = Date(2004, 0, 1, 1425, 200, 1);
    lines = SplitLines(Header(date, Makkah(), cfg, 0));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[10], "\t\tPrayer schedule for ?-?/2004, ?/1425");

    cfg.scheduleFlags = 0;
    date.day = std::numeric_limits<double>::quiet_NaN();
    date.hijriDay = 1.0e300;
    lines = SplitLines(Header(date, Makkah(), cfg, 0));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[10], "Prayer schedule for ?,   0/?/2004,  2147483647/?/1425");
}

TEST(WriteReportHeader, NameWithoutNulIsCutAt48Bytes) {
    VorLocation loc = Makkah();
    std::memset(loc.name, 'A', sizeof loc.name);
    const std::vector<std::string> lines =
        SplitLines(Header(Date(2004, 3, 28, 1425, 2, 7), loc, Shafii(), 0));
    EXPECT_EQ(lines[0], " Location:   \t" + std::string(48, 'A') + ",");
    EXPECT_EQ(lines[1], MakkahLocation[1]);
}

TEST(WriteReportHeader, UnknownKindIsWrittenAsPrayerSchedule) {
    EXPECT_EQ(Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), Shafii(), 7),
              Header(Date(2004, 3, 28, 1425, 2, 7), Makkah(), Shafii(), 0));
}

// ---- Time rows ------------------------------------------------------------

std::string Row(const VorConfig &cfg, int count, int kind, const double *times) {
    char buffer[1024];
    TextWriter text(buffer, sizeof buffer);
    WriteTimeRow(cfg, count, kind, times, text);
    return buffer;
}

// Imsak, Fajr, Shuruq, centre's transit, Duhr, Asr (factor 1), Asr (factor
// 2), Maghrib, Isha'a; every fraction of a second is far from a boundary.
const double DayTimes[9] = {Clock(4, 12, 30.5),  Clock(4, 30, 0.2),  Clock(5, 50, 10.9),
                            Clock(12, 0, 0.0),   Clock(12, 1, 10.5), Clock(15, 30, 20.5),
                            Clock(16, 20, 40.5), Clock(18, 40, 0.5), Clock(20, 0, 5.5)};

struct RowCase {
    int fiqh, precision;
    const char *text;
};

class PrayerRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(PrayerRowTest, ShowsTheSchoolsColumnsRoundedByTheirRules) {
    const RowCase c = GetParam();
    VorConfig cfg = Shafii();
    cfg.fiqh = c.fiqh;
    cfg.precision = c.precision;
    EXPECT_EQ(Row(cfg, 9, RowPrayer, DayTimes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Schools, PrayerRowTest,
    ::testing::Values(
        RowCase{0, 0, "04:12:30 04:30:01 05:50:10 12:01:11 18:40:01 \n"},
        RowCase{1, 0, "04:12:30 04:30:01 05:50:10 12:01:11 15:30:21 18:40:01 20:00:06 \n"},
        RowCase{2, 0, "04:12:30 04:30:01 05:50:10 12:01:11 16:20:41 18:40:01 20:00:06 \n"},
        RowCase{3, 0, "04:12:30 04:30:01 05:50:10 12:01:11 15:30:21 18:40:01 20:00:06 \n"},
        RowCase{4, 0, "04:12:30 04:30:01 05:50:10 12:01:11 15:30:21 18:40:01 20:00:06 \n"},
        // An unknown school keeps the seven columns of its head, factor-1 Asr.
        RowCase{9, 0, "04:12:30 04:30:01 05:50:10 12:01:11 15:30:21 18:40:01 20:00:06 \n"},
        RowCase{0, 1, "04:12    04:31    05:50    12:02    18:41    \n"},
        RowCase{2, 1, "04:12    04:31    05:50    12:02    16:21    18:41    20:01    \n"},
        RowCase{4, 1, "04:12    04:31    05:50    12:02    15:31    18:41    20:01    \n"},
        RowCase{1, 5, "04:12    04:31    05:50    12:02    15:31    18:41    20:01    \n"}));

TEST(WriteTimeRow, MarkersAndTimesOutsideTwoDaysAreWords) {
    const double times[9] = {TimeNotValid,
                             TimeAlwaysBelow,
                             TimeAlwaysAbove,
                             0.0,
                             48.0 * HourToRad,
                             std::numeric_limits<double>::quiet_NaN(),
                             0.0,
                             -24.5 * HourToRad,
                             1.0e300};
    VorConfig cfg = Shafii();
    EXPECT_EQ(Row(cfg, 9, RowPrayer, times),
              "NotValid AlwBelow AlwAbove NotValid NotValid NotValid NotValid \n");
    cfg.precision = 1;
    EXPECT_EQ(Row(cfg, 9, RowPrayer, times),
              "NotValid AlwBelow AlwAbove NotValid NotValid NotValid NotValid \n");
}

TEST(WriteTimeRow, DayMarksForThePreviousAndTheNextDay) {
    const double times[9] = {-Clock(0, 29, 30.5), Clock(4, 30, 0.2),  Clock(29, 50, 10.9),
                             0.0,                  Clock(12, 1, 10.5), Clock(-23, -59, 0.0),
                             0.0,                  Clock(47, 59, 59.9), Clock(47, 59, 58.5)};
    VorConfig cfg = Shafii();
    EXPECT_EQ(Row(cfg, 9, RowPrayer, times),
              "23:30:29<04:30:01 05:50:10>12:01:11 00:01:00<NotValid 23:59:59>\n");
}

TEST(WriteTimeRow, EveryPrayerCellIsNineCharacters) {
    for (int fiqh = 0; fiqh <= 5; ++fiqh) {
        const std::size_t cells = fiqh == 0 ? 5 : 7;
        for (int precision = 0; precision <= 1; ++precision) {
            for (int k = 0; k < 500; ++k) {
                double times[9];
                for (int i = 0; i < 9; ++i) times[i] = (k * 9 + i) * 0.0217 - 13.0;
                if (k % 7 == 0) times[k % 9] = TimeAlwaysAbove;
                VorConfig cfg = Shafii();
                cfg.fiqh = fiqh;
                cfg.precision = precision;
                const std::string row = Row(cfg, 9, RowPrayer, times);
                ASSERT_EQ(row.size(), cells * 9 + 1) << row;
                ASSERT_EQ(row.back(), '\n');
            }
        }
    }
}

TEST(WriteTimeRow, MoonCellsWithTabSeparators) {
    const double times[3] = {Clock(10, 10, 29.4), Clock(23, 59, 59.6), TimeNotValid};
    VorConfig cfg = Shafii();
    EXPECT_EQ(Row(cfg, 3, RowTabSeparated, times),
              "10:10:29     \t00:00:00>    \tNotValid     \t");
    EXPECT_EQ(Row(cfg, 3, RowPlain, times), "10:10:29 00:00:00>NotValid ");
    const double minutes[3] = {Clock(10, 10, 29.0), Clock(10, 10, 30.0), TimeAlwaysAbove};
    cfg.precision = 1;
    EXPECT_EQ(Row(cfg, 3, RowTabSeparated, minutes),
              "10:10       \t10:11       \tAlwAbove       \t");
    EXPECT_EQ(Row(cfg, 3, RowPlain, minutes), "10:10 10:11 AlwAbove ");
    // Moon rows use the nearest rounding for every cell, the prayer skips
    // do not apply, and nothing is written for no times.
    const double four[4] = {Clock(1, 0, 0.6), Clock(2, 0, 0.4), Clock(3, 0, 0.6), TimeAlwaysBelow};
    cfg.precision = 0;
    cfg.fiqh = 0;
    EXPECT_EQ(Row(cfg, 4, RowPlain, four), "01:00:01 02:00:00 03:00:01 AlwBelow ");
    EXPECT_EQ(Row(cfg, 0, RowPlain, four), "");
    EXPECT_EQ(Row(cfg, 3, RowPlain, nullptr), "");
}

// ---- Clock text -------------------------------------------------------------

struct ClockCase {
    double roundLimit;
    double time;  // radians of day
    int minutesOnly;
    const char *text;
    int dayShift;
};

class FormatClockTimeTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(FormatClockTimeTest, WritesClockTextAndDayShift) {
    const ClockCase c = GetParam();
    char out[ClockTextSize];
    int shift = 12345;
    FormatClockTime(c.roundLimit, c.time, c.minutesOnly, &shift, out, 0);
    EXPECT_STREQ(out, c.text);
    EXPECT_EQ(shift, c.dayShift);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FormatClockTimeTest,
    ::testing::Values(
        ClockCase{29, 0.0, 0, "00:00:00", 0}, ClockCase{29, TwoPi, 0, "00:00:00", 1},
        // 2 min 17.5 s before midnight: 0.49 s left over exceed 29 sixtieths.
        ClockCase{29, -0.01, 0, "23:57:43", -1},
        ClockCase{59, Clock(4, 12, 59.9), 1, "04:12", 0},
        ClockCase{0, Clock(4, 30, 0.2), 1, "04:31", 0},
        ClockCase{29, Clock(10, 10, 29), 1, "10:10", 0},
        ClockCase{29, Clock(10, 10, 30), 1, "10:11", 0},
        ClockCase{29, Clock(12, 0, 0.48), 0, "12:00:00", 0},
        ClockCase{29, Clock(12, 0, 0.49), 0, "12:00:01", 0},
        // 29/60 s after midnight, for which the remainder is computed as exactly 29.
        ClockCase{29, 3.514899188044136e-05, 0, "00:00:00", 0},
        ClockCase{28, 3.514899188044136e-05, 0, "00:00:01", 0},
        ClockCase{0, Clock(23, 59, 59.9), 0, "00:00:00", 1},
        ClockCase{59, Clock(23, 59, 59.9), 0, "23:59:59", 0},
        ClockCase{29, Clock(23, 59, 59.6), 1, "00:00", 1},
        ClockCase{29, Clock(36, 15, 10.2), 0, "12:15:10", 1},
        ClockCase{29, Clock(48, 0, 0.5), 0, "00:00:01", 2},
        ClockCase{29, Clock(100, 0, 0.5), 0, "04:00:01", 4},
        ClockCase{29, -Clock(24, 0, 0), 0, "00:00:00", -1},
        ClockCase{29, -Clock(30, 0, 10.75), 0, "17:59:49", -2},
        // Whole days below zero and a hair before midnight are 0 h, not 24 h.
        ClockCase{29, -Clock(48, 0, 0), 0, "00:00:00", -2},
        ClockCase{29, -1.0e-17, 0, "00:00:00", 0}));

// Times that cannot be split are reported far outside the day.
INSTANTIATE_TEST_SUITE_P(
    Unsplittable, FormatClockTimeTest,
    ::testing::Values(ClockCase{29, 1.0e300, 0, "00:00:00", MaxClockDayShift},
                      ClockCase{29, -1.0e300, 1, "00:00", -MaxClockDayShift},
                      ClockCase{29, std::numeric_limits<double>::quiet_NaN(), 0, "00:00:00",
                                MaxClockDayShift},
                      ClockCase{29, std::numeric_limits<double>::infinity(), 0, "00:00:00",
                                MaxClockDayShift}));

TEST(FormatClockTime, AddDaysPutsTheShiftIntoTheHours) {
    char out[ClockTextSize];
    int shift = 0;
    FormatClockTime(29, Clock(25, 30, 0.2), 0, &shift, out, 1);
    EXPECT_STREQ(out, "25:30:00");
    EXPECT_EQ(shift, 1);
    FormatClockTime(29, -Clock(0, 30, 0.2), 1, &shift, out, 1);
    EXPECT_STREQ(out, "-1:30");
    EXPECT_EQ(shift, -1);
}

TEST(FormatClockTime, SmallBufferIsCutAndTerminated) {
    char out[8];
    std::memset(out, 'x', sizeof out);
    int shift = 0;
    FormatClockTime(29, Clock(12, 34, 56.0), 0, &shift, out, 6, 0);
    EXPECT_STREQ(out, "12:34");
    EXPECT_EQ(out[6], 'x');
}

TEST(SplitClockTime, RoundsEverySecondOfTheDayByItsLimit) {
    for (int s = 0; s < 86400; s += 7) {
        const int h = s / 3600, m = s / 60 % 60, sec = s % 60;
        int days = 9, hours = -1, minutes = -1, seconds = -1;
        // A quarter of a second: kept by the nearest and the cut rules.
        SplitClockTime(29, (s + 0.25) * SecondToRad, 0, &days, &hours, &minutes, &seconds);
        ASSERT_EQ(days * 86400 + hours * 3600 + minutes * 60 + seconds, s) << s;
        ASSERT_EQ(hours, h);
        ASSERT_EQ(minutes, m);
        ASSERT_EQ(seconds, sec);
        SplitClockTime(59, (s + 0.75) * SecondToRad, 0, &days, &hours, &minutes, &seconds);
        ASSERT_EQ(days * 86400 + hours * 3600 + minutes * 60 + seconds, s) << s;
        // Any remainder counts as a second with the limit 0.
        SplitClockTime(0, (s + 0.25) * SecondToRad, 0, &days, &hours, &minutes, &seconds);
        ASSERT_EQ(days * 86400 + hours * 3600 + minutes * 60 + seconds, s + 1) << s;
        ASSERT_LT(hours, 24);
        // Minutes only: the minute is rounded up from 30 s (limit 29).
        SplitClockTime(29, (s + 0.25) * SecondToRad, 1, &days, &hours, &minutes, &seconds);
        const int roundedMinute = s / 60 + (sec >= 30 ? 1 : 0);
        ASSERT_EQ(days * 1440 + hours * 60 + minutes, roundedMinute) << s;
    }
}

// ---- Name tables --------------------------------------------------------------

TEST(ReportNames, TablesInOrder) {
    const char *weekdays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                              "Friday", "Saturday", "Sunday"};
    const char *shortWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(WeekdayName(i), weekdays[i]);
        EXPECT_STREQ(ShortWeekdayName(i + 1), shortWeekdays[i]);
    }
    const char *ordinals[] = {"First", "Second", "Third", "Fourth", "Last"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(OrdinalName(i), ordinals[i]);
    const char *months[] = {"January", "February", "March",     "April",   "May",      "June",
                            "July",    "August",   "September", "October", "November", "December"};
    const char *hijri[] = {"Muharram",  "Safar", "Rabi'I",  "Rabi'II", "Jumada I",     "Jumada II",
                           "Rajab",     "Sha'ban", "Ramadan", "Shawwal", "Thu Al-Qa'da",
                           "Thu Al-Hijja"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_STREQ(MonthName(i + 1), months[i]);
        EXPECT_STREQ(HijriMonthName(i + 1), hijri[i]);
    }
    const char *fiqh[] = {"Jafari", "Shafi'i", "Hanafi", "Maliki", "Hanbali"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(FiqhName(i), fiqh[i]);
    EXPECT_STREQ(PrecisionName(0), "Seconds");
    EXPECT_STREQ(PrecisionName(1), "Minutes");
    EXPECT_STREQ(HighLatitudeRuleName(0), "Non");
    EXPECT_STREQ(HighLatitudeRuleName(9), "minutes for Fajr and Isha prayers");
}

class OutOfRangeNameTest : public ::testing::TestWithParam<int> {};

TEST_P(OutOfRangeNameTest, GivesQuestionMark) {
    const int offset = GetParam();
    // offset is added below the first and above the last valid index.
    EXPECT_STREQ(WeekdayName(-offset), "?");
    EXPECT_STREQ(WeekdayName(6 + offset), "?");
    EXPECT_STREQ(OrdinalName(-offset), "?");
    EXPECT_STREQ(OrdinalName(4 + offset), "?");
    EXPECT_STREQ(ShortWeekdayName(1 - offset), "?");
    EXPECT_STREQ(ShortWeekdayName(7 + offset), "?");
    EXPECT_STREQ(MonthName(1 - offset), "?");
    EXPECT_STREQ(MonthName(12 + offset), "?");
    EXPECT_STREQ(HijriMonthName(1 - offset), "?");
    EXPECT_STREQ(HijriMonthName(12 + offset), "?");
    EXPECT_STREQ(FiqhName(-offset), "?");
    EXPECT_STREQ(FiqhName(4 + offset), "?");
    EXPECT_STREQ(PrecisionName(-offset), "?");
    EXPECT_STREQ(PrecisionName(1 + offset), "?");
    EXPECT_STREQ(HighLatitudeRuleName(-offset), "?");
    EXPECT_STREQ(HighLatitudeRuleName(9 + offset), "?");
}

INSTANTIATE_TEST_SUITE_P(Offsets, OutOfRangeNameTest, ::testing::Values(1, 2, 100, 1000000));

TEST(ReportNames, ExtremeIndexes) {
    EXPECT_STREQ(MonthName(INT_MIN), "?");
    EXPECT_STREQ(MonthName(INT_MAX), "?");
    EXPECT_STREQ(ShortWeekdayName(INT_MIN), "?");
    EXPECT_STREQ(HighLatitudeRuleName(INT_MAX), "?");
}

}  // namespace
}  // namespace vorlin
