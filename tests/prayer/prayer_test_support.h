// Places, dates and settings common to the prayer-time tests.
#pragma once

#include <cstring>

#include "astro/constants.h"
#include "vorlin.h"

namespace vorlin::testing_support {

inline VorDate Civil(int year, int month, int day) {
    VorDate d{};
    d.year = year;
    d.month = static_cast<uint8_t>(month);
    d.day = day;
    return d;
}

// A place given in degrees, stored in radians as inside a library call.
inline VorLocation Place(double latitudeDeg, double longitudeDeg, float timeZone,
                         int heightMetres = 0) {
    VorLocation loc{};
    std::strcpy(loc.name, "Test");
    loc.latitude = latitudeDeg * DegToRad;
    loc.longitude = longitudeDeg * DegToRad;
    loc.height = heightMetres;
    loc.timeZone = timeZone;
    return loc;
}

// Angles Imsak -20, Fajr -18, Isha'a -17 degrees, Shafi'i, no area, no rule,
// 10 degrees Celsius at the height's pressure, one-second tolerance.
inline VorConfig Settings() {
    VorConfig cfg{};
    cfg.imsakAngle = -20.0f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = 1;
    cfg.temperature = 10;
    cfg.toleranceSeconds = 1;
    return cfg;
}

inline double ToSeconds(double radiansOfDay) { return radiansOfDay * RadToTimeSeconds; }
inline double ToMinutes(double radiansOfDay) { return radiansOfDay * RadToTimeMinutes; }
inline double ToHours(double radiansOfDay) { return radiansOfDay * RadToHour; }

// Bitwise equality of two records of doubles (markers and times alike).
template <typename T>
bool SameBits(const T &a, const T &b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace vorlin::testing_support
