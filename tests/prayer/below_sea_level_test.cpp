// Places below sea level: Baku (-28 m) and the Dead Sea shore (-430 m).
// The horizon has no dip there (HorizonDip is 0), while the height still
// sets the refraction pressure, which is higher than at sea level.  Every
// prayer time, the Hijri conversion and the month start must work.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "moon/month_start.h"
#include "prayer/prayer_times.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct BelowSeaLevelPlace {
    const char *name;
    double latitudeDeg;
    double longitudeDeg;
    int heightMetres;
    float zoneHours;
    double pressure;  // mbar: 1013.25 (1 - 0.0065 h / 288)^5.255, by hand
};

const BelowSeaLevelPlace kBaku{"Baku", 40.4093, 49.8671, -28, 4.0f, 1016.6194};
const BelowSeaLevelPlace kDeadSea{"DeadSea", 31.5590, 35.4732, -430, 2.0f, 1066.0030};

// The place in radians as inside a library call; height replaced when given.
VorLocation Place(const BelowSeaLevelPlace &p, int heightMetres) {
    return PlaceInRadians(p.latitudeDeg, p.longitudeDeg, heightMetres, p.zoneHours, p.name);
}
VorLocation Place(const BelowSeaLevelPlace &p) { return Place(p, p.heightMetres); }

PrayerTimes Times(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    PrayerTimes t;
    ComputeDayPrayerTimes(date, loc, cfg, t);
    return t;
}

// Every day of 2024 (leap year), month by month.
std::vector<VorDate> DaysOf2024() {
    static const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<VorDate> days;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= lengths[m - 1]; ++d) days.push_back(Civil(2024, m, d));
    }
    return days;
}

class BelowSeaLevel : public ::testing::TestWithParam<BelowSeaLevelPlace> {};

TEST_P(BelowSeaLevel, EveryPrayerTimeIsValidOnEveryDayOf2024) {
    const VorLocation loc = Place(GetParam());
    const VorConfig cfg = DayPrayerSettings();
    for (const VorDate &date : DaysOf2024()) {
        const PrayerTimes t = Times(date, loc, cfg);
        for (int i = 0; i < PrayerTimes::Count; ++i) {
            ASSERT_FALSE(IsTimeMarker(t.time[i]))
                << "event " << i << " on " << int(date.month) << "/" << date.day;
            ASSERT_TRUE(std::isfinite(t.time[i]));
            ASSERT_GE(t.time[i], 0.0);
            ASSERT_LT(t.time[i], TwoPi);
        }
    }
}

TEST_P(BelowSeaLevel, SunriseAndSunsetDifferFromSeaLevelOnlyThroughThePressure) {
    // Neither height has a dip, so against the same place at height 0 only
    // the refraction pressure moves sunrise and sunset (and, by well under a
    // second, the height in the parallax): with the pressure of the height
    // configured at height 0, the times agree to half a second; with the
    // 1010 mbar of height 0 they differ by a few seconds at most.
    const BelowSeaLevelPlace &p = GetParam();
    const VorLocation below = Place(p);
    const VorLocation seaLevel = Place(p, 0);
    const VorConfig cfg = DayPrayerSettings();
    VorConfig samePressure = cfg;
    samePressure.pressure = static_cast<int>(std::lround(p.pressure));
    for (const VorDate &date : DaysOf2024()) {
        const PrayerTimes t = Times(date, below, cfg);
        const PrayerTimes s = Times(date, seaLevel, cfg);
        const PrayerTimes q = Times(date, seaLevel, samePressure);
        for (int i : {PrayerShuruq, PrayerMaghrib}) {
            // The pressure is rounded to a whole millibar in q: 0.4 mbar is
            // about 0.1 s of time.
            EXPECT_NEAR(ToSeconds(t.time[i]), ToSeconds(q.time[i]), 0.5)
                << "event " << i << " on " << int(date.month) << "/" << date.day;
            EXPECT_NEAR(ToSeconds(t.time[i]), ToSeconds(s.time[i]), 15.0)
                << "event " << i << " on " << int(date.month) << "/" << date.day;
        }
        // More refraction: the Sun is seen earlier in the morning and later
        // in the evening.
        EXPECT_LE(t.time[PrayerShuruq], s.time[PrayerShuruq]);
        EXPECT_GE(t.time[PrayerMaghrib], s.time[PrayerMaghrib]);
    }
}

