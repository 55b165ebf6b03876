// The gazetteer and the clocks: a lookup by name as --city makes it, the
// near matches of a misspelt name, the nearest place of a point (--lat/--lon
// without --tz), and the offset of a zone at an instant.
#include <benchmark/benchmark.h>

#include "places.h"
#include "zones.h"

namespace {

using namespace vorlin::frontend;

void BM_FindPlace(benchmark::State &state) {
    for (auto _ : state) benchmark::DoNotOptimize(FindPlaces("Birmingham, Alabama", 1));
}
BENCHMARK(BM_FindPlace);

void BM_FindPlaceAmbiguous(benchmark::State &state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindPlaces("San Jose", 2));
        benchmark::DoNotOptimize(CountPlaces("San Jose"));
    }
}
BENCHMARK(BM_FindPlaceAmbiguous);

void BM_NearPlaces(benchmark::State &state) {
    for (auto _ : state) benchmark::DoNotOptimize(NearPlaces("Lodnon", 5));
}
BENCHMARK(BM_NearPlaces)->Unit(benchmark::kMillisecond);

void BM_NearestPlace(benchmark::State &state) {
    for (auto _ : state) benchmark::DoNotOptimize(FindNearestPlace(52.4862, -1.8904));
}
BENCHMARK(BM_NearestPlace)->Unit(benchmark::kMillisecond);

void BM_ZoneOffset(benchmark::State &state) {
    const Clock london = Clock::Zone("Europe/London");
    long long t = 1711846800;
    for (auto _ : state) benchmark::DoNotOptimize(london.At(t += 3600));
}
BENCHMARK(BM_ZoneOffset);

}  // namespace
