// The structured exports: versioned settings and results, named methods,
// one day and ranges, bad input; and the same calls through dlopen on
// records a host lays out by byte offset.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "methods/day_times.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

VorTimesSettings Defaults() {
    VorTimesSettings s{};
    s.size = sizeof s;
    EXPECT_EQ(VorDefaultTimesSettings(&s), static_cast<int32_t>(sizeof s));
    return s;
}

VorTimesSettings MethodSettings(const char *name) {
    VorTimesSettings s{};
    s.size = sizeof s;
    EXPECT_EQ(VorMethodSettings(name, &s), 1) << name;
    return s;
}

VorDayTimes Day(VorDate date, VorLocation loc, VorTimesSettings s, int32_t *result = nullptr) {
    VorDayTimes t{};
    t.size = sizeof t;
    const int32_t r = VorTimesOfDay(&date, &loc, &s, &t);
    if (result != nullptr) *result = r;
    return t;
}

bool SameBits(const VorDayTimes &a, const VorDayTimes &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TimesSettingsExport, DefaultsAreTheFirstMethodAndTheDocumentedValues) {
    const VorTimesSettings d = Defaults();
    EXPECT_EQ(d.fajrAngle, 18.0);
    EXPECT_EQ(d.ishaAngle, 17.0);
    EXPECT_EQ(d.asrFactor, 1);
    EXPECT_EQ(d.highLatitude, VOR_HIGHLAT_DEFAULT);
    EXPECT_EQ(d.toleranceSeconds, 1);
    EXPECT_EQ(d.temperature, 10);
    EXPECT_EQ(d.crescentThreshold, 20.0f);
    char name[16];
    EXPECT_EQ(VorMethodName(0, name, sizeof name), 3);
    EXPECT_STREQ(name, "MWL");
}

// The calendar inside the settings: a record of zeros (or one the host's
// size does not reach) is the library's; an unknown mode is unusable.
TEST(TimesSettingsExport, TheCalendarInsideTheSettingsDecidesRamadan) {
    VorLocation makkah = MakkahInDegrees();
    VorDate date{};
    date.year = 2025;
    date.month = 3;
    date.day = 1.0;
    VorTimesSettings s{};
    s.size = sizeof s;
    ASSERT_EQ(VorMethodSettings("UmmAlQura", &s), 1);
    EXPECT_EQ(s.calendar.size, 0);  // the method leaves the calendar the library's
    VorDayTimes t{};
    t.size = sizeof t;
    ASSERT_EQ(VorTimesOfDay(&date, &makkah, &s, &t), 1);
    EXPECT_EQ(t.ramadan, 0);
    s.calendar.size = sizeof s.calendar;
    s.calendar.mode = VOR_CALENDAR_UMM_AL_QURA;
    ASSERT_EQ(VorTimesOfDay(&date, &makkah, &s, &t), 1);
    EXPECT_EQ(t.ramadan, 1);
    // A host whose record ends before the calendar keeps the library's.
    VorTimesSettings older = s;
    older.size = static_cast<int32_t>(offsetof(VorTimesSettings, calendar));
    ASSERT_EQ(VorTimesOfDay(&date, &makkah, &older, &t), 1);
    EXPECT_EQ(t.ramadan, 0);
    // Unusable calendars: an unknown mode, a size below 8 that is not 0.
    s.calendar.mode = 9;
    EXPECT_EQ(VorTimesOfDay(&date, &makkah, &s, &t), 0);
    s.calendar.mode = VOR_CALENDAR_UMM_AL_QURA;
    s.calendar.size = 4;
    EXPECT_EQ(VorTimesOfDay(&date, &makkah, &s, &t), 0);
}

TEST(TimesSettingsExport, AnOlderShorterRecordIsWrittenOnlyUpToItsSize) {
    // A host whose record ended after fajrAngle (16 bytes), then guard bytes.
    unsigned char bytes[sizeof(VorTimesSettings)];
    std::memset(bytes, 0xA5, sizeof bytes);
    const int32_t size = 16;
    std::memcpy(bytes, &size, 4);
    EXPECT_EQ(VorDefaultTimesSettings(reinterpret_cast<VorTimesSettings *>(bytes)),
              static_cast<int32_t>(sizeof(VorTimesSettings)));
    double fajr = 0.0;
    std::memcpy(&fajr, bytes + 8, 8);
    EXPECT_EQ(fajr, 18.0);
    for (std::size_t i = 16; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], 0xA5) << i;
    // Too small for any field, or no record: nothing written.
    VorTimesSettings tiny{};
    tiny.size = 4;
    EXPECT_EQ(VorDefaultTimesSettings(&tiny), 0);
    EXPECT_EQ(VorDefaultTimesSettings(nullptr), 0);
}

