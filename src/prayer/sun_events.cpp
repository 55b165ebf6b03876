#include "prayer/sun_events.h"

#include <cmath>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/rise_transit_set.h"
#include "astro/sun.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"

namespace vorlin {

namespace {

// First eccentricity squared of the earth ellipsoid and 1 - e^2.
constexpr double EllipsoidE2 = 0.006694384761408399;
constexpr double EllipsoidOneMinusE2 = 0.9933056152385916;

// Apparent places of the Sun at the time origin of the previous day, the
// day and the next day, as RiseTransitSet takes them.
struct SunPlaces {
    double ra[3];
    double dec[3];
};

// One RiseTransitSet call of the Sun over altitude into triple.
// shared: what the calls at one longitude have in common.
void SolveTriple(double latitude, double longitude, double theta0, double deltaT,
                 const SunPlaces &sun, double altitude, double tolerance, EventTriple &triple,
                 RiseTransitSetShared &shared) {
    double out[3];
    RiseTransitSet(latitude, longitude, theta0, deltaT, sun.ra[0], sun.dec[0], sun.ra[1],
                   sun.dec[1], sun.ra[2], sun.dec[2], altitude, out, tolerance, true, &shared);
    triple.transit = out[0];
    triple.rise = out[1];
    triple.set = out[2];
}

// value + shift, or TimeNotValid when value is a marker.
double ShiftedOrNotValid(double value, double shift) {
    return IsTimeMarker(value) ? TimeNotValid : value + shift;
}

// Rule 9: triples 1 and 2 from sunrise and sunset of triple 0.
void DeriveFromMinutes(const EventSettings &cfg, SunEventTable &table) {
    const EventTriple &sun = table.triple[SunriseSunsetTriple];
    EventTriple derived;
    if (IsTimeMarker(sun.transit)) {
        derived = EventTriple{sun.transit, sun.transit, sun.transit};
    } else {
        const double x = cfg.fajrIshaMinutes * MinuteToRad;
        derived = EventTriple{sun.transit, ShiftedOrNotValid(sun.rise, -x),
                              ShiftedOrNotValid(sun.set, x)};
    }
    table.triple[ImsakIshaTriple] = derived;
    table.triple[FajrTriple] = derived;
}

// A passage of an altitude lies within half a day of the transit (the hour
// angle stays within pi); an hour is added for the Sun's own motion.
constexpr double PassageWindow = 13.0 * HourToRad;

// A rise after the transit, or a set before it, belongs to another day and
// is not valid.  At grazing altitudes the solver can also settle on
// passages days away from the transit: those are not valid either.  The
// two checks are independent, so a rejected rise does not shield the set.
void CheckOrder(EventTriple &t) {
    if (IsTimeMarker(t.transit)) return;
    if (!IsTimeMarker(t.rise) && (t.rise > t.transit || t.rise < t.transit - PassageWindow)) {
        t.rise = TimeNotValid;
    }
    if (!IsTimeMarker(t.set) && (t.set < t.transit || t.set > t.transit + PassageWindow)) {
        t.set = TimeNotValid;
    }
}

// The elements that move earlier (minus the corner difference) to be safe
// over the area: Shuruq and Imsak.  All others move later.
bool MovesEarlier(int element) {
    return element == 3 * SunriseSunsetTriple + 1 || element == 3 * ImsakIshaTriple + 1;
}

}  // namespace

bool SameSettings(const EventSettings &a, const EventSettings &b) {
    const VorConfig &x = a, &y = b;
    return std::memcmp(&x, &y, sizeof x) == 0 &&
           std::memcmp(&a.maghribAngle, &b.maghribAngle, sizeof a.maghribAngle) == 0 &&
           std::memcmp(&a.horizonHeight, &b.horizonHeight, sizeof a.horizonHeight) == 0;
}

void SunEventTable::Fill(double value) {
    for (EventTriple &t : triple) t = EventTriple{value, value, value};
}

SunOfDay ComputeSunOfDay(const VorDate &date, float timeZoneHours) {
    SunOfDay day;
    const double timeZone = static_cast<double>(timeZoneHours);
    // Time origin: the place's standard-time midnight, in UT (Tu) and TT (Td).
    const double T = JulianCenturies(DateToJulianDay(date));
    day.deltaT = DeltaT(T);
    day.Tu = T - (timeZone / 24.0) / DaysPerCentury;
    day.Td = day.Tu + day.deltaT * SecondToCentury;

    // Earth rotation at the time origin: apparent sidereal time at Greenwich.
    double dpsi = 0.0, deps = 0.0;
    Nutation(day.Td, &dpsi, &deps);
    day.eps = MeanObliquity(day.Td) + deps;
    day.theta0 = AddEquationOfEquinoxes(MeanSiderealTime(day.Tu), dpsi, day.eps);

    // The apparent Sun at the time origin of the previous, this and the next day.
    SolarPosition geometric[3];
    SunGeometricOverThreeDays(day.Td, geometric);
    for (int k = 0; k < 3; ++k) {
        const SolarPosition p = SunApparentFromGeometric(geometric[k], dpsi);
        EclipticToEquatorial(p.longitude, p.latitude, day.eps, &day.ra[k], &day.dec[k]);
        if (k == 1) day.distanceAu = p.distanceAu;
    }
    return day;
}

namespace {

void ComputeSunEventsOfDay(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                           SunEventTable &table) {
    table.Fill(TimeNotValid);

    const double latitude = loc.latitude;
    const double longitude = loc.longitude;
    const double height = static_cast<double>(loc.height);
    const double tolerance = static_cast<double>(cfg.toleranceSeconds);
    const double dT = day.deltaT;
    const double Tu = day.Tu;
    const double Td = day.Td;
    const double theta0 = day.theta0;
    SunPlaces sun;
    for (int k = 0; k < 3; ++k) {
        sun.ra[k] = day.ra[k];
        sun.dec[k] = day.dec[k];
    }
    const double distanceAu = day.distanceAu;

    double rhoCosPhi = 0.0, rhoSinPhi = 0.0;
    ObserverGeocentric(latitude, height, &rhoCosPhi, &rhoSinPhi);

    // Standard altitude: the Sun's centre when its upper limb stands on the
    // visible horizon.
    const double sinParallax = std::sin(SolarParallax) / distanceAu;
    const double parallax = AltitudeParallax(latitude, sinParallax, 0.0, height);
    const double semidiameter = SemiDiameterAtDistance(0, distanceAu, nullptr) * ArcsecToRad;
    const double dipHeight = std::isnan(cfg.horizonHeight) ? height : cfg.horizonHeight;
    const double h0 = Refraction(parallax - semidiameter, &loc, &cfg, 0) - HorizonDip(dipHeight);

    // The calls at the place's longitude share their transit; Duhr's,
    // half a disc to the west, has its own.
    RiseTransitSetShared atPlace, atDuhr;
    SolveTriple(latitude, longitude, theta0, dT, sun, h0, tolerance,
                table.triple[SunriseSunsetTriple], atPlace);
    if (cfg.highLatitudeRule == MinutesRule) {
        DeriveFromMinutes(cfg, table);
    } else {
        // Triple 1 keeps the transit of the Isha'a call, the rise of the
        // Imsak call and the set of the Isha'a call.
        EventTriple imsak, isha;
        SolveTriple(latitude, longitude, theta0, dT, sun, cfg.imsakAngle * DegToRad, tolerance,
                    imsak, atPlace);
        SolveTriple(latitude, longitude, theta0, dT, sun, cfg.fajrAngle * DegToRad, tolerance,
                    table.triple[FajrTriple], atPlace);
        SolveTriple(latitude, longitude, theta0, dT, sun, cfg.ishaAngle * DegToRad, tolerance,
                    isha, atPlace);
        table.triple[ImsakIshaTriple] = EventTriple{isha.transit, imsak.rise, isha.set};
    }
    // Maghrib by its own altitude: one more passage over the same places.
    if (std::isnan(cfg.maghribAngle)) {
        table.triple[MaghribAngleTriple] = table.triple[SunriseSunsetTriple];
    } else {
        SolveTriple(latitude, longitude, theta0, dT, sun, cfg.maghribAngle * DegToRad, tolerance,
                    table.triple[MaghribAngleTriple], atPlace);
    }

    // Duhr: the transit over a meridian one solar semidiameter to the west,
    // when the whole disc has passed the meridian.
    const double duhrLongitude = NormalizeAngleSigned(longitude - semidiameter);
    const double transit = table.triple[SunriseSunsetTriple].transit;
    if (IsTimeMarker(transit)) {
        // When the Sun does not rise (TimeAlwaysBelow) it still crosses the
        // meridian, and Duhr is that crossing: its transit is solved over an
        // altitude that every body reaches (the solver gives no transit for
        // an altitude never reached; the transit itself does not depend on
        // the altitude).  Asr needs the Sun above the horizon and keeps the
        // marker, as do rise and set of the Duhr triple.  With no transit
        // at all (TimeNotValid: an unusable place) there is no Duhr either.
        table.triple[DuhrTriple] = EventTriple{transit, transit, transit};
        if (transit == TimeAlwaysBelow) {
            EventTriple meridian;
            SolveTriple(latitude, duhrLongitude, theta0, dT, sun, -Pi / 2.0, tolerance, meridian,
                        atDuhr);
            table.triple[DuhrTriple].transit = meridian.transit;
        }
        for (int t = AsrFactor1Triple; t <= AsrFactor2Triple; ++t) {
            table.triple[t] = EventTriple{transit, transit, transit};
        }
        return;
    }
    SolveTriple(latitude, duhrLongitude, theta0, dT, sun, h0, tolerance, table.triple[DuhrTriple],
                atDuhr);

    // The Sun seen from the place at the instant of the centre's transit:
    // the time origin (the place's midnight, in UT and TT) plus the transit.
    const double sinceOrigin = (transit * RadToHour / 24.0) / DaysPerCentury;
    const double Ta = Tu + sinceOrigin;
    const double Tad = Td + sinceOrigin;
    double dpsiA = 0.0, depsA = 0.0;
    Nutation(Tad, &dpsiA, &depsA);
    const double epsA = MeanObliquity(Tad) + depsA;
    const double localSidereal =
        AddEquationOfEquinoxes(MeanSiderealTime(Ta), dpsiA, epsA) + longitude;
    const SolarPosition noon = SunApparent(Tad, dpsiA);
    double position[2] = {noon.longitude, noon.latitude};
    double noonSemidiameter = semidiameter;
    TopocentricEcliptic(position, &noonSemidiameter, rhoSinPhi, rhoCosPhi, epsA, localSidereal,
                        sinParallax);
    double ra = 0.0, dec = 0.0, azimuth = 0.0, altitude = 0.0;
    EclipticToEquatorial(position[0], position[1], epsA, &ra, &dec);
    EquatorialToHorizontal(ra, dec, localSidereal, latitude, &azimuth, &altitude);
    const double apparentNoonAltitude = Refraction(altitude, &loc, &cfg, 1);

    // Asr: the shadow of a unit rod equals f plus its noon length k0.
    const double noonShadow = std::tan(Pi / 2.0 - apparentNoonAltitude);
    for (int f = 1; f <= 2; ++f) {
        const double asrAltitude = Pi / 2.0 - std::atan(f + noonShadow);
        SolveTriple(latitude, longitude, theta0, dT, sun, asrAltitude, tolerance,
                    table.triple[DuhrTriple + f], atPlace);
    }
}

}  // namespace

void ComputeSunEvents(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                      SunEventTable &table) {
    ComputeSunEventsOfDay(ComputeSunOfDay(date, loc.timeZone), loc, cfg, table);
}

int ComputeAreaCorners(double distanceKm, double latitude, double longitude, double lat[4],
                       double lon[4]) {
    const double sinLat = std::sin(latitude);
    const double w2 = 1.0 - EllipsoidE2 * sinLat * sinLat;
    if (w2 == 0.0) return 0;
    const double parallelRadius = EarthEquatorialRadiusKm * std::cos(latitude) / std::sqrt(w2);
    const double meridianRadius = EarthEquatorialRadiusKm * EllipsoidOneMinusE2 / std::pow(w2, 1.5);
    // Also rejects NaN radii.
    if (!(parallelRadius >= 1.0) || !(meridianRadius >= 1.0)) return 0;
    const double dLat = distanceKm / meridianRadius;
    const double dLon = distanceKm / parallelRadius;
    const double sign[4][2] = {{-1.0, -1.0}, {-1.0, 1.0}, {1.0, -1.0}, {1.0, 1.0}};
    for (int i = 0; i < 4; ++i) {
        lat[i] = FoldQuarterAngle(latitude + sign[i][0] * dLat);
        lon[i] = NormalizeAngleSigned(longitude + sign[i][1] * dLon);
    }
    return 1;
}

unsigned ValidElements(const SunEventTable &table) {
    unsigned mask = 0;
    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        if (!IsTimeMarker(table.Element(e))) mask |= 1u << e;
    }
    return mask;
}

