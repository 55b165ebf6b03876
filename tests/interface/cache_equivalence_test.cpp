// The short cuts of the hot paths against the plain computations they
// replace, bit for bit: the month-start and Sun-event caches a report
// shares between its days, the refinement that hands its last positions
// on, and the Moon's series walked on decoded tables.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "astro/constants.h"
#include "astro/lunar_phases.h"
#include "astro/lunar_series.h"
#include "astro/moon_position.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"
#include "prayer/sun_events.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using namespace vorlin;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

VorLocation Place(double latDeg, double lonDeg, int height, float zone) {
    return testing_support::PlaceInRadians(latDeg, lonDeg, height, zone, "Test");
}

VorConfig Settings(int rule = 0, int distanceKm = 0) {
    VorConfig c = testing_support::ReportSettings(0);
    c.highLatitudeRule = rule;
    c.distanceKm = distanceKm;
    return c;
}

VorDate DateOf(double jd) {
    VorDate d{};
    JulianDayToDate(jd, d);
    return d;
}

TEST(MoonPositionDecodedWalk, SameBitsAsTheGenericSeriesWalk) {
    // MoonPosition walks decoded tables with shared multiples; the generic
    // LunarSeriesTwo/LunarSeriesOne walk the byte tables.  Every tenth of a
    // day over two years, and far from J2000.
    for (double T : {-0.5, 0.2, 0.24, 9.9}) {
        for (int i = 0; i < 7300; ++i) {
            const double t = T + i * 0.1 / DaysPerCentury;
            const double jd = DaysPerCentury * t + J2000;
            LunarSeriesScratch scratch;
            double lr[3] = {0.0, 0.0, 0.0};
            LunarSeriesTwo(jd, MoonLongitudeRadiusSeries, lr, scratch);
            const double meanLongitude = scratch.meanLongitudeArcsec;
            const double latitude = LunarSeriesOne(jd, MoonLatitudeSeries, scratch);
            const LunarPosition generic = MoonPositionFromSums(
                lr[0], meanLongitude, latitude, lr[2], MoonLongitudeRadiusSeries.distanceScaleAu);
            const LunarPosition fast = MoonPosition(t);
            ASSERT_TRUE(SameBits(fast.longitude, generic.longitude)) << "T " << t;
            ASSERT_TRUE(SameBits(fast.latitude, generic.latitude)) << "T " << t;
            ASSERT_TRUE(SameBits(fast.distanceKm, generic.distanceKm)) << "T " << t;
        }
    }
}

TEST(NewMoonRefinement, HandingOnPositionsChangesNoBit) {
    // FindNewMoons reuses the geocentric search's last positions for the
    // first step of the topocentric one; two independent refinements must
    // give the same conjunctions.
    const VorLocation places[] = {Place(21.4225, 39.8262, 300, 3.0f), Place(64.0, 20.0, 0, 1.0f),
                                  Place(-33.9, 18.4, 10, 2.0f)};
    for (const VorLocation &loc : places) {
        for (int month = 0; month < 40; ++month) {
            const VorDate date = DateOf(2460310.5 + 29.5 * month + (month % 3) * 7.0);
            double geo = 0.0, topo = 0.0;
            FindNewMoons(&date, &loc, &geo, &topo);

            const double z = static_cast<double>(loc.timeZone) / 24.0;
            double g = NewMoonEstimate(&date, &loc);
            RefineNewMoon(&loc, &g, 0.0);
            double t = g;
            RefineNewMoon(&loc, &t, 1.0);
            EXPECT_TRUE(SameBits(geo, g + z)) << month;
            EXPECT_TRUE(SameBits(topo, t + z)) << month;
        }
    }
}

// One cache through a sequence of requests against ComputeMonthStart.
TEST(MonthStartCache, SameAnswersAsComputingEveryTime) {
    auto cache = std::make_unique<MonthStartCache>();
    const VorConfig cfg = Settings();
    const VorConfig otherCfg = [] {
        VorConfig c = Settings();
        c.crescentThreshold = 12.0f;
        return c;
    }();
    VorLocation makkah = Place(21.4225, 39.8262, 300, 3.0f);
    const VorLocation north = Place(67.0, 20.0, 0, 1.0f);  // no moonset on some summer evenings
    // More lunations than the cache holds (eviction), the same ones again,
    // a change of place, configuration and latitude in between.
    for (int pass = 0; pass < 3; ++pass) {
        for (int day = 0; day < 1100; day += 9) {
            const VorDate date = DateOf(2460310.5 + day + 0.25 * (day % 4));
            const VorLocation &loc = day % 5 == 0 ? north : makkah;
            const VorConfig &c = day % 7 == 0 ? otherCfg : cfg;
            double plain = -1.0, cached = -1.0;
            const double r1 = ComputeMonthStart(&date, &loc, &c, &plain, nullptr);
            const double r2 = ComputeMonthStartCached(&date, &loc, &c, &cached, cache.get());
            ASSERT_EQ(r1, r2) << "day " << day;
            ASSERT_TRUE(SameBits(plain, cached)) << "day " << day << ": " << plain << " " << cached;
        }
        makkah.latitude -= 2.0 * DegToRad;  // a latitude of its own on the next pass
    }
}

