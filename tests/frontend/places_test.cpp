// The gazetteer: names found as people type them, qualified by region and
// country, the most populous first; near matches; the nearest place.  The
// reference rows are GeoNames' (frontend/data/places.tsv.xz).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "places.h"

namespace vorlin::frontend {
namespace {

TEST(Gazetteer, HoldsEveryPlace) { EXPECT_EQ(PlaceCount(), 118841u); }

// The fold is the generator's (tools/gen_places.py checks the same pairs).
struct FoldCase {
    const char *text, *folded;
};
class Fold : public ::testing::TestWithParam<FoldCase> {};
TEST_P(Fold, AsTheIndexKeepsNames) { EXPECT_EQ(FoldName(GetParam().text), GetParam().folded); }
INSTANTIATE_TEST_SUITE_P(Names, Fold,
                         ::testing::Values(FoldCase{"Tromsø", "tromso"}, FoldCase{"São Paulo", "saopaulo"},
                                           FoldCase{"St. John's", "stjohns"}, FoldCase{"Hawaiʻi", "hawaii"},
                                           FoldCase{"Bakı", "baki"}, FoldCase{"Gəncə", "gence"},
                                           FoldCase{"مكّة", "مكة"}, FoldCase{"إسطنبول", "اسطنبول"},
                                           FoldCase{"ÆRØ", "aero"},
                                           FoldCase{"Tromso\xcc\x88", "tromso"},  // a combining mark
                                           FoldCase{"bad\xff\xfe utf8", "badutf8"}));

// A query and the place it must find first.
struct LookupCase {
    const char *name;
    const char *query;
    const char *placeName, *admin1, *country, *zone;
    double latitude, longitude;
};
class Lookup : public ::testing::TestWithParam<LookupCase> {};
TEST_P(Lookup, FindsThePlace) {
    const LookupCase &c = GetParam();
    const std::vector<Place> found = FindPlaces(c.query, 5);
    ASSERT_FALSE(found.empty()) << c.query;
    EXPECT_EQ(found[0].name, c.placeName);
    EXPECT_EQ(found[0].admin1, c.admin1);
    EXPECT_EQ(found[0].countryCode, c.country);
    EXPECT_EQ(found[0].zone, c.zone);
    EXPECT_NEAR(found[0].latitude, c.latitude, 0.01);
    EXPECT_NEAR(found[0].longitude, c.longitude, 0.01);
    for (std::size_t i = 1; i < found.size(); ++i) EXPECT_LE(found[i].population, found[i - 1].population);
}
INSTANTIATE_TEST_SUITE_P(
    Queries, Lookup,
    ::testing::Values(
        LookupCase{"AnyCase", "LONDON", "London", "England", "GB", "Europe/London", 51.5085, -0.1257},
        LookupCase{"WithoutDiacritics", "tromso", "Tromsø", "Troms og Finnmark", "NO", "Europe/Oslo", 69.6489, 18.9551},
        LookupCase{"AlternateName", "Mecca", "Mecca", "Mecca Region", "SA", "Asia/Riyadh", 21.4266, 39.8256},
        LookupCase{"OtherSpelling", "Makkah", "Mecca", "Mecca Region", "SA", "Asia/Riyadh", 21.4266, 39.8256},
        LookupCase{"ArabicScript", "مكة", "Mecca", "Mecca Region", "SA", "Asia/Riyadh", 21.4266, 39.8256},
        LookupCase{"CountryCode", "Birmingham, GB", "Birmingham", "England", "GB", "Europe/London", 52.4814, -1.8998},
        LookupCase{"Region", "Birmingham, Alabama", "Birmingham", "Alabama", "US", "America/Chicago", 33.5207, -86.8025},
        LookupCase{"CountryName", "San Jose, Costa Rica", "San José", "San José", "CR", "America/Costa_Rica", 9.9333, -84.0833},
        LookupCase{"RegionAndCountry", "San Jose, California, US", "San Jose", "California", "US", "America/Los_Angeles", 37.3394, -121.8950},
        LookupCase{"ShortCountryName", "Tabriz, Iran", "Tabriz", "East Azerbaijan", "IR", "Asia/Tehran", 38.0800, 46.2919},
        LookupCase{"CommonCountryName", "Manchester, UK", "Manchester", "England", "GB", "Europe/London", 53.4809, -2.2374},
        LookupCase{"Leicester", "Leicester", "Leicester", "England", "GB", "Europe/London", 52.6386, -1.1317},
        LookupCase{"Baku", "Baku", "Baku", "Baki", "AZ", "Asia/Baku", 40.3777, 49.8920},
        LookupCase{"Kolkata", "kolkata", "Kolkata", "West Bengal", "IN", "Asia/Kolkata", 22.5626, 88.3630},
        LookupCase{"Surabaya", "Surabaya", "Surabaya", "East Java", "ID", "Asia/Jakarta", -7.2492, 112.7508}),
    [](const ::testing::TestParamInfo<LookupCase> &info) { return std::string(info.param.name); });

TEST(Gazetteer, AnAmbiguousNameCountsEveryMatch) {
    EXPECT_GE(CountPlaces("Birmingham"), 3u);
    EXPECT_EQ(CountPlaces("Birmingham, Alabama"), 1u);
    EXPECT_EQ(CountPlaces("Birmingham, Atlantis"), 0u);
    EXPECT_EQ(CountPlaces(""), 0u);
}

TEST(Gazetteer, NearMatchesOfAMisspelling) {
    const std::vector<Place> near = NearPlaces("Lodnon", 10);
    bool london = false;
    for (const Place &p : near) london = london || (p.name == "London" && p.countryCode == "GB");
    EXPECT_TRUE(london);
    EXPECT_TRUE(NearPlaces("Qqqqqqqqqqqqq", 5).empty());
}

TEST(Gazetteer, NamesBeginningSoAndACountrysLargest) {
    // Chattogram was once called Islamabad: both begin so, the larger first.
    const std::vector<Place> prefix = PlacesStartingWith("Islamab", 5);
    bool islamabad = false;
    for (const Place &p : prefix) islamabad = islamabad || (p.name == "Islamabad" && p.countryCode == "PK");
    EXPECT_TRUE(islamabad);
    for (std::size_t i = 1; i < prefix.size(); ++i) EXPECT_LE(prefix[i].population, prefix[i - 1].population);
    const std::vector<Place> norway = LargestPlacesOf("norway", 3);
    ASSERT_EQ(norway.size(), 3u);
    EXPECT_EQ(norway[0].name, "Oslo");
    EXPECT_TRUE(LargestPlacesOf("Atlantis", 3).empty());
}

TEST(Gazetteer, NearestPlaceAndItsDistance) {
    // 1 km from Birmingham's centre; the middle of the Atlantic is far from any.
    const NearestPlace b = FindNearestPlace(52.4862, -1.8904);
    EXPECT_EQ(b.place.zone, "Europe/London");
    EXPECT_LT(b.distanceKm, 5.0);
    EXPECT_GT(FindNearestPlace(30.0, -40.0).distanceKm, 100.0);
    // A place found by name is its own nearest place, at distance 0.
    const Place kathmandu = FindPlaces("Kathmandu", 1).at(0);
    const NearestPlace k = FindNearestPlace(kathmandu.latitude, kathmandu.longitude);
    EXPECT_EQ(k.place.geonameid, kathmandu.geonameid);
    EXPECT_NEAR(k.distanceKm, 0.0, 1e-6);
}

TEST(Gazetteer, EveryHundredthPlaceIsFoundUnderItsNameAndCountry) {
    std::size_t checked = 0;
    for (double lat = -60; lat <= 70; lat += 10) {
        for (double lon = -180; lon < 180; lon += 15) {
            const NearestPlace n = FindNearestPlace(lat, lon);
            if (n.distanceKm > 500) continue;
            const std::vector<Place> found = FindPlaces(n.place.name + ", " + n.place.countryCode, 1000);
            bool present = false;
            for (const Place &p : found) present = present || p.geonameid == n.place.geonameid;
            EXPECT_TRUE(present) << n.place.Label();
            ++checked;
        }
    }
    EXPECT_GT(checked, 100u);
}

}  // namespace
}  // namespace vorlin::frontend
