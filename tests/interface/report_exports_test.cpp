// The two report exports and their capacity-aware entry points: the radian
// frame around them, the same text through both, the prefix rule for small
// buffers, and the lengths of the longest reports (printed for the record).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "interface/reports.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using vorlin::WriteMoonReport;
using vorlin::WriteScheduleReport;
using namespace vorlin::testing_support;

// Makkah as a host holds it: degrees.
const VorLocation Makkah = MakkahInDegrees();

using ReportFunction = std::size_t (*)(VorDate *, VorLocation *, VorConfig *, char *,
                                       std::size_t);
using ExportFunction = void (*)(VorDate *, VorLocation *, VorConfig *, char *);

// Within two units in the last place.
bool NearlySame(double a, double b) {
    return a == b || std::nextafter(a, b) == b || std::nextafter(std::nextafter(a, b), b) == b;
}

std::string Full(ReportFunction write, VorDate date, VorLocation loc, VorConfig cfg) {
    const std::size_t length = write(&date, &loc, &cfg, nullptr, 0);
    std::vector<char> buffer(length + 1, 'x');
    EXPECT_EQ(write(&date, &loc, &cfg, buffer.data(), buffer.size()), length);
    EXPECT_EQ(buffer[length], '\0');
    return std::string(buffer.data(), length);
}

struct ReportCase {
    const char *name;
    ReportFunction write;
    ExportFunction legacy;
    unsigned flags;
};

class ReportExports : public ::testing::TestWithParam<ReportCase> {};

// The location comes back as it went in (up to the last bits of the two
// multiplications), after the export and after the capacity function.
TEST_P(ReportExports, LocationRestoredAfterTheCall) {
    const ReportCase &c = GetParam();
    for (const double lat : {21.4225, -33.9, 64.1, 0.0}) {
        VorDate date = Civil(2024, 3, 11);
        VorLocation loc = Makkah;
        loc.latitude = lat;
        loc.longitude = lat < 0 ? 18.4 : 39.8262;
        VorConfig cfg = ReportSettings(c.flags);
        const VorLocation before = loc;
        std::vector<char> text(1 << 17);
        c.legacy(&date, &loc, &cfg, text.data());
        EXPECT_TRUE(NearlySame(loc.latitude, before.latitude)) << loc.latitude;
        EXPECT_TRUE(NearlySame(loc.longitude, before.longitude)) << loc.longitude;
        EXPECT_EQ(std::memcmp(loc.name, before.name, sizeof loc.name), 0);
        EXPECT_EQ(loc.height, before.height);

        loc = before;
        c.write(&date, &loc, &cfg, nullptr, 0);
        EXPECT_TRUE(NearlySame(loc.latitude, before.latitude)) << loc.latitude;
        EXPECT_TRUE(NearlySame(loc.longitude, before.longitude)) << loc.longitude;
    }
}

// The export writes the same text as the capacity function, NUL-terminated,
// from the buffer's first byte, and nothing after its NUL.
TEST_P(ReportExports, LegacyExportWritesTheWholeReport) {
    const ReportCase &c = GetParam();
    const std::string full = Full(c.write, Civil(2024, 12, 5), Makkah, ReportSettings(c.flags));
    ASSERT_GT(full.size(), 1000u);
    EXPECT_EQ(full.rfind("\n\t\tVorlin Times", 0), 0u);

    VorDate date = Civil(2024, 12, 5);
    VorLocation loc = Makkah;
    VorConfig cfg = ReportSettings(c.flags);
    std::vector<char> buffer(full.size() + 64, 'x');
    std::strcpy(buffer.data(), "old text that must be overwritten");
    c.legacy(&date, &loc, &cfg, buffer.data());
    EXPECT_EQ(std::string(buffer.data()), full);
    for (std::size_t i = full.size() + 1; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 'x') << i;
}

