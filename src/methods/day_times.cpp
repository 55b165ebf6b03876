#include "methods/day_times.h"

#include <cmath>
#include <initializer_list>

#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "prayer/high_latitude.h"

namespace vorlin {
namespace {

constexpr double OneSeventh = 0.14285714285714285;
// Day of the year (1 January = 1) of the seasonal bounds' reference.
constexpr int SeasonalNorthOffset = 10;  // days from the winter solstice to 1 January

// Degrees below the horizon of a setting written either way.
double Depression(double angle) { return std::fabs(angle); }

bool Valid(double t) { return !IsTimeMarker(t); }

// The core's settings for s: the angles as altitudes, Asr's school, the
// library's rule when one of them is chosen, the refraction settings, the
// Maghrib angle and the horizon's height.
EventSettings CoreSettings(const TimesSettings &s) {
    VorConfig c{};
    const double fajr = Depression(s.fajrAngle);
    c.fajrAngle = static_cast<float>(-fajr);
    c.imsakAngle = static_cast<float>(
        -(std::isnan(s.imsakAngle) ? fajr + 1.0 : Depression(s.imsakAngle)));
    // Isha'a by minutes needs no angle; the horizon keeps the rules from
    // missing it wherever the Sun sets.
    c.ishaAngle = std::isnan(s.ishaMinutes) ? static_cast<float>(-Depression(s.ishaAngle)) : 0.0f;
    c.fiqh = s.asrFactor == 2 ? 2 : 1;
    c.distanceKm = s.distanceKm;
    c.temperature = s.temperature;
    c.pressure = s.pressure;
    c.toleranceSeconds = s.toleranceSeconds;
    c.highLatitudeRule = s.highLatitude >= 1 && s.highLatitude <= 9 ? s.highLatitude : 0;
    c.fajrIshaMinutes = s.fajrIshaMinutes;
    c.crescentThreshold = s.crescentThreshold;
    c.hijriAdjustDays = s.hijriAdjustDays;
    EventSettings e(c);
    if (!std::isnan(s.maghribAngle)) e.maghribAngle = -Depression(s.maghribAngle);
    e.horizonHeight = s.horizonHeight;
    return e;
}

VorDate OtherDay(const VorDate &date, double days) {
    VorDate other = date;
    JulianDayToDate(DateToJulianDay(date) + days, other);
    return other;
}

// The seasonal function through a, b, c, d of the notes, by days since the
// winter solstice.
double SeasonalValue(double dyy, double a, double b, double c, double d) {
    if (dyy < 91.0) return a + (b - a) / 91.0 * dyy;
    if (dyy < 137.0) return b + (c - b) / 46.0 * (dyy - 91.0);
    if (dyy < 183.0) return c + (d - c) / 46.0 * (dyy - 137.0);
    if (dyy < 229.0) return d + (c - d) / 46.0 * (dyy - 183.0);
    if (dyy < 275.0) return c + (b - c) / 46.0 * (dyy - 229.0);
    return b + (a - b) / 91.0 * (dyy - 275.0);
}

// Days since the winter solstice of the hemisphere.
double DaysSinceWinterSolstice(const VorDate &date, double latitudeDegrees) {
    VorDate first = date;
    first.month = 1;
    first.day = 1.0;
    VorDate next = first;
    next.year = date.year + 1;
    const double start = DateToJulianDay(first);
    const double daysInYear = DateToJulianDay(next) - start;
    const double dayOfYear = std::floor(DateToJulianDay(date) - start) + 1.0;
    if (latitudeDegrees >= 0.0) {
        double dyy = dayOfYear + SeasonalNorthOffset;
        if (dyy >= daysInYear) dyy -= daysInYear;
        return dyy;
    }
    double dyy = dayOfYear - (daysInYear > 365.0 ? 173.0 : 172.0);
    if (dyy < 0.0) dyy += daysInYear;
    return dyy;
}

// The day's events of the core and of the method's steps that need no
// other day's results, radians of day (or markers), and what filled them.
struct CoreDay {
    double t[DayEventCount];
    int filledBy[DayEventCount];
};

void SetFilled(CoreDay &day, int event, double value, int by) {
    if (value != day.t[event]) {
        day.t[event] = value;
        day.filledBy[event] = by;
    }
}

// Fajr no earlier than sunrise - before, Isha'a no later than sunset +
// after (radians); each bound stands in where the angle gives no time.
void Bound(CoreDay &day, double before, double after, bool boundIsha, int by) {
    const double sunrise = day.t[DaySunrise], sunset = day.t[DaySunset];
    if (Valid(sunrise) && Valid(before)) {
        const double limit = sunrise - before;
        const double fajr = day.t[DayFajr];
        SetFilled(day, DayFajr, Valid(fajr) && fajr >= limit ? fajr : limit, by);
    }
    if (boundIsha && Valid(sunset) && Valid(after)) {
        const double limit = sunset + after;
        const double isha = day.t[DayIsha];
        SetFilled(day, DayIsha, Valid(isha) && isha <= limit ? isha : limit, by);
    }
}

bool InRamadan(const VorDate &date, const VorLocation &loc, const TimesSettings &s,
               const EventSettings &es, DayTimesCache *cache) {
    VorDate d = date;
    VorLocation place = loc;
    const VorConfig &cfg = es;
    const int ok = CivilToHijriOfRule(s.calendar, d, place, cfg, cache != nullptr ? &cache->months : nullptr);
    return ok == 1 && d.hijriMonth == 9;
}

// The events of date up to Isha'a.  ramadan: where to say whether the day
// is in Ramadan (asked only with Ramadan's Isha'a minutes); null: not asked,
// Isha'a by minutes takes the ordinary minutes (the next day's Isha'a is
// not used).
void ComputeCoreDay(const VorDate &date, const VorLocation &loc, const TimesSettings &s,
                    const EventSettings &es, DayTimesCache *cache, CoreDay &day, int *ramadan) {
    SunEventCache *sunCache = cache != nullptr ? &cache->sun : nullptr;
    SunEventTable table;
    ComputeAreaSunEventsCached(date, loc, es, table, sunCache);
    const SunEventTable before = table;
    ApplyHighLatitudeRule(date, loc, es, table, sunCache);
    const int rule = es.highLatitudeRule;

    for (int &f : day.filledBy) f = 0;
    const double asr = s.asrFactor == 2 ? table.AsrFactor2() : table.AsrFactor1();
    const double values[] = {table.Imsak(), table.Fajr(), table.Sunrise(), table.Duhr(), asr,
                             table.AsrFactor2(), table.Sunset()};
    const double beforeValues[] = {before.triple[ImsakIshaTriple].rise,
                                   before.triple[FajrTriple].rise,
                                   before.triple[SunriseSunsetTriple].rise,
                                   before.triple[DuhrTriple].transit,
                                   s.asrFactor == 2 ? before.triple[AsrFactor2Triple].set
                                                    : before.triple[AsrFactor1Triple].set,
                                   before.triple[AsrFactor2Triple].set,
                                   before.triple[SunriseSunsetTriple].set};
    for (int e = DayImsak; e <= DaySunset; ++e) {
        day.t[e] = values[e];
        if (rule != 0 && values[e] != beforeValues[e]) day.filledBy[e] = rule;
    }
    day.t[DayIsha] = table.Isha();
    if (rule != 0 && table.Isha() != before.Isha()) day.filledBy[DayIsha] = rule;
    if (rule == MinutesRule) {
        for (int e : {DayImsak, DayFajr, DayIsha}) day.filledBy[e] = MinutesRule;
    }

    // Maghrib: by its angle when that passage lies after sunset and before
    // Isha'a, else at sunset; then the minutes.
    double maghrib = day.t[DaySunset];
    const double byAngle = table.triple[MaghribAngleTriple].set;
    if (!std::isnan(es.maghribAngle) && Valid(byAngle) && Valid(maghrib) && byAngle > maghrib &&
        (!Valid(day.t[DayIsha]) || byAngle < day.t[DayIsha])) {
        maghrib = byAngle;
    }
    if (Valid(maghrib)) maghrib += s.maghribMinutes * MinuteToRad;
    day.t[DayMaghrib] = maghrib;
    day.filledBy[DayMaghrib] = day.filledBy[DaySunset];

    // Isha'a by minutes after Maghrib (Ramadan's when the day is in it).
    if (!std::isnan(s.ishaMinutes)) {
        double minutes = s.ishaMinutes;
        // Whether the day is in Ramadan is asked only for the day itself (the
        // next day's times give midnight and the last third, not Isha'a).
        if (!std::isnan(s.ishaMinutesRamadan) && ramadan != nullptr &&
            InRamadan(date, loc, s, es, cache)) {
            minutes = s.ishaMinutesRamadan;
            *ramadan = 1;
        }
        day.t[DayIsha] = Valid(maghrib) ? maghrib + minutes * MinuteToRad : maghrib;
        day.filledBy[DayIsha] = day.filledBy[DayMaghrib];
    }

    // The bounds: seasonal twilight, or a high-latitude method.
    const double latitudeDegrees = loc.latitude * RadToDeg;
    const bool ishaByAngle = std::isnan(s.ishaMinutes);
    int method = s.highLatitude;
    if (method == HighLatitudeDefault) {
        method = std::fabs(latitudeDegrees) >= DefaultHighLatitudeFrom ? HighLatitudeSeventhOfNight
                                                                       : HighLatitudeNone;
    }
    const bool seasonal = s.twilight == TwilightSeasonal;
    if (seasonal || method >= HighLatitudeMiddleOfNight) {
        // The night after the day: sunset to the next sunrise.
        SunEventTable next;
        ComputeAreaSunEventsCached(OtherDay(date, 1.0), loc, es, next, sunCache);
        const double night = Valid(day.t[DaySunset]) && Valid(next.Sunrise())
                                 ? next.Sunrise() + TwoPi - day.t[DaySunset]
                                 : TimeNotValid;
        if (seasonal && std::fabs(latitudeDegrees) < 55.0) {
            Bound(day, SeasonalFajrMinutes(date, latitudeDegrees) * MinuteToRad,
                  SeasonalIshaMinutes(date, latitudeDegrees, s.shafaq) * MinuteToRad, ishaByAngle,
                  FilledBySeasonalBound);
        } else if (Valid(night)) {
            double fajrPart = OneSeventh, ishaPart = OneSeventh;
            if (!seasonal && method == HighLatitudeMiddleOfNight) fajrPart = ishaPart = 0.5;
            if (!seasonal && method == HighLatitudeTwilightAngle) {
                fajrPart = Depression(s.fajrAngle) / 60.0;
                ishaPart = Depression(s.ishaAngle) / 60.0;
            }
            Bound(day, fajrPart * night, ishaPart * night, ishaByAngle,
                  seasonal ? HighLatitudeSeventhOfNight : method);
        }
    }

    // Imsak: minutes before Fajr, or its angle's lead when Fajr was moved.
    if (Valid(day.t[DayFajr])) {
        if (!std::isnan(s.imsakMinutes)) {
            day.t[DayImsak] = day.t[DayFajr] - s.imsakMinutes * MinuteToRad;
            day.filledBy[DayImsak] = day.filledBy[DayFajr];
        } else if (day.filledBy[DayFajr] >= HighLatitudeMiddleOfNight) {
            day.t[DayImsak] = day.t[DayFajr] - ImsakLead(es);
            day.filledBy[DayImsak] = day.filledBy[DayFajr];
        }
    }
}

// The adjustment of each event (minutes), in DayEvent order.
double AdjustmentOf(const TimesSettings &s, int event) {
    switch (event) {
        case DayImsak: return s.adjust[AdjustImsak];
        case DayFajr: return s.adjust[AdjustFajr];
        case DaySunrise: return s.adjust[AdjustSunrise];
        case DayDhuhr: return s.adjust[AdjustDhuhr];
        case DayAsr:
        case DayAsrHanafi: return s.adjust[AdjustAsr];
        case DayMaghrib: return s.adjust[AdjustMaghrib];
        case DayIsha: return s.adjust[AdjustIsha];
        default: return 0.0;
    }
}

double Rounded(double hours, RoundingMode mode) {
    const double minutes = hours * 60.0;
    switch (mode) {
        case RoundNearest: return std::round(minutes) / 60.0;
        case RoundUp: return std::ceil(minutes - 1e-9) / 60.0;
        case RoundDown: return std::floor(minutes + 1e-9) / 60.0;
        default: return hours;
    }
}

int StatusOf(double t) {
    if (t == TimeAlwaysAbove) return EventAlwaysAbove;
    if (t == TimeAlwaysBelow) return EventAlwaysBelow;
    return IsTimeMarker(t) || !std::isfinite(t) ? EventNotValid : EventValid;
}

}  // namespace

TimesSettings SettingsOfMethod(const NamedMethod &m) {
    TimesSettings s;
    s.fajrAngle = m.fajrAngle;
    s.ishaAngle = std::isnan(m.ishaAngle) ? s.ishaAngle : m.ishaAngle;
    s.ishaMinutes = m.ishaMinutes;
    s.ishaMinutesRamadan = m.ishaMinutesRamadan;
    s.maghribAngle = m.maghribAngle;
    s.asrFactor = m.asrFactor;
    s.midnight = m.midnight;
    s.twilight = m.twilight;
    s.rounding = m.rounding;
    for (int i = 0; i < AdjustedEventCount; ++i) s.adjust[i] = m.adjust[i];
    return s;
}

double SeasonalFajrMinutes(const VorDate &date, double latitudeDegrees) {
    const double l = std::fabs(latitudeDegrees);
    return SeasonalValue(DaysSinceWinterSolstice(date, latitudeDegrees), 75.0 + 28.65 / 55.0 * l,
                         75.0 + 19.44 / 55.0 * l, 75.0 + 32.74 / 55.0 * l,
                         75.0 + 48.10 / 55.0 * l);
}

double SeasonalIshaMinutes(const VorDate &date, double latitudeDegrees, ShafaqKind shafaq) {
    const double l = std::fabs(latitudeDegrees);
    const double dyy = DaysSinceWinterSolstice(date, latitudeDegrees);
    switch (shafaq) {
        case ShafaqAhmer:
            return SeasonalValue(dyy, 62.0 + 17.40 / 55.0 * l, 62.0 - 7.16 / 55.0 * l,
                                 62.0 + 5.12 / 55.0 * l, 62.0 + 19.44 / 55.0 * l);
        case ShafaqAbyad:
            return SeasonalValue(dyy, 75.0 + 25.60 / 55.0 * l, 75.0 + 7.16 / 55.0 * l,
                                 75.0 + 36.84 / 55.0 * l, 75.0 + 81.84 / 55.0 * l);
        default:
            return SeasonalValue(dyy, 75.0 + 25.60 / 55.0 * l, 75.0 + 2.05 / 55.0 * l,
                                 75.0 - 9.21 / 55.0 * l, 75.0 + 6.14 / 55.0 * l);
    }
}

void ComputeDayTimes(const VorDate &date, const VorLocation &loc, const TimesSettings &s,
                     DayTimes &out, DayTimesCache *cache) {
    const EventSettings es = CoreSettings(s);
    CoreDay day{};
    out.ramadan = 0;
    ComputeCoreDay(date, loc, s, es, cache, day, &out.ramadan);

    // Midnight and the last third of the night after the day: from sunset
    // to the next day's sunrise (standard midnight) or Fajr (Jafari
    // midnight, the last third), as the method gives that day.
    CoreDay next{};
    ComputeCoreDay(OtherDay(date, 1.0), loc, s, es, cache, next, nullptr);
    const double sunset = day.t[DaySunset];
    const double nextFajr = next.t[DayFajr] + TwoPi;
    const double nextSunrise = next.t[DaySunrise] + TwoPi;
    const double midnightEnd = s.midnight == MidnightJafari ? nextFajr : nextSunrise;
    const bool fromSunset = Valid(sunset);
    day.t[DayMidnight] = fromSunset && Valid(next.t[s.midnight == MidnightJafari ? DayFajr : DaySunrise])
                             ? sunset + 0.5 * (midnightEnd - sunset)
                             : TimeNotValid;
    day.t[DayLastThird] = fromSunset && Valid(next.t[DayFajr])
                              ? sunset + (2.0 / 3.0) * (nextFajr - sunset)
                              : TimeNotValid;

    const double safety = s.safetySeconds * SecondToRad;
    const double zoneDays = static_cast<double>(loc.timeZone) / 24.0;
    const double midnightJd = DateToJulianDay(date) - zoneDays;
    for (int e = 0; e < DayEventCount; ++e) {
        EventTime &r = out.event[e];
        const double t = day.t[e];
        r.filledBy = day.filledBy[e];
        r.status = StatusOf(t);
        if (r.status != EventValid) {
            r.localHours = r.utcJd = kNoValue;
            continue;
        }
        if (r.filledBy != 0) r.status = EventFilledByRule;
        double shifted = t + AdjustmentOf(s, e) * MinuteToRad;
        if (e <= DayAsrHanafi || e == DayMaghrib || e == DayIsha) {
            shifted += e == DayImsak || e == DaySunrise ? -safety : safety;
        }
        r.localHours = Rounded(shifted * RadToHour, s.rounding);
        r.utcJd = midnightJd + r.localHours / 24.0;
    }
}

}  // namespace vorlin
