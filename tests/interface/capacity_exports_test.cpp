// VorCalculateN and VorMoonInfoN: capacities 0, 1, one less than needed,
// exactly needed, and large; negative capacities; the text is always the
// prefix of the report the legacy export writes, NUL-terminated, and no
// byte past the capacity is written.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "vorlin.h"

namespace {

using CapacityExport = int32_t (*)(VorDate *, VorLocation *, VorConfig *, char *, int32_t);
using LegacyExport = void (*)(VorDate *, VorLocation *, VorConfig *, char *);

VorLocation London() {
    VorLocation loc{};
    std::strcpy(loc.name, "London");
    loc.latitude = 51.5;
    loc.longitude = -0.1;
    loc.height = 20;
    loc.summerStart = 834;
    loc.summerEnd = 2626;
    return loc;
}

VorConfig Settings(unsigned flags) { return vorlin::testing_support::ReportSettings(flags); }

VorDate March2024() {
    VorDate d{};
    d.year = 2024;
    d.month = 3;
    d.day = 11.0;
    return d;
}

struct CapacityCase {
    const char *name;
    CapacityExport withCapacity;
    LegacyExport legacy;
    unsigned flags;
};

class CapacityExports : public ::testing::TestWithParam<CapacityCase> {
protected:
    // The legacy export's text, into a buffer that surely holds it.
    std::string Legacy() {
        VorDate date = March2024();
        VorLocation loc = London();
        VorConfig cfg = Settings(GetParam().flags);
        std::vector<char> buffer(1 << 17, '\0');
        GetParam().legacy(&date, &loc, &cfg, buffer.data());
        return std::string(buffer.data());
    }
    // Calls the capacity export into a buffer of capacity bytes plus a
    // guard zone; returns the result and the bytes up to the capacity.
    int32_t Call(int32_t capacity, std::vector<char> &buffer) {
        const std::size_t room = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
        buffer.assign(room + 64, '#');
        VorDate date = March2024();
        VorLocation loc = London();
        VorConfig cfg = Settings(GetParam().flags);
        const int32_t result = GetParam().withCapacity(&date, &loc, &cfg, buffer.data(), capacity);
        for (std::size_t i = room; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], '#') << "byte " << i << " written past capacity " << capacity;
        }
        return result;
    }
};

TEST_P(CapacityExports, PrefixOfTheReportForEveryCapacity) {
    const std::string full = Legacy();
    ASSERT_GT(full.size(), 500u);
    const int32_t n = static_cast<int32_t>(full.size());
    for (const int32_t capacity : {0, 1, 2, n - 1, n, n + 1, 1 << 16}) {
        std::vector<char> buffer;
        EXPECT_EQ(Call(capacity, buffer), n) << "capacity " << capacity;
        if (capacity == 0) {
            EXPECT_EQ(buffer[0], '#') << "a capacity of 0 writes nothing";
            continue;
        }
        const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(capacity) - 1, full.size());
        EXPECT_EQ(buffer[kept], '\0') << "capacity " << capacity;
        EXPECT_EQ(std::string(buffer.data(), kept), full.substr(0, kept)) << "capacity " << capacity;
    }
    // Exactly the needed length + 1 holds the whole report; one less loses
    // its last byte.
    std::vector<char> buffer;
    Call(n + 1, buffer);
    EXPECT_EQ(std::string(buffer.data()), full);
    Call(n, buffer);
    EXPECT_EQ(std::string(buffer.data()), full.substr(0, full.size() - 1));
}

// A negative capacity is a capacity of 0: nothing written, length returned.
TEST_P(CapacityExports, NegativeCapacityWritesNothing) {
    const int32_t n = static_cast<int32_t>(Legacy().size());
    for (const int32_t capacity : {-1, -100, -2147483647 - 1}) {
        std::vector<char> buffer;
        EXPECT_EQ(Call(capacity, buffer), n) << capacity;
        EXPECT_EQ(buffer[0], '#');
    }
}

// A null buffer with capacity 0 (the sizing call), and a null buffer with
// a capacity (treated as 0, nothing to write into).
TEST_P(CapacityExports, NullBufferIsASizingCall) {
    const int32_t n = static_cast<int32_t>(Legacy().size());
    for (const int32_t capacity : {0, 4096}) {
        VorDate date = March2024();
        VorLocation loc = London();
        VorConfig cfg = Settings(GetParam().flags);
        EXPECT_EQ(GetParam().withCapacity(&date, &loc, &cfg, nullptr, capacity), n);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reports, CapacityExports,
    ::testing::Values(CapacityCase{"schedule_day", VorCalculateN, VorCalculate, VOR_SPAN_DAY},
                      CapacityCase{"schedule_month", VorCalculateN, VorCalculate, VOR_SPAN_MONTH},
                      CapacityCase{"schedule_hijri_month", VorCalculateN, VorCalculate,
                                   VOR_SPAN_MONTH | VOR_HIJRI_MONTHS},
                      CapacityCase{"moon_day", VorMoonInfoN, VorMoonInfo, VOR_SPAN_DAY},
                      CapacityCase{"moon_month", VorMoonInfoN, VorMoonInfo, VOR_SPAN_MONTH}),
    [](const ::testing::TestParamInfo<CapacityCase> &info) { return std::string(info.param.name); });

}  // namespace

namespace {

// October 2024 at Makkah has a candidate second new moon (2 November) that
// falls in the next month: its block is not part of the report.  The legacy
// export, given a buffer of exactly the report's length + 1 followed by a
// guard, must not touch the guard while deciding that.
TEST(LegacyMoonReport, ExactBufferIsEnoughWhenASecondBlockIsRejected) {
    VorLocation loc = vorlin::testing_support::MakkahInDegrees();
    VorConfig cfg = Settings(VOR_SPAN_MONTH);
    VorDate date{};
    date.year = 2024;
    date.month = 10;
    date.day = 1.0;
    const int32_t needed = VorMoonInfoN(&date, &loc, &cfg, nullptr, 0);
    ASSERT_GT(needed, 2000);
    constexpr std::size_t Guard = 4096;
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1 + Guard, '\x5A');
    VorMoonInfo(&date, &loc, &cfg, buffer.data());
    EXPECT_EQ(std::strlen(buffer.data()), static_cast<std::size_t>(needed));
    for (std::size_t i = static_cast<std::size_t>(needed) + 1; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], '\x5A') << "byte " << i - static_cast<std::size_t>(needed) - 1
                                     << " past the report's NUL was written";
    }
}

}  // namespace
