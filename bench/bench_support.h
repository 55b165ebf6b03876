// Places and settings shared by the benchmarks.
#pragma once

#include <cstring>

#include "vorlin.h"

namespace vorlin::bench {

inline VorLocation Place(const char *name, double lat, double lon, int height, float zone) {
    VorLocation l{};
    std::strncpy(l.name, name, sizeof l.name - 1);
    l.latitude = lat;
    l.longitude = lon;
    l.height = height;
    l.timeZone = zone;
    return l;
}

inline VorLocation Makkah() { return Place("Makkah", 21.4225, 39.8262, 300, 3.0f); }

inline VorConfig Settings(unsigned flags = 0, int rule = 0, int distanceKm = 0) {
    VorConfig c{};
    c.imsakAngle = -19.0f;
    c.fajrAngle = -18.0f;
    c.ishaAngle = -17.0f;
    c.fiqh = 1;
    c.distanceKm = distanceKm;
    c.temperature = 10;
    c.toleranceSeconds = 1;
    c.crescentThreshold = 20.0f;
    c.highLatitudeRule = rule;
    c.scheduleFlags = flags;
    c.fajrIshaMinutes = 90;
    return c;
}

inline VorDate Civil(int y, int m, double d) {
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    return date;
}

}  // namespace vorlin::bench
