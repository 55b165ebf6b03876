// Settings and statuses in words, for the text outputs and the lists.
#pragma once

#include <string>

#include "vorlin.h"

namespace vorlin::cli {

// "18", "17.5", "4.5": a number of degrees or minutes without trailing zeros.
std::string ShortNumber(double value);

// Isha'a of the settings: "17 deg" or "90 min after Maghrib (120 in Ramadan)".
std::string IshaText(const VorTimesSettings &s);

// Maghrib: "sunset", "4.5 deg", with "+3 min" when minutes are added.
std::string MaghribText(const VorTimesSettings &s);

// Imsak: "Fajr's + 1 deg", "19 deg" or "10 min before Fajr".
std::string ImsakText(const VorTimesSettings &s);

// The minute adjustments: "sunrise -7, dhuhr +5" or "" for none.
std::string AdjustText(const VorTimesSettings &s);

// A high-latitude setting: "default (seventh of the night from 48 deg)",
// "none", "rule 4", "middle of the night", ...
std::string HighLatitudeText(int highLatitude);

// What filled a time (VorEventTime.filledBy): "rule 4", "seventh of the
// night", "seasonal bounds".
std::string FilledByText(int filledBy);

// The rest of a definition beyond the angles, Maghrib and Asr: "jafari
// midnight; seasonal twilight (general shafaq); rounded up" ("" for none).
std::string OtherDefinitionText(const VorTimesSettings &s);

}  // namespace vorlin::cli
