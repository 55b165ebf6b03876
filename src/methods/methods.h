// Named calculation methods: the twilight definitions, Maghrib, Asr,
// midnight, rounding and minute adjustments that the authorities publish,
// one table that every front end shares (src/methods/methods.tsv, turned
// into a constexpr table by tools/gen_methods.py).
#pragma once

#include <limits>

namespace vorlin {

// "Not given" in a method or a setting.
inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// How midnight is counted: halfway from sunset to the next sunrise
// (standard) or to the next Fajr (Jafari).
enum MidnightMode : int { MidnightStandard = 0, MidnightJafari = 1 };

// Fajr and Isha'a by their angles alone, or bounded by the seasonal
// twilight of the Moonsighting Committee.
enum TwilightMode : int { TwilightAngles = 0, TwilightSeasonal = 1 };

// How the times are rounded: kept to the fraction of a second (front ends
// show whole seconds), or to whole minutes: nearest, always up, always down.
enum RoundingMode : int { RoundSeconds = 0, RoundNearest = 1, RoundUp = 2, RoundDown = 3 };

// The events a method may adjust, in the order of NamedMethod::adjust.
enum AdjustedEvent : int {
    AdjustImsak = 0,
    AdjustFajr,
    AdjustSunrise,
    AdjustDhuhr,
    AdjustAsr,
    AdjustMaghrib,
    AdjustIsha,
    AdjustedEventCount
};

// One published method.  Angles are degrees of the Sun's centre below the
// horizon (positive, as authorities write them).
struct NamedMethod {
    const char *name;       // as --method takes it (any case)
    const char *aliases;    // other accepted names, comma-separated ("" none)
    const char *authority;  // who publishes it
    double fajrAngle;
    double ishaAngle;           // kNoValue when Isha'a is by minutes
    double ishaMinutes;         // after Maghrib; kNoValue when by angle
    double ishaMinutesRamadan;  // after Maghrib in Ramadan; kNoValue: as ishaMinutes
    double maghribAngle;        // kNoValue: Maghrib is sunset
    int asrFactor;              // shadow factor: 1, or 2 (Hanafi)
    MidnightMode midnight;
    TwilightMode twilight;
    RoundingMode rounding;
    double adjust[AdjustedEventCount];  // minutes added after everything else
};

// The methods, the default (MWL) first.
int NamedMethodCount();
const NamedMethod &NamedMethodAt(int index);  // index 0..NamedMethodCount() - 1

// The method whose name or one of whose aliases is name, in any case; null
// when there is none (or name is null).
const NamedMethod *FindNamedMethod(const char *name);

}  // namespace vorlin
