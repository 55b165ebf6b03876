// Summer time: the rule encoding of VorLocation.summerStart/summerEnd, the
// day a rule names in a given year, and the one-hour shift of event times.
//
// A rule r packs the month into r >> 8 (1..12) and a day code into r & 255:
// 1..31 is that day of the month; 32..66 is k = code - 32, occurrence k mod 5
// (0 first, 1 second, 2 third, 3 fourth, 4 last) of weekday k div 5
// (0 Monday .. 6 Sunday).  Summer time holds for whole days: from the start
// day included to the end day excluded, both worked out in the year of the
// date tested.  A rule with a month outside 1..12 or a day code of 0 or
// above 66 names no day: such a pair means no summer time.
#pragma once

#include "vorlin.h"

namespace vorlin {

// Day of the month of a weekday rule.
//   given:    k      day code - 32 (0..34): occurrence k mod 5 of weekday k div 5
//             month  1..12
//             year   civil year (February has 29 days in leap years)
//   returned: the day of the month 1..31, or 0 when k or month is out of
//             range (no such day).  The search looks at seven days at most.
int SummerRuleDay(int k, int month, int year);

// 1 when summer time is in force on date (reads year, month and the whole
// part of day) under the rules startRule and endRule, else 0.  Rules whose
// months are equal, or either of which names no day (see above), give 0.
int IsSummerTime(int startRule, int endRule, const VorDate &date);

// Adds the summer hour (pi/12 radians of day) to the count times (radians of
// day from local midnight) when summer time is in force on date at loc;
// the markers TimeNotValid, TimeAlwaysBelow and TimeAlwaysAbove are left
// unchanged, and a time may pass 2 pi.  Returns 1 when the times were
// shifted, 0 (times untouched) when loc.summerStart is 0 or summer time is
// not in force.
int ApplySummerTime(const VorLocation &loc, const VorDate &date, int count, double *times);

}  // namespace vorlin
