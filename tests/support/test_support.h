// Builders and helpers shared by the test programs: dates, places and
// settings as the tests give them, the texts every report starts with, and
// the splitting of a report into lines.  Tests differ in details (names,
// threshold, high-latitude minutes); those stay parameters of the call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "prayer/sun_events.h"
#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin::testing_support {

// ---------------------------------------------------------------- dates

// A civil date (the other fields zero).
inline VorDate Civil(int year, int month, double day) {
    VorDate date{};
    date.year = year;
    date.month = static_cast<uint8_t>(month);
    date.day = day;
    return date;
}

// A Hijri date (the civil fields zero); hijriValid as given.
inline VorDate Hijri(int year, int month, double day, int hijriValid = 0) {
    VorDate date{};
    date.hijriYear = year;
    date.hijriMonth = static_cast<uint8_t>(month);
    date.hijriDay = day;
    date.hijriValid = hijriValid;
    return date;
}

// --------------------------------------------------------------- places

// A place as a host holds it: degrees (an export converts them).
inline VorLocation PlaceInDegrees(double latitudeDeg, double longitudeDeg, int heightMetres,
                                  float zoneHours, const char *name = "") {
    VorLocation loc{};
    std::snprintf(loc.name, sizeof loc.name, "%s", name);
    loc.latitude = latitudeDeg;
    loc.longitude = longitudeDeg;
    loc.height = heightMetres;
    loc.timeZone = zoneHours;
    return loc;
}

// A place given in degrees, stored in radians as inside a library call.
inline VorLocation PlaceInRadians(double latitudeDeg, double longitudeDeg, int heightMetres,
                                  float zoneHours, const char *name = "") {
    VorLocation loc = PlaceInDegrees(latitudeDeg, longitudeDeg, heightMetres, zoneHours, name);
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    return loc;
}

// Makkah (21.4225 N, 39.8262 E, 300 m, zone +3) in radians or in degrees.
inline VorLocation MakkahInRadians(const char *name = "Makkah") {
    return PlaceInRadians(21.4225, 39.8262, 300, 3.0f, name);
}
inline VorLocation MakkahInDegrees(const char *name = "Makkah") {
    return PlaceInDegrees(21.4225, 39.8262, 300, 3.0f, name);
}

// The daily prayer-time tests' place: named "Test", zone before height.
inline VorLocation PrayerPlace(double latitudeDeg, double longitudeDeg, float zoneHours,
                               int heightMetres = 0) {
    return PlaceInRadians(latitudeDeg, longitudeDeg, heightMetres, zoneHours, "Test");
}

// ------------------------------------------------------------- settings

// Angles Imsak -20, Fajr -18, Isha'a -17 degrees, Shafi'i, no area, no rule,
// 10 degrees Celsius at the height's pressure, one-second tolerance.
inline VorConfig DayPrayerSettings() {
    VorConfig cfg{};
    cfg.imsakAngle = -20.0f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = 1;
    cfg.temperature = 10;
    cfg.toleranceSeconds = 1;
    return cfg;
}

// What the Sun and Moon computations read: one-second tolerance, 10 degrees
// Celsius, the height's pressure, and the crescent threshold (degrees).
inline VorConfig ObservingSettings(float crescentThreshold) {
    VorConfig cfg{};
    cfg.toleranceSeconds = 1;
    cfg.temperature = 10;
    cfg.pressure = 0;
    cfg.crescentThreshold = crescentThreshold;
    return cfg;
}

// The report tests' settings: Imsak -19, Fajr -18, Isha'a -17 degrees,
// 10 degrees Celsius, one-second tolerance, crescent threshold 20 degrees,
// and the given flags, school, precision and minutes of the high-latitude
// Fajr/Isha'a rule.
inline VorConfig ReportSettings(unsigned scheduleFlags, int fiqh = 1, int precision = 0,
                                int fajrIshaMinutes = 90) {
    VorConfig cfg{};
    cfg.imsakAngle = -19.0f;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.fiqh = fiqh;
    cfg.precision = precision;
    cfg.temperature = 10;
    cfg.toleranceSeconds = 1;
    cfg.crescentThreshold = 20.0f;
    cfg.fajrIshaMinutes = fajrIshaMinutes;
    cfg.scheduleFlags = scheduleFlags;
    return cfg;
}

// The Sun's events of the day over the configured area (no rule applied).
inline SunEventTable AreaEvents(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    SunEventTable table;
    ComputeAreaSunEvents(date, loc, cfg, table);
    return table;
}

// ---------------------------------------------------------- time values

inline double ToSeconds(double radiansOfDay) { return radiansOfDay * RadToTimeSeconds; }
inline double ToMinutes(double radiansOfDay) { return radiansOfDay * RadToTimeMinutes; }
inline double ToHours(double radiansOfDay) { return radiansOfDay * RadToHour; }

// Bitwise equality of two records of doubles (markers and times alike).
template <typename T>
bool SameBits(const T &a, const T &b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// --------------------------------------------------------- report texts

inline const std::string Separator(80, '=');

inline const char *const Months[13] = {"",        "January",  "February", "March",    "April",
                                       "May",     "June",     "July",     "August",   "September",
                                       "October", "November", "December"};
inline const char *const Weekdays[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                        "Friday", "Saturday", "Sunday"};
inline const char *const ShortWeekdays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
inline const char *const HijriMonths[13] = {"",          "Muharram", "Safar",     "Rabi'I",
                                            "Rabi'II",   "Jumada I", "Jumada II", "Rajab",
                                            "Sha'ban",   "Ramadan",  "Shawwal",   "Thu Al-Qa'da",
                                            "Thu Al-Hijja"};

// A report worker: writes the whole report for the date, place and settings.
using ReportWorker = void (*)(const VorDate &, VorLocation &, const VorConfig &, TextWriter &);

// The text a report worker writes into a 1 MiB buffer (checked: it fits,
// and the writer's length is the text's).
inline std::string ReportText(ReportWorker write, const VorDate &date, VorLocation loc,
                              const VorConfig &cfg) {
    std::vector<char> buffer(1 << 20);
    TextWriter writer(buffer.data(), buffer.size());
    write(date, loc, cfg, writer);
    EXPECT_LT(writer.Length(), buffer.size());
    EXPECT_EQ(std::strlen(buffer.data()), writer.Length());
    return std::string(buffer.data(), writer.Length());
}

// The lines of a text that ends with "\n" (checked), without their ends.
inline std::vector<std::string> Lines(const std::string &text) {
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find('\n', begin);
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// Checks the banner every report begins with (an empty line, the title,
// a separator); false when there are not even three lines.
inline bool ExpectBanner(const std::vector<std::string> &lines) {
    EXPECT_GE(lines.size(), 3u);
    if (lines.size() < 3) return false;
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "\t\tVorlin Times\t  Version 2.8, February, 2002");
    EXPECT_EQ(lines[2], Separator);
    return true;
}

}  // namespace vorlin::testing_support
