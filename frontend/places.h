// The gazetteer of the front ends: 118,841 populated places of GeoNames
// (data/README.md) with their coordinates, elevation, IANA zone and
// population, found by name in any case, with or without diacritics, by
// alternate names (Latin and Arabic script), and qualified by region or
// country ("Birmingham, Alabama", "San Jose, CR").  The data are embedded
// in the program as a generated image and read in place: nothing is parsed
// or allocated at start, a lookup is a binary search.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin::frontend {

// The attribution the place data ask for, shown with the credits.
inline constexpr const char *PlaceDataCredit =
    "Place data: GeoNames, geonames.org (CC BY 4.0), selected and reformatted.";

struct Place {
    std::string name;         // GeoNames' name (UTF-8)
    std::string admin1;       // first-level division ("" unknown)
    std::string countryCode;  // ISO 3166-1 alpha-2
    std::string countryName;
    std::string zone;         // IANA time zone name
    double latitude = 0;      // degrees, north positive
    double longitude = 0;     // degrees, east positive
    bool elevationKnown = false;
    int elevation = 0;        // metres above sea level
    long long population = 0;
    long long geonameid = 0;

    // "Birmingham, Alabama, US"
    std::string Label() const;
};

// How many places the gazetteer holds (0 until an image is given, in a
// build that takes it at run time).
std::size_t PlaceCount();

#ifdef VORLIN_PLACES_RUNTIME_IMAGE
// A build that does not embed the image (the WebAssembly one, whose data
// file is loaded on demand) is given it here: the bytes of places.bin,
// which must stay in place while places are looked up.  Returns the number
// of places, or 0 (and keeps the image it had) for bytes that are not a
// whole, consistent image.  Not to be called while another thread looks up.
std::size_t UsePlacesImage(const void *bytes, std::size_t size);
#endif

// The places a query names: "Name", "Name, Region", "Name, Country" or
// "Name, Region, Country" (a country by its code, its name or a common
// short name), most populous first, at most limit of them.
std::vector<Place> FindPlaces(std::string_view query, std::size_t limit);

// How many places the query names (FindPlaces without a limit).
std::size_t CountPlaces(std::string_view query);

// The places whose name begins with the query's name (qualifiers as in
// FindPlaces), most populous first.
std::vector<Place> PlacesStartingWith(std::string_view query, std::size_t limit);

// The most populous places of a country given by its code, its name or a
// common short name ("NO", "Norway"); none when query names no country.
std::vector<Place> LargestPlacesOf(std::string_view country, std::size_t limit);

// Places with a name close to the query's (one or two letters off), the
// closest and then the most populous first: for "did you mean".
std::vector<Place> NearPlaces(std::string_view query, std::size_t limit);

// The place nearest to a point, and its distance (great circle, km).
struct NearestPlace {
    Place place;
    double distanceKm = 0;
};
NearestPlace FindNearestPlace(double latitude, double longitude);

// A name as the index keeps it: letters and digits only, lower case, Latin
// letters without their diacritics ("Tromsø" -> "tromso", "St. John's" ->
// "stjohns"), Arabic without its vowel signs.
std::string FoldName(std::string_view text);

}  // namespace vorlin::frontend
