// The Sun's events of one day that define the prayer times: the passages
// of the Sun's centre across the meridian and across the altitudes of
// sunrise/sunset, Imsak, Fajr, Isha'a and the two Asr shadow rules, for one
// place or widened over an area around it.
//
// Times are radians of day (2 pi = 24 h) from midnight of the place's
// standard time (time zone without summer time), or one of the markers
// TimeNotValid, TimeAlwaysBelow, TimeAlwaysAbove (astro/constants.h),
// compared by exact equality.  Valid times may lie outside 0..2 pi.
#pragma once

#include <limits>

#include "vorlin.h"

namespace vorlin {

// The settings the Sun's events are computed with: the host's record, and
// what the method layer adds to it (a legacy record converts to these with
// the additions off, and then gives exactly the record's results).
struct EventSettings : VorConfig {
    // Maghrib as the evening passage of this altitude of the Sun's centre
    // (degrees, negative below the horizon), in MaghribAngleTriple; NaN:
    // none, that triple holds sunset.
    double maghribAngle = std::numeric_limits<double>::quiet_NaN();
    // Height of the eye above the visible horizon (metres), for the dip of
    // the horizon; NaN: the location's height, as the legacy record means.
    // The location's height always gives the pressure.
    double horizonHeight = std::numeric_limits<double>::quiet_NaN();

    EventSettings(const VorConfig &config) : VorConfig(config) {}  // NOLINT: implicit on purpose
};

// True when a and b hold the same values, bit for bit (padding ignored).
bool SameSettings(const EventSettings &a, const EventSettings &b);

// The high-latitude rule whose Imsak, Fajr and Isha'a are minutes before
// sunrise and after sunset (VorConfig.highLatitudeRule 9): built here with
// the events, not by the rule step.
inline constexpr int MinutesRule = 9;

// Three time values for one altitude: transit (the Sun's centre on the
// meridian), rise (morning passage of the altitude), set (evening passage).
struct EventTriple {
    double transit;
    double rise;
    double set;

    // Element 0 transit, 1 rise, 2 set (any other index: set).
    double &Element(int index) { return index == 0 ? transit : index == 1 ? rise : set; }
    double Element(int index) const { return index == 0 ? transit : index == 1 ? rise : set; }
};

// Which triple of a SunEventTable holds which altitude.
enum SunEventTriple : int {
    SunriseSunsetTriple = 0,  // standard altitude: transit, rise = Shuruq, set = Maghrib
    ImsakIshaTriple = 1,      // rise at imsakAngle = Imsak, set at ishaAngle = Isha'a
    FajrTriple = 2,           // rise at fajrAngle = Fajr
    DuhrTriple = 3,           // standard altitude one semidiameter west: transit = Duhr
    AsrFactor1Triple = 4,     // set = Asr, shadow factor 1
    AsrFactor2Triple = 5,     // set = Asr, shadow factor 2
    MaghribAngleTriple = 6,   // set = Maghrib by EventSettings::maghribAngle (else sunset)
};

// Seven EventTriples, 21 doubles in the order triple 0 (transit, rise,
// set), triple 1, ... triple 6 (see SunEventTriple).
struct SunEventTable {
    static constexpr int TripleCount = 7;
    static constexpr int ElementCount = 3 * TripleCount;
    // Every element's bit, as ValidElements sets them.
    static constexpr unsigned AllElements = (1u << ElementCount) - 1u;

    EventTriple triple[TripleCount];

    // Element 0..20 in the documented order (3 x triple + 0/1/2).
    double &Element(int index) { return triple[index / 3].Element(index % 3); }
    double Element(int index) const { return triple[index / 3].Element(index % 3); }
    // Every element set to value.
    void Fill(double value);

