// The prayer schedule report: whole reports split into lines and checked
// line by line (banner, header, date line, column heads, rows, trailers),
// the rows' structure and widths, the day sequences of civil and Hijri
// months, and summer time.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "prayer/prayer_schedule.h"
#include "prayer/text_writer.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using namespace vorlin;
using namespace vorlin::testing_support;

// The 1st of a Hijri month, marked valid.
VorDate HijriMonth(int year, int month) { return Hijri(year, month, 1.0, /*hijriValid=*/1); }

const VorLocation Makkah = MakkahInRadians();


VorLocation Oslo(bool summerTime) {
    VorLocation loc = PlaceInRadians(59.91, 10.75, 20, 1.0f, "Oslo");
    loc.summerStart = summerTime ? 834 : 0;   // last Sunday of March
    loc.summerEnd = summerTime ? 2626 : 0;    // last Sunday of October
    return loc;
}

std::string Schedule(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    return ReportText(WritePrayerSchedule, date, loc, cfg);
}

// The header lines of a Makkah page up to the date line, with the default
// settings of fiqh 1 (Shafi'i) and seconds.
std::vector<std::string> MakkahHeaderTop() {
    return {" Location:   \tMakkah,",
            "\t\tLatitude 21\xB0" "25'21\" N, Longitude 039\xB0" "49'34\" E,",
            "\t\tHeight: 300 meters ASL, Time Zone: 3.00,",
            "\t\tNo Summer Time available",
            " Configuration:\tFiqh = Shafi'i, Distance = 0 km, Precision = Seconds,",
            "\t\tImsak angle = -19\xB0 00', Fajr angle = -18\xB0 00', ",
            "\t\tIsha angle = -17\xB0 00', Added minutes to Maghrib time = 0,",
            "\t\tAdjust Islamic calendar by 0 days,",
            "\t\tRule at high latitudes = Non",
            Separator};
}

const char SevenColumns[] = "Imsak    Fajr     Shuruq   Duhr     Asr      Maghrib  Isha'a";
const char FiveColumns[] = "Imsak    Fajr     Shuruq   Duhr     Maghrib";

// Clock cell "hh:mm:ss" + mark, or "hh:mm" + mark + three blanks, in
// seconds from the day's midnight (the mark adds or takes a day); false for
// a marker word.
bool CellSeconds(const std::string &cell, long *seconds) {
    static const std::regex clock(R"(^(\d\d):(\d\d)(:(\d\d))?([ <>])( {3})?$)");
    std::smatch m;
    if (!std::regex_match(cell, m, clock)) return false;
    long s = std::stol(m[1]) * 3600 + std::stol(m[2]) * 60 + (m[4].matched ? std::stol(m[4]) : 0);
    if (m[5] == ">") s += 86400;
    if (m[5] == "<") s -= 86400;
    *seconds = s;
    return true;
}

bool IsMarkerCell(const std::string &cell) {
    return cell == "NotValid " || cell == "AlwAbove " || cell == "AlwBelow ";
}

std::vector<std::string> Cells(const std::string &row) {
    EXPECT_EQ(row.size() % 9, 0u) << row;
    std::vector<std::string> cells;
    for (std::size_t i = 0; i + 9 <= row.size(); i += 9) cells.push_back(row.substr(i, 9));
    return cells;
}

struct Row {
    int day = 0;
    int hijriDay = 0;  // 0: blank (no Hijri date)
    int weekday = 0;   // 0 Monday .. 6 Sunday
    std::vector<std::string> cells;
};

