// Clocks of the tz database: offsets at instants around published changes,
// the standard offset under summer time, skipped dates.
#include <gtest/gtest.h>

#include "zones.h"

namespace vorlin::frontend {
namespace {

// Unix seconds of a UTC date and time (days from civil, Howard Hinnant's
// algorithm, written out so the test does not lean on the library under test).
long long Utc(int y, int m, int d, int hh, int mm) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return (era * 146097 + doe - 719468) * 86400 + hh * 3600 + mm * 60;
}

struct OffsetCase {
    const char *name;
    const char *zone;
    long long instant;
    int offsetMinutes, standardMinutes;
};
class ZoneOffset : public ::testing::TestWithParam<OffsetCase> {};
TEST_P(ZoneOffset, AsPublished) {
    const OffsetCase &c = GetParam();
    const ClockReading r = Clock::Zone(c.zone).At(c.instant);
    EXPECT_EQ(r.offsetSeconds, c.offsetMinutes * 60);
    EXPECT_EQ(r.offsetSeconds - r.savingSeconds, c.standardMinutes * 60);
}
INSTANTIATE_TEST_SUITE_P(
    Changes, ZoneOffset,
    ::testing::Values(
        OffsetCase{"London_before_March_change", "Europe/London", Utc(2024, 3, 31, 0, 59), 0, 0},
        OffsetCase{"London_after_March_change", "Europe/London", Utc(2024, 3, 31, 1, 0), 60, 0},
        OffsetCase{"London_before_October_change", "Europe/London", Utc(2024, 10, 27, 0, 59), 60, 0},
        OffsetCase{"London_after_October_change", "Europe/London", Utc(2024, 10, 27, 1, 0), 0, 0},
        OffsetCase{"Cairo_summer_2024", "Africa/Cairo", Utc(2024, 10, 27, 12, 0), 180, 120},
        OffsetCase{"Cairo_after_last_Thursday", "Africa/Cairo", Utc(2024, 11, 1, 12, 0), 120, 120},
        OffsetCase{"Tehran_July_2023_no_summer_time", "Asia/Tehran", Utc(2023, 7, 1, 12, 0), 210, 210},
        OffsetCase{"Tehran_July_2021_summer_time", "Asia/Tehran", Utc(2021, 7, 1, 12, 0), 270, 210},
        OffsetCase{"Casablanca_Ramadan_2024", "Africa/Casablanca", Utc(2024, 3, 20, 12, 0), 0, 60},
        OffsetCase{"Casablanca_after_Ramadan", "Africa/Casablanca", Utc(2024, 4, 20, 12, 0), 60, 60},
        OffsetCase{"Santiago_2024_09_03", "America/Santiago", Utc(2024, 9, 3, 12, 0), -240, -240},
        OffsetCase{"Santiago_2024_09_10", "America/Santiago", Utc(2024, 9, 10, 12, 0), -180, -240},
        OffsetCase{"Lord_Howe_half_hour_summer", "Australia/Lord_Howe", Utc(2024, 1, 10, 0, 0), 660, 630},
        OffsetCase{"Lord_Howe_winter", "Australia/Lord_Howe", Utc(2024, 7, 10, 0, 0), 630, 630},
        OffsetCase{"St_Johns_summer", "America/St_Johns", Utc(2024, 7, 1, 12, 0), -150, -210},
        OffsetCase{"Kathmandu", "Asia/Kathmandu", Utc(2024, 5, 1, 12, 0), 345, 345},
        OffsetCase{"Apia_before_the_skip", "Pacific/Apia", Utc(2011, 12, 30, 9, 59), -600, -660},
        OffsetCase{"Apia_after_the_skip", "Pacific/Apia", Utc(2011, 12, 30, 10, 0), 840, 780}),
    [](const ::testing::TestParamInfo<OffsetCase> &info) { return std::string(info.param.name); });

TEST(Clock, ApiaSkipsItsThirtiethOfDecember2011) {
    const Clock apia = Clock::Zone("Pacific/Apia");
    EXPECT_TRUE(apia.HasDate({2011, 12, 29}));
    EXPECT_FALSE(apia.HasDate({2011, 12, 30}));
    EXPECT_TRUE(apia.HasDate({2011, 12, 31}));
    const CivilDate after = apia.DateAt(Utc(2011, 12, 30, 10, 0));
    EXPECT_EQ(after.day, 31);
}

TEST(Clock, TheDayOfAnInstantIsTheZonesDay) {
    // 23:30 UTC on 10 March is already the 11th in Riyadh, still the 10th in New York.
    EXPECT_EQ(Clock::Zone("Asia/Riyadh").DateAt(Utc(2024, 3, 10, 23, 30)).day, 11);
    EXPECT_EQ(Clock::Zone("America/New_York").DateAt(Utc(2024, 3, 10, 23, 30)).day, 10);
    EXPECT_EQ(Clock::FixedOffset(-5).DateAt(Utc(2024, 3, 10, 4, 0)).day, 9);
}

TEST(Clock, LocalNoonOfAChangeDay) {
    // London 2024-03-31: noon is in summer time; New York's change is at 2 am.
    EXPECT_EQ(Clock::Zone("Europe/London").AtLocalNoon({2024, 3, 31}).offsetSeconds, 3600);
    EXPECT_EQ(Clock::Zone("America/New_York").AtLocalNoon({2024, 3, 10}).offsetSeconds, -4 * 3600);
}

TEST(Clock, NamesAndFixedOffsets) {
    EXPECT_EQ(Clock::Zone("Europe/London").Name(), "Europe/London");
    EXPECT_EQ(Clock::FixedOffset(5.75).Name(), "UTC+05:45");
    EXPECT_EQ(Clock::FixedOffset(-3.5).At(0).offsetSeconds, -12600);
    EXPECT_THROW(Clock::Zone("Mars/Olympus_Mons"), std::runtime_error);
    EXPECT_EQ(OffsetText(-9 * 3600 - 1800), "-09:30");
    EXPECT_FALSE(TimeZoneDatabaseVersion().empty());
}

}  // namespace
}  // namespace vorlin::frontend