namespace {

// The events of the place widened over the area, corner by corner.  For
// each element the corner farthest from the place is chosen, the first
// corner (in the order south-west, south-east, north-west, north-east)
// with a marker winning; an element whose choice is a marker takes it, one
// whose choice lies more than an hour away becomes TimeNotValid, the
// others move toward the safe side by that distance.  With onlyValidity
// the walk over the corners stops once no element of interest can still be
// valid (its choice is a marker or more than an hour away; which marker it
// ends with may still change, so the table is then incomplete).  Returns
// the elements of interest that are valid.
// The Sun's places of the day (day) serve the place and its four corners
// alike: they depend on the date and the zone only.
unsigned WidenOverArea(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                       unsigned interest, bool onlyValidity, SunEventTable &table) {
    ComputeSunEventsOfDay(day, loc, cfg, table);
    for (EventTriple &t : table.triple) CheckOrder(t);
    unsigned alive = ValidElements(table) & interest;
    if (cfg.distanceKm <= 0) return alive;

    const SunEventTable centre = table;
    SunEventTable choice;
    choice.Fill(TimeNotValid);  // no corners (the area cannot be formed): not valid
    double lat[4], lon[4];
    if (ComputeAreaCorners(cfg.distanceKm, loc.latitude, loc.longitude, lat, lon) == 1) {
        VorLocation place = loc;
        for (int i = 0; i < 4 && (alive != 0 || !onlyValidity); ++i) {
            place.latitude = lat[i];
            place.longitude = lon[i];
            SunEventTable corner;
            ComputeSunEventsOfDay(day, place, cfg, corner);
            for (int e = 0; e < SunEventTable::ElementCount; ++e) {
                const double c = centre.Element(e);
                const double v = corner.Element(e);
                double &chosen = choice.Element(e);
                if (i == 0 || (!IsTimeMarker(chosen) &&
                               (IsTimeMarker(v) || std::fabs(v - c) > std::fabs(chosen - c)))) {
                    chosen = v;
                }
                if (IsTimeMarker(chosen) || std::fabs(chosen - c) > HourToRad) {
                    alive &= ~(1u << e);
                }
            }
        }
    } else {
        alive = 0;
    }

    for (int e = 0; e < SunEventTable::ElementCount; ++e) {
        const double c = centre.Element(e);
        if (IsTimeMarker(c)) continue;
        const double chosen = choice.Element(e);
        if (IsTimeMarker(chosen)) {
            table.Element(e) = chosen;
            continue;
        }
        const double margin = std::fabs(chosen - c);
        if (margin > HourToRad) {
            table.Element(e) = TimeNotValid;
        } else {
            table.Element(e) = MovesEarlier(e) ? c - margin : c + margin;
        }
    }
    return alive;
}

}  // namespace