// A row: the 17-character prefix "%-2i   %-2i      %3s " (or the Hijri
// day blank) and nine-character cells.
Row ParseRow(const std::string &line) {
    static const std::regex prefix(
        R"(^(\d\d|\d ) {3}(\d\d|\d |  ) {6}(Mon|Tue|Wed|Thu|Fri|Sat|Sun) $)");
    Row row;
    std::smatch m;
    const std::string head = line.substr(0, ScheduleRowPrefixWidth);
    EXPECT_TRUE(std::regex_match(head, m, prefix)) << "row prefix: '" << line << "'";
    if (m.empty()) return row;
    row.day = std::stoi(m[1]);
    row.hijriDay = m[2] == "  " ? 0 : std::stoi(m[2]);
    for (int w = 0; w < 7; ++w) {
        if (m[3] == ShortWeekdays[w]) row.weekday = w;
    }
    row.cells = Cells(line.substr(ScheduleRowPrefixWidth));
    return row;
}

struct Page {
    std::vector<std::string> header;  // " Location" .. the separator under the heads
    std::vector<Row> rows;
    std::vector<std::string> rowLines;
    bool trailer = false;
};

// Splits a month or year report into pages; checks the banner, the header
// shape and that nothing but rows and trailers lies between headers.
std::vector<Page> Pages(const std::vector<std::string> &lines) {
    std::vector<Page> pages;
    if (!ExpectBanner(lines)) return pages;
    std::size_t i = 3;
    while (i < lines.size()) {
        Page page;
        EXPECT_EQ(lines[i].rfind(" Location:", 0), 0u) << "line " << i << ": " << lines[i];
        // Header: up to the second separator after the location.
        int separators = 0;
        while (i < lines.size() && separators < 2) {
            if (lines[i] == Separator) ++separators;
            page.header.push_back(lines[i++]);
        }
        while (i < lines.size() && !lines[i].empty() && lines[i].rfind(" Location:", 0) != 0) {
            page.rowLines.push_back(lines[i]);
            page.rows.push_back(ParseRow(lines[i]));
            ++i;
        }
        // The trailer: the row's line end and three more, then SeparatorLine.
        if (i < lines.size() && lines[i].empty()) {
            EXPECT_LT(i + 3, lines.size());
            if (i + 3 >= lines.size()) break;
            EXPECT_EQ(lines[i + 1], "");
            EXPECT_EQ(lines[i + 2], "");
            EXPECT_EQ(lines[i + 3], Separator);
            page.trailer = true;
            i += 4;
        }
        pages.push_back(page);
    }
    return pages;
}

std::string DateLine(const Page &page) {
    return page.header.size() >= 3 ? page.header[page.header.size() - 3] : std::string();
}

// ---------------------------------------------------------------------------
// One day.

TEST(PrayerScheduleDay, BannerHeaderAndOneRowWithoutPrefix) {
    VorDate date = Civil(2024, 3, 11);
    date.hijriYear = 1445;
    date.hijriMonth = 9;
    date.hijriDay = 1.0;
    date.hijriValid = 1;
    const std::vector<std::string> lines = Lines(Schedule(date, Makkah, ReportSettings(VOR_SPAN_DAY)));

    std::vector<std::string> expected = {"", "\t\tVorlin Times\t  Version 2.8, February, 2002",
                                         Separator};
    for (const std::string &l : MakkahHeaderTop()) expected.push_back(l);
    expected.push_back("Prayer schedule for Monday,   11/March/2024,  1/Ramadan/1445");
    expected.push_back(SevenColumns);
    expected.push_back(Separator);
    ASSERT_EQ(lines.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;

    // The row: seven cells, no prefix, times in the order of the day.
    const std::string &row = lines.back();
    ASSERT_EQ(row.size(), 7u * 9u) << row;
    long previous = -1;
    for (const std::string &cell : Cells(row)) {
        long s = 0;
        ASSERT_TRUE(CellSeconds(cell, &s)) << cell;
        EXPECT_GT(s, previous) << row;
        previous = s;
    }
    long duhr = 0;
    ASSERT_TRUE(CellSeconds(row.substr(27, 9), &duhr));
    EXPECT_NEAR(duhr, 12 * 3600 + 33 * 60, 300) << row;  // Makkah's noon, zone +3
}

TEST(PrayerScheduleDay, DateWithoutHijriDateEndsItsDateLineWithTwoBlanks) {
    const std::vector<std::string> lines =
        Lines(Schedule(Civil(2024, 3, 11), Makkah, ReportSettings(VOR_SPAN_DAY, 0, 1)));
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[7], " Configuration:\tFiqh = Jafari, Distance = 0 km, Precision = Minutes,");
    EXPECT_EQ(lines[8], "\t\tImsak angle = -19\xB0 00', Fajr angle = -18\xB0 00',");
    EXPECT_EQ(lines[9], "\t\tAdded minutes to Maghrib time = 0,");
    EXPECT_EQ(lines[13], "Prayer schedule for Monday,   11/March/2024,  ");
    EXPECT_EQ(lines[14], FiveColumns);
    EXPECT_EQ(lines[16].size(), 5u * 9u);
    for (const std::string &cell : Cells(lines[16])) {
        long s = 0;
        EXPECT_TRUE(CellSeconds(cell, &s)) << cell;
        EXPECT_EQ(cell.substr(5), "    ") << "minutes cell: '" << cell << "'";
    }
}