TEST(MethodExports, NamesAndSettings) {
    const int32_t count = VorMethodCount();
    EXPECT_GE(count, 21);
    for (int32_t i = 0; i < count; ++i) {
        char name[64];
        const int32_t n = VorMethodName(i, name, sizeof name);
        ASSERT_GT(n, 0);
        EXPECT_EQ(static_cast<int32_t>(std::strlen(name)), n);
        VorTimesSettings s{};
        s.size = sizeof s;
        EXPECT_EQ(VorMethodSettings(name, &s), 1) << name;
    }
    EXPECT_EQ(VorMethodName(count, nullptr, 0), 0);
    EXPECT_EQ(VorMethodName(-1, nullptr, 0), 0);
    // snprintf-like: the length, a truncated NUL-terminated prefix.
    char small[4];
    EXPECT_EQ(VorMethodName(0, small, sizeof small), 3);
    EXPECT_EQ(VorMethodName(0, small, 3), 3);
    EXPECT_STREQ(small, "MW");

    const VorTimesSettings u = MethodSettings("ummalqura");
    EXPECT_EQ(u.fajrAngle, 18.5);
    EXPECT_EQ(u.ishaMinutes, 90.0);
    EXPECT_EQ(u.ishaMinutesRamadan, 120.0);
    const VorTimesSettings t = MethodSettings("TEHRAN");
    EXPECT_EQ(t.maghribAngle, 4.5);
    EXPECT_EQ(t.midnight, 1);
    const VorTimesSettings turkey = MethodSettings("Diyanet");
    EXPECT_EQ(turkey.adjust[2], -7.0);
    EXPECT_EQ(turkey.adjust[5], 7.0);
    VorTimesSettings untouched = Defaults();
    const VorTimesSettings before = untouched;
    EXPECT_EQ(VorMethodSettings("NoSuchMethod", &untouched), 0);
    EXPECT_EQ(std::memcmp(&before, &untouched, sizeof before), 0);
}

TEST(TimesOfDayExport, SameAsTheLibrarysDayTimesAndTheHostsRecordsUntouched) {
    VorLocation makkah = MakkahInDegrees();
    const VorLocation keep = makkah;
    VorDate date = Civil(2024, 3, 11);
    const VorDate keepDate = date;
    VorTimesSettings s = MethodSettings("UmmAlQura");
    int32_t result = 0;
    const VorDayTimes t = Day(date, makkah, s, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::memcmp(&makkah, &keep, sizeof keep), 0);
    EXPECT_EQ(std::memcmp(&date, &keepDate, sizeof date), 0);
    EXPECT_EQ(t.size, static_cast<int32_t>(sizeof t));

    DayTimes expected{};
    TimesSettings cs = SettingsOfMethod(*FindNamedMethod("UmmAlQura"));
    ComputeDayTimes(Civil(2024, 3, 11), MakkahInRadians(), cs, expected, nullptr);
    for (int e = 0; e < VOR_EVENT_COUNT; ++e) {
        EXPECT_EQ(t.event[e].localHours, expected.event[e].localHours) << e;
        EXPECT_EQ(t.event[e].status, expected.event[e].status) << e;
        EXPECT_NEAR(t.event[e].unixSeconds, (t.event[e].utcJd - 2440587.5) * 86400.0, 1e-3);
    }
    // 2024-03-11 is 29 Sha'ban or 1 Ramadan at Makkah: Isha'a 90 or 120
    // minutes after Maghrib as the day's flag says.
    const double isha = (t.event[VOR_EVENT_ISHA].localHours - t.event[VOR_EVENT_MAGHRIB].localHours) * 60.0;
    EXPECT_NEAR(isha, t.ramadan == 1 ? 120.0 : 90.0, 1e-6);
    // Fajr at 05:16-05:17 local time (18.5 degrees), as the report says.
    EXPECT_NEAR(t.event[VOR_EVENT_FAJR].localHours, 5.0 + 16.7 / 60.0, 0.02);
}