// A buffer of any capacity gets the prefix of the whole text and a NUL,
// and nothing is written past the capacity.  October 2024 has a moon-data
// block that is written and then taken back (its candidate second new moon
// falls in November), December 2024 keeps its second block.
TEST_P(ReportExports, CapacityGivesThePrefixAlwaysTerminated) {
    const ReportCase &c = GetParam();
    for (const int month : {10, 12}) {
        const std::string full =
            Full(c.write, Civil(2024, month, 5), Makkah, ReportSettings(c.flags));
        const std::size_t n = full.size();
        for (const std::size_t capacity : {std::size_t{0}, std::size_t{1}, std::size_t{2},
                                           n / 2, n - 1, n, n + 1, n + 1000}) {
            VorDate date = Civil(2024, month, 5);
            VorLocation loc = Makkah;
            VorConfig cfg = ReportSettings(c.flags);
            std::vector<char> buffer(capacity + 16, 'x');
            const std::size_t length = c.write(&date, &loc, &cfg, buffer.data(), capacity);
            EXPECT_EQ(length, n) << "capacity " << capacity;
            if (capacity == 0) {
                EXPECT_EQ(buffer[0], 'x') << "nothing written into a buffer of capacity 0";
            } else {
                const std::size_t kept = std::min(capacity - 1, n);
                EXPECT_EQ(buffer[kept], '\0') << "capacity " << capacity;
                EXPECT_EQ(std::string(buffer.data(), kept), full.substr(0, kept));
            }
            for (std::size_t i = capacity; i < buffer.size(); ++i) {
                ASSERT_EQ(buffer[i], 'x') << "byte " << i << " past capacity " << capacity;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportExports,
    ::testing::Values(ReportCase{"schedule", WriteScheduleReport, VorCalculate, VOR_SPAN_MONTH},
                      ReportCase{"moon", WriteMoonReport, VorMoonInfo, VOR_SPAN_MONTH}),
    [](const ::testing::TestParamInfo<ReportCase> &info) { return std::string(info.param.name); });

// The longest reports: their lengths size the host's buffers (README).
struct LengthCase {
    const char *name;
    ReportFunction write;
    unsigned flags;
    int fiqh;
    int precision;
    std::size_t atLeast;
    std::size_t below;
};

class LongestReports : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LongestReports, LengthOfAYear) {
    const LengthCase &c = GetParam();
    VorDate date = Civil(2024, 7, 9);
    date.hijriYear = 1446;
    date.hijriMonth = 1;
    date.hijriDay = 1.0;
    const std::string text =
        Full(c.write, date, Makkah, ReportSettings(c.flags, c.fiqh, c.precision));
    EXPECT_EQ(std::strlen(text.c_str()), text.size());
    const std::string trailer = "\n\n\n" + std::string(80, '=') + "\n";
    ASSERT_GT(text.size(), trailer.size());
    EXPECT_EQ(text.substr(text.size() - trailer.size()), trailer);
    EXPECT_GE(text.size(), c.atLeast);
    EXPECT_LT(text.size(), c.below);
    std::printf("[ length   ] %s: %zu bytes (+1 for the NUL)\n", c.name, text.size());
    ::testing::Test::RecordProperty("length", static_cast<int>(text.size()));
}

// Lower bounds: 354 to 366 rows of 17 + 9 x cells + 1 bytes, or of the moon
// rows (31 bytes of prefix and cells); the upper bounds allow for the
// twelve headers and moon-data blocks.
INSTANTIATE_TEST_SUITE_P(
    Years, LongestReports,
    ::testing::Values(
        LengthCase{"schedule_year_gregorian_seconds_fiqh1", WriteScheduleReport, VOR_SPAN_YEAR, 1,
                   0, 366 * 81, 366 * 81 + 12 * 1200},
        LengthCase{"schedule_year_gregorian_seconds_fiqh0", WriteScheduleReport, VOR_SPAN_YEAR, 0,
                   0, 366 * 63, 366 * 63 + 12 * 1200},
        LengthCase{"schedule_year_hijri_seconds_fiqh1", WriteScheduleReport,
                   VOR_SPAN_YEAR | VOR_HIJRI_MONTHS, 1, 0, 354 * 81, 355 * 81 + 12 * 1200},
        LengthCase{"moon_year", WriteMoonReport, VOR_SPAN_YEAR, 1, 0, 366 * 52,
                   366 * 52 + 12 * (700 + 2 * 1100)}),
    [](const ::testing::TestParamInfo<LengthCase> &info) { return std::string(info.param.name); });

}  // namespace
