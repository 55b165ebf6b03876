// The young crescent on one evening at one place: the Moon's and the Sun's
// geometry at sunset and at the "best time" (sunset + 4/9 of the lag), and
// the published visibility criteria that judge it.
//
// Sources of the criteria: B. D. Yallop, "A method for predicting the first
// sighting of the new crescent moon", HM Nautical Almanac Office Technical
// Note 69 (1997); M. Sh. Odeh, "New criterion for lunar crescent
// visibility", Experimental Astronomy 18 (2004) 39-64; A. Danjon's limit of
// 7 degrees of elongation (1932, 1936).
#pragma once

#include "vorlin.h"

namespace vorlin {

// The geometry at one instant.  Angles in radians.
struct CrescentGeometry {
    double ut;                // Julian Date (UT)
    double arclGeo;           // elongation Moon-Sun seen from the Earth's centre
    double arclTopo;          // seen by the observer
    double arcvGeo;           // Moon minus Sun altitude, geocentric, no refraction
    double arcvTopo;          // the same seen by the observer, no refraction
    double daz;               // Sun's azimuth minus the Moon's, (-pi, pi]
    double widthArcmin;       // topocentric crescent width W = SD (1 - cos ARCL), arc minutes
    double illuminated;       // illuminated fraction
    double moonAltitude;      // apparent (refracted) topocentric altitudes
    double sunAltitude;
    double visibility;        // the library's test: moonAltitude - sunAltitude + arclTopo
};

// The evening of a local day.
struct EveningCrescent {
    int status;               // 1 computed; 0 no sunset or no moonset that day
    double dayJd;             // local JD of 0 h of the day
    double sunset, moonset;   // radians of day from its local midnight (markers when none)
    double lagMinutes;        // moonset - sunset
    double conjunctionGeoUt;  // the geocentric conjunction nearest the evening (JD UT)
    double conjunctionTopoUt; // the topocentric one
    double ageGeoHours;       // sunset - conjunction (negative: the Moon before it, old)
    double ageTopoHours;
    CrescentGeometry atSunset;
    CrescentGeometry atBest;  // sunset + 4/9 of the lag (at sunset when the lag is negative)
};

// The evening of the local civil day date (whole days) at loc (latitude and
// longitude in radians, height, timeZone) with cfg (temperature, pressure,
// tolerance).  Bounded; reads nothing else.
void ComputeEveningCrescent(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                            EveningCrescent &out);

// The same evening when the geocentric conjunction (JD UT) is already
// known, as for every place of a map or a region: the conjunctions are not
// searched, conjunctionTopoUt and ageTopoHours are NaN, ageGeoHours is
// counted from the given conjunction.  About half the cost.
void ComputeEveningCrescentAfter(const VorDate &date, const VorLocation &loc, const VorConfig &cfg,
                                 double conjunctionGeoUt, EveningCrescent &out);

// Yallop's q at the best time: q = (ARCV - (11.8371 - 6.3226 W + 0.7319 W^2
// - 0.1018 W^3)) / 10, ARCV geocentric airless (degrees), W topocentric (arc
// minutes); zones A (q > +0.216) easily visible, B (> -0.014) visible in
// perfect conditions, C (> -0.160) may need optical aid to find the
// crescent, D (> -0.232) needs optical aid, E (> -0.293) not visible with a
// telescope, F otherwise.
double YallopQ(double arcvDegrees, double widthArcmin);
char YallopZone(double q);

// The ARCV-width criterion (Odeh): V = ARCV - (-0.1018 W^3 + 0.7319 W^2 -
// 6.3226 W + 7.1651), ARCV and W topocentric at the best time; zones A
// (V >= 5.65) visible by naked eye, B (V >= 2) visible by optical aid and
// possibly by naked eye, C (V >= -0.96) by optical aid only, D not visible.
double OdehV(double arcvDegrees, double widthArcmin);
char OdehZone(double v);

// Danjon's limit: no crescent below 7 degrees of elongation.
inline constexpr double DanjonLimitDegrees = 7.0;

// The criteria that judge an evening, by the names the front ends use:
// "default", "yallop", "arcv-width", "danjon".
enum class CrescentCriterion { Default, Yallop, ArcvWidth, Danjon };
inline constexpr int CrescentCriterionCount = 4;
const char *CrescentCriterionName(CrescentCriterion criterion);
// The criterion of a name (exact, lower case); false when there is none.
bool CrescentCriterionOfName(const char *name, CrescentCriterion *criterion);

// How well the crescent must be seen for a month to begin: with the naked
// eye (the default) or with optical aid.
enum class SightingLevel { NakedEye, OpticalAid };
const char *SightingLevelName(SightingLevel level);  // "naked-eye", "optical-aid"
bool SightingLevelOfName(const char *name, SightingLevel *level);

// A criterion's verdict on one evening: its number (default: the test's
// value in degrees; yallop: q; arcv-width: V; danjon: ARCL in degrees at
// the best time) and its zone letter (A..F for yallop, A..D for
// arcv-width, V (passes) or N for default and danjon).
struct CrescentVerdict {
    double value;
    char zone;
};
// thresholdDegrees: the default test's threshold (crescentThreshold).
// An evening without sunset or moonset (status 0) gets the value NaN and
// the worst zone (F, D or N).
CrescentVerdict JudgeCrescent(const EveningCrescent &evening, CrescentCriterion criterion,
                              double thresholdDegrees);

// Whether a zone reaches a level: default and danjon V at both levels;
// yallop A or B with the naked eye, A to D with optical aid; arcv-width A
// with the naked eye, A to C with optical aid.
bool ZoneReaches(CrescentCriterion criterion, char zone, SightingLevel level);

// A crescent rule: a criterion at a level, with Danjon's limit as a further
// necessary condition when withDanjon is set.
struct CrescentRule {
    CrescentCriterion criterion = CrescentCriterion::Default;
    SightingLevel level = SightingLevel::NakedEye;
    bool withDanjon = false;
};
// True when the evening (status 1) passes the rule.
bool CrescentSeen(const EveningCrescent &evening, const CrescentRule &rule,
                  double thresholdDegrees);

}  // namespace vorlin
