// The core pieces: one evaluation each.
#include <benchmark/benchmark.h>

#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/lunar_phases.h"
#include "astro/moon_position.h"
#include "astro/rise_transit_set.h"
#include "astro/sun.h"
#include "bench_support.h"
#include "calendar/julian_day.h"
#include "moon/month_start.h"

namespace {

using namespace vorlin;

void BM_SunApparent(benchmark::State &state) {
    double T = 0.24;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SunApparent(T, 1e-5));
        T += 1e-7;
    }
}
BENCHMARK(BM_SunApparent);

void BM_MoonPosition(benchmark::State &state) {
    double T = 0.24;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MoonPosition(T));
        T += 1e-7;
    }
}
BENCHMARK(BM_MoonPosition);

void BM_Nutation(benchmark::State &state) {
    double T = 0.24, dpsi = 0.0, deps = 0.0;
    for (auto _ : state) {
        Nutation(T, &dpsi, &deps);
        benchmark::DoNotOptimize(dpsi);
        benchmark::DoNotOptimize(deps);
        T += 1e-7;
    }
}
BENCHMARK(BM_Nutation);

void BM_RiseTransitSet(benchmark::State &state) {
    // The Sun near an equinox seen from 40 N.
    double out[3];
    for (auto _ : state) {
        RiseTransitSet(40.0 * DegToRad, 10.0 * DegToRad, 3.0, 69.0, 0.0, -0.007, 0.0172, 0.0,
                       0.0344, 0.007, -0.0145, out, 1.0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_RiseTransitSet);

// One new moon, geocentric and topocentric, from a new date each time.
void BM_FindNewMoons(benchmark::State &state) {
    VorLocation loc = bench::Makkah();
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    int month = 0;
    for (auto _ : state) {
        VorDate date{};
        JulianDayToDate(2460310.5 + 29.5 * (month++ % 120), date);  // ten years, over and over
        double geo = 0.0, topo = 0.0;
        FindNewMoons(&date, &loc, &geo, &topo);
        benchmark::DoNotOptimize(topo);
    }
}
BENCHMARK(BM_FindNewMoons)->Unit(benchmark::kMicrosecond);

// One month start in conversion mode: new moons, evening search, moon data.
void BM_ComputeMonthStart(benchmark::State &state) {
    VorLocation loc = bench::Makkah();
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    const VorConfig cfg = bench::Settings();
    int month = 0;
    for (auto _ : state) {
        VorDate date{};
        JulianDayToDate(2460310.5 + 29.5 * (month++ % 120), date);  // ten years, over and over
        double start = 0.0;
        benchmark::DoNotOptimize(ComputeMonthStart(&date, &loc, &cfg, &start, nullptr));
    }
}
BENCHMARK(BM_ComputeMonthStart)->Unit(benchmark::kMicrosecond);

}  // namespace