TEST_P(BelowSeaLevel, AtTheEquinoxTheShiftIsTheRefractionDifferenceOverTheSunsRise) {
    // Independent estimate.  The standard altitude refracts the apparent
    // altitude a = -(semidiameter 16.05') + 8.8" of parallax = -0.2651 deg
    // with Bennett's formula 1 / tan(a + 7.31 / (a + 4.4)) arc-minutes
    // (38.1'; his correction term adds 0.03'), scaled by P / 1010 at
    // 10 deg C.  The extra refraction P / 1010 - 1 of it lowers the Sun's
    // altitude at rise and set; on 2024-03-20 (declination about 0) the Sun
    // climbs 15" of arc per second of time times cos(latitude).
    const BelowSeaLevelPlace &p = GetParam();
    const double a = -0.2651;
    const double bennettArcmin = 1.0 / std::tan((a + 7.31 / (a + 4.4)) * DegToRad);
    const double extraArcsec = bennettArcmin * 60.0 * (p.pressure / 1010.0 - 1.0);
    const double expectedSeconds = extraArcsec / (15.0 * std::cos(p.latitudeDeg * DegToRad));
    const VorDate date = Civil(2024, 3, 20);
    const VorConfig cfg = DayPrayerSettings();
    const PrayerTimes t = Times(date, Place(p), cfg);
    const PrayerTimes s = Times(date, Place(p, 0), cfg);
    // Baku: 15" -> 1.3 s; the Dead Sea shore: 127" -> 9.9 s.
    EXPECT_NEAR(ToSeconds(s.time[PrayerShuruq] - t.time[PrayerShuruq]), expectedSeconds,
                0.1 * expectedSeconds + 0.3);
    EXPECT_NEAR(ToSeconds(t.time[PrayerMaghrib] - s.time[PrayerMaghrib]), expectedSeconds,
                0.1 * expectedSeconds + 0.3);
}

TEST_P(BelowSeaLevel, HijriConversionWorks) {
    // 2024-03-11 (civil) is 1 Ramadan 1445 or the last day of Sha'ban.
    VorLocation loc = PlaceInDegrees(GetParam().latitudeDeg, GetParam().longitudeDeg,
                                     GetParam().heightMetres, GetParam().zoneHours);
    VorConfig cfg = ObservingSettings(20.0f);
    VorDate date = Civil(2024, 3, 11);
    ASSERT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1);
    EXPECT_EQ(date.hijriValid, 1);
    EXPECT_EQ(date.hijriYear, 1445);
    EXPECT_TRUE((date.hijriMonth == 9 && date.hijriDay == 1.0) ||
                (date.hijriMonth == 8 && date.hijriDay >= 29.0))
        << int(date.hijriMonth) << "/" << date.hijriDay;
    // And back to the same civil day.
    VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay);
    ASSERT_EQ(VorIslamicToAd(&back, &loc, &cfg), 1);
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 3);
    EXPECT_EQ(std::floor(back.day), 11.0);
}

TEST_P(BelowSeaLevel, MonthStartIsFoundForEveryLunationOf2024) {
    const VorLocation loc = Place(GetParam());
    const VorConfig cfg = ObservingSettings(20.0f);
    for (int m = 1; m <= 12; ++m) {
        const VorDate date = Civil(2024, m, 1);
        MonthStartDetails d{};
        EXPECT_EQ(ComputeMonthStartDetails(&date, &loc, &cfg, &d), 1) << "month " << m;
    }
}

TEST_P(BelowSeaLevel, MoonReportHasItsMonthStart) {
    VorLocation loc = PlaceInDegrees(GetParam().latitudeDeg, GetParam().longitudeDeg,
                                     GetParam().heightMetres, GetParam().zoneHours,
                                     GetParam().name);
    VorConfig cfg = ReportSettings(VOR_SPAN_DAY);
    VorDate date = Civil(2024, 3, 11);
    std::string text(65536, '\0');
    const int32_t length = VorMoonInfoN(&date, &loc, &cfg, text.data(), 65536);
    ASSERT_GT(length, 0);
    text.resize(static_cast<size_t>(length));
    EXPECT_NE(text.find("Possible start of"), std::string::npos) << text;
    EXPECT_EQ(text.find("Could not calculate"), std::string::npos) << text;
    EXPECT_EQ(text.find("NotValid"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Places, BelowSeaLevel, ::testing::Values(kBaku, kDeadSea),
                         [](const ::testing::TestParamInfo<BelowSeaLevelPlace> &info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vorlin