unsigned AreaValidElements(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           unsigned interest) {
    return AreaValidElements(ComputeSunOfDay(date, loc.timeZone), loc, cfg, interest);
}

unsigned AreaValidElements(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                           unsigned interest) {
    SunEventTable table;
    return WidenOverArea(day, loc, cfg, interest, true, table);
}

void ComputeAreaSunEvents(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                          SunEventTable &table) {
    ComputeAreaSunEvents(ComputeSunOfDay(date, loc.timeZone), loc, cfg, table);
}

void ComputeAreaSunEvents(const SunOfDay &day, const VorLocation &loc, const EventSettings &cfg,
                          SunEventTable &table) {
    WidenOverArea(day, loc, cfg, SunEventTable::AllElements, false, table);
}

namespace {

// Empties the cache when it holds tables of another place or configuration.
void PrepareCache(SunEventCache &cache, const VorLocation &loc, const EventSettings &cfg) {
    if (cache.filled && std::memcmp(&cache.place, &loc, sizeof loc) == 0 &&
        SameSettings(cache.config, cfg)) {
        return;
    }
    for (SunEventCache::Entry &e : cache.entries) e.used = 0;
    for (SunEventCache::MaskEntry &e : cache.masks) e.used = 0;
    cache.filled = true;
    cache.place = loc;
    cache.config = cfg;
}

// Direct-mapped slot of a Julian Date (|jd| < 1e9) in a table of capacity.
int Slot(double jd, int capacity) {
    const int slot = static_cast<int>(static_cast<long long>(std::floor(jd)) % capacity);
    return slot < 0 ? slot + capacity : slot;
}

}  // namespace