    // The positions the high-latitude rules and the schedule read.
    double &Sunrise() { return triple[SunriseSunsetTriple].rise; }
    double &Sunset() { return triple[SunriseSunsetTriple].set; }
    double &Imsak() { return triple[ImsakIshaTriple].rise; }
    double &Isha() { return triple[ImsakIshaTriple].set; }
    double &Fajr() { return triple[FajrTriple].rise; }
    double &Duhr() { return triple[DuhrTriple].transit; }
    double &AsrFactor1() { return triple[AsrFactor1Triple].set; }
    double &AsrFactor2() { return triple[AsrFactor2Triple].set; }
    double Sunrise() const { return triple[SunriseSunsetTriple].rise; }
    double Sunset() const { return triple[SunriseSunsetTriple].set; }
    double Fajr() const { return triple[FajrTriple].rise; }
    double Isha() const { return triple[ImsakIshaTriple].set; }
};

static_assert(sizeof(EventTriple) == 3 * sizeof(double), "EventTriple is three doubles");
static_assert(sizeof(SunEventTable) == 21 * sizeof(double), "SunEventTable is 21 doubles");

// What the Sun's events of a day take from the date and the time zone
// alone, whatever the place: the time origin (0 h standard time of the
// date) in Julian centuries of UT (Tu) and TT (Td), Delta T (seconds), the
// true obliquity (radians), the apparent sidereal time at Greenwich at the
// origin (radians) and the apparent right ascension and declination of the
// Sun (radians) at the origins of the day before, the day and the day after,
// with the Sun's distance (AU) at the day's.  An area's corners share them
// with its centre: the same values, so the same bits.
struct SunOfDay {
    double deltaT = 0.0;
    double Tu = 0.0;
    double Td = 0.0;
    double eps = 0.0;
    double theta0 = 0.0;
    double ra[3] = {0.0, 0.0, 0.0};
    double dec[3] = {0.0, 0.0, 0.0};
    double distanceAu = 1.0;
};
SunOfDay ComputeSunOfDay(const VorDate &date, float timeZoneHours);

// The Sun's events of one day for exactly the place given.
//   given:    date  civil date; the time origin is 0 h standard time of that
//                   day (a fraction in date.day moves it by as much)
//             loc   latitude, longitude (radians, east positive), height
//                   (metres), timeZone (hours east of UT)
//             cfg   imsakAngle, fajrAngle, ishaAngle (degrees, altitudes of
//                   the Sun's centre), temperature and pressure (refraction),
//                   toleranceSeconds (handed to RiseTransitSet unchanged),
//                   highLatitudeRule and fajrIshaMinutes (rule 9)
//   returned: table  every triple in radians of day from the time origin,
//                    or markers: TimeAlwaysBelow (the Sun never reaches the
//                    altitude), TimeAlwaysAbove in rise and set (it never
//                    sinks to it), TimeNotValid (no convergence).  When the
//                    transit of triple 0 is TimeAlwaysBelow (the Sun does not
//                    rise), Duhr (triple 3's transit) is still the meridian
//                    passage and the rest of triples 3..5 carry the marker;
//                    when it is TimeNotValid, triples 3..5 carry that marker.
// Notes: the standard altitude is that of the Sun's centre when its upper
// limb touches the visible horizon (parallax, semidiameter 959.63"/R,
// refraction, dip); Duhr is the transit over a meridian one semidiameter
// west of the place; Asr is the afternoon passage of the altitude at which a
// rod's shadow is f rod lengths longer than at noon (f = 1, 2), from the
// topocentric, refracted altitude at the instant of the transit.  Under rule 9 Imsak and Fajr
// are fajrIshaMinutes before sunrise and Isha'a as many after sunset (an
// element whose source is a marker is TimeNotValid).  The position of the
// Sun is VSOP87D with IAU 1980 nutation; the solver is Meeus, Astronomical
// Algorithms, ch. 15.  loc is not written.
void ComputeSunEvents(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                      SunEventTable &table);

// Corners of the square area of half-side distanceKm around a point on the
// earth ellipsoid (WGS84 axis 6378.137 km, e^2 = 0.006694384761408399).
//   given:    distanceKm  half-side (km); latitude, longitude (radians)
//   returned: 1 and lat[4], lon[4] (radians) in the order (south, west),
//             (south, east), (north, west), (north, east); latitudes folded
//             into [-pi/2, pi/2], longitudes reduced to [-pi, pi).  0 (lat,
//             lon untouched) when the area cannot be formed: a radius of
//             the parallel or of the meridian below 1 km, as at the poles.
int ComputeAreaCorners(double distanceKm, double latitude, double longitude, double lat[4],
                       double lon[4]);

// The Sun's events of one day widened so that they hold over the area of
// half-side cfg.distanceKm around the place.
//   given:    as ComputeSunEvents, plus cfg.distanceKm (<= 0: no area)
//   returned: table  the events of the place after an order check (a rise
//                    after its transit or more than 13 h before it, a set
//                    before its transit or more than 13 h after it,
//                    becomes TimeNotValid); with an area, every valid
//                    element moved toward the safe side by the largest
//                    difference of the four corners (Shuruq and Imsak
//                    earlier, all others later), TimeNotValid when that
//                    difference exceeds one hour or the area cannot be
//                    formed, the corner's marker when a corner has one.
//                    Elements that are markers at the place stay as they are.
// loc is not written: the corners are computed on a local copy.
void ComputeAreaSunEvents(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                          SunEventTable &table);
// The same from the Sun's places of the date (ComputeSunOfDay(date,
// loc.timeZone)), for callers that ask about several places of one date
// and zone: the same table, bit for bit.
void ComputeAreaSunEvents(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                          SunEventTable &table);

// Bit e (0..17) set for every element e of table that holds a valid time.
unsigned ValidElements(const SunEventTable &table);

// Which of the elements in interest (bits as ValidElements) ComputeAreaSunEvents
// would give a valid time, computed with as little work as that answer
// needs: the corners are computed one at a time and not at all once no
// element of interest can still be valid (a marker at the place, or at a
// corner, or a corner more than an hour away, makes the element not valid).
unsigned AreaValidElements(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           unsigned interest);
unsigned AreaValidElements(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                           unsigned interest);

// Tables of ComputeAreaSunEvents already computed during one call, so that
// a report that needs the same day more than once (the day itself, then as
// the night before or after the next day, or as a nearest day of the
// high-latitude rules) computes it once.  The cache lives on the stack of
// the call that owns it.  A table depends on the date only through its
// Julian Date, which is the key, compared bit for bit; the place and the
// configuration are remembered at the first store, and a lookup with any
// other place or configuration empties the cache first.  Direct-mapped by
// the day number: consecutive days never displace each other, so a
// nearest-day walk back through a season without Isha'a (about 130 days at
// 64 degrees) is computed once for the whole year.
struct SunEventCache {
    static constexpr int Capacity = 256;  // days; about 39 KB
    struct Entry {
        double julianDay;  // DateToJulianDay of the date
        int used;          // 1 when the entry holds a table
        SunEventTable table;
    };
    Entry entries[Capacity];
    // ValidElements of the tables of days, kept longer than the tables:
    // the nearest-day rules look up to a year back from every day of a
    // year, so a year's report asks about 731 days.
    static constexpr int MaskCapacity = 1024;
    struct MaskEntry {
        double julianDay;
        unsigned mask;
        int used;
    };
    MaskEntry masks[MaskCapacity];
    bool filled = false;  // place and config hold the values of the entries
    VorLocation place{};
    EventSettings config{VorConfig{}};
};

// ComputeAreaSunEvents through a cache: the same table, bit for bit,
// computed only when the cache has none for the date's Julian Date.
// cache may be null (no caching).
void ComputeAreaSunEventsCached(const VorDate &date, const VorLocation &loc,
                                const EventSettings &cfg, SunEventTable &table,
                                SunEventCache *cache);

// ValidElements of ComputeAreaSunEventsCached(date, ...), remembered by
// the cache (when not null) for every day it was asked about.
unsigned ValidElementsCached(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                             SunEventCache *cache);

}  // namespace vorlin
