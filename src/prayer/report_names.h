// The name tables of the reports: weekdays, ordinals, months, Hijri months,
// fiqh schools, precision and high-latitude rules.
//
// The indexes come from host records, so every accessor checks its range
// and gives "?" for an index outside its table.
#pragma once

namespace vorlin {

// Text printed for an index outside a table.
inline constexpr const char *UnknownName = "?";

// Weekdays, index 0..6 (0 = Monday), as the summer-time rules count them.
inline constexpr const char *WeekdayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                "Friday", "Saturday", "Sunday"};
// Occurrences of a weekday in a month, index 0..4.
inline constexpr const char *OrdinalNames[5] = {"First", "Second", "Third", "Fourth", "Last"};
// Short weekdays, index 1..7 (1 = Monday) as WeekdayOfJulianDay counts them.
inline constexpr const char *ShortWeekdayNames[8] = {"?",   "Mon", "Tue", "Wed",
                                                     "Thu", "Fri", "Sat", "Sun"};
// Civil months, index 1..12.
inline constexpr const char *MonthNames[13] = {
    "?",    "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};
// Hijri months, index 1..12.
inline constexpr const char *HijriMonthNames[13] = {
    "?",     "Muharram", "Safar",   "Rabi'I",  "Rabi'II",      "Jumada I",    "Jumada II",
    "Rajab", "Sha'ban",  "Ramadan", "Shawwal", "Thu Al-Qa'da", "Thu Al-Hijja"};
// Schools of jurisprudence (VorConfig.fiqh), index 0..4.
inline constexpr const char *FiqhNames[5] = {"Jafari", "Shafi'i", "Hanafi", "Maliki", "Hanbali"};
// Time precision (VorConfig.precision), index 0..1.
inline constexpr const char *PrecisionNames[2] = {"Seconds", "Minutes"};
// High-latitude rules (VorConfig.highLatitudeRule), index 0..9.
inline constexpr const char *HighLatitudeRuleNames[10] = {
    "Non",
    "1/7 of day when needed",
    "1/7 of day always",
    "1/7 of night when needed",
    "1/7 of night always",
    "Nearest location-all prayers",
    "Nearest location-needed prayers",
    "Nearest day-all prayers",
    "Nearest day-needed prayers",
    "minutes for Fajr and Isha prayers"};

// Name of weekday 0..6 (0 = Monday), "?" otherwise.
const char *WeekdayName(int index);
// "First" .. "Last" for 0..4, "?" otherwise.
const char *OrdinalName(int index);
// "Mon" .. "Sun" for 1..7 (WeekdayOfJulianDay), "?" otherwise.
const char *ShortWeekdayName(int weekday);
// "January" .. "December" for 1..12, "?" otherwise.
const char *MonthName(int month);
// "Muharram" .. "Thu Al-Hijja" for 1..12, "?" otherwise.
const char *HijriMonthName(int hijriMonth);
// "Jafari" .. "Hanbali" for 0..4, "?" otherwise.
const char *FiqhName(int fiqh);
// "Seconds" for 0, "Minutes" for 1, "?" otherwise.
const char *PrecisionName(int precision);
// "Non" .. "minutes for Fajr and Isha prayers" for 0..9, "?" otherwise.
const char *HighLatitudeRuleName(int rule);

}  // namespace vorlin
