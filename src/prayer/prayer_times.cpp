#include "prayer/prayer_times.h"

#include "astro/constants.h"
#include "prayer/high_latitude.h"
#include "prayer/sun_events.h"

namespace vorlin {

namespace {

// t + shift for a valid time; a marker unchanged.
double Adjusted(double t, double shift) { return IsTimeMarker(t) ? t : t + shift; }

}  // namespace

void ComputeDayPrayerTimes(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           PrayerTimes &out) {
    ComputeDayPrayerTimes(date, loc, cfg, out, nullptr);
}

void ComputeDayPrayerTimes(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           PrayerTimes &out, SunEventCache *cache) {
    SunEventTable table;
    ComputeAreaSunEventsCached(date, loc, cfg, table, cache);
    ApplyHighLatitudeRule(date, loc, cfg, table, cache);

    const double safety = cfg.safetySeconds * SecondToRad;
    const EventTriple *t = table.triple;
    double *p = out.time;
    p[PrayerImsak] = Adjusted(t[ImsakIshaTriple].rise, -safety);
    p[PrayerFajr] = Adjusted(t[FajrTriple].rise, safety);
    p[PrayerShuruq] = Adjusted(t[SunriseSunsetTriple].rise, -safety);
    p[PrayerSunTransit] = Adjusted(t[SunriseSunsetTriple].transit, safety);
    p[PrayerDuhr] = Adjusted(t[DuhrTriple].transit, safety);
    p[PrayerAsrFactor1] = Adjusted(t[AsrFactor1Triple].set, safety);
    p[PrayerAsrFactor2] = Adjusted(t[AsrFactor2Triple].set, safety);
    p[PrayerMaghrib] =
        Adjusted(Adjusted(t[SunriseSunsetTriple].set, safety), cfg.maghribMinutes * MinuteToRad);
    p[PrayerIsha] = Adjusted(t[ImsakIshaTriple].set, safety);
}

}  // namespace vorlin
