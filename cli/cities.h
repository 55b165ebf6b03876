// The embedded table of places: major cities on every continent and in the
// high latitudes, with the coordinates, height, standard-time zone and
// summer-time rules that a VorLocation takes.
#pragma once

#include <string>

#include "vorlin.h"

namespace vorlin::cli {

// One place.  Summer-time rules in the library's encoding (month << 8 |
// day code; 0 = none), as of 2024.
struct City {
    const char *name;     // what --city takes (case, blanks and hyphens ignored)
    const char *alias;    // another accepted spelling, or ""
    const char *country;
    double latitude;      // degrees, north positive
    double longitude;     // degrees, east positive
    int height;           // metres above sea level
    float timeZone;       // standard time, hours east of Greenwich
    int summerStart;
    int summerEnd;
};

extern const City Cities[];
extern const int CityCount;

// The city called name (or by its alias), ignoring case, blanks, hyphens
// and other punctuation; null when there is none.
const City *FindCity(const std::string &name);

// Up to `most` names of cities close to name (edit distance of at most a
// third of its length, at least 2, or sharing its first letters), best first,
// joined by ", "; empty when none is close.
std::string NearCityNames(const std::string &name, int most);

// Copies the city's name, coordinates, height, zone and rules into location.
void ApplyCity(const City &city, VorLocation &location);

}  // namespace vorlin::cli
