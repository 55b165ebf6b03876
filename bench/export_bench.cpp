// The exports and the whole-report workers, as hosts use them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_support.h"
#include "interface/reports.h"
#include "methods/day_times.h"
#include "methods/methods.h"
#include "moon/shared_month_starts.h"
#include "prayer/prayer_times.h"
#include "astro/constants.h"

namespace {

using namespace vorlin;
using namespace vorlin::bench;

void BM_ComputeDayPrayerTimes(benchmark::State &state) {
    VorLocation loc = Makkah();
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    const VorConfig cfg = Settings(0, 0, static_cast<int>(state.range(0)));
    const VorDate date = Civil(2024, 3, 11);
    PrayerTimes out{};
    for (auto _ : state) {
        ComputeDayPrayerTimes(date, loc, cfg, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_ComputeDayPrayerTimes)->Arg(0)->Arg(20)->ArgName("distanceKm");

// The structured day through the method layer: the same Sun events, plus
// the next day (midnight and the last third need its sunrise and Fajr).
void BM_ComputeDayTimes(benchmark::State &state, const char *method) {
    VorLocation loc = Makkah();
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    const TimesSettings s = SettingsOfMethod(*FindNamedMethod(method));
    const VorDate date = Civil(2024, 4, 20);
    DayTimes out{};
    for (auto _ : state) {
        ComputeDayTimes(date, loc, s, out, nullptr);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK_CAPTURE(BM_ComputeDayTimes, MWL, "MWL");
BENCHMARK_CAPTURE(BM_ComputeDayTimes, Tehran_maghrib_angle, "Tehran");
BENCHMARK_CAPTURE(BM_ComputeDayTimes, UmmAlQura_ramadan_check, "UmmAlQura");

// A year through VorTimesOfRange: the days share their Sun events.
void BM_VorTimesOfRangeYear(benchmark::State &state) {
    VorLocation loc = Makkah();
    VorTimesSettings s{};
    s.size = sizeof s;
    VorMethodSettings("MWL", &s);
    static VorDayTimes days[366];
    days[0].size = sizeof(VorDayTimes);
    VorDate first = Civil(2024, 1, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(VorTimesOfRange(&first, 366, &loc, &s, days));
    }
    state.SetItemsProcessed(state.iterations() * 366);
}
BENCHMARK(BM_VorTimesOfRangeYear)->Unit(benchmark::kMillisecond);

std::vector<char> &Buffer() {
    static std::vector<char> buffer(1 << 20);
    return buffer;
}

void ScheduleYear(benchmark::State &state, VorLocation loc, VorConfig cfg, VorDate date) {
    std::size_t length = 0;
    for (auto _ : state) {
        length = WriteScheduleReport(&date, &loc, &cfg, Buffer().data(), Buffer().size());
        benchmark::DoNotOptimize(length);
    }
    state.counters["bytes"] = static_cast<double>(length);
}

// The year schedule with its Hijri labels, as a host calls it.  Warm: the
// process-wide month starts (moon/shared_month_starts.h) are kept from the
// iteration before, as in a server repeating the request; cold: they are
// emptied before every report, as in a process that makes one report.
void YearScheduleThroughExport(benchmark::State &state, bool cold) {
    const VorConfig config = Settings(VOR_SPAN_YEAR);
    const VorDate first = Civil(2024, 1, 1);
    for (auto _ : state) {
        if (cold) ClearSharedMonthStarts();
        VorLocation loc = Makkah();
        VorConfig cfg = config;
        VorDate date = first;
        VorCalculate(&date, &loc, &cfg, Buffer().data());
        benchmark::DoNotOptimize(Buffer().data());
    }
}

void BM_YearScheduleGregorianMakkah(benchmark::State &state) {
    ScheduleYear(state, Makkah(), Settings(VOR_SPAN_YEAR), Civil(2024, 1, 1));
}
BENCHMARK(BM_YearScheduleGregorianMakkah)->Unit(benchmark::kMillisecond);

void BM_VorCalculateYearMakkahCold(benchmark::State &state) {
    YearScheduleThroughExport(state, true);
}
BENCHMARK(BM_VorCalculateYearMakkahCold)->Unit(benchmark::kMillisecond);

void BM_VorCalculateYearMakkahWarm(benchmark::State &state) {
    YearScheduleThroughExport(state, false);
}
BENCHMARK(BM_VorCalculateYearMakkahWarm)->Unit(benchmark::kMillisecond);

void BM_YearScheduleHijriMakkah(benchmark::State &state) {
    VorDate date = Civil(2024, 1, 1);
    date.hijriYear = 1445;
    date.hijriMonth = 1;
    date.hijriDay = 1;
    ScheduleYear(state, Makkah(), Settings(VOR_SPAN_YEAR | VOR_HIJRI_MONTHS), date);
}
BENCHMARK(BM_YearScheduleHijriMakkah)->Unit(benchmark::kMillisecond);

void BM_YearSchedule64North(benchmark::State &state) {
    ScheduleYear(state, Place("64 N", 64.0, 20.0, 0, 1.0f),
                 Settings(VOR_SPAN_YEAR, static_cast<int>(state.range(0))), Civil(2024, 1, 1));
}
BENCHMARK(BM_YearSchedule64North)->Arg(3)->Arg(6)->Arg(8)->ArgName("rule")->Unit(benchmark::kMillisecond);

void BM_MonthSchedule64North20Km(benchmark::State &state) {
    ScheduleYear(state, Place("64 N", 64.0, 20.0, 0, 1.0f),
                 Settings(VOR_SPAN_MONTH, static_cast<int>(state.range(0)), 20), Civil(2024, 6, 1));
}
BENCHMARK(BM_MonthSchedule64North20Km)->Arg(3)->Arg(6)->Arg(8)->ArgName("rule")->Unit(benchmark::kMillisecond);

// The inputs that used to take seconds: a year through VorCalculateN.
void ExtremeYear(benchmark::State &state, VorLocation loc, VorConfig cfg) {
    VorDate date = Civil(2026, 1, 1);
    std::int32_t length = 0;
    for (auto _ : state) {
        length = VorCalculateN(&date, &loc, &cfg, Buffer().data(),
                               static_cast<std::int32_t>(Buffer().size()));
        benchmark::DoNotOptimize(length);
    }
    state.counters["bytes"] = static_cast<double>(length);
}

void BM_ExtremeYearLongyearbyenRule7Area100(benchmark::State &state) {
    ExtremeYear(state, Place("Longyearbyen", 78.2232, 15.6267, 0, 1.0f),
                Settings(VOR_SPAN_YEAR, 7, 100));
}
BENCHMARK(BM_ExtremeYearLongyearbyenRule7Area100)->Unit(benchmark::kMillisecond);

void BM_ExtremeYear89NorthRule7Area50(benchmark::State &state) {
    ExtremeYear(state, Place("89 N", 89.0, 0.0, 0, 0.0f), Settings(VOR_SPAN_YEAR, 7, 50));
}
BENCHMARK(BM_ExtremeYear89NorthRule7Area50)->Unit(benchmark::kMillisecond);

void BM_ExtremeYear89NorthRule5Area50(benchmark::State &state) {
    ExtremeYear(state, Place("89 N", 89.0, 0.0, 0, 0.0f), Settings(VOR_SPAN_YEAR, 5, 50));
}
BENCHMARK(BM_ExtremeYear89NorthRule5Area50)->Unit(benchmark::kMillisecond);

void BM_ExtremeYear60NorthRule6Area20000(benchmark::State &state) {
    ExtremeYear(state, Place("60 N", 60.0, 0.0, 0, 0.0f), Settings(VOR_SPAN_YEAR, 6, 20000));
}
BENCHMARK(BM_ExtremeYear60NorthRule6Area20000)->Unit(benchmark::kMillisecond);

void BM_ExtremeYear90NorthHeight2147483647(benchmark::State &state) {
    ExtremeYear(state, Place("90 N", 90.0, 0.0, 2147483647, 0.0f), Settings(VOR_SPAN_YEAR));
}
BENCHMARK(BM_ExtremeYear90NorthHeight2147483647)->Unit(benchmark::kMillisecond);

void MoonYear(benchmark::State &state, VorLocation loc) {
    VorConfig cfg = Settings(VOR_SPAN_YEAR);
    VorDate date = Civil(2024, 1, 1);
    std::size_t length = 0;
    for (auto _ : state) {
        length = WriteMoonReport(&date, &loc, &cfg, Buffer().data(), Buffer().size());
        benchmark::DoNotOptimize(length);
    }
    state.counters["bytes"] = static_cast<double>(length);
}

void BM_YearMoonReport(benchmark::State &state) { MoonYear(state, Makkah()); }
BENCHMARK(BM_YearMoonReport)->Unit(benchmark::kMillisecond);

void BM_YearMoonReportLondon(benchmark::State &state) {
    MoonYear(state, Place("London", 51.5, -0.1, 0, 0.0f));
}
BENCHMARK(BM_YearMoonReportLondon)->Unit(benchmark::kMillisecond);

// 365 consecutive days converted one call each.  Cold: the process-wide
// month starts are emptied before each run of 365 (each lunation is
// computed once in the run); warm: they hold every month already.  The
// time per call is the run's time / 365.
void AdToIslamic365Days(benchmark::State &state, bool cold) {
    VorLocation loc = Makkah();
    VorConfig cfg = Settings();
    for (auto _ : state) {
        if (cold) ClearSharedMonthStarts();
        for (int d = 0; d < 365; ++d) {
            VorDate date = Civil(2024, 1, 1 + d);  // day numbers past the month length are valid JD input
            benchmark::DoNotOptimize(VorAdToIslamic(&date, &loc, &cfg));
        }
    }
    state.SetItemsProcessed(state.iterations() * 365);
}

void BM_VorAdToIslamic365Days(benchmark::State &state) { AdToIslamic365Days(state, true); }
BENCHMARK(BM_VorAdToIslamic365Days)->Unit(benchmark::kMillisecond);

void BM_VorAdToIslamic365DaysWarm(benchmark::State &state) { AdToIslamic365Days(state, false); }
BENCHMARK(BM_VorAdToIslamic365DaysWarm)->Unit(benchmark::kMicrosecond);

// The computation alone, without the process-wide table (each call works
// out its 2 to 3 month starts), as every call cost before the table.
void BM_VorAdToIslamic365DaysUncached(benchmark::State &state) {
    SetSharedMonthStartsEnabled(false);
    AdToIslamic365Days(state, false);
    SetSharedMonthStartsEnabled(true);
}
BENCHMARK(BM_VorAdToIslamic365DaysUncached)->Unit(benchmark::kMillisecond);

void BM_VorIslamicToAd(benchmark::State &state) {
    VorLocation loc = Makkah();
    VorConfig cfg = Settings();
    int day = 0;
    for (auto _ : state) {
        VorDate date{};
        date.hijriYear = 1445;
        date.hijriMonth = static_cast<uint8_t>(1 + day % 12);
        date.hijriDay = 1 + day % 29;
        benchmark::DoNotOptimize(VorIslamicToAd(&date, &loc, &cfg));
        ++day;
    }
}
BENCHMARK(BM_VorIslamicToAd)->Unit(benchmark::kMicrosecond);

void BM_VorQiblaInfo(benchmark::State &state) {
    VorLocation loc = Place("London", 51.5, -0.1, 0, 0.0f);
    VorDate date = Civil(2024, 3, 11);
    double direction = 0, distance = 0, declination = 0;
    for (auto _ : state) {
        VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
        benchmark::DoNotOptimize(declination);
    }
}
BENCHMARK(BM_VorQiblaInfo);

}  // namespace
