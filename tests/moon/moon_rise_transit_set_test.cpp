#include "moon/moon_rise_transit_set.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "moon/moon_data_at_sunset.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct MoonDay {
    double jd;  // local JD of 0 h of the day
    int result;
    double t[3];
};

// The Moon's events for `days` consecutive days from year-month-1.
template <int N>
void ScanDays(const VorLocation &loc, int year, int month, MoonDay (&out)[N]) {
    const double jd0 = DateToJulianDay(Civil(year, month, 1.0));
    const VorConfig cfg = ObservingSettings(/*crescentThreshold=*/0.0f);
    for (int i = 0; i < N; ++i) {
        VorDate date{};
        JulianDayToDate(jd0 + i, date);
        out[i].jd = jd0 + i;
        out[i].result = MoonRiseTransitSet(&date, &loc, &cfg, out[i].t);
    }
}

constexpr double Hour = HourToRad;

TEST(MoonRiseTransitSet, DaysWithoutTransitGiveTheNeighbouringDaysTransit) {
    const VorLocation makkah = MakkahInRadians(/*name=*/"");
    static MoonDay days[90];
    ScanDays(makkah, 2023, 7, days);
    int withoutTransit = 0;
    for (int i = 1; i + 1 < 90; ++i) {
        const MoonDay &d = days[i];
        ASSERT_EQ(d.result, MoonEventsValid) << "day " << i;
        const double transit = d.t[0];
        if (transit >= 0.0 && transit <= TwoPi) continue;
        ++withoutTransit;
        // Slightly outside the day: the lunar day exceeds 24 h by under 1.5 h.
        if (transit < 0.0) {
            EXPECT_GT(transit, -1.5 * Hour) << "day " << i;
            // The same instant as the previous day's transit.
            const MoonDay &p = days[i - 1];
            EXPECT_NEAR((d.jd + transit / TwoPi - (p.jd + p.t[0] / TwoPi)) * 86400.0, 0.0, 60.0);
        } else {
            EXPECT_LT(transit, TwoPi + 1.5 * Hour) << "day " << i;
            const MoonDay &n = days[i + 1];
            EXPECT_NEAR((d.jd + transit / TwoPi - (n.jd + n.t[0] / TwoPi)) * 86400.0, 0.0, 60.0);
        }
    }
    // About one day per lunation has no transit.
    EXPECT_GE(withoutTransit, 2);
    EXPECT_LE(withoutTransit, 4);
}

TEST(MoonRiseTransitSet, RiseAndSetBelongToTheDaysTransit) {
    const VorLocation makkah = MakkahInRadians(/*name=*/"");
    static MoonDay days[60];
    ScanDays(makkah, 2024, 1, days);
    for (int i = 0; i < 60; ++i) {
        const double *t = days[i].t;
        ASSERT_FALSE(IsTimeMarker(t[1]) || IsTimeMarker(t[2])) << "day " << i;
        EXPECT_LT(t[1], t[0]) << "day " << i;
        EXPECT_LT(t[0], t[2]) << "day " << i;
        // At 21 degrees north with declinations up to 28.5 degrees the Moon
        // stays up between about 10.5 and 14.5 hours, the transit near the
        // middle.
        EXPECT_GT(t[2] - t[1], 10.0 * Hour) << "day " << i;
        EXPECT_LT(t[2] - t[1], 15.0 * Hour) << "day " << i;
        EXPECT_LT(std::fabs((t[0] - t[1]) - (t[2] - t[0])), 0.5 * Hour) << "day " << i;
    }
    // Successive transits are one lunar day (24 h + 35..65 min) apart.
    for (int i = 0; i + 1 < 60; ++i) {
        const double a = days[i].jd + days[i].t[0] / TwoPi;
        const double b = days[i + 1].jd + days[i + 1].t[0] / TwoPi;
        if (b - a < 0.5) continue;  // the same transit, on a day without its own
        EXPECT_GT((b - a) * 24.0, 24.0 + 35.0 / 60.0) << "day " << i;
        EXPECT_LT((b - a) * 24.0, 24.0 + 65.0 / 60.0) << "day " << i;
    }
}