// ---------------------------------------------------------------------------
// One Gregorian month.

struct MonthCase {
    int year;
    int month;
    std::vector<int> days;  // the days that get a row, in order
    int firstWeekday;       // of the first of them, 0 Monday
    const char *dateLine;   // regular expression
};

std::vector<int> DayRange(int first, int last) {
    std::vector<int> days;
    for (int d = first; d <= last; ++d) days.push_back(d);
    return days;
}

class PrayerScheduleMonth : public ::testing::TestWithParam<MonthCase> {};

TEST_P(PrayerScheduleMonth, OnePageOneRowPerExistingDay) {
    const MonthCase &c = GetParam();
    const VorDate date = Civil(c.year, c.month, 17);
    const VorDate dateBefore = date;
    VorLocation loc = Makkah;
    const VorLocation locBefore = loc;

    std::vector<char> buffer(1 << 18);
    TextWriter writer(buffer.data(), buffer.size());
    WritePrayerSchedule(date, loc, ReportSettings(VOR_SPAN_MONTH), writer);
    EXPECT_EQ(std::memcmp(&date, &dateBefore, sizeof date), 0) << "the caller's date is kept";
    EXPECT_EQ(std::memcmp(&loc, &locBefore, sizeof loc), 0) << "the location is put back";

    const std::vector<Page> pages = Pages(Lines(std::string(buffer.data(), writer.Length())));
    ASSERT_EQ(pages.size(), 1u);
    const Page &page = pages[0];
    EXPECT_FALSE(page.trailer) << "one month has no trailer";

    std::vector<std::string> expected = MakkahHeaderTop();
    expected.push_back("");  // date line, checked below
    expected.push_back(std::string("Date IslDate Day ") + SevenColumns);
    expected.push_back(Separator);
    ASSERT_EQ(page.header.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (i != expected.size() - 3) {
            EXPECT_EQ(page.header[i], expected[i]) << i;
        }
    }
    EXPECT_TRUE(std::regex_match(DateLine(page), std::regex(c.dateLine))) << DateLine(page);

    ASSERT_EQ(page.rows.size(), c.days.size());
    for (std::size_t i = 0; i < page.rows.size(); ++i) {
        const Row &row = page.rows[i];
        EXPECT_EQ(row.day, c.days[i]);
        EXPECT_EQ(row.weekday, static_cast<int>((c.firstWeekday + i) % 7)) << "day " << row.day;
        EXPECT_EQ(row.cells.size(), 7u);
        EXPECT_EQ(page.rowLines[i].size(), 17u + 7u * 9u);
        ASSERT_GE(row.hijriDay, 1) << page.rowLines[i];
        if (i > 0) {
            const int before = page.rows[i - 1].hijriDay;
            EXPECT_TRUE(row.hijriDay == before + 1 || (row.hijriDay == 1 && before >= 29))
                << "Hijri day " << before << " then " << row.hijriDay;
        }
    }

    // The first row's Hijri day is the conversion of the first of the month.
    VorDate first = Civil(c.year, c.month, c.days[0]);
    VorLocation place = Makkah;
    ASSERT_EQ(GregorianToHijri(first, place, ReportSettings(VOR_SPAN_MONTH)), 1);
    EXPECT_EQ(page.rows[0].hijriDay, static_cast<int>(first.hijriDay));
}

