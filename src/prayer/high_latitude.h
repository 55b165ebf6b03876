// The high-latitude rules: what replaces the events of a day that carry a
// marker because the Sun does not reach (or does not leave) their altitude.
//
// Rules (VorConfig.highLatitudeRule): 0 none; 1/2 a seventh of the daylight
// (when needed / always); 3/4 a seventh of the night (when needed /
// always); 5/6 the nearest latitude toward the equator where the needed
// events exist (all times / the missing ones); 7/8 the nearest earlier day
// where they exist (all / the missing ones); 9 minutes before sunrise and
// after sunset (built by ComputeSunEvents).  Other values: no rule.
#pragma once

#include "prayer/sun_events.h"
#include "vorlin.h"

namespace vorlin {

// How far Imsak lies before Fajr when a rule sets it: the time the Sun
// takes to sink (fajrAngle - imsakAngle) degrees where it sinks fastest (at
// the equator, at the equinox: 4 minutes a degree).  0 when the Imsak angle
// is not deeper than the Fajr angle.
inline constexpr double ImsakMinutesPerDegree = 4.0;
double ImsakLead(const EventSettings &cfg);

// The order repairs of ApplyHighLatitudeRule on a table after its rule
// step: Imsak set ImsakLead before a valid Fajr when imsakPairFromRule, and
// a valid Asr (either factor) before a valid Duhr moved to Duhr.
void KeepEventOrder(const EventSettings &cfg, bool imsakPairFromRule, SunEventTable &table);

// Most attempts of rules 5 to 8 (one degree or one day each).
inline constexpr int MaxHighLatitudeAttempts = 365;

// 1 when every needed event of table holds a valid time, else 0.
//   given:  cfg.fiqh  0 Jafari: Imsak, Fajr, Duhr, Maghrib; 2 Hanafi: Imsak,
//                     Fajr, Duhr, Asr factor 2, Maghrib, Isha'a; 1, 3, 4 (and
//                     any unknown value): the same with Asr factor 1
//           table     the day's SunEventTable
// Shuruq is never needed.
int AllNeededTimesValid(const EventSettings &cfg, const SunEventTable &table);

// The rule step of the daily prayer times: applies cfg.highLatitudeRule to
// the day's table (from ComputeAreaSunEvents for date at loc).
//   given:    date  the day (not written; other days go through local copies)
//             loc   the place (not written; other latitudes go through a
//                   local copy)
//             cfg   highLatitudeRule, fiqh and everything ComputeAreaSunEvents reads
//   returned: table with the missing (rules 1, 3, 6, 8) or the replaced
//             (2, 4, 5, 7) times; markers stay where the rule cannot give a
//             value.  Rules 1..4 fill only Imsak, Fajr and Isha'a (q = 1/7
//             of sunset - sunrise, or of the nights before and after the
//             day); rules 5..8 stop at the first attempt whose table has
//             every needed event, after MaxHighLatitudeAttempts at most.
//
// Whatever the rule, the day keeps the order of its events: when the rule
// gives Imsak or Fajr a value (rules 1 to 4, 6 and 8 when they fill or
// replace either, rule 9 always), Imsak is set ImsakLead before Fajr, so the
// pair never comes from two different sources (a seventh of the night for
// Imsak beside Fajr by its angle put Imsak hours after Fajr); rules 5 and
// 7 take both from one table and keep their own distance.  An Asr passage
// before Duhr (where the Sun hardly rises, the shadow grows by a rod's
// length within the minute between the centre's transit and Duhr, or a
// rule brings Asr from another day) is moved to Duhr.
void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           SunEventTable &table);
// The same, with the tables of other days (rules 3, 4, 7 and 8) taken
// through a cache (prayer/sun_events.h) that the caller owns and may pass
// to the following days; cache may be null.  Same results, bit for bit.
void ApplyHighLatitudeRule(const VorDate &date, const VorLocation &loc, const EventSettings &cfg,
                           SunEventTable &table, SunEventCache *cache);

}  // namespace vorlin
