// Named calculation methods: the twilight angles, the school of Asr and the
// high-latitude settings that the common authorities publish, ready to be
// copied into a VorConfig before the user's own flags are applied.
#pragma once

#include <string>

#include "vorlin.h"

namespace vorlin::cli {

// One published convention.  Angles in degrees of the Sun's centre below
// the horizon, written as the library takes them (negative).
struct CalculationMethod {
    const char *name;       // what --method takes (matched case-insensitively)
    const char *authority;  // who publishes it
    float imsakAngle;
    float fajrAngle;
    float ishaAngle;
    int fiqh;               // 0 Jafari, 1 Shafi'i, 2 Hanafi (VorConfig.fiqh)
    int highLatitudeRule;   // VorConfig.highLatitudeRule
    int fajrIshaMinutes;    // VorConfig.fajrIshaMinutes (used by rule 9 only)
    const char *note;       // how Imsak and anything not published as an angle were chosen
};

// All methods, the default (MWL) first.
extern const CalculationMethod CalculationMethods[];
extern const int CalculationMethodCount;

// Imsak is taken one degree deeper than Fajr for every method: the embedded
// default pair (-19, -18) of the Muslim World League setting, about 4 to 6
// minutes before Fajr at low and middle latitudes.
inline constexpr float ImsakDepthBelowFajr = 1.0f;

// The method called name (case-insensitive), or null.
const CalculationMethod *FindCalculationMethod(const std::string &name);

// Copies the method's fields into config; leaves every other field alone.
void ApplyCalculationMethod(const CalculationMethod &method, VorConfig &config);

// "MWL, ISNA, ..." for messages.
std::string CalculationMethodNames();

}  // namespace vorlin::cli
