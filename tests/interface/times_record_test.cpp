// The check of the structured settings record: every unusable value is
// named by its field with its range (the CLI turns these into messages
// naming its flags), usable extremes pass, and the record reads back into
// the settings it describes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "interface/times_record.h"
#include "methods/methods.h"

namespace vorlin {
namespace {

struct FieldCase {
    const char *name;
    void (*spoil)(VorTimesSettings &);
    const char *field;  // null: usable
    const char *range;
};

class UnusableSettingField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(UnusableSettingField, NamesTheFieldAndItsRange) {
    VorTimesSettings r = DefaultTimesRecord();
    GetParam().spoil(r);
    const UnusableSetting bad = FirstUnusableSetting(r);
    TimesSettings s;
    if (GetParam().field == nullptr) {
        EXPECT_EQ(bad.field, nullptr);
        EXPECT_TRUE(RecordToSettings(r, s));
    } else {
        ASSERT_NE(bad.field, nullptr);
        EXPECT_STREQ(bad.field, GetParam().field);
        EXPECT_STREQ(bad.range, GetParam().range);
        EXPECT_FALSE(RecordToSettings(r, s));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, UnusableSettingField,
    ::testing::Values(
        FieldCase{"defaults", [](VorTimesSettings &) {}, nullptr, nullptr},
        FieldCase{"fajr_minus_90", [](VorTimesSettings &r) { r.fajrAngle = -90; }, nullptr, nullptr},
        FieldCase{"fajr_90_5", [](VorTimesSettings &r) { r.fajrAngle = 90.5; }, "fajrAngle", "-90..90"},
        FieldCase{"isha_nan", [](VorTimesSettings &r) { r.ishaAngle = NAN; }, "ishaAngle", "-90..90"},
        FieldCase{"isha_minutes_1441", [](VorTimesSettings &r) { r.ishaMinutes = 1441; }, "ishaMinutes", "0..1440"},
        FieldCase{"ramadan_minus", [](VorTimesSettings &r) { r.ishaMinutesRamadan = -1; }, "ishaMinutesRamadan", "0..1440"},
        FieldCase{"maghrib_angle_inf", [](VorTimesSettings &r) { r.maghribAngle = INFINITY; }, "maghribAngle", "-90..90"},
        FieldCase{"maghrib_minutes_minus_1440", [](VorTimesSettings &r) { r.maghribMinutes = -1440; }, nullptr, nullptr},
        FieldCase{"maghrib_minutes_2000", [](VorTimesSettings &r) { r.maghribMinutes = 2000; }, "maghribMinutes", "-1440..1440"},
        FieldCase{"imsak_angle_100", [](VorTimesSettings &r) { r.imsakAngle = 100; }, "imsakAngle", "-90..90"},
        FieldCase{"imsak_minutes_nan", [](VorTimesSettings &r) { r.imsakMinutes = NAN; }, "imsakMinutes", "0..1440"},
        FieldCase{"adjust_last_nan", [](VorTimesSettings &r) { r.adjust[6] = NAN; }, "adjust", "-1440..1440"},
        FieldCase{"asr_0", [](VorTimesSettings &r) { r.asrFactor = 0; }, "asrFactor", "1..2"},
        FieldCase{"high_latitude_12", [](VorTimesSettings &r) { r.highLatitude = 12; }, nullptr, nullptr},
        FieldCase{"high_latitude_minus_2", [](VorTimesSettings &r) { r.highLatitude = -2; }, "highLatitude", "-1..12"},
        FieldCase{"rule_9_minutes_minus", [](VorTimesSettings &r) { r.fajrIshaMinutes = -1; }, "fajrIshaMinutes", "0..1440"},
        FieldCase{"midnight_2", [](VorTimesSettings &r) { r.midnight = 2; }, "midnight", "0..1"},
        FieldCase{"twilight_minus", [](VorTimesSettings &r) { r.twilight = -1; }, "twilight", "0..1"},
        FieldCase{"shafaq_3", [](VorTimesSettings &r) { r.shafaq = 3; }, "shafaq", "0..2"},
        FieldCase{"rounding_4", [](VorTimesSettings &r) { r.rounding = 4; }, "rounding", "0..3"},
        FieldCase{"distance_minus", [](VorTimesSettings &r) { r.distanceKm = -1; }, "distanceKm", "0..1000000"},
        FieldCase{"horizon_100001", [](VorTimesSettings &r) { r.horizonHeight = 100001; }, "horizonHeight", "0..100000"},
        FieldCase{"crescent_91", [](VorTimesSettings &r) { r.crescentThreshold = 91; }, "crescentThreshold", "-90..90"},
        // The first in the record's order is named.
        FieldCase{"two_bad", [](VorTimesSettings &r) { r.rounding = 9; r.fajrAngle = 99; }, "fajrAngle", "-90..90"}),
    [](const ::testing::TestParamInfo<FieldCase> &info) { return std::string(info.param.name); });

TEST(TimesRecord, ReadsBackTheMethodItWasGiven) {
    VorTimesSettings r = DefaultTimesRecord();
    ApplyMethodToRecord(*FindNamedMethod("UmmAlQura"), r);
    r.toleranceSeconds = 0;
    TimesSettings s;
    ASSERT_TRUE(RecordToSettings(r, s));
    EXPECT_EQ(s.fajrAngle, 18.5);
    EXPECT_EQ(s.ishaMinutes, 90.0);
    EXPECT_EQ(s.ishaMinutesRamadan, 120.0);
    EXPECT_TRUE(std::isnan(s.maghribAngle));  // 0 in the record: sunset
    EXPECT_TRUE(std::isnan(s.imsakAngle));    // 0: one degree deeper than Fajr
    EXPECT_EQ(s.toleranceSeconds, 1);         // below 1 counts as 1
    ApplyMethodToRecord(*FindNamedMethod("Tehran"), r);
    ASSERT_TRUE(RecordToSettings(r, s));
    EXPECT_EQ(s.maghribAngle, 4.5);
    EXPECT_TRUE(std::isnan(s.ishaMinutes));  // the method's Isha'a is an angle again
    EXPECT_EQ(s.midnight, MidnightJafari);
}

}  // namespace
}  // namespace vorlin