TEST(TimesOfDayExport, AShortResultRecordGetsOnlyItsPrefix) {
    unsigned char bytes[sizeof(VorDayTimes)];
    std::memset(bytes, 0x5A, sizeof bytes);
    const int32_t size = 8 + 32;  // size, ramadan and the first event only
    std::memcpy(bytes, &size, 4);
    VorDate date = Civil(2024, 3, 11);
    VorLocation loc = MakkahInDegrees();
    VorTimesSettings s = Defaults();
    EXPECT_EQ(VorTimesOfDay(&date, &loc, &s, reinterpret_cast<VorDayTimes *>(bytes)), 1);
    int32_t sizeAfter = 0;
    std::memcpy(&sizeAfter, bytes, 4);
    EXPECT_EQ(sizeAfter, size);
    double imsak = 0.0;
    std::memcpy(&imsak, bytes + 8, 8);
    EXPECT_GT(imsak, 4.5);
    EXPECT_LT(imsak, 5.5);
    for (std::size_t i = size; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], 0x5A) << i;
}

struct BadCase {
    const char *name;
    void (*spoil)(VorDate &, VorLocation &, VorTimesSettings &);
};

class TimesOfDayBadInput : public ::testing::TestWithParam<BadCase> {};

TEST_P(TimesOfDayBadInput, ReturnsZeroAndEveryEventNotValid) {
    VorDate date = Civil(2024, 3, 11);
    VorLocation loc = MakkahInDegrees();
    VorTimesSettings s = Defaults();
    GetParam().spoil(date, loc, s);
    int32_t result = 1;
    const VorDayTimes t = Day(date, loc, s, &result);
    EXPECT_EQ(result, 0);
    for (const VorEventTime &e : t.event) {
        EXPECT_EQ(e.status, VOR_STATUS_NOT_VALID);
        EXPECT_TRUE(std::isnan(e.localHours));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TimesOfDayBadInput,
    ::testing::Values(
        BadCase{"latitude_nan", [](VorDate &, VorLocation &l, VorTimesSettings &) { l.latitude = NAN; }},
        BadCase{"latitude_91", [](VorDate &, VorLocation &l, VorTimesSettings &) { l.latitude = 91; }},
        BadCase{"height_beyond_range", [](VorDate &, VorLocation &l, VorTimesSettings &) { l.height = 200000; }},
        BadCase{"date_february_30", [](VorDate &d, VorLocation &, VorTimesSettings &) { d.month = 2; d.day = 30; }},
        BadCase{"date_month_13", [](VorDate &d, VorLocation &, VorTimesSettings &) { d.month = 13; }},
        BadCase{"year_0", [](VorDate &d, VorLocation &, VorTimesSettings &) { d.year = 0; }},
        BadCase{"year_10000", [](VorDate &d, VorLocation &, VorTimesSettings &) { d.year = 10000; }},
        BadCase{"fajr_angle_nan", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.fajrAngle = NAN; }},
        BadCase{"fajr_angle_95", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.fajrAngle = 95; }},
        BadCase{"isha_minutes_negative", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.ishaMinutes = -5; }},
        BadCase{"asr_factor_3", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.asrFactor = 3; }},
        BadCase{"high_latitude_13", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.highLatitude = 13; }},
        BadCase{"rounding_4", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.rounding = 4; }},
        BadCase{"adjust_infinite", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.adjust[3] = INFINITY; }},
        BadCase{"settings_size_4", [](VorDate &, VorLocation &, VorTimesSettings &s) { s.size = 4; }}),
    [](const ::testing::TestParamInfo<BadCase> &info) { return std::string(info.param.name); });

TEST(TimesOfDayExport, ToleranceBelowOneSecondCountsAsOne) {
    VorTimesSettings s = Defaults();
    const VorDayTimes one = Day(Civil(2024, 3, 11), MakkahInDegrees(), s);
    s.toleranceSeconds = 0;
    const VorDayTimes zero = Day(Civil(2024, 3, 11), MakkahInDegrees(), s);
    EXPECT_TRUE(SameBits(one, zero));
}

