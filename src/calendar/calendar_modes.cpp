#include "calendar/calendar_modes.h"

#include <cmath>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "astro/lunar_phases.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "moon/shared_month_starts.h"

namespace vorlin {
namespace {

constexpr const char *ModeNames[CalendarModeCount] = {
    "observational", "regional", "conjunction-before-noon-utc", "umm-al-qura", "tabular"};
constexpr const char *RegionNames[3] = {"world", "americas", "places"};

constexpr double SecondToDay = 1.0 / 86400.0;
constexpr double MeanSynodicMonth = 29.530588853;

// The regional grid: every 5 degrees of latitude from 60 S to 60 N, every
// 6 degrees of longitude (cell centres 177 W .. 177 E, or 165 W .. 33 W for
// the Americas, whose latitudes end at 55 S).
constexpr int GridLatitudeStep = 5;
constexpr int GridLongitudeStep = 6;
// Evenings the regional search looks at: from the civil date before the
// conjunction's UTC date on; a month begins at the latest the day after
// the last of them.
constexpr int RegionalEvenings = 5;
// Lunations before the one asked for from which the umm-al-qura rule is
// carried month by month (a 29th day depends on the month before).
constexpr int UmmAlQuraLeadMonths = 2;
// The same for the 29 or 30 days of the observational and regional months.
constexpr int MonthLengthLeadMonths = 6;
constexpr double HalfLunation = 14.77;

// The geocentric conjunction (JD UT) nearest a lunation's mean-phase
// estimate (JDE).
double GeocentricConjunctionUt(double lunation) {
    double jd = lunation;
    const VorLocation centre{};
    RefineNewMoon(&centre, &jd, 0.0);
    return jd - DeltaT(JulianCenturies(jd)) * SecondToDay;
}

// Local JD of 0 h of the civil date of a JD (UT) in a zone of hours east.
double DayOf(double jdUt, double zoneHours) {
    return std::floor(jdUt + zoneHours / 24.0 + 0.5) - 0.5;
}

// The conditions a calendar's evenings are judged in, where the rule and
// not the user decides: 10 Celsius, 1010 mbar, 1 s.
VorConfig StandardConditions(const VorConfig &cfg) {
    VorConfig c = cfg;
    c.temperature = 10;
    c.pressure = 1010;
    c.toleranceSeconds = 1;
    return c;
}

// Is the crescent seen, by rule, on the evening of the local day dayJd at
// place, after the conjunction?
bool SeenOn(double dayJd, const VorLocation &place, const VorConfig &cfg, double conjunctionUt,
            const CrescentRule &rule) {
    VorDate day{};
    JulianDayToDate(dayJd, day);
    EveningCrescent e{};
    ComputeEveningCrescentAfter(day, place, cfg, conjunctionUt, e);
    return e.status == 1 && e.lagMinutes > 0.0 && e.ageGeoHours > 0.0 &&
           CrescentSeen(e, rule, static_cast<double>(cfg.crescentThreshold));
}

int ObservationalStart(const CalendarRule &rule, double lunation, const VorLocation &loc,
                       const VorConfig &cfg, double *start) {
    double geo = 0.0, topo = 0.0;
    RefineNewMoons(lunation, &loc, &geo, &topo);
    const double deltaT = DeltaT(JulianCenturies(topo));
    geo -= deltaT * SecondToDay;
    topo -= deltaT * SecondToDay;
    double eveningJd = 0.0, sunset = 0.0, moonset = 0.0;
    if (FindFirstEvening(topo, deltaT, &loc, &cfg, &eveningJd, &sunset, &moonset) == 0) return 0;
    const double conjunctionUt = geo - static_cast<double>(loc.timeZone) / 24.0;
    VorDate day{};
    JulianDayToDate(eveningJd, day);
    EveningCrescent e{};
    ComputeEveningCrescentAfter(day, loc, cfg, conjunctionUt, e);
    const bool seen = e.status == 1 && CrescentSeen(e, rule.crescent,
                                                    static_cast<double>(cfg.crescentThreshold));
    *start = eveningJd + (seen ? 1.0 : 2.0);
    return 1;
}

// A place of the regional grid, on its local mean time.
VorLocation GridPlace(int latitudeDegrees, int longitudeDegrees) {
    VorLocation p{};
    p.latitude = latitudeDegrees * DegToRad;
    p.longitude = longitudeDegrees * DegToRad;
    p.timeZone = static_cast<float>(std::round(longitudeDegrees / 15.0));
    return p;
}

// Is the crescent seen on the evening of the local date dayJd (the same
// civil date everywhere) at some place of the region?  Places are tried
// from the west, where that date's sunset comes last and the Moon is
// oldest; a place whose sunset comes before the conjunction is skipped.
bool SeenInRegion(const CalendarRule &rule, double dayJd, const VorConfig &cfg,
                  double conjunctionUt) {
    auto evening = [&](const VorLocation &place) {
        // Sunset comes between 15 h and 21 h local time below 60 degrees.
        const double latestSunsetUt =
            dayJd + (21.0 - place.longitude * RadToHour) / 24.0;
        return latestSunsetUt > conjunctionUt && SeenOn(dayJd, place, cfg, conjunctionUt, rule.crescent);
    };
    if (rule.region == RegionKind::Places) {
        for (int i = 0; i < rule.placeCount && i < MaxRegionPlaces; ++i) {
            VorLocation place = rule.places[i];
            if (evening(place)) return true;
        }
        return false;
    }
    const bool americas = rule.region == RegionKind::Americas;
    const int west = americas ? -165 : -177;
    const int east = americas ? -33 : 177;
    const int south = americas ? -55 : -60;
    for (int lon = west; lon <= east; lon += GridLongitudeStep) {
        for (int lat = south; lat <= 60; lat += GridLatitudeStep) {
            if (evening(GridPlace(lat, lon))) return true;
        }
    }
    return false;
}

int RegionalStart(const CalendarRule &rule, double lunation, const VorConfig &cfg, double *start) {
    const double conjunctionUt = GeocentricConjunctionUt(lunation);
    const double firstDay = DayOf(conjunctionUt, 0.0) - 1.0;
    for (int k = 0; k < RegionalEvenings; ++k) {
        if (SeenInRegion(rule, firstDay + k, cfg, conjunctionUt)) {
            *start = firstDay + k + 1.0;
            return 1;
        }
    }
    *start = firstDay + RegionalEvenings;
    return 1;
}

int ConjunctionStart(double lunation, double *start) {
    const double conjunctionUt = GeocentricConjunctionUt(lunation);
    const double day = DayOf(conjunctionUt, 0.0);
    *start = day + (conjunctionUt - day < 0.5 ? 1.0 : 2.0);
    return 1;
}

// The umm-al-qura test on the evening of Makkah's local day dayJd: the
// conjunction before sunset and the Moon setting after the Sun.
bool UmmAlQuraPasses(double dayJd, double conjunctionUt, const VorConfig &cfg) {
    const VorLocation makkah = UmmAlQuraPlace();
    const double deltaT = DeltaT(JulianCenturies(dayJd));
    double sunset = 0.0, moonset = 0.0;
    if (EveningOfDay(dayJd, deltaT, &makkah, &cfg, &sunset, &moonset) == 0) return false;
    const double sunsetUt = dayJd + (sunset * RadToHour - static_cast<double>(makkah.timeZone)) / 24.0;
    return conjunctionUt < sunsetUt && moonset > sunset;
}

// The first day of the month of a lunation with the test on the first
// evening that passes (the conjunction's day at Makkah or one of the two
// after it), as if the month before had no say.
double UmmAlQuraFirstGuess(double lunation, const VorConfig &cfg) {
    const double conjunctionUt = GeocentricConjunctionUt(lunation);
    const double day = DayOf(conjunctionUt, static_cast<double>(UmmAlQuraPlace().timeZone));
    for (int k = 0; k < 3; ++k) {
        if (UmmAlQuraPasses(day + k, conjunctionUt, cfg)) return day + k + 1.0;
    }
    return day + 3.0;
}

// The rule month by month: from a first guess UmmAlQuraLeadMonths
// lunations before, each month's 29th day decides whether the next month
// begins after 29 days or after 30.
int UmmAlQuraStart(double lunation, const VorConfig &userCfg, double *start) {
    const VorConfig cfg = StandardConditions(userCfg);
    double first = UmmAlQuraFirstGuess(lunation - UmmAlQuraLeadMonths * MeanSynodicMonth, cfg);
    for (int j = UmmAlQuraLeadMonths - 1; j >= 0; --j) {
        const double conjunctionUt = GeocentricConjunctionUt(lunation - j * MeanSynodicMonth);
        const double day29 = first + 28.0;
        first = UmmAlQuraPasses(day29, conjunctionUt, cfg) ? day29 + 1.0 : day29 + 2.0;
    }
    *start = first;
    return 1;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameRule(const CalendarRule &a, const CalendarRule &b) {
    if (a.mode != b.mode || a.crescent.criterion != b.crescent.criterion ||
        a.crescent.level != b.crescent.level || a.crescent.withDanjon != b.crescent.withDanjon ||
        a.region != b.region || a.placeCount != b.placeCount) {
        return false;
    }
    const int n = a.placeCount < 0 ? 0 : (a.placeCount > MaxRegionPlaces ? MaxRegionPlaces : a.placeCount);
    return std::memcmp(a.places, b.places, sizeof(VorLocation) * static_cast<unsigned>(n)) == 0;
}

// Empties the cache when it holds another rule, place (but for the
// latitude) or configuration.
void MatchCache(CalendarCache &cache, const CalendarRule &rule, const VorLocation &loc,
                const VorConfig &cfg) {
    VorLocation place = loc;
    place.latitude = 0.0;
    if (cache.keyed && SameRule(cache.rule, rule) &&
        std::memcmp(&cache.place, &place, sizeof place) == 0 &&
        std::memcmp(&cache.config, &cfg, sizeof cfg) == 0) {
        return;
    }
    cache.count = 0;
    cache.next = 0;
    cache.keyed = true;
    cache.rule = rule;
    cache.place = place;
    cache.config = cfg;
}

int StartOfLunation(const CalendarRule &rule, double lunation, const VorLocation &loc,
                    const VorConfig &cfg, double *start) {
    switch (rule.mode) {
        case CalendarMode::Observational: {
            // Where the place has no evening for the lunation (no sunset or
            // moonset, or the young Moon setting first every evening), the
            // month start of the first latitude 2, 4, 6 ... degrees nearer
            // the equator that has one, as the conversions of the library's
            // calendar do, but here for each lunation alone.
            VorLocation walked = loc;
            for (int step = 0; step <= MaxLatitudeSteps; ++step) {  // bounded
                if (ObservationalStart(rule, lunation, walked, cfg, start) == 1) return 1;
                if (walked.latitude == 0.0) return 0;
                const double next = walked.latitude - std::copysign(2.0 * DegToRad, walked.latitude);
                walked.latitude = (next > 0.0) == (walked.latitude > 0.0) ? next : 0.0;
            }
            return 0;
        }
        case CalendarMode::Regional: return RegionalStart(rule, lunation, StandardConditions(cfg), start);
        case CalendarMode::ConjunctionBeforeNoonUtc: return ConjunctionStart(lunation, start);
        case CalendarMode::UmmAlQura: return UmmAlQuraStart(lunation, cfg, start);
        case CalendarMode::Tabular:
        default: return 0;
    }
}

// The month starts of a rule in the shape the conversions' searches call.
class RuleMonthStart final : public MonthStartSource {
public:
    RuleMonthStart(const CalendarRule &rule, CalendarCache &cache) : rule_(rule), cache_(cache) {}
    double operator()(const VorDate *date, const VorLocation *loc, const VorConfig *cfg,
                      double *outJd) override {
        return MonthStartOfRule(rule_, *date, *loc, *cfg, outJd, &cache_) == 1 ? 1.0 : 0.0;
    }
    // The observational rule walks each lunation toward the equator itself
    // (StartOfLunation); the others have a start for every lunation.  A
    // second walk around the first would only repeat its latitudes, each
    // time with the lunations before the month, dozens of times over.
    bool WalksTowardTheEquator() const override { return true; }

private:
    const CalendarRule &rule_;
    CalendarCache &cache_;
};

constexpr double LastTabularDayNumber = 2147483647.0;

int TabularCivilToHijri(VorDate &date, const VorConfig &config) {
    const double jd = DateToJulianDay(date);
    date.hijriValid = 0;
    const double adjust = config.hijriAdjustDays;
    const double target = jd + adjust;
    if (!(jd >= HijriEpochDayNumber - 0.5 + adjust) || !(target >= HijriEpochDayNumber - 0.5)) return 0;
    // The day numbers are ints: the calendar ends with the day before the
    // last one, 5874898-06-01.
    if (!(target + 0.5 < LastTabularDayNumber)) return 0;
    const int n = static_cast<int>(std::floor(target + 0.5));  // within the int range, checked
    TabularHijriFromDayNumber(n, date);
    date.hijriDay += target - (n - 0.5);
    date.hijriValid = 1;
    return 1;
}

int TabularHijriToCivil(VorDate &date, const VorConfig &config) {
    const double day = std::floor(date.hijriDay);
    if (!(day >= 1.0 && day <= 30.0)) return 0;
    if (date.hijriMonth < 1 || date.hijriMonth > 12 || date.hijriYear < 1) return 0;
    VorDate whole = date;
    whole.hijriDay = day;
    const int n = TabularHijriDayNumber(whole);
    VorDate back{};
    TabularHijriFromDayNumber(n, back);
    if (back.hijriYear != date.hijriYear || back.hijriMonth != date.hijriMonth || back.hijriDay != day) {
        return 0;  // day 30 of a 29-day month
    }
    const double civilJd = n - 0.5 - config.hijriAdjustDays;
    VorDate check{};
    JulianDayToDate(civilJd, check);
    if (TabularCivilToHijri(check, config) == 0) return 0;
    JulianDayToDate(civilJd + (date.hijriDay - day), date);
    return 1;
}

}  // namespace

const char *CalendarModeName(CalendarMode mode) { return ModeNames[static_cast<int>(mode)]; }

bool CalendarModeOfName(const char *name, CalendarMode *mode) {
    for (int i = 0; i < CalendarModeCount; ++i) {
        if (std::strcmp(name, ModeNames[i]) == 0) {
            *mode = static_cast<CalendarMode>(i);
            return true;
        }
    }
    return false;
}

const char *RegionKindName(RegionKind kind) { return RegionNames[static_cast<int>(kind)]; }

bool IsLibraryCalendar(const CalendarRule &rule) {
    return rule.mode == CalendarMode::Observational &&
           rule.crescent.criterion == CrescentCriterion::Default && !rule.crescent.withDanjon;
}

VorLocation UmmAlQuraPlace() {
    VorLocation makkah{};
    makkah.latitude = 21.4225 * DegToRad;
    makkah.longitude = 39.8262 * DegToRad;
    makkah.height = 0;
    makkah.timeZone = 3.0f;
    return makkah;
}

namespace {

static_assert(RuleKeyPlaces == MaxRegionPlaces, "a rule's key holds every place of its region");

// The key of a rule's month start in the process-wide table: everything
// StartOfLunation reads.
RuleMonthStartKey RuleKeyOf(const CalendarRule &rule, double lunation, const VorLocation &loc,
                            const VorConfig &cfg) {
    RuleMonthStartKey key{};
    key.base = MonthStartKeyOf(lunation, loc, cfg);
    key.mode = static_cast<int32_t>(rule.mode);
    key.criterion = static_cast<int32_t>(rule.crescent.criterion);
    key.level = static_cast<int32_t>(rule.crescent.level);
    key.withDanjon = rule.crescent.withDanjon ? 1 : 0;
    key.region = static_cast<int32_t>(rule.region);
    key.placeCount = rule.placeCount;
    const int n = rule.placeCount < 0 ? 0 : (rule.placeCount > MaxRegionPlaces ? MaxRegionPlaces : rule.placeCount);
    for (int i = 0; i < n; ++i) key.places[i] = PlaceKeyOf(rule.places[i]);
    return key;
}

// StartOfLunation through the process-wide table of the rules' month starts.
int SharedStartOfLunation(const CalendarRule &rule, double lunation, const VorLocation &loc,
                          const VorConfig &cfg, double *start) {
    if (!SharedMonthStartsEnabled()) return StartOfLunation(rule, lunation, loc, cfg, start);
    const RuleMonthStartKey key = RuleKeyOf(rule, lunation, loc, cfg);
    int found = 0;
    double s = 0.0;
    if (!SharedRuleMonthStarts().Recall(key, &s, &found)) {
        found = StartOfLunation(rule, lunation, loc, cfg, &s);
        SharedRuleMonthStarts().Store(key, s, found);
    }
    if (found == 0) return 0;
    *start = s;
    return 1;
}

// The month start of the lunation of date as its rule alone gives it,
// through the caller's cache and the process-wide table.
int UnconstrainedStart(const CalendarRule &rule, const VorDate &date, const VorLocation &loc,
                       const VorConfig &cfg, double *start, CalendarCache *cache) {
    const double lunation = NewMoonEstimate(&date, &loc);
    if (cache == nullptr) return SharedStartOfLunation(rule, lunation, loc, cfg, start);
    MatchCache(*cache, rule, loc, cfg);
    for (int i = 0; i < cache->count; ++i) {  // at most Capacity entries
        const CalendarCache::Entry &e = cache->entries[i];
        if (SameBits(e.lunation, lunation) && SameBits(e.latitude, loc.latitude)) {
            if (e.found == 0) return 0;
            *start = e.start;
            return 1;
        }
    }
    double s = 0.0;
    const int found = SharedStartOfLunation(rule, lunation, loc, cfg, &s);
    int slot = cache->count;
    if (cache->count < CalendarCache::Capacity) {
        ++cache->count;
    } else {
        slot = cache->next;
        cache->next = (cache->next + 1) % CalendarCache::Capacity;
    }
    cache->entries[slot] = CalendarCache::Entry{lunation, loc.latitude, s, found};
    if (found == 0) return 0;
    *start = s;
    return 1;
}

}  // namespace

int MonthStartOfRule(const CalendarRule &rule, const VorDate &date, const VorLocation &loc,
                     const VorConfig &cfg, double *start, CalendarCache *cache) {
    if (rule.mode == CalendarMode::Tabular) return 0;
    if (IsLibraryCalendar(rule)) {
        VorDate d = date;
        double jd = 0.0;
        const double found = cache != nullptr
                                 ? ComputeMonthStartCached(&d, &loc, &cfg, &jd, &cache->monthStarts)
                                 : ComputeMonthStart(&d, &loc, &cfg, &jd, nullptr);
        if (found == 0.0) return 0;
        *start = jd;
        return 1;
    }
    if (rule.mode != CalendarMode::Observational && rule.mode != CalendarMode::Regional) {
        return UnconstrainedStart(rule, date, loc, cfg, start, cache);
    }
    // A month has 29 or 30 days: each start is held within a day 29 or 30
    // after the start before it, carried from MonthLengthLeadMonths
    // lunations back (a lunation without a start there breaks the chain).
    // Each lunation is asked for from the middle of the lunation before it,
    // so that every probe of one lunation leads to the same ones before it.
    const double lunation = NewMoonEstimate(&date, &loc);
    auto leadDate = [&](int k) {
        VorDate lead{};
        JulianDayToDate(lunation - k * MeanSynodicMonth - HalfLunation, lead);
        return lead;
    };
    // Without a start of its own the lunation has none: the ones before it
    // are not asked for.
    double own = 0.0;
    if (UnconstrainedStart(rule, leadDate(0), loc, cfg, &own, cache) == 0) return 0;
    bool chained = false;
    double s = 0.0;
    for (int k = MonthLengthLeadMonths; k >= 0; --k) {
        double u = own;
        if (k > 0 && UnconstrainedStart(rule, leadDate(k), loc, cfg, &u, cache) == 0) {
            chained = false;
            continue;
        }
        s = chained ? std::fmin(std::fmax(u, s + 29.0), s + 30.0) : u;
        chained = true;
    }
    *start = s;
    return 1;
}

int CivilToHijriOfRule(const CalendarRule &rule, VorDate &date, VorLocation &location,
                       const VorConfig &config, CalendarCache *cache) {
    if (rule.mode == CalendarMode::Tabular) return TabularCivilToHijri(date, config);
    CalendarCache own;
    CalendarCache &c = cache != nullptr ? *cache : own;
    if (IsLibraryCalendar(rule)) return GregorianToHijri(date, location, config, c.monthStarts);
    RuleMonthStart source(rule, c);
    return GregorianToHijriFrom(source, date, location, config);
}

int HijriToCivilOfRule(const CalendarRule &rule, VorDate &date, VorLocation &location,
                       const VorConfig &config, CalendarCache *cache) {
    if (rule.mode == CalendarMode::Tabular) return TabularHijriToCivil(date, config);
    CalendarCache own;
    CalendarCache &c = cache != nullptr ? *cache : own;
    if (IsLibraryCalendar(rule)) return HijriToGregorian(date, location, config, c.monthStarts);
    RuleMonthStart source(rule, c);
    return HijriToGregorianFrom(source, date, location, config);
}

}  // namespace vorlin