void ComputeAreaSunEventsCached(const VorDate &date, const VorLocation &loc,
                                const EventSettings &cfg, SunEventTable &table,
                                SunEventCache *cache) {
    const double jd = DateToJulianDay(date);
    // A Julian Date no calendar reaches (or NaN) is not cached.
    if (cache == nullptr || !(std::fabs(jd) < 1e9)) {
        ComputeAreaSunEvents(date, loc, cfg, table);
        return;
    }
    PrepareCache(*cache, loc, cfg);
    SunEventCache::Entry &e = cache->entries[Slot(jd, SunEventCache::Capacity)];
    if (e.used == 1 && std::memcmp(&e.julianDay, &jd, sizeof jd) == 0) {
        table = e.table;
        return;
    }
    ComputeAreaSunEvents(date, loc, cfg, table);
    e.julianDay = jd;
    e.used = 1;
    e.table = table;
}

unsigned ValidElementsCached(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                             SunEventCache *cache) {
    const double jd = DateToJulianDay(date);
    SunEventTable table;
    if (cache == nullptr || !(std::fabs(jd) < 1e9)) {
        ComputeAreaSunEvents(date, loc, cfg, table);
        return ValidElements(table);
    }
    PrepareCache(*cache, loc, cfg);
    SunEventCache::MaskEntry &e = cache->masks[Slot(jd, SunEventCache::MaskCapacity)];
    if (e.used == 1 && std::memcmp(&e.julianDay, &jd, sizeof jd) == 0) return e.mask;
    ComputeAreaSunEventsCached(date, loc, cfg, table, cache);
    e = SunEventCache::MaskEntry{jd, ValidElements(table), 1};
    return e.mask;
}

}  // namespace vorlin