TEST(MonthStartCache, OneEntryPerLunationAndLatitude) {
    auto cache = std::make_unique<MonthStartCache>();
    VorLocation loc = Place(21.4225, 39.8262, 300, 3.0f);
    const VorConfig cfg = Settings();
    double jd = 0.0;
    // 2024 January 12 to 14 all look for the new moon of January 11 (local).
    for (double day : {2460321.5, 2460322.5, 2460323.5}) {
        const VorDate date = DateOf(day);
        ASSERT_EQ(ComputeMonthStartCached(&date, &loc, &cfg, &jd, cache.get()), 1.0);
    }
    EXPECT_EQ(cache->count, 1);
    loc.latitude += 1e-12;  // any other latitude is another entry
    const VorDate date = DateOf(2460322.5);
    ASSERT_EQ(ComputeMonthStartCached(&date, &loc, &cfg, &jd, cache.get()), 1.0);
    EXPECT_EQ(cache->count, 2);
    loc.longitude += 1e-12;  // another place empties it
    ASSERT_EQ(ComputeMonthStartCached(&date, &loc, &cfg, &jd, cache.get()), 1.0);
    EXPECT_EQ(cache->count, 1);
}

TEST(MonthStartCache, SharedByConversionsLikeSeparateOnes) {
    const VorConfig cfg = Settings();
    for (double latDeg : {21.4225, 51.5, 68.0}) {
        VorLocation shared = Place(latDeg, 20.0, 0, 1.0f);
        VorLocation separate = shared;
        auto cache = std::make_unique<MonthStartCache>();
        for (int day = 0; day < 200; day += 3) {
            VorDate a = DateOf(2460400.5 + day);
            VorDate b = a;
            ASSERT_EQ(GregorianToHijri(a, separate, cfg), GregorianToHijri(b, shared, cfg, *cache));
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << latDeg << " day " << day;
            // The latitude is restored bit for bit on both paths.
            EXPECT_TRUE(SameBits(shared.latitude, separate.latitude));

            VorDate h = a;
            VorDate k = a;
            ASSERT_EQ(HijriToGregorian(h, separate, cfg), HijriToGregorian(k, shared, cfg, *cache));
            EXPECT_EQ(std::memcmp(&h, &k, sizeof h), 0) << latDeg << " day " << day;
        }
    }
}

bool SameTable(const SunEventTable &a, const SunEventTable &b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SunEventCache, SameTablesAsComputingEveryTime) {
    auto cache = std::make_unique<SunEventCache>();
    const VorLocation north = Place(64.0, 20.0, 0, 1.0f);
    const VorLocation south = Place(-40.0, 175.0, 50, 12.0f);
    const VorConfig area = Settings(8, 20);
    const VorConfig plain = Settings(8, 0);
    // Days forwards, then backwards, then 256 days apart (the same slot),
    // with changes of place and configuration that must empty the cache.
    const double start = 2460310.5;
    const double days[] = {0, 1, 2, 3, 2, 1, 0, 256, 0, 512, 1, 257, 3, 3};
    for (int round = 0; round < 4; ++round) {
        const VorLocation &loc = round % 2 == 0 ? north : south;
        const VorConfig &cfg = round < 2 ? area : plain;
        for (double d : days) {
            const VorDate date = DateOf(start + d + (round == 3 ? 0.5 : 0.0));
            SunEventTable expected, got;
            ComputeAreaSunEvents(date, loc, cfg, expected);
            ComputeAreaSunEventsCached(date, loc, cfg, got, cache.get());
            ASSERT_TRUE(SameTable(expected, got)) << "round " << round << " day " << d;
        }
    }
    // No cache at all.
    const VorDate date = DateOf(start);
    SunEventTable expected, got;
    ComputeAreaSunEvents(date, north, area, expected);
    ComputeAreaSunEventsCached(date, north, area, got, nullptr);
    EXPECT_TRUE(SameTable(expected, got));
}

}  // namespace