TEST(MoonRiseTransitSet, AtRiseAndSetTheMoonIsOnTheHorizon) {
    // Independent check through the topocentric place of the Moon data:
    // at the computed rise and set the apparent altitude of the Moon's
    // centre is a fraction of a degree below the horizon (the upper limb on
    // it).  Near Makkah the altitude changes by about 0.2 degrees a minute,
    // so this pins the times to about a minute.
    const VorLocation makkah = PlaceInRadians(21.4225, 39.8262, 0, 3.0f);
    const VorConfig cfg = ObservingSettings(/*crescentThreshold=*/0.0f);
    static MoonDay days[30];
    ScanDays(makkah, 2023, 7, days);
    for (const MoonDay &d : days) {
        for (int event = 1; event <= 2; ++event) {
            MoonDataAtSunset md{};
            ComputeMoonDataAtSunset(d.jd, d.t[event], &makkah, &cfg, &md);
            EXPECT_LT(md.moonAltitude, 0.0) << "jd " << d.jd << " event " << event;
            EXPECT_GT(md.moonAltitude, -0.25 * DegToRad) << "jd " << d.jd << " event " << event;
            // Rising in the east, setting in the west.
            EXPECT_EQ(md.moonAzimuth < Pi, event == 1) << "jd " << d.jd;
        }
        // At the transit the Moon is on the meridian.
        MoonDataAtSunset md{};
        ComputeMoonDataAtSunset(d.jd, d.t[0], &makkah, &cfg, &md);
        const double south = std::fabs(md.moonAzimuth - Pi);
        const double north = std::fmin(md.moonAzimuth, TwoPi - md.moonAzimuth);
        EXPECT_LT(std::fmin(south, north), 2.0 * DegToRad) << "jd " << d.jd;
    }
}

TEST(MoonRiseTransitSet, HighLatitudeCircumpolarAndNeverRisingMoon) {
    // Longyearbyen, 78.2 N: near the major lunar standstill the Moon's
    // declination reaches +-28 degrees and it stays up or down for days.
    const VorLocation arctic = PlaceInRadians(78.22, 15.65, 0, 1.0f);
    static MoonDay days[730];
    ScanDays(arctic, 2024, 1, days);
    int circumpolar = 0;
    int circumpolarShifted = 0;
    int neverRises = 0;
    for (const MoonDay &d : days) {
        if (d.t[0] == TimeAlwaysBelow) {
            ++neverRises;
            EXPECT_EQ(d.result, MoonEventsTransitMarker);
            EXPECT_EQ(d.t[1], TimeAlwaysBelow);
            EXPECT_EQ(d.t[2], TimeAlwaysBelow);
            continue;
        }
        if (d.t[1] == TimeAlwaysAbove || d.t[2] == TimeAlwaysAbove) {
            ++circumpolar;
            EXPECT_EQ(d.t[1], TimeAlwaysAbove);
            EXPECT_EQ(d.t[2], TimeAlwaysAbove);
            EXPECT_FALSE(IsTimeMarker(d.t[0]));
            EXPECT_EQ(d.result, MoonEventsValid);
            if (d.t[0] < 0.0 || d.t[0] > TwoPi) ++circumpolarShifted;
        }
    }
    EXPECT_GT(circumpolar, 100);
    EXPECT_GT(neverRises, 100);
    // The markers survive the half-day shift unchanged.
    EXPECT_GE(circumpolarShifted, 1);
}

TEST(MoonRiseTransitSet, TimeZoneShiftsTheClockNotTheEvents) {
    // The same place with zone +3 and zone 0: the events are the same
    // instants, 3 h later on the clock of zone +3 (for days where both
    // zones see the same transit).
    const VorLocation zone3 = PlaceInRadians(21.4225, 39.8262, 300, 3.0f);
    const VorLocation zone0 = PlaceInRadians(21.4225, 39.8262, 300, 0.0f);
    const VorConfig cfg = ObservingSettings(/*crescentThreshold=*/0.0f);
    int compared = 0;
    for (int day = 1; day <= 28; ++day) {
        VorDate date{};
        date.year = 2024;
        date.month = 2;
        date.day = day;
        double a[3];
        double b[3];
        MoonRiseTransitSet(&date, &zone3, &cfg, a);
        MoonRiseTransitSet(&date, &zone0, &cfg, b);
        if (std::fabs(a[0] - (b[0] + 3.0 * Hour)) > 1.0 * Hour) continue;  // other transit
        ++compared;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR((a[i] - b[i]) / Hour, 3.0, 30.0 / 3600.0) << "day " << day << " i " << i;
        }
    }
    EXPECT_GT(compared, 20);
}

}  // namespace
}  // namespace vorlin
