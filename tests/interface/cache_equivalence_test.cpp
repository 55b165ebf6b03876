// The short cuts of the hot paths against the plain computations they
// replace, bit for bit: the month-start and Sun-event caches a report
// shares between its days, the refinement that hands its last positions
// on, and the Moon's series and the nutation walked on decoded tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "astro/constants.h"
#include "astro/earth_rotation.h"
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

// The nutation table as the library generates it, walked term by term and
// multiplier by multiplier as it is written (the form Nutation had before
// its terms were decoded at compile time).
#include "astro/nutation_table.inc"

double ReduceToTurn(double arcsec) { return arcsec - 1296000.0 * std::floor(arcsec / 1296000.0); }

void NutationByTableWalk(double T, double *dpsi, double *deps) {
    const double T2 = T * T;
    const double T10 = T / 10.0;
    const double argument[5] = {
        ReduceToTurn(485866.733 + 1717915922.633 * T) + (31.31 + 0.064 * T) * T2,
        ReduceToTurn(1287099.804 + 129596581.224 * T) - (0.577 + 0.012 * T) * T2,
        ReduceToTurn(335778.877 + 1739527263.137 * T) + (0.011 * T - 13.257) * T2,
        ReduceToTurn(1072261.307 + 1602961601.328 * T) + (0.019 * T - 6.891) * T2,
        ReduceToTurn(450160.28 - 6962890.539 * T) + (7.455 + 0.008 * T) * T2,
    };
    const int multiples[5] = {3, 2, 4, 4, 2};
    MultipleAngleRow rows[5];
    for (int a = 0; a < 5; ++a) MultipleAngles(rows[a], argument[a] * ArcsecToRad, multiples[a]);
    double sumLongitude = 0.0, sumObliquity = 0.0;
    for (const auto &term : kNutationTerms) {
        double sv = 0.0, cv = 0.0;
        bool first = true;
        for (int a = 0; a < 5; ++a) {
            const int m = term[a];
            if (m == 0) continue;
            const int k = m < 0 ? -m : m;
            const double su = m < 0 ? -rows[a].sine[k] : rows[a].sine[k];
            const double cu = rows[a].cosine[k];
            if (first) {
                sv = su;
                cv = cu;
                first = false;
            } else {
                const double x = su * cv + cu * sv;
                cv = cu * cv - su * sv;
                sv = x;
            }
        }
        double f = term[5];
        if (term[6] != 0) f += T10 * term[6];
        double g = term[7];
        if (term[8] != 0) g += T10 * term[8];
        sumLongitude += f * sv;
        sumObliquity += g * cv;
    }
    sumLongitude += (-1742.0 * T10 - 171996.0) * rows[4].sine[1];
    sumObliquity += (89.0 * T10 + 92025.0) * rows[4].cosine[1];
    *dpsi = sumLongitude * 0.0001 * ArcsecToRad;
    *deps = sumObliquity * 0.0001 * ArcsecToRad;
}

// The library walks the terms grouped by their number of factors, so its
// sums are rounded in another order: they agree with the table's order to
// a few units of the last place of the sums (about 1e-20 rad).
TEST(NutationDecodedWalk, AgreesWithTheTableWalk) {
    // Every 0.37 day over six years around 2024, and a sample from 1000 to
    // 3000.
    std::vector<double> centuries;
    for (int i = 0; i < 6000; ++i) centuries.push_back(0.24 + i * 0.37 / DaysPerCentury);
    for (int i = 0; i <= 200; ++i) centuries.push_back(-10.0 + i * 0.1);
    for (double T : centuries) {
        double dpsi = 0.0, deps = 0.0, refPsi = 0.0, refEps = 0.0;
        Nutation(T, &dpsi, &deps);
        NutationByTableWalk(T, &refPsi, &refEps);
        ASSERT_NEAR(dpsi, refPsi, 2e-19) << "T " << T;
        ASSERT_NEAR(deps, refEps, 2e-19) << "T " << T;
        ASSERT_NE(dpsi, 0.0);
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