std::vector<int> October1582Days() {
    std::vector<int> days = DayRange(1, 4);
    for (int d : DayRange(15, 31)) days.push_back(d);
    return days;
}

INSTANTIATE_TEST_SUITE_P(
    Months, PrayerScheduleMonth,
    ::testing::Values(
        // 1 February 2024 was a Thursday, in Rajab 1445.
        MonthCase{2024, 2, DayRange(1, 29), 3,
                  "^\t\tPrayer schedule for February/2024, Rajab-Sha'ban/1445$"},
        // 1900 is no leap year in the Gregorian calendar; 1 February was a Thursday.
        MonthCase{1900, 2, DayRange(1, 28), 3,
                  "^\t\tPrayer schedule for February/1900, [A-Za-z' -]+-[A-Za-z' -]+/13(17|18)$"},
        // Thursday 4 October 1582 (Julian) was followed by Friday 15 October.
        MonthCase{1582, 10, October1582Days(), 0,
                  "^\t\tPrayer schedule for October/1582, [A-Za-z' -]+-[A-Za-z' -]+/99[01]$"}));

// The one-day row and the month's row of the same day show the same times.
TEST(PrayerScheduleMonth, DayRowEqualsTheMonthRowOfThatDay) {
    const std::vector<Page> pages =
        Pages(Lines(Schedule(Civil(2024, 2, 1), Makkah, ReportSettings(VOR_SPAN_MONTH))));
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].rowLines.size(), 29u);
    const std::vector<std::string> day =
        Lines(Schedule(Civil(2024, 2, 15), Makkah, ReportSettings(VOR_SPAN_DAY)));
    EXPECT_EQ(day.back(), pages[0].rowLines[14].substr(ScheduleRowPrefixWidth));
}

// ---------------------------------------------------------------------------
// Row widths by school and precision.

struct WidthCase {
    int fiqh;
    int precision;
    std::size_t cells;
    const char *heads;
};

class PrayerScheduleWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(PrayerScheduleWidths, EveryRowIsPrefixPlusNineCharactersPerCell) {
    const WidthCase &c = GetParam();
    const std::vector<Page> pages = Pages(
        Lines(Schedule(Civil(2024, 6, 1), Makkah, ReportSettings(VOR_SPAN_MONTH, c.fiqh, c.precision))));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].header[pages[0].header.size() - 2], std::string("Date IslDate Day ") + c.heads);
    ASSERT_EQ(pages[0].rows.size(), 30u);
    const std::regex cell(c.precision == 0 ? R"(^\d\d:\d\d:\d\d[ <>]$)" : R"(^\d\d:\d\d[ <>]   $)");
    for (std::size_t i = 0; i < pages[0].rows.size(); ++i) {
        EXPECT_EQ(pages[0].rowLines[i].size(), 17u + 9u * c.cells) << pages[0].rowLines[i];
        ASSERT_EQ(pages[0].rows[i].cells.size(), c.cells);
        for (const std::string &text : pages[0].rows[i].cells) {
            EXPECT_TRUE(std::regex_match(text, cell)) << "'" << text << "'";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FiqhAndPrecision, PrayerScheduleWidths,
    ::testing::Values(WidthCase{0, 0, 5, FiveColumns}, WidthCase{0, 1, 5, FiveColumns},
                      WidthCase{1, 1, 7, SevenColumns}, WidthCase{2, 0, 7, SevenColumns},
                      WidthCase{4, 1, 7, SevenColumns}));

// Hanafi shows the Asr of shadow factor 2, the others factor 1: the same
// rows but for a later Asr.
TEST(PrayerScheduleWidths, HanafiAsrIsLaterAndNothingElseChanges) {
    const std::vector<Page> shafii =
        Pages(Lines(Schedule(Civil(2024, 6, 1), Makkah, ReportSettings(VOR_SPAN_MONTH, 1))));
    const std::vector<Page> hanafi =
        Pages(Lines(Schedule(Civil(2024, 6, 1), Makkah, ReportSettings(VOR_SPAN_MONTH, 2))));
    ASSERT_EQ(shafii.size(), 1u);
    ASSERT_EQ(hanafi.size(), 1u);
    ASSERT_EQ(shafii[0].rows.size(), hanafi[0].rows.size());
    for (std::size_t i = 0; i < shafii[0].rows.size(); ++i) {
        const Row &a = shafii[0].rows[i];
        const Row &b = hanafi[0].rows[i];
        ASSERT_EQ(a.cells.size(), 7u);
        ASSERT_EQ(b.cells.size(), 7u);
        for (std::size_t k = 0; k < 7; ++k) {
            if (k == 4) {
                long asr1 = 0, asr2 = 0;
                ASSERT_TRUE(CellSeconds(a.cells[k], &asr1));
                ASSERT_TRUE(CellSeconds(b.cells[k], &asr2));
                EXPECT_GT(asr2, asr1 + 1800) << "day " << a.day;
            } else {
                EXPECT_EQ(a.cells[k], b.cells[k]) << "day " << a.day << " cell " << k;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// A year of Gregorian months.

TEST(PrayerScheduleYear, TwelvePagesEachClosedByATrailer) {
    const std::string text = Schedule(Civil(2024, 7, 9), Makkah, ReportSettings(VOR_SPAN_YEAR));
    const std::vector<Page> pages = Pages(Lines(text));
    ASSERT_EQ(pages.size(), 12u);
    const int lengths[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::size_t rows = 0;
    for (int m = 1; m <= 12; ++m) {
        const Page &page = pages[m - 1];
        EXPECT_TRUE(page.trailer) << Months[m];
        EXPECT_EQ(DateLine(page).rfind(std::string("\t\tPrayer schedule for ") + Months[m] + "/2024, ", 0), 0u)
            << DateLine(page);
        ASSERT_EQ(page.rows.size(), static_cast<std::size_t>(lengths[m])) << Months[m];
        for (int d = 1; d <= lengths[m]; ++d) EXPECT_EQ(page.rows[d - 1].day, d);
        rows += page.rows.size();
    }
    EXPECT_EQ(rows, 366u);
    const std::string trailer = "\n\n\n" + Separator + "\n";
    EXPECT_EQ(text.substr(text.size() - trailer.size()), trailer);
}

// ---------------------------------------------------------------------------
// Hijri months.

// Civil date one day after date.
VorDate NextCivilDay(const VorDate &date) {
    VorDate next{};
    JulianDayToDate(DateToJulianDay(date) + 1.0, next);
    return next;
}

TEST(PrayerScheduleHijri, YearOfHijriMonthsAndSingleMonthsOf29And30Days) {
    VorDate request = HijriMonth(1445, 9);
    const std::vector<std::string> lines =
        Lines(Schedule(request, Makkah, ReportSettings(VOR_SPAN_YEAR | VOR_HIJRI_MONTHS)));
    const std::vector<Page> pages = Pages(lines);
    ASSERT_EQ(pages.size(), 12u);

    // The first row is the civil day of 1 Muharram 1445; the rows then follow
    // each other day by day through the whole year.
    VorDate cursor = HijriMonth(1445, 1);
    VorLocation place = Makkah;
    const VorConfig settings = ReportSettings(VOR_SPAN_YEAR | VOR_HIJRI_MONTHS);
    ASSERT_EQ(HijriToGregorian(cursor, place, settings), 1);
    cursor.day = static_cast<int>(cursor.day);

    std::size_t rows = 0;
    int month29 = 0, month30 = 0;
    for (int m = 1; m <= 12; ++m) {
        const Page &page = pages[m - 1];
        EXPECT_TRUE(page.trailer);
        const std::string expectedLine = std::string("\t\tPrayer schedule for ") +
                                         Months[cursor.month] + "-" +
                                         Months[cursor.month % 12 + 1] + "/" +
                                         std::to_string(cursor.year) + ", " + HijriMonths[m] +
                                         "/1445";
        EXPECT_EQ(DateLine(page), expectedLine);
        ASSERT_TRUE(page.rows.size() == 29u || page.rows.size() == 30u) << page.rows.size();
        VorDate last{};
        for (std::size_t i = 0; i < page.rows.size(); ++i) {
            EXPECT_EQ(page.rows[i].day, static_cast<int>(cursor.day)) << HijriMonths[m];
            EXPECT_EQ(page.rows[i].hijriDay, static_cast<int>(i) + 1) << HijriMonths[m];
            last = cursor;
            cursor = NextCivilDay(cursor);
        }
        // The conversion agrees with where the page ends.
        VorDate probe = page.rows.size() == 29u ? cursor : last;
        ASSERT_EQ(GregorianToHijri(probe, place, settings), 1);
        if (page.rows.size() == 29u) {
            EXPECT_EQ(probe.hijriDay, 1.0) << HijriMonths[m];
            EXPECT_EQ(probe.hijriMonth, m % 12 + 1);
            if (month29 == 0) month29 = m;
        } else {
            EXPECT_EQ(probe.hijriDay, 30.0) << HijriMonths[m];
            if (month30 == 0) month30 = m;
        }
        rows += page.rows.size();
    }
    EXPECT_TRUE(rows == 354u || rows == 355u) << rows;
    ASSERT_NE(month29, 0) << "a 29-day month in 1445";
    ASSERT_NE(month30, 0) << "a 30-day month in 1445";

    // One-month mode gives the same page, without a trailer.
    for (int m : {month29, month30}) {
        const std::vector<Page> single =
            Pages(Lines(Schedule(HijriMonth(1445, m), Makkah, ReportSettings(VOR_SPAN_MONTH | VOR_HIJRI_MONTHS))));
        ASSERT_EQ(single.size(), 1u);
        EXPECT_FALSE(single[0].trailer);
        EXPECT_EQ(single[0].header, pages[m - 1].header);
        EXPECT_EQ(single[0].rowLines, pages[m - 1].rowLines);
        EXPECT_EQ(single[0].rows.size(), m == month29 ? 29u : 30u);
    }
}

// A Hijri month across the 1582 reform: its rows are real days (4 October
// is followed by 15 October) and the Hijri days still run 1, 2, 3 ...
TEST(PrayerScheduleHijri, MonthAcrossTheCalendarReformCountsOnlyRealDays) {
    VorDate reform = Civil(1582, 10, 4);
    VorLocation place = Makkah;
    const VorConfig settings = ReportSettings(VOR_SPAN_MONTH | VOR_HIJRI_MONTHS);
    ASSERT_EQ(GregorianToHijri(reform, place, settings), 1);
    const std::vector<Page> pages =
        Pages(Lines(Schedule(HijriMonth(reform.hijriYear, reform.hijriMonth), Makkah, settings)));
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<Row> &rows = pages[0].rows;
    ASSERT_TRUE(rows.size() == 29u || rows.size() == 30u) << rows.size();
    bool crossed = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].hijriDay, static_cast<int>(i) + 1);
        if (i == 0) continue;
        EXPECT_EQ(rows[i].weekday, (rows[i - 1].weekday + 1) % 7);
        if (rows[i - 1].day == 4 && rows[i].day == 15) {
            crossed = true;
        } else {
            EXPECT_TRUE(rows[i].day == rows[i - 1].day + 1 || rows[i].day == 1)
                << rows[i - 1].day << " then " << rows[i].day;
        }
    }
    EXPECT_TRUE(crossed);
}

// ---------------------------------------------------------------------------
// Summer time.

// Every valid cell of `summer` is the cell of `standard` one hour later;
// marker cells are the same.  Returns the number of marker cells.
int ExpectOneHourLater(const Row &standard, const Row &summer) {
    int markers = 0;
    EXPECT_EQ(standard.cells.size(), summer.cells.size());
    for (std::size_t k = 0; k < standard.cells.size() && k < summer.cells.size(); ++k) {
        long a = 0, b = 0;
        if (IsMarkerCell(standard.cells[k])) {
            EXPECT_EQ(summer.cells[k], standard.cells[k]);
            ++markers;
            continue;
        }
        const bool parsed = CellSeconds(standard.cells[k], &a) && CellSeconds(summer.cells[k], &b);
        EXPECT_TRUE(parsed) << standard.cells[k] << " / " << summer.cells[k];
        if (parsed) {
            EXPECT_EQ(b, a + 3600) << "day " << standard.day << " cell " << k;
        }
    }
    return markers;
}

TEST(PrayerScheduleSummerTime, ValidCellsOneHourLaterFromTheStartDayOn) {
    // 2024: summer time from Sunday 31 March.
    const std::vector<Page> standard =
        Pages(Lines(Schedule(Civil(2024, 3, 1), Oslo(false), ReportSettings(VOR_SPAN_MONTH))));
    const std::vector<Page> summer =
        Pages(Lines(Schedule(Civil(2024, 3, 1), Oslo(true), ReportSettings(VOR_SPAN_MONTH))));
    ASSERT_EQ(standard.size(), 1u);
    ASSERT_EQ(summer.size(), 1u);
    EXPECT_EQ(summer[0].header[3], "\t\tSummer Time starts at: Last Sunday, March");
    EXPECT_EQ(summer[0].header[4], "\t\tSummer Time ends at: Last Sunday, October");
    ASSERT_EQ(standard[0].rows.size(), 31u);
    ASSERT_EQ(summer[0].rows.size(), 31u);
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(summer[0].rowLines[i], standard[0].rowLines[i]) << "standard time on day " << i + 1;
    }
    EXPECT_EQ(summer[0].rowLines[30].substr(0, 17), standard[0].rowLines[30].substr(0, 17));
    ExpectOneHourLater(standard[0].rows[30], summer[0].rows[30]);
}

TEST(PrayerScheduleSummerTime, MarkerCellsAreUnchanged) {
    // Oslo in June: the Sun never sinks to -17 degrees, so Imsak, Fajr and
    // Isha'a are markers all month.
    const std::vector<Page> standard =
        Pages(Lines(Schedule(Civil(2024, 6, 1), Oslo(false), ReportSettings(VOR_SPAN_MONTH))));
    const std::vector<Page> summer =
        Pages(Lines(Schedule(Civil(2024, 6, 1), Oslo(true), ReportSettings(VOR_SPAN_MONTH))));
    ASSERT_EQ(standard.size(), 1u);
    ASSERT_EQ(summer.size(), 1u);
    ASSERT_EQ(standard[0].rows.size(), 30u);
    ASSERT_EQ(summer[0].rows.size(), 30u);
    int markers = 0;
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(summer[0].rowLines[i].size(), 17u + 7u * 9u);
        markers += ExpectOneHourLater(standard[0].rows[i], summer[0].rows[i]);
    }
    EXPECT_GE(markers, 30);
}

}  // namespace
