#include "describe.h"

#include <cstdio>

namespace vorlin::cli {

std::string ShortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

std::string IshaText(const VorTimesSettings &s) {
    if (s.ishaMinutes <= 0) return ShortNumber(s.ishaAngle) + " deg";
    std::string text = ShortNumber(s.ishaMinutes) + " min after Maghrib";
    if (s.ishaMinutesRamadan > 0) text += " (" + ShortNumber(s.ishaMinutesRamadan) + " in Ramadan)";
    return text;
}

std::string MaghribText(const VorTimesSettings &s) {
    std::string text = s.maghribAngle != 0 ? ShortNumber(s.maghribAngle) + " deg" : "sunset";
    if (s.maghribMinutes != 0)
        text += std::string(s.maghribMinutes > 0 ? " +" : " ") + ShortNumber(s.maghribMinutes) + " min";
    return text;
}

std::string ImsakText(const VorTimesSettings &s) {
    if (s.imsakMinutes > 0) return ShortNumber(s.imsakMinutes) + " min before Fajr";
    if (s.imsakAngle != 0) return ShortNumber(s.imsakAngle) + " deg";
    return "Fajr's + 1 deg";
}

std::string AdjustText(const VorTimesSettings &s) {
    static constexpr const char *Names[7] = {"imsak", "fajr", "sunrise", "dhuhr",
                                             "asr",   "maghrib", "isha"};
    std::string text;
    for (int i = 0; i < 7; ++i) {
        if (s.adjust[i] == 0) continue;
        text += std::string(text.empty() ? "" : ", ") + Names[i] + (s.adjust[i] > 0 ? " +" : " ") +
                ShortNumber(s.adjust[i]);
    }
    return text;
}

std::string HighLatitudeText(int h) {
    switch (h) {
        case VOR_HIGHLAT_DEFAULT: return "default (seventh of the night from 48 deg)";
        case VOR_HIGHLAT_NONE: return "none";
        case VOR_HIGHLAT_MIDDLE_OF_NIGHT: return "middle of the night";
        case VOR_HIGHLAT_SEVENTH_OF_NIGHT: return "seventh of the night";
        case VOR_HIGHLAT_TWILIGHT_ANGLE: return "twilight angle";
        default: return "rule " + std::to_string(h);
    }
}

std::string FilledByText(int filledBy) {
    if (filledBy == VOR_FILLED_SEASONAL) return "seasonal bounds";
    return HighLatitudeText(filledBy);
}

std::string OtherDefinitionText(const VorTimesSettings &s) {
    static constexpr const char *Shafaq[3] = {"general", "ahmer", "abyad"};
    static constexpr const char *Rounding[4] = {"", "rounded to the nearest minute",
                                                "rounded up to the minute",
                                                "rounded down to the minute"};
    std::string text;
    auto add = [&text](const std::string &part) { text += (text.empty() ? "" : "; ") + part; };
    if (s.midnight == 1) add("jafari midnight");
    if (s.twilight == 1 && s.shafaq >= 0 && s.shafaq <= 2)
        add(std::string("seasonal twilight (") + Shafaq[s.shafaq] + " shafaq)");
    if (s.rounding >= 1 && s.rounding <= 3) add(Rounding[s.rounding]);
    const std::string adjust = AdjustText(s);
    if (!adjust.empty()) add("minutes " + adjust);
    return text;
}

}  // namespace vorlin::cli
