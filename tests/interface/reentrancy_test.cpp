// Separate records on separate threads: year schedules, moon reports,
// conversions and qibla queries run concurrently and each result equals,
// byte for byte, the one computed on a single thread.  The library keeps
// no mutable state between calls; ThreadSanitizer (preset "tsan") checks
// that nothing is shared while these run.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "vorlin.h"

namespace {

struct Work {
    VorLocation location;
    VorConfig config;
    VorDate date;
};

// Everything one thread computes, as text.
std::string RunAll(const Work &w) {
    std::string out;
    VorDate date = w.date;
    VorLocation loc = w.location;
    VorConfig cfg = w.config;
    const int32_t n = VorCalculateN(&date, &loc, &cfg, nullptr, 0);
    std::vector<char> text(static_cast<std::size_t>(n) + 1);
    VorCalculateN(&date, &loc, &cfg, text.data(), n + 1);
    out += text.data();

    VorConfig month = w.config;
    month.scheduleFlags = VOR_SPAN_MONTH;
    std::vector<char> moon(1 << 16);
    VorMoonInfo(&date, &loc, &month, moon.data());
    out += moon.data();

    char line[160];
    for (int day = 1; day <= 28; day += 3) {
        VorDate d{};
        d.year = w.date.year;
        d.month = w.date.month;
        d.day = day;
        const int r = VorAdToIslamic(&d, &loc, &cfg);
        std::snprintf(line, sizeof line, "%d %d-%d-%.17g|", r, d.hijriYear, d.hijriMonth, d.hijriDay);
        out += line;
        const int back = VorIslamicToAd(&d, &loc, &cfg);
        std::snprintf(line, sizeof line, "%d %d-%d-%.17g|", back, d.year, d.month, d.day);
        out += line;
    }
    // A month of the structured times by a method with Ramadan's Isha'a
    // (its Hijri check runs too), every bit of every day.
    VorTimesSettings settings{};
    settings.size = sizeof settings;
    VorMethodSettings("UmmAlQura", &settings);
    std::vector<VorDayTimes> days(31);
    days[0].size = sizeof(VorDayTimes);
    const int32_t written = VorTimesOfRange(&date, 31, &loc, &settings, days.data());
    out.append(reinterpret_cast<const char *>(days.data()),
               sizeof(VorDayTimes) * static_cast<std::size_t>(written));

    double direction = 0.0, distance = 0.0, declination = 0.0;
    VorQiblaInfo(&loc, &date, &direction, &distance, &declination);
    std::snprintf(line, sizeof line, "%.17g %.17g %.17g", direction, distance, declination);
    out += line;
    return out;
}

Work Place(const char *name, double lat, double lon, float zone, int year, int month,
           unsigned flags) {
    Work w{};
    std::strcpy(w.location.name, name);
    w.location.latitude = lat;
    w.location.longitude = lon;
    w.location.timeZone = zone;
    w.config.imsakAngle = -19.0f;
    w.config.fajrAngle = -18.0f;
    w.config.ishaAngle = -17.0f;
    w.config.fiqh = 1;
    w.config.temperature = 10;
    w.config.toleranceSeconds = 1;
    w.config.crescentThreshold = 20.0f;
    w.config.fajrIshaMinutes = 90;
    w.config.highLatitudeRule = 5;
    w.config.scheduleFlags = flags;
    w.date.year = year;
    w.date.month = static_cast<uint8_t>(month);
    w.date.day = 1.0;
    return w;
}

TEST(Reentrancy, ConcurrentCallsEqualSingleThreadedResults) {
    const std::vector<Work> work = {
        Place("Makkah", 21.4225, 39.8262, 3.0f, 2024, 3, VOR_SPAN_YEAR),
        Place("London", 51.5, -0.1, 0.0f, 2023, 6, VOR_SPAN_YEAR | VOR_HIJRI_MONTHS),
        Place("Jakarta", -6.2, 106.8, 7.0f, 2025, 1, VOR_SPAN_MONTH),
        Place("Reykjavik", 64.1, -21.9, 0.0f, 2024, 12, VOR_SPAN_MONTH),
    };
    std::vector<std::string> expected;
    for (const Work &w : work) expected.push_back(RunAll(w));

    // Two threads per piece of work, all at once.
    std::vector<std::string> results(2 * work.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = RunAll(work[i % work.size()]); });
    }
    for (std::thread &t : threads) t.join();
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i], expected[i % work.size()]) << "thread " << i;
    }
    for (const std::string &e : expected) EXPECT_GT(e.size(), 3000u);
}

}  // namespace
