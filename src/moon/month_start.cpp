#include "moon/month_start.h"

#include <cmath>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/lunar_phases.h"
#include "astro/rise_transit_set.h"
#include "astro/sun.h"
#include "astro/topocentric.h"
#include "calendar/julian_day.h"
#include "moon/month_start_report.h"
#include "moon/moon_rise_transit_set.h"
#include "moon/shared_month_starts.h"

namespace vorlin {
namespace {

constexpr double HourToCentury = 1.1407711613050422e-06;  // 1 / (24 x 36525)
constexpr double SecondToDay = 1.1574074074074073e-05;    // 1 / 86400

// Sun's transit, rise and set (out[0..2]) on the local day starting at
// local JD dayJd, radians of day from its local midnight.
void SunEventsOfLocalDay(double dayJd, double deltaT, const VorLocation *loc,
                         const VorConfig *cfg, double out[3]) {
    const double t = JulianCenturies(dayJd);
    const double tUt = t - static_cast<double>(loc->timeZone) * HourToCentury;
    const double tTt = tUt + deltaT * SecondToCentury;
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(tTt, &dpsi, &deps);
    const double eps = MeanObliquity(tTt) + deps;
    const double theta0 = AddEquationOfEquinoxes(MeanSiderealTime(tUt), dpsi, eps);

    double ra[3];
    double dec[3];
    double middleDistanceAu = 1.0;
    SolarPosition geometric[3];
    SunGeometricOverThreeDays(tTt, geometric);
    for (int j = 0; j < 3; ++j) {
        const SolarPosition sun = SunApparentFromGeometric(geometric[j], dpsi);
        EclipticToEquatorial(sun.longitude, sun.latitude, eps, &ra[j], &dec[j]);
        if (j == 1) middleDistanceAu = sun.distanceAu;
    }
    // Standard altitude: the upper limb on the apparent horizon.
    const double height = static_cast<double>(loc->height);
    const double semidiameter = SemiDiameterAtDistance(0, middleDistanceAu, nullptr) * ArcsecToRad;
    const double sinParallax = std::sin(SolarParallax) / middleDistanceAu;
    const double standardAltitude =
        Refraction(AltitudeParallax(loc->latitude, sinParallax, 0.0, height) - semidiameter, loc,
                   cfg, 0) -
        HorizonDip(height);
    // As for the prayer times, a set the corrections found on another day (a
    // sunset before the transit, which is the night before's) is no sunset
    // of this day; the Sun's slow change of declination lets a missed
    // passage be classified.
    RiseTransitSet(loc->latitude, loc->longitude, theta0, deltaT, ra[0], dec[0], ra[1], dec[1],
                   ra[2], dec[2], standardAltitude, out,
                   static_cast<double>(cfg->toleranceSeconds), true);
}

}  // namespace

int FindFirstEvening(double topo, double deltaT, const VorLocation *loc, const VorConfig *cfg,
                     double *eveningJd, double *sunset, double *moonset) {
    const double firstDay = std::floor(topo - 0.5) + 0.5;
    // Bounded: MaxFirstEvenings days from the new moon's own day on.
    for (int k = 0; k < MaxFirstEvenings; ++k) {
        const double dayJd = firstDay + k;
        double sunsetTime = TimeNotValid, moonsetTime = TimeNotValid;
        if (EveningOfDay(dayJd, deltaT, loc, cfg, &sunsetTime, &moonsetTime) == 0) continue;
        if (dayJd + sunsetTime * RadToHour / 24.0 >= topo && moonsetTime >= sunsetTime) {
            *eveningJd = dayJd;
            *sunset = sunsetTime;
            *moonset = moonsetTime;
            return 1;
        }
    }
    return 0;
}

int EveningOfDay(double dayJd, double deltaT, const VorLocation *loc, const VorConfig *cfg,
                 double *sunset, double *moonset) {
    double sun[3];
    SunEventsOfLocalDay(dayJd, deltaT, loc, cfg, sun);
    *sunset = sun[2];
    *moonset = TimeNotValid;
    // Without a sunset there is no evening; the Moon is not computed.
    if (IsTimeMarker(sun[2])) return 0;
    VorDate evening{};
    JulianDayToDate(dayJd, evening);
    double moon[3];
    const int moonResult = MoonRiseTransitSet(&evening, loc, cfg, moon);
    *moonset = moon[2];
    // A moonset still counted from a half-day-shifted start (result 2) is
    // not a time of this evening.
    return IsTimeMarker(moon[2]) || moonResult == MoonEventsTransitOutside ? 0 : 1;
}

bool CrescentPasses(double visibility, float crescentThreshold) {
    return !(visibility < static_cast<double>(crescentThreshold) * DegToRad);
}

namespace {

// ComputeMonthStartDetails from the lunation's mean-phase estimate.
int MonthStartDetailsOfLunation(double lunation, const VorLocation *loc, const VorConfig *cfg,
                                MonthStartDetails *details) {
    MonthStartDetails &d = *details;
    RefineNewMoons(lunation, loc, &d.geo, &d.topo);
    // One Delta T, taken at the topocentric new moon, brings both to civil time.
    const double deltaT = DeltaT(JulianCenturies(d.topo));
    d.geo -= deltaT * SecondToDay;
    d.topo -= deltaT * SecondToDay;

    if (FindFirstEvening(d.topo, deltaT, loc, cfg, &d.eveningJd, &d.sunset, &d.moonset) == 0) {
        return 0;
    }
    ComputeMoonDataAtSunset(d.eveningJd, d.sunset, loc, cfg, &d.moonData);
    d.visibility = d.moonData.moonAltitude - d.moonData.sunAltitude + d.moonData.topoElongation;
    d.start = d.eveningJd + (CrescentPasses(d.visibility, cfg->crescentThreshold) ? 1.0 : 2.0);
    return 1;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The place without its latitude: what a cache remembers of it.
VorLocation PlaceBesidesLatitude(const VorLocation *loc) {
    VorLocation place = *loc;
    place.latitude = 0.0;
    return place;
}

// True when the cache was filled for this place (but for the latitude) and
// configuration.
bool CacheMatches(const MonthStartCache &cache, const VorLocation *loc, const VorConfig *cfg) {
    const VorLocation place = PlaceBesidesLatitude(loc);
    return std::memcmp(&cache.place, &place, sizeof place) == 0 &&
           std::memcmp(&cache.config, cfg, sizeof *cfg) == 0;
}

}  // namespace

int ComputeMonthStartDetails(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                             MonthStartDetails *details) {
    return MonthStartDetailsOfLunation(NewMoonEstimate(date, loc), loc, cfg, details);
}

namespace {

// The first day of the month of a lunation (conversion mode), from the
// process-wide table when it holds it, else computed and kept there.
// Returns 1 with *start, or 0 when no evening qualifies.
int MonthStartOfLunation(double lunation, const VorLocation *loc, const VorConfig *cfg,
                         double *start) {
    const bool shared = SharedMonthStartsEnabled();
    const MonthStartKey key = MonthStartKeyOf(lunation, *loc, *cfg);
    int found = 0;
    if (shared && SharedLibraryMonthStarts().Recall(key, start, &found)) return found;
    MonthStartDetails details{};
    found = MonthStartDetailsOfLunation(lunation, loc, cfg, &details);
    *start = details.start;
    if (shared) SharedLibraryMonthStarts().Store(key, details.start, found);
    return found;
}

}  // namespace

namespace {

// The slot a new item of a ring of capacity takes: the next unused one
// while there is one (count grows), then the oldest (next moves on).
int NextSlot(int &count, int &next, int capacity) {
    if (count < capacity) return count++;
    const int slot = next;
    next = (next + 1) % capacity;
    return slot;
}

// Empties the cache when it was filled for another place (but for the
// latitude) or configuration, and takes this one's.
void MatchCache(MonthStartCache &cache, const VorLocation *loc, const VorConfig *cfg) {
    if ((cache.count > 0 || cache.walkCount > 0) && !CacheMatches(cache, loc, cfg)) {
        cache.count = 0;
        cache.walkCount = 0;
    }
    if (cache.count == 0 && cache.walkCount == 0) {
        cache.next = 0;
        cache.walkNext = 0;
        cache.place = PlaceBesidesLatitude(loc);
        cache.config = *cfg;
    }
}

}  // namespace

double ComputeMonthStartCached(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                               double *outJd, MonthStartCache *cache) {
    if (cache == nullptr) return ComputeMonthStart(date, loc, cfg, outJd, nullptr);
    MatchCache(*cache, loc, cfg);
    const double lunation = NewMoonEstimate(date, loc);
    for (int i = 0; i < cache->count; ++i) {  // at most Capacity entries
        const MonthStartCache::Entry &e = cache->entries[i];
        if (SameBits(e.lunation, lunation) && SameBits(e.latitude, loc->latitude)) {
            if (e.found == 0) return 0.0;
            *outJd = e.start;
            return 1.0;
        }
    }
    double start = 0.0;
    const int found = MonthStartOfLunation(lunation, loc, cfg, &start);
    const int slot = NextSlot(cache->count, cache->next, MonthStartCache::Capacity);
    cache->entries[slot] = MonthStartCache::Entry{lunation, loc->latitude, start, found};
    if (found == 0) return 0.0;
    *outJd = start;
    return 1.0;
}

bool RecallLatitudeWalk(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                        MonthStartCache *cache, MonthStartCache::Walk *walk) {
    MatchCache(*cache, loc, cfg);
    if (cache->walkCount == 0) return false;  // the usual case: no estimate needed
    const double lunation = NewMoonEstimate(date, loc);
    for (int i = 0; i < cache->walkCount; ++i) {  // at most WalkCapacity walks
        const MonthStartCache::Walk &w = cache->walks[i];
        if (SameBits(w.lunation, lunation) && SameBits(w.fromLatitude, loc->latitude)) {
            *walk = w;
            return true;
        }
    }
    return false;
}

void RememberLatitudeWalk(const VorDate *date, double fromLatitude, const VorLocation *loc,
                          const VorConfig *cfg, int steps, int found, MonthStartCache *cache) {
    MatchCache(*cache, loc, cfg);
    const int slot = NextSlot(cache->walkCount, cache->walkNext, MonthStartCache::WalkCapacity);
    cache->walks[slot] =
        MonthStartCache::Walk{NewMoonEstimate(date, loc), fromLatitude, loc->latitude, steps, found};
}

double ComputeMonthStart(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                         double *outJd, TextWriter *text) {
    if (text == nullptr) {
        double start = 0.0;
        if (MonthStartOfLunation(NewMoonEstimate(date, loc), loc, cfg, &start) == 0) return 0.0;
        *outJd = start;
        return 1.0;
    }
    // The report: every detail, computed afresh.
    MonthStartDetails details{};
    if (ComputeMonthStartDetails(date, loc, cfg, &details) == 0) {
        text->Append("\n Could not calculate valid sunset/moonset times!\n");
        return 0.0;
    }
    *outJd = details.geo;
    WriteMonthStartReport(details, *loc, *cfg, *text);
    return std::floor(details.start + 0.5) < HijriEpochDayNumber ? 0.0 : 1.0;
}

}  // namespace vorlin
