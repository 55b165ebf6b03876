// The day's times as numbers, by any method: the Sun's events of the core
// (prayer/), completed by what the methods define beyond an angle: Isha'a
// minutes after Maghrib (and in Ramadan), Maghrib by its own angle, Imsak
// by minutes, the seasonal twilight bounds, the high-latitude methods other
// tools offer, midnight and the last third of the night, minute
// adjustments and rounding.
#pragma once

#include "methods/methods.h"
#include "calendar/calendar_modes.h"
#include "moon/month_start.h"
#include "prayer/sun_events.h"
#include "vorlin.h"

namespace vorlin {

// The events of DayTimes, in the order of the day.
enum DayEvent : int {
    DayImsak = 0,
    DayFajr,
    DaySunrise,
    DayDhuhr,
    DayAsr,        // by the settings' shadow factor
    DayAsrHanafi,  // shadow factor 2, always computed
    DaySunset,
    DayMaghrib,
    DayIsha,
    DayMidnight,   // of the night after the day
    DayLastThird,  // of the night after the day
    DayEventCount
};

// What a time is.
enum EventStatus : int {
    EventValid = 0,
    EventAlwaysAbove = 1,   // the Sun never sinks to the event's altitude that day
    EventAlwaysBelow = 2,   // it never reaches it
    EventNotValid = 3,      // no value (no convergence, an unusable input)
    EventFilledByRule = 4,  // a value given by the high-latitude rule or bound (see filledBy)
};

// High-latitude handling: the library's rules 1 to 9 (VorConfig), the three
// bounds other tools offer (Fajr no earlier than sunrise minus a part of the
// night, Isha'a no later than sunset plus it; the bound also stands in when
// the angle is not reached), none, or the default.
enum HighLatitudeMethod : int {
    HighLatitudeDefault = -1,  // the seventh of the night from 48 degrees of latitude on
    HighLatitudeNone = 0,
    // 1 .. 9: the library's rules, as VorConfig.highLatitudeRule.
    HighLatitudeMiddleOfNight = 10,
    HighLatitudeSeventhOfNight = 11,
    HighLatitudeTwilightAngle = 12,  // part = angle / 60 of the night, each with its own angle
};

// EventTime::filledBy of a time given by the seasonal twilight bounds (not a
// setting: the bounds come with TwilightSeasonal).
inline constexpr int FilledBySeasonalBound = 13;

// Latitude (degrees) from which the default high-latitude method bounds
// Fajr and Isha'a by the seventh of the night.
inline constexpr double DefaultHighLatitudeFrom = 48.0;

// The red (ahmer), white (abyad) or general shafaq of the seasonal bounds.
enum ShafaqKind : int { ShafaqGeneral = 0, ShafaqAhmer = 1, ShafaqAbyad = 2 };

// Everything a day's times depend on besides the date and the place.
// Angles: degrees below the horizon; a negative angle is read as the
// altitude (so -18 and 18 both mean 18 degrees below).
struct TimesSettings {
    double fajrAngle = 18.0;
    double ishaAngle = 17.0;
    double ishaMinutes = kNoValue;         // after Maghrib, instead of the angle
    double ishaMinutesRamadan = kNoValue;  // in Hijri month 9; kNoValue: ishaMinutes
    double maghribAngle = kNoValue;        // kNoValue: sunset
    double maghribMinutes = 0.0;           // added to Maghrib
    double imsakAngle = kNoValue;          // kNoValue: one degree deeper than Fajr
    double imsakMinutes = kNoValue;        // before Fajr, instead of an angle
    int asrFactor = 1;                     // 1 or 2 (Hanafi)
    int highLatitude = HighLatitudeDefault;
    int fajrIshaMinutes = 90;              // for the library's rule 9
    MidnightMode midnight = MidnightStandard;
    TwilightMode twilight = TwilightAngles;
    ShafaqKind shafaq = ShafaqGeneral;
    RoundingMode rounding = RoundSeconds;
    double adjust[AdjustedEventCount] = {};  // minutes, after everything else
    int distanceKm = 0;       // area the times must hold for
    int horizonHeight = 0;    // metres of the eye above the visible horizon (dip)
    int temperature = 10;     // Celsius, refraction
    int pressure = 0;         // millibar; 0: from the place's height
    int toleranceSeconds = 1;
    int safetySeconds = 0;
    // For Ramadan (the Hijri month of the day at the place, in this calendar).
    float crescentThreshold = 20.0f;
    int hijriAdjustDays = 0;
    CalendarRule calendar{};
};

// The settings of a named method on top of the defaults.
TimesSettings SettingsOfMethod(const NamedMethod &method);

// One event of a day.
struct EventTime {
    double localHours;  // from 0 h of the place's standard time (no summer time)
    double utcJd;       // the instant as a Julian Date (UT)
    int status;         // EventStatus; localHours and utcJd are NaN unless valid or filled
    int filledBy;       // EventFilledByRule: the library's rule 1..9 or a HighLatitudeMethod
};

struct DayTimes {
    EventTime event[DayEventCount];
    int ramadan;  // 1 when the day is in Hijri month 9 at the place (checked only when needed)
};

// What ComputeDayTimes keeps from day to day of one request: the Sun's
// events and the month starts (each its own cache; see there).
struct DayTimesCache {
    SunEventCache sun;
    CalendarCache months;
};

// The times of date (civil; whole days) at loc (latitude and longitude in
// radians, height in metres for the pressure, timeZone in hours) with s.
// cache may be null.  Reads and writes nothing else; every loop bounded.
void ComputeDayTimes(const VorDate &date, const VorLocation &loc, const TimesSettings &s,
                     DayTimes &out, DayTimesCache *cache);

// The minutes of the seasonal bounds (Moonsighting Committee) on the date
// at the latitude (degrees): Fajr no earlier than this many minutes before
// sunrise, Isha'a no later than this many after sunset (with the shafaq).
double SeasonalFajrMinutes(const VorDate &date, double latitudeDegrees);
double SeasonalIshaMinutes(const VorDate &date, double latitudeDegrees, ShafaqKind shafaq);

}  // namespace vorlin
