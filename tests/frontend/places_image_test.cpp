// The gazetteer built to take its image at run time (as the WebAssembly
// package does): the real image is taken whole, and damaged copies are
// either refused or, where a change leaves the tables consistent, answer
// lookups without reading outside the image (the sanitizer builds check).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "places.h"
#include "places_c.h"

#ifndef VORLIN_PLACES_IMAGE_FILE
#error "VORLIN_PLACES_IMAGE_FILE names the image"
#endif

namespace {

using namespace vorlin::frontend;

std::vector<unsigned char> ImageBytes() {
    std::ifstream in(VORLIN_PLACES_IMAGE_FILE, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32At(const std::vector<unsigned char> &b, std::size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void PutU32(std::vector<unsigned char> &b, std::size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

class RuntimeImage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { good = new std::vector<unsigned char>(ImageBytes()); }
    static void TearDownTestSuite() {
        delete good;
        good = nullptr;
    }
    static std::vector<unsigned char> *good;
};
std::vector<unsigned char> *RuntimeImage::good = nullptr;

TEST_F(RuntimeImage, NothingBeforeAnImageThenTheWholeGazetteer) {
    ASSERT_GT(good->size(), 1000000u);
    VorPlace out[3] = {};
    out[0].size = sizeof(VorPlace);
    // Whatever ran before, an empty or foreign buffer is refused.
    EXPECT_EQ(VorUsePlacesImage(nullptr, 10), -1);
    EXPECT_EQ(VorUsePlacesImage(good->data(), -1), -1);
    EXPECT_EQ(VorUsePlacesImage("VPLC", 4), 0);
    const uint32_t count = U32At(*good, 8);
    ASSERT_EQ(VorUsePlacesImage(good->data(), static_cast<int32_t>(good->size())), static_cast<int32_t>(count));
    EXPECT_EQ(PlaceCount(), count);
    ASSERT_EQ(VorFindPlaces("Birmingham", out, 3), 3);
    EXPECT_STREQ(out[0].countryCode, "GB");
    EXPECT_STREQ(out[1].zone, "America/Chicago");
    EXPECT_EQ(FoldName("Tromsø"), "tromso");
}

// Each kind of damage the load must refuse, the image before kept.
TEST_F(RuntimeImage, DamagedImagesAreRefusedAndTheImageBeforeKept) {
    ASSERT_GT(VorUsePlacesImage(good->data(), static_cast<int32_t>(good->size())), 0);
    const uint32_t placesAt = U32At(*good, 32), keysAt = U32At(*good, 36), stringsAt = U32At(*good, 56);
    struct Damage {
        const char *what;
        void (*apply)(std::vector<unsigned char> &, uint32_t, uint32_t, uint32_t);
    };
    const Damage damages[] = {
        {"the last byte not a NUL", [](auto &b, uint32_t, uint32_t, uint32_t) { b.back() = 'x'; }},
        {"cut short", [](auto &b, uint32_t, uint32_t, uint32_t) { b.resize(b.size() - 4096); b.back() = 0; }},
        {"another version", [](auto &b, uint32_t, uint32_t, uint32_t) { PutU32(b, 4, 2); }},
        {"more places than the table holds",
         [](auto &b, uint32_t, uint32_t, uint32_t) { PutU32(b, 8, U32At(b, 8) + 1); }},
        {"the keys' table moved", [](auto &b, uint32_t, uint32_t k, uint32_t) { PutU32(b, 36, k + 8); }},
        {"the strings past the end",
         [](auto &b, uint32_t, uint32_t, uint32_t) { PutU32(b, 56, static_cast<uint32_t>(b.size() + 8)); }},
        {"a place's name past the strings",
         [](auto &b, uint32_t p, uint32_t, uint32_t s) { PutU32(b, p + 12, static_cast<uint32_t>(b.size()) - s); }},
        {"a place's country out of range",
         [](auto &b, uint32_t p, uint32_t, uint32_t) { b[p + 18] = 0xFF; b[p + 19] = 0xFF; }},
        {"a key's place out of range", [](auto &b, uint32_t, uint32_t k, uint32_t) { PutU32(b, k + 4, 0xFFFFFFF0u); }},
    };
    for (const Damage &damage : damages) {
        std::vector<unsigned char> bad = *good;
        damage.apply(bad, placesAt, keysAt, stringsAt);
        EXPECT_EQ(VorUsePlacesImage(bad.data(), static_cast<int32_t>(bad.size())), 0) << damage.what;
        EXPECT_EQ(FindPlaces("London", 1).size(), 1u) << "the image before is kept after " << damage.what;
    }
}

// Random damage to the record tables: every copy is refused, or answers
// lookups by reading only inside it.
TEST_F(RuntimeImage, RandomDamageIsRefusedOrHarmless) {
    std::mt19937 random(20261208);
    const uint32_t stringsAt = U32At(*good, 56);
    std::uniform_int_distribution<uint32_t> where(8, stringsAt - 4);
    int refused = 0, taken = 0;
    for (int i = 0; i < 40; ++i) {
        std::vector<unsigned char> bad = *good;
        for (int k = 0; k < 4; ++k) PutU32(bad, where(random), static_cast<uint32_t>(random()));
        if (VorUsePlacesImage(bad.data(), static_cast<int32_t>(bad.size())) == 0) {
            ++refused;
            continue;
        }
        ++taken;
        for (const char *query : {"London", "Makkah", "San Jose, CR", "Tromsø", "xq"}) {
            for (const Place &p : FindPlaces(query, 5)) EXPECT_LT(p.name.size(), 4096u);
            for (const Place &p : NearPlaces(query, 3)) EXPECT_LT(p.name.size(), 4096u);
        }
        (void)FindNearestPlace(51.5, -0.1);
    }
    EXPECT_EQ(refused + taken, 40);
    EXPECT_GT(refused, 0) << "some of the damage falls on offsets and indexes the load checks";
    // Back to the real image.
    ASSERT_GT(VorUsePlacesImage(good->data(), static_cast<int32_t>(good->size())), 0);
}

}  // namespace
