// Loads the built shared library the way a separately built host does and
// calls the exports through plain pointers on records laid out by byte
// offset, without the project's own header.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

using IsValidDateFn = int (*)(void *date, int hijri);
using ReportNFn = int32_t (*)(void *date, void *location, void *config, char *text,
                              int32_t capacity);

class SharedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = dlopen(VORLIN_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle_ != nullptr) dlclose(handle_);
    }
    void *Symbol(const char *name) { return dlsym(handle_, name); }
    void *handle_ = nullptr;
};

TEST_F(SharedLibrary, ExportsAllEightByPlainName) {
    for (const char *name : {"VorisValidDate", "VorAdToIslamic", "VorIslamicToAd", "VorCalculate",
                             "VorMoonInfo", "VorQiblaInfo", "VorCalculateN", "VorMoonInfoN"}) {
        EXPECT_NE(Symbol(name), nullptr) << name;
    }
    EXPECT_EQ(Symbol("_ZN6vorlin15DateToJulianDayERK7VorDate"), nullptr);
}

// A 40-byte date record filled by offset: year at 0, month at 8, day at 16,
// hijriYear at 4, hijriMonth at 9, hijriDay at 24.
struct RawDate {
    alignas(8) unsigned char bytes[40];
    void Civil(int32_t year, uint8_t month, double day) {
        std::memset(bytes, 0, sizeof bytes);
        std::memcpy(bytes + 0, &year, 4);
        bytes[8] = month;
        std::memcpy(bytes + 16, &day, 8);
    }
    void Hijri(int32_t year, uint8_t month, double day) {
        std::memset(bytes, 0, sizeof bytes);
        std::memcpy(bytes + 4, &year, 4);
        bytes[9] = month;
        std::memcpy(bytes + 24, &day, 8);
    }
};

TEST_F(SharedLibrary, IsValidDateThroughPointerOnRawRecord) {
    auto fn = reinterpret_cast<IsValidDateFn>(Symbol("VorisValidDate"));
    ASSERT_NE(fn, nullptr);
    RawDate d;
    d.Civil(1582, 10, 10.0);
    EXPECT_EQ(fn(d.bytes, 0), 0);
    d.Civil(1582, 10, 15.0);
    EXPECT_EQ(fn(d.bytes, 0), 1);
    d.Civil(2000, 2, 29.0);
    EXPECT_EQ(fn(d.bytes, 0), 1);
    unsigned char before[40];
    std::memcpy(before, d.bytes, 40);
    d.Hijri(1445, 9, 30.0);
    EXPECT_EQ(fn(d.bytes, 1), 1);
    d.Hijri(1445, 13, 1.0);
    EXPECT_EQ(fn(d.bytes, 1), 0);
    d.Civil(2000, 2, 29.0);
    fn(d.bytes, 0);
    EXPECT_EQ(std::memcmp(before, d.bytes, 40), 0) << "VorisValidDate changed its record";
}

// The capacity export through a plain pointer on raw records: the sizing
// call and a small buffer give the same length and a terminated prefix.
TEST_F(SharedLibrary, CapacityExportThroughPointerOnRawRecords) {
    for (const char *name : {"VorCalculateN", "VorMoonInfoN"}) {
        auto fn = reinterpret_cast<ReportNFn>(Symbol(name));
        ASSERT_NE(fn, nullptr) << name;
        RawDate d;
        d.Civil(2024, 3, 11.0);
        alignas(8) unsigned char location[80] = {};
        std::memcpy(location, "Makkah", 7);
        const double lat = 21.4225, lon = 39.8262;
        const float zone = 3.0f;
        std::memcpy(location + 48, &lat, 8);
        std::memcpy(location + 56, &lon, 8);
        std::memcpy(location + 68, &zone, 4);
        alignas(8) unsigned char config[68] = {};
        const float angles[3] = {-19.0f, -18.0f, -17.0f};
        std::memcpy(config, angles, 12);
        const int32_t one = 1;
        std::memcpy(config + 44, &one, 4);  // toleranceSeconds
        const int32_t need = fn(d.bytes, location, config, nullptr, 0);
        EXPECT_GT(need, 500) << name;
        char small[16];
        std::memset(small, 'x', sizeof small);
        EXPECT_EQ(fn(d.bytes, location, config, small, 8), need) << name;
        EXPECT_EQ(small[7], '\0');
        EXPECT_EQ(small[8], 'x');
    }
}

}  // namespace
