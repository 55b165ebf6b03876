#include "interface/times_record.h"

#include <cmath>

#include "interface/calendar_record.h"

namespace vorlin {

namespace {

constexpr double LargestMinutes = 1440.0;  // a day

bool Angle(double degrees) { return std::fabs(degrees) <= 90.0; }  // false for NaN
bool Minutes(double m) { return m >= 0.0 && m <= LargestMinutes; }
bool SignedMinutes(double m) { return std::fabs(m) <= LargestMinutes; }
bool Within(int v, int low, int high) { return v >= low && v <= high; }

}  // namespace

VorTimesSettings DefaultTimesRecord() {
    const TimesSettings d = SettingsOfMethod(NamedMethodAt(0));
    VorTimesSettings r{};
    r.size = sizeof r;
    r.asrFactor = d.asrFactor;
    r.fajrAngle = d.fajrAngle;
    r.ishaAngle = d.ishaAngle;
    r.highLatitude = d.highLatitude;
    r.fajrIshaMinutes = d.fajrIshaMinutes;
    r.midnight = d.midnight;
    r.twilight = d.twilight;
    r.shafaq = d.shafaq;
    r.rounding = d.rounding;
    r.temperature = d.temperature;
    r.toleranceSeconds = d.toleranceSeconds;
    r.crescentThreshold = d.crescentThreshold;
    return r;
}

void ApplyMethodToRecord(const NamedMethod &m, VorTimesSettings &r) {
    const TimesSettings s = SettingsOfMethod(m);
    r.fajrAngle = s.fajrAngle;
    r.ishaAngle = s.ishaAngle;
    r.ishaMinutes = std::isnan(s.ishaMinutes) ? 0.0 : s.ishaMinutes;
    r.ishaMinutesRamadan = std::isnan(s.ishaMinutesRamadan) ? 0.0 : s.ishaMinutesRamadan;
    r.maghribAngle = std::isnan(s.maghribAngle) ? 0.0 : s.maghribAngle;
    r.asrFactor = s.asrFactor;
    r.midnight = s.midnight;
    r.twilight = s.twilight;
    r.rounding = s.rounding;
    for (int i = 0; i < AdjustedEventCount; ++i) r.adjust[i] = s.adjust[i];
}

UnusableSetting FirstUnusableSetting(const VorTimesSettings &r) {
    struct Check {
        bool usable;
        UnusableSetting setting;
    };
    bool adjust = true;
    for (double a : r.adjust) adjust = adjust && SignedMinutes(a);
    CalendarRule calendar{};
    const Check checks[] = {
        {Within(r.asrFactor, 1, 2), {"asrFactor", "1..2"}},
        {Angle(r.fajrAngle), {"fajrAngle", "-90..90"}},
        {Angle(r.ishaAngle), {"ishaAngle", "-90..90"}},
        {Minutes(r.ishaMinutes), {"ishaMinutes", "0..1440"}},
        {Minutes(r.ishaMinutesRamadan), {"ishaMinutesRamadan", "0..1440"}},
        {Angle(r.maghribAngle), {"maghribAngle", "-90..90"}},
        {SignedMinutes(r.maghribMinutes), {"maghribMinutes", "-1440..1440"}},
        {Angle(r.imsakAngle), {"imsakAngle", "-90..90"}},
        {Minutes(r.imsakMinutes), {"imsakMinutes", "0..1440"}},
        {adjust, {"adjust", "-1440..1440"}},
        {Within(r.highLatitude, -1, 12), {"highLatitude", "-1..12"}},
        {Within(r.fajrIshaMinutes, 0, 1440), {"fajrIshaMinutes", "0..1440"}},
        {Within(r.midnight, 0, 1), {"midnight", "0..1"}},
        {Within(r.twilight, 0, 1), {"twilight", "0..1"}},
        {Within(r.shafaq, 0, 2), {"shafaq", "0..2"}},
        {Within(r.rounding, 0, 3), {"rounding", "0..3"}},
        {Within(r.distanceKm, 0, 1000000), {"distanceKm", "0..1000000"}},
        {Within(r.horizonHeight, 0, 100000), {"horizonHeight", "0..100000"}},
        {std::fabs(r.crescentThreshold) <= 90.0f, {"crescentThreshold", "-90..90"}},
        {SettingsCalendarToRule(r.calendar, calendar), {"calendar", "a usable VorCalendar"}},
    };
    for (const Check &c : checks) {
        if (!c.usable) return c.setting;
    }
    return {};
}

bool RecordToSettings(const VorTimesSettings &r, TimesSettings &s) {
    if (FirstUnusableSetting(r).field != nullptr) return false;
    s.fajrAngle = r.fajrAngle;
    s.ishaAngle = r.ishaAngle;
    s.ishaMinutes = r.ishaMinutes > 0.0 ? r.ishaMinutes : kNoValue;
    s.ishaMinutesRamadan = r.ishaMinutesRamadan > 0.0 ? r.ishaMinutesRamadan : kNoValue;
    s.maghribAngle = r.maghribAngle != 0.0 ? r.maghribAngle : kNoValue;
    s.maghribMinutes = r.maghribMinutes;
    s.imsakAngle = r.imsakAngle != 0.0 ? r.imsakAngle : kNoValue;
    s.imsakMinutes = r.imsakMinutes > 0.0 ? r.imsakMinutes : kNoValue;
    s.asrFactor = r.asrFactor;
    s.highLatitude = r.highLatitude;
    s.fajrIshaMinutes = r.fajrIshaMinutes;
    s.midnight = static_cast<MidnightMode>(r.midnight);
    s.twilight = static_cast<TwilightMode>(r.twilight);
    s.shafaq = static_cast<ShafaqKind>(r.shafaq);
    s.rounding = static_cast<RoundingMode>(r.rounding);
    for (int i = 0; i < AdjustedEventCount; ++i) s.adjust[i] = r.adjust[i];
    s.distanceKm = r.distanceKm;
    s.horizonHeight = r.horizonHeight;
    s.temperature = r.temperature;
    s.pressure = r.pressure;
    s.toleranceSeconds = r.toleranceSeconds < 1 ? 1 : r.toleranceSeconds;
    s.safetySeconds = r.safetySeconds;
    s.crescentThreshold = r.crescentThreshold;
    s.hijriAdjustDays = r.hijriAdjustDays;
    SettingsCalendarToRule(r.calendar, s.calendar);  // checked above
    return true;
}

}  // namespace vorlin