TEST(TimesOfRangeExport, EqualsDayByDayAcrossAYearEnd) {
    VorLocation london = PlaceInDegrees(51.5074, -0.1278, 11, 0.0f, "London");
    VorTimesSettings s = MethodSettings("MoonsightingCommittee");
    std::vector<VorDayTimes> days(40);
    days[0].size = sizeof(VorDayTimes);
    VorDate first = Civil(2024, 12, 10);
    EXPECT_EQ(VorTimesOfRange(&first, 40, &london, &s, days.data()), 40);
    for (int i = 0; i < 40; ++i) {
        VorDate d{};
        JulianDayToDate(DateToJulianDay(Civil(2024, 12, 10)) + i, d);
        EXPECT_TRUE(SameBits(days[static_cast<std::size_t>(i)], Day(d, london, s))) << i;
    }
    EXPECT_EQ(VorTimesOfRange(&first, 0, &london, &s, days.data()), 0);
    EXPECT_EQ(VorTimesOfRange(&first, 3661, &london, &s, days.data()), 0);
    // A range that runs past the last year stops there.
    VorDate late = Civil(9999, 12, 30);
    EXPECT_EQ(VorTimesOfRange(&late, 5, &london, &s, days.data()), 2);
}

TEST(TimesOfRangeExport, UsesTheHostsStride) {
    // A host with a longer record (a newer header): elements 400 bytes apart.
    constexpr int stride = 400;
    std::vector<unsigned char> bytes(3 * stride, 0xEE);
    const int32_t size = stride;
    std::memcpy(bytes.data(), &size, 4);
    VorDate first = Civil(2024, 3, 11);
    VorLocation loc = MakkahInDegrees();
    VorTimesSettings s = Defaults();
    ASSERT_EQ(VorTimesOfRange(&first, 3, &loc, &s, reinterpret_cast<VorDayTimes *>(bytes.data())), 3);
    for (int i = 0; i < 3; ++i) {
        VorDate d = Civil(2024, 3, 11 + i);
        const VorDayTimes expected = Day(d, loc, s);
        VorDayTimes got{};
        std::memcpy(&got, bytes.data() + i * stride, sizeof got);
        got.size = sizeof got;
        EXPECT_TRUE(SameBits(got, expected)) << i;
        // The bytes past the library's record are the host's own.
        for (int b = static_cast<int>(sizeof(VorDayTimes)); b < stride; ++b) {
            ASSERT_EQ(bytes[static_cast<std::size_t>(i * stride + b)], 0xEE);
        }
    }
}

// ---------------------------------------------------------------------------
// Through dlopen, on records laid out by byte offset.

TEST(TimesExportsShared, CallableByPlainNameOnRawRecords) {
    void *handle = dlopen(VORLIN_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    using DefaultsFn = int32_t (*)(void *);
    using DayFn = int32_t (*)(void *, void *, void *, void *);
    auto defaults = reinterpret_cast<DefaultsFn>(dlsym(handle, "VorDefaultTimesSettings"));
    auto day = reinterpret_cast<DayFn>(dlsym(handle, "VorTimesOfDay"));
    ASSERT_NE(defaults, nullptr);
    ASSERT_NE(day, nullptr);
    alignas(8) unsigned char settings[184] = {};
    const int32_t settingsSize = 184;
    std::memcpy(settings, &settingsSize, 4);
    EXPECT_EQ(defaults(settings), static_cast<int32_t>(sizeof(VorTimesSettings)));  // the library's, longer
    alignas(8) unsigned char date[40] = {};
    const int32_t year = 2024;
    const double dayOfMonth = 11.0;
    std::memcpy(date, &year, 4);
    date[8] = 3;
    std::memcpy(date + 16, &dayOfMonth, 8);
    const VorLocation m = MakkahInDegrees();
    alignas(8) unsigned char place[80];
    std::memcpy(place, &m, sizeof place);
    alignas(8) unsigned char result[360] = {};
    const int32_t resultSize = 360;
    std::memcpy(result, &resultSize, 4);
    EXPECT_EQ(day(date, place, settings, result), 1);
    // Dhuhr: event 3 at 8 + 3 x 32; status at +24.
    double dhuhr = 0.0;
    int32_t status = -1;
    std::memcpy(&dhuhr, result + 8 + 3 * 32, 8);
    std::memcpy(&status, result + 8 + 3 * 32 + 24, 4);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(dhuhr, 12.0 + 31.7 / 60.0, 0.02);  // 12:31:40 at Makkah that day
    dlclose(handle);
}

}  // namespace
}  // namespace vorlin
